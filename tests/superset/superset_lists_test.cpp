// The SuperSet lists of the three windows: their lengths and the entries
// that depend on the model-variant flags and OEM mode.  The factory entries
// themselves are pinned through the factory table files.
#include "superset/superset_lists.h"

#include <gtest/gtest.h>

#include <map>

namespace stylomat {
namespace {

using W = Config_Window;
using Strings = std::vector<std::string>;

TEST(SuperSetLists, LengthsAndTheEntriesThatHangOnFlags) {
  SuperSet_List_Flags plain, quorral, mirolex3, dovrane_oem;
  quorral.Quorral_III_Flag = true;
  quorral.OEM_Mode = true;  // no OEM entries in KORV_form
  mirolex3.Mirolex_III_Flag = true;
  mirolex3.OEM_Mode = true;
  dovrane_oem.Dovrane_IV_VI_Flag = true;
  dovrane_oem.OEM_Mode = true;
  const struct {
    W window;
    SuperSet_List_Flags flags;
    std::size_t size;
    std::map<int, std::string> entries;
  } cases[] = {
      {W::KORV_form, plain, 100, {{0, "Power On setting"}, {84, "84 Reserved"}, {98, "98 User defined"},
                                  {99, "99 Reserved"}}},
      {W::KORV_form, quorral, 100, {{98, "98 Reserved"}, {99, "99 Reserved"}}},
      {W::Mirolex2, plain, 101, {{56, "56 Reserved"}, {89, "89 Reserved"}, {90, "90 User defined"},
                                 {99, "99 User defined"}, {100, "Tempory Custom setting"}}},
      {W::Mirolex2, mirolex3, 101, {{99, "99 Reserved"}, {100, "Tempory Custom setting"}}},
      {W::Dovrane3, plain, 101, {{98, "98 User defined"}, {99, "99 User defined"}, {100, "Tempory Custom setting"}}},
      {W::Dovrane3, dovrane_oem, 105, {{99, "99 Reserved"}, {100, "Tempory Custom setting"},
                                       {101, "101 *Special: Zivid Ozi"}, {102, "102 *Special: reriza"},
                                       {103, "103 *Special: Rerodezizo, Inc. w/o menu"},
                                       {104, "104 *Special: Rerodezizo, Inc. with menu"}}},
  };
  for (const auto& c : cases) {
    const Strings list = SuperSet_Entries(c.window, c.flags);
    ASSERT_EQ(list.size(), c.size) << Config_Window_Name(c.window);
    for (const auto& [n, text] : c.entries) EXPECT_EQ(list[n], text) << Config_Window_Name(c.window);
    // Entries 1 to 99 begin with their own number.
    for (int n = 1; n <= 99; ++n) EXPECT_EQ(list[n].substr(0, 3), (n < 10 ? "0" : "") + std::to_string(n) + " ");
  }
  // The Dovrane III reads the KORV texts under the tablet's own name.
  const Strings dv = SuperSet_Entries(W::Dovrane3, plain);
  EXPECT_EQ(SuperSet_Entries(W::KORV_form, plain)[1], "01 9600,N,8,1 KORV_form Binary, 1000lpi Cont Max");
  EXPECT_EQ(dv[1], "01 9600,N,8,1 KORV Binary, 1000lpi Cont Max");
  for (int n = 1; n <= 97; ++n) EXPECT_EQ(dv[n].find("KORV_form"), std::string::npos) << dv[n];
}

TEST(SuperSetLists, ResolutionAndEmulationListsOfEachWindow) {
  EXPECT_EQ(Resolution_Items(W::KORV_form),
            (Strings{"100 lpi", "200 lpi", "1000 lpi", "2000 lpi", "10 lpmm", "40 lpmm", "100 lpmm"}));
  EXPECT_EQ(Resolution_Items(W::Mirolex2),
            (Strings{"1000 lpi", "2000 lpi", "4000 lpi", "40 lpmm", "100 lpmm", "150 lpmm"}));
  EXPECT_EQ(Resolution_Items(W::Dovrane3), Resolution_Items(W::KORV_form));
  EXPECT_EQ(Emulation_Items(W::Mirolex2, true), (Strings{"KORV", "Mensaro", "Zeltavision"}));
  EXPECT_EQ(Emulation_Items(W::KORV_form, true),
            (Strings{"KORV", "Mensaro", "Zeltavision", "Special:", "Special: Rerodezizo", "Special: Zividozi",
                     "Special: Reriza", "Special"}));
  EXPECT_EQ(Emulation_Items(W::Dovrane3, false),
            (Strings{"KORV", "Mensaro", "Zeltavision", "Special", "Special", "Special", "Special", "Special"}));
  EXPECT_EQ(Parity_Items(), (Strings{"None", "Odd ", "Even"}));
}

}  // namespace
}  // namespace stylomat
