#include "core/main_window_state.h"

namespace stylomat {

namespace {

Menu_Entry_State Entry(const char* name, const char* caption, const char* shortcut = "", bool visible = true,
                       bool enabled = true) {
  Menu_Entry_State e;
  e.name = name;
  e.caption = caption;
  e.shortcut = shortcut;
  e.visible = visible;
  e.enabled = enabled;
  return e;
}

Label_State Hidden(const char* text) { return Label_State{text, false}; }

}  // namespace

Main_Window_State::Main_Window_State()
    : Find_Tablet(Entry("Find_Tablet", "Search &All Serial Ports")),
      Find_USB(Entry("Find_USB", "Find Tablet (&USB)", "", false)),
      Find_Wintab(Entry("Find_Wintab", "Search For &Wintab")),
      Refresh_System_Info(Entry("Refresh_System_Info", "&Refresh System Info.")),
      Save_Grid(Entry("Save_Grid", "&Save As", "Ctrl+S", false)),
      Print_Form(Entry("Print_Form", "&Print", "Ctrl+P", false)),
      Insall_Wintab(Entry("Insall_Wintab", "Install Wintab", "", false, false)),
      ExitBtn(Entry("ExitBtn", "E&xit PRX", "Ctrl+X")),
      Close_Window(Entry("Close_Window", "E&xit Grid / Button Test", "", false)),
      Config_Tbl(Entry("Config_Tbl", "&Advanced Configuration", "", false)),
      Reset_Tbl(Entry("Reset_Tbl", "&Restore Factory Settings", "Ctrl+R", false)),
      Grid_btn(Entry("Grid_btn", "&Grid / Button Test", "Ctrl+G", true, false)),
      WT_Info_Btn(Entry("WT_Info_Btn", "Wintab &Information", "Ctrl+I", false)),
      Search_Parallel(Entry("Search_Parallel", "Search Ports in &Parallel")),
      Btn_Draw(Entry("Btn_Draw", "Press Button To &Draw", "", false)),
      Btn_Clear(Entry("Btn_Clear", "Press &Button To Clear Screen", "", false)),
      Clear_Grid(Entry("Clear_Grid", "&Clear Screen", "", false)),
      Coord_Opt(Entry("Coord_Opt", "&Coordinates", "", false)),
      Crd_US(Entry("Crd_US", "US (Decimal)", "", false)),
      Crd_Mtr(Entry("Crd_Mtr", "Metric (Millimeter)", "", false)),
      Crd_Pnt(Entry("Crd_Pnt", "Increment (Default)", "", false)),
      Help_About(Entry("Help_About", "&About", "", false)),
      Grid_Help(Entry("Grid_Help", "&Grid Testing Help", "F1", false)),
      Main_About(Entry("Main_About", "&Supported Tablets", "F2")),
      Display_Help(Entry("Display_Help", "What's This help", "", false)),
      Show_Debug_Window(Entry("Show_Debug_Window", "Show Debug Log")) {
  Show_Debug_Window.checkable = true;
  Search_Parallel.checkable = true;
  Search_Parallel.separator_before = true;
  Btn_Draw.checkable = true;
  Btn_Clear.checkable = true;
  Crd_US.checkable = true;
  Crd_Mtr.checkable = true;
  Crd_Pnt.checkable = true;
  // The grid test's options as the program starts: draw while a button is
  // pressed, read-outs in counts.
  Btn_Draw.checked = true;
  Crd_Pnt.checked = true;
  ExitBtn.separator_before = true;
  Main_About.separator_before = false;

  Label3 = Hidden("Communications Port (COM");
  CommPort = Hidden("");
  Label4 = Hidden(")");
  Label5 = Hidden("Tablet Found:");
  Tbl = Hidden("");
  Label2 = Hidden("Active Size (inches):");
  Size_lb = Hidden("");
  Label8 = Hidden("Firmware:");
  Version_Lb = Hidden("");
  Btn_Press = Hidden("");
  WT_Label = Hidden("");
  ErrorMsg = Hidden("");
  L_TW_Check = Hidden("Wintab");
  LabelOS = Label_State{"", true};
  LabelVersion = Label_State{"", true};
  LabelBuild = Label_State{"", true};
  Disclaimer = Label_State{
      "This utility is provided for testing and service. Settings written to a tablet replace the ones it "
      "holds.",
      true};
  for (int n = 1; n <= 8; ++n) Com_Btn[n].caption = "COM" + std::to_string(n);
}

std::vector<Menu_State> Main_Window_State::Menus() {
  return {
      {"File_Menu", "&File",
       {&Find_Tablet, &Find_USB, &Find_Wintab, &Refresh_System_Info, &Save_Grid, &Print_Form, &Insall_Wintab,
        &ExitBtn, &Close_Window}},
      {"Options", "&Options",
       {&Config_Tbl, &Reset_Tbl, &Grid_btn, &WT_Info_Btn, &Search_Parallel, &Btn_Draw, &Btn_Clear, &Clear_Grid,
        &Coord_Opt, &Crd_US, &Crd_Mtr, &Crd_Pnt}},
      {"Help_List", "&Help", {&Help_About, &Grid_Help, &Main_About, &Display_Help, &Show_Debug_Window}},
  };
}

Menu_Entry_State* Main_Window_State::Find_Entry(const std::string& name) {
  for (auto& menu : Menus())
    for (Menu_Entry_State* e : menu.entries)
      if (e->name == name) return e;
  return nullptr;
}

}  // namespace stylomat
