#include "sim/profiles.h"

#include "sim/kv_tablet.h"
#include "sim/pnp_tablet.h"
#include "sim/report_script.h"
#include "sim/superset_tablet.h"
#include "sim/type5_tablet.h"
#include "sim/uiof_tablet.h"

namespace stylomat {

namespace {

// Faults of the report stream; every streaming tablet has a variant of
// each, named by the suffix.
struct Stream_Variant {
  const char* suffix;
  const char* what;
  Stream_Faults faults;
};

std::vector<Stream_Variant> Stream_Variants() {
  Stream_Faults broken_x, broken_y, noise, stops, vanish;
  broken_x.broken_x = true;
  broken_y.broken_y = true;
  noise.noise = true;
  stops.stop_after = 150;
  vanish.vanish_after = 2.0;
  return {
      {"-brokenx", "a broken grid wire: the stroke's X skips 450 counts 2/5 of the way across", broken_x},
      {"-brokeny", "a broken grid wire: the stroke's Y skips 450 counts 2/5 of the way up", broken_y},
      {"-noise", "noise bytes below the sync floor between its reports", noise},
      {"-stops", "falls silent after 150 reports until it is reset", stops},
      {"-vanish", "its port vanishes 2 s after it starts streaming", vanish},
  };
}

void Add_Stream_Fault_Variants(std::vector<Sim_Profile>& all) {
  const std::size_t tablets = all.size();
  for (std::size_t i = 0; i < tablets; ++i) {
    if (!all[i].streams) continue;
    for (const Stream_Variant& v : Stream_Variants()) {
      Sim_Profile p = all[i];
      p.name += v.suffix;
      p.description += std::string("; ") + v.what;
      p.streams = false;
      p.make = [make = all[i].make, faults = v.faults] {
        std::unique_ptr<Sim_Device> device = make();
        dynamic_cast<Streaming_Tablet&>(*device).Set_Stream_Faults(faults);
        return device;
      };
      all.push_back(std::move(p));
    }
  }
}

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
                 [hostile] { return std::make_unique<SuperSet_Tablet>(hostile); }, {}, true});
  Add_Stream_Fault_Variants(all);
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
