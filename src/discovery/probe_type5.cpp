#include "discovery/probe_type5.h"

#include "discovery/probe_steps.h"
#include "serial/serial_link.h"

namespace stylomat {

namespace {

constexpr int Prompt_Length = 30;
constexpr char Ctrl_A = '\x01';
constexpr long Counts_Per_Inch = 1000;
constexpr std::size_t Version_Skip = 8;  // "VERSION" and one separator
constexpr std::size_t Version_Tail = 4;  // line end and prompt after the version

void Two_Ticks(Session& s) {
  Wait_Tick(s);
  Wait_Tick(s);
}

// The letters of a command, one character at a time with a tick between,
// then CR; logged once with the letters.
void Send_Letters(Session& s, std::string_view letters) {
  for (std::size_t i = 0; i < letters.size(); ++i) {
    s.port.Output(std::string(1, letters[i]));
    Wait_Tick(s);
  }
  Send_Command(s, std::string(1, CR), letters);
}

// Everything waiting after the command.  The answer judged is what the
// tablet sent now; Report_Buffer keeps its old contents when it sent
// nothing.
std::string Read_Answer(Session& s) {
  Two_Ticks(s);
  s.port.Set_InputLen(0);
  if (s.port.InBufferCount() < 1) return {};
  s.reports.Report_Buffer = s.port.Input();
  return s.reports.Report_Buffer;
}

// ESC leaves any command state; Ctrl-A CR opens it and brings the prompt,
// of which 30 characters are read.
bool Wake(Session& s) {
  s.port.Output(std::string(1, ESC));
  Two_Ticks(s);
  Flush_Input(s);
  Send_Command(s, std::string{Ctrl_A, CR}, "Ctl-A");
  s.port.Set_InputLen(Prompt_Length);
  Two_Ticks(s);
  s.Reply_Text = s.port.Input();
  return Contains(s.Reply_Text, ">");
}

void Ask_Version(Session& s) {
  Wait_Tick(s);
  Send_Letters(s, "VR");
  std::string version;
  if (!Type5_Version_From(Read_Answer(s), version)) return;
  s.identity.Firmware_Reply = version;
  Record_Firmware(s, version);
}

// False when the answer is neither "NONE" nor a size.
bool Ask_Size(Session& s) {
  Send_Letters(s, "SZ");
  const std::string answer = Read_Answer(s);
  if (Contains(answer, "NONE")) {
    Record_Size_Text(s, "N/A");
    return true;
  }
  Type5_Size size;
  if (!Type5_Size_From(answer, size)) {
    s.Failure_Reason = Size_Not_Understood(s, answer);
    return false;
  }
  s.identity.Tablet_Width = size.width_inches * Counts_Per_Inch;
  s.identity.Tablet_Height = size.height_inches * Counts_Per_Inch;
  Record_Size(s, Counts_Per_Inch);
  return true;
}

void Ask_Cursor(Session& s) {
  Send_Letters(s, "SC");
  s.identity.Type5_Cursor = Type5_Cursor_From(Read_Answer(s));
}

void Release(Session& s) {
  Send_Command(s, std::string(1, ESC), "Esc");
  Two_Ticks(s);
}

void Not_Found(Session& s) {
  if (s.port.PortOpen()) {
    s.Search_Status = -1;
    Close_Port(s);
  }
  Log_Debug(s, "Not Found");
}

bool Is_Digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool Type5_Version_From(std::string_view answer, std::string& version) {
  const std::size_t at = answer.find("VERSION");
  if (at == std::string_view::npos) return false;
  const std::size_t start = at + Version_Skip;  // counted from 0
  if (start + Version_Tail >= answer.size()) {
    version.clear();
    return true;
  }
  version = std::string(answer.substr(start, answer.size() - Version_Tail - start));
  return true;
}

bool Type5_Size_From(std::string_view answer, Type5_Size& size) {
  if (answer.size() < 8) return false;
  for (std::size_t i = 4; i < 8; ++i)
    if (!Is_Digit(answer[i])) return false;
  size.height_inches = (answer[4] - '0') * 10 + (answer[5] - '0');
  size.width_inches = (answer[6] - '0') * 10 + (answer[7] - '0');
  return true;
}

int Type5_Cursor_From(std::string_view answer) {
  if (Contains(answer, "P03")) return 3;
  if (Contains(answer, "C04")) return 6;
  if (Contains(answer, "C16")) return 5;
  return 0;
}

void Probe_Type5(Session& s) {
  Close_Port(s);
  Log_Probe_Header(s, "KORV Format TBL:");
  s.Search_Status = 0;
  Tablet_Identity& id = s.identity;
  try {
    Open_Probe_Port(s, Compose_Framing(s, 9600, "N", 8, 1), true);
    Log_Debug(s, "Framing: " + s.port.Settings());

    id.Type5_Format = Wake(s);
    if (!id.Type5_Format) {
      Not_Found(s);
      return;
    }
    Record_Port_Searched(s);
    id.Product_Reply = Type5_Product;
    Ask_Version(s);
    Name_Tablet(s, id.Product_Reply);
    if (!Ask_Size(s)) {
      s.Search_Status = -2;
      return;
    }
    Ask_Cursor(s);
    Release(s);
  } catch (const Port_Error&) {
    s.Search_Status = -2;
  }
}

}  // namespace stylomat
