#include "gui/log_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <algorithm>
#include <string>
#include <string_view>

#include "gui/log_line_painter.h"
#include "gui/log_view.h"
#include "serial/log_export.h"

namespace stylomat::gui {

namespace {

QString To_QString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

Log_Window::Log_Window(const Traffic_Log& log, QWidget* parent) : QMainWindow(parent), log_(log) {
  setObjectName("Debug_Window");
  setWindowTitle("Debug Log");
  resize(560, 480);

  view_ = new Log_View(log_, this);
  view_->setObjectName("Debug_Picture");
  setCentralWidget(view_);

  QMenu* file = menuBar()->addMenu("File");
  file->setObjectName("File_mnu");
  print_ = file->addAction("Print");
  print_->setObjectName("Print_Debug");
  save_ = file->addAction("Save");
  save_->setObjectName("Save_Txt");
  connect(print_, &QAction::triggered, this, [this] { Print_Command(); });
  connect(save_, &QAction::triggered, this, [this] { Save_Command(); });

  // Binary replies read better byte by byte.
  QMenu* view_menu = menuBar()->addMenu("&View");
  view_menu->setObjectName("View_mnu");
  view_menu_ = view_menu;
  hex_ = view_menu->addAction("&Hexadecimal Bytes");
  hex_->setObjectName("Hex_View");
  hex_->setCheckable(true);
  connect(hex_, &QAction::toggled, this, [this](bool on) { view_->Set_Hex_View(on); });
}

void Log_Window::Offer_Second_Log(const Traffic_Log& log, const QString& caption, const QString& title) {
  view_menu_->addSeparator();
  second_entry_ = view_menu_->addAction(caption);
  second_entry_->setObjectName("Second_Log");
  connect(second_entry_, &QAction::triggered, this, [this, &log, title] {
    if (!second_window_) {
      second_window_ = std::make_unique<Log_Window>(log);
      second_window_->setWindowTitle(title);
      second_window_->setWindowIcon(windowIcon());
    }
    second_window_->show();
    second_window_->raise();
  });
}

void Log_Window::Refresh_Log_View() {
  if (second_window_) second_window_->Refresh_Log_View();
  if (!isVisible()) return;
  view_->Catch_Up();
}

void Log_Window::closeEvent(QCloseEvent* event) {
  QMainWindow::closeEvent(event);
  if (event->isAccepted()) emit Closed_By_User();
}

void Log_Window::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  Refresh_Log_View();
}

void Log_Window::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  Refresh_Log_View();
}

void Log_Window::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) Refresh_Log_View();
}

bool Log_Window::Print_Log(QPrinter& printer) {
  Refresh_Log_View();
  QPainter painter;
  if (!painter.begin(&printer)) return false;
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setPointSize(9);
  const Log_Line_Painter line_painter(font, painter.device());
  const int line_height = line_painter.Line_Height();
  const long long columns = std::max(1, printer.width() / line_painter.Char_Width());
  const int rows = std::max(1, printer.height() / line_height);
  painter.setPen(Qt::black);

  // Long lines wrap at the page's width; nothing is cut off.
  const std::string_view text(log_.Text());
  int row = 0;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find(CR, start);
    if (end == std::string_view::npos) end = text.size();
    if (end == text.size() && start == end && start != 0) break;  // nothing after the last CR
    std::string_view line = text.substr(start, end - start);
    do {
      if (row == rows) {
        if (!printer.newPage()) return false;
        row = 0;
      }
      const std::string_view piece = line.substr(0, Log_Line_Painter::Bytes_Fitting(line, columns));
      line_painter.Draw(painter, 0, row * line_height, piece, 0, columns);
      line.remove_prefix(piece.size());
      ++row;
    } while (!line.empty());
    start = end + 1;
  }
  return painter.end();
}

bool Log_Window::Save_Log(const QString& path, const QString& selected_filter, QString* error) {
  Refresh_Log_View();
  const std::string chosen = QFile::encodeName(path).toStdString();
  const std::string filter = selected_filter.toStdString();
  const Log_File_Format format = Choose_Log_File_Format(chosen, filter);
  const std::string target = Complete_Log_File_Name(chosen, format);
  std::string reason;
  if (Save_Log_File(log_.Text(), target, format, reason)) return true;
  if (error) *error = To_QString(reason);
  return false;
}

void Log_Window::Print_Command() {
  QPrinter printer;
  QPrintDialog dialog(&printer, this);
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
  if (dialog.exec() != QDialog::Accepted) return;
  // A printer that fails ends the command quietly.
  (void)Print_Log(printer);
}

void Log_Window::Save_Command() {
  const QDate today = QDate::currentDate();
  const QString name = To_QString(Default_Log_File_Name(today.year(), today.month(), today.day()));
  const QString folder = last_folder_.isEmpty() ? QDir::homePath() : last_folder_;
  const QString rtf = To_QString(Rtf_Filter);
  const QString txt = To_QString(Txt_Filter);
  QString selected = rtf;
  const QString path =
      QFileDialog::getSaveFileName(this, "Save", QDir(folder).filePath(name), rtf + ";;" + txt, &selected);
  if (path.isEmpty()) return;  // cancelled
  last_folder_ = QFileInfo(path).absolutePath();
  QString error;
  if (Save_Log(path, selected, &error)) return;
  // Losing a log without a word would leave the technician believing it
  // was kept.
  QMessageBox::warning(this, "Save", "The debug log was not saved to\n" + path + "\n\n" + error);
}

}  // namespace stylomat::gui
