#include "platform/tty_monitor.h"

#ifdef STYLOMAT_HAVE_LIBUDEV
#include <libudev.h>
#include <unistd.h>
#endif

namespace stylomat {

namespace {

#ifdef STYLOMAT_HAVE_LIBUDEV

class Udev_Tty_Monitor final : public Port_Watch {
 public:
  Udev_Tty_Monitor() {
    udev_ = udev_new();
    if (!udev_) return;
    // udev announces a device once its node and permissions are ready;
    // without a running udev only the kernel announces it.
    const char* source = ::access("/run/udev/control", F_OK) == 0 ? "udev" : "kernel";
    monitor_ = udev_monitor_new_from_netlink(udev_, source);
    if (!monitor_) return;
    if (udev_monitor_filter_add_match_subsystem_devtype(monitor_, "tty", nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor_) < 0) {
      udev_monitor_unref(monitor_);
      monitor_ = nullptr;
      return;
    }
    fd_ = udev_monitor_get_fd(monitor_);
  }

  ~Udev_Tty_Monitor() override {
    if (monitor_) udev_monitor_unref(monitor_);
    if (udev_) udev_unref(udev_);
  }

  int Fd() const override { return fd_; }

  std::vector<Tty_Change> Take_Changes() override {
    std::vector<Tty_Change> changes;
    if (!monitor_) return changes;
    // The monitor's socket is non-blocking: this ends when nothing waits.
    for (int i = 0; i < 256; ++i) {
      udev_device* device = udev_monitor_receive_device(monitor_);
      if (!device) break;
      const char* action = udev_device_get_action(device);
      const char* node = udev_device_get_devnode(device);
      if (action && node) changes.push_back({action, node});
      udev_device_unref(device);
    }
    return changes;
  }

 private:
  udev* udev_ = nullptr;
  udev_monitor* monitor_ = nullptr;
  int fd_ = -1;
};

#endif

// Without libudev: nothing to watch.
class No_Monitor final : public Port_Watch {
 public:
  int Fd() const override { return -1; }
  std::vector<Tty_Change> Take_Changes() override { return {}; }
};

}  // namespace

std::unique_ptr<Port_Watch> Make_Tty_Monitor() {
#ifdef STYLOMAT_HAVE_LIBUDEV
  auto monitor = std::make_unique<Udev_Tty_Monitor>();
  if (monitor->Fd() >= 0) return monitor;
#endif
  return std::make_unique<No_Monitor>();
}

}  // namespace stylomat
