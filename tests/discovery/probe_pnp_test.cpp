#include "discovery/probe_pnp.h"

#include <gtest/gtest.h>

#include "serial/serial_link.h"
#include "sim/pnp_tablet.h"
#include "sim/profiles.h"
#include "support/sim_fixture.h"

namespace stylomat {
namespace {

using test::Log_Lines;
using test::Recording_Device;
using test::Sim_Bench;

// A device that answers the enumeration with a fixed raw text.
class Raw_PnP_Device : public Sim_Device {
 public:
  explicit Raw_PnP_Device(std::string answer) : Sim_Device(*Parse_Framing("9600,n,8,2")), answer_(std::move(answer)) {}
  void On_Lines(Sim_Link& link, bool dtr, bool rts) override {
    if (!watch_.On_Lines(link.Now(), dtr, rts)) return;
    const Framing own = Device_Framing();
    Set_Device_Framing(*Parse_Framing("1200,M,7,2"));
    link.Send(answer_);
    Set_Device_Framing(own);
  }

 private:
  std::string answer_;
  PnP_Line_Watch watch_;
};

void Set_All_Flags(Tablet_Identity& id, bool on) {
  for (bool* f : {&id.PnP_ID_Found, &id.Quorral_III_Flag, &id.Dovrane_IV_VI_Flag, &id.Mirolex_III_Flag,
                  &id.Velliscope_V_Flag, &id.Pallivant_VII_Flag, &id.Velliscope_III_Flag, &id.Lumivane_Flag,
                  &id.PnP_Format})
    *f = on;
}

TEST(Probe_PnP, HandshakeTogglesTheLinesFor1point6SecondsWhileEventsRun) {
  Sim_Bench b;
  b.Attach(1, std::make_unique<Recording_Device>("1200,M,7,2"));
  b.session.Port_Number = 1;
  b.session.Debug_Mode = true;
  int events = 0;
  b.front_end.events = [&] { ++events; };
  b.session.Search_Status = -1;

  Probe_PnP(b.session);

  EXPECT_EQ(b.session.Search_Status, 0);
  EXPECT_FALSE(b.session.identity.PnP_Format);
  EXPECT_TRUE(b.session.identity.PnP_Answered);
  EXPECT_NEAR(b.Now(), 1.6, 1e-9);
  EXPECT_GT(events, 10);
  EXPECT_EQ(b.trace, (std::vector<std::string>{"0.000 COM1 OPEN 1200,M,7,2", "0.000 COM1 DTR 1", "0.000 COM1 RTS 0",
                                               "0.400 COM1 DTR 0", "0.600 COM1 DTR 1", "0.800 COM1 RTS 1",
                                               "1.000 COM1 DTR 0", "1.000 COM1 RTS 0", "1.200 COM1 DTR 1",
                                               "1.200 COM1 RTS 1"}));
  // The port stays open at the handshake framing for the next probe.
  EXPECT_TRUE(b.session.port.PortOpen());
  EXPECT_EQ(b.session.port.Settings(), "1200,M,7,2");
  // An empty answer is still an answer: no second handshake, no "Not Found".
  EXPECT_EQ(b.Log(), "\rPlug-N-Play\rFraming: 1200,M,7,2\r\r");
}

TEST(Probe_PnP, IdentifierInLowerCaseSetsItsFlagAndLogsWithDebugOff) {
  Sim_Bench b;
  b.Attach(1, std::make_unique<PnP_Tablet>("mnr0303", "", 12000, 12000));
  b.session.Port_Number = 1;
  Probe_PnP(b.session);
  EXPECT_TRUE(b.session.identity.Dovrane_IV_VI_Flag);
  EXPECT_FALSE(b.session.identity.PnP_Format);
  EXPECT_EQ(b.session.Search_Status, 0);
  EXPECT_EQ(b.Log(), "\rPlug-N-Play\rDovrane IV\r\r");
}

TEST(Probe_PnP, TwoIdentifiersSetBothFlagsAndLogInTableOrder) {
  Sim_Bench b;
  b.Attach(1, std::make_unique<Raw_PnP_Device>("  (MNR0001\\MNR0018)  "));
  b.session.Port_Number = 1;
  b.session.Debug_Mode = true;
  Probe_PnP(b.session);
  const Tablet_Identity& id = b.session.identity;
  EXPECT_TRUE(id.Lumivane_Flag);
  EXPECT_TRUE(id.Velliscope_III_Flag);
  EXPECT_FALSE(id.Velliscope_V_Flag);
  EXPECT_EQ(b.session.reports.Report_Buffer, "  (MNR0001\\MNR0018)  ");
  EXPECT_EQ(Log_Lines(b.Log()), (std::vector<std::string>{"", "Plug-N-Play", "Framing: 1200,M,7,2",
                                                          "(MNR0001\\MNR0018)", "Velliscope III / Pallivant V", "",
                                                          "Lumivane", ""}));
}

TEST(Probe_PnP, TheTwoMorvaneRowsShareOneFlagAndTheLaterRowWins) {
  Sim_Bench b;
  b.Attach(1, std::make_unique<Raw_PnP_Device>("MNR0012"));
  b.session.Port_Number = 1;
  Probe_PnP(b.session);
  EXPECT_EQ(b.Log(), "\rPlug-N-Play\rMorvane / Station\r\r");
  EXPECT_FALSE(b.session.identity.PnP_ID_Found);  // rewritten by the "MNR0010" row

  Sim_Bench z;
  z.Attach(1, std::make_unique<Raw_PnP_Device>("MNR0010"));
  z.session.Port_Number = 1;
  Probe_PnP(z.session);
  EXPECT_TRUE(z.session.identity.PnP_ID_Found);
  EXPECT_EQ(z.Log(), "\rPlug-N-Play\rMorvane / Zephane\r\r");
}

TEST(Probe_PnP, FlagsAreRewrittenOnEveryRun) {
  Sim_Bench b;
  b.Attach(1, std::make_unique<Raw_PnP_Device>("MNR0001"));
  b.session.Port_Number = 1;
  Set_All_Flags(b.session.identity, true);
  Probe_PnP(b.session);
  Tablet_Identity& id = b.session.identity;
  EXPECT_TRUE(id.Lumivane_Flag);
  Set_All_Flags(id, false);
  id.Lumivane_Flag = true;
  EXPECT_FALSE(id.Quorral_III_Flag);

  Sim_Bench silent;
  silent.Attach(1, std::make_unique<Silent_Device>());
  silent.session.Port_Number = 1;
  Set_All_Flags(silent.session.identity, true);
  Probe_PnP(silent.session);
  const Tablet_Identity& none = silent.session.identity;
  for (bool f : {none.PnP_ID_Found, none.Quorral_III_Flag, none.Dovrane_IV_VI_Flag, none.Mirolex_III_Flag,
                 none.Velliscope_V_Flag, none.Pallivant_VII_Flag, none.Velliscope_III_Flag, none.Lumivane_Flag,
                 none.PnP_Format})
    EXPECT_FALSE(f);
  EXPECT_EQ(silent.Log(), "\rPlug-N-Play\r");
}

TEST(Probe_PnP, PupilaneGetsItsFixedSizeAndCursorAtTheReportFraming) {
  Sim_Bench b;
  b.Attach_Profile(1, "pupilane");
  b.session.Port_Number = 1;
  b.session.Debug_Mode = true;
  Probe_PnP(b.session);

  const Session& s = b.session;
  const Tablet_Identity& id = s.identity;
  EXPECT_EQ(s.Search_Status, 0);
  EXPECT_TRUE(id.PnP_Format);
  EXPECT_EQ(id.Probe_Cursor, 7);
  EXPECT_EQ(id.Model_Name, "Mensaro, Pupilane");
  EXPECT_EQ(id.Product_Reply, "Mensaro, Pupilane");
  EXPECT_EQ(id.Tablet_Width, 6600);
  EXPECT_EQ(id.Tablet_Height, 4600);
  EXPECT_EQ(id.Size_Text, "6 x 8");
  EXPECT_EQ(s.main.CommPort.text, "1");
  EXPECT_EQ(s.port.Settings(), "9600,o,8,1");
  EXPECT_EQ(s.Baud_Rate, 9600);
  EXPECT_EQ(s.Parity_Char, "o");
  EXPECT_TRUE(s.port.PortOpen());
  EXPECT_EQ(b.Trace_Of("OPEN"), (std::vector<std::string>{"OPEN 1200,M,7,2", "OPEN 9600,o,8,1"}));
  const auto lines = Log_Lines(b.Log());
  ASSERT_GE(lines.size(), 6u);
  EXPECT_EQ(lines[3].find("KYE0005"), 3u) << lines[3];
  EXPECT_EQ(std::vector<std::string>(lines.end() - 2, lines.end()), (std::vector<std::string>{"", "Pupilane:"}));

  // The tablet streams 5-byte reports after 0x40, from 800 counts in.
  b.session.port.Output(std::string(1, '\x40'));
  b.clock.Advance(0.2);
  b.session.port.Set_InputLen(0);
  const std::string stream = b.session.port.Input();
  ASSERT_GE(stream.size(), 5u);
  EXPECT_EQ(stream.size() % 5, 0u);
  EXPECT_EQ(static_cast<unsigned char>(stream[0]) & 0x80, 0x80);
  const long x = static_cast<unsigned char>(stream[1]) + 128 * static_cast<unsigned char>(stream[2]);
  EXPECT_GE(x, 800);
}

TEST(Probe_PnP, PortThatCannotBeOpenedIsAPortError) {
  Sim_Bench b;
  b.Attach_Profile(1, "busy");
  b.session.Port_Number = 1;
  Probe_PnP(b.session);
  EXPECT_EQ(b.session.Search_Status, -2);
  EXPECT_EQ(b.Log(), "\rPlug-N-Play\r");
}

TEST(PnP_Line_Watch, AnswersTheEnumerationOnceAndNotAReopenOrAShortRtsPulse) {
  PnP_Line_Watch w;
  // Port reopened with both lines on.
  EXPECT_FALSE(w.On_Lines(0.0, false, false));
  EXPECT_FALSE(w.On_Lines(0.0, true, false));
  EXPECT_FALSE(w.On_Lines(0.0, true, true));
  // The SuperSet wake-up: RTS dropped for one tick.
  EXPECT_FALSE(w.On_Lines(1.0, true, false));
  EXPECT_FALSE(w.On_Lines(1.05, true, true));
  // The enumeration.
  EXPECT_FALSE(w.On_Lines(2.0, true, false));
  EXPECT_FALSE(w.On_Lines(2.4, false, false));
  EXPECT_FALSE(w.On_Lines(2.6, true, false));
  EXPECT_TRUE(w.On_Lines(2.8, true, true));
  EXPECT_FALSE(w.On_Lines(3.0, false, false));
  EXPECT_FALSE(w.On_Lines(3.2, true, false));
  EXPECT_FALSE(w.On_Lines(3.2, true, true));
}

TEST(PnP_Id_String, CarriesTheIdentifierBetweenParentheses) {
  const std::string id = PnP_Id_String("KYE0005", "Pupilane");
  EXPECT_EQ(id.front(), '(');
  EXPECT_EQ(id.back(), ')');
  EXPECT_NE(id.find("KYE0005"), std::string::npos);
  for (unsigned char c : id) EXPECT_LT(c, 0x80);  // seven data bits
}

}  // namespace
}  // namespace stylomat
