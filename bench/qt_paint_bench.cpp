// The editor painted through the Qt backend on the offscreen platform: a full
// repaint of an 80 x 50 cell view of a coloured ".x" text in the main window's
// settings, and a scroll by one row.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "editor/EditorControl.h"
#include "framework/qt/QtApplication.h"
#include "framework/qt/QtPlatform.h"

namespace plomaret {
namespace {

std::string ColouredMesh(int lines) {
  static const char* const samples[] = {
      "Mesh {",
      "\t4;",
      "\t-1.000000;1.000000;0.000000;,",
      "\t3;0,1,2;,",
      "// \x83\x81\x83\x62\x83\x56\x83\x85 \"quoted\" 12345",
      "\tMeshTextureCoords {",
      "\t\t0.250000;0.750000;,",
      "}",
  };
  std::string text;
  for (int i = 0; i < lines; ++i) text.append(samples[i % 8]).append("\r\n");
  return text;
}

TOwned<TEditor> MainWindowView() {
  TOwned<TEditor> editor = CreateWithoutOwner<TEditor>();
  editor->SetColor(clNavy);
  editor->Font().SetColor(clWhite);
  editor->Font().SetHeight(-12);
  editor->SetScrollBars(ssBoth);
  editor->Leftbar()->SetVisible(true);
  editor->Ruler()->SetVisible(true);
  editor->Marks()->EofMark()->SetVisible(true);
  editor->Marks()->RetMark()->SetVisible(true);
  editor->Marks()->Underline()->SetVisible(true);
  editor->View()->SetCommenter("//");
  editor->View()->Colors()->Int()->SetColor(clYellow);
  editor->View()->Colors()->Str()->SetColor(clAqua);
  editor->View()->Colors()->Comment()->SetColor(clLime);
  editor->HandleNeeded();
  // As large as 80 columns and 50 rows need.
  const int width = editor->LeftOffset() + 80 * editor->ColWidth() + editor->ColWidth() / 2 + 17 + 4 + 4;
  const int height = editor->TopOffset() + 50 * editor->RowHeight() + 5 + 17 + 4 + 4;
  editor->SetBounds(0, 0, width, height);
  editor->Lines()->SetAllText(ColouredMesh(2000));
  editor->Update();
  QApplication::processEvents();
  return editor;
}

void BM_QtFullRepaint80x50(benchmark::State& state) {
  TOwned<TEditor> editor = MainWindowView();
  state.counters["cols"] = editor->ColCount();
  state.counters["rows"] = editor->RowCount();
  for (auto _ : state) {
    editor->Invalidate();
    editor->Update();
  }
}
BENCHMARK(BM_QtFullRepaint80x50)->Unit(benchmark::kMicrosecond);

void BM_QtScrollOneRow(benchmark::State& state) {
  TOwned<TEditor> editor = MainWindowView();
  int step = 1;
  for (auto _ : state) {
    editor->SetTopRow(editor->TopRow() + step);
    if (editor->TopRow() >= 1000 || editor->TopRow() == 0) step = -step;
  }
}
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
