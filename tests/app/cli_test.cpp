// Runs the stylomat-cli program as a technician or a script would.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "app/startup.h"
#include "sim/profiles.h"
#include "support/cli_runner.h"

namespace {

using stylomat::test::Read_File;
using stylomat::test::Run_Cli;

TEST(Cli, PortsListsEveryComAndWritesTheLogWithCrLineEndsAndTheWireTrace) {
  const std::string log = ::testing::TempDir() + "cli_ports.log", trace = ::testing::TempDir() + "cli_ports.trace";
  const auto r = Run_Cli("STYLOMAT_PORTS=none STYLOMAT_SIMULATE=2=wake,5=wake STYLOMAT_CLOCK=virtual",
                         "ports --log " + log + " --trace " + trace);
  EXPECT_EQ(r.status, 0) << r.out;
  const std::string none = "  unavailable   -                       nothing assigned\n";
  const std::string wake =
      "  available     simulated               simulated wake (SuperSet-family tablet that only wakes and answers "
      "its settings image)\n";
  EXPECT_EQ(r.out, "COM1" + none + "COM2" + wake + "COM3" + none + "COM4" + none + "COM5" + wake + "COM6" + none +
                       "COM7" + none + "COM8" + none + "Simulated tablets on COM2, COM5\n");

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
  EXPECT_EQ(unknown.out, "stylomat-cli: STYLOMAT_SIMULATE: unknown tablet profile \"nosuch\". Known profiles: " +
                             stylomat::Sim_Profile_Names() + "\n");
  const auto command = Run_Cli("", "no-such-command");
  EXPECT_EQ(command.status, 2);
  EXPECT_EQ(command.out, "stylomat-cli: unknown command \"no-such-command\" (see --help)\n");
  const auto answer = Run_Cli("", "ports --answer maybe");
  EXPECT_EQ(answer.status, 2);
  EXPECT_EQ(answer.out, "stylomat-cli: --answer must be yes or no\n");

  const auto version = Run_Cli("", "--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, stylomat::Program_Caption() + "\n");

  // The help names every command, one line each, and nothing else.
  const auto help = Run_Cli("", "--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("Usage: stylomat-cli [options] COMMAND [arguments]\n\nCommands:\n", 0), 0u) << help.out;
  const std::string commands = help.out.substr(help.out.find("Commands:\n") + 10);
  std::istringstream lines(commands.substr(0, commands.find("\n\n")));
  std::string names, line;
  while (std::getline(lines, line)) names += line.substr(2, line.find(' ', 2) - 2) + " ";
  EXPECT_EQ(names, "ports sim-profiles identify decode search restore-factory superset switches image settings korv ");
  const std::string last = "Exit status: 0 success, 1 nothing found or answered, 2 port or usage error.\n";
  EXPECT_EQ(help.out.substr(help.out.size() - last.size()), last);
}

// A tablet that answers with terminal escape sequences: whatever command
// prints its text shows them as \xNN, so the terminal is never retitled,
// cleared or coloured by it.
TEST(Cli, TabletTextWithEscapeSequencesIsPrintedEscaped) {
  const std::string env = "STYLOMAT_PORTS=none STYLOMAT_CLOCK=virtual STYLOMAT_SIMULATE=1=hostile";
  const std::string name = "\\x1B]0;Stylomat was here\\x07\\x1B[2J\\x1B[31mZ-9000";
  const auto korv = Run_Cli(env, "korv read --port 1");
  EXPECT_EQ(korv.status, 2);
  EXPECT_EQ(korv.out, "stylomat-cli: the tablet on COM1 is \"" + name +
                          "\", which the KORV_form window does not serve; korv needs a KORV tablet (KORV, Quorral "
                          "III)\n");
  const auto settings = Run_Cli(env, "settings show --port 1");
  EXPECT_EQ(settings.status, 1);
  EXPECT_EQ(settings.out, "stylomat-cli: the tablet on COM1 is \"" + name + "\"; no configuration window serves it\n");
  const auto search = Run_Cli(env, "search --port 1");
  EXPECT_EQ(search.status, 0);
  EXPECT_EQ(search.out, "Port: COM1\nModel: " + name +
                            "\nSize: 12 x 12\nFirmware: \\x1B[0mV1\\x1B[5m.0\\x9B\n"
                            "Menus offer: Restore Factory Settings, Grid / Button Test\n");
  for (const auto* r : {&korv, &settings, &search}) {
    EXPECT_EQ(r->out.find('\x1b'), std::string::npos);
    EXPECT_EQ(r->out.find('\x07'), std::string::npos);
  }
}

TEST(Cli, SimProfilesListsEveryProfileWithItsFamily) {
  const auto r = Run_Cli("", "sim-profiles");
  EXPECT_EQ(r.status, 0);
  std::string expected;
  for (const stylomat::Sim_Profile& p : stylomat::Sim_Profiles())
    expected += p.name + "  [" + p.family + "]  " + p.description + "\n";
  EXPECT_EQ(r.out, expected);
  EXPECT_EQ(r.out.rfind("empty  [none]  the port opens, nothing answers\n", 0), 0u);
}

}  // namespace
