#include "framework/gui/Control.h"

#include <gtest/gtest.h>

#include "framework/gui/Application.h"
#include "framework/gui/Platform.h"
#include "framework/headless/HeadlessPlatform.h"

namespace plomaret {
namespace {

using TLog = std::vector<std::string>;

// A control that logs its messages and paints a row of text on the cell grid.
class TTestControl : public TCustomControl {
 public:
  void WndProc(TMessage& message) override {
    if (message.Msg != WM_PAINT && message.Msg != WM_GETTEXT) {
      std::string entry = MessageName(message.Msg);
      if (message.Msg == WM_SETTEXT) entry += " \"" + std::string(reinterpret_cast<const char*>(message.LParam)) + "\"";
      if (message.Msg == WM_SIZE) entry += " " + std::to_string(LowWord(message.LParam)) + "x" + std::to_string(HighWord(message.LParam));
      Log.push_back(entry);
    }
    TCustomControl::WndProc(message);
  }
  TLog Log;
  uint32_t ExtraStyle = 0;
  uint32_t ExtraExStyle = 0;
  std::vector<TRect> PaintClips;
  std::string Row = "abc";

 protected:
  void CreateParams(uint32_t& style, uint32_t& exStyle) const override {
    style |= ExtraStyle;
    exStyle |= ExtraExStyle;
  }
  void Paint() override {
    PaintClips.push_back(Canvas().ClipRect());
    Canvas().SetBrushColor(clWhite);
    Canvas().ExtTextOut(0, 0, etoOpaque, {0, 0, 60, 12}, Row, std::vector<int>(Row.size(), 6));
  }
};

class ControlTest : public ::testing::Test {
 protected:
  ControlTest() {
    UseHeadlessPlatform();
    FControl->SetBounds(10, 20, 100, 50);
    FControl->SetColor(clSilver);
    FControl->Font().SetHeight(-12);
  }
  THeadlessWindow& Window() { return HeadlessWindowOf(*FControl); }
  TOwned<TTestControl> FControl = CreateWithoutOwner<TTestControl>();
};

TEST_F(ControlTest, AWindowIsMadeUntitledAndThenGetsItsCaption) {
  FControl->SetText("Editor1");
  FControl->Log.clear();
  FControl->HandleNeeded();
  EXPECT_EQ(Window().Captions(), (std::vector<std::string>{"", "Editor1"}));
  EXPECT_EQ(FControl->Log, (TLog{"WM_CREATE", "WM_SETTEXT \"Editor1\"", "WM_SIZE 100x50"}));
  EXPECT_EQ(Window().Bounds(), TRect::FromSize(10, 20, 100, 50));
}

TEST_F(ControlTest, BordersAndScrollBarsTakeRoomFromTheClientArea) {
  FControl->ExtraStyle = WS_BORDER;
  FControl->ExtraExStyle = WS_EX_CLIENTEDGE;
  EXPECT_EQ(FControl->ClientRect(), (TRect{0, 0, 94, 44}));
  FControl->HandleNeeded();
  FControl->Log.clear();
  FControl->SetScrollInfo(sbVertical, {0, 99, 10, 200, 0, true});
  EXPECT_EQ(FControl->ClientRect(), (TRect{0, 0, 77, 44}));
  EXPECT_EQ(FControl->Log, (TLog{"WM_SIZE 77x44"}));
  EXPECT_EQ(FControl->ScrollInfo(sbVertical).Pos, 90) << "the position is kept within the range";
  EXPECT_EQ(Window().ScrollBar(sbVertical).Pos, 90);
  EXPECT_EQ(FControl->BackingImage().Width(), 77);
}

TEST_F(ControlTest, PostedBytesWaitInTheQueueAndCanBePeeked) {
  FControl->PostMessage(WM_CHAR, 0x82);
  FControl->PostMessage(WM_CHAR, 0xA0);
  FControl->PostMessage(WM_KEYUP, 0x41);
  TMessage message;
  ASSERT_TRUE(FControl->PeekMessage(message, WM_CHAR, WM_CHAR, true));
  EXPECT_EQ(message.WParam, 0x82);
  ASSERT_TRUE(FControl->PeekMessage(message, WM_CHAR, WM_CHAR, false));
  EXPECT_EQ(message.WParam, 0xA0) << "the trail byte is there before the lead is handled";
  EXPECT_FALSE(FControl->PeekMessage(message, WM_MOUSEMOVE, WM_MOUSEMOVE, true));
  FControl->Log.clear();
  EXPECT_EQ(FControl->ProcessMessages(), 2);
  EXPECT_EQ(FControl->Log, (TLog{"WM_CHAR", "WM_KEYUP"}));
}

TEST_F(ControlTest, UpdatePaintsOnlyWhatIsInvalidErasedWithTheColourFirst) {
  FControl->HandleNeeded();
  FControl->Update();
  Window().ClearPaintLog();
  FControl->PaintClips.clear();
  FControl->InvalidateRect({0, 20, 100, 30});
  FControl->Update();
  EXPECT_EQ(FControl->PaintClips, (std::vector<TRect>{{0, 20, 100, 30}}));
  EXPECT_EQ(Window().PaintLog().back(), (THeadlessWindow::TPaintLogEntry{THeadlessWindow::pkPainted, {0, 20, 100, 30}}));
  EXPECT_EQ(FControl->BackingImage().Pixel(50, 25), PixelOf(clSilver)) << "erased with Color";
  FControl->Update();
  EXPECT_EQ(FControl->PaintClips.size(), 1u) << "nothing left to paint";
}

TEST_F(ControlTest, ImmediateDrawingShowsAtOnceAndNotWhileRedrawIsOff) {
  FControl->HandleNeeded();
  FControl->Update();
  Window().ClearPaintLog();
  FControl->Canvas().SetBrushColor(clRed);
  FControl->Canvas().FillRect({0, 40, 5, 45});
  EXPECT_EQ(Window().PaintLog(), (std::vector<THeadlessWindow::TPaintLogEntry>{{THeadlessWindow::pkDrawn, {0, 40, 5, 45}}}));
  FControl->Perform(WM_SETREDRAW, 0);
  FControl->Canvas().SetBrushColor(clBlue);
  FControl->Canvas().FillRect({0, 40, 5, 45});
  FControl->InvalidateRect({0, 0, 10, 10});
  FControl->Update();
  EXPECT_EQ(FControl->BackingImage().Pixel(1, 41), PixelOf(clRed)) << "nothing is drawn with redraw off";
  EXPECT_EQ(Window().PaintLog().size(), 2u) << "only the invalidation";
  FControl->Perform(WM_SETREDRAW, 1);
  FControl->Update();
  EXPECT_EQ(FControl->BackingImage().Pixel(1, 41), PixelOf(clRed)) << "drawing between paints survives";
  EXPECT_EQ(Window().PaintLog().back().Kind, THeadlessWindow::pkPainted);
}

TEST_F(ControlTest, ScrollingMovesPixelsAndTextAndPaintsOnlyTheUncoveredStrip) {
  FControl->HandleNeeded();
  FControl->Update();  // "abc" on the first row
  ASSERT_NE(FControl->TextLayer().At({1, 1}), nullptr);
  FControl->Row = "xyz";
  Window().ClearPaintLog();
  FControl->PaintClips.clear();
  FControl->ScrollWindow(0, 12);
  EXPECT_EQ(FControl->TextLayer().At({1, 13})->Bytes, "a") << "the text moved with its pixels";
  EXPECT_EQ(FControl->TextLayer().At({1, 1})->Bytes, "x") << "the strip was painted";
  EXPECT_EQ(FControl->PaintClips, (std::vector<TRect>{{0, 0, 100, 12}}));
  EXPECT_EQ(Window().PaintLog().back(), (THeadlessWindow::TPaintLogEntry{THeadlessWindow::pkPainted, {0, 0, 100, 12}}));
}

TEST_F(ControlTest, TheCaretIsMadeHiddenAndNestsItsShowing) {
  FControl->HandleNeeded();
  FControl->CreateCaret(2, 12);
  EXPECT_FALSE(FControl->CaretVisible());
  FControl->ShowCaret();
  FControl->SetCaretPos({12, 24});
  EXPECT_TRUE(Window().CaretShown());
  EXPECT_EQ(Window().CaretPos(), (TPoint{12, 24}));
  FControl->HideCaret();
  FControl->HideCaret();
  FControl->ShowCaret();
  EXPECT_FALSE(Window().CaretShown()) << "hiding twice needs showing twice";
  FControl->ShowCaret();
  EXPECT_TRUE(Window().CaretShown());
  FControl->DestroyCaret();
  EXPECT_FALSE(Window().CaretShown());
}

TEST_F(ControlTest, RecreatingTheWindowKeepsTheControlsState) {
  FControl->SetText("kept");
  FControl->HandleNeeded();
  FControl->SetScrollInfo(sbHorizontal, {0, 50, 10, 5, 0, true});
  FControl->CreateCaret(1, 10);
  FControl->ShowCaret();
  FControl->RecreateWnd();
  THeadlessWindow& window = Window();
  EXPECT_EQ(window.Captions().back(), "kept");
  EXPECT_EQ(window.ScrollBar(sbHorizontal).Pos, 5);
  EXPECT_TRUE(window.CaretShown());
  EXPECT_EQ(FControl->ClientRect().Height(), 33);
}

TEST_F(ControlTest, FocusMovesWithMessagesToBothControls) {
  auto other = CreateWithoutOwner<TTestControl>();
  other->SetBounds(0, 0, 10, 10);
  FControl->SetFocus();
  FControl->Log.clear();
  other->SetFocus();
  EXPECT_EQ(FControl->Log, (TLog{"WM_KILLFOCUS", "CM_EXIT"}));
  EXPECT_EQ(other->Log.back(), "WM_SETFOCUS");
  EXPECT_TRUE(other->Focused());
  EXPECT_FALSE(Window().Focused());
  other.reset();
  EXPECT_EQ(TWinControl::FocusedControl(), nullptr) << "a freed control gives up the focus";
}

}  // namespace
}  // namespace plomaret

