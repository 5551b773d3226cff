// stylomat-cli superset: decoding records as the configuration window shows
// them, and printing the factory tables.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/cli_runner.h"

namespace stylomat {
namespace {

using test::Run_Cli;

TEST(SupersetCli, DecodesTheMensaroExampleAndWritesItBack) {
  const std::string boxes =
      "CmbSuperSet: \"90 User defined\"\n"
      "CmbBaud: \"9600\"\n"
      "CmbParity: \"Even\"\n"
      "Cmbdatabits: \"7\"\n"
      "CmbStopBits: \"1\"\n"
      "CmbMode: \"Point\"\n"
      "CmbDataRate: \"12 pps\"\n"
      "CmbRes: \"1000 lpi\"\n"
      "CmbEmu: \"Mensaro\"\n"
      "CmbFormat: \"Mensaro BINARY\"\n"
      "ChkCR: checked\n"
      "ChkLF: checked\n"
      "Chksp: checked (hidden)\n"
      "Chkdp: unchecked (hidden)\n"
      "ChkButtons: checked (hidden)\n"
      "ChkAlarm: unchecked\n"
      "CHKORG: unchecked\n";
  const auto r = Run_Cli("", "superset decode 32,40,51,07 --window KORV_form");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Input: \"32,40,51,07\"\nWindow: KORV_form\nOEM_Mode: false\nRow: 90\nRecord: 32,40,51,07\n" + boxes +
                       "Byte0_Bit3: 0\nWritten_Back: 32,40,51,23\n");
  EXPECT_EQ(r.err, "");
}

TEST(SupersetCli, WindowOemAndDebugChangeWhatIsShown) {
  auto r = Run_Cli("", "--oem superset decode 82,40,46,00 --window Dovrane3");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("\nOEM_Mode: true\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\nCmbEmu: \"Special: Reriza\"\nCmbFormat: \"Zeltavision UIOF BINARY\"\n"), std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("\nChkdp: unchecked\nChkButtons: unchecked (hidden)\nChkAlarm: unchecked\nByte0_Bit3: 0\n"),
            std::string::npos)
      << "Dovrane III shows dp and has no origin/lamp box:\n" << r.out;
  // Without OEM mode the special emulation folds onto its ordinary one.
  r = Run_Cli("", "superset decode 82,40,46,00 --window Dovrane3");
  EXPECT_EQ(r.out.find("Special"), std::string::npos) << r.out;

  // The window's traffic log, line by line, as the result's Log.
  r = Run_Cli("", "superset decode 3a,c0,71,7 --window mirolex2 --debug");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("\nRecord: 3A,C0,71,07\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\nCmbRes: \"1000 lpi\"\n"), std::string::npos) << r.out;
  const std::string end = "\nWritten_Back: 32,00,51,23\nLog: \"3A C0 71 07   90\", \"32 00 51 23 90\"\n";
  EXPECT_EQ(r.out.substr(r.out.size() - end.size()), end) << r.out;
}

TEST(SupersetCli, RefusesMalformedRecordsAndWindowsAndGoesOnAfterABadLine) {
  const struct {
    const char* args;
    const char* err;
  } slips[] = {
      {"superset decode --window KORV_form", "superset decode needs records: RECORD... or - (see --help)"},
      {"superset decode 32,40,51,07", "--window KORV_form, Mirolex2 or Dovrane3 is needed (see --help)"},
      {"superset decode 32,40,51,07 --window Pv5", "--window must be KORV_form, Mirolex2 or Dovrane3, not \"Pv5\""},
      {"superset decode 32,40,51 --window KORV_form",
       "\"32,40,51\" is not a record: four hexadecimal bytes such as 32,40,51,07"},
      {"superset decode 32,40,51,07,00 --window KORV_form",
       "\"32,40,51,07,00\" is not a record: four hexadecimal bytes such as 32,40,51,07"},
      {"superset decode 32,40,511,07 --window KORV_form",
       "\"32,40,511,07\" is not a record: four hexadecimal bytes such as 32,40,51,07"},
      {"superset decode 32,,51,07 --window KORV_form",
       "\"32,,51,07\" is not a record: four hexadecimal bytes such as 32,40,51,07"},
      {"superset decode 3g,40,51,07 --window KORV_form",
       "\"3g,40,51,07\" is not a record: four hexadecimal bytes such as 32,40,51,07"},
      {"superset decode 32,40,51,07 - --window KORV_form",
       "\"-\" (standard input) takes the place of every other input"},
      {"superset", "superset needs decode or tables (see stylomat-cli superset --help)"},
      {"superset encode 1,2,3,4", "superset needs decode or tables (see stylomat-cli superset --help)"},
  };
  for (const auto& slip : slips) {
    const auto r = Run_Cli("", slip.args);
    EXPECT_EQ(r.status, 2) << slip.args;
    EXPECT_EQ(r.out, "") << slip.args;
    EXPECT_EQ(r.err, std::string("stylomat-cli: ") + slip.err + "\n") << slip.args;
  }
  // A bad line is said with its number; the lines after it still decode.
  const auto r = Run_Cli("", "superset decode - --window KORV_form --json", "32,40,51,07\n32,40\n\n01,02,03,04\r\n");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "stylomat-cli: line 2: \"32,40\" is not a record: four hexadecimal bytes such as 32,40,51,07\n");
  ASSERT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 2) << r.out;
  EXPECT_EQ(r.out.rfind("{\"Input\":\"32,40,51,07\",", 0), 0u) << r.out;
  EXPECT_NE(r.out.find("\n{\"Input\":\"01,02,03,04\","), std::string::npos) << r.out;
}

TEST(SupersetCli, TablesPrintTheShippedFileOrWriteThem) {
  auto r = Run_Cli("", "superset tables --window Mirolex2");
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(r.out, test::Read_File(std::string(STYLOMAT_SOURCE_DIR) + "/data/mx2sstable.dat"));
  const std::string dir = ::testing::TempDir();
  r = Run_Cli("", "superset tables --out " + dir);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Window: KORV_form\nFile: \"" + dir + "korvsstable.dat\"\n\nWindow: Mirolex2\nFile: \"" + dir +
                       "mx2sstable.dat\"\n\nWindow: Dovrane3\nFile: \"" + dir + "dv3sstable.dat\"\n");
  EXPECT_EQ(test::Read_File(dir + "dv3sstable.dat"),
            test::Read_File(std::string(STYLOMAT_SOURCE_DIR) + "/data/dv3sstable.dat"));
  r = Run_Cli("", "superset tables");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "stylomat-cli: --window KORV_form, Mirolex2 or Dovrane3 is needed (see --help)\n");
}

}  // namespace
}  // namespace stylomat
