// Row marks and the bars at their edges: mark 9 is the last digit mark (one row at a
// time) and mark 10 the first image mark (any number of rows), 15 the last mark; the
// imagebar shows the lowest digit and the lowest image mark; a jump scrolls only for
// a row outside the view; the leftbar widens exactly when the last number needs
// another digit.

#include <gtest/gtest.h>

#include <string>

#include "editor/EditorControl.h"
#include "editor/EditorUtils.h"
#include "framework/headless/HeadlessPlatform.h"

namespace plomaret {
namespace {

class MarkAndBarEdgesTest : public ::testing::Test {
 protected:
  MarkAndBarEdgesTest() {
    UseHeadlessPlatform().HeadlessFontEngine().SetFixedMetrics({16, 13, 3, 0, 8, 16});
    FEditor->SetBounds(0, 0, 400, 200);
    FEditor->HandleNeeded();
    FEditor->SetFocus();
  }
  TEditor& Editor() { return *FEditor; }
  static std::string Lines(int count, bool finalLineEnd) {
    std::string text;
    for (int i = 0; i < count; ++i) text += i + 1 < count || finalLineEnd ? "x\r\n" : "x";
    return text;
  }
  bool Has(int row, int mark) const { return (FEditor->GetRowMarks(row) & (1u << mark)) != 0; }

