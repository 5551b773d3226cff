#pragma once
// Runs the stylomat-cli program as a technician or a script would.
#include <string>

namespace stylomat::test {

struct Cli_Result {
  int status = -1;  // exit status, -1 when it did not exit normally
  std::string out;  // standard output and standard error together
};

// env: "NAME=value NAME2=value" put before the command; args: the arguments.
Cli_Result Run_Cli(const std::string& env, const std::string& args);
std::string Read_File(const std::string& path);

}  // namespace stylomat::test
