#pragma once
#include "core/session.h"

namespace stylomat {

// Shows the result of a successful search on the main window (port, model,
// size and, for SuperSet and Type-5 tablets, firmware), writes the "Found: "
// group of log lines whatever Debug_Mode says, and offers the menu entries
// that apply to the tablet: advanced configuration when a window serves the
// model, restore factory settings otherwise, and the grid test.
//
// The driver-installer entry `Insall_Wintab` is left as it is: the Wintab
// installers are Windows programs, so on this platform it stays hidden.
void Report_Found(Session& s);

}  // namespace stylomat
