// The grid test's costs.
//
// BM_Grid_Million_Reports: a million KV reports through the decoder, the
// grid check and the drawing; the heap must not grow with the reports.
// Counters: live_bytes_before and live_bytes_after (heap in use around the
// run, the picture included), allocs_per_report.
//
// BM_Grid_Idle_Second: the test's loop on the steady clock with a tablet
// that sends nothing.  Each idle pass sleeps until a byte comes, one display
// frame at most, so an idle second must cost almost no CPU.  Counters:
// cpu_s_per_idle_s (process CPU seconds per second of the loop; target
// below 0.01), passes_per_idle_s (about 60).
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <ctime>
#include <new>
#include <string>

#include "core/session.h"
#include "platform/clip_player.h"
#include "reports/report_decoders.h"
#include "sim/kv_tablet.h"
#include "sim/profiles.h"
#include "testbench/grid_analysis.h"
#include "testbench/grid_test.h"

// ---- heap accounting: every allocation of this program ------------------------
namespace {
std::atomic<long long> live_bytes{0};
std::atomic<long long> allocations{0};
}  // namespace

// Not inlined: the compiler would otherwise see a new-expression's memory
// reach free() and take it for a mismatched pair.
__attribute__((noinline)) void* operator new(std::size_t size) {
  void* p = std::malloc(size ? size : 1);
  if (!p) throw std::bad_alloc();
  live_bytes += static_cast<long long>(malloc_usable_size(p));
  ++allocations;
  return p;
}
__attribute__((noinline)) void operator delete(void* p) noexcept {
  if (!p) return;
  live_bytes -= static_cast<long long>(malloc_usable_size(p));
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }

namespace {

using namespace stylomat;

double Cpu_Seconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

void BM_Grid_Million_Reports(benchmark::State& state) {
  constexpr long Reports = 1000000;
  for (auto _ : state) {
    Virtual_Clock clock;
    Port_Directory ports;
    Fixed_Prompter prompter;
    Session s(clock, ports, prompter);
    Recording_Clip_Player player;
    Grid_Canvas canvas;
    Grid_Context g{s, canvas, player};
    s.identity.KV_Format = true;
    s.main.grid.Tbl_Grid_Scale = Grid_Scale{0, 12000, 12000, 0};
    canvas.Set_Scale(s.main.grid.Tbl_Grid_Scale);
    s.reports.Report_Buffer.reserve(64);
    // Strokes across the tablet with a jump (a grid error) now and then.
    std::string stream;
    for (long i = 0; i < 1000; ++i) {
      const long x = (i * 37) % 12000 + (i % 97 == 0 ? 600 : 0);
      const long y = (i * 53) % 12000;
      stream += KV_Report(x % 12000, y, 1 + static_cast<int>(i % 3));
    }
    const long long before = live_bytes.load();
    const long long allocs_before = allocations.load();
    long errors = 0;
    for (long n = 0; n < Reports; ++n) {
      const std::size_t at = static_cast<std::size_t>(n % 1000) * 5;
      s.reports.Report_Buffer.append(stream, at, 5);
      Decode_Report(s.reports, s.identity);
      const Grid_Step step = Check_Grid_Step(g);
      errors += step == Grid_Step::Vertical_Error || step == Grid_Step::Horizontal_Error;
    }
    const long long after = live_bytes.load();
    benchmark::DoNotOptimize(errors);
    state.counters["live_bytes_before"] = static_cast<double>(before);
    state.counters["live_bytes_after"] = static_cast<double>(after);
    state.counters["allocs_per_report"] = static_cast<double>(allocations.load() - allocs_before) / Reports;
    state.counters["grid_errors"] = static_cast<double>(errors);
  }
  state.SetItemsProcessed(state.iterations() * Reports);
}

// Ends the loop one second after its first window events and measures the
// process's CPU time over that second.
struct Idle_Second : Front_End {
  explicit Idle_Second(Session& s) : s(s) {}
  void Process_Events() override {
    const double now = s.clock.Now();
    if (start < 0) {
      start = now;
      cpu = Cpu_Seconds();
    }
    ++passes;
    if (now - start >= 1.0) {
      s.Stop_Test = true;
      wall = now - start;
      cpu = Cpu_Seconds() - cpu;
    }
  }
  Session& s;
  double start = -1;
  double cpu = 0;
  double wall = 0;
  long passes = 0;
};

void BM_Grid_Idle_Second(benchmark::State& state) {
  double cpu = 0;
  double wall = 0;
  long passes = 0;
  for (auto _ : state) {
    Steady_Clock clock;
    Port_Directory ports;
    Port_Entry entry;
    entry.device = "simulated";
    entry.simulated = true;
    entry.backend = std::make_unique<Simulated_Port>(clock, std::make_unique<Silent_Device>());
    ports.Set(1, std::move(entry));
    Fixed_Prompter prompter;
    Session s(clock, ports, prompter);
    Idle_Second events(s);
    s.Set_Front_End(&events);
    s.identity.KV_Format = true;
    s.identity.Tablet_Width = 6000;
    s.identity.Tablet_Height = 6000;
    s.port.Set_CommPort(1);
    s.port.Set_Settings("9600,n,8,1");
    s.port.Set_PortOpen(true);
    Recording_Clip_Player player;
    Grid_Test test(s, player);
    test.Run_Grid_Test();
    cpu += events.cpu;
    wall += events.wall;
    passes += events.passes;
  }
  state.counters["cpu_s_per_idle_s"] = cpu / wall;
  state.counters["passes_per_idle_s"] = static_cast<double>(passes) / wall;
}

BENCHMARK(BM_Grid_Million_Reports)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Grid_Idle_Second)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
