#include "discovery/report_found.h"

#include <string>

#include "discovery/model_table.h"
#include "serial/serial_link.h"

namespace stylomat {

namespace {

constexpr std::size_t Settings_Shown_In_Log = 20;

void Show_Result_Labels(Session& s) {
  Main_Window_State& m = s.main;
  if (s.Port_Number >= Port_Directory::First_Com && s.Port_Number <= Port_Directory::Last_Com) {
    s.Searched_Port = s.Port_Number;
  }
  s.Facts_Changed();
  for (Label_State* label : {&m.Label3, &m.CommPort, &m.Label4, &m.Label5, &m.Tbl, &m.Label2, &m.Size_lb}) {
    label->visible = true;
  }
  m.WT_Label.visible = false;
}

void Log_Found(Session& s) {
  const Tablet_Identity& id = s.identity;
  Log_Line(s, "Found: " + id.Model_Name);
  Log_Line(s, "Size: " + id.Size_Text);
  if (!id.SuperSet_Format && !id.Type5_Format) return;
  s.main.Label8.visible = true;
  s.main.Version_Lb.visible = true;
  if (id.SuperSet_Format) Log_Line(s, "Format: " + id.Settings_Reply.substr(0, Settings_Shown_In_Log));
  Log_Line(s, "Firmware: " + id.Firmware_Text);
}

void Offer_Menu_Entries(Session& s) {
  Main_Window_State& m = s.main;
  const Tablet_Identity& id = s.identity;
  if (Route_Config(s, false)) {
    m.Config_Tbl.visible = true;
  } else {
    m.Reset_Tbl.visible = true;
  }
  m.Grid_btn.enabled = true;
  // These tablets have no factory-settings command.
  if (id.PnP_Format || id.KV_Alt_Format) m.Reset_Tbl.visible = false;
  // Without a known active area there is nothing to restore and no grid to
  // draw.
  if (id.Size_Text.empty() || id.Size_Text.front() == 'N') {
    m.Reset_Tbl.visible = false;
    m.Grid_btn.enabled = false;
  }
}

}  // namespace

void Report_Found(Session& s) {
  Show_Result_Labels(s);
  Log_Found(s);
  Offer_Menu_Entries(s);
  s.main.Touch();
}

}  // namespace stylomat
