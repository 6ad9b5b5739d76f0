// The editor control on the headless backend: its structure, window, caret and
// coordinates. Behaviour seen from a script is in tests/scripts.

#include <gtest/gtest.h>

#include "TestFiles.h"
#include "editor/EditorControl.h"
#include "framework/core/FormText.h"
#include "framework/gui/Forms.h"
#include "framework/headless/HeadlessPlatform.h"

namespace plomaret {
namespace {

class TChangeCounter : public TObject {
 public:
  void Changed(TObject*) { ++Count; }
  int Count = 0;
};

class EditorControlTest : public ::testing::Test {
 protected:
  EditorControlTest() {
    UseHeadlessPlatform().HeadlessFontEngine().SetFixedMetrics({16, 13, 3, 0, 8, 16});
    FEditor->SetBounds(0, 0, 675, 480);
  }
  TEditor& Shown() {
    FEditor->HandleNeeded();
    FEditor->SetFocus();
    return *FEditor;
  }
  TOwned<TEditor> FEditor = CreateWithoutOwner<TEditor>();
};

TEST(EditorControlDefaults, ANewControlAndOneBeingDesigned) {
  UseHeadlessPlatform();
  TOwned<TEditor> editor = CreateWithoutOwner<TEditor>();
  EXPECT_EQ(editor->Width(), 185);
  EXPECT_EQ(editor->Height(), 89);
  EXPECT_EQ(editor->Color(), clWhite);
  EXPECT_EQ(editor->Font().Name(), "FixedSys");
  EXPECT_EQ(editor->Font().Color(), clBlack);
  EXPECT_EQ(editor->Cursor(), crIBeam);
  EXPECT_TRUE(editor->TabStop());
  EXPECT_TRUE(editor->WantTabs() && editor->WantReturns());
  EXPECT_EQ(editor->WordDelimiters(), DefaultDelimiters());
  auto* menu = dynamic_cast<TEditorPopupMenu*>(editor->PopupMenu());
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(menu->Editor(), editor.get());
  EXPECT_TRUE(menu->OnPopup.Assigned());

  TOwned<TForm> designer = CreateWithoutOwner<TForm>();
  designer->SetDesigning(true);
  auto* designed = Create<TEditor>(designer.get());
  EXPECT_EQ(designed->PopupMenu(), nullptr);
}

TEST_F(EditorControlTest, TheCreationCaptionIsLoadedUnlessReadOnly) {
  FEditor->SetText("caption");
  EXPECT_EQ(FEditor->Lines()->AllText(), "caption");
  FEditor->Lines()->SetAllText("changed since");
  FEditor->HandleNeeded();
  EXPECT_EQ(FEditor->Lines()->AllText(), "caption") << "the window's creation sends the caption again";

  TOwned<TEditor> readOnly = CreateWithoutOwner<TEditor>();
  readOnly->SetText("caption");
  readOnly->SetReadOnly(true);
  readOnly->Lines()->SetAllText("kept");
  readOnly->HandleNeeded();
  EXPECT_EQ(readOnly->Lines()->AllText(), "kept");
  readOnly->SetText("ignored");
  EXPECT_EQ(readOnly->Lines()->AllText(), "kept");
}

TEST_F(EditorControlTest, MakingTheWindowAgainKeepsTextCaretViewAndHistory) {
  TEditor& editor = Shown();
  for (int i = 0; i < 60; ++i) editor.Lines()->Add("line " + std::to_string(i));
  editor.SetTopRow(20);
  editor.SetRowCol(30, 3);
  ASSERT_TRUE(editor.CanUndo());
  const std::string text = editor.Lines()->AllText();
  const int clientWidth = editor.ClientWidth();
  editor.SetBorderStyle(bsNone);
  EXPECT_EQ(editor.Lines()->AllText(), text);
  EXPECT_EQ(editor.Row(), 30);
  EXPECT_EQ(editor.Col(), 3);
  EXPECT_EQ(editor.TopRow(), 20);
  EXPECT_TRUE(editor.CanUndo());
  EXPECT_EQ(editor.ClientWidth(), clientWidth + 4) << "the sunken edge is gone";
  EXPECT_EQ(HeadlessWindowOf(editor).Captions(), std::vector<std::string>{""}) << "a new window, no caption";
  editor.SetCtl3D(false);
  EXPECT_EQ(editor.Style() & WS_BORDER, 0u);
  editor.SetBorderStyle(bsSingle);
  EXPECT_NE(editor.Style() & WS_BORDER, 0u) << "a single border without the 3-D look";
  EXPECT_EQ(editor.Lines()->AllText(), text);
}

TEST_F(EditorControlTest, LoadsClearsAndAssignmentsChangeOnceAndSetModified) {
  testing::TScratchFolder folder;
  testing::WriteBytes(folder.Path("a.x"), "one\r\ntwo\r\n");
  TChangeCounter changes;
  FEditor->OnChange = TNotifyEvent(&changes, &TChangeCounter::Changed);
  Shown();
  auto expect = [&](int count, bool modified, const char* what) {
    EXPECT_EQ(changes.Count, count) << what;
    EXPECT_EQ(FEditor->Modified(), modified) << what;
    changes.Count = 0;
  };
  FEditor->Lines()->LoadFile(folder.Path("a.x"));
  expect(1, false, "load");
  FEditor->Lines()->Add("three");
  expect(1, true, "an edit");
  FEditor->Lines()->Clear();
  expect(1, false, "clear");
  FEditor->Lines()->SetAllText("a\r\nb");
  expect(1, true, "whole text");
  FEditor->Lines()->LoadFile(folder.Path("a.x"));
  changes.Count = 0;
  auto other = Create<TStringList>();
  other->Add("x");
  FEditor->SetLines(*other);
  expect(1, true, "assignment");
  EXPECT_THROW(FEditor->Lines()->LoadFile(folder.Path("missing.x")), std::exception);
  EXPECT_FALSE(FEditor->Modified());
  EXPECT_EQ(FEditor->Lines()->Count(), 0) << "a failed load leaves the editor empty";
}

TEST_F(EditorControlTest, AFreedFountainLeavesTheViewFountainAndADestroyedEditorIsForgotten) {
  TOwned<TEditorFountain> fountain = CreateWithoutOwner<TEditorFountain>();
  FEditor->SetFountain(fountain.get());
  EXPECT_EQ(FEditor->ActiveFountain(), fountain.get());
  fountain.reset();
  EXPECT_EQ(FEditor->Fountain(), nullptr);
  EXPECT_EQ(FEditor->ActiveFountain(), FEditor->View()->Fountain());

  fountain = CreateWithoutOwner<TEditorFountain>();
  FEditor->SetFountain(fountain.get());
  FEditor.reset();
  // A change announced after the editor is gone must reach nobody.
  fountain->Colors()->Select()->SetBkColor(clRed);
  fountain->SetCommenter("//");
}

TEST_F(EditorControlTest, ControlsSharingARowStore) {
  TEditor& first = Shown();
  first.Lines()->SetAllText("one\r\ntwo");
  TOwned<TEditor> second = CreateWithoutOwner<TEditor>();
  second->ShareRowStore(first);
  EXPECT_EQ(second->ScreenStrings(), first.ScreenStrings());
  TChangeCounter changes;
  second->OnChange = TNotifyEvent(&changes, &TChangeCounter::Changed);
  first.Lines()->Put(0, "ONE");
  EXPECT_EQ(second->Lines()->AllText(), "ONE\r\ntwo");
  EXPECT_EQ(changes.Count, 1);
  EXPECT_TRUE(second->Modified());
  FEditor.reset();
  EXPECT_EQ(second->Lines()->AllText(), "ONE\r\ntwo");
  second->Lines()->Add("three");
  EXPECT_EQ(second->Lines()->Count(), 3);
}

TEST_F(EditorControlTest, CaretShapesAndPositions) {
  TEditor& editor = Shown();
  editor.Lines()->SetAllText("a\x82\xa0");  // "aあ"
  editor.SetRowCol(0, 1);
  EXPECT_EQ(editor.CaretSize(), (TSize{2, 16}));
  EXPECT_EQ(editor.CaretPos(), (TPoint{31 + 8, 2}));
  EXPECT_TRUE(editor.CaretVisible());
  editor.Caret()->SetStyle(csBrief);
  EXPECT_EQ(editor.CaretSize(), (TSize{16, 2})) << "an underscore as wide as the double-byte character";
  EXPECT_EQ(editor.CaretPos(), (TPoint{31 + 8, 2 + 16 - 2}));
  editor.SetCol(0);
  EXPECT_EQ(editor.CaretSize(), (TSize{8, 2}));
  editor.Margin()->SetCharacter(3);
  EXPECT_EQ(editor.ColWidth(), 11);
  EXPECT_EQ(editor.CaretSize(), (TSize{8, 2})) << "the character margin is not part of the caret";
}

TEST_F(EditorControlTest, HidingTheCaretNestsAndAViewWithoutTheCaretKeepsItHidden) {
  TEditor& editor = Shown();
  ASSERT_TRUE(editor.CaretVisible());
  editor.CaretHide();
  editor.CaretHide();
  editor.CaretShow();
  EXPECT_FALSE(editor.CaretVisible());
  editor.CaretShow();
  EXPECT_TRUE(editor.CaretVisible());
  editor.CaretShow();
  editor.CaretHide();
  EXPECT_FALSE(editor.CaretVisible()) << "an extra show is not counted";
  editor.CaretShow();
  for (int i = 0; i < 100; ++i) editor.Lines()->Add("x");
  editor.SetRow(0);
  editor.SetTopRow(50);
  EXPECT_FALSE(editor.CaretVisible()) << "the caret row is scrolled out of view";
  editor.SetTopRow(0);
  EXPECT_TRUE(editor.CaretVisible());
  editor.Perform(WM_KILLFOCUS);
  EXPECT_FALSE(editor.CaretExists());
}

TEST_F(EditorControlTest, PixelsToCellsAndCharacters) {
  TEditor& editor = Shown();
  editor.Lines()->SetAllText("\tab\r\nx\x82\xa0y");  // "xあy" on the second row
  const int left = editor.LeftOffset();
  EXPECT_EQ(left, 31);
  EXPECT_EQ(editor.PixelToCell(left + 4, 2, true), (TPoint{0, 0}));
  EXPECT_EQ(editor.PixelToCell(left + 5, 2, true), (TPoint{1, 0})) << "the right half of a cell snaps after it";
  EXPECT_EQ(editor.PixelToCell(left + 7, 2, false), (TPoint{0, 0}));
  EXPECT_EQ(editor.PixelToCell(left - 1, -20, false), (TPoint{0, -1})) << "left of the text floors; rows are not clamped";
  int row = -1;
  int byte = -1;
  ASSERT_TRUE(editor.CharFromPixel(left + 5 * 8, 2, row, byte));
  EXPECT_EQ(byte, 0) << "inside the tab";
  ASSERT_TRUE(editor.CharFromPixel(left + 8 * 8 + 2, 2, row, byte));
  EXPECT_EQ(byte, 1);
  ASSERT_TRUE(editor.CharFromPixel(left + 2 * 8 + 2, 18, row, byte));
  EXPECT_EQ(row, 1);
  EXPECT_EQ(byte, 1) << "the trail half of あ gives its lead byte";
  EXPECT_FALSE(editor.CharFromPixel(left + 20 * 8, 18, row, byte)) << "beyond the row";
  EXPECT_FALSE(editor.CharFromPixel(left - 1, 18, row, byte));
  EXPECT_EQ(editor.ByteToCol(0, 1), 8);
  EXPECT_EQ(editor.ByteToCol(1, 99), 4);
  EXPECT_EQ(editor.RowAttribute(-1), raTextEnd);
  EXPECT_EQ(editor.RowAttribute(0), raLineEnd);
  EXPECT_EQ(editor.RowEndCol(7), 0);
}

TEST_F(EditorControlTest, ScrollBarsFollowTheTextAndTheView) {
  TEditor& editor = Shown();
  editor.SetScrollBars(ssBoth);
  EXPECT_EQ(editor.ClientWidth(), 675 - 4 - 17);
  for (int i = 0; i < 100; ++i) editor.Lines()->Add("x");
  const TScrollInfo vertical = editor.ScrollInfo(sbVertical);
  EXPECT_EQ(vertical.Max, 100 + editor.RowCount() - 1);
  EXPECT_EQ(vertical.Page, editor.RowCount());
  EXPECT_EQ(editor.ScrollInfo(sbHorizontal).Max, editor.ColCount() / 2 + 1000);
  editor.SetTopRow(40);
  EXPECT_EQ(editor.ScrollInfo(sbVertical).Pos, 40);
  editor.SetScrollBars(ssNone);
  EXPECT_FALSE(editor.ScrollInfo(sbVertical).Visible);
  EXPECT_EQ(editor.ClientWidth(), 675 - 4);
}

TEST_F(EditorControlTest, AFontChangeScrollsBackToTheLeftEdge) {
  TEditor& editor = Shown();
  editor.SetCol(300);
  ASSERT_GT(editor.TopCol(), 0);
  UseHeadlessPlatform().HeadlessFontEngine().SetFixedMetrics({20, 16, 4, 0, 10, 20});
  editor.Font().SetHeight(-20);
  EXPECT_EQ(editor.TopCol(), 0);
  EXPECT_EQ(editor.Col(), 0);
  EXPECT_EQ(editor.ColWidth(), 10);
  EXPECT_EQ(editor.RowHeight(), 20);
}

TEST_F(EditorControlTest, AClickGivesTheFocusAndReadOnlyWaitsForADrag) {
  FEditor->HandleNeeded();
  TOwned<TEditor> other = CreateWithoutOwner<TEditor>();
  other->SetFocus();
  FEditor->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLong(50, 10));
  FEditor->Perform(WM_LBUTTONUP, 0, MakeLong(50, 10));
  EXPECT_TRUE(FEditor->Focused());
  FEditor->Perform(WM_RBUTTONDOWN, MK_RBUTTON, MakeLong(50, 10));
  EXPECT_TRUE(FEditor->Focused());

