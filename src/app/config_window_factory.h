#pragma once
// Makes the model of a configuration window, as the routing names it, with
// the form a view renders: the SuperSet form of KORV_form, Mirolex2 and
// Dovrane3, the switch banks of Pv5 and VSIII.  The Qt windows and the
// command line both open windows through here.
#include <memory>
#include <string>

#include "config/config_window_model.h"

namespace stylomat {

class SuperSet_Form;
class Switch_Bank_Form;

struct Config_Window_Parts {
  std::unique_ptr<Config_Window_Model> model;
  SuperSet_Form* superset = nullptr;    // the SuperSet windows' form
  Switch_Bank_Form* switches = nullptr;  // the switch-bank windows' form
};

// caption: the routing's (empty: the window's own).
Config_Window_Parts Make_Config_Window(Session& s, Config_Window window, const std::string& caption);

}  // namespace stylomat
