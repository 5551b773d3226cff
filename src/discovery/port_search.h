#pragma once
// The port search: one port from its icon, all ports from the menu, and the
// commands that search again (restore factory settings, refresh system
// information).
#include <string>

#include "core/session.h"
#include "discovery/probe_table.h"

namespace stylomat {

// Texts of the main window's ErrorMsg label.
std::string No_Tablet_Text(int port);
std::string Port_Error_Text();
// The port-error text with the reason on a line of its own (CR), when one
// is known.
std::string Port_Error_Text(const std::string& reason);
// Why the last search or operation ended with a port error: the session's
// Failure_Reason, else the port's first failure; empty when neither says.
std::string Port_Failure_Reason(const Session& s);
std::string Check_Tablet_Text();  // after the system information was refreshed

// Searches Port_Number: clears the last result, runs the probes in the
// order Plug-and-Play, SuperSet, KV, UIOF, Type-5 (each only while no
// earlier one recognised a tablet) and reports.  Search_Status: 0 found
// (the port stays open), -1 nothing answered, -2 port error (the system
// information is refreshed, which rescans the ports).
void Search_Port(Session& s, const Probe_Table& probes = Default_Probe_Table());

// The icon of port n: searches it under the please-wait window.
void Port_Icon_Command(Session& s, int port, const Probe_Table& probes = Default_Probe_Table());

// Search All Serial Ports: every available port from COM1 up until a
// tablet answers.  Returns the port of the tablet found, 0 when none.
int Search_All_Ports(Session& s, const Probe_Table& probes = Default_Probe_Table());

// Search All Serial Ports with every available port searched at once, each
// on its own thread with a session of its own (discovery/parallel_search).
// The result is the sequential search's: the tablet on the lowest port
// that has one, the same main window, and the same traffic log (followed
// by one line naming the ports searched only because the search ran in
// parallel; their sections go to Parallel_Log and the wire trace).  Only
// the tablet's port stays open.
int Search_All_Ports_Parallel(Session& s, const Probe_Table& probes = Default_Probe_Table());

// Restore Factory Settings: tells the tablet found last to take its factory
// settings, probes it again and reports it.
void Restore_Factory(Session& s, const Probe_Table& probes = Default_Probe_Table());

// Advanced Configuration: the tablet's reporting reset (ESC "%VR" CR, not
// logged), 1.5 s for it to settle (no window events), then the routing
// opens the configuration window of the model.  When no window serves the
// model, the main window shows again.
void Open_Configuration(Session& s);

// Refresh System Info.: the system-information refresh from the menu.
void Refresh_System_Info_Command(Session& s);

}  // namespace stylomat
