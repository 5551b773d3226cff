#include "wintab/wintab_texts.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace stylomat {

std::string Low_Byte_Text(std::span<const std::uint8_t> buffer) {
  return std::to_string(buffer.empty() ? 0 : buffer[0]);
}

std::string Version_Word_Text(std::uint32_t value) {
  const std::string minor = " " + std::to_string(value % 256);
  return std::to_string(value / 256) + "." + minor.substr(minor.size() - 2);
}

std::string Units_Text(std::uint32_t units) {
  switch (units) {
    case TU_INCHES: return "Inches";
    case TU_CENTIMETERS: return "Centimeters";
    default: return "NONE";
  }
}

std::string General_Number(double value) {
  if (!std::isfinite(value)) return "0";
  char text[40];
  std::snprintf(text, sizeof text, "%.15g", value);
  return text;
}

std::string Resolution_Text(std::uint32_t resolution) { return General_Number(resolution / 65536.0); }

std::string Answer_Text(std::span<const std::uint8_t> buffer, std::size_t size) {
  std::string text;
  for (std::size_t i = 0; i < size && i < buffer.size() && buffer[i] != 0; ++i) text += static_cast<char>(buffer[i]);
  return text;
}

namespace {

// The text 8 characters after the start of `word`, cut before the next
// ";" when there is one.
std::string Value_After(const std::string& name, const char* word) {
  const std::size_t at = name.find(word);
  const std::size_t start = at == std::string::npos ? 7 : at + 8;
  if (start >= name.size()) return {};
  const std::size_t end = name.find(';', start);
  return name.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

}  // namespace

Device_Name_Parts Split_Device_Name(const std::string& name) {
  Device_Name_Parts parts;
  parts.Tablet_ID = name.substr(0, name.find(';'));
  parts.Device_Ver = Value_After(name, "Version");
  parts.Device_Format = Value_After(name, "Format");
  return parts;
}

std::optional<double> Field_Number(const std::string& text) {
  double value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || ptr != end || text.empty() || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<Tablet_Size> Size_From_Fields(const std::string& x_max, const std::string& x_res,
                                            const std::string& y_max, const std::string& y_res) {
  const auto xm = Field_Number(x_max), xr = Field_Number(x_res), ym = Field_Number(y_max), yr = Field_Number(y_res);
  if (!xm || !xr || !ym || !yr || *xr == 0 || *yr == 0) return std::nullopt;
  return Tablet_Size{General_Number(*xm / *xr), General_Number(*ym / *yr)};
}

bool Has_Early_Driver_Prefix(const std::string& model_name) {
  const std::string prefix = Early_Driver_Prefix;
  if (model_name.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(model_name[i])) != prefix[i]) return false;
  }
  return true;
}

}  // namespace stylomat
