#include "gui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QSettings>
#include <QStackedWidget>
#include <QStatusBar>
#include <QSocketNotifier>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWhatsThis>
#include <algorithm>
#include <exception>

#include "app/port_setup.h"
#include "app/startup.h"
#include "discovery/port_search.h"
#include "discovery/reset_tablet.h"
#include "discovery/wintab_search.h"
#include "app/config_window_factory.h"
#include "gui/about_windows.h"
#include "gui/config_form_window.h"
#include "gui/grid_panel.h"
#include "gui/log_window.h"
#include "gui/please_wait_dialog.h"
#include "gui/port_icon.h"
#include "gui/qt_prompter.h"
#include "gui/save_file_dialog.h"
#include "gui/wait_cursor.h"
#include "gui/wintab_monitor_window.h"
#include "wintab/wintab_monitor.h"

namespace stylomat::gui {

namespace {

constexpr int Port_Icon_Size = 48;

// The options remembered from one run to the next (in the user's
// configuration folder, Stylomat/Stylomat.conf).
constexpr const char* Parallel_Search_Setting = "Search/Parallel";

QSettings Remembered_Options() { return QSettings(QSettings::UserScope, "Stylomat", "Stylomat"); }

// Entries shown in a submenu of another entry rather than in the menu.
const char* Submenu_Of(const std::string& entry) {
  if (entry == "Crd_US" || entry == "Crd_Mtr" || entry == "Crd_Pnt") return "Coord_Opt";
  return nullptr;
}

// The Wintab icon: a tablet with its pen.
QIcon Driver_Icon(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor("#30415d"), size / 16.0));
  p.setBrush(QColor("#dfe7f2"));
  p.drawRoundedRect(QRectF(size * 0.08, size * 0.3, size * 0.84, size * 0.6), size * 0.08, size * 0.08);
  p.setPen(QPen(QColor("#1f6fd1"), size / 10.0, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(size * 0.42, size * 0.66), QPointF(size * 0.86, size * 0.1));
  return QIcon(pixmap);
}

void Set_Text_If_Changed(QLabel* label, const QString& text) {
  if (label->text() != text) label->setText(text);
}

// "COM2: /dev/ttyUSB0, ..." and, for a port that cannot be opened, why.
QString Port_Tooltip(const Port_Icon_State& icon) {
  QString tip = QString::fromStdString(icon.caption);
  if (!icon.device_text.empty()) tip += ": " + Window_Text(icon.device_text);
  if (!icon.reason.empty()) tip += "\n" + Window_Text(icon.reason);
  return tip;
}

}  // namespace

Main_Window::Main_Window(Session& session, QWidget* parent)
    : QMainWindow(parent),
      End([](int code) { QCoreApplication::exit(code); }),
      s_(session),
      log_window_(std::make_unique<Log_Window>(session.log)),
      please_wait_(std::make_unique<Please_Wait_Dialog>(session.clock, this)) {
  setObjectName("Main");
  setWindowTitle("Stylomat");
  setWindowIcon(Port_Icon(64, false));
  log_window_->setWindowIcon(Port_Icon(64, false));
  log_window_->Offer_Second_Log(session.Parallel_Log, "Ports &Probed in Parallel", "Ports Probed in Parallel");

  Build_Menus();
  // The grid and button test's view takes the window's place while it runs.
  grid_panel_ = new Grid_Panel(s_, this);
  grid_panel_->Changed = [this] { Sync(); };
  main_page_ = Build_Central();
  pages_ = new QStackedWidget(this);
  pages_->addWidget(main_page_);
  pages_->addWidget(grid_panel_);
  setCentralWidget(pages_);
  setStatusBar(grid_panel_->Grid_Bar());
  grid_panel_->Grid_Bar()->hide();
  Register_Commands();

  connect(log_window_.get(), &Log_Window::Closed_By_User, this, [this] {
    s_.main.Show_Debug_Window.checked = false;
    s_.main.Touch();
    Render();
  });

  // The busy state shows as soon as a command starts and goes when it ends.
  runner_.On_Busy_Change = [this] {
    if (!runner_.Running()) s_.main.Busy = false;
    s_.main.Touch();
    Render();
  };
  s_.Set_Front_End(this);
}

