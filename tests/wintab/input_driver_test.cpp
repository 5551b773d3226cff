// The input-device driver over a recording on the virtual clock: its
// answers, the packets it queues for a context, the proximity message, the
// recording starting over, and the live devices' open errors.
#include "wintab/input_driver.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

#include "wintab/evdev_source.h"
#include "wintab/recorded_source.h"
#include "wintab/wintab_info.h"

namespace stylomat {
namespace {

// A pen that enters at (100, 700), moves once and leaves, 10 ms apart.
const char* Pen_Recording =
    "N: Quill Pad\nI: 0003 1234 0a0b 0102\n"
    "B: 01 00 00 00 00 00 00 00 00\nB: 01 00 00 00 00 00 00 00 00\nB: 01 00 00 00 00 00 00 00 00\n"
    "B: 01 00 00 00 00 00 00 00 00\nB: 01 00 00 00 00 00 00 00 00\nB: 01 01 04\n"
    "A: 00 0 1000 0 0 40\nA: 01 0 800 0 0 40\nA: 18 0 255 0 0 0\n"
    "E: 0.000000 0001 0140 1\nE: 0.000000 0003 0000 100\nE: 0.000000 0003 0001 700\nE: 0.000000 0000 0000 0\n"
    "E: 0.010000 0003 0000 150\nE: 0.010000 0001 014a 1\nE: 0.010000 0003 0018 90\nE: 0.010000 0000 0000 0\n"
    "E: 0.020000 0001 014a 0\nE: 0.020000 0001 0140 0\nE: 0.020000 0000 0000 0\n";

struct Window : Wintab_Message_Window {
  std::vector<unsigned> messages;
  std::intptr_t Send_Message(unsigned message, std::uintptr_t, std::intptr_t) override {
    messages.push_back(message);
    return 0;
  }
};

struct Driver_Bench {
  Driver_Bench() {
    const Evemu_Result r = Parse_Evemu(Pen_Recording, "pen.evemu");
    EXPECT_TRUE(r.ok) << r.error;
    Input_Driver_Config config;
    config.Wintab_ID = "Test driver";
    config.Scan = [this, rec = r.recording] { return Scan_Recordings(clock, {rec}); };
    driver = std::make_unique<Input_Wintab_Driver>(clock, std::move(config));
    EXPECT_TRUE(driver->Load());
  }
  Wintab_Handle Open() { return driver->WTOpen(window, Build_Wintab_Context(driver->Default_Context(0)), true); }
  std::vector<Wintab_Packet> Packets(Wintab_Handle h) {
    std::vector<Wintab_Packet> all(300);
    all.resize(static_cast<std::size_t>(driver->WTPacketsGet(h, all)));
    return all;
  }
  Virtual_Clock clock{100.0};
  Window window;
  std::unique_ptr<Input_Wintab_Driver> driver;
};

TEST(InputDriver, AnswersForTheRecordedDevice) {
  Driver_Bench b;
  std::array<std::uint8_t, 64> buffer{};
  EXPECT_EQ(b.driver->WTInfo(wti::DEVICES, wti::DVC_NAME, buffer), 51u);  // with its NUL
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(buffer.data())),
            "Quill Pad;Version 1.02;Format: recording pen.evemu");
  EXPECT_EQ(b.driver->WTInfo(wti::INTERFACE, wti::IFC_NDEVICES, buffer), 4u);
  EXPECT_EQ(buffer[0], 1);
  EXPECT_EQ(b.driver->WTInfo(wti::DEVICES + 1, wti::DVC_NAME, buffer), 0u);  // no second device
  EXPECT_EQ(b.driver->WTInfo(wti::DEVICES, wti::DVC_Z, buffer), 0u);
  EXPECT_EQ(b.driver->WTInfo(wti::CURSORS, wti::CSR_BUTTONS, buffer), 1u);
  EXPECT_EQ(buffer[0], 1);  // the tip: the recording has no barrel button
  std::array<std::uint8_t, 4> small{};
  EXPECT_EQ(b.driver->WTInfo(wti::DEFCONTEXT, 0, small), Logcontext_Record_Size);  // never past the buffer
  EXPECT_EQ(b.driver->WTInfo(wti::DEFSYSCTX, wti::CTX_SYSEXTX, small), 4u);
}

