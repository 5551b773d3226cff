// stylomat-cli korv: SuperSet operations on a simulated Quorral III, chained
// in one run so the tablet keeps what it was told.
#include <gtest/gtest.h>

#include "support/cli_runner.h"

namespace stylomat {
namespace {

using test::Run_Cli;

const std::string Env = "STYLOMAT_PORTS=none STYLOMAT_CLOCK=virtual STYLOMAT_SIMULATE=1=";

bool Has(const std::string& text, const std::string& what) { return text.find(what) != std::string::npos; }

TEST(KorvCli, WriteThenReadInOneRunShowsWhatTheTabletHolds) {
  const auto r = Run_Cli(Env + "quorral3", "korv write 95 32,40,51,07 --port 1 --answer yes then read --range 95-95");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(Has(r.out, "Found KORV, Quorral III on COM1\n")) << r.out;
  EXPECT_TRUE(Has(r.out, "[Save User Settings] This will overwrite User Defined SuperSet 'S95'.\n\nDo you want to "
                         "continue?\n-> Yes\n"))
      << r.out;
  EXPECT_TRUE(Has(r.out, "Wrote SuperSet 95: 32 40 51 07; read back:\n"
                         "SuperSet 95  32 40 51 07  (the window shows 32 40 51 23)\n"))
      << r.out;
  // The last line is the chained read.
  EXPECT_TRUE(r.out.size() > 25 && r.out.substr(r.out.size() - 25) == "SuperSet 95  32 40 51 07\n") << r.out;

  // A new run has a fresh tablet: the factory user SuperSet again.
  const auto fresh = Run_Cli(Env + "quorral3", "korv read 95-95 --port 1");
  ASSERT_EQ(fresh.status, 0) << fresh.out;
  EXPECT_TRUE(Has(fresh.out, "SuperSet 95  82 52 40 00\n")) << fresh.out;

  const auto no = Run_Cli(Env + "quorral3", "korv write 95 32,40,51,07 then read 95 --port 1 --answer no");
  EXPECT_EQ(no.status, 1) << no.out;
  EXPECT_TRUE(Has(no.out, "-> No\n")) << no.out;
  EXPECT_FALSE(Has(no.out, "Wrote")) << no.out;
  EXPECT_FALSE(Has(no.out, "SuperSet 95  ")) << "the chain stops at the declined write";
}

TEST(KorvCli, SelectSavePowerUpAndRestoreOnOneTablet) {
  auto r = Run_Cli(Env + "quorral3", "korv select 05 then read 00-00 --port 1");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(Has(r.out, "SuperSet 05 is the power-up SuperSet\nSuperSet 00  C2 52 40 00\n")) << r.out;

  r = Run_Cli(Env + "quorral3", "korv save-power-up 05 then read 98 --port 1 --answer yes");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(Has(r.out, "[Save Power-Up Settings & Exit]")) << r.out;
  EXPECT_TRUE(Has(r.out, "Saved SuperSet 05 as the power-up settings in SuperSet 98; read back:\n"
                         "SuperSet 98  C2 52 40 00\nThe program ends\n"))
      << r.out;
  EXPECT_EQ(r.out.find("SuperSet 98  C2 52 40 00\n"), r.out.rfind("SuperSet 98  C2 52 40 00\n"))
      << "nothing runs after the program's end";

  r = Run_Cli(Env + "quorral3",
              "korv write 90 01,02,03,04 then restore-defaults then read 90-90 --port 1 --answer yes");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(Has(r.out, "[Restore Factory Power-Up Settings]")) << r.out;
  EXPECT_TRUE(Has(r.out, "[Restore Factory Default User Settings]")) << r.out;
  EXPECT_TRUE(Has(r.out, "User SuperSets read back:\nSuperSet 90  82 52 40 00\nSuperSet 91  82 52 40 00\n")) << r.out;
  EXPECT_EQ(r.out.substr(r.out.size() - 25), "SuperSet 90  82 52 40 00\n") << r.out;
}

TEST(KorvCli, TabletThatStopsAnsweringAndTheLoadingSequence) {
  auto r = Run_Cli(Env + "quorral3-stalls", "korv read --port 1");
  EXPECT_EQ(r.status, 1) << r.out;
  EXPECT_TRUE(Has(r.out, "[Stylomat] Tablet not found\n")) << r.out;
  EXPECT_TRUE(Has(r.out, "SuperSet 70  ")) << r.out;
  EXPECT_FALSE(Has(r.out, "SuperSet 69  ")) << r.out;
  EXPECT_TRUE(Has(r.out, "SuperSet 99  ")) << r.out;

  r = Run_Cli(Env + "quorral3", "korv load then read 00 --port 1 --command-line /SS07");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(Has(r.out, "A start-up command ran\nThe program ends\n")) << r.out;
  EXPECT_FALSE(Has(r.out, "SuperSet 00")) << r.out;
}

TEST(KorvCli, RefusesWhatIsNotAKorvTabletAndBadSteps) {
  auto r = Run_Cli(Env + "dovrane4", "korv read --port 1");
  EXPECT_EQ(r.status, 2) << r.out;
  EXPECT_TRUE(Has(r.out, "which the KORV_form window does not serve")) << r.out;
  r = Run_Cli(Env + "quorral2", "korv read --port 1");
  EXPECT_EQ(r.status, 2) << r.out;
  r = Run_Cli(Env + "empty", "korv read --port 1");
  EXPECT_EQ(r.status, 2) << r.out;
  EXPECT_TRUE(Has(r.out, "no tablet answered on COM1")) << r.out;
  r = Run_Cli(Env + "quorral3", "korv write 99 01,02,03,04 --port 1 --answer yes");
  EXPECT_EQ(r.status, 2) << r.out;
  EXPECT_TRUE(Has(r.out, "SuperSet 99 is reserved on the KORV, Quorral III")) << r.out;

  for (const char* args :
       {"korv", "korv read 5-3 --port 1", "korv read 100 --port 1", "korv write 50 1,2,3,4 --port 1",
        "korv write 95 32,40,51 --port 1", "korv write 95 32,40,51,107 --port 1", "korv frob --port 1",
        "korv read then --port 1", "korv read then load --port 1", "korv select --port 1",
        "korv read --range 9x --port 1", "korv read"}) {
    r = Run_Cli(Env + "quorral3", args);
    EXPECT_EQ(r.status, 2) << args << "\n" << r.out;
    EXPECT_FALSE(Has(r.out, "Found")) << args << ": refused before the search";
  }
  r = Run_Cli("", "korv help");
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(Has(r.out, "korv write 95 32,40,51,07 then read 95-95 --port 1 --answer yes")) << r.out;
}

}  // namespace
}  // namespace stylomat
