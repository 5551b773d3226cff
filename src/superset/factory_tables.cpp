#include "superset/factory_tables.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "superset/superset_lists.h"
#include "superset/table_files.h"

namespace stylomat {

namespace {

bool Equal_No_Case(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

bool All_Digits(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::vector<std::string_view> Split(std::string_view s, std::string_view separators) {
  std::vector<std::string_view> parts;
  std::size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && separators.find(s[i]) != std::string_view::npos) ++i;
    const std::size_t start = i;
    while (i < s.size() && separators.find(s[i]) == std::string_view::npos) ++i;
    if (i > start) parts.push_back(s.substr(start, i - start));
  }
  return parts;
}

bool Starts_With(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

int Index_Of(const std::vector<std::string>& items, std::string_view text) {
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (items[i] == text) return static_cast<int>(i);
  }
  return -1;
}

// "1000lpi", "1000 lpi", "100 lpm", "40 lpmm" -> the resolution list's text.
std::string Resolution_Text(std::string_view number, std::string_view unit) {
  std::string u(unit);
  std::transform(u.begin(), u.end(), u.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (u == "lpm") u = "lpmm";
  return std::string(number) + " " + u;
}

bool Is_Unit(std::string_view word) {
  return Equal_No_Case(word, "lpi") || Equal_No_Case(word, "lpmm") || Equal_No_Case(word, "lpm");
}

// Splits "1000lpi" into number and unit; false when word is not that shape.
bool Split_Number_Unit(std::string_view word, std::string_view& number, std::string_view& unit) {
  std::size_t i = 0;
  while (i < word.size() && word[i] >= '0' && word[i] <= '9') ++i;
  if (i == 0 || i == word.size()) return false;
  number = word.substr(0, i);
  unit = word.substr(i);
  return Is_Unit(unit);
}

Factory_Text_Reading Unreadable(std::string problem) {
  Factory_Text_Reading r;
  r.kind = Factory_Text_Kind::Unreadable;
  r.problem = std::move(problem);
  return r;
}

bool Read_Framing(std::string_view framing, Factory_Description& d) {
  const auto parts = Split(framing, ",");
  if (parts.size() != 4 || !All_Digits(parts[0])) return false;
  if (parts[1].size() != 1 || std::string_view("NOE").find(parts[1][0]) == std::string_view::npos) return false;
  if (parts[2] != "7" && parts[2] != "8") return false;
  if (parts[3] != "1" && parts[3] != "2") return false;
  if (Index_Of(Baud_Items(), parts[0]) < 0) return false;
  d.baud = std::string(parts[0]);
  d.parity = parts[1][0];
  d.data_bits = parts[2][0] - '0';
  d.stop_bits = parts[3][0] - '0';
  return true;
}

bool Read_Option(std::string_view word, Factory_Description& d) {
  struct Flag_Word {
    const char* word;
    bool Factory_Description::*flag;
  };
  static constexpr Flag_Word flag_words[] = {
      {"Alarm", &Factory_Description::alarm},     {"Pb", &Factory_Description::buttons},
      {"Sp", &Factory_Description::space},        {"CR", &Factory_Description::carriage_return},
      {"LF", &Factory_Description::line_feed},    {"DP", &Factory_Description::decimal_point},
      {"Max", &Factory_Description::rate_max}};
  for (const auto& f : flag_words) {
    if (Equal_No_Case(word, f.word)) {
      d.*(f.flag) = true;
      return true;
    }
  }
  if (All_Digits(word) && word.size() <= 3 && d.rate == 0) {
    d.rate = std::stoi(std::string(word));
    return d.rate == 12 || d.rate == 25 || d.rate == 50 || d.rate == 100 || d.rate == 200;
  }
  return false;
}

int Rate_Index(const Factory_Description& d) {
  if (d.rate_max) return 2;  // 100 pps, the fastest of the list
  switch (d.rate) {
    case 12: return 0;
    case 50: return 1;
    case 100: return 2;
    case 25: return 3;
    case 200: return 2;  // beyond the list: its fastest
    default: break;
  }
  return d.mode == "Point" ? 0 : 2;
}

int Mode_Index(std::string_view mode) {
  if (mode == "Line") return 1;
  if (mode == "Cont") return 2;
  if (mode == "Line Incr") return 3;
  if (mode == "Cont Incr") return 4;
  return 0;
}

Factory_Description Default_Description(Config_Window window) {
  Factory_Description d;
  (void)window;  // "1000 lpi" is in every window's resolution list
  d.resolution = "1000 lpi";
  d.mode = "Cont";
  d.rate = 100;
  return d;
}

}  // namespace

Factory_Text_Reading Read_Factory_Text(std::string_view text, Config_Window window) {
  // "nn " first.
  if (text.size() < 3 || !All_Digits(text.substr(0, 2)) || text[2] != ' ') {
    Factory_Text_Reading r;
    r.kind = Factory_Text_Kind::Open;  // "Power On setting", "Tempory Custom setting", "101 *Special..."
    if (Starts_With(text, "Power On") || Starts_With(text, "Tempory") || text.find("*Special") != std::string_view::npos) {
      return r;
    }
    return Unreadable("no SuperSet number");
  }
  std::string_view rest = text.substr(3);
  while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
  if (rest == "Reserved" || rest == "User defined") {
    Factory_Text_Reading r;
    r.kind = Factory_Text_Kind::Open;
    return r;
  }

  Factory_Text_Reading r;
  r.kind = Factory_Text_Kind::Described;
  Factory_Description& d = r.description;
  const std::size_t blank = rest.find(' ');
  if (blank == std::string_view::npos || !Read_Framing(rest.substr(0, blank), d)) return Unreadable("framing");

  const auto words = Split(rest.substr(blank), " ,");
  std::size_t i = 0;
  auto next = [&]() -> std::string_view { return i < words.size() ? words[i] : std::string_view(); };

  // Emulation and format.
  const std::string_view family = next();
  if (family == "KORV_form" || family == "KORV") d.family = "KORV";
  else if (family == "Mensaro") d.family = "Mensaro";
  else if (family == "Zelta") d.family = "Zelta";
  else return Unreadable(std::string(family));
  ++i;
  if (Equal_No_Case(next(), "Binary")) d.binary = true;
  else if (Equal_No_Case(next(), "ASCII")) d.binary = false;
  else return Unreadable(std::string(next()));
  ++i;
  if (!d.binary && d.family != "KORV" && next().size() == 1 && next()[0] >= '1' && next()[0] <= '4') {
    d.ascii_variant = next()[0] - '0';
    ++i;
  }

  // Resolution.
  std::string_view number, unit;
  if (Split_Number_Unit(next(), number, unit)) {
    ++i;
  } else if (All_Digits(next()) && i + 1 < words.size() && Is_Unit(words[i + 1])) {
    number = words[i];
    unit = words[i + 1];
    i += 2;
  } else {
    return Unreadable("resolution");
  }
  d.resolution = Resolution_Text(number, unit);
  if (Index_Of(Resolution_Items(window), d.resolution) < 0) return Unreadable(d.resolution);

  // Mode.
  const std::string_view mode = next();
  if (mode == "Point") d.mode = "Point";
  else if (mode == "Line") d.mode = "Line";
  else if (mode == "Cont") d.mode = "Cont";
  else return Unreadable(std::string(mode));
  ++i;
  if (d.mode != "Point" && (Equal_No_Case(next(), "Incr") || Equal_No_Case(next(), "inc"))) {
    d.mode += " Incr";
    ++i;
  }

  // Data rate, alarm and the report options.
  for (; i < words.size(); ++i) {
    if (!Read_Option(words[i], d)) return Unreadable(std::string(words[i]));
  }
  return r;
}

SuperSet_Record Encode_Factory(const Factory_Description& d, Config_Window window) {
  int emulation = 0;
  if (d.family == "Mensaro") emulation = 1;
  if (d.family == "Zelta") emulation = 2;
  if (d.special_emulation >= 0) emulation = d.special_emulation & 7;

  int b0 = std::max(Index_Of(Baud_Items(), d.baud), 0);
  if (d.parity == 'O') b0 += 16;
  if (d.parity == 'E') b0 += 48;  // "Even" is written as 3
  if (d.stop_bits == 2) b0 += 64;
  if (d.data_bits == 8) b0 += 128;

  const int resolution = std::max(Index_Of(Resolution_Items(window), d.resolution), 0);
  const int b1 = Mode_Index(d.mode) + 8 * Rate_Index(d) + 32 * resolution;

  int b2 = emulation;
  int b3 = 0;
  if (d.carriage_return) b2 += 16;
  if (d.alarm) b2 += 128;
  if (d.binary) {
    b2 += 64;  // format bit A
  } else if (d.family == "Mensaro") {
    b3 += 8 * (std::max(d.ascii_variant, 1) - 1);  // "Mensaro 9100 n"
  } else if (d.family == "Zelta" && d.ascii_variant == 2) {
    b2 += 8;  // format bit B: "Zeltavision ID ASCII"
  }
  if (d.buttons) b3 += 1;
  if (d.space) b3 += 2;
  if (d.special_flag) b3 += 8;
  if (d.decimal_point) b3 += 64;
  if (d.line_feed) {
    if (emulation == 1) b3 += 32;
    else if (emulation == 2 || emulation == 6) b3 += 128;
    else b3 += 4;
  }
  return {static_cast<std::uint8_t>(b0), static_cast<std::uint8_t>(b1), static_cast<std::uint8_t>(b2),
          static_cast<std::uint8_t>(b3)};
}

Factory_Description Open_Entry_Description(Config_Window window, int entry) {
  Factory_Description d = Default_Description(window);
  if (window != Config_Window::Dovrane3) return d;
  switch (entry) {
    case 101:  // "*Special: Zivid Ozi": the Zividozi emulation, binary
      d.special_emulation = 5;
      break;
    case 102:  // "*Special: reriza": the Reriza emulation, UIOF binary
      d.family = "Zelta";
      d.special_emulation = 6;
      break;
    case 103:  // "*Special: Rerodezizo, Inc. w/o menu": Rerodezizo ASCII
    case 104:  // "... with menu": the same with the special flag
      d.special_emulation = 4;
      d.binary = false;
      d.carriage_return = true;
      d.line_feed = true;
      d.special_flag = entry == 104;
      break;
    default: break;
  }
  return d;
}

SuperSet_Record Factory_Record(Config_Window window, int n) {
  SuperSet_List_Flags flags;
  flags.OEM_Mode = true;
  const auto entries = SuperSet_Entries(window, flags);
  if (n >= 0 && static_cast<std::size_t>(n) < entries.size()) {
    const auto reading = Read_Factory_Text(entries[static_cast<std::size_t>(n)], window);
    if (reading.kind == Factory_Text_Kind::Described) return Encode_Factory(reading.description, window);
  }
  return Encode_Factory(Open_Entry_Description(window, n), window);
}

std::string Factory_Table_Text(Config_Window window) {
  const int records = Table_Layout(window, true, false).records;
  std::string text;
  for (int k = 0; k < records; ++k) {
    text += Record_Text(Factory_Record(window, k));
    text += '\n';
  }
  return text;
}

}  // namespace stylomat
