// stylomat-cli image: the seven-byte settings image of the Mirolex and
// Dovrane tablets, without a tablet.
//
//   image encode B0,B1,B2,B3
//       prints the image text a SuperSet record goes out as.
//   image decode I1,I2,I3,I4,I5,I6,I7 [--window Mirolex2|Dovrane3]
//       translates a tablet's image into its SuperSet record and shows the
//       record as the window would after reading the tablet's active
//       settings (row 100): every box with its shown text and visibility.
// Needs no port.
#include <cstdint>
#include <iomanip>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/superset_print.h"
#include "superset/native_image.h"
#include "superset/superset_form.h"

namespace stylomat::cli {

namespace {

constexpr const char* Usage =
    "image encode B0,B1,B2,B3 | image decode I1,I2,I3,I4,I5,I6,I7 [--window Mirolex2|Dovrane3]";
constexpr int Active_Settings_Row = 100;

int Hex_Value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Comma-separated fields of one or two hexadecimal digits; at least
// min_fields, at most max_fields.  Nothing when anything else is found.
std::optional<std::vector<std::uint8_t>> Hex_Fields(const std::string& text, std::size_t min_fields,
                                                    std::size_t max_fields) {
  std::vector<std::uint8_t> bytes;
  std::size_t at = 0;
  while (true) {
    const std::size_t comma = text.find(',', at);
    const std::string field = text.substr(at, comma == std::string::npos ? std::string::npos : comma - at);
    if (field.empty() || field.size() > 2 || bytes.size() >= max_fields) return std::nullopt;
    int value = 0;
    for (char c : field) {
      const int d = Hex_Value(c);
      if (d < 0) return std::nullopt;
      value = value * 16 + d;
    }
    bytes.push_back(static_cast<std::uint8_t>(value));
    if (comma == std::string::npos) break;
    at = comma + 1;
  }
  if (bytes.size() < min_fields) return std::nullopt;
  return bytes;
}


int Encode(Context& ctx) {
  const Options& o = ctx.options();
  if (o.positional.size() != 2) return ctx.Usage_Error("image encode needs one record: B0,B1,B2,B3 in hexadecimal");
  const auto bytes = Hex_Fields(o.positional[1], 4, 4);
  if (!bytes) {
    return ctx.Usage_Error("\"" + o.positional[1] + "\" is not a record: four hexadecimal bytes such as 32,40,51,07");
  }
  const SuperSet_Bytes record{(*bytes)[0], (*bytes)[1], (*bytes)[2], (*bytes)[3]};
  ctx.out() << Image_Text(SuperSet_To_Image(record)) << '\n';
  return Exit_Ok;
}

int Decode(Context& ctx) {
  const Options& o = ctx.options();
  if (o.positional.size() != 2) return ctx.Usage_Error("image decode needs one image: I1,I2,I3,I4,I5,I6,I7");
  const auto bytes = Hex_Fields(o.positional[1], 1, Image_Byte_Count);
  if (!bytes) {
    return ctx.Usage_Error("\"" + o.positional[1] +
                           "\" is not an image: up to seven hexadecimal bytes such as 40,77,89,61,00,08,00");
  }
  Config_Window window = Config_Window::Mirolex2;
  if (const auto name = o.Value("window")) {
    const auto parsed = Parse_SuperSet_Window(*name);
    if (!parsed || *parsed == Config_Window::KORV_form) {
      return ctx.Usage_Error("--window must be Mirolex2 or Dovrane3");
    }
    window = *parsed;
  }
  // Bytes not given stay 0, as for a short reply.
  Native_Image image{};
  for (std::size_t n = 0; n < bytes->size(); ++n) image[n] = (*bytes)[n];
  const SuperSet_Bytes record = Image_To_SuperSet(image);

  Virtual_Clock clock;
  Port_Directory ports;
  Fixed_Prompter prompter;
  Session s(clock, ports, prompter);
  s.OEM_Mode = o.oem;

  // As reading the tablet's active settings does: the record goes into row
  // 100 and is loaded into the boxes while the table is left alone.
  SuperSet_Form form(s, window);
  form.Table()[Active_Settings_Row] = record;
  form.Loading_SuperSet = true;
  form.Save_SuperSet(Active_Settings_Row);
  form.Loading_SuperSet = false;

  std::ostream& out = ctx.out();
  out << "Image " << Image_Text(image) << '\n';
  out << "Record " << Record_Text(record) << '\n';
  out << "Window " << Config_Window_Name(window) << (s.OEM_Mode ? " (OEM)" : "") << '\n';
  for (SuperSet_Box box : All_SuperSet_Boxes()) {
    if (box == SuperSet_Box::CmbSuperSet || !form.Has_Box(box)) continue;
    Print_SuperSet_Box(out, form, box);
  }
  return Exit_Ok;
}

}  // namespace

int Cmd_Image(Context& ctx) {
  const auto& words = ctx.options().positional;
  if (!words.empty() && words[0] == "encode") return Encode(ctx);
  if (!words.empty() && words[0] == "decode") return Decode(ctx);
  return ctx.Usage_Error(Usage);
}

}  // namespace stylomat::cli
