// The identify and decode commands, run as a technician or a script would.
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

std::string Identified(const std::string& input, const std::string& model, const std::string& window,
                       const std::string& flag) {
  return "Input: " + input + "\nFirmware_Reply: none\nType5_Format: false\nModel_Name: " + model +
         "\nConfig_Window: " + window + "\nVariant_Flag: " + flag + "\n";
}

TEST(Cli_Identify, NamesModelWindowAndVariantFlagOfEveryAnswer) {
  auto r = Run_Cli("", "identify \"Mensaro Pallivant VII\" \"ACME 9000\"");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, Identified("\"Mensaro Pallivant VII\"", "\"Zeltavision, Pallivant VII\"", "Pv5", "none") + "\n" +
                       Identified("\"ACME 9000\"", "\"ACME 9000\"", "none", "none"));
  EXPECT_EQ(r.err, "");

  r = Run_Cli("", "identify KT --firmware \"v1 j5\" --type5");
  EXPECT_EQ(r.out,
            "Input: \"KT\"\nFirmware_Reply: \"v1 j5\"\nType5_Format: true\nModel_Name: \"KORV, Quorral III\"\n"
            "Config_Window: KORV_form\nVariant_Flag: Quorral_III_Flag\n");

  // An answer with a line break stays on its line; from standard input
  // every line is an answer (CR LF ends a line too).
  r = Run_Cli("", "identify \"$(printf 'ACME\\r\\n9000')\"");
  EXPECT_EQ(r.out, Identified("\"ACME\\r\\n9000\"", "\"ACME\\r\\n9000\"", "none", "none"));
  r = Run_Cli("", "identify - --json", "Mensaro Pallivant VII\r\n\nACME 9000\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            "{\"Input\":\"Mensaro Pallivant VII\",\"Firmware_Reply\":null,\"Type5_Format\":false,"
            "\"Model_Name\":\"Zeltavision, Pallivant VII\",\"Config_Window\":\"Pv5\",\"Variant_Flag\":null}\n"
            "{\"Input\":\"ACME 9000\",\"Firmware_Reply\":null,\"Type5_Format\":false,\"Model_Name\":\"ACME 9000\","
            "\"Config_Window\":null,\"Variant_Flag\":null}\n");

  // --firmware belongs to a Type-5 answer; an answer is needed.
  r = Run_Cli("", "identify KT --firmware \"v1 j5\"");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "stylomat-cli: --firmware is a Type-5 tablet's firmware answer: it needs --type5\n");
  r = Run_Cli("", "identify");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "stylomat-cli: identify needs the identification answer: identify PRODUCT... or - (see --help)\n");
}

const std::string Header = "Cur_X Cur_Y In_Prox Button_Code Pressure Cursor_Code\n";

TEST(Cli_Decode, OneRowPerReportUnderItsHeaderAndTheCountsApart) {
  // Noise, two KV reports (the second out of proximity, button 3) and the
  // first two bytes of a third.
  const std::string kv("\x01\x02\x83\x68\x07\x50\x0f\xc3\x01\x00\x02\x00\x80\x05", 14);
  const std::string file = Write_Capture("decode_kv.bin", kv);
  auto r = Run_Cli("", "decode --format kv " + file);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, Header + "1000 2000 true 3 0 -1\n1 2 false 3 0 -1\n");
  EXPECT_EQ(r.err, "stylomat-cli: 14 bytes, 2 reports, 2 bytes left undecoded\n");

  r = Run_Cli("", "decode --format kv --cursor-text \" 16 Button Puck\" --json -", kv);
  EXPECT_EQ(r.out,
            "{\"Cur_X\":1000,\"Cur_Y\":2000,\"In_Prox\":true,\"Button_Code\":18,\"Pressure\":0,\"Cursor_Code\":5}\n"
            "{\"Cur_X\":1,\"Cur_Y\":2,\"In_Prox\":false,\"Button_Code\":18,\"Pressure\":0,\"Cursor_Code\":5}\n"
            "{\"Summary\":{\"Bytes\":14,\"Reports\":2,\"Undecoded_Bytes\":2}}\n");
  EXPECT_EQ(r.err, "");

  const std::string superset("\x84\x01\x02\x40\x03\x04\x00\x00\x64\x16", 10);
  r = Run_Cli("", "decode --format superset " + Write_Capture("decode_ss.bin", superset));
  EXPECT_EQ(r.out, Header + "130 388 true 1 400 6\n");
  EXPECT_EQ(r.err, "stylomat-cli: 10 bytes, 1 reports, 0 bytes left undecoded\n");
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
  EXPECT_EQ(r.out.rfind(Header + "0 3000 true 0 0 -1\n", 0), 0u);
  EXPECT_NE(r.out.find("\n1500 1500 true 0 0 -1\n"), std::string::npos);
  const std::string last = "\n2999 1 true 0 0 -1\n";
  EXPECT_EQ(r.out.substr(r.out.size() - last.size()), last);
  EXPECT_EQ(r.err, "stylomat-cli: 27000 bytes, 3000 reports, 0 bytes left undecoded\n");
}

TEST(Cli_Decode, AnEmptyStreamIsValidBytesWithoutAReportAreNot) {
  auto r = Run_Cli("", "decode --format pnp " + Write_Capture("decode_empty.bin", ""));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, Header);
  EXPECT_EQ(r.err, "stylomat-cli: 0 bytes, 0 reports, 0 bytes left undecoded\n");
  r = Run_Cli("", "decode --format pnp --json", "");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "{\"Summary\":{\"Bytes\":0,\"Reports\":0,\"Undecoded_Bytes\":0}}\n");

  r = Run_Cli("", "decode --format pnp " + Write_Capture("decode_noise.bin", "\x01\x02\x03"));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, Header);
  EXPECT_EQ(r.err, "stylomat-cli: 3 bytes, 0 reports, 3 bytes left undecoded\n");

  const struct {
    const char* args;
    const char* err;
  } slips[] = {
      {"decode", "decode needs --format superset|kv|uiof|pnp|type5"},
      {"decode --format zorbel", "--format must be superset, kv, uiof, pnp or type5, not \"zorbel\""},
      {"decode --format kv /nonexistent/capture.bin", "cannot read \"/nonexistent/capture.bin\""},
      {"decode --format kv a.bin b.bin", "decode reads one file (or standard input without one)"},
  };
  for (const auto& slip : slips) {
    r = Run_Cli("", slip.args);
    EXPECT_EQ(r.status, 2) << slip.args;
    EXPECT_EQ(r.out, "") << slip.args;
    EXPECT_EQ(r.err, std::string("stylomat-cli: ") + slip.err + "\n");
  }
}

}  // namespace
