// stylomat-cli korv: SuperSet operations on a simulated Quorral III, chained
// in one run so the tablet keeps what it was told.
#include <gtest/gtest.h>

#include "superset/factory_tables.h"
#include "support/cli_runner.h"

namespace stylomat {
namespace {

using test::Run_Cli;

const std::string Env = "STYLOMAT_PORTS=none STYLOMAT_CLOCK=virtual STYLOMAT_SIMULATE=1=";
const std::string Found = "Port: COM1\nModel_Name: \"KORV, Quorral III\"\n";
std::string Save_User(const std::string& nn, const std::string& answer) {
  return "[Save User Settings] This will overwrite User Defined SuperSet 'S" + nn +
         "'.\n\nDo you want to continue?\n-> " + answer + "\n";
}

TEST(KorvCli, WriteThenReadInOneRunShowsWhatTheTabletHolds) {
  auto r = Run_Cli(Env + "quorral3", "korv write 95 32,40,51,07 --port 1 --answer yes then read --range 95-95");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, Found +
                       "\nStep: write\nSuperSet: 95\nRecord: 32,40,51,07\nRead_Back.95: 32,40,51,07\n"
                       "Window_Shows.95: 32,40,51,23\nResult: Done\nProgram_Ends: false\n"
                       "\nStep: read\nRange: 95-95\nSuperSets.95: 32,40,51,07\nResult: Done\nProgram_Ends: false\n");
  EXPECT_EQ(r.err, Save_User("95", "Yes"));
  // A new run has a fresh tablet: the factory user SuperSet again.
  r = Run_Cli(Env + "quorral3", "korv read 95-95 --port 1 --json");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            "{\"Port\":\"COM1\",\"Model_Name\":\"KORV, Quorral III\"}\n"
            "{\"Step\":\"read\",\"Range\":\"95-95\",\"SuperSets\":{\"95\":\"82,52,40,00\"},\"Window_Shows\":{},"
            "\"Result\":\"Done\",\"Program_Ends\":false}\n");
  // The chain stops at the declined write.
  r = Run_Cli(Env + "quorral3", "korv write 95 32,40,51,07 then read 95 --port 1 --answer no");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, Found + "\nStep: write\nSuperSet: 95\nRecord: 32,40,51,07\nResult: Declined\nProgram_Ends: false\n");
  EXPECT_EQ(r.err, Save_User("95", "No"));
}

TEST(KorvCli, SelectSavePowerUpAndRestoreOnOneTablet) {
  auto r = Run_Cli(Env + "quorral3", "korv select 05 then read 00-00 --port 1");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, Found +
                       "\nStep: select\nSuperSet: 05\nResult: Done\nProgram_Ends: false\n"
                       "\nStep: read\nRange: 00-00\nSuperSets.00: C2,52,40,00\nResult: Done\nProgram_Ends: false\n");

  // Nothing runs after the program's end.
  r = Run_Cli(Env + "quorral3", "korv save-power-up 05 then read 98 --port 1 --answer yes");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, Found +
                       "\nStep: save-power-up\nRange: 05-05\nSuperSets.05: C2,52,40,00\nSaved_In: 98\n"
                       "Read_Back.98: C2,52,40,00\nResult: Done\nProgram_Ends: true\n");
  EXPECT_EQ(r.err,
            "[Save Power-Up Settings & Exit] This will overwrite the tablets Power-Up settings and set them active.\n\n"
            "The Stylomat will then Exit!\n\n\nDo you want to continue?\n-> Yes\n");

  r = Run_Cli(Env + "quorral3",
              "korv write 90 01,02,03,04 then restore-defaults then read 90-90 --port 1 --answer yes");
  EXPECT_EQ(r.status, 0);
  std::string restored;
  for (int n = 90; n <= 98; ++n) restored += "Read_Back." + std::to_string(n) + ": 82,52,40,00\n";
  EXPECT_EQ(r.out, Found +
                       "\nStep: write\nSuperSet: 90\nRecord: 01,02,03,04\nRead_Back.90: 01,02,03,04\nResult: Done\n"
                       "Program_Ends: false\n\nStep: restore-defaults\n" +
                       restored +
                       "Result: Done\nProgram_Ends: false\n"
                       "\nStep: read\nRange: 90-90\nSuperSets.90: 82,52,40,00\nResult: Done\nProgram_Ends: false\n");
  EXPECT_EQ(r.err, Save_User("90", "Yes") +
                       "[Restore Factory Power-Up Settings] This will restore the Factory Power-Up settings and set "
                       "them active.\n\n\nDo you want to continue?\n-> Yes\n"
                       "[Restore Factory Default User Settings] This will restore the Factory Default Settings for All "
                       "User Defined SuperSets.\n\nDo you want to continue?\n-> Yes\n");
}

