#include "discovery/probe_kv.h"

#include "discovery/probe_steps.h"
#include "serial/serial_link.h"

namespace stylomat {

namespace {

constexpr double Answer_Wait = 7.0 / 16.0;
constexpr double Cursor_Wait = 1.0 / 8.0;
constexpr int Identification_Length = 6;
constexpr std::size_t Report_Length = 5;
constexpr long Counts_Per_Inch = 500;
constexpr std::size_t Version_Lead = 8;  // "Ver" and the five characters after it

std::string Nul() { return std::string(1, '\0'); }
std::string Kv_Framing(Session& s) { return Compose_Framing(s, 9600, "o", 8, 1); }
std::string Uiof_Framing(Session& s) { return Compose_Framing(s, 9600, "E", 7, 2); }

// NUL, a tick, "x": six characters read after 7/16 s; ".#" among them is a
// KV tablet.
bool Ask_Identification(Session& s) {
  Send_Command(s, Nul(), "Null");
  Wait_Tick(s);
  Send_Command(s, "x", "x");
  s.port.Set_InputLen(Identification_Length);
  Wait_Seconds(s, Answer_Wait);
  std::string& buffer = s.reports.Report_Buffer;
  buffer = s.port.Input();
  Log_From_Tablet(s, buffer);
  return Contains(buffer, ".#");
}

// ESC "z?": the version text, shown when the tablet answers.  False when an
// answer came that is too short to hold the version.
bool Ask_Version(Session& s) {
  s.port.Set_InputLen(0);
  Send_Command(s, std::string{ESC, 'z', '?'}, "Escz?");
  Wait_Tick(s);
  Wait_Tick(s);
  Wait_Tick(s);
  if (s.port.InBufferCount() < 1) return true;
  std::string& buffer = s.reports.Report_Buffer;
  buffer = s.port.Input();
  Log_From_Tablet(s, buffer);
  std::string version;
  if (!KV_Version_From(buffer, version)) return false;
  Record_Firmware(s, version);
  return true;
}

// "zt": the cursor text, read after 1/8 s.  Later tests override earlier
// ones: "4" a 4-button puck, "2" or "STYLUS" a 2-button stylus.  A
// 16-button puck switches the tablet's reports to UIOF; returns true then.
bool Ask_Cursor(Session& s) {
  Send_Command(s, "zt", "zt");
  Wait_Seconds(s, Cursor_Wait);
  s.port.Set_InputLen(0);
  std::string& buffer = s.reports.Report_Buffer;
  buffer = s.port.Input();
  Log_From_Tablet(s, buffer);
  Tablet_Identity& id = s.identity;
  if (Contains(buffer, "16")) {
    id.UIOF_Format = true;
    id.KV_Format = false;
    id.Probe_Cursor = 5;
    return true;
  }
  if (Contains(buffer, "4")) id.Probe_Cursor = 6;
  if (Contains(buffer, "2")) id.Probe_Cursor = 7;
  if (Contains(buffer, "STYLUS")) id.Probe_Cursor = 7;
  return false;
}

void Switch_To_UIOF(Session& s) {
  Send_Command(s, "zu", "zu");
  Log_Debug(s, "Reset Tablet to UIOF format..");
  Log_Debug(s, " Computer is sending breaks when port is closed");
  Log_Debug(s, " resetting tablet into an KV format!");
}

// "a", a tick, everything waiting: the report at the largest coordinates.
// Empty when the tablet sent nothing.  The "a" sent after the power-cycle
// question is not logged.
std::string Ask_Report(Session& s, bool logged = true) {
  if (logged) {
    Send_Command(s, "a", "a");
  } else {
    s.port.Output("a");
  }
  Wait_Tick(s);
  s.port.Set_InputLen(0);
  if (s.port.InBufferCount() < 1) return {};
  s.reports.Report_Buffer = s.port.Input();
  return s.reports.Report_Buffer;
}

// The size from one report answer; the size comes from this answer alone,
// never from what an earlier query left in the buffer.
bool Take_Size(Session& s, const std::string& answer) {
  KV_Size size;
  if (!KV_Size_From(answer, size)) return false;
  s.identity.Tablet_Width = size.width;
  s.identity.Tablet_Height = size.height;
  Record_Size(s, Counts_Per_Inch);
  return true;
}

// The size loop, starting from an answer already read.  A tablet that
// reports a portrait size is told to turn its axes and asked again, at most
// KV_Max_Portrait_Turns times; then the size stands as reported.
bool Finish_Size(Session& s, std::string answer) {
  for (int turns = 0;; ++turns) {
    if (!Take_Size(s, answer)) return false;
    const Tablet_Identity& id = s.identity;
    if (id.Tablet_Width >= id.Tablet_Height || turns >= KV_Max_Portrait_Turns) break;
    s.port.Output("b");
    Wait_Tick(s);
    answer = Ask_Report(s);
  }
  Wait_Tick(s);
  s.identity.Half_Resolution = true;
  return true;
}

void Name_KV_Tablet(Session& s) {
  Record_Port_Searched(s);
  Name_Tablet(s, KV_Product);
}

// Where the queries got to: the closing section picks up from here.
struct KV_Run {
  bool named = false;
};

// The queries after the framing is set.  True when the tablet was found.
bool Run_Queries(Session& s, KV_Run& run) {
  Tablet_Identity& id = s.identity;
  Open_Probe_Port(s, Kv_Framing(s), false);
  Wait_Tick(s);
  Log_Debug(s, "Framing: " + s.port.Settings());

  id.KV_Format = Ask_Identification(s);
  if (!id.KV_Format) return false;

  Flush_Input(s);
  if (!Ask_Version(s)) return false;
  if (Ask_Cursor(s)) {
    Switch_To_UIOF(s);
    return false;
  }
  Name_KV_Tablet(s);
  run.named = true;
  return Finish_Size(s, Ask_Report(s));
}

// After the user power-cycled the tablet: it is an older KV tablet whose
// size is read once more.  The probe re-enters at the size loop, with the
// answer read here; the name is given first if the failure came before it.
bool Continue_After_Power_Cycle(Session& s, const KV_Run& run) {
  Tablet_Identity& id = s.identity;
  id.KV_Format = false;
  id.KV_Alt_Format = true;
  id.Half_Resolution = true;
  s.Search_Status = 0;
  Flush_Input(s);
  const std::string answer = Ask_Report(s, false);
  s.Dialog_Answer = 0;
  if (!run.named) Name_KV_Tablet(s);
  return Finish_Size(s, answer);
}

void Not_Found(Session& s) {
  s.Search_Status = -1;
  Close_Port(s);
  Log_Debug(s, "Not Found");
}

// A tablet that answered ".#" and then failed a query is asked about once:
// the continuation clears KV_Format, so a second failure ends as not found.
void Closing_Section(Session& s, const KV_Run& run) {
  if (!s.port.PortOpen()) {
    s.Search_Status = -2;
    return;
  }
  bool power_cycled = false;
  if (s.identity.KV_Format) {
    power_cycled = s.prompter.Ask_OK_Cancel(Obsolete_KV_Text, Obsolete_KV_Title);
    s.Dialog_Answer = power_cycled ? Dialog_OK : Dialog_Cancel;
  }
  if (power_cycled && Continue_After_Power_Cycle(s, run)) return;
  Not_Found(s);
}

// One pass of the grid test's identification exchange.
void Identify_Again(Session& s) {
  Tablet_Identity& id = s.identity;
  Send_Command(s, Nul(), "Null");
  Wait_Tick(s);
  Send_Command(s, "x", "x");
  s.port.Set_InputLen(Identification_Length);
  Wait_Seconds(s, Answer_Wait);
  s.reports.Report_Buffer = s.port.Input();
  Log_From_Tablet(s, s.reports.Report_Buffer);
  id.KV_Format = Contains(s.reports.Report_Buffer, ".#");
  Flush_Input(s);
  (void)Ask_Cursor(s);
  (void)Ask_Version(s);
  Send_Command(s, "zu", "zu");
}

}  // namespace

bool KV_Version_From(std::string_view answer, std::string& version) {
  const std::size_t at = answer.find("Ver");
  // P is the position of "Ver" counted from 0; -1 without it.
  const long p = at == std::string_view::npos ? -1 : static_cast<long>(at);
  const long count = static_cast<long>(answer.size()) - static_cast<long>(Version_Lead) - p;
  if (count < 0) return false;
  version = std::string(answer.substr(answer.size() - static_cast<std::size_t>(count)));
  return true;
}

bool KV_Size_From(std::string_view answer, KV_Size& size) {
  if (answer.size() < Report_Length) return false;
  size.width = Byte_At(answer, 2) + 128 * Byte_At(answer, 3);
  size.height = Byte_At(answer, 4) + 128 * Byte_At(answer, 5);
  return true;
}

void Probe_KV(Session& s) {
  Close_Port(s);
  Log_Probe_Header(s, "Zelta KV:");
  s.Search_Status = 0;
  s.identity.Probe_Cursor = 0;
  KV_Run run;
  try {
    if (Run_Queries(s, run)) return;
    Closing_Section(s, run);
  } catch (const Port_Error&) {
    s.Search_Status = -2;
  }
}

bool Reprobe_KV(Session& s) {
  try {
    s.port.Set_Break(true);
    s.port.Output(Nul());
    s.port.Set_Break(false);
    Log_Debug(s, "Break ON, Null, Break OFF");
    Open_Probe_Port(s, Kv_Framing(s), false);
    Identify_Again(s);

    Open_Probe_Port(s, Uiof_Framing(s), false);
    Send_Command(s, std::string{ESC, 'Z'}, "EscZ");
    Flush_Input(s);
    s.port.Output(std::string{ESC, 'z', '1'});
    Wait_Tick(s);

    Open_Probe_Port(s, Kv_Framing(s), false);
    Log_Debug(s, "Framing: " + s.port.Settings());
    Identify_Again(s);

    Open_Probe_Port(s, Uiof_Framing(s), false);
    Flush_Input(s);
    return true;
  } catch (const Port_Error&) {
    return false;
  }
}

}  // namespace stylomat
