#include "testbench/grid_test.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "discovery/port_search.h"
#include "sim/kv_tablet.h"
#include "support/grid_bench.h"
#include "testbench/grid_readouts.h"

namespace stylomat {
namespace {

using test::Grid_Bench;
using test::Log_Lines;
using Lines = std::vector<std::string>;

// A tablet found by the search, the test run until its loop's first window
// events; returns the time the test started.
double Run_Found(Grid_Bench& b, const std::string& profile) {
  b.Attach_Profile(1, profile);
  Port_Icon_Command(b.session, 1);
  EXPECT_EQ(b.session.Search_Status, 0) << profile;
  b.Stop_After(0);
  const double start = b.Now();
  b.test.Run_Grid_Test();
  return start;
}

// A KV tablet (flags set by the caller) on an open port, that records what
// it hears and says nothing.
test::Recording_Device& Quiet_KV(Grid_Bench& b) {
  auto device = std::make_unique<test::Recording_Device>("9600,o,8,1");
  test::Recording_Device& tablet = *device;
  b.Attach(1, std::move(device));
  b.Found("9600,o,8,1", 6000, 6000);
  return tablet;
}

TEST(Grid_Test, EachFamilyGetsItsPreparationBytesTicksAndCursorBox) {
  struct Case {
    const char* profile;
    Lines tx;  // from the test's start
    Lines sent;
    std::size_t items;
    bool box_visible;
    const char* box_text;
  };
  const Case cases[] = {
      {"dovrane4",
       {"0.050 TX 1B 25 41 31 0D", "0.100 TX 1B 25 56 46 0D", "0.150 TX 1B 25 56 41 30 0D",
        "0.200 TX 1B 25 56 41 32 0D", "0.250 TX 1B 25 56 35 0D", "0.300 TX 1B 25 4E 30 0D",
        "0.350 TX 1B 25 57 32 30 30 0D", "0.400 TX 1B 25 5A 32 0D",
        "0.450 TX 1B 25 4A 52 31 30 30 30 2C 30 0D", "0.500 TX 1B 25 56 42 31 0D"},
       {"Sent: Esc%A1", "Sent: Esc%VF", "Sent: Esc%VA0", "Sent: Esc%VA2", "Sent: Esc%V5", "Sent: Esc%N0",
        "Sent: Esc%W200", "Sent: Esc%Z2", "Sent: Esc%JR1000,0", "Sent: Esc%VB1"},
       7, true, "Select Cursor"},
      {"kv", {"0.050 TX 40"}, {"Sent: @"}, 4, true, "4 Button Diamond Puck"},
      {"pupilane", {"0.050 TX 40"}, {"Sent: @"}, 7, false, "2 Button Stylus"},
      {"quorral",
       {"0.000 TX 01", "0.050 TX 43", "0.100 TX 4E", "0.150 TX 0D", "0.200 TX 49", "0.250 TX 56", "0.300 TX 0D",
        "0.350 TX 30", "0.400 TX 30", "0.450 TX 31", "0.500 TX 0D", "0.550 TX 4F", "0.600 TX 50", "0.650 TX 0D",
        "0.700 TX 52", "0.750 TX 32", "0.800 TX 0D", "0.850 TX 1B"},
       {"Sent: Ctr-A", "Sent: CN", "Sent: IV001", "Sent: OP", "Sent: R2", "Sent: Esc"},
       4, true, "4 Button Diamond Puck"},  // its probe read "C04"
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.profile);
    Grid_Bench b;
    b.session.Debug_Mode = true;
    const std::size_t log_at = b.Log().size();
    const double start = Run_Found(b, c.profile);
    EXPECT_EQ(b.Timed_Events(start, "TX"), c.tx);
    Lines expected_log{"", "Grid & Button Test:"};
    expected_log.insert(expected_log.end(), c.sent.begin(), c.sent.end());
    const Lines log = Log_Lines(b.Log().substr(log_at));
    EXPECT_EQ(Lines(log.end() - static_cast<long>(expected_log.size()), log.end()), expected_log);
    const Grid_View_State& grid = b.session.main.grid;
    EXPECT_EQ(grid.Sel_Zelta_Cursor.items.size(), c.items);
    EXPECT_EQ(grid.Sel_Zelta_Cursor.visible, c.box_visible);
    EXPECT_EQ(b.session.reports.Sel_Zelta_Cursor, c.box_text);
    const Tablet_Identity& id = b.session.identity;
    const long origin = id.PnP_Format ? 800 : 0;
    EXPECT_EQ(grid.Tbl_Grid_Scale, (Grid_Scale{origin, id.Tablet_Width, id.Tablet_Height, origin}));
    EXPECT_EQ(grid.Tbl_Grid_ToolTip, Grid_Start_ToolTip);
    EXPECT_TRUE(grid.Tbl_Grid_Visible && grid.Label7.visible && grid.X_Cord.visible && grid.Grid_Bar_Visible);
    const Main_Window_State& m = b.session.main;
    EXPECT_FALSE(m.Find_Tablet.visible || m.ExitBtn.visible || m.Grid_btn.enabled);
    EXPECT_TRUE(m.Close_Window.visible && m.Coord_Opt.visible);
  }
}

// A KV tablet of the 16-button puck reports in UIOF: the identification is
// repeated, ending at the UIOF framing, and ESC "M0" goes out without CR a
// tick later.  Without Debug_Mode only the header is logged.
TEST(Grid_Test, UIOFRepeatsTheKVIdentificationThenSendsEscM0WithoutCR) {
  Grid_Bench b;
  const double start = Run_Found(b, "kv16");
  const Lines events = b.Timed_Events(start);
  const auto last_open = std::find_if(events.rbegin(), events.rend(),
                                      [](const std::string& e) { return e.find(" OPEN 9600,E,7,2") != e.npos; });
  ASSERT_NE(last_open, events.rend());
  const double opened = std::stod(*last_open);
  const Lines tx = b.Timed_Events(start, "TX");
  ASSERT_FALSE(tx.empty());
  EXPECT_EQ(tx.back().substr(5), " TX 1B 4D 30");
  EXPECT_NEAR(std::stod(tx.back()) - opened, 0.050, 0.0015);
  EXPECT_EQ(Log_Lines(b.Log()).back(), "Grid & Button Test:");
  EXPECT_EQ(b.session.main.grid.Sel_Zelta_Cursor.items.size(), 4u);
  EXPECT_EQ(b.session.reports.Sel_Zelta_Cursor, "16 Button Puck");
}

TEST(Grid_Test, KVCursorFiveAndTheAlternativeKVFormat) {
  Grid_Bench b;
  b.Provide_Clips();
  b.session.identity.KV_Format = true;
  b.session.identity.Probe_Cursor = 5;
  Quiet_KV(b);
  b.Stop_After(0);
  b.test.Run_Grid_Test();
  EXPECT_EQ(b.session.reports.Sel_Zelta_Cursor, "16 Button Puck");
  EXPECT_EQ(b.session.main.grid.Sel_Zelta_Cursor.items,
            (Lines{" 2 Button Stylus", " 3 Button Stylus", " 4 Button Puck", " 16 Button Puck"}));
  EXPECT_EQ(b.player.File(), b.clips.string() + "/16-MNR.avi");

  // The alternative format sends 0x40 twice; its box shows "Unknown " and
  // the probe's cursor.
  Grid_Bench alt;
  alt.session.identity.KV_Alt_Format = true;
  alt.session.identity.Probe_Cursor = 6;
  const test::Recording_Device& tablet = Quiet_KV(alt);
  alt.Stop_After(0);
  alt.test.Run_Grid_Test();
  EXPECT_EQ(tablet.heard, "\x40\x40");
  EXPECT_EQ(alt.Timed_Events(0, "TX"), (Lines{"0.050 TX 40", "0.150 TX 40"}));
  EXPECT_EQ(alt.session.reports.Sel_Zelta_Cursor, "Unknown 6");
}

TEST(Grid_Test, CursorPicksSetTheCodeAndTurnAutomaticIdentificationOff) {
  Grid_Bench b;
  Report_Decoding_State& r = b.session.reports;
  b.session.main.grid.Sel_Zelta_Cursor.items.assign(7, "");
  const int seven[] = {7, 3, 4, 2, 6, 1, 0, 20};
  for (int position = 0; position < 8; ++position) {
    b.test.Pick_Cursor(position);
    EXPECT_EQ(r.Current_Report.Cursor_Code, seven[position]);
    EXPECT_EQ(r.Auto_Cursor, seven[position]);
  }
  b.session.main.grid.Sel_Zelta_Cursor.items = {" 2 Button Stylus", " 3 Button Stylus", " 4 Button Puck",
                                                " 16 Button Puck"};
  const int four[] = {7, 3, 6, 5, 20};
  for (int position = 0; position < 5; ++position) {
    b.test.Pick_Cursor(position);
    EXPECT_EQ(r.Current_Report.Cursor_Code, four[position]);
  }
  b.test.Pick_Cursor(2);
  EXPECT_EQ(r.Sel_Zelta_Cursor, " 4 Button Puck");  // the KV and UIOF decoders read it
  b.test.Set_Line_Size(99);
  EXPECT_EQ(b.session.main.grid.Line_Size.value, 10);
}

// Reports along a diagonal with one jump of 400 counts in X: white strokes
// everywhere, one red stroke exactly over the jump.
class Jumping_Tablet : public Sim_Device {
  static constexpr double Report_Interval = 0.02;