namespace plomaret {
namespace {

TEST_F(ControlTest, AnImeResultComesAsOneCompositionThenAsCharacterBytes) {
  FControl->HandleNeeded();
  FControl->Log.clear();
  FControl->DeliverImeResult("\x82\xa0\x82\xa2");  // あい
  EXPECT_EQ(FControl->ImeResultString(), "\x82\xa0\x82\xa2");
  EXPECT_EQ(FControl->Log, (TLog{"WM_IME_STARTCOMPOSITION", "WM_IME_COMPOSITION", "WM_IME_ENDCOMPOSITION"}));
  FControl->Log.clear();
  EXPECT_EQ(FControl->ProcessMessages(), 4);
  EXPECT_EQ(FControl->Log, (TLog{"WM_CHAR", "WM_CHAR", "WM_CHAR", "WM_CHAR"}));
  TFont font;
  font.SetName("FixedSys");
  FControl->SetImeCompositionWindow({30, 40}, font);
  EXPECT_EQ(Window().ImePosition(), (TPoint{30, 40}));
  EXPECT_EQ(Window().ImeFontName(), "FixedSys");
}

}  // namespace
}  // namespace plomaret

namespace plomaret {
namespace {

TEST_F(ControlTest, ClientCoordinatesFollowTheParentsAndTheBorders) {
  auto parent = CreateWithoutOwner<TTestControl>();
  parent->SetBounds(100, 50, 300, 200);
  parent->ExtraStyle = WS_BORDER;
  FControl->SetParent(parent.get());
  FControl->ExtraExStyle = WS_EX_CLIENTEDGE;
  EXPECT_EQ(FControl->ClientOrigin(), (TPoint{100 + 1 + 10 + 2, 50 + 1 + 20 + 2}));
  UseHeadlessPlatform().SetCursorPos({120, 80});
  EXPECT_EQ(FControl->CursorPosInClient(), (TPoint{7, 7}));
  EXPECT_EQ(FControl->ClientToScreen({7, 7}), (TPoint{120, 80}));
  FControl->SetParent(nullptr);
  EXPECT_EQ(GetSystemMetrics(SM_CYHSCROLL), 17);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), UseHeadlessPlatform().ScreenSize().Width);
}

