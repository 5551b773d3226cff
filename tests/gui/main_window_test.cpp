#include "gui/main_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QSettings>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <functional>
#include <thread>
#include <utility>

#include "app/startup.h"
#include "discovery/port_search.h"
#include "gui/log_view.h"
#include "gui/log_window.h"
#include "gui/qt_test_app.h"
#include "serial/serial_link.h"
#include "support/pty_pair.h"
#include "support/sim_fixture.h"

// Fontconfig keeps caches it never frees; sanitizer builds of this binary
// look past them.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }

namespace stylomat::gui {
namespace {

using test::Log_Lines;
using test::Sim_Bench;

// A session with simulated tablets on COM1 and COM3 and a main window
// whose end is recorded instead of leaving an event loop.
struct Gui_Bench {
  Gui_Bench() {
    test::Qt_App();
    sim.Attach_Profile(1, "wake");
    sim.Attach_Profile(3, "wake");
    window = std::make_unique<Main_Window>(sim.session);
    window->End = [this](int code) { ended.push_back(code); };
  }
  Session& s() { return sim.session; }
  // The tablet found on COM1 by the SuperSet probe, port left open.
  void Tablet_On_Com1() {
    s().Port_Number = 1;
    Open_Port(s(), "9600,n,8,2");
    s().identity.SuperSet_Format = true;
    sim.trace.clear();
  }
  bool Reset_Sent() const {
    const auto tx = sim.Trace_Of("TX");
    return std::find(tx.begin(), tx.end(), "TX 1B 25 56 52 0D") != tx.end();
  }

