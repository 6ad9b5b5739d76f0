// Commands that reach the editor as the system would: keys, characters, input-method
// results, the mouse, window messages and the context menu.

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>

#include "DriverCommands.h"
#include "framework/core/CodePage.h"
#include "framework/gui/Keys.h"
#include "framework/gui/Menus.h"
#include "framework/gui/SystemInput.h"
#include "framework/headless/HeadlessPlatform.h"

namespace plomaret::edscript {

namespace {

int KeyByName(const std::string& name) {
  static const std::map<std::string, int> keys = {
      {"Left", VK_LEFT},     {"Right", VK_RIGHT}, {"Up", VK_UP},         {"Down", VK_DOWN},      {"Home", VK_HOME},
      {"End", VK_END},       {"PageUp", VK_PRIOR}, {"PageDown", VK_NEXT}, {"Delete", VK_DELETE}, {"Escape", VK_ESCAPE},
      {"Return", VK_RETURN}, {"Tab", VK_TAB},      {"Backspace", VK_BACK}, {"Insert", VK_INSERT}, {"Space", VK_SPACE},
      {"Apps", VK_APPS}};
  if (auto found = keys.find(name); found != keys.end()) return found->second;
  if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0]))) {
    return std::toupper(static_cast<unsigned char>(name[0]));
  }
  if (name.size() >= 2 && name[0] == 'F' && std::all_of(name.begin() + 1, name.end(), ::isdigit)) {
    const int number = std::stoi(name.substr(1));
    if (number >= 1 && number <= 12) return VK_F1 + number - 1;
  }
  throw EScriptError("unknown key '" + name + "'");
}

// The keys and buttons the platform reports as held while a command's input is handled.
void HoldKeys(const TModifiers& modifiers) {
  THeadlessPlatform& platform = UseHeadlessPlatform();
  platform.SetKeyDown(VK_SHIFT, modifiers.Shift);
  platform.SetKeyDown(VK_CONTROL, modifiers.Ctrl);
  platform.SetKeyDown(VK_MENU, modifiers.Alt);
}

// A script names an item by its caption without the accelerator marks; the "(&X)" suffix that
// most captions carry may be left out.
bool MenuCaptionMatches(std::string caption, std::string wanted) {
  std::erase(wanted, '&');
  if (caption.size() > 4 && caption.ends_with(")") && caption[caption.size() - 4] == '(' &&
      caption[caption.size() - 3] == '&' && wanted == caption.substr(0, caption.size() - 4)) {
    return true;
  }
  std::erase(caption, '&');
  return caption == wanted;
}

void Key(TCall& c) {
  TKeyInput key;
  key.VirtualKey = KeyByName(c.Word(0));
  const auto [shift, ctrl, alt, repeat] = c.Flags(1, {"shift", "ctrl", "alt", "repeat"});
  key.Modifiers = {shift, ctrl, alt};
  key.Repeat = repeat;
  key.Text = UsLayoutText(key.VirtualKey, shift);
  TWinControl& target = c.State.KeyboardTarget();
  HoldKeys(key.Modifiers);
  THeadlessPlatform& platform = UseHeadlessPlatform();
  platform.SetKeyDown(key.VirtualKey, true);
  bool alive = SendKey(target, key);
  if (alive && !repeat) {
    platform.SetKeyDown(key.VirtualKey, false);
    key.Press = false;
    key.Repeat = false;
    SendKey(target, key);
  }
  HoldKeys({});
}

void Chars(TCall& c) {
  // Characters without a key of their own, as an input method or a layout types them:
  // one character message a byte, all queued first.
  TKeyInput typed;
  typed.Modifiers.Shift = c.Is(1, "shift");
  typed.Text = c.Word(0);
  HoldKeys(typed.Modifiers);
  SendKey(c.State.KeyboardTarget(), typed);
  HoldKeys({});
}

