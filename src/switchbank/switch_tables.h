#pragma once
// The tables of the switch-bank tablets (Pallivant V and Velliscope III
// windows): what differs between the two families, the setting boxes with
// their items, and the switches each report format sets.
//
// These tablets keep their configuration as three banks of eight on/off
// switches, swa, swb and swc.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/config_windows.h"

namespace stylomat {

// What differs between the two families.
struct Switch_Family_Variant {
  Config_Window window;  // Pv5 or VSIII
  const char* caption;   // the window's caption
  std::uint8_t image_byte7;
  std::array<std::array<int, 8>, 3> factory;  // swa, swb, swc
  bool log_always;    // write and reply logged whatever Debug_Mode says
  bool decode_lines;  // "Last: " and "Tablet " lines on decoding
};

// The variant of Pv5 or VSIII; any other window gets Pv5's.
const Switch_Family_Variant& Variant_Of(Config_Window window);

enum class Bank { swa = 0, swb = 1, swc = 2 };

inline constexpr int Switch_Off = 0;
inline constexpr int Switch_On = 1;
inline constexpr int Switch_Absent = 2;  // not present: shown greyed, never changed

// The three banks, [bank][switch-1].
using Switch_Banks = std::array<std::array<int, 8>, 3>;

inline int& Switch_At(Switch_Banks& banks, Bank bank, int number) {
  return banks[static_cast<std::size_t>(bank)][static_cast<std::size_t>(number - 1)];
}
inline int Switch_At(const Switch_Banks& banks, Bank bank, int number) {
  return banks[static_cast<std::size_t>(bank)][static_cast<std::size_t>(number - 1)];
}

// The setting boxes, in the order the window lists them.
enum class Setting {
  CmbBaud,
  CmbParity,
  Cmbdatabits,
  CmbStopBits,
  CmbRes,
  CmbEmu,
  CmbMode,
  CmbFormat,
  ChkLF,
  ChkEcho,
  ChkProx,
  ChkBeeper,
};
inline constexpr int Setting_Count = 12;

struct Setting_Box {
  Setting id;
  const char* name;                // control name, "CmbBaud"
  const char* caption;             // label as the window shows it, "Ba&ud Rate"
  std::vector<std::string> items;  // empty for a check box
  int value = -1;                  // list index or check value; -1 before the first fill

  bool Is_Check() const { return items.empty(); }
  int Count() const { return Is_Check() ? 2 : static_cast<int>(items.size()); }
};

// The tool tip of a setting box ("" when it has none).
const char* Setting_Tool_Tip(Setting setting);

// The boxes as a window shows them before the first fill.
std::array<Setting_Box, Setting_Count> Setting_Boxes();

// Report formats: the switches each one sets, in order.
inline constexpr int Format_Count = 16;
struct Format_Write {
  Bank bank;
  int number;  // 1..8
  int value;
};
// Empty for an index outside 0..15.
const std::vector<Format_Write>& Format_Row(int format_index);

}  // namespace stylomat
