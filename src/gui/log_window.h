#pragma once
// The log window (Debug_Window): the traffic log in a scrolled pane, with a
// File menu to print and save it.
#include <QMainWindow>
#include <QString>
#include <memory>

#include "core/traffic_log.h"

class QAction;
class QPrinter;

namespace stylomat::gui {

class Log_View;

class Log_Window : public QMainWindow {
  Q_OBJECT

 public:
  explicit Log_Window(const Traffic_Log& log, QWidget* parent = nullptr);

  // Brings the pane up to date with the log; does nothing while the window
  // is hidden (the whole log is taken in when it is shown again).
  void Refresh_Log_View();

  // A second log the window's View menu opens in a window of its own
  // (the ports a parallel search probed beyond its result), under the
  // given menu caption and window title.
  void Offer_Second_Log(const Traffic_Log& log, const QString& caption, const QString& title);
  QAction* Second_Log_Entry() { return second_entry_; }
  Log_Window* Second_Log_Window() { return second_window_.get(); }

  Log_View& view() { return *view_; }
  QAction* Print_Debug() { return print_; }
  QAction* Save_Txt() { return save_; }

  // The commands behind the dialogs, for the menu and for tests.  Printing
  // lays the log as shown out over as many pages as it needs; saving writes
  // rich text or, for the text filter or a .txt name, plain text.  Both
  // return false on failure; error tells why a save failed.
  bool Print_Log(QPrinter& printer);
  bool Save_Log(const QString& path, const QString& selected_filter, QString* error);

 signals:
  // The user closed the window with its close box.
  void Closed_By_User();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void Print_Command();
  void Save_Command();

  const Traffic_Log& log_;
  Log_View* view_;
  QAction* print_;
  QAction* save_;
  QAction* hex_;
  QMenu* view_menu_;
  QAction* second_entry_ = nullptr;
  std::unique_ptr<Log_Window> second_window_;
  QString last_folder_;
};

}  // namespace stylomat::gui
