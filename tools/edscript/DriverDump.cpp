// Commands that print state: the dumps, the repaint check and the paint log.

#include <fstream>
#include <functional>
#include <iterator>
#include <ostream>
#include <sstream>
#include <utility>

#include "DriverCommands.h"
#include "framework/core/FormText.h"
#include "framework/gui/Cursors.h"
#include "framework/gui/Keys.h"
#include "framework/gui/Menus.h"
#include "framework/headless/HeadlessPlatform.h"
#include "framework/headless/ScreenTranscript.h"

namespace plomaret::edscript {

namespace {

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

// The imagebar's pictures as text: the lowest digit mark, then the lowest image mark.
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

void DumpScreen(TCall& c, TEditor& editor) {
  editor.Update();
  TScreenLayout layout;
  layout.FirstRow = editor.TopRow();
  layout.Rows = editor.RowCount();
  layout.Top = editor.TopOffset();
  layout.RowHeight = editor.RowHeight();
  layout.FirstCol = editor.TopCol();
  layout.Left = editor.LeftOffset();
  layout.Right = editor.ClientWidth();
  layout.ColWidth = editor.ColWidth();
  if (editor.Leftbar()->Visible()) {
    const int barLeft = editor.Imagebar()->Visible() ? editor.ImagebarWidthNow() : 0;
    layout.LeftbarLeft = barLeft + editor.Leftbar()->LeftMargin();
  }
  layout.Imagebar = [&](int row) {
    return editor.Imagebar()->Visible() ? ImagebarText(editor.GetRowMarks(row)) : std::string("-");
  };
  c.Out << ReadScreen(editor.TextLayer().Cells(), layout).Text(Escape);
}

void DumpMenu(TCall& c, TEditor& editor) {
  TPopupMenu* menu = editor.PopupMenu();
  if (menu == nullptr) throw EScriptError("the editor has no context menu");
  menu->DoPopup();
  std::function<void(const TMenuItem&, const std::string&)> list = [&](const TMenuItem& item, const std::string& indent) {
    for (int i = 0; i < item.Count(); ++i) {
      const TMenuItem& child = *item.Items(i);
      c.Out << indent << '"' << Escape(child.Caption()) << '"';
      if (child.ShortCut() != 0) c.Out << " " << ShortCutToText(child.ShortCut());
      if (!child.IsLine()) c.Out << (child.Enabled() ? " enabled" : " disabled") << (child.Checked() ? " checked" : "");
      c.Out << '\n';
      list(child, indent + "  ");
    }
  };
  list(*menu->Items(), "");
}

void DumpForm(TCall& c, TEditor&) {
  std::string text;
  WriteFormText(c.State.Form(), text);
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
      c.Out << names.back() << '.' << path << '=' << Escape(value) << '\n';
    }
  }
}

void DumpDialog(TCall& c, TEditor&) {
  const auto& dialogs = UseHeadlessPlatform().FileDialogs();
  if (dialogs.empty()) throw EScriptError("no file dialog was shown");
  const TFileDialogRequest& last = dialogs.back();
  c.Out << "dialog " << (last.Save ? "save" : "open") << " folder=\"" << Escape(last.InitialDir) << "\" name=\""
        << Escape(last.FileName) << "\" filter=\"" << Escape(last.Filter) << "\" overwrite-prompt="
        << (last.Options.Contains(ofOverwritePrompt) ? 1 : 0) << '\n';
}

