#pragma once
// The screen as text, read back from what a headless window drew: rows of fixed-width
// cells, the runs of cells drawn alike, single characters and the paint log. The driver's
// dumps and the paint tests' messages print this one transcript. Where rows and columns
// lie is the control's knowledge, so the caller passes it in.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/gui/Canvas.h"
#include "framework/headless/HeadlessWindow.h"

namespace plomaret {

// Where a control's text lies on its window.
struct TScreenLayout {
  int FirstRow = 0;  // the number of the top row shown
  int Rows = 0;      // how many rows show
  int Top = 0;       // y of the top row
  int RowHeight = 1;
  int FirstCol = 0;  // the number of the leftmost column shown
  int Left = 0;      // x of that column
  int Right = 0;     // x where the text ends
  int ColWidth = 1;
  // x where a bar left of the text draws its characters (line numbers), if there is one.
  std::optional<int> LeftbarLeft;
  // What a bar drawn in pictures shows beside a row; "-" when not given.
  std::function<std::string(int row)> Imagebar;
};

// Cells of one row drawn in the same colours and style, columns First to Last.
struct TColourRun {
  int Row = 0;
  int First = 0;
  int Last = 0;
  TColor Color = clNone;
  TColor Background = clNone;
  TFontStyles Style;
  // "colors ROW FIRST-LAST fg=COLOUR bg=COLOUR style=[STYLES]"
  std::string Text() const;
};

struct TScreenRow {
  int Row = 0;
  std::string Leftbar;   // empty without a leftbar
  std::string Imagebar;  // as the layout gave it
  std::string Text;      // from the first column shown, a double-byte character once, no trailing blanks
};

struct TScreenTranscript {
  std::vector<TScreenRow> Rows;
  std::vector<TColourRun> Runs;
  // "LEFTBAR|IMAGEBAR|TEXT" a row, then a colour run a line; escape makes the characters
  // of the leftbar and the text printable (none: as drawn).
  std::string Text(const std::function<std::string(std::string_view)>& escape = {}) const;
};

// The rows of layout as the cells drawn show them (cells as a text layer lists them).
TScreenTranscript ReadScreen(const std::vector<TTextCell>& drawn, const TScreenLayout& layout);

// "[fsBold,fsUnderline]"
std::string StylesText(TFontStyles styles);

// Every character with its whole cell, sorted by place and colour, repeats dropped: two
// layers that show the same characters give the same list, however they were painted.
std::vector<TTextCell> CellsByPlace(const TTextLayer& layer);
// "LEFT,TOP-RIGHT,BOTTOM 'BYTES' COLOUR on BACKGROUND"
std::string CellText(const TTextCell& cell);

// "invalidate|paint|draw LEFT TOP RIGHT BOTTOM"
std::string PaintLogText(const THeadlessWindow::TPaintLogEntry& entry);

}  // namespace plomaret
