#include "Keys.h"

#include "framework/core/CodePage.h"

namespace plomaret {

namespace {

std::string KeyName(int key) {
  if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return std::string(1, static_cast<char>(key));
  if (key >= VK_F1 && key <= VK_F12) return "F" + std::to_string(key - VK_F1 + 1);
  switch (key) {
    case VK_BACK: return "BkSp";
    case VK_TAB: return "Tab";
    case VK_RETURN: return "Enter";
    case VK_ESCAPE: return "Esc";
    case VK_SPACE: return "Space";
    case VK_PRIOR: return "PgUp";
    case VK_NEXT: return "PgDn";
    case VK_END: return "End";
    case VK_HOME: return "Home";
    case VK_LEFT: return "Left";
    case VK_UP: return "Up";
    case VK_RIGHT: return "Right";
    case VK_DOWN: return "Down";
    case VK_INSERT: return "Ins";
    case VK_DELETE: return "Del";
    default: return {};
  }
}

}  // namespace

std::string ShortCutToText(TShortCut shortCut) {
  const std::string key = KeyName(shortCut & 0xFF);
  if (key.empty()) return {};
  std::string text;
  if ((shortCut & scShift) != 0) text += "Shift+";
  if ((shortCut & scCtrl) != 0) text += "Ctrl+";
  if ((shortCut & scAlt) != 0) text += "Alt+";
  return text + key;
}

TShortCut TextToShortCut(std::string_view text) {
  TShortCut modifiers = 0;
  for (;;) {
    if (text.size() > 6 && AnsiSameText(text.substr(0, 6), "Shift+")) {
      modifiers |= scShift;
      text.remove_prefix(6);
    } else if (text.size() > 5 && AnsiSameText(text.substr(0, 5), "Ctrl+")) {
      modifiers |= scCtrl;
      text.remove_prefix(5);
    } else if (text.size() > 4 && AnsiSameText(text.substr(0, 4), "Alt+")) {
      modifiers |= scAlt;
      text.remove_prefix(4);
    } else {
      break;
    }
  }
  for (int key = 1; key < 0x100; ++key) {
    const std::string name = KeyName(key);
    if (!name.empty() && AnsiSameText(name, text)) return ShortCut(key, modifiers);
  }
  return 0;
}

}  // namespace plomaret
