#pragma once
// The host's system values and the system-information refresh that start-up
// and the Refresh_System_Info command run.
#include <string>

#include "app/session.h"

namespace stylomat {

// On Linux: the name from /etc/os-release (PRETTY_NAME, else uname), the
// version as the kernel's major.minor, the build as the full kernel release,
// and platform 3, so that the Windows name table leaves the name as read.
System_Values Read_Host_System_Values();

// The operating-system name for platform p and version v; any platform
// other than 0, 1 and 2 keeps current_name.
std::string System_Name(int platform, double version, const std::string& current_name);

// Names the operating system in the log, checks for the tablet driver
// library, then Refresh_Log_View, Scan_Ports and Reset_Main_State.
void Refresh_System_Information(Session& s);

}  // namespace stylomat
