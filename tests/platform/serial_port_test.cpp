#include "platform/serial_port.h"

#include <gtest/gtest.h>

#include "sim/profiles.h"
#include "support/sim_fixture.h"

namespace stylomat {
namespace {

TEST(Parse_Framing, AcceptsTheFramingsInUseAndEveryParityLetter) {
  for (const char* text : {"1200,M,7,2", "9600,n,8,2", "19200,n,8,2", "9600,o,8,1", "9600,E,7,2", "9600,N,8,1",
                           "4800,s,7,1", "9600,S,8,1.5"}) {
    EXPECT_TRUE(Parse_Framing(text).has_value()) << text;
  }
  const auto f = Parse_Framing("1200,M,7,2");
  EXPECT_EQ(f->baud, 1200);
  EXPECT_EQ(f->parity, Parity::Mark);
  EXPECT_EQ(f->data_bits, 7);
  EXPECT_EQ(f->stop_half_bits, 4);
  EXPECT_DOUBLE_EQ(f->Bits_Per_Character(), 11.0);
  EXPECT_EQ(Parse_Framing("9600,o,8,1")->parity, Parity::Odd);
  EXPECT_EQ(Parse_Framing("9600,e,8,1")->parity, Parity::Even);
}

TEST(Parse_Framing, RejectsMalformedTextWithoutThrowing) {
  for (const char* text : {"", ",,,", "9600", "9600,n,8", "9600,n,8,2,1", "abc,n,8,2", "9600,x,8,2", "9600,n,9,2",
                           "9600,n,8,3", "-9600,n,8,2", "99999999999,n,8,2", "9600,nn,8,2", "9600,,8,2"}) {
    EXPECT_FALSE(Parse_Framing(text).has_value()) << text;
  }
}

TEST(Serial_Port, MalformedSettingsAreAnOpenFailureWithTraceReason) {
  test::Sim_Bench b;
  b.Attach(1, std::make_unique<Silent_Device>());
  b.session.port.Set_CommPort(1);
  b.session.port.Set_Settings("9600,q,8,1");
  EXPECT_THROW(b.session.port.Set_PortOpen(true), Port_Error);
  EXPECT_FALSE(b.session.port.PortOpen());
  EXPECT_EQ(b.trace,
            std::vector<std::string>{"0.000 COM1 OPENFAIL 9600,q,8,1 the settings \"9600,q,8,1\" are not valid"});
}

TEST(Serial_Port, ClosedPortCountsAreZeroAndIoNeedsAnOpenPort) {
  test::Sim_Bench b;
  EXPECT_EQ(b.session.port.OutBufferCount(), 0);
  EXPECT_EQ(b.session.port.InBufferCount(), 0);
  try {
    b.session.port.Output("x");
    FAIL();
  } catch (const Port_Error& e) {
    EXPECT_EQ(e.Kind(), Port_Error_Kind::Not_Open);
    EXPECT_EQ(e.Number(), 8012);
  }
}

// A device that fails while open: one HANGUP line with the reason, the
// failed write is no TX, later failures add nothing, and the port keeps the
// first failure as its reason.
TEST(Serial_Port, HangUpIsTracedOnceAndAFailedWriteIsNoTransmission) {
  test::Sim_Bench b;
  Sim_Faults faults;
  faults.vanish_at = 0.5;
  b.Attach(3, std::make_unique<Silent_Device>(), faults);
  Serial_Port& p = b.session.port;
  p.Set_CommPort(3);
  p.Set_Settings("9600,n,8,1");
  p.Set_PortOpen(true);
  p.Output("A");
  b.clock.Advance(0.5);
  EXPECT_THROW(p.Output("B\x1b"), Port_Error);
  EXPECT_THROW(p.Set_DTREnable(true), Port_Error);
  EXPECT_THROW((void)p.Input(), Port_Error);
  p.Set_PortOpen(false);
  const std::string why =
      "the serial device stopped responding (input/output error); the adapter may have been unplugged";
  EXPECT_EQ(b.trace, (std::vector<std::string>{"0.000 COM3 OPEN 9600,n,8,1", "0.000 COM3 TX 41",
                                               "0.500 COM3 HANGUP " + why, "0.500 COM3 CLOSE"}));
  EXPECT_EQ(p.First_Failure(), why);

  // Reopening fails for the device is gone; the first failure stays the
  // reason until it is cleared.
  EXPECT_THROW(p.Set_PortOpen(true), Port_Error);
  EXPECT_EQ(b.trace.back(), "0.500 COM3 OPENFAIL 9600,n,8,1 the serial device does not exist");
  EXPECT_EQ(p.First_Failure(), why);
  p.Clear_Failure();
  EXPECT_THROW(p.Set_PortOpen(true), Port_Error);
  EXPECT_EQ(p.First_Failure(), "the serial device does not exist");
}

// Answers every byte it hears with its text.
class Talker : public Sim_Device {
 public:
  explicit Talker(std::string text) : Sim_Device(*Parse_Framing("9600,n,8,1")), text_(std::move(text)) {}
  void On_Byte(Sim_Link& link, unsigned char) override { link.Send(text_); }