Main_Window::~Main_Window() {
  port_notifier_.reset();
  wait_cursor_.Set(false);
  s_.Set_Front_End(nullptr);
}

void Main_Window::Follow_Port_Devices(std::unique_ptr<Port_Watch> watch, Port_Follow follow) {
  port_notifier_.reset();
  port_watch_ = std::move(watch);
  port_follow_ = std::move(follow);
  if (!port_watch_ || port_watch_->Fd() < 0) return;
  port_notifier_ = std::make_unique<QSocketNotifier>(port_watch_->Fd(), QSocketNotifier::Read);
  connect(port_notifier_.get(), &QSocketNotifier::activated, this, [this] { Port_Devices_Announced(); });
}

void Main_Window::Port_Devices_Announced() {
  // Everything waiting is taken, so the notifier does not fire again for it.
  for (const Tty_Change& change : port_watch_->Take_Changes()) {
    if (change.action == "add" || change.action == "remove") ports_changed_ = true;
  }
  // Inside a command (its waits run window events) the map of the ports
  // stays as it is; the command's own port fails with its reason if its
  // adapter went.
  Apply_Port_Changes();
}

void Main_Window::Apply_Port_Changes() {
  if (!ports_changed_ || ending_ || runner_.Running() || config_window_) return;
  ports_changed_ = false;
  stylomat::Follow_Port_Devices(s_, port_follow_);
  Render();
}

void Main_Window::Process_Events() {
  // The splash's animation and the grid test's drawing follow between the
  // passes of whatever waits; only pending events run here, nothing waits.
  please_wait_->Follow(s_.splash, s_.App_Dir);
  Sync();
  if (wintab_monitor_) wintab_monitor_->Sync();
  grid_panel_->Refresh();
  QCoreApplication::processEvents();
}

void Main_Window::Refresh_Log_View() { log_window_->Refresh_Log_View(); }

void Main_Window::Repaint_Splash() {
  please_wait_->Follow(s_.splash, s_.App_Dir);
  Sync();
  please_wait_->repaint();
}

void Main_Window::Beep() { QApplication::beep(); }

std::optional<std::string> Main_Window::Ask_Save_File(const std::string& proposed, const std::string& filter) {
  return Ask_Save_File_Dialog(this, proposed, filter);
}

bool Main_Window::Open_Config_Window(Config_Window window, const std::string& caption) {
  Config_Window_Parts parts = Make_Config_Window(s_, window, caption);
  if (!parts.model) return false;
  if (config_window_) config_window_->close();
  config_window_ = std::make_unique<Config_Form_Window>(s_, std::move(parts));
  config_window_->setWindowIcon(windowIcon());
  config_window_->After_Command = [this] { Sync(); };
  connect(config_window_.get(), &Config_Form_Window::Closed, this,
          [this] { QTimer::singleShot(0, this, [this] { Config_Window_Closed(); }); });
  // A start-up command (or batch line) ends the program: the window is
  // never shown, and the program ends once this command has returned.
  (void)config_window_->Load();
  return true;
}

void Main_Window::Config_Window_Closed() {
  if (!config_window_) return;
  // The window's closing rules run as a command of this window: returning
  // to it searches the port again, with the menus locked meanwhile.
  Config_Form_Window* closing = config_window_.get();
  if (!ending_ && !closing->model().Closed()) {
    Set_Command("Config_Closed", [closing] { closing->model().On_Closed(); });
    Dispatch("Config_Closed");
  }
  if (config_window_.get() == closing) config_window_.reset();
  Render();
  Finish_Pending_End();
  Apply_Port_Changes();
}

