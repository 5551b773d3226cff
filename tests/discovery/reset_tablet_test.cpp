#include "discovery/reset_tablet.h"

#include <gtest/gtest.h>

#include "serial/serial_link.h"
#include "support/sim_fixture.h"

namespace stylomat {
namespace {

using test::Recording_Device;
using test::Sim_Bench;
using Lines = std::vector<std::string>;

constexpr const char* Tablet_Framing = "9600,n,8,2";

// A session with a recording tablet on COM1, the port open at the tablet's
// framing and the wire trace cleared, so only the reset shows.
struct Reset_Bench {
  Reset_Bench() {
    auto device = std::make_unique<Recording_Device>(Tablet_Framing);
    tablet = device.get();
    port = &b.Attach(1, std::move(device));
    b.session.Port_Number = 1;
    Open_Port(b.session, Tablet_Framing);
    b.trace.clear();
    start = b.Now();
  }

  Sim_Bench b;
  Recording_Device* tablet = nullptr;
  Simulated_Port* port = nullptr;
  double start = 0;
};

using Flag = bool Tablet_Identity::*;

TEST(Reset_Tablet, EachFamilyGetsItsResetInFixedOrderThenThePortClosesAndPausesOneSecond) {
  struct Case {
    std::vector<Flag> flags;
    bool debug;
    Lines events;
    std::string heard;
    std::string log;
  };
  const std::vector<Case> cases = {
      {{&Tablet_Identity::SuperSet_Format}, true, {"0.100 TX 1B 25 56 52 0D", "0.150 CLOSE"}, "\x1b%VR\r",
       "\rReset Tablet:\rMensaro:\rSent: Esc%VR\r"},
      {{&Tablet_Identity::KV_Format}, true, {"0.050 TX 00", "0.100 CLOSE"}, std::string(1, '\0'),
       "\rReset Tablet:\rZelta KV:\rSent: Null\r"},
      {{&Tablet_Identity::KV_Alt_Format}, true, {"0.050 TX 00", "0.100 CLOSE"}, std::string(1, '\0'),
       "\rReset Tablet:\rZelta KV:\rSent: Null\r"},
      {{&Tablet_Identity::UIOF_Format}, true, {"0.050 TX 1B 5A", "0.100 CLOSE"}, "\x1bZ",
       "\rReset Tablet:\rZelta UIOF:\rSent: EscZ\r"},
      // Type-5: one character per tick.
      {{&Tablet_Identity::Type5_Format}, true,
       {"0.000 TX 01", "0.050 TX 52", "0.100 TX 53", "0.150 TX 0D", "0.200 TX 1B", "0.250 CLOSE"}, "\x01RS\r\x1b",
       "\rReset Tablet:\rSent: Ctr-A\rSent: RS\rSent: Esc\r"},
      // Flags set in the reverse of the reset order still reset SuperSet first.
      {{&Tablet_Identity::UIOF_Format, &Tablet_Identity::SuperSet_Format}, true,
       {"0.100 TX 1B 25 56 52 0D", "0.200 TX 1B 5A", "0.250 CLOSE"}, "\x1b%VR\r\x1bZ",
       "\rReset Tablet:\rMensaro:\rSent: Esc%VR\rZelta UIOF:\rSent: EscZ\r"},
      // With Debug_Mode off only the header is logged; the bytes are the same.
      {{&Tablet_Identity::Type5_Format, &Tablet_Identity::KV_Format}, false,
       {"0.050 TX 00", "0.100 TX 01", "0.150 TX 52", "0.200 TX 53", "0.250 TX 0D", "0.300 TX 1B", "0.350 CLOSE"},
       std::string("\0\x01RS\r\x1b", 6), "\rReset Tablet:\r"},
      {{}, true, {"0.000 CLOSE"}, "", "\rReset Tablet:\r"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.log);
    Reset_Bench r;
    r.b.session.Debug_Mode = c.debug;
    for (Flag f : c.flags) r.b.session.identity.*f = true;

    Reset_Tablet(r.b.session);

    EXPECT_EQ(r.b.Timed_Events(r.start), c.events);
    EXPECT_EQ(r.tablet->heard, c.heard);
    EXPECT_EQ(r.b.Log(), c.log);
    EXPECT_FALSE(r.b.session.port.PortOpen());
    EXPECT_NEAR(r.b.Now() - r.start, std::stod(c.events.back()) + 1.0, 1e-6);
  }
}

TEST(Reset_Tablet, ClosedPortDoesNothingAtAll) {
  Reset_Bench r;
  Close_Port(r.b.session);
  r.b.trace.clear();
  r.b.session.Debug_Mode = true;
  r.b.session.identity.SuperSet_Format = true;
  r.b.session.identity.Type5_Format = true;
  int refreshes = 0;
  r.b.front_end.log_refresh = [&] { ++refreshes; };
  const double before = r.b.Now();

  Reset_Tablet(r.b.session);

  EXPECT_EQ(r.b.Log(), "");
  EXPECT_TRUE(r.b.trace.empty());
  EXPECT_EQ(r.b.Now(), before);
  EXPECT_EQ(refreshes, 0);
}

TEST(Reset_Tablet, TabletThatVanishesIsReleasedWithoutAnError) {
  Reset_Bench r;
  r.port->Faults().vanish_at = r.start + 0.01;
  r.b.session.identity.SuperSet_Format = true;
  int refreshes = 0;
  r.b.front_end.log_refresh = [&] { ++refreshes; };

  EXPECT_NO_THROW(Reset_Tablet(r.b.session));

  EXPECT_FALSE(r.b.session.port.PortOpen());
  EXPECT_EQ(refreshes, 1);
  EXPECT_NEAR(r.b.Now() - r.start, 1.10, 1e-6);  // two ticks, the failed send, then 1.0 s
}

TEST(Reset_Main_State, HidesTheResultResetsTheTabletAndClearsFiveFormatFlags) {
  Reset_Bench r;
  Session& s = r.b.session;
  Tablet_Identity& id = s.identity;
  id.SuperSet_Format = id.KV_Format = id.KV_Alt_Format = id.UIOF_Format = id.Type5_Format = true;
  id.PnP_Format = true;
  s.main.Tbl.visible = s.main.Size_lb.visible = s.main.ErrorMsg.visible = true;
  s.main.Config_Tbl.visible = s.main.Reset_Tbl.visible = true;
  s.main.Grid_btn.enabled = true;
  s.reports.Grid_State = 3;

  Reset_Main_State(s);

  EXPECT_FALSE(id.SuperSet_Format || id.KV_Format || id.KV_Alt_Format || id.UIOF_Format || id.Type5_Format);
  EXPECT_TRUE(id.PnP_Format);
  EXPECT_FALSE(s.main.Tbl.visible || s.main.Size_lb.visible || s.main.ErrorMsg.visible);
  EXPECT_FALSE(s.main.Config_Tbl.visible || s.main.Reset_Tbl.visible);
  EXPECT_FALSE(s.main.Grid_btn.enabled);
  EXPECT_EQ(s.reports.Grid_State, 0);
  // The tablet was reset (a tick first) with every flag that was set.
  EXPECT_EQ(r.tablet->heard, std::string("\x1b%VR\r\0\x1bZ\x01RS\r\x1b", 13));
  EXPECT_FALSE(s.port.PortOpen());
  EXPECT_EQ(r.b.Timed_Events(r.start).front(), "0.150 TX 1B 25 56 52 0D");
}

// The reset closes the port, so the drain wait normally ends at once (a
// closed port has nothing left to send).  A command that window events ran
// during the reset's pause may have opened the port again: if that port
// never drains, the wait gives up after two seconds.
TEST(Reset_Main_State, APortThatNeverDrainsCannotHangTheProgram) {
  Reset_Bench r;
  r.port->Faults().never_drains = true;
  r.b.session.identity.SuperSet_Format = true;
  double reopened_at = -1;
  r.b.front_end.events = [&] {
    if (reopened_at >= 0) return;
    reopened_at = r.b.Now();
    Open_Port(r.b.session, Tablet_Framing);
  };

  Reset_Main_State(r.b.session);

  // One tick, the reset's three ticks, its 1.0 s pause, then the two
  // seconds the drain wait allows, in ticks.
  EXPECT_NEAR(reopened_at - r.start, 4 * Tick_Seconds, 1e-9);
  EXPECT_NEAR(r.b.Now() - r.start, 4 * Tick_Seconds + 1.0 + 2.0, 1e-6);
  EXPECT_EQ(r.b.Timed_Events(r.start), (Lines{"0.150 TX 1B 25 56 52 0D", "0.200 CLOSE", "0.200 OPEN 9600,n,8,2"}));
  EXPECT_TRUE(r.b.session.port.PortOpen());
  EXPECT_EQ(r.b.session.port.OutBufferCount(), 1);
  EXPECT_FALSE(r.b.session.identity.SuperSet_Format);

  // Without a reopening the wait ends at once: the closed port reports 0.
  Reset_Bench quiet;
  quiet.port->Faults().never_drains = true;
  quiet.b.session.identity.SuperSet_Format = true;
  Reset_Main_State(quiet.b.session);
  EXPECT_NEAR(quiet.b.Now() - quiet.start, 4 * Tick_Seconds + 1.0, 1e-6);
  EXPECT_EQ(quiet.b.session.port.OutBufferCount(), 0);
}

}  // namespace
}  // namespace stylomat
