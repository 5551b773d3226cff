#pragma once
// Named simulated tablets ("profiles") for tests, the CLI and the GUI's
// demonstration mode.  Each command family contributes its profiles from
// its own file.
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sim/sim_device.h"

namespace stylomat {

struct Sim_Profile {
  std::string name;         // "dovrane4"
  std::string family;       // "SuperSet", "KV", ...
  std::string description;  // one line for listings
  std::function<std::unique_ptr<Sim_Device>()> make;
  Sim_Faults faults;
  // A whole tablet that streams reports for the grid test; it gets the
  // stream's fault variants (its device is a Streaming_Tablet).
  bool streams = false;
};

const std::vector<Sim_Profile>& Sim_Profiles();
const Sim_Profile* Find_Sim_Profile(std::string_view name);
// "a, b, c": for error messages.
std::string Sim_Profile_Names();

// A device that never answers anything.
class Silent_Device final : public Sim_Device {
 public:
  Silent_Device() : Sim_Device(Framing{}) {}
};

}  // namespace stylomat
