#pragma once
// The program's start-up and the texts it sets, shared by the GUI and the
// CLI.
#include <string>

#include "core/session.h"

namespace stylomat {

// "1.0.0": major, minor and revision without leading zeros.
std::string Version_Text();
// "KORV Mensaro, Stylomat Version 1.0.0"
std::string Program_Caption();
std::string Description_Text();

struct Mode_Flags {
  bool debug = false;
  bool oem = false;
};
// The command line upper-cased: "D" anywhere turns Debug_Mode on, "OEM"
// anywhere turns OEM_Mode on.
Mode_Flags Parse_Command_Line(const std::string& command_line);

// Start-up without windows: mode flags, caption as the first log line,
// Description, system-information refresh with the port scan, the tablet
// driver's information when a driver is present, the system labels.  The log window's visibility follows Debug_Mode
// (main.Show_Debug_Window.checked).
void Start_Program(Session& s, const std::string& command_line, Mode_Flags modes);

// The port icons' device texts and simulated badges from the ports' map
// ("/dev/ttyUSB0, Quillon ...", the simulated tablet's description).
void Describe_Port_Icons(Session& s);

}  // namespace stylomat
