#pragma once
// The decoding state of the report stream, shared by the grid test, the
// analysis and the grid view.
#include <cstdint>
#include <string>

namespace stylomat {

struct Current_Report_State {
  std::int32_t Cur_X = 0;
  std::int32_t Cur_Y = 0;
  std::int32_t Prev_X = 0;
  std::int32_t Prev_Y = 0;
  bool In_Prox = false;
  bool Prev_Prox = false;
  int Button_Code = 0;
  int Pressure = 0;
  int Cursor_Code = -1;
};

struct Report_Decoding_State {
  std::string Report_Buffer;  // bytes read and not yet decoded
  Current_Report_State Current_Report;
  int Auto_Cursor = -1;
  bool Cursor_Identified = false;
  int Shown_Button = 0;   // the button code whose picture frame is on screen
  int Shown_Cursor = -1;  // the cursor code whose picture was last opened
  // The 16-button puck picture was opened for a Wintab tablet: Wintab's
  // button bit mask becomes that puck's frames 16 to 31.
  bool Puck16_Offset = false;
  // The last frame chosen for a two-button chord of a KV puck; kept from
  // one test to the next, for the whole run.
  int Button_Pair = 0;
  std::string Sel_Zelta_Cursor = "Select Cursor";  // text of the cursor box
  int Grid_State = 0;  // the grid test's state value, cleared by Reset_Main_State
};

}  // namespace stylomat
