// Report decoding throughput per family, against the fastest serial line
// the tablets use (38400 baud, ten bits a character: 3840 bytes a second).
//
// "reports/s" is the decoding speed; "x_line_rate" is how many times faster
// than the line can deliver reports the decoder takes them.
#include <benchmark/benchmark.h>

#include <string>

#include "core/report_state.h"
#include "core/tablet_identity.h"
#include "reports/report_decoders.h"

namespace {

using namespace stylomat;

constexpr double Line_Bytes_Per_Second = 38400.0 / 10.0;
constexpr int Packets_Per_Read = 16;  // what one read of the port may bring

std::string Packet(Report_Family family, int i) {
  const int x = (i * 37) % 12000;
  const int y = (i * 53) % 12000;
  auto c = [](int v) { return static_cast<char>(v); };
  switch (family) {
    case Report_Family::KV:
    case Report_Family::PnP:
      return {c(0x80 | (i & 7)), c(x & 127), c((x >> 7) & 127), c(y & 127), c((y >> 7) & 127)};
    case Report_Family::UIOF:
      return {c(0x40), c(i & 15), c(x & 63), c((x >> 6) & 63), c((x >> 12) & 15), c(y & 63), c((y >> 6) & 63),
              c((y >> 12) & 15)};
    case Report_Family::SuperSet:
    case Report_Family::Type5:
      return {c(0x80 | ((i & 15) << 2)), c((x >> 7) & 127), c(x & 127), c(i & 64), c((y >> 7) & 127), c(y & 127),
              c(0), c(i & 1), c(i & 127), c(22)};
  }
  return {};
}

void Select(Tablet_Identity& id, Report_Family family) {
  id.SuperSet_Format = family == Report_Family::SuperSet;
  id.KV_Format = family == Report_Family::KV;
  id.UIOF_Format = family == Report_Family::UIOF;
  id.PnP_Format = family == Report_Family::PnP;
  id.Type5_Format = family == Report_Family::Type5;
}

void Decode_Stream(benchmark::State& state, Report_Family family, int noise_bytes) {
  // The decoders need only the report state and the format flags.
  Tablet_Identity identity;
  Report_Decoding_State reports;
  Select(identity, family);
  reports.Sel_Zelta_Cursor = " 16 Button Puck";
  std::string read;
  for (int i = 0; i < Packets_Per_Read; ++i) {
    read.append(static_cast<std::size_t>(noise_bytes), '\x01');
    read += Packet(family, i);
  }
  std::string& buffer = reports.Report_Buffer;
  buffer.reserve(4 * read.size());

  std::int64_t decoded = 0;
  for (auto _ : state) {
    buffer.append(read);
    while (Buffer_Holds_Packet(identity, reports) && Decode_Report(reports, identity).packets > 0) ++decoded;
    benchmark::DoNotOptimize(reports.Current_Report);
  }
  const double line_reports_per_second = Line_Bytes_Per_Second / static_cast<double>(Format_Of(family).length);
  state.SetItemsProcessed(decoded);
  state.counters["reports/s"] = benchmark::Counter(static_cast<double>(decoded), benchmark::Counter::kIsRate);
  state.counters["x_line_rate"] =
      benchmark::Counter(static_cast<double>(decoded) / line_reports_per_second, benchmark::Counter::kIsRate);
}

void BM_Decode_SuperSet(benchmark::State& state) { Decode_Stream(state, Report_Family::SuperSet, 0); }
void BM_Decode_KV(benchmark::State& state) { Decode_Stream(state, Report_Family::KV, 0); }
void BM_Decode_UIOF(benchmark::State& state) { Decode_Stream(state, Report_Family::UIOF, 0); }
void BM_Decode_PnP(benchmark::State& state) { Decode_Stream(state, Report_Family::PnP, 0); }
void BM_Decode_Type5(benchmark::State& state) { Decode_Stream(state, Report_Family::Type5, 0); }
// Three bytes of line noise before every report: the sync search at work.
void BM_Decode_KV_Noisy(benchmark::State& state) { Decode_Stream(state, Report_Family::KV, 3); }

BENCHMARK(BM_Decode_SuperSet);
BENCHMARK(BM_Decode_KV);
BENCHMARK(BM_Decode_UIOF);
BENCHMARK(BM_Decode_PnP);
BENCHMARK(BM_Decode_Type5);
BENCHMARK(BM_Decode_KV_Noisy);

}  // namespace

BENCHMARK_MAIN();
