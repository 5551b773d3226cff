#pragma once
// The SuperSet-family probe: wakes the tablet, asks for its identification,
// firmware and largest coordinates, and switches tablet and port to
// "19200,n,8,2".
#include <optional>
#include <string_view>

#include "core/session.h"

namespace stylomat {

inline constexpr const char* SuperSet_Probe_Framing = "19200,n,8,2";

// Leaves Search_Status 0 when a SuperSet-family tablet answered (the port
// is then open at "19200,n,8,2" and the identity filled), -1 when nothing
// woke, -2 when the port could not be opened or failed on the way.
void Probe_SuperSet(Session& s);

// X and Y of the first whole 10-byte SuperSet report in a byte string
// (bytes below 128 before it are skipped, as the report decoder does);
// nothing when no whole report is there.
struct SuperSet_Position {
  long x = 0;
  long y = 0;
};
std::optional<SuperSet_Position> First_SuperSet_Position(std::string_view bytes);

}  // namespace stylomat
