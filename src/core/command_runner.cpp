#include "core/command_runner.h"

#include <exception>

namespace stylomat {

void Command_Runner::Set(const std::string& name, Action action, Command_Mode mode, Mode_Set alongside) {
  commands_[name] = Entry{std::move(action), mode == Command_Mode::Idle ? Command_Mode::Command : mode, alongside};
}

const Command_Runner::Entry* Command_Runner::Find(const std::string& name) const {
  const auto it = commands_.find(name);
  if (it == commands_.end() || !it->second.action) return nullptr;
  return &it->second;
}

bool Command_Runner::Has(const std::string& name) const { return Find(name) != nullptr; }

bool Command_Runner::Runs_Alongside(const std::string& name, Command_Mode mode) const {
  const Entry* entry = Find(name);
  if (!entry) return false;
  return entry->alongside.Has(mode == Command_Mode::Idle ? Command_Mode::Command : mode);
}

bool Command_Runner::May_Run(const std::string& name) const {
  if (!Has(name)) return false;
  return !Running() || Runs_Alongside(name, Mode());
}

Command_Runner::Outcome Command_Runner::Run(const std::string& name) {
  const Entry* found = Find(name);
  if (!found) return Outcome::Unknown;
  if (Running() && !found->alongside.Has(Mode())) return Outcome::Refused;
  // A copy: a command may plug other commands in while it runs.
  const Entry entry = *found;
  running_.push_back(entry.mode);
  if (On_Busy_Change) On_Busy_Change();
  Outcome outcome = Outcome::Ran;
  try {
    entry.action();
  } catch (const std::exception& e) {
    failure_ = e.what();
    outcome = Outcome::Failed;
  } catch (...) {
    failure_ = "unknown error";
    outcome = Outcome::Failed;
  }
  running_.pop_back();
  if (On_Busy_Change) On_Busy_Change();
  return outcome;
}

}  // namespace stylomat
