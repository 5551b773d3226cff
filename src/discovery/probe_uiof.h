#pragma once
// The UIOF probe: tablets of the UIOF command family at "9600,E,7,2".  A
// one-character status query (ESC "g") or, failing that, a reset and a
// six-character identification query (ESC "x") recognise the tablet; one
// report at its largest coordinates (ESC "a") gives the active size.
#include <string_view>

#include "core/session.h"

namespace stylomat {

inline constexpr const char* UIOF_Product = "Zeltavision, UIOF Compatible";

// Leaves Search_Status 0 and UIOF_Format set when a UIOF tablet answered
// (the port then stays open at "9600,E,7,2"), -1 when none answered (the
// port is closed), -2 when the port failed or the size report was shorter
// than eight bytes.  A tablet that sends nothing to ESC "a" counts as a
// short report: the size is never taken from what an earlier probe left in
// Report_Buffer.
void Probe_UIOF(Session& s);

// Width and height of an 8-byte UIOF report at the largest coordinates;
// false when the answer is shorter than a report.
struct UIOF_Size {
  long width = 0;
  long height = 0;
};
bool UIOF_Size_From(std::string_view answer, UIOF_Size& size);

}  // namespace stylomat
