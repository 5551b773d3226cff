#pragma once
// The main window's grid and button test view: the page that takes the
// window's place while the test runs, and the test's status bar Grid_Bar.
//
// It owns the test (testbench/grid_test) and the cursor picture's clip
// player, renders Main_Window_State::grid and the labels the test shows,
// and forwards what the user does with its controls: a pick in the cursor
// box (Pick_Cursor), the line-width slider (Set_Line_Size) and the help
// window's OK (About_Grid_OK).  The test's menu entries are commands of
// the main window (Add_Grid_Commands on its runner).
//
// Controls, by their names: Label7, Tbl_Grid (Grid_View), LabelProx (the
// proximity lamp), Btn_Press, Sel_Zelta_Cursor, Cursor_Image, and in
// Grid_Bar the panels Grid_Bar_1..Grid_Bar_6 with X_Cord, Y_Cord,
// Line_Size, Pr_Range and PressureRange; About_Grid is the help window.
// Read-outs that change while the cursor moves have fixed sizes, so their
// new values repaint them alone and never lay the window out again.
#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>

#include "core/session.h"
#include "platform/media_clip_player.h"
#include "testbench/grid_test.h"

class QComboBox;
class QLabel;
class QProgressBar;
class QSlider;
class QStatusBar;

namespace stylomat::gui {

class Grid_Help_Dialog;
class Grid_View;
class Proximity_Lamp;

class Grid_Panel : public QWidget {
 public:
  explicit Grid_Panel(Session& s, QWidget* parent = nullptr);
  ~Grid_Panel() override;

  Grid_Test& Test() { return test_; }
  Media_Clip_Player& Cursor_Player() { return player_; }
  Grid_View& View() { return *view_; }
  // The status bar, for the main window to place.
  QStatusBar* Grid_Bar() const { return bar_; }
  Grid_Help_Dialog& Help() { return *help_; }

  // The test's view is up (Tbl_Grid shown): the window shows this page.
  bool Active() const;
  // Renders the state; the main window calls it whenever the state changed.
  void Render();
  // Between passes of the test: the drawing's new strokes (once a display
  // frame at most) and the cursor picture's frame, when they changed.
  void Refresh();

  // The user changed something through this page (the main window renders).
  std::function<void()> Changed;

 private:
  QWidget* Build_Side();
  void Build_Bar();
  void Render_Cursor_Box();
  void Render_Picture();
  void Notify();

  Session& s_;
  Media_Clip_Player player_;
  Grid_Test test_;

  QLabel* label7_ = nullptr;
  Proximity_Lamp* lamp_ = nullptr;
  QLabel* lamp_caption_ = nullptr;
  Grid_View* view_ = nullptr;
  QLabel* tablet_ = nullptr;
  QComboBox* cursor_box_ = nullptr;
  QLabel* picture_ = nullptr;
  QLabel* button_ = nullptr;
  QLabel* button_caption_ = nullptr;
  QStatusBar* bar_ = nullptr;
  QLabel* panels_[6] = {};
  QLabel* x_cord_ = nullptr;
  QLabel* y_cord_ = nullptr;
  QSlider* line_size_ = nullptr;
  QLabel* pr_range_ = nullptr;
  QProgressBar* pressure_ = nullptr;
  Grid_Help_Dialog* help_ = nullptr;

  bool rendering_ = false;
  // The cursor picture last shown: which clip, which frame.
  std::string shown_clip_;
  int shown_frame_ = -1;
  bool shown_open_ = false;
};

}  // namespace stylomat::gui
