#pragma once
// Which device stands behind each of COM1..COM8, and which clock the waits
// run on.
//
//   STYLOMAT_PORTS     "none" (no real ports) or "1=/dev/ttyUSB0,3=/dev/ttyS1";
//                      default: the machine's serial ports, USB adapters first.
//   STYLOMAT_SIMULATE  "1=wake,3=dovrane4": simulated tablets on those COM
//                      numbers (they replace a real mapping).
//   STYLOMAT_CLOCK     "virtual": waits take no real time (only when every
//                      port in use is simulated).
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/posix_serial.h"
#include "platform/serial_port.h"

namespace stylomat {

struct Port_Setup {
  std::unique_ptr<Clock> clock;
  Port_Directory directory;
  std::vector<int> simulated_coms;  // in increasing order
  std::string error;                // non-empty: the environment is unusable
  // The real ports are the machine's list (STYLOMAT_PORTS not set): adapters
  // that come later take the free COM numbers.
  bool listed = false;
};

struct Port_Environment {
  std::string ports;     // STYLOMAT_PORTS
  std::string simulate;  // STYLOMAT_SIMULATE
  std::string clock;     // STYLOMAT_CLOCK
  // Lists the machine's ports; replaceable for tests.
  std::function<std::vector<Os_Serial_Port>()> list_ports = List_Serial_Ports;

  static Port_Environment From_Process();
};

Port_Setup Make_Port_Setup(const Port_Environment& env);

// The entry of a real serial device (the termios backend).
Port_Entry Real_Port_Entry(const std::string& device, const std::string& description);

// "Simulated tablets on COM1, COM3", or empty.
std::string Simulated_Ports_Note(const std::vector<int>& coms);

}  // namespace stylomat
