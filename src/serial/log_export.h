#pragma once
// Showing and saving the traffic log outside the program: the glyph each
// log byte is shown with, the default file name, the rich-text and the
// plain-text file, and a write that never leaves half a file behind.
//
// The log holds raw octets from the serial line (tablet replies, binary
// report bytes), so every writer here treats it as untrusted bytes.
#include <string>
#include <string_view>

namespace stylomat {

// The character a log byte is shown with, one per byte: printable ASCII as
// itself, the control bytes 0x00-0x1F as their Unicode control pictures
// (U+2400 + n; ESC shows as U+241B), DEL as U+2421, and 0x80-0xFF as the
// Windows-1252 character of that byte (U+FFFD for its five unassigned
// bytes).  CR never reaches a view: it ends the line.
char16_t Shown_Char(unsigned char byte);

// "PRX Debug 6-28-2007.rtf": month-day-year, no leading zeros, four-digit
// year.
std::string Default_Log_File_Name(int year, int month, int day);

inline constexpr std::string_view Rtf_Filter = "Rich Text Format (*.rtf)";
inline constexpr std::string_view Txt_Filter = "Text Document (*.txt)";

enum class Log_File_Format { Rich_Text, Plain_Text };

// Plain text when the text filter was chosen or the name ends in ".txt"
// (any case); rich text otherwise.
Log_File_Format Choose_Log_File_Format(std::string_view path, std::string_view selected_filter);
// A name without an extension gets ".rtf" or ".txt" to match the format.
std::string Complete_Log_File_Name(std::string_view path, Log_File_Format format);

#ifdef _WIN32
inline constexpr std::string_view Platform_Line_End = "\r\n";
#else
inline constexpr std::string_view Platform_Line_End = "\n";
#endif

// The log as the log window shows it, in UTF-8: each byte as Shown_Char,
// each CR replaced by line_end.
std::string Log_As_Shown_Text(std::string_view log, std::string_view line_end = Platform_Line_End);

// The log as a rich-text document in a fixed-pitch font.  Backslash and
// braces are escaped, CR becomes a paragraph end and every other byte
// outside printable ASCII is written as \'hh, so no byte of a tablet reply
// can end the document early or inject a control word.
std::string Log_As_Rtf(std::string_view log);

// Writes bytes to path through a temporary file in the same folder, synced
// and then renamed over path.  On failure the temporary file is removed, a
// file already at path is left as it was, error names the reason and the
// result is false.
bool Write_File_Atomically(const std::string& path, std::string_view bytes, std::string& error);

// Saves the log in the given format through Write_File_Atomically.
bool Save_Log_File(std::string_view log, const std::string& path, Log_File_Format format, std::string& error);

}  // namespace stylomat
