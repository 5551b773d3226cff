// Every command of stylomat-cli against the promises of its output shape:
// its own help, usage errors for options it does not take, and --json
// carrying exactly the values of the "Key: value" form.  Then the batch
// commands: one run over many inputs gives what one run per input gives.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/cli.h"
#include "support/cli_runner.h"

namespace {

using nlohmann::ordered_json;
using stylomat::test::Cli_Result;
using stylomat::test::Run_Cli;
using stylomat::test::Run_In_Process;

const std::string Virtual = "STYLOMAT_PORTS=none STYLOMAT_CLOCK=virtual ";

struct Command_Case {
  std::string name;   // as the command table names it
  std::string usage;  // the first line of its help
  std::string env;    // for its sample run
  std::string args;   // the sample run's arguments after the name
  std::string input;  // the sample run's standard input
  int status;         // the sample's exit status
  bool table;         // results are rows under a header
  bool sample = true;  // false: no sample run (it runs until interrupted)
};

const std::string Kv_Reports("\x01\x02\x83\x68\x07\x50\x0f\xc3\x01\x00\x02\x00\x80\x05", 14);

const std::vector<Command_Case>& Cases() {
  static const std::vector<Command_Case> cases = {
      {"ports", "ports [options]", Virtual + "STYLOMAT_SIMULATE=2=wake", "", "", 0, false},
      {"sim-profiles", "sim-profiles [--json]", "", "", "", 0, false},
      {"sim-serve", "sim-serve [--json] PROFILE", "", "", "", 0, false, false},
      {"identify", "identify [options] PRODUCT...|-", "", "--type5 --firmware 'v1 j5' KT 'ACME \"9000\" '", "", 0,
       false},
      {"decode", "decode --format superset|kv|uiof|pnp|type5 [options] [FILE]", "", "--format kv", Kv_Reports, 0,
       true},
      // The hostile tablet's escape sequences and byte above 127 in both forms.
      {"search", "search --port N | --all [--parallel] [options]", Virtual + "STYLOMAT_SIMULATE=1=hostile", "--port 1", "", 0,
       false},
      {"restore-factory", "restore-factory --port N [options]", Virtual + "STYLOMAT_SIMULATE=4=belmora", "--port 4",
       "", 0, false},
      {"superset decode", "superset decode --window KORV_form|Mirolex2|Dovrane3 [options] RECORD...|-", "",
       "--window Mirolex2 --debug -", "32,40,51,07\n3a,c0,71,7\n", 0, false},
      {"superset tables", "superset tables [--window W] [--out DIR] [--json]", "",
       "--out " + ::testing::TempDir(), "", 0, false},
      {"switches decode", "switches decode --window Pv5|VSIII [options] IMAGE...|-", "",
       "CE,1F,4D,61,00,0C,23 ce,1f --window Pv5 --debug", "", 0, false},
      {"switches factory", "switches factory --window Pv5|VSIII [--json]", "", "--window VSIII", "", 0, false},
      {"image encode", "image encode [--json] RECORD...|-", "", "32,40,51,07 c1,38,80,1", "", 0, false},
      {"image decode", "image decode --window Mirolex2|Dovrane3 [options] IMAGE...|-", "",
       "43,49,46,61,06,10,80 --window Dovrane3", "", 0, false},
      {"settings", "settings STEP [then STEP]... --port N [options]", Virtual + "STYLOMAT_SIMULATE=1=velliscope3",
       "show then set CmbParity=odd then show --port 1 --answer yes", "", 0, false},
      {"korv", "korv STEP [then STEP]... --port N [options]", Virtual + "STYLOMAT_SIMULATE=1=quorral3",
       "write 95 32,40,51,07 then read 94-95 --port 1 --answer yes", "", 0, false},
      {"grid-test", "grid-test --port N --seconds S [options]", Virtual + "STYLOMAT_SIMULATE=2=kv-brokenx",
       "--port 2 --seconds 3", "", 1, false},
      {"driver info", "driver info [options]", Virtual + "STYLOMAT_INPUT_RECORDING=pen_tablet.evemu", "", "", 0,
       false},
      {"driver monitor", "driver monitor [--seconds S] [options]",
       Virtual + "STYLOMAT_INPUT_RECORDING=puck16.evemu", "--seconds 2", "", 0, true},
  };
  return cases;
}

// ---- reading the "Key: value" form back ------------------------------------

// A quoted text's bytes: the escapes of Quoted_Text undone.
std::string Unquoted(const std::string& shown) {
  std::string text;
  EXPECT_GE(shown.size(), 2u);
  EXPECT_EQ(shown.front(), '"');
  EXPECT_EQ(shown.back(), '"');
  for (std::size_t i = 1; i + 1 < shown.size(); ++i) {
    if (shown[i] != '\\') {
      text += shown[i];
      continue;
    }
    const char e = shown[++i];
    if (e == 'r') text += '\r';
    if (e == 'n') text += '\n';
    if (e == 't') text += '\t';
    if (e == '\\' || e == '"') text += e;
    if (e == 'x') {
      text += static_cast<char>(std::stoi(shown.substr(i + 1, 2), nullptr, 16));
      i += 2;
    }
  }
  return text;
}

// A JSON string's characters as bytes: each is U+0000 to U+00FF.
std::string Json_Bytes(const std::string& utf8) {
  std::string bytes;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x80) {
      bytes += static_cast<char>(c);
      continue;
    }
    EXPECT_TRUE(c == 0xC2 || c == 0xC3) << "a character beyond U+00FF";
    bytes += static_cast<char>(((c & 0x03) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3F));
  }
  return bytes;
}

