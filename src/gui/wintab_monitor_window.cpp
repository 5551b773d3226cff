#include "gui/wintab_monitor_window.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "gui/qt_prompter.h"
#include "wintab/wintab_monitor.h"

namespace stylomat::gui {

namespace {

// How often the window looks at the state while it is shown.
constexpr int Render_Interval_Ms = 40;

void Set_Text_If_Changed(QLabel* label, const QString& text) {
  if (label->text() != text) label->setText(text);
}

void Render_Button(QPushButton* button, const Button_State& state) {
  button->setVisible(state.visible);
  button->setEnabled(state.enabled);
}

}  // namespace

Wintab_Monitor_Window::Wintab_Monitor_Window(Session& session, std::function<bool(const std::string&)> dispatch,
                                             QWidget* parent)
    : QWidget(parent, Qt::Window), s_(session), dispatch_(std::move(dispatch)) {
  setObjectName("WT_Testing");
  setWindowTitle("Wintab Information");
  auto* layout = new QVBoxLayout(this);
  tabs_ = new QTabWidget(this);
  tabs_->setObjectName("SSTab1");
  tabs_->addTab(Build_Interface_Tab(), "Interface");
  tabs_->addTab(Build_Device_Tab(), "Device");
  tabs_->addTab(Build_Cursor_Tab(), "Cursors");
  layout->addWidget(tabs_);
  layout->addWidget(Build_Live_Group());
  problem_ = new QLabel(this);
  problem_->setObjectName("Problem");
  problem_->setWordWrap(true);
  problem_->setTextFormat(Qt::PlainText);
  problem_->setStyleSheet("color: #b00020;");
  layout->addWidget(problem_);

  connect(tabs_, &QTabWidget::currentChanged, this, [this](int tab) {
    if (!rendering_) s_.wintab.WT_Testing.SSTab1 = tab;
  });
  timer_ = new QTimer(this);
  timer_->setInterval(Render_Interval_Ms);
  connect(timer_, &QTimer::timeout, this, [this] { Sync(); });
  timer_->start();
  resize(560, 520);
}

QLabel* Wintab_Monitor_Window::Add_Field(const char* name, std::string* value) {
  auto* label = new QLabel(this);
  label->setObjectName(name);
  label->setTextFormat(Qt::PlainText);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  label->setMinimumWidth(120);
  label->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  fields_[name] = label;
  if (value) texts_.emplace_back(value, label);
  return label;
}

QWidget* Wintab_Monitor_Window::Build_Interface_Tab() {
  Wintab_Monitor_State& f = s_.wintab.WT_Testing;
  auto* page = new QWidget(this);
  auto* form = new QFormLayout(page);
  form->addRow("Wintab ID:", Add_Field("Wintab_ID", &f.Wintab_ID));
  form->addRow("Driver interface version:", Add_Field("Wintab_Sp_Version", &f.Wintab_Sp_Version));
  form->addRow("Implementation version:", Add_Field("Wintab_Im_Version", &f.Wintab_Im_Version));
  form->addRow("Devices:", Add_Field("Wintab_N_Dev", &f.Wintab_N_Dev));
  form->addRow("Cursors:", Add_Field("Wintab_N_Cur", &f.Wintab_N_Cur));
  form->addRow("Contexts:", Add_Field("Wintab_N_Cont", &f.Wintab_N_Cont));
  form->addRow("Manager handles:", Add_Field("Wintab_N_MH", &f.Wintab_N_MH));
  form->addRow("Screen width:", Add_Field("Wintab_Screen_X", &f.Wintab_Screen_X));
  form->addRow("Screen height:", Add_Field("Wintab_Screen_Y", &f.Wintab_Screen_Y));
  return page;
}

QWidget* Wintab_Monitor_Window::Build_Device_Tab() {
  Wintab_Monitor_State& f = s_.wintab.WT_Testing;
  auto* page = new QWidget(this);
  auto* layout = new QVBoxLayout(page);
  auto* form = new QFormLayout();
  form->addRow("Tablet:", Add_Field("Tablet_ID", &f.Tablet_ID));
  form->addRow("Version:", Add_Field("Device_Ver", &f.Device_Ver));
  form->addRow("Format:", Add_Field("Device_Format", &f.Device_Format));
  form->addRow("Cursor types:", Add_Field("Device_N_Cur", &f.Device_N_Cur));
  form->addRow("First cursor:", Add_Field("Device_First_Cur", &f.Device_First_Cur));
  form->addRow("Report rate:", Add_Field("Device_R_Rate", &f.Device_R_Rate));
  form->addRow("Pressure range:", Add_Field("Device_Pr_Range", &f.Device_Pr_Range));
  layout->addLayout(form);

  size_frame_ = new QGroupBox(this);
  size_frame_->setObjectName("Size_Frame");
  auto* grid = new QGridLayout(size_frame_);
  const char* headers[] = {"", "Min", "Max", "Units", "Resolution"};
  for (int c = 0; c < 5; ++c) grid->addWidget(new QLabel(headers[c], size_frame_), 0, c);
  struct Row {
    const char* axis;
    std::string *min, *max, *units, *res;
    const char *min_name, *max_name, *units_name, *res_name;
  };
  const Row rows[] = {
      {"X", &f.X_Min, &f.X_Max, &f.X_Units, &f.X_Res, "X_Min", "X_Max", "X_Units", "X_Res"},
      {"Y", &f.Y_Min, &f.Y_Max, &f.Y_Units, &f.Y_Res, "Y_Min", "Y_Max", "Y_Units", "Y_Res"},
      {"Z", &f.Z_Min, &f.Z_Max, &f.Z_Units, &f.Z_Res, "Z_Min", "Z_Max", "Z_Units", "Z_Res"},
  };
  int r = 1;
  for (const Row& row : rows) {
    grid->addWidget(new QLabel(row.axis, size_frame_), r, 0);
    grid->addWidget(Add_Field(row.min_name, row.min), r, 1);
    grid->addWidget(Add_Field(row.max_name, row.max), r, 2);
    grid->addWidget(Add_Field(row.units_name, row.units), r, 3);
    grid->addWidget(Add_Field(row.res_name, row.res), r, 4);
    ++r;
  }
  layout->addWidget(size_frame_);
  layout->addStretch(1);
  return page;
}

QWidget* Wintab_Monitor_Window::Build_Cursor_Tab() {
  Wintab_Monitor_State& f = s_.wintab.WT_Testing;
  auto* page = new QWidget(this);
  auto* layout = new QHBoxLayout(page);
  cursor_list_ = new QListWidget(page);
  cursor_list_->setObjectName("Cursor_ID");
  layout->addWidget(cursor_list_, 1);
  connect(cursor_list_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (rendering_ || row < 0) return;
    Show_Cursor_Details(s_, row);
    Render();
  });

