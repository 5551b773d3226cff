#include "gui/please_wait_dialog.h"

#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>

#include "app/startup.h"
#include "core/data_file.h"
#include "gui/qt_prompter.h"

namespace stylomat::gui {

namespace {
// The picture area keeps the logo's size whether a clip shows or not.
constexpr int Picture_Width = 360;
constexpr int Picture_Height = 120;
}  // namespace

Please_Wait_Dialog::Please_Wait_Dialog(Clock& clock, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint), player_(clock) {
  setObjectName("Splash");
  setWindowTitle("Please Wait");
  setModal(false);

  auto* layout = new QVBoxLayout(this);
  picture_ = new QLabel(this);
  picture_->setObjectName("PRX_Picture");
  picture_->setFixedSize(Picture_Width, Picture_Height);
  picture_->setAlignment(Qt::AlignCenter);
  layout->addWidget(picture_, 0, Qt::AlignHCenter);

  caption_ = new QLabel(this);
  caption_->setObjectName("Splash_Caption");
  caption_->setTextFormat(Qt::PlainText);
  caption_->setAlignment(Qt::AlignCenter);
  QFont bold = caption_->font();
  bold.setBold(true);
  caption_->setFont(bold);
  layout->addWidget(caption_);

  auto* version = new QLabel("Version " + QString::fromStdString(Version_Text()), this);
  version->setObjectName("Version_Lb");
  version->setAlignment(Qt::AlignCenter);
  layout->addWidget(version);
  setMinimumWidth(Picture_Width + 40);

  // While the animation plays, its frames follow at the clip's own rate
  // (the position comes from the clock; the timer only repaints).
  frames_ = new QTimer(this);
  connect(frames_, &QTimer::timeout, this, [this] {
    Show_Frame();
    if (!player_.Is_Playing()) frames_->stop();
  });
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

void Please_Wait_Dialog::Follow(Please_Wait_State& state, const std::string& data_dir) {
  bool restarted = false;
  if (state.Up && !loaded_) {
    loaded_ = true;
    plays_seen_ = state.Plays;
    player_.Set_File(Data_File_Path(data_dir, Logo_Clip));
    if (player_.Open()) {
      player_.Prev();
      player_.Play(0, player_.Frame_Count() - 1);
      restarted = true;
    }
    state.Clip_Loaded = player_.Is_Open();
    state.Clip_Frames = player_.Frame_Count();
  } else if (state.Up && state.Plays != plays_seen_) {
    plays_seen_ = state.Plays;
    if (player_.Is_Open()) {
      player_.Prev();
      player_.Play(0, player_.Frame_Count() - 1);
      restarted = true;
    }
  } else if (!state.Up && loaded_) {
    loaded_ = false;
    player_.Stop();
    player_.Close();
    frames_->stop();
    state.Clip_Loaded = false;
    state.Clip_Frames = 0;
  }
  if (loaded_ && player_.Is_Open()) {
    state.Animation_Position = player_.Position();
    // A clip that was stopped, or has played to its end, moves no more.
    state.Animation_Playing = player_.Is_Playing();
  }
  if (restarted && player_.Is_Playing()) {
    frames_->start(std::max(1, static_cast<int>(std::lround(player_.Frame_Seconds() * 1000))));
  }
  Show_Frame();
}

void Please_Wait_Dialog::Show_Frame() {
  const int frame = player_.Is_Open() ? player_.Position() : -1;
  if (frame == shown_frame_) return;
  shown_frame_ = frame;
  const Clip_Image* image = frame >= 0 ? player_.Current_Image() : nullptr;
  if (!image) {
    picture_->clear();
    return;
  }
  const QImage picture(image->rgb.data(), image->width, image->height, image->stride, QImage::Format_RGB888);
  picture_->setPixmap(QPixmap::fromImage(
      picture.scaled(picture_->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

}  // namespace stylomat::gui
