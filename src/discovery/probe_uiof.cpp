#include "discovery/probe_uiof.h"

#include "discovery/probe_steps.h"
#include "serial/serial_link.h"

namespace stylomat {

namespace {

constexpr double Answer_Wait = 7.0 / 16.0;
constexpr int Status_Length = 1;
constexpr int Identification_Length = 6;
constexpr std::size_t Report_Length = 8;
constexpr long Counts_Per_Inch = 1000;

std::string Esc(char letter) { return std::string{ESC, letter}; }

// ESC "g": one character; "A" or "@" is a UIOF tablet.  Anything else the
// tablet sends stays in the input buffer.
bool Ask_Status(Session& s) {
  Send_Command(s, Esc('g'), "Escg");
  s.port.Set_InputLen(Status_Length);
  Wait_Seconds(s, Answer_Wait);
  s.Reply_Text = s.port.Input();
  return Contains(s.Reply_Text, "A") || Contains(s.Reply_Text, "@");
}

// ESC "Z" resets the tablet; ESC "x" asks for its identification, of which
// six characters are read; ".#" anywhere among them is a UIOF tablet.
bool Ask_Identification(Session& s) {
  Wait_Tick(s);
  Send_Command(s, Esc('Z'), "EscZ");
  Wait_Tick(s);
  Send_Command(s, Esc('x'), "Escx");
  s.port.Set_InputLen(Identification_Length);
  Wait_Seconds(s, Answer_Wait);
  s.Reply_Text = s.port.Input();
  return Contains(s.Reply_Text, ".#");
}

// ESC "a": one report at the largest coordinates.  Returns false when the
// answer is too short to hold one.
bool Ask_Size(Session& s) {
  Wait_Tick(s);
  Send_Command(s, Esc('a'), "Esca");
  Wait_Tick(s);
  Wait_Tick(s);
  s.port.Set_InputLen(0);
  std::string answer;
  if (s.port.InBufferCount() >= 1) {
    answer = s.port.Input();
    s.reports.Report_Buffer = answer;
    s.Reply_Text = answer;
  }
  // The size comes from this answer alone: a tablet that stays silent must
  // not be measured by whatever an earlier probe left in the buffer.
  UIOF_Size size;
  if (!UIOF_Size_From(answer, size)) {
    s.Failure_Reason = Size_Not_Understood(s, answer);
    return false;
  }
  s.identity.Tablet_Width = size.width;
  s.identity.Tablet_Height = size.height;
  Record_Size(s, Counts_Per_Inch);
  if (s.identity.Tablet_Height < s.identity.Tablet_Width) Wait_Tick(s);
  return true;
}

void Not_Found(Session& s) {
  if (s.port.PortOpen()) {
    s.Search_Status = -1;
    Close_Port(s);
  }
  Log_Debug(s, "Not Found");
}

}  // namespace

bool UIOF_Size_From(std::string_view answer, UIOF_Size& size) {
  if (answer.size() < Report_Length) return false;
  size.width = Byte_At(answer, 3) + 64 * Byte_At(answer, 4) + 4096 * (Byte_At(answer, 5) & 15);
  size.height = Byte_At(answer, 6) + 64 * Byte_At(answer, 7) + 4096 * (Byte_At(answer, 8) & 15);
  return true;
}

void Probe_UIOF(Session& s) {
  Close_Port(s);
  Log_Probe_Header(s, "Zelta UIOF:");
  s.Search_Status = 0;
  Tablet_Identity& id = s.identity;
  try {
    Open_Probe_Port(s, Compose_Framing(s, 9600, "E", 7, 2), true);
    Log_Debug(s, "Framing: " + s.port.Settings());

    id.UIOF_Format = Ask_Status(s);
    if (!id.UIOF_Format) id.UIOF_Format = Ask_Identification(s);
    if (!id.UIOF_Format) {
      Not_Found(s);
      return;
    }
    Log_From_Tablet(s, s.Reply_Text);

    Flush_Input(s);
    Record_Port_Searched(s);
    Name_Tablet(s, UIOF_Product);
    if (!Ask_Size(s)) s.Search_Status = -2;
  } catch (const Port_Error&) {
    s.Search_Status = -2;
  }
}

}  // namespace stylomat
