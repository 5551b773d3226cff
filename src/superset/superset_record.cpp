#include "superset/superset_record.h"

#include <cctype>

namespace stylomat {

const char* Window_Name(SuperSet_Window window) {
  switch (window) {
    case SuperSet_Window::KORV_form: return "KORV_form";
    case SuperSet_Window::Mirolex2: return "Mirolex2";
    case SuperSet_Window::Dovrane3: return "Dovrane3";
  }
  return "KORV_form";
}

static bool Same_Ignoring_Case(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

std::optional<SuperSet_Window> Parse_Window_Name(std::string_view name) {
  for (auto w : {SuperSet_Window::KORV_form, SuperSet_Window::Mirolex2, SuperSet_Window::Dovrane3}) {
    if (Same_Ignoring_Case(name, Window_Name(w))) return w;
  }
  return std::nullopt;
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