// The items of a shown list or row: quoted texts kept whole.
std::vector<std::string> Items(const std::string& shown, const std::string& separator) {
  std::vector<std::string> items(1);
  bool quoted = false;
  for (std::size_t i = 0; i < shown.size(); ++i) {
    if (!quoted && shown.compare(i, separator.size(), separator) == 0) {
      items.emplace_back();
      i += separator.size() - 1;
      continue;
    }
    items.back() += shown[i];
    if (quoted && shown[i] == '\\' && i + 1 < shown.size()) {
      items.back() += shown[++i];
    } else if (shown[i] == '"') {
      quoted = !quoted;
    }
  }
  return items;
}

bool Is_Box(const ordered_json& v) {
  return v.is_object() && v.size() == 2 && v.contains("Visible") && (v.contains("Text") || v.contains("Checked"));
}

// Whether a value as shown for a reader is the JSON value.
void Expect_Same(const std::string& key, const std::string& shown, const ordered_json& v) {
  SCOPED_TRACE(key + ": " + shown + " ~ " + v.dump());
  if (Is_Box(v)) {
    const std::string hidden = " (hidden)";
    const bool visible = shown.size() < hidden.size() || shown.substr(shown.size() - hidden.size()) != hidden;
    EXPECT_EQ(v["Visible"].get<bool>(), visible);
    const std::string state = visible ? shown : shown.substr(0, shown.size() - hidden.size());
    if (v.contains("Checked")) {
      EXPECT_EQ(state, v["Checked"].get<bool>() ? "checked" : "unchecked");
    } else {
      Expect_Same(key, state, v["Text"]);
    }
    return;
  }
  if (v.is_array()) {
    if (v.empty()) {
      EXPECT_EQ(shown, "none");
      return;
    }
    const std::vector<std::string> items = Items(shown, ", ");
    ASSERT_EQ(items.size(), v.size());
    for (std::size_t i = 0; i < items.size(); ++i) Expect_Same(key, items[i], v[i]);
    return;
  }
  if (v.is_null()) {
    EXPECT_EQ(shown, "none");
  } else if (v.is_boolean()) {
    EXPECT_EQ(shown, v.get<bool>() ? "true" : "false");
  } else if (v.is_number_float()) {
    EXPECT_NEAR(std::stod(shown), v.get<double>(), 0.0005);
  } else if (v.is_number()) {
    EXPECT_EQ(shown, v.dump());
  } else if (!shown.empty() && shown.front() == '"') {
    EXPECT_EQ(Unquoted(shown), Json_Bytes(v.get<std::string>()));
  } else {
    EXPECT_EQ(shown, v.get<std::string>());
  }
}

// An object's fields in order as "Key: value" lines would name them.
void Flatten(const ordered_json& object, const std::string& prefix,
             std::vector<std::pair<std::string, const ordered_json*>>& fields) {
  for (auto it = object.begin(); it != object.end(); ++it) {
    if (it.value().is_object() && !Is_Box(it.value())) {
      Flatten(it.value(), prefix + it.key() + ".", fields);
    } else {
      fields.emplace_back(prefix + it.key(), &it.value());
    }
  }
}

