// Fuzzes stylomat-cli's batch commands through the program's entry point:
// any bytes on standard input, one input a line (or a report stream for
// decode).  Whatever comes in, the run ends with status 0, 1 or 2, every
// line of the "Key: value" form and of standard error is printable ASCII
// (no byte can reach the terminal as a control sequence), every line of
// --json output is a JSON object, and the two forms agree on the status.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/cli.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

const std::vector<std::vector<std::string>> Commands = {
    {"superset", "decode", "--window", "KORV_form", "-"},
    {"superset", "decode", "--window", "Dovrane3", "--oem", "--debug", "-"},
    {"image", "encode", "-"},
    {"image", "decode", "--window", "Mirolex2", "--debug", "-"},
    {"switches", "decode", "--window", "Pv5", "--debug", "-"},
    {"identify", "-"},
    {"identify", "--type5", "--firmware", "v1 j5", "-"},
    {"decode", "--format", "kv", "--cursor-text", " 16 Button Puck"},
    {"decode", "--format", "superset"},
    {"decode", "--format", "uiof"},
};

// Printable ASCII and line ends only.
void Check_Printable(const std::string& text) {
  for (unsigned char c : text) Check(c == '\n' || (c >= 0x20 && c < 0x7f));
}

int Run(std::vector<std::string> args, const std::string& input, bool json, std::string& out) {
  if (json) args.push_back("--json");
  std::istringstream in(input);
  std::ostringstream o, e;
  const int status = stylomat::cli::Run(args, in, o, e);
  Check(status >= 0 && status <= 2);
  Check_Printable(e.str());
  out = o.str();
  return status;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::vector<std::string>& command = Commands[data[0] % Commands.size()];
  const std::string input(reinterpret_cast<const char*>(data + 1), size - 1);

  std::string human, json;
  const int status = Run(command, input, false, human);
  Check(Run(command, input, true, json) == status);
  Check_Printable(human);
  Check_Printable(json);
  std::istringstream lines(json);
  for (std::string line; std::getline(lines, line);) {
    const auto object = nlohmann::json::parse(line, nullptr, false);
    Check(!object.is_discarded() && object.is_object());
  }
  return 0;
}
