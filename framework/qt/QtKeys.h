#pragma once
// Qt key events as the virtual keys and character bytes of Win32 keyboard input.

#include <QKeyEvent>
#include <string>

namespace plomaret {

// The virtual key of a key event, or 0 when it has none. Letters and digits are
// found by the key's place on the keyboard where Qt names a shifted symbol
// (Shift+Ctrl+3 arrives as '#' on most layouts), so shortcuts do not depend on the layout.
int VirtualKeyOf(const QKeyEvent& event);

// The bytes a key press types (CP932), as WM_CHAR would bring them: control
// characters for Tab, Return, Backspace, Escape and Ctrl+letter, nothing for other
// Ctrl combinations.
std::string CharactersOf(const QKeyEvent& event, int virtualKey);

}  // namespace plomaret
