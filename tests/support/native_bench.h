#pragma once
// A Mirolex or Dovrane tablet on COM2, found by its port icon and sent to
// its configuration window as Advanced Configuration does (the routing's
// window and caption are kept), for the settings protocol and window tests.
#include <string>
#include <vector>

#include "discovery/port_search.h"
#include "serial/serial_link.h"
#include "sim/superset_tablet.h"
#include "support/sim_fixture.h"

namespace stylomat::test {

inline std::string Hex(const std::string& bytes) { return Wire_Trace::Hex_Bytes(bytes); }
inline std::string Esc_Hex(const std::string& letters) { return Hex(Esc_Command(letters)); }
// A traffic-log line with its CR.
inline std::string Line(const std::string& text) { return text + "\r"; }

struct Native_Bench {
  explicit Native_Bench(const std::string& profile, const std::string& command_line = "") {
    Session& s = b.session;
    s.App_Dir = std::string(STYLOMAT_SOURCE_DIR) + "/data";
    s.Command_Line = command_line;
    port = &b.Attach_Profile(2, profile);
    tablet = dynamic_cast<SuperSet_Tablet*>(&port->Device());
    b.front_end.open = [this](Config_Window w, const std::string& c) {
      window = w;
      caption = c;
      return true;
    };
    b.front_end.end = [this] { ++end_calls; };
    Port_Icon_Command(s, 2);
    Open_Configuration(s);
    Mark();
  }
  // What follows is what a test looks at.
  void Mark() {
    b.trace.clear();
    log_start = b.session.log.Size();
  }
  std::vector<std::string> Writes() const {
    std::vector<std::string> out;
    for (const std::string& e : b.Trace_Of("TX")) out.push_back(e.substr(3));
    return out;
  }
  std::vector<double> Write_Times() const {
    std::vector<double> out;
    for (const std::string& line : b.trace)
      if (line.find(" TX ") != std::string::npos) out.push_back(std::stod(line));
    return out;
  }
  std::string Log() const { return b.session.log.Text().substr(log_start); }
  // The simulated tablet catches up with the line (it runs on host actions).
  void Settle() {
    b.clock.Advance(0.2);
    (void)b.session.port.InBufferCount();
  }

  Sim_Bench b;
  Simulated_Port* port = nullptr;
  SuperSet_Tablet* tablet = nullptr;
  Config_Window window = Config_Window::KORV_form;
  std::string caption;
  int end_calls = 0;
  std::size_t log_start = 0;
};

}  // namespace stylomat::test
