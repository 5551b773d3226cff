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
  const char* firmware;
  const char* image;  // the settings image as the log shows it
  const char* pnp;    // the Plug-and-Play name its identifier gives, if it has one
  bool advanced;      // a configuration window serves it
};

// Every SuperSet-family model of the supported-tablets list, found through
// a whole port search as a technician would, with the log it leaves.
TEST(SuperSet_Profiles, EverySimulatedModelIsFoundAndNamedAsItsModel) {
  const char* korv = "40,77,89,61,00,08,00";
  const char* dovrane = "43,49,46,61,06,10,80";
  const char* swtch = "21,04,7F,00,40,00,00";
  const char* mensaro = "02,31,60,00,0C,00,00";
  const Expected_Model expected[] = {
      {"mirolex2", "KORV Mensaro, Mirolex II", "12 x 12", "MXII V2.04", korv, "", true},
      {"mirolex3", "KORV Mensaro, Mirolex III", "12 x 18", "MXIII V3.10", korv, "Mirolex III", true},
      {"dovrane3", "KORV Mensaro, Dovrane III", "12 x 12", "DVIII V1.22", dovrane, "", true},
      {"dovrane4", "KORV Mensaro, Dovrane IV", "12 x 18", "DVIV V1.07", dovrane, "Dovrane IV", true},
      {"dovrane6", "KORV Mensaro, Dovrane VI", "18 x 24", "DVVI V1.30", dovrane, "Dovrane IV", true},
      {"pallivant5", "Zeltavision, Pallivant V", "12 x 12", "PV5 V4.01", swtch, "Velliscope III / Pallivant V", true},
      {"pallivant6", "Zeltavision, Pallivant VI", "12 x 18", "PV6 V4.12", swtch, "", true},
      {"pallivant7", "Zeltavision, Pallivant VII", "12 x 18", "PV7 V5.02", swtch, "Pallivant VII", true},
      {"colossa", "KORV Mensaro, Colossa Pallivant", "36 x 48", "PVC V2.30", swtch, "", true},
      {"velliscope3", "Mensaro, Velliscope III", "12 x 12", "VS3 V3.40", swtch, "Velliscope III / Pallivant V", true},
      {"velliscope4", "Mensaro, Velliscope IV", "12 x 12", "VS4 V1.05", swtch, "", true},
      {"velliscope5", "KORV Mensaro, Velliscope V", "12 x 18", "VS5 V2.11", swtch, "Velliscope V", true},
      {"velliscope6", "KORV Mensaro, Velliscope VI", "12 x 18", "VS6 V1.02", swtch, "", true},
      {"lumivane", "Mensaro, Lumivane", "6 x 8.5", "LV V1.10", swtch, "Lumivane", true},
      {"orvanta", "Mensaro, Orvanta", "12 x 12", "OV V3.3", mensaro, "", false},
      {"belmora", "Mensaro, Belmora", "12 x 12", "BM V2.8", mensaro, "", false},
      {"zephane", "Mensaro, Zephane", "6 x 8", "ZP V1.01", mensaro, "Morvane / Zephane", false},
      {"morvane", "Mensaro, Morvane (Serial)", "9 x 12", "MV V4.20", mensaro, "Morvane / Station", false},
  };
  ASSERT_EQ(SuperSet_Model_Profiles().size(), std::size(expected));
  for (const Expected_Model& e : expected) {
    SCOPED_TRACE(e.profile);
    Sim_Bench b;
    b.Attach_Profile(2, e.profile);
    b.session.Port_Number = 2;
    Search_Port(b.session);
    EXPECT_EQ(b.session.Search_Status, 0);
    EXPECT_EQ(b.session.identity.Model_Name, e.model);
    EXPECT_EQ(b.session.identity.Size_Text, e.size);
    EXPECT_EQ(b.session.identity.Firmware_Text, e.firmware);
    EXPECT_EQ(b.session.identity.Settings_Reply, std::string(e.image) + "\r\n");
    EXPECT_EQ(b.session.main.Config_Tbl.visible, e.advanced);
    EXPECT_EQ(b.session.main.Reset_Tbl.visible, !e.advanced);
    const std::string pnp = *e.pnp ? std::string(e.pnp) + "\r\r" : "";
    EXPECT_EQ(b.Log(), "\rSearching Serial Port 2:\r\rPlug-N-Play\r" + pnp + "Found: " + e.model + "\rSize: " + e.size +
                  "\rFormat: " + e.image + "\rFirmware: " + e.firmware + "\r");
    // Each model has its fault variants.
    for (const char* suffix : {"-nop", "-nov", "-novs"})
      EXPECT_NE(Find_Sim_Profile(std::string(e.profile) + suffix), nullptr) << suffix;
  }
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
  EXPECT_EQ(t.Ask("%__S1"), "43,49,46,61,06,10,80\r\n") << "the power-up settings, unchanged so far";
  EXPECT_EQ(t.Ask("%__S9"), "") << "no user SuperSet 9";
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
