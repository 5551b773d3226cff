// The system's announcements of serial devices, through the libudev
// monitor the main window watches.
#include "platform/tty_monitor.h"

#include <poll.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace stylomat {
namespace {

TEST(Tty_Monitor, ReportsTheAnnouncementOfASerialDevice) {
#ifndef STYLOMAT_HAVE_LIBUDEV
  GTEST_SKIP() << "built without libudev: nothing is watched";
#endif
  auto watch = Make_Tty_Monitor();
  if (watch->Fd() < 0) GTEST_SKIP() << "no udev monitor can be made here (no netlink socket)";
  EXPECT_TRUE(watch->Take_Changes().empty());  // nothing waits, and it does not block

  // The announcement `udevadm trigger --action=change` would make for a
  // serial port: written to its uevent file, which only root may do.
  std::string name;
  for (const char* candidate : {"ttyS0", "ttyS1", "ttyUSB0", "ttyACM0"}) {
    if (std::filesystem::exists(std::string("/dev/") + candidate) &&
        std::filesystem::exists(std::string("/sys/class/tty/") + candidate + "/uevent")) {
      name = candidate;
      break;
    }
  }
  if (name.empty()) GTEST_SKIP() << "no serial port here to announce";
  {
    std::ofstream uevent("/sys/class/tty/" + name + "/uevent");
    uevent << "change\n";
    uevent.flush();
    if (!uevent) GTEST_SKIP() << "the announcement needs root and a writable /sys";
  }
  struct pollfd p {};
  p.fd = watch->Fd();
  p.events = POLLIN;
  ASSERT_EQ(::poll(&p, 1, 3000), 1) << "no announcement within 3 s";
  bool seen = false;
  for (const Tty_Change& c : watch->Take_Changes()) seen = seen || (c.action == "change" && c.device == "/dev/" + name);
  EXPECT_TRUE(seen);
  EXPECT_TRUE(watch->Take_Changes().empty());
}

}  // namespace
}  // namespace stylomat
