#include "gui/qt_prompter.h"

#include <QMessageBox>

#include "serial/log_export.h"

namespace stylomat::gui {

QString Window_Text(const std::string& text) {
  QString out;
  out.reserve(static_cast<qsizetype>(text.size()));
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r') {
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out += QLatin1Char('\n');
    } else if (c == '\n' || c == '\t') {
      out += QLatin1Char(c);
    } else {
      out += QChar(Shown_Char(static_cast<unsigned char>(c)));
    }
  }
  return out;
}

Answer Qt_Prompter::Ask(const Question& question) {
  QMessageBox box(parent_.data());
  box.setWindowTitle(Window_Text(question.title));
  box.setTextFormat(Qt::PlainText);
  box.setText(Window_Text(question.text));
  switch (question.buttons) {
    case Buttons::OK:
      box.setIcon(QMessageBox::Information);
      box.setStandardButtons(QMessageBox::Ok);
      box.exec();
      return Answer::OK;
    case Buttons::OK_Cancel:
      box.setIcon(QMessageBox::Question);
      box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      return box.exec() == QMessageBox::Ok ? Answer::OK : Answer::Cancel;
    case Buttons::Yes_No:
      box.setIcon(QMessageBox::Warning);
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
  }
  return Answer::Cancel;
}

}  // namespace stylomat::gui
