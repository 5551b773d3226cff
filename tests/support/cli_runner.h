#pragma once
// Runs the stylomat-cli program as a technician or a script would, or its
// commands in this process (stylomat::cli::Run) with string streams.
#include <string>
#include <vector>

namespace stylomat::test {

struct Cli_Result {
  int status = -1;  // exit status, -1 when it did not exit normally
  std::string out;  // standard output: the results
  std::string err;  // standard error: messages and questions
};

// env: "NAME=value NAME2=value" put before the command; args: the
// arguments as a shell reads them; input: standard input.
Cli_Result Run_Cli(const std::string& env, const std::string& args, const std::string& input = "");
// The same commands in this process, with this process's environment.
Cli_Result Run_In_Process(const std::vector<std::string>& args, const std::string& input = "");
std::string Read_File(const std::string& path);

}  // namespace stylomat::test
