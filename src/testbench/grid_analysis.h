#pragma once
// The grid linearity check: each decoded report extends the stroke of the
// cursor in the grid view, and a step too long to be real movement marks a
// broken grid wire in red.  A jump in X is a vertical grid error (a wire
// running up the tablet), a jump in Y a horizontal one.
#include <string>

#include "core/report_state.h"
#include "testbench/grid_context.h"

namespace stylomat {

// A step longer than this along one axis (201 counts or more) is a grid
// error; exactly 200 is not.
inline constexpr long Jump_Limit = 200;

enum class Grid_Step {
  Cleared,           // Btn_Clear ticked and a button pressed: the view was cleared
  Out_Of_Range,      // outside the view, or a serial report at (0, 0): dropped
  Not_Drawn,         // Btn_Draw ticked and no button: the stroke restarts later
  Drawn,             // a white stroke
  Vertical_Error,    // a red stroke: X jumped
  Horizontal_Error,  // a red stroke: Y jumped
};

// The tooltip of a grid error, from the step's start (Prev_X, Prev_Y) to
// its end (Cur_X, Cur_Y):
// "Vertical Grid Error, X Start: 1000  X Stop: 1201 - Y Start: 1000  Y Stop: 1000".
std::string Grid_Error_Text(Grid_Step error, const Current_Report_State& r);

// Where the report came from: the serial port or the tablet driver.
enum class Grid_Form { Serial, Wintab };

// The check, after one report was decoded: the option ticks, the range
// test against the view's width and top values, the jump test (X before Y,
// one error a step), the stroke drawn at the drawing width (errors
// Line_Size + 2 pixels wide, red), the error's tooltip on Tbl_Grid, and the
// report becoming the next step's start.  The serial form drops a report
// at (0, 0) and draws only with a button code above 0; the driver's form
// draws (0, 0), draws with a button mask of 1 or more, and beeps on an
// error.
Grid_Step Check_Grid_Step(Grid_Context& g, Grid_Form form = Grid_Form::Serial);

}  // namespace stylomat
