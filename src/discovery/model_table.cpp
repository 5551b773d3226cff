#include "discovery/model_table.h"

#include <array>

#include "serial/serial_link.h"

namespace stylomat {

namespace {

enum class Test {
  Starts_With,  // the first characters of the reply, exactly, case included
  Contains,     // anywhere in the upper-cased reply
};

struct Model_Row {
  Test test;
  std::string_view code;
  std::string_view name;
};

// Identification replies of every probe.  Order matters: a later matching
// row overrides an earlier one, so longer codes follow the shorter codes
// they extend ("Mensaro Pallivant VI" after "Mensaro Pallivant V").
constexpr std::array<Model_Row, 25> Product_Rows{{
    {Test::Starts_With, "KORV/Mensaro 36090", "Mensaro, Morvane (Serial)"},
    {Test::Starts_With, "Mensaro 1000", "Mensaro, Zephane"},
    {Test::Starts_With, "11050", "Mensaro, Orvanta"},
    {Test::Starts_With, "11090", "Mensaro, Orvanta Pro"},
    {Test::Starts_With, "11120", "Mensaro, Orvanta/Belmora Pro"},
    {Test::Starts_With, "11180", "Mensaro, Orvanta/Belmora Pro"},
    {Test::Starts_With, "35050,", "Mensaro, Belmora"},
    {Test::Starts_With, "35120,", "Mensaro, Belmora Pro"},
    {Test::Starts_With, "35180,", "Mensaro, Belmora Pro"},
    {Test::Starts_With, "KORV/Mensaro DVIII", "KORV Mensaro, Dovrane III"},
    {Test::Contains, "DOVRANE IV", "KORV Mensaro, Dovrane IV"},
    {Test::Contains, "DOVRANE VI", "KORV Mensaro, Dovrane VI"},
    {Test::Starts_With, "KORV/Mensaro MXII", "KORV Mensaro, Mirolex II"},
    {Test::Contains, "MIROLEX III", "KORV Mensaro, Mirolex III"},
    {Test::Starts_With, "Mensaro Pallivant V", "Zeltavision, Pallivant V"},
    {Test::Starts_With, "Mensaro Pallivant VI", "Zeltavision, Pallivant VI"},
    {Test::Contains, "PALLIVANT VII", "Zeltavision, Pallivant VII"},
    {Test::Starts_With, "Mensaro Velliscope IV", "Mensaro, Velliscope IV"},
    {Test::Contains, "VELLISCOPE V", "KORV Mensaro, Velliscope V"},
    {Test::Contains, "VELLISCOPE VI", "KORV Mensaro, Velliscope VI"},
    {Test::Starts_With, "Mensaro 3300", "Mensaro, Velliscope II / III"},
    {Test::Starts_With, "Mensaro 3400", "Mensaro, Velliscope III"},
    {Test::Starts_With, "Mensaro 3100", "Mensaro, Lumivane"},
    {Test::Starts_With, "Mensaro 3200", "Mensaro, Lumivane"},
    {Test::Starts_With, "Mensaro Pallivant Colossa", "KORV Mensaro, Colossa Pallivant"},
}};

// Type-5 tablets name themselves by a two-letter code in their version
// reply, looked for anywhere in the upper-cased reply.
constexpr std::array<Model_Row, 12> Firmware_Rows{{
    {Test::Contains, "J1", "KORV, Quorral"},
    {Test::Contains, "J2", "KORV, Quorral II"},
    {Test::Contains, "J3", "KORV, Quorral II"},
    {Test::Contains, "J4", "KORV, Quorral II"},
    {Test::Contains, "J5", "KORV, Quorral III"},
    {Test::Contains, "AA", "KORV, Mirolex"},
    {Test::Contains, "AB", "KORV, Dovrane II Plus"},
    {Test::Contains, "AE", "KORV, DovraneX"},
    {Test::Contains, "AH", "KORV, Cordless Quorral"},
    {Test::Contains, "AM", "KORV, DovraneX"},
    {Test::Contains, "AN", "KORV, Cordless Quorral"},
    {Test::Contains, "AC", "KORV, Tastrel"},
}};

struct Route_Row {
  std::array<std::string_view, 6> names;  // unused slots stay empty
  Config_Route route;
};

constexpr std::array<Route_Row, 7> Route_Rows{{
    {{"KORV Mensaro, Mirolex II"}, {Config_Window::Mirolex2, nullptr, nullptr}},
    {{"KORV Mensaro, Mirolex III"}, {Config_Window::Mirolex2, &Tablet_Identity::Mirolex_III_Flag, "Mirolex_III_Flag"}},
    {{"KORV Mensaro, Dovrane III"}, {Config_Window::Dovrane3, nullptr, nullptr}},
    {{"KORV Mensaro, Dovrane IV", "KORV Mensaro, Dovrane VI"},
     {Config_Window::Dovrane3, &Tablet_Identity::Dovrane_IV_VI_Flag, "Dovrane_IV_VI_Flag"}},
    {{"Zeltavision, Pallivant VII", "Zeltavision, Pallivant VI", "Zeltavision, Pallivant V",
      "KORV Mensaro, Colossa Pallivant"},
     {Config_Window::Pv5, nullptr, nullptr}},
    {{"KORV, Quorral III"}, {Config_Window::KORV_form, &Tablet_Identity::Quorral_III_Flag, "Quorral_III_Flag"}},
    {{"KORV Mensaro, Velliscope VI", "KORV Mensaro, Velliscope V", "Mensaro, Velliscope IV",
      "Mensaro, Velliscope III", "Mensaro, Velliscope II / III", "Mensaro, Lumivane"},
     {Config_Window::VSIII, nullptr, nullptr}},
}};

// Upper case of the ASCII letters only: replies are raw bytes and must not
// be touched by the locale.
std::string Upper_Ascii(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

bool Row_Matches(const Model_Row& row, std::string_view reply, std::string_view upper_reply) {
  if (row.test == Test::Starts_With) return reply.starts_with(row.code);
  return upper_reply.find(row.code) != std::string_view::npos;
}

template <std::size_t N>
void Apply_Rows(const std::array<Model_Row, N>& rows, std::string_view reply, std::string& name) {
  const std::string upper = Upper_Ascii(reply);
  for (const Model_Row& row : rows) {
    if (Row_Matches(row, reply, upper)) name = row.name;
  }
}

}  // namespace

std::string Model_Name_For(std::string_view product_reply, std::string_view firmware_reply, bool type5_format) {
  std::string name(product_reply);
  Apply_Rows(Product_Rows, product_reply, name);
  if (type5_format) Apply_Rows(Firmware_Rows, firmware_reply, name);
  return name;
}

void Match_Model(Session& s) {
  Tablet_Identity& id = s.identity;
  // An unknown tablet keeps its raw identification as its name.
  id.Model_Name = Model_Name_For(id.Product_Reply, id.Firmware_Reply, id.Type5_Format);
  id.Product_Reply = id.Model_Name;
  s.Facts_Changed();
}

const Config_Route* Find_Config_Route(std::string_view model_name) {
  for (const Route_Row& row : Route_Rows) {
    for (std::string_view name : row.names) {
      if (!name.empty() && name == model_name) return &row.route;
    }
  }
  return nullptr;
}

std::optional<Config_Window> Config_Window_For(std::string_view model_name) {
  const Config_Route* route = Find_Config_Route(model_name);
  if (!route) return std::nullopt;
  return route->window;
}

std::string Config_Caption(std::string_view model_name) {
  std::string caption(model_name);
  caption += " Advanced Configuration";
  return caption;
}

bool Route_Config(Session& s, bool open) {
  const Config_Route* route = Find_Config_Route(s.identity.Model_Name);
  if (!route) return false;
  if (route->variant_flag) s.identity.*(route->variant_flag) = true;
  if (!open) return true;
  const std::string caption = Config_Caption(s.identity.Model_Name);
  if (!s.front_end().Open_Config_Window(route->window, caption)) {
    Log_Line(s, std::string("The ") + Config_Window_Name(route->window) +
                    " configuration window is not available in this version");
    s.Refresh_Log_View();
  }
  return true;
}

}  // namespace stylomat
