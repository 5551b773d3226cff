#pragma once
// The command-line front end.  Each command lives in its own file
// (cmd_<name>.cpp) and is listed once, with its help, in the command table
// of commands.cpp.  What it prints goes through output.h, so every command
// has the same shape: "Key: value" lines, or JSON with --json.
#include <initializer_list>
#include <iosfwd>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/output.h"
#include "core/session.h"
#include "platform/printable_text.h"

namespace stylomat::cli {

// Exit statuses.
inline constexpr int Exit_Ok = 0;
inline constexpr int Exit_Nothing = 1;  // nothing found / nothing answered
inline constexpr int Exit_Error = 2;    // a port error or a usage error

struct Options {
  bool debug = false;
  bool oem = false;
  bool json = false;
  std::string log_file;
  std::string trace_file;
  std::optional<bool> answer;  // --answer yes|no
  std::vector<std::string> positional;          // words after the command's name
  std::map<std::string, std::string> values;    // --name value (and --name=value)
  std::map<std::string, bool> flags;            // --name without a value

  bool Flag(const std::string& name) const { return flags.count(name) != 0; }
  std::optional<std::string> Value(const std::string& name) const {
    auto it = values.find(name);
    if (it == values.end()) return std::nullopt;
    return it->second;
  }
};

// Options that never take a value.  Every other --name takes the next word.
bool Is_Flag_Option(const std::string& name);

// Whether the traffic log can be written at `path` at the end (through a
// temporary file beside it); the reason when not.  Checked before anything
// is sent to a tablet.
bool Log_File_Writable(const std::string& path, std::string& why);

class Context {
 public:
  Context(Options options, std::istream& in, std::ostream& out, std::ostream& err);
  ~Context();

  Options& options() { return options_; }
  std::istream& in() { return in_; }
  std::ostream& out() { return out_; }
  std::ostream& err() { return err_; }
  // Results: "Key: value" lines, or JSON with --json.
  Printer& printer() { return printer_; }

  // The program's start-up without windows: ports from the environment,
  // clock, caption as the first log line, system-information refresh with
  // the port scan.  Returns nullptr after printing the reason when the
  // environment is unusable (the caller exits with Exit_Error).
  Session* Start();
  Session* session() { return session_.get(); }
  // Which tablet driver Start chose ("recorded: ...", "this machine's tablets", "none ...").
  const std::string& Driver_Description() const;

  // A usage error: prints the message and returns Exit_Error.
  int Usage_Error(const std::string& message);
  // --port N, checked to be 1..8.  Prints a usage error when missing/bad.
  std::optional<int> Port_Option();

  // Writes --log and --trace files; called once at exit.  False when the
  // log could not be written (said on standard error).
  bool Finish();

 private:
  struct Impl;
  Options options_;
  std::istream& in_;
  std::ostream& out_;
  std::ostream& err_;
  Printer printer_;
  std::unique_ptr<Impl> impl_;
  std::unique_ptr<Session> session_;
};

// A session of its own for the commands that need no port (translations
// and decoders): a virtual clock, no ports, questions answered OK.
struct Offline_Session {
  Offline_Session() : s(clock, ports, prompter) {}
  Offline_Session(const Offline_Session&) = delete;
  Offline_Session& operator=(const Offline_Session&) = delete;
  Virtual_Clock clock;
  Port_Directory ports;
  Fixed_Prompter prompter;
  Session s;
};

// The lines of a traffic log (CR-ended), for a result's Log field.
std::vector<std::string> Log_Lines(const std::string& log);

// Text that comes from a tablet, a device or the main window's labels and
// goes to standard error: control bytes and bytes outside ASCII are shown
// as \xNN, so an answer cannot retitle or clear the user's terminal.
// Shown_Lines keeps the line breaks of a message (CR).  Results go through
// Doc, which quotes texts the same way.
std::string Shown(const std::string& text);
std::string Shown_Lines(const std::string& text);

// The main window's message after a search (ErrorMsg), when it shows one.
std::optional<std::string> Window_Message(const Session& s);

// After a search that found no tablet on `port`: says so on standard error
// ("no tablet answered", or the port error with its reason on the next
// line), then `needs` when not empty.  Returns the exit status: Exit_Error
// for a port error, Exit_Nothing otherwise.
int Report_No_Tablet(Context& ctx, const Session& s, int port, const std::string& needs);

// --window: one of `allowed` (any case).  False after a usage error: a
// window not among them, or none given though `needed`.
bool Window_Option(Context& ctx, std::initializer_list<Config_Window> allowed, bool needed,
                   std::optional<Config_Window>& window);

// --seconds S: above 0, at most a day.  False after a usage error (not
// such a number, or none given though `needed`); seconds stays as it was
// when none is given.
bool Seconds_Option(Context& ctx, bool needed, double& seconds);

// A Doc that starts with the tablet found on a port: Port and Model_Name.
Doc Tablet_Found(const Session& s, int port);

using Command_Function = int (*)(Context&);

// One entry of the command table.  A command with subcommands has one
// entry for each ("superset decode", "superset tables").
struct Command {
  const char* name;
  Command_Function run;
  // Every option it takes, blank-separated; --help and --version go with
  // every command.
  const char* options;
  // Its help: the usage line (after "stylomat-cli "), one line on what it
  // does, its arguments with their grammar, the options only it takes (the
  // shared ones are described from their names), an example, its exit
  // statuses.
  std::string usage;
  std::string summary;
  std::string arguments;
  std::string option_help;
  std::string example;
  std::string exit_status;  // empty: that of the batch commands
};

// The command table, in the order the help lists it.
const std::vector<Command>& Commands();

// Whether `name` is one of the blank-separated words of `list`.
bool Listed(const char* list, const std::string& name);

// The program: arguments without the program's name, the three streams.
// Returns the exit status.  main() calls it with the process's streams;
// tests and benchmarks call it with string streams.
int Run(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace stylomat::cli
