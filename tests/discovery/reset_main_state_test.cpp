#include <gtest/gtest.h>

#include "discovery/reset_tablet.h"
#include "serial/serial_link.h"
#include "sim/profiles.h"
#include "support/sim_fixture.h"

namespace stylomat {
namespace {

TEST(Reset_Main_State, APortThatNeverDrainsCannotHangTheProgram) {
  test::Sim_Bench b;
  auto& port = b.Attach(1, std::make_unique<Silent_Device>());
  port.Faults().never_drains = true;
  b.session.Port_Number = 1;
  Open_Port(b.session, "9600,n,8,2");
  b.session.identity.SuperSet_Format = true;
  const double start = b.Now();
  Reset_Main_State(b.session);
  // One tick, the reset's three ticks and its 1.0 s pause; the closed port
  // has nothing left to send.
  EXPECT_NEAR(b.Now() - start, 4 * Tick_Seconds + 1.0, 1e-6);
  EXPECT_FALSE(b.session.port.PortOpen());
  EXPECT_EQ(b.session.port.OutBufferCount(), 0);
  EXPECT_FALSE(b.session.identity.SuperSet_Format);
}

}  // namespace
}  // namespace stylomat
