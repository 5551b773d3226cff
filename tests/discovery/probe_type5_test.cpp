#include "discovery/probe_type5.h"

#include <gtest/gtest.h>

#include "sim/profiles.h"
#include "sim/type5_tablet.h"
#include "support/sim_fixture.h"

namespace stylomat {
namespace {

using test::Log_Lines;
using test::Sim_Bench;
using Lines = std::vector<std::string>;

Type5_Tablet& Attach_Type5(Sim_Bench& b, Type5_Tablet_Profile profile, Sim_Faults faults = {}) {
  auto device = std::make_unique<Type5_Tablet>(std::move(profile));
  Type5_Tablet& ref = *device;
  b.Attach(1, std::move(device), faults);
  b.session.Port_Number = 1;
  b.session.Debug_Mode = true;
  return ref;
}

Type5_Tablet_Profile Quorral3() {
  Type5_Tablet_Profile p;
  p.version = "J5 V3.02";
  p.size = "SIZE1218";
  p.cursor = "CURSOR C16";
  return p;
}

TEST(Probe_Type5, QuorralIIIIsAskedOneCharacterAtATimeAndNamedByItsVersion) {
  Sim_Bench b;
  Type5_Tablet& tablet = Attach_Type5(b, Quorral3());
  const double start = b.Now();

  Probe_Type5(b.session);

  // 20 ticks: before opening, 2 after ESC, 2 after Ctrl-A, 1 before "VR",
  // 2 between the characters and 2 after each of the three commands, 2
  // after the last ESC.
  EXPECT_NEAR(b.Now() - start, 20 * 0.05, 1e-9);

  const Session& s = b.session;
  const Tablet_Identity& id = s.identity;
  EXPECT_EQ(s.Search_Status, 0);
  EXPECT_TRUE(id.Type5_Format);
  EXPECT_EQ(id.Firmware_Reply, "J5 V3.02");
  EXPECT_EQ(id.Firmware_Text, "J5 V3.02");
  EXPECT_EQ(s.main.Version_Lb.text, "J5 V3.02");
  EXPECT_EQ(id.Tablet_Width, 18000);
  EXPECT_EQ(id.Tablet_Height, 12000);
  EXPECT_TRUE(s.port.PortOpen());
  EXPECT_EQ(s.port.Settings(), "9600,N,8,1");
  (void)b.session.port.InBufferCount();  // lets the tablet hear the last ESC
  EXPECT_FALSE(tablet.In_Command_State());
  EXPECT_EQ(tablet.Lines(), (Lines{"", "VR", "SZ", "SC"}));

  EXPECT_EQ(Log_Lines(b.Log()), (Lines{"", "KORV Format TBL:", "Framing: 9600,N,8,1", "Sent: Ctl-A", "Sent: VR",
                                       "Sent: SZ", "Sent: SC", "Sent: Esc"}));
  // The commands go out one character a tick.
  EXPECT_EQ(b.Timed_Events(start, "TX"),
            (Lines{"0.050 TX 1B", "0.150 TX 01 0D", "0.300 TX 56", "0.350 TX 52", "0.400 TX 0D", "0.500 TX 53",
                   "0.550 TX 5A", "0.600 TX 0D", "0.700 TX 53", "0.750 TX 43", "0.800 TX 0D", "0.900 TX 1B"}));
}

TEST(Probe_Type5, CursorCodesFirstMatchingTestWins) {
  EXPECT_EQ(Type5_Cursor_From("P03 C04 C16"), 3);
  EXPECT_EQ(Type5_Cursor_From("C16 C04"), 6);
  EXPECT_EQ(Type5_Cursor_From("CURSOR C16"), 5);
  EXPECT_EQ(Type5_Cursor_From("CURSOR P3"), 0);
}

TEST(Probe_Type5, PromptLongerThanThirtyCharactersSpillsIntoTheVersionAnswer) {
  Sim_Bench b;
  Type5_Tablet_Profile p = Quorral3();
  p.banner = "\r\nKORV> Type 5 Tablet, Quorral III series";  // 41 characters before the tail
  Attach_Type5(b, p);
  b.session.Debug_Mode = false;
  Probe_Type5(b.session);
  const std::string prompt = p.banner + Type5_Answer_Tail;
  EXPECT_EQ(b.session.Reply_Text, prompt.substr(0, 30));
  EXPECT_EQ(b.session.Search_Status, 0);
  EXPECT_EQ(b.session.identity.Firmware_Reply, "J5 V3.02");
  // The rest of the prompt was read with the version answer.
  const auto rx = b.Trace_Of("RX");
  ASSERT_GE(rx.size(), 2u);
  const std::string version_answer = prompt.substr(30) + "VERSION J5 V3.02" + Type5_Answer_Tail;
  EXPECT_EQ(rx[1], "RX " + Wire_Trace::Hex_Bytes(version_answer));
}

// Answers "VR" without the word VERSION.
class Revision_Answer : public Type5_Command_Handler {
 public:
  bool On_Command_Line(Type5_Tablet& tablet, Sim_Link& link, const std::string& line) override {
    if (line != "VR") return false;
    tablet.Send_Answer(link, "REV J5");
    return true;
  }
};

TEST(Probe_Type5, VersionParsingStripsTheLastFourCharacters) {
  std::string v = "old";
  EXPECT_TRUE(Type5_Version_From("VERSION AE 1.0\r\n> ", v));
  EXPECT_EQ(v, "AE 1.0");
  EXPECT_TRUE(Type5_Version_From("xxVERSION:J2\r\n> ", v));
  EXPECT_EQ(v, "J2");
  EXPECT_TRUE(Type5_Version_From("VERSION J", v));  // too short for the four last characters
  EXPECT_EQ(v, "");
  v = "old";
  EXPECT_FALSE(Type5_Version_From("Version J5\r\n> ", v));
  EXPECT_EQ(v, "old");

  // Without "VERSION" the firmware stays as it was and names the model.
  Sim_Bench b;
  Type5_Tablet_Profile p = Quorral3();
  p.make_handler = [] { return std::make_unique<Revision_Answer>(); };
  Attach_Type5(b, p);
  b.session.identity.Firmware_Reply = "AA 0.9";
  Probe_Type5(b.session);
  EXPECT_EQ(b.session.Search_Status, 0);
  EXPECT_EQ(b.session.identity.Firmware_Reply, "AA 0.9");
  EXPECT_EQ(b.session.identity.Model_Name, "KORV, Mirolex");
}

TEST(Probe_Type5, SizeNoneIsNotAvailableAndWithoutDigitsAtFiveToEightAPortErrorWithoutReadingOn) {
  struct Case {
    std::string size;
    int status;
    std::string size_text;
    std::string last_sent;  // nothing after "SZ" on an error
    std::string reason;     // why the search will say "Comport Error"
  };
  const std::string tail = "\\x0D\\x0A> \", which is not a size";
  const std::string answered = "the tablet on COM1 answered its size question with \"";
  for (const Case& c : std::vector<Case>{{"NONE", 0, "N/A", "TX 1B", ""},
                                         {"SIZE12X8", -2, "", "TX 0D", answered + "SIZE12X8" + tail},
                                         {"SIZE", -2, "", "TX 0D", answered + "SIZE" + tail},
                                         {"", -2, "", "TX 0D", answered + tail},
                                         {"SIZE 1 2", -2, "", "TX 0D", answered + "SIZE 1 2" + tail},
                                         {"SIZ\x1b[2J18", -2, "", "TX 0D", answered + "SIZ\\x1B[2J18" + tail}}) {
    SCOPED_TRACE(c.size);
    Sim_Bench b;
    Type5_Tablet_Profile p = Quorral3();
    p.size = c.size;
    Attach_Type5(b, p);
    b.session.identity.Tablet_Width = 99;
    Probe_Type5(b.session);
    EXPECT_EQ(b.session.Search_Status, c.status);
    EXPECT_EQ(b.session.identity.Tablet_Width, 99);
    EXPECT_EQ(b.session.identity.Size_Text, c.size_text);
    EXPECT_EQ(b.Trace_Of("TX").back(), c.last_sent);
    EXPECT_EQ(b.session.Failure_Reason, c.reason);
  }
  Type5_Size size;
  EXPECT_TRUE(Type5_Size_From("SIZE0609", size));
  EXPECT_EQ(size.height_inches, 6);
  EXPECT_EQ(size.width_inches, 9);
  EXPECT_FALSE(Type5_Size_From("SIZE060", size));
  EXPECT_FALSE(Type5_Size_From("SIZE-609", size));
}

// A model's own commands plug into the command state.
class Echo_Handler : public Type5_Command_Handler {
 public:
  bool On_Command_Line(Type5_Tablet& tablet, Sim_Link& link, const std::string& line) override {
    if (line != "RR") return false;
    tablet.Send_Answer(link, "SUPERSET?");
    return true;
  }
  bool On_Command_Byte(Type5_Tablet&, Sim_Link&, unsigned char byte) override {
    ++bytes;
    return byte == 0xFF;  // taken raw
  }
  int bytes = 0;
};

TEST(Type5_Tablet, CommandHandlerSeesBytesAndLinesFirst) {
  Sim_Bench b;
  Type5_Tablet_Profile p = Quorral3();
  p.make_handler = [] { return std::make_unique<Echo_Handler>(); };
  Type5_Tablet& tablet = Attach_Type5(b, p);
  b.session.port.Set_PortOpen(false);
  b.session.port.Set_Settings("9600,N,8,1");
  b.session.port.Set_CommPort(1);
  b.session.port.Set_PortOpen(true);
  b.session.port.Output(std::string("\x01RR\r\xFFQQ\r\x1b", 9));
  b.clock.Advance(0.2);
  b.session.port.Set_InputLen(0);
  EXPECT_EQ(b.session.port.Input(), std::string("SUPERSET?") + Type5_Answer_Tail + "?" + Type5_Answer_Tail);
  auto* handler = dynamic_cast<Echo_Handler*>(tablet.Handler());
  ASSERT_NE(handler, nullptr);
  EXPECT_EQ(handler->bytes, 8);  // everything after the Ctrl-A, ESC included
  EXPECT_EQ(tablet.Lines(), (Lines{"RR", "QQ"}));
}

}  // namespace
}  // namespace stylomat
