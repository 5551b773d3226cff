#include "superset/korv_protocol.h"

#include "core/session.h"
#include "serial/serial_link.h"
#include "superset/superset_form.h"
#include "superset/table_files.h"

namespace stylomat {

namespace {

constexpr char Ctrl_A = '\x01';
constexpr int Record_Bytes = 4;

// The tablet's pacing.
constexpr double Read_Command_Pause = 0.02;  // after "RR" CR
constexpr double Read_Reply_Pause = 0.03;    // after the number and CR
constexpr double Read_Show_Pause = 0.025;    // before the SuperSet is shown
constexpr double Short_Pause = 0.025;
constexpr double Record_Pause = 0.05;  // after the record bytes, after "LS" nn CR
constexpr double Leave_Pause = 0.5;    // after the ESC that ends a write

const std::string Esc_Byte(1, ESC);
const std::string Ctrl_A_Byte(1, Ctrl_A);
const std::string Cr_Byte(1, CR);

}  // namespace

std::string Save_User_Text(int n) {
  return "This will overwrite User Defined SuperSet 'S" + std::to_string(n) +
         "'.\r\n\r\nDo you want to continue?";
}

std::string Error_Prompt_Text(int number, const std::string& description) {
  return "Error " + Decimal_With_Blank(number) + " found" + CR + description + CR + " Do you want to continue?" + CR;
}

std::string Two_Digit_Number(int n) {
  if (n < 0) n = 0;
  if (n > 99) n = 99;
  return std::string{static_cast<char>('0' + n / 10), static_cast<char>('0' + n % 10)};
}

bool Parse_SuperSet_Reply(const std::string& reply, SuperSet_Record& record) {
  const std::size_t lf = reply.find(LF);
  if (lf == std::string::npos || lf == 0) return false;
  if (reply.size() - lf - 1 < Record_Bytes) return false;
  for (std::size_t k = 0; k < Record_Bytes; ++k) record[k] = static_cast<std::uint8_t>(reply[lf + 1 + k]);
  return true;
}

const char* Result_Name(KORV_Result r) {
  switch (r) {
    case KORV_Result::Done: return "done";
    case KORV_Result::Not_Found: return "tablet not found";
    case KORV_Result::Declined: return "declined";
    case KORV_Result::Refused: return "refused";
    case KORV_Result::Busy: return "busy";
    case KORV_Result::Ended: return "program end requested";
  }
  return "";
}

// ---- one operation at a time -------------------------------------------

// Holds the busy flag for one operation.  The pointer, the please-wait
// window and the flag are back to normal when the operation ends, however
// it ends.
class KORV_Protocol::Operation {
 public:
  Operation(KORV_Protocol& p, Error_Route route) : p_(p) {
    if (p_.activity_.Busy) return;
    acquired_ = true;
    p_.activity_.Busy = true;
    p_.route_ = route;
    p_.ended_ = false;
    p_.last_read_.clear();
    p_.Changed();
  }
  ~Operation() {
    if (!acquired_) return;
    p_.activity_.Busy = false;
    p_.activity_.Hourglass = false;
    p_.activity_.Please_Wait.Shown = false;
    p_.Changed();
  }
  Operation(const Operation&) = delete;
  Operation& operator=(const Operation&) = delete;
  explicit operator bool() const { return acquired_; }

