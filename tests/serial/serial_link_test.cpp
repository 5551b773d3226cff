#include "serial/serial_link.h"

#include <gtest/gtest.h>

#include <limits>

#include "sim/profiles.h"
#include "sim/superset_tablet.h"
#include "support/sim_fixture.h"

namespace stylomat {
namespace {

using test::Sim_Bench;

// A device that answers a fixed text whenever it sees a byte; for framing tests.
class Echo_Once : public Sim_Device {
 public:
  Echo_Once(const std::string& framing, std::string reply) : Sim_Device(*Parse_Framing(framing)), reply_(std::move(reply)) {}
  void On_Byte(Sim_Link& link, unsigned char) override { link.Send(reply_); }

 private:
  std::string reply_;
};

TEST(Scan_Ports, TriesOneToEightInOrderAndLogsAvailablePortsWithDebugOff) {
  Sim_Bench b;
  b.Attach(2, std::make_unique<Silent_Device>());
  b.Attach_Missing(3);
  Sim_Faults busy;
  busy.busy = true;
  b.Attach(4, std::make_unique<Silent_Device>(), busy);
  b.Attach_Profile(7, "wake");
  b.session.Debug_Mode = false;
  b.session.Port_Number = 0;

  Scan_Ports(b.session);

  EXPECT_EQ(b.session.Port_Number, 0);
  EXPECT_EQ(b.Log(), "Com 2, Available\rCom 7, Available\r");
  for (int n = 1; n <= 8; ++n) {
    const bool expected = n == 2 || n == 7;
    EXPECT_EQ(b.session.Com_Available[n], expected) << n;
    // The held port keeps a greyed icon that says why; the missing one and
    // the unassigned ones have none.
    const Port_Icon_State& icon = b.session.main.Com_Btn[n];
    EXPECT_EQ(icon.visible, expected || n == 4) << n;
    EXPECT_EQ(icon.enabled, expected) << n;
    EXPECT_EQ(icon.reason, n == 4 ? "the port is in use by another application" : "") << n;
    EXPECT_EQ(b.session.Com_Reason[n], n == 3   ? "the serial device does not exist"
                                       : n == 4 ? "the port is in use by another application"
                                                : "")
        << n;
    EXPECT_EQ(b.session.Com_Present[n], n == 4) << n;
  }
  // Ports are tried in order 0 (idle), 1..8, 9; each opened one at once closed.
  const std::string unassigned = " OPENFAIL 1200,M,7,2 no serial device is assigned to COM";
  EXPECT_EQ(b.Trace_Events(),
            (std::vector<std::string>{"COM0" + unassigned + "0", "COM1" + unassigned + "1", "COM2 OPEN 1200,M,7,2",
                                      "COM2 CLOSE", "COM3 OPENFAIL 1200,M,7,2 the serial device does not exist",
                                      "COM4 OPENFAIL 1200,M,7,2 the port is in use by another application",
                                      "COM5" + unassigned + "5", "COM6" + unassigned + "6", "COM7 OPEN 1200,M,7,2",
                                      "COM7 CLOSE", "COM8" + unassigned + "8", "COM9" + unassigned + "9"}));
  EXPECT_FALSE(b.session.port.PortOpen());
  EXPECT_EQ(b.session.port.Settings(), "1200,M,7,2");
}

TEST(Scan_Ports, StartsAtPortNumberAndHidesPortsThatVanished) {
  Sim_Bench b;
  b.Attach(5, std::make_unique<Silent_Device>());
  b.Attach(6, std::make_unique<Silent_Device>());
  b.session.Port_Number = 0;
  Scan_Ports(b.session);
  EXPECT_TRUE(b.session.Com_Available[5]);
  b.ports.Find(5)->backend = nullptr;  // adapter gone
  b.session.Port_Number = 5;
  Scan_Ports(b.session);
  EXPECT_FALSE(b.session.Com_Available[5]);
  EXPECT_FALSE(b.session.main.Com_Btn[5].visible);
  EXPECT_TRUE(b.session.Com_Available[6]);
  EXPECT_EQ(b.session.Port_Number, 0);
}

TEST(Wiggle_Port, WakesTabletWithExactLineSequenceAndReadsSettings) {
  Sim_Bench b;
  auto& port = b.Attach_Profile(1, "wake");
  b.session.Port_Number = 1;
  b.session.Debug_Mode = true;
  const double start = b.Now();

  Wiggle_Port(b.session);

  EXPECT_EQ(b.session.Search_Status, 0);
  EXPECT_TRUE(b.session.identity.SuperSet_Format);
  EXPECT_EQ(b.session.identity.Settings_Reply, "43,49,46,61,06,10,80\r\n");
  EXPECT_EQ(b.session.main.CommPort.text, "1");
  // Two ticks after opening, ten for the pulses, one after the flush, two
  // around the RTS drop, one after the query and one at the end.
  EXPECT_NEAR(b.Now() - start, 17 * Tick_Seconds, 1e-6);
  EXPECT_EQ(b.Log(), "\rWiggle: \rFraming: 9600,n,8,2\rSent: Esc%__S\r");
  EXPECT_EQ(port.Heard(), "\x1b%__S\r");
  // RTS and DTR raised, two ticks, five DTR pulses a tick apart, DTR
  // raised, the flush, RTS dropped for a tick; the "T" read, the query.
  EXPECT_EQ(b.Timed_Events(start),
            (std::vector<std::string>{
                "0.000 OPEN 9600,n,8,2", "0.000 RTS 1", "0.000 DTR 1", "0.100 DTR 1", "0.150 DTR 0", "0.200 DTR 1",
                "0.250 DTR 0", "0.300 DTR 1", "0.350 DTR 0", "0.400 DTR 1", "0.450 DTR 0", "0.500 DTR 1",
                "0.550 DTR 0", "0.600 DTR 1", "0.650 RTS 0", "0.700 RTS 1", "0.750 RX 54", "0.750 TX 1B 25 5F 5F 53 0D",
                "0.800 RX 34 33 2C 34 39 2C 34 36 2C 36 31 2C 30 36 2C 31 30 2C 38 30 0D 0A"}));
}

class T_Among_Others : public Sim_Device {
 public:
  T_Among_Others() : Sim_Device(*Parse_Framing("9600,n,8,2")) {}
  void On_Lines(Sim_Link& link, bool, bool rts) override {
    if (rts && !last_rts_ && seen_drop_) link.Send("xxTyy");
    if (!rts && last_rts_) seen_drop_ = true;
    last_rts_ = rts;
  }
  bool last_rts_ = false;
  bool seen_drop_ = false;
};

TEST(Wiggle_Port, TAnywhereAmongWaitingCharactersCountsAndAllAreConsumed) {
  Sim_Bench b;
  b.Attach(3, std::make_unique<T_Among_Others>());
  b.session.Port_Number = 3;
  Wiggle_Port(b.session);
  EXPECT_EQ(b.session.Search_Status, 0);
  // Read one character at a time, then nothing answers the settings query.
  EXPECT_EQ(b.Trace_Of("RX"), (std::vector<std::string>{"RX 78", "RX 78", "RX 54", "RX 79", "RX 79"}));
  EXPECT_EQ(b.session.port.InBufferCount(), 0);
}

TEST(Wiggle_Port, BusyMissingOrVanishingPortGivesMinusTwo) {
  Sim_Bench b;
  Sim_Faults busy;
  busy.busy = true;
  b.Attach(4, std::make_unique<Silent_Device>(), busy);
  b.Attach_Profile(1, "wake").Faults().vanish_at = 0.3;  // in the middle of the pulses
  for (const int com : {1, 4, 6}) {  // COM6: nothing mapped at all
    b.session.Search_Status = 0;
    b.session.Port_Number = com;
    Wiggle_Port(b.session);
    EXPECT_EQ(b.session.Search_Status, -2) << com;
  }
}

TEST(Open_Config_Port, AddsOneTickAfterAnAnswer) {
  Sim_Bench b;
  b.Attach_Profile(1, "wake");
  b.session.Port_Number = 1;
  int refreshes = 0;
  b.front_end.log_refresh = [&] { ++refreshes; };
  const double start = b.Now();
  Open_Config_Port(b.session);
  EXPECT_EQ(b.session.Search_Status, 0);
  EXPECT_NEAR(b.Now() - start, 18 * Tick_Seconds, 1e-6);
  EXPECT_EQ(refreshes, 2);
}

TEST(Command_Exchange, SendAndReadLogOnlyInDebugModeAndTheFlushKeepsInputLen) {
  for (bool debug : {false, true}) {
    Sim_Bench b;
    b.Attach(1, std::make_unique<Echo_Once>("9600,n,8,2", "AB\rC"));
    b.session.Port_Number = 1;
    b.session.Debug_Mode = debug;
    Open_Port(b.session, "9600,n,8,2");
    EXPECT_FALSE(Read_Reply(b.session).has_value());
    Send_Command(b.session, Esc_Command("%__p"), "Esc%__p");
    Wait_Tick(b.session);
    const auto reply = Read_Reply(b.session);
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(*reply, std::string("AB\rCAB\rCAB\rCAB\rCAB\rCAB\rC"));  // one answer per byte heard
    EXPECT_EQ(b.Log(), debug ? "Sent: Esc%__p\rFrom Tablet: " + *reply + "\r" : std::string());
    EXPECT_EQ(b.Trace_Of("TX"), std::vector<std::string>{"TX 1B 25 5F 5F 70 0D"});

    b.session.port.Output("x");
    Wait_Tick(b.session);
    ASSERT_EQ(b.session.port.InBufferCount(), 4);
    b.session.port.Set_InputLen(1);
    Flush_Input(b.session);
    EXPECT_EQ(b.session.port.InputLen(), 1);
    EXPECT_EQ(b.session.port.InBufferCount(), 0);
  }
}

TEST(Framing, DeviceHearsNothingAtAnotherFramingAndRepliesTakeLineTime) {
  Sim_Bench b;
  auto& port = b.Attach(1, std::make_unique<Echo_Once>("9600,E,7,2", "0123456789"));
  b.session.Port_Number = 1;
  Open_Port(b.session, "9600,n,8,1");
  b.session.port.Output("a");
  Wait_Tick(b.session);
  EXPECT_EQ(port.Heard(), "");
  EXPECT_EQ(b.session.port.InBufferCount(), 0);

  Open_Port(b.session, "9600,e,7,2");
  b.session.port.Output("a");
  // One character of 11 bits out, ten back: about 12 ms in all at 9600 baud.
  const double t0 = b.Now();
  b.clock.Sleep_Until(t0 + 0.005);
  EXPECT_LT(b.session.port.InBufferCount(), 10);
  b.clock.Sleep_Until(t0 + 11 * 11.0 / 9600 + 1e-6);
  EXPECT_EQ(b.session.port.InBufferCount(), 10);
  EXPECT_EQ(port.Heard(), "a");
}

TEST(Pause_Seconds, RunsWindowEventsAndLastsItsLength) {
  Sim_Bench b;
  int events = 0;
  b.front_end.events = [&] { ++events; };
  const double start = b.Now();
  Pause_Seconds(b.session, 0.4);
  EXPECT_NEAR(b.Now() - start, 0.4, 1e-9);
  EXPECT_EQ(events, 41);  // before each 10 ms slice and once at the end
  events = 0;
  Wait_Tick(b.session);
  EXPECT_EQ(events, 0);
  // A nonsensical length ends at once instead of waiting for ever.
  const double before = b.Now();
  Pause_Seconds(b.session, std::numeric_limits<double>::quiet_NaN());
  Pause_Seconds(b.session, -3);
  Wait_Until(b.session, std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(b.Now(), before);
}

}  // namespace
}  // namespace stylomat
