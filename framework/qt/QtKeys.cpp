#include "QtKeys.h"

#include "framework/core/CodePage.h"
#include "framework/gui/Keys.h"

namespace plomaret {

namespace {

// Virtual keys Keys.h does not name: the numeric keypad, the punctuation keys (by
// their US meaning) and a few rarely used ones.
constexpr int kVkClear = 0x0C;
constexpr int kVkSnapshot = 0x2C;
constexpr int kVkHelp = 0x2F;
constexpr int kVkLeftWindows = 0x5B;
constexpr int kVkNumpad0 = 0x60;
constexpr int kVkMultiply = 0x6A;
constexpr int kVkAdd = 0x6B;
constexpr int kVkSubtract = 0x6D;
constexpr int kVkDecimal = 0x6E;
constexpr int kVkDivide = 0x6F;
constexpr int kVkNumLock = 0x90;
constexpr int kVkScrollLock = 0x91;
constexpr int kVkOemSemicolon = 0xBA;
constexpr int kVkOemPlus = 0xBB;
constexpr int kVkOemComma = 0xBC;
constexpr int kVkOemMinus = 0xBD;
constexpr int kVkOemPeriod = 0xBE;
constexpr int kVkOemSlash = 0xBF;
constexpr int kVkOemBackquote = 0xC0;
constexpr int kVkOemOpenBracket = 0xDB;
constexpr int kVkOemBackslash = 0xDC;
constexpr int kVkOemCloseBracket = 0xDD;
constexpr int kVkOemQuote = 0xDE;

int NamedKey(int key) {
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return VK_F1 + (key - Qt::Key_F1);
  switch (key) {
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Pause: return VK_PAUSE;
    case Qt::Key_Print:
    case Qt::Key_SysReq: return kVkSnapshot;
    case Qt::Key_Clear: return kVkClear;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt:
    case Qt::Key_AltGr: return VK_MENU;
    case Qt::Key_Meta:
    case Qt::Key_Super_L: return kVkLeftWindows;
    case Qt::Key_CapsLock: return VK_CAPITAL;
    case Qt::Key_NumLock: return kVkNumLock;
    case Qt::Key_ScrollLock: return kVkScrollLock;
    case Qt::Key_Menu: return VK_APPS;
    case Qt::Key_Help: return kVkHelp;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_Henkan: return VK_CONVERT;
    case Qt::Key_Muhenkan: return VK_NONCONVERT;
    case Qt::Key_Kanji:
    case Qt::Key_Zenkaku_Hankaku:
    case Qt::Key_Zenkaku:
    case Qt::Key_Hankaku: return VK_KANJI;
    case Qt::Key_Hiragana_Katakana:
    case Qt::Key_Hiragana:
    case Qt::Key_Katakana:
    case Qt::Key_Kana_Lock: return VK_KANA;
    default: return 0;
  }
}

int KeypadKey(int key) {
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return kVkNumpad0 + (key - Qt::Key_0);
  switch (key) {
    case Qt::Key_Asterisk: return kVkMultiply;
    case Qt::Key_Plus: return kVkAdd;
    case Qt::Key_Minus: return kVkSubtract;
    case Qt::Key_Period:
    case Qt::Key_Comma: return kVkDecimal;
    case Qt::Key_Slash: return kVkDivide;
    default: return 0;
  }
}

// The letter or digit key at an X keycode (evdev code + 8, what xcb and Wayland report).
int KeyAtScanCode(quint32 scanCode) {
  static constexpr const char* kRows[] = {"1234567890", "QWERTYUIOP", "ASDFGHJKL", "ZXCVBNM"};
  static constexpr quint32 kFirstCodes[] = {10, 24, 38, 52};
  for (size_t row = 0; row < 4; ++row) {
    const std::string_view keys = kRows[row];
    if (scanCode >= kFirstCodes[row] && scanCode < kFirstCodes[row] + keys.size()) {
      return keys[scanCode - kFirstCodes[row]];
    }
  }
  return 0;
}

// The digit under a shifted symbol of the US layout, for events without a keycode.
int DigitOfShiftedSymbol(int key) {
  static constexpr std::string_view kSymbols = ")!@#$%^&*(";
  if (key < 0x20 || key > 0x7E) return 0;
  const size_t at = kSymbols.find(static_cast<char>(key));
  return at == std::string_view::npos ? 0 : static_cast<int>('0' + at);
}

int PunctuationKey(int key) {
  switch (key) {
    case ';': case ':': return kVkOemSemicolon;
    case '=': case '+': return kVkOemPlus;
    case ',': case '<': return kVkOemComma;
    case '-': case '_': return kVkOemMinus;
    case '.': case '>': return kVkOemPeriod;
    case '/': case '?': return kVkOemSlash;
    case '`': case '~': return kVkOemBackquote;
    case '[': case '{': return kVkOemOpenBracket;
    case '\\': case '|': case Qt::Key_yen: return kVkOemBackslash;
    case ']': case '}': return kVkOemCloseBracket;
    case '\'': case '"': return kVkOemQuote;
    default: return 0;
  }
}

}  // namespace

int VirtualKeyOf(const QKeyEvent& event) {
  const int key = event.key();
  if ((event.modifiers() & Qt::KeypadModifier) != 0) {
    if (const int pad = KeypadKey(key)) return pad;
  }
  if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) return key;
  if (const int named = NamedKey(key)) return named;
  if (const int placed = KeyAtScanCode(event.nativeScanCode())) return placed;
  if (const int digit = DigitOfShiftedSymbol(key)) return digit;
  return PunctuationKey(key);
}

TKeyInput KeyInputOf(const QKeyEvent& event, bool press) {
  TKeyInput key;
  key.VirtualKey = VirtualKeyOf(event);
  key.Press = press;
  key.Repeat = press && event.isAutoRepeat();
  const Qt::KeyboardModifiers modifiers = event.modifiers();
  key.Modifiers.Shift = (modifiers & Qt::ShiftModifier) != 0;
  key.Modifiers.Ctrl = (modifiers & Qt::ControlModifier) != 0;
  key.Modifiers.Alt = (modifiers & Qt::AltModifier) != 0;
  QString text = event.text();
  text.removeIf([](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; });
  if (!text.isEmpty()) key.Text = Utf8ToCp932(text.toStdString());
  return key;
}

}  // namespace plomaret
