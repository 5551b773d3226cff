#include "discovery/reset_tablet.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>

#include "serial/serial_link.h"
#include "support/sim_fixture.h"

namespace stylomat {
namespace {

using test::Recording_Device;
using test::Sim_Bench;

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
    start = b.clock.Now();
  }

  // Trace events after the port was opened, each with its time relative to
  // the start of the reset: {seconds, "TX 1B 25 56 52 0D"}.
  std::vector<std::pair<double, std::string>> Events() const {
    std::vector<std::pair<double, std::string>> out;
    for (const std::string& line : b.trace) {
      const double t = std::strtod(line.c_str(), nullptr) - start;
      const auto com = line.find(" COM1 ");
      out.emplace_back(t, com == std::string::npos ? line : line.substr(com + 6));
    }
    return out;
  }

  Sim_Bench b;
  Recording_Device* tablet = nullptr;
  Simulated_Port* port = nullptr;
  double start = 0;
};

void Expect_Events(const Reset_Bench& r, const std::vector<std::pair<double, std::string>>& expected) {
  const auto events = r.Events();
  ASSERT_EQ(events.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(events[i].second, expected[i].second) << i;
    EXPECT_NEAR(events[i].first, expected[i].first, 1e-6) << events[i].second;
  }
}

TEST(Reset_Tablet, SuperSetTabletGetsEscVrAfterTwoTicksThenPortClosesAndPauses) {
  Reset_Bench r;
  r.b.session.Debug_Mode = true;
  r.b.session.identity.SuperSet_Format = true;

  Reset_Tablet(r.b.session);

  Expect_Events(r, {{0.10, "TX 1B 25 56 52 0D"}, {0.15, "CLOSE"}});
  EXPECT_EQ(r.tablet->heard, "\x1b%VR\r");
  EXPECT_FALSE(r.b.session.port.PortOpen());
  EXPECT_NEAR(r.b.clock.Now() - r.start, 1.15, 1e-6);  // one tick after the command, then 1.0 s
  EXPECT_EQ(r.b.Log(), "\rReset Tablet:\rMensaro:\rSent: Esc%VR\r");
}

TEST(Reset_Tablet, KvTabletGetsOneNulByteForEitherKvFlag) {
  for (const bool alt : {false, true}) {
    Reset_Bench r;
    r.b.session.Debug_Mode = true;
    (alt ? r.b.session.identity.KV_Alt_Format : r.b.session.identity.KV_Format) = true;

    Reset_Tablet(r.b.session);

    Expect_Events(r, {{0.05, "TX 00"}, {0.10, "CLOSE"}});
    EXPECT_EQ(r.tablet->heard, std::string(1, '\0'));
    EXPECT_NEAR(r.b.clock.Now() - r.start, 1.10, 1e-6);
    EXPECT_EQ(r.b.Log(), "\rReset Tablet:\rZelta KV:\rSent: Null\r");
  }
}

TEST(Reset_Tablet, UiofTabletGetsEscZWithoutCarriageReturn) {
  Reset_Bench r;
  r.b.session.Debug_Mode = true;
  r.b.session.identity.UIOF_Format = true;

  Reset_Tablet(r.b.session);

  Expect_Events(r, {{0.05, "TX 1B 5A"}, {0.10, "CLOSE"}});
  EXPECT_EQ(r.tablet->heard, "\x1bZ");
  EXPECT_EQ(r.b.Log(), "\rReset Tablet:\rZelta UIOF:\rSent: EscZ\r");
}

TEST(Reset_Tablet, Type5TabletGetsCtrlAThenRSCrEscOneCharacterPerTick) {
  Reset_Bench r;
  r.b.session.Debug_Mode = true;
  r.b.session.identity.Type5_Format = true;

  Reset_Tablet(r.b.session);

  Expect_Events(r, {{0.00, "TX 01"},
                    {0.05, "TX 52"},
                    {0.10, "TX 53"},
                    {0.15, "TX 0D"},
                    {0.20, "TX 1B"},
                    {0.25, "CLOSE"}});
  EXPECT_EQ(r.tablet->heard, "\x01RS\r\x1b");
  EXPECT_NEAR(r.b.clock.Now() - r.start, 1.25, 1e-6);
  EXPECT_EQ(r.b.Log(), "\rReset Tablet:\rSent: Ctr-A\rSent: RS\rSent: Esc\r");
}

TEST(Reset_Tablet, SeveralFlagsRunTheirStepsInFixedOrder) {
  // Flags set in the reverse of the reset order still reset SuperSet first.
  Reset_Bench r;
  r.b.session.Debug_Mode = true;
  Tablet_Identity& id = r.b.session.identity;
  id.UIOF_Format = true;
  id.SuperSet_Format = true;

  Reset_Tablet(r.b.session);

  Expect_Events(r, {{0.10, "TX 1B 25 56 52 0D"}, {0.20, "TX 1B 5A"}, {0.25, "CLOSE"}});
  EXPECT_EQ(r.tablet->heard, "\x1b%VR\r\x1bZ");
  EXPECT_EQ(r.b.Log(), "\rReset Tablet:\rMensaro:\rSent: Esc%VR\rZelta UIOF:\rSent: EscZ\r");
}

TEST(Reset_Tablet, WithDebugOffOnlyTheHeaderIsLoggedButTheBytesAreTheSame) {
  Reset_Bench r;
  r.b.session.Debug_Mode = false;
  r.b.session.identity.KV_Format = true;
  r.b.session.identity.Type5_Format = true;

  Reset_Tablet(r.b.session);

  EXPECT_EQ(r.b.Log(), "\rReset Tablet:\r");
  EXPECT_EQ(r.tablet->heard, std::string("\0\x01RS\r\x1b", 6));
  EXPECT_FALSE(r.b.session.port.PortOpen());
}

TEST(Reset_Tablet, NoFormatFlagStillClosesThePortAndPauses) {
  Reset_Bench r;
  Reset_Tablet(r.b.session);
  Expect_Events(r, {{0.0, "CLOSE"}});
  EXPECT_TRUE(r.tablet->heard.empty());
  EXPECT_NEAR(r.b.clock.Now() - r.start, 1.0, 1e-6);
  EXPECT_EQ(r.b.Log(), "\rReset Tablet:\r");
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
  const double before = r.b.clock.Now();

  Reset_Tablet(r.b.session);

  EXPECT_EQ(r.b.Log(), "");
  EXPECT_TRUE(r.b.trace.empty());
  EXPECT_TRUE(r.tablet->heard.empty());
  EXPECT_EQ(r.b.clock.Now(), before);
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
  EXPECT_NEAR(r.b.clock.Now() - r.start, 1.10, 1e-6);  // two ticks, the failed send, then 1.0 s
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
  EXPECT_NEAR(r.Events().front().first, 0.15, 1e-6);
}

}  // namespace
}  // namespace stylomat
