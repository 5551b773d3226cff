#pragma once
// The Mirolex2 and Dovrane3 windows without the window: menus, loading
// sequence, start-up commands, operations and closing.  The window (or the
// CLI) owns one Native_Window_Model while it is loaded and renders the
// form, the menus and the activity (please-wait window, pointer).
//
// Loading, in order: the main window hidden and the debug-log check mark
// taken from it; the factory SuperSets from the window's table file; the
// lists (filled by OEM_Mode and the model flags when the model is made);
// entry 0 selected; in Dovrane3 the start-up commands of the command line
// ("/SS", "/S"), each of which ends the program; the three Save entries
// disabled; the tablet's settings read (cmdRead, which offers the Save
// entries again when it ends); the pointer normal.
//
// Closing: Close_Window returns to the main window, which searches the
// port again; CmdExit (after its question) and the close box end the
// program.  Either way the window's model flag (Mirolex_III_Flag,
// Dovrane_IV_VI_Flag) is cleared.
#include <string>

#include "config/config_window_model.h"
#include "superset/native_protocol.h"
#include "superset/superset_form.h"

namespace stylomat {

struct Session;

inline constexpr const char* Mirolex2_Caption = "Mirolex II Advanced Configuration";
inline constexpr const char* Dovrane3_Caption = "Dovrane III Advanced Configuration";

// A start-up command of the Dovrane3 window (the command line upper-cased).
//   "/SSnn"  select SuperSet nn (read as KORV_form reads it: the digits of
//            the three characters after "/SS", blanks skipped)
//   "/S"     anywhere else: write the selected entry as power-up settings
struct Dovrane_Startup_Command {
  enum class Kind { None, Select, Write };
  Kind kind = Kind::None;
  int superset = 0;  // Select: 0..999 as written
};
Dovrane_Startup_Command Parse_Dovrane_Startup(const std::string& command_line);

class Native_Window_Model : public Config_Window_Model {
 public:
  // window: Config_Window::Mirolex2 or Config_Window::Dovrane3 (anything
  // else throws std::invalid_argument).  caption: the routing's
  // (Model_Name + " Advanced Configuration"); empty gives the window's own.
  Native_Window_Model(Session& session, Config_Window window, const std::string& caption = "");

  SuperSet_Form& Form() { return form_; }
  Native_Protocol& Protocol() { return protocol_; }
  // What the last menu operation or the loading read answered.
  Native_Result Last_Result() const { return last_result_; }

  // The whole loading sequence.
  Config_Load_Result Load() override;
  // Dovrane3: runs the start-up command of the command line, if any; true
  // when one was given (the program end has then been requested).  Mirolex2
  // has none: false.
  bool Run_Startup_Command();

  // The menu operations, as the entries run them.
  void Save_Temporary();   // CmdChange
  void Save_Power_Up();    // CmdSavePon
  void Save_Custom();      // CmdSaveUser
  void Read_Settings();    // cmdRead
  void Restore_Factory();  // cmddef
  void Exit_Command();     // CmdExit

 private:
  void Sync_Activity();

  SuperSet_Form form_;
  Native_Protocol protocol_;
  Native_Result last_result_ = Native_Result::Done;
};

}  // namespace stylomat
