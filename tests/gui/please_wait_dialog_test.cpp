#include "gui/please_wait_dialog.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QLabel>
#include <filesystem>
#include <memory>
#include <string>

#include "app/startup.h"
#include "core/search_animation.h"
#include "gui/main_window.h"
#include "gui/qt_test_app.h"
#include "platform/clip_decoder.h"
#include "support/sim_fixture.h"

namespace stylomat::gui {
namespace {

namespace fs = std::filesystem;

// The main window as the session's front end, the logo taken from `dir`.
struct Splash_Bench {
  explicit Splash_Bench(const std::string& dir) {
    test::Qt_App();
    sim.session.App_Dir = dir;
    window = std::make_unique<Main_Window>(sim.session);
    window->End = [](int) {};
    window->Start("");
    sim.session.Port_Number = 1;
  }
  Please_Wait_Dialog& Splash() { return window->please_wait(); }
  bool Picture_Shown() { return !Splash().findChild<QLabel*>("PRX_Picture")->pixmap().isNull(); }
  // Seconds the search's closing of the window waited; the window then
  // renders as after every command.
  double Close() {
    const double start = sim.Now();
    Show_Search_Animation(sim.session, 1);
    const double waited = sim.Now() - start;
    window->Render();
    return waited;
  }
  test::Sim_Bench sim;
  std::unique_ptr<Main_Window> window;
};

// A data directory whose logo is another clip, or none.
struct Logo_Folder {
  explicit Logo_Folder(const char* clip) : path(fs::temp_directory_path() / ("splash_" + std::to_string(::getpid()))) {
    fs::create_directories(path);
    if (clip) fs::copy_file(std::string(STYLOMAT_CLIP_DIR) + "/" + clip, path / "PRX_Logo.avi");
  }
  ~Logo_Folder() { fs::remove_all(path); }
  fs::path path;
};

constexpr double Slice = 0.01;  // the search looks at the animation this often

TEST(Splash, OurLogoPlaysWhileTheSearchRunsAndTheWindowClosesAtFrame52) {
  if (!Clip_Decoder::Available()) GTEST_SKIP() << "this build shows no clips (no FFmpeg)";
  Splash_Bench b(STYLOMAT_CLIP_DIR);
  Show_Search_Animation(b.sim.session, 3);
  const Please_Wait_State& state = b.sim.session.splash;
  Media_Clip_Player& player = b.Splash().Player();
  EXPECT_TRUE(b.Splash().isVisible());
  EXPECT_EQ(b.Splash().Caption(), "Searching Serial Port  1");
  EXPECT_EQ(b.Splash().findChild<QLabel*>("Version_Lb")->text().toStdString(), "Version " + Version_Text());
  EXPECT_TRUE(player.File().ends_with("/PRX_Logo.avi"));
  EXPECT_TRUE(player.Is_Playing());
  EXPECT_TRUE(state.Clip_Loaded);
  EXPECT_EQ(state.Clip_Frames, 60);
  EXPECT_TRUE(b.Picture_Shown());

  // 52 frames at 30 a second; the search looks every 10 ms.
  const double waited = b.Close();
  EXPECT_GE(waited, 52.0 / 30);
  EXPECT_LE(waited, 52.0 / 30 + Slice);
  EXPECT_EQ(state.Animation_Position, 52);
  EXPECT_FALSE(b.Splash().isVisible());
  EXPECT_FALSE(player.Is_Open());
  EXPECT_FALSE(state.Clip_Loaded);
  EXPECT_TRUE(b.window->isVisible());
}

TEST(Splash, AShortClipEndsTheWaitAtItsLastFrameAStoppedOrMissingOneAtOnce) {
  if (!Clip_Decoder::Available()) GTEST_SKIP() << "this build shows no clips (no FFmpeg)";
  {
    Logo_Folder folder("5-MNR.avi");  // 16 frames at 15 a second
    Splash_Bench b(folder.path.string());
    Show_Search_Animation(b.sim.session, 3);
    EXPECT_EQ(b.sim.session.splash.Clip_Frames, 16);
    const double waited = b.Close();
    EXPECT_GE(waited, 15.0 / 15);
    EXPECT_LE(waited, 15.0 / 15 + Slice);
    EXPECT_EQ(b.sim.session.splash.Animation_Position, 15);

    // A clip stopped on its way holds nothing up.
    Show_Search_Animation(b.sim.session, 3);
    b.sim.clock.Advance(0.5);
    b.Splash().Player().Stop();
    EXPECT_EQ(b.Close(), 0.0);
    EXPECT_FALSE(b.Splash().isVisible());
  }
  {
    Logo_Folder folder(nullptr);
    Splash_Bench b(folder.path.string());
    Show_Search_Animation(b.sim.session, 3);
    EXPECT_TRUE(b.Splash().isVisible());
    EXPECT_FALSE(b.sim.session.splash.Clip_Loaded);
    EXPECT_FALSE(b.Picture_Shown());  // the picture stays empty
    EXPECT_EQ(b.Close(), 0.0);
    EXPECT_FALSE(b.Splash().isVisible());
    EXPECT_TRUE(b.window->isVisible());
    EXPECT_TRUE(b.sim.prompter.asked.empty());  // and nobody is told
  }
}

}  // namespace
}  // namespace stylomat::gui
