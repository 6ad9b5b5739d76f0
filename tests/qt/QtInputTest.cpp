// Qt input reaching a control as the Win32 messages it is written against.

#include <gtest/gtest.h>

#include <QApplication>
#include <QInputMethodEvent>
#include <QScrollBar>
#include <QtTest/QTest>

#include "QtTestSupport.h"
#include "framework/core/Exceptions.h"
#include "framework/gui/Keys.h"
#include "framework/gui/SystemInput.h"

namespace plomaret {
namespace {

constexpr int kBorder = 2;  // the client edge

bool Repeated(const TLogged& entry) { return (entry.LParam & KF_REPEAT_BIT) != 0; }

std::vector<intptr_t> Params(const std::vector<TLogged>& entries) {
  std::vector<intptr_t> params;
  for (const TLogged& entry : entries) params.push_back(entry.WParam);
  return params;
}

class QtInput : public ::testing::Test {
 protected:
  QtInput() {
    FControl->SetBounds(0, 0, 200, 100);
    FControl->HandleNeeded();
    FWidget = FControl->Widget();
    QApplication::processEvents();
    FControl->Log.clear();
  }
  TOwned<TProbeControl> FControl = CreateWithoutOwner<TProbeControl>();
  QWidget* FWidget = nullptr;
};

TEST_F(QtInput, KeysArriveAsVirtualKeysAndTypedTextAsBytes) {
  QTest::keyClick(FWidget, Qt::Key_Home);
  QTest::keyClick(FWidget, Qt::Key_F5);
  QTest::keyClick(FWidget, Qt::Key_A);
  EXPECT_EQ(Params(FControl->Of(WM_KEYDOWN)), (std::vector<intptr_t>{VK_HOME, VK_F1 + 4, 'A'}));
  EXPECT_EQ(FControl->Of(WM_KEYUP).size(), 3u);
  EXPECT_EQ(Params(FControl->Of(WM_CHAR)), (std::vector<intptr_t>{0x61}));
  const std::vector<uint32_t> kinds = FControl->Kinds();
  const std::vector<uint32_t> tail(kinds.end() - 3, kinds.end());
  EXPECT_EQ(tail, (std::vector<uint32_t>{WM_KEYDOWN, WM_CHAR, WM_KEYUP}));

  // A double-byte character: both bytes are queued before the first is handled.
  FControl->Log.clear();
  QKeyEvent katakana(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8("ア"));
  QApplication::sendEvent(FWidget, &katakana);
  const std::vector<TLogged> chars = FControl->Of(WM_CHAR);
  EXPECT_EQ(Params(chars), (std::vector<intptr_t>{0x83, 0x41}));
  ASSERT_EQ(chars.size(), 2u);
  EXPECT_TRUE(chars[0].MoreCharsQueued);
  EXPECT_TRUE(FControl->Of(WM_KEYDOWN).empty()) << "a key without a virtual key sends no key-down";

  // Control keys type their control characters; Delete types nothing.
  FControl->Log.clear();
  QTest::keyClick(FWidget, Qt::Key_Return);
  QTest::keyClick(FWidget, Qt::Key_Backspace);
  QTest::keyClick(FWidget, Qt::Key_Delete);
  QTest::keyClick(FWidget, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(Params(FControl->Of(WM_CHAR)), (std::vector<intptr_t>{'\r', '\b', 3}));
}

// The window's keys and the driver's (the system's input fed as the driver feeds it, with a
// US layout's text) bring the same messages, the modifier keys' own messages aside.
TEST_F(QtInput, TheWindowsKeysAndTheDriversBringTheSameMessages) {
  FControl->DialogCode = DLGC_WANTALLKEYS;
  auto withoutModifierKeys = [](std::vector<TLogged> log) {
    std::erase_if(log, [](const TLogged& entry) {
      return entry.WParam == VK_SHIFT || entry.WParam == VK_CONTROL || entry.WParam == VK_MENU;
    });
    std::vector<TInputMessage> messages;
    for (const TLogged& entry : log) messages.push_back({entry.Msg, entry.WParam, entry.LParam});
    return messages;
  };
  const std::pair<Qt::Key, int> keys[] = {
      {Qt::Key_A, 'A'},           {Qt::Key_H, 'H'},         {Qt::Key_Z, 'Z'},           {Qt::Key_5, '5'},
      {Qt::Key_Space, VK_SPACE},  {Qt::Key_Return, VK_RETURN}, {Qt::Key_Tab, VK_TAB},   {Qt::Key_Backspace, VK_BACK},
      {Qt::Key_Escape, VK_ESCAPE}, {Qt::Key_Delete, VK_DELETE}, {Qt::Key_Left, VK_LEFT}, {Qt::Key_F10, VK_F10},
      {Qt::Key_Menu, VK_APPS}};
  const Qt::KeyboardModifiers modifierSets[] = {Qt::NoModifier, Qt::ControlModifier, Qt::AltModifier,
                                                Qt::ControlModifier | Qt::AltModifier};
  for (const auto& [qtKey, virtualKey] : keys) {
    for (const Qt::KeyboardModifiers modifiers : modifierSets) {
      FControl->Log.clear();
      QTest::keyClick(FWidget, qtKey, modifiers);
      const std::vector<TInputMessage> window = withoutModifierKeys(FControl->Log);

      FControl->Log.clear();
      TKeyInput key;
      key.VirtualKey = virtualKey;
      key.Modifiers = {false, (modifiers & Qt::ControlModifier) != 0, (modifiers & Qt::AltModifier) != 0};
      key.Text = UsLayoutText(virtualKey, false);
      SendKey(*FControl, key);
      key.Press = false;
      SendKey(*FControl, key);
      EXPECT_EQ(window, withoutModifierKeys(FControl->Log)) << QKeySequence(qtKey | modifiers).toString().toStdString();
    }
  }
}

TEST_F(QtInput, AHeldKeyRepeatsWithBit30AndComesUpOnce) {
  QTest::keyPress(FWidget, Qt::Key_Right);
  for (int i = 0; i < 2; ++i) {
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Right, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(FWidget, &release);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(FWidget, &press);
  }
  EXPECT_TRUE(Platform().KeyDown(VK_RIGHT));
  QTest::keyRelease(FWidget, Qt::Key_Right);
  EXPECT_FALSE(Platform().KeyDown(VK_RIGHT));
  const std::vector<TLogged> downs = FControl->Of(WM_KEYDOWN);
  ASSERT_EQ(downs.size(), 3u);
  EXPECT_FALSE(Repeated(downs[0]));
  EXPECT_TRUE(Repeated(downs[1]));
  EXPECT_TRUE(Repeated(downs[2]));
  const std::vector<TLogged> ups = FControl->Of(WM_KEYUP);
  ASSERT_EQ(ups.size(), 1u);
  EXPECT_EQ(ups[0].WParam, VK_RIGHT);
  EXPECT_EQ(ups[0].LParam & 0xC0000000, 0xC0000000) << "a key-up was down before and is going up";
}

TEST_F(QtInput, ShortcutsUseTheKeyNotTheLayoutsSymbol) {
  QTest::keyClick(FWidget, Qt::Key_NumberSign, Qt::ShiftModifier | Qt::ControlModifier);
  EXPECT_EQ(Params(FControl->Of(WM_KEYDOWN)), (std::vector<intptr_t>{VK_SHIFT, VK_CONTROL, '3'}));
  ASSERT_FALSE(FControl->KeyShifts.empty());
  EXPECT_EQ(FControl->KeyShifts.back(), (TShiftState{ssShift, ssCtrl}));
  EXPECT_TRUE(FControl->Of(WM_CHAR).empty());

  // The key's place on the keyboard wins: "(" is Shift+8 on a Japanese keyboard, Shift+9 on a US one.
  FControl->Log.clear();
  QKeyEvent paren(QEvent::KeyPress, Qt::Key_ParenLeft, Qt::ShiftModifier, 17, 0x28, 0, QStringLiteral("("));
  QApplication::sendEvent(FWidget, &paren);
  EXPECT_EQ(Params(FControl->Of(WM_KEYDOWN)), (std::vector<intptr_t>{'8'}));
  EXPECT_EQ(Params(FControl->Of(WM_CHAR)), (std::vector<intptr_t>{'('}));

  // Alt makes them the system's keys.
  FControl->Log.clear();
  QKeyEvent altX(QEvent::KeyPress, Qt::Key_X, Qt::AltModifier, QStringLiteral("x"));
  QApplication::sendEvent(FWidget, &altX);
  EXPECT_EQ(FControl->Kinds(), (std::vector<uint32_t>{WM_SYSKEYDOWN, WM_SYSCHAR}));
}

TEST_F(QtInput, TabReachesTheControlOnlyWhenItAsksForIt) {
  FControl->DialogCode = DLGC_WANTTAB;
  QTest::keyClick(FWidget, Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(Params(FControl->Of(WM_KEYDOWN)), (std::vector<intptr_t>{VK_SHIFT, VK_TAB}));
  EXPECT_EQ(Params(FControl->Of(WM_CHAR)), (std::vector<intptr_t>{'\t'}));

  auto other = CreateWithoutOwner<TProbeControl>();
  other->SetParent(FControl.get());
  other->SetBounds(10, 10, 50, 20);
  other->HandleNeeded();
  FWidget->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(FWidget));
  FControl->SetFocus();
  FControl->Log.clear();
  FControl->DialogCode = 0;
  QTest::keyClick(FWidget, Qt::Key_Tab);
  EXPECT_TRUE(FControl->Of(WM_KEYDOWN).empty());
  EXPECT_EQ(TWinControl::FocusedControl(), other.get()) << "Tab moved the focus instead";
}

TEST_F(QtInput, AnInputMethodResultArrivesAsACompositionThenItsBytes) {
  FControl->CreateCaret(2, 12);
  FControl->SetCaretPos({30, 24});
  EXPECT_EQ(FWidget->inputMethodQuery(Qt::ImCursorRectangle).toRect(), QRect(30 + kBorder, 24 + kBorder, 2, 12));

  QInputMethodEvent preedit(QString::fromUtf8("あ"), {});
  QApplication::sendEvent(FWidget, &preedit);
  EXPECT_TRUE(FControl->Log.empty()) << "the composition so far is only drawn";

  QInputMethodEvent commit;
  commit.setCommitString(QString::fromUtf8("あい"));
  QApplication::sendEvent(FWidget, &commit);
  EXPECT_EQ(FControl->Kinds(), (std::vector<uint32_t>{WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION, WM_IME_ENDCOMPOSITION,
                                                      WM_CHAR, WM_CHAR, WM_CHAR, WM_CHAR}));
  EXPECT_NE(FControl->Of(WM_IME_COMPOSITION).at(0).LParam & GCS_RESULTSTR, 0);
  EXPECT_EQ(Params(FControl->Of(WM_CHAR)), (std::vector<intptr_t>{0x82, 0xA0, 0x82, 0xA2}));
  EXPECT_EQ(FControl->ImeResultString(), "\x82\xa0\x82\xa2");

  // Where the control places the composition window, the input method is told.
  TOwned<TFont> font = Create<TFont>();
  font->SetName("FixedSys");
  FControl->SetImeCompositionWindow({60, 0}, *font);
  EXPECT_EQ(FWidget->inputMethodQuery(Qt::ImCursorRectangle).toRect().topLeft(), QPoint(60 + kBorder, kBorder));
}

TEST_F(QtInput, MouseMessagesCarryClientCoordinatesAndButtonFlags) {
  QTest::mousePress(FWidget, Qt::LeftButton, Qt::ShiftModifier, QPoint(17, 9));
  QTest::mouseRelease(FWidget, Qt::LeftButton, {}, QPoint(17, 9));
  const std::vector<TLogged> down = FControl->Of(WM_LBUTTONDOWN);
  ASSERT_EQ(down.size(), 1u);
  EXPECT_EQ(down[0].WParam, MK_LBUTTON | MK_SHIFT);
  EXPECT_EQ(down[0].LParam, MakeLong(17 - kBorder, 9 - kBorder));
  EXPECT_EQ(FControl->Of(WM_LBUTTONUP).at(0).WParam, 0);

  FControl->Log.clear();
  QTest::mouseDClick(FWidget, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(FControl->Of(WM_LBUTTONDBLCLK).at(0).LParam, MakeLong(3, 3));

  // The right button's release asks for the context menu, at the point on the screen.
  FControl->Log.clear();
  QTest::mouseClick(FWidget, Qt::RightButton, {}, QPoint(40, 20));
  EXPECT_EQ(FControl->Kinds(), (std::vector<uint32_t>{WM_RBUTTONDOWN, WM_RBUTTONUP, WM_CONTEXTMENU}));
  const QPoint screen = FWidget->mapToGlobal(QPoint(40, 20));
  EXPECT_EQ(FControl->Of(WM_CONTEXTMENU).at(0).LParam, MakeLong(screen.x(), screen.y()));
}

TEST_F(QtInput, TheWheelTurnsInWholeNotches) {
  auto wheel = [this](int delta) {
    QWheelEvent event(QPointF(12, 22), FWidget->mapToGlobal(QPointF(12, 22)), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(FWidget, &event);
  };
  wheel(-120);
  const std::vector<TLogged> notch = FControl->Of(WM_MOUSEWHEEL);
  ASSERT_EQ(notch.size(), 1u);
  EXPECT_EQ(SignedHighWord(notch[0].WParam), -120);
  EXPECT_EQ(LowWord(notch[0].WParam), MK_CONTROL);
  EXPECT_EQ(notch[0].LParam, MakeLong(10, 20));

  // A touchpad's small steps add up to a notch.
  FControl->Log.clear();
  wheel(50);
  wheel(50);
  EXPECT_TRUE(FControl->Of(WM_MOUSEWHEEL).empty());
  wheel(50);
  ASSERT_EQ(FControl->Of(WM_MOUSEWHEEL).size(), 1u);
  EXPECT_EQ(SignedHighWord(FControl->Of(WM_MOUSEWHEEL)[0].WParam), 120);
}

TEST_F(QtInput, ScrollBarsSendScrollRequestsAndTheControlPlacesTheThumb) {
  FControl->SetScrollInfo(sbVertical, {0, 200000, 50, 10, 0, true});
  QScrollBar* bar = QtWindowOf(*FControl)->ScrollBar(sbVertical);
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->geometry(), QRect(200 - kBorder - 17, kBorder, 17, 100 - 2 * kBorder));
  EXPECT_EQ(FControl->ClientWidth(), 200 - 2 * kBorder - 17);

  bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(LowWord(FControl->Of(WM_VSCROLL).at(0).WParam), SB_LINEDOWN);
  EXPECT_EQ(bar->value(), 10) << "the control did not move, so neither does the thumb";

  FControl->Log.clear();
  bar->setSliderDown(true);
  bar->setSliderPosition(100000);
  EXPECT_EQ(FControl->ScrollInfo(sbVertical).TrackPos, 100000) << "the whole 32-bit position";
  bar->setSliderDown(false);
  std::vector<int> codes;
  for (const TLogged& entry : FControl->Of(WM_VSCROLL)) codes.push_back(LowWord(entry.WParam));
  EXPECT_EQ(codes, (std::vector<int>{SB_THUMBTRACK, SB_THUMBPOSITION, SB_ENDSCROLL}));
  EXPECT_EQ(HighWord(FControl->Of(WM_VSCROLL).at(0).WParam), 100000 & 0xFFFF);
}

TEST_F(QtInput, AnExceptionFromAHandlerIsShownAndInputGoesOn) {
  RecordingPlatform().Shown.clear();
  FControl->OnKey = [](int key) {
    if (key == VK_ESCAPE) throw Exception("No such row");
    return false;
  };
  QTest::keyClick(FWidget, Qt::Key_Escape);
  QTest::keyClick(FWidget, Qt::Key_B);
  EXPECT_EQ(RecordingPlatform().Shown, (std::vector<std::string>{"No such row"}));
  EXPECT_EQ(Params(FControl->Of(WM_CHAR)), (std::vector<intptr_t>{0x1B, 'b'}));
}

TEST_F(QtInput, AControlFreedByItsOwnKeyLeavesNothingBehind) {
  FControl->OnKey = [this](int key) {
    if (key != 'W') return false;
    FControl.reset();
    return true;
  };
  QTest::keyClick(FWidget, Qt::Key_W, Qt::ControlModifier);
  EXPECT_EQ(FControl, nullptr);
  QApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace
}  // namespace plomaret
