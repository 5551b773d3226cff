// The report streams of the simulated tablets as the grid test receives
// them: each tablet found by a search, sent its family's preparation
// commands, then read a tick at a time and decoded on the virtual clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <tuple>
#include <vector>

#include "discovery/port_search.h"
#include "discovery/probe_kv.h"
#include "reports/report_decoders.h"
#include "serial/serial_link.h"
#include "sim/report_script.h"
#include "support/sim_fixture.h"

namespace stylomat {
namespace {

struct Decoded {
  Current_Report_State r;
  double at;
};

struct Stream_Bench {
  Stream_Bench(const std::string& profile, const std::string& box) {
    b.Attach_Profile(1, profile);
    Port_Icon_Command(b.session, 1);
    b.session.reports.Sel_Zelta_Cursor = box;
    Prepare(b.session);
    started = b.Now();
    // The grid test's common reset before its loop.
    b.session.reports.Report_Buffer.clear();
    b.session.reports.Current_Report = {};
  }

  // The grid test's preparation of each family found.
  static void Prepare(Session& s) {
    const Tablet_Identity& id = s.identity;
    const auto send = [&](const std::string& bytes) {
      s.port.Output(bytes);
      Wait_Tick(s);
    };
    if (id.SuperSet_Format) {
      Wait_Tick(s);
      for (const char* c : {"%A1", "%VF", "%VA0", "%VA2", "%V5", "%N0", "%W200", "%Z2", "%JR1000,0", "%VB1"})
        send(Esc_Command(c));
    }
    const auto tick_send = [&](const std::string& bytes) {
      Wait_Tick(s);
      send(bytes);
    };
    if (id.KV_Format || id.KV_Alt_Format) tick_send("\x40");
    if (id.KV_Alt_Format) tick_send("\x40");
    if (id.UIOF_Format && Reprobe_KV(s)) tick_send("\x1bM0");
    if (id.PnP_Format) tick_send("\x40");
    if (id.Type5_Format)
      for (char c : std::string("\x01" "CN\r" "IV\r" "001\r" "OP\r" "R2\r" "\x1b")) send(std::string(1, c));
  }

  // Reads and decodes for this long, a tick at a time, or until the port fails.
  std::vector<Decoded> Read(double seconds) {
    Session& s = b.session;
    std::vector<Decoded> out;
    const double end = b.Now() + seconds;
    try {
      s.port.Set_InputLen(0);
      while (b.Now() < end) {
        Wait_Tick(s);
        const std::string got = s.port.Input();
        bytes += got.size();
        s.reports.Report_Buffer += got;
        while (Buffer_Holds_Packet(s.identity, s.reports) && Decode_Report(s.reports, s.identity).packets > 0)
          out.push_back({s.reports.Current_Report, b.Now()});
      }
    } catch (const Port_Error&) {
      failed_at = b.Now();
    }
    return out;
  }

