#include "Driver.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <istream>
#include <ostream>

#include "framework/core/CodePage.h"
#include "framework/core/Exceptions.h"
#include "framework/core/FormText.h"
#include "editor/EditorUtils.h"
#include "framework/gui/Application.h"
#include "framework/gui/Cursors.h"
#include "framework/gui/Keys.h"
#include "framework/gui/Menus.h"
#include "framework/headless/HeadlessPlatform.h"
#include "framework/headless/HeadlessWindow.h"

namespace plomaret::edscript {

namespace {

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

int ToInt(const TWord& word) {
  try {
    size_t used = 0;
    const long long value = std::stoll(word.Text, &used, 0);
    if (used != word.Text.size() || value < INT32_MIN || value > INT32_MAX) throw std::out_of_range("");
    return static_cast<int>(value);
  } catch (const std::logic_error&) {
    throw EScriptError("'" + word.Text + "' is not a number");
  }
}

void NeedArgs(const std::vector<TWord>& args, size_t least, size_t most, const char* usage) {
  if (args.size() < least || args.size() > most) throw EScriptError(std::string("usage: ") + usage);
}

const char* AttributeName(TRowAttribute attribute) {
  switch (attribute) {
    case raLineEnd:
      return "LE";
    case raWrap:
      return "WR";
    default:
      return "TE";
  }
}

std::string MarksText(uint16_t bits) {
  std::string text;
  for (int mark = 0; mark < 16; ++mark) {
    if ((bits & (1u << mark)) == 0) continue;
    if (!text.empty()) text += ',';
    text += std::to_string(mark);
  }
  return text.empty() ? "-" : text;
}

std::string TokenKindName(TTokenKind kind) {
  switch (kind) {
    case toEof: return "toEof";
    case toSymbol: return "toSymbol";
    case toInteger: return "toInteger";
    case toFloat: return "toFloat";
    case toBracket: return "toBracket";
    case toComment: return "toComment";
    case toReserve: return "toReserve";
    case toTab: return "toTab";
    case toAnk: return "toAnk";
    case toDBSymbol: return "toDBSymbol";
    case toDBDigit: return "toDBDigit";
    case toDBAlpha: return "toDBAlpha";
    case toDBHiragana: return "toDBHiragana";
    case toDBKatakana: return "toDBKatakana";
    case toDBKanji: return "toDBKanji";
    case toKanaSymbol: return "toKanaSymbol";
    case toKana: return "toKana";
    case toUrl: return "toUrl";
    case toMail: return "toMail";
    case toHex: return "toHex";
    case toSQuote: return "toSQuote";
    case toDQuote: return "toDQuote";
  }
  return std::to_string(static_cast<int>(kind));  // a kind of a derived parser
}

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

int ScrollCode(const std::string& name) {
  static const std::map<std::string, int> codes = {
      {"SB_LINEUP", SB_LINEUP},       {"SB_LINEDOWN", SB_LINEDOWN},     {"SB_PAGEUP", SB_PAGEUP},
      {"SB_PAGEDOWN", SB_PAGEDOWN},   {"SB_THUMBPOSITION", SB_THUMBPOSITION}, {"SB_THUMBTRACK", SB_THUMBTRACK},
      {"SB_TOP", SB_TOP},             {"SB_BOTTOM", SB_BOTTOM},         {"SB_ENDSCROLL", SB_ENDSCROLL}};
  auto found = codes.find(name);
  if (found == codes.end()) throw EScriptError("unknown scroll request '" + name + "'");
  return found->second;
}

}  // namespace

// ---- Events ----

void TEventLog::Listen(TEditor& editor) {
  editor.OnChange = TNotifyEvent(this, &TEventLog::Change);
  editor.OnCaretMoved = TNotifyEvent(this, &TEventLog::CaretMoved);
  editor.OnTopRowChange = TNotifyEvent(this, &TEventLog::TopRowChange);
  editor.OnTopColChange = TNotifyEvent(this, &TEventLog::TopColChange);
  editor.OnSelectionChange = TSelectionChangeEvent(this, &TEventLog::SelectionChange);
  editor.OnSelectionModeChange = TNotifyEvent(this, &TEventLog::SelectionModeChange);
}

void TEventLog::SuppressKeys(TEditor& editor, int key, char character) {
  FSuppressedKey = key;
  FSuppressedChar = character;
  editor.OnKeyDown = key != 0 ? TKeyEvent(this, &TEventLog::KeyDown) : TKeyEvent();
  editor.OnKeyPress = character != '\0' ? TKeyPressEvent(this, &TEventLog::KeyPress) : TKeyPressEvent();
}

std::vector<std::string> TEventLog::Take() {
  std::vector<std::string> lines;
  lines.swap(FLines);
  return lines;
}

// ---- The driver ----

TScriptDriver::TScriptDriver() {
  THeadlessPlatform& platform = UseHeadlessPlatform();
  platform.HeadlessFontEngine().SetFixedMetrics({16, 13, 3, 0, 8, 16});
  Register();
}

TScriptDriver::~TScriptDriver() {
  // Views first, while the fountain they may use still exists.
  DropControls();
}

void TScriptDriver::DropControls() {
  while (!FEditors.empty()) {
    FEditors.back().Owned.reset();
    FEditors.pop_back();
  }
  FForm.reset();
}

TEditor& TScriptDriver::Current() {
  if (FCurrent >= FEditors.size() || !FEditors[FCurrent].Editor) throw EScriptError("no editor: use 'editor' first");
  return *FEditors[FCurrent].Editor;
}

THeadlessWindow& TScriptDriver::CurrentWindow() { return HeadlessWindowOf(Current()); }

TEditor& TScriptDriver::MakeEditor(const TArgs& args, size_t sizeAt) {
  int width = 640;
  int height = 480;
  if (args.size() > sizeAt) {
    if (args.size() != sizeAt + 2) throw EScriptError("a size is a width and a height");
    width = ToInt(args[sizeAt]);
    height = ToInt(args[sizeAt + 1]);
  }
  TEditorSlot slot;
  slot.Owned = CreateWithoutOwner<TEditor>();
  slot.Editor = slot.Owned.get();
  slot.Events = Create<TEventLog>();
  slot.Events->Listen(*slot.Editor);
  slot.Editor->SetBounds(0, 0, width, height);
  slot.Editor->HandleNeeded();
  slot.Editor->SetFocus();
  slot.Editor->Update();
  HeadlessWindowOf(*slot.Editor).ClearPaintLog();
  FEditors.push_back(std::move(slot));
  FCurrent = FEditors.size() - 1;
  return *FEditors.back().Editor;
}

void TScriptDriver::DestroyEditor(int index) {
  if (index < 1 || index > static_cast<int>(FEditors.size()) || !FEditors[static_cast<size_t>(index - 1)].Editor) {
    throw EScriptError("no editor " + std::to_string(index));
  }
  TEditorSlot& slot = FEditors[static_cast<size_t>(index - 1)];
  if (!slot.Owned) throw EScriptError("the main window's editor goes with the window");
  slot.Owned.reset();
  slot.Editor = nullptr;
  slot.Events.reset();
  while (!FEditors.empty() && !FEditors.back().Editor) FEditors.pop_back();
}

int TScriptDriver::Run(std::istream& script, std::ostream& out) {
  int failed = 0;
  std::string line;
  while (std::getline(script, line)) {
    if (!RunLine(line, out)) ++failed;
  }
  return failed;
}

namespace {

// Output names the folder the script runs in as "./", so expected output does not
// depend on where it ran.
std::string WithRelativePaths(std::string text) {
  const std::string folder = std::filesystem::current_path().string() + "/";
  for (size_t at = text.find(folder); at != std::string::npos; at = text.find(folder, at + 2)) {
    text.replace(at, folder.size(), "./");
  }
  return text;
}

}  // namespace

bool TScriptDriver::RunLine(const std::string& line, std::ostream& out) {
  std::ostringstream printed;
  struct TFlush {
    std::ostringstream& From;
    std::ostream& To;
    ~TFlush() { To << WithRelativePaths(From.str()); }
  } flush{printed, out};
  try {
    TArgs words = SplitLine(line);
    if (words.empty()) return true;
    const std::string name = words.front().Text;
    auto command = FCommands.find(name);
    if (command == FCommands.end()) throw EScriptError("unknown command '" + name + "'");
    words.erase(words.begin());
    command->second(words, printed);
    // Idle, as a message loop would be: what was invalidated is painted now.
    for (TEditorSlot& slot : FEditors) {
      if (slot.Editor != nullptr) slot.Editor->Update();
    }
    if (FForm) FForm->Update();
    return true;
  } catch (const std::exception& error) {
    printed << "error: " << Escape(error.what()) << '\n';
    return false;
  }
}

void TScriptDriver::Register() {
  FCommands["editor"] = [this](const TArgs& args, std::ostream&) {
    if (!args.empty() && args[0].Text == "share") {
      TEditor& shown = Current();
      TEditor& added = MakeEditor(args, 1);
      added.ShareRowStore(shown);
      added.Update();
      HeadlessWindowOf(added).ClearPaintLog();
      return;
    }
    DropControls();
    MakeEditor(args, 0);
  };
  FCommands["form"] = [this](const TArgs& args, std::ostream&) {
    NeedArgs(args, 0, 0, "form");
    MakeForm();
  };
  FCommands["click"] = [this](const TArgs& args, std::ostream&) {
    NeedArgs(args, 1, 1, "click Open|Exchange|SaveAs|About|Close");
    Click(args[0].Text);
  };
  FCommands["answer"] = [](const TArgs& args, std::ostream&) {
    const char* usage = "answer open PATH | answer save PATH | answer cancel";
    if (args.size() == 1 && args[0].Text == "cancel") {
      UseHeadlessPlatform().ScriptFileChoice("");
    } else if (args.size() == 2 && (args[0].Text == "open" || args[0].Text == "save")) {
      // A dialog answers with a full path.
      UseHeadlessPlatform().ScriptFileChoice(std::filesystem::absolute(args[1].Text).lexically_normal().string());
    } else {
      throw EScriptError(std::string("usage: ") + usage);
    }
  };
  FCommands["wheel"] = [this](const TArgs& args, std::ostream&) {
    NeedArgs(args, 1, 1, "wheel up|down");
    if (args[0].Text != "up" && args[0].Text != "down") throw EScriptError("usage: wheel up|down");
    TEditor& editor = Current();
    editor.Perform(WM_MOUSEWHEEL, MakeLong(0, args[0].Text == "up" ? 120 : -120), MakeLong(50, 50));
  };
  FCommands["destroy"] = [this](const TArgs& args, std::ostream&) {
    NeedArgs(args, 1, 1, "destroy 1|2");
    DestroyEditor(ToInt(args[0]));
    for (size_t i = 0; i < FEditors.size(); ++i) {
      if (FEditors[i].Editor) FCurrent = i;
    }
  };
  FCommands["focus"] = [this](const TArgs& args, std::ostream&) {
    NeedArgs(args, 1, 1, "focus 1|2|none");
    if (args[0].Text == "none") {
      if (!FFocusSink) FFocusSink = CreateWithoutOwner<TCustomControl>();
      FFocusSink->SetFocus();
      return;
    }
    const int index = ToInt(args[0]);
    if (index < 1 || index > static_cast<int>(FEditors.size()) || !FEditors[static_cast<size_t>(index - 1)].Editor) {
      throw EScriptError("no editor " + args[0].Text);
    }
    FCurrent = static_cast<size_t>(index - 1);
    Current().SetFocus();
  };
  FCommands["font"] = [](const TArgs& args, std::ostream&) {
    NeedArgs(args, 2, 2, "font WIDTH HEIGHT");
    const int width = ToInt(args[0]);
    const int height = ToInt(args[1]);
    if (width < 1 || height < 1) throw EScriptError("a font needs a width and a height of at least 1");
    const int ascent = height * 5 / 6;
    UseHeadlessPlatform().HeadlessFontEngine().SetFixedMetrics({height, ascent, height - ascent, 0, width, 2 * width});
  };
  FCommands["size"] = [this](const TArgs& args, std::ostream&) {
    NeedArgs(args, 2, 2, "size WIDTH HEIGHT");
    TEditor& editor = Current();
    editor.SetBounds(editor.Left(), editor.Top(), ToInt(args[0]), ToInt(args[1]));
  };
  FCommands["fountain"] = [this](const TArgs& args, std::ostream&) {
    NeedArgs(args, 1, 1, "fountain new|assign|free");
    const std::string& what = args[0].Text;
    if (what == "new") {
      FFountain = CreateWithoutOwner<TEditorFountain>();
    } else if (what == "assign") {
      if (!FFountain) throw EScriptError("no fountain: use 'fountain new' first");
      Current().SetFountain(FFountain.get());
    } else if (what == "free") {
      FFountain.reset();
    } else {
      throw EScriptError("usage: fountain new|assign|free");
    }
  };
  FCommands["set"] = [this](const TArgs& args, std::ostream&) {
    NeedArgs(args, 2, 2, "set PATH VALUE");
    SetPropertyByPath(Current(), args[0].Text, args[1].Text);
  };
  FCommands["get"] = [this](const TArgs& args, std::ostream& out) {
    NeedArgs(args, 1, 1, "get PATH");
    out << args[0].Text << '=' << Escape(GetPropertyByPath(Current(), args[0].Text)) << '\n';
  };
  FCommands["text"] = [this](const TArgs& args, std::ostream&) {
    // Pieces, each a string with an optional repeat count, joined.
    const char* usage = "text \"...\" [repeat N] [\"...\" [repeat N]]...";
    if (args.empty()) throw EScriptError(std::string("usage: ") + usage);
    std::string text;
    for (size_t i = 0; i < args.size(); ++i) {
      if (!args[i].Quoted) throw EScriptError(std::string("usage: ") + usage);
      int times = 1;
      if (i + 1 < args.size() && !args[i + 1].Quoted) {
        if (args[i + 1].Text != "repeat" || i + 2 >= args.size()) throw EScriptError(std::string("usage: ") + usage);
        times = ToInt(args[i + 2]);
      }
      if (times < 0 || static_cast<int64_t>(times) * args[i].Text.size() + text.size() > (int64_t{1} << 30)) {
        throw EScriptError("a repeated text stays under 1 GiB");
      }
      for (int n = 0; n < times; ++n) text += args[i].Text;
      if (i + 1 < args.size() && !args[i + 1].Quoted) i += 2;
    }
    Current().Lines()->SetAllText(text);
  };
  FCommands["load"] = [this](const TArgs& args, std::ostream&) {
    NeedArgs(args, 1, 1, "load FILE");
    Current().Lines()->LoadFile(args[0].Text);
  };
  FCommands["save"] = [this](const TArgs& args, std::ostream&) {
    NeedArgs(args, 1, 1, "save FILE");
    Current().Lines()->SaveFile(args[0].Text);
  };
  FCommands["lines"] = [this](const TArgs& args, std::ostream&) { LinesCommand(args); };
  FCommands["row"] = [this](const TArgs& args, std::ostream&) {
    NeedArgs(args, 1, 1, "row N");
    Current().SetRow(ToInt(args[0]));
  };
  FCommands["col"] = [this](const TArgs& args, std::ostream&) {
    NeedArgs(args, 1, 1, "col N");
    Current().SetCol(ToInt(args[0]));
  };
  FCommands["rowcol"] = [this](const TArgs& args, std::ostream&) {
    NeedArgs(args, 2, 2, "rowcol ROW COL");
    Current().SetRowCol(ToInt(args[0]), ToInt(args[1]));
  };
  FCommands["toprow"] = [this](const TArgs& args, std::ostream&) {
    NeedArgs(args, 1, 1, "toprow N");
    Current().SetTopRow(ToInt(args[0]));
  };
  FCommands["topcol"] = [this](const TArgs& args, std::ostream&) {
    NeedArgs(args, 1, 1, "topcol N");
    Current().SetTopCol(ToInt(args[0]));
  };
  FCommands["token"] = [this](const TArgs& args, std::ostream& out) {
    const char* usage = "token forward|backward | token X Y [fountain] [keep] [select]";
    if (args.size() == 1 && (args[0].Text == "forward" || args[0].Text == "backward")) {
      TEditor& editor = Current();
      int row = editor.Row();
      int col = editor.Col();
      if (editor.MoveByToken(row, col, args[0].Text == "forward" ? 1 : -1)) editor.SetRowCol(row, col);
      return;
    }
    if (args.size() < 2) throw EScriptError(std::string("usage: ") + usage);
    bool fountain = false, keep = false, select = false;
    for (size_t i = 2; i < args.size(); ++i) {
      if (args[i].Text == "fountain") fountain = true;
      else if (args[i].Text == "keep") keep = true;
      else if (args[i].Text == "select") select = true;
      else throw EScriptError(std::string("usage: ") + usage);
    }
    TEditor& editor = Current();
    const int x = ToInt(args[0]);
    const int y = ToInt(args[1]);
    const TEditor::TTokenAtPoint token = editor.TokenAtPoint(x, y, fountain, keep);
    if (!token.Found) {
      out << "token none\n";
      return;
    }
    out << "token \"" << Escape(token.Text) << "\" kind=" << TokenKindName(token.Kind) << '\n';
    if (select) editor.SelectTokenAtPoint(x, y, fountain, keep);
  };
  FCommands["find"] = [this](const TArgs& args, std::ostream& out) {
    NeedArgs(args, 2, 2, "find \"PATTERN\" OPTIONS");
    const int options = ToInt(args[1]);
    if (options < 0 || options > 0xFFFF) throw EScriptError("the options are a 16-bit set");
    const bool found = Current().FindText(args[0].Text, static_cast<TSearchOptions>(options));
    out << "found=" << (found ? "true" : "false") << '\n';
  };
  FCommands["scroll"] = [this](const TArgs& args, std::ostream&) { Scroll(args); };
  FCommands["select"] = [this](const TArgs& args, std::ostream&) {
    NeedArgs(args, 4, 4, "select ANCHOR_ROW ANCHOR_COL ROW COL");
    TEditor& editor = Current();
    editor.SetRowCol(ToInt(args[0]), ToInt(args[1]));
    editor.StartSelection();
    editor.SetRowCol(ToInt(args[2]), ToInt(args[3]));
    editor.ExtendSelection();
  };
  FCommands["extend"] = [this](const TArgs& args, std::ostream&) {
    NeedArgs(args, 2, 2, "extend ROW COL");
    TEditor& editor = Current();
    editor.SetRowCol(ToInt(args[0]), ToInt(args[1]));
    editor.ExtendSelection();
  };
  FCommands["rowselect"] = [this](const TArgs& args, std::ostream&) {
    if (args.empty()) throw EScriptError("usage: rowselect ROW [ROW...]");
    TEditor& editor = Current();
    editor.RowSelectStart(ToInt(args[0]));
    for (size_t i = 1; i < args.size(); ++i) editor.RowSelectMove(ToInt(args[i]));
    editor.EndRowSelect();
  };
  FCommands["selmode"] = [this](const TArgs& args, std::ostream&) {
    NeedArgs(args, 1, 1, "selmode stream|box");
    if (args[0].Text != "stream" && args[0].Text != "box") throw EScriptError("usage: selmode stream|box");
    Current().SetSelectionMode(args[0].Text == "box");
  };
  FCommands["selstart"] = [this](const TArgs& args, std::ostream&) {
    NeedArgs(args, 1, 1, "selstart N");
    Current().SetSelStart(ToInt(args[0]));
  };
  FCommands["sellength"] = [this](const TArgs& args, std::ostream&) {
    NeedArgs(args, 1, 1, "sellength N");
    Current().SetSelLength(ToInt(args[0]));
  };
  FCommands["check"] = [this](const TArgs& args, std::ostream& out) {
    NeedArgs(args, 1, 1, "check screen");
    if (args[0].Text != "screen") throw EScriptError("usage: check screen");
    // The picture as the changes left it against one painted afresh.
    TEditor& editor = Current();
    editor.Update();
    const TRaster built = editor.BackingImage();
    editor.Invalidate();
    editor.Update();
    const TRaster& fresh = editor.BackingImage();
    for (int y = 0; y < built.Height(); ++y) {
      for (int x = 0; x < built.Width(); ++x) {
        if (built.Pixel(x, y) != fresh.Pixel(x, y)) {
          out << "screen: differs from a fresh paint at " << x << "," << y << '\n';
          return;
        }
      }
    }
    out << "screen: as painted afresh\n";
  };
  auto editing = [this](const char* name, std::function<void(TEditor&, const TArgs&)> action, size_t least, size_t most,
                        const char* usage) {
    FCommands[name] = [this, action, least, most, usage](const TArgs& args, std::ostream&) {
      NeedArgs(args, least, most, usage);
      action(Current(), args);
    };
  };
  editing("insert", [](TEditor& e, const TArgs& a) { e.InsertText(a[0].Text); }, 1, 1, "insert \"...\"");
  editing("paste", [](TEditor& e, const TArgs& a) { e.PasteText(a[0].Text); }, 1, 1, "paste \"...\"");
  editing("boxpaste", [](TEditor& e, const TArgs& a) { e.BoxPasteText(a[0].Text); }, 1, 1, "boxpaste \"...\"");
  editing("backspace", [](TEditor& e, const TArgs&) { e.BackSpaceKey(); }, 0, 0, "backspace");
  editing("delete", [](TEditor& e, const TArgs&) { e.DeleteForward(); }, 0, 0, "delete");
  editing("return", [](TEditor& e, const TArgs& a) {
    if (!a.empty() && a[0].Text != "shift") throw EScriptError("usage: return [shift]");
    e.ReturnKey(!a.empty());
  }, 0, 1, "return [shift]");
  editing("tab", [](TEditor& e, const TArgs&) { e.TabKey(); }, 0, 0, "tab");
  editing("copy", [](TEditor& e, const TArgs&) { e.CopyToClipboard(); }, 0, 0, "copy");
  editing("cut", [](TEditor& e, const TArgs&) { e.CutToClipboard(); }, 0, 0, "cut");
  editing("pastefrom", [](TEditor& e, const TArgs&) { e.PasteFromClipboard(); }, 0, 0, "pastefrom");
  editing("movesel", [](TEditor& e, const TArgs& a) { e.MoveSelectionTo(ToInt(a[0]), ToInt(a[1])); }, 2, 2, "movesel ROW COL");
  editing("copysel", [](TEditor& e, const TArgs& a) { e.CopySelectionTo(ToInt(a[0]), ToInt(a[1])); }, 2, 2, "copysel ROW COL");
  editing("undo", [](TEditor& e, const TArgs&) { e.Undo(); }, 0, 0, "undo");
  editing("redo", [](TEditor& e, const TArgs&) { e.Redo(); }, 0, 0, "redo");
  FCommands["clip"] = [](const TArgs& args, std::ostream& out) {
    TClipboard& clipboard = UseHeadlessPlatform().Clipboard();
    if (args.size() >= 2 && args.size() <= 3 && args[0].Text == "set" && (args.size() == 2 || args[2].Text == "box")) {
      clipboard.SetText(args[1].Text);
      if (args.size() == 3) clipboard.SetData(BoxClipboardFormat(), args[1].Text + std::string(1, '\0'));
    } else if (args.size() == 1 && args[0].Text == "get") {
      out << "clip text=\"" << Escape(clipboard.AsText()) << "\" box=" << (clipboard.HasFormat(BoxClipboardFormat()) ? 1 : 0)
          << '\n';
    } else {
      throw EScriptError("usage: clip set \"...\" [box] | clip get");
    }
  };
  FCommands["key"] = [this](const TArgs& args, std::ostream&) {
    if (args.empty()) throw EScriptError("usage: key NAME [shift] [ctrl] [repeat]");
    const int key = KeyByName(args[0].Text);
    bool shift = false, ctrl = false, repeat = false;
    for (size_t i = 1; i < args.size(); ++i) {
      if (args[i].Text == "shift") shift = true;
      else if (args[i].Text == "ctrl") ctrl = true;
      else if (args[i].Text == "repeat") repeat = true;
      else throw EScriptError("usage: key NAME [shift] [ctrl] [repeat]");
    }
    THeadlessPlatform& platform = UseHeadlessPlatform();
    platform.SetKeyDown(VK_SHIFT, shift);
    platform.SetKeyDown(VK_CONTROL, ctrl);
    TEditor& editor = Current();
    editor.Perform(WM_KEYDOWN, key, repeat ? KF_REPEAT_BIT : 0);
    // A key that types a character brings its character message too.
    if (key == VK_RETURN || key == VK_TAB || key == VK_BACK || key == VK_ESCAPE) editor.PostMessage(WM_CHAR, key);
    editor.ProcessMessages();
    if (!repeat) editor.Perform(WM_KEYUP, key, 0);
    platform.SetKeyDown(VK_SHIFT, false);
    platform.SetKeyDown(VK_CONTROL, false);
  };
  FCommands["suppress"] = [this](const TArgs& args, std::ostream&) {
    const char* usage = "suppress keydown NAME | suppress keypress \"C\" | suppress none";
    NeedArgs(args, 1, 2, usage);
    TEditor& editor = Current();
    if (args[0].Text == "none" && args.size() == 1) {
      FEditors[FCurrent].Events->SuppressKeys(editor, 0, '\0');
    } else if (args[0].Text == "keydown" && args.size() == 2) {
      FEditors[FCurrent].Events->SuppressKeys(editor, KeyByName(args[1].Text), '\0');
    } else if (args[0].Text == "keypress" && args.size() == 2 && args[1].Text.size() == 1) {
      FEditors[FCurrent].Events->SuppressKeys(editor, 0, args[1].Text[0]);
    } else {
      throw EScriptError(std::string("usage: ") + usage);
    }
  };
  FCommands["chars"] = [this](const TArgs& args, std::ostream&) {
    NeedArgs(args, 1, 2, "chars \"...\" [shift]");
    // One character message a byte, all queued first: a lead byte finds its trail byte waiting.
    TEditor& editor = Current();
    UseHeadlessPlatform().SetKeyDown(VK_SHIFT, args.size() == 2 && args[1].Text == "shift");
    for (char byte : args[0].Text) editor.PostMessage(WM_CHAR, static_cast<unsigned char>(byte));
    editor.ProcessMessages();
    UseHeadlessPlatform().SetKeyDown(VK_SHIFT, false);
  };
  FCommands["ime"] = [this](const TArgs& args, std::ostream&) {
    NeedArgs(args, 1, 1, "ime \"...\"");
    TEditor& editor = Current();
    editor.DeliverImeResult(args[0].Text);
    editor.ProcessMessages();
  };
  FCommands["mouse"] = [this](const TArgs& args, std::ostream&) {
    const char* usage = "mouse down|move|up|click X Y [shift] [ctrl]";
    if (args.size() < 3) throw EScriptError(std::string("usage: ") + usage);
    TEditor& editor = Current();
    const int x = ToInt(args[1]);
    const int y = ToInt(args[2]);
    bool shift = false, ctrl = false;
    for (size_t i = 3; i < args.size(); ++i) {
      if (args[i].Text == "shift") shift = true;
      else if (args[i].Text == "ctrl") ctrl = true;
      else throw EScriptError(std::string("usage: ") + usage);
    }
    THeadlessPlatform& platform = UseHeadlessPlatform();
    platform.SetKeyDown(VK_SHIFT, shift);
    platform.SetKeyDown(VK_CONTROL, ctrl);
    platform.SetCursorPos(editor.ClientToScreen({x, y}));
    const intptr_t keys = (shift ? MK_SHIFT : 0) | (ctrl ? MK_CONTROL : 0);
    const intptr_t at = MakeLong(x, y);
    const std::string& what = args[0].Text;
    if (what == "down" || what == "click") editor.Perform(WM_LBUTTONDOWN, keys | MK_LBUTTON, at);
    if (what == "move") editor.Perform(WM_MOUSEMOVE, keys | (TWinControl::LeftButtonDown() ? MK_LBUTTON : 0), at);
    if (what == "up" || what == "click") editor.Perform(WM_LBUTTONUP, keys, at);
    if (what != "down" && what != "move" && what != "up" && what != "click") throw EScriptError(std::string("usage: ") + usage);
    editor.ProcessMessages();
    platform.SetKeyDown(VK_SHIFT, false);
    platform.SetKeyDown(VK_CONTROL, false);
  };
  FCommands["msg"] = [this](const TArgs& args, std::ostream& out) {
    NeedArgs(args, 1, 3, "msg NAME [WPARAM [LPARAM]]");
    const int64_t msg = MessageByName(args[0].Text);
    if (msg < 0) throw EScriptError("unknown message '" + args[0].Text + "'");
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
    intptr_t wParam = args.size() > 1 ? parameter(args[1]) : 0;
    intptr_t lParam = args.size() > 2 ? parameter(args[2]) : 0;
    auto makeBuffer = [&](int size) {
      if (size < 0 || size > 65535) throw EScriptError("a buffer holds 0 to 65535 bytes");
      buffer.assign(static_cast<size_t>(std::max(size, 2)), '\0');
      const auto bytes = static_cast<uint16_t>(size);
      std::memcpy(buffer.data(), &bytes, sizeof bytes);
      buffer.resize(static_cast<size_t>(size));
      hasBuffer = true;
      return reinterpret_cast<intptr_t>(buffer.data());
    };
    if (msg == EM_GETLINE && args.size() == 3) lParam = makeBuffer(ToInt(args[2]));
    if (msg == WM_GETTEXT && args.size() == 2) lParam = makeBuffer(static_cast<int>(wParam));
    const int32_t result = Current().Perform(static_cast<uint32_t>(msg), wParam, lParam);
    out << args[0].Text << " -> " << result << '\n';
    if (msg == EM_GETSEL || msg == EM_POSFROMCHAR || msg == EM_CHARFROMPOS) {
      out << "  lo=" << LowWord(result) << " hi=" << HighWord(result) << '\n';
    }
    if (hasBuffer) {
      const size_t filled = msg == WM_GETTEXT && result >= 0 && !buffer.empty() ? static_cast<size_t>(result) + 1
                                                                                  : static_cast<size_t>(std::max(result, 0));
      out << "  buffer \"" << Escape(std::string_view(buffer).substr(0, std::min(filled, buffer.size()))) << "\"\n";
    }
  };
  FCommands["menu"] = [this](const TArgs& args, std::ostream&) {
    NeedArgs(args, 1, 1, "menu PATH");
    TPopupMenu* menu = Current().PopupMenu();
    if (menu == nullptr) throw EScriptError("the editor has no context menu");
    menu->DoPopup();  // the items as they are when the menu opens
    TMenuItem* item = menu->Items();
    // Captions are Shift-JIS; a bare word of the script is UTF-8 (a quoted one is converted already).
    std::string path = args[0].Quoted ? args[0].Text : Utf8ToCp932(args[0].Text);
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
  };
  FCommands["selectall"] = [this](const TArgs& args, std::ostream&) {
    NeedArgs(args, 0, 0, "selectall");
    Current().SelectAll();
  };
  FCommands["mark"] = [this](const TArgs& args, std::ostream&) { MarkCommand(args); };
  FCommands["imagelist"] = [this](const TArgs& args, std::ostream&) { ImageListCommand(args); };
  FCommands["range"] = [this](const TArgs& args, std::ostream&) {
    const char* usage = "range stream|box|none [TOP LEFT BOTTOM RIGHT [hit]]";
    if (args.size() == 1 && args[0].Text == "none") {
      Current().PlaceRange(false, sstNone, {});
      return;
    }
    NeedArgs(args, 5, 6, usage);
    if ((args[0].Text != "stream" && args[0].Text != "box") || (args.size() == 6 && args[5].Text != "hit")) {
      throw EScriptError(std::string("usage: ") + usage);
    }
    const TSelectionRect rect{ToInt(args[1]), ToInt(args[3]), ToInt(args[2]), ToInt(args[4])};
    Current().PlaceRange(args[0].Text == "box", args.size() == 6 ? sstHitSelected : sstSelected, rect);
  };
  FCommands["dump"] = [this](const TArgs& args, std::ostream& out) { Dump(args, out); };
  FCommands["paintlog"] = [this](const TArgs& args, std::ostream& out) {
    NeedArgs(args, 0, 1, "paintlog [clear]");
    if (!args.empty() && args[0].Text != "clear") throw EScriptError("usage: paintlog [clear]");
    if (args.empty()) {
      PaintLog(out);
    } else {
      CurrentWindow().ClearPaintLog();
    }
  };
}

void TScriptDriver::LinesCommand(const TArgs& args) {
  const char* usage = "lines add \"...\" | insert N \"...\" | put N \"...\" | delete N | clear";
  if (args.empty()) throw EScriptError(std::string("usage: ") + usage);
  TEditorStrings& lines = *Current().Lines();
  const std::string& what = args[0].Text;
  if (what == "add" && args.size() == 2) {
    lines.Add(args[1].Text);
  } else if (what == "insert" && args.size() == 3) {
    lines.Insert(ToInt(args[1]), args[2].Text);
  } else if (what == "put" && args.size() == 3) {
    lines.Put(ToInt(args[1]), args[2].Text);
  } else if (what == "delete" && args.size() == 2) {
    lines.Delete(ToInt(args[1]));
  } else if (what == "clear" && args.size() == 1) {
    lines.Clear();
  } else {
    throw EScriptError(std::string("usage: ") + usage);
  }
}

// ---- The main window ----

void TScriptDriver::MakeForm() {
  DropControls();
  UseHeadlessPlatform().ClearMessages();
  FForm = CreateWithoutOwner<TForm1>();
  // The INI file beside the "program": in the folder the script runs in.
  FForm->SetProgramFile((std::filesystem::current_path() / "plomaret").string());
  FForm->Show();
  TEditorSlot slot;
  slot.Editor = FForm->Editor1;
  slot.Events = Create<TEventLog>();
  slot.Events->Listen(*slot.Editor);
  FEditors.push_back(std::move(slot));
  FCurrent = 0;
  FForm->Editor1->SetFocus();
  FForm->Update();
}

TForm1& TScriptDriver::Form() {
  if (!FForm) throw EScriptError("no main window: use 'form' first");
  return *FForm;
}

void TScriptDriver::Click(const std::string& name) {
  TForm1& form = Form();
  TSpeedButton* button = nullptr;
  for (TSpeedButton* candidate : {form.SpeedButton5, form.SpeedButton3, form.SpeedButton4, form.SpeedButton1, form.SpeedButton2}) {
    if (candidate->Caption() == name) button = candidate;
  }
  if (button == nullptr) throw EScriptError("no button '" + name + "': Open, Exchange, SaveAs, About or Close");
  // Pressed and released over the button; an error reaches the message loop, which shows it.
  const intptr_t at = MakeLong(button->Left() + 5, button->Top() + 5);
  try {
    form.Panel2->Perform(WM_LBUTTONDOWN, MK_LBUTTON, at);
    form.Panel2->Perform(WM_LBUTTONUP, 0, at);
  } catch (const std::exception& error) {
    Application().HandleException(error);
  }
}

void TScriptDriver::DumpForm(std::ostream& out) {
  std::string text;
  WriteFormText(Form(), text);
  // "object Name: Class" opens a component, "Prop = value" is one of its values; a
  // collection "Prop = <" holds items of "Prop = value" lines up to "end>".
  std::vector<std::string> names;
  std::string collection;
  int item = -1;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    const size_t start = line.find_first_not_of(' ');
    if (start == std::string::npos) continue;
    const std::string body = line.substr(start);
    if (body.rfind("object ", 0) == 0) {
      const size_t colon = body.find(':');
      names.push_back(body.substr(7, colon == std::string::npos ? std::string::npos : colon - 7));
    } else if (body == "item") {
      ++item;
    } else if (body == "end>") {
      collection.clear();
      item = -1;
    } else if (body == "end") {
      if (collection.empty() && !names.empty()) names.pop_back();
    } else if (const size_t equals = body.find(" = "); equals != std::string::npos && !names.empty()) {
      const std::string property = body.substr(0, equals);
      const std::string value = body.substr(equals + 3);
      if (value == "<") {
        collection = property;
        item = -1;
        continue;
      }
      const std::string path = collection.empty() ? property : collection + "[" + std::to_string(item) + "]." + property;
      out << names.back() << '.' << path << '=' << Escape(value) << '\n';
    }
  }
}

