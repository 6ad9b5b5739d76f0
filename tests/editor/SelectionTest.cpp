// The selection range on its own, over rows given as text: no control, no window.

#include "editor/EditorControl/EditorControlSelection.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "editor/TextCells.h"

namespace plomaret {
namespace {

class TFakeRows final : public TSelectionRows {
 public:
  explicit TFakeRows(std::vector<std::pair<std::string, TRowAttribute>> rows) : FRows(std::move(rows)) {}
  int RowCount() const override { return static_cast<int>(FRows.size()); }
  std::string_view RowView(int row) const override { return FRows.at(static_cast<size_t>(row)).first; }
  TRowAttribute RowEnd(int row) const override { return FRows.at(static_cast<size_t>(row)).second; }
  std::string RowCellMap(int row) const override { return CellMap(Text(row), TCellLayout{}); }
  int RowEndCol(int row) const override { return DisplayWidth(Text(row), TCellLayout{}); }

 private:
  std::string Text(int row) const {
    return row >= 0 && row < RowCount() ? FRows[static_cast<size_t>(row)].first : std::string();
  }
  std::vector<std::pair<std::string, TRowAttribute>> FRows;
};

const std::string kA = "\x82\xA0";  // a double-byte character, two cells

// "abc", "あxy", TAB "z", each ended by a line end; a tab is 8 cells.
TFakeRows ThreeLines() { return TFakeRows({{"abc", raLineEnd}, {kA + "xy", raLineEnd}, {"\tz", raLineEnd}}); }

struct TCaret {
  int Row;
  int Col;
  int Byte;
};

// As the caret drives it: anchored at one place, then following the caret to another.
void Drag(TEditorSelection& selection, TCaret from, TCaret to) {
  selection.Anchor(from.Row, from.Col, from.Byte);
  selection.Follow();
  selection.Recompute(to.Row, to.Col, to.Byte);
}

TEST(Selection, AStreamRangeRunsFromTheAnchorToTheCaretEitherWay) {
  const TFakeRows rows = ThreeLines();
  for (const bool backwards : {false, true}) {
    SCOPED_TRACE(backwards ? "backwards" : "forwards");
    TEditorSelection selection(rows);
    const TCaret afterA{0, 1, 1};
    const TCaret afterX{1, 3, 3};
    if (backwards) {
      Drag(selection, afterX, afterA);
    } else {
      Drag(selection, afterA, afterX);
    }
    EXPECT_EQ(selection.State(), sstSelected);
    EXPECT_EQ(selection.Text(), "bc\r\n" + kA + "x");
    EXPECT_EQ(selection.Length(), 7);
    EXPECT_EQ(selection.Start(2, 0), 1);
    EXPECT_EQ(selection.Range().Rect, (TSelectionRect{0, 1, 1, 3}));
    EXPECT_EQ(selection.FirstRow(), 0);
    EXPECT_EQ(selection.LastRow(), 1);
    // Cells: from the anchor on the top row up to, not including, the caret's cell.
    EXPECT_FALSE(selection.Contains(0, 0));
    EXPECT_TRUE(selection.Contains(0, 1));
    EXPECT_TRUE(selection.Contains(0, 50));
    EXPECT_TRUE(selection.Contains(1, 2));
    EXPECT_FALSE(selection.Contains(1, 3));
    EXPECT_FALSE(selection.Contains(2, 0));
  }
}

TEST(Selection, AnAnchorPastTheEndOfARowStandsAtItsEndInAStream) {
  const TFakeRows rows = ThreeLines();
  TEditorSelection selection(rows);
  selection.Anchor(0, 10, 3);
  EXPECT_EQ(selection.Range().AnchorCol, 3);
  selection.SetBox(true);  // a box keeps the column
  selection.Anchor(0, 10, 3);
  EXPECT_EQ(selection.Range().AnchorCol, 10);
}

TEST(Selection, AWrapJointAddsNoBytesAndTheCaretOffsetCountsLineEndsAsTwo) {
  const TFakeRows rows({{"ab", raWrap}, {"cd", raLineEnd}, {"e", raTextEnd}});
  TEditorSelection selection(rows);
  Drag(selection, {0, 1, 1}, {1, 1, 1});
  EXPECT_EQ(selection.Text(), "bc");
  EXPECT_EQ(selection.Length(), 2);
  selection.Clear();
  EXPECT_EQ(selection.Start(2, 1), 2 + 2 + 2 + 1);
  EXPECT_EQ(TEditorSelection(TFakeRows({})).Start(0, 0), 0);
}

TEST(Selection, ABoxTakesWholeCharactersAndTheCharacterAfterATabFill) {
  const TFakeRows rows = ThreeLines();
  TEditorSelection selection(rows);
  selection.SetBox(true);
  Drag(selection, {0, 1, 1}, {2, 9, 2});
  EXPECT_EQ(selection.Range().Rect, (TSelectionRect{0, 2, 1, 9}));
  // Column 1 is the trail of あ on row 1 and inside the tab on row 2: neither is taken.
  EXPECT_EQ(selection.BoxBytes(0), std::make_pair(1, 3));
  EXPECT_EQ(selection.BoxBytes(1), std::make_pair(2, 4));
  EXPECT_EQ(selection.BoxBytes(2), std::make_pair(1, 2));
  EXPECT_EQ(selection.Text(), "bc\r\nxy\r\nz\r\n");
  EXPECT_EQ(selection.Length(), 4 + 4 + 3);
  EXPECT_FALSE(selection.Contains(1, 1));
  EXPECT_TRUE(selection.Contains(1, 2));
  EXPECT_TRUE(selection.Contains(2, 8));
  EXPECT_FALSE(selection.Contains(2, 9));
}

TEST(Selection, ABoxEdgeOnALeadByteTakesItsTrailAndABoxMayReachTheRowAfterTheLastLineEnd) {
  const TFakeRows rows = ThreeLines();
  TEditorSelection selection(rows);
  selection.SetBox(true);
  Drag(selection, {1, 0, 0}, {1, 1, 0});  // one cell: the lead of あ
  EXPECT_EQ(selection.BoxBytes(1), std::make_pair(0, 2));
  EXPECT_EQ(selection.Text(), kA + "\r\n");
  EXPECT_TRUE(selection.Contains(1, 1));
  EXPECT_FALSE(selection.Contains(1, 2));

  Drag(selection, {2, 0, 0}, {3, 1, 0});
  EXPECT_EQ(selection.BoxBytes(2), std::make_pair(0, 1));  // the tab itself
  EXPECT_EQ(selection.BoxBytes(3), std::make_pair(0, 0));
  EXPECT_EQ(selection.Text(), "\t\r\n\r\n");
  EXPECT_EQ(selection.Length(), 3 + 2);
}

TEST(Selection, AHitExistsButHasNoTextAndCleaningForgetsItsLength) {
  const TFakeRows rows = ThreeLines();
  TEditorSelection selection(rows);
  selection.SetPlacingHit(true);
  Drag(selection, {0, 0, 0}, {0, 2, 2});
  selection.SetHitLength(2);
  EXPECT_EQ(selection.State(), sstHitSelected);
  EXPECT_TRUE(selection.Exists());
  EXPECT_EQ(selection.Length(), 0);
  EXPECT_EQ(selection.Text(), "");
  EXPECT_FALSE(selection.Contains(0, 0));
  EXPECT_EQ(selection.Start(2, 0), 0);  // where the hit starts, not the caret
  selection.Clear();
  EXPECT_FALSE(selection.Exists());
  EXPECT_EQ(selection.HitLength(), 0);

  selection.Place(true, sstSelected, {1, 2, 2, 4});
  EXPECT_TRUE(selection.Box());
  EXPECT_EQ(selection.Range().Previous, selection.Range().Rect);
  EXPECT_EQ(selection.Text(), "xy\r\n\r\n");  // row 2 has only the tab's filler there
}

TEST(Selection, AWholeRowGestureStaysInsideTheText) {
  const TFakeRows ended = ThreeLines();
  TEditorSelection selection(ended);
  EXPECT_EQ(selection.RowSelectRow(-5), 0);
  EXPECT_EQ(selection.RowSelectRow(3), 3);  // the empty row after the final line end
  EXPECT_EQ(selection.RowSelectRow(9), 3);
  const TFakeRows open({{"a", raLineEnd}, {"b", raTextEnd}});
  EXPECT_EQ(TEditorSelection(open).RowSelectRow(2), 1);
}

}  // namespace
}  // namespace plomaret
