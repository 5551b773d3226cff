// The grid test through the tablet driver: the driver's block, its packets
// drawn as serial reports are (but (0, 0) too, and a beep on an error), the
// read-outs from the driver's resolutions, and its cursors' pictures.
#include <gtest/gtest.h>

#include <algorithm>

#include "discovery/wintab_search.h"
#include "support/grid_bench.h"
#include "support/scripted_wintab.h"
#include "testbench/grid_readouts.h"

namespace stylomat {
namespace {

Wintab_Packet Packet(std::int32_t x, std::int32_t y, std::int32_t buttons, std::int32_t status = 0) {
  Wintab_Packet p{};
  p.Status = static_cast<std::uint32_t>(status);
  p.Buttons = static_cast<std::uint32_t>(buttons);
  p.X = x;
  p.Y = y;
  p.Normal_Pressure = 300;
  return p;
}

struct Wintab_Grid_Bench : test::Grid_Bench {
  Wintab_Grid_Bench() {
    session.wintab.driver = &driver;
    driver.Pen_Tablet();
    Find_Wintab_Command(session);
    // The loop stops once every packet was taken and a few idle passes ran.
    front_end.events = [this] {
      if (driver.packets.empty() && ++idle_after_packets > 3) session.Stop_Test = true;
    };
    front_end.beep = [this] { ++beeps; };
  }
  test::Scripted_Wintab driver;
  int idle_after_packets = 0;
  int beeps = 0;
};

TEST(Grid_Wintab, PacketsAreDrawnWithTheDriversFormAndTheLinkClosesWithTheTest) {
  Wintab_Grid_Bench b;
  ASSERT_TRUE(b.session.main.WT_Label.visible) << "the driver's tablet was found";
  b.driver.packets = {Packet(0, 0, 1), Packet(150, 100, 1), Packet(750, 100, 1), Packet(760, 110, 0, 1)};
  const std::size_t log_before = b.Log().size();
  b.test.Run_Grid_Test();

  const std::string log = b.Log().substr(log_before);
  EXPECT_NE(log.find("\rGrid & Button Test:\r"), std::string::npos) << log;
  EXPECT_NE(log.find("myHandle \rWTMessage\rWTOpenContex\rWintab Communication Successful!\r"), std::string::npos)
      << log;
  EXPECT_EQ(b.driver.calls, (std::vector<std::string>{"WTMgrOpen 1", "WTOpen 2"}));
  const Grid_Statistics& st = b.test.Statistics();
  EXPECT_EQ(st.reports, 4);
  EXPECT_EQ(st.vertical_errors, 1);
  EXPECT_EQ(b.beeps, 1) << "an error through the driver beeps";
  EXPECT_EQ(b.session.main.grid.Tbl_Grid_ToolTip,
            "Vertical Grid Error, X Start: 150  X Stop: 750 - Y Start: 100  Y Stop: 100");
  // (0, 0) is drawn through the driver (a serial report there is dropped).
  const auto origin = b.test.Canvas().Pixel_Of(0, 0);
  EXPECT_EQ(b.test.Canvas().Pixel(static_cast<int>(origin.column), static_cast<int>(origin.row)), Grid_Canvas::Normal_Stroke);
  EXPECT_FALSE(b.session.main.LabelProx_Filled) << "the last packet is out of proximity";

  b.test.Close_Window();
  EXPECT_EQ(b.driver.calls, (std::vector<std::string>{"WTMgrOpen 1", "WTOpen 2", "WTMgrClose 1", "WTClose 2"}));
}

TEST(Grid_Wintab, AContextThatWillNotOpenEndsTheProgramAndAMissingManagerOnlyTheProximity) {
  Wintab_Grid_Bench no_context;
  no_context.driver.contexts_open = false;
  no_context.test.Run_Grid_Test();
  EXPECT_TRUE(no_context.session.End_Requested);
  ASSERT_EQ(no_context.prompter.asked.size(), 1u);
  EXPECT_EQ(no_context.prompter.asked.back().text, "Wintab Device Found but Could Not establish Communication!");
  EXPECT_EQ(no_context.test.Statistics().passes, 0);

  Wintab_Grid_Bench no_manager;
  no_manager.Provide_Clips();
  no_manager.driver.managers_open = false;
  no_manager.driver.packets = {Packet(100, 100, 1)};
  no_manager.test.Run_Grid_Test();
  EXPECT_FALSE(no_manager.session.End_Requested);
  EXPECT_FALSE(no_manager.session.main.grid.LabelProx_Visible);
  ASSERT_EQ(no_manager.prompter.asked.size(), 2u);
  EXPECT_EQ(no_manager.prompter.asked[0].text, "Wintab Messaging Could not be Established, Proximity Data Disabled!");
  EXPECT_EQ(no_manager.prompter.asked[1].title, "WTMgrOpen");
  EXPECT_EQ(no_manager.test.Statistics().reports, 1);
}

TEST(Grid_Wintab, ReadoutsUseTheDriversResolutionAndCountsWithoutOne) {
  EXPECT_EQ(Wintab_Coordinate_Text(20000, Grid_Units::Inches, false, "1000"), "20");
  EXPECT_EQ(Wintab_Coordinate_Text(20000, Grid_Units::Millimetres, false, "1000"), "508");
  EXPECT_EQ(Wintab_Coordinate_Text(20000, Grid_Units::Inches, true, "1000"), "7.8740157480315");
  EXPECT_EQ(Wintab_Coordinate_Text(20000, Grid_Units::Millimetres, true, "1000"), "200");
  for (const char* unusable : {"0", "", "abc", "-5"}) {
    EXPECT_EQ(Wintab_Coordinate_Text(20000, Grid_Units::Inches, false, unusable), "20000") << unusable;
  }
  EXPECT_EQ(Wintab_Coordinate_Text(20000, Grid_Units::Counts, false, "1000"), "20000");
}

TEST(Grid_Wintab, CursorsByTheirButtonsAndTheSixteenButtonPucksFrames) {
  test::Grid_Bench b;
  b.Provide_Clips();
  auto& table = b.session.wintab.Cursor_Table;
  const struct {
    int buttons;
    bool pressure;
    int code;
  } cases[] = {{2, false, 7}, {3, false, 3}, {3, true, 4}, {4, false, 6}, {5, false, 1}, {16, false, 0}, {7, false, 9}};
  for (const auto& c : cases) {
    table[9] = Wintab_Cursor{"Cursor", c.buttons, c.pressure, true};
    b.session.reports.Shown_Cursor = -1;
    EXPECT_EQ(Map_Wintab_Cursor(b.g, "Calvetra PT", 9), c.code) << c.buttons;
  }
  table[9] = Wintab_Cursor{"Cursor", 4, false, true};
  EXPECT_EQ(Map_Wintab_Cursor(b.g, "KORV Mensaro Dovrane", 9), 2) << "a Mensaro tablet's 4-button puck is inline";
  b.session.reports.Auto_Cursor = 3;
  EXPECT_EQ(Map_Wintab_Cursor(b.g, "Calvetra PT", 9), 9) << "a picked cursor keeps its number";
  b.session.reports.Auto_Cursor = -1;
  EXPECT_EQ(Map_Wintab_Cursor(b.g, "Calvetra PT", 140), 140) << "beyond the table";

  // The 16-button puck opened while the driver's tablet shows: its button
  // masks become frames 16 to 31.
  b.session.main.WT_Label.visible = true;
  Show_Cursor_Picture(b.g, 0);
  EXPECT_TRUE(b.session.reports.Puck16_Offset);
  Show_Button_Picture(b.g, 8);
  EXPECT_EQ(b.player.Position(), 19);
  Show_Button_Picture(b.g, 12);
  EXPECT_EQ(b.player.Position(), 0) << "two buttons at once show the idle frame";
}

}  // namespace
}  // namespace stylomat
