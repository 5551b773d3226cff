#include "gui/grid_view.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace stylomat::gui {

namespace {
// Around the drawing, where the widget is wider or taller than the tablet.
const QColor Surround(8, 12, 26);
const QColor Edge(70, 82, 112);
}  // namespace

Grid_View::Grid_View(Grid_Canvas& canvas, QWidget* parent) : QWidget(parent), canvas_(canvas) {
  setObjectName("Tbl_Grid");
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(240, 180);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void Grid_View::Lay_Out() {
  canvas_width_ = canvas_.Width();
  canvas_height_ = canvas_.Height();
  (void)canvas_.Take_Changed();  // all of it is taken in below
  const QSize area = size() - QSize(2, 2);  // a pixel of edge all round
  if (area.width() < 1 || area.height() < 1) {
    shown_ = QImage();
    picture_ = QRect();
    return;
  }
  const double k = std::min(static_cast<double>(area.width()) / canvas_width_,
                            static_cast<double>(area.height()) / canvas_height_);
  const QSize fitted(std::max(1, static_cast<int>(std::lround(canvas_width_ * k))),
                     std::max(1, static_cast<int>(std::lround(canvas_height_ * k))));
  picture_ = QRect(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted);
  shown_ = QImage(fitted, QImage::Format_RGB32);
  Take_In(Grid_Canvas::Pixel_Rect{0, 0, canvas_width_ - 1, canvas_height_ - 1});
  update();
}

void Grid_View::Take_In(const Grid_Canvas::Pixel_Rect& changed) {
  if (shown_.isNull() || changed.Empty()) return;
  const double kx = static_cast<double>(shown_.width()) / canvas_width_;
  const double ky = static_cast<double>(shown_.height()) / canvas_height_;
  // The shown pixels whose samples reach into the changed ones (a filtered
  // sample looks one pixel around), and the canvas area they sample.
  QRect target(QPoint(static_cast<int>(std::floor((changed.left - 1) * kx)),
                      static_cast<int>(std::floor((changed.top - 1) * ky))),
               QPoint(static_cast<int>(std::ceil((changed.right + 2) * kx)),
                      static_cast<int>(std::ceil((changed.bottom + 2) * ky))));
  target &= shown_.rect();
  if (target.isEmpty()) return;
  const QRectF source(target.x() / kx, target.y() / ky, target.width() / kx, target.height() / ky);
  const QRect taken = source.toAlignedRect().adjusted(-1, -1, 1, 1) & QRect(0, 0, canvas_width_, canvas_height_);
  const QImage whole(canvas_.Bytes(), canvas_width_, canvas_height_, canvas_.Stride(), QImage::Format_RGB888);
  const QImage part = whole.copy(taken);
  QPainter painter(&shown_);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.setClipRect(target);
  painter.drawImage(QRectF(target), part, source.translated(-taken.topLeft()));
  update(target.translated(picture_.topLeft()));
}

bool Grid_View::Refresh() {
  if (!isVisible()) return false;
  if (canvas_.Width() != canvas_width_ || canvas_.Height() != canvas_height_) {
    Lay_Out();
    since_repaint_.start();
    ++repaints_;
    return true;
  }
  if (since_repaint_.isValid() && since_repaint_.nsecsElapsed() < Display_Frame_Nanoseconds) return false;
  const Grid_Canvas::Pixel_Rect changed = canvas_.Take_Changed();
  if (changed.Empty()) return false;
  Take_In(changed);
  since_repaint_.start();
  ++repaints_;
  return true;
}

void Grid_View::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.fillRect(event->rect(), Surround);
  if (shown_.isNull()) return;
  painter.drawImage(picture_.topLeft(), shown_);
  painter.setPen(Edge);
  painter.drawRect(picture_.adjusted(-1, -1, 0, 0));
}

void Grid_View::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Lay_Out();
}

void Grid_View::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  Lay_Out();
}

}  // namespace stylomat::gui
