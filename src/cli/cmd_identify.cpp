// stylomat-cli identify: the model name an identification answer leads to,
// the configuration window that serves it and the variant flag it sets.
// Needs no port: a technician can try answers read from unknown tablets,
// one or many.
#include "cli/cli.h"
#include "cli/inputs.h"
#include "discovery/model_table.h"

namespace stylomat::cli {

int Cmd_Identify(Context& ctx) {
  const Options& o = ctx.options();
  const auto firmware = o.Value("firmware");
  const bool type5 = o.Flag("type5");
  if (firmware && !type5) return ctx.Usage_Error("--firmware is a Type-5 tablet's firmware answer: it needs --type5");
  return Each_Input(
      ctx, o.positional, "identify needs the identification answer: identify PRODUCT... or - (see --help)",
      [&](const std::string& product, std::string&) -> std::optional<Doc> {
        Offline_Session offline;
        Tablet_Identity& id = offline.s.identity;
        id.Product_Reply = product;
        id.Firmware_Reply = firmware.value_or("");
        id.Type5_Format = type5;
        Match_Model(offline.s);
        const Config_Route* route = Find_Config_Route(id.Model_Name);
        const bool routed = Route_Config(offline.s, false);
        Doc doc;
        doc.Text("Input", product);
        doc.Text_Or_None("Firmware_Reply", firmware);
        doc.Flag("Type5_Format", type5);
        doc.Text("Model_Name", id.Model_Name);
        doc.Word_Or_None("Config_Window", routed && route ? Config_Window_Name(route->window) : nullptr);
        doc.Word_Or_None("Variant_Flag", route ? route->variant_name : nullptr);
        return doc;
      });
}

}  // namespace stylomat::cli
