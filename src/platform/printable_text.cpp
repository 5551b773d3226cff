#include "platform/printable_text.h"

namespace stylomat {

namespace {

void Append_Byte(std::string& out, unsigned char c) {
  static const char digits[] = "0123456789ABCDEF";
  if (c >= 0x20 && c < 0x7f) {
    out += static_cast<char>(c);
    return;
  }
  out += "\\x";
  out += digits[c >> 4];
  out += digits[c & 15];
}

}  // namespace

std::string Printable_Text(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (unsigned char c : text) Append_Byte(out, c);
  return out;
}

std::string Printable_Lines(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '\r') {
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out += '\n';
    } else if (c == '\n') {
      out += '\n';
    } else {
      Append_Byte(out, c);
    }
  }
  return out;
}

std::string Quoted_Text(std::string_view text) {
  std::string out;
  Append_Quoted_Text(out, text);
  return out;
}

void Append_Quoted_Text(std::string& out, std::string_view text) {
  out.reserve(out.size() + text.size() + 2);
  out += '"';
  for (unsigned char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '"': out += "\\\""; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      default: Append_Byte(out, c);
    }
  }
  out += '"';
}

}  // namespace stylomat
