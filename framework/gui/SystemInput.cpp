#include "framework/gui/SystemInput.h"

#include <algorithm>

#include "framework/core/CodePage.h"
#include "framework/gui/Application.h"
#include "framework/gui/Control.h"
#include "framework/gui/Keys.h"
#include "framework/gui/Messages.h"

namespace plomaret {

namespace {

constexpr int kVkOemOpenBracket = 0xDB;
constexpr int kVkOemBackslash = 0xDC;
constexpr int kVkOemCloseBracket = 0xDD;
constexpr intptr_t kAltBit = intptr_t{1} << 29;
constexpr intptr_t kReleaseBit = intptr_t{1} << 31;
constexpr int kNotch = 120;
// The most a message carries at once, within its 16-bit delta.
constexpr int kMostNotches = 272 * kNotch;

bool AltHeld(const TKeyInput& key) { return key.Modifiers.Alt || key.VirtualKey == VK_MENU; }

// Alt (without Ctrl, which makes it AltGr) and F10 are the system's keys.
bool SystemKey(const TKeyInput& key) {
  return (AltHeld(key) && !key.Modifiers.Ctrl) || key.VirtualKey == VK_F10;
}

// Repeat count 1, the Alt bit, and the previous-state and transition bits.
intptr_t KeyLParam(const TKeyInput& key) {
  intptr_t lParam = 1;
  if (AltHeld(key)) lParam |= kAltBit;
  if (!key.Press) {
    lParam |= KF_REPEAT_BIT | kReleaseBit;
  } else if (key.Repeat) {
    lParam |= KF_REPEAT_BIT;
  }
  return lParam;
}

std::string ControlCharacters(int virtualKey) {
  if (virtualKey >= 'A' && virtualKey <= 'Z') return std::string(1, static_cast<char>(virtualKey - 'A' + 1));
  switch (virtualKey) {
    case kVkOemOpenBracket: return "\x1b";
    case kVkOemBackslash: return "\x1c";
    case kVkOemCloseBracket: return "\x1d";
    case VK_RETURN: return "\n";
    case VK_BACK: return "\x7f";
    case VK_SPACE: return " ";
    default: return {};
  }
}

// Posts, dispatches, and tells whether the target outlived its handlers.
bool Dispatch(TWinControl& target, const std::vector<TInputMessage>& messages) {
  const TWindowWatch watch(&target);
  // Every message is queued before the first is handled: a lead byte's handler finds its trail byte.
  for (const TInputMessage& message : messages) target.PostMessage(message.Msg, message.WParam, message.LParam);
  Application().ProcessMessages();
  return watch.Alive();
}

bool ShowContextMenu(TWinControl& target, TPoint screen) {
  return Dispatch(target, {{WM_CONTEXTMENU, reinterpret_cast<intptr_t>(&target), MakeLong(screen.X, screen.Y)}});
}

}  // namespace

std::string UsLayoutText(int virtualKey, bool shift) {
  static constexpr std::string_view kShiftedDigits = ")!@#$%^&*(";
  if (virtualKey >= 'A' && virtualKey <= 'Z') {
    return std::string(1, static_cast<char>(shift ? virtualKey : virtualKey - 'A' + 'a'));
  }
  if (virtualKey >= '0' && virtualKey <= '9') {
    return std::string(1, shift ? kShiftedDigits[virtualKey - '0'] : static_cast<char>(virtualKey));
  }
  return virtualKey == VK_SPACE ? " " : "";
}

std::string KeyCharacters(const TKeyInput& key) {
  if (!key.Press) return {};
  // Ctrl with Alt is AltGr on many layouts: that types what the layout says.
  if (key.Modifiers.Ctrl && !key.Modifiers.Alt) return ControlCharacters(key.VirtualKey);
  switch (key.VirtualKey) {
    case VK_TAB: return "\t";
    case VK_RETURN: return "\r";
    case VK_BACK: return "\b";
    case VK_ESCAPE: return "\x1b";
    case VK_DELETE: return {};
    default: return key.Text;
  }
}

std::vector<TInputMessage> TranslateKey(const TKeyInput& key) {
  std::vector<TInputMessage> messages;
  const bool system = SystemKey(key);
  const intptr_t lParam = KeyLParam(key);
  if (key.VirtualKey != 0) {
    const uint32_t msg = key.Press ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    messages.push_back({msg, key.VirtualKey, lParam});
  }
  for (char byte : KeyCharacters(key)) {
    messages.push_back({system ? WM_SYSCHAR : WM_CHAR, static_cast<unsigned char>(byte), lParam});
  }
  return messages;
}

bool KeyAsksForContextMenu(const TKeyInput& key) {
  return (!key.Press && key.VirtualKey == VK_APPS) || (key.Press && key.VirtualKey == VK_F10 && key.Modifiers.Shift);
}

intptr_t MouseKeyFlags(const TMouseInput& mouse) {
  intptr_t flags = 0;
  if (mouse.LeftHeld) flags |= MK_LBUTTON;
  if (mouse.RightHeld) flags |= MK_RBUTTON;
  if (mouse.MiddleHeld) flags |= MK_MBUTTON;
  if (mouse.Modifiers.Shift) flags |= MK_SHIFT;
  if (mouse.Modifiers.Ctrl) flags |= MK_CONTROL;
  return flags;
}

TInputMessage TranslateMouse(const TMouseInput& mouse) {
  uint32_t msg = WM_MOUSEMOVE;
  if (mouse.Action != TMouseAction::Move) {
    // Down, up, double click.
    static constexpr uint32_t kLeft[] = {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK};
    static constexpr uint32_t kRight[] = {WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK};
    static constexpr uint32_t kMiddle[] = {WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MBUTTONDBLCLK};
    const int kind = mouse.Action == TMouseAction::Down ? 0 : mouse.Action == TMouseAction::Up ? 1 : 2;
    switch (mouse.Button) {
      case TInputButton::Left: msg = kLeft[kind]; break;
      case TInputButton::Right: msg = kRight[kind]; break;
      case TInputButton::Middle: msg = kMiddle[kind]; break;
      case TInputButton::None: return {WM_NULL, 0, 0};
    }
  }
  return {msg, MouseKeyFlags(mouse), MakeLong(mouse.Point.X, mouse.Point.Y)};
}

int TWheelNotches::Add(int delta) {
  if ((FRest > 0 && delta < 0) || (FRest < 0 && delta > 0)) FRest = 0;
  FRest += delta;
  const int whole = static_cast<int>(std::clamp<int64_t>(FRest / kNotch * kNotch, -kMostNotches, kMostNotches));
  FRest -= whole;
  return whole;
}

// The system's accelerators: a shortcut of a window around the target takes the key
// before it is translated, so the target hears nothing of it.
bool TakenAsShortCut(TWinControl& target, const TKeyInput& key) {
  if (!key.Press || key.VirtualKey == 0) return false;
  TShortCut modifiers = 0;
  if (key.Modifiers.Shift) modifiers |= scShift;
  if (key.Modifiers.Ctrl) modifiers |= scCtrl;
  if (key.Modifiers.Alt) modifiers |= scAlt;
  const TShortCut shortCut = ShortCut(key.VirtualKey, modifiers);
  for (TWinControl* window = &target; window != nullptr; window = window->Parent()) {
    if (window->IsShortCut(shortCut)) return true;
  }
  return false;
}

bool SendKey(TWinControl& target, const TKeyInput& key) {
  {
    const TWindowWatch watch(&target);
    if (TakenAsShortCut(target, key)) {
      Application().ProcessMessages();
      return watch.Alive();
    }
  }
  if (!Dispatch(target, TranslateKey(key))) return false;
  if (!KeyAsksForContextMenu(key)) return true;
  return ShowContextMenu(target, {-1, -1});
}

bool SendMouse(TWinControl& target, const TMouseInput& mouse) {
  const TInputMessage message = TranslateMouse(mouse);
  if (message.Msg == WM_NULL) return true;
  if (!Dispatch(target, {message})) return false;
  // After the right button comes up, the context menu where it was.
  if (message.Msg != WM_RBUTTONUP) return true;
  return ShowContextMenu(target, mouse.Screen);
}

bool SendWheel(TWinControl& target, int delta, const TMouseInput& at) {
  if (delta == 0) return true;
  const intptr_t wParam = MakeLong(static_cast<int>(MouseKeyFlags(at)), delta);
  return Dispatch(target, {{WM_MOUSEWHEEL, wParam, MakeLong(at.Point.X, at.Point.Y)}});
}

bool SendImeText(TWinControl& target, const std::string& utf8) {
  const std::string bytes = Utf8ToCp932(utf8);
  if (Cp932ToUtf8(bytes) != utf8) {
    const TWindowWatch watch(&target);
    const bool refused = target.Perform(CM_INPUTREFUSED, 0, reinterpret_cast<intptr_t>(&utf8)) != 0;
    if (!watch.Alive()) return false;
    if (refused) return true;
  }
  return SendImeResult(target, bytes);
}

bool SendImeResult(TWinControl& target, const std::string& result) {
  const TWindowWatch watch(&target);
  // The default handling of the composition posts the same bytes again as characters.
  target.DeliverImeResult(result);
  if (!watch.Alive()) return false;
  Application().ProcessMessages();
  return watch.Alive();
}

}  // namespace plomaret
