#include "gui/config_form_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/session.h"
#include "gui/about_windows.h"
#include "gui/qt_prompter.h"
#include "gui/wait_cursor.h"
#include "superset/superset_box_texts.h"

namespace stylomat::gui {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

// The picture beside the boxes: a tablet with its cursor and the cable to
// the serial port, drawn rather than loaded so it scales with the window.
class Diagram final : public QWidget {
 public:
  explicit Diagram(QWidget* parent) : QWidget(parent) {
    setObjectName("PRX_Diag");
    setMinimumSize(180, 150);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF area = QRectF(rect()).adjusted(10, 10, -10, -30);
    p.setPen(QPen(QColor(60, 60, 70), 2));
    p.setBrush(QColor(225, 228, 235));
    p.drawRoundedRect(area, 8, 8);
    const QRectF active = area.adjusted(18, 14, -18, -14);
    p.setBrush(QColor(250, 250, 252));
    p.drawRect(active);
    p.setPen(QPen(QColor(180, 190, 205), 1));
    for (int i = 1; i < 6; ++i) {
      const double x = active.left() + active.width() * i / 6.0;
      const double y = active.top() + active.height() * i / 6.0;
      p.drawLine(QPointF(x, active.top()), QPointF(x, active.bottom()));
      p.drawLine(QPointF(active.left(), y), QPointF(active.right(), y));
    }
    // The puck with its cross hair.
    const QPointF puck(active.center().x() + active.width() / 6, active.center().y());
    p.setPen(QPen(QColor(40, 40, 40), 2));
    p.setBrush(QColor(90, 110, 140, 160));
    p.drawEllipse(puck, 16, 16);
    p.drawLine(puck - QPointF(10, 0), puck + QPointF(10, 0));
    p.drawLine(puck - QPointF(0, 10), puck + QPointF(0, 10));
    // The cable to the port.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(60, 60, 70), 3));
    QPainterPath cable(QPointF(area.right() - 20, area.bottom()));
    cable.cubicTo(QPointF(area.right() - 20, height() - 5.0), QPointF(area.left() + 40, area.bottom() + 5),
                  QPointF(area.left() + 20, height() - 8.0));
    p.drawPath(cable);
    p.setPen(QColor(60, 60, 70));
    p.drawText(QRectF(area.right() - 90, height() - 20.0, 64, 18), Qt::AlignRight | Qt::AlignVCenter, "RS-232");
  }
};

constexpr const char* Bank_Names[3] = {"Switch A", "Switch B", "Switch C"};
constexpr const char* Bank_Controls[3] = {"swa", "swb", "swc"};

}  // namespace

Config_Form_Window::Config_Form_Window(Session& session, Config_Window_Parts parts, QWidget* parent)
    : QMainWindow(parent), s_(session), parts_(std::move(parts)) {
  setObjectName(Config_Window_Name(model().Window()));
  setAttribute(Qt::WA_DeleteOnClose, false);

  // What only the window can do: print itself and show the about box.
  Command_Runner& commands = model().Commands();
  commands.Set("Form_Print", [this] { Print_Form(); });
  for (const char* about : {"Show_About", "CmdAbout"}) {
    commands.Set(about, [this] { Show_About(); }, Command_Mode::Command, Mode_Set::Any_Mode());
  }

  Build_Menus();
  auto* central = new QWidget(this);
  auto* layout = new QHBoxLayout(central);
  QWidget* panel = parts_.superset ? Build_SuperSet_Panel(*parts_.superset)
                                   : parts_.switches ? Build_Switch_Panel(*parts_.switches) : new QWidget(central);
  panel->setObjectName("Settings_Panel");
  layout->addWidget(panel, 1);
  auto* side = new QVBoxLayout();
  side->addWidget(new Diagram(central));
  auto* disclaimer = new QLabel(Q(s_.main.Disclaimer.text), central);
  disclaimer->setObjectName("Disclaimer");
  disclaimer->setWordWrap(true);
  disclaimer->setMaximumWidth(220);
  disclaimer->setStyleSheet("color: #606060; font-size: small;");
  side->addWidget(disclaimer);
  side->addStretch(1);
  layout->addLayout(side);
  setCentralWidget(central);
  Build_Please_Wait();

  model().On_Change = [this] { Schedule_Render(); };
  Render();
}

