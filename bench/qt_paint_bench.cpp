// The editor painted through the Qt backend on the offscreen platform: a full
// repaint of an 80 x 50 cell view of a coloured ".x" text in the main window's
// settings, and a scroll by one row.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "PaintBench.h"
#include "editor/EditorControl.h"
#include "framework/qt/QtApplication.h"
#include "framework/qt/QtPlatform.h"

namespace plomaret {
namespace {

TOwned<TEditor> MainWindowView() {
  TOwned<TEditor> editor = CreateWithoutOwner<TEditor>();
  bench::ColourLikeTheMainWindow(*editor);
  editor->Font().SetHeight(-12);
  editor->SetScrollBars(ssBoth);
  editor->Leftbar()->SetVisible(true);
  editor->Ruler()->SetVisible(true);
  editor->Marks()->Underline()->SetVisible(true);
  editor->HandleNeeded();
  // As large as 80 columns and 50 rows need.
  const int width = editor->LeftOffset() + 80 * editor->ColWidth() + editor->ColWidth() / 2 + 17 + 4 + 4;
  const int height = editor->TopOffset() + 50 * editor->RowHeight() + 5 + 17 + 4 + 4;
  editor->SetBounds(0, 0, width, height);
  editor->Lines()->SetAllText(bench::ColouredMesh(2000));
  editor->Update();
  QApplication::processEvents();
  return editor;
}

void BM_QtFullRepaint80x50(benchmark::State& state) { bench::RunFullRepaints(state, *MainWindowView()); }
BENCHMARK(BM_QtFullRepaint80x50)->Unit(benchmark::kMicrosecond);

void BM_QtScrollOneRow(benchmark::State& state) { bench::RunOneRowScrolls(state, *MainWindowView()); }
BENCHMARK(BM_QtScrollOneRow)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace plomaret

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  plomaret::TQtApplication application(argc, argv);
  plomaret::InstallPlatform(std::make_unique<plomaret::TQtPlatform>());
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  plomaret::InstallPlatform(nullptr);
  return 0;
}
