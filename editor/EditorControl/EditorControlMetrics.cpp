// Pixels to cells and back.

#include "editor/EditorControl/EditorControlMetrics.h"

#include <algorithm>

namespace plomaret {

int TViewMetrics::ColumnToX(int col) const { return std::max(LeftOffset(), LeftOffset() + (col - TopCol) * ColWidth); }

TPoint TViewMetrics::CellToPixel(int col, int row) const {
  return {LeftOffset() + (col - TopCol) * ColWidth, RowTop(row)};
}

TPoint TViewMetrics::PixelToCell(int x, int y, bool snap) const {
  const int left = LeftOffset();
  const int width = std::max(1, ColWidth);
  // Division truncates towards zero: left of the text, step a cell further so it floors.
  if (x < left) x -= width - 1;
  const int col = snap ? std::max(0, (x - left + width / 2 - 1) / width + TopCol) : std::max(0, (x - left) / width + TopCol);
  const int row = (y - TopOffset()) / std::max(1, RowHeight) + TopRow;
  return {col, row};
}

}  // namespace plomaret
