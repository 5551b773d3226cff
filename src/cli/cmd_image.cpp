// stylomat-cli image: the seven-byte settings image of the Mirolex and
// Dovrane tablets, without a tablet.
//
//   image encode RECORD...|-
//       the image each SuperSet record goes out as.
//   image decode --window W IMAGE...|-
//       translates each tablet image into its SuperSet record and shows the
//       record as the window does after reading the tablet's active settings
//       (row 100): every box with its shown text and visibility, and the
//       record it writes back.
// Needs no port.
#include "cli/cli.h"
#include "cli/form_docs.h"
#include "cli/inputs.h"
#include "superset/native_image.h"

namespace stylomat::cli {

namespace {

constexpr int Active_Settings_Row = 100;

}  // namespace

int Cmd_Image_Encode(Context& ctx) {
  return Each_Input(ctx, ctx.options().positional, "image encode needs records: RECORD... or - (see --help)",
                    [](const std::string& input, std::string& why) -> std::optional<Doc> {
                      const auto record = Record_Argument(input);
                      if (!record) {
                        why = Not_A_Record(input);
                        return std::nullopt;
                      }
                      Doc doc;
                      doc.Text("Input", input);
                      doc.Word("Record", Record_Text(*record));
                      doc.Word("Image", Image_Text(SuperSet_To_Image(*record)));
                      return doc;
                    });
}

int Cmd_Image_Decode(Context& ctx) {
  const Options& o = ctx.options();
  std::optional<Config_Window> window;
  if (!Window_Option(ctx, {Config_Window::Mirolex2, Config_Window::Dovrane3}, true, window)) return Exit_Error;
  // One session for every image, as for superset decode.
  Offline_Session offline;
  Session& s = offline.s;
  s.OEM_Mode = o.oem;
  s.Debug_Mode = o.debug;
  return Each_Input(
      ctx, o.positional, "image decode needs images: IMAGE... or - (see --help)",
      [&](const std::string& input, std::string& why) -> std::optional<Doc> {
        const auto image = Image_Argument(input);
        if (!image) {
          why = Not_An_Image(input);
          return std::nullopt;
        }
        const SuperSet_Bytes record = Image_To_SuperSet(*image);
        const std::size_t log_mark = s.log.Size();
        // As reading the tablet's active settings does: the record goes into
        // row 100 and is loaded into the boxes while the table is left alone.
        SuperSet_Form form(s, *window);
        form.Table()[Active_Settings_Row] = record;
        form.Loading_SuperSet = true;
        form.Save_SuperSet(Active_Settings_Row);
        form.Loading_SuperSet = false;
        Doc doc;
        doc.Text("Input", input);
        doc.Word("Image", Image_Text(*image));
        Add_SuperSet_Form(doc, form, Active_Settings_Row, record, s.OEM_Mode);
        if (s.Debug_Mode) doc.Texts("Log", Log_Lines(s.log.Text().substr(log_mark)));
        return doc;
      });
}

}  // namespace stylomat::cli
