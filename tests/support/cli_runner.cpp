#include "support/cli_runner.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "cli/cli.h"

namespace stylomat::test {

namespace {

// A file of its own for this call's standard error or input, removed at the end.
struct Temp_File {
  Temp_File() {
    std::string name = (std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") + std::string("/cli_runner_XXXXXX");
    const int fd = ::mkstemp(name.data());
    if (fd >= 0) {
      ::close(fd);
      path = name;
    }
  }
  ~Temp_File() {
    if (!path.empty()) std::remove(path.c_str());
  }
  std::string path;
};

}  // namespace

Cli_Result Run_Cli(const std::string& env, const std::string& args, const std::string& input) {
  Cli_Result r;
  Temp_File err, in;
  if (err.path.empty() || in.path.empty()) return r;
  {
    std::ofstream file(in.path, std::ios::binary);
    file << input;
  }
  const std::string cmd = env + " " + STYLOMAT_CLI_PATH + " " + args + " 2>" + err.path + " <" + in.path;
  FILE* p = ::popen(cmd.c_str(), "r");
  if (!p) return r;
  char buf[4096];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
  const int status = ::pclose(p);
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.err = Read_File(err.path);
  return r;
}

Cli_Result Run_In_Process(const std::vector<std::string>& args, const std::string& input) {
  std::istringstream in(input);
  std::ostringstream out, err;
  Cli_Result r;
  r.status = cli::Run(args, in, out, err);
  r.out = out.str();
  r.err = err.str();
  return r;
}

std::string Read_File(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

}  // namespace stylomat::test
