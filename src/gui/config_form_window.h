#pragma once
// The configuration windows (KORV_form, Mirolex2, Dovrane3, Pv5, VSIII): one
// window class renders any of them from its model.  The menus come from the
// model, every box and switch forwards the user's change to the form model
// and the window re-renders from it, so no rule lives in a widget.  The
// window prints itself and shows the about box; everything else is the
// model's command.
#include <QMainWindow>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/config_window_factory.h"
#include "superset/superset_form.h"
#include "gui/wait_cursor.h"
#include "switchbank/switch_bank_form.h"

class QAction;
class QCheckBox;
class QComboBox;
class QDialog;
class QLabel;
class QMenu;
class QPrinter;
class QToolButton;

namespace stylomat::gui {

class Config_Form_Window : public QMainWindow {
  Q_OBJECT

 public:
  Config_Form_Window(Session& session, Config_Window_Parts parts, QWidget* parent = nullptr);
  ~Config_Form_Window() override;

  Config_Window_Model& model() { return *parts_.model; }
  SuperSet_Form* SuperSets() { return parts_.superset; }
  Switch_Bank_Form* Switches() { return parts_.switches; }

  // The loading sequence: the window shows once the tablet's settings are
  // read (a start-up command that ends the program shows nothing).
  Config_Load_Result Load();

  // A menu entry by its control name, as a click on it.  False when the
  // entry is unknown, disabled or may not start now.
  bool Dispatch(const std::string& entry);
  void Render();

  // Prints an image of the window on the printer (no dialog).
  bool Print_Image(QPrinter& printer);
  // Called after each command of this window (the main window brings the
  // log window in line with the check mark).
  std::function<void()> After_Command;

  QAction* Action(const std::string& name) const;
  QComboBox* Combo(const std::string& name) const;
  QCheckBox* Check(const std::string& name) const;
  QToolButton* Switch_Button(Bank bank, int number) const;
  QLabel* Image_Label() const { return image_label_; }
  QDialog* Please_Wait() const { return please_wait_; }
  // The about box of the last CmdAbout / Show_About, while it is up.
  QDialog* About_Box() const;

 signals:
  // The window closed (by an entry or its close box); the model's closing
  // rules have not run yet.
  void Closed();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void Build_Menus();
  QWidget* Build_SuperSet_Panel(SuperSet_Form& form);
  QWidget* Build_Switch_Panel(Switch_Bank_Form& form);
  QWidget* Build_Please_Wait();
  void Render_Menus();
  void Render_SuperSet(SuperSet_Form& form);
  void Render_Switches(Switch_Bank_Form& form);
  void Render_Activity();
  void Schedule_Render();
  void Print_Form();
  void Show_About();

  Session& s_;
  Config_Window_Parts parts_;
  std::map<std::string, QAction*> actions_;
  std::map<std::string, QComboBox*> combos_;
  std::map<std::string, QCheckBox*> checks_;
  std::array<std::array<QToolButton*, 8>, 3> switch_buttons_{};
  QLabel* image_label_ = nullptr;
  QDialog* please_wait_ = nullptr;
  QLabel* wait_text_ = nullptr;
  QLabel* wait_progress_ = nullptr;
  class About_Config_Dialog* about_ = nullptr;
  bool render_pending_ = false;
  bool rendering_ = false;
  Wait_Cursor wait_cursor_;
  bool closed_ = false;
};

}  // namespace stylomat::gui