Config_Form_Window::~Config_Form_Window() {
  wait_cursor_.Set(false);
  if (parts_.model) parts_.model->On_Change = nullptr;
}

// ---- building ------------------------------------------------------------

void Config_Form_Window::Build_Menus() {
  for (const Config_Menu& menu_state : model().Menus()) {
    QMenu* menu = menuBar()->addMenu(Q(menu_state.caption));
    menu->setObjectName(Q(menu_state.name));
    for (const Config_Menu_Entry& entry : menu_state.entries) {
      if (entry.separator_before) menu->addSeparator();
      QAction* action = menu->addAction(Q(entry.caption));
      action->setObjectName(Q(entry.name));
      action->setCheckable(entry.checkable);
      const std::string name = entry.name;
      connect(action, &QAction::triggered, this, [this, name] { Dispatch(name); });
      actions_[entry.name] = action;
    }
  }
}

QWidget* Config_Form_Window::Build_SuperSet_Panel(SuperSet_Form& form) {
  const Config_Window window = model().Window();
  auto* panel = new QWidget(this);
  auto* layout = new QVBoxLayout(panel);
  auto* grid = new QGridLayout();
  int row = 0;
  for (SuperSet_Box box : All_SuperSet_Boxes()) {
    if (!Is_List_Box(box)) continue;
    auto* combo = new QComboBox(panel);
    combo->setObjectName(Box_Name(box));
    combo->setToolTip(Q(Box_Tool_Tip(box, window)));
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(box == SuperSet_Box::CmbSuperSet ? 48 : 24);
    for (const std::string& item : form.List(box).items) combo->addItem(Q(item));
    auto* label = new QLabel(Q(Box_Caption(box, window)), panel);
    label->setBuddy(combo);
    grid->addWidget(label, row, 0);
    grid->addWidget(combo, row, 1);
    ++row;
    connect(combo, QOverload<int>::of(&QComboBox::activated), this, [this, &form, box](int index) {
      form.Set_Index(box, index);
      Render();
    });
    combos_[Box_Name(box)] = combo;
  }
  grid->setColumnStretch(1, 1);
  layout->addLayout(grid);

  auto* options = new QGroupBox(panel);
  options->setObjectName("Options_Group");
  // One column: boxes the emulation hides leave no holes.
  auto* checks = new QVBoxLayout(options);
  for (SuperSet_Box box : All_SuperSet_Boxes()) {
    if (Is_List_Box(box) || !form.Has_Box(box)) continue;
    auto* check = new QCheckBox(Q(Box_Caption(box, window)), options);
    check->setObjectName(Box_Name(box));
    check->setToolTip(Q(Box_Tool_Tip(box, window)));
    connect(check, &QCheckBox::clicked, this, [this, &form, box](bool on) {
      form.Set_Value(box, on ? 1 : 0);
      Render();
    });
    checks->addWidget(check);
    checks_[Box_Name(box)] = check;
  }
  if (window == Config_Window::Mirolex2) {
    // Shown as the tablet's window always had it; nothing reads it.
    auto* pnp = new QCheckBox(Plug_N_Play_Caption, options);
    pnp->setObjectName("Chk_PnP");
    pnp->setToolTip(Plug_N_Play_Tool_Tip);
    checks->addWidget(pnp);
    checks_["Chk_PnP"] = pnp;
  }
  layout->addWidget(options);
  layout->addStretch(1);
  return panel;
}

