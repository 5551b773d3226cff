// The port search through the real termios backend on a pseudo-terminal,
// on the steady clock: what a technician sees when the adapter goes away
// while the tablet is being probed.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "discovery/port_search.h"
#include "platform/posix_serial.h"
#include "support/pty_pair.h"

namespace stylomat {
namespace {

using test::Pty_Pair;

TEST(Pty_Search, HangUpMidProbeEndsWithTheReasonInTheMessage) {
  Pty_Pair pty;
  ASSERT_FALSE(pty.path.empty());
  ::close(pty.slave);  // only the program holds the port
  pty.slave = -1;

  Steady_Clock clock;
  Port_Directory ports;
  Port_Entry entry;
  entry.device = pty.path;
  entry.backend = Make_Posix_Serial(pty.path);
  ports.Set(1, std::move(entry));
  Fixed_Prompter prompter;
  Session s(clock, ports, prompter);
  s.Read_System_Values = [] { return System_Values{}; };
  std::vector<std::string> trace;
  std::atomic<bool> opened{false};
  Wire_Trace wire(clock, [&](std::string_view line) {
    trace.emplace_back(line.substr(line.find(' ') + 1));
    if (trace.back().find("COM1 OPEN ") == 0) opened = true;
  });
  s.port.Set_Trace(&wire);
  s.Com_Available[1] = true;

  // The adapter is pulled 0.3 s into the Plug-and-Play handshake (counted
  // from the port's opening, however slowly a loaded machine gets there).
  std::thread pull([&] {
    for (int i = 0; i < 500 && !opened; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    pty.Hang_Up();
  });
  Port_Icon_Command(s, 1);
  pull.join();

  const std::string reason =
      "input/output error on " + pty.path + " (Input/output error); the adapter may have been unplugged";
  EXPECT_EQ(s.Search_Status, -2);
  EXPECT_EQ(s.main.ErrorMsg.text, Port_Error_Text() + "\r" + reason);
  EXPECT_TRUE(s.main.ErrorMsg.visible);
  EXPECT_NE(s.log.Text().find("Com 1, Comport Error, Refreshing System Info\rCom 1, " + reason + "\r"),
            std::string::npos)
      << s.log.Text();
  // One hang-up line, and no byte reported sent after it.
  std::vector<std::string> hangups, after;
  bool hung = false;
  for (const std::string& line : trace) {
    if (line.find("COM1 HANGUP ") == 0) {
      hangups.push_back(line);
      hung = true;
    } else if (hung && line.find(" TX ") != std::string::npos) {
      after.push_back(line);
    }
  }
  EXPECT_EQ(hangups, std::vector<std::string>{"COM1 HANGUP " + reason});
  EXPECT_TRUE(after.empty());
  // The device is gone: the scan after the error no longer offers it.
  EXPECT_FALSE(s.Com_Available[1]);
  EXPECT_FALSE(s.main.Com_Btn[1].visible);
}

}  // namespace
}  // namespace stylomat
