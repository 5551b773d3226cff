#include "testbench/grid_analysis.h"

#include <gtest/gtest.h>

#include "support/grid_bench.h"
#include "testbench/grid_readouts.h"

namespace stylomat {
namespace {

using test::Grid_Bench;

// A view of a 12000 x 12000 tablet, a stroke in progress from (1000, 1000).
struct Step_Bench : Grid_Bench {
  Step_Bench() {
    session.main.grid.Tbl_Grid_Scale = Grid_Scale{0, 12000, 12000, 0};
    test.Canvas().Set_Scale(session.main.grid.Tbl_Grid_Scale, 1201);
    session.main.grid.Tbl_Grid_ToolTip = "before";
  }
  Grid_Step Step(long x, long y, bool in_prox = true, int button = 1) {
    Current_Report_State& r = session.reports.Current_Report;
    r.Prev_X = 1000;
    r.Prev_Y = 1000;
    r.Prev_Prox = true;
    r.Cur_X = x;
    r.Cur_Y = y;
    r.In_Prox = in_prox;
    r.Button_Code = button;
    return Check_Grid_Step(g);
  }
  // Pixels of a colour in the column halfway along the step.
  int Column(long x, Rgb color) {
    const auto p = test.Canvas().Pixel_Of(x, 1000);
    int n = 0;
    for (int row = 0; row < test.Canvas().Height(); ++row) n += test.Canvas().Pixel(p.column, row) == color;
    return n;
  }
};

TEST(Check_Grid_Step, JumpsOfMoreThan200CountsAreErrorsXFirstWithTheirTooltips) {
  struct Case {
    long x, y;
    bool in_prox;
    Grid_Step step;
    const char* tooltip;
  };
  const Case cases[] = {
      {1201, 1000, true, Grid_Step::Vertical_Error,
       "Vertical Grid Error, X Start: 1000  X Stop: 1201 - Y Start: 1000  Y Stop: 1000"},
      {1201, 1300, true, Grid_Step::Vertical_Error,
       "Vertical Grid Error, X Start: 1000  X Stop: 1201 - Y Start: 1000  Y Stop: 1300"},
      {1200, 1300, true, Grid_Step::Horizontal_Error,
       "Horizontal Grid Error, X Start: 1000  X Stop: 1200 - Y Start: 1000  Y Stop: 1300"},
      {800, 799, true, Grid_Step::Horizontal_Error,
       "Horizontal Grid Error, X Start: 1000  X Stop: 800 - Y Start: 1000  Y Stop: 799"},
      {1200, 1200, true, Grid_Step::Drawn, "before"},
      {1201, 1000, false, Grid_Step::Drawn, "before"},  // out of proximity: a white line
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tooltip);
    Step_Bench b;
    b.session.main.grid.Line_Size.value = 1;
    b.session.main.grid.Draw_Width = 1;
    EXPECT_EQ(b.Step(c.x, c.y, c.in_prox), c.step);
    EXPECT_EQ(b.session.main.grid.Tbl_Grid_ToolTip, c.tooltip);
    const bool error = c.step != Grid_Step::Drawn;
    const long middle = (1000 + c.x) / 2;
    if (c.y == 1000) {
      // The error stroke is Line_Size + 2 pixels wide, the normal one Line_Size.
      EXPECT_EQ(b.Column(middle, error ? Grid_Canvas::Error_Stroke : Grid_Canvas::Normal_Stroke), error ? 3 : 1);
    }
    EXPECT_EQ(b.session.main.grid.Draw_Width, 1);
    const Current_Report_State& r = b.session.reports.Current_Report;
    EXPECT_EQ(r.Prev_X, c.x);
    EXPECT_EQ(r.Prev_Y, c.y);
    EXPECT_EQ(r.Prev_Prox, c.in_prox);
  }
}

TEST(Check_Grid_Step, RangeZeroPointAndTheTwoButtonOptions) {
  Step_Bench b;
  Main_Window_State& m = b.session.main;
  const Current_Report_State& r = b.session.reports.Current_Report;
  const std::uint64_t clean = b.test.Canvas().Revision();
  // One count beyond the width or the top, or a serial report at (0, 0):
  // dropped, and the next report in range starts a new stroke.
  for (const auto& [x, y] : {std::pair<long, long>{12001, 5000}, {5000, 12001}, {0, 0}}) {
    EXPECT_EQ(b.Step(x, y), Grid_Step::Out_Of_Range);
    EXPECT_FALSE(r.In_Prox);
    EXPECT_FALSE(r.Prev_Prox);
    EXPECT_EQ(r.Prev_X, 1000);
  }
  EXPECT_EQ(b.Step(12000, 12000, true, 1), Grid_Step::Vertical_Error);  // the edge is in range
  EXPECT_EQ(b.Step(1500, 1000), Grid_Step::Vertical_Error);

  // Press Button To Draw (ticked at start): nothing without a button.
  ASSERT_TRUE(m.Btn_Draw.checked);
  const std::uint64_t drawn = b.test.Canvas().Revision();
  EXPECT_EQ(b.Step(5000, 9000, true, 0), Grid_Step::Not_Drawn);
  EXPECT_FALSE(r.Prev_Prox);
  EXPECT_EQ(b.test.Canvas().Revision(), drawn);
  EXPECT_GT(drawn, clean);

  // Press Button To Clear Screen: a button clears, nothing else happens.
  b.test.Btn_Clear();
  EXPECT_FALSE(m.Btn_Draw.checked);
  EXPECT_EQ(b.Step(5000, 9000, true, 2), Grid_Step::Cleared);
  EXPECT_EQ(b.Column(1250, Grid_Canvas::Error_Stroke), 0);
  EXPECT_EQ(m.grid.Tbl_Grid_ToolTip, Grid_Clear_ToolTip);
  EXPECT_EQ(r.Prev_X, 1000);
  EXPECT_FALSE(r.Prev_Prox);
  // Neither ticked: every report draws.
  b.test.Btn_Clear();
  EXPECT_EQ(b.Step(1100, 1000, true, 0), Grid_Step::Drawn);
}

}  // namespace
}  // namespace stylomat
