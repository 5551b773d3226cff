#pragma once
// Serial adapters that come and go while the program runs.  When the
// system announces a change (platform/tty_monitor), the main window calls
// Follow_Port_Devices once no command runs: with the machine's list in use
// a new adapter takes the lowest free COM number and a vanished one gives
// its number up; every real port not in use is looked at again (its icon
// appears, greys or goes); the adapter of the port in use having gone, the
// port is closed and the message says so.  Simulated tablets are never
// touched.
#include <functional>
#include <vector>

#include "core/session.h"
#include "platform/posix_serial.h"

namespace stylomat {

struct Port_Follow {
  // COM numbers follow the machine's list (STYLOMAT_PORTS not set);
  // otherwise the mapping stays and only availability is looked at again.
  bool listed = true;
  std::function<std::vector<Os_Serial_Port>()> list_ports = List_Serial_Ports;
};

// The text below the port-error text when the port in use lost its device.
std::string Unplugged_Text(int com, const std::string& device);

// Returns whether anything the window shows changed.
bool Follow_Port_Devices(Session& s, const Port_Follow& follow);

}  // namespace stylomat
