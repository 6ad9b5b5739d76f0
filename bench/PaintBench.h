#pragma once
// What the painting benchmarks share, headless and on Qt: a coloured ".x" text, the
// main window's colours, and the two measured loops.
#include <benchmark/benchmark.h>

#include <string>

#include "editor/EditorControl.h"

namespace plomaret::bench {

// Comments, numbers, strings and Japanese, a line of each kind in turn.
inline std::string ColouredMesh(int lines) {
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

// White on navy with coloured numbers, strings and comments, and the end marks.
inline void ColourLikeTheMainWindow(TEditor& editor) {
  editor.SetColor(clNavy);
  editor.Font().SetColor(clWhite);
  editor.View()->SetCommenter("//");
  editor.View()->Colors()->Int()->SetColor(clYellow);
  editor.View()->Colors()->Str()->SetColor(clAqua);
  editor.View()->Colors()->Comment()->SetColor(clLime);
  editor.Marks()->EofMark()->SetVisible(true);
  editor.Marks()->RetMark()->SetVisible(true);
}

inline void RunFullRepaints(benchmark::State& state, TEditor& editor) {
  state.counters["cols"] = editor.ColCount();
  state.counters["rows"] = editor.RowCount();
  for (auto _ : state) {
    editor.Invalidate();
    editor.Update();
  }
}

// Down a row at a time to row 1000 and back up.
inline void RunOneRowScrolls(benchmark::State& state, TEditor& editor) {
  int step = 1;
  for (auto _ : state) {
    editor.SetTopRow(editor.TopRow() + step);
    if (editor.TopRow() >= 1000 || editor.TopRow() == 0) step = -step;
  }
}

}  // namespace plomaret::bench
