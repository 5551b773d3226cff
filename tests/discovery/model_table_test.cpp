#include "discovery/model_table.h"

#include <gtest/gtest.h>

#include "support/sim_fixture.h"

namespace stylomat {
namespace {

using test::Sim_Bench;

std::string Name(std::string_view product, std::string_view firmware = "", bool type5 = false) {
  return Model_Name_For(product, firmware, type5);
}

// The simulated tablets of the catalogue test name most rows; these are
// the rows no simulated tablet answers.
TEST(Match_Model, RowsNoSimulatedTabletAnswers) {
  const std::vector<std::pair<std::string, std::string>> rows = {
      {"11090", "Mensaro, Orvanta Pro"},         {"11120", "Mensaro, Orvanta/Belmora Pro"},
      {"11180", "Mensaro, Orvanta/Belmora Pro"}, {"35120,", "Mensaro, Belmora Pro"},
      {"35180,", "Mensaro, Belmora Pro"},        {"Mensaro 3300", "Mensaro, Velliscope II / III"},
      {"Mensaro 3200", "Mensaro, Lumivane"},
  };
  for (const auto& [code, name] : rows) EXPECT_EQ(Name(code + " rest"), name) << code;
  const std::vector<std::pair<std::string, std::string>> firmware_rows = {
      {"J2", "KORV, Quorral II"}, {"J4", "KORV, Quorral II"},      {"AB", "KORV, Dovrane II Plus"},
      {"AH", "KORV, Cordless Quorral"}, {"AM", "KORV, DovraneX"}, {"AN", "KORV, Cordless Quorral"},
  };
  for (const auto& [code, name] : firmware_rows) EXPECT_EQ(Name("T5", "V1." + code, true), name) << code;
}

TEST(Match_Model, LastMatchingRowWins) {
  // The code of row 16 plus one more "I" passes rows 15, 16 and 17.
  EXPECT_EQ(Name("Mensaro Pallivant VII"), "Zeltavision, Pallivant VII");
  EXPECT_EQ(Name("KORV Mensaro VELLISCOPE VI 12x12"), "KORV Mensaro, Velliscope VI");
  // "VELLISCOPE IV" does not contain "VELLISCOPE V".
  EXPECT_EQ(Name("Mensaro Velliscope IV"), "Mensaro, Velliscope IV");
  // J1 and AC both in the version answer: AC is the later row.
  EXPECT_EQ(Name("anything", "J1 AC", true), "KORV, Tastrel");
  EXPECT_EQ(Name("anything", "AC J1", true), "KORV, Tastrel");
  // A firmware row overrides an identification row.
  EXPECT_EQ(Name("Mensaro 1000", "J5", true), "KORV, Quorral III");
}

TEST(Match_Model, StartsWithIsExactAndCaseSensitiveContainsIgnoresCaseFirmwareOnlyForType5) {
  EXPECT_EQ(Name("mensaro 1000"), "mensaro 1000");
  EXPECT_EQ(Name("MENSARO 1000"), "MENSARO 1000");
  EXPECT_EQ(Name(" Mensaro 1000"), " Mensaro 1000");  // only at the very start
  EXPECT_EQ(Name("Mensaro 100"), "Mensaro 100");     // the whole code must be there
  EXPECT_EQ(Name("35050"), "35050");                  // without its comma
  EXPECT_EQ(Name("korv mensaro dovrane iv tablet"), "KORV Mensaro, Dovrane IV");
  EXPECT_EQ(Name("x mIrOlEx iIi"), "KORV Mensaro, Mirolex III");
  EXPECT_EQ(Name("KORV", "v1.j5", true), "KORV, Quorral III");
  // The firmware rows look only at the version answer of a Type-5 tablet.
  EXPECT_EQ(Name("KT", "J5", false), "KT");
  EXPECT_EQ(Name("J5 AC", "", true), "J5 AC");
  EXPECT_EQ(Name("", "", true), "");
  // Replies are raw bytes: NULs and bytes that are no ASCII letters are safe.
  EXPECT_EQ(Name(std::string("\x00\xff" "dovrane vi\x00", 13)), "KORV Mensaro, Dovrane VI");
  EXPECT_EQ(Name("\xe4\xf6\xfc"), "\xe4\xf6\xfc");
}

TEST(Match_Model, WritesModelNameAndLabelAndReplacesTheReplyAKnownOrAnUnknownTablet) {
  for (const auto& [reply, name] : std::vector<std::pair<std::string, std::string>>{
           {"Mensaro Pallivant VII", "Zeltavision, Pallivant VII"}, {"ACME 9000", "ACME 9000"}}) {
    Sim_Bench b;
    Tablet_Identity& id = b.session.identity;
    id.Model_Name = "KORV Mensaro, Mirolex II";  // left over from an earlier search
    id.Product_Reply = reply;
    const auto revision = b.session.main.revision;

    Match_Model(b.session);

    EXPECT_EQ(id.Model_Name, name);
    EXPECT_EQ(id.Product_Reply, name);
    EXPECT_EQ(b.session.main.Tbl.text, name);
    EXPECT_GT(b.session.main.revision, revision);
  }
}

TEST(Route_Config, WholeNamesOnlyIncludingTheModelNoSimulatedTabletIs) {
  EXPECT_EQ(Config_Window_For("Mensaro, Velliscope II / III"), Config_Window::VSIII);
  for (const char* other : {"", "KORV, Quorral", "KORV, Quorral II", "Mensaro, Zephane", "korv, quorral iii",
                            "KORV, Quorral III ", "Zeltavision, Pallivant", "ACME 9000"}) {
    EXPECT_FALSE(Config_Window_For(other).has_value()) << other;
  }
}

TEST(Route_Config, WithoutOpenOnlySetsTheVariantFlagWhichIsNeverCleared) {
  Sim_Bench b;
  int opened = 0;
  b.front_end.open = [&](Config_Window, const std::string&) { return ++opened > 0; };
  Tablet_Identity& id = b.session.identity;
  id.Model_Name = "KORV, Quorral III";
  EXPECT_TRUE(Route_Config(b.session, false));
  EXPECT_TRUE(id.Quorral_III_Flag);
  EXPECT_FALSE(id.Mirolex_III_Flag || id.Dovrane_IV_VI_Flag);
  id.Model_Name = "KORV Mensaro, Dovrane VI";
  EXPECT_TRUE(Route_Config(b.session, false));
  EXPECT_TRUE(id.Dovrane_IV_VI_Flag);
  id.Model_Name = "KORV Mensaro, Mirolex III";
  EXPECT_TRUE(Route_Config(b.session, false));
  // Routing a plain member of the family or an unknown model later leaves
  // every flag standing.
  id.Model_Name = "KORV Mensaro, Dovrane III";
  EXPECT_TRUE(Route_Config(b.session, false));
  id.Model_Name = "Some Tablet";
  EXPECT_FALSE(Route_Config(b.session, false));
  EXPECT_TRUE(id.Dovrane_IV_VI_Flag && id.Mirolex_III_Flag && id.Quorral_III_Flag);
  EXPECT_EQ(opened, 0);
  EXPECT_EQ(b.Log(), "");
}

TEST(Route_Config, OpenAsksTheFrontEndForTheWindowWithItsCaptionOrSaysInTheLogThatThereIsNone) {
  Sim_Bench b;
  std::vector<std::pair<std::string, std::string>> requests;
  bool has_windows = true;
  b.front_end.open = [&](Config_Window window, const std::string& caption) {
    requests.emplace_back(Config_Window_Name(window), caption);
    return has_windows;
  };
  b.session.identity.Model_Name = "KORV Mensaro, Mirolex III";
  EXPECT_TRUE(Route_Config(b.session, true));
  EXPECT_EQ(requests, (std::vector<std::pair<std::string, std::string>>{
                          {"Mirolex2", "KORV Mensaro, Mirolex III Advanced Configuration"}}));
  EXPECT_TRUE(b.session.identity.Mirolex_III_Flag);
  EXPECT_EQ(b.Log(), "");

  b.session.identity.Model_Name = "KORV, Tastrel";
  EXPECT_FALSE(Route_Config(b.session, true));
  EXPECT_EQ(requests.size(), 1u);

  has_windows = false;
  b.session.identity.Model_Name = "Zeltavision, Pallivant V";
  EXPECT_TRUE(Route_Config(b.session, true));
  EXPECT_EQ(requests.size(), 2u);
  EXPECT_EQ(b.Log(), "The Pv5 configuration window is not available in this version\r");
}

}  // namespace
}  // namespace stylomat
