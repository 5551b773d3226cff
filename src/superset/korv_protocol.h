#pragma once
// Reading and writing SuperSets on a KORV tablet (the Quorral III and its
// kin), on the port as the search left it (9600,N,8,1, open).
//
// Byte 0x01 puts the tablet into its command state, ESC ends it; numbers
// are sent as exactly two decimal digits.
//   read nn    0x01 once, then per SuperSet "R" "R" CR, the number, CR;
//              the reply is some text, LF, the four record bytes raw.
//   write nn   ESC, 0x01 "z" "a" CR, the four bytes (loads the work area),
//              0x01 "L" "S" CR, the number, CR (stores it), ESC, then the
//              SuperSet is read back.
//   select nn  0x01 "E" "S" CR, the number, ESC: SuperSet nn becomes the
//              one the tablet runs from after power-up.
// Every write to the port is one Output of the bytes shown; the pauses
// between them are the tablet's and are kept exactly.
//
// The operations act on a KORV_form model (SuperSet_Form): each SuperSet
// read is stored in its table row, its entry is selected and shown, so
// after a read or a write the form shows what the tablet holds.  Editable
// rows (0, 90 to 99) pass through the form's encoding on selection and are
// stored back re-encoded.
//
// Only one read or write runs at a time: the waits let window events run,
// and an operation asked for while another runs is refused (KORV_Result::
// Busy) without a question or a byte sent.
//
// Port errors.  During a write (and its read-back, and the select
// command) an error of the serial device goes to Error_Prompt: a device
// input/output error (number 57) is passed over without a message and the
// failed step is skipped (never retried); any other error asks "ERROR"
// Yes/No, where Yes goes on with the next step and No asks the program to
// end (Session::Request_End) and stops the sequence.  During a read on its
// own, a failed step is skipped: the reply it should have brought is
// missing, so the read ends with "Tablet not found" as for a silent tablet.
#include <functional>
#include <string>
#include <vector>

#include "core/please_wait_state.h"
#include "superset/superset_record.h"

namespace stylomat {

struct Session;
class SuperSet_Form;
class Port_Error;

// The title of the program's own message boxes.
inline constexpr const char* Program_Title = "Stylomat";
// A read that got no (usable) reply tells the user so, once.
inline constexpr const char* Tablet_Not_Found_Text = "Tablet not found\r";
inline constexpr const char* Error_Prompt_Title = "ERROR";
inline constexpr const char* Reading_Tablet_Settings = "Reading Tablet Settings";

// Questions of the KORV_form menu operations.
inline constexpr const char* Save_Power_Up_Title = "Save Power-Up Settings & Exit";
inline constexpr const char* Save_Power_Up_Text =
    "This will overwrite the tablets Power-Up settings and set them active.\r\n\r\nThe Stylomat will then "
    "Exit!\r\n\r\n\r\nDo you want to continue?";
inline constexpr const char* Save_User_Title = "Save User Settings";
inline constexpr const char* Save_All_User_Text =
    "This will overwrite All User Defined SuperSets.\r\n\r\nDo you want to continue?";
inline constexpr const char* Restore_Power_Up_Title = "Restore Factory Power-Up Settings";
inline constexpr const char* Restore_Power_Up_Text =
    "This will restore the Factory Power-Up settings and set them active.\r\n\r\n\r\nDo you want to continue?";
inline constexpr const char* Restore_User_Title = "Restore Factory Default User Settings";
inline constexpr const char* Restore_User_Text =
    "This will restore the Factory Default Settings for All User Defined SuperSets.\r\n\r\nDo you want to "
    "continue?";
// "This will overwrite User Defined SuperSet 'S95'." and the question.
std::string Save_User_Text(int n);
// "Error  8002 found" CR description CR " Do you want to continue?" CR.
std::string Error_Prompt_Text(int number, const std::string& description);

// The shared answer value (Session::Dialog_Answer) after Error_Prompt:
// 0 for an input/output error passed over, else the Yes/No answer.
inline constexpr int Dialog_Yes = 6;
inline constexpr int Dialog_No = 7;
inline constexpr int Device_IO_Error = 57;

// SuperSet numbers the tablet lets us write: 00 and 90 to 99.
constexpr bool Is_Writable_SuperSet(int n) { return n == 0 || (n >= 90 && n <= 99); }
// "07" for 7.  n must be 0..99.
std::string Two_Digit_Number(int n);

// The record bytes of a read reply: the four bytes after the first LF.
// False when there is no LF, when the LF is the first byte (the tablet did
// not answer properly) or when fewer than four bytes follow it.
bool Parse_SuperSet_Reply(const std::string& reply, SuperSet_Record& record);

enum class KORV_Result {
  Done,       // ran to its end
  Not_Found,  // a read got no usable reply: "Tablet not found" was shown
  Declined,   // a question was answered No: nothing was sent
  Refused,    // nothing sent: a number or range the tablet does not take
  Busy,       // another read or write is running: nothing was done
  Ended,      // the user chose to end the program at the "ERROR" question
};
const char* Result_Name(KORV_Result r);

// A SuperSet as the tablet sent it (before the form re-encodes its row).
struct KORV_Read_Record {
  int number = 0;
  SuperSet_Record record{};
};

// What the front end shows while an operation runs.
struct KORV_Activity {
  Read_Progress_State Please_Wait;  // Shown, Wait_Text, Wait_Progress (" 5")
  bool Hourglass = false;           // the mouse pointer
  bool Busy = false;                // a read or write is running
};

class KORV_Protocol {
 public:
  explicit KORV_Protocol(SuperSet_Form& form);
  KORV_Protocol(const KORV_Protocol&) = delete;
  KORV_Protocol& operator=(const KORV_Protocol&) = delete;

