// An edit of a wrapped line splits it again only until a new row starts where an old
// one does. A store that splits to the end of the line is the reference: after every
// step both must hold the same rows, attributes, marks and parser states, tell their
// editors the same change, and undo and redo alike.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "TextModelSupport.h"

namespace plomaret {
namespace {

using testing::RowWordsOf;
using testing::TEditorDouble;
using testing::TWholeLineSplitStore;

// A double that records every change it is told of and every row it must repaint.
class TRecordingDouble : public TEditorDouble {
 public:
  explicit TRecordingDouble(TEditorScreenStrings* shared = nullptr) : TEditorDouble(shared) {
    TFountainBracketItem* bracket = FFountain->Brackets()->Add();
    bracket->SetLeftBracket("{");
    bracket->SetRightBracket("}");
    FFountain->SetCommenter("//");
  }
  void TextChanged(TEditorScreenStrings& store) override {
    TEditorDouble::TextChanged(store);
    FChangesSeen.push_back({store.ChangeRow(), store.ChangeOldCount(), store.ChangeNewCount(), store.ChangeParsed()});
  }
  void InvalidateRow(int row) override { FRowsInvalidated.push_back(row); }

  std::vector<std::vector<int>> FChangesSeen;
  std::vector<int> FRowsInvalidated;
};

class TTwinStores {
 public:
  TTwinStores() : FWhole(Create<TWholeLineSplitStore>().release()) {}

  template <class Step>
  void Apply(Step step) {
    step(FPartial);
    step(FWhole);
  }

  void ExpectSame(const std::string& what) {
    SCOPED_TRACE(what);
    ASSERT_EQ(RowWordsOf(FPartial.Store()), RowWordsOf(FWhole.Store()));
    ASSERT_EQ(FPartial.FChangesSeen, FWhole.FChangesSeen);
    ASSERT_EQ(FPartial.FRowsInvalidated, FWhole.FRowsInvalidated);
    ASSERT_EQ(FPartial.FLog, FWhole.FLog);
    ASSERT_EQ(FPartial.Store().Marks(), FWhole.Store().Marks());
    const TEditorUndoObj& partial = *FPartial.Store().UndoObj();
    const TEditorUndoObj& whole = *FWhole.Store().UndoObj();
    ASSERT_EQ(partial.UndoList().Count(), whole.UndoList().Count());
    ASSERT_EQ(partial.RedoList().Count(), whole.RedoList().Count());
  }

