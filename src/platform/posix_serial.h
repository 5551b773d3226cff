#pragma once
// Real serial ports: a thin termios layer (any tty path works: /dev/ttyS0,
// /dev/ttyUSB0, /dev/serial/by-id/..., pseudo-terminals), and the list of
// the machine's serial ports with their USB descriptions.
//
// A port is treated as a careful serial tool treats it: a port another
// program holds (advisory lock or TIOCEXCL) is in use and stays as that
// program left it; the terminal settings found at opening come back at
// closing; DTR and RTS drop when the port closes.
#include <memory>
#include <string>
#include <vector>

#include "platform/serial_port.h"

namespace stylomat {

struct Saved_Terminal;  // the termios2 settings found at opening

class Posix_Serial final : public Port_Backend {
 public:
  // Bits of Modem_Lines().
  static constexpr int Line_DTR = 1;
  static constexpr int Line_RTS = 2;

  explicit Posix_Serial(std::string path);
  ~Posix_Serial() override;

  void Open(const Framing& framing) override;
  void Close() override;
  bool Is_Open() const override { return fd_ >= 0; }
  std::size_t Bytes_Waiting() override;
  // poll() on the descriptor: the kernel wakes the waiter when a byte comes;
  // a hang-up (unplugged adapter) is an I/O error.
  bool Wait_For_Input(Clock& clock, double max_seconds) override;
  std::string Read(std::size_t max_bytes) override;
  void Write(std::string_view bytes) override;
  std::size_t Bytes_Unsent() override;
  void Set_DTR(bool on) override { Modem_Line(Line_DTR, on); }
  void Set_RTS(bool on) override { Modem_Line(Line_RTS, on); }
  void Set_Break(bool on) override;

  // DTR and RTS (Line_DTR, Line_RTS) as this port drives them: raised on
  // request, all dropped when the port closes.  Kept here because a
  // pseudo-terminal carries no modem lines to read back.
  int Modem_Lines() const { return lines_; }

 private:
  [[noreturn]] void Throw_Open_Error(int err);
  [[noreturn]] void Throw_Io(int err);
  void Ignore_Unsupported(int err);
  void Check_Open();
  void Check_Alive();
  void Modem_Line(int bit, bool on);
  void Apply(const Framing& f);
  void Drain_Output(int fd);
  void Release(int fd);

  std::string path_;
  int fd_ = -1;
  int lines_ = 0;
  double seconds_per_character_ = 0.0;
  bool set_exclusive_ = false;  // TIOCEXCL is ours to clear
  std::unique_ptr<Saved_Terminal> saved_;
};

std::unique_ptr<Port_Backend> Make_Posix_Serial(const std::string& device_path);

// The termios control flags (data bits, stop bits, parity, mark and space
// as stick parity) for a framing, without the baud rate.  The port always
// receives (CREAD), ignores the carrier (CLOCAL) and drops its modem lines
// when its last user closes it (HUPCL).
unsigned Termios_Cflag(const Framing& f);

struct Os_Serial_Port {
  std::string device;       // "/dev/ttyUSB0"
  std::string description;  // "Quillon QX-232 USB UART (1d6b:7a01)"
  bool usb = false;         // USB or ACM adapter
};

// The machine's serial ports, USB and ACM adapters first, then the rest, each
// group in natural order (ttyS2 before ttyS10).
std::vector<Os_Serial_Port> List_Serial_Ports();

// "ttyS2" < "ttyS10".
bool Natural_Less(const std::string& a, const std::string& b);

}  // namespace stylomat
