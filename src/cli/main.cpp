// stylomat-cli: the program's functions without windows, for scripts, for
// a technician on a terminal, and for tests.
#include <iostream>
#include <string>
#include <vector>

#include "app/startup.h"
#include "cli/cli.h"
#include "sim/profiles.h"

namespace stylomat::cli {

int Cmd_Ports(Context&);
int Cmd_Sim_Profiles(Context&);
int Cmd_Identify(Context&);
int Cmd_Decode(Context&);
int Cmd_Search(Context&);
int Cmd_Restore_Factory(Context&);
int Cmd_Superset(Context&);
int Cmd_Switches(Context&);
int Cmd_Image(Context&);
int Cmd_Korv(Context&);
int Cmd_Settings(Context&);
int Cmd_Grid_Test(Context&);
int Cmd_Driver(Context&);
int Cmd_Sim_Serve(Context&);

namespace {

// The command table: one line per command.
const Command Commands[] = {
    {"ports", Cmd_Ports, "ports                      list COM1..COM8 with device, description, availability and why not", "command-line"},
    {"sim-profiles", Cmd_Sim_Profiles, "sim-profiles               list the simulated tablets for STYLOMAT_SIMULATE", ""},
    {"sim-serve", Cmd_Sim_Serve, "sim-serve PROFILE          serve a simulated tablet on a pseudo-terminal (prints its path) until interrupted", ""},
    {"identify", Cmd_Identify, "identify --product TEXT [--firmware TEXT --type5]  model, configuration window and variant flag of an identification", "product firmware type5"},
    {"decode", Cmd_Decode, "decode --format superset|kv|uiof|pnp|type5 [--cursor-text TEXT] [FILE]  decode a captured report stream", "format cursor-text"},
    {"search", Cmd_Search, "search --port N | --all [--parallel]  search one port or all ports (--parallel: all at once) for a tablet (exit 0 found, 1 nothing, 2 port error)", "port all parallel command-line"},
    {"restore-factory", Cmd_Restore_Factory, "restore-factory --port N   search the port, then restore the tablet's factory settings", "port command-line"},
    {"superset", Cmd_Superset, "superset decode B0,B1,B2,B3 [--window KORV_form|Mirolex2|Dovrane3]  boxes of a SuperSet record; superset tables [--out DIR]", "window out"},
    {"switches", Cmd_Switches, "switches decode R1,...,R7 [--family Pv5|VSIII] | switches factory --family Pv5|VSIII  banks, settings and image of a switch-bank tablet", "family"},
    {"image", Cmd_Image, "image encode B0,B1,B2,B3 | image decode I1,...,I7 [--window Mirolex2|Dovrane3]  Mirolex/Dovrane settings image and its SuperSet record", "window"},
    {"settings", Cmd_Settings, "settings STEP [then STEP]... --port N  show, set, save-user, restore-factory: the configuration window of the tablet found, without a window", "port superset switches temporary power-up command-line"},
    {"korv", Cmd_Korv, "korv STEP [then STEP]... --port N  read, write, select, save-power-up, restore-defaults SuperSets of a KORV tablet (korv help)", "port range command-line"},
    {"grid-test", Cmd_Grid_Test, "grid-test --port N --seconds S [--units counts|in|mm] [--save FILE.bmp]  the grid and button test for S seconds (exit 0 no grid error, 1 grid errors or nothing found, 2 port error)", "port seconds units save command-line"},
    {"driver", Cmd_Driver, "driver info | driver monitor [--seconds S]  the tablet driver: what it reports of itself, the tablet and its cursors; its packets live", "seconds"},
};

// Whether some command (or every command) takes the option.
bool Known_Option(const std::string& name) {
  if (Listed(Common_Options, name)) return true;
  for (const Command& c : Commands)
    if (Listed(c.options, name)) return true;
  return false;
}

int Usage_Slip(const std::string& message) {
  std::cerr << "stylomat-cli: " << Shown(message) << "\n";
  return Exit_Error;
}

void Print_Help(std::ostream& out) {
  out << "Usage: stylomat-cli [options] COMMAND [arguments]\n\nCommands:\n";
  for (const Command& c : Commands) out << "  " << c.synopsis << "\n";
  out << "\nOptions for every command:\n"
         "  --debug          log every command and reply (Debug_Mode)\n"
         "  --oem            OEM mode\n"
         "  --log FILE       write the traffic log at exit (lines end in CR)\n"
         "  --trace FILE     write the wire trace: <seconds> COM<n> <EVENT> [args]\n"
         "  --answer yes|no  answer every question Yes/OK or No/Cancel\n"
         "  --help, --version\n"
         "\nEnvironment:\n"
         "  STYLOMAT_PORTS=none | 1=/dev/ttyUSB0,3=/dev/ttyS1   which device is COM1..COM8\n"
         "  STYLOMAT_SIMULATE=1=wake,3=dovrane4                 simulated tablets on COM numbers\n"
         "  STYLOMAT_CLOCK=virtual                              waits take no time (simulated tablets only)\n"
         "  STYLOMAT_INPUT_RECORDING=pen_tablet.evemu[,...]     recorded tablets as the tablet driver's devices\n"
         "\nExit status: 0 success, 1 nothing found or answered, 2 port or usage error.\n";
}

}  // namespace

int Cmd_Sim_Profiles(Context& ctx) {
  for (const Sim_Profile& p : Sim_Profiles())
    ctx.out() << p.name << "  [" << p.family << "]  " << p.description << "\n";
  return Exit_Ok;
}

int Main(int argc, char** argv) {
  Options options;
  std::string command;
  std::vector<std::string> args(argv + 1, argv + argc);
  // Every slip is a usage error before anything is sent: an option no
  // command knows, an option given twice, an option the command does not
  // take, a log that could not be written at the end.
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.size() > 2 && a.rfind("--", 0) == 0) {
      std::string name = a.substr(2);
      std::string value;
      bool has_value = false;
      if (const auto eq = name.find('='); eq != std::string::npos) {
        value = name.substr(eq + 1);
        name = name.substr(0, eq);
        has_value = true;
      }
      if (!Known_Option(name)) return Usage_Slip("unknown option --" + name + " (see --help)");
      if (options.flags.count(name) != 0 || options.values.count(name) != 0) {
        return Usage_Slip("--" + name + " is given twice");
      }
      if (Is_Flag_Option(name)) {
        if (has_value) return Usage_Slip("--" + name + " takes no value");
        options.flags[name] = true;
        continue;
      }
      if (!has_value) {
        if (i + 1 >= args.size()) return Usage_Slip("--" + name + " needs a value");
        value = args[++i];
      }
      options.values[name] = value;
      continue;
    }
    if (command.empty()) {
      command = a;
    } else {
      options.positional.push_back(a);
    }
  }
  options.debug = options.Flag("debug");
  options.oem = options.Flag("oem");
  if (auto v = options.Value("log")) options.log_file = *v;
  if (auto v = options.Value("trace")) options.trace_file = *v;
  if (auto v = options.Value("answer")) {
    if (*v == "yes" || *v == "y") {
      options.answer = true;
    } else if (*v == "no" || *v == "n") {
      options.answer = false;
    } else {
      return Usage_Slip("--answer must be yes or no");
    }
  }
  if (options.Flag("version")) {
    std::cout << Program_Caption() << "\n";
    return Exit_Ok;
  }
  if (options.Flag("help") || command.empty()) {
    Print_Help(std::cout);
    return command.empty() && !options.Flag("help") ? Exit_Error : Exit_Ok;
  }
  for (const Command& c : Commands) {
    if (command != c.name) continue;
    std::vector<std::string> given;
    for (const auto& [name, flag] : options.flags) given.push_back(name);
    for (const auto& [name, value] : options.values) given.push_back(name);
    for (const std::string& name : given) {
      if (!Listed(Common_Options, name) && !Listed(c.options, name)) {
        return Usage_Slip(command + " does not take --" + name + " (see --help)");
      }
    }
    if (!options.log_file.empty()) {
      std::string why;
      if (!Log_File_Writable(options.log_file, why)) {
        return Usage_Slip("cannot write the traffic log to \"" + options.log_file + "\": " + why);
      }
    }
    Context ctx(options, std::cout, std::cerr);
    int status = Exit_Error;
    try {
      status = c.run(ctx);
    } catch (const std::exception& e) {
      std::cerr << "stylomat-cli: " << Shown(e.what()) << "\n";
      status = Exit_Error;
    }
    if (!ctx.Finish() && status == Exit_Ok) status = Exit_Error;
    return status;
  }
  return Usage_Slip("unknown command \"" + command + "\" (see --help)");
}

}  // namespace stylomat::cli

int main(int argc, char** argv) { return stylomat::cli::Main(argc, argv); }
