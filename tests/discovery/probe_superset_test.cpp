#include "discovery/probe_superset.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "discovery/size_text.h"
#include "serial/serial_link.h"
#include "sim/profiles.h"
#include "sim/superset_tablet.h"
#include "support/sim_fixture.h"

namespace stylomat {
namespace {

using test::Log_Lines;
using test::Sim_Bench;
using Lines = std::vector<std::string>;

// A SuperSet tablet of a named profile on COM3, kept at hand for checks.
struct Probe_Bench {
  explicit Probe_Bench(const std::string& profile, Sim_Faults faults = {}) {
    auto device = Find_Sim_Profile(profile)->make();
    tablet = dynamic_cast<SuperSet_Tablet*>(device.get());
    port = &b.Attach(3, std::move(device), faults);
    b.session.Port_Number = 3;
  }

  Sim_Bench b;
  SuperSet_Tablet* tablet = nullptr;
  Simulated_Port* port = nullptr;
};

// The exchange's log lines are checked with the whole search's log.
TEST(Probe_SuperSet, CommandsFollowTickByTickAndTabletAndPortEndAt19200) {
  Probe_Bench p("dovrane4");

  Probe_SuperSet(p.b.session);

  // The wake-up ends two ticks after its "%__S"; the first question
  // follows one tick later; the port reopens a tick after the last command.
  EXPECT_EQ(p.b.Timed_Events(0, "TX"),
            (Lines{"0.750 TX 1B 25 5F 5F 53 0D", "0.900 TX 1B 25 5F 5F 70 0D", "1.000 TX 1B 25 5F 5F 56 0D",
                   "1.100 TX 1B 25 56 52 36 0D", "1.150 TX 1B 56 42 31 0D", "1.200 TX 1B 25 56 53 0D",
                   "1.300 TX 1B 25 43 30 4E 38 31 0D"}));
  EXPECT_EQ(p.b.Timed_Events(0, "OPEN"), (Lines{"0.000 OPEN 9600,n,8,2", "1.350 OPEN 19200,n,8,2"}));
  EXPECT_NEAR(p.b.Now(), 1.35, 1e-9);
  EXPECT_EQ(p.tablet->Commands(), (Lines{"%__S", "%__p", "%__V", "%VR6", "VB1", "%VS", "%C0N81"}));
  EXPECT_EQ(p.b.Log(), "");  // Debug_Mode off

  const Tablet_Identity& id = p.b.session.identity;
  EXPECT_EQ(p.b.session.Search_Status, 0);
  EXPECT_TRUE(id.SuperSet_Format);
  EXPECT_EQ(id.Product_Reply, "KORV Mensaro, Dovrane IV");
  EXPECT_EQ(id.Firmware_Reply, "DVIV V1.07");
  EXPECT_EQ(id.Firmware_Text, "DVIV V1.07");
  EXPECT_EQ(id.Settings_Reply, "43,49,46,61,06,10,80\r\n");
  EXPECT_EQ(id.Tablet_Width, 18000);
  EXPECT_EQ(id.Tablet_Height, 12000);
  EXPECT_TRUE(p.b.session.port.PortOpen());
  EXPECT_EQ(p.b.session.port.Settings(), "19200,n,8,2");
  EXPECT_EQ(id.Framing, "19200,n,8,2");
  EXPECT_EQ(p.tablet->Device_Framing(), *Parse_Framing("19200,n,8,2"));
}

// A SuperSet tablet whose size report carries the cursor-identity marker
// (a 4 Button Diamond Puck, identity 22) and two stray bytes after it.
class Marked_Size_Tablet : public SuperSet_Tablet {
 public:
  using SuperSet_Tablet::SuperSet_Tablet;

