#include "platform/posix_serial.h"

#include <asm/termbits.h>  // struct termios2, BOTHER: any baud rate
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <system_error>

namespace stylomat {

namespace {

// Ports are searched on several threads at once: the text comes from
// strerror_r, never from strerror's shared buffer.
std::string Errno_Text(int err) { return std::generic_category().message(err); }

int Tiocm_Bits(int lines) {
  int bits = 0;
  if (lines & Posix_Serial::Line_DTR) bits |= TIOCM_DTR;
  if (lines & Posix_Serial::Line_RTS) bits |= TIOCM_RTS;
  return bits;
}

}  // namespace

struct Saved_Terminal {
  struct termios2 settings {};
};

Posix_Serial::Posix_Serial(std::string path) : path_(std::move(path)) {}

Posix_Serial::~Posix_Serial() { Close(); }

void Posix_Serial::Open(const Framing& framing) {
  Close();
  const int fd = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) Throw_Open_Error(errno);
  // Another program that holds the port (advisory lock, or TIOCEXCL) makes
  // the port unavailable to us.  Root may open a port held with TIOCEXCL
  // all the same; it is left exactly as its holder has it.
  int exclusive = 0;
  const bool held = ::ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive != 0;
  if (held || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    throw Port_Error(Port_Error_Kind::In_Use, path_ + " is in use by another application");
  }
  auto found = std::make_unique<Saved_Terminal>();
  if (::ioctl(fd, TCGETS2, &found->settings) != 0) {
    const int err = errno;
    ::flock(fd, LOCK_UN);
    ::close(fd);
    if (err == ENOTTY || err == EINVAL) throw Port_Error(Port_Error_Kind::Other, path_ + " is not a serial device");
    Throw_Io(err);
  }
  fd_ = fd;
  saved_ = std::move(found);
  // We hold the port the same way; only this exclusivity is ours to clear.
  set_exclusive_ = ::ioctl(fd_, TIOCEXCL) == 0;
  try {
    Apply(framing);
    // The lines start down; the serial control raises what it is asked to.
    Modem_Line(Line_DTR | Line_RTS, false);
  } catch (...) {
    Close();
    throw;
  }
  ::ioctl(fd_, TCFLSH, TCIOFLUSH);
}

void Posix_Serial::Close() {
  if (fd_ < 0) return;
  const int fd = fd_;
  fd_ = -1;
  Release(fd);
}

// Everything the port changed goes back: the lines drop, what is still
// queued leaves (or is discarded after its time), the settings found at
// opening return, our exclusivity and lock go.  A device that has gone
// fails these quietly.
void Posix_Serial::Release(int fd) {
  int bits = TIOCM_DTR | TIOCM_RTS;
  ::ioctl(fd, TIOCMBIC, &bits);
  lines_ = 0;
  Drain_Output(fd);
  if (saved_) ::ioctl(fd, TCSETS2, &saved_->settings);
  saved_.reset();
  if (set_exclusive_) ::ioctl(fd, TIOCNXCL);
  set_exclusive_ = false;
  ::flock(fd, LOCK_UN);
  ::close(fd);
}

void Posix_Serial::Drain_Output(int fd) {
  int queued = 0;
  if (::ioctl(fd, TIOCOUTQ, &queued) != 0 || queued <= 0) return;
  // The queued bytes get their time on the line and a little more, never
  // above two seconds.  What a stalled port still holds is discarded, so
  // that closing cannot block for the kernel's closing wait.
  const double limit = std::min(2.0, queued * seconds_per_character_ + 0.05);
  const auto start = std::chrono::steady_clock::now();
  while (std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() < limit) {
    ::usleep(10000);
    if (::ioctl(fd, TIOCOUTQ, &queued) != 0 || queued <= 0) return;
  }
  ::ioctl(fd, TCFLSH, TCOFLUSH);
}

std::size_t Posix_Serial::Bytes_Waiting() {
  Check_Open();
  int n = 0;
  if (::ioctl(fd_, FIONREAD, &n) != 0) Throw_Io(errno);
  Check_Alive();
  return n > 0 ? static_cast<std::size_t>(n) : 0;
}

// The clock is the steady one here (start-up refuses the virtual clock with
// real ports); the time left is recomputed after an interrupted poll.
bool Posix_Serial::Wait_For_Input(Clock& clock, double max_seconds) {
  Check_Open();
  if (Bytes_Waiting() > 0) return true;
  if (!(max_seconds > 0)) return false;
  const double end = clock.Now() + max_seconds;
  for (int interrupted = 0; interrupted < 100; ++interrupted) {
    const double left = end - clock.Now();
    if (left <= 0) return false;
    struct pollfd p {};
    p.fd = fd_;
    p.events = POLLIN;
    const int ms = static_cast<int>(left * 1000.0 + 0.999);
    const int n = ::poll(&p, 1, ms < 1 ? 1 : ms);
    if (n < 0) {
      if (errno == EINTR) continue;
      Throw_Io(errno);
    }
    if (n == 0) return Bytes_Waiting() > 0;
    if (p.revents & (POLLHUP | POLLERR | POLLNVAL)) Throw_Io(EIO);
    if (p.revents & POLLIN) return true;
  }
  return Bytes_Waiting() > 0;
}

