// The command table of stylomat-cli, each command's help, and the program
// itself: the options read, the command found, its options checked, run.
#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "app/startup.h"
#include "cli/cli.h"

namespace stylomat::cli {

int Cmd_Ports(Context&);
int Cmd_Sim_Profiles(Context&);
int Cmd_Sim_Serve(Context&);
int Cmd_Identify(Context&);
int Cmd_Decode(Context&);
int Cmd_Search(Context&);
int Cmd_Restore_Factory(Context&);
int Cmd_Superset_Decode(Context&);
int Cmd_Superset_Tables(Context&);
int Cmd_Switches_Decode(Context&);
int Cmd_Switches_Factory(Context&);
int Cmd_Image_Encode(Context&);
int Cmd_Image_Decode(Context&);
int Cmd_Settings(Context&);
int Cmd_Korv(Context&);
int Cmd_Grid_Test(Context&);
int Cmd_Driver_Info(Context&);
int Cmd_Driver_Monitor(Context&);

namespace {

// The options of the commands that run the program's session on the ports.
#define SESSION_OPTIONS "debug log trace json"

// Argument texts several commands share.
constexpr const char* Record_Grammar =
    "  RECORD   a SuperSet record: the four bytes B0,B1,B2,B3, each one or two\n"
    "           hexadecimal digits (either case), joined by commas; all four are\n"
    "           needed: 32,40,51,07 or 3a,c0,71,7\n";
constexpr const char* Image_Grammar =
    "  IMAGE    a settings image, in either form:\n"
    "           - the reply as the tablet sends it: 20 characters, such as\n"
    "             40,77,89,61,00,08,00 (a CR LF after them is dropped), read as the\n"
    "             configuration windows read it: field n is characters 3n+1 and\n"
    "             3n+2, and a field that is not two hexadecimal digits reads 0;\n"
    "           - one to seven fields of one or two hexadecimal digits joined by\n"
    "             commas (CE,1F,4D or ce,1f,4d,61,0,c,23); the fields not given\n"
    "             read 0, as for a short reply\n";
constexpr const char* Standard_Input =
    "  -        instead of the inputs: read them from standard input, one a line\n"
    "           (LF or CR LF; empty lines are passed over), all in this one run\n";
constexpr const char* Batch_Exit =
    "0 every input gave its result; 2 a usage error, or an input that is not\n"
    "what the command reads (said on standard error with its line number; the\n"
    "other inputs still give their results)";
constexpr const char* Search_Exit =
    "0 a tablet was found; 1 no tablet answered (or a question was answered No);\n"
    "2 a port error or a usage error";

// The descriptions of the options several commands share, by name.
struct Shared_Option {
  const char* name;
  const char* line;
};
constexpr Shared_Option Shared_Options[] = {
    {"port", "  --port N             the serial port: 1 to 8 (or COM1 to COM8)\n"},
    {"command-line", "  --command-line TEXT  the main window's command line (/D, /OEM, /SS07, ...)\n"},
    {"oem", "  --oem                OEM mode: the windows' OEM entries and captions\n"},
    {"debug", "  --debug              Debug_Mode: every command and reply in the traffic log\n"},
    {"log", "  --log FILE           write the traffic log at the end (lines end in CR)\n"},
    {"trace", "  --trace FILE         write the wire trace: <seconds> COM<n> <EVENT> [args]\n"},
    {"answer",
     "  --answer yes|no      answer every question Yes/OK or No/Cancel (without it:\n"
     "                       asked on the terminal, or No/Cancel when there is none)\n"},
    {"json", "  --json               the results as JSON, one object a line (see OUTPUT in the man page)\n"},
};

const std::vector<Command> Table = {
    {"ports", Cmd_Ports, "command-line " SESSION_OPTIONS, "ports [options]",
     "COM1..COM8: the device behind each, whether it can be used, and why not", "", "",
     "stylomat-cli ports --json", "0 the ports were listed; 2 the environment's port set-up is wrong"},
    {"sim-profiles", Cmd_Sim_Profiles, "json", "sim-profiles [--json]",
     "the simulated tablets STYLOMAT_SIMULATE and sim-serve know", "", "", "stylomat-cli sim-profiles",
     "0 always"},
    {"sim-serve", Cmd_Sim_Serve, "json", "sim-serve [--json] PROFILE",
     "serve a simulated tablet on a pseudo-terminal until interrupted (its path comes first)",
     "  PROFILE  a name sim-profiles lists: dovrane4, kv, quorral3, ...\n", "",
     "stylomat-cli sim-serve dovrane4",
     "0 served until interrupted (Ctrl-C); 2 an unknown profile or no pseudo-terminal"},
    {"identify", Cmd_Identify, "type5 firmware json", "identify [options] PRODUCT...|-",
     "the model, configuration window and variant flag an identification answer leads to",
     std::string("  PRODUCT  the tablet's identification answer as it came: any text (quote it;\n"
                 "           after -- also one that starts with -)\n") +
         Standard_Input,
     "  --type5              the answers are a Type-5 tablet's version answer\n"
     "  --firmware TEXT      with --type5: the firmware answer beside every PRODUCT\n",
     "stylomat-cli identify \"Mensaro Pallivant VII\"",
     "0 every answer was identified (one no window serves too: Config_Window none);\n2 a usage error"},
    {"decode", Cmd_Decode, "format cursor-text json", "decode --format superset|kv|uiof|pnp|type5 [options] [FILE]",
     "decode a captured report stream: one row a report",
     "  FILE     the captured bytes (standard input without it)\n",
     "  --format F           the report family of the stream (needed)\n"
     "  --cursor-text TEXT   the cursor box's text while decoding (\" 16 Button Puck\")\n",
     "stylomat-cli decode --format kv capture.bin",
     "0 the stream was read, and held reports or nothing at all; 1 it held bytes\n"
     "but not one report; 2 it could not be read, or a usage error"},
    {"search", Cmd_Search, "port all parallel command-line answer " SESSION_OPTIONS,
     "search --port N | --all [--parallel] [options]",
     "search one port (as its icon does) or all ports for a tablet; what the main window shows", "",
     "  --all                COM1..COM8, stopping at the first tablet\n"
     "  --parallel           with --all: every port at the same time; the result and log are\n"
     "                       those of the one-by-one search, then \"Also probed in parallel: ...\"\n"
     "                       (it sends probe bytes to ports after the tablet's, so it is never\n"
     "                       the default)\n",
     "stylomat-cli search --port 3", Search_Exit},
    {"restore-factory", Cmd_Restore_Factory, "port command-line answer " SESSION_OPTIONS,
     "restore-factory --port N [options]", "search the port, then restore the tablet's factory settings", "", "",
     "stylomat-cli restore-factory --port 3", Search_Exit},
    {"superset decode", Cmd_Superset_Decode, "window oem debug json",
     "superset decode --window KORV_form|Mirolex2|Dovrane3 [options] RECORD...|-",
     "a SuperSet record as the window shows it in a user row (90), and what it writes back",
     std::string(Record_Grammar) + Standard_Input,
     "  --window W           the configuration window: KORV_form, Mirolex2 or Dovrane3\n"
     "                       (needed: the windows read the bits differently)\n"
     "  --debug              the traffic log the window writes, as the result's Log\n",
     "stylomat-cli superset decode 32,40,51,07 --window KORV_form", Batch_Exit},
    {"superset tables", Cmd_Superset_Tables, "window out json", "superset tables [--window W] [--out DIR] [--json]",
     "the factory table files, made from the SuperSet list texts", "",
     "  --window W           KORV_form, Mirolex2 or Dovrane3: that window's file only\n"
     "                       (needed without --out: the file's text is printed as it is)\n"
     "  --out DIR            write the files into DIR (every window's without --window)\n",
     "stylomat-cli superset tables --out /tmp", "0 written or printed; 2 a file not written, or a usage error"},
    {"switches decode", Cmd_Switches_Decode, "window debug json", "switches decode --window Pv5|VSIII [options] IMAGE...|-",
     "a switch-bank tablet's settings image as the window shows it: banks, settings, image back",
     std::string(Image_Grammar) + Standard_Input,
     "  --window W           the window: Pv5 or VSIII (needed: the families differ)\n"
     "  --debug              the traffic log the window writes, as the result's Log\n",
     "stylomat-cli switches decode CE,1F,4D,61,00,0C,23 --window Pv5", Batch_Exit},
    {"switches factory", Cmd_Switches_Factory, "window json", "switches factory --window Pv5|VSIII [--json]",
     "the factory banks, settings and image of a switch-bank window", "",
     "  --window W           the window: Pv5 or VSIII (needed)\n", "stylomat-cli switches factory --window VSIII",
     "0 printed; 2 a usage error"},
    {"image encode", Cmd_Image_Encode, "json", "image encode [--json] RECORD...|-",
     "the settings image a SuperSet record goes to a Mirolex or Dovrane tablet as",
     std::string(Record_Grammar) + Standard_Input, "", "stylomat-cli image encode 32,40,51,07", Batch_Exit},
    {"image decode", Cmd_Image_Decode, "window oem debug json", "image decode --window Mirolex2|Dovrane3 [options] IMAGE...|-",
     "a Mirolex or Dovrane settings image as the window shows the tablet's active settings (row 100)",
     std::string(Image_Grammar) + Standard_Input,
     "  --window W           the window: Mirolex2 or Dovrane3 (needed: their boxes differ)\n"
     "  --debug              the traffic log the window writes, as the result's Log\n",
     "stylomat-cli image decode 40,77,89,61,00,08,00 --window Mirolex2", Batch_Exit},
    {"settings", Cmd_Settings,
     "port superset switches temporary power-up command-line oem answer " SESSION_OPTIONS,
     "settings STEP [then STEP]... --port N [options]",
     "what the configuration window of the tablet found does, without the window",
     "  STEP     one of:\n"
     "    show                 the boxes as the window shows them (read again after a save)\n"
     "    set BOX=VALUE...     change boxes by control name or label (CmbBaud=19200,\n"
     "                         \"Baud Rate=19200\", ChkCR=on), a list box by its item text,\n"
     "                         then save as the window's menu does\n"
     "    save-user            write the user SuperSets (SuperSet windows)\n"
     "    restore-factory      the window's \"Restore Factory Settings\"\n",
     "  --superset NN        select the SuperSet list entry NN before the boxes change\n"
     "  --switches PATTERN   set: the 21 switches A1..A8, B1..B8, C1..C5 as 0 and 1\n"
     "  --power-up           set saves the power-up settings (the default)\n"
     "  --temporary          set saves temporary settings (not KORV_form)\n",
     "stylomat-cli settings set \"Baud Rate=19200\" then show --port 1 --answer yes",
     "0 every step done; 1 no tablet answered, or no window serves it;\n"
     "2 a value the box does not offer, a port error or a usage error"},
    {"korv", Cmd_Korv, "port range command-line oem answer " SESSION_OPTIONS, "korv STEP [then STEP]... --port N [options]",
     "the SuperSets of a KORV tablet (KORV_form window), step by step on one tablet",
     "  STEP     one of:\n"
     "    read [LOW-HIGH]      read SuperSets HIGH down to LOW (default --range, else 0-99)\n"
     "    write NN RECORD      write RECORD (B0,B1,B2,B3 in hexadecimal) into SuperSet NN\n"
     "                         and read it back; NN is 00 or a user SuperSet 90-99\n"
     "                         (90-98 on the Quorral III)\n"
     "    select NN            SuperSet NN (00-99) is the one the tablet starts with\n"
     "    save-power-up [NN]   read SuperSet NN (default 00), then \"Save Power-Up Settings\":\n"
     "                         it goes into the last user SuperSet; the program ends\n"
     "    restore-defaults     \"Restore Factory Settings\" (two questions)\n"
     "    load                 (first step only) the window's loading: the start-up\n"
     "                         command of --command-line (/SS, /SW), then the read of 0-99\n"
     "           A SuperSet number has one or two decimal digits; a simulated tablet lives\n"
     "           for one run, so chain the steps to see a write\n",
     "  --range LOW-HIGH     the SuperSets a read without its own range reads\n",
     "stylomat-cli korv write 95 32,40,51,07 then read 95-95 --port 1 --answer yes",
     "0 every step done; 1 the tablet did not answer or a question was answered No;\n"
     "2 a usage error, no KORV tablet on the port, or the end chosen after a port error"},
    {"grid-test", Cmd_Grid_Test, "port seconds units save command-line answer " SESSION_OPTIONS,
     "grid-test --port N --seconds S [options]", "the grid and button test for S seconds of the session clock", "",
     "  --seconds S          how long the test runs: above 0, at most 86400 (needed)\n"
     "  --units U            counts (default), in or mm: the unit of the last position\n"
     "  --save FILE.bmp      save the drawing as a 24-bit bitmap\n",
     "stylomat-cli grid-test --port 3 --seconds 60 --save grid.bmp",
     "0 no grid error; 1 grid errors, no tablet or no report; 2 a port error, a lost\n"
     "tablet or a usage error"},
    {"driver info", Cmd_Driver_Info, SESSION_OPTIONS, "driver info [options]",
     "what the tablet driver reports of itself, its tablet and its cursors", "", "", "stylomat-cli driver info",
     "0 the driver has a tablet; 1 no driver or no tablet; 2 a usage error"},
    {"driver monitor", Cmd_Driver_Monitor, "seconds " SESSION_OPTIONS, "driver monitor [--seconds S] [options]",
     "the tablet driver's packets live, one row each, until S seconds are up or Ctrl-C", "",
     "  --seconds S          stop after S seconds (above 0, at most 86400)\n",
     "stylomat-cli driver monitor --seconds 5",
     "0 monitored; 1 no driver or no tablet; 2 a usage error"},
};

#undef SESSION_OPTIONS

// Whether some command takes the option (--help and --version go with all).
bool Known_Option(const std::string& name) {
  if (name == "help" || name == "version") return true;
  for (const Command& c : Table)
    if (Listed(c.options, name)) return true;
  return false;
}

// The command a name and its first word make: "ports", "superset decode".
const Command* Find(const std::string& name, const std::vector<std::string>& words) {
  if (!words.empty()) {
    const std::string with_sub = name + " " + words.front();
    for (const Command& c : Table)
      if (with_sub == c.name) return &c;
  }
  for (const Command& c : Table)
    if (name == c.name) return &c;
  return nullptr;
}

// The commands of a group ("superset": decode, tables); empty for a name
// no command starts with.
std::vector<const Command*> Group(const std::string& name) {
  std::vector<const Command*> group;
  for (const Command& c : Table) {
    const std::string n = c.name;
    if (n == name || n.rfind(name + " ", 0) == 0) group.push_back(&c);
  }
  return group;
}

bool Has_Sub(const Command& c) { return std::string(c.name).find(' ') != std::string::npos; }

void Print_Help(std::ostream& out) {
  out << "Usage: stylomat-cli [options] COMMAND [arguments]\n"
         "       stylomat-cli COMMAND --help, stylomat-cli help COMMAND: a command's arguments and options\n"
         "\nCommands:\n";
  for (const Command& c : Table) {
    const std::string name = c.name;
    const std::string summary = c.summary;
    out << "  " << name << std::string(name.size() < 18 ? 18 - name.size() : 1, ' ') << summary << "\n";
  }
  out << "\nOptions (each command takes those its help lists):\n";
  for (const Shared_Option& o : Shared_Options) out << o.line;
  out << "  --help, --version\n"
         "\nEnvironment:\n"
         "  STYLOMAT_PORTS=none | 1=/dev/ttyUSB0,3=/dev/ttyS1   which device is COM1..COM8\n"
         "  STYLOMAT_SIMULATE=1=wake,3=dovrane4                 simulated tablets on COM numbers\n"
         "  STYLOMAT_CLOCK=virtual                              waits take no time (simulated tablets only)\n"
         "  STYLOMAT_INPUT_RECORDING=pen_tablet.evemu[,...]     recorded tablets as the tablet driver's devices\n"
         "\nOutput: results on standard output as \"Key: value\" lines, a blank line between two\n"
         "results, or with --json one JSON object a line; messages on standard error.\n"
         "\nExit status: 0 success, 1 nothing found or answered, 2 port or usage error.\n";
}

void Print_Command_Help(std::ostream& out, const Command& c) {
  std::string sentence = c.summary;
  if (!sentence.empty() && sentence[0] >= 'a' && sentence[0] <= 'z') sentence[0] = static_cast<char>(sentence[0] - 32);
  out << "Usage: stylomat-cli " << c.usage << "\n\n" << sentence << ".\n\nArguments:\n";
  out << (c.arguments.empty() ? std::string("  none\n") : c.arguments);
  out << "\nOptions:\n" << c.option_help;
  for (const Shared_Option& o : Shared_Options) {
    if (!Listed(c.options, o.name)) continue;
    if (c.option_help.find("  --" + std::string(o.name) + " ") != std::string::npos) continue;
    out << o.line;
  }
  out << "  --help               this help\n\nExample:\n  " << c.example << "\n\nExit status: "
      << (c.exit_status.empty() ? Batch_Exit : c.exit_status) << ".\n";
}

// The help of a command, or of every command of a group, one after the other.
bool Print_Help_Of(std::ostream& out, const std::string& name, const std::vector<std::string>& words) {
  const Command* c = Find(name, words);
  if (c && (!Has_Sub(*c) || (!words.empty() && name + " " + words.front() == c->name))) {
    Print_Command_Help(out, *c);
    return true;
  }
  const std::vector<const Command*> group = Group(name);
  for (std::size_t i = 0; i < group.size(); ++i) {
    if (i > 0) out << "\n";
    Print_Command_Help(out, *group[i]);
  }
  return !group.empty();
}

}  // namespace

const std::vector<Command>& Commands() { return Table; }

int Run(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err) {
  const auto slip = [&err](const std::string& message) {
    err << "stylomat-cli: " << Shown(message) << "\n";
    return Exit_Error;
  };
  Options options;
  std::string command;
  // Every slip is a usage error before anything is sent: an option no
  // command knows, an option given twice, an option the command does not
  // take, a log that could not be written at the end.  After "--" every
  // word is an argument, also one that starts with "-".
  bool options_end = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (!options_end && a == "--") {
      options_end = true;
      continue;
    }
    if (!options_end && a.size() > 2 && a.rfind("--", 0) == 0) {
      std::string name = a.substr(2);
      std::string value;
      bool has_value = false;
      if (const auto eq = name.find('='); eq != std::string::npos) {
        value = name.substr(eq + 1);
        name = name.substr(0, eq);
        has_value = true;
      }
      if (!Known_Option(name)) return slip("unknown option --" + name + " (see --help)");
      if (options.flags.count(name) != 0 || options.values.count(name) != 0) {
        return slip("--" + name + " is given twice");
      }
      if (Is_Flag_Option(name)) {
        if (has_value) return slip("--" + name + " takes no value");
        options.flags[name] = true;
        continue;
      }
      if (!has_value) {
        if (i + 1 >= args.size()) return slip("--" + name + " needs a value");
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
  options.json = options.Flag("json");
  if (auto v = options.Value("log")) options.log_file = *v;
  if (auto v = options.Value("trace")) options.trace_file = *v;
  if (auto v = options.Value("answer")) {
    if (*v == "yes" || *v == "y") {
      options.answer = true;
    } else if (*v == "no" || *v == "n") {
      options.answer = false;
    } else {
      return slip("--answer must be yes or no");
    }
  }
  if (options.Flag("version")) {
    out << Program_Caption() << "\n";
    return Exit_Ok;
  }
  const bool help_word = command == "help";
  if (options.Flag("help") || help_word) {
    std::vector<std::string> words = options.positional;
    std::string name = command;
    if (help_word) {
      name = words.empty() ? std::string() : words.front();
      if (!words.empty()) words.erase(words.begin());
    }
    if (name.empty()) {
      Print_Help(out);
      return Exit_Ok;
    }
    if (!Print_Help_Of(out, name, words)) return slip("unknown command \"" + name + "\" (see --help)");
    return Exit_Ok;
  }
  if (command.empty()) {
    Print_Help(err);
    return Exit_Error;
  }
  const Command* c = Find(command, options.positional);
  if (!c || (Has_Sub(*c) && (options.positional.empty() || command + " " + options.positional.front() != c->name))) {
    const std::vector<const Command*> group = Group(command);
    if (group.empty()) return slip("unknown command \"" + command + "\" (see --help)");
    std::string subs;
    for (const Command* g : group) {
      const std::string n = g->name;
      subs += (subs.empty() ? "" : " or ") + n.substr(n.find(' ') + 1);
    }
    return slip(command + " needs " + subs + " (see stylomat-cli " + command + " --help)");
  }
  if (Has_Sub(*c)) options.positional.erase(options.positional.begin());
  std::vector<std::string> given;
  for (const auto& [name, flag] : options.flags) given.push_back(name);
  for (const auto& [name, value] : options.values) given.push_back(name);
  for (const std::string& name : given) {
    if (name != "version" && !Listed(c->options, name)) {
      return slip(std::string(c->name) + " does not take --" + name + " (see stylomat-cli " + c->name + " --help)");
    }
  }
  if (!options.log_file.empty()) {
    std::string why;
    if (!Log_File_Writable(options.log_file, why)) {
      return slip("cannot write the traffic log to \"" + options.log_file + "\": " + why);
    }
  }
  Context ctx(options, in, out, err);
  int status = Exit_Error;
  try {
    status = c->run(ctx);
  } catch (const std::exception& e) {
    err << "stylomat-cli: " << Shown(e.what()) << "\n";
    status = Exit_Error;
  }
  if (!ctx.Finish() && status == Exit_Ok) status = Exit_Error;
  out.flush();
  return status;
}

}  // namespace stylomat::cli
