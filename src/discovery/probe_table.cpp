#include "discovery/probe_table.h"

#include "discovery/probe_kv.h"
#include "discovery/probe_pnp.h"
#include "discovery/probe_superset.h"
#include "discovery/probe_type5.h"
#include "discovery/probe_uiof.h"

namespace stylomat {

const Probe_Table& Default_Probe_Table() {
  static const Probe_Table table = [] {
    Probe_Table t;
    t.PnP = Probe_PnP;
    t.SuperSet = Probe_SuperSet;
    t.KV = Probe_KV;
    t.UIOF = Probe_UIOF;
    t.Type5 = Probe_Type5;
    return t;
  }();
  return table;
}

}  // namespace stylomat