void Main_Window::End_Program() {
  // Inside a command the program ends once the command has returned.
  if (runner_.Running()) return;
  QTimer::singleShot(0, this, [this] { Finish_Pending_End(); });
}

void Main_Window::Build_Menus() {
  for (Menu_State& menu_state : s_.main.Menus()) {
    QMenu* menu = menuBar()->addMenu(QString::fromStdString(menu_state.caption));
    menu->setObjectName(QString::fromStdString(menu_state.name));
    menus_[menu_state.name] = menu;
    for (Menu_Entry_State* entry : menu_state.entries) {
      QMenu* target = menu;
      if (const char* parent = Submenu_Of(entry->name)) target = menus_.at(parent);
      if (entry->separator_before) target->addSeparator();
      QAction* action = nullptr;
      if (entry->name == "Coord_Opt") {
        QMenu* sub = target->addMenu(QString::fromStdString(entry->caption));
        sub->setObjectName(QString::fromStdString(entry->name));
        menus_[entry->name] = sub;
        action = sub->menuAction();
      } else {
        action = target->addAction(QString::fromStdString(entry->caption));
        const std::string name = entry->name;
        connect(action, &QAction::triggered, this, [this, name] { Dispatch(name); });
      }
      action->setObjectName(QString::fromStdString(entry->name));
      if (!entry->shortcut.empty()) action->setShortcut(QKeySequence(QString::fromStdString(entry->shortcut)));
      actions_[entry->name] = action;
    }
  }
}

QLabel* Main_Window::Add_Label(Label_State& state, const char* name, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  // Labels can carry tablet replies: never read them as markup.
  label->setTextFormat(Qt::PlainText);
  labels_.emplace_back(&state, label);
  return label;
}

