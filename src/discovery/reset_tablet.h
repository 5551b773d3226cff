#pragma once
#include "core/session.h"

namespace stylomat {

// Puts the tablet back into its power-on reporting state before the port is
// released: one reset sequence per format flag that is set, then the port
// is closed and the program pauses 1.0 s.  Does nothing at all on a closed
// port.
void Reset_Tablet(Session& s);
// Reset_Tablet without the pause after it: the reset sequences (the log's
// "Reset Tablet:" section), then the port is closed.  For a port that is
// not opened again soon (the parallel search letting go of a tablet it
// woke).  Does nothing at all on a closed port.
void Reset_And_Close(Session& s);

// Clears the main window's search result, resets a tablet still on the
// port and clears five of the six format flags, before every search.
void Reset_Main_State(Session& s);

}  // namespace stylomat
