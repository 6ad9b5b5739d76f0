// Every change the control makes to its text for the user: typing, paste (stream
// and box), deleting the selection, BackSpace, Delete, Return, Tab, the clipboard,
// moving and copying the selection, undo and redo. Each builds the new text of a run
// of rows and hands it to the row store's one editing primitive, which records one
// undo step; the caret is then placed by a byte offset from a row before the change,
// which re-wrapping cannot move.

#include <algorithm>

#include "editor/EditorControl.h"
#include "editor/EditorUtils.h"
#include "framework/gui/Keys.h"
#include "framework/gui/Platform.h"

namespace plomaret {

namespace {

char CellAt(const std::string& map, int col) {
  return col >= 0 && col < static_cast<int>(map.size()) ? map[static_cast<size_t>(col)] : '\0';
}

std::string Blanks(int64_t count) { return std::string(static_cast<size_t>(std::max<int64_t>(count, 0)), ' '); }

constexpr std::string_view kCrLf = "\r\n";

// Hides the caret and the caret-row underline for a change of several rows, and
// shows them again also when the change fails.
class TEditHold {
 public:
  TEditHold(TEditor& editor, bool hold) : FEditor(hold ? &editor : nullptr) {
    if (FEditor == nullptr) return;
    FEditor->CaretHide();
    FEditor->HideUnderline();
  }
  ~TEditHold() {
    if (FEditor == nullptr) return;
    FEditor->ShowUnderline();
    FEditor->CaretShow();
  }
  TEditHold(const TEditHold&) = delete;
  TEditHold& operator=(const TEditHold&) = delete;