QWidget* Main_Window::Build_Central() {
  Main_Window_State& m = s_.main;
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(16, 12, 16, 12);
  layout->setSpacing(10);

  QLabel* description = Add_Label(m.Description, "Description", central);
  description->setWordWrap(true);
  layout->addWidget(description);

  auto* system = new QGroupBox("System", central);
  auto* system_grid = new QGridLayout(system);
  system_grid->addWidget(new QLabel("Operating System:", system), 0, 0);
  system_grid->addWidget(Add_Label(m.LabelOS, "LabelOS", system), 0, 1);
  system_grid->addWidget(new QLabel("Version:", system), 1, 0);
  system_grid->addWidget(Add_Label(m.LabelVersion, "LabelVersion", system), 1, 1);
  system_grid->addWidget(new QLabel("Build:", system), 2, 0);
  system_grid->addWidget(Add_Label(m.LabelBuild, "LabelBuild", system), 2, 1);
  auto* driver_line = new QHBoxLayout();
  tw_check_ = new QToolButton(system);
  tw_check_->setObjectName("TW_Check");
  tw_check_->setIcon(Driver_Icon(32));
  tw_check_->setIconSize(QSize(32, 32));
  tw_check_->setToolTip("Search for the tablet driver");
  connect(tw_check_, &QToolButton::clicked, this, [this] { Dispatch("TW_Check"); });
  driver_line->addWidget(tw_check_);
  driver_line->addWidget(Add_Label(m.L_TW_Check, "L_TW_Check", system));
  driver_line->addStretch(1);
  system_grid->addLayout(driver_line, 3, 0, 1, 2);
  system_grid->setColumnStretch(1, 1);
  layout->addWidget(system);

  auto* ports = new QGroupBox("Serial Ports", central);
  auto* ports_layout = new QVBoxLayout(ports);
  auto* icons = new QHBoxLayout();
  for (int com = 1; com <= 8; ++com) {
    auto* button = new QToolButton(ports);
    button->setObjectName(QString("Com_Btn_%1").arg(com));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setIconSize(QSize(Port_Icon_Size, Port_Icon_Size));
    button->setIcon(Port_Icon(Port_Icon_Size, false));
    button->setMinimumWidth(72);
    button->setVisible(false);
    const std::string name = "Com_Btn_" + std::to_string(com);
    connect(button, &QToolButton::clicked, this, [this, name] { Dispatch(name); });
    icons->addWidget(button);
    port_buttons_[com] = button;
  }
  icons->addStretch(1);
  ports_layout->addLayout(icons);
  simulated_note_ = new QLabel(ports);
  simulated_note_->setObjectName("Simulated_Ports_Note");
  simulated_note_->setTextFormat(Qt::PlainText);
  simulated_note_->setStyleSheet("color: #8a5a00; font-style: italic;");
  ports_layout->addWidget(simulated_note_);
  layout->addWidget(ports);

  auto* result = new QGridLayout();
  result->setHorizontalSpacing(12);
  auto* port_line = new QHBoxLayout();
  port_line->setSpacing(0);
  port_line->addWidget(Add_Label(m.Label3, "Label3", central));
  port_line->addWidget(Add_Label(m.CommPort, "CommPort", central));
  port_line->addWidget(Add_Label(m.Label4, "Label4", central));
  port_line->addStretch(1);
  result->addLayout(port_line, 0, 0, 1, 2);
  result->addWidget(Add_Label(m.Label5, "Label5", central), 1, 0);
  result->addWidget(Add_Label(m.Tbl, "Tbl", central), 1, 1);
  result->addWidget(Add_Label(m.Label2, "Label2", central), 2, 0);
  result->addWidget(Add_Label(m.Size_lb, "Size_lb", central), 2, 1);
  result->addWidget(Add_Label(m.Label8, "Label8", central), 3, 0);
  result->addWidget(Add_Label(m.Version_Lb, "Version_Lb", central), 3, 1);
  result->addWidget(Add_Label(m.Btn_Press, "Btn_Press", central), 4, 0, 1, 2);
  result->addWidget(Add_Label(m.WT_Label, "WT_Label", central), 5, 0, 1, 2);
  result->setColumnStretch(1, 1);
  layout->addLayout(result);

  QLabel* error = Add_Label(m.ErrorMsg, "ErrorMsg", central);
  error->setWordWrap(true);
  error->setStyleSheet("color: #b00020; font-weight: bold;");
  layout->addWidget(error);

  layout->addStretch(1);
  QLabel* disclaimer = Add_Label(m.Disclaimer, "Disclaimer", central);
  disclaimer->setWordWrap(true);
  disclaimer->setStyleSheet("color: #606060; font-size: small;");
  layout->addWidget(disclaimer);

  central->setMinimumSize(700, 480);
  return central;
}

void Main_Window::Register_Commands() {
  // The commands of this window.  The other entries and the port icons get
  // theirs here as their operations are built; until then they do nothing.
  Set_Command("ExitBtn", [this] { Exit_Program(); });
  for (int com = 1; com <= 8; ++com) {
    Set_Command("Com_Btn_" + std::to_string(com), [this, com] { Port_Icon_Command(s_, com); });
  }
  Set_Command("Find_Tablet", [this] { Search_All_Serial_Ports(); });
  Set_Command("Search_Parallel", [this] { Toggle_Parallel_Search(); });
  Set_Command("Reset_Tbl", [this] { Restore_Factory(s_); });
  Set_Command("Refresh_System_Info", [this] { Refresh_System_Info_Command(s_); });
  Set_Command("Config_Tbl", [this] { Open_Configuration(s_); });
  // Grid_btn runs the test; its own entries may start while it loops.
  Add_Grid_Commands(runner_, grid_panel_->Test());
  // Entries that only show or hide windows may run while anything else runs.
  Set_Command("Show_Debug_Window", [this] { Toggle_Debug_Window(); }, Command_Mode::Command, Mode_Set::Any_Mode());
  Set_Command("Display_Help", [] { QWhatsThis::enterWhatsThisMode(); }, Command_Mode::Command, Mode_Set::Any_Mode());
  for (const char* about : {"Main_About", "Help_About"}) {
    Set_Command(about, [this] { Show_Supported_Tablets(); }, Command_Mode::Command, Mode_Set::Any_Mode());
  }
  Register_Driver_Commands();
}

