// stylomat-cli driver on the shipped recordings, and without a driver.
#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "support/cli_runner.h"

namespace {

using stylomat::test::Run_Cli;

const std::string Env = "STYLOMAT_PORTS=none STYLOMAT_CLOCK=virtual";

TEST(DriverCli, InfoShowsInterfaceDeviceAxesPressureAndCursorsOfTheRecordedPen) {
  const auto r = Run_Cli(Env + " STYLOMAT_INPUT_RECORDING=pen_tablet.evemu", "driver info");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "Driver: \"recorded: pen_tablet.evemu\"\n"
            "Wintab_ID: \"Stylomat recorded input driver\"\n"
            "Wintab_Sp_Version: \"1. 4\"\n"
            "Wintab_Im_Version: \"1. 0\"\n"
            "Wintab_N_Dev: \"1\"\n"
            "Wintab_N_Cur: \"2\"\n"
            "Wintab_N_Cont: \"16\"\n"
            "Wintab_N_MH: \"4\"\n"
            "Wintab_Screen_X: \"0\"\n"
            "Wintab_Screen_Y: \"0\"\n"
            "Tablet_ID: \"Calvetra PT-0906 Pen Tablet\"\n"
            "Device_Ver: \"1.10\"\n"
            "Device_Format: \"recording pen_tablet.evemu\"\n"
            "Device_N_Cur: \"2\"\n"
            "Device_First_Cur: \"0\"\n"
            "Device_R_Rate: none\n"
            "X_Min: \"0\"\nX_Max: \"45720\"\nX_Units: \"Centimeters\"\nX_Res: \"2000\"\n"
            "Y_Min: \"0\"\nY_Max: \"30480\"\nY_Units: \"Centimeters\"\nY_Res: \"2000\"\n"
            "Size_Frame: \"Size : 22.86 x 15.24 Centimeters\"\n"
            "Device_Pr_Range: \"0 - 2047\"\n"
            "Cursor_Table.0.Name: \"Pen\"\nCursor_Table.0.Buttons: 3\nCursor_Table.0.Pressure_Button: true\n"
            "Cursor_Table.0.Active: true\n"
            "Cursor_Table.1.Name: \"Eraser\"\nCursor_Table.1.Buttons: 3\nCursor_Table.1.Pressure_Button: true\n"
            "Cursor_Table.1.Active: true\n"
            "Tbl: \"Calvetra PT-0906 Pen Tablet\"\nVersion_Lb: \"1.10\"\nSize_lb: \"22.86 x 15.24\"\n");
}

TEST(DriverCli, MonitorPrintsOnePacketARowWithThePucksButtonMasks) {
  const auto r = Run_Cli(Env + " STYLOMAT_INPUT_RECORDING=puck16.evemu", "driver monitor --seconds 6");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "stylomat-cli: monitoring Calvetra CP-16 Digitizer Puck (recorded: puck16.evemu)\n");
  const std::string first =
      "Seconds Event In_Prox Cursor Cursor_Name Buttons X Y Pressure\n"
      "0.000 packet true 0 \"Lens\" 0 8000 5720 0\n"
      "0.020 packet true 0 \"Lens\" 0 8150 5820 0\n";
  EXPECT_EQ(r.out.substr(0, first.size()), first);
  std::set<long> masks;
  std::istringstream lines(r.out);
  std::string line;
  std::getline(lines, line);  // the header
  while (std::getline(lines, line)) {
    std::istringstream row(line);
    std::string seconds, event, prox, cursor, name;
    long buttons = -1;
    row >> seconds >> event >> prox >> cursor >> name >> buttons;
    ASSERT_TRUE(event == "packet" || event == "proximity") << line;
    masks.insert(buttons);
  }
  std::set<long> expected = {0, 12};  // none, and the two-button chord
  for (int bit = 0; bit < 16; ++bit) expected.insert(1L << bit);
  EXPECT_EQ(masks, expected);
  EXPECT_NE(r.out.find(" packet false 0 \"Lens\" 0 "), std::string::npos);
  EXPECT_NE(r.out.find(" proximity false 0 \"Lens\" 0 "), std::string::npos);
}

TEST(DriverCli, WithoutADriverOrWithABadRecording) {
  const auto none = Run_Cli(Env, "driver info");
  EXPECT_EQ(none.status, 1);
  EXPECT_EQ(none.out,
            "Driver: \"none (the clock is virtual)\"\nMessage: \"No Wintab files are present!\\r\\rSelect an icon "
            "above to search for a Supported Tablet (F2).\"\nProblem: none\n");
  const auto missing = Run_Cli(Env + " STYLOMAT_INPUT_RECORDING=/nonexistent.evemu", "driver monitor");
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(missing.err, "stylomat-cli: STYLOMAT_INPUT_RECORDING: /nonexistent.evemu: no such recording\n");
  const auto usage = Run_Cli(Env, "driver monitor --seconds -1");
  EXPECT_EQ(usage.status, 2);
  EXPECT_EQ(usage.err, "stylomat-cli: --seconds must be a number of seconds above 0 and at most 86400, not \"-1\"\n");
  const auto info_seconds = Run_Cli(Env, "driver info --seconds 2");
  EXPECT_EQ(info_seconds.status, 2);
  EXPECT_EQ(info_seconds.err, "stylomat-cli: driver info does not take --seconds (see stylomat-cli driver info --help)\n");
}

}  // namespace