TEST(KorvCli, TabletThatStopsAnsweringAndTheLoadingSequence) {
  // The read goes from 99 down and stops answering after 30 SuperSets:
  // those it read are the result, then the failure.
  auto r = Run_Cli(Env + "quorral3-stalls", "korv read --port 1");
  EXPECT_EQ(r.status, 1);
  std::string expected = Found + "\nStep: read\nRange: 00-99\n";
  for (int n = 70; n <= 99; ++n) {
    expected += "SuperSets." + std::to_string(n) + ": " +
                Record_Text(Factory_Record(Config_Window::KORV_form, n)) + "\n";
  }
  EXPECT_EQ(r.out, expected + "Result: Not_Found\nProgram_Ends: false\n");
  EXPECT_EQ(r.err, "[Stylomat] Tablet not found\n\n-> OK\n");

  r = Run_Cli(Env + "quorral3", "korv load then read 00 --port 1 --command-line /SS07");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, Found + "\nStep: load\nStart_Up_Command: true\nResult: Done\nProgram_Ends: true\n");
}

TEST(KorvCli, RefusesWhatIsNotAKorvTabletAndBadSteps) {
  const std::string serves =
      "\", which the KORV_form window does not serve; korv needs a KORV tablet (KORV, Quorral III)\n";
  const struct {
    const char* profile;
    const char* args;
    std::string out;
    std::string err;
  } refusals[] = {
      {"dovrane4", "korv read --port 1", "", "stylomat-cli: the tablet on COM1 is \"KORV Mensaro, Dovrane IV" + serves},
      {"quorral2", "korv read --port 1", "", "stylomat-cli: the tablet on COM1 is \"KORV, Quorral II" + serves},
      {"empty", "korv read --port 1", "",
       "stylomat-cli: no tablet answered on COM1\nstylomat-cli: korv needs a KORV tablet (KORV, Quorral III)\n"},
      // A port error is no silent tablet: the window's text and its reason.
      {"busy", "korv read --port 1", "",
       "stylomat-cli: port error on COM1: Comport Error, Comport may be in use by another application.\n"
       "the port is in use by another application\n"
       "stylomat-cli: korv needs a KORV tablet (KORV, Quorral III)\n"},
      {"quorral3", "korv write 99 01,02,03,04 --port 1 --answer yes",
       Found + "\nStep: write\nSuperSet: 99\nRecord: 01,02,03,04\nResult: Refused\nProgram_Ends: false\n",
       "stylomat-cli: SuperSet 99 is reserved on the KORV, Quorral III\n"},
  };
  for (const auto& c : refusals) {
    const auto r = Run_Cli(Env + c.profile, c.args);
    EXPECT_EQ(r.status, 2) << c.args;
    EXPECT_EQ(r.out, c.out) << c.args;
    EXPECT_EQ(r.err, c.err) << c.args;
  }
  for (const char* args :
       {"korv", "korv read 5-3 --port 1", "korv read 100 --port 1", "korv write 50 1,2,3,4 --port 1",
        "korv write 95 32,40,51 --port 1", "korv write 95 32,40,51,107 --port 1", "korv frob --port 1",
        "korv read then --port 1", "korv read then load --port 1", "korv select --port 1",
        "korv read --range 9x --port 1", "korv read", "korv help"}) {
    const auto r = Run_Cli(Env + "quorral3", args);
    EXPECT_EQ(r.status, 2) << args << "\n" << r.err;
    EXPECT_EQ(r.out, "") << args;
    EXPECT_EQ(r.err.rfind("stylomat-cli: ", 0), 0u) << args << ": refused before the search\n" << r.err;
  }
  const auto help = Run_Cli("", "korv --help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("\nExample:\n  stylomat-cli korv write 95 32,40,51,07 then read 95-95 --port 1 --answer yes\n"),
            std::string::npos);
}

}  // namespace
}  // namespace stylomat
