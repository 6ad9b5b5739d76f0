#include "ScreenTranscript.h"

#include <algorithm>
#include <map>
#include <tuple>

namespace plomaret {

namespace {

using TCellsByColumn = std::map<int, const TTextCell*>;

// The characters drawn in a band of the window, left to right, by the column they start in.
TCellsByColumn CellsIn(const std::vector<TTextCell>& drawn, int top, int bottom, int left, int right, int width) {
  TCellsByColumn cells;
  for (const TTextCell& cell : drawn) {
    if (cell.Bounds.Top < top || cell.Bounds.Top >= bottom || cell.Bounds.Left < left || cell.Bounds.Left >= right) continue;
    cells[(cell.Bounds.Left - left) / width] = &cell;
  }
  return cells;
}

// How many columns a character covers: a double-byte one two.
int ColumnsOf(const TTextCell& cell, int width) { return std::max(1, (cell.Bounds.Width() + width - 1) / width); }

// The text of cells, blanks where nothing was drawn; a double-byte character once.
std::string TextOf(const TCellsByColumn& cells, int width) {
  std::string text;
  int column = 0;
  for (const auto& [start, cell] : cells) {
    if (start < column) continue;
    text.append(static_cast<size_t>(start - column), ' ');
    text += cell->Bytes;
    column = start + ColumnsOf(*cell, width);
  }
  return text;
}

// Runs of cells drawn alike, in the columns of the text.
void AddRuns(const TCellsByColumn& cells, int row, int firstCol, int width, std::vector<TColourRun>& runs) {
  const TTextCell* runCell = nullptr;
  TColourRun run;
  auto flush = [&] {
    if (runCell == nullptr) return;
    run.Row = row;
    run.Color = runCell->Color;
    run.Background = runCell->Background;
    run.Style = runCell->Style;
    runs.push_back(run);
    runCell = nullptr;
  };
  for (const auto& [start, cell] : cells) {
    const int column = firstCol + start;
    const bool same = runCell != nullptr && column == run.Last + 1 && cell->Color == runCell->Color &&
                      cell->Background == runCell->Background && cell->Style == runCell->Style;
    if (!same) {
      flush();
      runCell = cell;
      run.First = column;
    }
    run.Last = column + ColumnsOf(*cell, width) - 1;
  }
  flush();
}

}  // namespace

std::string TColourRun::Text() const {
  return "colors " + std::to_string(Row) + ' ' + std::to_string(First) + '-' + std::to_string(Last) +
         " fg=" + ColorToString(Color) + " bg=" + ColorToString(Background) + " style=" + StylesText(Style);
}

std::string TScreenTranscript::Text(const std::function<std::string(std::string_view)>& escape) const {
  auto printable = [&](const std::string& bytes) { return escape ? escape(bytes) : bytes; };
  std::string text;
  for (const TScreenRow& row : Rows) {
    text += printable(row.Leftbar) + '|' + row.Imagebar + '|' + printable(row.Text) + '\n';
  }
  for (const TColourRun& run : Runs) text += run.Text() + '\n';
  return text;
}

TScreenTranscript ReadScreen(const std::vector<TTextCell>& drawn, const TScreenLayout& layout) {
  TScreenTranscript screen;
  const int width = std::max(1, layout.ColWidth);
  for (int i = 0; i < layout.Rows; ++i) {
    TScreenRow line;
    line.Row = layout.FirstRow + i;
    const int top = layout.Top + i * layout.RowHeight;
    const int bottom = top + layout.RowHeight;
    if (layout.LeftbarLeft) line.Leftbar = TextOf(CellsIn(drawn, top, bottom, *layout.LeftbarLeft, layout.Left, width), width);
    line.Imagebar = layout.Imagebar ? layout.Imagebar(line.Row) : "-";
    const TCellsByColumn cells = CellsIn(drawn, top, bottom, layout.Left, layout.Right, width);
    line.Text = TextOf(cells, width);
    line.Text.erase(line.Text.find_last_not_of(' ') + 1);
    AddRuns(cells, line.Row, layout.FirstCol, width, screen.Runs);
    screen.Rows.push_back(std::move(line));
  }
  return screen;
}

std::string StylesText(TFontStyles styles) {
  static const char* const names[] = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
  std::string text = "[";
  for (int style = fsBold; style <= fsStrikeOut; ++style) {
    if (!styles.Contains(static_cast<TFontStyle>(style))) continue;
    if (text.size() > 1) text += ',';
    text += names[style];
  }
  return text + "]";
}

std::vector<TTextCell> CellsByPlace(const TTextLayer& layer) {
  std::vector<TTextCell> cells = layer.Cells();
  for (TTextCell& cell : cells) cell.Bounds = cell.Glyph;
  std::sort(cells.begin(), cells.end(), [](const TTextCell& a, const TTextCell& b) {
    return std::tuple(a.Bounds.Top, a.Bounds.Left, a.Color, a.Background) <
           std::tuple(b.Bounds.Top, b.Bounds.Left, b.Color, b.Background);
  });
  cells.erase(std::unique(cells.begin(), cells.end()), cells.end());
  return cells;
}

std::string CellText(const TTextCell& cell) {
  return std::to_string(cell.Bounds.Left) + "," + std::to_string(cell.Bounds.Top) + "-" + std::to_string(cell.Bounds.Right) +
         "," + std::to_string(cell.Bounds.Bottom) + " '" + cell.Bytes + "' " + ColorToString(cell.Color) + " on " +
         ColorToString(cell.Background);
}

std::string PaintLogText(const THeadlessWindow::TPaintLogEntry& entry) {
  const char* kind = entry.Kind == THeadlessWindow::pkInvalidated ? "invalidate"
                     : entry.Kind == THeadlessWindow::pkPainted   ? "paint"
                                                                  : "draw";
  return std::string(kind) + ' ' + std::to_string(entry.Rect.Left) + ' ' + std::to_string(entry.Rect.Top) + ' ' +
         std::to_string(entry.Rect.Right) + ' ' + std::to_string(entry.Rect.Bottom);
}

}  // namespace plomaret
