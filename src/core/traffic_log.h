#pragma once
// The traffic log: one growing text of lines ended by CR alone.  It is the
// technician's record of what passed over the serial line.  Never trimmed,
// never cleared while the program runs.
#include <cstddef>
#include <string>
#include <string_view>

namespace stylomat {

inline constexpr char CR = '\r';
inline constexpr char LF = '\n';
inline constexpr char ESC = '\x1b';

class Traffic_Log {
 public:
  void Append(std::string_view text) { text_.append(text); }
  // Appends text followed by CR.
  void Line(std::string_view text) {
    text_.append(text);
    text_ += CR;
  }
  const std::string& Text() const { return text_; }
  std::size_t Size() const { return text_.size(); }

 private:
  std::string text_;
};

}  // namespace stylomat
