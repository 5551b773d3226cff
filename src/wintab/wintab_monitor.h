#pragma once
// The link to the tablet driver: the hidden message window and its hook,
// the manager and the context, Close_Wintab, and the monitor window
// WT_Testing that shows the driver's packets live.
//
// The grid test's driver path uses the same pieces: Load_Message_Window,
// the driver's WTMgrOpen/WTOpen with s.wintab.Wintab_Context,
// Hook_Message_Window, Read_Wintab_Packet each pass, Close_Wintab at the
// end; X_Res and Y_Res of WT_Testing and Cursor_Table are filled by the
// information routine (wintab_info.h).
#include <cstdint>
#include <functional>
#include <optional>

#include "core/session.h"

namespace stylomat {

// The messages the monitor shows when it cannot start.
inline constexpr const char* No_Device_Located_Text = "Wintab Driver Found but No Device could be Located!";
inline constexpr const char* No_Messaging_Text = "Wintab Messaging Could not be Established, Proximity Data Disabled!";
inline constexpr const char* No_Communication_Text = "Wintab Device Found but Could Not establish Communication!";
std::string Messaging_Disabled_Text();  // "Proximity data has been Disabled!" CR ...
inline constexpr const char* Messaging_Disabled_Title = "WTMgrOpen";

// The fields of a packet as the program reads them: status and normal
// pressure by their low 16 bits, signed.
struct Packet_Fields {
  bool In_Prox = false;  // status below 1
  std::int32_t Cursor = 0;
  std::int32_t Buttons = 0;
  std::int32_t X = 0;
  std::int32_t Y = 0;
  std::int32_t Pressure = 0;
};
Packet_Fields Read_Packet_Fields(const Wintab_Packet& packet);

// Reads at most one packet of the open context into s.wintab.Wintab_Packet;
// false when none waited (or no context is open).  Never blocks.
bool Read_Wintab_Packet(Session& s);
// Lets window events run: the front end's, then the driver's messages to
// the hidden window.
void Run_Window_Events(Session& s);
// Waits up to `seconds` for the driver's input (returns at once when a
// packet waits); sleeps, never spins.
void Wait_For_Wintab_Input(Session& s, double seconds);

// Msg_Target: loads the hidden window (its handle is then non-zero) or
// closes it.
std::uintptr_t Load_Message_Window(Session& s);
void Close_Message_Window(Session& s);
// Installs the program's window procedure on Msg_Target, keeping the
// previous one / puts the previous one back.  The program's procedure
// takes the proximity message (message base + 5): the main window's
// proximity lamp goes hollow and Monitor_Prox reads "False"; every other
// message goes on to the previous procedure.
void Hook_Message_Window(Session& s);
void Unhook_Message_Window(Session& s);

// Close_Wintab: when a driver is present, unhooks the window and closes
// the manager and the context (errors ignored).
void Close_Wintab(Session& s);

// ---- the monitor window WT_Testing ------------------------------------
// Opens messaging and the context and polls until Monitor_Stop_Request is
// set (Mon_Stop, the window's unload, Close_Wintab); a start that fails
// shows its message and puts the buttons back.
void Open_Wintab_Monitor(Session& s);
// One poll: a packet's values into the live fields, its cursor chosen in
// the cursor list.  True when a packet came.
bool Poll_Wintab_Packet(Session& s);
// The window's commands.
void Mon_Start(Session& s);
void Mon_Stop(Session& s);
// The window loads (first tab) and shows; unload closes the link and
// forgets every field.
void Show_Wintab_Monitor(Session& s);
void Unload_Wintab_Monitor(Session& s);
// Choosing cursor i (0 to 100) in Cursor_ID shows its details.
void Show_Cursor_Details(Session& s, int i);

// How long the monitor's idle passes wait for the driver's input at most
// (the window's events run at least this often).
inline constexpr double Monitor_Wait_Seconds = 0.01;

}  // namespace stylomat
