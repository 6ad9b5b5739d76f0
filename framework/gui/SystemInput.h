#pragma once
// The system's part of input, written once: what Win32 makes of a key, a mouse button,
// the wheel and an input method's result. A backend maps its own events to these
// inputs and calls Send*; the script driver calls the same functions, so a script sees
// what the window sees.
//
// The Translate* functions are the table (pure; tests pin them); Send* post the
// messages to a window, pump them, and play the system's follow-ups (the context menu)
// only while the window still exists.

#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/Geometry.h"

namespace plomaret {

class TWinControl;

struct TModifiers {
  bool Shift = false;
  bool Ctrl = false;
  bool Alt = false;
};

struct TKeyInput {
  int VirtualKey = 0;  // 0: a key the system has no code for; its text still types
  bool Press = true;   // false: released
  bool Repeat = false;  // a key-down of a held key
  TModifiers Modifiers;
  // What the keyboard layout types with this key (CP932), without control characters;
  // control characters come from the virtual key and the modifiers.
  std::string Text;
};

enum class TInputButton { None, Left, Right, Middle };
enum class TMouseAction { Move, Down, Up, DoubleClick };

struct TMouseInput {
  TMouseAction Action = TMouseAction::Move;
  TInputButton Button = TInputButton::None;  // the button that changed (None for a move)
  TPoint Point;   // in the target's client area
  TPoint Screen;  // the same point on the screen (where a context menu opens)
  TModifiers Modifiers;
  // The buttons held once this input has happened.
  bool LeftHeld = false;
  bool RightHeld = false;
  bool MiddleHeld = false;
};

struct TInputMessage {
  uint32_t Msg = 0;
  intptr_t WParam = 0;
  intptr_t LParam = 0;
  bool operator==(const TInputMessage&) const = default;
};

// WM_KEYDOWN / WM_SYSKEYDOWN (Alt without Ctrl, and F10) or the key-up, followed on a
// press by one WM_CHAR (WM_SYSCHAR) a byte of what the key types.
std::vector<TInputMessage> TranslateKey(const TKeyInput& key);
// What a US keyboard layout types with a letter, a digit or Space (nothing for other keys).
std::string UsLayoutText(int virtualKey, bool shift);
// The bytes a key types: Ctrl+letter 0x01-0x1A, Ctrl+[ \ ] 0x1B-0x1D, Ctrl+Return LF,
// Ctrl+Backspace 0x7F, Tab, Return CR, Backspace, Escape; otherwise the layout's text.
std::string KeyCharacters(const TKeyInput& key);
// The menu key's release and Shift+F10 ask for the context menu at the keyboard.
bool KeyAsksForContextMenu(const TKeyInput& key);

// The button message (or WM_MOUSEMOVE) with the MK_* flags; WM_NULL for a button
// this table has no message for.
TInputMessage TranslateMouse(const TMouseInput& mouse);
intptr_t MouseKeyFlags(const TMouseInput& mouse);

// Fine wheels and touchpads move less than a notch (120) at a time: the rest waits for
// more in the same direction, so every movement reaches a window as whole notches.
class TWheelNotches {
 public:
  // The whole notches (a multiple of 120, within the message's range) this movement
  // completes; 0 when it completes none.
  int Add(int delta);

 private:
  int64_t FRest = 0;  // what is left after the last whole notches, in either direction
};

// Each posts what the system would, dispatches everything posted, and returns whether
// the target still exists (a handler may free it).
bool SendKey(TWinControl& target, const TKeyInput& key);
bool SendMouse(TWinControl& target, const TMouseInput& mouse);
// delta: whole notches, as TWheelNotches gives them; at: the pointer, keys and buttons.
bool SendWheel(TWinControl& target, int delta, const TMouseInput& at);
bool SendImeResult(TWinControl& target, const std::string& result);
// An input method's result as Unicode (UTF-8). When a character has no Shift-JIS form the
// target is asked first (CM_INPUTREFUSED, lParam: the UTF-8 text): one that answers
// non-zero takes nothing; otherwise the text goes in with '?' for it, as the system's
// conversion gives.
bool SendImeText(TWinControl& target, const std::string& utf8);

}  // namespace plomaret
