#include "testbench/grid_readouts.h"

#include <gtest/gtest.h>

#include "reports/report_decoders.h"
#include "sim/uiof_tablet.h"
#include "support/grid_bench.h"
#include "testbench/grid_help.h"

namespace stylomat {
namespace {

using test::Grid_Bench;
using Lines = std::vector<std::string>;

Lines History(const Recording_Clip_Player& p) { return Lines(p.History().begin(), p.History().end()); }

TEST(Grid_Readouts, CountsInchesAndMillimetresInTheGeneralNumberFormat) {
  for (const auto& [counts, units, half, text] : std::vector<std::tuple<long, Grid_Units, bool, const char*>>{
           {1234, Grid_Units::Counts, true, "1234"},      {1234, Grid_Units::Inches, false, "1.234"},
           {1234, Grid_Units::Inches, true, "2.468"},     {1000, Grid_Units::Millimetres, false, "25.4"},
           {1000, Grid_Units::Millimetres, true, "50.8"}, {1234, Grid_Units::Millimetres, false, "31.3436"},
           {0, Grid_Units::Millimetres, false, "0"}}) {
    EXPECT_EQ(Coordinate_Text(counts, units, half), text);
  }
  EXPECT_EQ(Format_General(1.0 / 3.0), "0.333333333333333");  // 15 significant digits

  // The ticks choose the unit; Clear Screen writes counts whatever is ticked.
  Grid_Bench b;
  Main_Window_State& m = b.session.main;
  b.session.reports.Current_Report.Cur_X = 1000;
  b.test.Crd_Mtr();
  EXPECT_FALSE(m.Crd_Pnt.checked);
  Refresh_Readouts(b.g);
  EXPECT_EQ(m.grid.X_Cord.text, "25.4");
  b.test.Clear_Grid();
  EXPECT_EQ(m.grid.X_Cord.text, "1000");
  b.test.Crd_US();
  Refresh_Readouts(b.g);
  EXPECT_EQ(m.grid.X_Cord.text, "1");
}

// A KV puck's chords: the frame of a code depends on the code shown before
// and on the last chord's frame (the pair), which outlives the test.
TEST(Grid_Readouts, KVChordRule) {
  // code, previous code, pair before, frame, pair after
  const int steps[][5] = {
      {1, 0, 0, 1, 0},   {2, 7, 9, 2, 9},   {3, 1, 0, 3, 0},   {3, 0, 0, 4, 4},   {3, 4, 11, 3, 11}, {3, 7, 5, 4, 4},
      {4, 3, 0, 5, 5},   {4, 6, 9, 5, 5},   {4, 6, 10, 8, 8},  {4, 2, 0, 8, 8},   {5, 6, 0, 6, 0},   {5, 1, 0, 9, 0},
      {6, 5, 0, 7, 0},   {6, 4, 8, 10, 10}, {6, 4, 5, 7, 7},   {6, 0, 0, 10, 10}, {7, 6, 0, 11, 11}, {7, 4, 0, 12, 12},
      {7, 3, 4, 12, 12}, {7, 3, 5, 11, 11}, {7, 1, 3, 12, 3},  {0, 3, 4, 0, 4},   {8, 3, 4, 0, 4},
  };
  for (const auto& s : steps) {
    int pair = s[2];
    EXPECT_EQ(KV_Chord_Frame(s[0], s[1], pair), s[3]) << s[0] << " after " << s[1];
    EXPECT_EQ(pair, s[4]) << s[0] << " after " << s[1];
  }
  // Through the read-outs: code 3 after 1 shows frame 3, after 0 frame 4.
  Grid_Bench b;
  b.Provide_Clips();
  b.session.identity.KV_Format = true;
  b.session.reports.Current_Report.Cursor_Code = 6;
  Show_Cursor_Picture(b.g, 6);
  b.player.Clear_History();
  for (int code : {1, 3, 0, 3, 7}) {
    b.session.reports.Current_Report.Button_Code = code;
    Refresh_Readouts(b.g);
  }
  EXPECT_EQ(History(b.player), (Lines{"prev", "Play 1 1", "prev", "Play 3 3", "prev", "Play 0 0", "prev", "Play 4 4",
                                      "prev", "Play 12 12"}));
  EXPECT_EQ(b.session.reports.Button_Pair, 12);
  EXPECT_EQ(b.session.main.Btn_Press.text, "7");
  EXPECT_TRUE(b.session.main.grid.Cursor_Image.visible);
}

TEST(Grid_Readouts, DiamondPuckRemapAndWintabButtonMask) {
  const int remapped[] = {0, 1, 2, 3, 8, 9, 10, 11, 4, 5, 6, 7, 12, 13, 14, 15, 0};
  for (int f = 0; f <= 16; ++f) EXPECT_EQ(Diamond_Frame(f), remapped[f]);
  Tablet_Identity id;
  id.Product_Reply = "Mensaro Velliscope V";
  EXPECT_TRUE(Diamond_Remap_Applies(id, 6));
  EXPECT_FALSE(Diamond_Remap_Applies(id, 2));
  id.Product_Reply = "Pallivant V";
  EXPECT_FALSE(Diamond_Remap_Applies(id, 6));
  id.Type5_Format = true;
  id.Type5_Cursor = 6;
  EXPECT_TRUE(Diamond_Remap_Applies(id, 2));
  for (const auto& [mask, frame] : {std::pair{1, 16}, {8, 19}, {32768, 31}, {12, 0}, {0, 0}, {65536, 0}}) {
    EXPECT_EQ(Wintab_Button_Frame(mask), frame) << mask;
  }
}

TEST(Grid_Readouts, CursorPicturesTheirClipsAndWhatAMissingClipSays) {
  Grid_Bench b;
  Report_Decoding_State& r = b.session.reports;
  Grid_View_State& grid = b.session.main.grid;
  // No clips beside the program: one message (OK, no title), the name in the box.
  r.Current_Report.Cursor_Code = 2;
  Refresh_Readouts(b.g);
  Refresh_Readouts(b.g);
  ASSERT_EQ(b.prompter.asked.size(), 1u);
  EXPECT_EQ(b.prompter.asked[0].text, "The Cursor AVI is missing from the Installation Directory");
  EXPECT_EQ(b.prompter.asked[0].title, "");
  EXPECT_EQ(r.Sel_Zelta_Cursor, "4 Button Inline Puck");

  b.Provide_Clips();
  b.player.Clear_History();
  r.Current_Report.Cursor_Code = 0;
  Refresh_Readouts(b.g);
  EXPECT_EQ(History(b.player),
            (Lines{"stop", "close", "file " + b.clips.string() + "/16-MNR.avi", "Open", "prev", "prev"}));
  EXPECT_EQ(r.Sel_Zelta_Cursor, "16 Button Puck");
  r.Current_Report.Cursor_Code = 4;  // the pressure stylus shows the pressure controls
  Refresh_Readouts(b.g);
  EXPECT_EQ(b.player.File(), b.clips.string() + "/3-Sty.AVI");
  EXPECT_TRUE(grid.PressureRange.visible && grid.Pr_Range.visible && grid.Grid_Bar_Panels[5].visible);
  r.Current_Report.Cursor_Code = 9;  // no picture: "Unknown 9", the picture hidden
  Refresh_Readouts(b.g);
  EXPECT_EQ(r.Sel_Zelta_Cursor, "Unknown 9");
  EXPECT_FALSE(grid.Cursor_Image.visible || grid.PressureRange.visible || b.player.Is_Open());

  // The 16-button puck of a UIOF tablet: the decoder's 15 is the only
  // offset, so buttons 1 to 16 show frames 16 to 31.
  b.session.identity.UIOF_Format = true;
  r.Sel_Zelta_Cursor = " 16 Button Puck";
  for (int button : {1, 16}) {
    r.Report_Buffer = UIOF_Report(3000, 4000, button);
    ASSERT_EQ(Decode_Report(r, b.session.identity).packets, 1);
    Refresh_Readouts(b.g);
    EXPECT_EQ(b.player.History().back(), "Play " + std::to_string(button + 15) + " " + std::to_string(button + 15));
  }
}

TEST(Grid_Readouts, SaveNameDialogHelpWindow) {
  EXPECT_EQ(Grid_File_Name(2007, 3, 5), "PRX 3-5-2007.bmp");
  Grid_Bench b;
  b.test.Today = [] {
    std::tm t{};
    t.tm_year = 2007 - 1900;
    t.tm_mon = 2;
    t.tm_mday = 5;
    return t;
  };
  Lines asked;
  std::optional<std::string> chosen;  // nothing: the dialog is cancelled
  b.front_end.save = [&](const std::string& proposed, const std::string& filter) {
    asked = {proposed, filter};
    return chosen;
  };
  b.test.Save_Grid();
  EXPECT_EQ(asked, (Lines{"PRX 3-5-2007.bmp", "Bitmap (*.bmp)|*.bmp|"}));
  EXPECT_TRUE(b.prompter.asked.empty());
  chosen = "/nonexistent-dir/x.bmp";
  b.test.Save_Grid();
  ASSERT_EQ(b.prompter.asked.size(), 1u);
  const std::string failed = "The grid picture could not be saved as \"/nonexistent-dir/x.bmp\": ";
  EXPECT_EQ(b.prompter.asked[0].text.rfind(failed, 0), 0u);

  EXPECT_EQ(About_Grid().paragraphs[2].heading, std::string("Bold Red Lines:"));
  b.test.Grid_Help();
  EXPECT_TRUE(b.session.main.grid.About_Grid_Shown);
  b.test.About_Grid_OK();
  EXPECT_FALSE(b.session.main.grid.About_Grid_Shown);
  EXPECT_EQ(b.session.main.grid.Tbl_Grid_ToolTip, Grid_Clear_ToolTip);
}

}  // namespace
}  // namespace stylomat
