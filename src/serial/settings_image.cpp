#include "serial/settings_image.h"

namespace stylomat {

namespace {

int Hex_Digit_Value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

void Append_Hex_Byte(std::string& out, std::uint8_t v) {
  static constexpr char digits[] = "0123456789ABCDEF";
  out += digits[v / 16];
  out += digits[v % 16];
}

}  // namespace

std::uint8_t Image_Field(std::string_view reply, std::size_t n) {
  if (n >= Image_Byte_Count) return 0;
  const std::size_t at = 3 * n;
  if (at >= reply.size() || reply.size() - at < 2) return 0;
  const int hi = Hex_Digit_Value(reply[at]);
  const int lo = Hex_Digit_Value(reply[at + 1]);
  if (hi < 0 || lo < 0) return 0;
  return static_cast<std::uint8_t>(hi * 16 + lo);
}

Native_Image Parse_Image_Text(std::string_view reply) {
  Native_Image image{};
  for (std::size_t n = 0; n < Image_Byte_Count; ++n) image[n] = Image_Field(reply, n);
  return image;
}

std::string Image_Text(const Native_Image& image) {
  std::string text;
  text.reserve(Image_Text_Length);
  for (std::size_t n = 0; n < Image_Byte_Count; ++n) {
    if (n > 0) text += ',';
    Append_Hex_Byte(text, image[n]);
  }
  return text;
}

}  // namespace stylomat
