#include "platform/posix_serial.h"

#include <asm/termbits.h>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <ctime>
#include <thread>

#include "support/pty_pair.h"

namespace stylomat {
namespace {

using Pty = test::Pty_Pair;

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
  struct termios2 t {};
  ASSERT_EQ(::ioctl(pty.slave, TCGETS2, &t), 0);
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
      {"9600,E,7,2", CS7 | PARENB | CSTOPB},
      {"9600,o,8,1", CS8 | PARENB | PARODD},
      {"1200,M,7,2", CS7 | PARENB | PARODD | CMSPAR | CSTOPB},
      {"1200,s,7,1", CS7 | PARENB | CMSPAR},
      {"9600,N,8,1", CS8},
      {"9600,N,8,1.5", CS8 | CSTOPB},
  };
  // Every framing receives, ignores the carrier line, and drops DTR and
  // RTS when the last user closes the port (HUPCL).
  for (const auto& [framing, cflag] : cases) {
    EXPECT_EQ(Termios_Cflag(*Parse_Framing(framing)), cflag | CREAD | CLOCAL | HUPCL) << framing;
  }
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
  pty.Hang_Up();  // the adapter is pulled out
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

// Another program holds the port exclusively (TIOCEXCL).  Root may open
// such a port all the same: it must still count as in use, and its
// exclusivity must survive our attempt.  Our own exclusivity goes when we
// close.
TEST(Posix_Serial, PortHeldExclusivelyByAnotherProgramIsInUseAndStaysHeld) {
  Pty pty;
  ASSERT_FALSE(pty.path.empty());
  ASSERT_EQ(::ioctl(pty.slave, TIOCEXCL), 0);
  auto port = Make_Posix_Serial(pty.path);
  EXPECT_EQ(Error_Of([&] { port->Open(*Parse_Framing("1200,M,7,2")); }),
            Error(Port_Error_Kind::In_Use, "8010 " + pty.path + " is in use by another application"));
  EXPECT_FALSE(port->Is_Open());
  int exclusive = 0;
  ASSERT_EQ(::ioctl(pty.slave, TIOCGEXCL, &exclusive), 0);
  EXPECT_EQ(exclusive, 1);

  ASSERT_EQ(::ioctl(pty.slave, TIOCNXCL), 0);  // the other program lets go
  port->Open(*Parse_Framing("1200,M,7,2"));
  ASSERT_EQ(::ioctl(pty.slave, TIOCGEXCL, &exclusive), 0);
  EXPECT_EQ(exclusive, 1);  // now ours
  port->Close();
  ASSERT_EQ(::ioctl(pty.slave, TIOCGEXCL, &exclusive), 0);
  EXPECT_EQ(exclusive, 0);
}

// A console or another program's settings on the port are as they were
// once we close it.
TEST(Posix_Serial, TerminalSettingsAreRestoredWhenThePortCloses) {
  Pty pty;
  ASSERT_FALSE(pty.path.empty());
  struct termios2 before {};
  ASSERT_EQ(::ioctl(pty.slave, TCGETS2, &before), 0);
  before.c_iflag = ICRNL | IXON;
  before.c_oflag = OPOST | ONLCR;
  before.c_lflag = ISIG | ICANON | ECHO | ECHOE;
  before.c_cflag = (before.c_cflag & ~CBAUD) | BOTHER;
  before.c_ispeed = before.c_ospeed = 38400;
  before.c_cc[VMIN] = 1;
  ASSERT_EQ(::ioctl(pty.slave, TCSETS2, &before), 0);
  ASSERT_EQ(::ioctl(pty.slave, TCGETS2, &before), 0);  // as the pty keeps them

  auto port = Make_Posix_Serial(pty.path);
  port->Open(*Parse_Framing("1200,M,7,2"));
  struct termios2 during {};
  ASSERT_EQ(::ioctl(pty.slave, TCGETS2, &during), 0);
  EXPECT_EQ(during.c_ospeed, 1200u);
  EXPECT_EQ(during.c_lflag, 0u);
  EXPECT_TRUE(during.c_cflag & HUPCL);
  port->Close();

  struct termios2 after {};
  ASSERT_EQ(::ioctl(pty.slave, TCGETS2, &after), 0);
  EXPECT_EQ(after.c_iflag, before.c_iflag);
  EXPECT_EQ(after.c_oflag, before.c_oflag);
  EXPECT_EQ(after.c_cflag, before.c_cflag);
  EXPECT_EQ(after.c_lflag, before.c_lflag);
  EXPECT_EQ(after.c_ispeed, before.c_ispeed);
  EXPECT_EQ(after.c_ospeed, before.c_ospeed);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(after.c_cc), sizeof after.c_cc),
            std::string(reinterpret_cast<const char*>(before.c_cc), sizeof before.c_cc));
}

// The modem lines the port drives: raised on request, dropped when the
// port closes, as the serial control does.  A pty carries no lines, so the
// port's own record of them is what is seen here (TIOCMGET answers on a
// real port).
TEST(Posix_Serial, ClosingThePortDropsDtrAndRts) {
  Pty pty;
  ASSERT_FALSE(pty.path.empty());
  Posix_Serial port(pty.path);
  EXPECT_EQ(port.Modem_Lines(), 0);
  port.Open(*Parse_Framing("9600,n,8,2"));
  port.Set_DTR(true);
  EXPECT_EQ(port.Modem_Lines(), Posix_Serial::Line_DTR);
  port.Set_RTS(true);
  EXPECT_EQ(port.Modem_Lines(), Posix_Serial::Line_DTR | Posix_Serial::Line_RTS);
  port.Set_DTR(false);
  EXPECT_EQ(port.Modem_Lines(), Posix_Serial::Line_RTS);
  port.Set_DTR(true);
  port.Close();
  EXPECT_EQ(port.Modem_Lines(), 0);
  // Reopened, the lines stay down until they are asked for.
  port.Open(*Parse_Framing("9600,n,8,2"));
  EXPECT_EQ(port.Modem_Lines(), 0);
  port.Close();
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