void Main_Window::Register_Driver_Commands() {
  Set_Command("Find_Wintab", [this] { Find_Wintab_Command(s_); });
  Set_Command("TW_Check", [this] { Find_Wintab_Command(s_); });
  Set_Command("WT_Info_Btn", [this] { WT_Info_Command(s_); });
  Set_Command("Find_USB", [this] { Close_Wintab(s_); });
  // The monitor polls inside Mon_Start; its Stop and the window's close
  // run between the polls.
  Set_Command("Mon_Start", [this] { Mon_Start(s_); });
  Set_Command("Mon_Stop", [this] { Mon_Stop(s_); }, Command_Mode::Command, Mode_Set{Command_Mode::Command});
  Set_Command("WT_Testing_Unload", [this] { Unload_Wintab_Monitor(s_); }, Command_Mode::Command,
              Mode_Set{Command_Mode::Command});
}

void Main_Window::Render_Driver(bool busy) {
  tw_check_->setEnabled(s_.main.TW_Check_Enabled && !busy);
  tw_check_->setVisible(s_.main.L_TW_Check.visible);
  const Wintab_Monitor_State& monitor = s_.wintab.WT_Testing;
  if (monitor.Loaded && monitor.Shown) {
    if (!wintab_monitor_) {
      wintab_monitor_ = std::make_unique<Wintab_Monitor_Window>(s_, [this](const std::string& name) { return Dispatch(name); });
      wintab_monitor_->setWindowIcon(windowIcon());
      // Beside the main window, where both can be seen.
      const QRect frame = frameGeometry();
      wintab_monitor_->move(frame.right() + 12, frame.top());
    }
    wintab_monitor_->Sync();
    if (!wintab_monitor_->isVisible()) {
      wintab_monitor_->show();
      wintab_monitor_->raise();
    }
  } else if (wintab_monitor_ && wintab_monitor_->isVisible()) {
    wintab_monitor_->hide();
  }
}

void Main_Window::Set_Command(const std::string& name, Command command, Command_Mode mode, Mode_Set alongside) {
  runner_.Set(name, std::move(command), mode, alongside);
}

void Main_Window::Start(const std::string& command_line) {
  wait_cursor_.Set(true);
  s_.main.Search_Parallel.checked = Remembered_Options().value(Parallel_Search_Setting, false).toBool();
  Start_Program(s_, command_line, Parse_Command_Line(command_line));
  std::vector<int> simulated;
  for (int com = 1; com <= 8; ++com) {
    const Port_Entry* entry = s_.ports.Find(com);
    if (entry && entry->simulated) simulated.push_back(com);
  }
  s_.main.Simulated_Ports_Note = Simulated_Ports_Note(simulated);
  s_.main.Touch();
  started_ = true;
  Render();
}

bool Main_Window::Dispatch(const std::string& name) {
  if (ending_) return false;
  const Command_Runner::Outcome outcome = runner_.Run(name);
  if (outcome == Command_Runner::Outcome::Unknown || outcome == Command_Runner::Outcome::Refused) return false;
  Render();
  if (outcome == Command_Runner::Outcome::Failed && !ending_) {
    // The program stays usable; the log keeps what happened up to here.
    s_.prompter.Inform("The command stopped: " + runner_.Failure(), "Stylomat");
  }
  Finish_Pending_End();
  // Adapters that came or went while the command ran.
  Apply_Port_Changes();
  return true;
}

void Main_Window::Show_Supported_Tablets() {
  if (!about_main_) about_main_ = std::make_unique<About_Main_Dialog>(this);
  about_main_->show();
  about_main_->raise();
}

void Main_Window::Toggle_Parallel_Search() {
  Menu_Entry_State& entry = s_.main.Search_Parallel;
  entry.checked = !entry.checked;
  s_.main.Touch();
  Remembered_Options().setValue(Parallel_Search_Setting, entry.checked);
}

