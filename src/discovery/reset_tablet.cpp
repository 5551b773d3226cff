#include "discovery/reset_tablet.h"

#include "serial/serial_link.h"
#include "wintab/wintab_monitor.h"

namespace stylomat {

void Reset_Tablet(Session& s) {
  if (!s.port.PortOpen()) return;
  Reset_And_Close(s);
  Pause_Seconds(s, 1.0);
  s.Refresh_Log_View();
}

void Reset_And_Close(Session& s) {
  if (!s.port.PortOpen()) return;
  s.log.Append("\r");
  Log_Line(s, "Reset Tablet:");
  const Tablet_Identity& id = s.identity;
  try {
    if (id.SuperSet_Format) {
      Wait_Tick(s);
      Wait_Tick(s);
      s.port.Output(Esc_Command("%VR"));
      Log_Debug(s, "Mensaro:");
      Log_Debug(s, "Sent: Esc%VR");
      Wait_Tick(s);
    }
    if (id.KV_Format || id.KV_Alt_Format) {
      Wait_Tick(s);
      s.port.Output(std::string(1, '\0'));
      Log_Debug(s, "Zelta KV:");
      Log_Debug(s, "Sent: Null");
      Wait_Tick(s);
    }
    if (id.UIOF_Format) {
      Wait_Tick(s);
      s.port.Output(std::string{ESC, 'Z'});
      Log_Debug(s, "Zelta UIOF:");
      Log_Debug(s, "Sent: EscZ");
      Wait_Tick(s);
    }
    if (id.Type5_Format) {
      s.port.Output(std::string(1, '\x01'));
      Log_Debug(s, "Sent: Ctr-A");
      Wait_Tick(s);
      s.port.Output("R");
      Wait_Tick(s);
      s.port.Output("S");
      Wait_Tick(s);
      s.port.Output(std::string(1, CR));
      Log_Debug(s, "Sent: RS");
      Wait_Tick(s);
      s.port.Output(std::string(1, ESC));
      Log_Debug(s, "Sent: Esc");
      Wait_Tick(s);
    }
  } catch (const Port_Error&) {
    // A tablet that vanished cannot be reset; the port is released anyway.
  }
  Close_Port(s);
}

void Reset_Main_State(Session& s) {
  Unload_Wintab_Monitor(s);
  Close_Wintab(s);
  Main_Window_State& m = s.main;
  m.ErrorMsg.visible = false;
  m.Reset_Tbl.visible = false;
  m.Config_Tbl.visible = false;
  m.WT_Info_Btn.visible = false;
  m.Grid_btn.enabled = false;
  for (Label_State* label : {&m.Label2, &m.Size_lb, &m.Btn_Press, &m.Version_Lb, &m.Label8, &m.Label3, &m.WT_Label,
                             &m.CommPort, &m.Label4, &m.Label5, &m.Tbl}) {
    label->visible = false;
  }
  m.Touch();
  if (s.port.PortOpen()) {
    Wait_Tick(s);
    Reset_Tablet(s);
    // Wait for the reset commands to leave the port.  Reset_Tablet closed
    // the port, so this normally ends at once; a port that is open again
    // (a command that ran in the reset's pause) and never drains is given
    // two seconds, never more: counted in ticks, so that rounding cannot
    // add one.
    constexpr double Drain_Seconds = 2.0;
    const int ticks = static_cast<int>(Drain_Seconds / Tick_Seconds + 0.5);
    const double give_up = s.clock.Now() + Drain_Seconds;
    try {
      for (int tick = 0; tick < ticks && s.clock.Now() < give_up && s.port.OutBufferCount() != 0; ++tick) {
        Wait_Tick(s);
      }
    } catch (const Port_Error&) {
    }
  }
  s.reports.Grid_State = 0;
  Tablet_Identity& id = s.identity;
  id.KV_Alt_Format = false;
  id.KV_Format = false;
  id.UIOF_Format = false;
  id.SuperSet_Format = false;
  id.Type5_Format = false;
}

}  // namespace stylomat
