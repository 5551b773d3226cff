#include "discovery/probe_uiof.h"

#include <gtest/gtest.h>

#include <tuple>

#include "sim/profiles.h"
#include "sim/uiof_tablet.h"
#include "support/sim_fixture.h"

namespace stylomat {
namespace {

using test::Log_Lines;
using test::Sim_Bench;
using Lines = std::vector<std::string>;

UIOF_Tablet& Attach_UIOF(Sim_Bench& b, UIOF_Tablet_Profile profile, Sim_Faults faults = {}) {
  auto device = std::make_unique<UIOF_Tablet>(std::move(profile));
  UIOF_Tablet& ref = *device;
  b.Attach(1, std::move(device), faults);
  b.session.Port_Number = 1;
  b.session.Debug_Mode = true;
  return ref;
}

// Answers "A" to ESC "g" and nothing else.
class Status_Only : public Sim_Device {
 public:
  Status_Only() : Sim_Device(*Parse_Framing("9600,E,7,2")) {}
  void On_Byte(Sim_Link& link, unsigned char byte) override {
    if (after_esc_ && byte == 'g') link.Send("A");
    after_esc_ = byte == 0x1B;
  }

 private:
  bool after_esc_ = false;
};

void Attach_Named(Sim_Bench& b, const std::string& profile) {
  b.Attach_Profile(1, profile);
  b.session.Port_Number = 1;
  b.session.Debug_Mode = true;
}

// "A" or "@" to ESC "g" is a UIOF tablet without the reset; the size comes
// from one report, and a tablet wider than high takes one more tick.
TEST(Probe_UIOF, StatusAnswerFindsTabletAndMeasuresItFromOneReport) {
  for (const auto& [profile, status, width, height, seconds] :
       std::vector<std::tuple<const char*, const char*, long, long, double>>{
           {"uiof", "A", 18000, 12000, 0.05 + 0.4375 + 0.05 + 0.1 + 0.05}, {"uiof-at", "@", 12000, 12000, 0.6375}}) {
    SCOPED_TRACE(profile);
    Sim_Bench b;
    Attach_Named(b, profile);

    Probe_UIOF(b.session);

    const Session& s = b.session;
    EXPECT_EQ(s.Search_Status, 0);
    EXPECT_TRUE(s.identity.UIOF_Format);
    EXPECT_EQ(s.identity.Tablet_Width, width);
    EXPECT_EQ(s.identity.Tablet_Height, height);
    EXPECT_TRUE(s.port.PortOpen());
    EXPECT_EQ(s.port.Settings(), "9600,E,7,2");
    EXPECT_EQ(s.Baud_Rate, 9600);
    EXPECT_EQ(s.Parity_Char, "E");
    EXPECT_EQ(s.Data_Bits, 7);
    EXPECT_EQ(s.Stop_Bits, 2);
    EXPECT_EQ(s.reports.Report_Buffer, UIOF_Report(width, height));
    EXPECT_EQ(s.Reply_Text, UIOF_Report(width, height));
    EXPECT_EQ(Log_Lines(b.Log()), (Lines{"", "Zelta UIOF:", "Framing: 9600,E,7,2", "Sent: Escg",
                                         std::string("From Tablet: ") + status, "Sent: Esca"}));
    EXPECT_EQ(b.Trace_Of("TX"), (Lines{"TX 1B 67", "TX 1B 61"}));
    // Tick, 7/16 s status wait, tick, two ticks after ESC "a" (and the extra one).
    EXPECT_NEAR(b.Now(), seconds, 1e-9);
  }
}

TEST(Probe_UIOF, IdentificationWithDotHashInTheMiddleCountsAfterTheResetWithItsWaits) {
  Sim_Bench b;
  Attach_Named(b, "uiof-x");  // answers "Z1.#U2" to ESC "x" only; 12000 wide, 18000 high
  const double start = b.Now();

  Probe_UIOF(b.session);

  EXPECT_EQ(b.session.Search_Status, 0);
  EXPECT_EQ(Log_Lines(b.Log()), (Lines{"", "Zelta UIOF:", "Framing: 9600,E,7,2", "Sent: Escg", "Sent: EscZ",
                                       "Sent: Escx", "From Tablet: Z1.#U2", "Sent: Esca"}));
  // ESC "g" 7/16 s and a tick before ESC "Z", a tick before ESC "x", 7/16 s
  // and a tick before ESC "a", two ticks after it; no extra tick for a
  // tablet higher than wide.
  // (The trace shows whole milliseconds: 0.5375 s reads 0.537.)
  EXPECT_EQ(b.Timed_Events(start, "TX"),
            (Lines{"0.050 TX 1B 67", "0.537 TX 1B 5A", "0.588 TX 1B 78", "1.075 TX 1B 61"}));
  EXPECT_NEAR(b.Now() - start, 1.075 + 0.1, 1e-9);
}

// One character for the status, six for the identification; the flush
// takes the rest before the size report.
TEST(Probe_UIOF, ReadsOnlyOneAndSixCharactersAndLeavesTheRestForTheFlush) {
  for (const auto& [status, identification, logged, rx] :
       std::vector<std::tuple<std::string, std::string, std::string, Lines>>{
           {"Axyz", "ZV.#UI", "From Tablet: A", {"RX 41", "RX 78 79 7A"}},
           {"", "AB.#CDEFGH", "From Tablet: AB.#CD", {"RX 41 42 2E 23 43 44", "RX 45 46 47 48"}}}) {
    SCOPED_TRACE(logged);
    Sim_Bench b;
    UIOF_Tablet_Profile p;
    p.status = status;
    p.identification = identification;
    Attach_UIOF(b, p);
    Probe_UIOF(b.session);
    EXPECT_EQ(b.session.Search_Status, 0);
    const Lines lines = Log_Lines(b.Log());
    EXPECT_EQ(Lines(lines.end() - 2, lines.end()), (Lines{logged, "Sent: Esca"}));
    EXPECT_EQ(b.Trace_Of("RX"), (Lines{rx[0], rx[1], "RX " + Wire_Trace::Hex_Bytes(UIOF_Report(p.width, p.height))}));
  }
}

TEST(Probe_UIOF, RepliesAreLoggedOnlyWhenTheyIdentifyAndNoAnswerClosesThePort) {
  Sim_Bench b;
  UIOF_Tablet_Profile p;
  p.status = "Q";
  p.identification = "NOPE!!";
  Attach_UIOF(b, p);
  Probe_UIOF(b.session);
  EXPECT_EQ(b.session.Search_Status, -1);
  EXPECT_FALSE(b.session.identity.UIOF_Format);
  EXPECT_FALSE(b.session.port.PortOpen());
  EXPECT_EQ(b.session.Reply_Text, "NOPE!!");
  EXPECT_EQ(Log_Lines(b.Log()),
            (Lines{"", "Zelta UIOF:", "Framing: 9600,E,7,2", "Sent: Escg", "Sent: EscZ", "Sent: Escx", "Not Found"}));
  EXPECT_EQ(b.Trace_Of("TX").size(), 3u);
}

TEST(Probe_UIOF, SizeReportShorterThanEightBytesIsAPortError) {
  {
    Sim_Bench b;
    Sim_Faults cut;
    cut.truncate_replies = 7;
    Attach_UIOF(b, UIOF_Tablet_Profile{}, cut);
    Probe_UIOF(b.session);
    EXPECT_EQ(b.session.Search_Status, -2);
    EXPECT_EQ(b.session.identity.Size_Text, "");
    EXPECT_EQ(b.session.identity.Tablet_Width, 0);
  }
  {
    // No answer at all: what an earlier probe left in the buffer is not a size.
    Sim_Bench b;
    b.Attach(1, std::make_unique<Status_Only>());
    b.session.Port_Number = 1;
    b.session.reports.Report_Buffer = UIOF_Report(4000, 3000);
    Probe_UIOF(b.session);
    EXPECT_EQ(b.session.Search_Status, -2);
    EXPECT_TRUE(b.session.identity.UIOF_Format);
    EXPECT_EQ(b.session.identity.Tablet_Width, 0);
    EXPECT_EQ(b.session.identity.Size_Text, "");
  }
}

}  // namespace
}  // namespace stylomat