void Main_Window::Search_All_Serial_Ports() {
  if (s_.main.Search_Parallel.checked) {
    Search_All_Ports_Parallel(s_);
  } else {
    Search_All_Ports(s_);
  }
}

void Main_Window::Toggle_Debug_Window() {
  Menu_Entry_State& entry = s_.main.Show_Debug_Window;
  entry.checked = !entry.checked;
  s_.main.Touch();
}

void Main_Window::Sync() {
  const Please_Wait_State& splash = s_.splash;
  if (s_.main.revision == rendered_revision_ && splash.Up == rendered_splash_.Up &&
      splash.Caption == rendered_splash_.Caption && splash.Hourglass == rendered_splash_.Hourglass) {
    return;
  }
  Render();
}

void Main_Window::Render() {
  if (ending_) return;
  Main_Window_State& m = s_.main;
  const bool busy = runner_.Running() || m.Busy;
  setWindowTitle(m.Caption.empty() ? QString("Stylomat") : QString::fromStdString(m.Caption));
  for (auto& [state, label] : labels_) {
    Set_Text_If_Changed(label, Window_Text(state->text));
    label->setVisible(state->visible);
  }
  Render_Ports(busy);
  Render_Menus(busy);
  Render_Driver(busy);
  Render_Grid_Page();
  if (started_ && isVisible() != m.Visible) setVisible(m.Visible);

  if (m.Show_Debug_Window.checked && !log_window_->isVisible()) {
    Place_Log_Window();
    log_window_->show();
    log_window_->raise();
  } else if (!m.Show_Debug_Window.checked && log_window_->isVisible()) {
    log_window_->hide();
  }
  please_wait_->Follow(s_.splash, s_.App_Dir);
  please_wait_->Render(s_.splash);
  // The driver's monitor polls inside its command: the pointer stays normal.
  wait_cursor_.Set((busy && !s_.wintab.Monitor_Running) || s_.splash.Hourglass);

  rendered_revision_ = m.revision;
  rendered_splash_.Up = s_.splash.Up;
  rendered_splash_.Caption = s_.splash.Caption;
  rendered_splash_.Hourglass = s_.splash.Hourglass;
}

void Main_Window::Render_Grid_Page() {
  grid_panel_->Render();
  const bool grid = grid_panel_->Active();
  if (grid == grid_page_shown_) return;
  grid_page_shown_ = grid;
  pages_->setCurrentWidget(grid ? static_cast<QWidget*>(grid_panel_) : main_page_);
  if (grid) {
    // Room for the drawing, as far as the screen allows.
    QSize room(980, 720);
    if (const QScreen* screen = this->screen()) room = room.boundedTo(screen->availableGeometry().size());
    if (width() < room.width() || height() < room.height()) resize(size().expandedTo(room));
  } else if (about_main_) {
    about_main_->hide();  // leaving the test unloads the supported-tablets window
  }
}

void Main_Window::Place_Log_Window() {
  // The first time, beside the main window where the screen has room, so
  // both can be read at once; later where the user left it.
  if (log_window_placed_ || !started_) return;
  log_window_placed_ = true;
  const QScreen* screen = this->screen();
  if (!screen) return;
  const QRect room = screen->availableGeometry();
  const QRect main_frame = frameGeometry();
  QPoint at(main_frame.right() + 12, main_frame.top());
  if (at.x() + log_window_->width() > room.right()) at.setX(std::max(room.left(), room.right() - log_window_->width()));
  log_window_->move(at);
}

