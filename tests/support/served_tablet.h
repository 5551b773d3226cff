#pragma once
// `stylomat-cli sim-serve PROFILE` run as a technician would in a second
// terminal: started, its device path read from its first line, and
// interrupted (SIGINT) at the end of the test.
#include <sys/types.h>

#include <string>

namespace stylomat::test {

class Served_Tablet {
 public:
  explicit Served_Tablet(const std::string& profile);
  ~Served_Tablet();
  Served_Tablet(const Served_Tablet&) = delete;
  Served_Tablet& operator=(const Served_Tablet&) = delete;

  // The pseudo-terminal's path; empty when the server did not start.
  const std::string& Path() const { return path_; }
  // Interrupts the server and waits (at most 5 s) for it to end; its exit
  // status, -1 when it did not end by itself.
  int Stop();

 private:
  pid_t pid_ = -1;
  int out_ = -1;
  std::string path_;
  int status_ = -1;
};

}  // namespace stylomat::test