  test::Sim_Bench b;
  double started = 0;
  std::size_t bytes = 0;
  double failed_at = -1;
};

struct Family {
  const char* profile;
  const char* box;  // the cursor box's text: the KV and UIOF decoders read the cursor from it
  double rate;      // reports a second
  Active_Area area;
  std::vector<int> buttons;  // the button codes, pressed in turn
  bool pressure;
  int cursor;  // the cursor code the reports leave
};

std::vector<int> Codes(int first, int count) {
  std::vector<int> codes;
  for (int k = 0; k < count; ++k) codes.push_back(first + k);
  return codes;
}

const std::vector<Family> Families = {
    {"dovrane4", "", 100, {0, 0, 18000, 12000}, Codes(1, 3), true, 4},
    {"mirolex2", "", 100, {0, 0, 12000, 12000}, Codes(1, 16), false, 0},
    {"belmora", "", 100, {0, 0, 12000, 12000}, Codes(1, 3), true, 4},
    {"kv", " 4 Button Puck", 100, {0, 0, 9000, 6000}, Codes(1, 4), false, 6},
    {"kv16", " 16 Button Puck", 80, {0, 0, 12000, 12000}, Codes(16, 16), false, 5},
    {"uiof", " 4 Button Puck", 80, {0, 0, 18000, 12000}, Codes(1, 4), false, 6},
    {"pupilane", "", 100, {800, 800, 6600, 4600}, Codes(1, 2), false, 7},
    {"quorral2", "", 75, {0, 0, 18000, 12000}, Codes(1, 3), false, -1},
    {"dovranex", "", 75, {0, 0, 24000, 18000}, Codes(1, 16), false, -1},
};

double Cycle_Seconds(const Family& f) {
  const Report_Script script(f.area, {static_cast<int>(f.buttons.size()), f.pressure ? 1 : 0});
  return script.Cycle_Reports() / f.rate;
}

// The in-proximity reports of the first stroke: from the first report in
// proximity while its first button is held.
std::vector<Decoded> Stroke(const std::vector<Decoded>& v, const Family& f) {
  std::size_t i = 0;
  while (i < v.size() && !v[i].r.In_Prox) ++i;
  std::vector<Decoded> stroke;
  for (; i < v.size() && v[i].r.In_Prox && v[i].r.Button_Code == f.buttons.front(); ++i) stroke.push_back(v[i]);
  return stroke;
}

// Steps above the grid test's 200-count jump limit along the stroke.
std::vector<std::tuple<long, long, long, long>> Jumps(const std::vector<Decoded>& stroke) {
  std::vector<std::tuple<long, long, long, long>> jumps;
  for (std::size_t i = 1; i < stroke.size(); ++i) {
    const Current_Report_State &a = stroke[i - 1].r, &c = stroke[i].r;
    if (std::abs(c.Cur_X - a.Cur_X) > 200 || std::abs(c.Cur_Y - a.Cur_Y) > 200)
      jumps.emplace_back(a.Cur_X, c.Cur_X, a.Cur_Y, c.Cur_Y);
  }
  return jumps;
}

TEST(Report_Stream, EachFamilyStreamsTheScriptAtItsRateAfterItsPreparation) {
  for (const Family& f : Families) {
    SCOPED_TRACE(f.profile);
    Stream_Bench t(f.profile, f.box);
    const std::vector<Decoded> v = t.Read(std::max(Cycle_Seconds(f) + 0.5, 3.5));
    ASSERT_GT(v.size(), static_cast<std::size_t>(Report_Script::Lifted_Reports));
    // Lifted for a moment, then into proximity at the lower left corner.
    for (int i = 0; i < Report_Script::Lifted_Reports; ++i) EXPECT_FALSE(v[i].r.In_Prox) << i;
    EXPECT_TRUE(v[Report_Script::Lifted_Reports].r.In_Prox);
    const std::vector<Decoded> stroke = Stroke(v, f);
    ASSERT_GE(stroke.size(), 2u);
    EXPECT_EQ(stroke.front().r.Cur_X, f.area.left);
    EXPECT_EQ(stroke.front().r.Cur_Y, f.area.bottom);
    EXPECT_EQ(stroke.back().r.Cur_X, f.area.right);
    EXPECT_EQ(stroke.back().r.Cur_Y, f.area.top);
    EXPECT_TRUE(Jumps(stroke).empty());
    // Then each button in turn (and the tip again for the pressure ramp),
    // until the cursor is lifted for the next stroke.
    std::vector<int> runs;
    std::vector<int> ramp;
    std::size_t i = Report_Script::Lifted_Reports + stroke.size();
    for (; i < v.size() && v[i].r.In_Prox; ++i) {
      if (runs.empty() || runs.back() != v[i].r.Button_Code) runs.push_back(v[i].r.Button_Code);
      if (runs.size() == 2 * f.buttons.size() + 2) ramp.push_back(v[i].r.Pressure);
    }
    ASSERT_LT(i, v.size());  // the next stroke began
    std::vector<int> expected_runs = {0};
    for (int code : f.buttons) expected_runs.insert(expected_runs.end(), {code, 0});
    if (f.pressure) expected_runs.push_back(f.buttons.front());
    EXPECT_EQ(runs, expected_runs);
    if (f.pressure) {  // from none to full, rising at every report
      ASSERT_EQ(ramp.size(), static_cast<std::size_t>(Report_Script::Ramp_Reports));
      EXPECT_EQ(ramp.front(), 0);
      EXPECT_GE(ramp.back(), 508);
      for (std::size_t k = 1; k < ramp.size(); ++k) EXPECT_GT(ramp[k], ramp[k - 1]) << k;
    }
    EXPECT_EQ(v.back().r.Cursor_Code, f.cursor);
    // The rate: reports decoded in two whole seconds after the first.
    long in_window = 0;
    for (const Decoded& d : v) in_window += d.at > t.started + 1.025 && d.at <= t.started + 3.025;
    EXPECT_NEAR(in_window, 2 * f.rate, 1);
  }
}

TEST(Report_Stream, ABrokenWireJumpsOnceAStrokeOnItsAxisWhereTheWireLies) {
  for (const Family& f : Families) {
    const Report_Script script(f.area, {});
    for (const bool across_x : {true, false}) {
      SCOPED_TRACE(std::string(f.profile) + (across_x ? "-brokenx" : "-brokeny"));
      Stream_Bench t(std::string(f.profile) + (across_x ? "-brokenx" : "-brokeny"), f.box);
      const auto jumps = Jumps(Stroke(t.Read(Cycle_Seconds(f)), f));
      ASSERT_EQ(jumps.size(), 1u);
      const auto [x0, x1, y0, y1] = jumps.front();
      const long wire = across_x ? script.Broken_Wire_X() : script.Broken_Wire_Y();
      const long from = across_x ? x0 : y0, to = across_x ? x1 : y1, other = across_x ? y1 - y0 : x1 - x0;
      EXPECT_LT(from, wire);
      EXPECT_EQ(to, wire + Report_Script::Broken_Wire_Gap);
      EXPECT_LE(std::abs(other), 200);
    }
  }
}

TEST(Report_Stream, NoiseBetweenThePacketsDecodesToTheCleanTabletsReports) {
  for (const Family& f : Families) {
    SCOPED_TRACE(f.profile);
    Stream_Bench clean(f.profile, f.box), noisy(std::string(f.profile) + "-noise", f.box);
    const auto key = [](const std::vector<Decoded>& v) {
      std::vector<std::tuple<int, int, bool, int, int, int, double>> k;
      for (const Decoded& d : v)
        k.emplace_back(d.r.Cur_X, d.r.Cur_Y, d.r.In_Prox, d.r.Button_Code, d.r.Pressure, d.r.Cursor_Code, d.at);
      return k;
    };
    const auto clean_reports = key(clean.Read(3)), noisy_reports = key(noisy.Read(3));
    EXPECT_GT(noisy.bytes, clean.bytes + clean_reports.size());  // at least a byte between each two
    EXPECT_EQ(noisy_reports, clean_reports);
  }
}

TEST(Report_Stream, AStoppingTabletFallsSilentAfter150Reports) {
  for (const Family& f : Families) {
    SCOPED_TRACE(f.profile);
    Stream_Bench t(std::string(f.profile) + "-stops", f.box);
    const std::vector<Decoded> v = t.Read(150 / f.rate + 2);
    EXPECT_EQ(v.size(), 150u);
    EXPECT_LT(v.back().at, t.started + 150 / f.rate + 0.1);
    EXPECT_EQ(t.b.session.port.InBufferCount(), 0);
  }
}

TEST(Report_Stream, AVanishingPortFailsTwoSecondsAfterTheStreamStarted) {
  for (const Family& f : Families) {
    SCOPED_TRACE(f.profile);
    Stream_Bench t(std::string(f.profile) + "-vanish", f.box);
    const std::vector<Decoded> v = t.Read(5);
    EXPECT_GE(v.size(), static_cast<std::size_t>(1.9 * f.rate));
    // The stream started within the tick before `started`.
    EXPECT_GT(t.failed_at, t.started + 1.95);
    EXPECT_LE(t.failed_at, t.started + 2.0 + 1e-9);
    EXPECT_THROW(t.b.session.port.InBufferCount(), Port_Error);
  }
}

}  // namespace
}  // namespace stylomat
