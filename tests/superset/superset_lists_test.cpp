// The SuperSet lists of the three windows: lengths, exact texts, and the
// entries that depend on the model-variant flags and OEM mode.
#include "superset/superset_lists.h"

#include <gtest/gtest.h>

namespace stylomat {
namespace {

TEST(SuperSetLists, KorvFormListAndItsQuorralVariant) {
  SuperSet_List_Flags flags;
  auto korv = SuperSet_Entries(Config_Window::KORV_form, flags);
  ASSERT_EQ(korv.size(), 100u);
  EXPECT_EQ(korv[0], "Power On setting");
  EXPECT_EQ(korv[1], "01 9600,N,8,1 KORV_form Binary, 1000lpi Cont Max");
  EXPECT_EQ(korv[7], "07 9600,N,8,1  KORV_form Binary, 200 lpi, Cont 100  ");
  EXPECT_EQ(korv[44], "44 9600,N,8,1  KORV_form ASCII, 1000 lpi, Cont 12, Alarm    Pb, Sp, CR, LF");
  EXPECT_EQ(korv[76], "76 9600,N,8,1  Zelta ASCII 2, 10 lpmm, Point CR");
  EXPECT_EQ(korv[84], "84 Reserved");
  EXPECT_EQ(korv[86], "86 9600,N,8,1  KORV_form ASCII, 1000 lpi, Point Pb, Sp");
  EXPECT_EQ(korv[97], "97 User defined");
  EXPECT_EQ(korv[98], "98 User defined");
  EXPECT_EQ(korv[99], "99 Reserved");
  for (int n = 1; n <= 99; ++n) {
    ASSERT_GE(korv[n].size(), 3u);
    EXPECT_EQ(std::stoi(korv[n].substr(0, 2)), n) << korv[n];
  }
  flags.Quorral_III_Flag = true;
  EXPECT_EQ(SuperSet_Entries(Config_Window::KORV_form, flags)[98], "98 Reserved");
  flags.OEM_Mode = true;
  EXPECT_EQ(SuperSet_Entries(Config_Window::KORV_form, flags).size(), 100u) << "no OEM entries in KORV_form";
}

TEST(SuperSetLists, DovraneListReadsKorvAndHasOemSpecials) {
  SuperSet_List_Flags flags;
  const auto korv = SuperSet_Entries(Config_Window::KORV_form, flags);
  auto dv = SuperSet_Entries(Config_Window::Dovrane3, flags);
  ASSERT_EQ(dv.size(), 101u);
  EXPECT_EQ(dv[1], "01 9600,N,8,1 KORV Binary, 1000lpi Cont Max");
  EXPECT_EQ(dv[12], "12 9600,N,8,1  KORV ASCII, 1000 lpi, Point Pb, Sp, CR, LF");
  EXPECT_EQ(dv[75], korv[75]);
  for (int n = 1; n <= 97; ++n) EXPECT_EQ(dv[n].find("KORV_form"), std::string::npos);
  EXPECT_EQ(dv[98], "98 User defined");
  EXPECT_EQ(dv[99], "99 User defined");
  EXPECT_EQ(dv[100], "Tempory Custom setting");
  flags.Dovrane_IV_VI_Flag = true;
  flags.OEM_Mode = true;
  dv = SuperSet_Entries(Config_Window::Dovrane3, flags);
  ASSERT_EQ(dv.size(), 105u);
  EXPECT_EQ(dv[99], "99 Reserved");
  EXPECT_EQ(dv[101], "101 *Special: Zivid Ozi");
  EXPECT_EQ(dv[102], "102 *Special: reriza");
  EXPECT_EQ(dv[103], "103 *Special: Rerodezizo, Inc. w/o menu");
  EXPECT_EQ(dv[104], "104 *Special: Rerodezizo, Inc. with menu");
}

TEST(SuperSetLists, MirolexListWithReservedAndUserEntries) {
  SuperSet_List_Flags flags;
  auto mx = SuperSet_Entries(Config_Window::Mirolex2, flags);
  ASSERT_EQ(mx.size(), 101u);
  EXPECT_EQ(mx[7], "07 9600,N,8,1 KORV Binary, 100 lpm, Cont, 100, Alarm");
  EXPECT_EQ(mx[39], "39 9600,N,8,1 Mensaro ASCII 4,100 lpmm,Cont 50, Alarm");
  EXPECT_EQ(mx[55], "55 9600,O,7,2 KORV ASCII, 1000 lpi, Cont, 200, Alarm  Pb, CR");
  EXPECT_EQ(mx[56], "56 Reserved");
  EXPECT_EQ(mx[89], "89 Reserved");
  EXPECT_EQ(mx[90], "90 User defined");
  EXPECT_EQ(mx[97], "97 User defined");
  EXPECT_EQ(mx[99], "99 User defined");
  EXPECT_EQ(mx[100], "Tempory Custom setting");
  flags.Mirolex_III_Flag = true;
  flags.OEM_Mode = true;
  mx = SuperSet_Entries(Config_Window::Mirolex2, flags);
  EXPECT_EQ(mx.size(), 101u);
  EXPECT_EQ(mx[99], "99 Reserved");
}

TEST(SuperSetLists, BoxItemsKeepTheirBlanks) {
  EXPECT_EQ(Parity_Items()[1], "Odd ");
  EXPECT_EQ(Format_Items()[1], "KORV ASCII ");
  EXPECT_EQ(Format_Items()[8], "Zeltavision UIOF ASCII ");
  EXPECT_EQ(Format_Items().size(), 10u);
  EXPECT_EQ(Baud_Items()[2], "9600");
  EXPECT_EQ(Baud_Items().size(), 8u);
  EXPECT_EQ(Data_Rate_Items()[3], "25 pps");
  EXPECT_EQ(Mode_Items()[4], "Cont increment");
  const auto oem = Emulation_Items(Config_Window::KORV_form, true);
  EXPECT_EQ(oem, (std::vector<std::string>{"KORV", "Mensaro", "Zeltavision", "Special:", "Special: Rerodezizo",
                                            "Special: Zividozi", "Special: Reriza", "Special"}));
  const auto plain = Emulation_Items(Config_Window::Dovrane3, false);
  ASSERT_EQ(plain.size(), 8u);
  for (int i = 3; i < 8; ++i) EXPECT_EQ(plain[i], "Special");
}

}  // namespace
}  // namespace stylomat
