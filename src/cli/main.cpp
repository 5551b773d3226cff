// stylomat-cli: the program's functions without windows, for scripts, for
// a technician on a terminal, and for tests.
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> args(argv + 1, argv + argc);
  return stylomat::cli::Run(args, std::cin, std::cout, std::cerr);
}
