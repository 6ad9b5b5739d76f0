#include "framework/gui/SystemInput.h"

#include <gtest/gtest.h>

#include <functional>

#include "framework/gui/Control.h"
#include "framework/gui/Keys.h"
#include "framework/headless/HeadlessPlatform.h"

namespace plomaret {
namespace {

constexpr intptr_t kAltBit = intptr_t{1} << 29;
constexpr intptr_t kPreviousBit = intptr_t{1} << 30;
constexpr intptr_t kReleaseBit = intptr_t{1} << 31;
constexpr int kVkOemOpenBracket = 0xDB;
constexpr int kVkOemBackslash = 0xDC;
constexpr int kVkOemCloseBracket = 0xDD;

TKeyInput Key(int virtualKey, TModifiers modifiers = {}, std::string text = {}) {
  TKeyInput key;
  key.VirtualKey = virtualKey;
  key.Modifiers = modifiers;
  key.Text = std::move(text);
  return key;
}

TKeyInput Released(TKeyInput key) {
  key.Press = false;
  return key;
}

constexpr TModifiers kShift{true, false, false};
constexpr TModifiers kCtrl{false, true, false};
constexpr TModifiers kAlt{false, false, true};

TEST(KeyTranslation, TheKeyMessagesCarryTheRepeatCountAndTheStateBits) {
  TKeyInput key = Key(VK_LEFT);
  EXPECT_EQ(TranslateKey(key), (std::vector<TInputMessage>{{WM_KEYDOWN, VK_LEFT, 1}}));
  key.Repeat = true;
  EXPECT_EQ(TranslateKey(key), (std::vector<TInputMessage>{{WM_KEYDOWN, VK_LEFT, 1 | kPreviousBit}}));
  EXPECT_EQ(TranslateKey(Released(key)), (std::vector<TInputMessage>{{WM_KEYUP, VK_LEFT, 1 | kPreviousBit | kReleaseBit}}));
  // Shift and Ctrl leave the bits alone; Alt sets the context bit on every message.
  EXPECT_EQ(TranslateKey(Key(VK_LEFT, {true, true, false})).at(0).LParam, 1);
  EXPECT_EQ(TranslateKey(Released(Key(VK_LEFT, kAlt))).at(0).LParam, 1 | kAltBit | kPreviousBit | kReleaseBit);
}

TEST(KeyTranslation, AltAndF10AreTheSystemsKeysButAltGrIsNot) {
  EXPECT_EQ(TranslateKey(Key('X', kAlt, "x")),
            (std::vector<TInputMessage>{{WM_SYSKEYDOWN, 'X', 1 | kAltBit}, {WM_SYSCHAR, 'x', 1 | kAltBit}}));
  EXPECT_EQ(TranslateKey(Released(Key('X', kAlt))).at(0).Msg, WM_SYSKEYUP);
  // Alt pressed on its own is already held.
  EXPECT_EQ(TranslateKey(Key(VK_MENU)), (std::vector<TInputMessage>{{WM_SYSKEYDOWN, VK_MENU, 1 | kAltBit}}));
  EXPECT_EQ(TranslateKey(Key(VK_F10)), (std::vector<TInputMessage>{{WM_SYSKEYDOWN, VK_F10, 1}}));
  EXPECT_EQ(TranslateKey(Released(Key(VK_F10, kShift))).at(0).Msg, WM_SYSKEYUP);
  // Ctrl+Alt is AltGr: an ordinary key that types what the layout says.
  EXPECT_EQ(TranslateKey(Key('Q', {false, true, true}, "@")),
            (std::vector<TInputMessage>{{WM_KEYDOWN, 'Q', 1 | kAltBit}, {WM_CHAR, '@', 1 | kAltBit}}));
}

TEST(KeyTranslation, CtrlCombinationsTypeTheirControlCharacters) {
  for (int letter = 'A'; letter <= 'Z'; ++letter) {
    const std::string expected(1, static_cast<char>(letter - 'A' + 1));
    EXPECT_EQ(KeyCharacters(Key(letter, kCtrl, std::string(1, static_cast<char>(letter)))), expected) << char(letter);
    EXPECT_EQ(KeyCharacters(Key(letter, {true, true, false})), expected) << "Shift+Ctrl+" << char(letter);
  }
  EXPECT_EQ(KeyCharacters(Key(kVkOemOpenBracket, kCtrl, "[")), "\x1b");
  EXPECT_EQ(KeyCharacters(Key(kVkOemBackslash, kCtrl, "\\")), "\x1c");
  EXPECT_EQ(KeyCharacters(Key(kVkOemCloseBracket, kCtrl, "]")), "\x1d");
  EXPECT_EQ(KeyCharacters(Key(VK_RETURN, kCtrl)), "\n");
  EXPECT_EQ(KeyCharacters(Key(VK_BACK, kCtrl)), "\x7f");
  EXPECT_EQ(KeyCharacters(Key(VK_SPACE, kCtrl, " ")), " ");
  // Everything else with Ctrl types nothing, whatever the layout's text: shortcuts.
  EXPECT_EQ(KeyCharacters(Key('3', {true, true, false}, "#")), "");
  EXPECT_EQ(KeyCharacters(Key(VK_TAB, kCtrl)), "");
  EXPECT_EQ(KeyCharacters(Key(VK_ESCAPE, kCtrl)), "");
  EXPECT_EQ(KeyCharacters(Key(VK_HOME, kCtrl)), "");
}

TEST(KeyTranslation, KeysWithoutCtrlTypeTheirOwnCharacterOrTheLayoutsText) {
  EXPECT_EQ(KeyCharacters(Key(VK_TAB, kShift)), "\t");
  EXPECT_EQ(KeyCharacters(Key(VK_RETURN, kShift)), "\r");
  EXPECT_EQ(KeyCharacters(Key(VK_BACK)), "\b");
  EXPECT_EQ(KeyCharacters(Key(VK_ESCAPE)), "\x1b");
  EXPECT_EQ(KeyCharacters(Key(VK_DELETE, {}, ".")), "");  // the keypad's Delete carries a text
  EXPECT_EQ(KeyCharacters(Key('A', kShift, "A")), "A");
  EXPECT_EQ(KeyCharacters(Key(VK_LEFT)), "");
  // A character without a key (a layout's or an input method's) comes byte by byte.
  EXPECT_EQ(TranslateKey(Key(0, {}, "\x83\x41")),
            (std::vector<TInputMessage>{{WM_CHAR, 0x83, 1}, {WM_CHAR, 0x41, 1}}));
  // Nothing is typed when a key comes up.
  EXPECT_EQ(TranslateKey(Released(Key('A', {}, "a"))), (std::vector<TInputMessage>{{WM_KEYUP, 'A', 1 | kPreviousBit | kReleaseBit}}));
}

TEST(KeyTranslation, TheMenuKeyAndShiftF10AskForTheContextMenu) {
  EXPECT_FALSE(KeyAsksForContextMenu(Key(VK_APPS)));
  EXPECT_TRUE(KeyAsksForContextMenu(Released(Key(VK_APPS))));
  EXPECT_TRUE(KeyAsksForContextMenu(Key(VK_F10, kShift)));
  EXPECT_FALSE(KeyAsksForContextMenu(Released(Key(VK_F10, kShift))));
  EXPECT_FALSE(KeyAsksForContextMenu(Key(VK_F10)));
  EXPECT_FALSE(KeyAsksForContextMenu(Key(VK_F1, kShift)));
}

TMouseInput Mouse(TMouseAction action, TInputButton button, TPoint point = {7, -3}) {
  TMouseInput mouse;
  mouse.Action = action;
  mouse.Button = button;
  mouse.Point = point;
  return mouse;
}

TEST(MouseTranslation, EachButtonAndActionHasItsMessage) {
  struct TRow {
    TMouseAction Action;
    TInputButton Button;
    uint32_t Msg;
  };
  const TRow table[] = {
      {TMouseAction::Down, TInputButton::Left, WM_LBUTTONDOWN},
      {TMouseAction::Up, TInputButton::Left, WM_LBUTTONUP},
      {TMouseAction::DoubleClick, TInputButton::Left, WM_LBUTTONDBLCLK},
      {TMouseAction::Down, TInputButton::Right, WM_RBUTTONDOWN},
      {TMouseAction::Up, TInputButton::Right, WM_RBUTTONUP},
      {TMouseAction::DoubleClick, TInputButton::Right, WM_RBUTTONDBLCLK},
      {TMouseAction::Down, TInputButton::Middle, WM_MBUTTONDOWN},
      {TMouseAction::Up, TInputButton::Middle, WM_MBUTTONUP},
      {TMouseAction::DoubleClick, TInputButton::Middle, WM_MBUTTONDBLCLK},
      {TMouseAction::Move, TInputButton::None, WM_MOUSEMOVE},
      {TMouseAction::Move, TInputButton::Left, WM_MOUSEMOVE},
      {TMouseAction::Down, TInputButton::None, WM_NULL},
  };
  for (const TRow& row : table) EXPECT_EQ(TranslateMouse(Mouse(row.Action, row.Button)).Msg, row.Msg) << row.Msg;
  // Negative client coordinates (outside, under capture) keep their sign in each half.
  EXPECT_EQ(TranslateMouse(Mouse(TMouseAction::Move, TInputButton::None)).LParam, MakeLong(7, -3));
}

TEST(MouseTranslation, TheFlagsAreTheButtonsHeldAfterTheInputAndShiftAndCtrl) {
  TMouseInput mouse = Mouse(TMouseAction::Down, TInputButton::Left);
  mouse.LeftHeld = true;
  mouse.Modifiers = {true, true, true};
  EXPECT_EQ(TranslateMouse(mouse).WParam, MK_LBUTTON | MK_SHIFT | MK_CONTROL);  // Alt has no flag
  mouse = Mouse(TMouseAction::Up, TInputButton::Left);
  mouse.RightHeld = true;
  mouse.MiddleHeld = true;
  EXPECT_EQ(TranslateMouse(mouse).WParam, MK_RBUTTON | MK_MBUTTON);
}

TEST(WheelNotches, MovementGathersIntoWholeNotchesPerDirection) {
  TWheelNotches wheel;
  EXPECT_EQ(wheel.Add(40), 0);
  EXPECT_EQ(wheel.Add(40), 0);
  EXPECT_EQ(wheel.Add(60), 120);  // 20 left over
  EXPECT_EQ(wheel.Add(100), 120);
  // Turning back forgets what was gathered the other way.
  EXPECT_EQ(wheel.Add(-100), 0);
  EXPECT_EQ(wheel.Add(-20), -120);
  EXPECT_EQ(wheel.Add(-360), -360);
  EXPECT_EQ(wheel.Add(0), 0);
  // A flick larger than a message holds arrives in parts, none lost.
  EXPECT_EQ(wheel.Add(40000), 32640);
  EXPECT_EQ(wheel.Add(1), 7320);
  EXPECT_EQ(wheel.Add(119), 120);
}

// A control that logs what reaches it; a handler may act on a message.
class TInputLog : public TCustomControl {
 public:
  void WndProc(TMessage& message) override {
    Log.push_back({message.Msg, message.WParam, message.LParam});
    // A handler that frees the control says so: nothing of it may be touched after.
    if (OnMessage && OnMessage(message)) return;
    TCustomControl::WndProc(message);
  }
  std::vector<TInputMessage> Log;
  std::function<bool(TMessage&)> OnMessage;
  std::vector<uint32_t> Kinds() const {
    std::vector<uint32_t> kinds;
    for (const TInputMessage& message : Log) kinds.push_back(message.Msg);
    return kinds;
  }
};

class SystemInputTest : public ::testing::Test {
 protected:
  SystemInputTest() {
    UseHeadlessPlatform();
    FControl = CreateWithoutOwner<TInputLog>();
    FControl->SetBounds(10, 20, 200, 100);
    FControl->HandleNeeded();
    FControl->Log.clear();
  }
  TOwned<TInputLog> FControl;
};

TEST_F(SystemInputTest, AKeysCharactersWaitInTheQueueWhileItsKeyDownIsHandled) {
  std::vector<bool> charactersWaiting;
  FControl->OnMessage = [&](TMessage& message) {
    TMessage waiting;
    if (message.Msg == WM_KEYDOWN) charactersWaiting.push_back(FControl->PeekMessage(waiting, WM_CHAR, WM_CHAR, false));
    return false;
  };
  EXPECT_TRUE(SendKey(*FControl, Key(VK_RETURN)));
  EXPECT_EQ(charactersWaiting, std::vector<bool>{true});
  EXPECT_EQ(FControl->Kinds(), (std::vector<uint32_t>{WM_KEYDOWN, WM_CHAR}));
}

TEST_F(SystemInputTest, TheContextMenuFollowsTheMenuKeyShiftF10AndTheRightButton) {
  SendKey(*FControl, Key(VK_APPS));
  EXPECT_EQ(FControl->Kinds(), (std::vector<uint32_t>{WM_KEYDOWN}));
  SendKey(*FControl, Released(Key(VK_APPS)));
  ASSERT_EQ(FControl->Kinds(), (std::vector<uint32_t>{WM_KEYDOWN, WM_KEYUP, WM_CONTEXTMENU}));
  EXPECT_EQ(FControl->Log.back().WParam, reinterpret_cast<intptr_t>(FControl.get()));
  EXPECT_EQ(FControl->Log.back().LParam, MakeLong(-1, -1));

  FControl->Log.clear();
  SendKey(*FControl, Key(VK_F10, kShift));
  EXPECT_EQ(FControl->Kinds(), (std::vector<uint32_t>{WM_SYSKEYDOWN, WM_CONTEXTMENU}));

  FControl->Log.clear();
  TMouseInput mouse = Mouse(TMouseAction::Down, TInputButton::Right, {30, 40});
  mouse.Screen = {530, 640};
  mouse.RightHeld = true;
  SendMouse(*FControl, mouse);
  mouse.Action = TMouseAction::Up;
  mouse.RightHeld = false;
  SendMouse(*FControl, mouse);
  ASSERT_EQ(FControl->Kinds(), (std::vector<uint32_t>{WM_RBUTTONDOWN, WM_RBUTTONUP, WM_CONTEXTMENU}));
  EXPECT_EQ(FControl->Log.back().LParam, MakeLong(530, 640));
}

TEST_F(SystemInputTest, AControlFreedByItsOwnInputHearsNothingMore) {
  FControl->OnMessage = [this](TMessage& message) {
    if (message.Msg != WM_KEYUP) return false;
    FControl.reset();
    return true;
  };
  // No context menu goes to the freed control (ASan would see it).
  EXPECT_FALSE(SendKey(*FControl, Released(Key(VK_APPS))));
  EXPECT_EQ(FControl, nullptr);
}

TEST_F(SystemInputTest, AControlFreedByTheRightButtonGetsNoMenuAndTheImeResultStopsWithIt) {
  auto freeOn = [this](uint32_t msg) {
    FControl->OnMessage = [this, msg](TMessage& message) {
      if (message.Msg != msg) return false;
      FControl.reset();
      return true;
    };
  };
  freeOn(WM_RBUTTONUP);
  EXPECT_FALSE(SendMouse(*FControl, Mouse(TMouseAction::Up, TInputButton::Right)));
  FControl = CreateWithoutOwner<TInputLog>();
  freeOn(WM_IME_STARTCOMPOSITION);
  EXPECT_FALSE(SendImeResult(*FControl, "\x93\xfa"));
}

TEST_F(SystemInputTest, AnImeResultIsAComposition_ThenItsBytesAsCharacters) {
  EXPECT_TRUE(SendImeResult(*FControl, "\x93\xfa\x96\x7b"));
  EXPECT_EQ(FControl->Kinds(), (std::vector<uint32_t>{WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION, WM_IME_ENDCOMPOSITION,
                                                      WM_CHAR, WM_CHAR, WM_CHAR, WM_CHAR}));
  EXPECT_EQ(FControl->Log[3].WParam, 0x93);
  EXPECT_EQ(FControl->Log[6].WParam, 0x7b);
}

TEST_F(SystemInputTest, TheWheelSendsItsNotchesWithTheKeysAndThePoint) {
  TMouseInput at;
  at.Point = {12, 34};
  at.Modifiers.Ctrl = true;
  EXPECT_TRUE(SendWheel(*FControl, 0, at));
  EXPECT_TRUE(FControl->Log.empty());
  SendWheel(*FControl, -240, at);
  EXPECT_EQ(FControl->Log, (std::vector<TInputMessage>{{WM_MOUSEWHEEL, MakeLong(MK_CONTROL, -240), MakeLong(12, 34)}}));
}

}  // namespace
}  // namespace plomaret
