#include "platform/posix_serial.h"

#include <asm/termbits.h>  // struct termios2, BOTHER: any baud rate
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstring>

namespace stylomat {

namespace {

std::string Errno_Text(int err) { return std::strerror(err); }

class Posix_Serial final : public Port_Backend {
 public:
  explicit Posix_Serial(std::string path) : path_(std::move(path)) {}
  ~Posix_Serial() override { Close(); }

  void Open(const Framing& framing) override {
    Close();
    const int fd = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) Throw_Open_Error(errno);
    // Another program that holds the port (advisory lock, or TIOCEXCL)
    // makes the port unavailable to us, and we hold it the same way.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      ::close(fd);
      throw Port_Error(Port_Error_Kind::In_Use, path_ + " is in use by another application");
    }
    if (::ioctl(fd, TIOCEXCL) != 0 && errno != ENOTTY && errno != EINVAL) {
      // Exclusive mode is best effort; a pty may refuse it.
    }
    fd_ = fd;
    try {
      Apply(framing);
    } catch (...) {
      Close();
      throw;
    }
    ::ioctl(fd_, TCFLSH, TCIOFLUSH);
  }

  void Close() override {
    if (fd_ < 0) return;
    ::ioctl(fd_, TIOCNXCL);
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
  }

  bool Is_Open() const override { return fd_ >= 0; }

  std::size_t Bytes_Waiting() override {
    Check_Open();
    int n = 0;
    if (::ioctl(fd_, FIONREAD, &n) != 0) Throw_Io(errno);
    Check_Alive();
    return n > 0 ? static_cast<std::size_t>(n) : 0;
  }

  std::string Read(std::size_t max_bytes) override {
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

  void Write(std::string_view bytes) override {
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

  std::size_t Bytes_Unsent() override {
    Check_Open();
    int n = 0;
    if (::ioctl(fd_, TIOCOUTQ, &n) != 0) {
      if (errno == ENOTTY || errno == EINVAL) return 0;
      Throw_Io(errno);
    }
    return n > 0 ? static_cast<std::size_t>(n) : 0;
  }

  // poll() on the descriptor: the kernel wakes us when a byte arrives.  The
  // clock is the steady one here (start-up refuses the virtual clock with
  // real ports); the time left is recomputed after an interrupted poll.
  bool Wait_For_Input(Clock& clock, double max_seconds) override {
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

  void Set_DTR(bool on) override { Modem_Line(TIOCM_DTR, on); }
  void Set_RTS(bool on) override { Modem_Line(TIOCM_RTS, on); }

  void Set_Break(bool on) override {
    Check_Open();
    if (::ioctl(fd_, on ? TIOCSBRK : TIOCCBRK) != 0) Ignore_Unsupported(errno);
  }

 private:
  [[noreturn]] void Throw_Open_Error(int err) {
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

  [[noreturn]] void Throw_Io(int err) {
    throw Port_Error(Port_Error_Kind::Io_Error,
                     "input/output error on " + path_ + " (" + Errno_Text(err) + "); the adapter may have been unplugged");
  }

  void Ignore_Unsupported(int err) {
    // Pseudo-terminals do not carry modem lines or breaks.
    if (err == ENOTTY || err == EINVAL || err == ENOTSUP || err == EOPNOTSUPP) return;
    Throw_Io(err);
  }

  void Check_Open() {
    if (fd_ < 0) throw Port_Error(Port_Error_Kind::Not_Open, path_ + " is not open");
  }

  // A vanished USB adapter or a closed pty master shows as a hang-up.
  void Check_Alive() {
    struct pollfd p {};
    p.fd = fd_;
    p.events = POLLIN;
    if (::poll(&p, 1, 0) < 0) return;
    if (p.revents & (POLLHUP | POLLERR | POLLNVAL)) Throw_Io(EIO);
  }

  void Modem_Line(int bit, bool on) {
    Check_Open();
    if (::ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &bit) != 0) Ignore_Unsupported(errno);
  }

  void Apply(const Framing& f) {
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
  }

  std::string path_;
  int fd_ = -1;
};

}  // namespace

unsigned Termios_Cflag(const Framing& f) {
  unsigned cflag = CREAD | CLOCAL;
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
