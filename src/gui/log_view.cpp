#include "gui/log_view.h"

#include <QEvent>
#include <QFontDatabase>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <climits>

#include "serial/log_export.h"

namespace stylomat::gui {

namespace {

constexpr int Margin = 4;

int Clamp_To_Int(long long n) { return n > INT_MAX ? INT_MAX : n < 0 ? 0 : static_cast<int>(n); }

QString Render_Bytes(std::string_view bytes, bool hex) {
  static const char Hex_Digits[] = "0123456789ABCDEF";
  QString out;
  out.reserve(static_cast<qsizetype>(hex ? bytes.size() * 3 : bytes.size()));
  for (char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (hex) {
      out += QLatin1Char(Hex_Digits[b >> 4]);
      out += QLatin1Char(Hex_Digits[b & 0x0F]);
      out += QLatin1Char(' ');
    } else {
      out += QChar(Shown_Char(b));
    }
  }
  return out;
}

QFont Log_Font() { return QFontDatabase::systemFont(QFontDatabase::FixedFont); }

}  // namespace

Log_View::Log_View(const Traffic_Log& log, QWidget* parent)
    : QAbstractScrollArea(parent), log_(log), painter_(Log_Font()) {
  setFont(Log_Font());
  setFocusPolicy(Qt::StrongFocus);
  Update_Scroll_Bars(true);
}

std::string_view Log_View::Line_Bytes(std::size_t i) const {
  if (i >= line_start_.size()) return {};
  const std::size_t start = line_start_[i];
  // Every line but the last ends at the CR before the next line's start.
  const std::size_t end = i + 1 < line_start_.size() ? line_start_[i + 1] - 1 : shown_size_;
  return std::string_view(log_.Text()).substr(start, end - start);
}

QString Log_View::Line_Text(std::size_t i) const { return Render_Bytes(Line_Bytes(i), hex_); }

void Log_View::Catch_Up() {
  const std::string& text = log_.Text();
  if (text.size() < shown_size_) {
    // The log only grows; should it ever be replaced, index it afresh.
    line_start_.assign(1, 0);
    shown_size_ = 0;
    widest_bytes_ = 0;
    widest_columns_ = 0;
    open_line_columns_ = 0;
  }
  if (text.size() == shown_size_) return;
  const bool follow_end = At_End();
  for (std::size_t at = shown_size_; at < text.size(); ++at) {
    const auto byte = static_cast<unsigned char>(text[at]);
    if (byte != static_cast<unsigned char>(CR)) {
      open_line_columns_ += Byte_Columns(byte);
      continue;
    }
    widest_bytes_ = std::max(widest_bytes_, at - line_start_.back());
    widest_columns_ = std::max(widest_columns_, open_line_columns_);
    open_line_columns_ = 0;
    line_start_.push_back(at + 1);
  }
  shown_size_ = text.size();
  Update_Scroll_Bars(follow_end);
  viewport()->update();
}

void Log_View::Set_Hex_View(bool on) {
  if (hex_ == on) return;
  hex_ = on;
  horizontalScrollBar()->setValue(0);
  Update_Scroll_Bars(At_End());
  viewport()->update();
}

std::size_t Log_View::First_Visible_Line() const {
  return static_cast<std::size_t>(std::max(0, verticalScrollBar()->value()));
}

bool Log_View::At_End() const { return verticalScrollBar()->value() >= verticalScrollBar()->maximum(); }

void Log_View::Scroll_To_Line(std::size_t line) {
  verticalScrollBar()->setValue(Clamp_To_Int(static_cast<long long>(std::min<std::size_t>(line, INT_MAX))));
}

int Log_View::Rows_On_Screen() const {
  return std::max(1, (viewport()->height() - Margin) / painter_.Line_Height());
}

long long Log_View::Widest_Columns() const {
  if (hex_) {
    const std::size_t open_bytes = shown_size_ - line_start_.back();
    return static_cast<long long>(std::max(widest_bytes_, open_bytes)) * 3;
  }
  return std::max(widest_columns_, open_line_columns_);
}

void Log_View::Update_Scroll_Bars(bool follow_end) {
  const int rows = Rows_On_Screen();
  const std::size_t lines = Line_Count();
  const long long last_first = lines > static_cast<std::size_t>(rows) ? static_cast<long long>(lines - rows) : 0;
  QScrollBar* v = verticalScrollBar();
  v->setSingleStep(1);
  v->setPageStep(rows);
  v->setRange(0, Clamp_To_Int(last_first));
  if (follow_end) v->setValue(v->maximum());

  const long long content = Widest_Columns() * painter_.Char_Width() + 2 * Margin;
  const int width = viewport()->width();
  QScrollBar* h = horizontalScrollBar();
  h->setSingleStep(painter_.Char_Width());
  h->setPageStep(std::max(1, width));
  h->setRange(0, Clamp_To_Int(content - width));
}

void Log_View::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  painter.fillRect(event->rect(), palette().base());
  painter.setPen(palette().text().color());
  painter.setFont(font());

  const int char_width = painter_.Char_Width();
  const int line_height = painter_.Line_Height();
  const int x_offset = horizontalScrollBar()->value();
  const long long first_column = std::max(0, x_offset - Margin) / char_width;
  const long long columns = viewport()->width() / char_width + 3;
  const int height = viewport()->height();
  int top = Margin;
  for (std::size_t i = First_Visible_Line(); i < Line_Count() && top < height; ++i, top += line_height) {
    if (top + line_height < event->rect().top() || top > event->rect().bottom()) continue;
    const std::string_view bytes = Line_Bytes(i);
    if (!hex_) {
      painter_.Draw(painter, Margin - x_offset, top, bytes, first_column, columns);
      continue;
    }
    const std::size_t byte_from = static_cast<std::size_t>(first_column / 3);
    if (byte_from >= bytes.size()) continue;
    const std::size_t byte_count = static_cast<std::size_t>(columns / 3 + 2);
    const int x = Margin + static_cast<int>(byte_from * 3) * char_width - x_offset;
    painter_.Draw(painter, x, top, Render_Bytes(bytes.substr(byte_from, byte_count), true).toStdString(), 0,
                  columns + 3);
  }
}

void Log_View::resizeEvent(QResizeEvent* event) {
  const bool follow_end = At_End();
  QAbstractScrollArea::resizeEvent(event);
  Update_Scroll_Bars(follow_end);
}

void Log_View::changeEvent(QEvent* event) {
  QAbstractScrollArea::changeEvent(event);
  if (event->type() == QEvent::FontChange) {
    painter_ = Log_Line_Painter(font());
    Update_Scroll_Bars(At_End());
    viewport()->update();
  }
}

}  // namespace stylomat::gui
