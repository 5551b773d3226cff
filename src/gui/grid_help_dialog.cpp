#include "gui/grid_help_dialog.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "testbench/grid_help.h"

namespace stylomat::gui {

namespace {

QLabel* Text_Label(const std::string& text, QWidget* parent, const QString& name, bool bold) {
  auto* label = new QLabel(QString::fromStdString(text), parent);
  label->setObjectName(name);
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(true);
  if (bold) {
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
  }
  return label;
}

}  // namespace

Grid_Help_Dialog::Grid_Help_Dialog(QWidget* parent) : QDialog(parent) {
  const About_Grid_Texts texts = About_Grid();
  setObjectName("About_Grid");
  setWindowTitle(QString::fromStdString(texts.caption));
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  QLabel* title = Text_Label(texts.title, this, "lblTitle", true);
  QFont big = title->font();
  big.setPointSizeF(big.pointSizeF() * 1.4);
  title->setFont(big);
  layout->addWidget(title);
  layout->addWidget(Text_Label(texts.version, this, "lblVersion", false));
  int n = 1;
  for (const Grid_Help_Paragraph& paragraph : texts.paragraphs) {
    layout->addSpacing(6);
    layout->addWidget(Text_Label(paragraph.heading, this, QString("lblHeading%1").arg(n), true));
    layout->addWidget(Text_Label(paragraph.text, this, QString("lblText%1").arg(n), false));
    ++n;
  }
  auto* ok = new QPushButton("OK", this);
  ok->setObjectName("cmdOK");
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, [this] {
    hide();
    if (On_OK) On_OK();
  });
  layout->addWidget(ok, 0, Qt::AlignRight);
  setMinimumWidth(520);
}

void Grid_Help_Dialog::reject() {
  hide();
  if (On_Closed) On_Closed();
}

}  // namespace stylomat::gui
