// Editing at the edges of its rules: an indent of exactly one blank, the caret just
// inside and just at the end of an indent, tabs from the tab-stop remainder, the soft
// tab next to a stop and next to the wrap column, BackSpace one column off the indent,
// the characters a keystroke inserts, the 1000-column limit and the undo limit.

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "editor/EditorControl.h"
#include "framework/headless/HeadlessPlatform.h"

namespace plomaret {
namespace {

class EditingEdgesTest : public ::testing::Test {
 protected:
  EditingEdgesTest() {
    UseHeadlessPlatform().HeadlessFontEngine().SetFixedMetrics({16, 13, 3, 0, 8, 16});
    FEditor->SetBounds(0, 0, 400, 200);
    FEditor->HandleNeeded();
    FEditor->SetFocus();
  }
  TEditor& Editor() { return *FEditor; }
  // Text and caret after putting the caret at (row, col) of text and pressing a key.
  using TResult = std::tuple<std::string, int, int>;
  template <class Key>
  TResult After(const std::string& text, int row, int col, Key key) {
    FEditor->Lines()->SetAllText(text);
    FEditor->SetRowCol(row, col);
    key(*FEditor);
    return {FEditor->Lines()->AllText(), FEditor->Row(), FEditor->Col()};
  }
  TResult Return(const std::string& text, int row, int col) {
    return After(text, row, col, [](TEditor& e) { e.ReturnKey(false); });
  }
  TResult BackSpace(const std::string& text, int row, int col) {
    return After(text, row, col, [](TEditor& e) { e.BackSpaceKey(); });
  }
  // The bytes given, each as one character message, all queued before the first is handled.
  std::string Typed(const std::vector<int>& bytes) {
    FEditor->Lines()->SetAllText("");
    for (int b : bytes) FEditor->PostMessage(WM_CHAR, b);
    FEditor->ProcessMessages();
    return FEditor->Lines()->AllText();
  }