  Sim_Bench sim;
  std::unique_ptr<Main_Window> window;
  std::vector<int> ended;
};

TEST(MainWindow, StartUpFollowsTheCommandLine) {
  struct Case {
    const char* line;
    bool debug;
    bool oem;
  };
  const Case cases[] = {
      {"", false, false}, {"/d", true, false}, {"/oem /d", true, true}, {"C:\\data\\x", true, false}, {"oem", false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    Gui_Bench b;
    b.window->Start(c.line);
    EXPECT_EQ(b.s().Debug_Mode, c.debug);
    EXPECT_EQ(b.s().OEM_Mode, c.oem);
    EXPECT_TRUE(b.window->isVisible());
    EXPECT_EQ(b.window->log_window().isVisible(), c.debug);
    QAction* show_log = b.window->Action("Show_Debug_Window");
    ASSERT_NE(show_log, nullptr);
    EXPECT_TRUE(show_log->isCheckable());
    EXPECT_EQ(show_log->isChecked(), c.debug);
    EXPECT_EQ(b.window->windowTitle().toStdString(), Program_Caption());
    const auto lines = Log_Lines(b.s().log.Text());
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), Program_Caption());
    // An open log window shows the whole log written during start-up.
    if (c.debug) {
      EXPECT_EQ(b.window->log_window().view().Shown_Size(), b.s().log.Size());
    }
  }
}

TEST(MainWindow, RendersTheMenuTableAndThePortsAtStart) {
  Gui_Bench b;
  b.window->Start("");
  struct Row {
    const char* name;
    const char* caption;
    const char* shortcut;
    bool visible;
    bool enabled;
  };
  const Row rows[] = {
      {"Find_Tablet", "Search &All Serial Ports", "", true, true},
      {"Find_USB", "Find Tablet (&USB)", "", false, true},
      {"Save_Grid", "&Save As", "Ctrl+S", false, true},
      {"Insall_Wintab", "Install Wintab", "", false, false},
      {"ExitBtn", "E&xit PRX", "Ctrl+X", true, true},
      {"Config_Tbl", "&Advanced Configuration", "", false, true},
      {"Reset_Tbl", "&Restore Factory Settings", "Ctrl+R", false, true},
      {"Grid_btn", "&Grid / Button Test", "Ctrl+G", true, false},
      {"WT_Info_Btn", "Wintab &Information", "Ctrl+I", false, true},
      {"Grid_Help", "&Grid Testing Help", "F1", false, true},
      {"Main_About", "&Supported Tablets", "F2", true, true},
      {"Show_Debug_Window", "Show Debug Log", "", true, true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    QAction* a = b.window->Action(r.name);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->text().toStdString(), r.caption);
    EXPECT_EQ(a->shortcut().toString().toStdString(), r.shortcut);
    EXPECT_EQ(a->isVisible(), r.visible);
    // Qt counts a hidden entry as disabled.
    EXPECT_EQ(a->isEnabled(), r.visible && r.enabled);
  }
  EXPECT_EQ(b.window->Menu("File_Menu")->title().toStdString(), "&File");
  EXPECT_EQ(b.window->Menu("Options")->title().toStdString(), "&Options");
  EXPECT_EQ(b.window->Menu("Help_List")->title().toStdString(), "&Help");
  // The three unit choices sit in the Coordinates submenu.
  QMenu* coordinates = b.window->Menu("Coord_Opt");
  ASSERT_NE(coordinates, nullptr);
  EXPECT_TRUE(coordinates->actions().contains(b.window->Action("Crd_Mtr")));

  for (int com = 1; com <= 8; ++com) {
    SCOPED_TRACE(com);
    QToolButton* icon = b.window->Port_Button(com);
    const bool available = com == 1 || com == 3;
    EXPECT_EQ(icon->isVisible(), available);
    EXPECT_EQ(icon->text().toStdString(), "COM" + std::to_string(com));
    if (available) {
      EXPECT_TRUE(icon->toolTip().contains("simulated"));
    }
  }
  QLabel* note = b.window->findChild<QLabel*>("Simulated_Ports_Note");
  ASSERT_NE(note, nullptr);
  EXPECT_TRUE(note->isVisible());
  EXPECT_EQ(note->text().toStdString(), "Simulated tablets on COM1, COM3");
  EXPECT_FALSE(b.window->Label("ErrorMsg")->isVisible());
  EXPECT_EQ(b.window->Label("LabelOS")->text().toStdString(), "Test Linux");
  EXPECT_TRUE(b.window->Label("Description")->text().startsWith("This utility is used for Testing"));
  EXPECT_TRUE(b.window->Label("Description")->text().contains("\nPress F2"));
}

TEST(MainWindow, ShowDebugLogTogglesTheLogWindowAndItsCloseBoxUnchecks) {
  Gui_Bench b;
  b.window->Start("");
  Log_Window& log = b.window->log_window();
  QAction* entry = b.window->Action("Show_Debug_Window");
  ASSERT_FALSE(log.isVisible());

  EXPECT_TRUE(b.window->Dispatch("Show_Debug_Window"));
  EXPECT_TRUE(log.isVisible());
  EXPECT_TRUE(entry->isChecked());
  EXPECT_TRUE(b.s().main.Show_Debug_Window.checked);
  EXPECT_EQ(log.view().Shown_Size(), b.s().log.Size());

  EXPECT_TRUE(b.window->Dispatch("Show_Debug_Window"));
  EXPECT_FALSE(log.isVisible());
  EXPECT_FALSE(entry->isChecked());

  b.window->Dispatch("Show_Debug_Window");
  ASSERT_TRUE(log.isVisible());
  log.close();
  EXPECT_FALSE(log.isVisible());
  EXPECT_FALSE(b.s().main.Show_Debug_Window.checked);
  EXPECT_FALSE(entry->isChecked());
  // Showing or hiding the window never changes the logging switch.
  EXPECT_FALSE(b.s().Debug_Mode);
}

TEST(MainWindow, ARunningCommandLocksMenusAndIconsAndRunsWindowEventsInPauses) {
  Gui_Bench b;
  b.window->Start("");
  int other_runs = 0;
  b.window->Set_Command("Find_Wintab", [&] { ++other_runs; });
  struct Seen {
    bool search_entry = true, exit_entry = true, icon = true, log_entry = false, second_started = true;
    bool posted_event_ran = false;
  } seen;
  b.window->Set_Command("Find_Tablet", [&] {
    seen.search_entry = b.window->Action("Find_Tablet")->isEnabled();
    seen.exit_entry = b.window->Action("ExitBtn")->isEnabled();
    seen.icon = b.window->Port_Button(1)->isEnabled();
    seen.log_entry = b.window->Action("Show_Debug_Window")->isEnabled();
    seen.second_started = b.window->Dispatch("Find_Wintab") || b.window->Dispatch("Com_Btn_1");
    bool ran = false;
    QTimer::singleShot(0, [&ran] { ran = true; });
    Pause_Seconds(b.s(), 0.1);
    seen.posted_event_ran = ran;
  });

  EXPECT_TRUE(b.window->Dispatch("Find_Tablet"));
  EXPECT_FALSE(seen.search_entry);
  EXPECT_FALSE(seen.exit_entry);
  EXPECT_FALSE(seen.icon);
  EXPECT_TRUE(seen.log_entry);
  EXPECT_FALSE(seen.second_started);
  EXPECT_EQ(other_runs, 0);
  EXPECT_TRUE(seen.posted_event_ran);
  // Afterwards everything is back as the state says.
  EXPECT_TRUE(b.window->Action("Find_Tablet")->isEnabled());
  EXPECT_FALSE(b.window->Action("Grid_btn")->isEnabled());
  EXPECT_TRUE(b.window->Port_Button(1)->isEnabled());
  EXPECT_TRUE(b.window->Dispatch("Find_Wintab"));
  EXPECT_EQ(other_runs, 1);

  // An entry whose command is not built yet does nothing at all.
  const std::string log_before = b.s().log.Text();
  EXPECT_FALSE(b.window->Dispatch("Print_Form"));
  EXPECT_FALSE(b.window->Dispatch("Insall_Wintab"));
  EXPECT_EQ(b.s().log.Text(), log_before);
}

TEST(MainWindow, SearchPortsInParallelIsAnOptionRememberedFromRunToRun) {
  test::Qt_App();
  QSettings remembered(QSettings::UserScope, "Stylomat", "Stylomat");
  // The test folder, not the user's.
  ASSERT_TRUE(remembered.fileName().contains("qttest")) << remembered.fileName().toStdString();
  remembered.remove("Search/Parallel");
  {
    Gui_Bench b;
    b.window->Start("");
    QAction* entry = b.window->Action("Search_Parallel");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->text().toStdString(), "Search Ports in &Parallel");
    EXPECT_TRUE(b.window->Menu("Options")->actions().contains(entry));
    EXPECT_TRUE(entry->isCheckable());
    EXPECT_FALSE(entry->isChecked());
    // Unchecked, Search All Serial Ports stops at COM1's tablet.
    std::size_t mark = b.s().log.Size();
    EXPECT_TRUE(b.window->Dispatch("Find_Tablet"));
    EXPECT_EQ(b.s().log.Text().find("Also probed in parallel", mark), std::string::npos);

    EXPECT_TRUE(b.window->Dispatch("Search_Parallel"));
    EXPECT_TRUE(entry->isChecked());
    remembered.sync();
    EXPECT_TRUE(remembered.value("Search/Parallel").toBool());
    // Checked, COM3 is searched beside COM1; the window runs its events
    // and names the ports still searched meanwhile.
    std::vector<std::string> captions;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
      if (b.window->Command_Running() && (captions.empty() || captions.back() != b.s().splash.Caption)) {
        captions.push_back(b.s().splash.Caption);
      }
    });
    watch.start(0);
    mark = b.s().log.Size();
    EXPECT_TRUE(b.window->Dispatch("Find_Tablet"));
    watch.stop();
    // The tablet found by the first search is reset first, then both ports
    // are searched; COM3 is let go of once COM1 has the tablet.
    EXPECT_EQ(captions, (std::vector<std::string>{"Searching Serial Port  1", "Searching Serial Ports  1, 3"}));
    EXPECT_TRUE(b.s().log.Text().ends_with("Also probed in parallel: COM3\r"));
    EXPECT_EQ(b.window->Label("CommPort")->text().toStdString(), "1");
    EXPECT_TRUE(b.window->Action("Search_Parallel")->isEnabled());
    // COM3's section, apart from the log, in a window of its own.
    Log_Window& log = b.window->log_window();
    ASSERT_NE(log.Second_Log_Entry(), nullptr);
    EXPECT_EQ(log.Second_Log_Entry()->text().toStdString(), "Ports &Probed in Parallel");
    log.Second_Log_Entry()->trigger();
    ASSERT_NE(log.Second_Log_Window(), nullptr);
    EXPECT_TRUE(log.Second_Log_Window()->isVisible());
    EXPECT_NE(b.s().Parallel_Log.Text().find("\rSearching Serial Port 3:\r"), std::string::npos);
    EXPECT_EQ(log.Second_Log_Window()->view().Shown_Size(), b.s().Parallel_Log.Size());
  }
  {
    // The next run starts with the option as it was left, and unchecking
    // it is remembered too.
    Gui_Bench b;
    b.window->Start("");
    EXPECT_TRUE(b.window->Action("Search_Parallel")->isChecked());
    EXPECT_TRUE(b.window->Dispatch("Search_Parallel"));
    EXPECT_FALSE(b.window->Action("Search_Parallel")->isChecked());
    remembered.sync();
    EXPECT_FALSE(remembered.value("Search/Parallel").toBool());
  }
}

