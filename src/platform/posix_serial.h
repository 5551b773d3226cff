#pragma once
// Real serial ports: a thin termios layer (any tty path works: /dev/ttyS0,
// /dev/ttyUSB0, /dev/serial/by-id/..., pseudo-terminals), and the list of
// the machine's serial ports with their USB descriptions.
#include <memory>
#include <string>
#include <vector>

#include "platform/serial_port.h"

namespace stylomat {

std::unique_ptr<Port_Backend> Make_Posix_Serial(const std::string& device_path);

// The termios control flags (data bits, stop bits, parity, mark and space
// as stick parity) for a framing, without the baud rate.
unsigned Termios_Cflag(const Framing& f);

struct Os_Serial_Port {
  std::string device;       // "/dev/ttyUSB0"
  std::string description;  // "FTDI FT232R USB UART (0403:6001)"
  bool usb = false;         // USB or ACM adapter
};

// The machine's serial ports, USB and ACM adapters first, then the rest, each
// group in natural order (ttyS2 before ttyS10).
std::vector<Os_Serial_Port> List_Serial_Ports();

// "ttyS2" < "ttyS10".
bool Natural_Less(const std::string& a, const std::string& b);

}  // namespace stylomat
