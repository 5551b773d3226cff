#pragma once
// Message boxes of the core's questions, as real dialogs.
#include <QPointer>
#include <QString>
#include <QWidget>
#include <string>

#include "platform/prompter.h"

namespace stylomat::gui {

class Qt_Prompter final : public Prompter {
 public:
  // Boxes are centred over parent while it exists.
  void Set_Parent(QWidget* parent) { parent_ = parent; }
  Answer Ask(const Question& question) override;

 private:
  QPointer<QWidget> parent_;
};

// A text of the core for a widget: CR (or CR LF) ends a line, and bytes of
// a tablet reply show as the log window shows them, never as markup.
QString Window_Text(const std::string& text);

}  // namespace stylomat::gui
