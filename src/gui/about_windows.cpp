#include "gui/about_windows.h"

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/about_texts.h"
#include "gui/qt_prompter.h"

namespace stylomat::gui {

namespace {

QPushButton* Ok_Button(QDialog* dialog) {
  auto* ok = new QPushButton("OK", dialog);
  ok->setObjectName("cmdOK");
  ok->setDefault(true);
  QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
  return ok;
}

QLabel* Bold_Label(const QString& text, QWidget* parent, const char* name) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setTextFormat(Qt::PlainText);
  QFont bold = label->font();
  bold.setBold(true);
  label->setFont(bold);
  return label;
}

}  // namespace

About_Main_Dialog::About_Main_Dialog(QWidget* parent) : QDialog(parent) {
  setObjectName("About_Main");
  setWindowTitle(QString::fromStdString(Supported_Tablets_Caption()));
  auto* layout = new QVBoxLayout(this);
  auto* title = Bold_Label(QString::fromStdString(Supported_Tablets_Title()), this, "lblTitle");
  title->setWordWrap(true);
  layout->addWidget(title);

  auto* grid = new QGridLayout();
  int column = 0;
  for (const Supported_List& list : Supported_Tablet_Lists()) {
    grid->addWidget(Bold_Label(list.label, this, ""), 0, column);
    auto* box = new QListWidget(this);
    box->setObjectName(list.control);
    for (const std::string& row : list.rows) box->addItem(QString::fromStdString(row));
    box->setMinimumWidth(190);
    box->setMinimumHeight(box->sizeHintForRow(0) * 12 + 8);
    grid->addWidget(box, 1, column);
    ++column;
  }
  layout->addLayout(grid);
  layout->addWidget(Bold_Label(Wintab_Support_Label, this, "lblWintab"));
  auto* wintab = new QLabel(Window_Text(Wintab_Support_Text()), this);
  wintab->setObjectName("lblWintabVersions");
  wintab->setTextFormat(Qt::PlainText);
  layout->addWidget(wintab);
  layout->addWidget(Ok_Button(this), 0, Qt::AlignRight);
}

About_Config_Dialog::About_Config_Dialog(QWidget* parent) : QDialog(parent) {
  setObjectName("About_Config");
  setWindowTitle("About");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Bold_Label("", this, "lblTitle"));
  auto* version = new QLabel(QString::fromStdString(Version_Label_Text()), this);
  version->setObjectName("lblVersion");
  layout->addWidget(version);
  auto* description = new QLabel(this);
  description->setObjectName("lblDescription");
  description->setTextFormat(Qt::PlainText);
  description->setWordWrap(true);
  layout->addWidget(description);
  layout->addWidget(Ok_Button(this), 0, Qt::AlignRight);
}

void About_Config_Dialog::Set_Texts(const std::string& title, const std::string& description) {
  findChild<QLabel*>("lblTitle")->setText(Window_Text(title));
  findChild<QLabel*>("lblDescription")->setText(Window_Text(description));
}

}  // namespace stylomat::gui