  struct TDraggingEditor : TEditor {
    void SetDragging(bool dragging) { SetDragState(dragging ? dsDragging : dsNone); }
  };
  TOwned<TDraggingEditor> dragging = CreateWithoutOwner<TDraggingEditor>();
  dragging->SetDragging(true);
  dragging->SetReadOnly(true);
  EXPECT_FALSE(dragging->ReadOnly());
  dragging->SetDragging(false);
  dragging->SetReadOnly(true);
  EXPECT_TRUE(dragging->ReadOnly());
}

TEST_F(EditorControlTest, TheReservedWordListRebuildsOnlyWhenItDiffers) {
  auto words = Create<TStringList>();
  words->Assign(*FEditor->ReserveWordList());
  FEditor->SetReserveWordList(*words);
  words->Add("Frame");
  FEditor->SetReserveWordList(*words);
  EXPECT_TRUE(FEditor->ReserveWordList()->Equals(*words));
}

TEST(EditorControlForm, LinesAreStoredAsStringsWhenThereIsText) {
  UseHeadlessPlatform();
  RegisterComponentClass<TEditor>();
  TOwned<TForm> form = CreateWithoutOwner<TForm>();
  auto* editor = Create<TEditor>(form.get());
  editor->SetName("Editor1");
  std::string text;
  WriteFormText(*editor, text);
  EXPECT_EQ(text.find("Lines"), std::string::npos) << "an empty text is not written";

  editor->SetWordWrap(true);
  editor->WrapOption()->SetWrapByte(20);
  editor->Lines()->SetAllText("0123456789012345678901234\r\nshort\r\n");
  ASSERT_EQ(editor->ScreenStrings()->Count(), 3) << "the long line takes two rows";
  text.clear();
  WriteFormText(*editor, text);
  EXPECT_NE(text.find("Lines.Strings = (\n    '0123456789012345678901234'\n    'short')"), std::string::npos) << text;

  TOwned<TForm> owner = CreateWithoutOwner<TForm>();
  auto* read = dynamic_cast<TEditor*>(ReadFormText(text, *owner, nullptr));
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->Lines()->AllText(), "0123456789012345678901234\r\nshort\r\n");
  EXPECT_EQ(read->ScreenStrings()->Count(), 3) << "wrapped once the form was read";
  EXPECT_FALSE(read->Modified());
}

}  // namespace
}  // namespace plomaret