 public:
  Jumping_Tablet() : Sim_Device(*Parse_Framing("9600,o,8,1")) {
    for (long i = 0; i < 50; ++i) reports_.push_back(KV_Report(500 + 20 * i, 500 + 20 * i, 1));
    for (long i = 0; i < 21; ++i) reports_.push_back(KV_Report(1880 + 20 * i, 1500 + 20 * i, 1));
  }
  void On_Byte(Sim_Link& link, unsigned char byte) override {
    if (byte == 0x40) link.Set_Timer(link.Now() + Report_Interval);
  }
  void On_Timer(Sim_Link& link) override {
    if (next_ >= reports_.size()) return;
    link.Send(reports_[next_++]);
    link.Set_Timer(link.Now() + Report_Interval);
  }

 private:
  std::vector<std::string> reports_;
  std::size_t next_ = 0;
};

TEST(Grid_Test, AWholeTestDrawsTheStrokesAndTheSavedBitmapIsRedOnlyOverTheJump) {
  Grid_Bench b;
  b.Attach(1, std::make_unique<Jumping_Tablet>());
  b.session.identity.KV_Format = true;
  b.Found("9600,o,8,1", 6000, 6000);
  Lines errors;
  b.test.On_Grid_Error = [&](const std::string& text) { errors.push_back(text); };
  b.Stop_After(2.0);
  b.test.Run_Grid_Test();

  const Grid_Statistics& st = b.test.Statistics();
  EXPECT_EQ(st.reports, 71);
  EXPECT_EQ(st.vertical_errors, 1);
  EXPECT_EQ(st.horizontal_errors, 0);
  EXPECT_EQ(st.buttons.count(), 1u);
  EXPECT_TRUE(st.buttons.test(1));
  const std::string jump = "Vertical Grid Error, X Start: 1480  X Stop: 1880 - Y Start: 1480  Y Stop: 1500";
  EXPECT_EQ(errors, Lines{jump});
  EXPECT_EQ(b.session.main.grid.Tbl_Grid_ToolTip, jump);
  EXPECT_EQ(b.session.main.grid.X_Cord.text, "2280");
  EXPECT_EQ(b.session.main.Btn_Press.text, "1");

  // The saved bitmap (rows bottom up, blue-green-red) is red only within the
  // jump's box, widened by the three-pixel stroke.
  const std::string path = (std::filesystem::temp_directory_path() / "grid_test_jump.bmp").string();
  std::string error;
  ASSERT_TRUE(b.test.Save_Grid_As(path, error)) << error;
  std::ifstream in(path, std::ios::binary);
  const std::string bmp(std::istreambuf_iterator<char>(in), {});
  std::filesystem::remove(path);
  const Grid_Canvas& c = b.test.Canvas();
  ASSERT_EQ(bmp.size(), 54u + static_cast<std::size_t>(c.Stride() * c.Height()));
  const auto from = c.Pixel_Of(1480, 1480);
  const auto to = c.Pixel_Of(1880, 1500);
  int red = 0, red_outside = 0, white = 0;
  for (int row = 0; row < c.Height(); ++row) {
    for (int column = 0; column < c.Width(); ++column) {
      const int at = 54 + (c.Height() - 1 - row) * c.Stride() + 3 * column;
      const std::string bgr = bmp.substr(static_cast<std::size_t>(at), 3);
      white += bgr == "\xff\xff\xff";
      if (bgr != std::string("\0\0\xff", 3)) continue;
      ++red;
      red_outside += column < from.column - 2 || column > to.column + 2 || row < to.row - 2 || row > from.row + 2;
    }
  }
  EXPECT_GT(red, 20);
  EXPECT_EQ(red_outside, 0);
  EXPECT_GT(white, 100);
}

// On the virtual clock an idle second is one pass a display frame: about
// sixty, each waiting for input and refreshing the read-outs.
TEST(Grid_Test, AnIdleSecondIsAboutSixtyPassesNotThousands) {
  Grid_Bench b;
  b.session.identity.KV_Format = true;
  Quiet_KV(b);
  b.Stop_After(1.0);
  b.test.Run_Grid_Test();
  const Grid_Statistics& st = b.test.Statistics();
  EXPECT_GE(st.idle_passes, 60);
  EXPECT_LE(st.idle_passes, 62);
  EXPECT_EQ(st.passes, st.idle_passes);
  EXPECT_EQ(st.refreshes, st.idle_passes - 1);  // none after Stop_Test
  EXPECT_EQ(b.events, st.idle_passes);
  EXPECT_NEAR(b.Now() - b.stop_at, 0.0, 1.0 / 60.0 + 1e-9);
}

// The port closed before the test: the message, the window back as after a
// search, and a new search of the port.  A port that fails during the test
// (an unplugged adapter) ends it the same way, with a log line saying why.
TEST(Grid_Test, LostCommunicationAtTheStartOrWhenThePortVanishes) {
  Grid_Bench closed;  // a KV tablet found, its port closed since
  closed.Attach(1, std::make_unique<test::Recording_Device>("9600,o,8,1"));
  closed.session.identity.KV_Format = true;
  Grid_Bench vanishing;
  Simulated_Port& port = vanishing.Attach_Profile(1, "kv");
  Port_Icon_Command(vanishing.session, 1);
  port.Faults().vanish_at = vanishing.Now() + 1.0;
  for (Grid_Bench* b : {&closed, &vanishing}) {
    b->test.Run_Grid_Test();  // no Stop_Test from outside: the failure ends it
    EXPECT_TRUE(b->test.Lost_Communication());
    EXPECT_EQ(b->prompter.asked.back().text, "Lost Communication With Tablet!");
    EXPECT_EQ(b->prompter.asked.back().title, "");
    const Main_Window_State& m = b->session.main;
    EXPECT_FALSE(m.grid.Tbl_Grid_Visible || m.Close_Window.visible || b->player.Is_Open());
    EXPECT_TRUE(m.Find_Tablet.visible && m.ExitBtn.visible);
    const std::string log = b->Log();  // then a new search
    EXPECT_NE(log.find("\rSearching Serial Port 1:\r", log.find("\rGrid & Button Test:\r")), std::string::npos);
  }
  const Lines tx = closed.Trace_Of("TX");
  EXPECT_EQ(std::count(tx.begin(), tx.end(), "TX 40"), 0);  // the tablet was not prepared
  EXPECT_EQ(vanishing.session.main.ErrorMsg.text, Port_Error_Text() + "\rthe serial device does not exist");
  EXPECT_GT(vanishing.test.Statistics().reports, 20);
  EXPECT_NE(vanishing.Log().find("\rGrid & Button Test stopped, port error 57: the serial device stopped responding "
                                 "(input/output error); the adapter may have been unplugged\r"),
            std::string::npos);
}

// Leaving the test from its menu entry while the loop runs: the runner lets
// the test's own entries start, nothing else; the window gets its own
// entries back and the tablet's menu is offered again.
TEST(Grid_Test, CloseWindowRestoresTheWindowAndOffersTheTabletsMenu) {
  for (const auto& [profile, reset_offered] : {std::pair{"kv", true}, {"pupilane", false}}) {
    SCOPED_TRACE(profile);
    Grid_Bench b;
    Command_Runner runner;
    Add_Grid_Commands(runner, b.test);
    runner.Set("Find_Tablet", [] {});
    b.Attach_Profile(1, profile);
    Port_Icon_Command(b.session, 1);
    std::vector<Command_Runner::Outcome> outcomes;
    b.front_end.events = [&] {
      if (!outcomes.empty()) return;
      for (const char* name : {"Find_Tablet", "Crd_Mtr", "Close_Window"}) outcomes.push_back(runner.Run(name));
    };
    EXPECT_EQ(runner.Run("Grid_btn"), Command_Runner::Outcome::Ran);
    using O = Command_Runner::Outcome;
    EXPECT_EQ(outcomes, (std::vector<O>{O::Refused, O::Ran, O::Ran}));
    const Main_Window_State& m = b.session.main;
    EXPECT_TRUE(m.Crd_Mtr.checked);
    EXPECT_TRUE(b.session.Stop_Test);
    for (const Menu_Entry_State* e :
         {&m.Close_Window, &m.Clear_Grid, &m.Btn_Draw, &m.Save_Grid, &m.Grid_Help, &m.Coord_Opt})
      EXPECT_FALSE(e->visible) << e->name;
    for (const Menu_Entry_State* e : {&m.ExitBtn, &m.Find_Tablet, &m.Refresh_System_Info, &m.Find_Wintab})
      EXPECT_TRUE(e->visible) << e->name;
    EXPECT_TRUE(m.Grid_btn.enabled);
    EXPECT_EQ(m.Reset_Tbl.visible, reset_offered);
    EXPECT_FALSE(m.Config_Tbl.visible);
    EXPECT_FALSE(m.grid.Tbl_Grid_Visible || m.grid.X_Cord.visible || m.grid.Sel_Zelta_Cursor.visible ||
                 m.Btn_Press.visible || m.grid.Label7.visible);
    const Lines last(b.player.History().end() - 2, b.player.History().end());
    EXPECT_EQ(last, (Lines{"stop", "close"}));
  }
}

}  // namespace
}  // namespace stylomat
