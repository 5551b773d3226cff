#pragma once
// The steps of the port search that the parallel search takes too, one
// port at a time on the main session (defined in port_search.cpp).
#include <optional>

#include "core/session.h"
#include "discovery/probe_table.h"

namespace stylomat {

// The start of a search of Port_Number: the main window's result cleared
// (a tablet still on the port is reset first), the port recorded as the
// one searched, the log's "Searching Serial Port n:" header, nothing
// answered yet, no earlier failure's reason.
void Begin_Port_Search(Session& s);

// The probes in the order Plug-and-Play, SuperSet, KV, UIOF, Type-5, each
// only while no earlier one recognised a tablet.  A port failure that
// escapes a probe is a port error (Search_Status -2).
void Run_Probes(Session& s, const Probe_Table& probes);

// What the main window and the log say of the outcome (Search_Status): no
// tablet, a port error (with the system-information refresh, which scans
// the ports again), or the tablet found.
void Report_Search_Result(Session& s);

// After port n's search within Search All Serial Ports: a tablet found ends
// the search (its "Found: " group is logged a second time); otherwise the
// miss stays on show, the port is closed, and the search ends when no later
// port is available.  The search's result (the tablet's port, 0 for none)
// once it has ended; nothing while it goes on.
std::optional<int> Finish_Port_Of_All(Session& s, int n);

}  // namespace stylomat
