#include "superset/superset_record.h"

#include <cctype>

namespace stylomat {

std::optional<Config_Window> Parse_SuperSet_Window(std::string_view name) {
  const auto window = Parse_Config_Window(name);
  if (!window || !Is_SuperSet_Window(*window)) return std::nullopt;
  return window;
}

std::string Hex2(int v) {
  static constexpr char digits[] = "0123456789ABCDEF";
  const int b = v & 0xFF;
  return {digits[b / 16], digits[b % 16]};
}

std::string Decimal_With_Blank(int n) {
  if (n < 0) return std::to_string(n);
  return " " + std::to_string(n);
}

std::string Record_Text(const SuperSet_Record& record, std::string_view separator) {
  std::string text;
  for (std::size_t k = 0; k < record.size(); ++k) {
    if (k != 0) text += separator;
    text += Hex2(record[k]);
  }
  return text;
}

}  // namespace stylomat
