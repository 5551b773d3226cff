// A simulated tablet served on a pseudo-terminal, talked to through the real
// termios backend in the same process.
#include "sim/pty_server.h"

#include <sys/ioctl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/posix_serial.h"

namespace stylomat {
namespace {

Framing F(const char* text) { return *Parse_Framing(text); }

TEST(Same_On_A_Pty, ComparesWhatAPtyShowsOfTwoFramings) {
  // Baud rate, stop bits (one, or more) and odd or stick parity are seen;
  // data bits are not, and none and even parity look alike.
  EXPECT_TRUE(Same_On_A_Pty(F("9600,n,8,2"), F("9600,E,7,2")));
  EXPECT_TRUE(Same_On_A_Pty(F("1200,M,7,2"), F("1200,M,8,1.5")));
  EXPECT_TRUE(Same_On_A_Pty(F("9600,o,8,1"), F("9600,O,7,1")));
  EXPECT_FALSE(Same_On_A_Pty(F("9600,o,8,1"), F("9600,N,8,1")));
  EXPECT_FALSE(Same_On_A_Pty(F("9600,n,8,2"), F("9600,n,8,1")));
  EXPECT_FALSE(Same_On_A_Pty(F("9600,n,8,2"), F("19200,n,8,2")));
  EXPECT_FALSE(Same_On_A_Pty(F("1200,M,7,2"), F("1200,S,7,2")));
  EXPECT_FALSE(Same_On_A_Pty(F("1200,M,7,2"), F("1200,o,7,2")));
}

// The server on its own thread; the test is the program on the other end.
struct Serving {
  explicit Serving(const char* profile) : server(clock, *Find_Sim_Profile(profile)) {
    thread = std::thread([this] { server.Serve([this] { return stop.load(); }); });
  }
  ~Serving() { Stop(); }
  void Stop() {
    stop = true;
    if (thread.joinable()) thread.join();
  }
  Steady_Clock clock;
  Pty_Server server;
  std::atomic<bool> stop{false};
  std::thread thread;
};

// Everything that arrives within `seconds`.
std::string Collect(Port_Backend& port, double seconds) {
  std::string got;
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < end) {
    const std::size_t n = port.Bytes_Waiting();
    if (n > 0) got += port.Read(n);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return got;
}

TEST(Pty_Server, ServedTabletAnswersOnlyAtItsFramingAndSeesEachOpening) {
  Serving s("kv");
  ASSERT_EQ(s.server.Device_Path().rfind("/dev/pts/", 0), 0u) << s.server.Device_Path();
  Posix_Serial port(s.server.Device_Path());

  port.Open(F("9600,N,8,1"));  // the Type-5 framing: the KV tablet hears nothing
  port.Write("x");
  EXPECT_EQ(Collect(port, 0.2), "");
  port.Close();
  std::this_thread::sleep_for(std::chrono::milliseconds(50));

  port.Open(F("9600,o,8,1"));  // its own framing: "x" brings its identification
  port.Write("x");
  EXPECT_EQ(Collect(port, 0.2), "KV.#20");
  port.Close();
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  s.Stop();

  EXPECT_EQ(s.server.Openings(), 2);
  EXPECT_FALSE(s.server.Host_Open());
  EXPECT_EQ(s.server.Port().Heard(), "x");
}

// No modem lines on a pty: opened at the wake-up framing, the served tablet
// sees the wake-up's line sequence and answers "T" 0.7 s after the opening,
// after the wake-up has flushed its input (0.6 s) and before it reads
// (0.75 s).  At another framing the lines stay down: no answer.
TEST(Pty_Server, WakeUpFramingPlaysTheWakeUpLinesAndTheTabletAnswers) {
  Serving s("wake");
  Posix_Serial port(s.server.Device_Path());
  port.Open(F("9600,o,8,1"));
  EXPECT_EQ(Collect(port, 0.9), "");
  port.Close();
  std::this_thread::sleep_for(std::chrono::milliseconds(50));

  const auto opened = std::chrono::steady_clock::now();
  port.Open(F("9600,n,8,2"));
  double answered = -1;
  std::string got;
  while (std::chrono::steady_clock::now() - opened < std::chrono::seconds(2) && got.empty()) {
    if (const std::size_t n = port.Bytes_Waiting()) {
      got = port.Read(n);
      answered = std::chrono::duration<double>(std::chrono::steady_clock::now() - opened).count();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  EXPECT_EQ(got, "T");
  EXPECT_GT(answered, 0.60);
  EXPECT_LT(answered, 0.75);
  port.Close();
}

TEST(Pty_Server, BusyProfileHoldsThePortExclusivelyAndMissingOnesAreRefused) {
  Serving s("busy");
  Posix_Serial port(s.server.Device_Path());
  try {
    port.Open(F("1200,M,7,2"));
    FAIL() << "a held port opened";
  } catch (const Port_Error& e) {
    EXPECT_EQ(e.Kind(), Port_Error_Kind::In_Use);
    EXPECT_EQ(std::string(e.what()), s.server.Device_Path() + " is in use by another application");
  }
  s.Stop();

  Steady_Clock clock;
  Sim_Profile missing = *Find_Sim_Profile("empty");
  missing.name = "gone";
  missing.faults.missing = true;
  try {
    Pty_Server server(clock, missing);
    FAIL() << "a missing device was served";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), "the profile \"gone\" is a device that is not there: it cannot be served");
  }
}

}  // namespace
}  // namespace stylomat
