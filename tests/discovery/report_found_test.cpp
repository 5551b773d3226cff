#include "discovery/report_found.h"

#include <gtest/gtest.h>

#include "discovery/model_table.h"
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

// What is shown, logged (whatever Debug_Mode says) and offered by the
// format found, the model and its size.
TEST(Report_Found, LabelsLogAndOffersFollowTheFormatTheModelAndTheSize) {
  using Flag = bool Tablet_Identity::*;
  struct Case {
    Flag format;
    const char* reply;
    const char* size;
    const char* log;
    bool config, reset, grid;
    const char* settings = "E202";
  };
  const Flag none = nullptr;
  const std::vector<Case> cases = {
      // The settings dump is logged up to 20 characters.
      {&Tablet_Identity::SuperSet_Format, "KORV/Mensaro MXII", "12 x 12",
       "Found: KORV Mensaro, Mirolex II\rSize: 12 x 12\rFormat: 0123456789ABCDEFGHIJ\rFirmware: 1.0\r", true, false,
       true, "0123456789ABCDEFGHIJKLMNOP"},
      {&Tablet_Identity::SuperSet_Format, "Mensaro 1000", "6 x 9",
       "Found: Mensaro, Zephane\rSize: 6 x 9\rFormat: E202\rFirmware: 1.0\r", false, true, true},
      // Type-5: the firmware but never the settings dump; no size, no grid test.
      {&Tablet_Identity::Type5_Format, "KT", "N/A", "Found: KORV, Quorral III\rSize: N/A\rFirmware: 1.0\r", true,
       false, false},
      // Neither SuperSet nor Type-5: no firmware line.
      {&Tablet_Identity::KV_Format, "ACME 9000", "12 x 18", "Found: ACME 9000\rSize: 12 x 18\r", false, true, true},
      {none, "ACME 9000", "", "Found: ACME 9000\rSize: \r", false, false, false},
      {none, "ACME 9000", "N/A", "Found: ACME 9000\rSize: N/A\r", false, false, false},
      {none, "ACME 9000", "None", "Found: ACME 9000\rSize: None\r", false, false, false},
      // Plug-and-Play and KV-alternative tablets have no factory settings entry.
      {&Tablet_Identity::PnP_Format, "ACME 9000", "12 x 12", "Found: ACME 9000\rSize: 12 x 12\r", false, false, true},
      {&Tablet_Identity::KV_Alt_Format, "ACME 9000", "12 x 12", "Found: ACME 9000\rSize: 12 x 12\r", false, false,
       true},
      {&Tablet_Identity::PnP_Format, "Mensaro Pallivant VII", "12 x 12",
       "Found: Zeltavision, Pallivant VII\rSize: 12 x 12\r", true, false, true},
      {none, "Mensaro 3100", "6 x 8", "Found: Mensaro, Lumivane\rSize: 6 x 8\r", true, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.log);
    Sim_Bench b;
    Session& s = b.session;
    if (c.format) s.identity.*c.format = true;
    s.identity.Settings_Reply = c.settings;
    s.identity.Firmware_Reply = "J5";
    s.Port_Number = 3;
    Identify(s, c.reply, c.size, "1.0");
    s.main.WT_Label.visible = true;
    const auto revision = s.main.revision;

    Report_Found(s);

    EXPECT_EQ(b.Log(), c.log);
    const Main_Window_State& m = s.main;
    for (const Label_State* label : {&m.Label3, &m.CommPort, &m.Label4, &m.Label5, &m.Tbl, &m.Label2, &m.Size_lb})
      EXPECT_TRUE(label->visible);
    EXPECT_FALSE(m.WT_Label.visible);
    EXPECT_EQ(m.CommPort.text, "3");
    EXPECT_EQ(m.Tbl.text, s.identity.Model_Name);
    EXPECT_EQ(m.Size_lb.text, c.size);
    EXPECT_FALSE(m.Insall_Wintab.visible);
    EXPECT_GT(m.revision, revision);
    // Only SuperSet and Type-5 tablets show their firmware.
    const bool firmware = s.identity.SuperSet_Format || s.identity.Type5_Format;
    EXPECT_EQ(m.Label8.visible, firmware);
    EXPECT_EQ(m.Version_Lb.visible, firmware);
    EXPECT_EQ(m.Version_Lb.text, "1.0");
    EXPECT_EQ(s.main.Config_Tbl.visible, c.config);
    EXPECT_EQ(s.main.Reset_Tbl.visible, c.reset);
    EXPECT_EQ(s.main.Grid_btn.enabled, c.grid);
  }
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

}  // namespace
}  // namespace stylomat