 private:
  KORV_Protocol& p_;
  bool acquired_ = false;
};

KORV_Protocol::KORV_Protocol(SuperSet_Form& form) : form_(form) {}

Session& KORV_Protocol::session() { return form_.session(); }

void KORV_Protocol::Changed() {
  if (On_Activity) On_Activity();
}

void KORV_Protocol::Set_Hourglass(bool on) {
  if (activity_.Hourglass == on) return;
  activity_.Hourglass = on;
  Changed();
}

void KORV_Protocol::Show_Hourglass(bool on) { Set_Hourglass(on); }

void KORV_Protocol::Set_Please_Wait(bool shown) {
  activity_.Please_Wait.Shown = shown;
  if (shown) activity_.Please_Wait.Wait_Text = Reading_Tablet_Settings;
  Changed();
}

int KORV_Protocol::Last_User_SuperSet() const { return form_.session().identity.Quorral_III_Flag ? 98 : 99; }

// ---- steps on the port -------------------------------------------------

bool KORV_Protocol::Step(const std::function<void()>& action) {
  if (ended_) return false;
  try {
    action();
    return true;
  } catch (const Port_Error& e) {
    if (route_ == Error_Route::Skip) return true;
    if (Error_Prompt(e)) return true;
    ended_ = true;
    return false;
  }
}

void KORV_Protocol::Send(const std::string& bytes) {
  Step([&] { session().port.Output(bytes); });
}

std::string KORV_Protocol::Read_Input() {
  std::string input;
  Step([&] {
    session().port.Set_InputLen(0);
    input = session().port.Input();
  });
  return input;
}

void KORV_Protocol::Pause(double seconds) {
  if (ended_) return;
  Pause_Seconds(session(), seconds);
}

bool KORV_Protocol::Error_Prompt(const Port_Error& error) {
  Session& s = session();
  if (error.Number() == Device_IO_Error) {
    s.Dialog_Answer = 0;
    return true;
  }
  const bool go_on = s.prompter.Ask_Yes_No(Error_Prompt_Text(error.Number(), error.what()), Error_Prompt_Title);
  s.Dialog_Answer = go_on ? Dialog_Yes : Dialog_No;
  if (!go_on) s.Request_End();
  return go_on;
}

// ---- reading -----------------------------------------------------------

KORV_Result KORV_Protocol::Do_Read(int low, int high) {
  if (low < 0 || high > 99 || low > high) return KORV_Result::Refused;
  Session& s = session();
  bool answered = true;
  Send(Ctrl_A_Byte);
  // At most 100 passes: i only goes down.
  for (int i = high; i >= low && !Stopped(); --i) {
    activity_.Please_Wait.Wait_Progress = Decimal_With_Blank(i);
    Changed();
    Send("R");
    Send("R");
    Send(Cr_Byte);
    Pause(Read_Command_Pause);
    (void)Read_Input();
    Send(Two_Digit_Number(i));
    Send(Cr_Byte);
    Pause(Read_Reply_Pause);
    const std::string reply = Read_Input();
    if (Stopped()) break;

    SuperSet_Record record{};
    if (Parse_SuperSet_Reply(reply, record)) {
      form_.Table()[static_cast<std::size_t>(i)] = record;
      last_read_.push_back({i, record});
    } else {
      // The tablet did not answer (or not properly): this pass finishes on
      // row 0, which keeps its value and is shown, and the read ends.
      answered = false;
      s.prompter.Inform(Tablet_Not_Found_Text, Program_Title);
      i = 0;
    }
    if (s.Debug_Mode) {
      s.log.Line(reply);
      s.log.Line(Record_Text(form_.Table()[static_cast<std::size_t>(i)], ",") + " " + Decimal_With_Blank(i));
    }
    Pause(Read_Show_Pause);
    form_.Select_SuperSet(i);
    form_.Save_SuperSet(i);
  }
  Send(Esc_Byte);
  if (Stopped()) return KORV_Result::Ended;
  return answered ? KORV_Result::Done : KORV_Result::Not_Found;
}

KORV_Result KORV_Protocol::Read_SuperSets(int low, int high) {
  Operation op(*this, Error_Route::Skip);
  if (!op) return KORV_Result::Busy;
  return Do_Read(low, high);
}

KORV_Result KORV_Protocol::Read_With_Please_Wait(int low, int high) {
  Operation op(*this, Error_Route::Skip);
  if (!op) return KORV_Result::Busy;
  Set_Please_Wait(true);
  const KORV_Result result = Do_Read(low, high);
  Set_Please_Wait(false);
  return result;
}

KORV_Result KORV_Protocol::Read_All() {
  Operation op(*this, Error_Route::Skip);
  if (!op) return KORV_Result::Busy;
  Set_Hourglass(true);
  Set_Please_Wait(true);
  const KORV_Result result = Do_Read(0, 99);
  Set_Please_Wait(false);
  Set_Hourglass(false);
  return result;
}

KORV_Result KORV_Protocol::Read_User() {
  Operation op(*this, Error_Route::Skip);
  if (!op) return KORV_Result::Busy;
  Set_Hourglass(true);
  const KORV_Result result = Do_Read(90, Last_User_SuperSet());
  Set_Hourglass(false);
  return result;
}

// ---- writing -----------------------------------------------------------

KORV_Result KORV_Protocol::Do_Write(int n, int r) {
  if (!Is_Writable_SuperSet(n)) return KORV_Result::Refused;
  if (r < 0 || r >= SuperSet_Rows) return KORV_Result::Refused;
  const SuperSet_Record record = form_.Table()[static_cast<std::size_t>(r)];

  Send(Esc_Byte);
  Pause(Short_Pause);
  // "za": the next four bytes are the record for the work area.
  Send(Ctrl_A_Byte);
  Send("z");
  Send("a");
  Send(Cr_Byte);
  Pause(Short_Pause);
  for (std::uint8_t b : record) Send(std::string(1, static_cast<char>(b)));
  Pause(Record_Pause);
  (void)Read_Input();
  Pause(Short_Pause);
  // "LS" nn: store the work area as SuperSet nn.
  Send(Ctrl_A_Byte);
  Send("L");
  Send("S");
  Send(Cr_Byte);
  Pause(Short_Pause);
  Send(Two_Digit_Number(n));
  Pause(Short_Pause);
  Send(Cr_Byte);
  Pause(Record_Pause);
  (void)Read_Input();
  Pause(Short_Pause);
  Send(Esc_Byte);
  Pause(Leave_Pause);
  if (Stopped()) return KORV_Result::Ended;
  // Whether the tablet took the record shows in what it reads back.
  return Do_Read(n, n);
}

KORV_Result KORV_Protocol::Write_SuperSet(int n, int r) {
  Operation op(*this, Error_Route::Prompt);
  if (!op) return KORV_Result::Busy;
  return Do_Write(n, r);
}

void KORV_Protocol::Do_Select(int n) {
  Send(Ctrl_A_Byte);
  Send("E");
  Send("S");
  Send(Cr_Byte);
  Pause(Short_Pause);
  Send(Two_Digit_Number(n));
  Pause(Short_Pause);
  Send(Esc_Byte);
}

KORV_Result KORV_Protocol::Select_SuperSet(int n) {
  if (n < 0 || n > 99) return KORV_Result::Refused;
  Operation op(*this, Error_Route::Prompt);
  if (!op) return KORV_Result::Busy;
  Do_Select(n);
  return Stopped() ? KORV_Result::Ended : KORV_Result::Done;
}

KORV_Result KORV_Protocol::Select_SuperSet_At_Start(int n) {
  if (n < 0 || n > 99) return KORV_Result::Refused;
  Operation op(*this, Error_Route::Prompt);
  if (!op) return KORV_Result::Busy;
  Send(Esc_Byte);
  Pause(Short_Pause);
  Send(Ctrl_A_Byte + "ES" + Cr_Byte);
  Pause(Short_Pause);
  Send(Two_Digit_Number(n));
  Pause(Short_Pause);
  Send(Esc_Byte);
  return Stopped() ? KORV_Result::Ended : KORV_Result::Done;
}

// ---- menu operations ---------------------------------------------------

namespace {

// The worse of two outcomes, for operations made of several writes.
KORV_Result Worse(KORV_Result a, KORV_Result b) {
  const auto rank = [](KORV_Result r) {
    switch (r) {
      case KORV_Result::Ended: return 5;
      case KORV_Result::Not_Found: return 4;
      case KORV_Result::Refused: return 3;
      case KORV_Result::Busy: return 2;
      case KORV_Result::Done: return 1;
      case KORV_Result::Declined: return 0;
    }
    return 0;
  };
  return rank(b) > rank(a) ? b : a;
}

bool Ask(Session& s, const std::string& text, const char* title) {
  const bool yes = s.prompter.Ask_Yes_No(text, title);
  s.Dialog_Answer = yes ? Dialog_Yes : Dialog_No;
  return yes;
}

}  // namespace

KORV_Result KORV_Protocol::Do_Write_User_Range() {
  KORV_Result result = KORV_Result::Done;
  for (int n = Last_User_SuperSet(); n >= 90 && !Stopped(); --n) result = Worse(result, Do_Write(n, n));
  return Stopped() ? KORV_Result::Ended : result;
}

KORV_Result KORV_Protocol::Save_Power_Up() {
  Operation op(*this, Error_Route::Prompt);
  if (!op) return KORV_Result::Busy;
  const int r = form_.Selected_SuperSet();
  if (r < 0) return KORV_Result::Refused;
  if (!Ask(session(), Save_Power_Up_Text, Save_Power_Up_Title)) return KORV_Result::Declined;
  Set_Hourglass(true);
  const int last = Last_User_SuperSet();
  const KORV_Result written = Do_Write(last, r);
  Pause(Short_Pause);
  Do_Select(last);
  if (Stopped()) return KORV_Result::Ended;
  Set_Hourglass(false);
  // The tablet now starts with this SuperSet; the program's work is done.
  session().Request_End();
  return written;
}

KORV_Result KORV_Protocol::Save_User() {
  Operation op(*this, Error_Route::Prompt);
  if (!op) return KORV_Result::Busy;
  const int n = form_.Selected_SuperSet();
  if (!Ask(session(), Save_User_Text(n), Save_User_Title)) return KORV_Result::Declined;
  Set_Hourglass(true);
  const bool user = n >= 90 && n <= Last_User_SuperSet();
  const KORV_Result result = user ? Do_Write(n, n) : KORV_Result::Refused;
  Set_Hourglass(false);
  return result;
}

KORV_Result KORV_Protocol::Save_All_User() {
  Operation op(*this, Error_Route::Prompt);
  if (!op) return KORV_Result::Busy;
  if (!Ask(session(), Save_All_User_Text, Save_User_Title)) return KORV_Result::Declined;
  Set_Hourglass(true);
  const KORV_Result result = Do_Write_User_Range();
  Set_Hourglass(false);
  return result;
}

KORV_Result KORV_Protocol::Restore_Defaults() {
  Operation op(*this, Error_Route::Prompt);
  if (!op) return KORV_Result::Busy;
  KORV_Result result = KORV_Result::Declined;
  if (Ask(session(), Restore_Power_Up_Text, Restore_Power_Up_Title)) {
    Set_Hourglass(true);
    Do_Select(1);
    if (Stopped()) return KORV_Result::Ended;
    form_.Select_SuperSet(0);
    Set_Hourglass(false);
    result = KORV_Result::Done;
  }
  // The second question comes whatever the first answer was.
  if (!Ask(session(), Restore_User_Text, Restore_User_Title)) return result;
  Set_Hourglass(true);
  // The factory records are read into a copy: without the whole factory
  // file there is nothing sound to write, the user has been told about the
  // file, and both the tablet and the window keep their SuperSets.
  SuperSet_Table factory = form_.Table();
  const Table_File_Result file = Read_KORV_Data_File(session(), factory);
  if (!file.ok) {
    Set_Hourglass(false);
    return Worse(result, KORV_Result::Refused);
  }
  form_.Table() = factory;
  result = Worse(result, Do_Write_User_Range());
  Set_Hourglass(false);
  return result;
}

}  // namespace stylomat
