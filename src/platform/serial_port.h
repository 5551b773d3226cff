#pragma once
// The serial control: one port, COM1..COM8, with the property model every
// tablet routine uses (CommPort, Settings, PortOpen, Handshaking, DTREnable,
// RTSEnable, Break, InputLen, InBufferCount, OutBufferCount, Input, Output).
//
// Replies are raw bytes held in std::string (octets 0..255).  The property
// object sits on top of a Port_Backend: a real tty (termios) or a simulated
// tablet.  Failures raise Port_Error; the tablet routines catch it and turn
// it into Search_Status -2 as their callers expect.
#include <array>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/clock.h"

namespace stylomat {

enum class Parity { None, Odd, Even, Mark, Space };

// A parsed settings string such as "9600,n,8,2".
struct Framing {
  int baud = 9600;
  Parity parity = Parity::None;
  int data_bits = 8;
  int stop_half_bits = 2;  // stop bits counted in halves: 2 = 1, 3 = 1.5, 4 = 2

  bool operator==(const Framing&) const = default;
  // Start + data + parity + stop bits of one character on the line.
  double Bits_Per_Character() const;
  double Seconds_Per_Character() const;
};

// Parity letters: n/N none, o/O odd, e/E even, m/M mark, s/S space.
// Returns nothing for any malformed text (never throws).
std::optional<Framing> Parse_Framing(std::string_view settings);
std::string Framing_Text(const Framing& f);  // canonical "9600,n,8,2"

enum class Port_Error_Kind {
  No_Such_Port,       // nothing is mapped to this COM number, or the device is gone
  Permission_Denied,  // the device exists but we may not open it (dialout group)
  In_Use,             // another program holds the port
  Bad_Settings,       // the settings string cannot be applied
  Io_Error,           // the device failed while open (unplugged adapter)
  Not_Open,           // the operation needs an open port
  Other,
};

class Port_Error : public std::runtime_error {
 public:
  Port_Error(Port_Error_Kind kind, const std::string& message)
      : std::runtime_error(message), kind_(kind) {}
  Port_Error_Kind Kind() const { return kind_; }
  // The serial control's error numbers: 57 device I/O error, 8002 invalid
  // port number, 8005 port already open, 8010 hardware not available,
  // 8012 device not open, 8015 could not set comm state.
  int Number() const;

 private:
  Port_Error_Kind kind_;
};

// What the property object needs from a device.  Implementations throw
// Port_Error.  Open receives the framing to apply; the port is opened
// exclusively.
class Port_Backend {
 public:
  virtual ~Port_Backend() = default;
  virtual void Open(const Framing& framing) = 0;
  virtual void Close() = 0;
  virtual bool Is_Open() const = 0;
  virtual std::size_t Bytes_Waiting() = 0;
  virtual std::string Read(std::size_t max_bytes) = 0;
  virtual void Write(std::string_view bytes) = 0;
  virtual std::size_t Bytes_Unsent() = 0;
  virtual void Set_DTR(bool on) = 0;
  virtual void Set_RTS(bool on) = 0;
  virtual void Set_Break(bool on) = 0;
  // Returns as soon as a byte waits (true) or when max_seconds have passed
  // on the clock (false).  This default looks at Bytes_Waiting every
  // Input_Poll_Seconds and sleeps on the clock in between; a backend that
  // can be woken by its device (poll() on a descriptor, a simulation that
  // knows its next event) does better.  Never spins.
  virtual bool Wait_For_Input(Clock& clock, double max_seconds);
  static constexpr double Input_Poll_Seconds = 0.002;
};

// What stands behind one COM number.
struct Port_Entry {
  std::string device;       // "/dev/ttyUSB0", or "simulated" for a simulated tablet
  std::string description;  // "Quillon QX-232 USB UART (1d6b:7a01)", or the profile
  bool simulated = false;
  std::unique_ptr<Port_Backend> backend;  // persists for the whole run
};

// COM1..COM8 and their devices.
class Port_Directory {
 public:
  static constexpr int First_Com = 1;
  static constexpr int Last_Com = 8;

  void Set(int com, Port_Entry entry);
  void Clear(int com);
  // nullptr when nothing is mapped to com (or com is out of 1..8).
  Port_Entry* Find(int com);
  const Port_Entry* Find(int com) const;
  bool Any_Real() const;
  bool Any_Simulated() const;

