#pragma once
// The system-information refresh that start-up, the Refresh_System_Info
// command and a search that met a port error run.
#include "core/session.h"

namespace stylomat {

// Names the operating system in the log, checks for the tablet driver
// library, then Refresh_Log_View, Scan_Ports and Reset_Main_State.
void Refresh_System_Information(Session& s);

}  // namespace stylomat
