#pragma once
// The please-wait window (Splash) shown while a search runs: the program's
// picture, the caption the search sets, and a busy bar.
#include <QDialog>

#include "core/please_wait_state.h"

class QLabel;

namespace stylomat::gui {

class Please_Wait_Dialog : public QDialog {
 public:
  explicit Please_Wait_Dialog(QWidget* parent = nullptr);
  // Shows, updates or hides the window to match the state.
  void Render(const Please_Wait_State& state);
  QString Caption() const;

 private:
  QLabel* caption_;
};

}  // namespace stylomat::gui
