#pragma once
// The grid and button test of the main window (Grid_btn, "&Grid / Button
// Test"), serial tablets.
//
// Run_Grid_Test turns the main window into the drawing view, sends the
// tablet's family the commands that make it stream reports, and loops
// until Stop_Test: one pass decodes at most one report and checks its step
// (testbench/grid_analysis), an idle pass lets window events run and
// refreshes the read-outs (testbench/grid_readouts).  The loop never
// spins: an idle pass sleeps until a whole packet has arrived (taking its
// bytes in as they come), one display frame at most, and the read-outs
// are refreshed at most once a frame.  Everything
// the window shows is in Session::main (its grid controls in
// Main_Window_State::grid, see core/grid_view_state.h) and in Canvas().
//
// A front end forwards to this object:
//   Grid_btn                 Run_Grid_Test (as a Grid_Test-mode command)
//   Close_Window             Close_Window ("E&xit Grid / Button Test")
//   Clear_Grid, Btn_Draw, Btn_Clear, Crd_US, Crd_Mtr, Crd_Pnt, Save_Grid,
//   Grid_Help                the handlers of the same names
//   About_Grid's OK          About_Grid_OK
//   a pick in Sel_Zelta_Cursor  Pick_Cursor(position)
//   the Line_Size slider     Set_Line_Size(value)
// Add_Grid_Commands registers the menu entries with a Command_Runner so
// that they may start while the test loops.
#include <bitset>
#include <cstdint>
#include <ctime>
#include <functional>
#include <string>

#include "core/command_runner.h"
#include "core/session.h"
#include "platform/clip_player.h"
#include "testbench/grid_analysis.h"
#include "testbench/grid_canvas.h"
#include "testbench/grid_context.h"

namespace stylomat {

// An idle pass waits for input at most this long, and the read-outs are
// refreshed at most this often.
inline constexpr double Display_Frame_Seconds = 1.0 / 60.0;
// The failure path's message (OK, no title).
inline constexpr const char* Lost_Communication_Text = "Lost Communication With Tablet!";

// What a test saw, for the command line's summary and for tests.  Fixed
// size: a test of any length keeps no more than this.
struct Grid_Statistics {
  static constexpr int Button_Codes = 512;
  long reports = 0;            // packets decoded
  long vertical_errors = 0;
  long horizontal_errors = 0;
  std::bitset<Button_Codes> buttons;  // button codes seen (1 and up)
  bool pressure_seen = false;
  int min_pressure = 0;
  int max_pressure = 0;
  long passes = 0;       // passes of the loop
  long idle_passes = 0;  // passes without a report
  long refreshes = 0;    // read-out refreshes
};

class Grid_Test {
 public:
  Grid_Test(Session& s, Clip_Player& player);
  Grid_Test(const Grid_Test&) = delete;
  Grid_Test& operator=(const Grid_Test&) = delete;

  // The handler of Grid_btn: prepares the window and the tablet, then loops
  // until Stop_Test.  A port closed when the tablet's preparation starts, or
  // one that fails during the test, ends it through the failure path: the
  // message Lost_Communication_Text, the window back in its search state,
  // and a new search of the port.
  void Run_Grid_Test();
  // One pass of the loop's serial side.  Throws Port_Error when the port
  // fails (the loop catches it).
  void Process_Serial_Report();
  // One pass of the loop's driver side: at most one packet of the tablet
  // driver's context, drawn as the serial reports are.
  void Process_Wintab_Packet();

  // ---- the test's own entries -------------------------------------------------
  // Leave the test: Stop_Test, the clip stopped and closed, the grid
  // controls and entries hidden, the window's own entries back, and the
  // tablet's menu offered again.
  void Close_Window();
  void Clear_Grid();
  void Btn_Draw();
  void Btn_Clear();
  void Crd_US();
  void Crd_Mtr();
  void Crd_Pnt();
  // Proposes Grid_File_Name(today) in the front end's save dialog and
  // writes the drawing as a bitmap; a cancelled dialog writes nothing, a
  // failed write says why in a message box.
  void Save_Grid();
  bool Save_Grid_As(const std::string& path, std::string& error) const;
  // Opens the help window (About_Grid_Shown); its OK button:
  void Grid_Help();
  void About_Grid_OK();
  // The user picked the item at `position` of the cursor box: that cursor
  // is taken as the tablet's (Cursor_Code and Auto_Cursor); the picture
  // follows at the next refresh.
  void Pick_Cursor(int position);
  // The Line_Size slider (kept within its range); strokes follow at the
  // next refresh.
  void Set_Line_Size(int value);

  Grid_Canvas& Canvas() { return canvas_; }
  const Grid_Canvas& Canvas() const { return canvas_; }
  const Grid_Statistics& Statistics() const { return stats_; }
  // True when the last test ended through the failure path.
  bool Lost_Communication() const { return lost_; }
  // Each grid error as its tooltip words it, when it happens.
  std::function<void(const std::string& text)> On_Grid_Error;
  // Each decoded report once its step is checked and drawn (its stroke is
  // in Canvas() then).
  std::function<void()> On_Report;
  // Today's date for the proposed file name (local time when empty).
  std::function<std::tm()> Today;

 private:
  void Prepare_Window();
  void Fill_Cursor_Box(bool seven_items);
  void Show_Version_Label();
  bool Prepare_Tablet(std::string& failure);
  // The driver's block: messaging (the proximity message) and the
  // context.  False when the context could not be opened (the program ends).
  bool Prepare_Wintab();
  void Refresh_Once_A_Frame(Grid_Form form);
  void Prepare_SuperSet();
  void Prepare_KV();
  void Prepare_KV_Alt();
  bool Prepare_UIOF();
  void Prepare_PnP();
  void Prepare_Type5();
  void Send_Logged(const std::string& bytes, const std::string& label);
  void Common_Reset();
  void Loop();
  void Take_Waiting_Bytes();
  void Count(const Grid_Step step);
  void Fail(const std::string& reason);
  void Hide_Grid_Controls();
  void Choose_Units(Menu_Entry_State& chosen);

  Session& s_;
  Grid_Canvas canvas_;
  Grid_Context g_;
  Grid_Statistics stats_;
  bool lost_ = false;
  double last_refresh_ = 0.0;
  double character_seconds_ = 0.0;  // one character on the line at the port's framing
  bool refreshed_ = false;
};

// Registers the test's menu entries with the runner: Grid_btn runs the test
// in Command_Mode::Grid_Test; Close_Window, Clear_Grid, Btn_Draw, Btn_Clear,
// Crd_US, Crd_Mtr, Crd_Pnt, Save_Grid and Grid_Help may start while it
// loops.
void Add_Grid_Commands(Command_Runner& runner, Grid_Test& test);

}  // namespace stylomat
