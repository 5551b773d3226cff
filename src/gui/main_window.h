#pragma once
// The main window (Main): renders the session's main-window state (caption,
// texts, port icons, result labels, menus) and forwards every menu entry
// and port icon to one dispatch point.  Its start is the program's start,
// its Exit and Close the program's end.
#include <QMainWindow>
#include <QPointer>
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/port_hotplug.h"
#include "core/command_runner.h"
#include "core/front_end.h"
#include "core/session.h"
#include "gui/wait_cursor.h"
#include "platform/tty_monitor.h"

class QAction;
class QDialog;
class QLabel;
class QMenu;
class QStackedWidget;
class QSocketNotifier;
class QToolButton;

namespace stylomat::gui {

class About_Main_Dialog;
class Config_Form_Window;
class Grid_Panel;
class Log_Window;
class Please_Wait_Dialog;
class Wintab_Monitor_Window;

class Main_Window : public QMainWindow, public Front_End {
  Q_OBJECT

 public:
  using Command = std::function<void()>;

  explicit Main_Window(Session& session, QWidget* parent = nullptr);
  ~Main_Window() override;

  // Start-up: mode flags from the command line, the caption as the first
  // log line, the system information with the port scan, the port icons
  // and the note on simulated ports; the log window opens in Debug_Mode.
  void Start(const std::string& command_line);

  // Follows serial adapters coming and going: the watch's descriptor wakes
  // the window (a QSocketNotifier, no polling); the ports are looked at
  // again (Follow_Port_Devices) at once when idle, otherwise once the
  // running command or the open configuration window is done.  A command
  // whose own adapter goes fails with the reason its port gives.
  void Follow_Port_Devices(std::unique_ptr<Port_Watch> watch, Port_Follow follow);
  bool Port_Changes_Pending() const { return ports_changed_; }

  // The one way into every command: a menu entry's name ("Find_Tablet") or
  // a port icon's ("Com_Btn_3").  A command runs inside this call, waits
  // included, with the menus and icons disabled but for the entries that
  // may start alongside it (Command_Runner).  Returns false when nothing
  // ran: the entry has no command yet, or the running command does not let
  // it start.
  bool Dispatch(const std::string& name);
  // Plugs a command in; see Command_Runner::Set.
  void Set_Command(const std::string& name, Command command, Command_Mode mode = Command_Mode::Command,
                   Mode_Set alongside = {});
  bool Has_Command(const std::string& name) const { return runner_.Has(name); }
  bool Command_Running() const { return runner_.Running(); }

  // ---- Front_End: what the core asks of the window ----
  void Process_Events() override;
  void Refresh_Log_View() override;
  void Repaint_Splash() override;
  void Beep() override;
  bool Open_Config_Window(Config_Window window, const std::string& caption) override;
  void End_Program() override;
  // The save dialog (Form_Dialog) of the grid test's Save As.
  std::optional<std::string> Ask_Save_File(const std::string& proposed, const std::string& filter) override;

  // The configuration window open now (nullptr when none).
  class Config_Form_Window* Config_Window_Open() const { return config_window_.get(); }

  // Renders the whole state; Sync renders only when the state changed.
  void Render();
  void Sync();

  // Exit (ExitBtn): resets the tablet, unloads the other windows and ends.
  void Exit_Program();
  // Close (the main window closed, or a configuration window ended the
  // program): as Exit, but a tablet keeps the settings a configuration
  // window applied (Keep_Settings_On_Exit).
  void Close_Program();
  bool Ending() const { return ending_; }

  // Ends the program; by default leaves the event loop with the code.
  std::function<void(int)> End;

  Log_Window& log_window() { return *log_window_; }
  Please_Wait_Dialog& please_wait() { return *please_wait_; }
  // The grid and button test's page, its status bar and the test itself.
  Grid_Panel& grid_panel() { return *grid_panel_; }
  QAction* Action(const std::string& name) const;
  QMenu* Menu(const std::string& name) const;
  QToolButton* Port_Button(int com) const;
  QLabel* Label(const std::string& name) const;
  // The supported-tablets window, once it was opened.
  QDialog* Supported_Tablets() const;
  // The tablet driver's monitor window, once it was loaded; the Wintab icon.
  Wintab_Monitor_Window* Wintab_Monitor() const { return wintab_monitor_.get(); }
  QToolButton* TW_Check() const { return tw_check_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void Build_Menus();
  QWidget* Build_Central();
  QLabel* Add_Label(Label_State& state, const char* name, QWidget* parent);
  void Register_Commands();
  void Register_Driver_Commands();
  void Render_Driver(bool busy);
  void Toggle_Debug_Window();
  // Options > Search Ports in Parallel: checks or unchecks it and
  // remembers the choice (QSettings) for the next run.
  void Toggle_Parallel_Search();
  void Search_All_Serial_Ports();
  void Show_Supported_Tablets();
  void Place_Log_Window();
  void Render_Menus(bool busy);
  void Render_Ports(bool busy);
  void Render_Grid_Page();
  void Unload_Windows();
  void Finish(int code);
  void Finish_Pending_End();
  void Config_Window_Closed();
  void Port_Devices_Announced();
  void Apply_Port_Changes();

  Session& s_;
  std::unique_ptr<Log_Window> log_window_;
  std::unique_ptr<Please_Wait_Dialog> please_wait_;
  std::unique_ptr<Config_Form_Window> config_window_;
  std::unique_ptr<About_Main_Dialog> about_main_;
  std::unique_ptr<Wintab_Monitor_Window> wintab_monitor_;
  QToolButton* tw_check_ = nullptr;
  Command_Runner runner_;
  std::map<std::string, QAction*> actions_;
  std::map<std::string, QMenu*> menus_;
  std::vector<std::pair<Label_State*, QLabel*>> labels_;
  std::array<QToolButton*, 9> port_buttons_{};
  std::array<bool, 9> port_icon_simulated_{};
  QLabel* simulated_note_ = nullptr;
  QStackedWidget* pages_ = nullptr;
  QWidget* main_page_ = nullptr;
  Grid_Panel* grid_panel_ = nullptr;
  bool grid_page_shown_ = false;

  std::unique_ptr<Port_Watch> port_watch_;
  std::unique_ptr<QSocketNotifier> port_notifier_;
  Port_Follow port_follow_;
  bool ports_changed_ = false;

  bool started_ = false;
  bool ending_ = false;
  bool close_pending_ = false;
  Wait_Cursor wait_cursor_;
  bool log_window_placed_ = false;
  std::uint64_t rendered_revision_ = ~std::uint64_t{0};
  Please_Wait_State rendered_splash_;
};

}  // namespace stylomat::gui
