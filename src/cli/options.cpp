#include <set>

#include "cli/cli.h"

namespace stylomat::cli {

bool Is_Flag_Option(const std::string& name) {
  static const std::set<std::string> flags = {
      "debug", "oem", "help", "version", "all",
      "type5",  // identify: the identification is a Type-5 version answer
  };
  return flags.count(name) != 0;
}

}  // namespace stylomat::cli
