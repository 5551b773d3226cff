#pragma once
// The settings-image exchange of the SuperSet-family and switch-bank
// tablets, in one place: ESC "%__S" [which] CR asks for a settings image,
// ESC "%__s" image [number] CR gives one, ESC "%VF" / "%VF1" / "%A1" CR
// confirm it.  The port wake-up, the switch-bank writes and the Mirolex and
// Dovrane windows all talk through this link; each caller keeps its own
// order of steps, waits and log lines, and the link keeps the bytes, the
// reply waits and the logging rule.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "serial/settings_image.h"

namespace stylomat {

struct Session;

// When the link's log lines are written.
enum class Log_When { Never, Debug_Mode, Always };

class Settings_Image_Link {
 public:
  Settings_Image_Link(Session& s, Log_When when) : s_(s), when_(when) {}

  // A log line, when the link's rule allows it.
  void Log(std::string_view line);

  // Sends ESC "%__S" + which + CR (which: "" the active settings, "1" the
  // power-up settings, "90".."99" a user SuperSet), then logs "Sent: " +
  // label unless label is empty.
  void Ask_Settings(std::string_view which = "", std::string_view label = "");
  // One Wait_Tick, then everything waiting (InputLen 0); nothing when no
  // byte waits.
  std::optional<std::string> Reply_After_Tick();
  // Waits until `bytes` bytes wait or `seconds` have passed on the clock,
  // then everything waiting (InputLen 0); nothing when no byte came.
  std::optional<std::string> Reply_Within(std::size_t bytes = Image_Reply_Length, double seconds = 1.0);
  // The wait of Reply_Within without the read: window events run between
  // 10 ms slices until `bytes` bytes wait or `seconds` have passed on the
  // clock.  True when the bytes are there.
  bool Wait_For(std::size_t bytes, double seconds = 1.0);
  // Reads single bytes (InputLen 1) until one equals `byte` or `seconds`
  // have passed on the clock; true when it came.  Bounded as well by the
  // number of bytes read, against a tablet that never stops talking.
  bool Read_Until(char byte, double seconds = 1.0);
  // Up to `count` of the waiting bytes (InputLen is left at count); never
  // more than what waits.
  std::string Read_Bytes(std::size_t count);

  // Logs "Sent: " + label unless label is empty, then sends ESC "%__s" +
  // text + suffix + CR (suffix: a user SuperSet's two digits, or nothing).
  void Send_Image_Text(std::string_view text, std::string_view suffix = "", std::string_view label = "");
  void Send_Image(const Native_Image& image, std::string_view suffix = "", std::string_view label = "") {
    Send_Image_Text(Image_Text(image), suffix, label);
  }
  // ESC + letters + CR ("%VF", "%VF1", "%A1"), then "Sent: " + label
  // unless label is empty.
  void Command(std::string_view letters, std::string_view label = "");
  // Plain text + CR as one write, without ESC (the "5" and "512" steps of
  // the user bank exchanges), then "Sent: " + label unless label is empty.
  void Send_Line(std::string_view text, std::string_view label = "");
  // One byte as one write.
  void Send_Byte(std::uint8_t byte);

  // Reads and drops everything waiting, pass after pass while bytes keep
  // coming (bounded against a tablet that never stops talking).
  void Empty_Input();

 private:
  void Log_Sent(std::string_view label);

  Session& s_;
  Log_When when_;
};

// ESC "%__S" + which + CR.
std::string Settings_Query(std::string_view which = "");

}  // namespace stylomat
