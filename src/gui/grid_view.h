#pragma once
// The grid view Tbl_Grid: the grid test's drawing, which the core keeps as
// a raster (testbench/grid_canvas), shown scaled to the widget with the
// tablet's proportions kept (Y up, as the raster already is).
//
// The widget keeps the drawing at its own scale and takes in only the
// pixels the canvas says changed, so a stroke costs a few pixels' work
// however large the window; a resize or a new picture scales it once.  It
// takes changes in at most once a display frame: a tablet streaming a
// hundred reports a second repaints sixty times a second at most.
#include <QElapsedTimer>
#include <QImage>
#include <QWidget>

#include "testbench/grid_canvas.h"

namespace stylomat::gui {

class Grid_View : public QWidget {
 public:
  static constexpr qint64 Display_Frame_Nanoseconds = 1'000'000'000 / 60;

  explicit Grid_View(Grid_Canvas& canvas, QWidget* parent = nullptr);

  // Takes the canvas's changes into the picture and repaints them, unless
  // the last repaint was less than a display frame ago (the next call then
  // takes them).  Answers whether it repainted.
  bool Refresh();
  // The drawing as shown, and where it lies in the widget.
  const QImage& Shown() const { return shown_; }
  QRect Picture_Rect() const { return picture_; }
  // Repaints asked for since the view was made.
  long Repaints() const { return repaints_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void Lay_Out();
  void Take_In(const Grid_Canvas::Pixel_Rect& changed);

  Grid_Canvas& canvas_;
  QImage shown_;
  QRect picture_;
  int canvas_width_ = 0;
  int canvas_height_ = 0;
  QElapsedTimer since_repaint_;
  long repaints_ = 0;
};

}  // namespace stylomat::gui
