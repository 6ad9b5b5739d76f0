#include "framework/gui/StdCtrls.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "framework/core/FormText.h"
#include "framework/gui/Application.h"
#include "framework/gui/Forms.h"
#include "framework/gui/Keys.h"
#include "framework/gui/SystemInput.h"
#include "framework/headless/HeadlessPlatform.h"

namespace plomaret {
namespace {

const std::string kNichi = "\x93\xfa";  // 日
const std::string kHon = "\x96\x7b";    // 本, its trail byte an ASCII '{'
const std::string kA = "\x83\x41";      // ア, its trail byte an ASCII 'A'
const std::string kEqual = "\x81\x81";  // ＝, its trail byte a lead byte

// The characters drawn on a window, left to right, as far as they show.
std::string Painted(TWinControl& control) {
  control.Update();
  std::vector<TTextCell> cells = control.TextLayer().Cells();
  std::sort(cells.begin(), cells.end(), [](const TTextCell& a, const TTextCell& b) { return a.Bounds.Left < b.Bounds.Left; });
  std::string text;
  for (const TTextCell& cell : cells) text += cell.Bytes;
  return text;
}

struct TEvents {
  int Changes = 0;
  int Clicks = 0;
  std::vector<int> Keys;
  std::vector<int> Taken = {VK_RETURN, VK_ESCAPE, VK_F1 + 2};
  void Changed(TObject*) { ++Changes; }
  void Clicked(TObject*) { ++Clicks; }
  void KeyDown(TObject*, int& key, TShiftState) {
    Keys.push_back(key);
    if (std::find(Taken.begin(), Taken.end(), key) != Taken.end()) key = 0;
  }
};

// A form with a field, a check box and a label, on the headless backend with
// 12-pixel text: 6 pixels a single-byte character, 12 a double-byte one.
class StdCtrlsTest : public ::testing::Test {
 protected:
  StdCtrlsTest() : FPlatform(UseHeadlessPlatform()) {
    FForm->SetBounds(0, 0, 300, 200);
    FForm->Font().SetHeight(-12);
    FEdit = Create<TEdit>(FForm.get());
    FEdit->SetParent(FForm.get());
    FEdit->SetBounds(10, 10, 121, 21);  // a client area of 117 x 17 inside the sunken edge
    FEdit->OnChange = TNotifyEvent(&FEvents, &TEvents::Changed);
    FEdit->OnKeyDown = TKeyEvent(&FEvents, &TEvents::KeyDown);
    FCheck = Create<TCheckBox>(FForm.get());
    FCheck->SetParent(FForm.get());
    FCheck->SetBounds(10, 40, 120, 17);
    FCheck->SetCaption("Case");
    FCheck->OnClick = TNotifyEvent(&FEvents, &TEvents::Clicked);
    FLabel = Create<TLabel>(FForm.get());
    FLabel->SetParent(FForm.get());
    FLabel->SetBounds(10, 100, 0, 0);
    FForm->HandleNeeded();
    FEdit->SetFocus();
  }

  // Text as a keyboard layout types it: its bytes as characters.
  void Type(const std::string& text) {
    TKeyInput key;
    key.Text = text;
    SendKey(*FEdit, key);
  }
  void Press(TWinControl& target, int virtualKey, TModifiers modifiers = {}) {
    FPlatform.SetKeyDown(VK_SHIFT, modifiers.Shift);
    FPlatform.SetKeyDown(VK_CONTROL, modifiers.Ctrl);
    TKeyInput key{virtualKey, true, false, modifiers, UsLayoutText(virtualKey, modifiers.Shift)};
    SendKey(target, key);
    key.Press = false;
    SendKey(target, key);
    FPlatform.SetKeyDown(VK_SHIFT, false);
    FPlatform.SetKeyDown(VK_CONTROL, false);
  }
  void Press(int virtualKey, TModifiers modifiers = {}) { Press(*FEdit, virtualKey, modifiers); }
  void Click(TWinControl& target, int x, int y, TModifiers modifiers = {}, TMouseAction action = TMouseAction::Down) {
    TMouseInput mouse;
    mouse.Action = action;
    mouse.Button = TInputButton::Left;
    mouse.Point = {x, y};
    mouse.Modifiers = modifiers;
    mouse.LeftHeld = true;
    SendMouse(target, mouse);
    mouse.Action = TMouseAction::Up;
    mouse.LeftHeld = false;
    SendMouse(target, mouse);
  }
  std::pair<int, int> Selection() const { return {FEdit->SelStart(), FEdit->SelLength()}; }
  THeadlessWindow& EditWindow() { return HeadlessWindowOf(*FEdit); }

