// The supported-tablets window's lists and the version texts.
#include "app/about_texts.h"

#include <gtest/gtest.h>

#include <regex>

#include "app/startup.h"

namespace stylomat {
namespace {

TEST(About_Texts, FourListsOfThirtyFourRowsAndTheVersionTexts) {
  const auto& lists = Supported_Tablet_Lists();
  ASSERT_EQ(lists.size(), 4u);
  std::vector<std::size_t> counts;
  std::size_t advanced = 0;
  for (const Supported_List& l : lists) {
    counts.push_back(l.rows.size());
    for (const std::string& row : l.rows) advanced += row.ends_with("(Advanced)");
  }
  EXPECT_EQ(counts, (std::vector<std::size_t>{11, 7, 11, 5}));
  EXPECT_EQ(advanced, 16u);
  EXPECT_EQ(std::string(lists[0].label) + lists[0].rows.front(), "KORV Mensaro Support:Mirolex II (Advanced)");
  EXPECT_EQ(lists[0].rows[6], "'Colossa' Pallivant (Advanced)");
  EXPECT_EQ(std::string(lists[3].label) + lists[3].rows.back(), "KORV Support:DovraneX");
  EXPECT_EQ(Wintab_Support_Text(), "Pentara Versions 7.x\rPentara for Citrix");

  // Major, minor and revision without leading zeros or a trailing point.
  const std::string v = Version_Text();
  EXPECT_EQ(Supported_Tablets_Caption(), "Supported Tablets, PRX Version " + v);
  EXPECT_EQ(Version_Label_Text(), "Version " + v);
  EXPECT_TRUE(std::regex_match(v, std::regex(R"((0|[1-9][0-9]*)\.(0|[1-9][0-9]*)\.(0|[1-9][0-9]*))"))) << v;
}

}  // namespace
}  // namespace stylomat
