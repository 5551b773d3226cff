// The Wintab information routine against a driver whose answers the test
// sets: texts, low bytes, version words, the device name's parts, units,
// resolutions, cursors and the three outcomes.
#include "wintab/wintab_info.h"

#include <gtest/gtest.h>

#include "discovery/wintab_search.h"
#include "support/scripted_wintab.h"
#include "support/sim_fixture.h"
#include "wintab/wintab_texts.h"

namespace stylomat {
namespace {

struct Info_Bench {
  Info_Bench() { sim.session.wintab.driver = &driver; }
  Session& s() { return sim.session; }
  const Wintab_Monitor_State& f() { return sim.session.wintab.WT_Testing; }
  test::Sim_Bench sim;
  test::Scripted_Wintab driver;
};

TEST(WintabTexts, VersionWordsLowBytesUnitsAndResolutions) {
  EXPECT_EQ(Version_Word_Text(0x0104), "1. 4");
  EXPECT_EQ(Version_Word_Text(0x010A), "1.10");
  EXPECT_EQ(Version_Word_Text(0x02FF), "2.55");  // the last two characters of " 255"
  const std::uint8_t byte[] = {0x02, 0x01};      // 258 answered into the text buffer
  EXPECT_EQ(Low_Byte_Text(byte), "2");
  EXPECT_EQ(Units_Text(1), "Inches");
  EXPECT_EQ(Units_Text(2), "Centimeters");
  EXPECT_EQ(Units_Text(7), "NONE");
  EXPECT_EQ(Resolution_Text(1000u * 65536u), "1000");
  EXPECT_EQ(Resolution_Text(1000u * 65536u + 32768u), "1000.5");
  EXPECT_FALSE(Size_From_Fields("100", "0", "100", "10"));
  EXPECT_FALSE(Size_From_Fields("100", "x", "100", "10"));
  EXPECT_EQ(Size_From_Fields("22860", "1000", "100", "8")->Width, "22.86");
}

TEST(WintabTexts, DeviceNameParts) {
  const Device_Name_Parts p = Split_Device_Name("Lumio T4;Version 2.1;Format: serial");
  EXPECT_EQ(p.Tablet_ID, "Lumio T4");
  EXPECT_EQ(p.Device_Ver, "2.1");
  EXPECT_EQ(p.Device_Format, "serial");
  // Without "Version" the version starts at the name's 8th character.
  EXPECT_EQ(Split_Device_Name("ABCDEFGHIJ;K").Device_Ver, "HIJ");
  EXPECT_EQ(Split_Device_Name("ABC").Device_Ver, "");
  EXPECT_EQ(Split_Device_Name("Lumio").Tablet_ID, "Lumio");
}

TEST(WintabInformation, TheDriversTabletShowsItsOwnSizeAfterASerialTablet) {
  Info_Bench b;
  b.driver.Pen_Tablet();
  b.s().identity.Tablet_Width = 18000;  // a serial tablet found before
  b.s().identity.Tablet_Height = 12000;
  b.s().identity.Size_Text = "12 x 18";
  EXPECT_EQ(Wintab_Information(b.s()), Wintab_Outcome::Device);
  EXPECT_EQ(b.s().main.Size_lb.text, "20 x 15");
  EXPECT_NE(b.sim.Log().find("\rSize: 20 x 15\r"), std::string::npos) << b.sim.Log();
}

TEST(WintabInformation, ShowsTheInterfaceDeviceAxesPressureAndCursors) {
  Info_Bench b;
  b.driver.Pen_Tablet();
  b.driver.Number(1, 4, 258);  // read back by its low byte
  b.driver.Axis(100, 12, {0, 20000, TU_CENTIMETERS, 1000u << 16});
  EXPECT_EQ(Wintab_Information(b.s()), Wintab_Outcome::Device);
  EXPECT_EQ(b.f().Wintab_ID, "Scripted driver");
  EXPECT_EQ(b.f().Wintab_Sp_Version, "1. 4");
  EXPECT_EQ(b.f().Wintab_Im_Version, "2. 0");
  EXPECT_EQ(b.f().Wintab_N_Dev, "2");
  EXPECT_EQ(b.f().X_Units, "Centimeters");
  EXPECT_EQ(b.f().X_Res, "1000");
  EXPECT_EQ(b.f().Y_Units, "Inches");
  EXPECT_EQ(b.f().Size_Frame, "Size : 20 x 15 Centimeters");
  EXPECT_EQ(b.f().Device_Pr_Range, "0 - 1023");
  EXPECT_EQ(b.f().Z_Max, "");  // a query the driver does not answer leaves its field
  EXPECT_EQ(b.f().Cursor_ID, std::vector<std::string>{"Pressure Stylus "});
  const Wintab_Cursor& c = b.s().wintab.Cursor_Table[0];
  EXPECT_EQ(c.Buttons, 3);
  EXPECT_TRUE(c.Pressure_Button);
  EXPECT_TRUE(c.Active);
  const Main_Window_State& m = b.s().main;
  EXPECT_EQ(m.Tbl.text, "Lumio T4");
  EXPECT_EQ(m.Version_Lb.text, "2.1");
  EXPECT_EQ(m.Size_lb.text, "20 x 15");
  EXPECT_TRUE(m.WT_Label.visible && m.Tbl.visible && m.Grid_btn.enabled && m.WT_Info_Btn.visible);
  // The context the program opens: the default one with its packet fields.
  EXPECT_EQ(b.s().wintab.Wintab_Context.PktData, 0x5E2u);
  EXPECT_EQ(b.s().wintab.Wintab_Context.PktMode, 0u);
  EXPECT_EQ(b.s().wintab.Wintab_Context.InExtX, 20000);
  const auto lines = test::Log_Lines(b.sim.Log());
  const std::vector<std::string> tail(lines.end() - 5, lines.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"", "Wintab:", "Lumio T4", "Version: 2.1", "Size: 20 x 15"}));
}

