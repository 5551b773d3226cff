#pragma once
// Text that comes from outside the program (tablet replies, device names,
// reasons quoting them) made safe to print on a terminal or to put on one
// line of a record: every byte outside printable ASCII becomes \xNN, so no
// escape sequence can reach the terminal and no line can be split.
#include <string>
#include <string_view>

namespace stylomat {

// One line: every control byte (CR and LF too), DEL and byte above 127
// as \xNN.
std::string Printable_Text(std::string_view text);

// Several lines: CR, LF and CR LF end a line ("\n"); every other byte as in
// Printable_Text.
std::string Printable_Lines(std::string_view text);

// A text as one quoted value: between double quotes, with \\ and \" for a
// backslash and a quote, \r, \n and \t for CR, LF and TAB, and every other
// byte outside printable ASCII as \xNN.  Blanks stay as they are, so
// trailing blanks show before the closing quote.
std::string Quoted_Text(std::string_view text);
// The same, appended to `out`.
void Append_Quoted_Text(std::string& out, std::string_view text);

}  // namespace stylomat
