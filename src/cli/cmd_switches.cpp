// stylomat-cli switches: the switch-bank model of the Pallivant V and
// Velliscope III tablets, without a tablet.
//
//   switches decode --window Pv5|VSIII IMAGE...|-
//       decodes each settings image as the configuration window does after
//       loading the factory pattern: the three banks, every setting as the
//       window shows it, and the image the switches encode back to.
//   switches factory --window Pv5|VSIII
//       the factory banks, settings and image.
// Needs no port.
#include "cli/cli.h"
#include "cli/form_docs.h"
#include "cli/inputs.h"
#include "switchbank/switch_protocol.h"

namespace stylomat::cli {

namespace {

constexpr auto Switch_Windows = {Config_Window::Pv5, Config_Window::VSIII};

}  // namespace

int Cmd_Switches_Decode(Context& ctx) {
  const Options& o = ctx.options();
  std::optional<Config_Window> window;
  if (!Window_Option(ctx, Switch_Windows, true, window)) return Exit_Error;
  // One session for every image: decoding writes only its log.
  Offline_Session offline;
  offline.s.Debug_Mode = o.debug;
  return Each_Input(
      ctx, o.positional, "switches decode needs images: IMAGE... or - (see --help)",
      [&](const std::string& input, std::string& why) -> std::optional<Doc> {
        const auto image = Image_Argument(input);
        if (!image) {
          why = Not_An_Image(input);
          return std::nullopt;
        }
        const std::size_t log_mark = offline.s.log.Size();
        // As the window opens: the factory pattern first, then the reply.
        Switch_Bank_Form form(*window);
        form.Load_Factory_Switches();
        const std::string reply = Image_Text(*image);
        Decode_Switch_Report(offline.s, form, reply);
        Doc doc;
        doc.Text("Input", input);
        doc.Word("Reply", reply);
        doc.Text("Caption", form.Variant().caption);
        Add_Switch_Form(doc, form);
        if (o.debug) doc.Texts("Log", Log_Lines(offline.s.log.Text().substr(log_mark)));
        return doc;
      });
}

int Cmd_Switches_Factory(Context& ctx) {
  if (!ctx.options().positional.empty()) return ctx.Usage_Error("switches factory takes no words besides its options");
  std::optional<Config_Window> window;
  if (!Window_Option(ctx, Switch_Windows, true, window)) return Exit_Error;
  Switch_Bank_Form form(*window);
  form.Load_Factory_Switches();
  Doc doc;
  doc.Text("Caption", form.Variant().caption);
  Add_Switch_Form(doc, form);
  ctx.printer().Doc_Out(doc);
  return Exit_Ok;
}

}  // namespace stylomat::cli
