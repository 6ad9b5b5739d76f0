// Editing through the control: one undo step per change, ReadOnly everywhere, and
// the clipboard formats. The cases a user sees are in tests/scripts.

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "editor/EditorControl.h"
#include "editor/EditorUtils.h"
#include "framework/headless/HeadlessPlatform.h"

namespace plomaret {
namespace {

class EditorEditingTest : public ::testing::Test {
 protected:
  EditorEditingTest() {
    UseHeadlessPlatform().HeadlessFontEngine().SetFixedMetrics({16, 13, 3, 0, 8, 16});
    FEditor->SetBounds(0, 0, 400, 200);
    FEditor->HandleNeeded();
    FEditor->SetFocus();
  }
  // The text, a stream selection of row 1 from column 1 to 3, the caret there.
  void Prepare(bool box = false) {
    FEditor->Lines()->SetAllText("  first\r\n  second\r\nthird");
    FEditor->SetSelectionMode(box);
    FEditor->SetRowCol(1, 1);
    FEditor->StartSelection();
    FEditor->SetRowCol(box ? 2 : 1, 3);
    FEditor->ExtendSelection();
  }
  std::string Text() const { return FEditor->Lines()->AllText(); }
  TOwned<TEditor> FEditor = CreateWithoutOwner<TEditor>();
};

using TOperation = std::function<void(TEditor&)>;

std::vector<std::pair<const char*, TOperation>> Operations() {
  return {
      {"insert", [](TEditor& e) { e.InsertText("xy"); }},
      {"paste", [](TEditor& e) { e.PasteText("p\r\nq"); }},
      {"box paste", [](TEditor& e) { e.BoxPasteText("A\r\nB\r\n"); }},
      {"delete selection", [](TEditor& e) { e.DeleteSelection(); }},
      {"backspace", [](TEditor& e) { e.BackSpaceKey(); }},
      {"delete", [](TEditor& e) { e.DeleteForward(); }},
      {"tab", [](TEditor& e) { e.TabKey(); }},
      {"cut", [](TEditor& e) { e.CutToClipboard(); }},
      {"paste from clipboard", [](TEditor& e) { e.PasteFromClipboard(); }},
      {"move selection", [](TEditor& e) { e.MoveSelectionTo(2, 4); }},
      {"copy selection", [](TEditor& e) { e.CopySelectionTo(2, 4); }},
  };
}

TEST_F(EditorEditingTest, EveryChangeIsOneUndoStepAndOneRedoStep) {
  UseHeadlessPlatform().Clipboard().SetText("clip");
  for (bool box : {false, true}) {
    for (const auto& [name, operation] : Operations()) {
      UseHeadlessPlatform().Clipboard().SetText("clip");
      Prepare(box);
      const std::string before = Text();
      operation(*FEditor);
      const std::string after = Text();
      if (after == before) {
        EXPECT_FALSE(FEditor->CanUndo()) << name << ": no change, no step";
        continue;
      }
      FEditor->Undo();
      EXPECT_EQ(Text(), before) << name << (box ? " (box)" : "");
      EXPECT_FALSE(FEditor->CanUndo()) << name << ": one step";
      FEditor->Redo();
      EXPECT_EQ(Text(), after) << name;
      EXPECT_FALSE(FEditor->CanRedo()) << name;
    }
  }
  // Return over a selection: the deletion, then the line break.
  Prepare();
  const std::string before = Text();
  FEditor->ReturnKey(false);
  FEditor->Undo();
  EXPECT_NE(Text(), before);
  FEditor->Undo();
  EXPECT_EQ(Text(), before);
  EXPECT_FALSE(FEditor->CanUndo());
}

TEST_F(EditorEditingTest, ReadOnlyKeepsTheTextFromEveryOperation) {
  UseHeadlessPlatform().Clipboard().SetText("clip");
  auto operations = Operations();
  operations.push_back({"return", [](TEditor& e) { e.ReturnKey(false); }});
  operations.push_back({"undo", [](TEditor& e) { e.Undo(); }});
  for (const auto& [name, operation] : operations) {
    Prepare();
    FEditor->InsertText("z");  // a step for undo to try
    FEditor->SetReadOnly(true);
    const std::string before = Text();
    if (!FEditor->RangeExists()) {
      FEditor->StartSelection();
      FEditor->SetRowCol(0, 2);
      FEditor->ExtendSelection();
    }
    operation(*FEditor);
    EXPECT_EQ(Text(), before) << name;
    FEditor->SetReadOnly(false);
    FEditor->CleanSelection();
  }
}

TEST_F(EditorEditingTest, TheClipboardCarriesBoxTextUnderItsOwnFormatToo) {
  TClipboard& clipboard = UseHeadlessPlatform().Clipboard();
  Prepare(true);
  FEditor->CopyToClipboard();
  EXPECT_EQ(clipboard.AsText(), " s\r\nhi\r\n");
  ASSERT_TRUE(clipboard.HasFormat(BoxClipboardFormat()));
  EXPECT_EQ(clipboard.GetData(BoxClipboardFormat()), std::string(" s\r\nhi\r\n") + '\0');
  Prepare(false);
  FEditor->CopyToClipboard();
  EXPECT_EQ(clipboard.AsText(), " s");
  EXPECT_FALSE(clipboard.HasFormat(BoxClipboardFormat()));
  // Pasting box text puts its lines in a column at the caret.
  clipboard.Clear();
  clipboard.SetData(CF_TEXT, "1\r\n2\r\n");
  clipboard.SetData(BoxClipboardFormat(), std::string("1\r\n2\r\n") + '\0');
  FEditor->CleanSelection();
  FEditor->SetRowCol(0, 4);
  FEditor->PasteFromClipboard();
  EXPECT_EQ(Text(), "  fi1rst\r\n  se2cond\r\nthird");
}

// The empty row after a final line end may be a box row: it has no text, and like
// every box row it is followed by CR LF.
TEST_F(EditorEditingTest, ABoxDownToTheRowAfterTheFinalLineEnd) {
  TClipboard& clipboard = UseHeadlessPlatform().Clipboard();
  auto select = [&] {
    FEditor->Lines()->SetAllText("abc\r\ndef\r\n");
    FEditor->SetSelectionMode(true);
    FEditor->SetRowCol(0, 1);
    FEditor->StartSelection();
    FEditor->SetRowCol(2, 2);
    FEditor->ExtendSelection();
  };
  select();
  EXPECT_EQ(FEditor->SelLength(), 8);
  EXPECT_EQ(FEditor->SelText(), "b\r\ne\r\n\r\n");
  clipboard.SetText("old");
  FEditor->CopyToClipboard();
  EXPECT_EQ(clipboard.AsText(), "b\r\ne\r\n\r\n");
  EXPECT_EQ(clipboard.GetData(BoxClipboardFormat()), std::string("b\r\ne\r\n\r\n") + '\0');
  clipboard.SetText("old");
  FEditor->CutToClipboard();
  EXPECT_EQ(Text(), "ac\r\ndf\r\n");
  EXPECT_EQ(clipboard.AsText(), "b\r\ne\r\n\r\n");
  EXPECT_EQ((std::pair{FEditor->Row(), FEditor->Col()}), (std::pair{0, 1}));
  FEditor->Undo();
  EXPECT_EQ(Text(), "abc\r\ndef\r\n");
  // The same through the messages a key or the menu sends.
  select();
  clipboard.SetText("old");
  FEditor->Perform(WM_COPY);
  EXPECT_EQ(clipboard.AsText(), "b\r\ne\r\n\r\n");
  FEditor->Perform(WM_CUT);
  EXPECT_EQ(Text(), "ac\r\ndf\r\n");
}

// Box paste over a box: each box row takes its line at the box's left column; a row
// that ends before that column is filled with blanks up to it, as box paste without a
// selection fills a row shorter than the caret column.
TEST_F(EditorEditingTest, BoxPasteOverABoxKeepsItsColumnOnShortRows) {
  auto boxPaste = [&](const std::string& text, int top, int left, int bottom, int right, const std::string& lines) {
    FEditor->Lines()->SetAllText(text);
    FEditor->SetSelectionMode(true);
    FEditor->SetRowCol(top, left);
    FEditor->StartSelection();
    FEditor->SetRowCol(bottom, right);
    FEditor->ExtendSelection();
    FEditor->BoxPasteText(lines);
    return std::tuple{Text(), FEditor->Row(), FEditor->Col()};
  };
  EXPECT_EQ(boxPaste("abcd\r\nx\r\nefgh", 0, 2, 2, 3, "1\r\n2\r\n3"), (std::tuple{"ab1d\r\nx 2\r\nef3h\r\n", 2, 3}));
  // A short first row, an empty row and a row whose tab ends before the column.
  EXPECT_EQ(boxPaste("x\r\n\r\n\tq\r\nabcdefghijkl", 0, 10, 3, 11, "1\r\n2\r\n3\r\n4"),
            (std::tuple{"x         1\r\n          2\r\n\tq 3\r\nabcdefghij4l\r\n", 3, 11}));
  // Without a selection the same rows come out the same.
  FEditor->Lines()->SetAllText("x\r\n\r\n\tq\r\nabcdefghijkl");
  FEditor->CleanSelection();
  FEditor->SetRowCol(0, 10);
  FEditor->BoxPasteText("1\r\n2\r\n3\r\n");
  EXPECT_EQ(Text(), "x         1\r\n          2\r\n\tq 3\r\nabcdefghijkl");
  // Typing over a box with a short first row still goes to that row's end.
  FEditor->Lines()->SetAllText("x\r\nabcd");
  FEditor->SetRowCol(0, 2);
  FEditor->StartSelection();
  FEditor->SetRowCol(1, 3);
  FEditor->ExtendSelection();
  FEditor->InsertText("Z");
  EXPECT_EQ(Text(), "xZ\r\nabd");
}

}  // namespace
}  // namespace plomaret
