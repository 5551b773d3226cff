#include "discovery/probe_steps.h"

#include "discovery/model_table.h"
#include "discovery/size_text.h"
#include "platform/printable_text.h"
#include "serial/serial_link.h"

namespace stylomat {

std::string Size_Not_Understood(const Session& s, std::string_view answer) {
  const std::string port = "COM" + std::to_string(s.Port_Number);
  if (answer.empty()) return "the tablet on " + port + " did not answer its size question";
  return "the tablet on " + port + " answered its size question with \"" + Printable_Text(answer) +
         "\", which is not a size";
}

void Wait_Seconds(Session& s, double seconds) { Wait_Until(s, s.clock.Now() + seconds); }

void Log_Probe_Header(Session& s, std::string_view title) {
  if (!s.Debug_Mode) return;
  s.log.Append("\r");
  s.log.Line(title);
}

void Log_From_Tablet(Session& s, std::string_view reply) {
  if (!s.Debug_Mode) return;
  std::string line = "From Tablet: ";
  line += reply;
  s.log.Line(line);
}

void Open_Probe_Port(Session& s, const std::string& settings, bool tick_before_open) {
  Close_Port(s);
  s.port.Set_Settings(settings);
  s.port.Set_CommPort(s.Port_Number);
  if (tick_before_open) Wait_Tick(s);
  s.port.Set_PortOpen(true);
  s.identity.Framing = s.port.Settings();
}

void Record_Port_Searched(Session& s) {
  s.Searched_Port = s.Port_Number;
  s.Facts_Changed();
}

void Record_Size_Text(Session& s, const std::string& text) {
  s.identity.Size_Text = text;
  s.Facts_Changed();
}

void Record_Size(Session& s, long counts_per_inch) {
  Record_Size_Text(s, Size_Text(s.identity.Tablet_Height, s.identity.Tablet_Width, counts_per_inch));
}

void Record_Firmware(Session& s, const std::string& text) {
  s.identity.Firmware_Text = text;
  s.Facts_Changed();
}

void Name_Tablet(Session& s, const std::string& product_reply) {
  s.identity.Product_Reply = product_reply;
  Match_Model(s);
}

bool Contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

long Byte_At(std::string_view reply, std::size_t n) {
  return static_cast<long>(static_cast<unsigned char>(reply[n - 1]));
}

}  // namespace stylomat
