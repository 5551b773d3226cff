#include "app/startup.h"

#include <algorithm>
#include <cctype>

#include "app/data_dir.h"
#include "serial/serial_link.h"
#include "stylomat_version.h"
#include "discovery/system_refresh.h"
#include "discovery/wintab_search.h"

namespace stylomat {

std::string Version_Text() {
  return std::to_string(Version_Major) + "." + std::to_string(Version_Minor) + "." + std::to_string(Version_Revision);
}

std::string Program_Caption() { return "KORV Mensaro, Stylomat Version " + Version_Text(); }

std::string Description_Text() {
  return std::string("This utility is used for Testing and Configuration purposes only!") + CR +
         "Press F2 to view a list of supported Mensaro, KORV, KORV Mensaro, and Zeltavision brand products." + CR +
         "Select an Icon below or choose from the menus above to proceed.";
}

Mode_Flags Parse_Command_Line(const std::string& command_line) {
  std::string upper = command_line;
  std::transform(upper.begin(), upper.end(), upper.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  Mode_Flags m;
  m.debug = upper.find('D') != std::string::npos;
  m.oem = upper.find("OEM") != std::string::npos;
  return m;
}

void Start_Program(Session& s, const std::string& command_line, Mode_Flags modes) {
  s.Command_Line = command_line;
  if (s.App_Dir.empty()) s.App_Dir = Find_Data_Dir();
  s.main.Busy = true;
  s.main.Description.text = Description_Text();
  s.OEM_Mode = false;
  s.Debug_Mode = modes.debug;
  s.main.Show_Debug_Window.checked = s.Debug_Mode;
  s.OEM_Mode = modes.oem;

  s.main.Caption = Program_Caption();
  Log_Line(s, s.main.Caption);

  s.main.ErrorMsg.visible = false;
  s.main.Config_Tbl.visible = false;

  s.Port_Number = 0;
  Refresh_System_Information(s);
  if (s.Wintab_Present) Wintab_Information(s);

  s.main.LabelOS.text = s.system.Name;
  s.main.LabelVersion.text = s.system.Version_Text;
  s.main.LabelBuild.text = s.system.Build_Text;
  Describe_Port_Icons(s);
  s.main.Busy = false;
  s.main.Touch();
}

void Describe_Port_Icons(Session& s) {
  for (int com = 1; com <= 8; ++com) {
    const Port_Entry* e = s.ports.Find(com);
    Port_Icon_State& icon = s.main.Com_Btn[static_cast<std::size_t>(com)];
    icon.simulated = e && e->simulated;
    if (!e) {
      icon.device_text.clear();
    } else if (e->simulated) {
      icon.device_text = e->description.empty() ? "simulated tablet" : e->description;
    } else if (e->description.empty()) {
      icon.device_text = e->device;
    } else {
      icon.device_text = e->device + ", " + e->description;
    }
  }
  s.main.Touch();
}

}  // namespace stylomat
