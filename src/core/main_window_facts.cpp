#include "core/main_window_facts.h"

#include <string>

#include "core/session.h"

namespace stylomat {

namespace {

bool Set_Text(Label_State& label, const std::string& text) {
  if (label.text == text) return false;
  label.text = text;
  return true;
}

}  // namespace

void Session::Facts_Changed() { Show_Facts(*this); }

void Show_Facts(Session& s) {
  Main_Window_State& m = s.main;
  const Tablet_Identity& id = s.identity;
  bool changed = false;
  for (std::size_t n = 1; n <= 8; ++n) {
    // A port that opened shows its icon; one whose device is there but
    // cannot be opened keeps a greyed icon that says why; others have none.
    Port_Icon_State& icon = m.Com_Btn[n];
    const bool available = s.Com_Available[n];
    const bool visible = available || s.Com_Present[n];
    const std::string reason = visible && !available ? s.Com_Reason[n] : std::string();
    if (icon.visible != visible || icon.enabled != available || icon.reason != reason) {
      icon.visible = visible;
      icon.enabled = available;
      icon.reason = reason;
      changed = true;
    }
  }
  changed |= Set_Text(m.CommPort, s.Searched_Port < 0 ? std::string() : std::to_string(s.Searched_Port));
  changed |= Set_Text(m.Tbl, id.Model_Name);
  changed |= Set_Text(m.Size_lb, id.Size_Text);
  changed |= Set_Text(m.Version_Lb, id.Firmware_Text);
  const bool in_prox = s.reports.Current_Report.In_Prox;
  if (m.LabelProx_Filled != in_prox) {
    m.LabelProx_Filled = in_prox;
    changed = true;
  }
  if (changed) m.Touch();
}

}  // namespace stylomat