void Suppress(TCall& c) {
  TEditor& editor = c.Editor();
  TEventLog& events = c.State.CurrentEvents();
  if (c.Is(0, "none") && c.Count() == 1) {
    events.SuppressKeys(editor, 0, '\0');
  } else if (c.Is(0, "keydown") && c.Count() == 2) {
    events.SuppressKeys(editor, KeyByName(c.Word(1)), '\0');
  } else if (c.Is(0, "keypress") && c.Count() == 2 && c.Word(1).size() == 1) {
    events.SuppressKeys(editor, 0, c.Word(1)[0]);
  } else {
    c.Usage();
  }
}

void Mouse(TCall& c) {
  TEditor& editor = c.Editor();
  const size_t what = c.OneOf(0, {"down", "move", "up", "click", "double", "rightclick"});
  const auto [shift, ctrl, right] = c.Flags(3, {"shift", "ctrl", "right"});
  TMouseInput mouse;
  mouse.Point = {c.Int(1), c.Int(2)};
  mouse.Screen = editor.ClientToScreen(mouse.Point);
  mouse.Modifiers = {shift, ctrl, false};
  mouse.Button = right || what == 5 ? TInputButton::Right : TInputButton::Left;
  const int buttonKey = mouse.Button == TInputButton::Right ? VK_RBUTTON : VK_LBUTTON;
  THeadlessPlatform& platform = UseHeadlessPlatform();
  HoldKeys(mouse.Modifiers);
  platform.SetCursorPos(mouse.Screen);
  // Each step carries the buttons held once it has happened, as the system's do.
  auto send = [&](TMouseAction action) {
    if (action == TMouseAction::Down || action == TMouseAction::DoubleClick) platform.SetKeyDown(buttonKey, true);
    if (action == TMouseAction::Up) platform.SetKeyDown(buttonKey, false);
    mouse.Action = action;
    mouse.LeftHeld = platform.KeyDown(VK_LBUTTON);
    mouse.RightHeld = platform.KeyDown(VK_RBUTTON);
    return SendMouse(editor, mouse);
  };
  switch (what) {
    case 0: send(TMouseAction::Down); break;
    case 1: send(TMouseAction::Move); break;
    case 2: send(TMouseAction::Up); break;
    case 4:  // a double click: down, up, then the second press arrives as the double click
      if (send(TMouseAction::Down) && send(TMouseAction::Up) && send(TMouseAction::DoubleClick)) send(TMouseAction::Up);
      break;
    default:
      if (send(TMouseAction::Down)) send(TMouseAction::Up);
      break;
  }
  HoldKeys({});
}

void Wheel(TCall& c) {
  const bool up = c.OneOf(0, {"up", "down"}) == 0;
  TMouseInput at;
  at.Point = {50, 50};
  SendWheel(c.Editor(), up ? 120 : -120, at);
}

