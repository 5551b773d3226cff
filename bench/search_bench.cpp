// The port search in real time: one simulated SuperSet tablet found from its
// port icon, and "Search All Serial Ports" over eight ports where nothing
// answers.  The search is paced by its prescribed waits (ticks, pauses,
// reply time-outs); everything around them must add almost nothing and
// must not keep a CPU core busy.
//
// The prescribed waits of a scenario are measured by running it once on
// the virtual clock, where only the waits move time.  Counters:
//   waits_s          sum of the prescribed waits
//   wall_over_waits  real duration / prescribed waits   (target <= 1.02)
//   cpu_over_wall    process CPU time / real duration   (target <= 0.05)
#include <benchmark/benchmark.h>

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

struct Bench_Session {
  Bench_Session(Clock& clock, const std::string (&profiles)[8]) : session(clock, ports, prompter) {
    for (int com = 1; com <= 8; ++com) {
      const std::string& name = profiles[com - 1];
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
void All_Empty_Ports(Session& s) { Search_All_Ports(s); }

const std::string One_Tablet_Ports[8] = {"", "", "dovrane4", "", "", "", "", ""};
const std::string Empty_Ports[8] = {"empty", "empty", "empty", "empty", "empty", "empty", "empty", "empty"};

double Prescribed_Waits(Scenario scenario, const std::string (&profiles)[8]) {
  Virtual_Clock clock;
  Bench_Session b(clock, profiles);
  const double start = clock.Now();
  scenario(b.session);
  return clock.Now() - start;
}

void Real_Time_Search(benchmark::State& state, Scenario scenario, const std::string (&profiles)[8]) {
  const double waits = Prescribed_Waits(scenario, profiles);
  double wall = 0;
  double cpu = 0;
  for (auto _ : state) {
    state.PauseTiming();
    Steady_Clock clock;
    Bench_Session b(clock, profiles);
    state.ResumeTiming();
    const double wall_start = clock.Now();
    const double cpu_start = Cpu_Seconds();
    scenario(b.session);
    cpu += Cpu_Seconds() - cpu_start;
    wall += clock.Now() - wall_start;
    benchmark::DoNotOptimize(b.session.Search_Status);
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["waits_s"] = waits;
  state.counters["wall_over_waits"] = wall / runs / waits;
  state.counters["cpu_over_wall"] = cpu / wall;
}

void BM_Search_One_SuperSet_Tablet(benchmark::State& state) { Real_Time_Search(state, One_Tablet, One_Tablet_Ports); }
void BM_Search_All_Eight_Empty_Ports(benchmark::State& state) { Real_Time_Search(state, All_Empty_Ports, Empty_Ports); }

BENCHMARK(BM_Search_One_SuperSet_Tablet)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_Search_All_Eight_Empty_Ports)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
