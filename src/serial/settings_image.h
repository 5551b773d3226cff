#pragma once
// The seven-byte settings image as it travels on the line.
//
// The generation II and III SuperSet tablets (Mirolex, Dovrane) report and
// accept their active settings as seven bytes written as text: seven
// two-digit upper-case hexadecimal numbers joined by ",", for example
// "40,77,89,61,00,08,00" (20 characters; a tablet's reply adds its line
// end).  The switch-bank tablets use the same text shape for their three
// switch banks.  Pure functions: no session, no port, no log.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace stylomat {

// Image bytes 1 to 7, held at [0] to [6].
using Native_Image = std::array<std::uint8_t, 7>;

inline constexpr std::size_t Image_Byte_Count = 7;
// Length of the image text without the tablet's line end.
inline constexpr std::size_t Image_Text_Length = 20;
// A complete reply: the text and the tablet's CR LF.
inline constexpr std::size_t Image_Reply_Length = 22;

// Field n (0 to 6) of a reply text: the two characters starting at offset
// 3*n (the 1st, 4th, 7th, ... 19th character).  A field that is missing,
// cut short by the end of the text, or not made of two hexadecimal digits
// (either case) reads as 0.  Never reads past the text.
std::uint8_t Image_Field(std::string_view reply, std::size_t n);

// All seven fields of a reply text.
Native_Image Parse_Image_Text(std::string_view reply);

// "CE,1F,4D,61,00,0C,23": each byte as two upper-case hexadecimal digits,
// joined by ",".
std::string Image_Text(const Native_Image& image);

}  // namespace stylomat
