#pragma once
// The command-line front end.  Each command lives in its own file
// (cmd_<name>.cpp) and is listed once in the command table of main.cpp.
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "core/session.h"

namespace stylomat::cli {

// Exit statuses.
inline constexpr int Exit_Ok = 0;
inline constexpr int Exit_Nothing = 1;  // nothing found / nothing answered
inline constexpr int Exit_Error = 2;    // a port error or a usage error

struct Options {
  bool debug = false;
  bool oem = false;
  std::string log_file;
  std::string trace_file;
  std::optional<bool> answer;  // --answer yes|no
  std::vector<std::string> positional;          // words after the command name
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
  Context(Options options, std::ostream& out, std::ostream& err);
  ~Context();

  Options& options() { return options_; }
  std::ostream& out() { return out_; }
  std::ostream& err() { return err_; }

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
  std::ostream& out_;
  std::ostream& err_;
  std::unique_ptr<Impl> impl_;
  std::unique_ptr<Session> session_;
};

// Prints a traffic log for a reader: "Traffic log:", then one indented
// line per CR-ended log line.  Nothing for an empty log.
void Print_Log_Lines(std::ostream& out, const std::string& log);

// Every text that comes from a tablet, a device or the main window's
// labels goes to the terminal through these: control bytes and bytes
// outside ASCII are shown as \xNN, so an answer cannot retitle or clear the
// user's terminal.  Shown_Lines keeps the line breaks of a message (CR).
std::string Shown(const std::string& text);
std::string Shown_Lines(const std::string& text);

// After a search that found no tablet on `port`: says so on standard error
// ("no tablet answered", or the port error with its reason on the next
// line), then `needs` when not empty.  Returns the exit status: Exit_Error
// for a port error, Exit_Nothing otherwise.
int Report_No_Tablet(Context& ctx, const Session& s, int port, const std::string& needs);

using Command_Function = int (*)(Context&);

struct Command {
  const char* name;
  Command_Function run;
  const char* synopsis;  // one line for --help
  const char* options;   // the options it takes besides the common ones, blank-separated
};

// The options every command takes.
inline constexpr const char* Common_Options = "debug oem help version log trace answer";

// Whether `name` is one of the blank-separated words of `list`.
bool Listed(const char* list, const std::string& name);

}  // namespace stylomat::cli
