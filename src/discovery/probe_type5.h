#pragma once
// The Type-5 format-table probe, the last probe of a search: tablets of the
// Type-5 command family at "9600,N,8,1".  Ctrl-A wakes the tablet's command
// state, whose prompt holds ">"; the tablet is asked for its version
// ("VR"), which names the model, its size ("SZ") and its cursor ("SC"),
// each command sent one character at a time with a tick between, and is
// released with ESC.
#include <string>
#include <string_view>

#include "core/session.h"

namespace stylomat {

inline constexpr const char* Type5_Product = "KORV Type 5 Compatible";

// Leaves Search_Status 0 and Type5_Format set when a Type-5 tablet answered
// (the port stays open at "9600,N,8,1"), -1 when none answered (the port is
// closed), -2 when the port failed or the size answer did not hold digits
// at its characters 5 to 8 (a missing size answer included).  Each answer
// is judged on what the tablet sent to that command; when it sent nothing,
// Report_Buffer keeps its contents but is not read as the answer.
void Probe_Type5(Session& s);

// The firmware text of a version answer: the characters after "VERSION"
// and one separator, less the last four characters of the answer.  False
// (nothing changed) when the answer holds no "VERSION"; an answer too short
// for the four last characters gives an empty text.
bool Type5_Version_From(std::string_view answer, std::string& version);

// Height and width in inches from a size answer: characters 5-6 and 7-8
// (counted from 1).  False unless all four are digits.
struct Type5_Size {
  long height_inches = 0;
  long width_inches = 0;
};
bool Type5_Size_From(std::string_view answer, Type5_Size& size);

// The cursor code of a cursor answer: 3 for "P03", else 6 for "C04", else
// 5 for "C16", else 0.
int Type5_Cursor_From(std::string_view answer);

}  // namespace stylomat
