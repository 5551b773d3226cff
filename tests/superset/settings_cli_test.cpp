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
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(r.out.substr(0, r.out.find("Window:")),
            "Found: Mensaro, Velliscope III on COM1\nSaving with \"CmdSaveChange\"\n");
  EXPECT_TRUE(Has_Line(r.out, "CmbParity: \"Odd \"")) << r.out;
  EXPECT_TRUE(Has_Line(r.out, "swa: 1 1 1 0 1 0 1 1")) << r.out;
  EXPECT_TRUE(Has_Line(r.out, "Image: CE,04,78,61,00,0C,20")) << r.out;

  // A Dovrane IV: the custom row's baud rate as power-up settings.
  r = Run_Cli(Env + "dovrane4", "settings set \"baud rate=4800\" --superset 100 --port 1 --answer yes then show");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(Has_Line(r.out, "Saving with \"CmdSavePon\"")) << r.out;
  EXPECT_TRUE(Has_Line(r.out, "CmbSuperSet: \"Tempory Custom setting\"")) << r.out;
  EXPECT_TRUE(Has_Line(r.out, "CmbBaud: \"4800\"")) << r.out;
}

TEST(SettingsCli, AValueOutsideTheListIsRefusedBeforeAnythingIsWritten) {
  const std::string trace = testing::TempDir() + "settings_refused.trace";
  auto r = Run_Cli(Env + "pallivant5", "settings set Parity=Mark --port 1 --trace " + trace);
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out,
            "Found: Zeltavision, Pallivant V on COM1\n"
            "stylomat-cli: \"Mark\" is not a value of CmbParity\n"
            "  CmbParity takes:\n    \"None\"\n    \"None\"\n    \"Odd \"\n    \"Even\"\n");
  EXPECT_EQ(test::Read_File(trace).find("TX 1B 25 5F 5F 73"), std::string::npos) << "no settings image was sent";

  r = Run_Cli(Env + "quorral3", "settings set CmbBaud=9600 --temporary --port 1");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.out.find("the KORV_form window saves no temporary settings; use --power-up\n"), std::string::npos)
      << r.out;
  r = Run_Cli(Env + "dovrane4", "settings set Colour=blue --port 1");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.out.find("stylomat-cli: the Dovrane3 window has no box \"Colour\"\n"), std::string::npos) << r.out;
}

TEST(SettingsCli, TemporarySettingsKeptEndTheRunAndTheTabletIsNotReset) {
  const std::string trace = testing::TempDir() + "settings_temporary.trace";
  auto r = Run_Cli(Env + "pallivant5",
                   "settings set --switches 100111001000010000000 --temporary --port 1 --answer yes then show "
                   "--trace " + trace);
  EXPECT_EQ(r.status, 0) << r.out;
  const std::string end = "The program ends and the tablet keeps these settings\n";
  ASSERT_GE(r.out.size(), end.size());
  EXPECT_EQ(r.out.substr(r.out.size() - end.size()), end);
  const std::string wire = test::Read_File(trace);
  const std::string image = "TX 1B 25 5F 5F 73";  // ESC %__s
  const auto written = wire.find(image);
  ASSERT_NE(written, std::string::npos);
  EXPECT_NE(wire.find("TX 1B 25 41 31 0D", written), std::string::npos) << "ESC %A1 CR after the write";
  EXPECT_EQ(wire.find("TX 1B 25 56 52 0D", written), std::string::npos) << "kept settings: no reset at the end";
}

}  // namespace
}  // namespace stylomat
