#include "gui/grid_panel.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QSlider>
#include <QStatusBar>
#include <QVBoxLayout>

#include "gui/grid_help_dialog.h"
#include "gui/grid_view.h"
#include "gui/qt_prompter.h"

namespace stylomat::gui {

// The proximity lamp LabelProx: filled while the cursor is in proximity,
// hollow otherwise.
class Proximity_Lamp final : public QWidget {
 public:
  explicit Proximity_Lamp(QWidget* parent) : QWidget(parent) {
    setObjectName("LabelProx");
    setFixedSize(18, 18);
  }
  void Set_Filled(bool filled) {
    if (filled_ == filled) return;
    filled_ = filled;
    update();
  }
  bool Filled() const { return filled_; }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(20, 110, 40), 2));
    p.setBrush(filled_ ? QBrush(QColor(40, 200, 70)) : Qt::NoBrush);
    p.drawEllipse(QRectF(2, 2, width() - 4, height() - 4));
  }

 private:
  bool filled_ = false;
};

namespace {

void Set_Text(QLabel* label, const std::string& text) {
  const QString t = Window_Text(text);
  if (label->text() != t) label->setText(t);
}


void Set_Tip(QWidget* w, const std::string& tip) {
  const QString t = Window_Text(tip);
  if (w->toolTip() != t) w->setToolTip(t);
}

// A read-out box (X_Cord, Y_Cord, Pr_Range): a sunken field the user reads
// and cannot type into.  Its size is fixed, so a new value repaints the
// field alone and never lays the window out again.
QLabel* Read_Out(const char* name, int width, QWidget* parent) {
  auto* box = new QLabel(parent);
  box->setObjectName(name);
  box->setTextFormat(Qt::PlainText);
  box->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  box->setAutoFillBackground(true);
  box->setBackgroundRole(QPalette::Base);
  box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  box->setMargin(2);
  box->setFixedSize(width, box->fontMetrics().height() + 10);
  return box;
}

}  // namespace

Grid_Panel::Grid_Panel(Session& s, QWidget* parent)
    : QWidget(parent), s_(s), player_(s.clock), test_(s, player_) {
  setObjectName("Grid_Page");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(12, 10, 12, 6);

  auto* top = new QHBoxLayout();
  label7_ = new QLabel(this);
  label7_->setObjectName("Label7");
  label7_->setTextFormat(Qt::PlainText);
  QFont bold = label7_->font();
  bold.setBold(true);
  label7_->setFont(bold);
  top->addWidget(label7_, 1);
  lamp_caption_ = new QLabel("Proximity", this);
  top->addWidget(lamp_caption_);
  lamp_ = new Proximity_Lamp(this);
  top->addWidget(lamp_);
  layout->addLayout(top);

  auto* middle = new QHBoxLayout();
  view_ = new Grid_View(test_.Canvas(), this);
  middle->addWidget(view_, 1);
  middle->addWidget(Build_Side());
  layout->addLayout(middle, 1);

  Build_Bar();

  help_ = new Grid_Help_Dialog(this);
  help_->On_OK = [this] {
    test_.About_Grid_OK();
    Notify();
  };
  help_->On_Closed = [this] {
    s_.main.grid.About_Grid_Shown = false;
    s_.main.Touch();
    Notify();
  };
}

Grid_Panel::~Grid_Panel() = default;

