#pragma once
// The settings protocol of the Mirolex II/III and Dovrane III/IV/VI
// tablets, as the Mirolex2 and Dovrane3 windows run it.  These tablets
// hold no SuperSet records: they report and take their settings as a
// seven-byte settings image (text "40,77,89,61,00,08,00"), and keep their
// user SuperSets 90 to 99 in a binary user bank.  The window keeps the
// SuperSet form for display and editing; this class translates between
// the form's Working_Record and the image and talks to the tablet.
//
// Commands (ESC 27, CR 13; one write each unless said otherwise):
//   ESC "%__S" CR        active settings          ESC "%__S1" CR  power-up settings
//   ESC "%__S" nn CR     user SuperSet nn (Mirolex II, Dovrane)
//   ESC "%__s" image CR  make the image active    ESC "%__s" image nn CR  store it as nn
//   ESC "%VF" CR         after a temporary write and after a read
//   ESC "%VF1" CR        after a power-up write (the active settings become power-up)
//   ESC "%A1" CR         before leaving with the temporary settings kept
//   ESC "%__r" CR, 0x06 back, "5" CR, 129 bytes back, "512" CR   user bank dump (Mirolex III)
//   ESC "%__u" CR, 0x06 back, "5" CR, 128 bytes one write each, "512" CR   user bank write
// A reply wait ("wait for n bytes") ends when n bytes wait or one second
// has passed, whichever comes first; window events run meanwhile.
//
// Log lines of these exchanges are written whatever Debug_Mode says; their
// texts are the tablets' technicians' record and are kept exactly (the
// "ESC %__S 90" of a user read has its blank before the number, the read
// back of a one-at-a-time write always says "Bank 90").
//
// Safety, beyond the tablet's own sequence:
//  - a user bank dump shorter than 129 bytes fills only the rows whose four
//    record bytes came (later rows keep their values, nothing shifts) and
//    the log says how many bytes came;
//  - the active settings are written back after a read only when this read
//    got them (never a stale or empty image);
//  - Restore Factory writes nothing unless the window's table file was read
//    completely (it would otherwise write zeros as power-up and user
//    settings);
//  - every wait is bounded by the clock;
//  - a port error ends the operation: the log says what stopped it,
//    Search_Status becomes -2, the form leaves its loading state and the
//    window stays usable.
// Only one operation runs at a time: one asked for while another runs
// (from window events inside a wait) is refused as Busy, with nothing sent.
#include <functional>
#include <optional>
#include <string>

#include "core/please_wait_state.h"
#include "serial/settings_image.h"
#include "serial/settings_image_link.h"

namespace stylomat {

struct Session;
class SuperSet_Form;

// Questions of the Mirolex2 and Dovrane3 menu entries (titled "Warning!").
inline constexpr const char* Save_Temporary_Text =
    "This will temporarily change the Tablet's settings.\r\nIf the power is cycled or a new Super Set is "
    "selected, these settings will be lost.\r\nDo you want to continue?";
inline constexpr const char* Exit_To_Keep_Text =
    "For these settings to take effect you must exit now!\r\r\nDo you want to to exit and use these settings?";
inline constexpr const char* Save_Power_On_Text =
    "This will overwrite the Tablet's power on defualt settings.\r\nDo you want to continue?";
inline constexpr const char* Save_Custom_Text =
    "This will overwrite all 10 of the user defined settings in the Tablet.\r\nDo you want to continue?";
inline constexpr const char* Power_On_Exit_Text = "Power On settings will be activated!\r\nDo you want to continue?";

// Please-wait captions of the long operations (reading has the KORV
// window's "Reading Tablet Settings").
inline constexpr const char* Writing_Custom_Settings = "Writing Custom Settings";
inline constexpr const char* Restoring_Factory_Settings = "Restoring Factory Settings";

// The model whose user SuperSets are written one at a time, 90 to 98, when
// the Dovrane IV/VI flag is clear.
inline constexpr const char* Dovrane_IV_Model = "KORV Mensaro, Dovrane IV";

// The user bank: 10 x (4 record bytes + 8 bytes 0xFF) + 8 bytes 0xFF; a
// dump adds one more byte.
inline constexpr int User_Bank_Bytes = 128;
inline constexpr int User_Dump_Bytes = 129;

enum class Native_Result {
  Done,         // ran to its end
  Declined,     // a question was answered No
  No_Tablet,    // the port set-up found no tablet (Search_Status not 0): nothing was read or written
  Refused,      // nothing sent: the factory table file could not be read completely
  Busy,         // another operation runs: nothing was done
  Port_Failed,  // a port error stopped the operation (logged)
  Ended,        // the user chose to end the program
};
const char* Result_Name(Native_Result r);

// What the front end shows while an operation runs.
struct Native_Activity {
  Read_Progress_State Please_Wait;  // Shown, Wait_Text, Wait_Progress (" 90")
  bool Hourglass = false;
  bool Busy = false;
};

class Native_Protocol {
 public:
  // The form's window (Mirolex2 or Dovrane3) picks the variant.
  explicit Native_Protocol(SuperSet_Form& form);
  Native_Protocol(const Native_Protocol&) = delete;
  Native_Protocol& operator=(const Native_Protocol&) = delete;

