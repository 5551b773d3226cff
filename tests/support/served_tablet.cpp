#include "support/served_tablet.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace stylomat::test {

Served_Tablet::Served_Tablet(const std::string& profile) {
  int pipe_fds[2];
  if (::pipe2(pipe_fds, O_CLOEXEC) != 0) return;
  pid_ = ::fork();
  if (pid_ == 0) {
    ::dup2(pipe_fds[1], STDOUT_FILENO);
    const int null = ::open("/dev/null", O_WRONLY);
    if (null >= 0) ::dup2(null, STDERR_FILENO);
    ::execl(STYLOMAT_CLI_PATH, STYLOMAT_CLI_PATH, "sim-serve", profile.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(pipe_fds[1]);
  out_ = pipe_fds[0];
  if (pid_ < 0) return;
  // The first line is the device path (Device: "/dev/pts/N"); at most
  // five seconds for it.
  std::string line;
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (std::chrono::steady_clock::now() < give_up && line.find('\n') == std::string::npos && line.size() < 256) {
    struct pollfd p {};
    p.fd = out_;
    p.events = POLLIN;
    if (::poll(&p, 1, 100) <= 0) continue;
    char c = 0;
    if (::read(out_, &c, 1) != 1) break;
    line += c;
  }
  const std::string head = "Device: \"", tail = "\"\n";
  if (line.size() > head.size() + tail.size() && line.rfind(head, 0) == 0 &&
      line.compare(line.size() - tail.size(), tail.size(), tail) == 0) {
    path_ = line.substr(head.size(), line.size() - head.size() - tail.size());
  }
}

Served_Tablet::~Served_Tablet() { (void)Stop(); }

int Served_Tablet::Stop() {
  if (pid_ <= 0) return status_;
  ::kill(pid_, SIGINT);
  for (int i = 0; i < 100; ++i) {
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      pid_ = -1;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  if (pid_ > 0) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }
  if (out_ >= 0) ::close(out_);
  out_ = -1;
  return status_;
}

}  // namespace stylomat::test