QWidget* Config_Form_Window::Build_Switch_Panel(Switch_Bank_Form& form) {
  auto* panel = new QWidget(this);
  auto* layout = new QVBoxLayout(panel);

  auto* banks = new QGroupBox("Switches", panel);
  auto* grid = new QGridLayout(banks);
  for (int n = 1; n <= 8; ++n) {
    auto* number = new QLabel(QString::number(n), banks);
    number->setAlignment(Qt::AlignCenter);
    grid->addWidget(number, 0, n);
  }
  for (int bank = 0; bank < 3; ++bank) {
    grid->addWidget(new QLabel(Bank_Names[bank], banks), bank + 1, 0);
    for (int n = 1; n <= 8; ++n) {
      auto* button = new QToolButton(banks);
      button->setObjectName(QString("%1_%2").arg(Bank_Controls[bank]).arg(n));
      button->setCheckable(true);
      button->setMinimumWidth(30);
      const Bank b = static_cast<Bank>(bank);
      connect(button, &QToolButton::clicked, this, [this, &form, b, n](bool on) {
        form.Set_Switch(b, n, on ? Switch_On : Switch_Off);
        Render();
      });
      grid->addWidget(button, bank + 1, n);
      switch_buttons_[static_cast<std::size_t>(bank)][static_cast<std::size_t>(n - 1)] = button;
    }
  }
  layout->addWidget(banks);

  auto* settings = new QGridLayout();
  int row = 0;
  int check_column = 0;
  auto* checks = new QHBoxLayout();
  for (int i = 0; i < Setting_Count; ++i) {
    const Setting id = static_cast<Setting>(i);
    const Setting_Box& box = form.Box(id);
    if (box.Is_Check()) {
      auto* check = new QCheckBox(box.caption, panel);
      check->setObjectName(box.name);
      check->setToolTip(Setting_Tool_Tip(id));
      connect(check, &QCheckBox::clicked, this, [this, &form, id](bool on) {
        form.Set_Setting(id, on ? 1 : 0);
        Render();
      });
      checks->addWidget(check);
      checks_[box.name] = check;
      ++check_column;
      continue;
    }
    auto* combo = new QComboBox(panel);
    combo->setObjectName(box.name);
    combo->setToolTip(Setting_Tool_Tip(id));
    for (const std::string& item : box.items) combo->addItem(Q(item));
    auto* label = new QLabel(box.caption, panel);
    label->setBuddy(combo);
    settings->addWidget(label, row, 0);
    settings->addWidget(combo, row, 1);
    ++row;
    connect(combo, QOverload<int>::of(&QComboBox::activated), this, [this, &form, id](int index) {
      form.Set_Setting(id, index);
      Render();
    });
    combos_[box.name] = combo;
  }
  settings->setColumnStretch(1, 1);
  layout->addLayout(settings);
  checks->addStretch(1);
  layout->addLayout(checks);

  image_label_ = new QLabel(panel);
  image_label_->setObjectName("Switch_Image");
  image_label_->setTextFormat(Qt::PlainText);
  image_label_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(image_label_);
  layout->addStretch(1);
  return panel;
}

