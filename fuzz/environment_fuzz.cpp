// Feeds arbitrary STYLOMAT_PORTS, STYLOMAT_SIMULATE and STYLOMAT_CLOCK
// texts to the port set-up, and arbitrary bytes to the text escaping every
// printed tablet answer goes through.  Checks that a set-up without an
// error maps only COM1..COM8, each at most once per variable, and that the
// escaped text holds nothing but printable ASCII (and line breaks).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/port_setup.h"
#include "platform/printable_text.h"

namespace {

using namespace stylomat;

void Check(bool condition) {
  if (!condition) std::abort();
}

bool Printable_Only(const std::string& text, bool lines) {
  for (unsigned char c : text) {
    if (c == '\n' && lines) continue;
    if (c < 0x20 || c >= 0x7f) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);

  const std::string text = Printable_Text(input);
  Check(Printable_Only(text, false));
  Check(text.size() >= input.size() && text.size() <= 4 * input.size());
  Check(Printable_Only(Printable_Lines(input), true));

  // The three variables, split at the first two NUL bytes.
  const std::size_t first = input.find('\0');
  const std::size_t second = first == std::string::npos ? first : input.find('\0', first + 1);
  Port_Environment env;
  env.ports = input.substr(0, first);
  env.simulate = first == std::string::npos ? "" : input.substr(first + 1, second - first - 1);
  env.clock = second == std::string::npos ? "" : input.substr(second + 1);
  env.list_ports = [] { return std::vector<Os_Serial_Port>{{"/dev/ttyFUZZ0", "", true}}; };
  const Port_Setup setup = Make_Port_Setup(env);
  Check(setup.clock != nullptr);
  if (!setup.error.empty()) return 0;
  Check(setup.listed == (env.ports.find_first_not_of(" \t") == std::string::npos));
  Check(Port_Directory{}.Find(0) == nullptr);
  for (int com : setup.simulated_coms) {
    Check(com >= 1 && com <= 8);
    const Port_Entry* e = setup.directory.Find(com);
    Check(e != nullptr && e->simulated && e->backend != nullptr);
  }
  Check(setup.directory.Find(0) == nullptr && setup.directory.Find(9) == nullptr);
  Check(!(setup.clock->Is_Virtual() && setup.directory.Any_Real()));
  return 0;
}