  THeadlessPlatform& FPlatform;
  TOwned<TForm> FForm = CreateWithoutOwner<TForm>();
  TEdit* FEdit = nullptr;
  TCheckBox* FCheck = nullptr;
  TLabel* FLabel = nullptr;
  TEvents FEvents;
};

// ---- Typing and deleting ----

TEST_F(StdCtrlsTest, TypingInsertsSingleAndDoubleByteCharactersAtTheCaret) {
  Type("ab");
  Type(kNichi);
  EXPECT_EQ(FEdit->Text(), "ab" + kNichi);
  Press(VK_HOME);
  Press(VK_RIGHT);
  Type(kHon + "c");
  EXPECT_EQ(FEdit->Text(), "a" + kHon + "cb" + kNichi);
  EXPECT_EQ(FEdit->CaretIndex(), 4);
  EXPECT_EQ(FEvents.Changes, 5) << "one change a character";

  // Control characters type nothing in one line: Tab, Return, Escape.
  Type("\t\r\x1b");
  EXPECT_EQ(FEdit->Text(), "a" + kHon + "cb" + kNichi);
}

TEST_F(StdCtrlsTest, ADoubleByteCharacterIsNeverSplit) {
  // Its two bytes handled one by one, not waiting in the queue together.
  FEdit->Perform(WM_CHAR, 0x83);
  EXPECT_EQ(FEdit->Text(), "");
  FEdit->Perform(WM_CHAR, 0x41);
  EXPECT_EQ(FEdit->Text(), kA);
  // A lead byte followed by no trail byte is dropped; what follows counts on its own.
  FEdit->Perform(WM_CHAR, 0x93);
  FEdit->Perform(WM_CHAR, '\b');
  EXPECT_EQ(FEdit->Text(), "");
  // The limit never takes half a character.
  FEdit->SetMaxLength(3);
  Type("x" + kNichi + kHon);
  EXPECT_EQ(FEdit->Text(), "x" + kNichi);
}

TEST_F(StdCtrlsTest, BackspaceAndDeleteRemoveWholeCharacters) {
  FEdit->SetText("a" + kEqual + "b" + kA);
  Press(VK_END);
  Press(VK_BACK);
  EXPECT_EQ(FEdit->Text(), "a" + kEqual + "b") << "both bytes of a character whose trail byte is a letter";
  Press(VK_BACK);
  EXPECT_EQ(FEdit->Text(), "a" + kEqual) << "one byte after a trail byte that looks like a lead byte";
  Press(VK_HOME);
  Press(VK_RIGHT);
  Press(VK_DELETE);
  EXPECT_EQ(FEdit->Text(), "a") << "both bytes of a character whose trail byte is a lead byte";
  Press(VK_DELETE);
  Press(VK_HOME);
  Press(VK_BACK);
  EXPECT_EQ(FEdit->Text(), "a") << "nothing beyond either end";
  EXPECT_EQ(FEvents.Changes, 4) << "the text set, then three deletions";
}

// ---- The caret and the selection ----

TEST_F(StdCtrlsTest, ArrowsHomeAndEndMoveAndShiftExtendsTheSelection) {
  FEdit->SetText("ab" + kNichi + kHon + " cd");
  Press(VK_RIGHT, {true});
  Press(VK_RIGHT, {true});
  Press(VK_RIGHT, {true});
  EXPECT_EQ(Selection(), std::make_pair(0, 4)) << "the third step takes a double-byte character";
  EXPECT_EQ(FEdit->SelText(), "ab" + kNichi);
  Press(VK_RIGHT);
  EXPECT_EQ(Selection(), std::make_pair(4, 0)) << "an arrow without Shift ends the selection at its side";
  Press(VK_END, {true});
  Press(VK_LEFT, {true});
  EXPECT_EQ(Selection(), std::make_pair(4, 4));
  Press(VK_HOME, {true});
  EXPECT_EQ(Selection(), std::make_pair(0, 4)) << "the anchor stays";
  EXPECT_EQ(FEdit->CaretIndex(), 0);
  Press(VK_LEFT);
  Press(VK_RIGHT, {false, true});
  EXPECT_EQ(FEdit->CaretIndex(), 2) << "a word of letters";
  Press(VK_RIGHT, {false, true});
  EXPECT_EQ(FEdit->CaretIndex(), 7) << "a run of double-byte characters and the blank after it";
  Press(VK_LEFT, {false, true});
  EXPECT_EQ(FEdit->CaretIndex(), 2);

  Press(VK_END);
  Press(VK_LEFT, {true});
  Type("X");
  EXPECT_EQ(FEdit->Text(), "ab" + kNichi + kHon + " cX") << "typing replaces the selection";
  EXPECT_EQ(FEvents.Changes, 2);
}

TEST_F(StdCtrlsTest, TheCaretLivesWhileTheFieldHasTheFocusAndFollowsTheText) {
  EXPECT_TRUE(FEdit->CaretVisible());
  EXPECT_EQ(FEdit->CaretSize(), (TSize{1, 12})) << "as tall as the text";
  EXPECT_EQ(FEdit->CaretPos(), (TPoint{2, 2}));
  Type("a" + kNichi);
  EXPECT_EQ(FEdit->CaretPos(), (TPoint{2 + 6 + 12, 2}));
  EXPECT_EQ(EditWindow().ImePosition(), FEdit->CaretPos()) << "the composition starts at the caret";
  EXPECT_EQ(EditWindow().ImeStyle().Height, 12);
  EXPECT_EQ(EditWindow().ImeStyle().Background, clWindow);

  FCheck->SetFocus();
  EXPECT_FALSE(FEdit->CaretExists());
  EXPECT_EQ(EditWindow().CaretSize(), (TSize{}));
  FEdit->SetFocus();
  EXPECT_TRUE(EditWindow().CaretShown());
  EXPECT_EQ(FEdit->CaretPos(), (TPoint{20, 2})) << "back where it was";
}

TEST_F(StdCtrlsTest, AClickPlacesTheCaretByWholeCharactersAndADragSelects) {
  FEdit->SetText("a" + kNichi + "bc");  // cells: a 2-8, 日 8-20, b 20-26, c 26-32
  FCheck->SetFocus();
  Click(*FEdit, 13, 5);
  EXPECT_TRUE(FEdit->Focused()) << "a click takes the focus";
  EXPECT_EQ(FEdit->CaretIndex(), 1) << "the left half of 日";
  Click(*FEdit, 15, 5);
  EXPECT_EQ(FEdit->CaretIndex(), 3) << "its right half";
  Click(*FEdit, 200, 5);
  EXPECT_EQ(FEdit->CaretIndex(), 5) << "beyond the text: its end";
  Click(*FEdit, 3, 5, {true});
  EXPECT_EQ(Selection(), std::make_pair(0, 5)) << "Shift extends from the caret";

  TMouseInput drag;
  drag.Action = TMouseAction::Down;
  drag.Button = TInputButton::Left;
  drag.Point = {9, 5};
  drag.LeftHeld = true;
  SendMouse(*FEdit, drag);
  drag.Action = TMouseAction::Move;
  drag.Button = TInputButton::None;
  drag.Point = {24, 5};
  SendMouse(*FEdit, drag);
  EXPECT_EQ(Selection(), std::make_pair(1, 3));
  EXPECT_EQ(TWinControl::CaptureControl(), FEdit);
  drag.Action = TMouseAction::Up;
  drag.Button = TInputButton::Left;
  drag.LeftHeld = false;
  SendMouse(*FEdit, drag);
  drag.Action = TMouseAction::Move;
  drag.Point = {30, 5};
  SendMouse(*FEdit, drag);
  EXPECT_EQ(Selection(), std::make_pair(1, 3)) << "the drag ended with the button";
  EXPECT_EQ(TWinControl::CaptureControl(), nullptr);

  FEdit->SetText("find this");
  Click(*FEdit, 40, 5, {}, TMouseAction::DoubleClick);
  EXPECT_EQ(FEdit->SelText(), "this") << "a double click selects a word";
}

TEST_F(StdCtrlsTest, TheTextScrollsToKeepTheCaretInView) {
  const std::string letters = "abcdefghijklmnopqrstuvwxyz";
  Type(letters);  // 156 pixels in a text area of 113
  EXPECT_EQ(FEdit->CaretPos().X, 2 + 113 - 1) << "the caret at the right edge";
  std::string shown = Painted(*FEdit);
  EXPECT_EQ(shown.back(), 'z');
  EXPECT_NE(shown.front(), 'a');
  Press(VK_HOME);
  EXPECT_EQ(FEdit->CaretPos().X, 2);
  EXPECT_EQ(Painted(*FEdit).substr(0, 3), "abc");
  Press(VK_END);
  for (int i = 0; i < 20; ++i) Press(VK_BACK);
  EXPECT_EQ(Painted(*FEdit), "abcdef") << "the text is not left scrolled away once it fits";
  EXPECT_EQ(FEdit->CaretPos().X, 2 + 36);
}

// ---- The clipboard and undo ----

TEST_F(StdCtrlsTest, PasteTakesOneLineOfTheClipboardAndCopyAndCutFillIt) {
  TClipboard& clipboard = FPlatform.Clipboard();
  clipboard.SetText(kNichi + kHon);
  Press('V', {false, true});
  EXPECT_EQ(FEdit->Text(), kNichi + kHon) << "pasted once, from the key's character only";
  clipboard.SetText("one\r\ntwo");
  Press(VK_INSERT, {true});
  EXPECT_EQ(FEdit->Text(), kNichi + kHon + "one");
  clipboard.SetText("\nrest");
  Press('V', {false, true});
  EXPECT_EQ(FEdit->Text(), kNichi + kHon + "one") << "nothing before the line break";

  Press(VK_HOME);
  Press(VK_RIGHT, {true});
  Press('C', {false, true});
  EXPECT_EQ(clipboard.AsText(), kNichi);
  Press(VK_RIGHT, {true});
  Press('X', {false, true});
  EXPECT_EQ(clipboard.AsText(), kNichi + kHon);
  EXPECT_EQ(FEdit->Text(), "one");
  Press('A', {false, true});
  FEdit->Perform(WM_COPY);
  EXPECT_EQ(clipboard.AsText(), "one") << "Ctrl+A selects everything";

  FEdit->SetMaxLength(5);
  clipboard.SetText(kNichi + kHon);
  Press(VK_END);
  Press('V', {false, true});
  EXPECT_EQ(FEdit->Text(), "one" + kNichi) << "the limit takes whole characters";
  FEdit->SetText("two\r\nlines");
  EXPECT_EQ(FEdit->Text(), "two") << "text set by the program is one line too";
}

TEST_F(StdCtrlsTest, UndoTakesBackTheLastRunOfTypingAndThenRedoesIt) {
  Type("ab");
  Press(VK_HOME);
  Type("xy");
  EXPECT_TRUE(FEdit->CanUndo());
  Press('Z', {false, true});
  EXPECT_EQ(FEdit->Text(), "ab");
  EXPECT_EQ(FEdit->CaretIndex(), 0);
  Press('Z', {false, true});
  EXPECT_EQ(FEdit->Text(), "xyab");
  Press(VK_END);
  Press(VK_BACK);
  Press(VK_BACK);
  FEdit->Perform(WM_UNDO);
  EXPECT_EQ(FEdit->Text(), "xyab") << "the deletions are one step";
  FEdit->SetText("new");
  EXPECT_FALSE(FEdit->CanUndo()) << "text set by the program starts afresh";
}

// ---- The input method ----

TEST_F(StdCtrlsTest, AnInputMethodResultLandsOnce) {
  Type("a");
  SendImeResult(*FEdit, kNichi + kHon);
  EXPECT_EQ(FEdit->Text(), "a" + kNichi + kHon);
  EXPECT_EQ(FEvents.Changes, 2) << "the result is one change";
  Type("b");
  EXPECT_EQ(FEdit->Text(), "a" + kNichi + kHon + "b") << "typing after it is not taken for its repeat";
  SendImeResult(*FEdit, "x\ry");
  EXPECT_EQ(FEdit->Text(), "a" + kNichi + kHon + "bx") << "one line";
  Type("c");
  EXPECT_EQ(FEdit->Text(), "a" + kNichi + kHon + "bxc");
}

// ---- The owner's keys ----

TEST_F(StdCtrlsTest, TheOwnerTakesReturnEscapeAndF3AndTabLeavesTheField) {
  Type("ab");
  Press(VK_RETURN);
  Press(VK_ESCAPE);
  Press(VK_F1 + 2);
  EXPECT_EQ(FEvents.Keys, (std::vector<int>{VK_RETURN, VK_ESCAPE, VK_F1 + 2}));
  EXPECT_EQ(FEdit->Text(), "ab");
  FEvents.Taken = {VK_LEFT};
  Press(VK_LEFT);
  EXPECT_EQ(FEdit->CaretIndex(), 2) << "a key the owner took does not move the caret";

  const int32_t code = FEdit->Perform(WM_GETDLGCODE);
  EXPECT_EQ(code & (DLGC_WANTTAB | DLGC_WANTALLKEYS), 0) << "Tab moves the focus on";
  EXPECT_NE(code & DLGC_WANTCHARS, 0);
}

// ---- Painting ----

TEST_F(StdCtrlsTest, TheFieldPaintsItsTextAndTheSelectionInTheHighlightColours) {
  FEdit->SetText("ab" + kNichi);
  Press(VK_END);
  Press(VK_LEFT, {true});
  EXPECT_EQ(Painted(*FEdit), "ab" + kNichi);
  const TTextCell* plain = FEdit->TextLayer().At({4, 6});
  const TTextCell* selected = FEdit->TextLayer().At({16, 6});
  ASSERT_NE(plain, nullptr);
  ASSERT_NE(selected, nullptr);
  EXPECT_EQ(plain->Bytes, "a");
  EXPECT_EQ(plain->Color, clWindowText);
  EXPECT_EQ(plain->Background, clWindow);
  EXPECT_EQ(selected->Bytes, kNichi);
  EXPECT_EQ(selected->Color, clHighlightText);
  EXPECT_EQ(selected->Background, clHighlight);

  FCheck->SetFocus();
  FEdit->Update();
  EXPECT_EQ(FEdit->TextLayer().At({16, 6})->Background, clWindow) << "no selection shows without the focus";
  FEdit->SetEnabled(false);
  FEdit->Update();
  EXPECT_EQ(FEdit->TextLayer().At({4, 6})->Color, clGrayText);
}

// ---- The check box ----

TEST_F(StdCtrlsTest, ACheckBoxTogglesOnAClickOrSpaceAndSaysSo) {
  Click(*FCheck, 5, 5);
  EXPECT_TRUE(FCheck->Checked());
  EXPECT_TRUE(FCheck->Focused());
  EXPECT_EQ(FEvents.Clicks, 1);
  Press(*FCheck, VK_SPACE);
  EXPECT_FALSE(FCheck->Checked());
  EXPECT_EQ(FEvents.Clicks, 2);

  // Released outside: no click.
  TMouseInput mouse;
  mouse.Action = TMouseAction::Down;
  mouse.Button = TInputButton::Left;
  mouse.Point = {5, 5};
  SendMouse(*FCheck, mouse);
  mouse.Action = TMouseAction::Up;
  mouse.Point = {5, 50};
  SendMouse(*FCheck, mouse);
  EXPECT_FALSE(FCheck->Checked());
  // Space goes down on it, the focus leaves, Space comes up elsewhere: no click.
  FCheck->Perform(WM_KEYDOWN, VK_SPACE);
  FEdit->SetFocus();
  FCheck->Perform(WM_KEYUP, VK_SPACE);
  EXPECT_EQ(FEvents.Clicks, 2);

  FCheck->SetChecked(true);
  EXPECT_EQ(FEvents.Clicks, 2) << "the program's change is no click";
  FCheck->SetEnabled(false);
  Click(*FCheck, 5, 5);
  EXPECT_TRUE(FCheck->Checked());
}

TEST_F(StdCtrlsTest, ACheckBoxPaintsItsBoxMarkCaptionAndFocus) {
  auto pixel = [&](int x, int y) { return FCheck->BackingImage().Pixel(x, y); };
  FCheck->Update();
  EXPECT_EQ(pixel(0, 2), PixelOf(clBtnShadow)) << "the box's sunken edge";
  EXPECT_EQ(pixel(6, 8), PixelOf(clWindow)) << "an empty box";
  EXPECT_EQ(Painted(*FCheck), "Case");
  const TTextCell* first = FCheck->TextLayer().At({18, 8});
  ASSERT_NE(first, nullptr) << "the caption right of the box";
  EXPECT_EQ(first->Bytes, "C");
  EXPECT_EQ(pixel(16, 1), PixelOf(FCheck->Color())) << "no focus mark";

  FCheck->SetChecked(true);
  FCheck->SetFocus();
  FCheck->Update();
  EXPECT_EQ(pixel(6, 8), PixelOf(clWindowText)) << "the tick";
  EXPECT_EQ(pixel(16, 1), PixelOf(clWindowText)) << "the dotted focus mark around the caption";
  EXPECT_EQ(FCheck->Color(), FForm->Color()) << "on the parent's colour";
}

// ---- The label ----

TEST_F(StdCtrlsTest, ALabelSizesItselfToItsCaptionAndPaintsOnItsParent) {
  FLabel->SetCaption("No match: " + kNichi);
  EXPECT_EQ(FLabel->Width(), 10 * 6 + 12);
  EXPECT_EQ(FLabel->Height(), 12);
  FForm->Update();
  const TTextCell* cell = FForm->TextLayer().At({10 + 10 * 6 + 3, 105});
  ASSERT_NE(cell, nullptr);
  EXPECT_EQ(cell->Bytes, kNichi);
  EXPECT_EQ(cell->Background, FForm->Color());

  FLabel->SetCaption("Ok");
  FForm->Update();
  EXPECT_EQ(FForm->TextLayer().At({10 + 10 * 6 + 3, 105}), nullptr) << "the longer caption's end is gone";
  FLabel->SetTransparent(true);
  FLabel->Font().SetColor(clRed);
  FForm->Update();
  EXPECT_EQ(FForm->TextLayer().At({11, 105})->Color, clRed);
  EXPECT_EQ(FForm->TextLayer().At({11, 105})->Background, clNone) << "drawn over the parent's pixels";
  FLabel->SetVisible(false);
  FForm->Update();
  EXPECT_EQ(FForm->TextLayer().At({11, 105}), nullptr);

  // Aligned, it grows where its alignment keeps it.
  FLabel->SetVisible(true);
  FLabel->SetAlign(alBottom);
  FLabel->Font().SetHeight(-24);
  EXPECT_EQ(FLabel->BoundsRect(), (TRect{0, 200 - 24, 300, 200}));
}

// ---- The form description ----

TEST_F(StdCtrlsTest, TheControlsGoIntoAFormDescriptionAndComeBack) {
  RegisterComponentClass<TForm>();
  RegisterComponentClass<TEdit>();
  RegisterComponentClass<TCheckBox>();
  RegisterComponentClass<TLabel>();
  FForm->SetName("Form1");
  FEdit->SetName("Pattern");
  FEdit->SetText("x" + kNichi);
  FEdit->SetMaxLength(40);
  FCheck->SetName("MatchCase");
  FCheck->SetChecked(true);
  FLabel->SetName("Message");
  FLabel->SetCaption("Done");
  FLabel->SetTransparent(true);
  std::string text;
  WriteFormText(*FForm, text);
  EXPECT_NE(text.find("  object Pattern: TEdit\n"), std::string::npos) << text;
  EXPECT_NE(text.find("    MaxLength = 40\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("TabStop"), std::string::npos) << "a tab stop by default" << text;

  TOwned<TForm> read = CreateWithoutOwner<TForm>();
  ReadFormTextInto(text, *read);
  auto* edit = dynamic_cast<TEdit*>(read->FindComponent("Pattern"));
  auto* check = dynamic_cast<TCheckBox*>(read->FindComponent("MatchCase"));
  auto* label = dynamic_cast<TLabel*>(read->FindComponent("Message"));
  ASSERT_NE(edit, nullptr);
  ASSERT_NE(check, nullptr);
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(edit->Text(), "x" + kNichi);
  EXPECT_EQ(edit->MaxLength(), 40);
  EXPECT_EQ(edit->Parent(), read.get());
  EXPECT_TRUE(check->Checked());
  EXPECT_EQ(check->Caption(), "Case");
  EXPECT_EQ(label->Caption(), "Done");
  EXPECT_TRUE(label->Transparent());
}

}  // namespace
}  // namespace plomaret
