#include "app/config_window_factory.h"

#include "superset/korv_form_model.h"
#include "superset/native_window_model.h"
#include "switchbank/switch_window_model.h"

namespace stylomat {

Config_Window_Parts Make_Config_Window(Session& s, Config_Window window, const std::string& caption) {
  Config_Window_Parts parts;
  switch (window) {
    case Config_Window::KORV_form: {
      auto model = std::make_unique<KORV_Form_Model>(s, caption);
      parts.superset = &model->Form();
      parts.model = std::move(model);
      break;
    }
    case Config_Window::Pv5:
    case Config_Window::VSIII: {
      auto model = std::make_unique<Switch_Window_Model>(s, window, caption);
      parts.switches = &model->Form();
      parts.model = std::move(model);
      break;
    }
    case Config_Window::Mirolex2:
    case Config_Window::Dovrane3: {
      auto model = std::make_unique<Native_Window_Model>(s, window, caption);
      parts.superset = &model->Form();
      parts.model = std::move(model);
      break;
    }
  }
  return parts;
}

}  // namespace stylomat
