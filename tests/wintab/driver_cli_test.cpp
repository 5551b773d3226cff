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
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(r.out,
            "Driver: recorded: pen_tablet.evemu\n"
            "Interface:\n"
            "  Wintab_ID         Stylomat recorded input driver\n"
            "  Spec version      1. 4\n"
            "  Impl. version     1. 0\n"
            "  Devices           1\n"
            "  Cursors           2\n"
            "  Contexts          16\n"
            "  Managers          4\n"
            "  Screen            0 x 0\n"
            "Device:\n"
            "  Tablet_ID         Calvetra PT-0906 Pen Tablet\n"
            "  Version           1.10\n"
            "  Format            recording pen_tablet.evemu\n"
            "  Cursor types      2\n"
            "  First cursor      0\n"
            "  Report rate       (not reported)\n"
            "Axes:\n"
            "  X  min 0  max 45720  units Centimeters  resolution 2000\n"
            "  Y  min 0  max 30480  units Centimeters  resolution 2000\n"
            "Size : 22.86 x 15.24 Centimeters\n"
            "Pressure: 0 - 2047\n"
            "Cursors:\n"
            "  0  Pen         buttons 3  pressure button True  active True\n"
            "  1  Eraser      buttons 3  pressure button True  active True\n"
            "Main window: Calvetra PT-0906 Pen Tablet, Version 1.10, Size 22.86 x 15.24\n");
}

TEST(DriverCli, MonitorPrintsOnePacketALineWithThePucksButtonMasks) {
  const auto r = Run_Cli(Env + " STYLOMAT_INPUT_RECORDING=puck16.evemu", "driver monitor --seconds 6");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(r.out.substr(0, 208),
            "Monitoring Calvetra CP-16 Digitizer Puck (recorded: puck16.evemu)\n"
            "0.000  Prox True  Cursor 0 Lens  Buttons 0  X 8000  Y 5720  Pressure 0\n"
            "0.020  Prox True  Cursor 0 Lens  Buttons 0  X 8150  Y 5820  Pressure 0\n");
  std::set<long> masks;
  std::istringstream lines(r.out);
  for (std::string line; std::getline(lines, line);) {
    const auto at = line.find("Buttons ");
    if (at != std::string::npos) masks.insert(std::stol(line.substr(at + 8)));
  }
  std::set<long> expected = {0, 12};  // none, and the two-button chord
  for (int bit = 0; bit < 16; ++bit) expected.insert(1L << bit);
  EXPECT_EQ(masks, expected);
  EXPECT_NE(r.out.find("  Prox False  Cursor 0 Lens  Buttons 0"), std::string::npos);
  EXPECT_NE(r.out.find("  proximity message: Prox False\n"), std::string::npos);
}

TEST(DriverCli, WithoutADriverOrWithABadRecording) {
  const auto none = Run_Cli(Env, "driver info");
  EXPECT_EQ(none.status, 1);
  EXPECT_EQ(none.out,
            "Driver: none (the clock is virtual)\nNo Wintab files are present!\n\nSelect an icon above to search for "
            "a Supported Tablet (F2).\n");
  const auto missing = Run_Cli(Env + " STYLOMAT_INPUT_RECORDING=/nonexistent.evemu", "driver monitor");
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(missing.out, "stylomat-cli: STYLOMAT_INPUT_RECORDING: /nonexistent.evemu: no such recording\n");
  const auto usage = Run_Cli(Env, "driver monitor --seconds -1");
  EXPECT_EQ(usage.status, 2);
  EXPECT_EQ(usage.out, "stylomat-cli: --seconds must be a number of seconds above 0 and at most 86400, not \"-1\"\n");
}

}  // namespace