std::vector<ordered_json> Json_Lines(const std::string& out) {
  std::vector<ordered_json> docs;
  std::istringstream lines(out);
  for (std::string line; std::getline(lines, line);) {
    docs.push_back(ordered_json::parse(line));  // throws, failing the test, on anything but JSON
    EXPECT_TRUE(docs.back().is_object()) << line;
  }
  return docs;
}

// The reader's form against the JSON form of the same run.
void Expect_Same_Docs(const std::string& human, const std::string& json) {
  const std::vector<ordered_json> docs = Json_Lines(json);
  std::vector<std::string> blocks;
  std::size_t at = 0;
  while (at < human.size()) {
    const std::size_t end = human.find("\n\n", at);
    blocks.push_back(human.substr(at, end == std::string::npos ? std::string::npos : end + 1 - at));
    at = end == std::string::npos ? human.size() : end + 2;
  }
  ASSERT_EQ(blocks.size(), docs.size()) << human << "\n" << json;
  for (std::size_t d = 0; d < docs.size(); ++d) {
    std::vector<std::pair<std::string, const ordered_json*>> fields;
    Flatten(docs[d], "", fields);
    std::istringstream lines(blocks[d]);
    std::size_t f = 0;
    for (std::string line; std::getline(lines, line); ++f) {
      ASSERT_LT(f, fields.size()) << line;
      const std::size_t colon = line.find(": ");
      ASSERT_NE(colon, std::string::npos) << line;
      EXPECT_EQ(line.substr(0, colon), fields[f].first);
      Expect_Same(fields[f].first, line.substr(colon + 2), *fields[f].second);
    }
    EXPECT_EQ(f, fields.size()) << blocks[d];
  }
}

// A table (header, rows) against its JSON Lines; a last {"Summary": ...}
// object stands for what the reader's form says on standard error.
void Expect_Same_Rows(const std::string& human, const std::string& json) {
  std::vector<ordered_json> rows = Json_Lines(json);
  if (!rows.empty() && rows.back().contains("Summary")) rows.pop_back();
  std::istringstream lines(human);
  std::string header;
  ASSERT_TRUE(std::getline(lines, header));
  const std::vector<std::string> keys = Items(header, " ");
  std::size_t r = 0;
  for (std::string line; std::getline(lines, line); ++r) {
    ASSERT_LT(r, rows.size());
    const std::vector<std::string> values = Items(line, " ");
    ASSERT_EQ(values.size(), keys.size()) << line;
    ASSERT_EQ(rows[r].size(), keys.size());
    std::size_t k = 0;
    for (auto it = rows[r].begin(); it != rows[r].end(); ++it, ++k) {
      EXPECT_EQ(it.key(), keys[k]);
      Expect_Same(keys[k], values[k], it.value());
    }
  }
  EXPECT_EQ(r, rows.size());
  EXPECT_GT(r, 0u) << "a sample with rows";
}

// ---- the command table ------------------------------------------------------

TEST(Cli_Commands, EveryCommandOfTheTableIsCoveredHere) {
  std::set<std::string> table, here;
  for (const stylomat::cli::Command& c : stylomat::cli::Commands()) table.insert(c.name);
  for (const Command_Case& c : Cases()) here.insert(c.name);
  EXPECT_EQ(table, here);
}

