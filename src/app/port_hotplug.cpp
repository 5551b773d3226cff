#include "app/port_hotplug.h"

#include <sys/stat.h>

#include <algorithm>

#include "app/port_setup.h"
#include "app/startup.h"
#include "discovery/port_search.h"
#include "discovery/reset_tablet.h"
#include "serial/serial_link.h"

namespace stylomat {

namespace {

bool Device_Exists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

bool Listed(const std::vector<Os_Serial_Port>& listed, const std::string& device) {
  return std::any_of(listed.begin(), listed.end(), [&](const Os_Serial_Port& p) { return p.device == device; });
}

bool Mapped(const Session& s, const std::string& device) {
  for (int com = Port_Directory::First_Com; com <= Port_Directory::Last_Com; ++com) {
    const Port_Entry* e = s.ports.Find(com);
    if (e && !e->simulated && e->device == device) return true;
  }
  return false;
}

// The device behind the port in use went away: the port is closed, the
// tablet found there is forgotten, and the message says why.
void Lose_Port_In_Use(Session& s, int com, const std::string& device) {
  Close_Port(s);
  Reset_Main_State(s);  // the port is closed: nothing is sent
  const std::string reason = Unplugged_Text(com, device);
  Log_Line(s, "Com " + std::to_string(com) + ", " + reason);
  s.main.ErrorMsg.text = Port_Error_Text(reason);
  s.main.ErrorMsg.visible = true;
  s.main.Touch();
}

void Forget_Port(Session& s, int com) {
  const std::size_t n = static_cast<std::size_t>(com);
  s.ports.Clear(com);
  s.Com_Available[n] = false;
  s.Com_Present[n] = false;
  s.Com_Reason[n].clear();
}

}  // namespace

std::string Unplugged_Text(int com, const std::string& device) {
  return "the adapter of COM" + std::to_string(com) + " (" + device + ") was unplugged";
}

bool Follow_Port_Devices(Session& s, const Port_Follow& follow) {
  bool changed = false;
  // The port in use first: its device may be the one that went.
  if (s.port.PortOpen()) {
    const int com = s.port.CommPort();
    const Port_Entry* e = s.ports.Find(com);
    if (e && !e->simulated && !Device_Exists(e->device)) {
      Lose_Port_In_Use(s, com, e->device);
      changed = true;
    }
  }
  if (follow.listed) {
    const std::vector<Os_Serial_Port> listed = follow.list_ports ? follow.list_ports() : std::vector<Os_Serial_Port>{};
    for (int com = Port_Directory::First_Com; com <= Port_Directory::Last_Com; ++com) {
      const Port_Entry* e = s.ports.Find(com);
      if (!e || e->simulated || Listed(listed, e->device)) continue;
      if (s.port.PortOpen() && s.port.CommPort() == com) Lose_Port_In_Use(s, com, e->device);
      Log_Line(s, "Com " + std::to_string(com) + ", " + e->device + " is gone");
      Forget_Port(s, com);
      changed = true;
    }
    for (const Os_Serial_Port& p : listed) {
      if (Mapped(s, p.device)) continue;
      int free_com = 0;
      for (int com = Port_Directory::First_Com; com <= Port_Directory::Last_Com && free_com == 0; ++com) {
        if (!s.ports.Find(com)) free_com = com;
      }
      if (free_com == 0) break;  // COM1..COM8 are all taken
      s.ports.Set(free_com, Real_Port_Entry(p.device, p.description));
      changed = true;
    }
  }
  // Every real port not in use, as the scan would find it now.
  for (int com = Port_Directory::First_Com; com <= Port_Directory::Last_Com; ++com) {
    const Port_Entry* e = s.ports.Find(com);
    if (!e || e->simulated || (s.port.PortOpen() && s.port.CommPort() == com)) continue;
    changed |= Check_Port(s, com);
  }
  Describe_Port_Icons(s);
  s.Facts_Changed();
  s.Refresh_Log_View();
  return changed;
}

}  // namespace stylomat
