// stylomat-cli search and restore-factory, run as a script would.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/cli_runner.h"

namespace {

using stylomat::test::Read_File;
using stylomat::test::Run_Cli;

const std::string Virtual = "STYLOMAT_PORTS=none STYLOMAT_CLOCK=virtual STYLOMAT_SIMULATE=";

bool Has(const std::string& text, const std::string& what) { return text.find(what) != std::string::npos; }

TEST(Cli_Search, OnePortFoundNothingOrPortError) {
  const std::string log = ::testing::TempDir() + "cli_search.log";
  const auto found = Run_Cli(Virtual + "3=dovrane4", "--debug search --port 3 --log " + log);
  EXPECT_EQ(found.status, 0) << found.out;
  EXPECT_TRUE(Has(found.out, "Port: COM3\nModel: KORV Mensaro, Dovrane IV\nSize: 12 x 18\nFirmware: DVIV V1.07\n"
                             "Menus offer: Advanced Configuration, Grid / Button Test\n"))
      << found.out;
  // The log file has the search's debug log with its CR line ends.
  const std::string text = Read_File(log);
  EXPECT_TRUE(Has(text, "Sent: Esc%__p\rFrom Tablet: KORV/Mensaro Dovrane IV 1218\r")) << text;

  const auto empty = Run_Cli(Virtual + "3=empty", "search --port 3");
  EXPECT_EQ(empty.status, 1) << empty.out;
  EXPECT_TRUE(Has(empty.out, "No Supported Serial Tablet Was Found On Serial Port 3!")) << empty.out;

  const auto busy = Run_Cli(Virtual + "3=busy", "search --port 3");
  EXPECT_EQ(busy.status, 2) << busy.out;
  EXPECT_TRUE(Has(busy.out, "Comport Error, Comport may be in use by another application.")) << busy.out;

  EXPECT_EQ(Run_Cli(Virtual + "3=dovrane4", "search").status, 2);
  EXPECT_EQ(Run_Cli(Virtual + "3=dovrane4", "search --port 9").status, 2);
  EXPECT_EQ(Run_Cli(Virtual + "3=dovrane4", "search --port 3 --all").status, 2);
}

TEST(Cli_Search, AllPortsAndRestoreFactory) {
  const auto all = Run_Cli(Virtual + "2=empty,6=orvanta", "search --all");
  EXPECT_EQ(all.status, 0) << all.out;
  EXPECT_TRUE(Has(all.out, "Port: COM6\nModel: Mensaro, Orvanta\n")) << all.out;
  EXPECT_TRUE(Has(all.out, "Menus offer: Restore Factory Settings, Grid / Button Test\n")) << all.out;

  const auto none = Run_Cli(Virtual + "2=empty", "search --all");
  EXPECT_EQ(none.status, 1) << none.out;
  EXPECT_EQ(Run_Cli("STYLOMAT_PORTS=none STYLOMAT_CLOCK=virtual", "search --all").status, 1);

  const std::string log = ::testing::TempDir() + "cli_restore.log";
  const auto restored = Run_Cli(Virtual + "4=belmora", "--debug restore-factory --port 4 --log " + log);
  EXPECT_EQ(restored.status, 0) << restored.out;
  EXPECT_TRUE(Has(restored.out, "Model: Mensaro, Belmora\n")) << restored.out;
  const std::string text = Read_File(log);
  EXPECT_TRUE(Has(text, "\rRestore Factory Defaults:\rSent: Esc%VE\r")) << text;

  EXPECT_EQ(Run_Cli(Virtual + "4=empty", "restore-factory --port 4").status, 1);
}

TEST(Cli_Search, AllPortsInParallelPrintTheSequentialResultAndLogAndTrace) {
  const std::string ports = Virtual + "3=empty,5=dovrane4,7=kv";
  const std::string dir = ::testing::TempDir();
  const auto seq = Run_Cli(ports, "--debug search --all --log " + dir + "seq.log --trace " + dir + "seq.trace");
  const auto par =
      Run_Cli(ports, "--debug search --all --parallel --log " + dir + "par.log --trace " + dir + "par.trace");
  EXPECT_EQ(par.status, 0) << par.out;
  EXPECT_EQ(par.out, seq.out);
  EXPECT_TRUE(Has(par.out, "Port: COM5\nModel: KORV Mensaro, Dovrane IV\n")) << par.out;
  // The line on COM7 ends the search's lines in the log, before the reset
  // of the tablet as the program ends.
  std::string expected = Read_File(dir + "seq.log");
  expected.insert(expected.rfind("\rReset Tablet:\r"), "Also probed in parallel: COM7\r");
  EXPECT_EQ(Read_File(dir + "par.log"), expected);
  // After the start-up scan, the ports' lines come grouped in port order,
  // COM7's after the tablet's, then the tablet's reset at the end.
  std::istringstream trace(Read_File(dir + "par.trace"));
  std::vector<std::string> groups;
  for (std::string line; std::getline(trace, line);) {
    const std::string com = line.substr(line.find(' ') + 1, 4);
    if (groups.empty() || groups.back() != com) groups.push_back(com);
  }
  EXPECT_EQ(std::vector<std::string>(groups.end() - 4, groups.end()),
            (std::vector<std::string>{"COM3", "COM5", "COM7", "COM5"}));

  const auto alone = Run_Cli(ports, "search --port 3 --parallel");
  EXPECT_EQ(alone.status, 2);
  EXPECT_TRUE(Has(alone.out, "--parallel goes with --all")) << alone.out;
}

TEST(Cli_Search, PowerCycleQuestionIsAnsweredByTheOptionAndCancelledWithoutATerminal) {
  const auto yes = Run_Cli(Virtual + "2=kv-obsolete", "search --port 2 --answer yes");
  EXPECT_EQ(yes.status, 0) << yes.out;
  EXPECT_TRUE(Has(yes.out, "[Obsolete Zeltavision Tablet] A Zeltavision KV Compatible tablet was found!\n\nPower the "
                           "Tablet OFF and back ON.\nPress OK when finished.\n-> OK\n"))
      << yes.out;
  EXPECT_TRUE(Has(yes.out, "Model: Zeltavision, KV Compatible\nSize: 12 x 12\nMenus offer: Grid / Button Test\n"))
      << yes.out;

  for (const char* answer : {" --answer no", ""}) {  // standard input is no terminal: Cancel
    const auto no = Run_Cli(Virtual + "2=kv-obsolete", std::string("search --port 2") + answer);
    EXPECT_EQ(no.status, 1) << no.out;
    EXPECT_TRUE(Has(no.out, "-> Cancel\n")) << no.out;
    EXPECT_TRUE(Has(no.out, "No Supported Serial Tablet Was Found On Serial Port 2!")) << no.out;
  }
}

}  // namespace
