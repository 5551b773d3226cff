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

// The log, time and port left open are checked with the other probes on a
// silent port.
TEST(Probe_PnP, HandshakeTogglesTheLinesFor1point6SecondsWhileEventsRun) {
  Sim_Bench b;
  b.Attach(1, std::make_unique<Recording_Device>("1200,M,7,2"));
  b.session.Port_Number = 1;
  int events = 0;
  b.front_end.events = [&] { ++events; };

  Probe_PnP(b.session);

  EXPECT_FALSE(b.session.identity.PnP_Format);
  EXPECT_TRUE(b.session.identity.PnP_Answered);
  // The six waits run window events: one per 10 ms slice and one as each ends.
  EXPECT_EQ(events, 160 + 6);
  EXPECT_EQ(b.Timed_Events(0), (std::vector<std::string>{"0.000 OPEN 1200,M,7,2", "0.000 DTR 1", "0.000 RTS 0",
                                                         "0.400 DTR 0", "0.600 DTR 1", "0.800 RTS 1", "1.000 DTR 0",
                                                         "1.000 RTS 0", "1.200 DTR 1", "1.200 RTS 1"}));
}

// Every run sets each flag of the identifier table to whether its
// identifier is in the answer, and logs the ones found in table order.
TEST(Probe_PnP, IdentifiersFoundSetTheirFlagsAndLogInTableOrderEveryFlagRewritten) {
  struct Case {
    std::string answer;
    bool debug;
    std::string log;
    std::string flags;
  };
  const std::vector<Case> cases = {
      {"mnr0303", false, "\rPlug-N-Play\rDovrane IV\r\r", "Dovrane_IV_VI "},
      {"  (MNR0001\\MNR0018)  ", true,
       "\rPlug-N-Play\rFraming: 1200,M,7,2\r(MNR0001\\MNR0018)\rVelliscope III / Pallivant V\r\rLumivane\r\r",
       "Velliscope_III Lumivane "},
      // The two Morvane rows share one flag: the later row wins.
      {"MNR0012", false, "\rPlug-N-Play\rMorvane / Station\r\r", ""},
      {"MNR0010", false, "\rPlug-N-Play\rMorvane / Zephane\r\r", "PnP_ID_Found "},
      {"", false, "\rPlug-N-Play\r", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer);
    Sim_Bench b;
    b.Attach(1, std::make_unique<Raw_PnP_Device>(c.answer));
    b.session.Port_Number = 1;
    b.session.Debug_Mode = c.debug;
    Tablet_Identity& id = b.session.identity;
    const std::vector<std::pair<bool*, const char*>> flags = {
        {&id.PnP_ID_Found, "PnP_ID_Found "},     {&id.Quorral_III_Flag, "Quorral_III "},
        {&id.Dovrane_IV_VI_Flag, "Dovrane_IV_VI "}, {&id.Mirolex_III_Flag, "Mirolex_III "},
        {&id.Velliscope_V_Flag, "Velliscope_V "}, {&id.Pallivant_VII_Flag, "Pallivant_VII "},
        {&id.Velliscope_III_Flag, "Velliscope_III "}, {&id.Lumivane_Flag, "Lumivane "},
        {&id.PnP_Format, "PnP_Format "}};
    for (const auto& [flag, name] : flags) *flag = true;

    Probe_PnP(b.session);

    std::string set;
    for (const auto& [flag, name] : flags)
      if (*flag) set += name;
    EXPECT_EQ(set, c.flags);
    EXPECT_EQ(b.Log(), c.log);
    EXPECT_EQ(b.session.Search_Status, 0);
    EXPECT_EQ(b.session.reports.Report_Buffer, c.answer);
  }
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
  EXPECT_EQ(Log_Lines(b.Log()), (std::vector<std::string>{"", "Plug-N-Play", "Framing: 1200,M,7,2",
                                                          PnP_Id_String("KYE0005", "Pupilane"), "", "Pupilane:"}));
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

TEST(PnP_Id_String, RevisionIdentifierSerialClassDescriptionAndChecksumInParentheses) {
  EXPECT_EQ(PnP_Id_String("KYE0005", "Pupilane"), "(\x01$KYE0005\\00000001\\PEN\\\\Pupilane36)");
}

}  // namespace
}  // namespace stylomat
