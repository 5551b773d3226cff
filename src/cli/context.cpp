#include <cstdio>
#include <fstream>
#include <istream>
#include <ostream>

#include "app/data_dir.h"
#include "app/driver_setup.h"
#include "app/port_setup.h"
#include "app/startup.h"
#include "discovery/reset_tablet.h"
#include "cli/cli.h"
#include "cli/terminal_prompter.h"

namespace stylomat::cli {

struct Context::Impl {
  Port_Setup setup;
  Driver_Setup driver;
  std::unique_ptr<Terminal_Prompter> prompter;
  std::unique_ptr<Wire_Trace> trace;
  std::ofstream trace_out;
};

Context::Context(Options options, std::istream& in, std::ostream& out, std::ostream& err)
    : options_(std::move(options)),
      in_(in),
      out_(out),
      err_(err),
      printer_(out, options_.json),
      impl_(std::make_unique<Impl>()) {}

Context::~Context() = default;

int Context::Usage_Error(const std::string& message) {
  err_ << "stylomat-cli: " << message << "\n";
  return Exit_Error;
}

std::optional<int> Context::Port_Option() {
  const auto value = options_.Value("port");
  if (!value) {
    Usage_Error("this command needs --port N (N from 1 to 8)");
    return std::nullopt;
  }
  std::string text = *value;
  if (text.size() > 3 && (text.rfind("COM", 0) == 0 || text.rfind("com", 0) == 0)) text = text.substr(3);
  if (text.size() == 1 && text[0] >= '1' && text[0] <= '8') return text[0] - '0';
  Usage_Error("--port must be a number from 1 to 8, not \"" + *value + "\"");
  return std::nullopt;
}

Session* Context::Start() {
  if (session_) return session_.get();
  impl_->setup = Make_Port_Setup(Port_Environment::From_Process());
  if (!impl_->setup.error.empty()) {
    Usage_Error(impl_->setup.error);
    return nullptr;
  }
  impl_->driver = Make_Driver_Setup(Driver_Environment::From_Process(Find_Data_Dir()), *impl_->setup.clock);
  if (!impl_->driver.error.empty()) {
    Usage_Error(impl_->driver.error);
    return nullptr;
  }
  // Questions are no results: they go to standard error, beside the
  // other diagnostics, so standard output holds results only.
  impl_->prompter = std::make_unique<Terminal_Prompter>(options_.answer, err_);
  session_ = std::make_unique<Session>(*impl_->setup.clock, impl_->setup.directory, *impl_->prompter);
  session_->wintab.driver = impl_->driver.driver.get();
  if (!options_.trace_file.empty()) {
    impl_->trace_out.open(options_.trace_file, std::ios::binary | std::ios::trunc);
    if (!impl_->trace_out) {
      Usage_Error("cannot write the wire trace to \"" + options_.trace_file + "\"");
      session_.reset();
      return nullptr;
    }
    std::ofstream* stream = &impl_->trace_out;
    impl_->trace = std::make_unique<Wire_Trace>(*impl_->setup.clock, [stream](std::string_view line) {
      stream->write(line.data(), static_cast<std::streamsize>(line.size()));
      stream->put('\n');
    });
    session_->port.Set_Trace(impl_->trace.get());
  }
  Mode_Flags modes;
  modes.debug = options_.debug;
  modes.oem = options_.oem;
  std::string command_line;
  if (auto line = options_.Value("command-line")) command_line = *line;
  Start_Program(*session_, command_line, modes);
  session_->main.Simulated_Ports_Note = Simulated_Ports_Note(impl_->setup.simulated_coms);
  return session_.get();
}

namespace {

// Writes the file through a temporary name, so a failed write never leaves
// half a file or destroys an existing one.
bool Write_Atomically(const std::string& path, const std::string& bytes) {
  const std::string temp = path + ".tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) {
      out.close();
      std::remove(temp.c_str());
      return false;
    }
  }
  if (std::rename(temp.c_str(), path.c_str()) != 0) {
    std::remove(temp.c_str());
    return false;
  }
  return true;
}

}  // namespace

const std::string& Context::Driver_Description() const { return impl_->driver.description; }

bool Context::Finish() {
  if (session_ && !session_->Keep_Settings_On_Exit) {
    // Leaving the program puts a tablet still on the port back into its
    // power-up state, as the main window does when it closes.
    Reset_Tablet(*session_);
  }
  if (impl_->trace_out.is_open()) impl_->trace_out.flush();
  if (!options_.log_file.empty() && session_) {
    if (!Write_Atomically(options_.log_file, session_->log.Text())) {
      err_ << "stylomat-cli: cannot write the traffic log to \"" << Shown(options_.log_file) << "\"\n";
      return false;
    }
  }
  return true;
}

}  // namespace stylomat::cli