 private:
  TEditor* FEditor;
};

}  // namespace

// ---- Rows, offsets, replacing ----

std::string TEditor::LineEndOf(int row) const { return RowAttribute(row) == raLineEnd ? std::string(kCrLf) : std::string(); }

int TEditor::BaseRowOf(int row) const { return std::max(FRowStore->FirstRowOfLine(row), row - 1); }

int64_t TEditor::OffsetFrom(int base, int row, int col) const {
  int64_t offset = 0;
  const int count = FRowStore->Count();
  for (int r = std::max(base, 0); r < row && r < count; ++r) offset += RowContribution(r);
  offset += ColToByte(CellMap(RowText(row)), col);
  return offset;
}

void TEditor::ReplaceRows(int first, int last, std::string_view text) {
  const int count = FRowStore->Count();
  int rows = last - first + 1;
  if (first >= count) {
    rows = 0;
  } else if (last > count - 1) {
    rows = last - first;
  }
  FRowStore->ReplaceText(first, rows, text);
}

std::vector<TEditor::TRebuiltRow> TEditor::RowsWithoutSelection() const {
  std::vector<TRebuiltRow> rows;
  const TEditorSelectionRecord& s = FSelection.Range();
  if (FSelection.Box()) {
    // The empty row after a final line end may be a box row too.
    for (int r = s.Rect.Top; r <= s.Rect.Bottom && r <= FRowStore->Count(); ++r) {
      const auto [from, to] = BoxBytes(r);
      std::string text = RowText(r);
      const std::string map = CellMap(text);
      // A row that ends before the box keeps the box's left column as its place.
      const int insert = s.Rect.Left >= static_cast<int>(map.size()) ? ColToByte(map, s.Rect.Left) : from;
      text.erase(static_cast<size_t>(from), static_cast<size_t>(to - from));
      rows.push_back({std::move(text), RowAttribute(r), insert});
    }
    return rows;
  }
  const std::string start = RowText(s.StartRow);
  const std::string end = RowText(s.EndRow);
  const size_t head = std::min(start.size(), static_cast<size_t>(std::max(0, s.StartByte)));
  const size_t tail = std::min(end.size(), static_cast<size_t>(std::max(0, s.EndByte + 1)));
  rows.push_back({start.substr(0, head) + end.substr(tail), RowAttribute(s.EndRow), static_cast<int>(head)});
  return rows;
}

std::string TEditor::JoinRows(const std::vector<TRebuiltRow>& rows) {
  std::string text;
  for (const TRebuiltRow& row : rows) {
    text += row.Text;
    if (row.Attribute == raLineEnd) text += kCrLf;
  }
  return text;
}

// ---- Typing and pasting ----

void TEditor::ReplaceSelectionBy(std::string_view text) {
  const TEditorSelectionRecord& s = FSelection.Range();
  const int base = BaseRowOf(s.StartRow);
  const int64_t offset = static_cast<int64_t>(text.size()) + OffsetFrom(base, s.Rect.Top, s.Rect.Left);
  std::vector<TRebuiltRow> rows = RowsWithoutSelection();
  if (rows.empty()) {
    CleanSelection();
    InsertAtCaret(text);
    return;
  }
  // Typed text goes where the caret would be once the box is gone: at most at the row's end.
  std::string& front = rows.front().Text;
  front.insert(std::min(front.size(), static_cast<size_t>(rows.front().Insert)), text);
  const int first = FSelection.Box() ? s.Rect.Top : s.StartRow;
  const int last = std::min(FSelection.Box() ? s.Rect.Bottom : s.EndRow, FRowStore->Count() - 1);
  const std::string joined = JoinRows(rows);
  TEditHold hold(*this, true);
  CleanSelection();
  ReplaceRows(first, last, joined);
  PlaceCaretAtOffset(base, offset);
}

void TEditor::InsertAtCaret(std::string_view text) {
  const int base = BaseRowOf(FRow);
  const int64_t offset = static_cast<int64_t>(text.size()) + OffsetFrom(base, FRow, FCol);
  std::string row = RowText(FRow);
  const int64_t c = ColToByte(CellMap(row), FCol);
  if (c >= static_cast<int64_t>(row.size())) {
    row += Blanks(c - static_cast<int64_t>(row.size()));
    row.append(text);
  } else {
    row.insert(static_cast<size_t>(c), text);
  }
  row += LineEndOf(FRow);
  TEditHold hold(*this, text.find_first_of("\r\n") != std::string_view::npos);
  if (RangeExists()) CleanSelection();
  ReplaceRows(FRow, FRow, row);
  PlaceCaretAtOffset(base, offset);
}

void TEditor::InsertText(std::string_view text) {
  if (text.empty() || FReadOnly) return;
  if (FSelection.State() == sstSelected) {
    ReplaceSelectionBy(text);
  } else {
    InsertAtCaret(text);
  }
}

void TEditor::PasteText(std::string_view text) {
  if (FReadOnly) return;
  if (text.empty()) {
    if (FSelection.State() == sstSelected) {
      DeleteSelection();
    } else if (FSelection.State() == sstHitSelected) {
      CleanSelection();
    }
    return;
  }
  InsertText(text);
}

void TEditor::BoxPasteText(std::string_view text) {
  if (FReadOnly) return;
  if (text.empty()) {
    if (FSelection.State() == sstSelected) DeleteSelection();
    return;
  }
  const TOwned<TStringList> lines = Create<TStringList>();
  TextToStrings(text, *lines);
  if (lines->Count() == 0) return;
  const int count = FRowStore->Count();
  std::vector<TRebuiltRow> rebuilt;
  int first = FRow;
  int column = FCol;  // the 0-based column the lines go to
  int lastSelected = -1;
  if (FSelection.State() == sstSelected) {
    first = FSelection.Box() ? FSelection.Range().Rect.Top : FSelection.Range().StartRow;
    column = FSelection.Range().Rect.Left;
    rebuilt = RowsWithoutSelection();
    lastSelected = std::min(FSelection.Box() ? FSelection.Range().Rect.Bottom : FSelection.Range().EndRow, count - 1);
  }
  int nextRow = lastSelected >= 0 ? lastSelected + 1 : first;
  std::vector<TRebuiltRow> rows;
  int lastUsed = std::max(lastSelected, first - 1);
  int64_t caretByte = 0;
  for (int i = 0; i < lines->Count(); ++i) {
    const std::string line = lines->Get(i);
    TRebuiltRow row;
    if (i < static_cast<int>(rebuilt.size())) {
      row = rebuilt[static_cast<size_t>(i)];
    } else if (nextRow < count) {
      // The column's place on the row, as for the left edge of a box.
      row = {RowText(nextRow), RowAttribute(nextRow), 0};
      const std::string map = CellMap(row.Text);
      int col = column;
      while (CellAt(map, col) == kCellTrail || CellAt(map, col) == kCellTabFill) ++col;
      row.Insert = ColToByte(map, col);
      lastUsed = nextRow++;
    } else {
      row = {Blanks(column), raLineEnd, column};
    }
    const size_t q = static_cast<size_t>(row.Insert);
    if (row.Text.size() <= q) {
      row.Text += Blanks(static_cast<int64_t>(q) - static_cast<int64_t>(row.Text.size()));
      row.Text += line;
    } else {
      row.Text.insert(q, line);
    }
    caretByte = static_cast<int64_t>(q + line.size());
    rows.push_back(std::move(row));
  }
  // Rows of the selection that got no line stay as the removal left them.
  for (size_t i = rows.size(); i < rebuilt.size(); ++i) rows.push_back(rebuilt[i]);
  for (TRebuiltRow& row : rows) {
    if (row.Attribute == raTextEnd) row.Attribute = raLineEnd;
  }
  const int caretRow = first + lines->Count() - 1;
  TEditHold hold(*this, true);
  if (RangeExists()) CleanSelection();
  ReplaceRows(first, std::max(lastUsed, first), JoinRows(rows));
  PlaceCaretAtOffset(caretRow, caretByte);
}

void TEditor::DeleteSelection() {
  if (FSelection.State() != sstSelected || FReadOnly) return;
  const TEditorSelectionRecord& s = FSelection.Range();
  const int base = BaseRowOf(s.StartRow);
  const int64_t offset = OffsetFrom(base, s.Rect.Top, s.Rect.Left);
  const int first = FSelection.Box() ? s.Rect.Top : s.StartRow;
  const int last = std::min(FSelection.Box() ? s.Rect.Bottom : s.EndRow, FRowStore->Count() - 1);
  const std::string joined = JoinRows(RowsWithoutSelection());
  TEditHold hold(*this, true);
  CleanSelection();
  ReplaceRows(first, last, joined);
  PlaceCaretAtOffset(base, offset);
}

// ---- Keys ----

void TEditor::TabKey() {
  if (FReadOnly || !FWantTabs) return;
  if (PlatformInstalled() && (Platform().KeyDown(VK_SHIFT) || Platform().KeyDown(VK_CONTROL))) return;
  const int tab = FCaret->TabSpaceCount();
  int width = tab - FCol % tab;
  if (FRowStore->WordWrap()) {
    const int wrap = FRowStore->WrapOption()->WrapByte();
    width = std::min(width, wrap - FCol % wrap);
  }
  InsertText(FCaret->SoftTab() ? Blanks(width) : std::string("\t"));
}

void TEditor::ReturnKey(bool shift) {
  if (FReadOnly) return;
  if (FSelection.State() == sstSelected) {
    if (shift) return;
    DeleteSelection();
  } else if (FSelection.State() == sstHitSelected) {
    CleanSelection();
  }
  const int count = FRowStore->Count();
  if (FRow >= count) {
    ReplaceRows(count, count, kCrLf);
    SetRowCol(FRow + 1, 0);
    return;
  }
  const int lineStart = FRowStore->FirstRowOfLine(FRow);
  int indent = 0;
  if (FCaret->AutoIndent()) {
    const int width = IndentWidth(RowText(lineStart));
    if (width >= 1) {
      indent = FRow == lineStart && FCol < width ? FCol : width;
    } else if (FCaret->PrevSpaceIndent() && FRow == lineStart && RowText(lineStart).empty()) {
      for (int r = lineStart - 1; r >= 0; --r) {
        if (r > 0 && RowAttribute(r - 1) == raWrap) continue;  // not the start of a line
        const std::string text = RowText(r);
        if (text.empty()) continue;
        indent = std::max(0, IndentWidth(text));
        break;
      }
    }
  }
  const int tab = FCaret->TabSpaceCount();
  const std::string indentText =
      FCaret->TabIndent() ? std::string(static_cast<size_t>(indent / tab), '\t') + Blanks(indent % tab) : Blanks(indent);
  TEditHold hold(*this, true);
  if (shift) {
    FRowStore->ReplaceText(lineStart, 0, indentText + std::string(kCrLf));
    PlaceCaretAtOffset(lineStart, static_cast<int64_t>(indentText.size()));
    return;
  }
  const std::string row = RowText(FRow);
  const std::string map = CellMap(row);
  const size_t c = std::min(row.size(), static_cast<size_t>(std::max(0, ColToByte(map, FCol))));
  const int64_t offset =
      OffsetFrom(lineStart, FRow, std::min(static_cast<int>(map.size()), FCol)) + 2 + static_cast<int64_t>(indentText.size());
  ReplaceRows(FRow, FRow, row.substr(0, c) + std::string(kCrLf) + indentText + row.substr(c) + LineEndOf(FRow));
  PlaceCaretAtOffset(lineStart, offset);
}

void TEditor::BackSpaceKey() {
  if (FReadOnly) return;
  if (FSelection.State() == sstSelected) {
    DeleteSelection();
    return;
  }
  if (FRowStore->Count() == 0) {
    SetCol(FCol - 1);
    return;
  }
  if (FSelection.State() == sstHitSelected) CleanSelection();
  const int count = FRowStore->Count();
  const std::string row = RowText(FRow);
  const std::string map = CellMap(row);
  const int caretByte = ColToByte(map, FCol);
  if (caretByte < 1) {
    if (FRow == 0) return;
    const int previous = FRow - 1;
    const int base = std::max(FRowStore->FirstRowOfLine(previous), FRow - 2);
    const std::string previousText = RowText(previous);
    const std::string previousMap = CellMap(previousText);
    TEditHold hold(*this, true);
    if (FRow >= count) {
      // The empty row after the last: the final line end goes.
      const int64_t offset = OffsetFrom(base, previous, static_cast<int>(previousMap.size()));
      ReplaceRows(previous, previous, previousText);
      PlaceCaretAtOffset(base, offset);
    } else if (RowAttribute(previous) == raLineEnd) {
      const int64_t offset = OffsetFrom(base, previous, static_cast<int>(previousMap.size()));
      ReplaceRows(previous, FRow, previousText + row + LineEndOf(FRow));
      PlaceCaretAtOffset(base, offset);
    } else {
      // A wrapped row loses its last character.
      int col = static_cast<int>(previousMap.size()) - 1;
      if (CellAt(previousMap, col) == kCellTrail) --col;
      while (CellAt(previousMap, col) == kCellTabFill) --col;
      col = std::max(col, 0);
      const int64_t offset = OffsetFrom(base, previous, col);
      const size_t cut = std::min(previousText.size(), static_cast<size_t>(ColToByte(previousMap, col)));
      ReplaceRows(previous, FRow, previousText.substr(0, cut) + row + LineEndOf(FRow));
      PlaceCaretAtOffset(base, offset);
    }
    return;
  }
  const int caretCol = FCol;
  const int mapLength = static_cast<int>(map.size());
  const int indent = IndentWidth(row);
  const bool normal = !FCaret->BackSpaceUnIndent() || (!row.empty() && indent != mapLength && caretCol != indent);
  if (normal) {
    if (caretCol > mapLength) {
      SetCol(caretCol - 1);
      return;
    }
    int start = caretCol - 1;
    size_t bytes = 1;
    if (CellAt(map, start) == kCellTrail) {
      --start;
      bytes = 2;
    }
    while (CellAt(map, start) == kCellTabFill) --start;
    const int base = BaseRowOf(FRow);
    const int64_t offset = OffsetFrom(base, FRow, start);
    std::string text = row;
    text.erase(static_cast<size_t>(ColToByte(map, start)), bytes);
    ReplaceRows(FRow, FRow, text + LineEndOf(FRow));
    PlaceCaretAtOffset(base, offset);
    return;
  }
  // Unindent: back to the indent of an earlier row that is smaller than the caret's column.
  const int lineStart = FRowStore->FirstRowOfLine(FRow);
  int target = 0;
  for (int r = FRow - 1; r >= 0; --r) {
    const std::string text = RowText(r);
    const int width = text.empty() ? 0 : std::max(0, IndentWidth(text));
    if (r > lineStart) {
      if (width == 0 || width >= caretCol) continue;
      target = width;
      break;
    }
    if (text.empty()) break;
    if (width >= caretCol) continue;
    target = width;
    break;
  }
  if (target >= mapLength) {
    SetCol(target);
    return;
  }
  // The row's bytes up to the target column, a character cut there replaced by blanks.
  std::string text;
  int col = 0;
  size_t byte = 0;
  while (col < target && byte < row.size()) {
    const int width = CellAt(map, col) == kCellLead ? 2 : 1;
    int cells = width;
    if (row[byte] == '\t') {
      cells = 1;
      while (CellAt(map, col + cells) == kCellTabFill) ++cells;
    }
    if (col + cells > target) {
      text += Blanks(target - col);
      col = target;
      byte += static_cast<size_t>(row[byte] == '\t' ? 1 : width);
      break;
    }
    text.append(row, byte, static_cast<size_t>(row[byte] == '\t' ? 1 : width));
    byte += static_cast<size_t>(row[byte] == '\t' ? 1 : width);
    col += cells;
  }
  // The rest of a tab the caret stood in, then the row from the caret on.
  size_t from = static_cast<size_t>(std::min(static_cast<int>(row.size()), ColToByte(map, caretCol)));
  if (CellAt(map, caretCol) == kCellTabFill) {
    int filler = 0;
    while (CellAt(map, caretCol + filler) == kCellTabFill) ++filler;
    text += Blanks(filler);
    from = std::min(row.size(), from + 1);
  }
  text += row.substr(from);
  ReplaceRows(FRow, FRow, text + LineEndOf(FRow));
  SetRowCol(FRow, target);
}

void TEditor::DeleteForward() {
  if (FReadOnly) return;
  if (FSelection.State() == sstSelected) {
    DeleteSelection();
    return;
  }
  if (FSelection.State() == sstHitSelected) CleanSelection();
  const int count = FRowStore->Count();
  if (FRow >= count) return;
  const std::string row = RowText(FRow);
  const std::string map = CellMap(row);
  const int64_t caretByte = ColToByte(map, FCol);
  const int base = BaseRowOf(FRow);
  if (caretByte < static_cast<int64_t>(row.size())) {
    int col = FCol;
    while (CellAt(map, col) == kCellTabFill) --col;
    const size_t bytes = CellAt(map, col) == kCellLead ? 2 : 1;
    std::string text = row;
    text.erase(static_cast<size_t>(ColToByte(map, col)), bytes);
    const int64_t offset = OffsetFrom(base, FRow, col);
    ReplaceRows(FRow, FRow, text + LineEndOf(FRow));
    PlaceCaretAtOffset(base, offset);
    return;
  }
  if (RowAttribute(FRow) == raTextEnd) return;
  const std::string filled = row + Blanks(caretByte - static_cast<int64_t>(row.size()));
  const int64_t offset = OffsetFrom(base, FRow, FCol);
  TEditHold hold(*this, true);
  if (FRow == count - 1) {
    ReplaceRows(FRow, FRow, filled);  // the final line end goes
  } else {
    ReplaceRows(FRow, FRow + 1, filled + RowText(FRow + 1) + LineEndOf(FRow + 1));
  }
  PlaceCaretAtOffset(base, offset);
}

// ---- The clipboard ----

void TEditor::CopyToClipboard() {
  if (FSelection.State() != sstSelected || !PlatformInstalled()) return;
  const std::string text = SelText();
  TClipboard& clipboard = Platform().Clipboard();
  clipboard.Clear();
  clipboard.SetData(CF_TEXT, text);
  if (FSelection.Box()) clipboard.SetData(BoxClipboardFormat(), text + std::string(1, '\0'));
}

void TEditor::CutToClipboard() {
  if (FSelection.State() != sstSelected || FReadOnly) return;
  CopyToClipboard();
  DeleteSelection();
}

void TEditor::PasteFromClipboard() {
  if (FReadOnly || !PlatformInstalled()) return;
  const TClipboard& clipboard = Platform().Clipboard();
  if (!clipboard.HasFormat(CF_TEXT)) return;
  const std::string text = clipboard.GetData(CF_TEXT);
  if (clipboard.HasFormat(BoxClipboardFormat())) {
    BoxPasteText(text);
  } else {
    PasteText(text);
  }
}

// ---- Dropping the selection ----

void TEditor::MoveSelectionTo(int row, int col) {
  if (!CanSelDrag() || IsInSelection(row, col)) {
    CleanSelection();
    return;
  }
  const TEditorSelectionRecord s = FSelection.Range();
  const int count = FRowStore->Count();
  const int first = std::min(s.StartRow, row);
  const int last = std::max(s.EndRow, row);
  // The rows first..last as one text, the drop row filled up to the drop column.
  std::string whole;
  int64_t start = 0;
  int64_t end = 0;
  int64_t drop = 0;
  for (int r = first; r <= last; ++r) {
    std::string text = RowText(r);
    if (r == row) {
      const int64_t dropByte = ColToByte(CellMap(text), col);
      if (dropByte > static_cast<int64_t>(text.size())) text += Blanks(dropByte - static_cast<int64_t>(text.size()));
      drop = static_cast<int64_t>(whole.size()) + dropByte;
    }
    if (r == s.StartRow) start = static_cast<int64_t>(whole.size()) + s.StartByte;
    if (r == s.EndRow) end = static_cast<int64_t>(whole.size()) + s.EndByte + 1;
    whole += text;
    if (r < count) whole += LineEndOf(r);
  }
  const std::string moved = whole.substr(static_cast<size_t>(start), static_cast<size_t>(end - start));
  std::string result;
  int64_t caret = 0;
  if (drop < start) {
    result = whole.substr(0, static_cast<size_t>(drop)) + moved + whole.substr(static_cast<size_t>(drop), static_cast<size_t>(start - drop)) +
             whole.substr(static_cast<size_t>(end));
    caret = drop + static_cast<int64_t>(moved.size());
  } else {
    result = whole.substr(0, static_cast<size_t>(start)) + whole.substr(static_cast<size_t>(end), static_cast<size_t>(drop - end)) + moved +
             whole.substr(static_cast<size_t>(drop));
    caret = drop - (end - start) + static_cast<int64_t>(moved.size());
  }
  const int base = BaseRowOf(first);
  const int64_t offset = OffsetFrom(base, first, 0) + caret;
  TEditHold hold(*this, true);
  CleanSelection();
  ReplaceRows(first, last, result);
  PlaceCaretAtOffset(base, offset);
}

void TEditor::CopySelectionTo(int row, int col) {
  if (!CanSelDrag() || IsInSelection(row, col)) {
    CleanSelection();
    return;
  }
  const std::string text = SelText();
  CleanSelection();
  SetRowCol(row, col);
  PasteText(text);
}

// ---- Undo and redo ----

void TEditor::Undo() {
  if (FReadOnly) return;
  if (RangeExists()) CleanSelection();
  FRowStore->Undo();
}

void TEditor::Redo() {
  if (FReadOnly) return;
  if (RangeExists()) CleanSelection();
  FRowStore->Redo();
}

}  // namespace plomaret
