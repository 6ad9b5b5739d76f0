// The selection range over the rows: following the caret, and the range in bytes.

#include "editor/EditorControl/EditorControlSelection.h"

#include <algorithm>
#include <climits>

#include "editor/TextCells.h"

namespace plomaret {

namespace {

char CellAt(const std::string& map, int col) {
  return col >= 0 && col < static_cast<int>(map.size()) ? map[static_cast<size_t>(col)] : '\0';
}

int LineEndBytes(TRowAttribute attribute) { return attribute == raLineEnd ? 2 : 0; }

}  // namespace

// ---- Following the caret ----

void TEditorSelection::Anchor(int row, int col, int byte) {
  TEditorSelectionRecord& s = FRange;
  s.State = sstAnchored;
  s.AnchorRow = row;
  s.AnchorByte = byte;
  s.AnchorCol = FBox ? col : std::min(col, FRows.RowEndCol(row));
  s.StartRow = s.EndRow = row;
  s.StartByte = s.EndByte = byte;
  s.Rect = {row, row, s.AnchorCol, s.AnchorCol};
  s.Previous = s.Rect;
}

void TEditorSelection::Recompute(int row, int col, int caretByte) {
  TEditorSelectionRecord& s = FRange;
  const int c = caretByte;
  s.StartRow = std::min(s.AnchorRow, row);
  s.EndRow = std::max(s.AnchorRow, row);
  if (s.AnchorRow == row) {
    if (s.AnchorByte < c) {
      s.StartByte = s.AnchorByte;
      s.EndByte = c - 1;
    } else {
      s.StartByte = c;
      s.EndByte = s.AnchorByte - 1;
    }
  } else if (s.AnchorRow < row) {
    s.StartByte = s.AnchorByte;
    s.EndByte = c - 1;
  } else {
    s.StartByte = c;
    s.EndByte = s.AnchorByte - 1;
  }
  s.Rect.Top = s.StartRow;
  s.Rect.Bottom = s.EndRow;
  if (FBox) {
    s.Rect.Left = std::min(s.AnchorCol, col);
    s.Rect.Right = std::max(s.AnchorCol, col);
  } else if (s.AnchorRow == row) {
    const int end = FRows.RowEndCol(row);
    s.Rect.Left = std::min(std::min(s.AnchorCol, col), end);
    s.Rect.Right = std::min(std::max(s.AnchorCol, col), end);
  } else if (s.AnchorRow < row) {
    s.Rect.Left = std::min(s.AnchorCol, FRows.RowEndCol(s.AnchorRow));
    s.Rect.Right = std::min(col, FRows.RowEndCol(row));
  } else {
    s.Rect.Left = std::min(col, FRows.RowEndCol(row));
    s.Rect.Right = std::min(s.AnchorCol, FRows.RowEndCol(s.AnchorRow));
  }
}

void TEditorSelection::Clear() {
  FRange.State = sstNone;
  FRange.HitLength = 0;
}

void TEditorSelection::Place(bool box, TEditorSelectionState state, const TSelectionRect& rect) {
  FBox = box;
  FRange.State = state;
  FRange.Rect = rect;
  FRange.Previous = rect;
  FRange.StartRow = rect.Top;
  FRange.EndRow = rect.Bottom;
}

// ---- In bytes ----

int TEditorSelection::Start(int caretRow, int caretByte) const {
  const int count = FRows.RowCount();
  if (count == 0) return 0;
  const int row = Exists() ? FRange.StartRow : caretRow;
  const int byte = Exists() ? FRange.StartByte : caretByte;
  int64_t offset = 0;
  for (int r = 0; r < row && r < count; ++r) {
    offset += static_cast<int64_t>(FRows.RowView(r).size()) + LineEndBytes(FRows.RowEnd(r));
  }
  return static_cast<int>(std::min<int64_t>(offset + byte, INT32_MAX));
}

std::pair<int, int> TEditorSelection::BoxCells(const std::string& map) const {
  // A character belongs to the box when its first cell lies in it.
  int first = FRange.Rect.Left;
  while (CellAt(map, first) == kCellTrail || CellAt(map, first) == kCellTabFill) ++first;
  int last = std::min(FRange.Rect.Right, static_cast<int>(map.size())) - 1;
  while (last >= 0 && CellAt(map, last) == kCellTabFill) --last;
  return {first, last};
}

std::pair<int, int> TEditorSelection::BoxBytes(int row) const {
  const std::string map = FRows.RowCellMap(row);
  const int length = row >= 0 && row < FRows.RowCount() ? static_cast<int>(FRows.RowView(row).size()) : 0;
  if (FRange.Rect.Left >= static_cast<int>(map.size())) return {length, length};
  const auto [first, last] = BoxCells(map);
  if (last < first) return {std::min(length, ColToByte(map, first)), std::min(length, ColToByte(map, first))};
  const int from = std::min(length, ColToByte(map, first));
  int to = std::min(length, ColToByte(map, last) + 1);
  if (CellAt(map, last) == kCellLead) to = std::min(length, to + 1);  // the lead keeps its trail
  return {from, std::max(from, to)};
}

int TEditorSelection::Length() const {
  if (FRange.State != sstSelected) return 0;
  const TEditorSelectionRecord& s = FRange;
  const int count = FRows.RowCount();
  int64_t total = 0;
  if (FBox) {
    for (int r = s.Rect.Top; r <= s.Rect.Bottom && r <= count; ++r) {
      const auto [from, to] = BoxBytes(r);
      total += to - from + 2;
    }
    return static_cast<int>(std::min<int64_t>(total, INT32_MAX));
  }
  if (s.StartRow == s.EndRow) return s.EndByte - s.StartByte + 1;
  for (int r = s.StartRow; r <= s.EndRow && r < count; ++r) {
    const int64_t length = static_cast<int64_t>(FRows.RowView(r).size());
    const int64_t lineEnd = LineEndBytes(FRows.RowEnd(r));
    if (r == s.StartRow) {
      total += length - s.StartByte + lineEnd;
    } else if (r == s.EndRow) {
      total += s.EndByte + 1;
    } else {
      total += length + lineEnd;
    }
  }
  return static_cast<int>(std::min<int64_t>(total, INT32_MAX));
}

std::string TEditorSelection::Text() const {
  if (FRange.State != sstSelected) return {};
  const TEditorSelectionRecord& s = FRange;
  const int count = FRows.RowCount();
  std::string text;
  if (FBox) {
    for (int r = s.Rect.Top; r <= s.Rect.Bottom && r <= count; ++r) {
      // The empty row after a final line end may be a box row: no text, still a line end.
      const auto [from, to] = BoxBytes(r);
      if (r < count) text.append(FRows.RowView(r).substr(static_cast<size_t>(from), static_cast<size_t>(to - from)));
      text += "\r\n";
    }
    return text;
  }
  for (int r = s.StartRow; r <= s.EndRow && r < count; ++r) {
    const std::string_view row = FRows.RowView(r);
    const size_t from = r == s.StartRow ? std::min(row.size(), static_cast<size_t>(std::max(0, s.StartByte))) : 0;
    const size_t to = r == s.EndRow ? std::min(row.size(), static_cast<size_t>(std::max(0, s.EndByte + 1))) : row.size();
    if (to > from) text.append(row.substr(from, to - from));
    if (r != s.EndRow && FRows.RowEnd(r) == raLineEnd) text += "\r\n";
  }
  return text;
}

bool TEditorSelection::Contains(int row, int col) const {
  const TEditorSelectionRecord& s = FRange;
  if (s.State != sstSelected || row < s.Rect.Top || row > s.Rect.Bottom) return false;
  if (!FBox) {
    if (row == s.Rect.Top && col < s.Rect.Left) return false;
    if (row == s.Rect.Bottom && col >= s.Rect.Right) return false;
    return true;
  }
  // In cells: the box's first and last character on the row.
  const std::string map = FRows.RowCellMap(row);
  auto [first, last] = BoxCells(map);
  if (CellAt(map, last) == kCellLead) ++last;
  return col >= first && col <= last;
}

// ---- Whole rows ----

int TEditorSelection::RowSelectRow(int row) const {
  const int count = FRows.RowCount();
  int r = std::min(std::max(row, 0), count);
  if (r == count && count > 0 && FRows.RowEnd(count - 1) == raTextEnd) --r;
  return r;
}

}  // namespace plomaret
