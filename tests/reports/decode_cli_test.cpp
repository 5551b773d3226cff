// The identify and decode commands, run as a technician would.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "support/cli_runner.h"

namespace {

using stylomat::test::Run_Cli;

std::string Write_Capture(const std::string& name, const std::string& bytes) {
  const std::string path = ::testing::TempDir() + name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return path;
}

TEST(Cli_Identify, NamesModelWindowAndVariantFlag) {
  auto r = Run_Cli("", "identify --product \"Mensaro Pallivant VII\"");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(r.out, "Model_Name: Zeltavision, Pallivant VII\nConfiguration window: Pv5\nVariant flag: none\n");

  r = Run_Cli("", "identify --product KT --firmware \"v1 j5\" --type5");
  EXPECT_EQ(r.out, "Model_Name: KORV, Quorral III\nConfiguration window: KORV_form\nVariant flag: Quorral_III_Flag\n");

  r = Run_Cli("", "identify --product \"ACME 9000\"");
  EXPECT_EQ(r.out, "Model_Name: ACME 9000\nConfiguration window: none\nVariant flag: none\n");

  EXPECT_EQ(Run_Cli("", "identify").status, 2);
}

TEST(Cli_Decode, OneLinePerReportThenTheUndecodedCount) {
  // Noise, two KV reports (the second out of proximity, button 3) and the
  // first two bytes of a third.
  const std::string kv("\x01\x02\x83\x68\x07\x50\x0f\xc3\x01\x00\x02\x00\x80\x05", 14);
  auto r = Run_Cli("", "decode --format kv " + Write_Capture("decode_kv.bin", kv));
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(r.out, "1000 2000 1 3 0 -1\n1 2 0 3 0 -1\nundecoded bytes: 2\n");

  r = Run_Cli("", "decode --format kv --cursor-text \" 16 Button Puck\" " + Write_Capture("decode_kv.bin", kv));
  EXPECT_EQ(r.out, "1000 2000 1 18 0 5\n1 2 0 18 0 5\nundecoded bytes: 2\n");

  const std::string superset("\x84\x01\x02\x40\x03\x04\x00\x00\x64\x16", 10);
  r = Run_Cli("", "decode --format superset " + Write_Capture("decode_ss.bin", superset));
  EXPECT_EQ(r.out, "130 388 1 1 400 6\nundecoded bytes: 0\n");
}

TEST(Cli_Decode, LargeCaptureAcrossReadChunks) {
  std::string uiof;
  for (int i = 0; i < 3000; ++i) {
    uiof += '\x01';  // noise between reports
    const int x = i, y = 3000 - i;
    const char packet[8] = {0x40, 0, char(x & 63), char((x >> 6) & 63), char((x >> 12) & 15),
                            char(y & 63), char((y >> 6) & 63), char((y >> 12) & 15)};
    uiof.append(packet, 8);
  }
  const auto r = Run_Cli("", "decode --format uiof " + Write_Capture("decode_uiof.bin", uiof));
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("\n1500 1500 1 0 0 -1\n"), std::string::npos);
  EXPECT_NE(r.out.find("\n2999 1 1 0 0 -1\nundecoded bytes: 0\n"), std::string::npos);
}

TEST(Cli_Decode, NothingDecodedAndUsageErrors) {
  auto r = Run_Cli("", "decode --format pnp " + Write_Capture("decode_empty.bin", "\x01\x02\x03"));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "undecoded bytes: 3\n");
  EXPECT_EQ(Run_Cli("", "decode").status, 2);
  EXPECT_EQ(Run_Cli("", "decode --format zorbel").status, 2);
  EXPECT_EQ(Run_Cli("", "decode --format kv /nonexistent/capture.bin").status, 2);
}

}  // namespace
