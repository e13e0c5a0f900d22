// The check of a cache entry before it is used, by sizes alone and with the
// SHA-256 of every file, on entries a lighter made (tools/bench.py's cache
// section makes them and runs this on each):
//
//   cache_check_bench LABEL=ENTRY... [benchmark flags]
//
// The files are read from the page cache after the first repetition, as a
// second open finds them.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "lighter/cache_entry.h"

namespace {

void checkOnce(benchmark::State& state, const std::string& entry, bool hashes) {
  for (auto _ : state) {
    const EntryCheck check = checkEntry(entry, hashes);
    if (check.state != EntryState::kSound) {
      state.SkipWithError(("not a sound entry: " + check.why).c_str());
      break;
    }
    benchmark::DoNotOptimize(check);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(directoryBytes(entry)));
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s LABEL=ENTRY... [benchmark flags]\n", argv[0]);
    return 2;
  }
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const size_t equals = arg.find('=');
    const std::string name = equals == std::string::npos ? "entry" : arg.substr(0, equals);
    const std::string entry = equals == std::string::npos ? arg : arg.substr(equals + 1);
    benchmark::RegisterBenchmark((name + "/sizes").c_str(), checkOnce, entry, false)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((name + "/sizes_and_sha256").c_str(), checkOnce, entry, true)
        ->Unit(benchmark::kMillisecond);
  }
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
