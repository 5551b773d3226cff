#pragma once
// Which tablet driver the program talks to.
//
//   STYLOMAT_INPUT_RECORDING  "FILE[,FILE...]": recorded input devices in
//                             the evemu text format, played back on the
//                             session clock, stand in for this machine's
//                             tablets.  A name that is not a file is looked
//                             for in the data directory's recordings/.
//   otherwise                 the tablets of this machine (udev's tablets,
//                             read through libevdev), unless the clock is
//                             virtual: live devices need real time, so
//                             there is then no driver at all.
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/clock.h"
#include "platform/wintab_api.h"

namespace stylomat {

struct Driver_Environment {
  std::string recording;  // STYLOMAT_INPUT_RECORDING
  std::string data_dir;   // where recordings/ is looked for
  // The screen the driver's system context covers; none without a display.
  std::function<std::pair<int, int>()> screen;

  static Driver_Environment From_Process(const std::string& data_dir);
};

struct Driver_Setup {
  std::unique_ptr<Wintab_Api> driver;  // null: no driver at all
  std::string description;             // "recorded: pen_tablet.evemu", "this machine's tablets", "none"
  std::string error;                   // non-empty: the environment is unusable
};

Driver_Setup Make_Driver_Setup(const Driver_Environment& env, Clock& clock);

// The recordings named by STYLOMAT_INPUT_RECORDING, as paths.
std::vector<std::string> Recording_Paths(const std::string& value, const std::string& data_dir);

}  // namespace stylomat