void Main_Window::Render_Ports(bool busy) {
  Main_Window_State& m = s_.main;
  for (int com = 1; com <= 8; ++com) {
    const Port_Icon_State& icon = m.Com_Btn[com];
    QToolButton* button = port_buttons_[com];
    const QString caption = QString::fromStdString(icon.caption);
    if (button->text() != caption) button->setText(caption);
    const QString tip = Port_Tooltip(icon);
    if (button->toolTip() != tip) button->setToolTip(tip);
    if (port_icon_simulated_[com] != icon.simulated) {
      button->setIcon(Port_Icon(Port_Icon_Size, icon.simulated));
      port_icon_simulated_[com] = icon.simulated;
    }
    // A port whose device is there but cannot be opened is greyed.
    button->setEnabled(!busy && icon.enabled);
    button->setVisible(icon.visible);
  }
  Set_Text_If_Changed(simulated_note_, Window_Text(m.Simulated_Ports_Note));
  simulated_note_->setVisible(!m.Simulated_Ports_Note.empty());
}

void Main_Window::Render_Menus(bool busy) {
  for (Menu_State& menu : s_.main.Menus()) {
    for (Menu_Entry_State* entry : menu.entries) {
      QAction* action = actions_.at(entry->name);
      const QString caption = QString::fromStdString(entry->caption);
      if (action->text() != caption) action->setText(caption);
      // A shortcut is parsed only when its text changed.
      const QString shortcut = QString::fromStdString(entry->shortcut);
      if (action->property("shortcut_text").toString() != shortcut) {
        action->setShortcut(QKeySequence(shortcut));
        action->setProperty("shortcut_text", shortcut);
      }
      const bool alongside = runner_.Runs_Alongside(entry->name, runner_.Mode());
      action->setCheckable(entry->checkable);
      action->setChecked(entry->checked);
      action->setEnabled(entry->enabled && (!busy || alongside));
      action->setVisible(entry->visible);
    }
  }
}

void Main_Window::Exit_Program() {
  if (ending_) return;
  ending_ = true;
  s_.Stop_Test = true;
  Close_Wintab(s_);
  Reset_Tablet(s_);
  Unload_Windows();
  Finish(0);
}

void Main_Window::Close_Program() {
  if (ending_) return;
  ending_ = true;
  wait_cursor_.Set(true);
  s_.Stop_Test = true;
  Close_Wintab(s_);
  // Settings a configuration window applied on its way out stay in the
  // tablet.
  if (!s_.Keep_Settings_On_Exit) Reset_Tablet(s_);
  Unload_Windows();
  Finish(0);
}

void Main_Window::Unload_Windows() {
  log_window_->hide();
  please_wait_->hide();
  if (config_window_) config_window_->close();
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window != this && window->isVisible()) window->close();
  }
}

void Main_Window::Finish(int code) {
  wait_cursor_.Set(false);
  hide();
  if (End) End(code);
}

void Main_Window::Finish_Pending_End() {
  if (ending_ || runner_.Running()) return;
  if (close_pending_ || s_.End_Requested) Close_Program();
}

void Main_Window::closeEvent(QCloseEvent* event) {
  if (ending_) {
    event->accept();
    return;
  }
  event->ignore();
  if (runner_.Running()) {
    // The command running now is told to stop; the program closes once it
    // has returned.
    s_.Stop_Test = true;
    s_.wintab.Monitor_Stop_Request = true;
    close_pending_ = true;
    return;
  }
  Close_Program();
}

QDialog* Main_Window::Supported_Tablets() const { return about_main_.get(); }

QAction* Main_Window::Action(const std::string& name) const {
  const auto it = actions_.find(name);
  return it == actions_.end() ? nullptr : it->second;
}

QMenu* Main_Window::Menu(const std::string& name) const {
  const auto it = menus_.find(name);
  return it == menus_.end() ? nullptr : it->second;
}

QToolButton* Main_Window::Port_Button(int com) const {
  return com >= 1 && com <= 8 ? port_buttons_[com] : nullptr;
}

QLabel* Main_Window::Label(const std::string& name) const {
  for (const auto& [state, label] : labels_)
    if (label->objectName() == QString::fromStdString(name)) return label;
  return nullptr;
}

}  // namespace stylomat::gui
