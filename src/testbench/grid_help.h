#pragma once
// The help window of the grid test, About_Grid, as texts a view shows.
// Grid_Help opens it (Grid_View_State::About_Grid_Shown); its OK button
// runs Grid_Test::About_Grid_OK.
#include <array>
#include <string>

namespace stylomat {

struct Grid_Help_Paragraph {
  const char* heading;
  const char* text;
};

struct About_Grid_Texts {
  std::string caption;  // "Grid Testing Help"
  std::string title;    // "Grid Test"
  std::string version;  // lblVersion: "Version 1.0.0"
  std::array<Grid_Help_Paragraph, 3> paragraphs;
};

// The window's texts for this program's version.
About_Grid_Texts About_Grid();

}  // namespace stylomat
