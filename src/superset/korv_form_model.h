#pragma once
// KORV_form without the window: its menus, loading sequence, start-up
// commands and operations.  The window (or the CLI) owns one
// KORV_Form_Model while it is loaded and renders the form, the menus and
// the activity (please-wait count-down, pointer).
//
// Loading, in order: pointer busy and the main window hidden; the debug
// log check mark taken from the main window; " OEM" appended to the
// caption in OEM mode; the factory user SuperSets from the table file;
// the lists; entry 0 selected and shown; the start-up commands of the
// command line ("/SS", "/SW"), each of which ends the program; the
// "Read User" menu text for the Quorral III; then SuperSets 0 to 99 read
// from the tablet under the please-wait window.
#include <string>

#include "config/config_window_model.h"
#include "superset/korv_protocol.h"
#include "superset/superset_form.h"

namespace stylomat {

struct Session;

inline constexpr const char* KORV_Form_Caption = "Advanced Configuration";
inline constexpr const char* Read_User_Text = "Read &User Settings (90-99)";
inline constexpr const char* Read_User_Quorral_Text = "Read &User Settings (90-98)";
inline constexpr const char* Read_All_Text = "Read &All Settings (0-99)";

// A start-up command of the command line (upper-cased before it is
// searched).  "/SS" wins when both are present.
//   "/SSnn"  select SuperSet nn: the value of the three characters after
//            "/SS" (digits; blanks skipped; anything else ends the number).
//   "/SWb0,b1,b2,b3"  write the record into SuperSet 00: byte k is the
//            hexadecimal value of the two characters at 3k after "/SW"
//            (a non-hexadecimal character ends a value; empty is 0).
struct KORV_Startup_Command {
  enum class Kind { None, Select, Write };
  Kind kind = Kind::None;
  int superset = 0;         // Select: 0..999 as written
  SuperSet_Record record{};  // Write
};
KORV_Startup_Command Parse_KORV_Startup(const std::string& command_line);

class KORV_Form_Model : public Config_Window_Model {
 public:
  // Fills the lists by the session's OEM_Mode and Quorral_III_Flag.  The
  // caption is the routing's (Model_Name + " Advanced Configuration"), or
  // "Advanced Configuration" when none is given; " OEM" follows in OEM mode.
  explicit KORV_Form_Model(Session& session, const std::string& caption = "");

  SuperSet_Form& Form() { return form_; }
  KORV_Protocol& Protocol() { return protocol_; }

  // The whole loading sequence.
  Config_Load_Result Load() override;
  // Loading up to entry 0 shown: no start-up commands, no read of the
  // tablet.  For front ends that read only what they are asked for.
  void Prepare();
  bool Loaded() const { return loaded_; }
  // Runs the start-up command of the command line, if any; true when one
  // ran (the program end has then been requested).
  bool Run_Startup_Command();

  // CmdExit: the tablet is reset when the program ends; the window closes.
  void Exit_Command();

 private:
  void Sync_Activity();
  void Sync_Entries();

  SuperSet_Form form_;
  KORV_Protocol protocol_;
  bool loaded_ = false;
};

}  // namespace stylomat