TEST(Cli_Commands, EachCommandsHelpHasItsUsageArgumentsOptionsExampleAndExitStatus) {
  for (const stylomat::cli::Command& command : stylomat::cli::Commands()) {
    const auto c = std::find_if(Cases().begin(), Cases().end(), [&](const Command_Case& k) { return k.name == command.name; });
    ASSERT_NE(c, Cases().end());
    SCOPED_TRACE(c->name);
    const Cli_Result help = Run_Cli("", c->name + " --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.err, "");
    EXPECT_EQ(help.out.substr(0, help.out.find('\n')), "Usage: stylomat-cli " + c->usage);
    EXPECT_EQ(Run_Cli("", "help " + c->name).out, help.out);
    const std::size_t arguments = help.out.find("\n\nArguments:\n"), options = help.out.find("\n\nOptions:\n"),
                      example = help.out.find("\n\nExample:\n  stylomat-cli " + c->name.substr(0, c->name.find(' '))),
                      exit = help.out.find("\n\nExit status: ");
    EXPECT_TRUE(arguments < options && options < example && example < exit && exit != std::string::npos)
        << help.out;
    // Every option the command takes is described, and no other.
    const std::string described = help.out.substr(options, example - options);
    std::set<std::string> taken = {"help"}, shown;
    std::istringstream words(command.options);
    for (std::string w; words >> w;) taken.insert(w);
    std::istringstream lines(described);
    for (std::string line; std::getline(lines, line);) {
      if (line.rfind("  --", 0) == 0) shown.insert(line.substr(4, line.find_first_of(" ,", 4) - 4));
    }
    EXPECT_EQ(shown, taken);
  }
  // A command with subcommands shows them all.
  const Cli_Result group = Run_Cli("", "help superset");
  EXPECT_EQ(group.out, Run_Cli("", "superset decode --help").out + "\n" + Run_Cli("", "superset tables --help").out);
  EXPECT_EQ(Run_Cli("", "help frobnicate").err, "stylomat-cli: unknown command \"frobnicate\" (see --help)\n");
}

TEST(Cli_Commands, AnOptionACommandDoesNotTakeIsAUsageError) {
  for (const stylomat::cli::Command& command : stylomat::cli::Commands()) {
    const std::string name = command.name;
    SCOPED_TRACE(name);
    const Cli_Result unknown = Run_Cli("", name + " --bogus");
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.out, "");
    EXPECT_EQ(unknown.err, "stylomat-cli: unknown option --bogus (see --help)\n");
    // An option of another command.
    for (const char* other : {"window", "port", "seconds", "format"}) {
      std::istringstream words(command.options);
      bool takes = false;
      for (std::string w; words >> w;) takes = takes || w == other;
      if (takes) continue;
      const Cli_Result r = Run_Cli("", name + " --" + other + " 1");
      EXPECT_EQ(r.status, 2) << other;
      EXPECT_EQ(r.out, "") << other;
      EXPECT_EQ(r.err, "stylomat-cli: " + name + " does not take --" + other + " (see stylomat-cli " + name +
                           " --help)\n");
      break;
    }
  }
}

TEST(Cli_Commands, JsonCarriesTheValuesOfTheKeyValueForm) {
  for (const Command_Case& c : Cases()) {
    if (!c.sample) continue;
    SCOPED_TRACE(c.name + " " + c.args);
    const Cli_Result human = Run_Cli(c.env, c.name + " " + c.args, c.input);
    const Cli_Result json = Run_Cli(c.env, c.name + " " + c.args + " --json", c.input);
    EXPECT_EQ(human.status, c.status) << human.err;
    EXPECT_EQ(json.status, c.status) << json.err;
    ASSERT_FALSE(human.out.empty());
    if (c.table) {
      Expect_Same_Rows(human.out, json.out);
    } else {
      Expect_Same_Docs(human.out, json.out);
    }
  }
}

// ---- batch input ------------------------------------------------------------

std::string Hex_Field(std::mt19937& random, int value) {
  char text[4];
  const bool one_digit = value < 16 && random() % 2 == 0;
  std::snprintf(text, sizeof text, random() % 2 ? (one_digit ? "%x" : "%02x") : (one_digit ? "%X" : "%02X"), value);
  return text;
}

// A record, mostly well formed: four fields of one or two digits in
// either case; now and then a slip.
std::string Random_Record(std::mt19937& random) {
  std::string text;
  for (int i = 0; i < 4; ++i) text += (i ? "," : "") + Hex_Field(random, static_cast<int>(random() % 256));
  switch (random() % 12) {
    case 0: return text + ",00";
    case 1: return text.substr(0, text.rfind(','));
    case 2: return "g" + text;
    default: return text;
  }
}

