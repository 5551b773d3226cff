// stylomat-cli superset: the SuperSet record model without a tablet.
//
//   superset decode B0,B1,B2,B3 [--window KORV_form|Mirolex2|Dovrane3] [--oem]
//       shows the record as the configuration window would: every box with
//       its shown text and whether it is visible, and the record the window
//       stores back once the record sits in an editable row (user SuperSet
//       90).  A technician can read a record from a traffic log this way.
//   superset tables [--window W] [--out DIR]
//       writes (or prints) the factory table files generated from the
//       SuperSet list texts.
// Needs no port.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <optional>
#include <sstream>

#include "cli/cli.h"
#include "cli/superset_print.h"
#include "superset/factory_tables.h"
#include "superset/superset_form.h"
#include "superset/table_files.h"

namespace stylomat::cli {

namespace {

constexpr int Decode_Row = 90;  // an editable row: "90 User defined"

int Hex_Value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "32,40,51,07": four fields of one or two hexadecimal digits.
std::optional<SuperSet_Record> Parse_Record_Argument(const std::string& text) {
  SuperSet_Record record{};
  std::size_t field = 0;
  int digits = 0;
  int value = 0;
  for (char c : text) {
    if (c == ',') {
      if (digits == 0 || field >= 3) return std::nullopt;
      record[field++] = static_cast<std::uint8_t>(value);
      digits = 0;
      value = 0;
      continue;
    }
    const int d = Hex_Value(c);
    if (d < 0 || digits == 2) return std::nullopt;
    value = value * 16 + d;
    ++digits;
  }
  if (digits == 0 || field != 3) return std::nullopt;
  record[3] = static_cast<std::uint8_t>(value);
  return record;
}

std::optional<Config_Window> Window_Option(Context& ctx, bool& bad) {
  bad = false;
  const auto name = ctx.options().Value("window");
  if (!name) return std::nullopt;
  auto window = Parse_SuperSet_Window(*name);
  if (!window) bad = true;
  return window;
}

int Decode(Context& ctx) {
  const Options& o = ctx.options();
  if (o.positional.size() != 2) return ctx.Usage_Error("superset decode needs one record: B0,B1,B2,B3 in hexadecimal");
  const auto record = Parse_Record_Argument(o.positional[1]);
  if (!record) {
    return ctx.Usage_Error("\"" + o.positional[1] + "\" is not a record: four hexadecimal bytes such as 32,40,51,07");
  }
  bool bad_window = false;
  const Config_Window window = Window_Option(ctx, bad_window).value_or(Config_Window::KORV_form);
  if (bad_window) return ctx.Usage_Error("--window must be KORV_form, Mirolex2 or Dovrane3");

  Virtual_Clock clock;
  Port_Directory ports;
  Fixed_Prompter prompter;
  Session s(clock, ports, prompter);
  s.OEM_Mode = o.oem;
  s.Debug_Mode = o.debug;

  SuperSet_Form form(s, window);
  form.Table()[Decode_Row] = *record;
  form.Select_SuperSet(Decode_Row);

  std::ostream& out = ctx.out();
  out << "Window " << Config_Window_Name(window) << (s.OEM_Mode ? " (OEM)" : "") << ", record " << Record_Text(*record)
      << " in row " << Decode_Row << '\n';
  for (SuperSet_Box box : All_SuperSet_Boxes()) {
    if (form.Has_Box(box)) Print_SuperSet_Box(out, form, box);
  }
  out << std::left << std::setw(13) << "Byte0_Bit3" << form.Byte0_Bit3() << '\n';
  out << "Written back: " << Record_Text(form.Table()[Decode_Row]) << '\n';
  if (s.Debug_Mode) Print_Log_Lines(out, s.log.Text());
  return Exit_Ok;
}

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

int Tables(Context& ctx) {
  const Options& o = ctx.options();
  if (o.positional.size() != 1) return ctx.Usage_Error("superset tables takes no further words");
  bool bad_window = false;
  const auto only = Window_Option(ctx, bad_window);
  if (bad_window) return ctx.Usage_Error("--window must be KORV_form, Mirolex2 or Dovrane3");

  std::vector<Config_Window> windows = {Config_Window::KORV_form, Config_Window::Mirolex2,
                                          Config_Window::Dovrane3};
  if (only) windows = {*only};
  const auto out_dir = o.Value("out");
  for (Config_Window w : windows) {
    const std::string text = Factory_Table_Text(w);
    if (!out_dir) {
      if (!only) ctx.out() << "== " << Table_File_Name(w) << '\n';
      ctx.out() << text;
      continue;
    }
    const std::filesystem::path path = std::filesystem::path(*out_dir) / Table_File_Name(w);
    if (!Write_File_Atomically(path, text)) {
      ctx.err() << "stylomat-cli: cannot write " << path.string() << '\n';
      return Exit_Error;
    }
    ctx.out() << "wrote " << path.string() << '\n';
  }
  return Exit_Ok;
}

}  // namespace

int Cmd_Superset(Context& ctx) {
  const auto& words = ctx.options().positional;
  if (!words.empty() && words[0] == "decode") return Decode(ctx);
  if (!words.empty() && words[0] == "tables") return Tables(ctx);
  return ctx.Usage_Error(
      "superset decode B0,B1,B2,B3 [--window KORV_form|Mirolex2|Dovrane3] [--oem] | superset tables [--window W] "
      "[--out DIR]");
}

}  // namespace stylomat::cli
