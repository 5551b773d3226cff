#pragma once
// The program-wide values of one run: clock, serial port, traffic log,
// mode flags, tablet identity, main-window state.  Passed to whoever needs
// them; there are no globals.
#include <array>
#include <functional>
#include <string>

#include "app/main_window_state.h"
#include "app/please_wait_state.h"
#include "discovery/tablet_identity.h"
#include "platform/clock.h"
#include "platform/prompter.h"
#include "platform/serial_port.h"
#include "serial/traffic_log.h"
#include "testbench/report_state.h"

namespace stylomat {

// Values of the host system, as the system-information refresh reads them.
struct System_Values {
  int Platform = 0;
  double Version = 0;
  std::string Version_Text;
  std::string Build_Text;
  std::string Name = "Unidentified";
};

struct Session {
  Session(Clock& clock, Port_Directory& ports, Prompter& prompter)
      : clock(clock), ports(ports), port(ports, clock), prompter(prompter) {}
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  Clock& clock;
  Port_Directory& ports;
  Serial_Port port;  // the serial control
  Prompter& prompter;
  Traffic_Log log;

  // Mode flags, set once at start from the command line.
  std::string Command_Line;
  bool Debug_Mode = false;
  bool OEM_Mode = false;
  std::string App_Dir;  // directory of the program's data files

  // Serial link.
  int Port_Number = 0;
  int Search_Status = 0;
  std::array<bool, 9> Com_Available{};  // index 1..8
  // Framing parts the probes compose their settings from.
  int Baud_Rate = 9600;
  std::string Parity_Char = "n";
  int Data_Bits = 8;
  int Stop_Bits = 2;
  std::string Reply_Text;  // last short reply of a probe
  int Dialog_Answer = 0;

  Tablet_Identity identity;
  Report_Decoding_State reports;
  Main_Window_State main;
  Please_Wait_State splash;
  System_Values system;
  bool Wintab_Present = false;
  // Where the system values come from; empty reads the host.
  std::function<System_Values()> Read_System_Values;

  // Flags shared between windows.
  bool Keep_Settings_On_Exit = false;
  bool Return_To_Main = false;
  bool Stop_Test = false;

  // Front-end hooks.  The GUI sets them; tests and the CLI leave them empty.
  std::function<void()> Process_Events;    // run pending window events
  std::function<void()> Log_View_Refresh;  // bring the log window up to date
  std::function<void()> Repaint_Splash;    // repaint the please-wait window now (its caption changed)
  std::function<void()> Beep;              // the system beep
  // Opening a configuration window is a request to the front end; the
  // argument names the window (KORV_form, Mirolex2, Dovrane3, Pv5, VSIII).
  std::function<void(const std::string& window, const std::string& caption)> Open_Config_Window;
  // A configuration window asks the program to end.
  std::function<void()> End_Program;
  bool End_Requested = false;

  void Refresh_Log_View() {
    if (Log_View_Refresh) Log_View_Refresh();
  }
  void Request_End() {
    End_Requested = true;
    if (End_Program) End_Program();
  }
};

}  // namespace stylomat