std::string Posix_Serial::Read(std::size_t max_bytes) {
  Check_Open();
  std::string out(max_bytes, '\0');
  std::size_t got = 0;
  while (got < max_bytes) {
    const ssize_t n = ::read(fd_, out.data() + got, max_bytes - got);
    if (n > 0) {
      got += static_cast<std::size_t>(n);
      continue;
    }
    if (n == 0) break;  // nothing more (or the far end closed)
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK) break;
    Throw_Io(errno);
  }
  out.resize(got);
  return out;
}

void Posix_Serial::Write(std::string_view bytes) {
  Check_Open();
  std::size_t sent = 0;
  // The output queue of a tty is large; should it be full, wait briefly
  // for room, but never longer than two seconds in all.
  int waits = 0;
  while (sent < bytes.size()) {
    const ssize_t n = ::write(fd_, bytes.data() + sent, bytes.size() - sent);
    if (n > 0) {
      sent += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && waits < 200) {
      ++waits;
      ::usleep(10000);
      continue;
    }
    Throw_Io(n < 0 ? errno : EIO);
  }
}

std::size_t Posix_Serial::Bytes_Unsent() {
  Check_Open();
  int n = 0;
  if (::ioctl(fd_, TIOCOUTQ, &n) != 0) {
    if (errno == ENOTTY || errno == EINVAL) return 0;
    Throw_Io(errno);
  }
  return n > 0 ? static_cast<std::size_t>(n) : 0;
}

void Posix_Serial::Set_Break(bool on) {
  Check_Open();
  if (::ioctl(fd_, on ? TIOCSBRK : TIOCCBRK) != 0) Ignore_Unsupported(errno);
}

void Posix_Serial::Throw_Open_Error(int err) {
  switch (err) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
      throw Port_Error(Port_Error_Kind::No_Such_Port, path_ + " does not exist");
    case EACCES:
    case EPERM:
      throw Port_Error(Port_Error_Kind::Permission_Denied,
                       "no permission to open " + path_ +
                           " (add the user to the dialout group: sudo usermod -aG dialout $USER, then log in "
                           "again)");
    case EBUSY:
      throw Port_Error(Port_Error_Kind::In_Use, path_ + " is in use by another application");
    default:
      throw Port_Error(Port_Error_Kind::Other, "cannot open " + path_ + ": " + Errno_Text(err));
  }
}

void Posix_Serial::Throw_Io(int err) {
  throw Port_Error(Port_Error_Kind::Io_Error,
                   "input/output error on " + path_ + " (" + Errno_Text(err) + "); the adapter may have been unplugged");
}

void Posix_Serial::Ignore_Unsupported(int err) {
  // Pseudo-terminals do not carry modem lines or breaks.
  if (err == ENOTTY || err == EINVAL || err == ENOTSUP || err == EOPNOTSUPP) return;
  Throw_Io(err);
}

void Posix_Serial::Check_Open() {
  if (fd_ < 0) throw Port_Error(Port_Error_Kind::Not_Open, path_ + " is not open");
}

// A vanished USB adapter or a closed pty master shows as a hang-up.
void Posix_Serial::Check_Alive() {
  struct pollfd p {};
  p.fd = fd_;
  p.events = POLLIN;
  if (::poll(&p, 1, 0) < 0) return;
  if (p.revents & (POLLHUP | POLLERR | POLLNVAL)) Throw_Io(EIO);
}

void Posix_Serial::Modem_Line(int lines, bool on) {
  Check_Open();
  lines_ = on ? (lines_ | lines) : (lines_ & ~lines);
  int bits = Tiocm_Bits(lines);
  if (::ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &bits) != 0) Ignore_Unsupported(errno);
}

void Posix_Serial::Apply(const Framing& f) {
  struct termios2 tio {};
  if (::ioctl(fd_, TCGETS2, &tio) != 0) {
    if (errno == ENOTTY) throw Port_Error(Port_Error_Kind::Other, path_ + " is not a serial device");
    Throw_Io(errno);
  }
  tio.c_iflag = IGNBRK;
  tio.c_oflag = 0;
  tio.c_lflag = 0;
  tio.c_cflag = Termios_Cflag(f);
  tio.c_cflag &= ~CBAUD;
  tio.c_cflag |= BOTHER;
  tio.c_ispeed = static_cast<speed_t>(f.baud);
  tio.c_ospeed = static_cast<speed_t>(f.baud);
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
  if (::ioctl(fd_, TCSETS2, &tio) != 0) {
    throw Port_Error(Port_Error_Kind::Bad_Settings,
                     "cannot apply " + Framing_Text(f) + " to " + path_ + ": " + Errno_Text(errno));
  }
  seconds_per_character_ = f.Seconds_Per_Character();
}


unsigned Termios_Cflag(const Framing& f) {
  unsigned cflag = CREAD | CLOCAL | HUPCL;
  switch (f.data_bits) {
    case 5: cflag |= CS5; break;
    case 6: cflag |= CS6; break;
    case 7: cflag |= CS7; break;
    default: cflag |= CS8; break;
  }
  if (f.stop_half_bits > 2) cflag |= CSTOPB;
  switch (f.parity) {
    case Parity::None: break;
    case Parity::Odd: cflag |= PARENB | PARODD; break;
    case Parity::Even: cflag |= PARENB; break;
    case Parity::Mark: cflag |= PARENB | PARODD | CMSPAR; break;
    case Parity::Space: cflag |= PARENB | CMSPAR; break;
  }
  return cflag;
}

std::unique_ptr<Port_Backend> Make_Posix_Serial(const std::string& device_path) {
  return std::make_unique<Posix_Serial>(device_path);
}

}  // namespace stylomat
