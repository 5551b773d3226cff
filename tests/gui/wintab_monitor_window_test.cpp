// The monitor window and the main window's driver entries, on the recorded
// pen tablet.
#include "gui/wintab_monitor_window.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include "app/driver_setup.h"
#include "gui/main_window.h"
#include "gui/qt_test_app.h"
#include "support/sim_fixture.h"

namespace stylomat::gui {
namespace {

struct Monitor_Gui_Bench {
  Monitor_Gui_Bench() {
    test::Qt_App();
    Driver_Environment env;
    env.recording = std::string(STYLOMAT_SOURCE_DIR) + "/data/recordings/pen_tablet.evemu";
    driver = Make_Driver_Setup(env, sim.clock);
    sim.session.wintab.driver = driver.driver.get();
    window = std::make_unique<Main_Window>(sim.session);
    window->End = [](int) {};
    window->Start("");
  }
  test::Sim_Bench sim;
  Driver_Setup driver;
  std::unique_ptr<Main_Window> window;
};

TEST(WintabMonitorWindow, ShowsTheRecordedPenAndItsLivePackets) {
  Monitor_Gui_Bench b;
  EXPECT_TRUE(b.window->TW_Check()->isEnabled());
  EXPECT_EQ(b.window->Label("Tbl")->text(), "Calvetra PT-0906 Pen Tablet");
  ASSERT_TRUE(b.window->Dispatch("WT_Info_Btn"));
  Wintab_Monitor_Window* monitor = b.window->Wintab_Monitor();
  ASSERT_TRUE(monitor && monitor->isVisible());
  EXPECT_EQ(monitor->Field("X_Res")->text(), "2000");
  EXPECT_EQ(monitor->Cursor_List()->count(), 2);
  EXPECT_TRUE(monitor->Button("Mon_Start")->isVisibleTo(monitor));

  // Stop is pressed once the first packet has been shown.
  b.sim.session.wintab.On_Monitor_Packet = [&](const Wintab_Packet&) {
    QTimer::singleShot(0, [&] { monitor->Button("Mon_Stop")->click(); });
  };
  monitor->Button("Mon_Start")->click();
  monitor->Render();
  EXPECT_EQ(monitor->Field("Monitor_Cur_Name")->text(), "Pen");
  EXPECT_EQ(monitor->Field("Monitor_X")->text(), "4000");
  EXPECT_EQ(monitor->Field("Monitor_Prox")->text(), "True");
  EXPECT_TRUE(monitor->Button("Mon_Start")->isVisibleTo(monitor));
  EXPECT_FALSE(monitor->Button("Mon_Stop")->isVisibleTo(monitor));

  monitor->close();
  EXPECT_FALSE(b.sim.session.wintab.WT_Testing.Loaded);
  EXPECT_FALSE(monitor->isVisible());
}

}  // namespace
}  // namespace stylomat::gui
