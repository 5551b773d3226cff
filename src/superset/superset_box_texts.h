#pragma once
// The labels and tool tips of a SuperSet window's boxes, as each window
// shows them.  "&" marks the access key.
#include <string>

#include "core/config_windows.h"
#include "superset/superset_form.h"

namespace stylomat {

std::string Box_Caption(SuperSet_Box box, Config_Window window);
std::string Box_Tool_Tip(SuperSet_Box box, Config_Window window);

// Mirolex2's "&Plug-N-Play" check box: shown, never read or changed.
inline constexpr const char* Plug_N_Play_Caption = "&Plug-N-Play";
inline constexpr const char* Plug_N_Play_Tool_Tip = "Enable Beep on Button Press";

}  // namespace stylomat
