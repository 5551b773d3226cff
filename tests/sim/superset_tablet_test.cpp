#include "sim/superset_tablet.h"

#include <gtest/gtest.h>

#include "discovery/port_search.h"
#include "serial/serial_link.h"
#include "support/sim_fixture.h"

namespace stylomat {
namespace {

using test::Sim_Bench;

struct Expected_Model {
  const char* profile;
  const char* model;
  const char* size;
  bool advanced;  // a configuration window serves it
};

// Every SuperSet-family model of the supported-tablets list, found through
// a whole port search as a technician would.
TEST(SuperSet_Profiles, EverySimulatedModelIsFoundAndNamedAsItsModel) {
  const Expected_Model expected[] = {
      {"mirolex2", "KORV Mensaro, Mirolex II", "12 x 12", true},
      {"mirolex3", "KORV Mensaro, Mirolex III", "12 x 18", true},
      {"dovrane3", "KORV Mensaro, Dovrane III", "12 x 12", true},
      {"dovrane4", "KORV Mensaro, Dovrane IV", "12 x 18", true},
      {"dovrane6", "KORV Mensaro, Dovrane VI", "18 x 24", true},
      {"pallivant5", "Zeltavision, Pallivant V", "12 x 12", true},
      {"pallivant6", "Zeltavision, Pallivant VI", "12 x 18", true},
      {"pallivant7", "Zeltavision, Pallivant VII", "12 x 18", true},
      {"colossa", "KORV Mensaro, Colossa Pallivant", "36 x 48", true},
      {"velliscope3", "Mensaro, Velliscope III", "12 x 12", true},
      {"velliscope4", "Mensaro, Velliscope IV", "12 x 12", true},
      {"velliscope5", "KORV Mensaro, Velliscope V", "12 x 18", true},
      {"velliscope6", "KORV Mensaro, Velliscope VI", "12 x 18", true},
      {"lumivane", "Mensaro, Lumivane", "6 x 8.5", true},
      {"orvanta", "Mensaro, Orvanta", "12 x 12", false},
      {"belmora", "Mensaro, Belmora", "12 x 12", false},
      {"zephane", "Mensaro, Zephane", "6 x 8", false},
      {"morvane", "Mensaro, Morvane (Serial)", "9 x 12", false},
  };
  ASSERT_EQ(SuperSet_Model_Profiles().size(), std::size(expected));
  for (const Expected_Model& e : expected) {
    Sim_Bench b;
    b.Attach_Profile(2, e.profile);
    b.session.Port_Number = 2;
    Search_Port(b.session);
    EXPECT_EQ(b.session.Search_Status, 0) << e.profile;
    EXPECT_EQ(b.session.identity.Model_Name, e.model) << e.profile;
    EXPECT_EQ(b.session.identity.Size_Text, e.size) << e.profile;
    EXPECT_EQ(b.session.main.Config_Tbl.visible, e.advanced) << e.profile;
    EXPECT_EQ(b.session.main.Reset_Tbl.visible, !e.advanced) << e.profile;
    EXPECT_EQ(b.session.identity.Settings_Reply.size(), 22u) << e.profile;
    EXPECT_FALSE(b.session.identity.Firmware_Text.empty()) << e.profile;
  }
}

TEST(SuperSet_Profiles, FaultVariantsAndPlugAndPlayIdentifiersAreThere) {
  for (const SuperSet_Model_Profile& m : SuperSet_Model_Profiles()) {
    const std::string name = m.name;
    for (const char* suffix : {"", "-nop", "-nov", "-novs"})
      EXPECT_NE(Find_Sim_Profile(name + suffix), nullptr) << name << suffix;
  }
  const auto pnp = [](const std::string& name) {
    for (const SuperSet_Model_Profile& m : SuperSet_Model_Profiles())
      if (m.name == name) return m.tablet.pnp_id;
    return std::string("?");
  };
  EXPECT_EQ(pnp("dovrane4"), "MNR0303");
  EXPECT_EQ(pnp("dovrane6"), "MNR0303");
  EXPECT_EQ(pnp("mirolex3"), "MNR0304");
  EXPECT_EQ(pnp("velliscope5"), "MNR0103");
  EXPECT_EQ(pnp("pallivant7"), "MNR0203");
  EXPECT_EQ(pnp("pallivant5"), "MNR0018");
  EXPECT_EQ(pnp("lumivane"), "MNR0001");
  EXPECT_EQ(pnp("morvane"), "MNR0012");
  EXPECT_EQ(pnp("zephane"), "MNR0010");
  EXPECT_EQ(pnp("mirolex2"), "");
}

// A bench with a Dovrane IV on COM1, the port open at the tablet's framing.
struct Tablet_Bench {
  Tablet_Bench() {
    auto device = Find_Sim_Profile("dovrane4")->make();
    tablet = dynamic_cast<SuperSet_Tablet*>(device.get());
    b.Attach(1, std::move(device));
    b.session.Port_Number = 1;
    Open_Port(b.session, "9600,n,8,2");
  }
  std::string Ask(const std::string& letters) {
    Flush_Input(b.session);
    b.session.port.Output(Esc_Command(letters));
    b.clock.Advance(0.1);
    b.session.port.Set_InputLen(0);
    return b.session.port.Input();
  }
  Sim_Bench b;
  SuperSet_Tablet* tablet = nullptr;
};

TEST(SuperSet_Tablet, AnswersItsQuestionsAndIgnoresUnknownCommands) {
  Tablet_Bench t;
  EXPECT_EQ(t.Ask("%__p"), "KORV/Mensaro Dovrane IV 1218");
  EXPECT_EQ(t.Ask("%__V"), "DVIV V1.07");
  EXPECT_EQ(t.Ask("%__S"), "43,49,46,61,06,10,80\r\n");
  EXPECT_EQ(t.Ask("%VS"), SuperSet_Report(18000, 12000));
  EXPECT_EQ(t.Ask("%__Q"), "");
  EXPECT_EQ(t.Ask("%__S1"), "43,49,46,61,06,10,80\r\n") << "the power-up settings";
  // Characters outside ESC ... CR are no command.
  t.b.session.port.Output("%__p\r");
  t.b.clock.Advance(0.1);
  EXPECT_EQ(t.b.session.port.InBufferCount(), 0);
}

TEST(SuperSet_Tablet, FramingCommandThenResetBackToPowerUp) {
  Tablet_Bench t;
  t.Ask("%C0N81");
  EXPECT_EQ(t.tablet->Device_Framing(), *Parse_Framing("19200,n,8,2"));
  // At the old framing the tablet no longer understands.
  EXPECT_EQ(t.Ask("%__p"), "");
  Open_Port(t.b.session, "19200,n,8,2");
  EXPECT_EQ(t.Ask("%__V"), "DVIV V1.07");
  t.Ask("%VE");
  EXPECT_EQ(t.tablet->Factory_Restores(), 1);
  EXPECT_EQ(t.tablet->Device_Framing(), *Parse_Framing("19200,n,8,2"));
  t.Ask("%VR");
  EXPECT_EQ(t.tablet->Device_Framing(), *Parse_Framing("9600,n,8,2"));
  Open_Port(t.b.session, "9600,n,8,2");
  EXPECT_EQ(t.Ask("%__S"), "43,49,46,61,06,10,80\r\n");
}

}  // namespace
}  // namespace stylomat