TEST(MainWindow, ACommandThatFailsLeavesTheWindowUsable) {
  Gui_Bench b;
  b.window->Start("");
  b.window->Set_Command("Find_Tablet", [] { throw Port_Error(Port_Error_Kind::Io_Error, "device vanished"); });
  EXPECT_TRUE(b.window->Dispatch("Find_Tablet"));
  ASSERT_EQ(b.sim.prompter.asked.size(), 1u);
  EXPECT_NE(b.sim.prompter.asked[0].text.find("device vanished"), std::string::npos);
  EXPECT_TRUE(b.window->Action("Find_Tablet")->isEnabled());
  EXPECT_FALSE(b.window->Command_Running());
}

TEST(MainWindow, ExitResetsTheTabletUnloadsTheLogWindowAndEnds) {
  Gui_Bench b;
  b.window->Start("/d");
  b.Tablet_On_Com1();
  ASSERT_TRUE(b.window->log_window().isVisible());

  EXPECT_TRUE(b.window->Dispatch("ExitBtn"));
  EXPECT_TRUE(b.Reset_Sent());
  EXPECT_NE(b.s().log.Text().find("\rReset Tablet:\r"), std::string::npos);
  EXPECT_FALSE(b.s().port.PortOpen());
  EXPECT_TRUE(b.s().Stop_Test);
  EXPECT_FALSE(b.window->log_window().isVisible());
  EXPECT_FALSE(b.window->isVisible());
  EXPECT_EQ(b.ended, std::vector<int>{0});
  // Nothing starts once the program is ending.
  EXPECT_FALSE(b.window->Dispatch("Show_Debug_Window"));
}

