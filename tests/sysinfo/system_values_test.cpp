#include "sysinfo/system_values.h"
#include "discovery/system_refresh.h"

#include <gtest/gtest.h>

#include "sim/profiles.h"
#include "support/sim_fixture.h"

namespace stylomat {
namespace {

TEST(System_Name, WindowsNamesByPlatformAndVersionOtherPlatformsKeepTheNameRead) {
  EXPECT_EQ(System_Name(0, 5.1, "x"), "Unidentified");
  EXPECT_EQ(System_Name(1, 4, "x"), "Windows 95");
  EXPECT_EQ(System_Name(1, 4.1, "x"), "Windows 98");
  EXPECT_EQ(System_Name(1, 4.9, "x"), "Windows ME");
  EXPECT_EQ(System_Name(2, 4, "x"), "Windows NT");
  EXPECT_EQ(System_Name(2, 5, "x"), "Windows 2000");
  EXPECT_EQ(System_Name(2, 5.1, "x"), "Windows XP");
  EXPECT_EQ(System_Name(2, 6, "x"), "Windows XP");
  EXPECT_EQ(System_Name(3, 6, "Test Linux"), "Test Linux");
}

TEST(Refresh_System_Information, LogsTheSystemAndMissingWintabHidesItsControlsAndScansThePorts) {
  test::Sim_Bench b;
  b.session.Read_System_Values = [] {
    System_Values v;
    v.Platform = 1;
    v.Version = 4.9;
    v.Version_Text = "4.90";
    v.Build_Text = "3000";
    return v;
  };
  b.Attach_Profile(3, "empty");
  b.session.main.L_TW_Check.visible = true;
  b.session.main.WT_Info_Btn.visible = true;
  b.session.Wintab_Present = true;
  b.session.Port_Number = 0;

  Refresh_System_Information(b.session);

  EXPECT_EQ(b.Log(), "\rSystem:\rWindows ME Version: 4.90 Build: 3000\rNo Wintab files are present!\rCom 3, Available\r");
  EXPECT_EQ(b.session.system.Name, "Windows ME");
  EXPECT_FALSE(b.session.Wintab_Present);
  EXPECT_FALSE(b.session.main.TW_Check_Enabled);
  EXPECT_FALSE(b.session.main.L_TW_Check.visible);
  EXPECT_FALSE(b.session.main.WT_Info_Btn.visible);
  EXPECT_TRUE(b.session.Com_Available[3]);
  EXPECT_EQ(b.session.Port_Number, 0);
}

}  // namespace
}  // namespace stylomat
