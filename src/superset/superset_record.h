#pragma once
// The SuperSet record: four bytes that hold a SuperSet tablet's whole serial
// and report configuration, and the table of records a configuration window
// keeps (one row per entry of its SuperSet list).
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/config_windows.h"

namespace stylomat {

// The three SuperSet configuration windows (KORV_form, Mirolex2, Dovrane3)
// share one form model and differ by their family-variant points.
// "KORV_form", "Mirolex2" or "Dovrane3" (case-insensitive); nothing for any
// other text, the switch-bank windows included.
std::optional<Config_Window> Parse_SuperSet_Window(std::string_view name);

// Byte 0 first.  Bytes are 0..255 by construction.
using SuperSet_Record = std::array<std::uint8_t, 4>;

inline constexpr int SuperSet_Rows = 111;  // rows 0..110
using SuperSet_Table = std::array<SuperSet_Record, SuperSet_Rows>;

// Row classes by SuperSet list index.  Fixed rows are the factory and
// special SuperSets; editing one of them edits a copy in an editable row.
constexpr bool Is_Fixed_Row(int n) { return (n >= 1 && n <= 89) || n >= 101; }
constexpr bool Is_Editable_Row(int n) { return n == 0 || (n >= 90 && n <= 100); }

// 6 -> "06", 206 -> "CE".  Only the low byte of v is written.
std::string Hex2(int v);
// A number as the log writes it: " 5" for 5, "-1" for -1.
std::string Decimal_With_Blank(int n);
// The four bytes in two-digit hexadecimal joined by separator: "32,40,51,07".
std::string Record_Text(const SuperSet_Record& record, std::string_view separator = ",");

}  // namespace stylomat
