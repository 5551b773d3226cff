#include "sim/pty_server.h"

#include <asm/termbits.h>  // struct termios2, TIOCPKT and its flags
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace stylomat {

namespace {

// Parity as a pty shows it: the kernel clears PARENB, so none and even
// look alike; odd and stick parity keep their flags.
enum class Shown_Parity { None_Or_Even, Odd, Mark, Space };

Shown_Parity Shown(Parity p) {
  switch (p) {
    case Parity::None:
    case Parity::Even: return Shown_Parity::None_Or_Even;
    case Parity::Odd: return Shown_Parity::Odd;
    case Parity::Mark: return Shown_Parity::Mark;
    case Parity::Space: return Shown_Parity::Space;
  }
  return Shown_Parity::None_Or_Even;
}

// The line sequences this program drives after opening at the wake-up and
// at the Plug-and-Play framing (Wiggle_Port and the enumeration).
struct Line_Change {
  double at;
  bool dtr;
  bool rts;
};
constexpr Line_Change Wake_Up_Lines[] = {
    {0.00, true, true},   {0.15, false, true}, {0.20, true, true}, {0.25, false, true}, {0.30, true, true},
    {0.35, false, true},  {0.40, true, true},  {0.45, false, true}, {0.50, true, true}, {0.55, false, true},
    {0.60, true, true},   {0.65, true, false}, {0.70, true, true},
};
constexpr Line_Change Enumeration_Lines[] = {
    {0.0, true, false}, {0.4, false, false}, {0.6, true, false},
    {0.8, true, true},  {1.0, false, false}, {1.2, true, true},
};

bool Is_Wake_Up_Framing(const Framing& f) {
  return f.baud == 9600 && f.stop_half_bits > 2 && Shown(f.parity) == Shown_Parity::None_Or_Even;
}

bool Is_Enumeration_Framing(const Framing& f) {
  return f.baud == 1200 && f.stop_half_bits > 2 && Shown(f.parity) == Shown_Parity::Mark;
}

// Makes the master of a new pty, raw, in packet mode, and returns the
// slave's path.  The slave starts raw so that nothing is ever echoed.
int Open_Master(std::string& path) {
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (master < 0) throw std::runtime_error(std::string("cannot make a pseudo-terminal: ") + std::strerror(errno));
  char name[128] = {};
  if (::grantpt(master) != 0 || ::unlockpt(master) != 0 || ::ptsname_r(master, name, sizeof name) != 0) {
    const int err = errno;
    ::close(master);
    throw std::runtime_error(std::string("cannot make a pseudo-terminal: ") + std::strerror(err));
  }
  path = name;
  const int slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (slave >= 0) {
    struct termios2 tio {};
    if (::ioctl(slave, TCGETS2, &tio) == 0) {
      tio.c_iflag = IGNBRK;
      tio.c_oflag = 0;
      tio.c_lflag = 0;
      tio.c_cflag = (tio.c_cflag & ~(CBAUD | CSIZE | PARENB)) | BOTHER | CS8 | CREAD | CLOCAL;
      tio.c_ispeed = tio.c_ospeed = 9600;
      (void)::ioctl(slave, TCSETS2, &tio);
    }
    ::close(slave);
  }
  int on = 1;
  if (::ioctl(master, TIOCPKT, &on) != 0) {
    const int err = errno;
    ::close(master);
    throw std::runtime_error(std::string("cannot watch the pseudo-terminal: ") + std::strerror(err));
  }
  return master;
}

}  // namespace

bool Same_On_A_Pty(const Framing& sent, const Framing& received) {
  return sent.baud == received.baud && (sent.stop_half_bits > 2) == (received.stop_half_bits > 2) &&
         Shown(sent.parity) == Shown(received.parity);
}

Pty_Server::Pty_Server(Clock& clock, const Sim_Profile& profile) : clock_(clock) {
  Sim_Faults faults = profile.faults;
  if (faults.missing || faults.vanish_at >= 0) {
    throw std::runtime_error("the profile \"" + profile.name + "\" is a device that is not there: it cannot be served");
  }
  const bool busy = faults.busy;
  // Faults of the port itself are the pty's business here: a held port is
  // held for real, and the program's output always drains.
  faults.busy = false;
  faults.never_drains = false;
  port_ = std::make_unique<Simulated_Port>(clock_, profile.make(), faults);
  port_->Set_Framing_Match(Same_On_A_Pty);
  master_ = Open_Master(path_);
  if (busy) {
    // Another program holds the port: it is open, exclusively.
    held_slave_ = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (held_slave_ < 0 || ::ioctl(held_slave_, TIOCEXCL) != 0) {
      throw std::runtime_error("cannot hold " + path_ + " exclusively: " + std::strerror(errno));
    }
  }
}

Pty_Server::~Pty_Server() {
  if (held_slave_ >= 0) ::close(held_slave_);
  if (master_ >= 0) ::close(master_);
}

Framing Pty_Server::Host_Framing() const {
  struct termios2 tio {};
  Framing f;  // 9600,n,8,2 when the settings cannot be read
  if (::ioctl(master_, TCGETS2, &tio) != 0) return f;
  if (tio.c_ospeed > 0 && tio.c_ospeed <= 4000000) f.baud = static_cast<int>(tio.c_ospeed);
  f.stop_half_bits = (tio.c_cflag & CSTOPB) ? 4 : 2;
  const bool odd = (tio.c_cflag & PARODD) != 0;
  const bool stick = (tio.c_cflag & CMSPAR) != 0;
  f.parity = stick ? (odd ? Parity::Mark : Parity::Space) : (odd ? Parity::Odd : Parity::None);
  f.data_bits = 8;
  return f;
}

void Pty_Server::Opened(bool flushed) {
  if (host_open_) Closed();  // closed and opened again between two looks
  host_open_ = true;
  // The program flushes once its settings are applied; an opening seen
  // only as the hang-up ending may come before them.
  framing_settled_ = flushed;
  ++openings_;
  host_framing_ = Host_Framing();
  port_->Open(host_framing_);
  opened_at_ = clock_.Now();
  script_.clear();
  script_next_ = 0;
  if (Is_Wake_Up_Framing(host_framing_)) {
    for (const Line_Change& c : Wake_Up_Lines) script_.push_back({c.at, c.dtr, c.rts});
  } else if (Is_Enumeration_Framing(host_framing_)) {
    for (const Line_Change& c : Enumeration_Lines) script_.push_back({c.at, c.dtr, c.rts});
  }
  Play_Lines();
}

void Pty_Server::Closed() {
  if (!host_open_) return;
  host_open_ = false;
  script_.clear();
  script_next_ = 0;
  port_->Close();  // the tablet sees the lines drop
}

void Pty_Server::Play_Lines() {
  const double now = clock_.Now();
  while (host_open_ && script_next_ < script_.size() && opened_at_ + script_[script_next_].at <= now) {
    const Line_Step& step = script_[script_next_++];
    port_->Set_DTR(step.dtr);
    port_->Set_RTS(step.rts);
  }
}

void Pty_Server::Host_Bytes(const char* bytes, std::size_t n) {
  if (!host_open_ || n == 0) return;
  // The settings are taken at the opening, never later: a program's
  // closing may restore other settings before its last bytes are read
  // here.  Only an opening seen before any flush takes them now.
  if (!framing_settled_) {
    framing_settled_ = true;
    const Framing now = Host_Framing();
    if (!(now == host_framing_)) {
      host_framing_ = now;
      port_->Open(host_framing_);
    }
  }
  port_->Write(std::string_view(bytes, n));
}

void Pty_Server::Forward_Answers() {
  if (!host_open_) {
    (void)port_->Bytes_Waiting();  // the simulation moves on; nothing arrives
    return;
  }
  const std::size_t waiting = port_->Bytes_Waiting();
  if (waiting == 0) return;
  const std::string answer = port_->Read(waiting);
  std::size_t sent = 0;
  // A full pty (nobody reads the port) loses what does not fit, as a
  // UART overruns.
  for (int tries = 0; sent < answer.size() && tries < 4; ++tries) {
    const ssize_t n = ::write(master_, answer.data() + sent, answer.size() - sent);
    if (n > 0) {
      sent += static_cast<std::size_t>(n);
    } else if (n < 0 && errno != EINTR) {
      break;
    }
  }
}

double Pty_Server::Next_Wake() const {
  double next = port_->Next_Event_Time();
  if (host_open_ && script_next_ < script_.size()) next = std::min(next, opened_at_ + script_[script_next_].at);
  return next;
}

void Pty_Server::Step(double max_wait) {
  if (max_wait < 0) max_wait = 0;
  if (held_slave_ >= 0) {
    // The port is held: nobody else can open it, nothing is served.
    ::usleep(static_cast<useconds_t>(std::min(max_wait, 0.1) * 1e6));
    return;
  }
  const double until_next = Next_Wake() - clock_.Now();
  double wait = std::min(max_wait, std::max(0.0, until_next));
  if (!host_open_) wait = std::min(wait, 0.01);  // a hang-up cannot be waited for

  struct pollfd p {};
  p.fd = master_;
  p.events = POLLIN;
  const int timeout_ms = static_cast<int>(std::ceil(wait * 1000.0));
  int ready = 0;
  if (host_open_) {
    ready = ::poll(&p, 1, timeout_ms);
  } else {
    // Closed, the master reports a hang-up at once: look, and sleep if
    // the port is still closed.
    ready = ::poll(&p, 1, 0);
    if (ready > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) && !(p.revents & POLLIN)) {
      if (timeout_ms > 0) ::usleep(static_cast<useconds_t>(timeout_ms) * 1000);
      ready = ::poll(&p, 1, 0);
    }
  }
  constexpr short Gone = POLLHUP | POLLERR | POLLNVAL;
  if (ready > 0) {
    // Bytes and flush notices first (in packet mode each read starts with
    // a status byte), a hang-up after them.  What is still left to read
    // once the port was seen closed belongs to no opening.
    for (int reads = 0; reads < 64 && (p.revents & POLLIN); ++reads) {
      char buf[4096];
      const ssize_t n = ::read(master_, buf, sizeof buf);
      if (n <= 0) break;
      const bool stale = !host_open_ && (p.revents & Gone);
      const unsigned char status = static_cast<unsigned char>(buf[0]);
      if (stale) {
        // dropped
      } else if (status == TIOCPKT_DATA) {
        if (!host_open_) Opened(false);  // a program that did not flush at opening
        Host_Bytes(buf + 1, static_cast<std::size_t>(n - 1));
      } else if (status & TIOCPKT_FLUSHREAD) {
        Opened(true);
      }
      struct pollfd again {};
      again.fd = master_;
      again.events = POLLIN;
      if (::poll(&again, 1, 0) <= 0) {
        p.revents = 0;
        break;
      }
      p.revents = again.revents;
    }
    if (p.revents & Gone) {
      Closed();
    } else if (!host_open_ && !(p.revents & POLLIN)) {
      Opened(false);  // the hang-up ended: someone opened the port without a flush
    }
  } else if (ready == 0 && !host_open_) {
    Opened(false);  // no hang-up any more
  }
  Play_Lines();
  Forward_Answers();
}

void Pty_Server::Serve(const std::function<bool()>& stop) {
  while (!stop()) Step(0.1);
}

}  // namespace stylomat
