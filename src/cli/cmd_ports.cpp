// stylomat-cli ports: COM1..COM8, the device behind each, and whether the
// port could be opened.
#include <iomanip>

#include "cli/cli.h"

namespace stylomat::cli {

int Cmd_Ports(Context& ctx) {
  Session* s = ctx.Start();
  if (!s) return Exit_Error;
  for (int com = 1; com <= 8; ++com) {
    const Port_Entry* e = s->ports.Find(com);
    std::string device = e ? e->device : "-";
    std::string text = e ? e->description : "nothing assigned";
    ctx.out() << "COM" << com << "  " << std::left << std::setw(14) << (s->Com_Available[com] ? "available" : "unavailable")
              << std::setw(24) << device << text << "\n";
  }
  if (!s->main.Simulated_Ports_Note.empty()) ctx.out() << s->main.Simulated_Ports_Note << "\n";
  return Exit_Ok;
}

}  // namespace stylomat::cli
