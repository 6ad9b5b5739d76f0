// Commands on the caret, the view and the selection: moves, tokens, search, scrolling,
// row marks, image lists and ranges.

#include <map>

#include "DriverCommands.h"

namespace plomaret::edscript {

namespace {

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

int ScrollCode(const std::string& name) {
  static const std::map<std::string, int> codes = {
      {"SB_LINEUP", SB_LINEUP},       {"SB_LINEDOWN", SB_LINEDOWN},     {"SB_PAGEUP", SB_PAGEUP},
      {"SB_PAGEDOWN", SB_PAGEDOWN},   {"SB_THUMBPOSITION", SB_THUMBPOSITION}, {"SB_THUMBTRACK", SB_THUMBTRACK},
      {"SB_TOP", SB_TOP},             {"SB_BOTTOM", SB_BOTTOM},         {"SB_ENDSCROLL", SB_ENDSCROLL}};
  auto found = codes.find(name);
  if (found == codes.end()) throw EScriptError("unknown scroll request '" + name + "'");
  return found->second;
}

void Token(TCall& c) {
  if (c.Count() == 1 && (c.Is(0, "forward") || c.Is(0, "backward"))) {
    TEditor& editor = c.Editor();
    int row = editor.Row();
    int col = editor.Col();
    if (editor.MoveByToken(row, col, c.Is(0, "forward") ? 1 : -1)) editor.SetRowCol(row, col);
    return;
  }
  if (c.Count() < 2) c.Usage();
  const auto [fountain, keep, select] = c.Flags(2, {"fountain", "keep", "select"});
  TEditor& editor = c.Editor();
  const int x = c.Int(0);
  const int y = c.Int(1);
  const TEditor::TTokenAtPoint token = editor.TokenAtPoint(x, y, fountain, keep);
  if (!token.Found) {
    c.Out << "token none\n";
    return;
  }
  c.Out << "token \"" << Escape(token.Text) << "\" kind=" << TokenKindName(token.Kind) << '\n';
  if (select) editor.SelectTokenAtPoint(x, y, fountain, keep);
}

void Find(TCall& c) {
  const int options = c.Int(1);
  if (options < 0 || options > 0xFFFF) throw EScriptError("the options are a 16-bit set");
  const bool found = c.Editor().FindText(c.Word(0), static_cast<TSearchOptions>(options));
  c.Out << "found=" << (found ? "true" : "false") << '\n';
}

void Scroll(TCall& c) {
  TEditor& editor = c.Editor();
  const int code = ScrollCode(c.Word(1));
  const int position = c.Count() == 3 ? c.Int(2) : 0;
  if (c.Is(0, "v")) {
    // A dragged thumb: the bar's track position is where the user holds it.
    TScrollInfo info = editor.ScrollInfo(sbVertical);
    info.TrackPos = position;
    if (c.Count() == 3) editor.SetScrollInfo(sbVertical, info);
    editor.Perform(WM_VSCROLL, code);
  } else if (c.Is(0, "h")) {
    editor.Perform(WM_HSCROLL, MakeLong(code, position));
  } else {
    c.Usage();
  }
}

void Mark(TCall& c) {
  if (c.Count() == 3 && (c.Is(0, "put") || c.Is(0, "delete"))) {
    if (c.Is(0, "put")) {
      c.Editor().PutRowMark(c.Int(2), c.Int(1));
    } else {
      c.Editor().DeleteRowMark(c.Int(2), c.Int(1));
    }
  } else if (c.Count() == 2 && c.Is(0, "goto")) {
    c.Editor().GotoRowMark(c.Int(1));
  } else {
    c.Usage();
  }
}

void ImageList(TCall& c) {
  TEditor& editor = c.Editor();
  if (c.Count() == 2 && c.Is(0, "free") && (c.Is(1, "digits") || c.Is(1, "marks"))) {
    (c.Is(1, "digits") ? c.State.ImageDigits : c.State.ImageMarks).reset();
    return;
  }
  if (c.Count() != 2 || (!c.Is(0, "digits") && !c.Is(0, "marks"))) c.Usage();
  const bool digits = c.Is(0, "digits");
  const int count = c.Int(1);
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
    c.State.ImageDigits = std::move(list);
  } else {
    editor.SetImageMarks(list.get());
    c.State.ImageMarks = std::move(list);
  }
}

void Range(TCall& c) {
  if (c.Count() == 1 && c.Is(0, "none")) {
    c.Editor().PlaceRange(false, sstNone, {});
    return;
  }
  if (c.Count() < 5 || (!c.Is(0, "stream") && !c.Is(0, "box")) || (c.Count() == 6 && !c.Is(5, "hit"))) c.Usage();
  const TSelectionRect rect{c.Int(1), c.Int(3), c.Int(2), c.Int(4)};
  c.Editor().PlaceRange(c.Is(0, "box"), c.Count() == 6 ? sstHitSelected : sstSelected, rect);
}

void Select(TCall& c) {
  TEditor& editor = c.Editor();
  editor.SetRowCol(c.Int(0), c.Int(1));
  editor.StartSelection();
  editor.SetRowCol(c.Int(2), c.Int(3));
  editor.ExtendSelection();
}

void Extend(TCall& c) {
  TEditor& editor = c.Editor();
  editor.SetRowCol(c.Int(0), c.Int(1));
  editor.ExtendSelection();
}

void RowSelect(TCall& c) {
  TEditor& editor = c.Editor();
  editor.RowSelectStart(c.Int(0));
  for (size_t i = 1; i < c.Count(); ++i) editor.RowSelectMove(c.Int(i));
  editor.EndRowSelect();
}

const TCommand kCaret[] = {
    {"row", "N", 1, 1, "SetRow", [](TCall& c) { c.Editor().SetRow(c.Int(0)); }},
    {"col", "N", 1, 1, "SetCol", [](TCall& c) { c.Editor().SetCol(c.Int(0)); }},
    {"rowcol", "ROW COL", 2, 2, "SetRowCol", [](TCall& c) { c.Editor().SetRowCol(c.Int(0), c.Int(1)); }},
    {"toprow", "N", 1, 1, "SetTopRow", [](TCall& c) { c.Editor().SetTopRow(c.Int(0)); }},
    {"topcol", "N", 1, 1, "SetTopCol", [](TCall& c) { c.Editor().SetTopCol(c.Int(0)); }},
    {"token", "forward|backward | X Y [fountain] [keep] [select]", 1, kAnyCount,
     "MoveByToken from the caret; or prints the token at client point (X, Y), and selects it", Token},
    {"find", "\"PATTERN\" OPTIONS", 2, 2, "FindText with the options as a 16-bit set; prints found=true|false", Find},
    {"scroll", "v|h CODE [POS]", 2, 3, "WM_VSCROLL or WM_HSCROLL with a request by name (SB_LINEUP ... SB_ENDSCROLL)",
     Scroll},
};

const TCommand kMarks[] = {
    {"mark", "put|delete N ROW | goto N", 2, 3, "PutRowMark, DeleteRowMark, GotoRowMark", Mark},
    {"imagelist", "digits|marks N | free digits|marks", 0, kAnyCount,
     "N plain teal images as ImageDigits or ImageMarks, or frees that list", ImageList},
    {"range", "stream|box TOP LEFT BOTTOM RIGHT [hit] | none", 1, 6,
     "puts a range (a search hit with hit) in place as the selection leaves one", Range},
};

const TCommand kSelection[] = {
    {"select", "ANCHOR_ROW ANCHOR_COL ROW COL", 4, 4, "the caret to the anchor, StartSelection, to (ROW, COL), ExtendSelection",
     Select},
    {"extend", "ROW COL", 2, 2, "the caret to (ROW, COL) and ExtendSelection, as Shift with a move", Extend},
    {"rowselect", "ROW [ROW...]", 1, kAnyCount, "RowSelectStart at the first row, RowSelectMove to each further one",
     RowSelect},
    {"selmode", "stream|box", 1, 1, "SetSelectionMode",
     [](TCall& c) {
       const bool box = c.OneOf(0, {"stream", "box"}) == 1;
       c.Editor().SetSelectionMode(box);
     }},
    {"selstart", "N", 1, 1, "SetSelStart", [](TCall& c) { c.Editor().SetSelStart(c.Int(0)); }},
    {"sellength", "N", 1, 1, "SetSelLength", [](TCall& c) { c.Editor().SetSelLength(c.Int(0)); }},
    {"selectall", "", 0, 0, "SelectAll", [](TCall& c) { c.Editor().SelectAll(); }},
};

}  // namespace

TCommandGroup CaretCommands() { return {"Caret and view", kCaret}; }
TCommandGroup MarkCommands() { return {"Row marks, image lists and ranges", kMarks}; }
TCommandGroup SelectionCommands() { return {"Selection", kSelection}; }

}  // namespace plomaret::edscript
