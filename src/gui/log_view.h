#pragma once
// The scrolled pane of the log window.  It draws the traffic log straight
// from the log's bytes through an index of line starts, so one refresh
// costs only the bytes appended since the last one and a repaint costs
// only the rows on screen, however long the log has grown.
#include <QAbstractScrollArea>
#include <QString>
#include <cstddef>
#include <string_view>
#include <vector>

#include "gui/log_line_painter.h"
#include "core/traffic_log.h"

namespace stylomat::gui {

class Log_View : public QAbstractScrollArea {
 public:
  explicit Log_View(const Traffic_Log& log, QWidget* parent = nullptr);

  // Takes in what the log gained since the last call.  The view stays where
  // the user left it, unless it was showing the end: then it follows the
  // end.
  void Catch_Up();

  // Log bytes taken in so far.
  std::size_t Shown_Size() const { return shown_size_; }
  // Lines taken in: each CR ends one; the last line is the text after the
  // last CR (empty when the log ends in CR).
  std::size_t Line_Count() const { return line_start_.size(); }
  // The bytes of line i without its CR.
  std::string_view Line_Bytes(std::size_t i) const;
  // Line i as text: one character per byte (control pictures for control
  // bytes, see Shown_Char), or two hexadecimal digits and a blank per byte
  // in hexadecimal view.  On screen, bytes outside printable ASCII are
  // drawn as chips with their hexadecimal digits.
  QString Line_Text(std::size_t i) const;

  void Set_Hex_View(bool on);
  bool Hex_View() const { return hex_; }

  std::size_t First_Visible_Line() const;
  bool At_End() const;
  void Scroll_To_Line(std::size_t line);

  // Memory held by the line index, in bytes.
  std::size_t Index_Bytes() const { return line_start_.capacity() * sizeof(std::size_t); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void Update_Scroll_Bars(bool follow_end);
  int Rows_On_Screen() const;
  long long Widest_Columns() const;

  const Traffic_Log& log_;
  std::vector<std::size_t> line_start_{0};  // offset of each line's first byte
  std::size_t shown_size_ = 0;
  // The longest line ended so far, in bytes and in drawn columns, and the
  // columns of the line still open at the end.
  std::size_t widest_bytes_ = 0;
  long long widest_columns_ = 0;
  long long open_line_columns_ = 0;
  bool hex_ = false;
  Log_Line_Painter painter_;
};

}  // namespace stylomat::gui