  TOwned<TEditor> FEditor = CreateWithoutOwner<TEditor>();
};

using TResult = std::tuple<std::string, int, int>;

TEST_F(EditingEdgesTest, AutoIndentFromAnIndentOfOneBlank) {
  EXPECT_EQ(Return(" x", 0, 2), (TResult{" x\r\n ", 1, 1})) << "after the text: the whole indent";
  EXPECT_EQ(Return(" x", 0, 1), (TResult{" \r\n x", 1, 1})) << "at the indent's end: the whole indent";
  EXPECT_EQ(Return(" x", 0, 0), (TResult{"\r\n x", 1, 0})) << "inside the indent: up to the caret";
  EXPECT_EQ(Return("x", 0, 1), (TResult{"x\r\n", 1, 0})) << "no indent";
  EXPECT_EQ(Return("\x81\x40x", 0, 3), (TResult{"\x81\x40x\r\n  ", 1, 2})) << "the full-width blank is two";
  Editor().Caret()->SetAutoIndent(false);
  EXPECT_EQ(Return(" x", 0, 2), (TResult{" x\r\n", 1, 0}));
}

TEST_F(EditingEdgesTest, AutoIndentOnARowThatContinuesTheLineTakesTheWholeIndent) {
  // The caret column counts only on the line's first row: on the row after a wrap
  // the new line gets the whole indent of four, not one.
  Editor().WrapOption()->SetWrapByte(20);
  Editor().SetWordWrap(true);
  const std::string line = "    " + std::string(25, 'a');
  EXPECT_EQ(Return(line, 1, 1), (TResult{"    " + std::string(17, 'a') + "\r\n    " + std::string(8, 'a'), 2, 4}));
}

TEST_F(EditingEdgesTest, TabIndentAroundOneTabStop) {
  Editor().Caret()->SetTabIndent(true);
  Editor().Caret()->SetTabSpaceCount(4);
  EXPECT_EQ(Return("   x", 0, 4), (TResult{"   x\r\n   ", 1, 3}));
  EXPECT_EQ(Return("    x", 0, 5), (TResult{"    x\r\n\t", 1, 4}));
  EXPECT_EQ(Return("     x", 0, 6), (TResult{"     x\r\n\t ", 1, 5}));
  EXPECT_EQ(Return("       x", 0, 8), (TResult{"       x\r\n\t   ", 1, 7}));
  EXPECT_EQ(Return("        x", 0, 9), (TResult{"        x\r\n\t\t", 1, 8}));
}

TEST_F(EditingEdgesTest, PreviousIndentOnlyForAnEmptyRowAndFromTheStartOfALine) {
  Editor().Caret()->SetPrevSpaceIndent(true);
  EXPECT_EQ(Return(" a\r\n\r\nx", 1, 0), (TResult{" a\r\n\r\n \r\nx", 2, 1}));
  EXPECT_EQ(Return("  a\r\nx", 1, 1), (TResult{"  a\r\nx\r\n", 2, 0})) << "a row with text keeps its own (none)";
  EXPECT_EQ(Return("a\r\n\r\n", 1, 0), (TResult{"a\r\n\r\n\r\n", 2, 0}));
  // The row above is the second row of a wrapped line: its indent does not count.
  Editor().WrapOption()->SetWrapByte(20);
  Editor().SetWordWrap(true);
  const std::string line = "  " + std::string(30, 'b');
  EXPECT_EQ(Return(line + "\r\n\r\nz", 2, 0), (TResult{line + "\r\n\r\n  \r\nz", 3, 2}));
}

TEST_F(EditingEdgesTest, SoftTabRunsToTheNextStopOrTheWrapColumn) {
  Editor().Caret()->SetSoftTab(true);
  auto tab = [&](int col) {
    return std::get<0>(After(std::string(static_cast<size_t>(col), 'a'), 0, col, [](TEditor& e) { e.TabKey(); }));
  };
  for (auto [col, blanks] : {std::pair{0, 8}, {1, 7}, {7, 1}, {8, 8}, {9, 7}, {15, 1}, {16, 8}}) {
    EXPECT_EQ(tab(col), std::string(static_cast<size_t>(col), 'a') + std::string(static_cast<size_t>(blanks), ' '))
        << col;
  }
  Editor().WrapOption()->SetWrapByte(20);
  Editor().SetWordWrap(true);
  for (auto [col, blanks] : {std::pair{12, 4}, {16, 4}, {17, 3}, {18, 2}, {19, 1}}) {
    EXPECT_EQ(tab(col), std::string(static_cast<size_t>(col), 'a') + std::string(static_cast<size_t>(blanks), ' '))
        << "wrapped, " << col;
  }
}

TEST_F(EditingEdgesTest, BackSpaceUnindentsOnlyAtTheIndentsEnd) {
  // At the end of an indent of eight: back to the nearest smaller indent above,
  // passing rows indented as far as the caret.
  EXPECT_EQ(BackSpace("    a\r\n        c\r\n        b", 2, 8), (TResult{"    a\r\n        c\r\n    b", 2, 4}));
  EXPECT_EQ(BackSpace("       a\r\n        b", 1, 8), (TResult{"       a\r\n       b", 1, 7}));
  EXPECT_EQ(BackSpace(" a\r\n b", 1, 1), (TResult{" a\r\nb", 1, 0}));
  EXPECT_EQ(BackSpace("    a", 0, 4), (TResult{"a", 0, 0})) << "nothing above: back to column 0";
  // One column either side of the indent's end: an ordinary BackSpace.
  EXPECT_EQ(BackSpace("    a\r\n        b", 1, 7), (TResult{"    a\r\n       b", 1, 6}));
  EXPECT_EQ(BackSpace("    a\r\n        b", 1, 9), (TResult{"    a\r\n        ", 1, 8}));
  // A row of blanks only, and an empty row with the caret beyond its end.
  EXPECT_EQ(BackSpace("  a\r\n    ", 1, 4), (TResult{"  a\r\n  ", 1, 2}));
  EXPECT_EQ(BackSpace("  a\r\n\r\nx", 1, 3), (TResult{"  a\r\n\r\nx", 1, 2}));
  EXPECT_EQ(BackSpace("  a\r\n\r\nx", 1, 2), (TResult{"  a\r\n\r\nx", 1, 0}));
  Editor().Caret()->SetBackSpaceUnIndent(false);
  EXPECT_EQ(BackSpace("    a\r\n        b", 1, 8), (TResult{"    a\r\n       b", 1, 7}));
}

TEST_F(EditingEdgesTest, AKeystrokeInsertsPrintableBytesOnly) {
  // 32-126 and 160-255 that are not lead bytes; control bytes, 127 and 128 are ignored.
  for (int b : {0x01, 0x1F, 0x7F, 0x80}) EXPECT_EQ(Typed({'a', b, 'b'}), "ab") << b;
  for (int b : {0x20, 0x7E, 0xA0, 0xA1, 0xDF, 0xFD, 0xFF}) {
    EXPECT_EQ(Typed({'a', b, 'b'}), "a" + std::string(1, static_cast<char>(b)) + "b") << b;
  }
}

TEST_F(EditingEdgesTest, ALeadByteTakesTheNextCharacterFrom64Up) {
  for (int lead : {0x81, 0x9F}) {
    for (int trail : {0x40, 0x7E, 0x80, 0xFC, 0xFF}) {
      const std::string pair = {static_cast<char>(lead), static_cast<char>(trail)};
      EXPECT_EQ(Typed({lead, trail}), pair) << lead << " " << trail;
    }
    // Below 64 the next character is no trail byte: the lead byte is dropped.
    EXPECT_EQ(Typed({lead, 0x3F}), "?") << lead;
    EXPECT_EQ(Typed({lead}), "") << lead;
  }
}

TEST_F(EditingEdgesTest, TheCaretStopsAtColumn1000UnlessADoubleByteCharacterStartsAt999) {
  auto colAfter = [&](const std::string& row, int col) {
    Editor().Lines()->SetAllText(row);
    Editor().SetRowCol(0, 0);
    Editor().SetCol(col);
    return Editor().Col();
  };
  const std::string a = "\x82\xA0";
  EXPECT_EQ(colAfter("x", 999), 999);
  EXPECT_EQ(colAfter("x", 1000), 1000);
  EXPECT_EQ(colAfter("x", 1001), 1000);
  EXPECT_EQ(colAfter(std::string(999, 'a') + a, 1001), 1001);
  EXPECT_EQ(colAfter(std::string(999, 'a') + a, 1002), 1001);
  EXPECT_EQ(colAfter(std::string(999, 'a') + a, 1000), 1001) << "not inside the character";
  EXPECT_EQ(colAfter(std::string(998, 'a') + a + "b", 1001), 1000);
  EXPECT_EQ(colAfter(std::string(1000, 'a') + a, 1001), 1000);
}

TEST_F(EditingEdgesTest, TheUndoListHoldsAtLeast64Steps) {
  for (auto [given, kept] : {std::pair{0, 64}, {63, 64}, {64, 64}, {65, 65}}) {
    Editor().SetUndoListMax(given);
    EXPECT_EQ(Editor().UndoListMax(), kept) << given;
  }
  // With the limit at 65, 66 steps leave the last 65.
  Editor().Lines()->SetAllText("");
  for (int i = 0; i < 66; ++i) Editor().InsertText("x");
  int undone = 0;
  while (Editor().CanUndo()) {
    Editor().Undo();
    ++undone;
  }
  EXPECT_EQ(undone, 65);
  EXPECT_EQ(Editor().Lines()->AllText(), "x");
}

}  // namespace
}  // namespace plomaret