QWidget* Grid_Panel::Build_Side() {
  auto* side = new QGroupBox("Cursor", this);
  auto* layout = new QVBoxLayout(side);
  tablet_ = new QLabel(side);
  tablet_->setObjectName("Grid_Tablet");
  tablet_->setTextFormat(Qt::PlainText);
  tablet_->setWordWrap(true);
  layout->addWidget(tablet_);

  cursor_box_ = new QComboBox(side);
  cursor_box_->setObjectName("Sel_Zelta_Cursor");
  // Its text can be a name outside the list ("Select Cursor", "Unknown 9").
  cursor_box_->setEditable(true);
  cursor_box_->lineEdit()->setReadOnly(true);
  cursor_box_->setInsertPolicy(QComboBox::NoInsert);
  cursor_box_->setMinimumWidth(200);
  connect(cursor_box_, &QComboBox::activated, this, [this](int position) {
    if (rendering_) return;
    test_.Pick_Cursor(position);
    Notify();
  });
  layout->addWidget(cursor_box_);

  picture_ = new QLabel(side);
  picture_->setObjectName("Cursor_Image");
  picture_->setFixedSize(160, 160);
  picture_->setAlignment(Qt::AlignCenter);
  layout->addWidget(picture_, 0, Qt::AlignHCenter);

  auto* button_line = new QHBoxLayout();
  button_caption_ = new QLabel("Button:", side);
  button_line->addWidget(button_caption_);
  button_ = new QLabel(side);
  button_->setObjectName("Btn_Press");
  button_->setTextFormat(Qt::PlainText);
  QFont big = button_->font();
  big.setBold(true);
  big.setPointSizeF(big.pointSizeF() * 1.6);
  button_->setFont(big);
  // A fixed size: a new button number never lays the page out again.
  button_->setFixedSize(120, QFontMetrics(big).height() + 4);
  button_line->addWidget(button_, 1);
  layout->addLayout(button_line);
  layout->addStretch(1);
  side->setFixedWidth(232);
  return side;
}

void Grid_Panel::Build_Bar() {
  bar_ = new QStatusBar(this);
  bar_->setObjectName("Grid_Bar");
  bar_->setSizeGripEnabled(false);
  for (int i = 0; i < 6; ++i) {
    panels_[i] = new QLabel(bar_);
    panels_[i]->setObjectName(QString("Grid_Bar_%1").arg(i + 1));
    panels_[i]->setTextFormat(Qt::PlainText);
  }
  x_cord_ = Read_Out("X_Cord", 96, bar_);
  y_cord_ = Read_Out("Y_Cord", 96, bar_);
  pr_range_ = Read_Out("Pr_Range", 56, bar_);
  line_size_ = new QSlider(Qt::Horizontal, bar_);
  line_size_->setObjectName("Line_Size");
  line_size_->setFixedWidth(120);
  line_size_->setPageStep(1);
  line_size_->setTickPosition(QSlider::TicksBelow);
  connect(line_size_, &QSlider::valueChanged, this, [this](int value) {
    if (rendering_) return;
    test_.Set_Line_Size(value);
    Notify();
  });
  pressure_ = new QProgressBar(bar_);
  pressure_->setObjectName("PressureRange");
  pressure_->setFixedWidth(140);
  pressure_->setTextVisible(false);
  // Panel 2 holds X_Cord, panel 4 Y_Cord, panel 5 the slider, panel 6 the
  // pressure read-outs.
  bar_->addWidget(panels_[0]);
  bar_->addWidget(x_cord_);
  bar_->addWidget(panels_[2]);
  bar_->addWidget(y_cord_);
  bar_->addWidget(panels_[4]);
  bar_->addWidget(line_size_);
  bar_->addWidget(panels_[5]);
  bar_->addWidget(pr_range_);
  bar_->addWidget(pressure_);
  panels_[1]->hide();
  panels_[3]->hide();
}

bool Grid_Panel::Active() const { return s_.main.grid.Tbl_Grid_Visible; }

void Grid_Panel::Notify() {
  if (Changed) Changed();
}

void Grid_Panel::Render_Cursor_Box() {
  const Grid_Cursor_Box& box = s_.main.grid.Sel_Zelta_Cursor;
  QStringList items;
  for (const std::string& item : box.items) items << Window_Text(item);
  QStringList shown;
  for (int i = 0; i < cursor_box_->count(); ++i) shown << cursor_box_->itemText(i);
  if (shown != items) {
    cursor_box_->clear();
    cursor_box_->addItems(items);
  }
  const QString text = Window_Text(s_.reports.Sel_Zelta_Cursor);
  if (cursor_box_->currentText() != text) cursor_box_->setEditText(text);
  cursor_box_->setVisible(box.visible);
}