void TScriptDriver::MarkCommand(const TArgs& args) {
  const char* usage = "mark put|delete N ROW | mark goto N";
  if (args.size() == 3 && (args[0].Text == "put" || args[0].Text == "delete")) {
    if (args[0].Text == "put") {
      Current().PutRowMark(ToInt(args[2]), ToInt(args[1]));
    } else {
      Current().DeleteRowMark(ToInt(args[2]), ToInt(args[1]));
    }
  } else if (args.size() == 2 && args[0].Text == "goto") {
    Current().GotoRowMark(ToInt(args[1]));
  } else {
    throw EScriptError(std::string("usage: ") + usage);
  }
}

void TScriptDriver::ImageListCommand(const TArgs& args) {
  const char* usage = "imagelist digits|marks N | imagelist free digits|marks";
  TEditor& editor = Current();
  if (args.size() == 2 && args[0].Text == "free" && (args[1].Text == "digits" || args[1].Text == "marks")) {
    (args[1].Text == "digits" ? FImageDigits : FImageMarks).reset();
    return;
  }
  if (args.size() != 2 || (args[0].Text != "digits" && args[0].Text != "marks")) {
    throw EScriptError(std::string("usage: ") + usage);
  }
  const bool digits = args[0].Text == "digits";
  const int count = ToInt(args[1]);
  if (count < 0 || count > 16) throw EScriptError("an image list here holds 0 to 16 images");
  // Plain squares in a colour of their own, so that they differ from the built-in images.
  TOwned<TImageList> list = CreateWithoutOwner<TImageList>(digits ? 8 : 11, 11, clFuchsia);
  for (int i = 0; i < count; ++i) {
    TOwned<TBitmap> picture = Create<TBitmap>();
    picture->SetSize(list->Width(), list->Height());
    picture->Raster().FillRect(picture->Raster().Bounds(), PixelOf(clTeal));
    list->Add(*picture);
  }
  if (digits) {
    editor.SetImageDigits(list.get());
    FImageDigits = std::move(list);
  } else {
    editor.SetImageMarks(list.get());
    FImageMarks = std::move(list);
  }
}

