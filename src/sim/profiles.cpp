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
