// stylomat-cli ports: COM1..COM8, the device behind each, whether the port
// could be opened, and why not.
#include <iomanip>

#include "cli/cli.h"

namespace stylomat::cli {

int Cmd_Ports(Context& ctx) {
  Session* s = ctx.Start();
  if (!s) return Exit_Error;
  for (int com = 1; com <= 8; ++com) {
    const std::size_t n = static_cast<std::size_t>(com);
    const Port_Entry* e = s->ports.Find(com);
    const std::string device = e ? Shown(e->device) : "-";
    std::string text = e ? Shown(e->description) : "nothing assigned";
    if (e && !s->Com_Available[n] && !s->Com_Reason[n].empty()) {
      text += (text.empty() ? "" : "; ") + Shown(s->Com_Reason[n]);
    }
    ctx.out() << "COM" << com << "  " << std::left << std::setw(14) << (s->Com_Available[n] ? "available" : "unavailable")
              << std::setw(24) << device << text << "\n";
  }
  if (!s->main.Simulated_Ports_Note.empty()) ctx.out() << s->main.Simulated_Ports_Note << "\n";
  return Exit_Ok;
}

}  // namespace stylomat::cli
