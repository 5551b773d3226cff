#pragma once
// Drawing one line of the traffic log, for the screen and for paper.
// Printable ASCII is drawn as text in a fixed-pitch font; every other byte
// (control bytes, binary report bytes) is drawn as a small chip holding its
// two hexadecimal digits, two columns wide, so replies stay readable with
// any installed font.
#include <QFont>
#include <QPainter>
#include <cstddef>
#include <string_view>

namespace stylomat::gui {

inline bool Is_Printable(unsigned char byte) { return byte >= 0x20 && byte < 0x7F; }
inline int Byte_Columns(unsigned char byte) { return Is_Printable(byte) ? 1 : 2; }

class Log_Line_Painter {
 public:
  // Measures the font on the device it will draw on (nullptr: the screen).
  explicit Log_Line_Painter(const QFont& font, QPaintDevice* device = nullptr);

  int Char_Width() const { return char_width_; }
  int Line_Height() const { return line_height_; }

  // Columns the bytes take.
  static long long Columns(std::string_view bytes);
  // How many of the bytes fit into the given columns (at least one byte,
  // so that a wrapped line always moves on).
  static std::size_t Bytes_Fitting(std::string_view bytes, long long columns);

  // Draws the columns first_column .. first_column + column_count of the
  // bytes, column 0 at x, the row's top at top.
  void Draw(QPainter& painter, int x, int top, std::string_view bytes, long long first_column,
            long long column_count) const;

 private:
  void Draw_Chip(QPainter& painter, int x, int top, unsigned char byte) const;

  QFont font_;
  QFont chip_font_;
  int char_width_ = 1;
  int line_height_ = 1;
  int ascent_ = 0;
};

}  // namespace stylomat::gui
