#include "gui/log_line_painter.h"

#include <QFontMetrics>
#include <QString>
#include <algorithm>

namespace stylomat::gui {

Log_Line_Painter::Log_Line_Painter(const QFont& font, QPaintDevice* device) : font_(font), chip_font_(font) {
  const QFontMetrics metrics = device ? QFontMetrics(font, device) : QFontMetrics(font);
  char_width_ = std::max(1, metrics.horizontalAdvance(QLatin1Char('M')));
  line_height_ = std::max(1, metrics.lineSpacing());
  ascent_ = metrics.ascent();
  // Two digits must fit into two columns with a little room around them.
  chip_font_.setBold(true);
  if (chip_font_.pointSizeF() > 0) chip_font_.setPointSizeF(chip_font_.pointSizeF() * 0.72);
  else if (chip_font_.pixelSize() > 0) chip_font_.setPixelSize(std::max(5, chip_font_.pixelSize() * 72 / 100));
}

long long Log_Line_Painter::Columns(std::string_view bytes) {
  long long columns = 0;
  for (char c : bytes) columns += Byte_Columns(static_cast<unsigned char>(c));
  return columns;
}

std::size_t Log_Line_Painter::Bytes_Fitting(std::string_view bytes, long long columns) {
  long long used = 0;
  std::size_t count = 0;
  for (char c : bytes) {
    const int width = Byte_Columns(static_cast<unsigned char>(c));
    if (used + width > columns) break;
    used += width;
    ++count;
  }
  return std::max<std::size_t>(count, bytes.empty() ? 0 : 1);
}

void Log_Line_Painter::Draw(QPainter& painter, int x, int top, std::string_view bytes, long long first_column,
                            long long column_count) const {
  const long long last_column = first_column + column_count;
  QString run;
  long long run_column = 0;
  auto flush = [&] {
    if (run.isEmpty()) return;
    painter.setFont(font_);
    painter.drawText(static_cast<int>(x + run_column * char_width_), top + ascent_, run);
    run.clear();
  };
  long long column = 0;
  for (char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    const int width = Byte_Columns(byte);
    if (column >= last_column) break;
    if (column + width <= first_column) {
      column += width;
      continue;
    }
    if (Is_Printable(byte)) {
      if (run.isEmpty()) run_column = column;
      run += QLatin1Char(c);
    } else {
      flush();
      Draw_Chip(painter, static_cast<int>(x + column * char_width_), top, byte);
    }
    column += width;
  }
  flush();
}

void Log_Line_Painter::Draw_Chip(QPainter& painter, int x, int top, unsigned char byte) const {
  static const char Hex_Digits[] = "0123456789ABCDEF";
  const QRect box(x + 1, top + 1, 2 * char_width_ - 2, line_height_ - 2);
  painter.save();
  painter.setPen(Qt::NoPen);
  painter.setBrush(byte < 0x80 ? QColor(0xdd, 0xe6, 0xf3) : QColor(0xf3, 0xe6, 0xcc));
  painter.drawRoundedRect(box, 2, 2);
  painter.setPen(byte < 0x80 ? QColor(0x1f, 0x3f, 0x77) : QColor(0x6b, 0x45, 0x00));
  painter.setFont(chip_font_);
  const QString digits = QString(QLatin1Char(Hex_Digits[byte >> 4])) + QLatin1Char(Hex_Digits[byte & 0x0F]);
  painter.drawText(box, Qt::AlignCenter, digits);
  painter.restore();
}

}  // namespace stylomat::gui
