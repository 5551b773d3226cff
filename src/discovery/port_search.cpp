#include "discovery/port_search.h"

#include "core/search_animation.h"
#include "discovery/port_search_steps.h"
#include "discovery/model_table.h"
#include "discovery/report_found.h"
#include "discovery/reset_tablet.h"
#include "serial/serial_link.h"
#include "discovery/system_refresh.h"

namespace stylomat {

namespace {

const std::string Check_Tablet_Advice =
    "Make sure the tablet is plugged in,  powered on,  and all tablet drivers have been removed or disabled.";
const std::string Icon_Advice = "Select an icon above to search for a Supported Tablet (F2).";

void Show_Error(Session& s, const std::string& text) {
  s.main.ErrorMsg.text = text;
  s.main.ErrorMsg.visible = true;
  s.main.Touch();
}

void Show_ErrorMsg(Session& s) {
  s.main.ErrorMsg.visible = true;
  s.main.Touch();
}

// A probe that is not part of this build is passed by.  A port failure that
// escapes a probe is what the probe would have reported: a port error.
void Run_Probe(Session& s, Probe_Function probe) {
  if (!probe) return;
  try {
    probe(s);
  } catch (const Port_Error&) {
    s.Search_Status = -2;
  }
}

std::string Port_Text(const Session& s) { return std::to_string(s.Port_Number); }

void Report_No_Tablet(Session& s) {
  Show_Error(s, No_Tablet_Text(s.Port_Number));
  Close_Port(s);
  Log_Line(s, "Com " + Port_Text(s) + ", No Tablet Found");
  s.Refresh_Log_View();
}

// The port could not be opened or failed: say so and why, and look at the
// system and its ports again.
void Report_Port_Error(Session& s) {
  // The refresh opens every port again; the reason is taken before.
  const std::string reason = Port_Failure_Reason(s);
  Show_Error(s, Port_Error_Text(reason));
  Log_Line(s, "Com " + Port_Text(s) + ", Comport Error, Refreshing System Info");
  if (!reason.empty()) Log_Line(s, "Com " + Port_Text(s) + ", " + reason);
  s.Refresh_Log_View();
  Close_Port(s);
  Show_Search_Animation(s, 4);
  s.splash.Caption = "Getting System Information";
  s.front_end().Repaint_Splash();
  Refresh_System_Information(s);
  // The refresh clears the main window's state; the user still has to be
  // told why nothing was found.
  Show_Error(s, Port_Error_Text(reason));
}

// A new search or operation starts without an old failure's reason.
void Forget_Failure(Session& s) {
  s.Failure_Reason.clear();
  s.port.Clear_Failure();
}

void Report_Tablet(Session& s) {
  if (s.Debug_Mode) {
    Log_Line(s, "Framing: " + s.port.Settings());
    s.log.Append("\r");
  }
  Report_Found(s);
  s.Refresh_Log_View();
}

bool Any_Port_Available_After(const Session& s, int port) {
  for (int n = port + 1; n <= Port_Directory::Last_Com; ++n)
    if (s.Com_Available[static_cast<std::size_t>(n)]) return true;
  return false;
}

// Sends the factory-settings command to a SuperSet tablet and probes it
// again at its new settings.
void Restore_SuperSet(Session& s, const Probe_Table& probes) {
  Wait_Tick(s);
  Send_Command(s, Esc_Command("%VE"), "Esc%VE");
  Pause_Seconds(s, 0.25);
  Reset_Main_State(s);
  Run_Probe(s, probes.SuperSet);
  Wait_Tick(s);
  Log_Debug(s, "Framing: " + s.port.Settings());
}

void Restore_Families(Session& s, const Probe_Table& probes) {
  // Each step looks at the flags as they stand when it is reached; the
  // reset inside a step clears them, so normally only the family of the
  // tablet found last is probed again.
  if (s.identity.SuperSet_Format) Restore_SuperSet(s, probes);
  if (s.identity.KV_Format) {
    Wait_Tick(s);
    Reset_Main_State(s);
    Run_Probe(s, probes.KV);
  }
  if (s.identity.UIOF_Format) {
    Wait_Tick(s);
    Reset_Main_State(s);
    Run_Probe(s, probes.UIOF);
  }
  if (s.identity.Type5_Format) {
    Reset_Main_State(s);
    Run_Probe(s, probes.Type5);
  }
}

}  // namespace

std::string No_Tablet_Text(int port) {
  return "No Supported Serial Tablet Was Found On Serial Port " + std::to_string(port) + "!   " + Check_Tablet_Advice +
         CR + CR + Icon_Advice;
}

std::string Port_Error_Text() { return "Comport Error, Comport may be in use by another application."; }

std::string Port_Error_Text(const std::string& reason) {
  return reason.empty() ? Port_Error_Text() : Port_Error_Text() + CR + reason;
}

std::string Port_Failure_Reason(const Session& s) {
  return s.Failure_Reason.empty() ? s.port.First_Failure() : s.Failure_Reason;
}

std::string Check_Tablet_Text() { return Check_Tablet_Advice + CR + CR + Icon_Advice; }

void Begin_Port_Search(Session& s) {
  Reset_Main_State(s);
  if (s.port.PortOpen()) Reset_Tablet(s);
  s.Searched_Port = s.Port_Number;
  s.Facts_Changed();
  s.log.Append("\r");
  Log_Line(s, "Searching Serial Port " + Port_Text(s) + ":");
  s.identity.SuperSet_Format = false;
  s.identity.Half_Resolution = false;
  // Nothing has answered until a probe says otherwise.
  s.Search_Status = -1;
  Forget_Failure(s);
}

void Run_Probes(Session& s, const Probe_Table& probes) {
  const Tablet_Identity& id = s.identity;
  Run_Probe(s, probes.PnP);
  if (!id.PnP_Format) Run_Probe(s, probes.SuperSet);
  if (!id.PnP_Format && !id.SuperSet_Format) Run_Probe(s, probes.KV);
  if (!id.PnP_Format && !id.SuperSet_Format && !id.KV_Format && !id.KV_Alt_Format) Run_Probe(s, probes.UIOF);
  if (!id.PnP_Format && !id.SuperSet_Format && !id.KV_Format && !id.KV_Alt_Format && !id.UIOF_Format) {
    Run_Probe(s, probes.Type5);
  }
}

void Report_Search_Result(Session& s) {
  switch (s.Search_Status) {
    case -1: Report_No_Tablet(s); break;
    case -2: Report_Port_Error(s); break;
    default: Report_Tablet(s); break;
  }
}

void Search_Port(Session& s, const Probe_Table& probes) {
  Begin_Port_Search(s);
  Run_Probes(s, probes);
  Report_Search_Result(s);
}

void Port_Icon_Command(Session& s, int port, const Probe_Table& probes) {
  s.Port_Number = port;
  Show_Search_Animation(s, 3);
  s.reports.Cursor_Identified = false;
  Search_Port(s, probes);
  Show_Search_Animation(s, 1);
}

std::optional<int> Finish_Port_Of_All(Session& s, int n) {
  if (s.Search_Status == 0) {
    // The "Found: " group stands in the log a second time.
    Report_Found(s);
    return n;
  }
  Show_ErrorMsg(s);
  Close_Port(s);
  if (!Any_Port_Available_After(s, n)) return 0;
  return std::nullopt;
}

int Search_All_Ports(Session& s, const Probe_Table& probes) {
  for (int n = Port_Directory::First_Com; n <= Port_Directory::Last_Com; ++n) {
    Set_Hourglass(s, true);
    s.Port_Number = n;
    Show_Search_Animation(s, 3);
    if (!s.Com_Available[static_cast<std::size_t>(n)]) continue;
    Search_Port(s, probes);
    if (const std::optional<int> result = Finish_Port_Of_All(s, n)) {
      Show_Search_Animation(s, 1);
      return *result;
    }
  }
  Show_Search_Animation(s, 1);
  return 0;
}

void Restore_Factory(Session& s, const Probe_Table& probes) {
  Forget_Failure(s);
  if (!s.port.PortOpen()) {
    s.Failure_Reason = "the port is not open: search it for the tablet first";
    Show_Error(s, Port_Error_Text());
    Report_Port_Error(s);
    // The refresh brought up the please-wait window; nothing else would
    // close it.
    Show_Search_Animation(s, 1);
    return;
  }
  Set_Hourglass(s, true);
  s.log.Append("\r");
  Log_Line(s, "Restore Factory Defaults:");
  try {
    Restore_Families(s, probes);
  } catch (const Port_Error&) {
    s.Search_Status = -2;
  }
  Report_Search_Result(s);
  if (s.splash.Up) Show_Search_Animation(s, 1);
  Set_Hourglass(s, false);
}

void Open_Configuration(Session& s) {
  Set_Hourglass(s, true);
  s.main.Visible = false;
  s.main.Touch();
  Wait_Tick(s);
  try {
    s.port.Output(Esc_Command("%VR"));
  } catch (const Port_Error&) {
    // A port that failed since the search: the window still opens and its
    // own wake-up will say whether the tablet answers.
  }
  Wait_Until(s, s.clock.Now() + 1.5);
  if (!Route_Config(s, true)) {
    // No window serves this model: the main window must not stay hidden.
    s.main.Visible = true;
    s.main.Touch();
  }
  Set_Hourglass(s, false);
}

void Refresh_System_Info_Command(Session& s) {
  Set_Hourglass(s, true);
  Reset_Main_State(s);
  Refresh_System_Information(s);
  Show_Error(s, Check_Tablet_Text());
  s.front_end().Beep();
  Set_Hourglass(s, false);
}

}  // namespace stylomat
