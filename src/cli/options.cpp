#include <ostream>
#include <set>

#include "cli/cli.h"

namespace stylomat::cli {

bool Is_Flag_Option(const std::string& name) {
  static const std::set<std::string> flags = {
      "debug", "oem", "help", "version", "all",
      "type5",  // identify: the identification is a Type-5 version answer
      "temporary", "power-up",  // settings: how a change is saved
  };
  return flags.count(name) != 0;
}

void Print_Log_Lines(std::ostream& out, const std::string& log) {
  if (log.empty()) return;
  out << "Traffic log:\n";
  std::string line;
  for (char c : log) {
    if (c == '\r') {
      out << "  " << line << '\n';
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) out << "  " << line << '\n';
}

}  // namespace stylomat::cli