  auto* details = new QWidget(page);
  auto* grid = new QGridLayout(details);
  const auto add_label = [&](Label_State& state, const char* name, int row, int column) {
    auto* label = new QLabel(details);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    labels_.emplace_back(&state, label);
    grid->addWidget(label, row, column, 1, column == 0 ? 1 : 1);
    return label;
  };
  add_label(f.Label11, "Label11", 0, 0);
  add_label(f.Cursor_N_Btn_Lb, "Cursor_N_Btn_Lb", 0, 1);
  add_label(f.Label12, "Label12", 1, 0);
  add_label(f.Cursor_Pr_Btn_Lb, "Cursor_Pr_Btn_Lb", 1, 1);
  add_label(f.Label35, "Label35", 2, 0);
  add_label(f.Cursor_ID_Lb, "Cursor_ID_Lb", 2, 1);
  add_label(f.Label1, "Label1", 3, 0);
  add_label(f.Cr_Active_Lb, "Cr_Active_Lb", 3, 1);
  QLabel* note = add_label(f.Cursor_Note_LB, "Cursor_Note_LB", 4, 0);
  grid->addWidget(note, 4, 0, 1, 2);
  QLabel* note2 = add_label(f.Note_LB, "Note_LB", 5, 0);
  grid->addWidget(note2, 5, 0, 1, 2);
  grid->setRowStretch(6, 1);
  layout->addWidget(details, 1);
  return page;
}

