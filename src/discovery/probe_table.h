#pragma once
// The probes the port search runs, one slot per command family.  A slot
// left empty is a family whose probe is not part of this build; the search
// passes it by.
#include "core/session.h"

namespace stylomat {

using Probe_Function = void (*)(Session&);

struct Probe_Table {
  Probe_Function PnP = nullptr;       // Plug-and-Play identification
  Probe_Function SuperSet = nullptr;  // SuperSet family
  Probe_Function KV = nullptr;        // KV family
  Probe_Function UIOF = nullptr;      // UIOF family
  Probe_Function Type5 = nullptr;     // Type-5 format table
};

// Every probe the program has.
const Probe_Table& Default_Probe_Table();

}  // namespace stylomat