TEST(MainWindow, ClosingResetsTheTabletUnlessAConfigurationWindowKeptItsSettings) {
  {
    Gui_Bench b;
    b.window->Start("");
    b.Tablet_On_Com1();
    b.window->close();
    EXPECT_TRUE(b.Reset_Sent());
    EXPECT_EQ(b.ended, std::vector<int>{0});
  }
  {
    Gui_Bench b;
    b.window->Start("");
    b.Tablet_On_Com1();
    b.s().Keep_Settings_On_Exit = true;
    b.window->close();
    EXPECT_FALSE(b.Reset_Sent());
    EXPECT_TRUE(b.sim.Trace_Of("TX").empty());
    EXPECT_EQ(b.ended, std::vector<int>{0});
  }
}

TEST(MainWindow, CloseOrEndRequestedDuringACommandWaitsForTheCommand) {
  Gui_Bench b;
  b.window->Start("");
  b.Tablet_On_Com1();
  bool ended_inside = true;
  b.window->Set_Command("Grid_btn", [&] {
    b.window->close();  // the close box, while the command waits
    Pause_Seconds(b.s(), 0.1);
    ended_inside = !b.ended.empty();
    EXPECT_TRUE(b.s().Stop_Test);
    EXPECT_TRUE(b.s().port.PortOpen());
  });
  b.window->Dispatch("Grid_btn");
  EXPECT_FALSE(ended_inside);
  EXPECT_TRUE(b.Reset_Sent());
  EXPECT_EQ(b.ended, std::vector<int>{0});

  // A configuration window that applied its settings asks the program to
  // end: the tablet keeps them.
  Gui_Bench c;
  c.window->Start("");
  c.Tablet_On_Com1();
  c.window->Set_Command("Config_Tbl", [&] {
    c.s().Keep_Settings_On_Exit = true;
    c.s().Request_End();
    EXPECT_TRUE(c.ended.empty());
  });
  c.window->Dispatch("Config_Tbl");
  EXPECT_FALSE(c.Reset_Sent());
  EXPECT_EQ(c.ended, std::vector<int>{0});
}

}  // namespace
}  // namespace stylomat::gui