QWidget* Wintab_Monitor_Window::Build_Live_Group() {
  Wintab_Monitor_State& f = s_.wintab.WT_Testing;
  auto* group = new QGroupBox("Live packets", this);
  auto* grid = new QGridLayout(group);
  struct Live {
    const char* caption;
    const char* name;
    std::string* value;
  };
  const Live live[] = {
      {"X:", "Monitor_X", &f.Monitor_X},          {"Y:", "Monitor_Y", &f.Monitor_Y},
      {"Buttons:", "Monitor_Btn", &f.Monitor_Btn}, {"Pressure:", "Monitor_Pres", &f.Monitor_Pres},
      {"Cursor:", "Monitor_Cur", &f.Monitor_Cur},  {"Cursor name:", "Monitor_Cur_Name", &f.Monitor_Cur_Name},
      {"In proximity:", "Monitor_Prox", &f.Monitor_Prox},
  };
  int i = 0;
  for (const Live& l : live) {
    grid->addWidget(new QLabel(l.caption, group), i / 2, (i % 2) * 2);
    grid->addWidget(Add_Field(l.name, l.value), i / 2, (i % 2) * 2 + 1);
    ++i;
  }
  auto* buttons = new QHBoxLayout();
  mon_start_ = new QPushButton("Start", group);
  mon_start_->setObjectName("Mon_Start");
  mon_stop_ = new QPushButton("Stop", group);
  mon_stop_->setObjectName("Mon_Stop");
  buttons->addStretch(1);
  buttons->addWidget(mon_start_);
  buttons->addWidget(mon_stop_);
  grid->addLayout(buttons, 4, 0, 1, 4);
  connect(mon_start_, &QPushButton::clicked, this, [this] { dispatch_("Mon_Start"); });
  connect(mon_stop_, &QPushButton::clicked, this, [this] { dispatch_("Mon_Stop"); });
  return group;
}

void Wintab_Monitor_Window::Sync() {
  if (s_.wintab.WT_Testing.revision == rendered_) return;
  Render();
}

void Wintab_Monitor_Window::Render() {
  const Wintab_Monitor_State& f = s_.wintab.WT_Testing;
  rendering_ = true;
  for (auto& [value, label] : texts_) Set_Text_If_Changed(label, Window_Text(*value));
  for (auto& [state, label] : labels_) {
    Set_Text_If_Changed(label, Window_Text(state->text));
    label->setVisible(state->visible);
  }
  size_frame_->setTitle(Window_Text(f.Size_Frame));
  if (cursor_list_->count() != static_cast<int>(f.Cursor_ID.size())) {
    cursor_list_->clear();
    for (const std::string& name : f.Cursor_ID) cursor_list_->addItem(Window_Text(name));
  } else {
    for (int i = 0; i < cursor_list_->count(); ++i) {
      const QString text = Window_Text(f.Cursor_ID[static_cast<std::size_t>(i)]);
      if (cursor_list_->item(i)->text() != text) cursor_list_->item(i)->setText(text);
    }
  }
  if (cursor_list_->currentRow() != f.Cursor_ID_Selected) cursor_list_->setCurrentRow(f.Cursor_ID_Selected);
  if (tabs_->currentIndex() != f.SSTab1) tabs_->setCurrentIndex(f.SSTab1);
  Render_Button(mon_start_, f.Mon_Start);
  Render_Button(mon_stop_, f.Mon_Stop);
  if (f.Mon_Stop.focused && f.Mon_Stop.visible && !mon_stop_->hasFocus()) mon_stop_->setFocus();
  if (f.Mon_Start.focused && f.Mon_Start.visible && !mon_start_->hasFocus()) mon_start_->setFocus();
  Set_Text_If_Changed(problem_, Window_Text(f.Problem));
  problem_->setVisible(!f.Problem.empty());
  rendered_ = f.revision;
  rendering_ = false;
}

void Wintab_Monitor_Window::closeEvent(QCloseEvent* event) {
  // Closing the window unloads it: the monitor stops and the link closes.
  event->accept();
  dispatch_("WT_Testing_Unload");
}

QLabel* Wintab_Monitor_Window::Field(const std::string& name) const {
  const auto it = fields_.find(name);
  if (it != fields_.end()) return it->second;
  for (const auto& [state, label] : labels_)
    if (label->objectName() == QString::fromStdString(name)) return label;
  return nullptr;
}

QPushButton* Wintab_Monitor_Window::Button(const std::string& name) const {
  if (name == "Mon_Start") return mon_start_;
  if (name == "Mon_Stop") return mon_stop_;
  return nullptr;
}

}  // namespace stylomat::gui
