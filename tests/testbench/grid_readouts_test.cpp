#include "testbench/grid_readouts.h"

#include <gtest/gtest.h>

#include <tuple>

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
  EXPECT_EQ(Coordinate_Text(1234, Grid_Units::Counts, false), "1234");
  EXPECT_EQ(Coordinate_Text(1234, Grid_Units::Inches, false), "1.234");
  EXPECT_EQ(Coordinate_Text(1234, Grid_Units::Inches, true), "2.468");
  EXPECT_EQ(Coordinate_Text(1000, Grid_Units::Millimetres, false), "25.4");
  EXPECT_EQ(Coordinate_Text(1000, Grid_Units::Millimetres, true), "50.8");
  EXPECT_EQ(Coordinate_Text(1234, Grid_Units::Millimetres, false), "31.3436");
  EXPECT_EQ(Coordinate_Text(0, Grid_Units::Millimetres, false), "0");
  EXPECT_EQ(Format_General(1.0 / 3.0), "0.333333333333333");
  EXPECT_EQ(Format_General(12000), "12000");

  // The ticks choose the unit; Clear Screen writes counts whatever is ticked.
  Grid_Bench b;
  Main_Window_State& m = b.session.main;
  b.session.reports.Current_Report.Cur_X = 1000;
  b.session.reports.Current_Report.Cur_Y = 1234;
  b.test.Crd_Mtr();
  EXPECT_FALSE(m.Crd_Pnt.checked);
  EXPECT_TRUE(m.Crd_Mtr.checked);
  Refresh_Readouts(b.g);
  EXPECT_EQ(m.grid.X_Cord.text, "25.4");
  b.test.Clear_Grid();
  EXPECT_EQ(m.grid.X_Cord.text, "1000");
  EXPECT_EQ(m.grid.Y_Cord.text, "1234");
  b.test.Crd_US();
  Refresh_Readouts(b.g);
  EXPECT_EQ(m.grid.Y_Cord.text, "1.234");
  b.test.Crd_Pnt();
  EXPECT_EQ(Ticked_Units(m), Grid_Units::Counts);
}

// A KV puck's chords: codes are the buttons held; the frame depends on the
// code shown before and on the last chord's frame, kept between calls.
TEST(Grid_Readouts, KVChordRule) {
  struct Step {
    int code, previous, pair_before, frame, pair_after;
  };
  const Step steps[] = {
      {1, 0, 0, 1, 0},   {2, 7, 9, 2, 9},   {3, 1, 0, 3, 0},   {3, 0, 0, 4, 4},   {3, 4, 11, 3, 11},
      {3, 7, 5, 4, 4},   {4, 3, 0, 5, 5},   {4, 6, 9, 5, 5},   {4, 6, 10, 8, 8},  {4, 2, 0, 8, 8},
      {5, 6, 0, 6, 0},   {5, 1, 0, 9, 0},   {6, 5, 0, 7, 0},   {6, 4, 8, 10, 10}, {6, 4, 5, 7, 7},
      {6, 0, 0, 10, 10}, {7, 6, 0, 11, 11}, {7, 4, 0, 12, 12}, {7, 3, 4, 12, 12}, {7, 3, 5, 11, 11},
      {7, 1, 3, 12, 3},  {0, 3, 4, 0, 4},   {8, 3, 4, 0, 4},
  };
  for (const Step& s : steps) {
    int pair = s.pair_before;
    EXPECT_EQ(KV_Chord_Frame(s.code, s.previous, pair), s.frame) << s.code << " after " << s.previous;
    EXPECT_EQ(pair, s.pair_after) << s.code << " after " << s.previous;
  }

  // Through the read-outs: code 3 after 1 shows frame 3, after 0 frame 4;
  // the chord's frame outlives the test.
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
  EXPECT_EQ(b.session.main.grid.Cursor_Image.frame, 12);
}

TEST(Grid_Readouts, DiamondPuckRemapAndWintabButtonMask) {
  const int remapped[] = {1, 2, 3, 8, 9, 10, 11, 4, 5, 6, 7, 12, 13, 14, 15};
  for (int f = 1; f <= 15; ++f) EXPECT_EQ(Diamond_Frame(f), remapped[f - 1]);
  EXPECT_EQ(Diamond_Frame(0), 0);
  EXPECT_EQ(Diamond_Frame(16), 0);

  Tablet_Identity id;
  id.Product_Reply = "Mensaro Velliscope V";
  EXPECT_TRUE(Diamond_Remap_Applies(id, 6));
  EXPECT_FALSE(Diamond_Remap_Applies(id, 2));
  id.Product_Reply = "Pallivant V";
  EXPECT_FALSE(Diamond_Remap_Applies(id, 6));
  id.Type5_Format = true;
  EXPECT_TRUE(Diamond_Remap_Applies(id, 6));
  id.Type5_Cursor = 6;
  EXPECT_TRUE(Diamond_Remap_Applies(id, 2));

  for (const auto& [mask, frame] : {std::pair{1, 16}, {2, 17}, {8, 19}, {32768, 31}, {12, 0}, {0, 0}, {65536, 0}}) {
    EXPECT_EQ(Wintab_Button_Frame(mask), frame) << mask;
  }

  // A Type-5 diamond puck's button 4 shows frame 8.
  Grid_Bench b;
  b.Provide_Clips();
  b.session.identity.Type5_Format = true;
  b.session.identity.Type5_Cursor = 6;
  b.session.reports.Current_Report.Cursor_Code = 6;
  Show_Cursor_Picture(b.g, 6);
  b.session.reports.Current_Report.Button_Code = 4;
  Refresh_Readouts(b.g);
  EXPECT_EQ(b.player.History().back(), "Play 8 8");
}

