// End to end through the real termios backend: `stylomat-cli sim-serve`
// plays a simulated tablet on a pseudo-terminal, and `stylomat-cli search`
// finds it there as it finds the same tablet simulated in-process.  What
// the in-process simulation hides (settings applied to a real tty, its
// flush, the restore at closing, real waits) is on the way here.
#include <gtest/gtest.h>

#include <string>

#include "support/cli_runner.h"
#include "support/served_tablet.h"

namespace stylomat {
namespace {

using test::Read_File;
using test::Run_Cli;
using test::Served_Tablet;

std::string Replace_All(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

class Served_Search : public ::testing::TestWithParam<const char*> {};

TEST_P(Served_Search, FindsTheTabletAsTheInProcessSimulationDoes) {
  const std::string profile = GetParam();
  const std::string dir = ::testing::TempDir();
  const std::string served_log = dir + "served_" + profile + ".log";
  const std::string simulated_log = dir + "simulated_" + profile + ".log";

  Served_Tablet tablet(profile);
  ASSERT_EQ(tablet.Path().rfind("/dev/pts/", 0), 0u) << tablet.Path();
  const auto served = Run_Cli("STYLOMAT_PORTS=1=" + tablet.Path(), "--debug search --port 1 --answer yes --log " + served_log);
  EXPECT_EQ(tablet.Stop(), 0);

  const auto simulated = Run_Cli("STYLOMAT_PORTS=none STYLOMAT_CLOCK=virtual STYLOMAT_SIMULATE=1=" + profile,
                                 "--debug search --port 1 --answer yes --log " + simulated_log);
  EXPECT_EQ(served.status, simulated.status);
  EXPECT_EQ(served.out, simulated.out);
  EXPECT_EQ(served.err, simulated.err);
  // The whole debug log: every command, every answer, in the same order.
  EXPECT_EQ(Replace_All(Read_File(served_log), tablet.Path(), "simulated"), Read_File(simulated_log));
}

// A tablet of each command family, one that answers nothing, and one whose
// answers carry terminal escape sequences (printed escaped).
INSTANTIATE_TEST_SUITE_P(Profiles, Served_Search,
                         ::testing::Values("dovrane4", "kv", "kv16", "uiof", "quorral3", "pupilane", "empty",
                                           "hostile"),
                         [](const ::testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

TEST(Sim_Serve, FindsTheDovraneIVAndAHeldPortIsInUseWithItsReason) {
  Served_Tablet dovrane("dovrane4");
  ASSERT_FALSE(dovrane.Path().empty());
  const auto found = Run_Cli("STYLOMAT_PORTS=1=" + dovrane.Path(), "search --port 1");
  EXPECT_EQ(found.status, 0) << found.err;
  EXPECT_EQ(found.out,
            "Port: COM1\nFound: true\nModel_Name: \"KORV Mensaro, Dovrane IV\"\nSize_Text: \"12 x 18\"\n"
            "Firmware_Text: \"DVIV V1.07\"\nMenus: \"Advanced Configuration\", \"Grid / Button Test\"\n"
            "Message: none\n");

  Served_Tablet held("busy");
  ASSERT_FALSE(held.Path().empty());
  const auto busy = Run_Cli("STYLOMAT_PORTS=1=" + held.Path(), "search --port 1");
  EXPECT_EQ(busy.status, 2) << busy.err;
  const std::string message = "Message: \"Comport Error, Comport may be in use by another application.\\r" +
                              held.Path() + " is in use by another application\"\n";
  EXPECT_EQ(busy.out.substr(busy.out.find("Message: ")), message);
}

TEST(Sim_Serve, UsageErrors) {
  const auto none = Run_Cli("", "sim-serve");
  EXPECT_EQ(none.status, 2);
  EXPECT_EQ(none.err, "stylomat-cli: sim-serve takes one profile name (see sim-profiles)\n");
  const auto unknown = Run_Cli("", "sim-serve nosuch");
  EXPECT_EQ(unknown.status, 2);
  EXPECT_EQ(unknown.err.rfind("stylomat-cli: unknown tablet profile \"nosuch\". Known profiles: empty, busy, ", 0), 0u)
      << unknown.err;
}

}  // namespace
}  // namespace stylomat
