#pragma once
// The main window's driver commands: the Wintab information routine with
// its start (Reset_Main_State first), Search For Wintab and its icon
// TW_Check, and Wintab Information, which shows the monitor window.
#include "core/session.h"
#include "wintab/wintab_info.h"

namespace stylomat {

// The busy pointer, Insall_Wintab hidden, Reset_Main_State, "Wintab:" in
// the log, then what the driver reports (Read_Wintab_Information).
Wintab_Outcome Wintab_Information(Session& s);

// Find_Wintab and TW_Check: the routine, then the beep.
void Find_Wintab_Command(Session& s);
// WT_Info_Btn: the routine, the grid test's entry disabled, the monitor
// window shown.
void WT_Info_Command(Session& s);

}  // namespace stylomat
