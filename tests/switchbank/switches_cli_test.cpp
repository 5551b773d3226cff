// stylomat-cli switches and image: the switch-bank model and the settings
// image translations, run as a technician would.
#include <gtest/gtest.h>

#include <string>

#include "support/cli_runner.h"

namespace stylomat {
namespace {

using test::Run_Cli;

bool Has_Line(const std::string& out, const std::string& line) {
  return out.find("\n" + line + "\n") != std::string::npos;
}

TEST(SwitchesCli, FactoryPatternOfVelliscope) {
  const auto r = Run_Cli("", "switches factory --window VSIII");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "Caption: \"Velliscope III Advanced Configuration\"\n"
            "Window: VSIII\n"
            "swa: 10000010\n"
            "swb: 11010110\n"
            "swc: 11001---\n"
            "CmbBaud: \"9600\"\n"
            "CmbParity: \"None\"\n"
            "Cmbdatabits: \"8\"\n"
            "CmbStopBits: \"1\"\n"
            "CmbRes: \"40 lpmm\"\n"
            "CmbEmu: \"MENSARO\"\n"
            "CmbMode: \"Stream\"\n"
            "CmbFormat: \"BINARY MENSARO hi res              6 byte\"\n"
            "ChkLF: unchecked\n"
            "ChkEcho: unchecked\n"
            "ChkProx: unchecked\n"
            "ChkBeeper: checked\n"
            "Format_Code: 23\n"
            "Image: C6,D7,4C,61,02,00,20\n");

  for (const char* args : {"switches factory", "switches factory --window VSII", "switches factory --window Dovrane3"}) {
    const auto bad = Run_Cli("", args);
    EXPECT_EQ(bad.status, 2) << args;
    EXPECT_EQ(bad.err.rfind("stylomat-cli: --window ", 0), 0u) << bad.err;
  }
}

TEST(SwitchesCli, DecodeShowsSettingsTheImageBackAndWithDebugTheLogOfEitherFamily) {
  auto r = Run_Cli("", "switches decode ce,1f,4d,61,0,c,23 --window Pv5 --debug");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.substr(0, r.out.find("CmbBaud")),
            "Input: \"ce,1f,4d,61,0,c,23\"\nReply: CE,1F,4D,61,00,0C,23\n"
            "Caption: \"Pallivant V Advanced Configuration\"\nWindow: Pv5\nswa: 10010010\nswb: 00000000\n"
            "swc: 00000---\n");
  EXPECT_TRUE(Has_Line(r.out, "CmbMode: \"Prompt\"")) << r.out;
  EXPECT_TRUE(Has_Line(r.out, "CmbBaud: \"9600\"")) << r.out;
  const std::string end =
      "\nImage: CE,1F,4D,61,00,0C,23\nLog: \"Last: CE,5F,09,61,00,14,23\", \"Tablet CE,1F,4D,61,00,0C,23\"\n";
  EXPECT_EQ(r.out.substr(r.out.size() - end.size()), end) << r.out;
  // The Velliscope window writes no log lines while decoding: Log is empty,
  // and without --debug there is no Log at all.
  r = Run_Cli("", "switches decode ce,1f,4d,61,0,c,23 --window VSIII --debug");
  EXPECT_TRUE(Has_Line(r.out, "Log: none")) << r.out;
  r = Run_Cli("", "switches decode ce,1f,4d,61,0,c,23 --window Pv5");
  EXPECT_EQ(r.out.find("Log:"), std::string::npos) << r.out;

  // A short reply is shown with the seven fields the window reads.
  r = Run_Cli("", "switches decode CE,1F --window Pv5");
  EXPECT_TRUE(Has_Line(r.out, "Reply: CE,1F,00,00,00,00,00")) << r.out;

  for (const char* args : {"switches decode CE,1F,4D,61,00,0C,23,00 --window Pv5", "switches decode CE,,4D --window Pv5",
                           "switches decode CEE --window Pv5"}) {
    const auto bad = Run_Cli("", args);
    EXPECT_EQ(bad.status, 2) << args;
    EXPECT_EQ(bad.out, "");
    EXPECT_NE(bad.err.find("is not an image: 20 characters as the tablet sends them, or one to seven"),
              std::string::npos)
        << bad.err;
  }
  EXPECT_EQ(Run_Cli("", "switches decode CE,1F").err, "stylomat-cli: --window Pv5 or VSIII is needed (see --help)\n");
  EXPECT_EQ(Run_Cli("", "switches").status, 2);
  const auto oem = Run_Cli("", "switches decode CE,1F --window Pv5 --oem");
  EXPECT_EQ(oem.status, 2);
  EXPECT_EQ(oem.err, "stylomat-cli: switches decode does not take --oem (see stylomat-cli switches decode --help)\n");
}

