#pragma once
// The view's geometry as a value: the cell and row sizes the font gives, the bars
// above and left of the text, the first row and column shown and how many fit, and
// pixels to cells and back. Nothing here touches a window.

#include "framework/core/Geometry.h"

namespace plomaret {

struct TViewMetrics {
  int FontHeight = 0;
  int RowHeight = 0;  // the font, the underline space and the line gap
  int ColWidth = 0;   // one cell: the average character and the character gap
  // The rows and columns the text area holds, and the first of each shown.
  int RowCount = 1, ColCount = 0;
  int TopRow = 0, TopCol = 0;
  // The bars as last measured; each takes room only while it is shown.
  int RulerHeight = 0;
  int LeftbarDigits = 4;
  int LeftbarWidth = 0;
  int ImagebarWidth = 0;
  // How far the text has been moved left, in pixels.
  int HorzOffset = 0;

  // Where the margins and the shown bars put the text; the control fills these from
  // its options whenever it hands out its metrics.
  struct TFrame {
    int MarginTop = 0;
    int MarginLeft = 0;
    bool RulerShown = false;
    bool LeftbarShown = false;
    bool ImagebarShown = false;
  } Frame;

  int TopOffset() const { return Frame.MarginTop + (Frame.RulerShown ? RulerHeight : 0); }
  int LeftOffset() const {
    return Frame.MarginLeft + (Frame.ImagebarShown ? ImagebarWidth : 0) + (Frame.LeftbarShown ? LeftbarWidth : 0);
  }
  // The pixel top of a row; rows above TopRow give pixels above the text area.
  int RowTop(int row) const { return TopOffset() + (row - TopRow) * RowHeight; }
  // The pixel left of a column, never left of the text area.
  int ColumnToX(int col) const;
  // The pixel left and top of a cell, wherever it lies.
  TPoint CellToPixel(int col, int row) const;
  // The cell under a pixel: with snap, the nearer cell boundary. Columns left of the
  // text area give column TopCol or less but never below 0; rows are not clamped.
  TPoint PixelToCell(int x, int y, bool snap) const;
};

}  // namespace plomaret
