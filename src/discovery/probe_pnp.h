#pragma once
// The Plug-and-Play identification probe, the first probe of every search.
// It toggles the modem lines at "1200,M,7,2" the way the serial
// Plug-and-Play enumeration does and looks for known identifiers in the
// tablet's answer.  Nine identifiers only set model flags and write a log
// line; "KYE0005" is the Pupilane tablet, which speaks no command set: the
// probe fixes its size and cursor and no later probe runs.
//
// A null answer.  The handshake is read once; the serial control returns
// text, empty when nothing waits, never "no text at all".  So the answer
// always counts as given (PnP_Answered), an empty one simply matches no
// identifier, and the second handshake that would follow a null answer
// never runs on this program's serial layer.
#include <string_view>

#include "core/session.h"

namespace stylomat {

inline constexpr const char* Pupilane_Identifier = "KYE0005";
inline constexpr const char* Pupilane_Product = "Mensaro, Pupilane";

// Leaves Search_Status 0 (the verdict is PnP_Format and the model flags),
// -2 when the port could not be opened or failed.  With PnP_Format the port
// stays open at "9600,o,8,1"; otherwise at "1200,M,7,2".
void Probe_PnP(Session& s);

// Runs the identifier table on an answer: sets every flag of the table to
// whether its identifier occurs in the upper-cased answer and writes the
// log lines of those found, in table order, whatever Debug_Mode says.
void Apply_PnP_Identifiers(Session& s, std::string_view answer);

}  // namespace stylomat
