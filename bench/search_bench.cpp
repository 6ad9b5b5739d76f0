// Searching the whole document for a pattern that is not there, forwards from the top
// and backwards from the end, with each option set a user would pick. Set
// PLOMARET_BENCH_XFILE to a large .x file (bench/run_on_xfile.sh makes one of 100 MB).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

#include "editor/EditorControl.h"
#include "framework/headless/HeadlessPlatform.h"

namespace plomaret {
namespace {

constexpr const char* kMissing = "zqzqzqzqzq";  // 10 bytes found nowhere

TEditor* Document(benchmark::State& state, int64_t& bytes) {
  const char* path = std::getenv("PLOMARET_BENCH_XFILE");
  if (path == nullptr) {
    state.SkipWithError("set PLOMARET_BENCH_XFILE to a .x file");
    return nullptr;
  }
  static TEditor* editor = [path] {
    UseHeadlessPlatform();
    TEditor* loaded = CreateWithoutOwner<TEditor>().release();
    loaded->SetBounds(0, 0, 640, 480);
    loaded->HandleNeeded();
    loaded->SetFocus();
    loaded->Lines()->LoadFile(path);
    return loaded;
  }();
  bytes = static_cast<int64_t>(std::filesystem::file_size(path));
  return editor;
}

void BM_FindMissing(benchmark::State& state) {
  int64_t bytes = 0;
  TEditor* editor = Document(state, bytes);
  if (editor == nullptr) return;
  const auto options = static_cast<TSearchOptions>(state.range(0));
  const bool forward = (options & soForward) != 0;
  for (auto _ : state) {
    if (forward) {
      editor->SetRowCol(0, 0);
    } else {
      editor->SetRowCol(editor->ScreenStrings()->Count(), 0);
    }
    if (editor->FindText(kMissing, options)) state.SkipWithError("the pattern was found");
  }
  state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(BM_FindMissing)->Arg(1)->Arg(3)->Arg(9)->Arg(0)->Arg(2)->Arg(8)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace plomaret
