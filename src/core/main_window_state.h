#pragma once
// The main window as plain data.  Commands change this object; the Qt
// window renders it and forwards the user's actions.  Nothing of the
// window's behaviour lives only in a widget.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/grid_view_state.h"

namespace stylomat {

struct Label_State {
  std::string text;
  bool visible = true;
};

struct Menu_Entry_State {
  std::string name;      // control name, e.g. "Find_Tablet"
  std::string caption;   // with "&" before the access key
  std::string shortcut;  // e.g. "Ctrl+S", "F2"; empty when none
  bool visible = true;
  bool enabled = true;
  bool checkable = false;
  bool checked = false;
  bool separator_before = false;
};

struct Port_Icon_State {
  bool visible = false;     // Com_Btn_N and L_Com_Btn_N
  bool enabled = true;      // false: the device is there but cannot be opened (greyed)
  std::string caption;      // "COM1"
  std::string device_text;  // "/dev/ttyUSB0, Quillon QX-232 USB UART"
  std::string reason;       // why a greyed port cannot be opened
  bool simulated = false;
};

struct Menu_State {
  std::string name;
  std::string caption;
  std::vector<Menu_Entry_State*> entries;
};

struct Main_Window_State {
  Main_Window_State();
  Main_Window_State(const Main_Window_State&) = delete;
  Main_Window_State& operator=(const Main_Window_State&) = delete;

  std::string Caption;
  bool Visible = true;  // hidden while a configuration window is up
  bool Busy = false;    // hourglass: a command is running

  Label_State Description;
  Label_State LabelOS, LabelVersion, LabelBuild;  // system values
  Label_State ErrorMsg;
  // Result labels of a search.
  Label_State Label3;  // "Communications Port (COM"
  Label_State CommPort;
  Label_State Label4;  // ")"
  Label_State Label5;  // found caption
  Label_State Tbl;     // model
  Label_State Label2;  // size caption
  Label_State Size_lb;
  Label_State Label8;  // firmware caption
  Label_State Version_Lb;
  Label_State Btn_Press;
  Label_State WT_Label;
  Label_State Disclaimer;
  Label_State L_TW_Check;
  bool TW_Check_Enabled = false;
  bool LabelProx_Filled = false;  // proximity lamp of the report decoders

  std::array<Port_Icon_State, 9> Com_Btn;  // index 1..8
  std::string Simulated_Ports_Note;        // "Simulated tablets on COM1, COM3"

  // File_Menu "&File"
  Menu_Entry_State Find_Tablet, Find_USB, Find_Wintab, Refresh_System_Info, Save_Grid, Print_Form,
      Insall_Wintab, ExitBtn, Close_Window;
  // Options "&Options"
  // Search_Parallel: Search All Serial Ports searches every port at once
  // when checked (remembered between runs by the window).
  Menu_Entry_State Config_Tbl, Reset_Tbl, Grid_btn, WT_Info_Btn, Search_Parallel, Btn_Draw, Btn_Clear, Clear_Grid,
      Coord_Opt, Crd_US, Crd_Mtr, Crd_Pnt;
  // Help_List "&Help"
  Menu_Entry_State Help_About, Grid_Help, Main_About, Display_Help, Show_Debug_Window;

  // The grid and button test's controls (shown only during the test).
  Grid_View_State grid;

  // The three menus with their entries in display order.
  std::vector<Menu_State> Menus();
  // Every menu entry, for look-up by name.
  Menu_Entry_State* Find_Entry(const std::string& name);

  // Bumped by whoever changes the state, so views know to re-render.
  std::uint64_t revision = 0;
  void Touch() { ++revision; }
};

}  // namespace stylomat
