#pragma once
// A simulated tablet served on a pseudo-terminal, so that the real termios
// backend (and any other program) can talk to it through a tty path:
//
//   stylomat-cli sim-serve dovrane4        prints /dev/pts/N and serves
//   STYLOMAT_PORTS=1=/dev/pts/N stylomat-cli search --port 1
//
// A pty carries bytes, and of the settings only the baud rate, the stop
// bits and the odd and stick parity flags (the kernel forces eight data
// bits and clears the parity-enable flag).  It carries no modem lines, no
// breaks and no parity bits.  So the served tablet:
// - hears a character when the baud rate, the stop bits (one, or more) and
//   the parity as far as the pty shows it (none and even look alike) match
//   its own framing, and its answers reach the program under the same rule;
// - takes the program's opening of the port from the flush this program's
//   backend (and most serial programs) makes as it opens, or from the
//   pty's hang-up ending; the closing from the hang-up;
// - since it cannot see DTR and RTS, assumes the line sequence this
//   program drives at the framing it opened: at the wake-up framing
//   (9600 baud, two stop bits, no odd or stick parity) the wake-up's
//   pulses of DTR and drop and rise of RTS (so a SuperSet-family tablet
//   answers "T" 0.7 s after the opening), at the Plug-and-Play framing
//   (1200 baud, mark parity, two stop bits) the enumeration's pattern (a
//   Plug-and-Play identifier 0.8 s after the opening); at any other framing
//   the lines stay down.  Closing drops them;
// - never sees a break.
// Served faithfully therefore: the KV, UIOF and Type-5 tablets (bytes
// only), the SuperSet family and the Plug-and-Play tablet as this program
// talks to them; "busy" holds the port exclusively (TIOCEXCL).  Not
// served: a tablet that needs a break to leave a state (kv16 back from UIOF
// reporting), a device that is missing.
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "sim/profiles.h"

namespace stylomat {

// Whether a character sent at `sent` is understood at `received` on a
// pseudo-terminal: same baud rate, same stop bits (one, or more), same
// parity as far as the pty shows it (none and even look alike; data bits
// are not seen).
bool Same_On_A_Pty(const Framing& sent, const Framing& received);

class Pty_Server {
 public:
  // Makes the pty and the tablet; throws std::runtime_error when the pty
  // cannot be made or the profile cannot be served.
  Pty_Server(Clock& clock, const Sim_Profile& profile);
  ~Pty_Server();
  Pty_Server(const Pty_Server&) = delete;
  Pty_Server& operator=(const Pty_Server&) = delete;

  // The slave's path, for the program that talks to the tablet.
  const std::string& Device_Path() const { return path_; }

  // Handles whatever happened on the pty and in the simulation, waiting at
  // most `max_wait` seconds for something to happen.  Never spins: while
  // the port is closed it looks again every 10 ms.
  void Step(double max_wait);
  // Steps until `stop` answers true (asked at least every 0.1 s).
  void Serve(const std::function<bool()>& stop);

  bool Host_Open() const { return host_open_; }
  // How often the program opened the port, as far as the server saw.
  int Openings() const { return openings_; }
  Simulated_Port& Port() { return *port_; }

 private:
  struct Line_Step {
    double at;  // seconds after the opening
    bool dtr;
    bool rts;
  };
  void Opened(bool flushed);
  void Closed();
  void Host_Bytes(const char* bytes, std::size_t n);
  Framing Host_Framing() const;
  void Play_Lines();
  void Forward_Answers();
  double Next_Wake() const;

  Clock& clock_;
  std::unique_ptr<Simulated_Port> port_;
  std::string path_;
  int master_ = -1;
  int held_slave_ = -1;  // the server's own slave while it holds the port ("busy")
  bool host_open_ = false;
  int openings_ = 0;
  Framing host_framing_;
  bool framing_settled_ = false;
  double opened_at_ = 0.0;
  std::vector<Line_Step> script_;
  std::size_t script_next_ = 0;
};

}  // namespace stylomat
