#pragma once
// The texts of the about windows: the supported-tablets window (About_Main)
// and the splash's version line.
#include <string>
#include <vector>

namespace stylomat {

struct Supported_List {
  const char* control;  // "Brand1_Tbl"
  const char* label;    // "KORV Mensaro Support:"
  std::vector<std::string> rows;
};

// The four lists, in order, each with its rows in order.
const std::vector<Supported_List>& Supported_Tablet_Lists();

// "Supported Tablets, PRX Version " + the version text.
std::string Supported_Tablets_Caption();
// The title text over the lists.
std::string Supported_Tablets_Title();
inline constexpr const char* Wintab_Support_Label = "Wintab Driver Support:";
// The driver versions, with the carriage return and "Pentara for Citrix"
// the window appends when it loads.
std::string Wintab_Support_Text();
// "Version " + the version text.
std::string Version_Label_Text();

}  // namespace stylomat
