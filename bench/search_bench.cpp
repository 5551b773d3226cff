// The port search in real time: one simulated SuperSet tablet found from its
// port icon, and "Search All Serial Ports" over eight ports where nothing
// answers, searched one after the other and all at once.  The search is
// paced by its prescribed waits (ticks, pauses, reply time-outs);
// everything around them must add almost nothing and must not keep a CPU
// core busy.
//
// The prescribed waits of a scenario are measured by running it once on
// the virtual clock, where only the waits move time.  Counters:
//   waits_s          sum of the prescribed waits
//   wall_over_waits  real duration / prescribed waits   (target <= 1.02)
//   cpu_over_wall    process CPU time / real duration   (target <= 0.05)
// The parallel search of eight empty ports takes about one port's waits:
//   wall_over_one_port  real duration / one empty port's waits (target <= 1.2)
// and a tablet on COM8 behind seven empty ports about the time of COM8
// alone, or of one empty port when that is longer (the empty ports must
// have been searched to the end before COM8 can be the result):
//   wall_over_alone     real duration / COM8 searched alone (target <= 1.2)
//   wall_over_longer    real duration / the longer of COM8 alone and one
//                       empty port's waits (what the search cannot beat)
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <ctime>
#include <memory>
#include <string>

#include "core/session.h"
#include "discovery/port_search.h"
#include "platform/prompter.h"
#include "serial/serial_link.h"
#include "sim/profiles.h"

namespace {

using namespace stylomat;

double Cpu_Seconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

using Port_Profiles = std::array<std::string, 8>;  // COM1..COM8, empty: nothing there

struct Bench_Session {
  Bench_Session(Clock& clock, const Port_Profiles& profiles) : session(clock, ports, prompter) {
    for (int com = 1; com <= 8; ++com) {
      const std::string& name = profiles[static_cast<std::size_t>(com - 1)];
      if (name.empty()) continue;
      const Sim_Profile* p = Find_Sim_Profile(name);
      Port_Entry entry;
      entry.device = "simulated";
      entry.simulated = true;
      entry.backend = std::make_unique<Simulated_Port>(clock, p->make(), p->faults);
      ports.Set(com, std::move(entry));
    }
    session.Port_Number = 0;
    Scan_Ports(session);
  }
  Port_Directory ports;
  Fixed_Prompter prompter;
  Session session;
};

using Scenario = void (*)(Session&);

void One_Tablet(Session& s) { Port_Icon_Command(s, 3); }
void Com8_Alone(Session& s) { Port_Icon_Command(s, 8); }
void All_Ports(Session& s) { Search_All_Ports(s); }
void All_Ports_In_Parallel(Session& s) { Search_All_Ports_Parallel(s); }

const Port_Profiles One_Tablet_Ports = {"", "", "dovrane4", "", "", "", "", ""};
const Port_Profiles Empty_Ports = {"empty", "empty", "empty", "empty", "empty", "empty", "empty", "empty"};
const Port_Profiles One_Empty_Port = {"", "", "", "", "", "", "", "empty"};

Port_Profiles Tablet_On_Com8(const std::string& profile, const std::string& before = "empty") {
  Port_Profiles ports;
  ports.fill(before);
  ports[7] = profile;
  return ports;
}

double Prescribed_Waits(Scenario scenario, const Port_Profiles& profiles) {
  Virtual_Clock clock;
  Bench_Session b(clock, profiles);
  const double start = clock.Now();
  scenario(b.session);
  return clock.Now() - start;
}

struct Run_Time {
  double wall = 0;
  double cpu = 0;
};

// One run of the scenario on the real clock (the ports set up beforehand,
// outside the time).
Run_Time Run_In_Real_Time(Scenario scenario, const Port_Profiles& profiles) {
  Steady_Clock clock;
  Bench_Session b(clock, profiles);
  const double wall_start = clock.Now();
  const double cpu_start = Cpu_Seconds();
  scenario(b.session);
  Run_Time t;
  t.cpu = Cpu_Seconds() - cpu_start;
  t.wall = clock.Now() - wall_start;
  benchmark::DoNotOptimize(b.session.Search_Status);
  return t;
}

// The runs of the benchmark's loop, added up.
Run_Time Timed_Runs(benchmark::State& state, Scenario scenario, const Port_Profiles& profiles) {
  Run_Time sum;
  for (auto _ : state) {
    const Run_Time t = Run_In_Real_Time(scenario, profiles);
    sum.wall += t.wall;
    sum.cpu += t.cpu;
  }
  return sum;
}

// Returns the real duration of one run.
double Real_Time_Search(benchmark::State& state, Scenario scenario, const Port_Profiles& profiles) {
  const double waits = Prescribed_Waits(scenario, profiles);
  const Run_Time sum = Timed_Runs(state, scenario, profiles);
  const double wall = sum.wall / static_cast<double>(state.iterations());
  state.counters["waits_s"] = waits;
  state.counters["wall_over_waits"] = wall / waits;
  state.counters["cpu_over_wall"] = sum.cpu / sum.wall;
  return wall;
}

void BM_Search_One_SuperSet_Tablet(benchmark::State& state) {
  (void)Real_Time_Search(state, One_Tablet, One_Tablet_Ports);
}
void BM_Search_All_Eight_Empty_Ports(benchmark::State& state) { (void)Real_Time_Search(state, All_Ports, Empty_Ports); }

void BM_Search_All_Eight_Empty_Ports_In_Parallel(benchmark::State& state) {
  const double wall = Real_Time_Search(state, All_Ports_In_Parallel, Empty_Ports);
  const double one_port = Prescribed_Waits(Com8_Alone, One_Empty_Port);
  state.counters["one_port_waits_s"] = one_port;
  state.counters["wall_over_one_port"] = wall / one_port;
}

void BM_Tablet_On_Com8_Behind_Seven_Empty_Ports_In_Parallel(benchmark::State& state, const char* profile) {
  const Run_Time alone = Run_In_Real_Time(Com8_Alone, Tablet_On_Com8(profile, ""));
  const Run_Time sum = Timed_Runs(state, All_Ports_In_Parallel, Tablet_On_Com8(profile));
  const double wall = sum.wall / static_cast<double>(state.iterations());
  const double one_empty_port = Prescribed_Waits(Com8_Alone, One_Empty_Port);
  state.counters["alone_s"] = alone.wall;
  state.counters["wall_s"] = wall;
  state.counters["wall_over_alone"] = wall / alone.wall;
  state.counters["wall_over_longer"] = wall / std::max(alone.wall, one_empty_port);
  state.counters["cpu_over_wall"] = sum.cpu / sum.wall;
}

BENCHMARK(BM_Search_One_SuperSet_Tablet)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_Search_All_Eight_Empty_Ports)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_Search_All_Eight_Empty_Ports_In_Parallel)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(3);
// A Type-5 tablet is found by the last probe (longer than an empty port),
// a SuperSet tablet by the second (shorter than an empty port).
BENCHMARK_CAPTURE(BM_Tablet_On_Com8_Behind_Seven_Empty_Ports_In_Parallel, quorral, "quorral")
    ->Unit(benchmark::kSecond)->UseRealTime()->Iterations(3);
BENCHMARK_CAPTURE(BM_Tablet_On_Com8_Behind_Seven_Empty_Ports_In_Parallel, dovrane4, "dovrane4")
    ->Unit(benchmark::kSecond)->UseRealTime()->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
