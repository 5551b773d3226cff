#include "app/port_setup.h"

#include <array>
#include <charconv>
#include <cstdlib>

#include "sim/profiles.h"

namespace stylomat {

namespace {

std::string Get_Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}

std::string Trim(std::string s) {
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  const auto last = s.find_last_not_of(" \t");
  return s.substr(first, last - first + 1);
}

std::vector<std::string> Split(const std::string& text, char sep) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t at = text.find(sep, start);
    const std::string part = Trim(text.substr(start, at == std::string::npos ? std::string::npos : at - start));
    if (!part.empty()) parts.push_back(part);
    if (at == std::string::npos) break;
    start = at + 1;
  }
  return parts;
}

// "3=/dev/ttyS1" -> {3, "/dev/ttyS1"}; com 0 on error.
std::pair<int, std::string> Parse_Assignment(const std::string& item) {
  const std::size_t eq = item.find('=');
  if (eq == std::string::npos) return {0, {}};
  std::string number = Trim(item.substr(0, eq));
  if (number.size() > 3 && (number.rfind("COM", 0) == 0 || number.rfind("com", 0) == 0)) number = number.substr(3);
  int com = 0;
  auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), com);
  if (ec != std::errc() || end != number.data() + number.size() || com < 1 || com > 8) return {0, {}};
  return {com, Trim(item.substr(eq + 1))};
}

// A COM number given twice in one variable is a slip, never "the last one
// wins": the error names both assignments.
bool Assign_Once(std::array<std::string, 9>& given, int com, const std::string& item, const char* variable,
                 std::string& error) {
  std::string& first = given[static_cast<std::size_t>(com)];
  if (!first.empty()) {
    error = std::string(variable) + ": COM" + std::to_string(com) + " is given twice (\"" + first + "\" and \"" +
            item + "\")";
    return false;
  }
  first = item;
  return true;
}

void Map_Real(Port_Directory& dir, int com, const std::string& device, const std::string& description) {
  dir.Set(com, Real_Port_Entry(device, description));
}

}  // namespace

Port_Entry Real_Port_Entry(const std::string& device, const std::string& description) {
  Port_Entry entry;
  entry.device = device;
  entry.description = description;
  entry.simulated = false;
  entry.backend = Make_Posix_Serial(device);
  return entry;
}

Port_Environment Port_Environment::From_Process() {
  Port_Environment env;
  env.ports = Get_Env("STYLOMAT_PORTS");
  env.simulate = Get_Env("STYLOMAT_SIMULATE");
  env.clock = Get_Env("STYLOMAT_CLOCK");
  return env;
}

std::string Simulated_Ports_Note(const std::vector<int>& coms) {
  if (coms.empty()) return {};
  std::string note = "Simulated tablets on ";
  for (std::size_t i = 0; i < coms.size(); ++i) {
    if (i) note += ", ";
    note += "COM" + std::to_string(coms[i]);
  }
  return note;
}

Port_Setup Make_Port_Setup(const Port_Environment& env) {
  Port_Setup setup;

  const std::string clock_choice = Trim(env.clock);
  if (clock_choice == "virtual") {
    setup.clock = std::make_unique<Virtual_Clock>();
  } else if (clock_choice.empty() || clock_choice == "steady" || clock_choice == "real") {
    setup.clock = std::make_unique<Steady_Clock>();
  } else {
    setup.error = "STYLOMAT_CLOCK must be \"virtual\" or \"steady\", not \"" + clock_choice + "\"";
    setup.clock = std::make_unique<Steady_Clock>();
    return setup;
  }

  // Real ports first; simulated tablets then take their COM numbers over.
  const std::string ports = Trim(env.ports);
  setup.listed = ports.empty();
  if (ports.empty()) {
    int com = 1;
    for (const Os_Serial_Port& p : env.list_ports ? env.list_ports() : std::vector<Os_Serial_Port>{}) {
      if (com > 8) break;
      Map_Real(setup.directory, com++, p.device, p.description);
    }
  } else if (ports != "none") {
    std::array<std::string, 9> given{};
    for (const std::string& item : Split(ports, ',')) {
      const auto [com, device] = Parse_Assignment(item);
      if (com == 0 || device.empty()) {
        setup.error = "STYLOMAT_PORTS: \"" + item +
                      "\" is not of the form N=/dev/device with N from 1 to 8 (or use STYLOMAT_PORTS=none)";
        return setup;
      }
      if (!Assign_Once(given, com, item, "STYLOMAT_PORTS", setup.error)) return setup;
      Map_Real(setup.directory, com, device, "");
    }
  }

  std::array<std::string, 9> simulated{};
  for (const std::string& item : Split(Trim(env.simulate), ',')) {
    const auto [com, name] = Parse_Assignment(item);
    if (com == 0 || name.empty()) {
      setup.error = "STYLOMAT_SIMULATE: \"" + item + "\" is not of the form N=profile with N from 1 to 8";
      return setup;
    }
    if (!Assign_Once(simulated, com, item, "STYLOMAT_SIMULATE", setup.error)) return setup;
    const Sim_Profile* profile = Find_Sim_Profile(name);
    if (!profile) {
      setup.error = "STYLOMAT_SIMULATE: unknown tablet profile \"" + name + "\". Known profiles: " + Sim_Profile_Names();
      return setup;
    }
    Port_Entry entry;
    entry.device = "simulated";
    entry.description = "simulated " + profile->name + " (" + profile->description + ")";
    entry.simulated = true;
    entry.backend = std::make_unique<Simulated_Port>(*setup.clock, profile->make(), profile->faults);
    setup.directory.Set(com, std::move(entry));
  }
  for (int com = 1; com <= 8; ++com) {
    const Port_Entry* e = setup.directory.Find(com);
    if (e && e->simulated) setup.simulated_coms.push_back(com);
  }

  if (setup.clock->Is_Virtual() && setup.directory.Any_Real()) {
    setup.error =
        "STYLOMAT_CLOCK=virtual works only with simulated tablets: real serial ports are mapped too. Set "
        "STYLOMAT_PORTS=none to use only the simulated ones.";
  }
  return setup;
}

}  // namespace stylomat
