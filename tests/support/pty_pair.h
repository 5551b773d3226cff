#pragma once
// A pseudo-terminal pair for tests of the real serial backend: the program
// opens the slave by its path, the test plays the far end on the master.
#include <string>

namespace stylomat::test {

struct Pty_Pair {
  Pty_Pair();  // path is empty when no pty could be made
  ~Pty_Pair();
  Pty_Pair(const Pty_Pair&) = delete;
  Pty_Pair& operator=(const Pty_Pair&) = delete;

  // Everything the master has received within about 0.1 s.
  std::string Read_Master();
  // Closes the master: the slave hangs up, as an unplugged adapter does.
  void Hang_Up();

  int master = -1;
  int slave = -1;  // the test's own descriptor of the slave
  std::string path;
};

}  // namespace stylomat::test
