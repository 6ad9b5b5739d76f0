#include <gtest/gtest.h>

#include "TextModelSupport.h"

namespace plomaret {
namespace {

using testing::RowsOf;
using testing::TEditorDouble;
using Rows = std::vector<std::string>;

class RowStoreTest : public ::testing::Test {
 protected:
  void SetText(const std::string& text) { FEditor.Lines().SetAllText(text); }
  TEditorScreenStrings& Store() { return FEditor.Store(); }
  TEditorDouble FEditor;
};

TEST_F(RowStoreTest, ReplacingRowsByTextSplitsItAndKeepsTheTextEnd) {
  SetText("one\r\ntwo\r\nthree");
  Store().ReplaceText(1, 1, "2a\r\n2b\r\n");
  EXPECT_EQ(RowsOf(Store()), (Rows{"one|L", "2a|L", "2b|L", "three|T"}));
  // A text without a final line end joins the next line.
  Store().ReplaceText(0, 1, "zero ");
  EXPECT_EQ(RowsOf(Store()), (Rows{"zero 2a|L", "2b|L", "three|T"}));
  // Replacing the last row: the text says how the document ends.
  Store().ReplaceText(2, 1, "end\r\n");
  EXPECT_EQ(RowsOf(Store()), (Rows{"zero 2a|L", "2b|L", "end|L"}));
  Store().ReplaceText(3, 0, "after");
  EXPECT_EQ(RowsOf(Store()), (Rows{"zero 2a|L", "2b|L", "end|L", "after|T"}));
  EXPECT_EQ(FEditor.Lines().AllText(), "zero 2a\r\n2b\r\nend\r\nafter");
}

TEST_F(RowStoreTest, OutOfRangeRequestsAreIgnored) {
  SetText("a\r\n");
  Store().ReplaceText(-1, 1, "x");
  Store().ReplaceText(0, 2, "x");
  Store().ReplaceText(2, 0, "x");
  Store().ReplaceText(1, 0, "");
  EXPECT_EQ(RowsOf(Store()), (Rows{"a|L"}));
  EXPECT_EQ(Store().DeleteRows(5, 1), 0);
  EXPECT_FALSE(Store().UndoObj()->CanUndo());
}

TEST_F(RowStoreTest, WholeLineDeletionGivesItsMarksToTheNextRow) {
  SetText("a\r\nb\r\nc\r\n");
  Store().SetRowMarkBits(1, 0x0004);
  Store().IncludeMarks(0x0004);
  Store().ReplaceText(1, 1, "");
  EXPECT_EQ(RowsOf(Store()), (Rows{"a|L", "c|L"}));
  EXPECT_EQ(Store().RowMarkBits(1), 0x0004);
  Store().ReplaceText(0, 2, "");
  EXPECT_EQ(Store().Count(), 0);
  EXPECT_EQ(Store().Marks(), 0) << "deleting everything drops the mark";
}

TEST_F(RowStoreTest, ALineInsertedAtColumnZeroPushesTheBookmarkDown) {
  SetText("a\r\nmarked\r\nc\r\n");
  Store().SetRowMarkBits(1, 0x0001);
  FEditor.FRow = 1;
  FEditor.FCol = 0;
  Store().ReplaceText(1, 1, "new\r\nmarked\r\n");
  EXPECT_EQ(RowsOf(Store()), (Rows{"a|L", "new|L", "marked|L", "c|L"}));
  EXPECT_EQ(Store().RowMarkBits(1), 0);
  EXPECT_EQ(Store().RowMarkBits(2), 0x0001);
  // Splitting a marked line anywhere else keeps the mark on its first part.
  FEditor.FCol = 3;
  Store().ReplaceText(2, 1, "mar\r\nked\r\n");
  EXPECT_EQ(Store().RowMarkBits(2), 0x0001);
  EXPECT_EQ(Store().RowMarkBits(3), 0);
}

TEST_F(RowStoreTest, AppendsMoveNoMarks) {
  // Typing on the empty row after a final line end, with a mark on the row above.
  SetText("a\r\nb\r\n");
  Store().SetRowMarkBits(1, 0x0002);
  Store().ReplaceText(2, 0, "c");
  EXPECT_EQ(RowsOf(Store()), (Rows{"a|L", "b|L", "c|T"}));
  EXPECT_EQ(Store().RowMarkBits(1), 0x0002);
  EXPECT_EQ(Store().RowMarkBits(2), 0);
  // Undoing the deletion of a line above a marked row puts the line back without
  // taking the mark.
  SetText("a\r\nb\r\nc\r\n");
  Store().SetRowMarkBits(2, 0x0008);
  Store().ReplaceText(1, 1, "");
  Store().Undo();
  EXPECT_EQ(RowsOf(Store()), (Rows{"a|L", "b|L", "c|L"}));
  EXPECT_EQ(Store().RowMarkBits(2), 0x0008);
  EXPECT_EQ(Store().RowMarkBits(1), 0);
}

TEST_F(RowStoreTest, EachReplaceIsOneChangeForEveryEditor) {
  SetText("a\r\nb\r\n");
  TEditorDouble second(&Store());
  FEditor.FChanges = second.FChanges = 0;
  Store().ReplaceText(1, 1, "x\r\ny\r\n");
  EXPECT_EQ(FEditor.FChanges, 1);
  EXPECT_EQ(second.FChanges, 1);
  EXPECT_EQ(FEditor.FLastChange, (std::vector<int>{1, 1, 2, 1}));
  EXPECT_FALSE(Store().ChangePending()) << "the record is zeroed once the editors know";
}

TEST_F(RowStoreTest, UndoAndRedoRestoreTextAndCaret) {
  SetText("alpha\r\nbeta\r\n");
  FEditor.FRow = 1;
  FEditor.FCol = 2;
  Store().ReplaceText(1, 1, "BETA\r\ngamma\r\n");
  FEditor.FRow = 2;
  FEditor.FCol = 5;
  Store().Undo();
  EXPECT_EQ(FEditor.Lines().AllText(), "alpha\r\nbeta\r\n");
  EXPECT_EQ(FEditor.FRow, 1);
  EXPECT_EQ(FEditor.FCol, 2);
  EXPECT_TRUE(Store().UndoObj()->CanRedo());
  Store().Redo();
  EXPECT_EQ(FEditor.Lines().AllText(), "alpha\r\nBETA\r\ngamma\r\n");
  EXPECT_EQ(FEditor.FRow, 2) << "the caret from before the undo";
  EXPECT_EQ(FEditor.FCol, 5);
  Store().Undo();
  Store().ReplaceText(0, 1, "new\r\n");
  EXPECT_FALSE(Store().UndoObj()->CanRedo()) << "a new change empties the redo list";
  EXPECT_EQ(FEditor.FCaretHides, 0);
}

TEST_F(RowStoreTest, UndoRemovesInsertedRowsAndRestoresATextEnd) {
  SetText("a\r\nla");
  // After a text end there is no row to start: the text joins the last line.
  Store().ReplaceText(2, 0, "st");
  EXPECT_EQ(RowsOf(Store()), (Rows{"a|L", "last|T"}));
  Store().ReplaceText(1, 1, "");  // delete the last line, which had no line end
  EXPECT_EQ(FEditor.Lines().AllText(), "a\r\n");
  Store().Undo();
  EXPECT_EQ(RowsOf(Store()), (Rows{"a|L", "last|T"}));

  SetText("a\r\n");
  Store().ReplaceText(1, 0, "b\r\nc\r\n");
  EXPECT_EQ(Store().UndoObj()->UndoList().Count(), 1);
  Store().Undo();
  EXPECT_EQ(RowsOf(Store()), (Rows{"a|L"}));
}

TEST_F(RowStoreTest, AnEmptyLastRowAfterALineEndIsKeptThroughEditsAndRedo) {
  // The text "a CR LF CR LF" ends in an empty text-end row.
  Store().ReplaceText(0, 0, "a\r\n\r\n\r");
  EXPECT_EQ(RowsOf(Store()), (Rows{"a|L", "|L", "|T"}));
  Store().ReplaceText(0, 1, "b\r\n");
  EXPECT_EQ(FEditor.Lines().AllText(), "b\r\n\r\n");
  Store().ReplaceText(1, 1, "c\r\n");  // the line before the empty last row
  EXPECT_EQ(FEditor.Lines().AllText(), "b\r\nc\r\n");
  while (Store().UndoObj()->CanUndo()) Store().Undo();
  EXPECT_EQ(FEditor.Lines().AllText(), "");
  Store().Redo();
  EXPECT_EQ(FEditor.Lines().AllText(), "a\r\n\r\n") << "redo lost a line end";
  Store().Redo();
  Store().Redo();
  EXPECT_EQ(FEditor.Lines().AllText(), "b\r\nc\r\n");
}

TEST_F(RowStoreTest, TheUndoLimitIsNeverBelow64) {
  SetText("x\r\n");
  Store().UndoObj()->SetListMax(10);
  EXPECT_EQ(Store().UndoObj()->ListMax(), 64);
  for (int i = 0; i < 65; ++i) Store().ReplaceText(0, 1, std::to_string(i) + "\r\n");
  int undone = 0;
  while (Store().UndoObj()->CanUndo()) {
    Store().Undo();
    ++undone;
  }
  EXPECT_EQ(undone, 64);
  EXPECT_EQ(FEditor.Lines().AllText(), "0\r\n") << "the first change can no longer be undone";
  Store().UndoObj()->SetListMax(100);
  EXPECT_EQ(Store().UndoObj()->ListMax(), 100);
}

TEST_F(RowStoreTest, EditorsSharingATextShareItsHistoryAndTheFocusedCaretIsRestored) {
  SetText("a\r\n");
  auto second = std::make_unique<TEditorDouble>(&Store());
  second->FFocused = true;
  second->FRow = 0;
  second->FCol = 1;
  Store().ReplaceText(0, 1, "ab\r\n");
  second->FCol = 2;
  FEditor.FCol = 0;
  Store().Undo();
  EXPECT_EQ(second->FCol, 1);
  EXPECT_EQ(FEditor.FCol, 0);
  second.reset();  // a view goes; the document stays with the other one
  EXPECT_EQ(Store().Editors().size(), 1u);
}

TEST_F(RowStoreTest, ParserStatesFollowAnOpenBracketAndStopWhereTheyAgree) {
  TFountainBracketItem* item = FEditor.FFountain->Brackets()->Add();
  item->SetLeftBracket("{");
  item->SetRightBracket("}");
  SetText("a\r\nb\r\nc\r\nd\r\n");
  Store().ResetStates();
  EXPECT_EQ(Store().BracketIndexes(3), kNoBracket);
  Store().ReplaceText(1, 1, "b {\r\n");
  EXPECT_EQ(Store().BracketIndexes(2), 0);
  EXPECT_EQ(Store().BracketIndexes(3), 0);
  Store().ReplaceText(2, 1, "}\r\n");
  EXPECT_EQ(Store().BracketIndexes(3), kNoBracket);
  Store().ReplaceText(0, 1, "A\r\n");
  EXPECT_EQ(Store().ChangeParsed(), 0);
}

TEST_F(RowStoreTest, ClearEmptiesTextHistoryAndMarksAndHomesTheCarets) {
  SetText("a\r\nb\r\n");
  Store().SetRowMarkBits(0, 1);
  Store().IncludeMarks(1);
  Store().ReplaceText(0, 1, "x\r\n");
  FEditor.FRow = 1;
  FEditor.FCol = 3;
  Store().Clear();
  EXPECT_EQ(Store().Count(), 0);
  EXPECT_FALSE(Store().UndoObj()->CanUndo());
  EXPECT_EQ(Store().Marks(), 0);
  EXPECT_EQ(FEditor.FRow, 0);
  EXPECT_EQ(FEditor.FCol, 0);
}

}  // namespace
}  // namespace plomaret
