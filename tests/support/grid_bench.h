#pragma once
// A session on simulated ports with the grid test's parts: a recording
// clip player, the test and its context, and clips in a folder of their own
// when a test wants them.
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "platform/clip_player.h"
#include "support/sim_fixture.h"
#include "testbench/grid_test.h"

namespace stylomat::test {

struct Grid_Bench : Sim_Bench {
  Grid_Bench() { session.Port_Number = 1; }
  ~Grid_Bench() {
    if (!clips.empty()) std::filesystem::remove_all(clips);
  }
  // Puts every cursor clip into a folder that becomes App_Dir.
  void Provide_Clips() {
    static int made = 0;
    clips = std::filesystem::temp_directory_path() /
            ("grid_clips_" + std::to_string(::getpid()) + "_" + std::to_string(++made));
    std::filesystem::create_directories(clips);
    for (const char* name : {"16-MNR.avi", "5-MNR.avi", "4-MNR.avi", "3-Sty.AVI", "4-Zelta.avi"})
      std::ofstream(clips / name) << "clip";
    session.App_Dir = clips.string();
  }
  // A tablet already found: its flags and size, the port open at framing.
  void Found(const std::string& framing, long width, long height) {
    session.identity.Tablet_Width = width;
    session.identity.Tablet_Height = height;
    session.port.Set_CommPort(1);
    session.port.Set_Settings(framing);
    session.port.Set_PortOpen(true);
  }
  // The test runs until the session clock has passed `seconds` after the
  // first window events (the loop's first idle pass).
  void Stop_After(double seconds) {
    front_end.events = [this, seconds] {
      if (stop_at < 0) stop_at = Now() + seconds;
      ++events;
      if (Now() >= stop_at) session.Stop_Test = true;
    };
  }

  Recording_Clip_Player player;
  Grid_Test test{session, player};
  Grid_Context g{session, test.Canvas(), player};
  std::filesystem::path clips;
  double stop_at = -1;
  int events = 0;
};

}  // namespace stylomat::test
