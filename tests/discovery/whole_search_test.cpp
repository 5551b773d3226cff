// Whole searches of one port per simulated tablet: which probes ran (the
// framings opened on the wire, in order), what was found and what the main
// window offers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "discovery/port_search.h"
#include "serial/serial_link.h"
#include "support/cli_runner.h"
#include "support/sim_fixture.h"

namespace stylomat {
namespace {

using test::Read_File;
using test::Run_Cli;
using test::Sim_Bench;

const std::string PnP = "OPEN 1200,M,7,2";
const std::string SuperSet = "OPEN 9600,n,8,2";
const std::string SuperSet_Fast = "OPEN 19200,n,8,2";
const std::string KV = "OPEN 9600,o,8,1";
const std::string UIOF = "OPEN 9600,E,7,2";
const std::string Type5 = "OPEN 9600,N,8,1";

enum class Offer { Config, Reset, Grid_Only, Nothing };

struct Expected_Search {
  const char* profile;
  const char* model;
  const char* size;
  Offer offer;
  std::vector<std::string> opened;
};

const std::vector<Expected_Search>& Cases() {
  static const std::vector<Expected_Search> cases = {
      {"uiof", "Zeltavision, UIOF Compatible", "12 x 18", Offer::Reset, {PnP, SuperSet, KV, UIOF}},
      {"uiof-at", "Zeltavision, UIOF Compatible", "12 x 12", Offer::Reset, {PnP, SuperSet, KV, UIOF}},
      {"uiof-x", "Zeltavision, UIOF Compatible", "18 x 12", Offer::Reset, {PnP, SuperSet, KV, UIOF}},
      {"kv", "Zeltavision, KV Compatible", "12 x 18", Offer::Reset, {PnP, SuperSet, KV}},
      {"kv-stylus", "Zeltavision, KV Compatible", "12 x 12", Offer::Reset, {PnP, SuperSet, KV}},
      {"kv-portrait", "Zeltavision, KV Compatible", "12 x 18", Offer::Reset, {PnP, SuperSet, KV}},
      {"kv16", "Zeltavision, UIOF Compatible", "12 x 12", Offer::Reset, {PnP, SuperSet, KV, UIOF}},
      {"pupilane", "Mensaro, Pupilane", "6 x 8", Offer::Grid_Only, {PnP, KV}},
      {"quorral3", "KORV, Quorral III", "12 x 18", Offer::Config, {PnP, SuperSet, KV, UIOF, Type5}},
      {"quorral", "KORV, Quorral", "12 x 12", Offer::Reset, {PnP, SuperSet, KV, UIOF, Type5}},
      {"quorral2", "KORV, Quorral II", "12 x 18", Offer::Reset, {PnP, SuperSet, KV, UIOF, Type5}},
      {"mirolex-t5", "KORV, Mirolex", "12 x 12", Offer::Reset, {PnP, SuperSet, KV, UIOF, Type5}},
      {"dovranex", "KORV, DovraneX", "18 x 24", Offer::Reset, {PnP, SuperSet, KV, UIOF, Type5}},
      {"type5-nosize", "KORV, Tastrel", "N/A", Offer::Nothing, {PnP, SuperSet, KV, UIOF, Type5}},
      {"dovrane4", "KORV Mensaro, Dovrane IV", "12 x 18", Offer::Config, {PnP, SuperSet, SuperSet_Fast}},
  };
  return cases;
}

TEST(Whole_Search, EachProfileIsFoundByItsProbeAfterTheEarlierOnesInOrder) {
  for (const Expected_Search& c : Cases()) {
    SCOPED_TRACE(c.profile);
    Sim_Bench b;
    b.Attach_Profile(4, c.profile);
    b.session.Port_Number = 4;

    Search_Port(b.session);

    const Session& s = b.session;
    EXPECT_EQ(s.Search_Status, 0);
    EXPECT_TRUE(s.port.PortOpen());
    EXPECT_EQ(b.Trace_Of("OPEN"), c.opened);
    EXPECT_EQ(s.main.Tbl.text, c.model);
    EXPECT_EQ(s.main.Size_lb.text, c.size);
    EXPECT_EQ(s.main.CommPort.text, "4");
    const Main_Window_State& m = s.main;
    EXPECT_EQ(m.Config_Tbl.visible, c.offer == Offer::Config);
    EXPECT_EQ(m.Reset_Tbl.visible, c.offer == Offer::Reset);
    EXPECT_EQ(m.Grid_btn.enabled, c.offer != Offer::Nothing);
    EXPECT_NE(b.Log().find("Found: " + std::string(c.model) + "\rSize: " + c.size + "\r"), std::string::npos);
    EXPECT_EQ(b.Log().find("No Tablet Found"), std::string::npos);
  }
}

TEST(Whole_Search, FormatFlagsOfEachFamily) {
  const auto flags_after = [](const std::string& profile) {
    Sim_Bench b;
    b.Attach_Profile(1, profile);
    b.session.Port_Number = 1;
    Search_Port(b.session);
    const Tablet_Identity& id = b.session.identity;
    std::string f;
    if (id.PnP_Format) f += "PnP ";
    if (id.SuperSet_Format) f += "SuperSet ";
    if (id.KV_Format) f += "KV ";
    if (id.KV_Alt_Format) f += "KV_Alt ";
    if (id.UIOF_Format) f += "UIOF ";
    if (id.Type5_Format) f += "Type5 ";
    if (id.Half_Resolution) f += "Half ";
    return f + std::to_string(id.Probe_Cursor) + "/" + std::to_string(id.Type5_Cursor);
  };
  EXPECT_EQ(flags_after("uiof"), "UIOF 0/0");
  EXPECT_EQ(flags_after("kv"), "KV Half 6/0");
  EXPECT_EQ(flags_after("kv-stylus"), "KV Half 7/0");
  EXPECT_EQ(flags_after("kv16"), "UIOF 5/0");
  EXPECT_EQ(flags_after("pupilane"), "PnP 7/0");
  EXPECT_EQ(flags_after("quorral3"), "Type5 0/5");
  EXPECT_EQ(flags_after("quorral"), "Type5 0/6");
  EXPECT_EQ(flags_after("quorral2"), "Type5 0/3");
}

TEST(Whole_Search, SuperSetTabletAnswersItsPlugAndPlayIdentifierFirst) {
  Sim_Bench b;
  b.Attach_Profile(2, "dovrane4");
  b.session.Port_Number = 2;
  b.session.Debug_Mode = true;
  Search_Port(b.session);
  EXPECT_EQ(b.session.Search_Status, 0);
  EXPECT_TRUE(b.session.identity.Dovrane_IV_VI_Flag);
  const std::string log = b.Log();
  const auto pnp = log.find("MNR0303");
  const auto line = log.find("\rDovrane IV\r\r");
  const auto wiggle = log.find("Wiggle: ");
  ASSERT_NE(pnp, std::string::npos);
  EXPECT_LT(pnp, line);
  EXPECT_LT(line, wiggle);
}

TEST(Whole_Search, ObsoleteKvTabletCancelledEndsTheSearchWithoutTheLaterProbes) {
  Sim_Bench b;
  b.Attach_Profile(1, "kv-obsolete");
  b.session.Port_Number = 1;
  Search_Port(b.session);
  EXPECT_EQ(b.session.Search_Status, -1);
  EXPECT_EQ(b.prompter.asked.size(), 1u);
  EXPECT_EQ(b.Trace_Of("OPEN"), (std::vector<std::string>{PnP, SuperSet, KV}));
  EXPECT_NE(b.Log().find("Com 1, No Tablet Found\r"), std::string::npos);

  Sim_Bench ok;
  ok.prompter.Set_Positive(true);
  ok.Attach_Profile(1, "kv-obsolete");
  ok.session.Port_Number = 1;
  Search_Port(ok.session);
  EXPECT_EQ(ok.session.Search_Status, 0);
  EXPECT_TRUE(ok.session.identity.KV_Alt_Format);
  EXPECT_EQ(ok.session.main.Size_lb.text, "12 x 12");
  EXPECT_FALSE(ok.session.main.Reset_Tbl.visible);
  EXPECT_TRUE(ok.session.main.Grid_btn.enabled);
}

TEST(Whole_Search, ASecondSearchResetsTheFoundTabletFirstAndFindsItAgain) {
  for (const char* profile : {"kv", "kv16", "uiof", "quorral3", "pupilane"}) {
    SCOPED_TRACE(profile);
    Sim_Bench b;
    b.Attach_Profile(1, profile);
    b.session.Port_Number = 1;
    Search_Port(b.session);
    ASSERT_EQ(b.session.Search_Status, 0);
    const std::string model = b.session.identity.Model_Name;
    const std::string size = b.session.identity.Size_Text;
    Search_Port(b.session);
    EXPECT_EQ(b.session.Search_Status, 0);
    EXPECT_EQ(b.session.identity.Model_Name, model);
    EXPECT_EQ(b.session.identity.Size_Text, size);
  }
}

TEST(Whole_Search, RestoreFactoryProbesTheFoundFamilyAgain) {
  const std::vector<std::pair<const char*, std::string>> cases = {
      {"kv", KV}, {"uiof", UIOF}, {"kv16", UIOF}, {"quorral", Type5}};
  for (const auto& [profile, framing] : cases) {
    SCOPED_TRACE(profile);
    Sim_Bench b;
    b.Attach_Profile(1, profile);
    b.session.Port_Number = 1;
    Search_Port(b.session);
    ASSERT_EQ(b.session.Search_Status, 0);
    const std::string model = b.session.identity.Model_Name;
    b.trace.clear();
    Restore_Factory(b.session);
    EXPECT_EQ(b.session.Search_Status, 0);
    EXPECT_EQ(b.session.identity.Model_Name, model);
    EXPECT_EQ(b.Trace_Of("OPEN"), std::vector<std::string>{framing});
  }
}

TEST(Whole_Search, AllPortsStopsAtTheFirstTablet) {
  Sim_Bench b;
  for (int com : {1, 5, 7, 8}) b.Attach_Missing(com);
  b.Attach_Profile(2, "empty");
  b.Attach_Profile(3, "kv");
  b.Attach_Profile(4, "uiof");
  b.Attach_Profile(6, "quorral3");
  b.session.Port_Number = 0;
  Scan_Ports(b.session);
  b.trace.clear();

  EXPECT_EQ(Search_All_Ports(b.session), 3);
  EXPECT_EQ(b.session.identity.Model_Name, "Zeltavision, KV Compatible");
  for (const std::string& e : b.Trace_Events()) {
    EXPECT_EQ(e.rfind("COM4", 0), std::string::npos) << e;
    EXPECT_EQ(e.rfind("COM6", 0), std::string::npos) << e;
  }
}

const std::string Virtual = "STYLOMAT_PORTS=none STYLOMAT_CLOCK=virtual STYLOMAT_SIMULATE=";

bool Has(const std::string& text, const std::string& what) { return text.find(what) != std::string::npos; }

TEST(Cli_Answer, PowerCycleQuestionIsAnsweredByTheOptionAndCancelledWithoutATerminal) {
  const auto yes = Run_Cli(Virtual + "2=kv-obsolete", "search --port 2 --answer yes");
  EXPECT_EQ(yes.status, 0) << yes.out;
  EXPECT_TRUE(Has(yes.out, "[Obsolete Zeltavision Tablet] A Zeltavision KV Compatible tablet was found!\n\nPower the "
                           "Tablet OFF and back ON.\nPress OK when finished.\n-> OK\n"))
      << yes.out;
  EXPECT_TRUE(Has(yes.out, "Model: Zeltavision, KV Compatible\nSize: 12 x 12\nMenus offer: Grid / Button Test\n"))
      << yes.out;

  const auto no = Run_Cli(Virtual + "2=kv-obsolete", "search --port 2 --answer no");
  EXPECT_EQ(no.status, 1) << no.out;
  EXPECT_TRUE(Has(no.out, "-> Cancel\n")) << no.out;
  EXPECT_TRUE(Has(no.out, "No Supported Serial Tablet Was Found On Serial Port 2!")) << no.out;

  // Standard input is not a terminal: Cancel.
  const auto none = Run_Cli(Virtual + "2=kv-obsolete", "search --port 2");
  EXPECT_EQ(none.status, 1) << none.out;
  EXPECT_TRUE(Has(none.out, "-> Cancel\n")) << none.out;
}

TEST(Cli_Search_Families, OnePortPerFamilyAndAllPortsStopsAtTheFirstTablet) {
  const auto pupilane = Run_Cli(Virtual + "1=pupilane", "search --port 1");
  EXPECT_EQ(pupilane.status, 0) << pupilane.out;
  EXPECT_TRUE(Has(pupilane.out, "Model: Mensaro, Pupilane\nSize: 6 x 8\nMenus offer: Grid / Button Test\n"))
      << pupilane.out;

  const auto quorral = Run_Cli(Virtual + "1=quorral3", "search --port 1");
  EXPECT_EQ(quorral.status, 0) << quorral.out;
  EXPECT_TRUE(Has(quorral.out, "Model: KORV, Quorral III\nSize: 12 x 18\nFirmware: J5 V3.02\n"
                               "Menus offer: Advanced Configuration, Grid / Button Test\n"))
      << quorral.out;

  const std::string trace = ::testing::TempDir() + "cli_search_all.trace";
  const auto all = Run_Cli(Virtual + "2=empty,3=uiof,5=kv", "search --all --trace " + trace);
  EXPECT_EQ(all.status, 0) << all.out;
  EXPECT_TRUE(Has(all.out, "Port: COM3\nModel: Zeltavision, UIOF Compatible\n")) << all.out;
  const std::string text = Read_File(trace);
  EXPECT_TRUE(Has(text, "COM2 OPEN 9600,N,8,1")) << text;
  EXPECT_TRUE(Has(text, "COM3 OPEN 9600,E,7,2")) << text;
  EXPECT_FALSE(Has(text, "COM5 OPEN 9600")) << text;
}

}  // namespace
}  // namespace stylomat
