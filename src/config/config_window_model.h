#pragma once
// What every configuration window is besides its settings boxes: its
// caption, menus, about texts, debug-log check mark, the activity it shows
// (pointer, please-wait window), its commands, and the rules of its closing.
// The five windows (KORV_form, Mirolex2, Dovrane3, Pv5, VSIII) derive from
// it; one Qt window class renders any of them, and the CLI drives them
// headless through the same commands.
#include <string>
#include <vector>

#include "core/command_runner.h"
#include "core/config_windows.h"
#include "core/form_changes.h"
#include "core/please_wait_state.h"
#include "core/tablet_identity.h"

namespace stylomat {

struct Session;

struct Config_Menu_Entry {
  std::string name;     // control name, "CmdSavePon"
  std::string caption;  // with "&" before the access key
  bool enabled = true;
  bool visible = true;
  bool checkable = false;
  bool checked = false;
  bool separator_before = false;
};

struct Config_Menu {
  std::string name;     // "File_Menu"
  std::string caption;  // "&File"
  std::vector<Config_Menu_Entry> entries;
};

// What the front end shows while the window works.
struct Config_Activity {
  bool Hourglass = false;           // the mouse pointer
  Read_Progress_State Please_Wait;  // Shown, Wait_Text, Wait_Progress
};

enum class Config_Load_Result {
  Shown,  // the window shows the tablet's settings
  Ended,  // a start-up command ran, or the user chose to end: the program ends
};

enum class Config_Close_Result {
  Back_To_Main,  // Close_Window: the main window shows again and searches the port
  End_Program,   // an exit, the close box: the program end was requested
};

// The question boxes of the configuration windows.
inline constexpr const char* Warning_Title = "Warning!";

class Config_Window_Model : public Form_Changes {
 public:
  // model_flag: the variant flag of the identity this window clears when it
  // closes (nullptr when the window has none).
  Config_Window_Model(Session& s, Config_Window window, std::string caption,
                      bool Tablet_Identity::*model_flag = nullptr);
  Config_Window_Model(const Config_Window_Model&) = delete;
  Config_Window_Model& operator=(const Config_Window_Model&) = delete;
  virtual ~Config_Window_Model() = default;

  Config_Window Window() const { return window_; }
  Session& session() { return s_; }
  const std::string& Caption() const { return caption_; }
  const std::vector<Config_Menu>& Menus() const { return menus_; }
  // nullptr for a name no menu has.
  const Config_Menu_Entry* Entry(const std::string& name) const;
  // The about box: its title is the caption, its description names the
  // tablet found.
  const std::string& About_Title() const { return caption_; }
  std::string About_Description() const;
  const Config_Activity& Activity() const { return activity_; }

  // ---- commands ----
  // The window's entries by name.  The model plugs in its operations; a
  // front end adds what only it can do (printing, the about box).  While an
  // operation talks to the tablet, only the debug-log entry may start.
  Command_Runner& Commands() { return commands_; }
  // A click on an entry: refused while it is disabled or hidden.
  Command_Runner::Outcome Run(const std::string& entry);

  // ---- loading ----
  // The whole loading sequence of the window, start-up commands and the
  // first read of the tablet included.
  virtual Config_Load_Result Load() = 0;

  // ---- debug log ----
  // Show_Debug_Window: this window's check mark, mirrored from and to the
  // main window's entry (which the log window follows).
  bool Debug_Window_Checked() const;
  void Toggle_Debug_Window();

  // ---- closing ----
  // The window asked its front end to close it (Close_Window, an exit
  // answered Yes, ...).
  bool Close_Requested() const { return close_requested_; }
  // Close_Window: back to the main window once the window has closed.
  void Close_Window();
  // The window closed, by an entry or by its close box: the model flag is
  // cleared; without Return_To_Main the program end is requested,
  // otherwise the main window shows again with this window's check mark and
  // its port is searched again (as the port icon does).
  Config_Close_Result On_Closed();
  bool Closed() const { return closed_; }

 protected:
  void Set_Caption(std::string caption);
  Config_Menu& Add_Menu(std::string name, std::string caption);
  Config_Menu_Entry& Add_Entry(Config_Menu& menu, std::string name, std::string caption,
                               bool separator_before = false);
  void Set_Entry_Enabled(const std::string& name, bool enabled);
  void Set_Entry_Caption(const std::string& name, const std::string& caption);
  // The common entries: Close_Window, Show_Debug_Window (the front end
  // handles Form_Print and the about entry).
  void Register_Common_Commands();
  // Registers an operation that talks to the tablet.
  void Add_Operation(const std::string& name, Command_Runner::Action action);

  void Set_Hourglass(bool on);
  void Show_Please_Wait(const std::string& text);
  void Set_Please_Wait_Progress(const std::string& progress);
  void Close_Please_Wait();
  void Request_Close();
  // Loading steps every window starts with: the main window hidden, the
  // debug-log check mark copied from the main window.
  void Begin_Loading();

 private:
  Config_Menu_Entry* Find(const std::string& name);

  Session& s_;
  Config_Window window_;
  std::string caption_;
  bool Tablet_Identity::*model_flag_;
  std::vector<Config_Menu> menus_;
  Config_Activity activity_;
  Command_Runner commands_;
  bool close_requested_ = false;
  bool closed_ = false;
};

}  // namespace stylomat
