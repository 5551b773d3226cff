#include "gui/please_wait_dialog.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include "app/startup.h"
#include "gui/port_icon.h"
#include "gui/qt_prompter.h"

namespace stylomat::gui {

Please_Wait_Dialog::Please_Wait_Dialog(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint) {
  setObjectName("Splash");
  setWindowTitle("Please Wait");
  setModal(false);

  auto* layout = new QVBoxLayout(this);
  auto* picture = new QLabel(this);
  picture->setObjectName("PRX_Picture");
  picture->setPixmap(Port_Icon_Pixmap(96, false));
  picture->setAlignment(Qt::AlignCenter);
  layout->addWidget(picture);

  caption_ = new QLabel(this);
  caption_->setObjectName("Splash_Caption");
  caption_->setTextFormat(Qt::PlainText);
  caption_->setAlignment(Qt::AlignCenter);
  QFont bold = caption_->font();
  bold.setBold(true);
  caption_->setFont(bold);
  layout->addWidget(caption_);

  auto* busy = new QProgressBar(this);
  busy->setRange(0, 0);  // moves for as long as the window is up
  busy->setTextVisible(false);
  layout->addWidget(busy);

  auto* version = new QLabel("Version " + QString::fromStdString(Version_Text()), this);
  version->setObjectName("Version_Lb");
  version->setAlignment(Qt::AlignCenter);
  layout->addWidget(version);
  setMinimumWidth(320);
}

QString Please_Wait_Dialog::Caption() const { return caption_->text(); }

void Please_Wait_Dialog::Render(const Please_Wait_State& state) {
  const QString caption = Window_Text(state.Caption);
  if (caption_->text() != caption) caption_->setText(caption);
  if (state.Up && !isVisible()) {
    show();
    raise();
  } else if (!state.Up && isVisible()) {
    hide();
  }
}

}  // namespace stylomat::gui
