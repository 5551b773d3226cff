#pragma once
#include "core/session.h"

namespace stylomat {

// Puts the tablet back into its power-on reporting state before the port is
// released: one reset sequence per format flag that is set, then the port
// is closed and the program pauses 1.0 s.  Does nothing at all on a closed
// port.
void Reset_Tablet(Session& s);

// Clears the main window's search result, resets a tablet still on the
// port and clears five of the six format flags, before every search.
void Reset_Main_State(Session& s);

}  // namespace stylomat
