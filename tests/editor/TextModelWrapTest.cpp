#include <gtest/gtest.h>

#include "TextModelSupport.h"
#include "app/XFileFixup.h"

namespace plomaret {
namespace {

using testing::RowsOf;
using testing::TEditorDouble;
using Rows = std::vector<std::string>;

class TextModelWrapTest : public ::testing::Test {
 protected:
  TextModelWrapTest() { Store().WrapOption()->SetWrapByte(20); }
  TEditorScreenStrings& Store() { return FEditor.Store(); }
  TEditorStrings& Lines() { return FEditor.Lines(); }
  TEditorDouble FEditor;
};

const std::string kLong = "abcdefghijklmnopqrstuvwxyz0123456789ABCDEFGHIJ";  // 46 columns

TEST_F(TextModelWrapTest, LinesReadLogicalLinesWhileRowsAreWrapped) {
  Lines().SetAllText("short\r\n" + kLong + "\r\nend");
  Store().SwitchWordWrap(true);
  EXPECT_EQ(RowsOf(Store()), (Rows{"short|L", "abcdefghijklmnopqrst|W", "uvwxyz0123456789ABCD|W", "EFGHIJ|L", "end|T"}));
  EXPECT_EQ(Lines().Count(), 3);
  EXPECT_EQ(Lines().Get(1), kLong);
  EXPECT_EQ(Lines().Get(2), "end");
  EXPECT_EQ(Lines().LineToRow(2), 4);
  EXPECT_EQ(Lines().LineToRow(3), 5) << "the line after the last starts at the row count";
  EXPECT_THROW(Lines().LineToRow(4), EStringListError);
  EXPECT_EQ(Lines().AllText(), "short\r\n" + kLong + "\r\nend");
}

TEST_F(TextModelWrapTest, WrapOffAndOnAgainGivesTheSameRowsWithMarksOnTheFirstRow) {
  Lines().SetAllText(kLong + "\r\nx\r\n");
  Store().SwitchWordWrap(true);
  const Rows wrapped = RowsOf(Store());
  Store().SetRowMarkBits(2, 0x0010);  // on the last row of the wrapped line
  Store().ReplaceText(4, 0, "y");
  EXPECT_TRUE(Store().UndoObj()->CanUndo());
  Store().SwitchWordWrap(false);
  EXPECT_FALSE(Store().UndoObj()->CanUndo()) << "switching the wrap forgets the history";
  EXPECT_EQ(Store().RowMarkBits(0), 0x0010);
  Store().SwitchWordWrap(true);
  Rows expected = wrapped;
  expected.back() = "x|L";
  expected.push_back("y|T");
  EXPECT_EQ(RowsOf(Store()), expected);
  EXPECT_EQ(Store().RowMarkBits(0), 0x0010);
  EXPECT_EQ(Store().RowMarkBits(2), 0);
}

TEST_F(TextModelWrapTest, EditingAWrappedLineSplitsItAgainFromOneRowAbove) {
  Lines().SetAllText(kLong + "\r\n");
  Store().SwitchWordWrap(true);
  // Type into the second row of the line: the row above is split again with it.
  Store().ReplaceText(1, 1, "UVW");
  EXPECT_EQ(RowsOf(Store()), (Rows{"abcdefghijklmnopqrst|W", "UVWEFGHIJ|L"}));
  EXPECT_EQ(Lines().Get(0), "abcdefghijklmnopqrstUVWEFGHIJ");
  Store().Undo();
  EXPECT_EQ(Lines().Get(0), kLong);
  EXPECT_EQ(Store().Count(), 3);
}

// With WordBreak, where a line breaks depends on how much of it follows, so an edit
// that re-splits only the end of a line leaves rows that a fresh split would not
// make. Undo must put back exactly the rows it took, or older steps no longer fit.
TEST_F(TextModelWrapTest, UndoPutsBackTheExactRowsAfterAPartialRewrap) {
  Store().WrapOption()->SetWordBreak(true);
  std::string line;
  for (int i = 0; i < 9; ++i) line += "0.5;,";
  Lines().SetAllText(line);
  Store().SwitchWordWrap(true);
  const int rows = Store().Count();
  ASSERT_GE(rows, 3);
  Store().ReplaceText(rows - 2, 2, "");  // shortens the line from its second-last row
  const Rows afterDelete = RowsOf(Store());
  Store().ReplaceText(0, 0, "a0.5;,a0.5;,0.5;,");
  const Rows afterInsert = RowsOf(Store());
  Store().Undo();
  EXPECT_EQ(RowsOf(Store()), afterDelete);
  Store().Undo();
  EXPECT_EQ(Lines().AllText(), line);
  Store().Redo();
  Store().Redo();
  EXPECT_EQ(RowsOf(Store()), afterInsert);
}

TEST_F(TextModelWrapTest, AWrapOptionChangeRewrapsAndForgetsHistory) {
  Lines().SetAllText(kLong);
  Store().SwitchWordWrap(true);
  Store().ReplaceText(0, 1, "a");
  Lines().SetAllText(kLong);
  Store().ReplaceText(0, 1, "Z");  // the first row becomes "Z", joined by the rest of the line
  EXPECT_EQ(RowsOf(Store()), (Rows{"Zuvwxyz0123456789ABC|W", "DEFGHIJ|T"}));
  Store().WrapOption()->SetWrapByte(30);
  EXPECT_FALSE(Store().UndoObj()->CanUndo());
  EXPECT_EQ(RowsOf(Store()), (Rows{"Zuvwxyz0123456789ABCDEFGHIJ|T"}));
}

TEST_F(TextModelWrapTest, TheFixUpOverWrappedLinesGivesTheSameTextAsUnwrapped) {
  const std::string text = " MeshTextureCoords {\r\n  3;\r\n  0.000000;0.500000;,\r\n  0.250000;0.750000;,\r\n"
                           "  1.000000;1.000000;;\r\n }\r\n MeshVertexColors {\r\n  0;1.000000;1.000000;1.000000;1.000000;;,\r\n"
                           " }\r\n}";
  auto run = [&](bool wrap) {
    TEditorDouble editor;
    editor.Store().WrapOption()->SetWrapByte(20);
    editor.Lines().SetAllText(text);
    editor.Store().SwitchWordWrap(wrap);
    auto working = Create<TStringList>();
    working->Assign(editor.Lines());
    ExchangeLines(*working);
    editor.Lines().Assign(*working);
    editor.Store().SwitchWordWrap(false);
    return editor.Lines().AllText();
  };
  const std::string unwrapped = run(false);
  EXPECT_NE(unwrapped.find("  0.000000;0.500000;\r\n"), std::string::npos);
  EXPECT_EQ(run(true), unwrapped);
}

TEST_F(TextModelWrapTest, PutOnAWrappedLineReplacesAllItsRows) {
  Lines().SetAllText("a\r\n" + kLong + "\r\nb\r\n");
  Store().SwitchWordWrap(true);
  Lines().Put(1, "short");
  EXPECT_EQ(RowsOf(Store()), (Rows{"a|L", "short|L", "b|L"}));
  for (int i = 0; i < Lines().Count(); ++i) Lines().Put(i, Lines().Get(i) + kLong);
  EXPECT_EQ(Lines().Count(), 3);
  EXPECT_EQ(Lines().Get(2), "b" + kLong);
}

}  // namespace
}  // namespace plomaret
