#pragma once
// Qt key events as the virtual keys and character bytes of Win32 keyboard input.

#include <QKeyEvent>
#include <string>

#include "framework/gui/SystemInput.h"

namespace plomaret {

// The virtual key of a key event, or 0 when it has none. Letters and digits are
// found by the key's place on the keyboard where Qt names a shifted symbol
// (Shift+Ctrl+3 arrives as '#' on most layouts), so shortcuts do not depend on the layout.
int VirtualKeyOf(const QKeyEvent& event);

// A key event as the system's input: its virtual key, modifiers, and the layout's text
// in CP932 without control characters (those come from the key itself).
TKeyInput KeyInputOf(const QKeyEvent& event, bool press);

}  // namespace plomaret
