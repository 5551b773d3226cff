#pragma once
// The about windows: the supported-tablets window (About_Main, F2) and the
// configuration windows' about box (About_Config).
#include <QDialog>
#include <string>

namespace stylomat::gui {

class About_Main_Dialog final : public QDialog {
 public:
  explicit About_Main_Dialog(QWidget* parent = nullptr);
};

class About_Config_Dialog final : public QDialog {
 public:
  explicit About_Config_Dialog(QWidget* parent = nullptr);
  // lblTitle and lblDescription.
  void Set_Texts(const std::string& title, const std::string& description);
};

}  // namespace stylomat::gui
