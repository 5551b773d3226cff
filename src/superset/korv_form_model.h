#pragma once
// KORV_form without the window: its loading sequence, its start-up
// commands and the state rules of its closing.  The window (or the CLI)
// owns one KORV_Form_Model while it is loaded and renders the form, the
// protocol's activity (please-wait count-down, pointer) and the state here.
//
// Loading, in order: pointer busy and the main window hidden; the debug
// log check mark taken from the main window; " OEM" appended to the
// caption in OEM mode; the factory user SuperSets from the table file;
// the lists; entry 0 selected and shown; the start-up commands of the
// command line ("/SS", "/SW"), each of which ends the program; the
// "Read User" menu text for the Quorral III; then SuperSets 0 to 99 read
// from the tablet under the please-wait window.
#include <string>

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

// What KORV_form shows besides its boxes, SuperSet list and the
// protocol's activity.
struct KORV_Form_State {
  std::string Caption = KORV_Form_Caption;
  std::string Read_User_Caption = Read_User_Text;
  bool Show_Debug_Window_Checked = false;
  bool Loaded = false;
};

enum class KORV_Load_Result {
  Shown,  // the window shows the tablet's SuperSets (or entry 0 after "Tablet not found")
  Ended,  // a start-up command ran (or the user chose to end): the program ends
};

enum class KORV_Close_Result {
  Back_To_Main,  // Close_Window: the main window shows again and searches the port
  End_Program,   // Exit, the close box: the program ends (requested)
};

class KORV_Form_Model {
 public:
  // Fills the lists by the session's OEM_Mode and Quorral_III_Flag.
  explicit KORV_Form_Model(Session& session);
  KORV_Form_Model(const KORV_Form_Model&) = delete;
  KORV_Form_Model& operator=(const KORV_Form_Model&) = delete;

  SuperSet_Form& Form() { return form_; }
  KORV_Protocol& Protocol() { return protocol_; }
  const KORV_Form_State& State() const { return state_; }
  KORV_Form_State& State() { return state_; }

  // The whole loading sequence.
  KORV_Load_Result Load();
  // Loading up to entry 0 shown: no start-up commands, no read of the
  // tablet.  For front ends that read only what they are asked for.
  void Prepare();
  // Runs the start-up command of the command line, if any; true when one
  // ran (the program end has then been requested).
  bool Run_Startup_Command();

  // Close_Window: the window is left for the main window.  The front end
  // then closes the window (On_Closed), which searches the port again.
  void Close_Window();
  // CmdExit: the tablet is reset when the program ends.  The front end then
  // closes the window (On_Closed).
  void Exit_Command();
  // The window closed, by either entry or by its close box: the Quorral III
  // flag is cleared; without Return_To_Main the program end is requested,
  // otherwise the main window shows again with this window's debug log
  // check mark and its port is searched again (as the port icon does).
  KORV_Close_Result On_Closed();

 private:
  Session& session_;
  SuperSet_Form form_;
  KORV_Protocol protocol_;
  KORV_Form_State state_;
};

}  // namespace stylomat
