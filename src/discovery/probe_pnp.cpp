#include "discovery/probe_pnp.h"

#include <array>
#include <string>

#include "discovery/probe_steps.h"
#include "serial/serial_link.h"

namespace stylomat {

namespace {

constexpr const char* Handshake_Framing = "1200,M,7,2";
constexpr long Pupilane_Width = 6600;
constexpr long Pupilane_Height = 4600;
constexpr const char* Pupilane_Size = "6 x 8";
constexpr int Pupilane_Cursor = 7;  // the fixed 2-button stylus

struct Identifier_Row {
  const char* identifier;
  bool Tablet_Identity::*flag;
  const char* log_line;  // nullptr: no line
};

constexpr std::array<Identifier_Row, 10> Identifier_Rows{{
    {"MNR0012", &Tablet_Identity::PnP_ID_Found, "Morvane / Station"},
    {"MNR0010", &Tablet_Identity::PnP_ID_Found, "Morvane / Zephane"},
    {"MNR0302", &Tablet_Identity::Quorral_III_Flag, "Quorral III"},
    {"MNR0303", &Tablet_Identity::Dovrane_IV_VI_Flag, "Dovrane IV"},
    {"MNR0304", &Tablet_Identity::Mirolex_III_Flag, "Mirolex III"},
    {"MNR0103", &Tablet_Identity::Velliscope_V_Flag, "Velliscope V"},
    {"MNR0203", &Tablet_Identity::Pallivant_VII_Flag, "Pallivant VII"},
    {"MNR0018", &Tablet_Identity::Velliscope_III_Flag, "Velliscope III / Pallivant V"},
    {"MNR0001", &Tablet_Identity::Lumivane_Flag, "Lumivane"},
    {Pupilane_Identifier, &Tablet_Identity::PnP_Format, nullptr},
}};

std::string Upper_Ascii(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

// Blanks around the answer are not part of it.
std::string_view Trim_Blanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

// The enumeration: DTR and RTS toggled with pauses (window events run),
// 1.6 s in all.  The device sends its identification string meanwhile.
void Handshake(Session& s) {
  Serial_Port& port = s.port;
  port.Set_DTREnable(true);
  port.Set_RTSEnable(false);
  Pause_Seconds(s, 0.4);
  port.Set_DTREnable(false);
  Pause_Seconds(s, 0.2);
  port.Set_DTREnable(true);
  Pause_Seconds(s, 0.2);
  port.Set_RTSEnable(true);
  Pause_Seconds(s, 0.2);
  port.Set_DTREnable(false);
  port.Set_RTSEnable(false);
  Pause_Seconds(s, 0.2);
  port.Set_DTREnable(true);
  port.Set_RTSEnable(true);
  Pause_Seconds(s, 0.4);
}

// The Pupilane tablet reports 5-byte packets at "9600,o,8,1" with a fixed
// stylus; its size is fixed.
void Take_Pupilane(Session& s) {
  Close_Port(s);
  Log_Probe_Header(s, "Pupilane:");
  Open_Probe_Port(s, Compose_Framing(s, 9600, "o", 8, 1), false);
  Tablet_Identity& id = s.identity;
  id.Probe_Cursor = Pupilane_Cursor;
  Record_Port_Searched(s);
  Name_Tablet(s, Pupilane_Product);
  Flush_Input(s);
  id.Tablet_Width = Pupilane_Width;
  id.Tablet_Height = Pupilane_Height;
  Record_Size_Text(s, Pupilane_Size);
}

}  // namespace

void Apply_PnP_Identifiers(Session& s, std::string_view answer) {
  const std::string upper = Upper_Ascii(answer);
  for (const Identifier_Row& row : Identifier_Rows) {
    const bool found = Contains(upper, row.identifier);
    s.identity.*row.flag = found;
    if (found && row.log_line) {
      s.log.Line(row.log_line);
      s.log.Append("\r");
    }
  }
}

void Probe_PnP(Session& s) {
  s.Search_Status = 0;
  try {
    Close_Port(s);
    s.reports.Report_Buffer.clear();
    s.log.Append("\r");
    Log_Line(s, "Plug-N-Play");

    s.port.Set_InputLen(0);
    s.port.Set_Settings(Handshake_Framing);
    s.port.Set_CommPort(s.Port_Number);
    Log_Debug(s, std::string("Framing: ") + Handshake_Framing);
    s.port.Set_PortOpen(true);
    s.identity.Framing = s.port.Settings();

    Handshake(s);
    s.reports.Report_Buffer = s.port.Input();
    s.identity.PnP_Answered = true;
    Log_Debug(s, Trim_Blanks(s.reports.Report_Buffer));
    Apply_PnP_Identifiers(s, s.reports.Report_Buffer);
    if (!s.identity.PnP_Format) return;
    Take_Pupilane(s);
  } catch (const Port_Error&) {
    s.Search_Status = -2;
  }
}

}  // namespace stylomat