TEST(ImageCli, EncodesARecordAndDecodesAnImageThroughTheWindowBoxes) {
  auto r = Run_Cli("", "image encode 32,40,51,07 c1,38,80,1");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "Input: \"32,40,51,07\"\nRecord: 32,40,51,07\nImage: 40,77,89,61,00,08,00\n\n"
            "Input: \"c1,38,80,1\"\nRecord: C1,38,80,01\nImage: 43,49,44,61,06,10,80\n");

  r = Run_Cli("", "image decode 40,77,89,61,00,08,00 --window Mirolex2");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.substr(0, r.out.find("CmbBaud")),
            "Input: \"40,77,89,61,00,08,00\"\nImage: 40,77,89,61,00,08,00\nWindow: Mirolex2\nOEM_Mode: false\n"
            "Row: 100\nRecord: 32,40,51,20\nCmbSuperSet: none\n");
  EXPECT_TRUE(Has_Line(r.out, "CmbFormat: \"Mensaro BINARY\"")) << r.out;
  EXPECT_TRUE(Has_Line(r.out, "Written_Back: 32,40,51,20")) << r.out;

  r = Run_Cli("", "image decode 43,49,46,61,06,10,80 --window Dovrane3");
  ASSERT_EQ(r.status, 0) << r.err;
  for (const char* line : {"Record: C1,38,80,01", "CmbBaud: \"19200\"", "CmbRes: \"200 lpi\"",
                           "CmbFormat: \"KORV ASCII \"", "ChkAlarm: checked", "Chkdp: unchecked (hidden)"}) {
    EXPECT_TRUE(Has_Line(r.out, line)) << line << "\n" << r.out;
  }

  EXPECT_EQ(Run_Cli("", "image encode 32,40,51").status, 2);
  EXPECT_EQ(Run_Cli("", "image encode 32,40,51,107").status, 2);
  const auto window = Run_Cli("", "image encode 32,40,51,07 --window Mirolex2");
  EXPECT_EQ(window.status, 2);
  EXPECT_EQ(window.err, "stylomat-cli: image encode does not take --window (see stylomat-cli image encode --help)\n");
  EXPECT_EQ(Run_Cli("", "image decode 40,77 --window KORV_form").err,
            "stylomat-cli: --window must be Mirolex2 or Dovrane3, not \"KORV_form\"\n");
  EXPECT_EQ(Run_Cli("", "image").status, 2);
}

// The reply as the tablet sends it is read by the windows' rule: fixed
// places, a field that is no hexadecimal pair reads 0, whatever stands
// between the fields; a shorter text is the list of fields.
TEST(ImageCli, TheTabletsReplyIsReadAsTheWindowsReadIt) {
  const struct {
    std::string input;
    std::string image;
  } cases[] = {
      {"40,77,89,61,00,08,00", "40,77,89,61,00,08,00"},
      {"40;77;89;61;00;08;00", "40,77,89,61,00,08,00"},
      {"40,77,89,61,00,08,0G", "40,77,89,61,00,08,00"},
      {"4x,77,89,61,00,08,01", "00,77,89,61,00,08,01"},
      {"40,77,89,61,00,08,00\r\n", "40,77,89,61,00,08,00"},
      {"40,77,89", "40,77,89,00,00,00,00"},
      {"4,7,8,6,0,8,0", "04,07,08,06,00,08,00"},
  };
  for (const auto& c : cases) {
    // As a word of the command line and as a line of standard input.
    const auto word = Run_Cli("", "image decode --window Mirolex2 \"$(printf '" + c.input + "')\"");
    const auto line = Run_Cli("", "image decode --window Mirolex2 -", c.input + "\n");
    for (const auto* r : {&word, &line}) {
      EXPECT_EQ(r->status, 0) << c.input << r->err;
      EXPECT_TRUE(Has_Line(r->out, "Image: " + c.image)) << c.input << "\n" << r->out;
    }
  }
  for (const char* bad : {"40,77,89,61,00,08,00,1", "40,77,89,61,00,08,0G0", ",", "40 77", "40,77,89,61,00,08,000"}) {
    const auto r = Run_Cli("", "image decode --window Mirolex2 -", std::string(bad) + "\n");
    EXPECT_EQ(r.status, 2) << bad;
    EXPECT_EQ(r.out, "") << bad;
    EXPECT_EQ(r.err.rfind("stylomat-cli: line 1: ", 0), 0u) << r.err;
  }
}

}  // namespace
}  // namespace stylomat
