#include "superset/native_protocol.h"

#include "config/config_window_model.h"
#include "core/session.h"
#include "serial/serial_link.h"
#include "superset/korv_protocol.h"
#include "superset/native_image.h"
#include "superset/superset_form.h"
#include "superset/table_files.h"

namespace stylomat {

namespace {

constexpr char Ack = '\x06';
constexpr std::uint8_t Bank_Filler = 0xFF;
constexpr int Filler_Bytes = 8;  // after each record, and once more after the bank
constexpr int Record_Bytes = 4;
constexpr int First_User = 90;
constexpr int Last_User = 99;
constexpr int Power_Up_Row = 0;
constexpr int Tempory_Custom_Row = 100;

constexpr double Reply_Seconds = 1.0;
constexpr double Mirolex_Store_Pause = 0.3;  // after a user SuperSet stored one at a time
constexpr double Dovrane_Store_Pause = 0.1;
constexpr double Settle_Seconds = 1.5;  // after a power-up or user save

}  // namespace

const char* Result_Name(Native_Result r) {
  switch (r) {
    case Native_Result::Done: return "done";
    case Native_Result::Declined: return "declined";
    case Native_Result::No_Tablet: return "no tablet answered";
    case Native_Result::Refused: return "refused";
    case Native_Result::Busy: return "busy";
    case Native_Result::Port_Failed: return "stopped by a port error";
    case Native_Result::Ended: return "program end requested";
  }
  return "";
}

// ---- one operation at a time ----------------------------------------------

// Holds the busy flag and the pointer for one operation; both are back as
// they were when it ends, however it ends.
class Native_Protocol::Operation {
 public:
  explicit Operation(Native_Protocol& p) : p_(p), hourglass_(p.activity_.Hourglass) {
    p_.activity_.Busy = true;
    p_.activity_.Hourglass = true;
    p_.Changed();
  }
  ~Operation() {
    p_.activity_.Busy = false;
    p_.activity_.Hourglass = hourglass_;
    p_.Changed();
  }
  Operation(const Operation&) = delete;
  Operation& operator=(const Operation&) = delete;

 private:
  Native_Protocol& p_;
  bool hourglass_;
};

// The please-wait window for a stretch of an operation; what it showed
// before comes back afterwards (a read inside Restore Factory).
class Native_Protocol::Wait_Window {
 public:
  Wait_Window(Native_Protocol& p, const char* text) : p_(p), before_(p.activity_.Please_Wait) {
    p_.activity_.Please_Wait = Read_Progress_State{true, text, {}};
    p_.Changed();
  }
  ~Wait_Window() {
    p_.activity_.Please_Wait = before_;
    p_.Changed();
  }
  Wait_Window(const Wait_Window&) = delete;
  Wait_Window& operator=(const Wait_Window&) = delete;

