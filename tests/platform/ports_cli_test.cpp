// stylomat-cli on real pseudo-terminals through the termios backend: ports
// that cannot be used say why, and the program leaves a port as it found
// it.
#include <asm/termbits.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "support/cli_runner.h"
#include "support/pty_pair.h"

namespace stylomat {
namespace {

using test::Pty_Pair;
using test::Read_File;
using test::Run_Cli;

// The result `ports` prints for a port, and for one nothing is assigned to.
std::string Port(int com, bool available, const std::string& device, const std::string& reason) {
  return "Port: COM" + std::to_string(com) + "\nAvailable: " + (available ? "true" : "false") + "\nDevice: \"" +
         device + "\"\nDescription: \"\"\nReason: " + (reason.empty() ? "none" : "\"" + reason + "\"") + "\n";
}

std::string Nothing_Assigned(int com) {
  return "Port: COM" + std::to_string(com) + "\nAvailable: false\nDevice: none\nDescription: none\nReason: none\n";
}

TEST(Ports_Cli, PortHeldExclusivelyIsInUseWithItsReasonAndKeepsItsExclusivity) {
  Pty_Pair pty;
  ASSERT_FALSE(pty.path.empty());
  ASSERT_EQ(::ioctl(pty.slave, TIOCEXCL), 0);  // another program holds it
  const std::string env = "STYLOMAT_PORTS=2=" + pty.path;
  const std::string reason = pty.path + " is in use by another application";
  const std::string trace = ::testing::TempDir() + "held_port.trace";

  const auto ports = Run_Cli(env, "ports --trace " + trace);
  EXPECT_EQ(ports.status, 0) << ports.err;
  EXPECT_EQ(ports.out, Nothing_Assigned(1) + "\n" + Port(2, false, pty.path, reason) + "\n" + Nothing_Assigned(3) +
                           "\n" + Nothing_Assigned(4) + "\n" + Nothing_Assigned(5) + "\n" + Nothing_Assigned(6) + "\n" +
                           Nothing_Assigned(7) + "\n" + Nothing_Assigned(8));
  EXPECT_NE(Read_File(trace).find("COM2 OPENFAIL 1200,M,7,2 " + reason + "\n"), std::string::npos);

  // Searching every port says why none could be used (a port error).
  const auto search = Run_Cli(env, "search --all");
  EXPECT_EQ(search.status, 2) << search.err;
  const std::string end = "Message: \"No serial port is available.\"\nReasons.COM2: \"" + reason + "\"\n";
  EXPECT_EQ(search.out.substr(search.out.size() - std::min(end.size(), search.out.size())), end) << search.out;

  int exclusive = 0;
  ASSERT_EQ(::ioctl(pty.slave, TIOCGEXCL, &exclusive), 0);
  EXPECT_EQ(exclusive, 1);
}

TEST(Ports_Cli, TerminalSettingsAfterACommandEqualThoseBefore) {
  Pty_Pair pty;
  ASSERT_FALSE(pty.path.empty());
  struct termios2 before {};
  ASSERT_EQ(::ioctl(pty.slave, TCGETS2, &before), 0);
  before.c_lflag = ISIG | ICANON | ECHO;
  before.c_cflag = (before.c_cflag & ~CBAUD) | BOTHER;
  before.c_ispeed = before.c_ospeed = 19200;
  ASSERT_EQ(::ioctl(pty.slave, TCSETS2, &before), 0);
  ASSERT_EQ(::ioctl(pty.slave, TCGETS2, &before), 0);

  const auto r = Run_Cli("STYLOMAT_PORTS=1=" + pty.path, "ports");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.substr(0, r.out.find("\n\n") + 1), Port(1, true, pty.path, ""));

  struct termios2 after {};
  ASSERT_EQ(::ioctl(pty.slave, TCGETS2, &after), 0);
  EXPECT_EQ(after.c_iflag, before.c_iflag);
  EXPECT_EQ(after.c_oflag, before.c_oflag);
  EXPECT_EQ(after.c_cflag, before.c_cflag);
  EXPECT_EQ(after.c_lflag, before.c_lflag);
  EXPECT_EQ(after.c_ospeed, 19200u);
  int exclusive = 1;
  ASSERT_EQ(::ioctl(pty.slave, TIOCGEXCL, &exclusive), 0);
  EXPECT_EQ(exclusive, 0);  // the program's own exclusivity went with it
}

// A port the user may not open: the reason names the dialout group.  Root
// may open anything, so as root the command runs as the unprivileged user
// "nobody" (setpriv); without that the test cannot show the refusal.
TEST(Ports_Cli, ForbiddenPortNamesTheDialoutGroup) {
  Pty_Pair pty;
  ASSERT_FALSE(pty.path.empty());
  ASSERT_EQ(::chmod(pty.path.c_str(), 0600), 0);
  std::string run_as;
  if (::geteuid() == 0) {
    if (::access("/usr/bin/setpriv", X_OK) != 0) GTEST_SKIP() << "running as root without setpriv: no user to refuse";
    run_as = "/usr/bin/setpriv --reuid=65534 --regid=65534 --clear-groups";
  } else {
    ASSERT_EQ(::chmod(pty.path.c_str(), 0), 0);  // not even its owner may open it
  }
  const auto r = Run_Cli("STYLOMAT_PORTS=3=" + pty.path + " " + run_as, "ports");
  if (r.err.find("Permission denied") != std::string::npos && r.out.find("COM1") == std::string::npos) {
    GTEST_SKIP() << "the unprivileged user cannot run the program from this build directory: " << r.err;
  }
  EXPECT_EQ(r.status, 0) << r.err;
  const std::string reason = "no permission to open " + pty.path +
                             " (add the user to the dialout group: sudo usermod -aG dialout $USER, then log in again)";
  EXPECT_NE(r.out.find(Port(3, false, pty.path, reason)), std::string::npos) << r.out;
}

}  // namespace
}  // namespace stylomat