// An image: the tablet's 20-character reply (now and then with a byte
// that is no hexadecimal digit), one to seven fields, or a slip.
std::string Random_Image(std::mt19937& random) {
  if (random() % 3 == 0) {
    std::string reply;
    for (int i = 0; i < 7; ++i) {
      char field[4];
      std::snprintf(field, sizeof field, "%02X", static_cast<unsigned>(random() % 256));
      reply += (i ? "," : "") + std::string(field);
    }
    if (random() % 4 == 0) reply[random() % reply.size()] = static_cast<char>(' ' + random() % 95);
    return reply;
  }
  std::string text;
  const int fields = 1 + static_cast<int>(random() % 7);
  for (int i = 0; i < fields; ++i) text += (i ? "," : "") + Hex_Field(random, static_cast<int>(random() % 256));
  switch (random() % 15) {
    case 0: return text + ",";
    case 1: return text + "123";
    default: return text;
  }
}

// An identification answer: any bytes but LF, and no CR at its end.
std::string Random_Answer(std::mt19937& random) {
  static const char* const known[] = {"Mensaro Pallivant VII", "KT", "KORV/Mensaro Dovrane IV 1218"};
  if (random() % 3 == 0) return known[random() % 3];
  std::string text(1 + random() % 30, ' ');
  for (char& c : text) {
    do c = static_cast<char>(1 + random() % 255);
    while (c == '\n' || c == '\r');
  }
  return text;
}

// Runs the inputs one run each and all in one run from standard input
// (with CR LF line ends and empty lines here and there), in both forms.
void Expect_Batch_As_Single_Runs(const std::vector<std::string>& command, const std::vector<std::string>& inputs,
                                 std::mt19937& random) {
  for (const bool json : {false, true}) {
    std::vector<std::string> args = command;
    if (json) args.push_back("--json");
    std::string text, out, err;
    int status = 0;
    long line = 0;
    bool first = true;
    for (const std::string& input : inputs) {
      while (random() % 10 == 0) {
        text += "\n";
        ++line;
      }
      text += input + (random() % 4 == 0 ? "\r\n" : "\n");
      ++line;
      std::vector<std::string> one = args;
      one.push_back("--");
      one.push_back(input);
      const Cli_Result single = Run_In_Process(one);
      if (single.status != 0) {
        ASSERT_EQ(single.err.rfind("stylomat-cli: ", 0), 0u) << single.err;
        err += "stylomat-cli: line " + std::to_string(line) + ": " + single.err.substr(14);
        status = 2;
        continue;
      }
      out += (json || first ? "" : "\n") + single.out;
      first = false;
    }
    args.push_back("-");
    const Cli_Result batch = Run_In_Process(args, text);
    EXPECT_EQ(batch.status, status);
    EXPECT_EQ(batch.out, out);
    EXPECT_EQ(batch.err, err);
  }
}

TEST(Cli_Batch, ManyInputsInOneRunGiveWhatOneRunEachGives) {
  std::mt19937 random(20240611);
  const struct {
    std::vector<std::string> command;
    std::string (*input)(std::mt19937&);
  } commands[] = {
      {{"superset", "decode", "--window", "KORV_form"}, Random_Record},
      {{"superset", "decode", "--window", "Dovrane3", "--oem", "--debug"}, Random_Record},
      {{"image", "encode"}, Random_Record},
      {{"image", "decode", "--window", "Mirolex2"}, Random_Image},
      {{"switches", "decode", "--window", "VSIII"}, Random_Image},
      {{"switches", "decode", "--window", "Pv5", "--debug"}, Random_Image},
      {{"identify"}, Random_Answer},
  };
  for (const auto& c : commands) {
    SCOPED_TRACE(c.command[0] + " " + (c.command.size() > 1 ? c.command[1] : ""));
    std::vector<std::string> inputs;
    for (int i = 0; i < 300; ++i) inputs.push_back(c.input(random));
    Expect_Batch_As_Single_Runs(c.command, inputs, random);
  }
}

TEST(Cli_Batch, OverlongLinesAreRefusedAndTheRunGoesOn) {
  const std::string text = "32,40,51,07\n" + std::string(5000, '3') + "\n01,02,03,04\n";
  const Cli_Result r = Run_In_Process({"image", "encode", "-"}, text);
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "stylomat-cli: line 2: longer than 4096 characters\n");
  EXPECT_EQ(r.out, Run_In_Process({"image", "encode", "32,40,51,07"}).out + "\n" +
                       Run_In_Process({"image", "encode", "01,02,03,04"}).out);
}

}  // namespace
