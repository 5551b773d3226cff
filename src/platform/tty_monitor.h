#pragma once
// Serial devices coming and going (a USB-serial adapter plugged in or
// pulled out), as the system announces them: a libudev monitor on the tty
// subsystem.  The window watches its descriptor and asks for the changes
// when it becomes readable; nothing here blocks or spins.
#include <memory>
#include <string>
#include <vector>

namespace stylomat {

struct Tty_Change {
  std::string action;  // "add", "remove", "change", ...
  std::string device;  // "/dev/ttyUSB0"
};

class Port_Watch {
 public:
  virtual ~Port_Watch() = default;
  // Becomes readable when changes wait; -1 when nothing can be watched.
  virtual int Fd() const = 0;
  // Every change waiting now (at most a few hundred); never blocks.
  virtual std::vector<Tty_Change> Take_Changes() = 0;
};

// Listens to udev's announcements when udev runs, otherwise to the
// kernel's.  Fd() is -1 when this build has no libudev or the monitor
// cannot be made (the window then only learns of ports at its scans).
std::unique_ptr<Port_Watch> Make_Tty_Monitor();

}  // namespace stylomat
