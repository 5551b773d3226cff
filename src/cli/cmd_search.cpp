// stylomat-cli search / restore-factory: the port search of the main
// window, one port (its icon) or all ports (Search All Serial Ports), and
// the Restore Factory Settings command on the tablet found.  Prints what
// the main window would show.
#include <cstdio>
#include <string>

#include "cli/cli.h"
#include "discovery/port_search.h"

namespace stylomat::cli {

namespace {

// Tablet replies are untrusted bytes: control and non-ASCII bytes are shown
// as \xNN so they cannot upset the terminal.
std::string Printable(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    if (c >= 0x20 && c < 0x7f) {
      out += static_cast<char>(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  return out;
}

// A message of the main window: its CR line breaks become new lines.
std::string Message_Lines(const std::string& text) {
  std::string out;
  for (char c : text) out += c == '\r' ? '\n' : c;
  return out;
}

std::string Menu_Caption(const Menu_Entry_State& entry) {
  std::string out;
  for (char c : entry.caption)
    if (c != '&') out += c;
  return out;
}

void Print_Found(Context& ctx, Session& s) {
  const Main_Window_State& m = s.main;
  ctx.out() << "Port: COM" << Printable(m.CommPort.text) << "\n";
  ctx.out() << "Model: " << Printable(m.Tbl.text) << "\n";
  ctx.out() << "Size: " << Printable(m.Size_lb.text) << "\n";
  if (m.Version_Lb.visible) ctx.out() << "Firmware: " << Printable(m.Version_Lb.text) << "\n";
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
  if (s.main.ErrorMsg.visible) ctx.out() << Message_Lines(s.main.ErrorMsg.text) << "\n";
  return s.Search_Status == -2 ? Exit_Error : Exit_Nothing;
}

bool Found(const Session& s) { return s.Search_Status == 0 && s.port.PortOpen(); }

}  // namespace

int Cmd_Search(Context& ctx) {
  const Options& o = ctx.options();
  if (!o.positional.empty()) return ctx.Usage_Error("search takes no words besides its options");
  const bool all = o.Flag("all");
  if (all && o.Value("port")) return ctx.Usage_Error("search takes either --port N or --all, not both");
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
  for (int n = 1; n <= 8; ++n) any_available = any_available || s->Com_Available[static_cast<std::size_t>(n)];
  if (!any_available) {
    ctx.out() << "No serial port is available.\n";
    return Exit_Nothing;
  }
  const int found_on = Search_All_Ports(*s);
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
  ctx.out() << "Restoring the factory settings of " << Printable(s->main.Tbl.text) << " on COM" << *port << "\n";
  Restore_Factory(*s);
  return Report(ctx, *s, Found(*s));
}

}  // namespace stylomat::cli