 protected:
  void On_Command(Sim_Link& link, const std::string& letters) override {
    if (letters != "%VS") return SuperSet_Tablet::On_Command(link, letters);
    std::string report = SuperSet_Report(Profile().width, Profile().height);
    report[3] = static_cast<char>(report[3] | 0x40);  // identity marker
    report[9] = 22;
    link.Send(report + "\x01\x02");
  }
};

TEST(Probe_SuperSet, SizeReportIsDecodedByTheReportDecoder) {
  Sim_Bench b;
  const auto& models = SuperSet_Model_Profiles();
  const auto dovrane4 = std::find_if(models.begin(), models.end(),
                                     [](const SuperSet_Model_Profile& m) { return std::string(m.name) == "dovrane4"; });
  ASSERT_NE(dovrane4, models.end());
  b.Attach(3, std::make_unique<Marked_Size_Tablet>(dovrane4->tablet));
  b.session.Port_Number = 3;
  b.session.reports.Cursor_Identified = false;

  Probe_SuperSet(b.session);

  ASSERT_EQ(b.session.Search_Status, 0);
  EXPECT_EQ(b.session.identity.Tablet_Width, 18000);
  EXPECT_EQ(b.session.identity.Tablet_Height, 12000);
  EXPECT_EQ(b.session.identity.Size_Text, "12 x 18");
  // The decoder saw the marker and took the packet off the buffer; only the
  // bytes after it stay for the next decode.
  EXPECT_TRUE(b.session.reports.Cursor_Identified);
  EXPECT_EQ(b.session.reports.Current_Report.Cur_X, 18000);
  EXPECT_EQ(b.session.reports.Current_Report.Cur_Y, 12000);
  EXPECT_EQ(b.session.reports.Current_Report.Cursor_Code, 6);
  EXPECT_EQ(b.session.reports.Report_Buffer, std::string("\x01\x02"));
}

// A question the tablet leaves unanswered leaves its fields as they were
// (no log line of an answer); the rest is read as usual.
TEST(Probe_SuperSet, UnansweredQuestionLeavesItsFieldsAsTheyWereAndTheTabletStillCounts) {
  struct Case {
    const char* profile;
    Lines asked_then;  // the silent question and the next command
    const char* model;
    const char* firmware;
    const char* size;
    long width;
  };
  for (const Case& c : std::vector<Case>{
           {"dovrane4-nop", {"Sent: Esc%__p", "Sent: Esc%__V"}, "KORV Mensaro, Mirolex II", "DVIV V1.07", "12 x 18",
            18000},
           {"dovrane4-nov", {"Sent: Esc%__V", "Sent: Esc%VR6"}, "KORV Mensaro, Dovrane IV", "old", "12 x 18", 18000},
           {"dovrane4-novs", {"Sent: Esc%VS", "Sent: Esc%C0N81"}, "KORV Mensaro, Dovrane IV", "DVIV V1.07", "N/A",
            7}}) {
    SCOPED_TRACE(c.profile);
    Probe_Bench p(c.profile);
    p.b.session.Debug_Mode = true;
    Tablet_Identity& id = p.b.session.identity;
    id.Model_Name = "KORV Mensaro, Mirolex II";  // from an earlier search
    id.Firmware_Text = "old";
    id.Size_Text = "N/A";
    id.Tablet_Width = 7;

    Probe_SuperSet(p.b.session);

    EXPECT_EQ(p.b.session.Search_Status, 0);
    EXPECT_EQ(id.Model_Name, c.model);
    EXPECT_EQ(id.Firmware_Text, c.firmware);
    EXPECT_EQ(id.Size_Text, c.size);
    EXPECT_EQ(id.Tablet_Width, c.width);
    EXPECT_TRUE(p.b.session.port.PortOpen());
    EXPECT_EQ(p.b.session.port.Settings(), "19200,n,8,2");
    const Lines lines = Log_Lines(p.b.Log());
    const auto asked = std::find(lines.begin(), lines.end(), c.asked_then[0]);
    ASSERT_NE(asked, lines.end());
    EXPECT_EQ(*(asked + 1), c.asked_then[1]);
  }
}

TEST(First_SuperSet_Position, DecodesTheReportLayoutIncludingItsHighBits) {
  for (const auto& [x, y] :
       std::vector<std::pair<long, long>>{{0, 0}, {12000, 12000}, {48000, 36000}, {16383, 16384}, {262143, 131071}}) {
    const auto p = First_SuperSet_Position(SuperSet_Report(x, y));
    ASSERT_TRUE(p);
    EXPECT_EQ(p->x, x);
    EXPECT_EQ(p->y, y);
  }
  // Bytes that cannot begin a report are skipped; a report cut short gives
  // nothing.
  const auto skipped = First_SuperSet_Position(std::string("\x01\x7f", 2) + SuperSet_Report(500, 600));
  ASSERT_TRUE(skipped);
  EXPECT_EQ(skipped->x, 500);
  EXPECT_EQ(skipped->y, 600);
  EXPECT_FALSE(First_SuperSet_Position(SuperSet_Report(500, 600).substr(0, 9)));
  EXPECT_FALSE(First_SuperSet_Position(std::string(40, '\x10')));
  EXPECT_FALSE(First_SuperSet_Position(""));
}

TEST(Size_Text, HeightFirstWithoutTrailingZeros) {
  EXPECT_EQ(Size_Text(12000, 12000, 1000), "12 x 12");
  EXPECT_EQ(Size_Text(12000, 18000, 1000), "12 x 18");
  EXPECT_EQ(Size_Text(12500, 12000, 1000), "12.5 x 12");
  EXPECT_EQ(Size_Text(6000, 8500, 1000), "6 x 8.5");
  EXPECT_EQ(Size_Text(12345, 500, 1000), "12.345 x 0.5");
  EXPECT_EQ(Size_Text(6000, 9000, 500), "12 x 18");
  EXPECT_EQ(Size_Text(0, 0, 1000), "0 x 0");
  EXPECT_EQ(Size_Text(2000000000, 1, 1000), "2000000 x 0.001");
  EXPECT_EQ(Size_Text(12000, 12000, 0), "N/A");
}

}  // namespace
}  // namespace stylomat
