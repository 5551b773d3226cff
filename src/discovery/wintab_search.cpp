#include "discovery/wintab_search.h"

#include "core/search_animation.h"
#include "discovery/reset_tablet.h"
#include "wintab/wintab_monitor.h"

namespace stylomat {

Wintab_Outcome Wintab_Information(Session& s) {
  Set_Hourglass(s, true);
  s.main.Insall_Wintab.visible = false;
  s.main.Touch();
  Reset_Main_State(s);
  s.log.Append("\rWintab:\r");
  const Wintab_Outcome outcome = Read_Wintab_Information(s);
  Set_Hourglass(s, false);
  return outcome;
}

void Find_Wintab_Command(Session& s) {
  Set_Hourglass(s, true);
  Wintab_Information(s);
  Set_Hourglass(s, false);
  s.front_end().Beep();
}

void WT_Info_Command(Session& s) {
  Set_Hourglass(s, true);
  Wintab_Information(s);
  s.main.Grid_btn.enabled = false;
  s.main.Touch();
  Show_Wintab_Monitor(s);
  Set_Hourglass(s, false);
}

}  // namespace stylomat