// What "dump KIND" prints, by kind; the order is the usage's.
using TDumper = void (*)(TCall& c, TEditor& editor);
const std::pair<const char*, TDumper> kDumps[] = {
    {"text", [](TCall& c, TEditor& e) { c.Out << "text: \"" << Escape(e.Lines()->AllText()) << "\"\n"; }},
    {"rows",
     [](TCall& c, TEditor& e) {
       const TEditorScreenStrings& store = *e.ScreenStrings();
       for (int r = 0; r < store.Count(); ++r) {
         c.Out << r << ' ' << AttributeName(store.RowAttributes(r)) << ' ' << MarksText(store.RowMarkBits(r)) << " \""
               << Escape(store.ViewAt(r)) << "\"\n";
       }
     }},
    {"caret",
     [](TCall& c, TEditor& e) {
       c.Out << "caret row=" << e.Row() << " col=" << e.Col() << " top=" << e.TopRow() << " left=" << e.TopCol()
             << " rows=" << e.RowCount() << " cols=" << e.ColCount() << '\n';
     }},
    {"syscaret",
     [](TCall& c, TEditor&) {
       const THeadlessWindow& window = c.State.CurrentWindow();
       c.Out << "syscaret shown=" << (window.CaretShown() ? 1 : 0) << " x=" << window.CaretPos().X
             << " y=" << window.CaretPos().Y << " w=" << window.CaretSize().Width << " h=" << window.CaretSize().Height
             << '\n';
     }},
    {"undo",
     [](TCall& c, TEditor& e) { c.Out << "undo can=" << (e.CanUndo() ? 1 : 0) << " redo=" << (e.CanRedo() ? 1 : 0) << '\n'; }},
    {"events",
     [](TCall& c, TEditor&) {
       for (const std::string& line : c.State.CurrentEvents().Take()) c.Out << line << '\n';
     }},
    {"screen", DumpScreen},
    {"ime",
     [](TCall& c, TEditor& e) {
       const THeadlessWindow& window = c.State.CurrentWindow();
       c.Out << "ime x=" << window.ImePosition().X << " y=" << window.ImePosition().Y
             << " font=" << Escape(window.ImeFontName()) << " pending=" << (e.ImePositionPending() ? 1 : 0) << '\n';
     }},
    {"fountain",
     [](TCall& c, TEditor& e) { c.Out << "fountain=" << (e.Fountain() != nullptr ? "assigned" : "view") << '\n'; }},
    {"marks", [](TCall& c, TEditor& e) { c.Out << "marks " << MarksText(e.ScreenStrings()->Marks()) << '\n'; }},
    {"sel",
     [](TCall& c, TEditor& e) {
       static const char* const states[] = {"none", "anchored", "selected", "hit"};
       c.Out << "sel state=" << states[e.SelectionState()] << " mode=" << (e.SelectionMode() ? "box" : "stream")
             << " start=" << e.SelStart() << " length=" << e.SelLength() << " text=\"" << Escape(e.SelText()) << '"';
       if (e.SelectionState() == sstHitSelected) c.Out << " hit=" << e.HitLength();
       c.Out << '\n';
     }},
    {"cursor",
     [](TCall& c, TEditor& e) {
       c.Out << "cursor kind=" << e.CursorKind() << " control=" << e.Cursor() << " screen=" << ScreenCursor() << '\n';
     }},
    {"menu", DumpMenu},
    {"popup",
     [](TCall& c, TEditor& e) {
       THeadlessPlatform& platform = UseHeadlessPlatform();
       const bool shown = platform.LastPopup() != nullptr;
       const TPoint at = shown ? e.ScreenToClient(platform.LastPopupPoint()) : TPoint{};
       c.Out << "popup shown=" << shown << " x=" << at.X << " y=" << at.Y << '\n';
       platform.ForgetLastPopup();
     }},
    {"caption", [](TCall& c, TEditor&) { c.Out << "caption: \"" << Escape(c.State.Form().Caption()) << "\"\n"; }},
    {"boxes",
     [](TCall& c, TEditor&) {
       THeadlessPlatform& platform = UseHeadlessPlatform();
       for (const auto& shown : platform.Messages()) {
         c.Out << "box: \"" << Escape(shown.Text) << "\"";
         // A question names its buttons.
         if ((shown.Flags & 0x0F) == MB_YESNOCANCEL) c.Out << " [yes/no/cancel]";
         if ((shown.Flags & 0x0F) == MB_YESNO) c.Out << " [yes/no]";
         c.Out << '\n';
       }
       platform.ClearMessages();
     }},
    {"form", DumpForm},
    {"findbar",
     [](TCall& c, TEditor&) {
       const TFindBar& bar = *c.State.Form().FindBar1;
       c.Out << "findbar shown=" << bar.Visible() << " pattern=\"" << Escape(bar.Pattern()) << "\" options=" << bar.Options()
             << " message=\"" << Escape(bar.Message()) << "\"\n";
     }},
    {"status",
     [](TCall& c, TEditor&) {
       const TForm1& form = c.State.Form();
       const TStatusFacts facts = form.StatusFacts();
       c.Out << "status row=" << facts.Row + 1 << " col=" << facts.Col + 1 << " lines=" << facts.Lines
             << " modified=" << facts.Modified << " text=\"" << Escape(form.StatusBar1->SimpleText()) << "\"\n";
     }},
    {"dialog", DumpDialog},
};

void Dump(TCall& c) {
  if (c.Count() == 2 && c.Is(0, "file")) {
    std::ifstream file(c.Word(1), std::ios::binary);
    if (!file) throw EScriptError("cannot read " + c.Word(1));
    c.Out << "file: \"" << Escape(std::string(std::istreambuf_iterator<char>(file), {})) << "\"\n";
    return;
  }
  if (c.Count() != 1) c.Usage();
  TEditor& editor = c.Editor();
  for (const auto& [kind, dump] : kDumps) {
    if (c.Is(0, kind)) return dump(c, editor);
  }
  c.Usage();
}

// The picture as the changes left it against one painted afresh.
void Check(TCall& c) {
  c.OneOf(0, {"screen"});
  TEditor& editor = c.Editor();
  editor.Update();
  const TRaster built = editor.BackingImage();
  editor.Invalidate();
  editor.Update();
  const TRaster& fresh = editor.BackingImage();
  for (int y = 0; y < built.Height(); ++y) {
    for (int x = 0; x < built.Width(); ++x) {
      if (built.Pixel(x, y) != fresh.Pixel(x, y)) {
        c.Out << "screen: differs from a fresh paint at " << x << "," << y << '\n';
        return;
      }
    }
  }
  c.Out << "screen: as painted afresh\n";
}

void PaintLog(TCall& c) {
  if (c.Count() == 1) {
    c.OneOf(0, {"clear"});
    c.State.CurrentWindow().ClearPaintLog();
    return;
  }
  THeadlessWindow& window = c.State.CurrentWindow();
  for (const THeadlessWindow::TPaintLogEntry& entry : window.PaintLog()) c.Out << PaintLogText(entry) << '\n';
  window.ClearPaintLog();
}

// "text|rows|...| file PATH", from the kinds above.
const std::string kDumpArgs = [] {
  std::string args;
  for (const auto& [kind, dump] : kDumps) args += std::string(args.empty() ? "" : "|") + kind;
  return args + " | file PATH";
}();

const TCommand kOutput[] = {
    {"dump", kDumpArgs.c_str(), 1, 2, "prints that state (the formats are in README.md)", Dump},
    {"check", "screen", 1, 1, "prints whether the picture the changes left equals a full repaint", Check},
    {"paintlog", "[clear]", 0, 1, "prints what was invalidated, painted and drawn since the last call; clear: forgets it",
     PaintLog},
};

}  // namespace

TCommandGroup OutputCommands() { return {"Output", kOutput}; }

}  // namespace plomaret::edscript