  TRecordingDouble FPartial;
  TRecordingDouble FWhole;
};

const std::vector<std::string> kPieces = {"a", "bc", "0.5;,", " ", "\t", "\x82\xa0", "\x81\x42", "\x81\x41", "(",
                                          "{", "}",  "//",    ",", ".",  ")",        "\xb1",     "\x81\x75", "xyzw"};

std::string RandomText(std::mt19937& random, int pieces) {
  std::string text;
  for (int i = 0; i < pieces; ++i) text += kPieces[random() % kPieces.size()];
  return text;
}

// A text of a few lines, some of them many rows long.
std::string RandomDocument(std::mt19937& random) {
  std::string text;
  for (int line = static_cast<int>(random() % 4) + 1; line > 0; --line) {
    const int pieces = random() % 3 == 0 ? static_cast<int>(random() % 8) : static_cast<int>(random() % 900);
    text += RandomText(random, pieces);
    if (line > 1 || random() % 2 == 0) text += "\r\n";
  }
  return text;
}

// The text that typing or deleting one character leaves in a row, as the editor
// hands it to ReplaceText: the row's text with its line end.
std::string EditedRow(std::mt19937& random, const TEditorScreenStrings& store, int row) {
  std::string text(store.ViewAt(row));
  const size_t at = text.empty() ? 0 : random() % (text.size() + 1);
  if (random() % 3 == 0 && at < text.size()) {
    text.erase(at, 1);
  } else {
    text.insert(at, kPieces[random() % kPieces.size()]);
  }
  if (store.RowAttributes(row) == raLineEnd) text += "\r\n";
  return text;
}

TEST(PartialRewrap, AgreesWithSplittingTheWholeRestOfTheLine) {
  std::mt19937 random(20250108);
  for (int round = 0; round < 80; ++round) {
    TTwinStores twins;
    const int wrapByte = std::vector<int>{20, 23, 40, 80}[random() % 4];
    const unsigned options = random();
    const int tab = static_cast<int>(random() % 12) + 1;
    const std::string document = RandomDocument(random);
    twins.Apply([&](TRecordingDouble& editor) {
      editor.FTabSpaceCount = tab;
      if ((options & 16) != 0) editor.FDelimiters = DefaultDelimiters();
      TEditorWrapOption& option = *editor.Store().WrapOption();
      option.SetWrapByte(wrapByte);
      option.SetFollowRetMark((options & 1) != 0);
      option.SetFollowPunctuation((options & 2) != 0);
      option.SetLeading((options & 4) != 0);
      option.SetWordBreak((options & 8) != 0);
      editor.Lines().SetAllText(document);
      editor.Store().SwitchWordWrap(true);
    });
    twins.ExpectSame("round " + std::to_string(round) + " start");
    for (int step = 0; step < 40; ++step) {
      const int count = twins.FPartial.Store().Count();
      const unsigned op = random() % 10;
      const int row = static_cast<int>(random() % static_cast<unsigned>(count + 1));
      const int rows = static_cast<int>(random() % static_cast<unsigned>(std::min(count - row, 3) + 1));
      const int col = static_cast<int>(random() % 3);
      std::string text;
      if (op < 5 && row < count) {
        text = EditedRow(random, twins.FPartial.Store(), row);
      } else if (op < 7) {
        text = RandomText(random, static_cast<int>(random() % 6));
        if (random() % 3 == 0) text += "\r\n";
      }
      const uint16_t mark = static_cast<uint16_t>(1u << (random() % 16));
      twins.Apply([&](TRecordingDouble& editor) {
        TEditorScreenStrings& store = editor.Store();
        editor.FCol = col;
        if (op < 5 && row < count) {
          store.ReplaceText(row, 1, text);
        } else if (op < 7) {
          store.ReplaceText(row, rows, text);
        } else if (op == 7) {
          store.Undo();
        } else if (op == 8) {
          store.Redo();
        } else if (row < count) {
          store.SetRowMarkBits(row, static_cast<uint16_t>(store.RowMarkBits(row) | mark));
          store.IncludeMarks(mark);
        }
      });
      twins.ExpectSame("round " + std::to_string(round) + " step " + std::to_string(step) + " op " +
                       std::to_string(op) + " row " + std::to_string(row));
    }
    // The whole history, back and forth.
    for (int i = 0; i < 45; ++i) twins.Apply([](TRecordingDouble& editor) { editor.Store().Undo(); });
    twins.ExpectSame("round " + std::to_string(round) + " undone");
    for (int i = 0; i < 45; ++i) twins.Apply([](TRecordingDouble& editor) { editor.Store().Redo(); });
    twins.ExpectSame("round " + std::to_string(round) + " redone");
  }
}

// Typing into the middle of a long wrapped line: with word breaks the rows meet the
// old ones again right after the edit, and the rest of the line stays as it was.
TEST(PartialRewrap, ARowAfterTheEditMeetsTheOldRowsAndTheRestStays) {
  TEditorDouble editor;
  editor.FDelimiters = DefaultDelimiters();
  editor.Store().WrapOption()->SetWrapByte(20);
  editor.Store().WrapOption()->SetWordBreak(true);
  std::string line;
  for (int i = 0; i < 400; ++i) line += "abcdefgh ";  // rows of two words and two free cells
  editor.Lines().SetAllText(line);
  editor.Store().SwitchWordWrap(true);
  const int count = editor.Store().Count();
  const std::vector<std::string> before = testing::RowsOf(editor.Store());
  const int row = count / 2;
  std::string text(editor.Store().ViewAt(row));
  text.insert(2, "x");
  editor.Store().ReplaceText(row, 1, text);
  EXPECT_EQ(editor.FLastChange, (std::vector<int>{row - 1, count - row + 1, count - row + 1, 1}))
      << "the change still covers the rest of the line";
  const std::vector<std::string> after = testing::RowsOf(editor.Store());
  ASSERT_EQ(after.size(), before.size());
  int differing = 0;
  for (size_t i = 0; i < after.size(); ++i) differing += after[i] != before[i] ? 1 : 0;
  EXPECT_EQ(differing, 1);
  editor.Store().Undo();
  EXPECT_EQ(testing::RowsOf(editor.Store()), before);
  editor.Store().Redo();
  EXPECT_EQ(testing::RowsOf(editor.Store()), after);
}

}  // namespace
}  // namespace plomaret
