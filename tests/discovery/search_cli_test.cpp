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

std::string Not_Found(const std::string& port, const std::string& message) {
  return "Port: " + port +
         "\nFound: false\nModel_Name: none\nSize_Text: none\nFirmware_Text: none\nMenus: none\nMessage: " + message +
         "\n";
}

std::string No_Tablet_Message(int port) {
  return "\"No Supported Serial Tablet Was Found On Serial Port " + std::to_string(port) +
         "!   Make sure the tablet is plugged in,  powered on,  and all tablet drivers have been removed or "
         "disabled.\\r\\rSelect an icon above to search for a Supported Tablet (F2).\"";
}

TEST(Cli_Search, OnePortFoundNothingOrPortError) {
  const std::string log = ::testing::TempDir() + "cli_search.log";
  const auto found = Run_Cli(Virtual + "3=dovrane4", "--debug search --port 3 --log " + log);
  EXPECT_EQ(found.status, 0) << found.err;
  EXPECT_EQ(found.out,
            "Port: COM3\nFound: true\nModel_Name: \"KORV Mensaro, Dovrane IV\"\nSize_Text: \"12 x 18\"\n"
            "Firmware_Text: \"DVIV V1.07\"\nMenus: \"Advanced Configuration\", \"Grid / Button Test\"\nMessage: none\n");
  EXPECT_EQ(found.err, "");
  // The log file has the search's debug log with its CR line ends.
  const std::string text = Read_File(log);
  EXPECT_TRUE(Has(text, "Sent: Esc%__p\rFrom Tablet: KORV/Mensaro Dovrane IV 1218\r")) << text;

  const auto empty = Run_Cli(Virtual + "3=empty", "search --port 3");
  EXPECT_EQ(empty.status, 1);
  EXPECT_EQ(empty.out, Not_Found("COM3", No_Tablet_Message(3)));

  // The window's message exactly, its line break as \r.
  const auto busy = Run_Cli(Virtual + "3=busy", "search --port 3 --json");
  EXPECT_EQ(busy.status, 2);
  EXPECT_EQ(busy.out,
            "{\"Port\":\"COM3\",\"Found\":false,\"Model_Name\":null,\"Size_Text\":null,\"Firmware_Text\":null,"
            "\"Menus\":[],\"Message\":\"Comport Error, Comport may be in use by another application.\\rthe port is in "
            "use by another application\"}\n");

  for (const char* args : {"search", "search --port 9", "search --port 3 --all"}) {
    const auto usage = Run_Cli(Virtual + "3=dovrane4", args);
    EXPECT_EQ(usage.status, 2) << args;
    EXPECT_EQ(usage.out, "") << args;
  }
}

TEST(Cli_Search, AllPortsAndRestoreFactory) {
  const auto all = Run_Cli(Virtual + "2=empty,6=orvanta", "search --all");
  EXPECT_EQ(all.status, 0) << all.err;
  EXPECT_EQ(all.out,
            "Port: COM6\nFound: true\nModel_Name: \"Mensaro, Orvanta\"\nSize_Text: \"12 x 12\"\n"
            "Firmware_Text: \"OV V3.3\"\nMenus: \"Restore Factory Settings\", \"Grid / Button Test\"\nMessage: none\n");

  const auto none = Run_Cli(Virtual + "2=empty", "search --all");
  EXPECT_EQ(none.status, 1);
  EXPECT_EQ(none.out, Not_Found("none", No_Tablet_Message(2)));
  const auto no_ports = Run_Cli("STYLOMAT_PORTS=none STYLOMAT_CLOCK=virtual", "search --all");
  EXPECT_EQ(no_ports.status, 1);
  EXPECT_EQ(no_ports.out, Not_Found("none", "\"No serial port is available.\""));

  const std::string log = ::testing::TempDir() + "cli_restore.log";
  const auto restored = Run_Cli(Virtual + "4=belmora", "--debug restore-factory --port 4 --log " + log);
  EXPECT_EQ(restored.status, 0) << restored.err;
  EXPECT_TRUE(Has(restored.out, "\nModel_Name: \"Mensaro, Belmora\"\n")) << restored.out;
  EXPECT_EQ(restored.err, "stylomat-cli: restoring the factory settings of Mensaro, Belmora on COM4\n");
  const std::string text = Read_File(log);
  EXPECT_TRUE(Has(text, "\rRestore Factory Defaults:\rSent: Esc%VE\r")) << text;

  const auto absent = Run_Cli(Virtual + "4=empty", "restore-factory --port 4");
  EXPECT_EQ(absent.status, 1);
  EXPECT_EQ(absent.out, Not_Found("COM4", No_Tablet_Message(4)));
}

TEST(Cli_Search, AllPortsInParallelPrintTheSequentialResultAndLogAndTrace) {
  const std::string ports = Virtual + "3=empty,5=dovrane4,7=kv";
  const std::string dir = ::testing::TempDir();
  const auto seq = Run_Cli(ports, "--debug search --all --log " + dir + "seq.log --trace " + dir + "seq.trace");
  const auto par =
      Run_Cli(ports, "--debug search --all --parallel --log " + dir + "par.log --trace " + dir + "par.trace");
  EXPECT_EQ(par.status, 0) << par.out;
  EXPECT_EQ(par.out, seq.out);
  EXPECT_TRUE(Has(par.out, "Port: COM5\nFound: true\nModel_Name: \"KORV Mensaro, Dovrane IV\"\n")) << par.out;
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
  EXPECT_EQ(alone.err, "stylomat-cli: --parallel goes with --all\n");
  EXPECT_EQ(alone.out, "");
}

TEST(Cli_Search, PowerCycleQuestionGoesToStandardErrorAndIsAnsweredByTheOption) {
  const std::string question =
      "[Obsolete Zeltavision Tablet] A Zeltavision KV Compatible tablet was found!\n\nPower the Tablet OFF and back "
      "ON.\nPress OK when finished.\n";
  const auto yes = Run_Cli(Virtual + "2=kv-obsolete", "search --port 2 --answer yes");
  EXPECT_EQ(yes.status, 0);
  EXPECT_EQ(yes.err, question + "-> OK\n");
  EXPECT_EQ(yes.out,
            "Port: COM2\nFound: true\nModel_Name: \"Zeltavision, KV Compatible\"\nSize_Text: \"12 x 12\"\n"
            "Firmware_Text: none\nMenus: \"Grid / Button Test\"\nMessage: none\n");

  for (const char* answer : {" --answer no", ""}) {  // standard input is no terminal: Cancel
    const auto no = Run_Cli(Virtual + "2=kv-obsolete", std::string("search --port 2") + answer);
    EXPECT_EQ(no.status, 1);
    EXPECT_EQ(no.err, question + "-> Cancel\n");
    EXPECT_EQ(no.out, Not_Found("COM2", No_Tablet_Message(2)));
  }
}

}  // namespace
