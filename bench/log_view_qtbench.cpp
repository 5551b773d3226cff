// The log window's pane with a long traffic log: the cost of one refresh
// (take in the lines appended since the last one and repaint) must not grow
// with the length of the log, and the index over the log must stay small.
//
// Runs on the offscreen platform unless QT_QPA_PLATFORM names another.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCoreApplication>
#include <malloc.h>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "gui/log_view.h"
#include "core/traffic_log.h"

namespace {

using stylomat::Traffic_Log;
using stylomat::gui::Log_View;

QApplication& App() {
  static QApplication* app = [] {
    if (!std::getenv("QT_QPA_PLATFORM")) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "log_view_qtbench";
    static char* argv[] = {name, nullptr};
    return new QApplication(argc, argv);
  }();
  return *app;
}

// A log of typical lines: framings, commands, replies with binary bytes.
void Fill(Traffic_Log& log, long lines) {
  for (long i = 0; i < lines; ++i) {
    switch (i % 4) {
      case 0: log.Line("Framing: 9600,n,8,2"); break;
      case 1: log.Line("Sent: Esc%__p"); break;
      case 2: log.Line("From Tablet: \x1b%KORV SuperSet 12x12 " + std::to_string(i)); break;
      default: log.Line(std::string("From Tablet: \x80\x01\x7f\x20\x33\x00\x10", 20)); break;
    }
  }
}

long Resident_Bytes() {
  long pages_total = 0, pages_resident = 0;
  FILE* f = std::fopen("/proc/self/statm", "r");
  if (!f) return 0;
  if (std::fscanf(f, "%ld %ld", &pages_total, &pages_resident) != 2) pages_resident = 0;
  std::fclose(f);
  return pages_resident * 4096;
}

// One refresh after the log has grown to range(0) lines: two new lines
// taken in and the pane repainted.
void BM_Log_View_Refresh(benchmark::State& state) {
  App();
  Traffic_Log log;
  Fill(log, state.range(0));
  Log_View view(log);
  view.resize(700, 450);
  view.show();
  view.Catch_Up();
  QCoreApplication::processEvents();
  for (auto _ : state) {
    log.Line("Sent: Esc%VR");
    log.Line("From Tablet: \x1b" "KORV");
    view.Catch_Up();
    view.viewport()->repaint();
  }
  state.counters["lines"] = static_cast<double>(view.Line_Count());
}
BENCHMARK(BM_Log_View_Refresh)->Arg(1000)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

// Memory of a 10^6-line log shown in the pane: the log's own bytes, the
// pane's line index, and what the process grew by in all.
void BM_Log_View_Memory(benchmark::State& state) {
  App();
  for (auto _ : state) {
    ::malloc_trim(0);  // what earlier benchmarks freed must not hide the growth
    const long before = Resident_Bytes();
    Traffic_Log log;
    Fill(log, state.range(0));
    Log_View view(log);
    view.resize(700, 450);
    view.show();
    view.Catch_Up();
    view.viewport()->repaint();
    const long after = Resident_Bytes();
    state.counters["log_MB"] = static_cast<double>(log.Text().capacity()) / 1e6;
    state.counters["index_MB"] = static_cast<double>(view.Index_Bytes()) / 1e6;
    state.counters["resident_growth_MB"] = static_cast<double>(after - before) / 1e6;
    state.counters["index_bytes_per_line"] = static_cast<double>(view.Index_Bytes()) / static_cast<double>(view.Line_Count());
  }
}
BENCHMARK(BM_Log_View_Memory)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
