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
  const std::string caption = "KORV Mensaro, Stylomat Version " + std::to_string(Version_Major) + "." +
                              std::to_string(Version_Minor) + "." + std::to_string(Version_Revision);
  EXPECT_EQ(b.Log(), caption +
                         "\r\rSystem:\rTest Linux Version: 6.1 Build: 6.1.0-test\rNo Wintab files are present!\r"
                         "Com 2, Available\rCom 5, Available\r");
  EXPECT_EQ(b.session.main.Caption, caption);
  EXPECT_FALSE(b.session.Debug_Mode);
  EXPECT_FALSE(b.session.OEM_Mode);
  EXPECT_FALSE(b.session.main.Show_Debug_Window.checked);
  EXPECT_EQ(b.session.main.LabelOS.text, "Test Linux");
  EXPECT_TRUE(b.session.main.Com_Btn[2].visible);
  EXPECT_FALSE(b.session.main.Com_Btn[3].visible);
  EXPECT_TRUE(b.session.main.Com_Btn[2].simulated);
  EXPECT_EQ(b.session.Port_Number, 0);
  EXPECT_FALSE(b.session.main.ErrorMsg.visible);
  EXPECT_FALSE(b.session.main.Grid_btn.enabled);

  test::Sim_Bench d;
  Start_Program(d.session, "/oem /d", Parse_Command_Line("/oem /d"));
  EXPECT_TRUE(d.session.Debug_Mode);
  EXPECT_TRUE(d.session.OEM_Mode);
  EXPECT_TRUE(d.session.main.Show_Debug_Window.checked);
}

}  // namespace
}  // namespace stylomat
