// The line list at document scale: three million rows.
#include <benchmark/benchmark.h>

#include <string>

#include "editor/LineList.h"

namespace plomaret {
namespace {

constexpr int kRows = 3'000'000;
const std::string kRow = "  0.123456;0.654321;,";

TOwned<TLineList> MakeDocument() {
  auto list = Create<TLineList>();
  for (int i = 0; i < kRows; ++i) list->Add(kRow);
  return list;
}

void BM_Append3MillionRows(benchmark::State& state) {
  for (auto _ : state) {
    auto list = MakeDocument();
    benchmark::DoNotOptimize(list->Count());
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_Append3MillionRows)->Unit(benchmark::kMillisecond)->Iterations(3);

// Insert a block of rows in the middle and delete it again, at the same place:
// what typing Return and Backspace at one spot of a huge file costs.
void BM_InsertDeleteInTheMiddle(benchmark::State& state) {
  const int block = static_cast<int>(state.range(0));
  auto list = MakeDocument();
  const int middle = kRows / 2;
  for (auto _ : state) {
    for (int i = 0; i < block; ++i) list->Insert(middle + i, kRow);
    for (int i = 0; i < block; ++i) list->Delete(middle);
  }
  benchmark::DoNotOptimize(list->Count());
}
BENCHMARK(BM_InsertDeleteInTheMiddle)->Arg(1)->Arg(10)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// Edits that walk through the document: the gap has to move each time.
void BM_InsertDeleteWandering(benchmark::State& state) {
  auto list = MakeDocument();
  int at = 0;
  for (auto _ : state) {
    at = (at + 7919) % (kRows - 1);
    list->Insert(at, kRow);
    list->Delete(at);
  }
}
BENCHMARK(BM_InsertDeleteWandering)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_PutEveryRow(benchmark::State& state) {
  auto list = MakeDocument();
  const std::string longer = kRow + "x";
  for (auto _ : state) {
    for (int i = 0; i < kRows; ++i) list->Put(i, longer);
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_PutEveryRow)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
}  // namespace plomaret
