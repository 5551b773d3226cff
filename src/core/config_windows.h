#pragma once
// The five configuration windows, named by the tablet family they serve.
// One enum for the routing table, the front end's open request, the form
// models and the command line.
#include <array>
#include <optional>
#include <string_view>

namespace stylomat {

enum class Config_Window {
  KORV_form,  // KORV SuperSet tablets (Quorral III and kin)
  Mirolex2,   // Mirolex II and III: settings image
  Dovrane3,   // Dovrane III, IV and VI: settings image
  Pv5,        // Pallivant and Colossa: switch banks
  VSIII,      // Velliscope and Lumivane: switch banks
};

inline constexpr std::array<Config_Window, 5> All_Config_Windows = {
    Config_Window::KORV_form, Config_Window::Mirolex2, Config_Window::Dovrane3, Config_Window::Pv5,
    Config_Window::VSIII};

// "KORV_form", "Mirolex2", "Dovrane3", "Pv5", "VSIII".
const char* Config_Window_Name(Config_Window window);
// The name as above, in any case; nothing for any other text.
std::optional<Config_Window> Parse_Config_Window(std::string_view name);

// The three windows that edit SuperSet records, and the two of switches.
constexpr bool Is_SuperSet_Window(Config_Window w) {
  return w == Config_Window::KORV_form || w == Config_Window::Mirolex2 || w == Config_Window::Dovrane3;
}
constexpr bool Is_Switch_Window(Config_Window w) { return w == Config_Window::Pv5 || w == Config_Window::VSIII; }

}  // namespace stylomat
