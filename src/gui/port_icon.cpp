#include "gui/port_icon.h"

#include <QFont>
#include <QPen>
#include <QPolygonF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#ifdef STYLOMAT_HAVE_QT_SVG
#include <QSvgRenderer>
#endif

// Resources of a static library must be registered by hand.
static void Register_Gui_Resources() { Q_INIT_RESOURCE(stylomat_gui); }

namespace stylomat::gui {

namespace {

#ifndef STYLOMAT_HAVE_QT_SVG
// Without the SVG module: the same picture in plain strokes, tablet,
// active area and stylus, on the SVG's 64 x 64 grid.
void Draw_Plain_Icon(QPainter& p) {
  p.setPen(QPen(QColor("#2b3238"), 2.4, Qt::SolidLine, Qt::RoundCap));
  QPainterPath cable(QPointF(30, 15));
  cable.cubicTo(30, 9, 40, 11, 44, 9);
  p.drawPath(cable);
  p.setPen(QPen(QColor("#2b3238"), 1.2));
  p.setBrush(QColor("#a9b3bc"));
  p.drawPolygon(QPolygonF({QPointF(42, 2), QPointF(62, 2), QPointF(59.5, 11), QPointF(44.5, 11)}));
  p.setPen(QPen(QColor("#1d242a"), 1.5));
  p.setBrush(QColor("#3d4852"));
  p.drawRoundedRect(QRectF(3, 15, 56, 44), 5, 5);
  p.setPen(QPen(QColor("#86aac6"), 1));
  p.setBrush(QColor("#d4e6f4"));
  p.drawRect(QRectF(9, 21, 44, 32));
  p.save();
  p.translate(29, 35);
  p.rotate(40);
  p.setPen(QPen(QColor("#1d242a"), 1.1));
  p.setBrush(QColor("#f2f4f6"));
  p.drawRoundedRect(QRectF(-2, -28, 5, 22), 2, 2);
  p.setBrush(QColor("#8b959e"));
  p.drawPolygon(QPolygonF({QPointF(-2, -6), QPointF(0.5, 0), QPointF(3, -6)}));
  p.restore();
}
#endif

void Draw_Picture(QPainter& p, int size) {
#ifdef STYLOMAT_HAVE_QT_SVG
  QSvgRenderer renderer(QStringLiteral(":/stylomat/port_icon.svg"));
  if (renderer.isValid()) {
    renderer.render(&p, QRectF(0, 0, size, size));
    return;
  }
#endif
#ifndef STYLOMAT_HAVE_QT_SVG
  p.save();
  p.scale(size / 64.0, size / 64.0);
  Draw_Plain_Icon(p);
  p.restore();
#endif
}

void Draw_Simulated_Badge(QPainter& p, int size) {
  const QRectF badge(0, size * 0.70, size * 0.46, size * 0.28);
  p.setPen(QPen(QColor("#7a4a00"), std::max(1.0, size / 48.0)));
  p.setBrush(QColor("#ffb020"));
  p.drawRoundedRect(badge, size * 0.06, size * 0.06);
  QFont font;
  font.setBold(true);
  font.setPixelSize(std::max(6, static_cast<int>(size * 0.19)));
  p.setFont(font);
  p.setPen(QColor("#2a1a00"));
  p.drawText(badge, Qt::AlignCenter, QStringLiteral("SIM"));
}

}  // namespace

QPixmap Port_Icon_Pixmap(int size, bool simulated) {
  static const bool registered = [] {
    Register_Gui_Resources();
    return true;
  }();
  (void)registered;
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  Draw_Picture(p, size);
  if (simulated) Draw_Simulated_Badge(p, size);
  return pixmap;
}

QIcon Port_Icon(int size, bool simulated) {
  QIcon icon;
  icon.addPixmap(Port_Icon_Pixmap(size, simulated), QIcon::Normal);
  return icon;
}

}  // namespace stylomat::gui