void TScriptDriver::Scroll(const TArgs& args) {
  NeedArgs(args, 2, 3, "scroll v|h CODE [POSITION]");
  TEditor& editor = Current();
  const int code = ScrollCode(args[1].Text);
  const int position = args.size() == 3 ? ToInt(args[2]) : 0;
  if (args[0].Text == "v") {
    // A dragged thumb: the bar's track position is where the user holds it.
    TScrollInfo info = editor.ScrollInfo(sbVertical);
    info.TrackPos = position;
    if (args.size() == 3) editor.SetScrollInfo(sbVertical, info);
    editor.Perform(WM_VSCROLL, code);
  } else if (args[0].Text == "h") {
    editor.Perform(WM_HSCROLL, MakeLong(code, position));
  } else {
    throw EScriptError("usage: scroll v|h CODE [POSITION]");
  }
}

void TScriptDriver::Dump(const TArgs& args, std::ostream& out) {
  if (args.size() == 2 && args[0].Text == "file") {
    std::ifstream file(args[1].Text, std::ios::binary);
    if (!file) throw EScriptError("cannot read " + args[1].Text);
    out << "file: \"" << Escape(std::string(std::istreambuf_iterator<char>(file), {})) << "\"\n";
    return;
  }
  NeedArgs(args, 1, 1, "dump text|rows|caret|syscaret|undo|events|screen|ime|fountain|marks|sel|cursor|menu|caption|boxes|form|dialog|file PATH");
  const std::string& what = args[0].Text;
  TEditor& editor = Current();
  if (what == "text") {
    out << "text: \"" << Escape(editor.Lines()->AllText()) << "\"\n";
  } else if (what == "rows") {
    const TEditorScreenStrings& store = *editor.ScreenStrings();
    for (int r = 0; r < store.Count(); ++r) {
      out << r << ' ' << AttributeName(store.RowAttributes(r)) << ' ' << MarksText(store.RowMarkBits(r)) << " \""
          << Escape(store.ViewAt(r)) << "\"\n";
    }
  } else if (what == "caret") {
    out << "caret row=" << editor.Row() << " col=" << editor.Col() << " top=" << editor.TopRow()
        << " left=" << editor.TopCol() << " rows=" << editor.RowCount() << " cols=" << editor.ColCount() << '\n';
  } else if (what == "syscaret") {
    const THeadlessWindow& window = CurrentWindow();
    out << "syscaret shown=" << (window.CaretShown() ? 1 : 0) << " x=" << window.CaretPos().X << " y=" << window.CaretPos().Y
        << " w=" << window.CaretSize().Width << " h=" << window.CaretSize().Height << '\n';
  } else if (what == "undo") {
    out << "undo can=" << (editor.CanUndo() ? 1 : 0) << " redo=" << (editor.CanRedo() ? 1 : 0) << '\n';
  } else if (what == "events") {
    for (const std::string& line : FEditors[FCurrent].Events->Take()) out << line << '\n';
  } else if (what == "screen") {
    DumpScreen(out);
  } else if (what == "ime") {
    const THeadlessWindow& window = CurrentWindow();
    out << "ime x=" << window.ImePosition().X << " y=" << window.ImePosition().Y
        << " font=" << Escape(window.ImeFontName()) << " pending=" << (editor.ImePositionPending() ? 1 : 0) << '\n';
  } else if (what == "fountain") {
    out << "fountain=" << (editor.Fountain() != nullptr ? "assigned" : "view") << '\n';
  } else if (what == "sel") {
    static const char* const states[] = {"none", "anchored", "selected", "hit"};
    out << "sel state=" << states[editor.SelectionState()] << " mode=" << (editor.SelectionMode() ? "box" : "stream")
        << " start=" << editor.SelStart() << " length=" << editor.SelLength() << " text=\"" << Escape(editor.SelText())
        << '"';
    if (editor.SelectionState() == sstHitSelected) out << " hit=" << editor.HitLength();
    out << '\n';
  } else if (what == "cursor") {
    out << "cursor kind=" << editor.CursorKind() << " control=" << editor.Cursor() << " screen=" << ScreenCursor() << '\n';
  } else if (what == "menu") {
    TPopupMenu* menu = editor.PopupMenu();
    if (menu == nullptr) throw EScriptError("the editor has no context menu");
    menu->DoPopup();
    std::function<void(const TMenuItem&, const std::string&)> list = [&](const TMenuItem& item, const std::string& indent) {
      for (int i = 0; i < item.Count(); ++i) {
        const TMenuItem& child = *item.Items(i);
        out << indent << '"' << Escape(child.Caption()) << '"';
        if (child.ShortCut() != 0) out << " " << ShortCutToText(child.ShortCut());
        if (!child.IsLine()) out << (child.Enabled() ? " enabled" : " disabled") << (child.Checked() ? " checked" : "");
        out << '\n';
        list(child, indent + "  ");
      }
    };
    list(*menu->Items(), "");
  } else if (what == "caption") {
    out << "caption: \"" << Escape(Form().Caption()) << "\"\n";
  } else if (what == "boxes") {
    THeadlessPlatform& platform = UseHeadlessPlatform();
    for (const auto& shown : platform.Messages()) out << "box: \"" << Escape(shown.Text) << "\"\n";
    platform.ClearMessages();
  } else if (what == "form") {
    DumpForm(out);
  } else if (what == "dialog") {
    const auto& dialogs = UseHeadlessPlatform().FileDialogs();
    if (dialogs.empty()) throw EScriptError("no file dialog was shown");
    const TFileDialogRequest& last = dialogs.back();
    out << "dialog " << (last.Save ? "save" : "open") << " folder=\"" << Escape(last.InitialDir) << "\" name=\""
        << Escape(last.FileName) << "\" filter=\"" << Escape(last.Filter) << "\" overwrite-prompt="
        << (last.Options.Contains(ofOverwritePrompt) ? 1 : 0) << '\n';
  } else if (what == "file") {
    throw EScriptError("usage: dump file PATH");
  } else if (what == "marks") {
    out << "marks " << MarksText(editor.ScreenStrings()->Marks()) << '\n';
  } else {
    throw EScriptError("usage: dump text|rows|caret|syscaret|undo|events|screen|ime|fountain|marks|sel|cursor|menu|caption|boxes|form|dialog");
  }
}