 private:
  Native_Protocol& p_;
  Read_Progress_State before_;
};

Native_Protocol::Native_Protocol(SuperSet_Form& form) : form_(form) {}

bool Native_Protocol::Is_Dovrane() const { return form_.Window() == Config_Window::Dovrane3; }

Session& Native_Protocol::session() { return form_.session(); }

// Every line of these exchanges is logged, Debug_Mode or not.
Settings_Image_Link Native_Protocol::Link() { return Settings_Image_Link(session(), Log_When::Always); }

void Native_Protocol::Changed() {
  if (On_Activity) On_Activity();
}

void Native_Protocol::Show_Hourglass(bool on) {
  if (activity_.Hourglass == on) return;
  activity_.Hourglass = on;
  Changed();
}

void Native_Protocol::Set_Progress(int superset) {
  activity_.Please_Wait.Wait_Progress = Decimal_With_Blank(superset);
  Changed();
}

void Native_Protocol::Disable_Save_Entries() {
  if (!save_entries_enabled_) return;
  save_entries_enabled_ = false;
  Changed();
}

bool Native_Protocol::Ask(const char* text) {
  Session& s = session();
  const bool yes = s.prompter.Ask_Yes_No(text, Warning_Title);
  s.Dialog_Answer = yes ? Dialog_Yes : Dialog_No;
  return yes;
}

Native_Result Native_Protocol::Run(const char* what, const std::function<Native_Result()>& body) {
  if (activity_.Busy) return Native_Result::Busy;
  Native_Result result = Native_Result::Done;
  {
    Operation op(*this);
    try {
      result = body();
    } catch (const Port_Error& e) {
      // The port failed under us: the operation ends here, the next one
      // sets the port up again.
      Session& s = session();
      s.Search_Status = -2;
      s.log.Line(std::string(what) + " stopped, port error " + std::to_string(e.Number()) + ": " + e.what());
      result = Native_Result::Port_Failed;
    }
  }
  session().Refresh_Log_View();
  return result;
}

// ---- the window's values ----------------------------------------------------

void Native_Protocol::Image_To_SuperSet() { form_.Working_Record() = stylomat::Image_To_SuperSet(reply_); }

void Native_Protocol::SuperSet_To_Image() { image_ = stylomat::SuperSet_To_Image(form_.Working_Record()); }

// Row r into the Working_Record, then its image.  A row the table does not
// have (no entry selected) leaves both as they are.
void Native_Protocol::Load_Row_Image(int row) {
  if (row < 0 || row >= SuperSet_Rows) return;
  form_.Working_Record() = form_.Table()[static_cast<std::size_t>(row)];
  SuperSet_To_Image();
}

void Native_Protocol::Store_Reply_In(int row) {
  Image_To_SuperSet();
  form_.Table()[static_cast<std::size_t>(row)] = form_.Working_Record();
}

std::optional<std::string> Native_Protocol::Wait_For_Reply() {
  std::optional<std::string> reply = Link().Reply_Within(Image_Reply_Length, Reply_Seconds);
  if (reply) reply_ = *reply;
  return reply;
}

// The port set-up of these windows (the wake-up).  Answers the settings
// reply this wake-up read, empty when it read none; the shared value keeps
// the last reply ever read.
std::string Native_Protocol::Port_Setup() {
  Session& s = session();
  const std::string kept = s.identity.Settings_Reply;
  s.identity.Settings_Reply.clear();
  Open_Config_Port(s);
  std::string read = s.identity.Settings_Reply;
  if (read.empty()) s.identity.Settings_Reply = kept;
  return read;
}

// ---- writing the active and power-up settings -------------------------------

Native_Result Native_Protocol::Do_Write_Image(int power_up) {
  Session& s = session();
  Settings_Image_Link link = Link();
  Wait_Tick(s);
  Flush_Input(s);
  link.Ask_Settings("", "Esc%__S");
  if (auto reply = Wait_For_Reply()) {
    previous_ = *reply;
    link.Log("Previous Settings: " + *reply);
  }
  const std::string text = Image_Text(image_);
  link.Send_Image_Text(text, "", "Esc%__s" + text);
  s.port.Set_InputLen(0);
  Wait_Tick(s);
  Flush_Input(s);
  link.Ask_Settings("", "Esc%__S");
  const std::optional<std::string> reply = Wait_For_Reply();
  link.Log("From Tablet: " + reply.value_or(""));
  if (power_up == 0) {
    link.Command("%VF", "Esc%VF");
  } else {
    link.Command("%VF1", "Esc%VF1");
  }
  Flush_Input(s);
  return Native_Result::Done;
}

Native_Result Native_Protocol::Write_Image(int power_up) {
  return Run("Write Settings", [&] { return Do_Write_Image(power_up); });
}

Native_Result Native_Protocol::Write_Startup_Image() {
  return Run("Start-up Write", [&] {
    Session& s = session();
    Port_Setup();
    if (s.Search_Status != 0) return Native_Result::No_Tablet;
    SuperSet_To_Image();
    Settings_Image_Link link = Link();
    link.Send_Image(image_, "", "ESC%__s");
    Wait_Tick(s);
    link.Command("%VF1", "%VF1");
    return Native_Result::Done;
  });
}

// ---- reading ----------------------------------------------------------------

Native_Result Native_Protocol::Do_Read() {
  Session& s = session();
  // However the read ends, the form leaves its loading state and, once the
  // please-wait window is gone, the save entries are offered: the window
  // stays usable.
  struct Read_End {
    Native_Protocol& p;
    ~Read_End() {
      p.form_.Loading_SuperSet = false;
      p.save_entries_enabled_ = true;
      p.Changed();
    }
  } read_end{*this};
  Wait_Window wait(*this, Reading_Tablet_Settings);

  form_.Loading_SuperSet = true;
  previous_.clear();
  const std::string setup_reply = Port_Setup();
  Settings_Image_Link link = Link();
  if (s.Search_Status == 0) {
    // The active settings, kept to be written back at the end.
    Set_Progress(Tempory_Custom_Row);
    Flush_Input(s);
    if (Is_Dovrane()) {
      // The wake-up has just read them.
      if (!setup_reply.empty()) reply_ = setup_reply;
      previous_ = setup_reply;
    } else {
      link.Ask_Settings("", "ESC %__S");
      if (auto reply = Wait_For_Reply()) {
        link.Log("From Tablet: " + *reply);
        previous_ = *reply;
      }
    }
    Store_Reply_In(Tempory_Custom_Row);
    form_.Save_SuperSet(Tempory_Custom_Row);
    Flush_Input(s);

    Set_Progress(Power_Up_Row);
    link.Ask_Settings("1", "ESC %__S1");
    if (auto reply = Wait_For_Reply()) link.Log((Is_Dovrane() ? "Power Up: " : "From Tablet: ") + *reply);
    Store_Reply_In(Power_Up_Row);
    form_.Save_SuperSet(Power_Up_Row);

    if (s.identity.Mirolex_III_Flag) {
      Do_Read_User_Dump();
    } else {
      for (int nn = First_User; nn <= Last_User; ++nn) {
        Set_Progress(nn);
        Flush_Input(s);
        Wait_Tick(s);
        link.Ask_Settings(std::to_string(nn), "ESC %__S" + Decimal_With_Blank(nn));
        const std::optional<std::string> reply = Wait_For_Reply();
        link.Log("From Tablet: " + reply.value_or(""));
        Store_Reply_In(nn);
      }
    }
  }
  form_.Loading_SuperSet = false;
  form_.Save_SuperSet(form_.Selected_SuperSet());
  if (s.Search_Status != 0) return Native_Result::No_Tablet;
  // The reads may have moved the tablet off its active settings: they go
  // back as they were.  Without a reply of this read there is nothing
  // known to write back.
  if (!previous_.empty()) link.Send_Image_Text(previous_, "", "Esc%__s");
  Wait_Tick(s);
  link.Command("%VF", "Esc%VF");
  return Native_Result::Done;
}

Native_Result Native_Protocol::Read_Current_Settings() {
  return Run("Read Current Settings", [&] { return Do_Read(); });
}

void Native_Protocol::Do_Read_User_Dump() {
  Session& s = session();
  Settings_Image_Link link = Link();
  Flush_Input(s);
  Wait_Tick(s);
  link.Command("%__r", "ESC %__r");
  if (!link.Wait_For(1, Reply_Seconds)) return;  // the tablet keeps no bank to dump
  (void)link.Read_Until(Ack, Reply_Seconds);
  link.Send_Line("5", "5");
  (void)link.Wait_For(User_Dump_Bytes, Reply_Seconds);
  const int arrived = s.port.InBufferCount();
  if (arrived < User_Dump_Bytes) {
    link.Log("Short Dump From Tablet: " + std::to_string(arrived) + " of " + std::to_string(User_Dump_Bytes) +
             " bytes came");
  }
  // Each row takes its record only when its four bytes came; a short dump
  // leaves the rows after it as they were.
  s.port.Set_InputLen(1);
  for (int nn = First_User; nn <= Last_User && s.port.InBufferCount() >= Record_Bytes; ++nn) {
    Set_Progress(nn);
    SuperSet_Record record{};
    for (std::size_t k = 0; k < record.size(); ++k) {
      const std::string byte = link.Read_Bytes(1);
      record[k] = byte.empty() ? 0 : static_cast<std::uint8_t>(byte[0]);
    }
    form_.Table()[static_cast<std::size_t>(nn)] = record;
    const std::string dumped = link.Read_Bytes(Filler_Bytes);
    s.port.Set_InputLen(1);
    link.Log("From Tablet: " + Record_Text(record, " ") + " " + std::to_string(nn));
    link.Log("Dumped From Tablet: " + dumped);
  }
  Flush_Input(s);
  link.Send_Line("512", "512");
}

Native_Result Native_Protocol::Read_User_Dump() {
  return Run("Read User Settings", [&] {
    Do_Read_User_Dump();
    return Native_Result::Done;
  });
}

// ---- writing the user SuperSets -------------------------------------------

void Native_Protocol::Do_Write_User_Bank() {
  Session& s = session();
  Settings_Image_Link link = Link();
  Flush_Input(s);
  link.Command("%__u", "ESC %__u");
  (void)link.Wait_For(1, Reply_Seconds);
  Flush_Input(s);
  link.Send_Line("5", "5");
  for (int nn = First_User; nn <= Last_User; ++nn) {
    Set_Progress(nn);
    for (std::uint8_t b : form_.Table()[static_cast<std::size_t>(nn)]) link.Send_Byte(b);
    for (int k = 0; k < Filler_Bytes; ++k) link.Send_Byte(Bank_Filler);
  }
  for (int k = 0; k < Filler_Bytes; ++k) link.Send_Byte(Bank_Filler);
  link.Send_Line("512", "512");
  Flush_Input(s);
}

Native_Result Native_Protocol::Write_User_Bank() {
  return Run("Write User Settings", [&] {
    Do_Write_User_Bank();
    return Native_Result::Done;
  });
}

void Native_Protocol::Do_Write_One_At_A_Time() {
  Session& s = session();
  Settings_Image_Link link = Link();
  const double pause = Is_Dovrane() ? Dovrane_Store_Pause : Mirolex_Store_Pause;
  for (int nn = First_User; nn <= Last_User; ++nn) {
    Set_Progress(nn);
    Load_Row_Image(nn);
    const std::string text = Image_Text(image_);
    const std::string number = std::to_string(nn);
    link.Send_Image_Text(text, number, "ESC%__s" + text + number);
    Pause_Seconds(s, pause);
    Flush_Input(s);
    link.Ask_Settings(number);
    // The tablet's reading of what it stored; the text has always said 90.
    link.Log("From Tablet Bank 90: " + link.Reply_Within(Image_Reply_Length, Reply_Seconds).value_or(""));
  }
}

Native_Result Native_Protocol::Write_User_One_At_A_Time() {
  return Run("Write User Settings", [&] {
    Do_Write_One_At_A_Time();
    return Native_Result::Done;
  });
}

void Native_Protocol::Do_Write_Dovrane_IV_User() {
  Session& s = session();
  Settings_Image_Link link = Link();
  for (int nn = First_User; nn < Last_User; ++nn) {
    Set_Progress(nn);
    Load_Row_Image(nn);
    link.Send_Image(image_, std::to_string(nn));
    Wait_Tick(s);
  }
}

Native_Result Native_Protocol::Write_Dovrane_IV_User() {
  return Run("Write User Settings", [&] {
    Do_Write_Dovrane_IV_User();
    return Native_Result::Done;
  });
}

// ---- menu entries -------------------------------------------------------------

Native_Result Native_Protocol::Save_Temporary() {
  return Run("Save Temporary Settings", [&] {
    Session& s = session();
    if (!Ask(Save_Temporary_Text)) return Native_Result::Declined;
    if (s.Search_Status == 0) {
      Load_Row_Image(form_.Selected_SuperSet());
      Do_Write_Image(0);
    }
    if (!Ask(Exit_To_Keep_Text)) return Native_Result::Done;
    s.Keep_Settings_On_Exit = true;
    if (s.Search_Status == 0) {
      Settings_Image_Link link = Link();
      link.Command("%A1");
      link.Command("%VF");
    }
    s.Request_End();
    return Native_Result::Ended;
  });
}

Native_Result Native_Protocol::Do_Save_Power_Up(const char* wait_text) {
  Session& s = session();
  if (!Ask(Save_Power_On_Text)) {
    cancelled_ = true;
    return Native_Result::Declined;
  }
  std::optional<Wait_Window> wait;
  if (wait_text) wait.emplace(*this, wait_text);
  if (s.Search_Status == 0) {
    Set_Progress(Power_Up_Row);
    Load_Row_Image(form_.Selected_SuperSet());
    Do_Write_Image(1);
  }
  Pause_Seconds(s, Settle_Seconds);
  return s.Search_Status == 0 ? Native_Result::Done : Native_Result::No_Tablet;
}

Native_Result Native_Protocol::Save_Power_Up() {
  return Run("Save Power-Up Settings", [&] { return Do_Save_Power_Up(nullptr); });
}

Native_Result Native_Protocol::Do_Save_Custom(const char* wait_text) {
  Session& s = session();
  if (!Ask(Save_Custom_Text)) return Native_Result::Declined;
  Wait_Window wait(*this, wait_text);
  Port_Setup();
  if (s.Search_Status == 0) {
    if (!Is_Dovrane()) {
      if (s.identity.Mirolex_III_Flag) {
        Do_Write_One_At_A_Time();
      } else {
        Do_Write_User_Bank();
      }
    } else if (s.identity.Dovrane_IV_VI_Flag) {
      Do_Write_One_At_A_Time();
    } else if (s.identity.Model_Name == Dovrane_IV_Model) {
      // This model's firmware keeps 99 to itself; the save ends here.
      Do_Write_Dovrane_IV_User();
      return Native_Result::Done;
    } else {
      Do_Write_User_Bank();
    }
  }
  Pause_Seconds(s, Settle_Seconds);
  cancelled_ = false;
  return s.Search_Status == 0 ? Native_Result::Done : Native_Result::No_Tablet;
}

Native_Result Native_Protocol::Save_Custom() {
  return Run("Save Custom Settings", [&] { return Do_Save_Custom(Writing_Custom_Settings); });
}

Native_Result Native_Protocol::Restore_Factory() {
  return Run("Restore Factory Settings", [&] {
    cancelled_ = false;
    // The factory rows go into a copy first: a table file that cannot be
    // read whole would otherwise be written to the tablet as zeros.
    SuperSet_Table factory = form_.Table();
    if (!TABLES(session(), form_.Window(), factory).ok) return Native_Result::Refused;
    form_.Table() = factory;
    const Native_Result power_up = Do_Save_Power_Up(Restoring_Factory_Settings);
    const Native_Result custom = Do_Save_Custom(Restoring_Factory_Settings);
    if (cancelled_) return custom == Native_Result::Declined ? power_up : custom;
    return Do_Read();
  });
}

}  // namespace stylomat
