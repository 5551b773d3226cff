// One SuperSet write with its read-back on a simulated Quorral III, in real
// time.  The write is paced by the tablet's prescribed pauses (0.75 s for
// the write, 0.075 s for the read-back); everything around them must add
// almost nothing and must not keep a CPU core busy.
//
// The prescribed pauses are measured by running the same write once on
// the virtual clock, where only the waits move time.  Counters:
//   waits_s          sum of the prescribed pauses
//   wall_over_waits  real duration / prescribed pauses   (target <= 1.02)
//   cpu_over_wall    process CPU time / real duration    (target <= 0.05)
#include <benchmark/benchmark.h>

#include <ctime>
#include <memory>
#include <stdexcept>

#include "core/session.h"
#include "platform/prompter.h"
#include "serial/serial_link.h"
#include "sim/profiles.h"
#include "superset/korv_protocol.h"
#include "superset/superset_form.h"

namespace {

using namespace stylomat;

double Cpu_Seconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// A Quorral III on COM1 with the port open as the search leaves it.
struct Korv_Session {
  explicit Korv_Session(Clock& clock) : session(clock, ports, prompter) {
    const Sim_Profile* p = Find_Sim_Profile("quorral3");
    if (!p) throw std::runtime_error("no quorral3 profile");
    Port_Entry entry;
    entry.device = "simulated";
    entry.simulated = true;
    entry.backend = std::make_unique<Simulated_Port>(clock, p->make(), p->faults);
    ports.Set(1, std::move(entry));
    session.identity.Quorral_III_Flag = true;
    session.Port_Number = 1;
    Open_Port(session, "9600,N,8,1");
    form = std::make_unique<SuperSet_Form>(session, Config_Window::KORV_form);
    form->Select_SuperSet(0);
    form->Table()[95] = {0x32, 0x40, 0x51, 0x07};
    korv = std::make_unique<KORV_Protocol>(*form);
  }
  Port_Directory ports;
  Fixed_Prompter prompter;
  Session session;
  std::unique_ptr<SuperSet_Form> form;
  std::unique_ptr<KORV_Protocol> korv;
};

double Prescribed_Pauses() {
  Virtual_Clock clock;
  Korv_Session k(clock);
  const double start = clock.Now();
  k.korv->Write_SuperSet(95, 95);
  return clock.Now() - start;
}

void BM_KORV_Write_With_Read_Back(benchmark::State& state) {
  const double waits = Prescribed_Pauses();
  double wall = 0;
  double cpu = 0;
  bool all_answered = true;
  for (auto _ : state) {
    state.PauseTiming();
    Steady_Clock clock;
    Korv_Session k(clock);
    state.ResumeTiming();
    const double wall_start = clock.Now();
    const double cpu_start = Cpu_Seconds();
    const KORV_Result r = k.korv->Write_SuperSet(95, 95);
    cpu += Cpu_Seconds() - cpu_start;
    wall += clock.Now() - wall_start;
    all_answered = all_answered && r == KORV_Result::Done && k.korv->Last_Read().size() == 1;
  }
  if (!all_answered) state.SkipWithError("the tablet did not read the SuperSet back");
  const double runs = static_cast<double>(state.iterations());
  state.counters["waits_s"] = waits;
  state.counters["wall_over_waits"] = wall / runs / waits;
  state.counters["cpu_over_wall"] = cpu / wall;
}

BENCHMARK(BM_KORV_Write_With_Read_Back)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
