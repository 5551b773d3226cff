// stylomat-cli superset: the SuperSet record model without a tablet.
//
//   superset decode --window W RECORD...|-
//       shows each record as the configuration window does once it sits
//       in an editable row (user SuperSet 90): every box with its shown
//       text and whether it is visible, and the record the window writes
//       back.  A technician can read records from a traffic log this way.
//   superset tables [--window W] [--out DIR]
//       writes (or prints) the factory table files generated from the
//       SuperSet list texts.
// Needs no port.
#include <filesystem>
#include <fstream>

#include "cli/cli.h"
#include "cli/form_docs.h"
#include "cli/inputs.h"
#include "superset/factory_tables.h"
#include "superset/table_files.h"

namespace stylomat::cli {

namespace {

constexpr int Decode_Row = 90;  // an editable row: "90 User defined"

constexpr auto SuperSet_Windows = {Config_Window::KORV_form, Config_Window::Mirolex2, Config_Window::Dovrane3};

bool Write_File_Atomically(const std::filesystem::path& path, const std::string& text) {
  const std::filesystem::path temporary = path.string() + ".tmp";
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    if (!file) return false;
    file << text;
    file.flush();
    if (!file) return false;
  }
  std::error_code ec;
  std::filesystem::rename(temporary, path, ec);
  if (ec) std::filesystem::remove(temporary, ec);
  return !ec;
}

}  // namespace

int Cmd_Superset_Decode(Context& ctx) {
  const Options& o = ctx.options();
  std::optional<Config_Window> window;
  if (!Window_Option(ctx, SuperSet_Windows, true, window)) return Exit_Error;
  // One session for every record: the window reads its flags and writes
  // only its log, whose lines for each record are taken apart.
  Offline_Session offline;
  Session& s = offline.s;
  s.OEM_Mode = o.oem;
  s.Debug_Mode = o.debug;
  return Each_Input(
      ctx, o.positional, "superset decode needs records: RECORD... or - (see --help)",
      [&](const std::string& input, std::string& why) -> std::optional<Doc> {
        const auto record = Record_Argument(input);
        if (!record) {
          why = Not_A_Record(input);
          return std::nullopt;
        }
        const std::size_t log_mark = s.log.Size();
        SuperSet_Form form(s, *window);
        form.Table()[Decode_Row] = *record;
        form.Select_SuperSet(Decode_Row);
        Doc doc;
        doc.Text("Input", input);
        Add_SuperSet_Form(doc, form, Decode_Row, *record, s.OEM_Mode);
        if (s.Debug_Mode) doc.Texts("Log", Log_Lines(s.log.Text().substr(log_mark)));
        return doc;
      });
}

int Cmd_Superset_Tables(Context& ctx) {
  const Options& o = ctx.options();
  if (!o.positional.empty()) return ctx.Usage_Error("superset tables takes no words besides its options");
  std::optional<Config_Window> only;
  const auto out_dir = o.Value("out");
  if (!Window_Option(ctx, SuperSet_Windows, !out_dir, only)) return Exit_Error;
  std::vector<Config_Window> windows = SuperSet_Windows;
  if (only) windows = {*only};
  for (Config_Window w : windows) {
    const std::string text = Factory_Table_Text(w);
    Doc doc;
    doc.Word("Window", Config_Window_Name(w));
    if (!out_dir) {
      // The file's text as the file holds it: a script can redirect it.
      if (!ctx.printer().Json()) {
        ctx.out() << text;
        continue;
      }
      doc.Text("File", Table_File_Name(w));
      doc.Text("Text", text);
      ctx.printer().Doc_Out(doc);
      continue;
    }
    const std::filesystem::path path = std::filesystem::path(*out_dir) / Table_File_Name(w);
    if (!Write_File_Atomically(path, text)) {
      ctx.err() << "stylomat-cli: cannot write " << Shown(path.string()) << '\n';
      return Exit_Error;
    }
    doc.Text("File", path.string());
    ctx.printer().Doc_Out(doc);
  }
  return Exit_Ok;
}

}  // namespace stylomat::cli