namespace stylomat::gui {
namespace {

TEST(MainWindow, F2ShowsTheSupportedTabletsEvenWhileACommandRuns) {
  test::Qt_App();
  Sim_Bench sim;
  Main_Window window(sim.session);
  window.End = [](int) {};
  window.Start("");
  bool shown_inside = false;
  window.Set_Command("Find_Tablet", [&] {
    shown_inside = window.Dispatch("Main_About");
  });
  EXPECT_TRUE(window.Dispatch("Find_Tablet"));
  EXPECT_TRUE(shown_inside);
  QDialog* about = window.Supported_Tablets();
  ASSERT_NE(about, nullptr);
  EXPECT_TRUE(about->isVisible());
  EXPECT_EQ(about->windowTitle().toStdString(), "Supported Tablets, PRX Version " + Version_Text());
  std::vector<int> rows;
  for (const char* list : {"Brand1_Tbl", "Brand2_Tbl", "Brand3_Tbl", "Brand4_Tbl"}) {
    rows.push_back(about->findChild<QListWidget*>(list)->count());
  }
  EXPECT_EQ(rows, (std::vector<int>{11, 7, 11, 5}));
}

// A port held by another program keeps a greyed icon whose tool tip says
// why; a search that ends with a port error shows the reason under the
// port-error text.
TEST(MainWindow, PortThatCannotBeOpenedIsGreyedWithItsReason) {
  test::Qt_App();
  Sim_Bench sim;
  Simulated_Port& com2 = sim.Attach_Profile(2, "dovrane4");
  sim.Attach_Profile(5, "busy");
  Main_Window window(sim.session);
  window.End = [](int) {};
  window.Start("");
  QToolButton* held = window.Port_Button(5);
  EXPECT_TRUE(held->isVisible());
  EXPECT_FALSE(held->isEnabled());
  EXPECT_EQ(held->toolTip().toStdString(),
            "COM5: simulated tablet\nthe port is in use by another application");
  EXPECT_TRUE(window.Port_Button(2)->isEnabled());
  EXPECT_FALSE(window.Port_Button(3)->isVisible());

  // COM2's tablet is taken by another program after the scan.
  com2.Faults().busy = true;
  EXPECT_TRUE(window.Dispatch("Com_Btn_2"));
  EXPECT_EQ(window.Label("ErrorMsg")->text().toStdString(),
            "Comport Error, Comport may be in use by another application.\n"
            "the port is in use by another application");
  EXPECT_TRUE(window.Label("ErrorMsg")->isVisible());
  EXPECT_FALSE(window.Port_Button(2)->isEnabled());
  EXPECT_TRUE(window.Port_Button(2)->isVisible());
}

// Announcements of adapters coming and going, made by the test through a
// pipe the window watches as it watches the udev monitor's socket.
class Pipe_Watch : public Port_Watch {
 public:
  Pipe_Watch() {
    if (::pipe2(fds_, O_NONBLOCK | O_CLOEXEC) != 0) fds_[0] = fds_[1] = -1;
  }
  ~Pipe_Watch() override {
    for (int fd : fds_)
      if (fd >= 0) ::close(fd);
  }
  int Fd() const override { return fds_[0]; }
  std::vector<Tty_Change> Take_Changes() override {
    char buf[64];
    while (::read(fds_[0], buf, sizeof buf) > 0) {
    }
    ++takes;
    return std::exchange(waiting_, {});
  }
  void Announce(const std::string& action, const std::string& device) {
    waiting_.push_back({action, device});
    (void)!::write(fds_[1], "!", 1);
  }
  int takes = 0;

