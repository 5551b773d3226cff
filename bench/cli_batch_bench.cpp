// Batch decoding through stylomat-cli in one process: 100 000 SuperSet
// records through "superset decode -" and 100 000 settings images (the
// tablet's 20-character replies) through "image decode -", fed on standard
// input and read back from standard output as string streams, through the
// program's own entry point (cli::Run), in the "Key: value" form and with
// --json.
//
// "records/s" is what a script gets out of one run; one run per record
// costs 7 to 10 ms of process start instead.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace {

constexpr int Records = 100000;

std::string Hex_Bytes(std::mt19937& random, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    char field[4];
    std::snprintf(field, sizeof field, "%02X", static_cast<unsigned>(random() % 256));
    text += (i ? "," : "") + std::string(field);
  }
  return text;
}

// The lines of standard input: `count` byte fields each, CR LF ended as a
// capture of tablet replies is.
const std::string& Lines(int count) {
  static std::string lines[8];
  std::string& text = lines[count];
  if (text.empty()) {
    std::mt19937 random(1998);
    for (int i = 0; i < Records; ++i) text += Hex_Bytes(random, count) + "\r\n";
  }
  return text;
}

void Run_Batch(benchmark::State& state, std::vector<std::string> args, int fields) {
  const std::string& input = Lines(fields);
  std::size_t bytes_out = 0;
  for (auto _ : state) {
    std::istringstream in(input);
    std::ostringstream out, err;
    const int status = stylomat::cli::Run(args, in, out, err);
    if (status != 0 || !err.str().empty()) {
      state.SkipWithError("the batch run failed");
      return;
    }
    bytes_out = out.str().size();
    benchmark::DoNotOptimize(bytes_out);
  }
  state.SetItemsProcessed(state.iterations() * Records);
  state.counters["records/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * Records, benchmark::Counter::kIsRate);
  state.counters["out_bytes/record"] = static_cast<double>(bytes_out) / Records;
}

void BM_Superset_Decode(benchmark::State& state) {
  Run_Batch(state, {"superset", "decode", "--window", "KORV_form", "-"}, 4);
}
void BM_Superset_Decode_Json(benchmark::State& state) {
  Run_Batch(state, {"superset", "decode", "--window", "KORV_form", "--json", "-"}, 4);
}
void BM_Image_Decode(benchmark::State& state) { Run_Batch(state, {"image", "decode", "--window", "Mirolex2", "-"}, 7); }
void BM_Image_Decode_Json(benchmark::State& state) {
  Run_Batch(state, {"image", "decode", "--window", "Mirolex2", "--json", "-"}, 7);
}

BENCHMARK(BM_Superset_Decode)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Superset_Decode_Json)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Image_Decode)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Image_Decode_Json)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
