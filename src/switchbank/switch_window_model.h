#pragma once
// Pv5 and VSIII without the window: the menus, the loading sequence, the
// batch command line and the operations of the two switch-bank windows
// ("Pallivant V Advanced Configuration", "Velliscope III Advanced
// Configuration").  The window (or the CLI) owns one Switch_Window_Model
// while it is loaded and renders its Switch_Bank_Form, menus and pointer.
//
// Loading, in order: pointer busy and the main window hidden; the debug log
// check mark taken from the main window; the factory pattern; then either
// the batch command line ("/S" and 21 switch characters: the pattern is
// written as temporary settings and the program ends) or a read of the
// tablet; pointer normal.
//
// Every operation that talks to the tablet first wakes it on its port
// (Open_Config_Port, which also asks for its settings); a tablet that does
// not answer gets nothing more, without a message.
#include <cstddef>
#include <string>

#include "config/config_window_model.h"
#include "switchbank/switch_bank_form.h"
#include "switchbank/switch_tables.h"

namespace stylomat {

struct Session;

// The questions of the window, as the tablet's users know them.
inline constexpr const char* Temporary_Exit_Question =
    "For these settings to take effect you must exit now!\r\r\nDo you want to to exit and use these settings?";
inline constexpr const char* Power_On_Exit_Question =
    "Power On settings will be activated!\r\r\nDo you want to continue?";
// Title of the box that refuses a batch command line.
inline constexpr const char* Batch_Message_Title = "Stylomat";

// Switch characters after "/S": swa 1-8, swb 1-8, swc 1-5.
inline constexpr std::size_t Batch_Switch_Count = 21;

// The batch command line of the switch-bank windows: "/S" anywhere in the
// upper-cased line, then one character per switch, "0" or "1".  A line
// with fewer than 21 characters after "/S", or with any other character
// among them, is refused: nothing is written, and the reason is told.
struct Batch_Switches {
  enum class Kind {
    None,     // no "/S" on the line
    Pattern,  // the switches to write
    Refused,  // "/S" with a pattern that cannot be written
  };
  Kind kind = Kind::None;
  // swa 1-8, swb 1-8, swc 1-5 as given; swc 6-8 not present.
  Switch_Banks pattern{};
  // Refused: why, in words for the box and the log.
  std::string reason;
};
Batch_Switches Parse_Batch_Switches(const std::string& command_line);

class Switch_Window_Model : public Config_Window_Model {
 public:
  // window: Pv5 or VSIII.  The caption is the routing's (Model_Name +
  // " Advanced Configuration"), or the family's when none is given.
  Switch_Window_Model(Session& session, Config_Window window, const std::string& caption = "");

  Switch_Bank_Form& Form() { return form_; }
  const Switch_Bank_Form& Form() const { return form_; }

  // The whole loading sequence.  Ended: a batch command line ran (or was
  // refused) and the program end has been requested; the window is not
  // shown, so it needs no On_Closed.
  Config_Load_Result Load() override;

  // ---- operations (also reachable by name through Run) ----
  // CmdRead: wakes the tablet, shows its settings reply (also a missing
  // one: the last reply kept), then ESC "%VF" CR when it answered.
  void Read_Current_Settings();
  // CmdChange: writes the switches and asks whether to exit and use them;
  // Yes keeps them on exit (ESC "%A1" CR, ESC "%VF" CR) and closes the
  // window, which ends the program.
  void Save_Temporary_Settings();
  // CmdSaveChange: writes the switches and stores them as the power-up
  // settings (ESC "%VF1" CR).  The window stays open.
  void Save_Power_Up_Settings();
  // CmdDefualt: the factory pattern, stored as the power-up settings.
  void Restore_Factory_Settings();
  // CmdExit: the tablet is reset when the program ends; asks first, Yes
  // closes the window (the program ends).
  void Exit_Command();

 private:
  // Writes the switches after a wake-up; true when the tablet answered the
  // wake-up that follows the write.
  bool Write_And_Wake();
  void Sync_Activity();
  // Batch command line; true when one was on the line.
  bool Run_Batch();

  Switch_Bank_Form form_;
  bool working_ = false;  // an operation runs: the pointer is busy
};

}  // namespace stylomat
