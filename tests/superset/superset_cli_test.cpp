// stylomat-cli superset: decoding a record as the configuration window
// shows it, and printing the factory tables.
#include <gtest/gtest.h>

#include "support/cli_runner.h"

namespace stylomat {
namespace {

using test::Run_Cli;

TEST(SupersetCli, DecodesTheMensaroExampleAndWritesItBack) {
  const auto r = Run_Cli("", "superset decode 32,40,51,07");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(r.out,
            "Window KORV_form, record 32,40,51,07 in row 90\n"
            "CmbSuperSet  \"90 User defined\"           visible\n"
            "CmbBaud      \"9600\"                      visible\n"
            "CmbParity    \"Even\"                      visible\n"
            "Cmbdatabits  \"7\"                         visible\n"
            "CmbStopBits  \"1\"                         visible\n"
            "CmbMode      \"Point\"                     visible\n"
            "CmbDataRate  \"12 pps\"                    visible\n"
            "CmbRes       \"1000 lpi\"                  visible\n"
            "CmbEmu       \"Mensaro\"                   visible\n"
            "CmbFormat    \"Mensaro BINARY\"            visible\n"
            "ChkCR        checked                     visible\n"
            "ChkLF        checked                     visible\n"
            "Chksp        checked                     hidden\n"
            "Chkdp        unchecked                   hidden\n"
            "ChkButtons   checked                     hidden\n"
            "ChkAlarm     unchecked                   visible\n"
            "CHKORG       unchecked                   visible\n"
            "Byte0_Bit3   0\n"
            "Written back: 32,40,51,23\n");
}

TEST(SupersetCli, WindowAndOemChangeTheBoxes) {
  auto r = Run_Cli("", "--oem superset decode 82,40,46,00 --window Dovrane3");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find("CmbEmu       \"Special: Reriza\""), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Chkdp        unchecked                   visible"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("CHKORG"), std::string::npos) << "Dovrane III has no origin/lamp box";

  r = Run_Cli("", "superset decode 3a,c0,71,07 --window mirolex2 --debug");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find("CmbRes       \"1000 lpi\""), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Written back: 32,00,51,23\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("  3A C0 71 07   90\n  32 00 51 23 90\n"), std::string::npos) << r.out;
}

TEST(SupersetCli, RejectsMalformedRecordsAndWindows) {
  for (const char* args : {"superset decode", "superset decode 32,40,51", "superset decode 32,40,51,07,00",
                           "superset decode 32,40,511,07", "superset decode 32,,51,07", "superset decode 3g,40,51,07",
                           "superset decode 32,40,51,07 --window Pv5", "superset", "superset encode 1,2,3,4"}) {
    const auto r = Run_Cli("", args);
    EXPECT_EQ(r.status, 2) << args << "\n" << r.out;
  }
}

TEST(SupersetCli, TablesPrintTheShippedFile) {
  const auto r = Run_Cli("", "superset tables --window Mirolex2");
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(r.out, test::Read_File(std::string(STYLOMAT_SOURCE_DIR) + "/data/mx2sstable.dat"));
}

}  // namespace
}  // namespace stylomat
