// stylomat-cli identify: the model name an identification answer leads to,
// the configuration window that serves it and the variant flag it sets.
// Needs no port: a technician can try a string read from an unknown tablet.
#include "cli/cli.h"
#include "discovery/model_table.h"

namespace stylomat::cli {

int Cmd_Identify(Context& ctx) {
  const Options& o = ctx.options();
  const auto product = o.Value("product");
  if (!product) return ctx.Usage_Error("identify needs --product TEXT (the tablet's identification answer)");
  if (!o.positional.empty()) return ctx.Usage_Error("identify takes no words besides its options");
  const auto firmware = o.Value("firmware");
  const bool type5 = o.Flag("type5");
  if (firmware && !type5) ctx.err() << "stylomat-cli: --firmware is only looked at with --type5\n";

  Virtual_Clock clock;
  Port_Directory ports;
  Fixed_Prompter prompter;
  Session s(clock, ports, prompter);
  Tablet_Identity& id = s.identity;
  id.Product_Reply = *product;
  id.Firmware_Reply = firmware.value_or("");
  id.Type5_Format = type5;

  Match_Model(s);
  const Config_Route* route = Find_Config_Route(id.Model_Name);
  const bool routed = Route_Config(s, false);

  ctx.out() << "Model_Name: " << Shown(id.Model_Name) << "\n";
  ctx.out() << "Configuration window: " << (routed && route ? Config_Window_Name(route->window) : "none") << "\n";
  ctx.out() << "Variant flag: " << (route && route->variant_name ? route->variant_name : "none") << "\n";
  return Exit_Ok;
}

}  // namespace stylomat::cli
