// The view's geometry as a value, without a window.

#include "editor/EditorControl/EditorControlMetrics.h"

#include <gtest/gtest.h>

namespace plomaret {
namespace {

// Cells 8 wide, rows 18 high, scrolled to row 100 and column 5, with a 20-pixel ruler
// and bars of 16 and 40 pixels inside 2-pixel margins.
TViewMetrics Scrolled() {
  TViewMetrics m;
  m.FontHeight = 16;
  m.RowHeight = 18;
  m.ColWidth = 8;
  m.TopRow = 100;
  m.TopCol = 5;
  m.RulerHeight = 20;
  m.ImagebarWidth = 16;
  m.LeftbarWidth = 40;
  m.Frame = {2, 2, true, true, true};
  return m;
}

TEST(ViewMetrics, OnlyTheShownBarsTakeRoom) {
  TViewMetrics m = Scrolled();
  EXPECT_EQ(m.TopOffset(), 22);
  EXPECT_EQ(m.LeftOffset(), 58);
  m.Frame.RulerShown = false;
  m.Frame.ImagebarShown = false;
  EXPECT_EQ(m.TopOffset(), 2);
  EXPECT_EQ(m.LeftOffset(), 42);
  m.Frame.LeftbarShown = false;
  EXPECT_EQ(m.LeftOffset(), 2);
}

TEST(ViewMetrics, ACellsPixelLeadsBackToTheCellOnBothSidesOfEachEdge) {
  const TViewMetrics m = Scrolled();
  for (const int row : {100, 101, 137}) {
    for (const int col : {5, 6, 40}) {
      const TPoint p = m.CellToPixel(col, row);
      EXPECT_EQ(m.PixelToCell(p.X, p.Y, false), (TPoint{col, row}));
      EXPECT_EQ(m.PixelToCell(p.X + m.ColWidth - 1, p.Y + m.RowHeight - 1, false), (TPoint{col, row}));
      EXPECT_EQ(m.PixelToCell(p.X - 1, p.Y, false).X, col - 1);
      EXPECT_EQ(m.PixelToCell(p.X, p.Y + m.RowHeight, false).Y, row + 1);
    }
  }
  EXPECT_EQ(m.CellToPixel(5, 100), (TPoint{58, 22}));
  EXPECT_EQ(m.RowTop(101), 40);
}

TEST(ViewMetrics, SnappingTakesTheNearerBoundary) {
  const TViewMetrics m = Scrolled();
  const int x = m.CellToPixel(10, 100).X;  // the left edge of column 10
  // Pixels 0..4 of an 8-pixel cell are nearer its left edge (the middle one too).
  EXPECT_EQ(m.PixelToCell(x + 4, 30, true).X, 10);
  EXPECT_EQ(m.PixelToCell(x + 5, 30, true).X, 11);
  EXPECT_EQ(m.PixelToCell(x - 3, 30, true).X, 10);
  EXPECT_EQ(m.PixelToCell(x - 4, 30, true).X, 9);
}

TEST(ViewMetrics, LeftOfTheTextColumnsFloorButStopAtZeroAndColumnsLeftOfTheViewDrawAtItsEdge) {
  TViewMetrics m = Scrolled();
  const int left = m.LeftOffset();
  EXPECT_EQ(m.PixelToCell(left - 1, 30, false).X, 4);  // one pixel left of the text: the column before
  EXPECT_EQ(m.PixelToCell(left - 8, 30, false).X, 4);
  EXPECT_EQ(m.PixelToCell(left - 9, 30, false).X, 3);
  EXPECT_EQ(m.PixelToCell(0, 30, false).X, 0);
  m.TopCol = 0;
  EXPECT_EQ(m.PixelToCell(left - 1, 30, false).X, 0);
  EXPECT_EQ(m.ColumnToX(0), left);
  m.TopCol = 5;
  EXPECT_EQ(m.ColumnToX(2), left);  // scrolled out: drawn from the edge of the text area
  EXPECT_EQ(m.ColumnToX(6), left + 8);
  // Rows are not clamped: above the view they are rows before TopRow.
  EXPECT_EQ(m.PixelToCell(left, m.TopOffset() - 18, false).Y, 99);
}

TEST(ViewMetrics, ZeroSizesBeforeTheFirstMeasureDoNotDivideByZero) {
  const TViewMetrics m;
  EXPECT_EQ(m.PixelToCell(10, 10, false), (TPoint{10, 10}));
  EXPECT_EQ(m.ColumnToX(7), 0);
}

}  // namespace
}  // namespace plomaret
