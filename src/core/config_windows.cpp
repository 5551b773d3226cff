#include "core/config_windows.h"

namespace stylomat {

const char* Config_Window_Name(Config_Window window) {
  switch (window) {
    case Config_Window::KORV_form: return "KORV_form";
    case Config_Window::Mirolex2: return "Mirolex2";
    case Config_Window::Dovrane3: return "Dovrane3";
    case Config_Window::Pv5: return "Pv5";
    case Config_Window::VSIII: return "VSIII";
  }
  return "";
}

std::optional<Config_Window> Parse_Config_Window(std::string_view name) {
  auto same = [name](std::string_view known) {
    if (name.size() != known.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
      char a = name[i], b = known[i];
      if (a >= 'a' && a <= 'z') a = static_cast<char>(a - 'a' + 'A');
      if (b >= 'a' && b <= 'z') b = static_cast<char>(b - 'a' + 'A');
      if (a != b) return false;
    }
    return true;
  };
  for (Config_Window w : All_Config_Windows) {
    if (same(Config_Window_Name(w))) return w;
  }
  return std::nullopt;
}

}  // namespace stylomat
