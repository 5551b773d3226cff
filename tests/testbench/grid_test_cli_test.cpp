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
  EXPECT_EQ(kv.status, 0) << kv.out;
  // 100 reports a second after the two ticks of the preparation; the
  // script presses each of the puck's four buttons.
  EXPECT_TRUE(Has(kv.out, "Tablet: Zeltavision, KV Compatible on COM2\n")) << kv.out;
  EXPECT_TRUE(Has(kv.out, "Reports decoded: 294\nVertical grid errors: 0\nHorizontal grid errors: 0\n"
                          "Buttons seen: 1, 2, 3, 4\nCursor: 4 Button Diamond Puck\nPressure range: 0 to 0\n"))
      << kv.out;

  // A broken wire: its one jump, worded as the grid view's tooltip, and
  // exit status 1 for a script.
  const auto broken = Run_Cli(Virtual + "2=kv-brokenx", "grid-test --port 2 --seconds 3");
  EXPECT_EQ(broken.status, 1) << broken.out;
  EXPECT_TRUE(Has(broken.out, "\nVertical Grid Error, X Start: 3550  X Stop: 4050 - Y Start: 2366  Y Stop: 2400\n"
                              "Reports decoded: 294\nVertical grid errors: 1\nHorizontal grid errors: 0\n"))
      << broken.out;
  EXPECT_TRUE(Has(kv.out, " (inches)\nGrid picture saved as " + picture + "\n")) << kv.out;
  EXPECT_EQ(Read_File(picture).substr(0, 2), "BM");

  const auto empty = Run_Cli(Virtual + "2=empty", "grid-test --port 2 --seconds 3");
  EXPECT_EQ(empty.status, 1) << empty.out;
  EXPECT_TRUE(Has(empty.out, "No Supported Serial Tablet Was Found On Serial Port 2!")) << empty.out;
  EXPECT_EQ(Run_Cli(Virtual + "2=busy", "grid-test --port 2 --seconds 3").status, 2);
  for (const char* bad : {"--port 2", "--port 2 --seconds 0", "--port 2 --seconds 1e9",
                          "--port 2 --seconds 2 --units cm", "--seconds 2"}) {
    const auto usage = Run_Cli(Virtual + "2=kv", std::string("grid-test ") + bad);
    EXPECT_EQ(usage.status, 2) << bad << "\n" << usage.out;
  }
  const auto unwritable = Run_Cli(Virtual + "2=kv", "grid-test --port 2 --seconds 1 --save /nonexistent-dir/g.bmp");
  EXPECT_EQ(unwritable.status, 2) << unwritable.out;
  EXPECT_TRUE(Has(unwritable.out, "The grid picture could not be saved as \"/nonexistent-dir/g.bmp\": "))
      << unwritable.out;
}

}  // namespace