  SuperSet_Form& Form() { return form_; }
  bool Is_Dovrane() const;
  const Native_Activity& Activity() const { return activity_; }
  // Called after every change of Activity() and of the Save entries.
  std::function<void()> On_Activity;
  void Show_Hourglass(bool on);

  // ---- the window's values ----
  // The last settings reply the tablet sent (kept when a wait gets none).
  const std::string& Reply() const { return reply_; }
  // The active settings as the last read found them, written back after it.
  const std::string& Previous_Settings() const { return previous_; }
  const Native_Image& Image() const { return image_; }
  // From the last reply into the form's Working_Record.
  void Image_To_SuperSet();
  // From the form's Working_Record into Image().
  void SuperSet_To_Image();
  // CmdChange, CmdSavePon and CmdSaveUser: off while loading, on once a
  // read has ended.
  bool Save_Entries_Enabled() const { return save_entries_enabled_; }
  void Disable_Save_Entries();
  // A power-up save answered No (Restore Factory then reads nothing back).
  bool Save_Cancelled() const { return cancelled_; }

  // ---- steps (each one operation of its own) ----
  // Image() into the active settings, and the power-up settings when
  // power_up is not 0.  The port as it stands.
  Native_Result Write_Image(int power_up);
  // Mirolex III: the user bank into rows 90 to 99.  The port as it stands.
  Native_Result Read_User_Dump();
  // Rows 90 to 99 as the user bank.  The port as it stands.
  Native_Result Write_User_Bank();
  // Rows 90 to 99 one at a time, each read back (pause 0.3 s, 0.1 s in
  // the Dovrane3 window).  The port as it stands.
  Native_Result Write_User_One_At_A_Time();
  // Rows 90 to 98 one at a time, a tick apart, no read back (a Dovrane IV
  // without its flag).  The port as it stands.
  Native_Result Write_Dovrane_IV_User();
  // The Dovrane3 "/S" start-up command: the port set up, then the form's
  // Working_Record written as the power-up settings.
  Native_Result Write_Startup_Image();

  // ---- menu entries ----
  Native_Result Read_Current_Settings();  // cmdRead: rows 100, 0 and 90..99
  Native_Result Save_Temporary();         // CmdChange: Ended when the user chose to exit
  Native_Result Save_Power_Up();          // CmdSavePon
  Native_Result Save_Custom();            // CmdSaveUser
  Native_Result Restore_Factory();        // cmddef

 private:
  class Operation;
  class Wait_Window;

  Session& session();
  Settings_Image_Link Link();
  void Changed();
  void Set_Progress(int superset);
  std::string Port_Setup();
  Native_Result Run(const char* what, const std::function<Native_Result()>& body);
  bool Ask(const char* text);

  std::optional<std::string> Wait_For_Reply();
  void Load_Row_Image(int row);
  void Store_Reply_In(int row);

  Native_Result Do_Write_Image(int power_up);
  Native_Result Do_Read();
  void Do_Read_User_Dump();
  void Do_Write_User_Bank();
  void Do_Write_One_At_A_Time();
  void Do_Write_Dovrane_IV_User();
  Native_Result Do_Save_Power_Up(const char* wait_text);
  Native_Result Do_Save_Custom(const char* wait_text);

  SuperSet_Form& form_;
  Native_Activity activity_;
  std::string reply_;
  std::string previous_;
  Native_Image image_{};
  bool save_entries_enabled_ = false;
  bool cancelled_ = false;
};

}  // namespace stylomat
