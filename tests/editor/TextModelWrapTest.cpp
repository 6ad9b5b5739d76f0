#include <gtest/gtest.h>

#include <random>

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

// The rows wrapping (or unwrapping) the store gives, made the plain way: each line
// joined, split afresh into new rows of a new list. Marks stay with the row of the
// same number, surplus ones go to the line's last row; unwrapped, a line takes the
// marks of all its rows. Each row as "text|attribute|marks|data word|state string".
Rows RowsRewrappedAfresh(const TEditorScreenStrings& store, bool wrap, const TEditorWrapOption& option) {
  const TCellLayout layout = store.CellLayout();
  TLineWrapper wrapper(option, layout.TabSpaceCount, *layout.Delimiters);
  Rows rows;
  auto add = [&rows](std::string_view text, TRowAttribute attribute, uint16_t marks) {
    rows.push_back(std::string(text) + "|" + "LWT"[attribute] + "|" + std::to_string(marks) + "|0|");
  };
  const int count = store.Count();
  for (int first = 0; first < count;) {
    const int last = store.LastRowOfLine(first);
    std::string line;
    std::vector<uint16_t> marks;
    for (int r = first; r <= last; ++r) {
      line += store.ViewAt(r);
      marks.push_back(store.RowMarkBits(r));
    }
    if (!wrap) {
      uint16_t all = 0;
      for (uint16_t m : marks) all |= m;
      add(line, raLineEnd, all);
    } else {
      const TLineRows lineRows = wrapper.Wrap(line);
      for (int r = 0; r < lineRows.Count(); ++r) {
        uint16_t rowMarks = r < static_cast<int>(marks.size()) ? marks[static_cast<size_t>(r)] : 0;
        if (r == lineRows.Count() - 1) {
          for (size_t old = static_cast<size_t>(r) + 1; old < marks.size(); ++old) rowMarks |= marks[old];
        }
        add(lineRows.Row(line, r), lineRows.Attribute(r), rowMarks);
      }
    }
    first = last + 1;
  }
  if (count > 0) {
    TRowAttribute end = store.RowAttributes(count - 1);
    if (!wrap && end == raWrap) end = raTextEnd;
    rows.back()[rows.back().find('|') + 1] = "LWT"[end];
  }
  return rows;
}

// The store's rows as RowsRewrappedAfresh gives them, parser states left out.
Rows RowsWithoutStates(const TEditorScreenStrings& store) {
  Rows rows;
  for (int r = 0; r < store.Count(); ++r) {
    rows.push_back(std::string(store.ViewAt(r)) + "|" + "LWT?"[store.RowAttributes(r)] + "|" +
                   std::to_string(store.RowMarkBits(r)) + "|" + std::to_string(store.DataWord(r)) + "|" +
                   (store.BracketIndexes(r) == kInvalidBracket ? store.StrData(r) : std::string()));
  }
  return rows;
}

// Wrapping, unwrapping and rewrapping with other options, over texts with long
// lines, tabs, double-byte characters, marks, states and row data, give the rows
// a fresh split gives, and the states a parse from the top gives.
TEST(WrapAll, GivesTheRowsOfAFreshSplitOfEveryLine) {
  std::mt19937 random(20261208);
  const Rows pieces = {"a", "bc", "0.5;,", " ", "\t", "\x82\xa0", "\x81\x41", "(", "{", "}", "//", "xyzw", "\r\n"};
  for (int round = 0; round < 60; ++round) {
    TEditorDouble editor;
    TEditorScreenStrings& store = editor.Store();
    editor.FTabSpaceCount = static_cast<int>(random() % 8) + 1;
    store.WrapOption()->SetWrapByte(std::vector<int>{20, 23, 40, 80}[random() % 4]);
    store.WrapOption()->SetWordBreak(random() % 2 == 0);
    std::string text;
    for (int i = static_cast<int>(random() % 600); i > 0; --i) text += pieces[random() % pieces.size()];
    if (random() % 2 == 0) text += "\r\n";
    editor.Lines().SetAllText(text);
    for (int step = 0; step < 8; ++step) {
      // Marks and row data on a few rows, and the states a parse keeps.
      for (int i = 0; i < 4 && store.Count() > 0; ++i) {
        const int row = static_cast<int>(random() % static_cast<unsigned>(store.Count()));
        const uint16_t mark = static_cast<uint16_t>(1u << (random() % 16));
        store.SetRowMarkBits(row, static_cast<uint16_t>(store.RowMarkBits(row) | mark));
        store.IncludeMarks(mark);
        if (random() % 3 == 0) store.SetDataWord(row, static_cast<int32_t>(random() % 1000) + 1);
      }
      store.ResetStates();
      TOwned<TEditorWrapOption> option = Create<TEditorWrapOption>();
      option->Assign(*store.WrapOption());
      // Wrapped, an option may change instead: the store wraps again with it.
      const bool optionChange = store.WordWrap() && random() % 3 == 0;
      if (optionChange) option->SetWrapByte(option->WrapByte() == 80 ? 23 : 80);
      const bool wrap = optionChange || !store.WordWrap();
      SCOPED_TRACE(::testing::Message() << "round " << round << " step " << step << " wrap " << wrap);
      const Rows expected = RowsRewrappedAfresh(store, wrap, *option);
      if (optionChange) {
        store.WrapOption()->Assign(*option);
      } else {
        store.SwitchWordWrap(wrap);
      }
      ASSERT_EQ(RowsWithoutStates(store), expected);
      ASSERT_EQ(testing::FirstStateNotAsFromTheTop(store, *editor.FFountain), -1);
      ASSERT_FALSE(store.UndoObj()->CanUndo());
    }
  }
}

}  // namespace
}  // namespace plomaret