TEST_F(ControlTest, TheLeftButtonFlagEndsWithAnyButtonUp) {
  FControl->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLong(1, 1));
  EXPECT_TRUE(TWinControl::LeftButtonDown());
  auto other = CreateWithoutOwner<TTestControl>();
  other->Perform(WM_LBUTTONUP);  // a synthetic release elsewhere
  EXPECT_FALSE(TWinControl::LeftButtonDown());
}

TEST_F(ControlTest, CaptureEndsWithAMessageToItsHolderOrWhenTheHolderIsFreed) {
  auto other = CreateWithoutOwner<TTestControl>();
  FControl->Log.clear();
  FControl->SetCapture();
  other->SetCapture();
  EXPECT_EQ(TWinControl::CaptureControl(), other.get());
  EXPECT_EQ(FControl->Log, TLog{}) << "taking the capture tells the old holder nothing";
  TWinControl::ReleaseCapture();
  EXPECT_EQ(TWinControl::CaptureControl(), nullptr);
  EXPECT_EQ(other->Log, (TLog{"WM_CAPTURECHANGED"}));
  TWinControl::ReleaseCapture();
  EXPECT_EQ(other->Log.size(), 1u) << "no holder, no message";
  other->SetCapture();
  other.reset();
  EXPECT_EQ(TWinControl::CaptureControl(), nullptr);
}

TEST_F(ControlTest, TheApplicationForgetsFocusCaptureAndTheLeftButtonAsAtStartUp) {
  FControl->SetFocus();
  FControl->SetCapture();
  FControl->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLong(1, 1));
  FControl->Log.clear();
  Application().ResetInputState();
  EXPECT_EQ(TWinControl::FocusedControl(), nullptr);
  EXPECT_EQ(TWinControl::CaptureControl(), nullptr);
  EXPECT_FALSE(TWinControl::LeftButtonDown());
  EXPECT_EQ(FControl->Log, TLog{}) << "forgotten, not told";
  FControl->SetFocus();
  EXPECT_EQ(FControl->Log.back(), "WM_SETFOCUS") << "the focus can be taken again";
}

}  // namespace
}  // namespace plomaret
