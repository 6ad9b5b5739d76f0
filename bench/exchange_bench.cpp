// The batch rewrite of a large generated file. Set PLOMARET_BENCH_XFILE to the file
// (bench/compare_exchange.sh makes one with the shared generator).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/ExchangeTool.h"
#include "framework/core/TextFileReader.h"

namespace plomaret {
namespace {

void BM_ExchangeFile(benchmark::State& state) {
  const char* input = std::getenv("PLOMARET_BENCH_XFILE");
  if (input == nullptr) {
    state.SkipWithError("set PLOMARET_BENCH_XFILE to a .x file");
    return;
  }
  const std::string output = std::string(input) + ".bench-out";
  int64_t bytes = 0;
  for (auto _ : state) {
    TFileReplacer writer(output);
    ExchangeFile(input, writer);
    writer.Commit();
  }
  {
    TTextFileReader reader(input);
    reader.CopyBytes([&](std::string_view block) { bytes += static_cast<int64_t>(block.size()); });
  }
  std::remove(output.c_str());
  state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(BM_ExchangeFile)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_CountLines(benchmark::State& state) {
  const char* input = std::getenv("PLOMARET_BENCH_XFILE");
  if (input == nullptr) {
    state.SkipWithError("set PLOMARET_BENCH_XFILE to a .x file");
    return;
  }
  for (auto _ : state) {
    TTextFileReader reader(input);
    benchmark::DoNotOptimize(reader.Count());
  }
}
BENCHMARK(BM_CountLines)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
}  // namespace plomaret
