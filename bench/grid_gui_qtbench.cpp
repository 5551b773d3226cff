// The grid and button test in the whole program: the main window on the
// offscreen platform, a simulated tablet found by a port icon's search,
// the test started from its menu entry and ended by "E&xit Grid / Button
// Test", everything on the real clock unless said otherwise.
//
// BM_Grid_Gui_Idle: a tablet that stops after its first strokes; ten
//   seconds of the test with nothing arriving.  cpu_per_wall: process CPU
//   seconds per second (target at most 0.01).
// BM_Grid_Gui_Streaming/<profile>: a tablet streaming at its own rate and
//   framing (dovrane4: SuperSet packets of 10 bytes at 19200 baud, 100 a
//   second; kv: KV packets of 5 bytes at 9600 baud, 100 a second); ten
//   seconds after a second's warm-up.  cpu_per_wall (target at most 0.05);
//   latency_p50_ms, latency_p99_ms, latency_max_ms: from the moment a
//   packet's last byte has arrived to the moment its stroke is in the
//   drawing (target: p99 at most one display frame, 16 ms).
// BM_Grid_Gui_Million_Reports: the same window on the virtual clock, a
//   million KV reports; heap_growth_bytes: the heap in use after the
//   millionth report less the heap in use after the first fifty thousand
//   (target: no growth with the reports).
//
// Runs on the offscreen platform unless QT_QPA_PLATFORM names another.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTimer>
#include <malloc.h>
#include <time.h>

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "core/session.h"
#include "gui/grid_panel.h"
#include "gui/grid_view.h"
#include "gui/main_window.h"
#include "sim/profiles.h"
#include "sim/sim_device.h"

namespace {

using namespace stylomat;

QApplication& App() {
  static QApplication* app = [] {
    if (!std::getenv("QT_QPA_PLATFORM")) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "grid_gui_qtbench";
    static char* argv[] = {name, nullptr};
    return new QApplication(argc, argv);
  }();
  return *app;
}

double Cpu_Seconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// A simulated tablet that notes when the last byte of each report it
// streams has arrived at the host (the tablet's transmitter is free then).
class Timed_Tablet final : public Sim_Device {
 public:
  explicit Timed_Tablet(std::unique_ptr<Sim_Device> inner)
      : Sim_Device(inner->Device_Framing()), inner_(std::move(inner)) {}
  void On_Byte(Sim_Link& link, unsigned char byte) override {
    inner_->On_Byte(link, byte);
    Follow();
  }
  void On_Lines(Sim_Link& link, bool dtr, bool rts) override {
    inner_->On_Lines(link, dtr, rts);
    Follow();
  }
  void On_Break(Sim_Link& link, bool on) override {
    inner_->On_Break(link, on);
    Follow();
  }
  void On_Timer(Sim_Link& link) override {
    const double before = link.Transmit_Free_At();
    inner_->On_Timer(link);
    Follow();
    if (link.Transmit_Free_At() > before) arrivals.push_back(link.Transmit_Free_At());
  }
  std::deque<double> arrivals;

 private:
  void Follow() { Set_Device_Framing(inner_->Device_Framing()); }
  std::unique_ptr<Sim_Device> inner_;
};

// The program with one simulated tablet on COM1.
struct Program {
  Program(Clock& clock, const std::string& profile) : clock(clock) {
    App();
    const Sim_Profile* p = Find_Sim_Profile(profile);
    auto device = std::make_unique<Timed_Tablet>(p->make());
    tablet = device.get();
    Port_Entry entry;
    entry.device = "simulated";
    entry.simulated = true;
    entry.backend = std::make_unique<Simulated_Port>(clock, std::move(device), p->faults);
    ports.Set(1, std::move(entry));
    session = std::make_unique<Session>(clock, ports, prompter);
    session->App_Dir = STYLOMAT_CLIP_DIR;
    window = std::make_unique<gui::Main_Window>(*session);
    window->End = [](int) {};
    window->Start("");
    window->Dispatch("Com_Btn_1");
  }
  Grid_Test& Test() { return window->grid_panel().Test(); }
  // Runs the test until `stop` says so; `stop` is asked by a timer every
  // 100 ms, a window event like the user's own.
  void Run_Test(const std::function<bool()>& stop) {
    QTimer poll;
    poll.setInterval(100);
    QObject::connect(&poll, &QTimer::timeout, [&] {
      if (stop()) window->Dispatch("Close_Window");
    });
    poll.start();
    tablet->arrivals.clear();
    window->Dispatch("Grid_btn");
  }

