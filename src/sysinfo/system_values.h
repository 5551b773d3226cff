#pragma once
// The host's system values: what the system-information refresh shows
// about the operating system.
#include <string>

#include "core/session.h"

namespace stylomat {

// On Linux: the name from /etc/os-release (PRETTY_NAME, else uname), the
// version as the kernel's major.minor, the build as the full kernel release,
// and platform 3, so that the Windows name table leaves the name as read.
System_Values Read_Host_System_Values();

// The operating-system name for platform p and version v; any platform
// other than 0, 1 and 2 keeps current_name.
std::string System_Name(int platform, double version, const std::string& current_name);

}  // namespace stylomat