 private:
  std::array<Port_Entry, 9> entries_{};
  std::array<bool, 9> mapped_{};
};

// The wire trace: one line per event on a port,
//   "<seconds, 3 decimals> COM<n> <EVENT> [args]"
// EVENT is OPEN <settings>, OPENFAIL <settings> <reason>, CLOSE, TX <hex>,
// RX <hex>, DTR 0|1, RTS 0|1, BREAK 0|1 or HANGUP <reason>; hex bytes are
// upper-case pairs separated by single blanks.  An event is written once
// it has happened: a write that failed is no TX.  HANGUP is written once
// per opening, when the device first fails while open (an unplugged
// adapter).  Reasons have every byte outside printable ASCII as \xNN.  The
// format is an interface for scripts.
class Wire_Trace {
 public:
  using Sink = std::function<void(std::string_view line)>;
  Wire_Trace(Clock& clock, Sink sink) : clock_(clock), sink_(std::move(sink)) {}
  void Event(int com, std::string_view event, std::string_view args = {});
  // A line written by another trace, passed on as it is (the parallel
  // search gathers each port's lines and passes them on in port order).
  void Pass_Line(std::string_view line);
  static std::string Hex_Bytes(std::string_view bytes);

 private:
  Clock& clock_;
  Sink sink_;
};

class Serial_Port {
 public:
  Serial_Port(Port_Directory& directory, Clock& clock);
  ~Serial_Port();
  Serial_Port(const Serial_Port&) = delete;
  Serial_Port& operator=(const Serial_Port&) = delete;

  int CommPort() const { return comm_port_; }
  void Set_CommPort(int port);  // only while closed

  const std::string& Settings() const { return settings_; }
  void Set_Settings(std::string settings);  // only while closed; parsed when opened

  bool PortOpen() const { return open_; }
  // True opens CommPort at Settings (throws Port_Error); False closes.
  void Set_PortOpen(bool open);

  int Handshaking() const { return handshaking_; }
  void Set_Handshaking(int mode) { handshaking_ = mode; }

  bool DTREnable() const { return dtr_; }
  void Set_DTREnable(bool on);
  bool RTSEnable() const { return rts_; }
  void Set_RTSEnable(bool on);
  bool Break() const { return break_; }
  void Set_Break(bool on);

  int InputLen() const { return input_len_; }
  void Set_InputLen(int n) { input_len_ = n < 0 ? 0 : n; }

  // 0 on a closed port.
  int InBufferCount();
  int OutBufferCount();

  // Reads and removes up to InputLen waiting bytes (all when InputLen is 0).
  std::string Input();
  // Waits until a byte waits at the port (true) or max_seconds have passed
  // (false), without spinning: the idle passes of the grid test sleep here.
  // A closed port has nothing to wait for: it sleeps the whole time and
  // answers false.  A negative or undefined time waits not at all.  Throws
  // Port_Error when the device fails while waited on.
  bool Wait_For_Input(double max_seconds);
  // Queues the bytes for transmission.
  void Output(std::string_view bytes);

  Port_Directory& Directory() { return directory_; }
  void Set_Trace(Wire_Trace* trace) { trace_ = trace; }
  Wire_Trace* Current_Trace() const { return trace_; }

  // Why the port failed: the text of the first Port_Error it raised since
  // Clear_Failure (an opening that failed, a device that failed while
  // open); the first failure is the cause, later ones follow from it.
  // Empty when nothing failed.
  const std::string& First_Failure() const { return failure_; }
  void Clear_Failure() { failure_.clear(); }

  // Takes on another port's properties as they stand (CommPort, Settings,
  // Handshaking, the DTR, RTS and Break properties, InputLen, the first
  // failure), open or not; which device is open stays as it is.
  void Copy_Properties_From(const Serial_Port& other);
  // Takes over the device `from` has open, reached through this port's
  // own directory under the same COM number (the same device, which stays
  // open): this port, closed before, is open on it afterwards, and `from`
  // counts as closed without its device being told.  Nothing is traced:
  // nothing happens on the line.  Throws Port_Error (Not_Open) when this
  // port is open, `from` is not, or the device is not open.
  void Take_Open_Device(Serial_Port& from);

 private:
  void Trace(std::string_view event, std::string_view args = {});
  Port_Backend& Backend();  // throws Not_Open
  // Records a failure (and the hang-up line of the trace), then rethrows.
  [[noreturn]] void Failed(const Port_Error& e);

  Port_Directory& directory_;
  Clock& clock_;
  Wire_Trace* trace_ = nullptr;
  Port_Backend* backend_ = nullptr;  // the open device
  int comm_port_ = 1;
  std::string settings_ = "9600,n,8,1";
  bool open_ = false;
  int handshaking_ = 0;
  bool dtr_ = false;
  bool rts_ = false;
  bool break_ = false;
  int input_len_ = 0;
  bool hung_up_ = false;  // HANGUP was traced for this opening
  std::string failure_;
};

}  // namespace stylomat
