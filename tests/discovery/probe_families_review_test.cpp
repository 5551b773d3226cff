// Log lines and timing of the KV, UIOF and Type-5 probes on paths the
// per-probe suites leave loose: the size asked again after the power-cycle
// question, the grid test's KV exchange, the UIOF identification query and
// a Type-5 port where nothing answers.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "discovery/port_search.h"
#include "discovery/probe_kv.h"
#include "discovery/probe_type5.h"
#include "discovery/probe_uiof.h"
#include "sim/kv_tablet.h"
#include "support/sim_fixture.h"

namespace stylomat {
namespace {

using test::Log_Lines;
using test::Sim_Bench;

double Time_Of(const std::string& line) { return std::stod(line.substr(0, line.find(' '))); }

std::vector<std::string> Tx_Lines(const Sim_Bench& b) {
  std::vector<std::string> out;
  for (const std::string& line : b.trace)
    if (line.find(" TX ") != std::string::npos) out.push_back(line);
  return out;
}

KV_Tablet_Profile Obsolete() {
  KV_Tablet_Profile p;
  p.identification = "KV.#01";
  p.version.clear();
  p.cursor.clear();
  p.short_reports = 1;
  return p;
}

TEST(Probe_KV_Review, SizeAskedAfterThePowerCycleQuestionIsNotLogged) {
  Sim_Bench b;
  b.prompter.Set_Positive(true);
  b.Attach(1, std::make_unique<KV_Tablet>(Obsolete()));
  b.session.Port_Number = 1;
  b.session.Debug_Mode = true;
  const double start = b.Now();

  Probe_KV(b.session);

  ASSERT_EQ(b.session.Search_Status, 0);
  EXPECT_TRUE(b.session.identity.KV_Alt_Format);
  // One "a" before the question (its answer was short), one after it.
  EXPECT_EQ(b.Trace_Of("TX"), (std::vector<std::string>{"TX 00", "TX 78", "TX 1B 7A 3F", "TX 7A 74", "TX 61",
                                                         "TX 61"}));
  EXPECT_EQ(Log_Lines(b.Log()), (std::vector<std::string>{"", "Zelta KV:", "Framing: 9600,o,8,1", "Sent: Null",
                                                          "Sent: x", "From Tablet: KV.#01", "Sent: Escz?",
                                                          "Sent: zt", "From Tablet: ", "Sent: a"}));
  // Open tick, NUL tick, 7/16 s, three ticks, 1/8 s, tick after the short
  // "a", tick after the "a" asked again, the closing tick.
  EXPECT_NEAR(b.Now() - start, 0.05 + 0.05 + 0.4375 + 0.15 + 0.125 + 0.05 + 0.05 + 0.05, 1e-9);
}

TEST(Probe_KV_Review, PortraitSizeAfterThePowerCycleTurnsAndAsksAgainWithItsLogLine) {
  Sim_Bench b;
  b.prompter.Set_Positive(true);
  KV_Tablet_Profile p = Obsolete();
  p.width = 9000;
  p.height = 6000;
  p.portrait_first = true;
  b.Attach(1, std::make_unique<KV_Tablet>(p));
  b.session.Port_Number = 1;
  b.session.Debug_Mode = true;

  Probe_KV(b.session);

  ASSERT_EQ(b.session.Search_Status, 0);
  EXPECT_EQ(b.session.identity.Size_Text, "12 x 18");
  const auto tx = b.Trace_Of("TX");
  EXPECT_EQ(std::vector<std::string>(tx.end() - 4, tx.end()),
            (std::vector<std::string>{"TX 61", "TX 61", "TX 62", "TX 61"}));
  const auto lines = Log_Lines(b.Log());
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "Sent: a"), 2);
  EXPECT_EQ(lines.back(), "Sent: a");
}

TEST(Reprobe_KV_Review, LogsEveryCommandButEscZ1AndTakesItsWaits) {
  Sim_Bench b;
  b.Attach_Profile(1, "kv16");
  b.session.Port_Number = 1;
  Search_Port(b.session);
  ASSERT_EQ(b.session.Search_Status, 0);
  b.session.Debug_Mode = true;
  const std::size_t log_start = b.Log().size();
  const double start = b.Now();

  ASSERT_TRUE(Reprobe_KV(b.session));

  // Each pass: NUL tick, 7/16 s for "x", 1/8 s for "zt", three ticks for
  // ESC "z?"; one tick after ESC "z1" between the passes.
  EXPECT_NEAR(b.Now() - start, 2 * (0.05 + 0.4375 + 0.125 + 0.15) + 0.05, 1e-9);
  const auto tx = b.Trace_Of("TX");
  EXPECT_NE(std::find(tx.begin(), tx.end(), "TX 1B 7A 31"), tx.end());  // still sent
  // The second pass finds the tablet already reporting in UIOF: silence.
  EXPECT_EQ(Log_Lines(b.Log().substr(log_start)),
            (std::vector<std::string>{"Break ON, Null, Break OFF", "Sent: Null", "Sent: x", "From Tablet: KV.#16",
                                      "Sent: zt", "From Tablet: 16 BUTTON PUCK", "Sent: Escz?",
                                      "From Tablet: Zeltavision KV Version 3.00", "Sent: zu", "Sent: EscZ",
                                      "Framing: 9600,o,8,1", "Sent: Null", "Sent: x", "From Tablet: ", "Sent: zt",
                                      "From Tablet: ", "Sent: Escz?", "Sent: zu"}));
}

TEST(Probe_UIOF_Review, IdentificationQueryTakesItsTicksAndWaits) {
  Sim_Bench b;
  b.Attach_Profile(1, "uiof-x");  // silent to ESC "g"; 12000 wide, 18000 high
  b.session.Port_Number = 1;
  const double start = b.Now();

  Probe_UIOF(b.session);

  ASSERT_EQ(b.session.Search_Status, 0);
  // Tick before opening, 7/16 s for ESC "g", a tick before ESC "Z" and one
  // before ESC "x", 7/16 s, a tick before ESC "a" and two after it; no
  // extra tick for a tablet higher than wide.
  EXPECT_NEAR(b.Now() - start, 0.05 + 0.4375 + 0.05 + 0.05 + 0.4375 + 0.05 + 0.1, 1e-9);
  const auto tx = Tx_Lines(b);
  ASSERT_EQ(tx.size(), 4u);
  EXPECT_NEAR(Time_Of(tx[1]) - Time_Of(tx[0]), 0.4375 + 0.05, 1e-3);
  EXPECT_NEAR(Time_Of(tx[2]) - Time_Of(tx[1]), 0.05, 1e-3);
  EXPECT_NEAR(Time_Of(tx[3]) - Time_Of(tx[2]), 0.4375 + 0.05, 1e-3);
}

TEST(Probe_Type5_Review, SilentPortIsNotFoundAfterFiveTicks) {
  Sim_Bench b;
  b.Attach_Profile(1, "empty");
  b.session.Port_Number = 1;
  const double start = b.Now();
  Probe_Type5(b.session);
  EXPECT_EQ(b.session.Search_Status, -1);
  EXPECT_NEAR(b.Now() - start, 5 * 0.05, 1e-9);
  EXPECT_EQ(b.Trace_Of("TX"), (std::vector<std::string>{"TX 1B", "TX 01 0D"}));
  EXPECT_EQ(b.Trace_Of("CLOSE").size(), 1u);
}

}  // namespace
}  // namespace stylomat
