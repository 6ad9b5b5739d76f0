// Commands on the text: properties, the whole text, files, Lines, the editing
// operations and the clipboard.

#include <cstdint>

#include "DriverCommands.h"
#include "editor/EditorUtils.h"
#include "framework/core/Properties.h"
#include "framework/headless/HeadlessPlatform.h"

namespace plomaret::edscript {

namespace {

// Pieces, each a string with an optional repeat count, joined.
void Text(TCall& c) {
  std::string text;
  for (size_t i = 0; i < c.Count(); ++i) {
    if (!c.Args[i].Quoted) c.Usage();
    int times = 1;
    if (i + 1 < c.Count() && !c.Args[i + 1].Quoted) {
      if (!c.Is(i + 1, "repeat") || i + 2 >= c.Count()) c.Usage();
      times = c.Int(i + 2);
    }
    if (times < 0 || static_cast<int64_t>(times) * c.Word(i).size() + text.size() > (int64_t{1} << 30)) {
      throw EScriptError("a repeated text stays under 1 GiB");
    }
    for (int n = 0; n < times; ++n) text += c.Word(i);
    if (i + 1 < c.Count() && !c.Args[i + 1].Quoted) i += 2;
  }
  c.Editor().Lines()->SetAllText(text);
}

void Lines(TCall& c) {
  TEditorStrings& lines = *c.Editor().Lines();
  const std::string& what = c.Word(0);
  if (what == "add" && c.Count() == 2) {
    lines.Add(c.Word(1));
  } else if (what == "insert" && c.Count() == 3) {
    lines.Insert(c.Int(1), c.Word(2));
  } else if (what == "put" && c.Count() == 3) {
    lines.Put(c.Int(1), c.Word(2));
  } else if (what == "delete" && c.Count() == 2) {
    lines.Delete(c.Int(1));
  } else if (what == "clear" && c.Count() == 1) {
    lines.Clear();
  } else {
    c.Usage();
  }
}

void Clip(TCall& c) {
  TClipboard& clipboard = UseHeadlessPlatform().Clipboard();
  if (c.Count() >= 2 && c.Is(0, "set") && (c.Count() == 2 || c.Is(2, "box"))) {
    clipboard.SetText(c.Word(1));
    if (c.Count() == 3) clipboard.SetData(BoxClipboardFormat(), c.Word(1) + std::string(1, '\0'));
  } else if (c.Count() == 1 && c.Is(0, "get")) {
    c.Out << "clip text=\"" << Escape(clipboard.AsText()) << "\" box=" << (clipboard.HasFormat(BoxClipboardFormat()) ? 1 : 0)
          << '\n';
  } else {
    c.Usage();
  }
}

const TCommand kText[] = {
    {"set", "PATH VALUE", 2, 2, "a published property by path (WordWrap, View.Colors.Select.BkColor)",
     [](TCall& c) { SetPropertyByPath(c.Editor(), c.Word(0), c.Word(1)); }},
    {"get", "PATH", 1, 1, "prints PATH=VALUE",
     [](TCall& c) { c.Out << c.Word(0) << '=' << Escape(GetPropertyByPath(c.Editor(), c.Word(0))) << '\n'; }},
    {"text", "\"...\" [repeat N] [\"...\" [repeat N]]...", 1, kAnyCount,
     "the whole text (Lines.SetAllText): the strings joined, each repeated N times", Text},
    {"load", "FILE", 1, 1, "Lines.LoadFile", [](TCall& c) { c.Editor().Lines()->LoadFile(c.Word(0)); }},
    {"save", "FILE", 1, 1, "Lines.SaveFile", [](TCall& c) { c.Editor().Lines()->SaveFile(c.Word(0)); }},
    {"lines", "add \"...\" | insert N \"...\" | put N \"...\" | delete N | clear", 1, kAnyCount,
     "the Lines operations, each an undoable change", Lines},
};

const TCommand kEditing[] = {
    {"insert", "\"...\"", 1, 1, "InsertText", [](TCall& c) { c.Editor().InsertText(c.Word(0)); }},
    {"paste", "\"...\"", 1, 1, "PasteText", [](TCall& c) { c.Editor().PasteText(c.Word(0)); }},
    {"boxpaste", "\"...\"", 1, 1, "BoxPasteText", [](TCall& c) { c.Editor().BoxPasteText(c.Word(0)); }},
    {"backspace", "", 0, 0, "BackSpaceKey", [](TCall& c) { c.Editor().BackSpaceKey(); }},
    {"delete", "", 0, 0, "DeleteForward", [](TCall& c) { c.Editor().DeleteForward(); }},
    {"return", "[shift]", 0, 1, "ReturnKey, with Shift when asked",
     [](TCall& c) {
       TEditor& editor = c.Editor();
       const auto [shift] = c.Flags(0, {"shift"});
       editor.ReturnKey(shift);
     }},
    {"tab", "", 0, 0, "TabKey", [](TCall& c) { c.Editor().TabKey(); }},
    {"copy", "", 0, 0, "CopyToClipboard", [](TCall& c) { c.Editor().CopyToClipboard(); }},
    {"cut", "", 0, 0, "CutToClipboard", [](TCall& c) { c.Editor().CutToClipboard(); }},
    {"pastefrom", "", 0, 0, "PasteFromClipboard", [](TCall& c) { c.Editor().PasteFromClipboard(); }},
    {"movesel", "ROW COL", 2, 2, "MoveSelectionTo", [](TCall& c) { c.Editor().MoveSelectionTo(c.Int(0), c.Int(1)); }},
    {"copysel", "ROW COL", 2, 2, "CopySelectionTo", [](TCall& c) { c.Editor().CopySelectionTo(c.Int(0), c.Int(1)); }},
    {"undo", "", 0, 0, "Undo", [](TCall& c) { c.Editor().Undo(); }},
    {"redo", "", 0, 0, "Redo", [](TCall& c) { c.Editor().Redo(); }},
    {"clip", "set \"...\" [box] | get", 1, 3, "sets the clipboard's text (and the box format), or prints clip text=\"...\" box=0|1",
     Clip},
};

}  // namespace

TCommandGroup TextCommands() { return {"Properties and text", kText}; }
TCommandGroup EditingCommands() { return {"Editing", kEditing}; }

}  // namespace plomaret::edscript
