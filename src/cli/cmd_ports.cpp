// stylomat-cli ports: COM1..COM8, the device behind each, whether the port
// could be opened, and why not.  One result a port.
#include "cli/cli.h"

namespace stylomat::cli {

int Cmd_Ports(Context& ctx) {
  if (!ctx.options().positional.empty()) return ctx.Usage_Error("ports takes no words besides its options");
  Session* s = ctx.Start();
  if (!s) return Exit_Error;
  for (int com = 1; com <= 8; ++com) {
    const std::size_t n = static_cast<std::size_t>(com);
    const Port_Entry* e = s->ports.Find(com);
    Doc doc;
    doc.Word("Port", "COM" + std::to_string(com));
    doc.Flag("Available", s->Com_Available[n]);
    doc.Text_Or_None("Device", e ? std::optional<std::string>(e->device) : std::nullopt);
    doc.Text_Or_None("Description", e ? std::optional<std::string>(e->description) : std::nullopt);
    const bool reason = e && !s->Com_Available[n] && !s->Com_Reason[n].empty();
    doc.Text_Or_None("Reason", reason ? std::optional<std::string>(s->Com_Reason[n]) : std::nullopt);
    ctx.printer().Doc_Out(doc);
  }
  if (!s->main.Simulated_Ports_Note.empty()) ctx.err() << "stylomat-cli: " << s->main.Simulated_Ports_Note << "\n";
  return Exit_Ok;
}

}  // namespace stylomat::cli
