// The main window's way with a large file, on the headless backend: Open, Exchange
// and SaveAs through TForm1. Set PLOMARET_BENCH_XFILE to a large .x file
// (bench/run_on_xfile.sh makes one of 100 MB).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "app/Unit1.h"
#include "framework/headless/HeadlessPlatform.h"

namespace plomaret {
namespace {

// The large file to work on, or nullptr (the benchmark then says how to name one).
const char* XFileOrSkip(benchmark::State& state) {
  const char* path = std::getenv("PLOMARET_BENCH_XFILE");
  if (path == nullptr) state.SkipWithError("set PLOMARET_BENCH_XFILE to a .x file");
  return path;
}

double PeakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// The process's peak memory so far beside the file's size.
void CountPeakMemory(benchmark::State& state, const char* path) {
  state.counters["peak_rss_MB"] = PeakMegabytes();
  state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(path)) / (1024.0 * 1024.0);
}

void BM_OpenExchangeSaveAs(benchmark::State& state) {
  const char* path = XFileOrSkip(state);
  if (path == nullptr) return;
  THeadlessPlatform& platform = UseHeadlessPlatform();
  const std::string folder = std::filesystem::temp_directory_path() / "plomaret-window-bench";
  std::filesystem::create_directories(folder);
  for (auto _ : state) {
    TOwned<TForm1> form = CreateWithoutOwner<TForm1>();
    form->SetProgramFile(folder + "/plomaret");
    form->Show();
    platform.ScriptFileChoice(path);
    platform.ScriptFileChoice(folder + "/out.x");
    form->SpeedButton5Click(nullptr);
    form->SpeedButton3Click(nullptr);
    form->SpeedButton4Click(nullptr);
    platform.ClearMessages();
    state.PauseTiming();
    CountPeakMemory(state, path);
    form.reset();
    state.ResumeTiming();
  }
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_OpenExchangeSaveAs)->Unit(benchmark::kMillisecond)->Iterations(2);

// Exchange as one undo step on a large file in the main window: Exchange, its undo
// and its redo, each timed, with the peak memory of the whole way (Open included).
void BM_ExchangeUndoRedo(benchmark::State& state) {
  const char* path = XFileOrSkip(state);
  if (path == nullptr) return;
  THeadlessPlatform& platform = UseHeadlessPlatform();
  const std::string folder = std::filesystem::temp_directory_path() / "plomaret-undo-bench";
  std::filesystem::create_directories(folder);
  using TClock = std::chrono::steady_clock;
  auto seconds = [](TClock::time_point from) { return std::chrono::duration<double>(TClock::now() - from).count(); };
  for (auto _ : state) {
    state.PauseTiming();
    TOwned<TForm1> form = CreateWithoutOwner<TForm1>();
    form->SetProgramFile(folder + "/plomaret");
    form->Show();
    platform.ScriptFileChoice(path);
    form->SpeedButton5Click(nullptr);
    state.ResumeTiming();
    TClock::time_point start = TClock::now();
    form->SpeedButton3Click(nullptr);
    state.counters["exchange_s"] = seconds(start);
    start = TClock::now();
    form->Editor1->Undo();
    state.counters["undo_s"] = seconds(start);
    state.PauseTiming();
    state.counters["peak_after_undo_MB"] = PeakMegabytes();
    state.ResumeTiming();
    start = TClock::now();
    form->Editor1->Redo();
    state.counters["redo_s"] = seconds(start);
    state.PauseTiming();
    platform.ClearMessages();
    CountPeakMemory(state, path);
    form->Editor1->SetModified(false);
    form.reset();
    state.ResumeTiming();
  }
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_ExchangeUndoRedo)->Unit(benchmark::kMillisecond)->Iterations(1);

// Typing into the middle of a 100 MB file with word wrap on, in the main window: each
// key repaints the editor and the status line (the caret's line and the line count).
void BM_TypeWrappedInTheMiddleOfTheWindow(benchmark::State& state) {
  const char* path = XFileOrSkip(state);
  if (path == nullptr) return;
  THeadlessPlatform& platform = UseHeadlessPlatform();
  const std::string folder = std::filesystem::temp_directory_path() / "plomaret-type-bench";
  std::filesystem::create_directories(folder);
  TOwned<TForm1> form = CreateWithoutOwner<TForm1>();
  form->SetProgramFile(folder + "/plomaret");
  form->Show();
  platform.ScriptFileChoice(path);
  form->SpeedButton5Click(nullptr);
  TEditor& editor = *form->Editor1;
  editor.SetWordWrap(true);
  editor.SetRowCol(editor.ScreenStrings()->Count() / 2, 0);
  form->StatusBar1->Update();
  for (auto _ : state) {
    editor.InsertText("x");
    form->StatusBar1->Update();  // the editor paints itself as it changes
  }
  state.counters["status"] = static_cast<double>(form->StatusBar1->SimpleText().size());
  state.counters["lines"] = editor.Lines()->Count();
  form.reset();
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_TypeWrappedInTheMiddleOfTheWindow)->Unit(benchmark::kMicrosecond)->Iterations(200);

// Replace all over a 100 MB document with the pattern on every one of its 3.9 million
// rows: the replacement and its undo, each timed on its own (seconds in the counters).
void BM_ReplaceAllOnEveryRow(benchmark::State& state) {
  UseHeadlessPlatform();
  const std::string row = "  0.12500;0.2500;0.500;,\r\n";  // 26 bytes: 3.85 million rows
  const int64_t rows = 100LL * 1000 * 1000 / static_cast<int64_t>(row.size());
  std::string text;
  text.reserve(static_cast<size_t>(rows) * row.size());
  for (int64_t i = 0; i < rows; ++i) text += row;
  const std::string folder = std::filesystem::temp_directory_path() / "plomaret-replace-bench";
  std::filesystem::create_directories(folder);
  for (auto _ : state) {
    state.PauseTiming();
    TOwned<TForm1> form = CreateWithoutOwner<TForm1>();
    form->SetProgramFile(folder + "/plomaret");
    form->Show();
    form->Editor1->Lines()->SetAllText(text);
    form->FindBar1->ShowBar(true);
    form->FindBar1->SetPatternText(";,");
    state.ResumeTiming();
    const auto started = std::chrono::steady_clock::now();
    const int64_t replaced = form->FindBar1->ReplaceAll(";");
    const auto replacedAt = std::chrono::steady_clock::now();
    form->Editor1->Undo();
    const auto undoneAt = std::chrono::steady_clock::now();
    state.PauseTiming();
    if (replaced != rows || form->Editor1->Lines()->AllText() != text) state.SkipWithError("Replace all or its undo went wrong");
    state.counters["replaced"] = static_cast<double>(replaced);
    state.counters["replace_s"] = std::chrono::duration<double>(replacedAt - started).count();
    state.counters["undo_s"] = std::chrono::duration<double>(undoneAt - replacedAt).count();
    form.reset();
    state.ResumeTiming();
  }
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_ReplaceAllOnEveryRow)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace plomaret
