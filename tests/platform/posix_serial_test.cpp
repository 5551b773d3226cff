#include "platform/posix_serial.h"

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <ctime>
#include <thread>

namespace stylomat {
namespace {

// A pseudo-terminal pair: the program opens the slave by its path, the
// test plays the tablet on the master.
struct Pty {
  Pty() {
    char name[128] = {};
    if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) return;
    path = name;
    ::fcntl(master, F_SETFL, O_NONBLOCK);
  }
  ~Pty() {
    if (master >= 0) ::close(master);
    if (slave >= 0) ::close(slave);
  }
  std::string Read_Master() {
    std::string out;
    char buf[256];
    for (int i = 0; i < 50; ++i) {
      const ssize_t n = ::read(master, buf, sizeof buf);
      if (n > 0) out.append(buf, static_cast<std::size_t>(n));
      else if (!out.empty()) break;
      else std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return out;
  }
  int master = -1;
  int slave = -1;
  std::string path;
};

std::size_t Wait_For_Bytes(Port_Backend& port, std::size_t want) {
  for (int i = 0; i < 200; ++i) {
    const std::size_t n = port.Bytes_Waiting();
    if (n >= want) return n;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return port.Bytes_Waiting();
}

TEST(Posix_Serial, AppliesFramingAndMovesBytesBothWays) {
  Pty pty;
  ASSERT_FALSE(pty.path.empty());
  auto port = Make_Posix_Serial(pty.path);
  port->Open(*Parse_Framing("9600,E,7,2"));
  ASSERT_TRUE(port->Is_Open());

  // A pty keeps the raw mode (it forces eight bits and no parity itself,
  // so the framing bits are checked on the flags we apply, below).
  termios t{};
  ASSERT_EQ(::tcgetattr(pty.slave, &t), 0);
  EXPECT_FALSE(t.c_lflag & ICANON);
  EXPECT_FALSE(t.c_lflag & ECHO);
  EXPECT_FALSE(t.c_oflag & OPOST);

  // Raw bytes, including NUL, CR and bytes above 127, arrive unchanged.
  const std::string reply("\x00\r\x80\xffOK\n", 7);
  ASSERT_EQ(::write(pty.master, reply.data(), reply.size()), static_cast<ssize_t>(reply.size()));
  EXPECT_EQ(Wait_For_Bytes(*port, reply.size()), reply.size());
  EXPECT_EQ(port->Read(3), reply.substr(0, 3));
  EXPECT_EQ(port->Bytes_Waiting(), 4u);
  EXPECT_EQ(port->Read(100), reply.substr(3));

  port->Write(std::string("\x1b%__p\r", 6));
  EXPECT_EQ(pty.Read_Master(), std::string("\x1b%__p\r", 6));

  // Modem lines and breaks are not carried by a pty: no failure.
  EXPECT_NO_THROW(port->Set_DTR(true));
  EXPECT_NO_THROW(port->Set_RTS(false));
  EXPECT_NO_THROW(port->Set_Break(true));
  EXPECT_NO_THROW(port->Set_Break(false));
  EXPECT_EQ(port->Bytes_Unsent(), 0u);
  port->Close();
  EXPECT_FALSE(port->Is_Open());
}

TEST(Posix_Serial, FramingBecomesTermiosFlags) {
  const std::pair<const char*, unsigned> cases[] = {
      {"9600,E,7,2", CREAD | CLOCAL | CS7 | PARENB | CSTOPB},
      {"9600,o,8,1", CREAD | CLOCAL | CS8 | PARENB | PARODD},
      {"1200,M,7,2", CREAD | CLOCAL | CS7 | PARENB | PARODD | CMSPAR | CSTOPB},
      {"1200,s,7,1", CREAD | CLOCAL | CS7 | PARENB | CMSPAR},
      {"9600,N,8,1", CREAD | CLOCAL | CS8},
      {"9600,N,8,1.5", CREAD | CLOCAL | CS8 | CSTOPB},
  };
  for (const auto& [framing, cflag] : cases) EXPECT_EQ(Termios_Cflag(*Parse_Framing(framing)), cflag) << framing;
}

// The error a port operation raises: its kind, and its number and text.
using Error = std::pair<Port_Error_Kind, std::string>;
template <typename F>
Error Error_Of(F&& operation) {
  try {
    operation();
  } catch (const Port_Error& e) {
    return {e.Kind(), std::to_string(e.Number()) + " " + e.what()};
  }
  return {Port_Error_Kind::Other, "no error"};
}

TEST(Posix_Serial, SecondOpenerIsRefusedAsInUse) {
  Pty pty;
  ASSERT_FALSE(pty.path.empty());
  auto first = Make_Posix_Serial(pty.path);
  auto second = Make_Posix_Serial(pty.path);
  first->Open(*Parse_Framing("9600,n,8,1"));
  EXPECT_EQ(Error_Of([&] { second->Open(*Parse_Framing("9600,n,8,1")); }),
            Error(Port_Error_Kind::In_Use, "8010 " + pty.path + " is in use by another application"));
  first->Close();
  EXPECT_NO_THROW(second->Open(*Parse_Framing("9600,n,8,1")));
}

TEST(Posix_Serial, MissingDeviceNotATerminalAndUnplugAreReportedInWords) {
  auto missing = Make_Posix_Serial("/dev/ttyDOES_NOT_EXIST");
  EXPECT_EQ(Error_Of([&] { missing->Open(*Parse_Framing("9600,n,8,1")); }),
            Error(Port_Error_Kind::No_Such_Port, "8002 /dev/ttyDOES_NOT_EXIST does not exist"));
  auto not_a_tty = Make_Posix_Serial("/dev/null");
  EXPECT_EQ(Error_Of([&] { not_a_tty->Open(*Parse_Framing("9600,n,8,1")); }),
            Error(Port_Error_Kind::Other, "8020 /dev/null is not a serial device"));
  EXPECT_FALSE(not_a_tty->Is_Open());

  Pty pty;
  ASSERT_FALSE(pty.path.empty());
  auto port = Make_Posix_Serial(pty.path);
  port->Open(*Parse_Framing("9600,n,8,1"));
  ::close(pty.master);  // the adapter is pulled out
  pty.master = -1;
  ::close(pty.slave);
  pty.slave = -1;
  const Error unplugged(Port_Error_Kind::Io_Error, "57 input/output error on " + pty.path +
                                                       " (Input/output error); the adapter may have been unplugged");
  EXPECT_EQ(Error_Of([&] { (void)port->Bytes_Waiting(); }), unplugged);
  EXPECT_EQ(Error_Of([&] { port->Write("x"); }), unplugged);
  EXPECT_NO_THROW(port->Close());
}

double Cpu_Seconds() {
  timespec ts{};
  ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// poll() sleeps in the kernel: a quiet port costs no CPU while waited on,
// a byte wakes the waiter at once, an unplugged adapter is an I/O error.
TEST(Posix_Serial, WaitForInputSleepsUntilAByteComesOrTheTimeIsUp) {
  Pty pty;
  ASSERT_FALSE(pty.path.empty());
  auto port = Make_Posix_Serial(pty.path);
  port->Open(*Parse_Framing("9600,n,8,1"));
  Steady_Clock clock;

  const double cpu = Cpu_Seconds();
  double start = clock.Now();
  EXPECT_FALSE(port->Wait_For_Input(clock, 0.2));
  const double waited = clock.Now() - start;
  EXPECT_GE(waited, 0.2);
  EXPECT_LT(waited, 1.0);
  EXPECT_LT(Cpu_Seconds() - cpu, 0.05);

  std::thread tablet([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    (void)::write(pty.master, "Z", 1);
  });
  start = clock.Now();
  EXPECT_TRUE(port->Wait_For_Input(clock, 5.0));
  tablet.join();
  EXPECT_LT(clock.Now() - start, 2.0);
  EXPECT_EQ(port->Read(10), "Z");

  ::close(pty.master);
  pty.master = -1;
  ::close(pty.slave);
  pty.slave = -1;
  EXPECT_THROW((void)port->Wait_For_Input(clock, 1.0), Port_Error);
}

TEST(Port_Listing, NaturalOrder) {
  EXPECT_TRUE(Natural_Less("/dev/ttyS2", "/dev/ttyS10"));
  EXPECT_FALSE(Natural_Less("/dev/ttyS10", "/dev/ttyS2"));
  EXPECT_TRUE(Natural_Less("/dev/ttyS1", "/dev/ttyUSB0"));
  EXPECT_FALSE(Natural_Less("/dev/ttyS01", "/dev/ttyS1"));
  EXPECT_FALSE(Natural_Less("/dev/ttyS1", "/dev/ttyS1"));
}

}  // namespace
}  // namespace stylomat
