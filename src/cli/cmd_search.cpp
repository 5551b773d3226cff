// stylomat-cli search / restore-factory: the port search of the main
// window, one port (its icon) or all ports (Search All Serial Ports), and
// the Restore Factory Settings command on the tablet found.  The result is
// what the main window shows: the tablet's model, size and firmware, the
// menu entries it offers, and the window's message.
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

bool Found(const Session& s) { return s.Search_Status == 0 && s.port.PortOpen(); }

// What the main window shows after the last search on `port` (0: none):
// the same fields whether a tablet was found or not.
Doc Search_Result(const Session& s, int port, const std::optional<std::string>& message) {
  const bool found = Found(s);
  const Main_Window_State& m = s.main;
  const Tablet_Identity& id = s.identity;
  Doc doc;
  doc.Word_Or_None("Port", port > 0 ? ("COM" + std::to_string(port)).c_str() : nullptr);
  doc.Flag("Found", found);
  const auto shown = [found](const std::string& text) {
    return found ? std::optional<std::string>(text) : std::nullopt;
  };
  doc.Text_Or_None("Model_Name", shown(id.Model_Name));
  doc.Text_Or_None("Size_Text", shown(id.Size_Text));
  doc.Text_Or_None("Firmware_Text", m.Version_Lb.visible ? shown(id.Firmware_Text) : std::nullopt);
  std::vector<std::string> offers;
  for (const Menu_Entry_State* entry : {&m.Config_Tbl, &m.Reset_Tbl, &m.Grid_btn}) {
    if (found && entry->visible && entry->enabled) offers.push_back(Menu_Caption(*entry));
  }
  doc.Texts("Menus", offers);
  doc.Text_Or_None("Message", message);
  return doc;
}

// The outcome of the last search as the result, and its exit status.
int Report(Context& ctx, Session& s, int port) {
  ctx.printer().Doc_Out(Search_Result(s, port, Window_Message(s)));
  if (Found(s)) return Exit_Ok;
  return s.Search_Status == -2 ? Exit_Error : Exit_Nothing;
}

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
    return Report(ctx, *s, *port);
  }
  bool any_available = false;
  bool any_present = false;
  for (std::size_t n = 1; n <= 8; ++n) {
    any_available = any_available || s->Com_Available[n];
    any_present = any_present || s->Com_Present[n];
  }
  if (!any_available) {
    // Why each port that is there could not be used: held by another
    // program, no permission, not a serial device.
    Doc reasons;
    for (int n = 1; n <= 8; ++n) {
      const std::string& reason = s->Com_Reason[static_cast<std::size_t>(n)];
      if (!reason.empty()) reasons.Text("COM" + std::to_string(n), reason);
    }
    Doc doc = Search_Result(*s, 0, "No serial port is available.");
    doc.Group("Reasons", std::move(reasons));
    ctx.printer().Doc_Out(doc);
    return any_present ? Exit_Error : Exit_Nothing;
  }
  return Report(ctx, *s, parallel ? Search_All_Ports_Parallel(*s) : Search_All_Ports(*s));
}

int Cmd_Restore_Factory(Context& ctx) {
  if (!ctx.options().positional.empty()) return ctx.Usage_Error("restore-factory takes no words besides its options");
  const auto port = ctx.Port_Option();
  if (!port) return Exit_Error;
  Session* s = ctx.Start();
  if (!s) return Exit_Error;

  Port_Icon_Command(*s, *port);
  if (!Found(*s)) return Report(ctx, *s, *port);
  ctx.err() << "stylomat-cli: restoring the factory settings of " << Shown(s->identity.Model_Name) << " on COM"
            << *port << "\n";
  Restore_Factory(*s);
  return Report(ctx, *s, *port);
}

}  // namespace stylomat::cli
