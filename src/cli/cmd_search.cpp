// stylomat-cli search / restore-factory: the port search of the main
// window, one port (its icon) or all ports (Search All Serial Ports), and
// the Restore Factory Settings command on the tablet found.  Prints what
// the main window would show.
#include <string>

#include "cli/cli.h"
#include "discovery/port_search.h"

namespace stylomat::cli {

namespace {

std::string Menu_Caption(const Menu_Entry_State& entry) {
  std::string out;
  for (char c : entry.caption)
    if (c != '&') out += c;
  return out;
}

void Print_Found(Context& ctx, Session& s) {
  const Main_Window_State& m = s.main;
  ctx.out() << "Port: COM" << Shown(m.CommPort.text) << "\n";
  ctx.out() << "Model: " << Shown(m.Tbl.text) << "\n";
  ctx.out() << "Size: " << Shown(m.Size_lb.text) << "\n";
  if (m.Version_Lb.visible) ctx.out() << "Firmware: " << Shown(m.Version_Lb.text) << "\n";
  std::string offers;
  for (const Menu_Entry_State* entry : {&m.Config_Tbl, &m.Reset_Tbl, &m.Grid_btn}) {
    if (!entry->visible || !entry->enabled) continue;
    if (!offers.empty()) offers += ", ";
    offers += Menu_Caption(*entry);
  }
  ctx.out() << "Menus offer: " << (offers.empty() ? "nothing" : offers) << "\n";
}

// Prints the outcome of the last search and turns it into the exit status.
int Report(Context& ctx, Session& s, bool found) {
  if (found) {
    Print_Found(ctx, s);
    return Exit_Ok;
  }
  if (s.main.ErrorMsg.visible) ctx.out() << Shown_Lines(s.main.ErrorMsg.text) << "\n";
  return s.Search_Status == -2 ? Exit_Error : Exit_Nothing;
}

bool Found(const Session& s) { return s.Search_Status == 0 && s.port.PortOpen(); }

}  // namespace

int Cmd_Search(Context& ctx) {
  const Options& o = ctx.options();
  if (!o.positional.empty()) return ctx.Usage_Error("search takes no words besides its options");
  const bool all = o.Flag("all");
  if (all && o.Value("port")) return ctx.Usage_Error("search takes either --port N or --all, not both");
  const bool parallel = o.Flag("parallel");
  if (parallel && !all) return ctx.Usage_Error("--parallel goes with --all");
  std::optional<int> port;
  if (!all) {
    port = ctx.Port_Option();
    if (!port) return Exit_Error;
  }
  Session* s = ctx.Start();
  if (!s) return Exit_Error;

  if (!all) {
    Port_Icon_Command(*s, *port);
    return Report(ctx, *s, Found(*s));
  }
  bool any_available = false;
  bool any_present = false;
  for (std::size_t n = 1; n <= 8; ++n) {
    any_available = any_available || s->Com_Available[n];
    any_present = any_present || s->Com_Present[n];
  }
  if (!any_available) {
    // Say why each port that is there could not be used: held by another
    // program, no permission, not a serial device.
    ctx.out() << "No serial port is available.\n";
    for (int n = 1; n <= 8; ++n) {
      const std::string& reason = s->Com_Reason[static_cast<std::size_t>(n)];
      if (!reason.empty()) ctx.out() << "COM" << n << ": " << Shown(reason) << "\n";
    }
    return any_present ? Exit_Error : Exit_Nothing;
  }
  const int found_on = parallel ? Search_All_Ports_Parallel(*s) : Search_All_Ports(*s);
  return Report(ctx, *s, found_on != 0);
}

int Cmd_Restore_Factory(Context& ctx) {
  if (!ctx.options().positional.empty()) return ctx.Usage_Error("restore-factory takes no words besides its options");
  const auto port = ctx.Port_Option();
  if (!port) return Exit_Error;
  Session* s = ctx.Start();
  if (!s) return Exit_Error;

  Port_Icon_Command(*s, *port);
  if (!Found(*s)) return Report(ctx, *s, false);
  ctx.out() << "Restoring the factory settings of " << Shown(s->main.Tbl.text) << " on COM" << *port << "\n";
  Restore_Factory(*s);
  return Report(ctx, *s, Found(*s));
}

}  // namespace stylomat::cli