TEST(WintabInformation, EarlyDriverNamesInAnyCaseBecomeTheBrandPair) {
  for (const char* name : {"tavro PP-2;Version 6.0", "TaVrOx;Version 6.0"}) {
    Info_Bench b;
    b.driver.Pen_Tablet(name);
    Wintab_Information(b.s());
    EXPECT_EQ(b.s().main.Tbl.text, "Mensaro/Zeltavision") << name;
    EXPECT_EQ(b.s().main.Version_Lb.text, "7.1 or Prior.") << name;
  }
  Info_Bench other;
  other.driver.Pen_Tablet("TAVR PP-2;Version 6.0");
  Wintab_Information(other.s());
  EXPECT_EQ(other.s().main.Tbl.text, "TAVR PP-2");
}

TEST(WintabInformation, ADriverWithoutATabletShowsTheNoDeviceText) {
  Info_Bench b;
  b.driver.Pen_Tablet();
  b.driver.answers.erase({3, 0});
  b.s().main.Grid_btn.enabled = false;
  EXPECT_EQ(Wintab_Information(b.s()), Wintab_Outcome::No_Device);
  const Main_Window_State& m = b.s().main;
  EXPECT_EQ(m.ErrorMsg.text,
            "Wintab files were found but no device was present!\r\rSelect an icon above to search for a Supported "
            "Tablet (F2).");
  EXPECT_TRUE(m.ErrorMsg.visible);
  EXPECT_FALSE(m.WT_Info_Btn.visible);
  EXPECT_FALSE(m.Grid_btn.enabled);
  EXPECT_FALSE(m.WT_Label.visible);
  EXPECT_TRUE(m.TW_Check_Enabled);
}

TEST(WintabInformation, NoDriverShowsTheNoFilesText) {
  Info_Bench b;
  b.driver.loads = false;
  EXPECT_EQ(Wintab_Information(b.s()), Wintab_Outcome::No_Files);
  EXPECT_EQ(b.s().main.ErrorMsg.text,
            "No Wintab files are present!\r\rSelect an icon above to search for a Supported Tablet (F2).");
  EXPECT_FALSE(b.s().main.TW_Check_Enabled);
  EXPECT_FALSE(b.s().main.L_TW_Check.visible);
  EXPECT_FALSE(b.s().Wintab_Present);
  EXPECT_TRUE(b.driver.asked.empty());
}

TEST(WintabInformation, MoreThan101CursorsStopAtCursor100) {
  Info_Bench b;
  b.driver.Pen_Tablet();
  b.driver.Number(100, 3, 120);
  for (unsigned n = 0; n < 120; ++n) b.driver.Text(200 + n, 1, "C" + std::to_string(n));
  Wintab_Information(b.s());
  ASSERT_EQ(b.f().Cursor_ID.size(), 101u);
  EXPECT_EQ(b.f().Cursor_ID.back(), "C100");
  for (const auto& [category, index] : b.driver.asked) EXPECT_LE(category, 300u);
}

}  // namespace
}  // namespace stylomat