void Msg(TCall& c) {
  const int64_t msg = MessageByName(c.Word(0));
  if (msg < 0) throw EScriptError("unknown message '" + c.Word(0) + "'");
  // A quoted parameter goes as a pointer to a zero-terminated copy; EM_GETLINE ROW SIZE
  // and WM_GETTEXT SIZE get a buffer of SIZE bytes; EM_GETSEL gets null pointers.
  std::vector<std::string> strings;
  strings.reserve(2);
  std::string buffer;
  bool hasBuffer = false;
  auto parameter = [&](const TWord& word) -> intptr_t {
    if (word.Quoted) {
      strings.push_back(word.Text);
      return reinterpret_cast<intptr_t>(strings.back().c_str());
    }
    return static_cast<intptr_t>(ToInt(word));
  };
  intptr_t wParam = c.Count() > 1 ? parameter(c.Args[1]) : 0;
  intptr_t lParam = c.Count() > 2 ? parameter(c.Args[2]) : 0;
  auto makeBuffer = [&](int size) {
    if (size < 0 || size > 65535) throw EScriptError("a buffer holds 0 to 65535 bytes");
    buffer.assign(static_cast<size_t>(std::max(size, 2)), '\0');
    const auto bytes = static_cast<uint16_t>(size);
    std::memcpy(buffer.data(), &bytes, sizeof bytes);
    buffer.resize(static_cast<size_t>(size));
    hasBuffer = true;
    return reinterpret_cast<intptr_t>(buffer.data());
  };
  if (msg == EM_GETLINE && c.Count() == 3) lParam = makeBuffer(c.Int(2));
  if (msg == WM_GETTEXT && c.Count() == 2) lParam = makeBuffer(static_cast<int>(wParam));
  const int32_t result = c.Editor().Perform(static_cast<uint32_t>(msg), wParam, lParam);
  c.Out << c.Word(0) << " -> " << result << '\n';
  if (msg == EM_GETSEL || msg == EM_POSFROMCHAR || msg == EM_CHARFROMPOS) {
    c.Out << "  lo=" << LowWord(result) << " hi=" << HighWord(result) << '\n';
  }
  if (hasBuffer) {
    const size_t filled = msg == WM_GETTEXT && result >= 0 && !buffer.empty() ? static_cast<size_t>(result) + 1
                                                                                : static_cast<size_t>(std::max(result, 0));
    c.Out << "  buffer \"" << Escape(std::string_view(buffer).substr(0, std::min(filled, buffer.size()))) << "\"\n";
  }
}

void Menu(TCall& c) {
  TPopupMenu* menu = c.Editor().PopupMenu();
  if (menu == nullptr) throw EScriptError("the editor has no context menu");
  menu->DoPopup();  // the items as they are when the menu opens
  TMenuItem* item = menu->Items();
  // Captions are Shift-JIS; a bare word of the script is UTF-8 (a quoted one is converted already).
  std::string path = c.Args[0].Quoted ? c.Word(0) : Utf8ToCp932(c.Word(0));
  while (!path.empty()) {
    const size_t slash = path.find('/');
    const std::string step = path.substr(0, slash);
    path = slash == std::string::npos ? std::string() : path.substr(slash + 1);
    TMenuItem* found = nullptr;
    for (int i = 0; i < item->Count() && found == nullptr; ++i) {
      if (MenuCaptionMatches(item->Items(i)->Caption(), step)) found = item->Items(i);
    }
    if (found == nullptr) throw EScriptError("no menu item '" + Escape(step) + "'");
    item = found;
  }
  item->Click();
}

const TCommand kInput[] = {
    {"key", "NAME [shift] [ctrl] [alt] [repeat]", 1, kAnyCount,
     "a key pressed and released (repeat: an auto-repeated key-down) with the modifiers as given", Key},
    {"chars", "\"...\" [shift]", 1, 2, "one character message a byte, all queued before the first is handled", Chars},
    {"ime", "\"...\"", 1, 1, "an input-method result string, delivered as the system does",
     [](TCall& c) { SendImeResult(c.State.KeyboardTarget(), c.Word(0)); }},
    {"suppress", "keydown NAME | keypress \"C\" | none", 1, 2,
     "OnKeyDown (OnKeyPress) handlers that set that key (character) to 0; none removes them", Suppress},
    {"mouse", "down|move|up|click|double|rightclick X Y [shift] [ctrl] [right]", 3, kAnyCount,
     "a mouse button (the left unless right) at client point (X, Y)", Mouse},
    {"wheel", "up|down", 1, 1, "one notch of the mouse wheel over the editor", Wheel},
    {"msg", "NAME [WPARAM [LPARAM]]", 1, 3, "a window message by name; prints NAME -> RESULT", Msg},
    {"menu", "PATH", 1, 1, "clicks the context menu's item named by PATH, captions joined by /", Menu},
};

}  // namespace

TCommandGroup InputCommands() { return {"Input", kInput}; }

}  // namespace plomaret::edscript