 private:
  std::string text_;
};

TEST(Serial_Port, InputLenLimitsOneReadAndLeavesTheRest) {
  test::Sim_Bench b;
  b.Attach(2, std::make_unique<Talker>("ABCDEFGH"));
  auto& p = b.session.port;
  p.Set_CommPort(2);
  p.Set_Settings("9600,n,8,1");
  p.Set_PortOpen(true);
  p.Output("?");
  b.clock.Advance(0.05);
  p.Set_InputLen(6);
  EXPECT_EQ(p.Input(), "ABCDEF");
  EXPECT_EQ(p.InBufferCount(), 2);
  p.Set_InputLen(0);
  EXPECT_EQ(p.Input(), "GH");
  EXPECT_EQ(p.Input(), "");
}

TEST(Wire_Trace, LineFormatIsStable) {
  Virtual_Clock clock(1.23456);
  std::vector<std::string> lines;
  Wire_Trace t(clock, [&](std::string_view l) { lines.emplace_back(l); });
  t.Event(3, "TX", Wire_Trace::Hex_Bytes(std::string("\x1b%\x00\xff", 4)));
  t.Event(3, "CLOSE");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "1.235 COM3 TX 1B 25 00 FF");
  EXPECT_EQ(lines[1], "1.235 COM3 CLOSE");
}

TEST(Simulated_Port, FaultsShapeTheRepliesAndVanishingIsAnIoError) {
  test::Sim_Bench b;
  auto& port = b.Attach(1, std::make_unique<Talker>("HELLO"));
  auto& p = b.session.port;
  p.Set_CommPort(1);
  p.Set_Settings("9600,n,8,1");
  p.Set_PortOpen(true);

  port.Faults().truncate_replies = 2;
  port.Faults().noise = "~";
  p.Output("?");
  b.clock.Advance(0.05);
  EXPECT_EQ(p.Input(), "~HE");

  port.Faults() = {};
  port.Faults().reply_delay = 0.2;
  p.Output("?");
  b.clock.Advance(0.05);
  EXPECT_EQ(p.InBufferCount(), 0);
  b.clock.Advance(0.2);
  EXPECT_EQ(p.Input(), "HELLO");

  port.Faults().drop_replies = true;
  p.Output("?");
  b.clock.Advance(0.05);
  EXPECT_EQ(p.InBufferCount(), 0);

  port.Faults().never_drains = true;
  EXPECT_EQ(p.OutBufferCount(), 1);

  port.Faults().vanish_at = b.Now();
  try {
    (void)p.InBufferCount();
    FAIL();
  } catch (const Port_Error& e) {
    EXPECT_EQ(e.Kind(), Port_Error_Kind::Io_Error);
    EXPECT_EQ(e.Number(), 57);
  }
  p.Set_PortOpen(false);  // closing a vanished device still works
  EXPECT_FALSE(p.PortOpen());
  EXPECT_THROW(p.Set_PortOpen(true), Port_Error);
}

// The simulation wakes the waiter at the exact moment a byte arrives, and
// sleeps the whole time when none does.
TEST(Simulated_Port, WaitForInputSleepsToTheNextByteOrTheLimitAndSeesTheDeviceVanish) {
  test::Sim_Bench b;
  auto& port = b.Attach(1, std::make_unique<Talker>("HI"));
  port.Faults().reply_delay = 0.2;
  auto& p = b.session.port;
  p.Set_CommPort(1);
  p.Set_Settings("9600,n,8,1");
  p.Set_PortOpen(true);
  const double start = b.Now();
  const double char_time = 10.0 / 9600.0;
  p.Output("?");
  EXPECT_TRUE(p.Wait_For_Input(1.0));
  EXPECT_NEAR(b.Now() - start, char_time + 0.2 + char_time, 1e-12);
  EXPECT_EQ(p.InBufferCount(), 1);
  EXPECT_TRUE(p.Wait_For_Input(1.0));  // a byte waits: at once
  EXPECT_NEAR(b.Now() - start, 0.2 + 2 * char_time, 1e-12);
  EXPECT_EQ(p.Input(), "H");
  EXPECT_TRUE(p.Wait_For_Input(1.0));
  EXPECT_NEAR(b.Now() - start, 0.2 + 3 * char_time, 1e-12);
  EXPECT_EQ(p.Input(), "I");

  const double quiet = b.Now();
  EXPECT_FALSE(p.Wait_For_Input(0.1));
  EXPECT_NEAR(b.Now() - quiet, 0.1, 1e-12);
  EXPECT_FALSE(p.Wait_For_Input(-1.0));
  EXPECT_NEAR(b.Now() - quiet, 0.1, 1e-12);

  port.Faults().vanish_at = b.Now() + 0.05;
  try {
    (void)p.Wait_For_Input(1.0);
    FAIL();
  } catch (const Port_Error& e) {
    EXPECT_EQ(e.Number(), 57);
  }
  EXPECT_NEAR(b.Now() - quiet, 0.15, 1e-12);

  // A closed port has nothing to wait for: the time passes, no failure.
  p.Set_PortOpen(false);
  EXPECT_FALSE(p.Wait_For_Input(0.25));
  EXPECT_NEAR(b.Now() - quiet, 0.4, 1e-12);
}

// A device that has a byte from a given moment on, and counts the looks.
struct Late_Byte final : Port_Backend {
  Late_Byte(Clock& clock, double arrives) : clock(clock), arrives(arrives) {}
  std::size_t Bytes_Waiting() override { return ++looks, clock.Now() >= arrives ? 1 : 0; }
  void Open(const Framing&) override {}
  void Close() override {}
  bool Is_Open() const override { return true; }
  std::string Read(std::size_t) override { return {}; }
  void Write(std::string_view) override {}
  std::size_t Bytes_Unsent() override { return 0; }
  void Set_DTR(bool) override {}
  void Set_RTS(bool) override {}
  void Set_Break(bool) override {}
  Clock& clock;
  double arrives;
  int looks = 0;
};

// Without a way to be woken, a backend looks every 2 ms and sleeps between.
TEST(Port_Backend, DefaultWaitLooksEveryPollSliceAndSleepsBetween) {
  Virtual_Clock clock;
  Late_Byte quiet(clock, 10.0);
  EXPECT_FALSE(quiet.Wait_For_Input(clock, 0.1));
  EXPECT_NEAR(clock.Now(), 0.1, 1e-9);
  EXPECT_EQ(quiet.looks, 51);  // at 0, 2, ... 98 ms and at 100 ms
  Late_Byte late(clock, 0.1305);
  EXPECT_TRUE(late.Wait_For_Input(clock, 0.1));
  EXPECT_NEAR(clock.Now(), 0.132, 1e-9);
}

}  // namespace
}  // namespace stylomat
