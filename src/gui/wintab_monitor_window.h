#pragma once
// The monitor window WT_Testing: what the tablet driver reports of itself,
// the tablet and its cursors, on the tabs of SSTab1, and the driver's
// packets live.  It renders the session's Wintab_Monitor_State and hands
// Mon_Start, Mon_Stop and its unload to the main window's commands; the
// polling itself runs in the core (wintab/wintab_monitor).
#include <QWidget>
#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "core/session.h"

class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTabWidget;
class QTimer;

namespace stylomat::gui {

class Wintab_Monitor_Window : public QWidget {
  Q_OBJECT

 public:
  // dispatch runs a main-window command by name ("Mon_Start", "Mon_Stop",
  // "WT_Testing_Unload").
  Wintab_Monitor_Window(Session& session, std::function<bool(const std::string&)> dispatch,
                        QWidget* parent = nullptr);

  // Renders the state when it changed since the last time.
  void Sync();
  void Render();

  QLabel* Field(const std::string& name) const;
  QPushButton* Button(const std::string& name) const;
  QListWidget* Cursor_List() const { return cursor_list_; }
  QTabWidget* Tabs() const { return tabs_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QLabel* Add_Field(const char* name, std::string* value);
  QWidget* Build_Interface_Tab();
  QWidget* Build_Device_Tab();
  QWidget* Build_Cursor_Tab();
  QWidget* Build_Live_Group();

  Session& s_;
  std::function<bool(const std::string&)> dispatch_;
  QTabWidget* tabs_ = nullptr;
  QGroupBox* size_frame_ = nullptr;
  QListWidget* cursor_list_ = nullptr;
  QPushButton* mon_start_ = nullptr;
  QPushButton* mon_stop_ = nullptr;
  QLabel* problem_ = nullptr;
  QTimer* timer_ = nullptr;
  std::map<std::string, QLabel*> fields_;
  std::vector<std::pair<std::string*, QLabel*>> texts_;
  std::vector<std::pair<Label_State*, QLabel*>> labels_;
  std::uint64_t rendered_ = ~std::uint64_t{0};
  bool rendering_ = false;
};

}  // namespace stylomat::gui
