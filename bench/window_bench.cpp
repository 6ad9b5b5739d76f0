// The main window's way with a large file, on the headless backend: Open, Exchange
// and SaveAs through TForm1. Set PLOMARET_BENCH_XFILE to a large .x file
// (bench/run_on_xfile.sh makes one of 100 MB).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "app/Unit1.h"
#include "framework/headless/HeadlessPlatform.h"

namespace plomaret {
namespace {

void BM_OpenExchangeSaveAs(benchmark::State& state) {
  const char* path = std::getenv("PLOMARET_BENCH_XFILE");
  if (path == nullptr) {
    state.SkipWithError("set PLOMARET_BENCH_XFILE to a .x file");
    return;
  }
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
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
    state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(path)) / (1024.0 * 1024.0);
    form.reset();
    state.ResumeTiming();
  }
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_OpenExchangeSaveAs)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
}  // namespace plomaret
