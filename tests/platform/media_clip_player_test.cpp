#include "platform/media_clip_player.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace stylomat {
namespace {

namespace fs = std::filesystem;

// The clips the build drew, beside the executables.
std::string Clip(const std::string& name) { return std::string(STYLOMAT_CLIP_DIR) + "/" + name; }

#define REQUIRE_CLIPS()                                                                \
  do {                                                                                 \
    if (!Clip_Decoder::Available()) GTEST_SKIP() << "this build shows no clips (no FFmpeg)"; \
  } while (0)

// A folder of its own for files a test makes.
struct Scratch {
  Scratch() : dir(fs::temp_directory_path() / ("clip_test_" + std::to_string(::getpid()))) { fs::create_directories(dir); }
  ~Scratch() { fs::remove_all(dir); }
  std::string Write(const std::string& name, const std::string& bytes) const {
    const fs::path p = dir / name;
    std::ofstream(p, std::ios::binary) << bytes;
    return p.string();
  }
  fs::path dir;
};

std::string Read_All(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

constexpr Clip_Image::Pixel Idle_Button{128, 134, 146};
constexpr Clip_Image::Pixel Lit_Button{255, 170, 20};

// ---- the decoder ------------------------------------------------------------------

TEST(Clip_Decoder, TheGeneratedClipsOpenWithTheirFrameCountsSizesAndRates) {
  REQUIRE_CLIPS();
  struct Row {
    const char* file;
    int frames, width, height;
    double frame_seconds;
  };
  const Row rows[] = {{"16-MNR.avi", 32, 160, 160, 1.0 / 15}, {"5-MNR.avi", 16, 160, 160, 1.0 / 15},
                      {"4-MNR.avi", 16, 160, 160, 1.0 / 15},  {"3-Sty.AVI", 16, 160, 160, 1.0 / 15},
                      {"4-Zelta.avi", 16, 160, 160, 1.0 / 15}, {"PRX_Logo.avi", 60, 360, 120, 1.0 / 30}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.file);
    std::string error;
    const auto clip = Clip_Decoder::Open(Clip(r.file), error);
    ASSERT_NE(clip, nullptr) << error;
    EXPECT_EQ(error, "");
    EXPECT_EQ(clip->Frames(), r.frames);
    EXPECT_EQ(clip->Width(), r.width);
    EXPECT_EQ(clip->Height(), r.height);
    EXPECT_NEAR(clip->Frame_Seconds(), r.frame_seconds, 1e-9);
    Clip_Image last;
    ASSERT_TRUE(clip->Decode(r.frames - 1, last));
    EXPECT_EQ(last.width, r.width);
    EXPECT_EQ(last.stride, (r.width * 3 + 3) / 4 * 4);
    EXPECT_EQ(last.rgb.size(), static_cast<std::size_t>(last.stride) * r.height);
    EXPECT_FALSE(clip->Decode(r.frames, last));
    EXPECT_FALSE(clip->Decode(-1, last));
  }
}

TEST(Clip_Decoder, EachFrameLightsItsButtonAndThePuckShowsButtons1To16InFrames16To31) {
  REQUIRE_CLIPS();
  std::string error;
  auto puck = Clip_Decoder::Open(Clip("16-MNR.avi"), error);
  ASSERT_NE(puck, nullptr) << error;
  // Button 5 sits first in the second row, button 16 last in the fourth.
  Clip_Image frame;
  ASSERT_TRUE(puck->Decode(0, frame));
  EXPECT_EQ(frame.At(47, 93), Idle_Button);
  EXPECT_EQ(frame.At(113, 135), Idle_Button);
  for (int f : {5, 20}) {
    ASSERT_TRUE(puck->Decode(f, frame));
    EXPECT_EQ(frame.At(47, 93), Lit_Button) << f;
    EXPECT_EQ(frame.At(113, 135), Idle_Button) << f;
  }
  ASSERT_TRUE(puck->Decode(31, frame));
  EXPECT_EQ(frame.At(113, 135), Lit_Button);
  EXPECT_EQ(frame.At(47, 93), Idle_Button);

  // The diamond puck: button 1 on top, 4 at the bottom; frame 9 has no
  // button of its own and lights none.
  auto diamond = Clip_Decoder::Open(Clip("4-Zelta.avi"), error);
  ASSERT_NE(diamond, nullptr) << error;
  const int tops[] = {0, 1, 4, 9};
  for (int f : tops) {
    ASSERT_TRUE(diamond->Decode(f, frame));
    EXPECT_EQ(frame.At(80, 86), f == 1 ? Lit_Button : Idle_Button) << f;
    EXPECT_EQ(frame.At(80, 134), f == 4 ? Lit_Button : Idle_Button) << f;
  }
}

TEST(Clip_Decoder, WhatIsNotAClipFailsToOpenWithAReason) {
  REQUIRE_CLIPS();
  Scratch scratch;
  const std::string real = Read_All(Clip("4-MNR.avi"));
  ASSERT_GT(real.size(), 4096u);
  // Everything up to the frames' list, and no frame.
  const std::size_t frames_list = real.find("movi");
  ASSERT_NE(frames_list, std::string::npos);
  std::string flipped = real;
  for (std::size_t i = 100; i < 400; ++i) flipped[i] = static_cast<char>(~flipped[i]);
  const std::string big = (scratch.dir / "big.avi").string();
  { std::ofstream(big) << "RIFF"; }
  fs::resize_file(big, Clip_Decoder::Max_File_Bytes + 1);
  struct Row {
    std::string path;
    const char* reason;
  };
  const Row rows[] = {
      {Clip("no-such-clip.avi"), "no such file"},
      {scratch.dir.string(), "no such file"},
      {scratch.Write("empty.avi", ""), "not a clip"},
      {scratch.Write("text.avi", "The Cursor AVI is missing from the Installation Directory"), "not a clip"},
      {scratch.Write("header.avi", real.substr(0, frames_list + 4)), "no frames"},
      {scratch.Write("flipped.avi", flipped), "no pictures"},
      {big, "larger than 32 MiB"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.path);
    std::string error;
    EXPECT_EQ(Clip_Decoder::Open(r.path, error), nullptr);
    EXPECT_NE(error.find(r.reason), std::string::npos) << error;
  }
}

TEST(Clip_Decoder, ACutOffClipNeverShowsMoreThanItHoldsNorReadsPastIt) {
  REQUIRE_CLIPS();
  Scratch scratch;
  const std::string real = Read_All(Clip("16-MNR.avi"));
  int opened = 0;
  for (std::size_t cut = 512; cut < real.size(); cut += real.size() / 23) {
    SCOPED_TRACE(cut);
    std::string error;
    auto clip = Clip_Decoder::Open(scratch.Write("cut.avi", real.substr(0, cut)), error);
    if (!clip) {
      EXPECT_FALSE(error.empty());
      continue;
    }
    ++opened;
    EXPECT_LE(clip->Frames(), 32);
    Clip_Image image;
    EXPECT_TRUE(clip->Decode(0, image));
    for (int f = 0; f < clip->Frames(); ++f) (void)clip->Decode(f, image);
  }
  // The frames come after the header: most cuts keep some of them.
  EXPECT_GE(opened, 15);
}

// ---- the player --------------------------------------------------------------------

TEST(Media_Clip_Player, PlayFollowsTheClockAndStopsAtItsLastFrame) {
  REQUIRE_CLIPS();
  Virtual_Clock clock(100.0);
  Media_Clip_Player player(clock);
  player.Set_File(Clip("PRX_Logo.avi"));
  ASSERT_TRUE(player.Open()) << player.Error();
  EXPECT_EQ(player.Frame_Count(), 60);
  EXPECT_EQ(player.Position(), 0);
  EXPECT_FALSE(player.Is_Playing());

  ASSERT_TRUE(player.Play(0, 59));
  EXPECT_TRUE(player.Is_Playing());
  clock.Advance(0.5);  // 15 frames at 30 a second
  EXPECT_EQ(player.Position(), 15);
  clock.Advance(1.2);
  EXPECT_EQ(player.Position(), 51);
  clock.Advance(1.0 / 30);
  EXPECT_EQ(player.Position(), 52);
  clock.Advance(60);
  EXPECT_EQ(player.Position(), 59);
  EXPECT_FALSE(player.Is_Playing());

  // stop holds the frame reached; prev steps back, never below 0.
  ASSERT_TRUE(player.Play(10, 40));
  clock.Advance(0.1);
  player.Stop();
  clock.Advance(1);
  EXPECT_EQ(player.Position(), 13);
  player.Prev();
  EXPECT_EQ(player.Position(), 12);
  ASSERT_TRUE(player.Play(5, 5));
  EXPECT_EQ(player.Position(), 5);
  EXPECT_FALSE(player.Is_Playing());
  ASSERT_TRUE(player.Play(0, 0));
  player.Prev();
  EXPECT_EQ(player.Position(), 0);

  // Frames outside the clip play nothing and move nothing.
  ASSERT_TRUE(player.Play(7, 7));
  EXPECT_FALSE(player.Play(0, 60));
  EXPECT_FALSE(player.Play(-1, 3));
  EXPECT_FALSE(player.Play(9, 8));
  EXPECT_EQ(player.Position(), 7);

  player.Close();
  EXPECT_FALSE(player.Is_Open());
  EXPECT_EQ(player.Position(), 0);
  EXPECT_EQ(player.Frame_Count(), 0);
  EXPECT_FALSE(player.Play(0, 0));
  EXPECT_EQ(player.Current_Image(), nullptr);
}

TEST(Media_Clip_Player, PicturesComeFromASmallCacheOfDecodedFrames) {
  REQUIRE_CLIPS();
  Virtual_Clock clock;
  Media_Clip_Player player(clock);
  player.Set_File(Clip("16-MNR.avi"));
  ASSERT_TRUE(player.Open());
  for (int f = 0; f < 16; ++f) ASSERT_NE(player.Image(f), nullptr) << f;
  EXPECT_EQ(player.Decoded_Frames(), 16);
  for (int f = 8; f < 16; ++f) ASSERT_NE(player.Image(f), nullptr);
  EXPECT_EQ(player.Decoded_Frames(), 16);  // the last eight are still kept
  ASSERT_NE(player.Image(0), nullptr);
  EXPECT_EQ(player.Decoded_Frames(), 17);
  EXPECT_EQ(player.Image(32), nullptr);

  ASSERT_TRUE(player.Play(20, 20));
  const Clip_Image* shown = player.Current_Image();
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(shown->At(47, 93), Lit_Button);  // frame 20: button 5
}

TEST(Media_Clip_Player, AMissingClipOpensNothingAndSaysWhy) {
  Virtual_Clock clock;
  Media_Clip_Player player(clock);
  player.Set_File(Clip("no-such-clip.avi"));
  EXPECT_FALSE(player.Open());
  EXPECT_NE(player.Error().find("no-such-clip.avi"), std::string::npos);
  EXPECT_FALSE(player.Is_Open());
  EXPECT_FALSE(player.Play(0, 0));
  EXPECT_EQ(player.Current_Image(), nullptr);
  // A build without FFmpeg opens no clip at all, and says so.
  if (!Clip_Decoder::Available()) {
    Scratch scratch;
    player.Set_File(scratch.Write("16-MNR.avi", "RIFF"));
    EXPECT_FALSE(player.Open());
    EXPECT_NE(player.Error().find("without FFmpeg"), std::string::npos);
  }
}

}  // namespace
}  // namespace stylomat
