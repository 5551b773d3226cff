// The recording parser on good recordings and on hostile ones: every
// error names its line.
#include "wintab/evemu_recording.h"

#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

#include <fstream>

namespace stylomat {
namespace {

const std::string Header =
    "# EVEMU 1.3\nN: Quill Pad\nI: 0003 1234 0a0b 0102\nP: 01 00\nB: 01 00 00 00 00 00 00 00 00\n"
    "B: 01 00 00 00 00 00 00 00 00\nB: 01 00 00 00 00 00 00 00 00\nB: 01 00 00 00 00 00 00 00 00\n"
    "B: 01 00 00 00 00 00 00 00 00\nB: 01 01 04\nA: 00 0 1000 0 0 40\nA: 01 0 800 0 0 40\n";

std::string Error(const std::string& text, const Evemu_Limits& limits = {}) {
  const Evemu_Result r = Parse_Evemu(text, "t.evemu", limits);
  EXPECT_FALSE(r.ok);
  return r.error;
}

TEST(EvemuRecording, ReadsTheDeviceAndItsTimedEvents) {
  const Evemu_Result r = Parse_Evemu(Header + "E: 5.250000 0001 0140 1\t# EV_KEY / BTN_TOOL_PEN 1\nE: 5.25 0000 0000 0\n"
                                             "E: 5.2605 0003 0000 -7\r\n",
                                     "dir/t.evemu");
  ASSERT_TRUE(r.ok) << r.error;
  const Input_Device_Description& d = r.recording.Device;
  EXPECT_EQ(d.Name, "Quill Pad");
  EXPECT_EQ(d.Vendor, 0x1234);
  EXPECT_EQ(d.Version, 0x0102);
  EXPECT_EQ(d.Node, "recording t.evemu");
  EXPECT_EQ(d.Properties, std::set<unsigned>{INPUT_PROP_POINTER});
  EXPECT_EQ(d.Keys, (std::set<unsigned>{BTN_TOOL_PEN, BTN_TOUCH}));
  EXPECT_EQ(d.Abs.at(ABS_Y).maximum, 800);
  EXPECT_EQ(d.Abs.at(ABS_X).resolution, 40);
  ASSERT_EQ(r.recording.Events.size(), 3u);
  EXPECT_EQ(r.recording.Events[0].Micros, 0);
  EXPECT_EQ(r.recording.Events[2].Micros, 10500);
  EXPECT_EQ(r.recording.Events[2].Value, -7);
}

TEST(EvemuRecording, TheShippedRecordingsRead) {
  for (const char* name : {"pen_tablet.evemu", "puck16.evemu"}) {
    const Evemu_Result r = Read_Evemu_File(std::string(STYLOMAT_SOURCE_DIR) + "/data/recordings/" + name);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_GT(r.recording.Events.size(), 100u) << name;
  }
}

TEST(EvemuRecording, HostileRecordingsAreRefusedWithTheLine) {
  EXPECT_EQ(Error("I: 0003 1 2 3\n"), "no device name (N: line): this is not an evemu recording");
  EXPECT_EQ(Error("N: x\n" + std::string(5000, 'A') + "\n"), "line 2: the line is longer than 4096 characters");
  EXPECT_EQ(Error("N: x\nI: 0003 1 2\n"), "line 2: an I: line needs four hexadecimal numbers (bus, vendor, product, version)");
  EXPECT_EQ(Error("N: x\nI: 0003 1 2 10000\n"), "line 2: \"10000\" is not a hexadecimal number from 0 to ffff");
  EXPECT_EQ(Error("N: x\nB: 01 zz\n"), "line 2: \"zz\" is not a byte in hexadecimal");
  EXPECT_EQ(Error("N: x\nB: 03 00 00 00 00 00 00 00 00 01\n"),
            "line 2: code 64 of event type 3 is beyond the last one the kernel knows");
  EXPECT_EQ(Error("N: x\nA: 40 0 1 0 0 0\n"), "line 2: axis 64 is beyond the last one the kernel knows");
  EXPECT_EQ(Error("N: x\nA: 00 9 1 0 0 0\n"), "line 2: the axis minimum 9 is above its maximum 1");
  EXPECT_EQ(Error("N: x\nA: 00 0 99999999999 0 0 0\n"), "line 2: \"99999999999\" is not a whole number");
  EXPECT_EQ(Error("N: x\nE: 1.0 0003 0000\n"), "line 2: an E: line needs a time, an event type, a code and a value");
  EXPECT_EQ(Error("N: x\nE: 1.1234567 0003 0000 1\n"),
            "line 2: \"1.1234567\" is not a time in seconds and microseconds (sec.usec)");
  EXPECT_EQ(Error("N: x\nE: 2.0 0003 0000 1\nE: 1.0 0003 0000 1\n"), "line 3: the time goes backwards");
  EXPECT_EQ(Error("N: x\nE: 1.0 0003 0400 1\n"), "line 2: \"0003 0400\" is not an event type and code the kernel knows");
  EXPECT_EQ(Error("N: x\nQ: 1\n"), "line 2: unknown line kind \"Q:\"");
  EXPECT_EQ(Error("N: x\nhello\n"), "line 2: expected a line starting with N:, I:, P:, B:, A: or E:");
  Evemu_Limits few;
  few.Max_Events = 2;
  EXPECT_EQ(Error("N: x\nE: 0.0 0 0 0\nE: 0.0 0 0 0\nE: 0.0 0 0 0\n", few), "line 4: more than 2 events");
  few.Max_Bytes = 8;
  EXPECT_EQ(Error("N: xxxxxxxxx\n", few), "the recording is larger than 8 bytes");
}

TEST(EvemuRecording, FilesThatAreMissingOrNoRecordingsSaySo) {
  EXPECT_EQ(Read_Evemu_File("/nonexistent/x.evemu").error, "/nonexistent/x.evemu: no such recording");
  EXPECT_EQ(Read_Evemu_File("/tmp").error, "/tmp: not a regular file");
  const std::string path = ::testing::TempDir() + "bad.evemu";
  std::ofstream(path) << "N: x\nE: nonsense\n";
  EXPECT_EQ(Read_Evemu_File(path).error,
            path + ": line 2: an E: line needs a time, an event type, a code and a value");
}

}  // namespace
}  // namespace stylomat
