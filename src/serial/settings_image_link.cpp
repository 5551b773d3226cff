#include "serial/settings_image_link.h"

#include "core/session.h"
#include "serial/serial_link.h"

namespace stylomat {

std::string Settings_Query(std::string_view which) {
  std::string letters = "%__S";
  letters += which;
  return Esc_Command(letters);
}

void Settings_Image_Link::Log(std::string_view line) {
  if (when_ == Log_When::Always || (when_ == Log_When::Debug_Mode && s_.Debug_Mode)) s_.log.Line(line);
}

void Settings_Image_Link::Log_Sent(std::string_view label) {
  if (label.empty()) return;
  std::string line = "Sent: ";
  line += label;
  Log(line);
}

void Settings_Image_Link::Ask_Settings(std::string_view which, std::string_view label) {
  s_.port.Output(Settings_Query(which));
  Log_Sent(label);
}

std::optional<std::string> Settings_Image_Link::Reply_After_Tick() {
  Wait_Tick(s_);
  s_.port.Set_InputLen(0);
  if (s_.port.InBufferCount() < 1) return std::nullopt;
  return s_.port.Input();
}

bool Settings_Image_Link::Wait_For(std::size_t bytes, double seconds) {
  // Short slices with window events between them: the window stays
  // responsive while a tablet takes its time, and the reply is taken soon
  // after its last byte.
  constexpr double slice = 0.01;
  const double give_up = s_.clock.Now() + (seconds > 0 ? seconds : 0);
  const int passes = static_cast<int>((seconds > 0 ? seconds : 0) / slice) + 2;
  for (int pass = 0; pass < passes && static_cast<std::size_t>(s_.port.InBufferCount()) < bytes; ++pass) {
    s_.Process_Events();
    const double now = s_.clock.Now();
    if (now >= give_up) break;
    s_.clock.Sleep_Until(now + slice < give_up ? now + slice : give_up);
  }
  return static_cast<std::size_t>(s_.port.InBufferCount()) >= bytes;
}

std::optional<std::string> Settings_Image_Link::Reply_Within(std::size_t bytes, double seconds) {
  (void)Wait_For(bytes, seconds);
  s_.port.Set_InputLen(0);
  if (s_.port.InBufferCount() < 1) return std::nullopt;
  return s_.port.Input();
}

bool Settings_Image_Link::Read_Until(char byte, double seconds) {
  constexpr double slice = 0.01;
  constexpr int most_bytes = 4096;
  const double span = seconds > 0 ? seconds : 0;
  const double give_up = s_.clock.Now() + span;
  const int passes = static_cast<int>(span / slice) + 2;
  s_.port.Set_InputLen(1);
  int bytes_read = 0;
  for (int pass = 0; pass < passes; ++pass) {
    while (bytes_read < most_bytes && s_.port.InBufferCount() >= 1) {
      ++bytes_read;
      const std::string c = s_.port.Input();
      if (!c.empty() && c[0] == byte) return true;
    }
    s_.Process_Events();
    const double now = s_.clock.Now();
    if (now >= give_up || bytes_read >= most_bytes) break;
    s_.clock.Sleep_Until(now + slice < give_up ? now + slice : give_up);
  }
  return false;
}

std::string Settings_Image_Link::Read_Bytes(std::size_t count) {
  s_.port.Set_InputLen(static_cast<int>(count));
  if (count == 0 || s_.port.InBufferCount() < 1) return {};
  return s_.port.Input();
}

void Settings_Image_Link::Send_Image_Text(std::string_view text, std::string_view suffix, std::string_view label) {
  Log_Sent(label);
  std::string letters = "%__s";
  letters += text;
  letters += suffix;
  s_.port.Output(Esc_Command(letters));
}

void Settings_Image_Link::Command(std::string_view letters, std::string_view label) {
  s_.port.Output(Esc_Command(letters));
  Log_Sent(label);
}

void Settings_Image_Link::Send_Line(std::string_view text, std::string_view label) {
  std::string line(text);
  line += CR;
  s_.port.Output(line);
  Log_Sent(label);
}

void Settings_Image_Link::Send_Byte(std::uint8_t byte) { s_.port.Output(std::string(1, static_cast<char>(byte))); }

void Settings_Image_Link::Empty_Input() {
  s_.port.Set_InputLen(0);
  for (int guard = 0; guard < 1000 && s_.port.InBufferCount() >= 1; ++guard) (void)s_.port.Input();
}

}  // namespace stylomat
