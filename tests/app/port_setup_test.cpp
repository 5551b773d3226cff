#include "app/port_setup.h"

#include <gtest/gtest.h>

#include "sim/profiles.h"

namespace stylomat {
namespace {

Port_Environment Env(std::string ports, std::string simulate, std::string clock = "",
                     std::vector<Os_Serial_Port> machine = {}) {
  Port_Environment env;
  env.ports = std::move(ports);
  env.simulate = std::move(simulate);
  env.clock = std::move(clock);
  env.list_ports = [machine] { return machine; };
  return env;
}

TEST(Port_Setup, MachinePortsFillComNumbersInListedOrder) {
  auto setup = Make_Port_Setup(Env("", "", "", {{"/dev/ttyUSB0", "Quillon QX-232 USB UART (1d6b:7a01)", true},
                                                {"/dev/ttyS0", "", false},
                                                {"/dev/ttyS1", "", false}}));
  ASSERT_TRUE(setup.error.empty()) << setup.error;
  ASSERT_NE(setup.directory.Find(1), nullptr);
  EXPECT_EQ(setup.directory.Find(1)->device, "/dev/ttyUSB0");
  EXPECT_EQ(setup.directory.Find(1)->description, "Quillon QX-232 USB UART (1d6b:7a01)");
  EXPECT_EQ(setup.directory.Find(3)->device, "/dev/ttyS1");
  EXPECT_EQ(setup.directory.Find(4), nullptr);
  EXPECT_FALSE(setup.clock->Is_Virtual());
}

TEST(Port_Setup, ExplicitMappingNoneAndSimulatedTablets) {
  auto setup = Make_Port_Setup(Env("2=/dev/ttyS5, COM4=/dev/serial/by-id/usb-x", "4=wake,7=empty"));
  ASSERT_TRUE(setup.error.empty()) << setup.error;
  EXPECT_EQ(setup.directory.Find(2)->device, "/dev/ttyS5");
  EXPECT_TRUE(setup.directory.Find(4)->simulated);  // the simulation replaces the real mapping
  EXPECT_TRUE(setup.directory.Find(7)->simulated);
  EXPECT_EQ(setup.simulated_coms, (std::vector<int>{4, 7}));
  EXPECT_EQ(Simulated_Ports_Note(setup.simulated_coms), "Simulated tablets on COM4, COM7");

  auto none = Make_Port_Setup(Env("none", "1=wake", "virtual", {{"/dev/ttyS0", "", false}}));
  ASSERT_TRUE(none.error.empty()) << none.error;
  EXPECT_TRUE(none.clock->Is_Virtual());
  EXPECT_FALSE(none.directory.Any_Real());
}

TEST(Port_Setup, BadEnvironmentIsRefusedWithAClearMessage) {
  const struct {
    Port_Environment env;
    std::string error;
  } cases[] = {
      {Env("9=/dev/ttyS0", ""),
       "STYLOMAT_PORTS: \"9=/dev/ttyS0\" is not of the form N=/dev/device with N from 1 to 8 (or use "
       "STYLOMAT_PORTS=none)"},
      {Env("none", "1=nosuchtablet"),
       "STYLOMAT_SIMULATE: unknown tablet profile \"nosuchtablet\". Known profiles: " + Sim_Profile_Names()},
      {Env("none", "garbage"), "STYLOMAT_SIMULATE: \"garbage\" is not of the form N=profile with N from 1 to 8"},
      {Env("none", "", "sundial"), "STYLOMAT_CLOCK must be \"virtual\" or \"steady\", not \"sundial\""},
      // A COM number given twice is a slip, never "the last one wins"; a
      // simulated tablet may still take over a real port's number.
      {Env("2=/dev/ttyS0,3=/dev/ttyS1,COM2=/dev/ttyUSB0", ""),
       "STYLOMAT_PORTS: COM2 is given twice (\"2=/dev/ttyS0\" and \"COM2=/dev/ttyUSB0\")"},
      {Env("none", "1=wake,4=kv,1=dovrane4"), "STYLOMAT_SIMULATE: COM1 is given twice (\"1=wake\" and \"1=dovrane4\")"},
      // The virtual clock with a real port would make real waits meaningless.
      {Env("1=/dev/ttyS0", "2=wake", "virtual"),
       "STYLOMAT_CLOCK=virtual works only with simulated tablets: real serial ports are mapped too. Set "
       "STYLOMAT_PORTS=none to use only the simulated ones."},
  };
  for (const auto& c : cases) EXPECT_EQ(Make_Port_Setup(c.env).error, c.error);
  EXPECT_EQ(Sim_Profile_Names().rfind("empty, busy, wake, mirolex2, ", 0), 0u);
}

}  // namespace
}  // namespace stylomat
