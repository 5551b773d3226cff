// Runs the stylomat-cli program as a technician or a script would.
#include <gtest/gtest.h>

#include <string>

#include "support/cli_runner.h"

namespace {

using stylomat::test::Read_File;
using stylomat::test::Run_Cli;

TEST(Cli, PortsListsSimulatedPortsAndWritesTheLogWithCrLineEnds) {
  const std::string log = ::testing::TempDir() + "cli_ports.log";
  const auto r = Run_Cli("STYLOMAT_PORTS=none STYLOMAT_SIMULATE=2=wake,5=wake STYLOMAT_CLOCK=virtual",
                     "ports --log " + log);
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find("COM2  available"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("COM5  available"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("COM1  unavailable"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Simulated tablets on COM2, COM5"), std::string::npos) << r.out;
  const std::string text = Read_File(log);
  EXPECT_EQ(text.rfind("KORV Mensaro, Stylomat Version ", 0), 0u) << text;
  EXPECT_NE(text.find("\rSystem:\r"), std::string::npos);
  EXPECT_NE(text.find("Com 2, Available\rCom 5, Available\r"), std::string::npos);
  EXPECT_EQ(text.find('\n'), std::string::npos);
}

TEST(Cli, TraceFileAndUsageErrors) {
  const std::string trace = ::testing::TempDir() + "cli_ports.trace";
  const auto r = Run_Cli("STYLOMAT_PORTS=none STYLOMAT_SIMULATE=3=wake STYLOMAT_CLOCK=virtual", "ports --trace " + trace);
  EXPECT_EQ(r.status, 0) << r.out;
  const std::string text = Read_File(trace);
  EXPECT_NE(text.find("0.000 COM3 OPEN 1200,M,7,2\n"), std::string::npos) << text;
  EXPECT_NE(text.find("0.000 COM3 CLOSE\n"), std::string::npos) << text;

  EXPECT_EQ(Run_Cli("STYLOMAT_PORTS=none STYLOMAT_SIMULATE=3=nosuch STYLOMAT_CLOCK=virtual", "ports").status, 2);
  EXPECT_EQ(Run_Cli("", "no-such-command").status, 2);
  EXPECT_EQ(Run_Cli("", "ports --answer maybe").status, 2);
  const auto help = Run_Cli("", "--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("ports"), std::string::npos);
  const auto version = Run_Cli("", "--version");
  EXPECT_EQ(version.out.rfind("KORV Mensaro, Stylomat Version ", 0), 0u);
}

TEST(Cli, SimProfilesAreListed) {
  const auto r = Run_Cli("", "sim-profiles");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("wake"), std::string::npos);
  EXPECT_NE(r.out.find("busy"), std::string::npos);
  EXPECT_NE(r.out.find("empty"), std::string::npos);
}

}  // namespace
