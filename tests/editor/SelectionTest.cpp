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

// A selection over the three lines above.
class SelectionTest : public ::testing::Test {
 protected:
  const TFakeRows FRows = ThreeLines();
  TEditorSelection FSelection{FRows};
};

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

TEST_F(SelectionTest, AnAnchorPastTheEndOfARowStandsAtItsEndInAStream) {
  FSelection.Anchor(0, 10, 3);
  EXPECT_EQ(FSelection.Range().AnchorCol, 3);
  FSelection.SetBox(true);  // a box keeps the column
  FSelection.Anchor(0, 10, 3);
  EXPECT_EQ(FSelection.Range().AnchorCol, 10);
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

TEST_F(SelectionTest, ABoxTakesWholeCharactersAndTheCharacterAfterATabFill) {
  FSelection.SetBox(true);
  Drag(FSelection, {0, 1, 1}, {2, 9, 2});
  EXPECT_EQ(FSelection.Range().Rect, (TSelectionRect{0, 2, 1, 9}));
  // Column 1 is the trail of あ on row 1 and inside the tab on row 2: neither is taken.
  EXPECT_EQ(FSelection.BoxBytes(0), std::make_pair(1, 3));
  EXPECT_EQ(FSelection.BoxBytes(1), std::make_pair(2, 4));
  EXPECT_EQ(FSelection.BoxBytes(2), std::make_pair(1, 2));
  EXPECT_EQ(FSelection.Text(), "bc\r\nxy\r\nz\r\n");
  EXPECT_EQ(FSelection.Length(), 4 + 4 + 3);
  EXPECT_FALSE(FSelection.Contains(1, 1));
  EXPECT_TRUE(FSelection.Contains(1, 2));
  EXPECT_TRUE(FSelection.Contains(2, 8));
  EXPECT_FALSE(FSelection.Contains(2, 9));
}

TEST_F(SelectionTest, ABoxEdgeOnALeadByteTakesItsTrailAndABoxMayReachTheRowAfterTheLastLineEnd) {
  FSelection.SetBox(true);
  Drag(FSelection, {1, 0, 0}, {1, 1, 0});  // one cell: the lead of あ
  EXPECT_EQ(FSelection.BoxBytes(1), std::make_pair(0, 2));
  EXPECT_EQ(FSelection.Text(), kA + "\r\n");
  EXPECT_TRUE(FSelection.Contains(1, 1));
  EXPECT_FALSE(FSelection.Contains(1, 2));

  Drag(FSelection, {2, 0, 0}, {3, 1, 0});
  EXPECT_EQ(FSelection.BoxBytes(2), std::make_pair(0, 1));  // the tab itself
  EXPECT_EQ(FSelection.BoxBytes(3), std::make_pair(0, 0));
  EXPECT_EQ(FSelection.Text(), "\t\r\n\r\n");
  EXPECT_EQ(FSelection.Length(), 3 + 2);
}

TEST_F(SelectionTest, AHitExistsButHasNoTextAndCleaningForgetsItsLength) {
  FSelection.SetPlacingHit(true);
  Drag(FSelection, {0, 0, 0}, {0, 2, 2});
  FSelection.SetHitLength(2);
  EXPECT_EQ(FSelection.State(), sstHitSelected);
  EXPECT_TRUE(FSelection.Exists());
  EXPECT_EQ(FSelection.Length(), 0);
  EXPECT_EQ(FSelection.Text(), "");
  EXPECT_FALSE(FSelection.Contains(0, 0));
  EXPECT_EQ(FSelection.Start(2, 0), 0);  // where the hit starts, not the caret
  FSelection.Clear();
  EXPECT_FALSE(FSelection.Exists());
  EXPECT_EQ(FSelection.HitLength(), 0);

  FSelection.Place(true, sstSelected, {1, 2, 2, 4});
  EXPECT_TRUE(FSelection.Box());
  EXPECT_EQ(FSelection.Range().Previous, FSelection.Range().Rect);
  EXPECT_EQ(FSelection.Text(), "xy\r\n\r\n");  // row 2 has only the tab's filler there
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
