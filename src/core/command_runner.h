#pragma once
// The program's commands (menu entries, port icons, a configuration
// window's entries) by name, and the rule of which may start while another
// one runs.
//
// A command runs inside the call that starts it, waits included; the waits
// let window events run, so the user can choose another entry meanwhile.
// Whether that second command may start depends on what the program is
// busy with: while a search or any ordinary command runs, only the entries
// that merely show or hide windows may; while the grid test loops, its own
// entries (leave the test, clear, draw options, units, cursor box) may as
// well; while a configuration window talks to its tablet, only its view
// entries may.
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace stylomat {

// What a running command keeps the program busy with.
enum class Command_Mode : std::uint8_t {
  Idle,           // nothing runs
  Command,        // a search, a restore, a refresh: any ordinary command
  Grid_Test,      // the grid and button test loop
  Configuration,  // a configuration window's read or write
};

// A set of modes, for the modes in which a command may start alongside a
// running one.
class Mode_Set {
 public:
  constexpr Mode_Set() = default;
  constexpr Mode_Set(std::initializer_list<Command_Mode> modes) {
    for (Command_Mode m : modes) bits_ |= Bit(m);
  }
  static constexpr Mode_Set Any_Mode() { return {Command_Mode::Command, Command_Mode::Grid_Test, Command_Mode::Configuration}; }
  constexpr bool Has(Command_Mode m) const { return (bits_ & Bit(m)) != 0; }

 private:
  static constexpr unsigned Bit(Command_Mode m) { return 1u << static_cast<unsigned>(m); }
  unsigned bits_ = 0;
};

class Command_Runner {
 public:
  using Action = std::function<void()>;

  // Plugs a command in (or replaces it).  mode: what the program is busy
  // with while it runs; alongside: the modes in which it may start while
  // another command runs (empty: only when nothing runs).
  void Set(const std::string& name, Action action, Command_Mode mode = Command_Mode::Command,
           Mode_Set alongside = {});
  bool Has(const std::string& name) const;

  enum class Outcome {
    Ran,      // the command ran to its end
    Failed,   // it ran and threw: Failure() says what stopped it
    Unknown,  // no such command (or its action is empty)
    Refused,  // another command runs and this one may not start alongside it
  };
  Outcome Run(const std::string& name);
  // The reason of the last Failed run.
  const std::string& Failure() const { return failure_; }

  // What the program is busy with: the innermost running command's mode.
  Command_Mode Mode() const { return running_.empty() ? Command_Mode::Idle : running_.back(); }
  bool Running() const { return !running_.empty(); }
  // Called whenever a command starts or ends (the window shows the busy
  // state: menus and icons disabled, the hourglass).
  std::function<void()> On_Busy_Change;

  // Whether the command could start now.
  bool May_Run(const std::string& name) const;
  // Whether the command may start while the program is busy in `mode`
  // (Idle counts as an ordinary command: the window is busy without one).
  bool Runs_Alongside(const std::string& name, Command_Mode mode) const;

 private:
  struct Entry {
    Action action;
    Command_Mode mode = Command_Mode::Command;
    Mode_Set alongside;
  };
  const Entry* Find(const std::string& name) const;

  std::map<std::string, Entry> commands_;
  std::vector<Command_Mode> running_;
  std::string failure_;
};

}  // namespace stylomat
