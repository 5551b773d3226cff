#pragma once
#include <iosfwd>
#include <optional>

#include "platform/prompter.h"

namespace stylomat::cli {

// Questions on the command line: answered by --answer yes|no when given;
// otherwise asked on the terminal; without a terminal, No/Cancel.  Every
// question and its answer are printed to the given stream.
class Terminal_Prompter final : public Prompter {
 public:
  Terminal_Prompter(std::optional<bool> fixed, std::ostream& out) : fixed_(fixed), out_(out) {}
  Answer Ask(const Question& question) override;

 private:
  std::optional<bool> fixed_;
  std::ostream& out_;
};

}  // namespace stylomat::cli
