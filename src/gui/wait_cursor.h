#pragma once
// The hourglass a window shows while it works, set and restored in pairs so
// that windows sharing the application's override cursor never leave it
// stuck.
#include <QApplication>

namespace stylomat::gui {

class Wait_Cursor {
 public:
  Wait_Cursor() = default;
  Wait_Cursor(const Wait_Cursor&) = delete;
  Wait_Cursor& operator=(const Wait_Cursor&) = delete;
  ~Wait_Cursor() { Set(false); }

  void Set(bool on) {
    if (on == on_) return;
    on_ = on;
    if (on) {
      QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
      QApplication::restoreOverrideCursor();
    }
  }

 private:
  bool on_ = false;
};

}  // namespace stylomat::gui
