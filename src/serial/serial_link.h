#pragma once
// The serial operations every tablet routine uses: the two waits, emptying
// the input, a command exchange, the port availability scan and the
// SuperSet wake-up.
#include <optional>
#include <string>
#include <string_view>

#include "core/session.h"

namespace stylomat {

inline constexpr double Tick_Seconds = 0.05;

// Blocks for 1/20 s without running window events.
void Wait_Tick(Session& s);
// Waits the given seconds while running window events (Session::Process_Events).
void Pause_Seconds(Session& s, double seconds);
// Waits until the clock passes start + seconds, without window events.
void Wait_Until(Session& s, double t);

// Reads Input once with InputLen 0 and discards it; InputLen is restored.
void Flush_Input(Session& s);
// Writes text to Output and, in Debug_Mode, logs "Sent: " + label.
void Send_Command(Session& s, std::string_view text, std::string_view label);
// ESC + letters + CR, the usual shape of a tablet command.
std::string Esc_Command(std::string_view letters);
// Everything waiting (InputLen 0), logged as "From Tablet: " in Debug_Mode;
// nothing when no byte waits.
std::optional<std::string> Read_Reply(Session& s);

// Log helpers: a line ended by CR, always or only in Debug_Mode.
void Log_Line(Session& s, std::string_view text);
void Log_Debug(Session& s, std::string_view text);

// Closes the port if open, sets Settings and CommPort = Port_Number, opens.
// Throws Port_Error.
void Open_Port(Session& s, const std::string& settings);
void Close_Port(Session& s);
// Sets the four framing parts and returns them joined by ",".
std::string Compose_Framing(Session& s, int baud, const std::string& parity, int data_bits, int stop_bits);

// Availability of COM1..COM8, starting from Port_Number (0 scans all eight).
// A port in Com_Held_By_Search counts as available without being opened.
void Scan_Ports(Session& s);
// Availability of one port, as the scan finds it, without touching the
// session's port (which may be open on another COM): opened at the scan's
// framing and closed at once.  Records Com_Available, Com_Reason and
// Com_Present, and logs "Com n, Available" when the port became
// available.  Returns whether any of them changed.
bool Check_Port(Session& s, int com);
// Wakes a SuperSet-family tablet on Port_Number; leaves Search_Status.
void Wiggle_Port(Session& s);
// Wiggle_Port for the configuration windows.
void Open_Config_Port(Session& s);

}  // namespace stylomat
