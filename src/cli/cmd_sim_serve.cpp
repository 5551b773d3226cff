// stylomat-cli sim-profiles: the simulated tablets, one result each.
//
// stylomat-cli sim-serve PROFILE: a simulated tablet on a pseudo-terminal.
// Prints the device path first (Device) and plays
// the tablet there until interrupted (Ctrl-C, SIGTERM), so that the real
// termios backend, or any other program, can talk to it:
//
//   stylomat-cli sim-serve dovrane4          -> Device: "/dev/pts/3"
//   STYLOMAT_PORTS=1=/dev/pts/3 stylomat-cli search --port 1
//
// What a pty cannot carry (modem lines, breaks, parity) and what the served
// tablet does instead is described in sim/pty_server.h.
#include <signal.h>

#include <atomic>
#include <exception>
#include <iostream>

#include "cli/cli.h"
#include "sim/profiles.h"
#include "sim/pty_server.h"

namespace stylomat::cli {

namespace {

std::atomic<bool> interrupted{false};

extern "C" void On_Interrupt(int) { interrupted = true; }

}  // namespace

int Cmd_Sim_Profiles(Context& ctx) {
  if (!ctx.options().positional.empty()) return ctx.Usage_Error("sim-profiles takes no words besides its options");
  for (const Sim_Profile& p : Sim_Profiles()) {
    Doc doc;
    doc.Word("Profile", p.name);
    doc.Word("Family", p.family);
    doc.Text("Description", p.description);
    ctx.printer().Doc_Out(doc);
  }
  return Exit_Ok;
}

int Cmd_Sim_Serve(Context& ctx) {
  const Options& o = ctx.options();
  if (o.positional.size() != 1) return ctx.Usage_Error("sim-serve takes one profile name (see sim-profiles)");
  const Sim_Profile* profile = Find_Sim_Profile(o.positional[0]);
  if (!profile) {
    return ctx.Usage_Error("unknown tablet profile \"" + Shown(o.positional[0]) + "\". Known profiles: " +
                           Sim_Profile_Names());
  }
  Steady_Clock clock;
  std::unique_ptr<Pty_Server> server;
  try {
    server = std::make_unique<Pty_Server>(clock, *profile);
  } catch (const std::exception& e) {
    return ctx.Usage_Error(Shown(e.what()));
  }
  struct sigaction action {};
  action.sa_handler = On_Interrupt;
  sigemptyset(&action.sa_mask);
  ::sigaction(SIGINT, &action, nullptr);
  ::sigaction(SIGTERM, &action, nullptr);
  ::signal(SIGPIPE, SIG_IGN);

  Doc doc;
  doc.Text("Device", server->Device_Path());
  doc.Word("Profile", profile->name);
  ctx.printer().Doc_Out(doc);
  ctx.out().flush();
  ctx.err() << "stylomat-cli: serving " << profile->name << " on " << server->Device_Path()
            << " until interrupted (Ctrl-C)" << std::endl;
  server->Serve([] { return interrupted.load(); });
  ctx.err() << "stylomat-cli: " << profile->name << " served " << server->Openings() << " openings of the port"
            << std::endl;
  return Exit_Ok;
}

}  // namespace stylomat::cli
