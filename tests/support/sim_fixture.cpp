#include "support/sim_fixture.h"

#include <cmath>
#include <cstdio>

#include "sim/profiles.h"

namespace stylomat::test {

Recording_Device::Recording_Device(const std::string& framing) : Sim_Device(*Parse_Framing(framing)) {}

void Recording_Device::On_Byte(Sim_Link&, unsigned char byte) { heard += static_cast<char>(byte); }

void Recording_Device::On_Lines(Sim_Link&, bool dtr, bool rts) {
  line_changes.push_back(std::string("DTR") + (dtr ? "1" : "0") + " RTS" + (rts ? "1" : "0"));
}

void Recording_Device::On_Break(Sim_Link&, bool on) {
  if (on) ++breaks;
}

Sim_Bench::Sim_Bench()
    : session(clock, ports, prompter), wire_trace(clock, [this](std::string_view line) { trace.emplace_back(line); }) {
  session.port.Set_Trace(&wire_trace);
  session.Set_Front_End(&front_end);
  session.Read_System_Values = [] {
    System_Values v;
    v.Platform = 3;
    v.Version = 6.1;
    v.Version_Text = "6.1";
    v.Build_Text = "6.1.0-test";
    v.Name = "Test Linux";
    return v;
  };
}

Simulated_Port& Sim_Bench::Attach(int com, std::unique_ptr<Sim_Device> device, Sim_Faults faults) {
  auto backend = std::make_unique<Simulated_Port>(clock, std::move(device), std::move(faults));
  Simulated_Port& ref = *backend;
  Port_Entry entry;
  entry.device = "simulated";
  entry.simulated = true;
  entry.backend = std::move(backend);
  ports.Set(com, std::move(entry));
  return ref;
}

void Sim_Bench::Attach_Missing(int com) {
  Sim_Faults f;
  f.missing = true;
  Attach(com, std::make_unique<Silent_Device>(), f);
}

Simulated_Port& Sim_Bench::Attach_Profile(int com, const std::string& name) {
  const Sim_Profile* p = Find_Sim_Profile(name);
  if (!p) throw std::runtime_error("unknown profile " + name);
  return Attach(com, p->make(), p->faults);
}

std::vector<std::string> Sim_Bench::Trace_Events() const {
  std::vector<std::string> out;
  for (const std::string& line : trace) {
    const auto space = line.find(' ');
    out.push_back(space == std::string::npos ? line : line.substr(space + 1));
  }
  return out;
}

std::vector<std::string> Sim_Bench::Trace_Of(const std::string& event) const {
  std::vector<std::string> out;
  for (const std::string& e : Trace_Events()) {
    const auto first = e.find(' ');
    if (first == std::string::npos) continue;
    const std::string rest = e.substr(first + 1);
    if (rest == event || rest.rfind(event + " ", 0) == 0) out.push_back(rest);
  }
  return out;
}

std::vector<std::string> Sim_Bench::Timed_Events(double since, const std::string& event) const {
  std::vector<std::string> out;
  for (const std::string& line : trace) {
    const long ms = std::lround((std::stod(line) - since) * 1000);
    const auto port_end = line.find(' ', line.find(' ') + 1);
    if (ms < 0 || (!event.empty() && line.compare(port_end + 1, event.size() + 1, event + " ") != 0)) continue;
    char time[32];
    std::snprintf(time, sizeof time, "%ld.%03ld", ms / 1000, ms % 1000);
    out.push_back(time + line.substr(port_end));
  }
  return out;
}

std::vector<std::string> Log_Lines(const std::string& log) {
  std::vector<std::string> lines;
  std::string current;
  for (char c : log) {
    if (c == '\r') {
      lines.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) lines.push_back(current);
  return lines;
}

}  // namespace stylomat::test
