#include "discovery/system_refresh.h"

#include "discovery/reset_tablet.h"
#include "serial/serial_link.h"
#include "sysinfo/system_values.h"
#include "wintab/wintab_info.h"

namespace stylomat {

void Refresh_System_Information(Session& s) {
  const System_Values read = s.Read_System_Values ? s.Read_System_Values() : Read_Host_System_Values();
  const std::string name = System_Name(read.Platform, read.Version, read.Name);
  s.system = read;
  s.system.Name = name;

  s.log.Append("\r");
  Log_Line(s, "System:");
  Log_Line(s, s.system.Name + " Version: " + s.system.Version_Text + " Build: " + s.system.Build_Text);

  Look_For_Wintab_Files(s);

  s.Refresh_Log_View();
  Scan_Ports(s);
  Reset_Main_State(s);
}

}  // namespace stylomat
