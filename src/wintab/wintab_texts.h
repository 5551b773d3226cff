#pragma once
// How the Wintab information routine turns the driver's answers into the
// texts it shows: low bytes, version words, units, 16.16 resolutions, the
// ";"-separated device name and the tablet size.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "platform/wintab_api.h"

namespace stylomat {

// A number answered into the text buffer, read back by the code of its
// first character: the low byte, in decimal.
std::string Low_Byte_Text(std::span<const std::uint8_t> buffer);
// Major "." minor of a version word: major = value div 256, minor = the
// last two characters of the decimal text of (value mod 256) with its
// leading blank, so 0x0104 shows as "1. 4" and 0x010A as "1.10".
std::string Version_Word_Text(std::uint32_t value);
// "NONE" for units 0, "Inches" for 1, "Centimeters" for 2, "NONE" else.
std::string Units_Text(std::uint32_t units);
// A 16.16 resolution divided by 65536, as a decimal number.
std::string Resolution_Text(std::uint32_t resolution);
// A number with at most 15 significant digits, no trailing zeros.
std::string General_Number(double value);
// The text of an answer: the first `size` characters of the buffer, up to
// the NUL that ends the text.
std::string Answer_Text(std::span<const std::uint8_t> buffer, std::size_t size);

// The parts of the device name: the tablet before the first ";", the text
// 8 characters after the start of "Version" and of "Format" (a name
// without the word gives the text from its 8th character), each cut
// before the next ";".
struct Device_Name_Parts {
  std::string Tablet_ID;
  std::string Device_Ver;
  std::string Device_Format;
};
Device_Name_Parts Split_Device_Name(const std::string& name);

// The tablet's size in its units, X_Max / X_Res and Y_Max / Y_Res, from
// the texts the monitor window shows.  Empty when a value is not a number
// or a resolution is zero: the size then cannot be known.
struct Tablet_Size {
  std::string Width, Height;
};
std::optional<Tablet_Size> Size_From_Fields(const std::string& x_max, const std::string& x_res,
                                            const std::string& y_max, const std::string& y_res);
// A field's text as a number, when it is one.
std::optional<double> Field_Number(const std::string& text);

// The prefix of the device names the first driver generation gave its
// tablets, and what the program calls them instead.
inline constexpr const char* Early_Driver_Prefix = "TAVRO";
inline constexpr const char* Early_Driver_Model = "Mensaro/Zeltavision";
inline constexpr const char* Early_Driver_Version = "7.1 or Prior.";
bool Has_Early_Driver_Prefix(const std::string& model_name);

}  // namespace stylomat