TEST(InputDriver, PacketsFollowTheRecordingOnTheClockAndTheLeaveSendsTheMessage) {
  Driver_Bench b;
  const Wintab_Handle h = b.Open();
  ASSERT_NE(h, 0u);
  auto p = b.Packets(h);
  ASSERT_EQ(p.size(), 1u);  // only what is due
  EXPECT_EQ(p[0].Status, 0u);
  EXPECT_EQ(p[0].X, 100);
  EXPECT_EQ(p[0].Y, 100);  // the kernel's 700 counted up from the bottom of 0..800
  b.clock.Advance(0.02);
  p = b.Packets(h);
  ASSERT_EQ(p.size(), 2u);
  EXPECT_EQ(p[0].X, 150);
  EXPECT_EQ(p[0].Buttons, 1u);
  EXPECT_EQ(p[0].Normal_Pressure, 90u);
  EXPECT_EQ(p[1].Status, TPS_PROXIMITY);
  b.driver->Dispatch_Messages();
  EXPECT_EQ(b.window.messages, std::vector<unsigned>{0x7FF5});
  // After a pause the recording plays again.
  b.driver->Wait_For_Packets(5.0);
  EXPECT_DOUBLE_EQ(b.clock.Now(), 100.0 + 0.02 + Recorded_Source::Pause_Between_Passes);
  EXPECT_EQ(b.Packets(h).size(), 1u);
}

TEST(InputDriver, QueuesAreBoundedAndContextsItCannotServeAreRefused) {
  Driver_Bench b;
  Wintab_Logcontext relative = Build_Wintab_Context(b.driver->Default_Context(0));
  relative.PktMode = PK_BUTTONS;
  EXPECT_EQ(b.driver->WTOpen(b.window, relative, true), 0u);
  Wintab_Logcontext other_device = relative;
  other_device.PktMode = 0;
  other_device.Device = 1;
  EXPECT_EQ(b.driver->WTOpen(b.window, other_device, true), 0u);
  const Wintab_Handle h = b.Open();
  b.clock.Advance(1000.0);  // hundreds of passes due at once
  for (int i = 0; i < 400; ++i) b.driver->Wait_For_Packets(0);
  EXPECT_EQ(b.Packets(h).size(), Input_Wintab_Driver::Queue_Size);
  EXPECT_TRUE(b.driver->WTClose(h));
  EXPECT_FALSE(b.driver->WTClose(h));
  EXPECT_EQ(Map_To_Context(25, 0, 100, 0, -1000), 750);  // a negative extent turns the axis over
  EXPECT_EQ(Map_To_Context(500, 0, 100, 10, 1000), 1010);  // clamped to the input extent
}

// Opens a device as an unprivileged user would (root reads everything).
std::string Open_As_Nobody(const std::string& node) {
  int pipe_fds[2];
  if (::pipe(pipe_fds) != 0) return "pipe failed";
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(pipe_fds[0]);
    if (::getuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(1);
    const std::string error = Open_Evdev_Device(nullptr, node).error;
    (void)!::write(pipe_fds[1], error.data(), error.size());
    ::_exit(0);
  }
  ::close(pipe_fds[1]);
  std::string text;
  char buffer[512];
  for (ssize_t n; (n = ::read(pipe_fds[0], buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<std::size_t>(n));
  ::close(pipe_fds[0]);
  ::waitpid(pid, nullptr, 0);
  return text;
}

TEST(EvdevSource, OpeningAMissingOrUnreadableDeviceSaysWhy) {
  EXPECT_EQ(Open_Evdev_Device(nullptr, "/dev/input/event999").error,
            "/dev/input/event999 is not there any more: the tablet was unplugged.");
  const std::string locked = ::testing::TempDir() + "event_locked";
  std::ofstream(locked) << "x";
  ASSERT_EQ(::chmod(locked.c_str(), 0600), 0);
  EXPECT_EQ(Open_As_Nobody(locked), "No permission to read " + locked +
                                        ": add the user to the input group (sudo usermod -aG input $USER), then "
                                        "log in again.");
#if STYLOMAT_INPUT_DEVICES_BUILT
  const auto libraries = Load_Evdev_Libraries();
  ASSERT_TRUE(libraries);
  EXPECT_EQ(Open_Evdev_Device(libraries, locked).error,
            locked + " is not an input event device (Inappropriate ioctl for device).");
#endif
  std::string why;
  EXPECT_FALSE(Load_Evdev_Libraries(&why, "libno-such-udev.so.1"));
  EXPECT_FALSE(why.empty());
}

}  // namespace
}  // namespace stylomat
