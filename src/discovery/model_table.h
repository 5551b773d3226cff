#pragma once
// The identification table: turns what a tablet says about itself into a
// model name, and the model name into the configuration window that serves
// it.
#include <optional>
#include <string>
#include <string_view>

#include "core/config_windows.h"
#include "core/session.h"

namespace stylomat {

// The model name for an identification reply.  Every row of the table is
// tested and the last matching row wins; a reply that matches no row is its
// own name.  The firmware rows (Type-5 tablets) are only tested when
// type5_format is set.  Pure: no session, no side effects.
std::string Model_Name_For(std::string_view product_reply, std::string_view firmware_reply, bool type5_format);

// Names the tablet from Product_Reply (and Firmware_Reply on a Type-5
// tablet): writes Model_Name, then replaces Product_Reply by Model_Name.
void Match_Model(Session& s);

// One row of the routing table: the window of a model family and the
// variant flag that tells the window which member it talks to (nullptr when
// the row has none).
struct Config_Route {
  Config_Window window = Config_Window::KORV_form;
  bool Tablet_Identity::*variant_flag = nullptr;
  const char* variant_name = nullptr;  // "Mirolex_III_Flag", ...; nullptr when none
};

// The routing row for a model name, compared exactly; nullptr when no
// configuration window serves that model.
const Config_Route* Find_Config_Route(std::string_view model_name);

// The configuration window for a model name; nothing when none.
std::optional<Config_Window> Config_Window_For(std::string_view model_name);

// The caption of a configuration window opened for a model.
std::string Config_Caption(std::string_view model_name);

// True when a configuration window serves Model_Name.  Sets the row's
// variant flag (only ever to True).  With open, asks the front end to show
// the window with its caption; a front end without configuration windows
// gets a log line instead.
bool Route_Config(Session& s, bool open);

}  // namespace stylomat
