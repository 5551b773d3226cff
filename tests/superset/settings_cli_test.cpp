// stylomat-cli settings: a configuration window driven headless on a
// simulated tablet, each run with a fresh tablet.
#include <gtest/gtest.h>

#include <string>

#include "support/cli_runner.h"

namespace stylomat {
namespace {

using test::Run_Cli;

const std::string Env = "STYLOMAT_PORTS=none STYLOMAT_CLOCK=virtual STYLOMAT_SIMULATE=1=";

bool Has_Line(const std::string& out, const std::string& line) {
  return out.find("\n" + line + "\n") != std::string::npos;
}

TEST(SettingsCli, SetThenShowReadsBackWhatTheTabletNowHolds) {
  // A switch-bank tablet: the parity saved as power-up settings, read again.
  auto r = Run_Cli(Env + "velliscope3", "settings set CmbParity=odd --port 1 --answer yes then show");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.substr(0, r.out.find("CmbBaud:")),
            "Port: COM1\nModel_Name: \"Mensaro, Velliscope III\"\n\n"
            "Step: set\nEntry: CmdSaveChange\nProgram_Ends: false\nKeeps_Settings: false\n\n"
            "Step: show\nCaption: \"Mensaro, Velliscope III Advanced Configuration\"\nWindow: VSIII\n"
            "swa: 11101011\nswb: 00000010\nswc: 00000---\n");
  EXPECT_TRUE(Has_Line(r.out, "CmbParity: \"Odd \"")) << r.out;
  EXPECT_TRUE(Has_Line(r.out, "Format_Code: 4")) << r.out;
  const std::string image = "\nImage: CE,04,78,61,00,0C,20\n";
  EXPECT_EQ(r.out.substr(r.out.size() - image.size()), image);

  // A Dovrane IV: the custom row's baud rate as power-up settings.
  r = Run_Cli(Env + "dovrane4", "settings set \"baud rate=4800\" --superset 100 --port 1 --answer yes then show");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(Has_Line(r.out, "Entry: CmdSavePon")) << r.out;
  EXPECT_TRUE(Has_Line(r.out, "Window: Dovrane3\nOEM_Mode: false\nRow: 100\nRecord: C3,38,80,01")) << r.out;
  EXPECT_TRUE(Has_Line(r.out, "CmbSuperSet: \"Tempory Custom setting\"\nCmbBaud: \"4800\"")) << r.out;
}

TEST(SettingsCli, AValueOutsideTheListIsRefusedBeforeAnythingIsWritten) {
  const std::string trace = testing::TempDir() + "settings_refused.trace";
  auto r = Run_Cli(Env + "pallivant5", "settings set Parity=Mark --port 1 --trace " + trace);
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "Port: COM1\nModel_Name: \"Zeltavision, Pallivant V\"\n");
  EXPECT_EQ(r.err,
            "stylomat-cli: \"Mark\" is not a value of CmbParity\n"
            "  CmbParity takes:\n    \"None\"\n    \"None\"\n    \"Odd \"\n    \"Even\"\n");
  EXPECT_EQ(test::Read_File(trace).find("TX 1B 25 5F 5F 73"), std::string::npos) << "no settings image was sent";

  r = Run_Cli(Env + "quorral3", "settings set CmbBaud=9600 --temporary --port 1");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "stylomat-cli: the KORV_form window saves no temporary settings; use --power-up\n");
  r = Run_Cli(Env + "dovrane4", "settings set Colour=blue --port 1");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "stylomat-cli: the Dovrane3 window has no box \"Colour\"\n");
}

TEST(SettingsCli, TemporarySettingsKeptEndTheRunAndTheTabletIsNotReset) {
  const std::string trace = testing::TempDir() + "settings_temporary.trace";
  auto r = Run_Cli(Env + "pallivant5",
                   "settings set --switches 100111001000010000000 --temporary --port 1 --answer yes then show "
                   "--trace " + trace);
  EXPECT_EQ(r.status, 0) << r.err;
  // The step that ended the program is the last result: "show" did not run.
  EXPECT_EQ(r.out,
            "Port: COM1\nModel_Name: \"Zeltavision, Pallivant V\"\n\n"
            "Step: set\nEntry: CmdChange\nProgram_Ends: true\nKeeps_Settings: true\n");
  const std::string wire = test::Read_File(trace);
  const std::string image = "TX 1B 25 5F 5F 73";  // ESC %__s
  const auto written = wire.find(image);
  ASSERT_NE(written, std::string::npos);
  EXPECT_NE(wire.find("TX 1B 25 41 31 0D", written), std::string::npos) << "ESC %A1 CR after the write";
  EXPECT_EQ(wire.find("TX 1B 25 56 52 0D", written), std::string::npos) << "kept settings: no reset at the end";
}

}  // namespace
}  // namespace stylomat
