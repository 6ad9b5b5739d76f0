#pragma once
// Virtual-key codes (the Win32 values), shortcuts and their texts.

#include <cstdint>
#include <string>
#include <string_view>

namespace plomaret {

inline constexpr int VK_BACK = 0x08;
inline constexpr int VK_TAB = 0x09;
inline constexpr int VK_RETURN = 0x0D;
inline constexpr int VK_SHIFT = 0x10;
inline constexpr int VK_CONTROL = 0x11;
inline constexpr int VK_MENU = 0x12;
inline constexpr int VK_PAUSE = 0x13;
inline constexpr int VK_CAPITAL = 0x14;
inline constexpr int VK_KANA = 0x15;
inline constexpr int VK_KANJI = 0x19;
inline constexpr int VK_ESCAPE = 0x1B;
inline constexpr int VK_CONVERT = 0x1C;
inline constexpr int VK_NONCONVERT = 0x1D;
inline constexpr int VK_SPACE = 0x20;
inline constexpr int VK_PRIOR = 0x21;
inline constexpr int VK_NEXT = 0x22;
inline constexpr int VK_END = 0x23;
inline constexpr int VK_HOME = 0x24;
inline constexpr int VK_LEFT = 0x25;
inline constexpr int VK_UP = 0x26;
inline constexpr int VK_RIGHT = 0x27;
inline constexpr int VK_DOWN = 0x28;
inline constexpr int VK_INSERT = 0x2D;
inline constexpr int VK_DELETE = 0x2E;
inline constexpr int VK_APPS = 0x5D;
inline constexpr int VK_F1 = 0x70;
inline constexpr int VK_F3 = 0x72;
inline constexpr int VK_F10 = 0x79;
inline constexpr int VK_F12 = 0x7B;
inline constexpr int VK_PROCESSKEY = 0xE5;
inline constexpr int VK_LBUTTON = 0x01;
inline constexpr int VK_RBUTTON = 0x02;
// Letters and digits are their ASCII capitals and digits ('A' = 0x41, '0' = 0x30).

// A shortcut: a virtual key with modifier bits.
using TShortCut = uint16_t;
inline constexpr TShortCut scShift = 0x2000;
inline constexpr TShortCut scCtrl = 0x4000;
inline constexpr TShortCut scAlt = 0x8000;

constexpr TShortCut ShortCut(int key, TShortCut modifiers) { return static_cast<TShortCut>((key & 0xFF) | modifiers); }

// "Ctrl+Z", "Shift+Ctrl+3", "F1", "Del"; "" for none.
std::string ShortCutToText(TShortCut shortCut);
// The reverse; 0 when the text names no shortcut.
TShortCut TextToShortCut(std::string_view text);

}  // namespace plomaret
