// The editor control at document scale, on the headless backend: loading into a
// shown control, and the view and caret operations a user repeats. Set
// PLOMARET_BENCH_XFILE to a large .x file (bench/run_on_xfile.sh makes one of 100 MB).
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "PaintBench.h"
#include "editor/EditorControl.h"
#include "framework/headless/HeadlessPlatform.h"

namespace plomaret {
namespace {

const char* InputFile(benchmark::State& state) {
  const char* path = std::getenv("PLOMARET_BENCH_XFILE");
  if (path == nullptr) state.SkipWithError("set PLOMARET_BENCH_XFILE to a .x file");
  return path;
}

TOwned<TEditor> ShownEditor() {
  UseHeadlessPlatform();
  TOwned<TEditor> editor = CreateWithoutOwner<TEditor>();
  editor->SetBounds(0, 0, 640, 480);
  editor->SetScrollBars(ssBoth);
  editor->Leftbar()->SetVisible(true);
  editor->HandleNeeded();
  editor->SetFocus();
  return editor;
}

void BM_LoadIntoShownEditor(benchmark::State& state) {
  const char* path = InputFile(state);
  if (path == nullptr) return;
  for (auto _ : state) {
    TOwned<TEditor> editor = ShownEditor();
    editor->Lines()->LoadFile(path);
    editor->Update();
    state.counters["rows"] = editor->ScreenStrings()->Count();
  }
}
BENCHMARK(BM_LoadIntoShownEditor)->Unit(benchmark::kMillisecond)->Iterations(3);

TEditor& Document(const char* path) {
  static TEditor* editor = [path] {
    TEditor* loaded = ShownEditor().release();
    loaded->Lines()->LoadFile(path);
    loaded->Update();
    return loaded;
  }();
  return *editor;
}

// A page down from the top to the end of the text and back: scroll and repaint.
void BM_PageThroughTheEnd(benchmark::State& state) {
  const char* path = InputFile(state);
  if (path == nullptr) return;
  TEditor& editor = Document(path);
  for (auto _ : state) {
    editor.Perform(WM_VSCROLL, SB_BOTTOM);
    editor.Perform(WM_VSCROLL, SB_PAGEUP);
    editor.Perform(WM_VSCROLL, SB_TOP);
    editor.Perform(WM_VSCROLL, SB_PAGEDOWN);
  }
}
BENCHMARK(BM_PageThroughTheEnd)->Unit(benchmark::kMicrosecond);

// The caret jumping across the document and along a row, the view following.
void BM_CaretJumps(benchmark::State& state) {
  const char* path = InputFile(state);
  if (path == nullptr) return;
  TEditor& editor = Document(path);
  const int rows = editor.ScreenStrings()->Count();
  int step = 0;
  for (auto _ : state) {
    editor.SetRowCol(static_cast<int>((int64_t{step} * 7919) % rows), step % 120);
    editor.SetRow(editor.Row() + 1);
    ++step;
  }
}
BENCHMARK(BM_CaretJumps)->Unit(benchmark::kMicrosecond);

// Changing the font: measure, scroll bars and a full repaint.
void BM_FontChange(benchmark::State& state) {
  const char* path = InputFile(state);
  if (path == nullptr) return;
  TEditor& editor = Document(path);
  int height = -12;
  for (auto _ : state) {
    height = height == -12 ? -14 : -12;
    editor.Font().SetHeight(height);
    editor.Update();
  }
}
BENCHMARK(BM_FontChange)->Unit(benchmark::kMicrosecond);

// Typing in the middle of the document, the view there and its colouring known: one
// keystroke (a character, or a Return every tenth) with its repaint per iteration.
void TypeInTheMiddle(benchmark::State& state, bool wrap) {
  const char* path = InputFile(state);
  if (path == nullptr) return;
  TEditor& editor = Document(path);
  editor.SetWordWrap(wrap);
  const int middle = editor.ScreenStrings()->Count() / 2;
  editor.SetRowCol(middle, 0);
  editor.Update();
  int keys = 0;
  for (auto _ : state) {
    if (++keys % 10 == 0) {
      editor.ReturnKey(false);
    } else {
      editor.InsertText("x");
    }
    editor.Update();
  }
  state.counters["rows"] = editor.ScreenStrings()->Count();
  editor.SetWordWrap(false);
}
void BM_TypeInTheMiddle(benchmark::State& state) { TypeInTheMiddle(state, false); }
void BM_TypeInTheMiddleWrapped(benchmark::State& state) { TypeInTheMiddle(state, true); }
BENCHMARK(BM_TypeInTheMiddle)->Unit(benchmark::kMicrosecond)->Iterations(1100)->Repetitions(3)->ReportAggregatesOnly();
BENCHMARK(BM_TypeInTheMiddleWrapped)->Unit(benchmark::kMicrosecond)->Iterations(1100)->Repetitions(3)->ReportAggregatesOnly();

// The first keystroke in the middle of a freshly loaded document: the colouring
// states there are not known yet.
void BM_ColdFirstKeystroke(benchmark::State& state) {
  const char* path = InputFile(state);
  if (path == nullptr) return;
  for (auto _ : state) {
    state.PauseTiming();
    TOwned<TEditor> editor = ShownEditor();
    editor->Lines()->LoadFile(path);
    editor->Update();
    state.ResumeTiming();
    editor->SetRowCol(editor->ScreenStrings()->Count() / 2, 0);
    editor->InsertText("x");
    editor->Update();
    state.PauseTiming();
    editor.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ColdFirstKeystroke)->Unit(benchmark::kMillisecond)->Iterations(2);

// Typing into the middle of one line of 1 MB with word wrap on.
void BM_TypeIntoAOneMegabyteWrappedLine(benchmark::State& state) {
  TOwned<TEditor> editor = ShownEditor();
  editor->WrapOption()->SetWrapByte(80);
  editor->SetWordWrap(true);
  std::string line;
  while (line.size() < (1u << 20)) line += "0.250000;0.750000;, ";
  editor->Lines()->SetAllText(line);
  editor->SetRowCol(editor->ScreenStrings()->Count() / 2, 10);
  editor->Update();
  for (auto _ : state) {
    editor->InsertText("x");
    editor->Update();
  }
  state.counters["rows"] = editor->ScreenStrings()->Count();
}
BENCHMARK(BM_TypeIntoAOneMegabyteWrappedLine)->Unit(benchmark::kMicrosecond)->Iterations(100);

// 80 columns by 50 rows of the 8 x 16 headless font, in the main window's colours.
TOwned<TEditor> ColouredView() {
  UseHeadlessPlatform().HeadlessFontEngine().SetFixedMetrics({16, 13, 3, 0, 8, 16});
  TOwned<TEditor> editor = CreateWithoutOwner<TEditor>();
  editor->SetBounds(0, 0, 675, 807);
  bench::ColourLikeTheMainWindow(*editor);
  editor->HandleNeeded();
  editor->Lines()->SetAllText(bench::ColouredMesh(2000));
  editor->Update();
  return editor;
}

void BM_FullRepaint80x50(benchmark::State& state) { bench::RunFullRepaints(state, *ColouredView()); }
BENCHMARK(BM_FullRepaint80x50)->Unit(benchmark::kMicrosecond);

void BM_ScrollOneRow(benchmark::State& state) { bench::RunOneRowScrolls(state, *ColouredView()); }
BENCHMARK(BM_ScrollOneRow)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace plomaret