TEST(Grid_Readouts, CursorPicturesTheirClipsAndWhatAMissingClipSays) {
  Grid_Bench b;
  Report_Decoding_State& r = b.session.reports;
  Grid_View_State& grid = b.session.main.grid;
  // No clips beside the program: one message, the name still in the box.
  r.Current_Report.Cursor_Code = 2;
  Refresh_Readouts(b.g);
  ASSERT_EQ(b.prompter.asked.size(), 1u);
  EXPECT_EQ(b.prompter.asked[0].text, "The Cursor AVI is missing from the Installation Directory");
  EXPECT_EQ(b.prompter.asked[0].title, "");
  EXPECT_EQ(r.Sel_Zelta_Cursor, "4 Button Inline Puck");
  EXPECT_EQ(r.Shown_Cursor, 2);
  Refresh_Readouts(b.g);
  EXPECT_EQ(b.prompter.asked.size(), 1u);

  b.Provide_Clips();
  b.player.Clear_History();
  r.Current_Report.Cursor_Code = 0;
  Refresh_Readouts(b.g);
  EXPECT_EQ(History(b.player), (Lines{"stop", "close", "file " + b.clips.string() + "/16-MNR.avi", "Open", "prev", "prev"}));
  EXPECT_EQ(r.Sel_Zelta_Cursor, "16 Button Puck");
  EXPECT_FALSE(r.Puck16_Offset);  // no Wintab driver label

  r.Current_Report.Cursor_Code = 4;
  Refresh_Readouts(b.g);
  EXPECT_EQ(b.player.File(), b.clips.string() + "/3-Sty.AVI");
  EXPECT_TRUE(grid.PressureRange.visible);
  EXPECT_TRUE(grid.Pr_Range.visible);
  EXPECT_TRUE(grid.Grid_Bar_Panels[5].visible);
  EXPECT_EQ(grid.Grid_Bar_Panels[5].tooltip, "Levels of Pressure Sensitivity (1 - 512).");

  // A code without a picture: "Unknown 9", the picture hidden.
  r.Current_Report.Cursor_Code = 9;
  Refresh_Readouts(b.g);
  EXPECT_EQ(r.Sel_Zelta_Cursor, "Unknown 9");
  EXPECT_FALSE(grid.Cursor_Image.visible);
  EXPECT_FALSE(grid.PressureRange.visible);
  EXPECT_FALSE(b.player.Is_Open());
  EXPECT_EQ(b.prompter.asked.size(), 1u);
}

// The 16-button puck of a UIOF tablet: the decoder's 15 is the only offset,
// so buttons 1 to 16 show frames 16 to 31.
TEST(Grid_Readouts, UIOFSixteenButtonPuckShowsFrames16To31) {
  Grid_Bench b;
  b.Provide_Clips();
  b.session.identity.UIOF_Format = true;
  b.session.reports.Sel_Zelta_Cursor = " 16 Button Puck";
  for (int button : {1, 16}) {
    b.session.reports.Report_Buffer = UIOF_Report(3000, 4000, button);
    ASSERT_EQ(Decode_Report(b.session.reports, b.session.identity).packets, 1);
    Refresh_Readouts(b.g);
    EXPECT_EQ(b.player.History().back(), "Play " + std::to_string(button + 15) + " " + std::to_string(button + 15));
  }
  EXPECT_EQ(b.session.main.Btn_Press.text, "31");
}

TEST(Grid_Readouts, SaveNameHelpWindowAndAFailedSave) {
  EXPECT_EQ(Grid_File_Name(2007, 3, 5), "PRX 3-5-2007.bmp");
  EXPECT_EQ(Grid_File_Name(2024, 12, 31), "PRX 12-31-2024.bmp");

  Grid_Bench b;
  b.test.Today = [] {
    std::tm t{};
    t.tm_year = 2007 - 1900;
    t.tm_mon = 2;
    t.tm_mday = 5;
    return t;
  };
  Lines asked;
  b.front_end.save = [&](const std::string& proposed, const std::string& filter) -> std::optional<std::string> {
    asked = {proposed, filter};
    return std::nullopt;  // cancelled: nothing happens
  };
  b.test.Save_Grid();
  EXPECT_EQ(asked, (Lines{"PRX 3-5-2007.bmp", "Bitmap (*.bmp)|*.bmp|"}));
  EXPECT_TRUE(b.prompter.asked.empty());
  b.front_end.save = [](const std::string&, const std::string&) { return std::optional<std::string>("/nonexistent-dir/x.bmp"); };
  b.test.Save_Grid();
  ASSERT_EQ(b.prompter.asked.size(), 1u);
  EXPECT_EQ(b.prompter.asked[0].text.rfind("The grid picture could not be saved as \"/nonexistent-dir/x.bmp\": ", 0), 0u);

  const About_Grid_Texts help = About_Grid();
  EXPECT_EQ(help.caption, "Grid Testing Help");
  EXPECT_EQ(help.paragraphs[1].heading, std::string("Thin White Lines:"));
  b.test.Grid_Help();
  EXPECT_TRUE(b.session.main.grid.About_Grid_Shown);
  b.test.About_Grid_OK();
  EXPECT_FALSE(b.session.main.grid.About_Grid_Shown);
  EXPECT_EQ(b.session.main.grid.Tbl_Grid_ToolTip, Grid_Clear_ToolTip);
}

}  // namespace
}  // namespace stylomat
