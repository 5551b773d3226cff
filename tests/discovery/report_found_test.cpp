#include "discovery/report_found.h"

#include <gtest/gtest.h>

#include "discovery/model_table.h"
#include "discovery/reset_tablet.h"
#include "support/sim_fixture.h"

namespace stylomat {
namespace {

using test::Log_Lines;
using test::Sim_Bench;

// The identity a probe leaves behind, named by Match_Model.
void Identify(Session& s, const std::string& reply, const std::string& size, const std::string& firmware = "") {
  s.identity.Product_Reply = reply;
  s.identity.Size_Text = size;
  s.identity.Firmware_Text = firmware;
  Match_Model(s);
}

TEST(Report_Found, SuperSetTabletShowsEverythingAndLogsWithDebugOff) {
  Sim_Bench b;
  Session& s = b.session;
  s.Debug_Mode = false;
  s.Port_Number = 3;
  s.identity.SuperSet_Format = true;
  s.identity.Settings_Reply = "0123456789ABCDEFGHIJKLMNOP";
  Identify(s, "KORV/Mensaro MXII", "12 x 12", "V2.10");
  s.main.WT_Label.visible = true;
  const auto revision = s.main.revision;

  Report_Found(s);

  const Main_Window_State& m = s.main;
  for (const Label_State* label : {&m.Label3, &m.CommPort, &m.Label4, &m.Label5, &m.Tbl, &m.Label2, &m.Size_lb,
                                   &m.Label8, &m.Version_Lb}) {
    EXPECT_TRUE(label->visible) << label->text;
  }
  EXPECT_FALSE(m.WT_Label.visible);
  EXPECT_EQ(m.CommPort.text, "3");
  EXPECT_EQ(m.Tbl.text, "KORV Mensaro, Mirolex II");
  EXPECT_EQ(m.Size_lb.text, "12 x 12");
  EXPECT_EQ(m.Version_Lb.text, "V2.10");
  EXPECT_EQ(Log_Lines(b.Log()), (std::vector<std::string>{"Found: KORV Mensaro, Mirolex II", "Size: 12 x 12",
                                                          "Format: 0123456789ABCDEFGHIJ", "Firmware: V2.10"}));
  EXPECT_TRUE(m.Config_Tbl.visible);
  EXPECT_FALSE(m.Reset_Tbl.visible);
  EXPECT_TRUE(m.Grid_btn.enabled);
  EXPECT_FALSE(m.Insall_Wintab.visible);
  EXPECT_GT(m.revision, revision);
}

TEST(Report_Found, ShortSettingsDumpIsLoggedWhole) {
  Sim_Bench b;
  b.session.identity.SuperSet_Format = true;
  b.session.identity.Settings_Reply = "E202";
  Identify(b.session, "Mensaro 1000", "6 x 9", "1.0");
  Report_Found(b.session);
  EXPECT_EQ(Log_Lines(b.Log())[2], "Format: E202");
}

TEST(Report_Found, Type5TabletWithUnknownSizeGetsNoGridTest) {
  Sim_Bench b;
  Session& s = b.session;
  s.identity.Type5_Format = true;
  s.identity.Firmware_Reply = "J5";
  s.identity.Settings_Reply = "not logged for Type-5";
  Identify(s, "KT", "N/A", "J5 1.2");

  Report_Found(s);

  EXPECT_EQ(Log_Lines(b.Log()),
            (std::vector<std::string>{"Found: KORV, Quorral III", "Size: N/A", "Firmware: J5 1.2"}));
  EXPECT_TRUE(s.main.Label8.visible);
  EXPECT_TRUE(s.main.Version_Lb.visible);
  EXPECT_TRUE(s.main.Config_Tbl.visible);
  EXPECT_TRUE(s.identity.Quorral_III_Flag);
  EXPECT_FALSE(s.main.Reset_Tbl.visible);
  EXPECT_FALSE(s.main.Grid_btn.enabled);
}

TEST(Report_Found, EmptySizeOrOneStartingWithNHidesRestoreAndDisablesGrid) {
  for (const char* size : {"", "N/A", "None"}) {
    Sim_Bench b;
    Identify(b.session, "ACME 9000", size);
    Report_Found(b.session);
    EXPECT_FALSE(b.session.main.Reset_Tbl.visible) << size;
    EXPECT_FALSE(b.session.main.Config_Tbl.visible) << size;
    EXPECT_FALSE(b.session.main.Grid_btn.enabled) << size;
  }
}

TEST(Report_Found, UnknownModelIsOfferedFactorySettingsAndTheGridTest) {
  Sim_Bench b;
  Session& s = b.session;
  s.identity.KV_Format = true;
  Identify(s, "ACME 9000", "12 x 18");

  Report_Found(s);

  EXPECT_EQ(s.main.Tbl.text, "ACME 9000");
  EXPECT_TRUE(s.main.Reset_Tbl.visible);
  EXPECT_FALSE(s.main.Config_Tbl.visible);
  EXPECT_TRUE(s.main.Grid_btn.enabled);
  // Neither SuperSet nor Type-5: no firmware caption, no firmware line.
  EXPECT_FALSE(s.main.Label8.visible);
  EXPECT_FALSE(s.main.Version_Lb.visible);
  EXPECT_EQ(Log_Lines(b.Log()), (std::vector<std::string>{"Found: ACME 9000", "Size: 12 x 18"}));
}

TEST(Report_Found, PlugAndPlayAndKvAltTabletsHaveNoFactorySettingsEntry) {
  for (const bool pnp : {true, false}) {
    Sim_Bench b;
    (pnp ? b.session.identity.PnP_Format : b.session.identity.KV_Alt_Format) = true;
    Identify(b.session, "ACME 9000", "12 x 12");
    Report_Found(b.session);
    EXPECT_FALSE(b.session.main.Reset_Tbl.visible);
    EXPECT_FALSE(b.session.main.Config_Tbl.visible);
    EXPECT_TRUE(b.session.main.Grid_btn.enabled);
  }
  // A routed model keeps its configuration entry.
  Sim_Bench b;
  b.session.identity.PnP_Format = true;
  Identify(b.session, "Mensaro Pallivant VII", "12 x 12");
  Report_Found(b.session);
  EXPECT_TRUE(b.session.main.Config_Tbl.visible);
  EXPECT_FALSE(b.session.main.Reset_Tbl.visible);
}

TEST(Report_Found, ReportedTwiceAfterASearchOfAllPortsLogsTheGroupTwice) {
  Sim_Bench b;
  Identify(b.session, "Mensaro 3100", "6 x 8");
  Report_Found(b.session);
  Report_Found(b.session);
  EXPECT_EQ(Log_Lines(b.Log()), (std::vector<std::string>{"Found: Mensaro, Lumivane", "Size: 6 x 8",
                                                          "Found: Mensaro, Lumivane", "Size: 6 x 8"}));
  EXPECT_TRUE(b.session.main.Config_Tbl.visible);
}

TEST(Report_Found, NextSearchStartsFromAClearedWindow) {
  Sim_Bench b;
  Identify(b.session, "Mensaro 3100", "6 x 8");
  Report_Found(b.session);
  Reset_Main_State(b.session);
  EXPECT_FALSE(b.session.main.Tbl.visible);
  EXPECT_FALSE(b.session.main.Config_Tbl.visible);
  EXPECT_FALSE(b.session.main.Grid_btn.enabled);
}

}  // namespace
}  // namespace stylomat
