#pragma once
// The main window's grid and button test controls as plain data.  The grid
// test (testbench/grid_test) changes them and bumps the main window's
// revision; a view renders them.
//
// What a view renders for the test, and where it finds it:
//   Main_Window_State::grid (this struct)  every control listed below
//   Main_Window_State::Btn_Press           the button read-out (label)
//   Main_Window_State::LabelProx_Filled    the proximity lamp, filled or hollow
//   Main_Window_State's menu entries       Btn_Draw, Btn_Clear, Clear_Grid,
//       Coord_Opt with Crd_US, Crd_Mtr, Crd_Pnt, Save_Grid, Grid_Help,
//       Close_Window: visible, enabled, and the option ticks (checked)
//   Report_Decoding_State::Sel_Zelta_Cursor  the text of the cursor box (the
//       report decoders read it, so it lives with them)
//   the grid test's canvas                 the drawing of Tbl_Grid (pixels
//       and their own revision)
#include <array>
#include <string>
#include <vector>

namespace stylomat {

// The coordinate system of the grid view Tbl_Grid, in tablet counts.  X
// grows to the right and Y upwards: the left edge is X = Left, the right
// edge X = Left + Width, the top edge Y = Top and the bottom edge Y =
// Bottom.  Width and Top are also the limits of the grid test's range test.
struct Grid_Scale {
  long Left = 0;
  long Width = 0;
  long Top = 0;
  long Bottom = 0;
  bool operator==(const Grid_Scale&) const = default;
};

struct Grid_Text_Box {
  std::string text;
  bool visible = false;
};

// The line-width slider Line_Size.
struct Grid_Slider {
  int value = 1;
  int min = 1;
  int max = 10;
  bool visible = false;
  std::string tooltip;
};

// The pressure bar PressureRange.
struct Grid_Progress {
  int value = 0;
  int min = 0;
  int max = 1023;  // ten bits of pressure
  bool visible = false;
};

// One panel of the status bar Grid_Bar.
struct Grid_Bar_Panel {
  std::string text;
  bool visible = true;
  std::string tooltip;
};

// The cursor box Sel_Zelta_Cursor: its list.  The text shown in its edit
// part is Report_Decoding_State::Sel_Zelta_Cursor.
struct Grid_Cursor_Box {
  bool visible = false;
  std::vector<std::string> items;
};

// The picture area Cursor_Image with its clip player Cursor_Control.
struct Grid_Cursor_Image {
  bool visible = false;
  std::string clip_file;  // the clip last given to the player
  bool clip_open = false;
  int frame = 0;          // the frame last played (a button's frame)
};

struct Grid_View_State {
  Grid_View_State();

  // Tbl_Grid, the drawing.
  bool Tbl_Grid_Visible = false;
  std::string Tbl_Grid_ToolTip;
  Grid_Scale Tbl_Grid_Scale;
  int Draw_Width = 1;  // pixels of the next normal stroke

  // "Put the Cursor on the Tablet and Press a Button!"
  Grid_Text_Box Label7;
  // Coordinate and pressure read-outs (text boxes).
  Grid_Text_Box X_Cord, Y_Cord, Pr_Range;
  Grid_Progress PressureRange;
  Grid_Slider Line_Size;
  bool LabelProx_Visible = false;  // the lamp; its fill is Main_Window_State::LabelProx_Filled

  // The status bar: panel 1 "X:", 2 holds X_Cord, 3 "Y:", 4 holds Y_Cord,
  // 5 " Size:" beside Line_Size, 6 "Pressure:" beside Pr_Range and
  // PressureRange (shown for the pressure stylus only).  Index 0 is panel 1.
  bool Grid_Bar_Visible = false;
  std::array<Grid_Bar_Panel, 6> Grid_Bar_Panels;

  Grid_Cursor_Box Sel_Zelta_Cursor;
  Grid_Cursor_Image Cursor_Image;

  // The help window About_Grid is up.
  bool About_Grid_Shown = false;
};

inline Grid_View_State::Grid_View_State() {
  Label7.text = "Put the Cursor on the Tablet and Press a Button!";
  Line_Size.tooltip = "Increases or Decreases the Width of the Line.";
  Grid_Bar_Panels[0].text = "X:";
  Grid_Bar_Panels[2].text = "Y:";
  Grid_Bar_Panels[4].text = " Size:";
  Grid_Bar_Panels[5].text = "Pressure:";
  Grid_Bar_Panels[5].tooltip = "Levels of Pressure Sensitivity (1 - 512).";
  Grid_Bar_Panels[5].visible = false;
}

}  // namespace stylomat