  TOwned<TEditor> FEditor = CreateWithoutOwner<TEditor>();
};

TEST_F(MarkAndBarEdgesTest, DigitMarksUpTo9AreUniqueAndImageMarksFrom10AreNot) {
  Editor().Lines()->SetAllText(Lines(10, false));
  for (int mark : {0, 9, 10, 15}) {
    Editor().PutRowMark(2, mark);
    Editor().PutRowMark(5, mark);
    const bool digit = mark <= 9;
    EXPECT_EQ(Has(2, mark), !digit) << mark;
    EXPECT_TRUE(Has(5, mark)) << mark;
  }
  // Outside 0..15 there is no mark to put.
  Editor().PutRowMark(7, 16);
  Editor().PutRowMark(7, -1);
  EXPECT_EQ(Editor().GetRowMarks(7), 0);
  // Taking an image mark off one row leaves it on the other.
  Editor().DeleteRowMark(5, 10);
  EXPECT_TRUE(Has(2, 10));
  EXPECT_FALSE(Has(5, 10));
}

TEST_F(MarkAndBarEdgesTest, TheMenuChecksDigitMarksOnly) {
  Editor().Lines()->SetAllText(Lines(10, false));
  auto* menu = dynamic_cast<TEditorPopupMenu*>(Editor().PopupMenu());
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(menu->MarkSetItem()->Count(), 10);
  Editor().PutRowMark(3, 10);
  Editor().PutRowMark(4, 15);
  menu->OnPopup(menu);
  for (int n = 0; n < 10; ++n) EXPECT_FALSE(menu->MarkSetItem()->Items(n)->Checked()) << n;
  Editor().PutRowMark(3, 9);
  Editor().PutRowMark(4, 0);
  menu->OnPopup(menu);
  for (int n = 0; n < 10; ++n) {
    EXPECT_EQ(menu->MarkSetItem()->Items(n)->Checked(), n == 0 || n == 9) << n;
    EXPECT_EQ(menu->MarkJumpItem()->Items(n)->Checked(), n == 0 || n == 9) << n;
  }
  // The set command of item 9 toggles the caret row's mark 9.
  Editor().SetRowCol(3, 0);
  menu->MarkSetItem()->Items(9)->Click();
  EXPECT_FALSE(Has(3, 9));
  EXPECT_TRUE(Has(3, 10)) << "the image mark stays";
}

TEST_F(MarkAndBarEdgesTest, AJumpScrollsOnlyToARowOutsideTheView) {
  Editor().Lines()->SetAllText(Lines(200, false));
  const int rows = Editor().RowCount();
  ASSERT_GT(rows, 2);
  auto jump = [&](int row) {
    Editor().PutRowMark(row, 4);
    Editor().SetRowCol(0, 0);
    Editor().SetTopRow(50);
    Editor().GotoRowMark(4);
    EXPECT_EQ(Editor().Row(), row);
    return Editor().TopRow();
  };
  EXPECT_EQ(jump(50), 50) << "the first visible row";
  EXPECT_EQ(jump(50 + rows - 1), 50) << "the last visible row";
  EXPECT_EQ(jump(50 + rows), 50 + rows - rows / 2) << "the row below the view is centred";
  EXPECT_EQ(jump(49), 49 - rows / 2) << "the row above the view is centred";
}

TEST_F(MarkAndBarEdgesTest, TheImagebarShowsTheLowestDigitAndTheLowestImageMark) {
  Editor().Imagebar()->SetMarkWidth(11);
  Editor().Lines()->SetAllText("a\r\nb\r\nc");
  for (int mark : {9, 10, 15}) Editor().PutRowMark(0, mark);
  Editor().PutRowMark(1, 15);
  for (int mark : {0, 14}) Editor().PutRowMark(2, mark);
  const int digitX = Editor().Imagebar()->LeftMargin();
  const int markX = digitX + Editor().Imagebar()->DigitWidth();
  // Whether the 11 pixel rows at (x, row) show image index of list (or nothing, for
  // index -1) on the bar's white.
  auto shows = [&](int x, int row, const TImageList& list, int index) {
    TBitmap expected;
    expected.SetSize(list.Width(), list.Height());
    expected.Raster().FillRect({0, 0, list.Width(), list.Height()}, PixelOf(clWhite));
    if (index >= 0) list.Draw(expected.Canvas(), 0, 0, index);
    Editor().Update();
    const int top = Editor().TopOffset() + row * Editor().RowHeight() + 2;
    for (int y = 0; y < list.Height(); ++y) {
      for (int dx = 0; dx < list.Width(); ++dx) {
        if (Editor().BackingImage().Pixel(x + dx, top + y) != expected.Raster().Pixel(dx, y)) return false;
      }
    }
    return true;
  };
  EXPECT_TRUE(shows(digitX, 0, DigitMarkImages(), 9)) << "digit mark 9";
  EXPECT_TRUE(shows(markX, 0, MarkImages(), 0)) << "mark 10, not 15";
  EXPECT_TRUE(shows(digitX, 1, DigitMarkImages(), -1)) << "mark 15 is no digit";
  EXPECT_TRUE(shows(markX, 1, MarkImages(), 5)) << "mark 15";
  EXPECT_TRUE(shows(digitX, 2, DigitMarkImages(), 0)) << "digit mark 0";
  EXPECT_TRUE(shows(markX, 2, MarkImages(), 4)) << "mark 14";
}

TEST_F(MarkAndBarEdgesTest, TheLeftbarTakesAnotherDigitExactlyAt10000) {
  Editor().Leftbar()->SetVisible(true);
  struct TCase {
    int Lines;
    bool FinalLineEnd;
    bool ZeroBase;
    int Digits;
  };
  const TCase cases[] = {
      {9999, false, false, 4},  {10000, false, false, 5},  // numbers 1 to 9999, 1 to 10000
      {9998, true, false, 4},   {9999, true, false, 5},    // the empty row after the line end counts
      {10000, false, true, 4},  {10001, false, true, 5},   // numbers from 0
  };
  for (const TCase& c : cases) {
    Editor().Leftbar()->SetZeroBase(c.ZeroBase);
    Editor().Lines()->SetAllText(Lines(c.Lines, c.FinalLineEnd));
    EXPECT_EQ(Editor().LeftbarDigits(), c.Digits) << c.Lines << " " << c.FinalLineEnd << " " << c.ZeroBase;
  }
  // Never fewer digits than Column asks for.
  Editor().Leftbar()->SetZeroBase(false);
  Editor().Leftbar()->SetColumn(1);
  Editor().Lines()->SetAllText(Lines(9, false));
  EXPECT_EQ(Editor().LeftbarDigits(), 1);
  Editor().Lines()->SetAllText(Lines(10, false));
  EXPECT_EQ(Editor().LeftbarDigits(), 2);
  Editor().Leftbar()->SetColumn(5);
  Editor().Lines()->SetAllText(Lines(9999, false));
  EXPECT_EQ(Editor().LeftbarDigits(), 5);
}

TEST_F(MarkAndBarEdgesTest, LineNumbersCountLinesAndRowNumbersCountRows) {
  // 9999 lines, one of them wrapped into two rows: 10000 rows.
  Editor().Leftbar()->SetVisible(true);
  Editor().WrapOption()->SetWrapByte(20);
  Editor().SetWordWrap(true);
  Editor().Lines()->SetAllText(std::string(30, 'w') + "\r\n" + Lines(9998, false));
  ASSERT_EQ(Editor().ScreenStrings()->Count(), 10000);
  Editor().Leftbar()->SetShowNumberMode(nmRow);
  EXPECT_EQ(Editor().LeftbarDigits(), 5);
  Editor().Leftbar()->SetShowNumberMode(nmLine);
  EXPECT_EQ(Editor().LeftbarDigits(), 4);
}

}  // namespace
}  // namespace plomaret