QWidget* Config_Form_Window::Build_Please_Wait() {
  please_wait_ = new QDialog(this, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  please_wait_->setObjectName("Please_Wait");
  please_wait_->setWindowTitle("Please Wait");
  please_wait_->setModal(false);
  auto* layout = new QVBoxLayout(please_wait_);
  wait_text_ = new QLabel(please_wait_);
  wait_text_->setObjectName("Wait_Text");
  wait_text_->setTextFormat(Qt::PlainText);
  wait_text_->setAlignment(Qt::AlignCenter);
  QFont bold = wait_text_->font();
  bold.setBold(true);
  wait_text_->setFont(bold);
  layout->addWidget(wait_text_);
  wait_progress_ = new QLabel(please_wait_);
  wait_progress_->setObjectName("Wait_Progress");
  wait_progress_->setTextFormat(Qt::PlainText);
  wait_progress_->setAlignment(Qt::AlignCenter);
  layout->addWidget(wait_progress_);
  auto* busy = new QProgressBar(please_wait_);
  busy->setRange(0, 0);
  busy->setTextVisible(false);
  layout->addWidget(busy);
  please_wait_->setMinimumWidth(280);
  return please_wait_;
}

// ---- rendering -----------------------------------------------------------

void Config_Form_Window::Schedule_Render() {
  // A cascade changes many boxes at once: render once it has settled.
  if (render_pending_) return;
  render_pending_ = true;
  QTimer::singleShot(0, this, [this] {
    if (render_pending_) Render();
  });
}

void Config_Form_Window::Render() {
  if (rendering_) return;
  rendering_ = true;
  render_pending_ = false;
  setWindowTitle(Q(model().Caption()));
  Render_Menus();
  if (parts_.superset) Render_SuperSet(*parts_.superset);
  if (parts_.switches) Render_Switches(*parts_.switches);
  // Nothing is edited while the window talks to the tablet.
  if (QWidget* panel = findChild<QWidget*>("Settings_Panel")) panel->setEnabled(!model().Commands().Running());
  Render_Activity();
  rendering_ = false;
}

void Config_Form_Window::Render_Menus() {
  const Command_Runner& commands = model().Commands();
  for (const Config_Menu& menu : model().Menus()) {
    for (const Config_Menu_Entry& entry : menu.entries) {
      QAction* action = actions_.at(entry.name);
      const QString caption = Q(entry.caption);
      if (action->text() != caption) action->setText(caption);
      action->setVisible(entry.visible);
      const bool may_start = !commands.Running() || commands.Runs_Alongside(entry.name, commands.Mode());
      action->setEnabled(entry.enabled && may_start);
      if (entry.checkable) action->setChecked(entry.name == "Show_Debug_Window" ? model().Debug_Window_Checked()
                                                                                 : entry.checked);
    }
  }
}

void Config_Form_Window::Render_SuperSet(SuperSet_Form& form) {
  for (SuperSet_Box box : All_SuperSet_Boxes()) {
    if (Is_List_Box(box)) {
      QComboBox* combo = combos_.at(Box_Name(box));
      const List_Box& list = form.List(box);
      if (combo->currentIndex() != list.index) combo->setCurrentIndex(list.index);
      combo->setVisible(list.visible);
      continue;
    }
    const auto it = checks_.find(Box_Name(box));
    if (it == checks_.end()) continue;
    const Check_Box& check = form.Check(box);
    it->second->setChecked(check.value == 1);
    it->second->setVisible(check.visible);
  }
}

void Config_Form_Window::Render_Switches(Switch_Bank_Form& form) {
  for (int bank = 0; bank < 3; ++bank) {
    for (int n = 1; n <= 8; ++n) {
      QToolButton* button = switch_buttons_[static_cast<std::size_t>(bank)][static_cast<std::size_t>(n - 1)];
      const int value = form.Switch(static_cast<Bank>(bank), n);
      const bool present = value != Switch_Absent;
      button->setEnabled(present);
      button->setChecked(value == Switch_On);
      button->setText(present ? (value == Switch_On ? "1" : "0") : "");
    }
  }
  for (int i = 0; i < Setting_Count; ++i) {
    const Setting_Box& box = form.Box(static_cast<Setting>(i));
    if (box.Is_Check()) {
      checks_.at(box.name)->setChecked(box.value == 1);
    } else {
      QComboBox* combo = combos_.at(box.name);
      if (combo->currentIndex() != box.value) combo->setCurrentIndex(box.value);
    }
  }
  image_label_->setText("Settings image for the tablet: " + Q(form.Switch_Image_Text()));
}

void Config_Form_Window::Render_Activity() {
  const Config_Activity& a = model().Activity();
  const Read_Progress_State& wait = a.Please_Wait;
  wait_text_->setText(Q(wait.Wait_Text));
  wait_progress_->setText(Q(wait.Wait_Progress));
  if (wait.Shown && !please_wait_->isVisible()) {
    please_wait_->show();
    please_wait_->raise();
  } else if (!wait.Shown && please_wait_->isVisible()) {
    please_wait_->hide();
  }
  wait_cursor_.Set(a.Hourglass || model().Commands().Running());
}

// ---- commands ------------------------------------------------------------

Config_Load_Result Config_Form_Window::Load() {
  wait_cursor_.Set(true);
  const Config_Load_Result result = model().Load();
  Render();
  wait_cursor_.Set(false);
  if (result == Config_Load_Result::Shown && !model().Close_Requested()) {
    show();
    raise();
    activateWindow();
  }
  return result;
}

bool Config_Form_Window::Dispatch(const std::string& entry) {
  if (closed_) return false;
  const Command_Runner::Outcome outcome = model().Run(entry);
  if (outcome == Command_Runner::Outcome::Unknown || outcome == Command_Runner::Outcome::Refused) {
    Render();
    return false;
  }
  Render();
  if (After_Command) After_Command();
  if (outcome == Command_Runner::Outcome::Failed) {
    s_.prompter.Inform("The command stopped: " + model().Commands().Failure(), "Stylomat");
  }
  if (model().Close_Requested() && !model().Commands().Running()) close();
  return true;
}

void Config_Form_Window::closeEvent(QCloseEvent* event) {
  if (closed_) {
    event->accept();
    return;
  }
  if (model().Commands().Running()) {
    // The operation talking to the tablet finishes first; the window
    // closes once it has returned.
    event->ignore();
    QTimer::singleShot(50, this, [this] {
      if (!closed_) close();
    });
    return;
  }
  closed_ = true;
  please_wait_->hide();
  if (about_) about_->close();
  wait_cursor_.Set(false);
  event->accept();
  emit Closed();
}

bool Config_Form_Window::Print_Image(QPrinter& printer) {
  const QPixmap image = grab();
  QPainter painter;
  if (!painter.begin(&printer)) return false;
  const QRect page = painter.viewport();
  QSize size = image.size();
  size.scale(page.size(), Qt::KeepAspectRatio);
  painter.setViewport(page.x(), page.y(), size.width(), size.height());
  painter.setWindow(image.rect());
  painter.drawPixmap(0, 0, image);
  return painter.end();
}

void Config_Form_Window::Print_Form() {
  // Cancelling, or a printer that fails, ends the command quietly.
  QPrinter printer(QPrinter::HighResolution);
  QPrintDialog dialog(&printer, this);
  dialog.setObjectName("Form_Dialog");
  if (dialog.exec() != QDialog::Accepted) return;
  (void)Print_Image(printer);
}

void Config_Form_Window::Show_About() {
  if (!about_) about_ = new About_Config_Dialog(this);
  about_->Set_Texts(model().About_Title(), model().About_Description());
  about_->show();
  about_->raise();
}

// ---- look-up for tests ---------------------------------------------------

QDialog* Config_Form_Window::About_Box() const { return about_; }

QAction* Config_Form_Window::Action(const std::string& name) const {
  const auto it = actions_.find(name);
  return it == actions_.end() ? nullptr : it->second;
}

QComboBox* Config_Form_Window::Combo(const std::string& name) const {
  const auto it = combos_.find(name);
  return it == combos_.end() ? nullptr : it->second;
}

QCheckBox* Config_Form_Window::Check(const std::string& name) const {
  const auto it = checks_.find(name);
  return it == checks_.end() ? nullptr : it->second;
}

QToolButton* Config_Form_Window::Switch_Button(Bank bank, int number) const {
  if (number < 1 || number > 8) return nullptr;
  return switch_buttons_[static_cast<std::size_t>(bank)][static_cast<std::size_t>(number - 1)];
}

}  // namespace stylomat::gui
