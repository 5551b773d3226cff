#pragma once
// The grid test's help window About_Grid: its caption, title, version
// label and three headed paragraphs (testbench/grid_help), and its OK
// button cmdOK.
#include <QDialog>
#include <functional>

namespace stylomat::gui {

class Grid_Help_Dialog final : public QDialog {
 public:
  explicit Grid_Help_Dialog(QWidget* parent = nullptr);
  // cmdOK pressed (the grid test's About_Grid_OK runs there).
  std::function<void()> On_OK;
  // The window closed otherwise (its close box).
  std::function<void()> On_Closed;

 protected:
  void reject() override;
};

}  // namespace stylomat::gui