 private:
  int fds_[2] = {-1, -1};
  std::vector<Tty_Change> waiting_;
};

// Runs window events until `done` or a second has passed.
template <typename F>
bool Events_Until(F done) {
  for (int i = 0; i < 200 && !done(); ++i) {
    QCoreApplication::processEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return done();
}

// An adapter plugged in shows its icon without a restart; pulled while its
// port is searched, the search ends with the reason, the log keeps
// everything, and the icon goes once the search has returned.
TEST(MainWindow, FollowsAdaptersComingAndGoing) {
  test::Qt_App();
  Sim_Bench sim;
  sim.Attach_Profile(1, "wake");
  Main_Window window(sim.session);
  window.End = [](int) {};
  window.Start("");
  auto adapter = std::make_unique<test::Pty_Pair>();
  const std::string path = adapter->path;
  ASSERT_FALSE(path.empty());
  std::vector<Os_Serial_Port> adapters;
  auto owned = std::make_unique<Pipe_Watch>();
  Pipe_Watch& watch = *owned;
  Port_Follow follow;
  follow.listed = true;
  follow.list_ports = [&] { return adapters; };
  window.Follow_Port_Devices(std::move(owned), follow);
  EXPECT_FALSE(window.Port_Button(2)->isVisible());

  adapters = {{path, "Quillon USB serial", true}};
  watch.Announce("add", path);
  ASSERT_TRUE(Events_Until([&] { return window.Port_Button(2)->isVisible(); }));
  EXPECT_TRUE(window.Port_Button(2)->isEnabled());
  EXPECT_EQ(window.Port_Button(2)->toolTip().toStdString(), "COM2: " + path + ", Quillon USB serial");
  EXPECT_NE(sim.Log().find("\rCom 2, Available\r"), std::string::npos);

  // Other announcements (a settings change) change nothing.
  const int takes = watch.takes;
  watch.Announce("change", path);
  ASSERT_TRUE(Events_Until([&] { return watch.takes > takes; }));
  EXPECT_FALSE(window.Port_Changes_Pending());

  // Pulled during the search's first pause: the map stays as it is while
  // the search runs, whose port then fails.
  bool map_kept = false;
  bool pending_seen = false;
  int looks = 0;
  std::function<void()> look = [&] {
    // Once the window has taken the announcement (the search still runs).
    if (watch.takes <= takes + 1 && ++looks < 100) {
      QTimer::singleShot(0, &window, look);
      return;
    }
    pending_seen = window.Port_Changes_Pending() && window.Command_Running();
    map_kept = sim.session.ports.Find(2) != nullptr;
  };
  QTimer::singleShot(0, &window, [&] {
    adapter.reset();
    adapters.clear();
    watch.Announce("remove", path);
    QTimer::singleShot(0, &window, look);
  });
  EXPECT_TRUE(window.Dispatch("Com_Btn_2"));
  EXPECT_TRUE(pending_seen);
  EXPECT_TRUE(map_kept);
  const std::string reason =
      "input/output error on " + path + " (Input/output error); the adapter may have been unplugged";
  EXPECT_EQ(sim.session.Search_Status, -2);
  EXPECT_EQ(window.Label("ErrorMsg")->text().toStdString(), Port_Error_Text() + "\n" + reason);
  EXPECT_FALSE(window.Port_Changes_Pending());
  EXPECT_FALSE(window.Port_Button(2)->isVisible());
  EXPECT_TRUE(window.Port_Button(1)->isVisible());
  const std::string log = sim.Log();
  const std::size_t search = log.find("\rSearching Serial Port 2:\r");
  const std::size_t error = log.find("\rCom 2, Comport Error, Refreshing System Info\rCom 2, " + reason + "\r");
  const std::size_t gone = log.find("\rCom 2, " + path + " is gone\r");
  EXPECT_NE(search, std::string::npos);
  EXPECT_LT(search, error);
  EXPECT_NE(error, std::string::npos);
  EXPECT_LT(error, gone);
  EXPECT_NE(gone, std::string::npos);
}

TEST(MainWindow, PortIconSearchesAndShowsTheTabletFound) {
  test::Qt_App();
  Sim_Bench sim;
  sim.Attach_Profile(2, "dovrane4");
  sim.Attach_Profile(4, "empty");
  Main_Window window(sim.session);
  window.End = [](int) {};
  window.Start("");
  ASSERT_TRUE(window.Port_Button(2)->isVisible());

  EXPECT_TRUE(window.Dispatch("Com_Btn_2"));
  const Main_Window_State& m = sim.session.main;
  EXPECT_EQ(m.Tbl.text, "KORV Mensaro, Dovrane IV");
  EXPECT_TRUE(m.Tbl.visible);
  EXPECT_TRUE(m.Config_Tbl.visible);
  EXPECT_TRUE(m.Grid_btn.enabled);
  EXPECT_FALSE(sim.session.splash.Up);
  EXPECT_NE(sim.Log().find("\rSearching Serial Port 2:\r"), std::string::npos);
  EXPECT_TRUE(window.Action("Grid_btn")->isEnabled());

  // Searching the empty port shows the no-answer text.
  EXPECT_TRUE(window.Dispatch("Com_Btn_4"));
  EXPECT_TRUE(m.ErrorMsg.visible);
  EXPECT_EQ(m.ErrorMsg.text.rfind("No Supported Serial Tablet Was Found On Serial Port 4!", 0), 0u);
  EXPECT_FALSE(window.Action("Grid_btn")->isEnabled());
}

}  // namespace
}  // namespace stylomat::gui
