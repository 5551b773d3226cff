#include "support/pty_pair.h"

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace stylomat::test {

Pty_Pair::Pty_Pair() {
  master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) return;
  char name[128] = {};
  if (::ptsname_r(master, name, sizeof name) != 0) return;
  slave = ::open(name, O_RDWR | O_NOCTTY);
  if (slave >= 0) path = name;
}

Pty_Pair::~Pty_Pair() {
  if (master >= 0) ::close(master);
  if (slave >= 0) ::close(slave);
}

std::string Pty_Pair::Read_Master() {
  std::string out;
  char buf[256];
  for (int i = 0; i < 50; ++i) {
    const ssize_t n = ::read(master, buf, sizeof buf);
    if (n > 0) {
      out.append(buf, static_cast<std::size_t>(n));
    } else if (!out.empty()) {
      break;
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  }
  return out;
}

void Pty_Pair::Hang_Up() {
  if (master >= 0) ::close(master);
  master = -1;
}

}  // namespace stylomat::test
