#include "testbench/grid_analysis.h"

#include <cstdlib>

#include "testbench/grid_readouts.h"

namespace stylomat {

namespace {

long Distance(std::int32_t a, std::int32_t b) {
  return std::labs(static_cast<long>(a) - static_cast<long>(b));
}

}  // namespace

std::string Grid_Error_Text(Grid_Step error, const Current_Report_State& r) {
  const char* kind = error == Grid_Step::Horizontal_Error ? "Horizontal" : "Vertical";
  return std::string(kind) + " Grid Error, X Start: " + std::to_string(r.Prev_X) + "  X Stop: " +
         std::to_string(r.Cur_X) + " - Y Start: " + std::to_string(r.Prev_Y) + "  Y Stop: " + std::to_string(r.Cur_Y);
}

Grid_Step Check_Grid_Step(Grid_Context& g, Grid_Form form) {
  Session& s = g.s;
  Main_Window_State& m = s.main;
  Grid_View_State& grid = m.grid;
  Current_Report_State& r = s.reports.Current_Report;

  if (m.Btn_Clear.checked && r.Button_Code > 0) {
    Clear_Grid_View(g);
    return Grid_Step::Cleared;
  }
  const Grid_Scale& view = grid.Tbl_Grid_Scale;
  const bool serial_zero = form == Grid_Form::Serial && r.Cur_X == 0 && r.Cur_Y == 0;
  if (r.Cur_X > view.Width || r.Cur_Y > view.Top || serial_zero) {
    r.Prev_Prox = false;
    r.In_Prox = false;
    return Grid_Step::Out_Of_Range;
  }
  const bool no_button = form == Grid_Form::Serial ? r.Button_Code == 0 : r.Button_Code < 1;
  if (m.Btn_Draw.checked && no_button) {
    r.Prev_Prox = false;
    return Grid_Step::Not_Drawn;
  }

  Grid_Step step = Grid_Step::Drawn;
  if (Distance(r.Cur_X, r.Prev_X) > Jump_Limit && r.In_Prox) {
    step = Grid_Step::Vertical_Error;
  } else if (Distance(r.Cur_Y, r.Prev_Y) > Jump_Limit && r.In_Prox) {
    step = Grid_Step::Horizontal_Error;
  }
  if (step == Grid_Step::Drawn) {
    g.canvas.Draw_Line(r.Prev_X, r.Prev_Y, r.Cur_X, r.Cur_Y, false, grid.Draw_Width);
  } else {
    // The error stroke is two pixels wider than the line width; the
    // drawing width then goes back to the line width.
    grid.Draw_Width = grid.Line_Size.value + 2;
    g.canvas.Draw_Line(r.Prev_X, r.Prev_Y, r.Cur_X, r.Cur_Y, true, grid.Draw_Width);
    if (form == Grid_Form::Wintab) s.front_end().Beep();
    grid.Draw_Width = grid.Line_Size.value;
    grid.Tbl_Grid_ToolTip = Grid_Error_Text(step, r);
    m.Touch();
  }
  r.Prev_X = r.Cur_X;
  r.Prev_Y = r.Cur_Y;
  r.Prev_Prox = r.In_Prox;
  return step;
}

}  // namespace stylomat