namespace {

std::string StylesText(TFontStyles styles) {
  static const char* const names[] = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
  std::string text = "[";
  for (int style = fsBold; style <= fsStrikeOut; ++style) {
    if (!styles.Contains(static_cast<TFontStyle>(style))) continue;
    if (text.size() > 1) text += ',';
    text += names[style];
  }
  return text + "]";
}

// The characters drawn in a band of the window, left to right, by the cell they start in.
std::map<int, const TTextCell*> CellsIn(const std::vector<TTextCell>& drawn, int top, int bottom, int left, int right,
                                        int width) {
  std::map<int, const TTextCell*> cells;
  for (const TTextCell& cell : drawn) {
    if (cell.Bounds.Top < top || cell.Bounds.Top >= bottom || cell.Bounds.Left < left || cell.Bounds.Left >= right) continue;
    cells[(cell.Bounds.Left - left) / width] = &cell;
  }
  return cells;
}

// The text of cells, blanks where nothing was drawn; a double-byte character once.
std::string TextOf(const std::map<int, const TTextCell*>& cells, int width) {
  std::string text;
  int column = 0;
  for (const auto& [start, cell] : cells) {
    if (start < column) continue;
    text.append(static_cast<size_t>(start - column), ' ');
    text += cell->Bytes;
    column = start + std::max(1, (cell->Bounds.Width() + width - 1) / width);
  }
  return text;
}

std::string ImagebarText(uint16_t marks) {
  std::string text;
  for (int digit = 0; digit < 10 && text.empty(); ++digit) {
    if ((marks & (1u << digit)) != 0) text = std::to_string(digit);
  }
  for (int mark = 10; mark < 16; ++mark) {
    if ((marks & (1u << mark)) == 0) continue;
    text += (text.empty() ? "" : ",") + std::to_string(mark);
    break;
  }
  return text.empty() ? "-" : text;
}

}  // namespace

