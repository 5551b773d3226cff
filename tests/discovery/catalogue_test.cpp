// Every simulated tablet, searched through its port icon: found by the
// probe of its family, named as the identification table names it, and
// routed to the configuration window of its family (or to none).
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "discovery/model_table.h"
#include "discovery/port_search.h"
#include "sim/profiles.h"
#include "support/sim_fixture.h"

namespace stylomat {
namespace {

using test::Sim_Bench;
using enum Config_Window;
using Lines = std::vector<std::string>;

struct Entry {
  const char* profile;
  const char* found_as;  // format flags set, then Probe_Cursor/Type5_Cursor
  const char* model;
  const char* size;
  std::optional<Config_Window> window;
  const char* found_again = nullptr;  // found_as of the second search when it differs
};

const std::optional<Config_Window> None;

const std::vector<Entry> Catalogue = {
    {"mirolex2", "SuperSet 0/0", "KORV Mensaro, Mirolex II", "12 x 12", Mirolex2},
    {"mirolex3", "SuperSet 0/0", "KORV Mensaro, Mirolex III", "12 x 18", Mirolex2},
    {"dovrane3", "SuperSet 0/0", "KORV Mensaro, Dovrane III", "12 x 12", Dovrane3},
    {"dovrane4", "SuperSet 0/0", "KORV Mensaro, Dovrane IV", "12 x 18", Dovrane3},
    {"dovrane6", "SuperSet 0/0", "KORV Mensaro, Dovrane VI", "18 x 24", Dovrane3},
    {"pallivant5", "SuperSet 0/0", "Zeltavision, Pallivant V", "12 x 12", Pv5},
    {"pallivant6", "SuperSet 0/0", "Zeltavision, Pallivant VI", "12 x 18", Pv5},
    {"pallivant7", "SuperSet 0/0", "Zeltavision, Pallivant VII", "12 x 18", Pv5},
    {"colossa", "SuperSet 0/0", "KORV Mensaro, Colossa Pallivant", "36 x 48", Pv5},
    {"velliscope3", "SuperSet 0/0", "Mensaro, Velliscope III", "12 x 12", VSIII},
    {"velliscope4", "SuperSet 0/0", "Mensaro, Velliscope IV", "12 x 12", VSIII},
    {"velliscope5", "SuperSet 0/0", "KORV Mensaro, Velliscope V", "12 x 18", VSIII},
    {"velliscope6", "SuperSet 0/0", "KORV Mensaro, Velliscope VI", "12 x 18", VSIII},
    {"lumivane", "SuperSet 0/0", "Mensaro, Lumivane", "6 x 8.5", VSIII},
    {"orvanta", "SuperSet 0/0", "Mensaro, Orvanta", "12 x 12", None},
    {"belmora", "SuperSet 0/0", "Mensaro, Belmora", "12 x 12", None},
    {"zephane", "SuperSet 0/0", "Mensaro, Zephane", "6 x 8", None},
    {"morvane", "SuperSet 0/0", "Mensaro, Morvane (Serial)", "9 x 12", None},
    {"kv", "KV Half 6/0", "Zeltavision, KV Compatible", "12 x 18", None},
    {"kv-stylus", "KV Half 7/0", "Zeltavision, KV Compatible", "12 x 12", None},
    // Left reporting in UIOF, it no longer answers the KV probe: its puck
    // is known again only after the grid test's break.
    {"kv16", "UIOF 5/0", "Zeltavision, UIOF Compatible", "12 x 12", None, "UIOF 0/0"},
    // Power-cycled, it answers as any KV tablet does.
    {"kv-obsolete", "KV_Alt Half 0/0", "Zeltavision, KV Compatible", "12 x 12", None, "KV Half 0/0"},
    {"kv-portrait", "KV Half 6/0", "Zeltavision, KV Compatible", "12 x 18", None},
    {"uiof", "UIOF 0/0", "Zeltavision, UIOF Compatible", "12 x 18", None},
    {"uiof-at", "UIOF 0/0", "Zeltavision, UIOF Compatible", "12 x 12", None},
    {"uiof-x", "UIOF 0/0", "Zeltavision, UIOF Compatible", "18 x 12", None},
    {"pupilane", "PnP 7/0", "Mensaro, Pupilane", "6 x 8", None},
    {"quorral", "Type5 0/6", "KORV, Quorral", "12 x 12", None},
    {"quorral2", "Type5 0/3", "KORV, Quorral II", "12 x 18", None},
    {"quorral3", "Type5 0/5", "KORV, Quorral III", "12 x 18", KORV_form},
    {"quorral3-stalls", "Type5 0/5", "KORV, Quorral III", "12 x 18", KORV_form},
    {"mirolex-t5", "Type5 0/6", "KORV, Mirolex", "12 x 12", None},
    {"dovranex", "Type5 0/5", "KORV, DovraneX", "18 x 24", None},
    {"type5-nosize", "Type5 0/3", "KORV, Tastrel", "N/A", None},
    // An unknown tablet is named by its raw identification, escape
    // sequences and all; only what prints it escapes them.
    {"hostile", "SuperSet 0/0", "\x1b]0;pwned\x07\x1b[2J\x1b[31mZ-9000\x1b[0m", "12 x 12", None},
};

// Faults of a tablet's report stream: every catalogued tablet has them,
// and they show only once it streams.
const std::vector<std::string> Stream_Fault_Suffixes = {"-brokenx", "-brokeny", "-noise", "-stops", "-vanish"};

std::string Found_As(const Tablet_Identity& id) {
  std::string f;
  for (const auto& [on, name] : {std::pair{id.PnP_Format, "PnP "}, {id.SuperSet_Format, "SuperSet "},
                                 {id.KV_Format, "KV "}, {id.KV_Alt_Format, "KV_Alt "}, {id.UIOF_Format, "UIOF "},
                                 {id.Type5_Format, "Type5 "}, {id.Half_Resolution, "Half "}})
    if (on) f += name;
  return f + std::to_string(id.Probe_Cursor) + "/" + std::to_string(id.Type5_Cursor);
}

// The framings a search opens until the probe of the family claims the
// tablet: each probe runs only while no earlier one recognised it.
Lines Opened_Until(const std::string& found_as) {
  const std::string PnP = "OPEN 1200,M,7,2", SuperSet = "OPEN 9600,n,8,2", KV = "OPEN 9600,o,8,1",
                    UIOF = "OPEN 9600,E,7,2", Type5 = "OPEN 9600,N,8,1";
  const std::string family = found_as.substr(0, found_as.find(' '));
  if (family == "PnP") return {PnP, KV};  // the Pupilane reports at the KV framing
  if (family == "SuperSet") return {PnP, SuperSet, "OPEN 19200,n,8,2"};
  if (family == "KV" || family == "KV_Alt") return {PnP, SuperSet, KV};
  if (family == "UIOF") return {PnP, SuperSet, KV, UIOF};
  return {PnP, SuperSet, KV, UIOF, Type5};
}

TEST(Catalogue, EverySimulatedTabletIsFoundNamedAndRoutedAndFoundAgainAfterItsReset) {
  std::vector<std::pair<Entry, std::string>> runs;  // each tablet, then its stream fault variants
  for (const Entry& e : Catalogue) {
    runs.emplace_back(e, e.profile);
    for (const std::string& suffix : Stream_Fault_Suffixes) runs.emplace_back(e, e.profile + suffix);
  }
  for (const auto& [e, profile] : runs) {
    SCOPED_TRACE(profile);
    Sim_Bench b;
    b.prompter.Set_Positive(true);  // the obsolete KV tablet is power-cycled
    b.Attach_Profile(4, profile);

    for (int search = 1; search <= 2; ++search) {
      SCOPED_TRACE(search);
      b.trace.clear();
      const std::size_t mark = b.Log().size();
      Port_Icon_Command(b.session, 4);

      const Session& s = b.session;
      ASSERT_EQ(s.Search_Status, 0);
      const std::string found_as = search == 2 && e.found_again ? e.found_again : e.found_as;
      EXPECT_EQ(Found_As(s.identity), found_as);
      EXPECT_EQ(b.Trace_Of("OPEN"), Opened_Until(found_as));
      EXPECT_TRUE(s.port.PortOpen());
      EXPECT_EQ("OPEN " + s.port.Settings(), Opened_Until(found_as).back());
      EXPECT_EQ(s.identity.Model_Name, e.model);
      EXPECT_EQ(s.identity.Size_Text, e.size);
      EXPECT_EQ(Config_Window_For(s.identity.Model_Name), e.window);
      EXPECT_EQ(s.main.Config_Tbl.visible, e.window.has_value());
      EXPECT_EQ(s.main.Tbl.text, e.model);
      EXPECT_EQ(s.main.Size_lb.text, e.size);
      EXPECT_EQ(s.main.CommPort.text, "4");
      EXPECT_NE(b.Log().find(std::string("\rFound: ") + e.model + "\rSize: " + e.size + "\r", mark),
                std::string::npos);
    }
    EXPECT_EQ(b.prompter.asked.size(), std::string(e.profile) == "kv-obsolete" ? 1u : 0u);
  }
}

TEST(Catalogue, EveryProfileIsCataloguedAFaultVariantOfACataloguedTabletOrNoTablet) {
  const auto catalogued = [](const std::string& name) {
    for (const Entry& e : Catalogue)
      if (name == e.profile) return true;
    return false;
  };
  for (const Sim_Profile& p : Sim_Profiles()) {
    const auto dash = p.name.rfind('-');
    const std::string suffix = dash == std::string::npos ? "" : p.name.substr(dash);
    // Fault variants: silent to one probe question, or to one exchange of
    // the configuration windows, or a fault of the report stream.
    std::set<std::string> faults = {"-nop", "-nov", "-novs", "-nos1", "-shortdump", "-noack", "-short", "-mute"};
    faults.insert(Stream_Fault_Suffixes.begin(), Stream_Fault_Suffixes.end());
    const bool fault_variant = faults.count(suffix) == 1 && catalogued(p.name.substr(0, dash));
    const bool no_tablet = p.name == "empty" || p.name == "busy" || p.name == "wake";
    EXPECT_EQ(catalogued(p.name) + fault_variant + no_tablet, 1) << p.name;
  }
}

// What the grid test relies on: after its start command a tablet streams
// whole reports (a sync byte at or above the floor, data bytes below it)
// and its reset stops them.  Commands go out a character a tick.
TEST(Simulated_Tablets, StreamReportsAfterTheirStartCommandUntilTheirReset) {
  struct Case {
    const char* profile;
    std::string start, stop;  // stop empty: the tablet loses its power from DTR
    std::size_t length;
    unsigned floor;
  };
  std::string superset_start;  // the grid test's ten SuperSet commands
  for (const char* command : {"%A1", "%VF", "%VA0", "%VA2", "%V5", "%N0", "%W200", "%Z2", "%JR1000,0", "%VB1"})
    superset_start += std::string("\x1b") + command + "\r";
  for (const Case& c : std::vector<Case>{{"dovrane4", superset_start, "\x1b%VR\r", 10, 128},
                                         {"kv", "\x40", std::string(1, '\0'), 5, 128},
                                         {"uiof", "\x1bM0", "\x1bZ", 8, 64},
                                         {"pupilane", "\x40", "", 5, 128},
                                         {"quorral3", "\x01" "CN\r" "IV\r" "001\r" "OP\r" "R2\r" "\x1b",
                                          "\x01" "RS\r" "\x1b", 10, 128}}) {
    SCOPED_TRACE(c.profile);
    Sim_Bench b;
    b.Attach_Profile(1, c.profile);
    Port_Icon_Command(b.session, 1);
    ASSERT_EQ(b.session.Search_Status, 0);
    Serial_Port& port = b.session.port;
    port.Set_InputLen(0);
    const auto send = [&](const std::string& bytes) {
      for (char ch : bytes) {
        port.Output(std::string(1, ch));
        b.clock.Advance(0.05);
      }
    };
    send(c.start);
    b.clock.Advance(0.3);
    // Prompts come first, and a report may be on its way when reading
    // starts or ends.
    const std::string read = port.Input();
    const auto first = std::find_if(read.begin(), read.end(), [&](char ch) { return (unsigned char)ch >= c.floor; });
    const std::string stream(first, read.end());
    ASSERT_GE(stream.size(), 2 * c.length);
    for (std::size_t i = 0; i < stream.size(); ++i)
      EXPECT_EQ(static_cast<unsigned char>(stream[i]) >= c.floor, i % c.length == 0) << i;
    if (c.profile == std::string("pupilane")) {  // its coordinates start 800 counts in
      EXPECT_GE(static_cast<unsigned char>(stream[1]) + 128 * static_cast<unsigned char>(stream[2]), 800);
    }
    if (c.stop.empty()) port.Set_DTREnable(false);
    send(c.stop);
    (void)port.Input();
    b.clock.Advance(0.3);
    EXPECT_EQ(port.InBufferCount(), 0);
  }
}

}  // namespace
}  // namespace stylomat
