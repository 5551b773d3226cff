// stylomat-cli switches and image: the switch-bank model and the settings
// image translations, run as a technician would.
#include <gtest/gtest.h>

#include <string>

#include "support/cli_runner.h"

namespace stylomat {
namespace {

using test::Run_Cli;

bool Has_Line(const std::string& out, const std::string& line) {
  return out.find(line + "\n") != std::string::npos;
}

TEST(SwitchesCli, FactoryPatternOfVelliscope) {
  const auto r = Run_Cli("", "switches factory --family VSIII");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(Has_Line(r.out, "Switch A  1 0 0 0 0 0 1 0")) << r.out;
  EXPECT_TRUE(Has_Line(r.out, "Switch B  1 1 0 1 0 1 1 0")) << r.out;
  EXPECT_TRUE(Has_Line(r.out, "Switch C  1 1 0 0 1 - - -")) << r.out;
  EXPECT_TRUE(Has_Line(r.out, "CmbFormat   Format           \"BINARY MENSARO hi res              6 byte\"")) << r.out;
  EXPECT_TRUE(Has_Line(r.out, "ChkBeeper   Click enabled    checked")) << r.out;
  EXPECT_TRUE(Has_Line(r.out, "Image C6,D7,4C,61,02,00,20")) << r.out;

  EXPECT_EQ(Run_Cli("", "switches factory").status, 2);
  EXPECT_EQ(Run_Cli("", "switches factory --family VSII").status, 2);
}

TEST(SwitchesCli, DecodeShowsSettingsAndTheImageBack) {
  auto r = Run_Cli("", "switches decode ce,1f,4d,61,0,c,23");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(Has_Line(r.out, "Reply CE,1F,4D,61,00,0C,23")) << r.out;
  EXPECT_TRUE(Has_Line(r.out, "CmbMode     Mode             \"Prompt\"")) << r.out;
  EXPECT_TRUE(Has_Line(r.out, "CmbBaud     Baud Rate        \"9600\"")) << r.out;
  EXPECT_TRUE(Has_Line(r.out, "Image CE,1F,4D,61,00,0C,23")) << r.out;
  EXPECT_TRUE(Has_Line(r.out, "  Last: CE,5F,09,61,00,14,23")) << r.out;
  EXPECT_TRUE(Has_Line(r.out, "  Tablet CE,1F,4D,61,00,0C,23")) << r.out;

  // What the decoding does with other families and short replies is the
  // form's own test; here the printing.
  EXPECT_EQ(Run_Cli("", "switches decode CE,1F,4D,61,00,0C,23,00").status, 2);
  EXPECT_EQ(Run_Cli("", "switches decode CE,,4D").status, 2);
  EXPECT_EQ(Run_Cli("", "switches decode CEE").status, 2);
  EXPECT_EQ(Run_Cli("", "switches").status, 2);
}

TEST(ImageCli, EncodesARecordAndDecodesAnImageThroughTheWindowBoxes) {
  auto r = Run_Cli("", "image encode 32,40,51,07");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(r.out, "40,77,89,61,00,08,00\n");

  r = Run_Cli("", "image decode 40,77,89,61,00,08,00");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(Has_Line(r.out, "Record 32,40,51,20")) << r.out;
  EXPECT_TRUE(Has_Line(r.out, "Window Mirolex2")) << r.out;
  EXPECT_TRUE(Has_Line(r.out, "CmbFormat    \"Mensaro BINARY\"            visible")) << r.out;

  r = Run_Cli("", "image decode 43,49,46,61,06,10,80 --window Dovrane3");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(Has_Line(r.out, "Record C1,38,80,01")) << r.out;
  EXPECT_TRUE(Has_Line(r.out, "CmbBaud      \"19200\"                     visible")) << r.out;
  EXPECT_TRUE(Has_Line(r.out, "CmbRes       \"200 lpi\"                   visible")) << r.out;
  EXPECT_TRUE(Has_Line(r.out, "CmbFormat    \"KORV ASCII \"               visible")) << r.out;
  EXPECT_TRUE(Has_Line(r.out, "ChkAlarm     checked                     visible")) << r.out;

  EXPECT_EQ(Run_Cli("", "image encode 32,40,51").status, 2);
  EXPECT_EQ(Run_Cli("", "image encode 32,40,51,107").status, 2);
  EXPECT_EQ(Run_Cli("", "image decode 40,77 --window KORV_form").status, 2);
  EXPECT_EQ(Run_Cli("", "image").status, 2);
}

}  // namespace
}  // namespace stylomat
