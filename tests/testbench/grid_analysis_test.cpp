#include "testbench/grid_analysis.h"

#include <gtest/gtest.h>

#include "support/grid_bench.h"
#include "testbench/grid_readouts.h"

namespace stylomat {
namespace {

// A view of a 12000 x 12000 tablet, ten counts a pixel; each step starts
// at (1000, 1000) in proximity.
struct Step_Bench : test::Grid_Bench {
  Step_Bench() {
    session.main.grid.Tbl_Grid_Scale = Grid_Scale{0, 12000, 12000, 0};
    test.Canvas().Set_Scale(session.main.grid.Tbl_Grid_Scale, 1201);
    session.main.grid.Tbl_Grid_ToolTip = "before";
  }
  Grid_Step Step(std::int32_t x, std::int32_t y, bool in_prox = true, int button = 1) {
    Current_Report_State& r = session.reports.Current_Report;
    r = Current_Report_State{x, y, 1000, 1000, in_prox, true, button};
    return Check_Grid_Step(g);
  }
  // Pixels of a colour in the column of X.
  int Column(long x, Rgb color) {
    const Grid_Canvas& c = test.Canvas();
    int n = 0;
    for (int row = 0; row < c.Height(); ++row) n += c.Pixel(c.Pixel_Of(x, 0).column, row) == color;
    return n;
  }
};

TEST(Check_Grid_Step, JumpsOfMoreThan200CountsAreErrorsXFirstWithTheirTooltips) {
  struct Case {
    std::int32_t x, y;
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
    EXPECT_EQ(b.Step(c.x, c.y, c.in_prox), c.step);
    EXPECT_EQ(b.session.main.grid.Tbl_Grid_ToolTip, c.tooltip);
    // Errors are Line_Size + 2 pixels wide and red, other strokes Line_Size.
    const bool error = c.step != Grid_Step::Drawn;
    if (c.y == 1000) {
      EXPECT_EQ(b.Column(1100, error ? Grid_Canvas::Error_Stroke : Grid_Canvas::Normal_Stroke), error ? 3 : 1);
    }
    EXPECT_EQ(b.session.main.grid.Draw_Width, 1);
    const Current_Report_State& r = b.session.reports.Current_Report;
    EXPECT_EQ((std::tuple{r.Prev_X, r.Prev_Y, r.Prev_Prox}), (std::tuple{c.x, c.y, c.in_prox}));
  }
}

TEST(Check_Grid_Step, RangeZeroPointAndTheTwoButtonOptions) {
  Step_Bench b;
  Main_Window_State& m = b.session.main;
  const Current_Report_State& r = b.session.reports.Current_Report;
  // One count beyond the width or the top, or a serial report at (0, 0):
  // dropped, and the next report in range starts a new stroke.
  for (const auto& [x, y] : {std::pair<std::int32_t, std::int32_t>{12001, 5000}, {5000, 12001}, {0, 0}}) {
    EXPECT_EQ(b.Step(x, y), Grid_Step::Out_Of_Range);
    EXPECT_FALSE(r.In_Prox || r.Prev_Prox);
  }
  EXPECT_EQ(b.Step(1500, 12000), Grid_Step::Vertical_Error);  // the top edge is in range

  // Press Button To Draw (ticked at start): nothing without a button.
  const std::uint64_t drawn = b.test.Canvas().Revision();
  EXPECT_EQ(b.Step(5000, 9000, true, 0), Grid_Step::Not_Drawn);
  EXPECT_FALSE(r.Prev_Prox);
  EXPECT_EQ(b.test.Canvas().Revision(), drawn);

  // Press Button To Clear Screen (unticks the other): a button clears,
  // nothing else happens.
  b.test.Btn_Clear();
  EXPECT_FALSE(m.Btn_Draw.checked);
  EXPECT_EQ(b.Step(5000, 9000, true, 2), Grid_Step::Cleared);
  EXPECT_EQ(b.Column(1250, Grid_Canvas::Error_Stroke), 0);
  EXPECT_EQ(m.grid.Tbl_Grid_ToolTip, Grid_Clear_ToolTip);
  EXPECT_EQ(r.Prev_X, 1000);
  b.test.Btn_Clear();  // neither ticked: every report draws
  EXPECT_EQ(b.Step(1100, 1000, true, 0), Grid_Step::Drawn);
}

}  // namespace
}  // namespace stylomat
