#include "discovery/probe_kv.h"

#include <gtest/gtest.h>

#include "discovery/port_search.h"
#include "serial/serial_link.h"
#include "sim/kv_tablet.h"
#include "sim/profiles.h"
#include "support/sim_fixture.h"

namespace stylomat {
namespace {

using test::Log_Lines;
using test::Sim_Bench;
using Lines = std::vector<std::string>;

KV_Tablet& Attach_KV(Sim_Bench& b, KV_Tablet_Profile profile, Sim_Faults faults = {}) {
  auto device = std::make_unique<KV_Tablet>(std::move(profile));
  KV_Tablet& ref = *device;
  b.Attach(1, std::move(device), faults);
  b.session.Port_Number = 1;
  b.session.Debug_Mode = true;
  return ref;
}

// An older tablet: no version or cursor answer, and its first size report
// comes out short.
KV_Tablet_Profile Obsolete() {
  KV_Tablet_Profile p;
  p.identification = "KV.#01";
  p.version.clear();
  p.cursor.clear();
  p.short_reports = 1;
  return p;
}

// A KV tablet mounted upright that ignores "b": it reports a portrait size
// whatever it is told.
class Portrait_Only : public Sim_Device {
 public:
  Portrait_Only() : Sim_Device(*Parse_Framing("9600,o,8,1")) {}
  void On_Byte(Sim_Link& link, unsigned char byte) override {
    if (byte == 'x') link.Send("KV.#PT");
    if (byte == 'a') link.Send(KV_Report(6000, 9000));
    if (byte == 'b') ++turns;
  }
  int turns = 0;
};

TEST(Probe_KV, FindsA4ButtonPuckTabletWithVersionCursorAndHalfResolutionSize) {
  Sim_Bench b;
  KV_Tablet_Profile p;
  p.width = 9000;
  p.height = 6000;
  Attach_KV(b, p);
  b.session.Dialog_Answer = 7;
  const double start = b.Now();

  Probe_KV(b.session);

  // Tick after opening, tick after NUL, 7/16 s for "x", three ticks for
  // ESC "z?", 1/8 s for "zt", a tick after "a" and a last tick.
  EXPECT_NEAR(b.Now() - start, 0.05 + 0.05 + 0.4375 + 0.15 + 0.125 + 0.05 + 0.05, 1e-9);
  // Flags, name and size as the catalogue test checks them for "kv".
  const Session& s = b.session;
  EXPECT_EQ(s.Search_Status, 0);
  EXPECT_EQ(s.identity.Firmware_Text, "2.10");
  EXPECT_EQ(s.main.Version_Lb.text, "2.10");
  EXPECT_EQ(s.identity.Tablet_Width, 9000);
  EXPECT_EQ(s.identity.Tablet_Height, 6000);
  EXPECT_EQ(s.Parity_Char, "o");
  EXPECT_EQ(s.Stop_Bits, 1);
  EXPECT_TRUE(b.prompter.asked.empty());
  EXPECT_EQ(b.session.Dialog_Answer, 7);
  EXPECT_EQ(Log_Lines(b.Log()), (Lines{"", "Zelta KV:", "Framing: 9600,o,8,1", "Sent: Null", "Sent: x",
                                       "From Tablet: KV.#20", "Sent: Escz?", "From Tablet: Zeltavision KV Version 2.10",
                                       "Sent: zt", "From Tablet: 4 BUTTON PUCK", "Sent: a"}));
  EXPECT_EQ(b.Trace_Of("TX"), (Lines{"TX 00", "TX 78", "TX 1B 7A 3F", "TX 7A 74", "TX 61"}));
}

TEST(Probe_KV, VersionWithoutVerTakesTheLastCharactersAndATooShortOneIsAFailedQuery) {
  std::string v;
  EXPECT_TRUE(KV_Version_From("KV Tablet Version 2.10", v));
  EXPECT_EQ(v, "2.10");
  EXPECT_TRUE(KV_Version_From("FIRMWARE2.5", v));  // no "Ver": the last length - 7
  EXPECT_EQ(v, "E2.5");
  EXPECT_TRUE(KV_Version_From("1234567", v));
  EXPECT_EQ(v, "");
  EXPECT_FALSE(KV_Version_From("123456", v));
  EXPECT_FALSE(KV_Version_From("xVer1.0", v));  // "Ver" at 1: 7 - 8 - 1 < 0

  Sim_Bench b;
  KV_Tablet_Profile p;
  p.version = "Ver1.0";
  Attach_KV(b, p);
  Probe_KV(b.session);  // the prompter answers Cancel
  ASSERT_EQ(b.prompter.asked.size(), 1u);
  EXPECT_EQ(b.session.Search_Status, -1);
  // The failure came before "zt": nothing after the version was sent.
  EXPECT_EQ(b.Trace_Of("TX").back(), "TX 1B 7A 3F");
}

TEST(Probe_KV, CursorTestsLaterOverrideEarlier) {
  const std::vector<std::pair<std::string, int>> cases = {
      {"4 BUTTON PUCK", 6}, {"2 BUTTON STYLUS", 7}, {"4 BUTTON STYLUS", 7}, {"STYLUS", 7}, {"MOUSE", 0}, {"", 0}};
  for (const auto& [text, code] : cases) {
    SCOPED_TRACE(text);
    Sim_Bench b;
    KV_Tablet_Profile p;
    p.cursor = text;
    Attach_KV(b, p);
    b.session.identity.Probe_Cursor = 3;
    Probe_KV(b.session);
    EXPECT_EQ(b.session.Search_Status, 0);
    EXPECT_EQ(b.session.identity.Probe_Cursor, code);
  }
}

TEST(Probe_KV, SixThousandCountsEachWayIsTwelveInchesSquare) {
  KV_Size size;
  EXPECT_TRUE(KV_Size_From(std::string("\x80\x70\x2E\x70\x2E", 5), size));
  EXPECT_EQ(size.width, 6000);
  EXPECT_EQ(size.height, 6000);
  EXPECT_FALSE(KV_Size_From(std::string("\x80\x70\x2E\x70", 4), size));

  Sim_Bench b;
  Attach_KV(b, KV_Tablet_Profile{});
  Probe_KV(b.session);
  EXPECT_EQ(b.session.identity.Size_Text, "12 x 12");
  EXPECT_EQ(b.session.reports.Report_Buffer, KV_Report(6000, 6000));
}

TEST(Probe_KV, PortraitSizeIsTurnedAlsoAfterThePowerCycleAndTheTurnsAreBounded) {
  {
    Sim_Bench b;
    b.Attach_Profile(1, "kv-portrait");
    b.session.Port_Number = 1;
    Probe_KV(b.session);
    EXPECT_EQ(b.session.Search_Status, 0);
    EXPECT_EQ(b.session.identity.Size_Text, "12 x 18");
    const auto tx = b.Trace_Of("TX");
    EXPECT_EQ(Lines(tx.end() - 3, tx.end()), (Lines{"TX 61", "TX 62", "TX 61"}));
  }
  {
    // The "a" asked again after the question is turned and asked once more;
    // only that last "a" has a log line.
    Sim_Bench b;
    b.prompter.Set_Positive(true);
    KV_Tablet_Profile p = Obsolete();
    p.width = 9000;
    p.height = 6000;
    p.portrait_first = true;
    Attach_KV(b, p);
    Probe_KV(b.session);
    ASSERT_EQ(b.session.Search_Status, 0);
    EXPECT_EQ(b.session.identity.Size_Text, "12 x 18");
    const auto tx = b.Trace_Of("TX");
    EXPECT_EQ(Lines(tx.end() - 4, tx.end()), (Lines{"TX 61", "TX 61", "TX 62", "TX 61"}));
    EXPECT_EQ(Log_Lines(b.Log()), (Lines{"", "Zelta KV:", "Framing: 9600,o,8,1", "Sent: Null", "Sent: x",
                                         "From Tablet: KV.#01", "Sent: Escz?", "Sent: zt", "From Tablet: ",
                                         "Sent: a", "Sent: a"}));
  }
  {
    Sim_Bench b;
    auto device = std::make_unique<Portrait_Only>();
    Portrait_Only& tablet = *device;
    b.Attach(1, std::move(device));
    b.session.Port_Number = 1;
    Probe_KV(b.session);
    EXPECT_EQ(b.session.Search_Status, 0);
    EXPECT_EQ(tablet.turns, KV_Max_Portrait_Turns);
    EXPECT_EQ(b.session.identity.Size_Text, "18 x 12");
    EXPECT_TRUE(b.session.identity.Half_Resolution);
  }
}

TEST(Probe_KV, SixteenButtonPuckIsSwitchedToUIOFAndNotClaimed) {
  Sim_Bench b;
  b.Attach_Profile(1, "kv16");
  b.session.Port_Number = 1;
  b.session.Debug_Mode = true;
  Probe_KV(b.session);

  const Tablet_Identity& id = b.session.identity;
  EXPECT_EQ(b.session.Search_Status, -1);
  EXPECT_FALSE(id.KV_Format);
  EXPECT_TRUE(id.UIOF_Format);
  EXPECT_EQ(id.Probe_Cursor, 5);
  EXPECT_FALSE(b.session.port.PortOpen());
  EXPECT_TRUE(b.prompter.asked.empty());
  EXPECT_EQ(b.Trace_Of("TX").back(), "TX 7A 75");
  const auto lines = Log_Lines(b.Log());
  EXPECT_EQ(Lines(lines.end() - 5, lines.end()),
            (Lines{"Sent: zu", "Reset Tablet to UIOF format..", " Computer is sending breaks when port is closed",
                   " resetting tablet into an KV format!", "Not Found"}));
}

TEST(Probe_KV, ObsoleteTabletAnsweredOKIsTakenWithTheSizeReadAfterThePowerCycle) {
  Sim_Bench b;
  b.prompter.Set_Positive(true);
  Attach_KV(b, Obsolete());
  b.session.identity.Model_Name = "stale";
  const double start = b.Now();

  Probe_KV(b.session);

  ASSERT_EQ(b.prompter.asked.size(), 1u);
  const Question& q = b.prompter.asked[0];
  EXPECT_EQ(q.title, "Obsolete Zeltavision Tablet");
  EXPECT_EQ(q.text,
            "A Zeltavision KV Compatible tablet was found!\r\n\r\nPower the Tablet OFF and back ON.\r\nPress OK when "
            "finished.");
  EXPECT_EQ(q.buttons, Buttons::OK_Cancel);
  const Session& s = b.session;
  EXPECT_EQ(s.Search_Status, 0);
  EXPECT_FALSE(s.identity.KV_Format);
  EXPECT_TRUE(s.identity.KV_Alt_Format);
  EXPECT_EQ(s.Dialog_Answer, 0);
  EXPECT_EQ(s.identity.Model_Name, "Zeltavision, KV Compatible");  // named although "stale" before
  EXPECT_EQ(s.identity.Size_Text, "12 x 12");
  EXPECT_TRUE(s.port.PortOpen());
  // The short report, then after the question one more "a" whose answer
  // gives the size; that "a" has no log line.
  EXPECT_EQ(b.Trace_Of("TX"), (Lines{"TX 00", "TX 78", "TX 1B 7A 3F", "TX 7A 74", "TX 61", "TX 61"}));
  EXPECT_EQ(b.Trace_Of("RX").back(), "RX 80 70 2E 70 2E");
  EXPECT_EQ(Log_Lines(b.Log()), (Lines{"", "Zelta KV:", "Framing: 9600,o,8,1", "Sent: Null", "Sent: x",
                                       "From Tablet: KV.#01", "Sent: Escz?", "Sent: zt", "From Tablet: ", "Sent: a"}));
  // Open tick, NUL tick, 7/16 s, three ticks, 1/8 s, tick after the short
  // "a", tick after the "a" asked again, the closing tick.
  EXPECT_NEAR(b.Now() - start, 0.05 + 0.05 + 0.4375 + 0.15 + 0.125 + 0.05 + 0.05 + 0.05, 1e-9);
}

TEST(Probe_KV, ObsoleteTabletCancelledOrFailingAgainIsNotFound) {
  {
    Sim_Bench b;
    Attach_KV(b, Obsolete());
    Probe_KV(b.session);
    ASSERT_EQ(b.prompter.asked.size(), 1u);
    EXPECT_EQ(b.session.Search_Status, -1);
    EXPECT_EQ(b.session.Dialog_Answer, Dialog_Cancel);
    EXPECT_TRUE(b.session.identity.KV_Format);
    EXPECT_FALSE(b.session.identity.KV_Alt_Format);
    EXPECT_FALSE(b.session.port.PortOpen());
    EXPECT_EQ(Log_Lines(b.Log()).back(), "Not Found");
    EXPECT_EQ(b.Trace_Of("TX").back(), "TX 61");
  }
  {
    Sim_Bench b;
    b.prompter.Set_Positive(true);
    KV_Tablet_Profile p = Obsolete();
    p.short_reports = 5;
    Attach_KV(b, p);
    Probe_KV(b.session);
    EXPECT_EQ(b.prompter.asked.size(), 1u);  // asked once only
    EXPECT_EQ(b.session.Search_Status, -1);
    EXPECT_FALSE(b.session.port.PortOpen());
    EXPECT_EQ(b.Trace_Of("TX").size(), 6u);
  }
}

TEST(Probe_KV, PortFailingAfterTheTabletAnsweredIsAPortErrorWithoutTheQuestion) {
  Sim_Bench b;
  Sim_Faults vanish;
  vanish.vanish_at = 0.7;  // the adapter is pulled after the tablet answered ".#"
  Attach_KV(b, KV_Tablet_Profile{}, vanish);
  Probe_KV(b.session);
  EXPECT_EQ(b.session.Search_Status, -2);
  EXPECT_TRUE(b.prompter.asked.empty());
}

// The 16-button tablet in UIOF reporting returns to its KV command set on
// ESC "z1" (and only on the whole of it) or a break.
TEST(KV_Tablet, EscZ1InUIOFReportingReturnsToTheKVCommandSet) {
  for (const auto& [sent, back] : std::vector<std::pair<std::string, bool>>{{"\x1bz1", true},
                                                                          {"\x1bz2\x1b" "1z", false},
                                                                          {"z1", false},
                                                                          {"\x1b\x1bz1", true},
                                                                          {"\x1bZ\x1bz1", true}}) {
    SCOPED_TRACE(Wire_Trace::Hex_Bytes(sent));
    Sim_Bench b;
    auto device = Find_Sim_Profile("kv16")->make();
    auto* tablet = dynamic_cast<KV_Tablet*>(device.get());
    ASSERT_NE(tablet, nullptr);
    b.Attach(1, std::move(device));
    b.session.Port_Number = 1;
    Open_Port(b.session, "9600,o,8,1");
    b.session.port.Output("zu");
    b.clock.Advance(0.01);
    (void)b.session.port.InBufferCount();
    ASSERT_TRUE(tablet->In_UIOF());
    Open_Port(b.session, "9600,E,7,2");
    b.session.port.Output(sent);
    b.clock.Advance(0.01);
    (void)b.session.port.InBufferCount();
    EXPECT_EQ(tablet->In_UIOF(), !back);
    // Back at the KV framing it answers "x"; still in UIOF it hears nothing.
    Open_Port(b.session, "9600,o,8,1");
    b.session.port.Output("x");
    b.clock.Advance(0.05);
    EXPECT_EQ(b.session.port.Input(), back ? "KV.#16" : "");
  }
}

// The grid test's exchange on the 16-button tablet that a search found in
// UIOF format: every command but ESC "z1" logged, the waits of the probe,
// both passes answered, and the tablet left reporting in UIOF.
TEST(Reprobe_KV, SendsTheWholeSequenceTwiceAndEndsAtTheUIOFFraming) {
  Sim_Bench b;
  auto device = Find_Sim_Profile("kv16")->make();
  auto* tablet = dynamic_cast<KV_Tablet*>(device.get());
  ASSERT_NE(tablet, nullptr);
  b.Attach(1, std::move(device));
  b.session.Port_Number = 1;
  Search_Port(b.session);
  ASSERT_EQ(b.session.Search_Status, 0);
  ASSERT_TRUE(tablet->In_UIOF());
  b.session.Debug_Mode = true;
  b.session.identity.Probe_Cursor = 0;
  b.trace.clear();
  const std::size_t log_start = b.Log().size();
  const double start = b.Now();

  EXPECT_TRUE(Reprobe_KV(b.session));

  Lines events;
  for (const std::string& e : b.Trace_Events())
    if (e.find(" RX ") == std::string::npos) events.push_back(e.substr(e.find(' ') + 1));
  const Lines exchange = {"TX 00", "TX 78", "TX 7A 74", "TX 1B 7A 3F", "TX 7A 75"};
  Lines expected = {"BREAK 1", "TX 00", "BREAK 0", "CLOSE", "OPEN 9600,o,8,1"};
  expected.insert(expected.end(), exchange.begin(), exchange.end());
  for (const char* e : {"CLOSE", "OPEN 9600,E,7,2", "TX 1B 5A", "TX 1B 7A 31", "CLOSE", "OPEN 9600,o,8,1"})
    expected.push_back(e);
  expected.insert(expected.end(), exchange.begin(), exchange.end());
  expected.insert(expected.end(), {"CLOSE", "OPEN 9600,E,7,2"});
  EXPECT_EQ(events, expected);
  // Each pass: NUL tick, 7/16 s for "x", 1/8 s for "zt", three ticks for
  // ESC "z?"; one tick after ESC "z1" between the passes.
  EXPECT_NEAR(b.Now() - start, 2 * (0.05 + 0.4375 + 0.125 + 0.15) + 0.05, 1e-9);
  // ESC "Z" and ESC "z1" at the UIOF framing bring the tablet back to its
  // KV command set, so the second pass is answered as the first was.
  const Lines pass = {"Sent: Null", "Sent: x", "From Tablet: KV.#16", "Sent: zt", "From Tablet: 16 BUTTON PUCK",
                      "Sent: Escz?", "From Tablet: Zeltavision KV Version 3.00", "Sent: zu"};
  Lines log = {"Break ON, Null, Break OFF"};
  log.insert(log.end(), pass.begin(), pass.end());
  log.insert(log.end(), {"Sent: EscZ", "Framing: 9600,o,8,1"});
  log.insert(log.end(), pass.begin(), pass.end());
  EXPECT_EQ(Log_Lines(b.Log().substr(log_start)), log);
  const Lines answers = {"RX 4B 56 2E 23 31 36", "RX 31 36 20 42 55 54 54 4F 4E 20 50 55 43 4B",
                         "RX 5A 65 6C 74 61 76 69 73 69 6F 6E 20 4B 56 20 56 65 72 73 69 6F 6E 20 33 2E 30 30"};
  Lines both = answers;
  both.insert(both.end(), answers.begin(), answers.end());
  EXPECT_EQ(b.Trace_Of("RX"), both);

  const Tablet_Identity& id = b.session.identity;
  EXPECT_EQ(b.session.port.Settings(), "9600,E,7,2");
  EXPECT_TRUE(b.session.port.PortOpen());
  EXPECT_TRUE(id.UIOF_Format);
  EXPECT_FALSE(id.KV_Format);
  EXPECT_EQ(id.Probe_Cursor, 5);
  EXPECT_EQ(id.Firmware_Text, "3.00");
  b.clock.Advance(0.01);  // the last "zu" is still on the line
  (void)b.session.port.InBufferCount();
  EXPECT_TRUE(tablet->In_UIOF());
  // The grid test's ESC "M0" now brings UIOF reports.
  b.session.port.Output(std::string{'\x1b', 'M', '0'});
  b.clock.Advance(0.2);
  b.session.port.Set_InputLen(0);
  const std::string stream = b.session.port.Input();
  ASSERT_GE(stream.size(), 8u);
  for (std::size_t i = 0; i < stream.size(); ++i)  // whole packets, the last one may be on its way
    EXPECT_EQ(static_cast<unsigned char>(stream[i]) >= 64, i % 8 == 0) << i;

  Sim_Bench closed;
  closed.Attach_Profile(1, "kv16");
  closed.session.Port_Number = 1;
  EXPECT_FALSE(Reprobe_KV(closed.session));  // a closed port fails without throwing
}

}  // namespace
}  // namespace stylomat
