#include "discovery/model_table.h"

#include <gtest/gtest.h>

#include "support/sim_fixture.h"

namespace stylomat {
namespace {

using test::Sim_Bench;

std::string Name(std::string_view product, std::string_view firmware = "", bool type5 = false) {
  return Model_Name_For(product, firmware, type5);
}

TEST(Match_Model, EachIdentificationCodeNamesItsModel) {
  const std::vector<std::pair<std::string, std::string>> rows = {
      {"KORV/Mensaro 36090", "Mensaro, Morvane (Serial)"},
      {"Mensaro 1000", "Mensaro, Zephane"},
      {"11050", "Mensaro, Orvanta"},
      {"11090", "Mensaro, Orvanta Pro"},
      {"11120", "Mensaro, Orvanta/Belmora Pro"},
      {"11180", "Mensaro, Orvanta/Belmora Pro"},
      {"35050,", "Mensaro, Belmora"},
      {"35120,", "Mensaro, Belmora Pro"},
      {"35180,", "Mensaro, Belmora Pro"},
      {"KORV/Mensaro DVIII", "KORV Mensaro, Dovrane III"},
      {"DOVRANE IV", "KORV Mensaro, Dovrane IV"},
      {"DOVRANE VI", "KORV Mensaro, Dovrane VI"},
      {"KORV/Mensaro MXII", "KORV Mensaro, Mirolex II"},
      {"MIROLEX III", "KORV Mensaro, Mirolex III"},
      {"Mensaro Pallivant V", "Zeltavision, Pallivant V"},
      {"Mensaro Pallivant VI", "Zeltavision, Pallivant VI"},
      {"PALLIVANT VII", "Zeltavision, Pallivant VII"},
      {"Mensaro Velliscope IV", "Mensaro, Velliscope IV"},
      {"VELLISCOPE V", "KORV Mensaro, Velliscope V"},
      {"VELLISCOPE VI", "KORV Mensaro, Velliscope VI"},
      {"Mensaro 3300", "Mensaro, Velliscope II / III"},
      {"Mensaro 3400", "Mensaro, Velliscope III"},
      {"Mensaro 3100", "Mensaro, Lumivane"},
      {"Mensaro 3200", "Mensaro, Lumivane"},
      {"Mensaro Pallivant Colossa", "KORV Mensaro, Colossa Pallivant"},
  };
  for (const auto& [code, name] : rows) EXPECT_EQ(Name(code + " rest"), name) << code;

  const std::vector<std::pair<std::string, std::string>> firmware_rows = {
      {"J1", "KORV, Quorral"},        {"J2", "KORV, Quorral II"},         {"J3", "KORV, Quorral II"},
      {"J4", "KORV, Quorral II"},     {"J5", "KORV, Quorral III"},        {"AA", "KORV, Mirolex"},
      {"AB", "KORV, Dovrane II Plus"}, {"AE", "KORV, DovraneX"},          {"AH", "KORV, Cordless Quorral"},
      {"AM", "KORV, DovraneX"},       {"AN", "KORV, Cordless Quorral"},   {"AC", "KORV, Tastrel"},
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

TEST(Match_Model, StartsWithIsExactAndCaseSensitiveContainsIgnoresCase) {
  EXPECT_EQ(Name("mensaro 1000"), "mensaro 1000");
  EXPECT_EQ(Name("MENSARO 1000"), "MENSARO 1000");
  EXPECT_EQ(Name(" Mensaro 1000"), " Mensaro 1000");  // only at the very start
  EXPECT_EQ(Name("Mensaro 100"), "Mensaro 100");     // the whole code must be there
  EXPECT_EQ(Name("35050"), "35050");                  // without its comma
  EXPECT_EQ(Name("korv mensaro dovrane iv tablet"), "KORV Mensaro, Dovrane IV");
  EXPECT_EQ(Name("x mIrOlEx iIi"), "KORV Mensaro, Mirolex III");
  EXPECT_EQ(Name("KORV", "v1.j5", true), "KORV, Quorral III");
}

TEST(Match_Model, FirmwareRowsOnlyForType5AndOnlyOnTheVersionAnswer) {
  EXPECT_EQ(Name("KT", "J5", false), "KT");
  EXPECT_EQ(Name("J5 AC", "", true), "J5 AC");
  EXPECT_EQ(Name("", "", true), "");
}

TEST(Match_Model, RawBytesAndEmbeddedNulsAreSafe) {
  const std::string reply("\x00\xff" "dovrane vi\x00", 13);
  EXPECT_EQ(Name(reply), "KORV Mensaro, Dovrane VI");
  const std::string odd("\xe4\xf6\xfc", 3);  // not letters to upper-case
  EXPECT_EQ(Name(odd), odd);
}

TEST(Match_Model, WritesModelNameLabelAndReplacesTheReply) {
  Sim_Bench b;
  Tablet_Identity& id = b.session.identity;
  id.Product_Reply = "Mensaro Pallivant VII";
  const auto revision = b.session.main.revision;

  Match_Model(b.session);

  EXPECT_EQ(id.Model_Name, "Zeltavision, Pallivant VII");
  EXPECT_EQ(id.Product_Reply, "Zeltavision, Pallivant VII");
  EXPECT_EQ(b.session.main.Tbl.text, "Zeltavision, Pallivant VII");
  EXPECT_GT(b.session.main.revision, revision);
}

TEST(Match_Model, UnknownTabletKeepsItsRawIdentification) {
  Sim_Bench b;
  Tablet_Identity& id = b.session.identity;
  id.Model_Name = "KORV Mensaro, Mirolex II";  // left over from an earlier search
  id.Product_Reply = "ACME 9000";

  Match_Model(b.session);

  EXPECT_EQ(id.Model_Name, "ACME 9000");
  EXPECT_EQ(id.Product_Reply, "ACME 9000");
  EXPECT_EQ(b.session.main.Tbl.text, "ACME 9000");
  EXPECT_FALSE(Route_Config(b.session, false));
}

TEST(Route_Config, WindowsOfEveryRoutedModel) {
  const std::vector<std::pair<std::string, std::string>> routes = {
      {"KORV Mensaro, Mirolex II", "Mirolex2"},     {"KORV Mensaro, Mirolex III", "Mirolex2"},
      {"KORV Mensaro, Dovrane III", "Dovrane3"},    {"KORV Mensaro, Dovrane IV", "Dovrane3"},
      {"KORV Mensaro, Dovrane VI", "Dovrane3"},     {"Zeltavision, Pallivant VII", "Pv5"},
      {"Zeltavision, Pallivant VI", "Pv5"},         {"Zeltavision, Pallivant V", "Pv5"},
      {"KORV Mensaro, Colossa Pallivant", "Pv5"},   {"KORV, Quorral III", "KORV_form"},
      {"KORV Mensaro, Velliscope VI", "VSIII"},     {"KORV Mensaro, Velliscope V", "VSIII"},
      {"Mensaro, Velliscope IV", "VSIII"},          {"Mensaro, Velliscope III", "VSIII"},
      {"Mensaro, Velliscope II / III", "VSIII"},    {"Mensaro, Lumivane", "VSIII"},
  };
  for (const auto& [model, window] : routes) EXPECT_EQ(Config_Window_For(model), Parse_Config_Window(window)) << model;
  // The whole name, exactly.
  for (const char* other : {"", "KORV, Quorral", "KORV, Quorral II", "Mensaro, Zephane", "korv, quorral iii",
                            "KORV, Quorral III ", "Zeltavision, Pallivant"}) {
    EXPECT_FALSE(Config_Window_For(other).has_value()) << other;
  }
}

TEST(Route_Config, WithoutOpenSetsTheVariantFlagAndShowsNothing) {
  Sim_Bench b;
  int opened = 0;
  b.front_end.open = [&](Config_Window, const std::string&) { return ++opened > 0; };
  b.session.identity.Model_Name = "KORV, Quorral III";

  EXPECT_TRUE(Route_Config(b.session, false));

  EXPECT_TRUE(b.session.identity.Quorral_III_Flag);
  EXPECT_FALSE(b.session.identity.Mirolex_III_Flag || b.session.identity.Dovrane_IV_VI_Flag);
  EXPECT_EQ(opened, 0);
  EXPECT_EQ(b.Log(), "");
}

TEST(Route_Config, VariantFlagsAreOnlyEverSetTrue) {
  Sim_Bench b;
  Tablet_Identity& id = b.session.identity;
  id.Model_Name = "KORV Mensaro, Dovrane VI";
  EXPECT_TRUE(Route_Config(b.session, false));
  EXPECT_TRUE(id.Dovrane_IV_VI_Flag);
  id.Model_Name = "KORV Mensaro, Mirolex III";
  EXPECT_TRUE(Route_Config(b.session, false));
  // Routing a plain member of the family later leaves both flags standing.
  id.Model_Name = "KORV Mensaro, Dovrane III";
  EXPECT_TRUE(Route_Config(b.session, false));
  id.Model_Name = "Some Tablet";
  EXPECT_FALSE(Route_Config(b.session, false));
  EXPECT_TRUE(id.Dovrane_IV_VI_Flag);
  EXPECT_TRUE(id.Mirolex_III_Flag);
  EXPECT_FALSE(id.Quorral_III_Flag);
}

TEST(Route_Config, OpenAsksTheFrontEndForTheWindowWithItsCaption) {
  Sim_Bench b;
  std::vector<std::pair<std::string, std::string>> requests;
  b.front_end.open = [&](Config_Window window, const std::string& caption) {
    requests.emplace_back(Config_Window_Name(window), caption);
    return true;
  };
  b.session.identity.Model_Name = "KORV Mensaro, Mirolex III";

  EXPECT_TRUE(Route_Config(b.session, true));

  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].first, "Mirolex2");
  EXPECT_EQ(requests[0].second, "KORV Mensaro, Mirolex III Advanced Configuration");
  EXPECT_TRUE(b.session.identity.Mirolex_III_Flag);

  b.session.identity.Model_Name = "KORV, Tastrel";
  EXPECT_FALSE(Route_Config(b.session, true));
  EXPECT_EQ(requests.size(), 1u);
}

TEST(Route_Config, FrontEndWithoutConfigurationWindowsSaysSoInTheLog) {
  Sim_Bench b;
  b.session.Debug_Mode = false;
  b.session.identity.Model_Name = "Zeltavision, Pallivant V";

  EXPECT_TRUE(Route_Config(b.session, true));

  EXPECT_EQ(b.Log(), "The Pv5 configuration window is not available in this version\r");
}

}  // namespace
}  // namespace stylomat