void Grid_Panel::Render_Picture() {
  const Grid_Cursor_Image& image = s_.main.grid.Cursor_Image;
  picture_->setVisible(image.visible);
  const bool open = player_.Is_Open();
  const int frame = open ? player_.Position() : -1;
  if (open == shown_open_ && frame == shown_frame_ && player_.File() == shown_clip_) return;
  shown_open_ = open;
  shown_frame_ = frame;
  shown_clip_ = player_.File();
  const Clip_Image* picture = open ? player_.Current_Image() : nullptr;
  if (!picture) {
    picture_->clear();
    return;
  }
  const QImage frame_image(picture->rgb.data(), picture->width, picture->height, picture->stride,
                           QImage::Format_RGB888);
  picture_->setPixmap(QPixmap::fromImage(frame_image.scaled(picture_->size(), Qt::KeepAspectRatio,
                                                            Qt::SmoothTransformation)));
}

void Grid_Panel::Render() {
  rendering_ = true;
  const Main_Window_State& m = s_.main;
  const Grid_View_State& grid = m.grid;

  Set_Text(label7_, grid.Label7.text);
  label7_->setVisible(grid.Label7.visible);
  lamp_->setVisible(grid.LabelProx_Visible);
  lamp_caption_->setVisible(grid.LabelProx_Visible);
  lamp_->Set_Filled(m.LabelProx_Filled);

  view_->setVisible(grid.Tbl_Grid_Visible);
  Set_Tip(view_, grid.Tbl_Grid_ToolTip);

  std::string tablet = m.Tbl.text;
  if (m.CommPort.visible && !m.CommPort.text.empty()) tablet += " on COM" + m.CommPort.text;
  if (m.Version_Lb.visible && !m.Version_Lb.text.empty()) tablet += "\n" + m.Label8.text + " " + m.Version_Lb.text;
  Set_Text(tablet_, tablet);

  Render_Cursor_Box();
  Render_Picture();
  Set_Text(button_, m.Btn_Press.text);
  button_->setVisible(m.Btn_Press.visible);
  button_caption_->setVisible(m.Btn_Press.visible);

  // The status bar.
  bar_->setVisible(grid.Grid_Bar_Visible);
  for (int i : {0, 2, 4, 5}) {
    Set_Text(panels_[i], grid.Grid_Bar_Panels[static_cast<std::size_t>(i)].text);
    Set_Tip(panels_[i], grid.Grid_Bar_Panels[static_cast<std::size_t>(i)].tooltip);
    panels_[i]->setVisible(grid.Grid_Bar_Panels[static_cast<std::size_t>(i)].visible);
  }
  Set_Text(x_cord_, grid.X_Cord.text);
  x_cord_->setVisible(grid.X_Cord.visible);
  Set_Text(y_cord_, grid.Y_Cord.text);
  y_cord_->setVisible(grid.Y_Cord.visible);
  line_size_->setRange(grid.Line_Size.min, grid.Line_Size.max);
  if (line_size_->value() != grid.Line_Size.value) line_size_->setValue(grid.Line_Size.value);
  Set_Tip(line_size_, grid.Line_Size.tooltip);
  line_size_->setVisible(grid.Line_Size.visible);
  Set_Text(pr_range_, grid.Pr_Range.text);
  pr_range_->setVisible(grid.Pr_Range.visible);
  pressure_->setRange(grid.PressureRange.min, grid.PressureRange.max);
  if (pressure_->value() != grid.PressureRange.value) pressure_->setValue(grid.PressureRange.value);
  pressure_->setVisible(grid.PressureRange.visible);

  if (grid.About_Grid_Shown && !help_->isVisible()) {
    help_->show();
    help_->raise();
  } else if (!grid.About_Grid_Shown && help_->isVisible()) {
    help_->hide();
  }
  rendering_ = false;
}

void Grid_Panel::Refresh() {
  if (!Active()) return;
  view_->Refresh();
  Render_Picture();
}

}  // namespace stylomat::gui
