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
#include "framework/headless/HeadlessPlatform.h"

namespace plomaret::edscript {

namespace {

int KeyByName(const std::string& name) {
  static const std::map<std::string, int> keys = {
      {"Left", VK_LEFT},   {"Right", VK_RIGHT}, {"Up", VK_UP},         {"Down", VK_DOWN},      {"Home", VK_HOME},
      {"End", VK_END},     {"PageUp", VK_PRIOR}, {"PageDown", VK_NEXT}, {"Delete", VK_DELETE}, {"Escape", VK_ESCAPE},
      {"Return", VK_RETURN}, {"Tab", VK_TAB},    {"Backspace", VK_BACK}};
  if (auto found = keys.find(name); found != keys.end()) return found->second;
  if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0]))) {
    return std::toupper(static_cast<unsigned char>(name[0]));
  }
  throw EScriptError("unknown key '" + name + "'");
}

// Shift and Ctrl as the platform reports them while a command's input is handled.
void HoldKeys(bool shift, bool ctrl) {
  THeadlessPlatform& platform = UseHeadlessPlatform();
  platform.SetKeyDown(VK_SHIFT, shift);
  platform.SetKeyDown(VK_CONTROL, ctrl);
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
  const int key = KeyByName(c.Word(0));
  const auto [shift, ctrl, repeat] = c.Flags(1, {"shift", "ctrl", "repeat"});
  HoldKeys(shift, ctrl);
  TEditor& editor = c.Editor();
  editor.Perform(WM_KEYDOWN, key, repeat ? KF_REPEAT_BIT : 0);
  // A key that types a character brings its character message too.
  if (key == VK_RETURN || key == VK_TAB || key == VK_BACK || key == VK_ESCAPE) editor.PostMessage(WM_CHAR, key);
  editor.ProcessMessages();
  if (!repeat) editor.Perform(WM_KEYUP, key, 0);
  HoldKeys(false, false);
}

void Chars(TCall& c) {
  // One character message a byte, all queued first: a lead byte finds its trail byte waiting.
  TEditor& editor = c.Editor();
  UseHeadlessPlatform().SetKeyDown(VK_SHIFT, c.Is(1, "shift"));
  for (char byte : c.Word(0)) editor.PostMessage(WM_CHAR, static_cast<unsigned char>(byte));
  editor.ProcessMessages();
  UseHeadlessPlatform().SetKeyDown(VK_SHIFT, false);
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
  const int x = c.Int(1);
  const int y = c.Int(2);
  const auto [shift, ctrl] = c.Flags(3, {"shift", "ctrl"});
  HoldKeys(shift, ctrl);
  UseHeadlessPlatform().SetCursorPos(editor.ClientToScreen({x, y}));
  const intptr_t keys = (shift ? MK_SHIFT : 0) | (ctrl ? MK_CONTROL : 0);
  const intptr_t at = MakeLong(x, y);
  const std::string& what = c.Word(0);
  if (what == "down" || what == "click") editor.Perform(WM_LBUTTONDOWN, keys | MK_LBUTTON, at);
  if (what == "move") editor.Perform(WM_MOUSEMOVE, keys | (TWinControl::LeftButtonDown() ? MK_LBUTTON : 0), at);
  if (what == "up" || what == "click") editor.Perform(WM_LBUTTONUP, keys, at);
  if (what != "down" && what != "move" && what != "up" && what != "click") c.Usage();
  editor.ProcessMessages();
  HoldKeys(false, false);
}

void Wheel(TCall& c) {
  const bool up = c.OneOf(0, {"up", "down"}) == 0;
  c.Editor().Perform(WM_MOUSEWHEEL, MakeLong(0, up ? 120 : -120), MakeLong(50, 50));
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
    {"key", "NAME [shift] [ctrl] [repeat]", 1, kAnyCount,
     "a key pressed and released (repeat: an auto-repeated key-down) with Shift and Ctrl as given", Key},
    {"chars", "\"...\" [shift]", 1, 2, "one character message a byte, all queued before the first is handled", Chars},
    {"ime", "\"...\"", 1, 1, "an input-method result string, delivered as the system does",
     [](TCall& c) {
       TEditor& editor = c.Editor();
       editor.DeliverImeResult(c.Word(0));
       editor.ProcessMessages();
     }},
    {"suppress", "keydown NAME | keypress \"C\" | none", 1, 2,
     "OnKeyDown (OnKeyPress) handlers that set that key (character) to 0; none removes them", Suppress},
    {"mouse", "down|move|up|click X Y [shift] [ctrl]", 3, kAnyCount, "the left button at client point (X, Y)", Mouse},
    {"wheel", "up|down", 1, 1, "one notch of the mouse wheel over the editor", Wheel},
    {"msg", "NAME [WPARAM [LPARAM]]", 1, 3, "a window message by name; prints NAME -> RESULT", Msg},
    {"menu", "PATH", 1, 1, "clicks the context menu's item named by PATH, captions joined by /", Menu},
};

}  // namespace

TCommandGroup InputCommands() { return {"Input", kInput}; }

}  // namespace plomaret::edscript
