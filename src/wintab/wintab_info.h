#pragma once
// What the program asks the tablet driver about itself, the tablet and its
// cursors, and what it shows of the answers: the monitor window's fields,
// Cursor_Table, the main window's tablet, version and size, and the log.
#include <cstddef>

#include "core/session.h"

namespace stylomat {

// The three ends of the information routine.
enum class Wintab_Outcome {
  No_Files,   // no driver could be called
  No_Device,  // a driver without a tablet
  Device,     // a driver with its tablet: the grid test may use it
};

// The ErrorMsg texts of the two outcomes without a tablet.
std::string No_Wintab_Files_Text();
std::string No_Wintab_Device_Text();

// The look for the driver of the system-information refresh: sets
// Wintab_Present, the Wintab icon TW_Check and its label, and logs
// "Wintab files found!" or "No Wintab files are present!".  True when a
// driver can be called.
bool Look_For_Wintab_Files(Session& s);

// The information routine after its start (the busy pointer, the hidden
// installer entry, Reset_Main_State and the "Wintab:" log line belong to
// its caller, discovery/wintab_search): asks the driver for the interface,
// the device name, its axes, pressure and cursors and the default
// context, fills WT_Testing and Cursor_Table, names the tablet on the
// main window and ends in one of the three outcomes with
// Refresh_Log_View.
Wintab_Outcome Read_Wintab_Information(Session& s);

// The context the program opens: the driver's default context with the
// packet fields status, cursor, buttons, X, Y and normal pressure, every
// field absolute.
Wintab_Logcontext Build_Wintab_Context(const Wintab_Logcontext& default_context);
inline constexpr std::uint32_t Wintab_Packet_Data =
    PK_STATUS | PK_CURSOR | PK_BUTTONS | PK_X | PK_Y | PK_NORMAL_PRESSURE;

}  // namespace stylomat
