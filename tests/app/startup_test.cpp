#include "app/startup.h"

#include <gtest/gtest.h>

#include "sim/profiles.h"
#include "stylomat_version.h"
#include "support/sim_fixture.h"

namespace stylomat {
namespace {

TEST(Startup, CommandLineRules) {
  struct Case {
    const char* line;
    bool debug;
    bool oem;
  } cases[] = {{"", false, false},      {"/d", true, false},     {"/oem /d", true, true},
               {"C:\\data\\x", true, false}, {"oem", false, true}, {"-debug", true, false},
               {"odd", true, false},     {"/Oem", false, true},  {"/x", false, false}};
  for (const Case& c : cases) {
    const Mode_Flags m = Parse_Command_Line(c.line);
    EXPECT_EQ(m.debug, c.debug) << c.line;
    EXPECT_EQ(m.oem, c.oem) << c.line;
  }
}

TEST(Startup, CaptionIsFirstLogLineAndPortsAreScanned) {
  test::Sim_Bench b;
  b.Attach_Profile(2, "wake");
  b.Attach_Profile(5, "empty");
  Start_Program(b.session, "", Parse_Command_Line(""));
  const auto lines = test::Log_Lines(b.Log());
  ASSERT_GE(lines.size(), 6u);
  EXPECT_EQ(lines[0], "KORV Mensaro, Stylomat Version " + std::to_string(Version_Major) + "." +
                          std::to_string(Version_Minor) + "." + std::to_string(Version_Revision));
  EXPECT_EQ(b.session.main.Caption, lines[0]);
  EXPECT_EQ(lines[1], "");
  EXPECT_EQ(lines[2], "System:");
  EXPECT_EQ(lines[3], "Test Linux Version: 6.1 Build: 6.1.0-test");
  EXPECT_EQ(lines[4], "No Wintab files are present!");
  EXPECT_EQ(lines[5], "Com 2, Available");
  EXPECT_EQ(lines[6], "Com 5, Available");
  EXPECT_FALSE(b.session.Debug_Mode);
  EXPECT_FALSE(b.session.main.Show_Debug_Window.checked);
  EXPECT_EQ(b.session.main.LabelOS.text, "Test Linux");
  EXPECT_TRUE(b.session.main.Com_Btn[2].visible);
  EXPECT_FALSE(b.session.main.Com_Btn[3].visible);
  EXPECT_TRUE(b.session.main.Com_Btn[2].simulated);
  EXPECT_EQ(b.session.Port_Number, 0);
  EXPECT_FALSE(b.session.main.ErrorMsg.visible);
  EXPECT_FALSE(b.session.main.Grid_btn.enabled);
}

TEST(Startup, DebugModeChecksTheLogWindowEntry) {
  test::Sim_Bench b;
  Start_Program(b.session, "/oem /d", Parse_Command_Line("/oem /d"));
  EXPECT_TRUE(b.session.Debug_Mode);
  EXPECT_TRUE(b.session.OEM_Mode);
  EXPECT_TRUE(b.session.main.Show_Debug_Window.checked);
}

TEST(Startup, VersionTextHasNoLeadingZerosOrTrailingPoint) {
  const std::string v = Version_Text();
  EXPECT_NE(v.back(), '.');
  EXPECT_EQ(std::count(v.begin(), v.end(), '.'), 2);
  EXPECT_NE(v.substr(0, 2), "0");
  EXPECT_EQ(v.find(".0") == std::string::npos || v.find(".0") + 2 == v.size() || v[v.find(".0") + 2] == '.', true);
}

}  // namespace
}  // namespace stylomat
