// Serial adapters coming and going while the program runs: pseudo-terminals
// play the adapters (their paths listed as the machine's ports), simulated
// tablets stay where they are.
#include "app/port_hotplug.h"

#include "app/port_setup.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "app/port_setup.h"
#include "discovery/port_search.h"
#include "serial/serial_link.h"
#include "support/pty_pair.h"
#include "support/sim_fixture.h"

namespace stylomat {
namespace {

using test::Log_Lines;
using test::Pty_Pair;
using test::Sim_Bench;
using Lines = std::vector<std::string>;

struct Hotplug_Bench {
  Hotplug_Bench() {
    b.Attach_Profile(1, "dovrane4");
    b.Attach_Profile(3, "empty");
    b.session.Port_Number = 0;
    Scan_Ports(b.session);
    follow.listed = true;
    follow.list_ports = [this] { return adapters; };
    mark = b.Log().size();
  }
  Lines New_Log() const { return Log_Lines(b.Log().substr(mark)); }

  Sim_Bench b;
  std::vector<Os_Serial_Port> adapters;
  Port_Follow follow;
  std::size_t mark = 0;
};

TEST(Follow_Port_Devices, AdapterPluggedInTakesTheLowestFreeComAndGoesAgainWhenPulled) {
  Hotplug_Bench h;
  Session& s = h.b.session;
  Pty_Pair first, second;
  ASSERT_FALSE(first.path.empty());
  ASSERT_FALSE(second.path.empty());

  h.adapters = {{first.path, "Quillon USB serial (1234:5678)", true}};
  EXPECT_TRUE(Follow_Port_Devices(s, h.follow));
  ASSERT_NE(s.ports.Find(2), nullptr);
  EXPECT_EQ(s.ports.Find(2)->device, first.path);
  EXPECT_TRUE(s.Com_Available[2]);
  EXPECT_TRUE(s.main.Com_Btn[2].visible);
  EXPECT_TRUE(s.main.Com_Btn[2].enabled);
  EXPECT_EQ(s.main.Com_Btn[2].device_text, first.path + ", Quillon USB serial (1234:5678)");
  EXPECT_EQ(h.New_Log(), Lines{"Com 2, Available"});

  // A second adapter takes COM4 (COM3 is a simulated tablet's); nothing
  // else changes.
  h.mark = h.b.Log().size();
  h.adapters.push_back({second.path, "", true});
  EXPECT_TRUE(Follow_Port_Devices(s, h.follow));
  EXPECT_EQ(s.ports.Find(4)->device, second.path);
  EXPECT_TRUE(s.ports.Find(3)->simulated);
  EXPECT_EQ(h.New_Log(), Lines{"Com 4, Available"});
  EXPECT_FALSE(Follow_Port_Devices(s, h.follow));  // nothing came or went

  // The first one is pulled: COM2 gives its number up, its icon goes.
  h.mark = h.b.Log().size();
  h.adapters.erase(h.adapters.begin());
  EXPECT_TRUE(Follow_Port_Devices(s, h.follow));
  EXPECT_EQ(s.ports.Find(2), nullptr);
  EXPECT_FALSE(s.Com_Available[2]);
  EXPECT_FALSE(s.main.Com_Btn[2].visible);
  EXPECT_EQ(s.ports.Find(4)->device, second.path);
  EXPECT_TRUE(s.ports.Find(1)->simulated);
  EXPECT_EQ(h.New_Log(), Lines{"Com 2, " + first.path + " is gone"});
}

TEST(Follow_Port_Devices, AdapterHeldByAnotherProgramShowsGreyedWithItsReason) {
  Hotplug_Bench h;
  Session& s = h.b.session;
  Pty_Pair held;
  ASSERT_FALSE(held.path.empty());
  ASSERT_EQ(::ioctl(held.slave, TIOCEXCL), 0);
  h.adapters = {{held.path, "", true}};
  EXPECT_TRUE(Follow_Port_Devices(s, h.follow));
  EXPECT_FALSE(s.Com_Available[2]);
  EXPECT_TRUE(s.main.Com_Btn[2].visible);
  EXPECT_FALSE(s.main.Com_Btn[2].enabled);
  EXPECT_EQ(s.main.Com_Btn[2].reason, held.path + " is in use by another application");
  EXPECT_TRUE(h.New_Log().empty());

  // Let go, it becomes available when the ports are looked at again.
  ASSERT_EQ(::ioctl(held.slave, TIOCNXCL), 0);
  EXPECT_TRUE(Follow_Port_Devices(s, h.follow));
  EXPECT_TRUE(s.main.Com_Btn[2].enabled);
  EXPECT_EQ(h.New_Log(), Lines{"Com 2, Available"});
}

// The tablet found on an adapter's port, the port left open as a search
// leaves it; then the adapter is pulled.
TEST(Follow_Port_Devices, AdapterOfThePortInUseGoingClosesThePortAndSaysWhy) {
  Hotplug_Bench h;
  Session& s = h.b.session;
  auto adapter = std::make_unique<Pty_Pair>();
  const std::string path = adapter->path;
  ASSERT_FALSE(path.empty());
  h.adapters = {{path, "", true}};
  Follow_Port_Devices(s, h.follow);
  s.Port_Number = 2;
  Open_Port(s, "9600,n,8,2");
  s.main.Tbl.visible = s.main.Config_Tbl.visible = true;
  h.mark = h.b.Log().size();
  h.b.trace.clear();

  adapter.reset();  // pulled: the pty is gone
  h.adapters.clear();
  EXPECT_TRUE(Follow_Port_Devices(s, h.follow));

  const std::string reason = "the adapter of COM2 (" + path + ") was unplugged";
  EXPECT_FALSE(s.port.PortOpen());
  EXPECT_EQ(s.main.ErrorMsg.text, Port_Error_Text() + "\r" + reason);
  EXPECT_TRUE(s.main.ErrorMsg.visible);
  EXPECT_FALSE(s.main.Tbl.visible || s.main.Config_Tbl.visible);
  EXPECT_EQ(s.ports.Find(2), nullptr);
  EXPECT_FALSE(s.main.Com_Btn[2].visible);
  EXPECT_EQ(h.New_Log(), (Lines{"Com 2, " + reason, "Com 2, " + path + " is gone"}));
  EXPECT_EQ(h.b.Trace_Events(), Lines{"COM2 CLOSE"});
}

// With STYLOMAT_PORTS the COM numbers stay; a port whose device comes back
// is offered again.
TEST(Follow_Port_Devices, ExplicitMappingKeepsItsNumbersAndLooksAtAvailabilityAgain) {
  Hotplug_Bench h;
  Session& s = h.b.session;
  h.follow.listed = false;
  const std::string path = "/dev/ttyStylomatNoSuchAdapter";
  s.ports.Set(5, Real_Port_Entry(path, ""));
  EXPECT_TRUE(Follow_Port_Devices(s, h.follow));
  EXPECT_NE(s.ports.Find(5), nullptr);
  EXPECT_FALSE(s.Com_Available[5]);
  EXPECT_FALSE(s.main.Com_Btn[5].visible);  // not there: no icon
  EXPECT_EQ(s.Com_Reason[5], path + " does not exist");
  EXPECT_TRUE(s.Com_Available[1]);  // the simulated tablet is left alone
}

}  // namespace
}  // namespace stylomat