  SuperSet_Form& Form() { return form_; }
  const KORV_Activity& Activity() const { return activity_; }
  // Called after every change of Activity() (a new progress number, the
  // please-wait window shown or closed, the pointer).
  std::function<void()> On_Activity;

  // The mouse pointer as the window's own sequences set it (loading).
  void Show_Hourglass(bool on);

  // 99, or 98 when the tablet keeps 99 for itself (Quorral_III_Flag).
  int Last_User_SuperSet() const;

  // Reads SuperSets high, high-1, ..., low into their rows and shows each
  // (0 <= low <= high <= 99; otherwise Refused).  Counts down in
  // Please_Wait.Wait_Progress.  A missing reply: "Tablet not found" once,
  // the pass ends on row 0 (shown with its old value), ESC still sent.
  KORV_Result Read_SuperSets(int low, int high);
  // Writes row r into tablet SuperSet n and reads it back.  Nothing is sent
  // unless n is 00 or 90..99 (and r a row 0..110).
  KORV_Result Write_SuperSet(int n, int r);
  // Makes SuperSet n (0..99) the tablet's power-up SuperSet.
  KORV_Result Select_SuperSet(int n);
  // The "/SS" start-up form: ESC, pause, then 0x01 "ES" CR as one write.
  KORV_Result Select_SuperSet_At_Start(int n);
  // The question shown when a write meets a port error.  True: go on.
  bool Error_Prompt(const Port_Error& error);

  // The menu operations of KORV_form.
  KORV_Result Save_Power_Up();  // Yes ends the program (Request_End)
  KORV_Result Save_User();
  KORV_Result Save_All_User();
  KORV_Result Restore_Defaults();
  KORV_Result Read_All();   // "Read &All Settings (0-99)", under Please_Wait
  KORV_Result Read_User();  // 90-99, or 90-98 with Quorral_III_Flag
  // The window's loading read: 0-99 under Please_Wait.
  KORV_Result Read_With_Please_Wait(int low, int high);

  // The SuperSets the last operation read (read-backs included) as the
  // tablet sent them, in the order read.
  const std::vector<KORV_Read_Record>& Last_Read() const { return last_read_; }

 private:
  class Operation;
  enum class Error_Route { Skip, Prompt };

  Session& session();
  void Changed();
  void Set_Hourglass(bool on);
  void Set_Please_Wait(bool shown);

  // One step on the port; errors take the current route.  False once the
  // sequence has been stopped.
  bool Step(const std::function<void()>& action);
  void Send(const std::string& bytes);
  std::string Read_Input();
  void Pause(double seconds);
  bool Stopped() const { return ended_; }

  KORV_Result Do_Read(int low, int high);
  KORV_Result Do_Write(int n, int r);
  void Do_Select(int n);
  KORV_Result Do_Write_User_Range();

  SuperSet_Form& form_;
  KORV_Activity activity_;
  Error_Route route_ = Error_Route::Skip;
  bool ended_ = false;
  std::vector<KORV_Read_Record> last_read_;
};

}  // namespace stylomat