  Clock& clock;
  Port_Directory ports;
  Fixed_Prompter prompter;
  Timed_Tablet* tablet = nullptr;
  std::unique_ptr<Session> session;
  std::unique_ptr<gui::Main_Window> window;
};

void BM_Grid_Gui_Idle(benchmark::State& state) {
  for (auto _ : state) {
    Steady_Clock clock;
    Program program(clock, "kv-stops");  // falls silent after 150 reports
    const double start = clock.Now();
    double cpu0 = 0, wall0 = 0, cpu = 0, wall = 0;
    long passes0 = 0, passes = 0;
    program.Run_Test([&] {
      const double now = clock.Now();
      if (wall0 == 0 && now - start >= 3.0) {
        wall0 = now;
        cpu0 = Cpu_Seconds();
        passes0 = program.Test().Statistics().passes;
        return false;
      }
      if (wall0 > 0 && now - wall0 >= 10.0) {
        wall = now - wall0;
        cpu = Cpu_Seconds() - cpu0;
        passes = program.Test().Statistics().passes - passes0;
        return true;
      }
      return false;
    });
    state.counters["cpu_per_wall"] = cpu / wall;
    state.counters["passes_per_s"] = static_cast<double>(passes) / wall;
    state.counters["reports"] = static_cast<double>(program.Test().Statistics().reports);
  }
}

void BM_Grid_Gui_Streaming(benchmark::State& state, const std::string& profile) {
  for (auto _ : state) {
    Steady_Clock clock;
    Program program(clock, profile);
    std::vector<double> latencies;
    latencies.reserve(4096);
    long decoded = 0;
    bool measuring = false;
    program.Test().On_Report = [&] {
      const double now = clock.Now();
      std::deque<double>& arrivals = program.tablet->arrivals;
      if (arrivals.empty()) return;
      const double arrived = arrivals.front();
      arrivals.pop_front();
      ++decoded;
      if (measuring) latencies.push_back(now - arrived);
    };
    const double start = clock.Now();
    double cpu0 = 0, wall0 = 0, cpu = 0, wall = 0;
    long reports0 = 0, reports = 0;
    program.Run_Test([&] {
      const double now = clock.Now();
      if (!measuring && wall0 == 0 && now - start >= 1.0) {
        measuring = true;
        wall0 = now;
        cpu0 = Cpu_Seconds();
        reports0 = decoded;
        return false;
      }
      if (measuring && now - wall0 >= 10.0) {
        measuring = false;
        wall = now - wall0;
        cpu = Cpu_Seconds() - cpu0;
        reports = decoded - reports0;
        return true;
      }
      return false;
    });
    std::sort(latencies.begin(), latencies.end());
    const auto at = [&](double q) {
      return latencies.empty() ? 0.0 : latencies[static_cast<std::size_t>(q * (latencies.size() - 1))] * 1000;
    };
    state.counters["cpu_per_wall"] = cpu / wall;
    state.counters["reports_per_s"] = static_cast<double>(reports) / wall;
    state.counters["latency_p50_ms"] = at(0.5);
    state.counters["latency_p99_ms"] = at(0.99);
    state.counters["latency_max_ms"] = at(1.0);
    state.counters["repaints_per_s"] =
        static_cast<double>(program.window->grid_panel().View().Repaints()) / (clock.Now() - start);
  }
}

void BM_Grid_Gui_Million_Reports(benchmark::State& state) {
  constexpr long Warm_Up = 50000;
  constexpr long Reports = 1000000;
  for (auto _ : state) {
    Virtual_Clock clock;
    Program program(clock, "kv");
    long decoded = 0;
    std::size_t heap_warm = 0;
    std::size_t heap_end = 0;
    Session& s = *program.session;
    program.Test().On_Report = [&] {
      program.tablet->arrivals.clear();
      ++decoded;
      if (decoded == Warm_Up) heap_warm = mallinfo2().uordblks;
      if (decoded == Reports) {
        heap_end = mallinfo2().uordblks;
        s.Stop_Test = true;
      }
    };
    program.Run_Test([] { return false; });
    state.counters["reports"] = static_cast<double>(decoded);
    state.counters["heap_after_warm_up"] = static_cast<double>(heap_warm);
    state.counters["heap_growth_bytes"] = static_cast<double>(heap_end) - static_cast<double>(heap_warm);
  }
}

BENCHMARK(BM_Grid_Gui_Idle)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
BENCHMARK_CAPTURE(BM_Grid_Gui_Streaming, dovrane4, std::string("dovrane4"))
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Grid_Gui_Streaming, kv, std::string("kv"))->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_Grid_Gui_Million_Reports)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
