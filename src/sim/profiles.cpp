#include "sim/profiles.h"

#include "sim/kv_tablet.h"
#include "sim/pnp_tablet.h"
#include "sim/superset_tablet.h"
#include "sim/type5_tablet.h"
#include "sim/uiof_tablet.h"

namespace stylomat {

namespace {

std::vector<Sim_Profile> Build_Profiles() {
  std::vector<Sim_Profile> all;
  all.push_back({"empty", "none", "the port opens, nothing answers", [] { return std::make_unique<Silent_Device>(); },
                 {}});
  Sim_Faults busy;
  busy.busy = true;
  all.push_back({"busy", "none", "the port is held by another application and cannot be opened",
                 [] { return std::make_unique<Silent_Device>(); }, busy});
  // One line per command family.
  Add_SuperSet_Profiles(all);
  Add_KV_Profiles(all);
  Add_UIOF_Profiles(all);
  Add_PnP_Profiles(all);
  Add_Type5_Profiles(all);
  // Anything on the line may answer with terminal escape sequences: this
  // tablet's identification and firmware would retitle, clear and colour
  // a terminal that printed them raw.
  SuperSet_Tablet_Profile hostile;
  hostile.identification = "\x1b]0;pwned\x07\x1b[2J\x1b[31mZ-9000\x1b[0m";
  hostile.firmware = "V1\x1b[5m.0\x9b";
  hostile.settings_image = "43,49,46,61,06,10,80\r\n";
  all.push_back({"hostile", "SuperSet",
                 "SuperSet-family tablet whose identification and firmware carry terminal escape sequences",
                 [hostile] { return std::make_unique<SuperSet_Tablet>(hostile); }, {}});
  return all;
}

}  // namespace

const std::vector<Sim_Profile>& Sim_Profiles() {
  static const std::vector<Sim_Profile> profiles = Build_Profiles();
  return profiles;
}

const Sim_Profile* Find_Sim_Profile(std::string_view name) {
  for (const Sim_Profile& p : Sim_Profiles())
    if (p.name == name) return &p;
  return nullptr;
}

std::string Sim_Profile_Names() {
  std::string names;
  for (const Sim_Profile& p : Sim_Profiles()) {
    if (!names.empty()) names += ", ";
    names += p.name;
  }
  return names;
}

}  // namespace stylomat
