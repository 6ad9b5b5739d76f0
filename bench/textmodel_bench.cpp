// The text model at document scale. Set PLOMARET_BENCH_XFILE to a large .x file
// (bench/run_on_xfile.sh makes one of 100 MB).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/XFileFixup.h"
#include "editor/LineList.h"
#include "editor/TextModelSupport.h"

namespace plomaret {
namespace {

using testing::TEditorDouble;

const char* InputFile(benchmark::State& state) {
  const char* path = std::getenv("PLOMARET_BENCH_XFILE");
  if (path == nullptr) state.SkipWithError("set PLOMARET_BENCH_XFILE to a .x file");
  return path;
}

void ReportPeakMemory(benchmark::State& state) {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// Run first, so that its peak memory is the load's.
void BM_LoadFile(benchmark::State& state) {
  const char* path = InputFile(state);
  if (path == nullptr) return;
  for (auto _ : state) {
    TEditorDouble editor;
    editor.Lines().LoadFile(path);
    benchmark::DoNotOptimize(editor.Store().Count());
    state.PauseTiming();
    ReportPeakMemory(state);
    state.counters["rows"] = editor.Store().Count();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_LoadFile)->Unit(benchmark::kMillisecond)->Iterations(3);

// One loaded document for the benchmarks below.
TEditorDouble& Document(const char* path) {
  static TEditorDouble* editor = [path] {
    auto* loaded = new TEditorDouble;
    loaded->Lines().LoadFile(path);
    return loaded;
  }();
  return *editor;
}

void BM_SaveFile(benchmark::State& state) {
  const char* path = InputFile(state);
  if (path == nullptr) return;
  TEditorDouble& editor = Document(path);
  const std::string out = std::string(path) + ".saved";
  for (auto _ : state) editor.Lines().SaveFile(out);
  std::remove(out.c_str());
}
BENCHMARK(BM_SaveFile)->Unit(benchmark::kMillisecond)->Iterations(3);

// Typing over one row in the middle and undoing it, with the parse states around
// it already computed (the first, cold edit is measured apart).
void BM_ReplaceAndUndoInTheMiddle(benchmark::State& state) {
  const char* path = InputFile(state);
  if (path == nullptr) return;
  TEditorDouble& editor = Document(path);
  TEditorScreenStrings& store = editor.Store();
  const int middle = store.Count() / 2;
  const bool warm = state.range(0) == 1;
  if (warm) {
    store.ReplaceText(middle, 1, "warm up\r\n");
    store.Undo();
  }
  for (auto _ : state) {
    if (!warm) {
      state.PauseTiming();
      store.ResetStates();
      state.ResumeTiming();
    }
    store.ReplaceText(middle, 1, "  0.123456;0.654321;\r\n");
    store.Undo();
  }
}
BENCHMARK(BM_ReplaceAndUndoInTheMiddle)->Arg(0)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplaceAndUndoInTheMiddle)->Arg(1)->Iterations(100)->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

void BM_WrapAllAndUnwrapAll(benchmark::State& state) {
  const char* path = InputFile(state);
  if (path == nullptr) return;
  TEditorDouble& editor = Document(path);
  TEditorScreenStrings& store = editor.Store();
  store.WrapOption()->SetWrapByte(80);
  const bool wrap = state.range(0) == 1;
  for (auto _ : state) {
    state.PauseTiming();
    store.SwitchWordWrap(!wrap);
    state.ResumeTiming();
    store.SwitchWordWrap(wrap);
  }
  state.counters["rows"] = store.Count();
  store.SwitchWordWrap(false);
}
BENCHMARK(BM_WrapAllAndUnwrapAll)->Arg(1)->Arg(0)->Iterations(2)->Unit(benchmark::kMillisecond);

void BM_ReadEveryLineWrapped(benchmark::State& state) {
  const char* path = InputFile(state);
  if (path == nullptr) return;
  TEditorDouble& editor = Document(path);
  editor.Store().WrapOption()->SetWrapByte(20);
  editor.Store().SwitchWordWrap(true);
  for (auto _ : state) {
    size_t bytes = 0;
    const int count = editor.Lines().Count();
    for (int i = 0; i < count; ++i) bytes += editor.Lines().Get(i).size();
    benchmark::DoNotOptimize(bytes);
  }
  editor.Store().SwitchWordWrap(false);
}
BENCHMARK(BM_ReadEveryLineWrapped)->Iterations(2)->Unit(benchmark::kMillisecond);

// Exchange as the window runs it: lines out of the editor, rewritten, assigned back.
void BM_FixUpThroughLines(benchmark::State& state) {
  const char* path = InputFile(state);
  if (path == nullptr) return;
  const bool wrap = state.range(0) == 1;
  for (auto _ : state) {
    state.PauseTiming();
    TEditorDouble editor;
    editor.Lines().LoadFile(path);
    editor.Store().SwitchWordWrap(wrap);
    state.ResumeTiming();
    auto working = Create<TLineList>();  // the working copy: a plain line list
    working->Assign(editor.Lines());
    ExchangeLines(*working);
    editor.Lines().Assign(*working);
    state.PauseTiming();
    editor.Store().SwitchWordWrap(false);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_FixUpThroughLines)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace plomaret
