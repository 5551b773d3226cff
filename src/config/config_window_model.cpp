#include "config/config_window_model.h"

#include "core/session.h"
#include "discovery/port_search.h"

namespace stylomat {

Config_Window_Model::Config_Window_Model(Session& s, Config_Window window, std::string caption,
                                         bool Tablet_Identity::*model_flag)
    : s_(s), window_(window), caption_(std::move(caption)), model_flag_(model_flag) {}

const Config_Menu_Entry* Config_Window_Model::Entry(const std::string& name) const {
  for (const Config_Menu& menu : menus_)
    for (const Config_Menu_Entry& e : menu.entries)
      if (e.name == name) return &e;
  return nullptr;
}

Config_Menu_Entry* Config_Window_Model::Find(const std::string& name) {
  return const_cast<Config_Menu_Entry*>(static_cast<const Config_Window_Model*>(this)->Entry(name));
}

std::string Config_Window_Model::About_Description() const {
  return "Setup Program for the " + s_.identity.Model_Name + " Digitizer.";
}

Command_Runner::Outcome Config_Window_Model::Run(const std::string& entry) {
  const Config_Menu_Entry* e = Entry(entry);
  if (e && (!e->enabled || !e->visible)) return Command_Runner::Outcome::Refused;
  return commands_.Run(entry);
}

bool Config_Window_Model::Debug_Window_Checked() const {
  const Config_Menu_Entry* e = Entry("Show_Debug_Window");
  return e && e->checked;
}

void Config_Window_Model::Toggle_Debug_Window() {
  Config_Menu_Entry* e = Find("Show_Debug_Window");
  if (!e) return;
  e->checked = !e->checked;
  // The log window follows the main window's entry, hidden or not.
  s_.main.Show_Debug_Window.checked = e->checked;
  s_.main.Touch();
  Changed();
}

void Config_Window_Model::Close_Window() {
  s_.Return_To_Main = true;
  Request_Close();
}

Config_Close_Result Config_Window_Model::On_Closed() {
  if (closed_) return s_.End_Requested ? Config_Close_Result::End_Program : Config_Close_Result::Back_To_Main;
  closed_ = true;
  if (model_flag_) s_.identity.*model_flag_ = false;
  if (!s_.Return_To_Main) {
    // An entry that ended the program has asked for the end already.
    if (!s_.End_Requested) s_.Request_End();
    return Config_Close_Result::End_Program;
  }
  s_.main.Show_Debug_Window.checked = Debug_Window_Checked();
  s_.Return_To_Main = false;
  s_.main.Visible = true;
  s_.main.Touch();
  // Back in the main window, the port is searched again as its icon does,
  // so the main window shows the tablet as it is now.
  Port_Icon_Command(s_, s_.Port_Number);
  return Config_Close_Result::Back_To_Main;
}

void Config_Window_Model::Set_Caption(std::string caption) {
  caption_ = std::move(caption);
  Changed();
}

Config_Menu& Config_Window_Model::Add_Menu(std::string name, std::string caption) {
  menus_.push_back(Config_Menu{std::move(name), std::move(caption), {}});
  return menus_.back();
}

Config_Menu_Entry& Config_Window_Model::Add_Entry(Config_Menu& menu, std::string name, std::string caption,
                                                  bool separator_before) {
  Config_Menu_Entry e;
  e.name = std::move(name);
  e.caption = std::move(caption);
  e.separator_before = separator_before;
  if (e.name == "Show_Debug_Window") e.checkable = true;
  menu.entries.push_back(std::move(e));
  return menu.entries.back();
}

void Config_Window_Model::Set_Entry_Enabled(const std::string& name, bool enabled) {
  Config_Menu_Entry* e = Find(name);
  if (!e || e->enabled == enabled) return;
  e->enabled = enabled;
  Changed();
}

void Config_Window_Model::Set_Entry_Caption(const std::string& name, const std::string& caption) {
  Config_Menu_Entry* e = Find(name);
  if (!e || e->caption == caption) return;
  e->caption = caption;
  Changed();
}

void Config_Window_Model::Register_Common_Commands() {
  commands_.Set("Close_Window", [this] { Close_Window(); });
  commands_.Set("Show_Debug_Window", [this] { Toggle_Debug_Window(); }, Command_Mode::Command,
                Mode_Set::Any_Mode());
}

void Config_Window_Model::Add_Operation(const std::string& name, Command_Runner::Action action) {
  commands_.Set(name, std::move(action), Command_Mode::Configuration);
}

void Config_Window_Model::Set_Hourglass(bool on) {
  if (activity_.Hourglass == on) return;
  activity_.Hourglass = on;
  Changed();
}

void Config_Window_Model::Show_Please_Wait(const std::string& text) {
  activity_.Please_Wait.Shown = true;
  activity_.Please_Wait.Wait_Text = text;
  activity_.Please_Wait.Wait_Progress.clear();
  Changed();
}

void Config_Window_Model::Set_Please_Wait_Progress(const std::string& progress) {
  if (activity_.Please_Wait.Wait_Progress == progress) return;
  activity_.Please_Wait.Wait_Progress = progress;
  Changed();
}

void Config_Window_Model::Close_Please_Wait() {
  if (!activity_.Please_Wait.Shown) return;
  activity_.Please_Wait.Shown = false;
  Changed();
}

void Config_Window_Model::Request_Close() {
  close_requested_ = true;
  Changed();
}

void Config_Window_Model::Begin_Loading() {
  s_.main.Visible = false;
  s_.main.Touch();
  if (Config_Menu_Entry* e = Find("Show_Debug_Window")) e->checked = s_.main.Show_Debug_Window.checked;
  Changed();
}

}  // namespace stylomat
