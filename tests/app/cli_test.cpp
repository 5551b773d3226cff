// Runs the stylomat-cli program as a technician or a script would.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>

#include "app/startup.h"
#include "platform/printable_text.h"
#include "sim/profiles.h"
#include "support/cli_runner.h"

namespace {

using stylomat::test::Read_File;
using stylomat::test::Run_Cli;

TEST(Cli, PortsListsEveryComAndWritesTheLogWithCrLineEndsAndTheWireTrace) {
  const std::string log = ::testing::TempDir() + "cli_ports.log", trace = ::testing::TempDir() + "cli_ports.trace";
  const auto r = Run_Cli("STYLOMAT_PORTS=none STYLOMAT_SIMULATE=2=wake,5=wake STYLOMAT_CLOCK=virtual",
                         "ports --log " + log + " --trace " + trace);
  EXPECT_EQ(r.status, 0) << r.err;
  std::string listed;
  for (int com = 1; com <= 8; ++com) {
    const std::string port = "Port: COM" + std::to_string(com) + "\n";
    listed += com == 1 ? "" : "\n";
    listed += com == 2 || com == 5 ? port +
                                           "Available: true\nDevice: \"simulated\"\nDescription: \"simulated wake "
                                           "(SuperSet-family tablet that only wakes and answers its settings image)\"\n"
                                           "Reason: none\n"
                                     : port + "Available: false\nDevice: none\nDescription: none\nReason: none\n";
  }
  EXPECT_EQ(r.out, listed);
  EXPECT_EQ(r.err, "stylomat-cli: Simulated tablets on COM2, COM5\n");

  // The log exactly, but for the line the machine itself writes after "System:".
  std::string text = Read_File(log);
  const std::size_t system = text.find("\rSystem:\r") + 9;
  ASSERT_LT(system, text.size()) << text;
  text.replace(system, text.find('\r', system) - system, "<this machine>");
  EXPECT_EQ(text,
            stylomat::Program_Caption() +
                "\r\rSystem:\r<this machine>\rNo Wintab files are present!\rCom 2, Available\rCom 5, Available\r");

  // The scan opens COM0 to COM9 once each at the wake-up framing.
  std::string expected;
  for (int n = 0; n <= 9; ++n) {
    const std::string com = "0.000 COM" + std::to_string(n) + " ";
    expected += n == 2 || n == 5 ? com + "OPEN 1200,M,7,2\n" + com + "CLOSE\n"
                                 : com + "OPENFAIL 1200,M,7,2 no serial device is assigned to COM" +
                                       std::to_string(n) + "\n";
  }
  EXPECT_EQ(Read_File(trace), expected);
}

TEST(Cli, UsageErrorsHelpAndVersion) {
  const auto unknown = Run_Cli("STYLOMAT_PORTS=none STYLOMAT_SIMULATE=3=nosuch STYLOMAT_CLOCK=virtual", "ports");
  EXPECT_EQ(unknown.status, 2);
  EXPECT_EQ(unknown.err, "stylomat-cli: STYLOMAT_SIMULATE: unknown tablet profile \"nosuch\". Known profiles: " +
                             stylomat::Sim_Profile_Names() + "\n");
  const auto command = Run_Cli("", "no-such-command");
  EXPECT_EQ(command.status, 2);
  EXPECT_EQ(command.err, "stylomat-cli: unknown command \"no-such-command\" (see --help)\n");
  const auto answer = Run_Cli("", "search --port 1 --answer maybe");
  EXPECT_EQ(answer.status, 2);
  EXPECT_EQ(answer.err, "stylomat-cli: --answer must be yes or no\n");

  const auto version = Run_Cli("", "--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, stylomat::Program_Caption() + "\n");

  // The help names every command, one line each, and nothing else.
  const auto help = Run_Cli("", "--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("Usage: stylomat-cli [options] COMMAND [arguments]\n", 0), 0u) << help.out;
  const std::string commands = help.out.substr(help.out.find("Commands:\n") + 10);
  std::istringstream lines(commands.substr(0, commands.find("\n\n")));
  std::string names, line;
  while (std::getline(lines, line)) names += line.substr(2, line.find("  ", 2) - 2) + ",";
  EXPECT_EQ(names,
            "ports,sim-profiles,sim-serve,identify,decode,search,restore-factory,superset decode,superset tables,"
            "switches decode,switches factory,image encode,image decode,settings,korv,grid-test,driver info,"
            "driver monitor,");
  const std::string last = "Exit status: 0 success, 1 nothing found or answered, 2 port or usage error.\n";
  EXPECT_EQ(help.out.substr(help.out.size() - last.size()), last);
  EXPECT_EQ(Run_Cli("", "help").out, help.out);
  // Without a command: the help on standard error, a usage error.
  const auto bare = Run_Cli("", "");
  EXPECT_EQ(bare.status, 2);
  EXPECT_EQ(bare.out, "");
  EXPECT_EQ(bare.err, help.out);
}

// A tablet that answers with terminal escape sequences: whatever command
// prints its text shows them escaped, so the terminal is never retitled,
// cleared or coloured by it; JSON escapes them by its own rules and keeps
// every byte.
TEST(Cli, TabletTextWithEscapeSequencesIsPrintedEscaped) {
  const std::string env = "STYLOMAT_PORTS=none STYLOMAT_CLOCK=virtual STYLOMAT_SIMULATE=1=hostile";
  const std::string name = "\\x1B]0;pwned\\x07\\x1B[2J\\x1B[31mZ-9000\\x1B[0m";
  const auto korv = Run_Cli(env, "korv read --port 1");
  EXPECT_EQ(korv.status, 2);
  EXPECT_EQ(korv.err, "stylomat-cli: the tablet on COM1 is \"" + name +
                          "\", which the KORV_form window does not serve; korv needs a KORV tablet (KORV, Quorral "
                          "III)\n");
  const auto settings = Run_Cli(env, "settings show --port 1");
  EXPECT_EQ(settings.status, 1);
  EXPECT_EQ(settings.err, "stylomat-cli: the tablet on COM1 is \"" + name + "\"; no configuration window serves it\n");
  EXPECT_EQ(settings.out, "");
  const auto search = Run_Cli(env, "search --port 1");
  EXPECT_EQ(search.status, 0);
  EXPECT_EQ(search.out, "Port: COM1\nFound: true\nModel_Name: \"" + name +
                            "\"\nSize_Text: \"12 x 12\"\nFirmware_Text: \"V1\\x1B[5m.0\\x9B\"\n"
                            "Menus: \"Restore Factory Settings\", \"Grid / Button Test\"\nMessage: none\n");
  const auto json = Run_Cli(env, "search --port 1 --json");
  EXPECT_EQ(json.out,
            "{\"Port\":\"COM1\",\"Found\":true,\"Model_Name\":\"\\u001b]0;pwned\\u0007\\u001b[2J\\u001b[31mZ-9000"
            "\\u001b[0m\",\"Size_Text\":\"12 x 12\",\"Firmware_Text\":\"V1\\u001b[5m.0\\u009b\",\"Menus\":["
            "\"Restore Factory Settings\",\"Grid / Button Test\"],\"Message\":null}\n");
  for (const auto* r : {&korv, &settings, &search, &json}) {
    for (const std::string* text : {&r->out, &r->err}) {
      EXPECT_EQ(text->find('\x1b'), std::string::npos);
      EXPECT_EQ(text->find('\x07'), std::string::npos);
      EXPECT_EQ(text->find('\x9b'), std::string::npos);
    }
  }
}

// Slips on the command line or in the environment: each is a usage error
// (exit 2) with a message before anything is sent (the wire trace stays
// empty), never an option ignored or a last-one-wins.
TEST(Cli, UsageSlipsExitTwoBeforeAnythingIsSent) {
  const std::string trace = ::testing::TempDir() + "cli_slips.trace";
  const std::string env = "STYLOMAT_PORTS=none STYLOMAT_CLOCK=virtual STYLOMAT_SIMULATE=1=quorral3";
  const std::string unwritable = ::testing::TempDir() + "no-such-directory/run.log";
  const struct {
    std::string env;
    std::string args;
    std::string message;
  } slips[] = {
      {env, "search --port 1 --anwser yes", "unknown option --anwser (see --help)"},
      {env, "search --port 1 --bogus", "unknown option --bogus (see --help)"},
      {env, "--bogus=1 search --port 1", "unknown option --bogus (see --help)"},
      {env, "search --port 1 --port 2", "--port is given twice"},
      {env, "search --port 1 --debug --debug", "--debug is given twice"},
      {env, "search --port 1 --range 90-99", "search does not take --range (see stylomat-cli search --help)"},
      {env, "search --port 1 --oem", "search does not take --oem (see stylomat-cli search --help)"},
      {env, "korv write 95 32,40,51,07 --port 1 --answer yes --answer no", "--answer is given twice"},
      {"STYLOMAT_PORTS=none STYLOMAT_CLOCK=virtual STYLOMAT_SIMULATE=1=quorral3,1=empty", "search --port 1",
       "STYLOMAT_SIMULATE: COM1 is given twice (\"1=quorral3\" and \"1=empty\")"},
      {"STYLOMAT_PORTS=1=/dev/null,1=/dev/zero", "search --port 1",
       "STYLOMAT_PORTS: COM1 is given twice (\"1=/dev/null\" and \"1=/dev/zero\")"},
      // The tablet would have been changed before the log turned out to be
      // unwritable.
      {env, "korv write 95 32,40,51,07 --port 1 --answer yes --log " + unwritable,
       "cannot write the traffic log to \"" + unwritable + "\": No such file or directory"},
      {env, "search --port 1 --log " + ::testing::TempDir(),
       "cannot write the traffic log to \"" + ::testing::TempDir() + "\": it is a directory"},
  };
  for (const auto& slip : slips) {
    SCOPED_TRACE(slip.args);
    std::remove(trace.c_str());
    const auto r = Run_Cli(slip.env, slip.args + " --trace " + trace);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "stylomat-cli: " + slip.message + "\n");
    EXPECT_EQ(Read_File(trace), "");
  }
  // The same commands without the slip do run.
  const auto fine = Run_Cli(env, "search --port 1 --debug --trace " + trace);
  EXPECT_EQ(fine.status, 0) << fine.err;
  EXPECT_NE(Read_File(trace), "");
}

TEST(Cli, SimProfilesListsEveryProfileWithItsFamily) {
  const auto r = Run_Cli("", "sim-profiles");
  EXPECT_EQ(r.status, 0);
  std::string expected;
  for (const stylomat::Sim_Profile& p : stylomat::Sim_Profiles()) {
    expected += (expected.empty() ? "" : "\n") + std::string("Profile: ") + p.name + "\nFamily: " + p.family +
                "\nDescription: " + stylomat::Quoted_Text(p.description) + "\n";
  }
  EXPECT_EQ(r.out, expected);
  EXPECT_EQ(r.out.rfind("Profile: empty\nFamily: none\nDescription: \"the port opens, nothing answers\"\n\n", 0), 0u);
}

}  // namespace
