// stylomat-cli grid-test, run as a script would.
#include <gtest/gtest.h>

#include <string>

#include "support/cli_runner.h"

namespace {

using stylomat::test::Read_File;
using stylomat::test::Run_Cli;

const std::string Virtual = "STYLOMAT_PORTS=none STYLOMAT_CLOCK=virtual STYLOMAT_SIMULATE=";

bool Has(const std::string& text, const std::string& what) { return text.find(what) != std::string::npos; }

TEST(Cli_Grid_Test, RunsForTheTimeAskedAndSummarisesWhatCame) {
  const std::string picture = ::testing::TempDir() + "cli_grid.bmp";
  const auto kv = Run_Cli(Virtual + "2=kv", "grid-test --port 2 --seconds 3 --units in --save " + picture);
  EXPECT_EQ(kv.status, 0) << kv.err;
  // 100 reports a second after the two ticks of the preparation; the
  // script presses each of the puck's four buttons.
  EXPECT_EQ(kv.out,
            "Port: COM2\nModel_Name: \"Zeltavision, KV Compatible\"\n\n"
            "Reports: 294\nVertical_Errors: 0\nHorizontal_Errors: 0\nButtons: 1, 2, 3, 4\n"
            "Cursor: \"4 Button Diamond Puck\"\nMin_Pressure: 0\nMax_Pressure: 0\nX_Cord: \"4.5\"\nY_Cord: \"3\"\n"
            "Units: inches\nSaved_As: \"" + picture + "\"\n");
  EXPECT_EQ(Read_File(picture).substr(0, 2), "BM");

  // A broken wire: its one jump, worded as the grid view's tooltip, as a
  // result of its own, and exit status 1 for a script.
  const auto broken = Run_Cli(Virtual + "2=kv-brokenx", "grid-test --port 2 --seconds 3 --json");
  EXPECT_EQ(broken.status, 1) << broken.err;
  EXPECT_EQ(broken.out,
            "{\"Port\":\"COM2\",\"Model_Name\":\"Zeltavision, KV Compatible\"}\n"
            "{\"Grid_Error\":\"Vertical Grid Error, X Start: 3550  X Stop: 4050 - Y Start: 2366  Y Stop: 2400\"}\n"
            "{\"Reports\":294,\"Vertical_Errors\":1,\"Horizontal_Errors\":0,\"Buttons\":[1,2,3,4],"
            "\"Cursor\":\"4 Button Diamond Puck\",\"Min_Pressure\":0,\"Max_Pressure\":0,\"X_Cord\":\"2250\","
            "\"Y_Cord\":\"1500\",\"Units\":\"counts\",\"Saved_As\":null}\n");

  const auto empty = Run_Cli(Virtual + "2=empty", "grid-test --port 2 --seconds 3");
  EXPECT_EQ(empty.status, 1);
  EXPECT_EQ(empty.out, "");
  EXPECT_EQ(empty.err, "stylomat-cli: no tablet answered on COM2\n");
  EXPECT_EQ(Run_Cli(Virtual + "2=busy", "grid-test --port 2 --seconds 3").status, 2);
  const struct {
    const char* args;
    const char* err;
  } slips[] = {
      {"--port 2", "--seconds S is needed (how long it runs)"},
      {"--port 2 --seconds 0", "--seconds must be a number of seconds above 0 and at most 86400, not \"0\""},
      {"--port 2 --seconds 1e9", "--seconds must be a number of seconds above 0 and at most 86400, not \"1e9\""},
      {"--port 2 --seconds 2 --units cm", "--units must be counts, in or mm, not \"cm\""},
      {"--seconds 2", "this command needs --port N (N from 1 to 8)"},
  };
  for (const auto& slip : slips) {
    const auto usage = Run_Cli(Virtual + "2=kv", std::string("grid-test ") + slip.args);
    EXPECT_EQ(usage.status, 2) << slip.args;
    EXPECT_EQ(usage.err, std::string("stylomat-cli: ") + slip.err + "\n");
  }
  const auto unwritable = Run_Cli(Virtual + "2=kv", "grid-test --port 2 --seconds 1 --save /nonexistent-dir/g.bmp");
  EXPECT_EQ(unwritable.status, 2);
  EXPECT_TRUE(Has(unwritable.err, "The grid picture could not be saved as \"/nonexistent-dir/g.bmp\": "))
      << unwritable.err;
  EXPECT_TRUE(Has(unwritable.out, "\nSaved_As: none\n")) << unwritable.out;
}

}  // namespace
