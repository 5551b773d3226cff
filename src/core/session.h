#pragma once
// The program-wide values of one run: clock, serial port, traffic log,
// mode flags, tablet identity, main-window state.  Passed to whoever needs
// them; there are no globals.
//
// The serial link, the probes and the decoders record facts here (a port
// is available, the tablet is named, the cursor is in proximity) and call
// Facts_Changed; the main window's labels and icons that follow from those
// facts are derived in one place (core/main_window_facts).
#include <array>
#include <functional>
#include <string>

#include "core/front_end.h"
#include "core/main_window_state.h"
#include "core/please_wait_state.h"
#include "core/report_state.h"
#include "core/tablet_identity.h"
#include "core/traffic_log.h"
#include "core/wintab_state.h"
#include "platform/clock.h"
#include "platform/prompter.h"
#include "platform/serial_port.h"

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
  // What a parallel search did on ports it searched only because it ran
  // in parallel (beyond the port where it found the tablet): their log
  // sections, each under a line naming the port.  Kept apart from the
  // traffic log, which holds what the sequential search would have written.
  Traffic_Log Parallel_Log;

  // Mode flags, set once at start from the command line.
  std::string Command_Line;
  bool Debug_Mode = false;
  bool OEM_Mode = false;
  std::string App_Dir;  // directory of the program's data files

  // Serial link.
  int Port_Number = 0;
  int Search_Status = 0;
  std::array<bool, 9> Com_Available{};  // index 1..8
  // Why the port scan could not open a port (empty when it could, or when
  // nothing is assigned to it), and whether the device is there all the
  // same (held by another program, no permission, not a serial device):
  // such a port keeps a greyed icon that says why.
  std::array<std::string, 9> Com_Reason{};
  std::array<bool, 9> Com_Present{};
  // Ports a parallel search has open on its own threads (index 1..8): a
  // port scan meanwhile counts them available and leaves them alone.
  std::array<bool, 9> Com_Held_By_Search{};
  // Why the last search or operation ended with Search_Status -2 when no
  // port error says it (an answer that makes no sense); the port's own
  // First_Failure otherwise.
  std::string Failure_Reason;
  // The port the search result speaks of (-1 before the first search).
  int Searched_Port = -1;
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
  // The tablet driver, its cursors, the link and the monitor window.
  Wintab_State wintab;
  // Where the system values come from; empty reads the host.
  std::function<System_Values()> Read_System_Values;

  // Flags shared between windows.
  bool Keep_Settings_On_Exit = false;
  bool Return_To_Main = false;
  bool Stop_Test = false;
  bool End_Requested = false;

  // ---- the front end ------------------------------------------------------
  // Without one, every request does nothing.
  void Set_Front_End(Front_End* front_end) { front_end_ = front_end ? front_end : &No_Front_End(); }
  Front_End& front_end() { return *front_end_; }
  void Process_Events() { front_end_->Process_Events(); }
  void Refresh_Log_View() { front_end_->Refresh_Log_View(); }
  // A configuration window asks the program to end.
  void Request_End() {
    End_Requested = true;
    front_end_->End_Program();
  }

  // ---- facts --------------------------------------------------------------
  // A lower layer recorded a fact (port availability, Searched_Port, the
  // identity's name, size or firmware, the current report's proximity):
  // the main window's labels and icons are derived from them again.
  void Facts_Changed();

 private:
  static Front_End& No_Front_End() {
    static Front_End none;
    return none;
  }
  Front_End* front_end_ = &No_Front_End();
};

}  // namespace stylomat