void TScriptDriver::DumpScreen(std::ostream& out) {
  TEditor& editor = Current();
  editor.Update();
  const int left = editor.LeftOffset();
  const int width = std::max(1, editor.ColWidth());
  const int barLeft = editor.Imagebar()->Visible() ? editor.ImagebarWidthNow() : 0;
  const std::vector<TTextCell> drawn = editor.TextLayer().Cells();
  std::vector<std::string> colours;
  for (int i = 0; i < editor.RowCount(); ++i) {
    const int row = editor.TopRow() + i;
    const int top = editor.TopOffset() + i * editor.RowHeight();
    const int bottom = top + editor.RowHeight();
    const std::string leftbar =
        editor.Leftbar()->Visible()
            ? TextOf(CellsIn(drawn, top, bottom, barLeft + editor.Leftbar()->LeftMargin(), left, width), width)
            : std::string();
    const std::string imagebar = editor.Imagebar()->Visible() ? ImagebarText(editor.GetRowMarks(row)) : "-";
    const std::map<int, const TTextCell*> cells = CellsIn(drawn, top, bottom, left, editor.ClientWidth(), width);
    std::string text = TextOf(cells, width);
    text.erase(text.find_last_not_of(' ') + 1);
    out << Escape(leftbar) << '|' << imagebar << '|' << Escape(text) << '\n';
    // Runs of cells drawn alike, in columns of the text.
    const TTextCell* runCell = nullptr;
    int runStart = 0;
    int runEnd = 0;
    auto flush = [&] {
      if (runCell == nullptr) return;
      colours.push_back("colors " + std::to_string(row) + ' ' + std::to_string(runStart) + '-' + std::to_string(runEnd) +
                        " fg=" + ColorToString(runCell->Color) + " bg=" + ColorToString(runCell->Background) +
                        " style=" + StylesText(runCell->Style));
      runCell = nullptr;
    };
    for (const auto& [start, cell] : cells) {
      const int column = editor.TopCol() + start;
      const int last = column + std::max(1, (cell->Bounds.Width() + width - 1) / width) - 1;
      const bool same = runCell != nullptr && column == runEnd + 1 && cell->Color == runCell->Color &&
                        cell->Background == runCell->Background && cell->Style == runCell->Style;
      if (!same) {
        flush();
        runCell = cell;
        runStart = column;
      }
      runEnd = last;
    }
    flush();
  }
  for (const std::string& line : colours) out << line << '\n';
}

void TScriptDriver::PaintLog(std::ostream& out) {
  THeadlessWindow& window = CurrentWindow();
  for (const THeadlessWindow::TPaintLogEntry& entry : window.PaintLog()) {
    const char* kind = entry.Kind == THeadlessWindow::pkInvalidated ? "invalidate"
                       : entry.Kind == THeadlessWindow::pkPainted ? "paint"
                                                                   : "draw";
    out << kind << ' ' << entry.Rect.Left << ' ' << entry.Rect.Top << ' ' << entry.Rect.Right << ' '
        << entry.Rect.Bottom << '\n';
  }
  window.ClearPaintLog();
}

}  // namespace plomaret::edscript
