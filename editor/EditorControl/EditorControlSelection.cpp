// The selection: the range that follows the caret from an anchor, in stream or box
// shape; its byte-offset view (SelStart, SelLength, SelText); whole-row selection;
// and the repaint of only what changed when the range moves.

#include <algorithm>

#include "editor/EditorControl.h"
#include "editor/EditorControl/EditorControlGuards.h"

namespace plomaret {

namespace {

char CellAt(const std::string& map, int col) {
  return col >= 0 && col < static_cast<int>(map.size()) ? map[static_cast<size_t>(col)] : '\0';
}

}  // namespace

// ---- Bytes of rows ----

int TEditor::CaretByte() const {
  const std::string text = RowText(FRow);
  return std::min(static_cast<int>(text.size()), ColToByte(CellMap(text), FCol));
}

int64_t TEditor::RowContribution(int row) const { return FRowStore->OffsetBytes(row); }

std::pair<int, int> TEditor::BoxBytes(int row) const {
  const std::string text = RowText(row);
  const std::string map = CellMap(text);
  const int length = static_cast<int>(text.size());
  int first = FSelection.Rect.Left;
  if (first >= static_cast<int>(map.size())) return {length, length};
  // A character belongs to the box when its first cell lies in it.
  while (CellAt(map, first) == kCellTrail || CellAt(map, first) == kCellTabFill) ++first;
  int last = std::min(FSelection.Rect.Right, static_cast<int>(map.size())) - 1;
  while (last >= 0 && CellAt(map, last) == kCellTabFill) --last;
  if (last < first) return {std::min(length, ColToByte(map, first)), std::min(length, ColToByte(map, first))};
  const int from = std::min(length, ColToByte(map, first));
  int to = std::min(length, ColToByte(map, last) + 1);
  if (CellAt(map, last) == kCellLead) to = std::min(length, to + 1);  // the lead keeps its trail
  return {from, std::max(from, to)};
}

// ---- The state machine ----

void TEditor::StartSelection() {
  if (RangeExists()) CleanSelection();
  if (FRowStore->Count() == 0) return;
  FSelection.State = sstAnchored;
  FSelection.AnchorRow = FRow;
  FSelection.AnchorByte = CaretByte();
  FSelection.AnchorCol = FSelectionMode ? FCol : std::min(FCol, RowEndCol(FRow));
  FSelection.StartRow = FSelection.EndRow = FRow;
  FSelection.StartByte = FSelection.EndByte = FSelection.AnchorByte;
  FSelection.Rect = {FRow, FRow, FSelection.AnchorCol, FSelection.AnchorCol};
  FSelection.Previous = FSelection.Rect;
}

void TEditor::ExtendSelection() {
  if (FSelection.State == sstAnchored) {
    HideUnderline();  // held until the range is cleaned
    FSelection.State = FPlacingHit ? sstHitSelected : sstSelected;
  } else if (FSelection.State != sstSelected) {
    return;
  }
  RecomputeRange();
}

void TEditor::RecomputeRange() {
  if (!RangeExists()) return;
  TEditorSelectionRecord& s = FSelection;
  const int c = CaretByte();
  s.StartRow = std::min(s.AnchorRow, FRow);
  s.EndRow = std::max(s.AnchorRow, FRow);
  if (s.AnchorRow == FRow) {
    if (s.AnchorByte < c) {
      s.StartByte = s.AnchorByte;
      s.EndByte = c - 1;
    } else {
      s.StartByte = c;
      s.EndByte = s.AnchorByte - 1;
    }
  } else if (s.AnchorRow < FRow) {
    s.StartByte = s.AnchorByte;
    s.EndByte = c - 1;
  } else {
    s.StartByte = c;
    s.EndByte = s.AnchorByte - 1;
  }
  s.Rect.Top = s.StartRow;
  s.Rect.Bottom = s.EndRow;
  if (FSelectionMode) {
    s.Rect.Left = std::min(s.AnchorCol, FCol);
    s.Rect.Right = std::max(s.AnchorCol, FCol);
  } else if (s.AnchorRow == FRow) {
    const int end = RowEndCol(FRow);
    s.Rect.Left = std::min(std::min(s.AnchorCol, FCol), end);
    s.Rect.Right = std::min(std::max(s.AnchorCol, FCol), end);
  } else if (s.AnchorRow < FRow) {
    s.Rect.Left = std::min(s.AnchorCol, RowEndCol(s.AnchorRow));
    s.Rect.Right = std::min(FCol, RowEndCol(FRow));
  } else {
    s.Rect.Left = std::min(FCol, RowEndCol(FRow));
    s.Rect.Right = std::min(s.AnchorCol, RowEndCol(s.AnchorRow));
  }
  if (RangeVisible()) RepaintSelectionChange();
  s.Previous = s.Rect;
  DoSelectionChange(true);
}

void TEditor::CleanSelection() {
  if (!RangeExists()) return;
  const bool wasHit = FSelection.State == sstHitSelected;
  FSelection.State = sstNone;
  FSelection.HitLength = 0;
  if (wasHit && FHitStyle == hsCaret) UpdateCaret();
  const TSelectionRect& range = FSelection.Rect;
  if (HasWindow() && !(range.Top == range.Bottom && range.Left == range.Right)) {
    // The band of the range, from the row above it (its underline space) to the row after it.
    const int top = std::clamp(range.Top - 1, FTopRow, FTopRow + FRowCount);
    const int bottom = std::clamp(range.Bottom + 1, FTopRow, FTopRow + FRowCount + 1);
    const int rowTop = TopOffset() + (top - FTopRow) * FRowHeight;
    const int rowBottom = TopOffset() + (bottom - FTopRow) * FRowHeight;
    TScopedValue repainting(FRepaintingCleanedSelection, true, false);
    InvalidateRect({LeftOffset(), rowTop, ClientWidth(), rowBottom});
    Update();
  }
  ShowUnderline();  // the range held it hidden
  FKeptColValid = false;
  DoSelectionChange(false);
}

void TEditor::SetSelectionMode(bool box) {
  if (box == FSelectionMode || FDragState != dsNone) return;
  FSelectionMode = box;
  if (FSelection.State == sstSelected) {
    // The range takes the new shape.
    if (box) SetCursor(FCaret->Cursors()->DefaultCursor());
    const bool visible = RangeVisible();
    FSelection.State = sstHitSelected;  // recompute without an incremental repaint
    RecomputeRangeQuietly();
    FSelection.State = sstSelected;
    if (visible && HasWindow()) Invalidate();
  }
  DoSelectionModeChange();
}

void TEditor::RecomputeRangeQuietly() {
  TScopedValue quiet(FHitStyle, hsSelect);  // a hit is not drawn: nothing to repaint piece by piece
  RecomputeRange();
}

// ---- Offsets ----

int TEditor::SelStart() const {
  const int count = FRowStore->Count();
  if (count == 0) return 0;
  const int row = RangeExists() ? FSelection.StartRow : FRow;
  const int byte = RangeExists() ? FSelection.StartByte : CaretByte();
  int64_t offset = 0;
  for (int r = 0; r < row && r < count; ++r) {
    offset += static_cast<int64_t>(FRowStore->ViewAt(r).size()) + (FRowStore->RowAttributes(r) == raLineEnd ? 2 : 0);
  }
  return static_cast<int>(std::min<int64_t>(offset + byte, INT32_MAX));
}

void TEditor::PlaceCaretAtOffset(int row, int64_t offset) {
  const int count = FRowStore->Count();
  for (int r = row; r < count; ++r) {
    const int64_t contribution = RowContribution(r);
    if (offset < contribution || FRowStore->RowAttributes(r) == raTextEnd) {
      const std::string_view text = FRowStore->ViewAt(r);
      const size_t bytes = static_cast<size_t>(std::clamp<int64_t>(offset, 0, static_cast<int64_t>(text.size())));
      SetRow(r);
      SetCol(std::min(DisplayWidth(text.substr(0, bytes)), RowEndCol(r)));
      return;
    }
    offset -= contribution;
  }
  SetRow(count);
  SetCol(RowEndCol(FRow));
}

void TEditor::SetSelStart(int offset) {
  CleanSelection();
  if (FRowStore->Count() == 0) return;
  if (offset <= 0) {
    SetRowCol(0, 0);
    return;
  }
  PlaceCaretAtOffset(0, offset);
}

int TEditor::SelLength() const {
  if (FSelection.State != sstSelected) return 0;
  const TEditorSelectionRecord& s = FSelection;
  if (FSelectionMode) {
    int64_t total = 0;
    for (int r = s.Rect.Top; r <= s.Rect.Bottom && r <= FRowStore->Count(); ++r) {
      const auto [from, to] = BoxBytes(r);
      total += to - from + 2;
    }
    return static_cast<int>(std::min<int64_t>(total, INT32_MAX));
  }
  if (s.StartRow == s.EndRow) return s.EndByte - s.StartByte + 1;
  const int count = FRowStore->Count();
  int64_t total = 0;
  for (int r = s.StartRow; r <= s.EndRow && r < count; ++r) {
    const int64_t length = static_cast<int64_t>(FRowStore->ViewAt(r).size());
    const int64_t lineEnd = FRowStore->RowAttributes(r) == raLineEnd ? 2 : 0;
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

void TEditor::SetSelLength(int length) {
  if (FRowStore->Count() == 0) return;
  if (FSelectionMode) SetSelectionMode(false);
  if (length <= 0) {
    if (RangeExists()) {
      SetRow(FSelection.Rect.Top);
      SetCol(FSelection.Rect.Left);
      CleanSelection();
    }
    return;
  }
  {
    TScopedValue locked(FCaretUpdateLock, true, false);
    if (RangeExists()) {
      SetRow(FSelection.Rect.Top);
      SetCol(FSelection.Rect.Left);
    }
    StartSelection();
    PlaceCaretAtOffset(FRow, int64_t{CaretByte()} + length);
  }
  UpdateCaret();
  ExtendSelection();
}

std::string TEditor::SelText() const {
  if (FSelection.State != sstSelected) return {};
  const TEditorSelectionRecord& s = FSelection;
  std::string text;
  if (FSelectionMode) {
    const int count = FRowStore->Count();
    for (int r = s.Rect.Top; r <= s.Rect.Bottom && r <= count; ++r) {
      // The empty row after a final line end may be a box row: no text, still a line end.
      const auto [from, to] = BoxBytes(r);
      if (r < count) text.append(FRowStore->ViewAt(r).substr(static_cast<size_t>(from), static_cast<size_t>(to - from)));
      text += "\r\n";
    }
    return text;
  }
  const int count = FRowStore->Count();
  for (int r = s.StartRow; r <= s.EndRow && r < count; ++r) {
    const std::string_view row = FRowStore->ViewAt(r);
    const size_t from = r == s.StartRow ? std::min(row.size(), static_cast<size_t>(std::max(0, s.StartByte))) : 0;
    const size_t to = r == s.EndRow ? std::min(row.size(), static_cast<size_t>(std::max(0, s.EndByte + 1))) : row.size();
    if (to > from) text.append(row.substr(from, to - from));
    if (r != s.EndRow && FRowStore->RowAttributes(r) == raLineEnd) text += "\r\n";
  }
  return text;
}

void TEditor::SelectAll() {
  const auto hidden = CaretHidden(*this);
  int64_t total = 0;
  for (int r = 0, count = FRowStore->Count(); r < count; ++r) {
    total += static_cast<int64_t>(FRowStore->ViewAt(r).size()) + (FRowStore->RowAttributes(r) == raLineEnd ? 2 : 0);
  }
  SetSelStart(0);
  SetSelLength(static_cast<int>(std::min<int64_t>(total, INT32_MAX)));
}

// ---- Whole rows ----

int TEditor::RowSelectRow(int row) const {
  const int count = FRowStore->Count();
  int r = std::min(std::max(row, 0), count);
  if (r == count && count > 0 && FRowStore->RowAttributes(count - 1) == raTextEnd) --r;
  return r;
}

void TEditor::RowSelectStart(int row) {
  if (FRowStore->Count() == 0) return;
  const int r = RowSelectRow(row);
  int end = r;
  if (RowAttribute(r) == raTextEnd) {
    SetRowCol(r, RowEndCol(r));
    StartSelection();
    SetRowCol(r, 0);
    ExtendSelection();
    FRowSelectFlag = 1;
  } else {
    SetRowCol(r, 0);
    StartSelection();
    SetRowCol(r + 1, 0);
    ExtendSelection();
    end = r + 1;
    FRowSelectFlag = 0;
  }
  // The caret goes back to the row's start; the range stays.
  FRow = r;
  FCol = 0;
  UpdateCaret();
  FRowSelectAnchor = r;
  FRowSelectEnd = end;
  FRowSelecting = true;
}

void TEditor::RowSelectMove(int row) {
  if (!FRowSelecting) return;
  const int r = RowSelectRow(row);
  const int anchor = FRowSelectAnchor;
  int targetRow = r;
  int targetCol = 0;
  if (r >= anchor) {
    if (FRowSelectEnd < anchor && FRowSelectFlag == 0) {
      FRowSelectAnchor = anchor - 1;
      SetRowCol(anchor - 1, 0);
      StartSelection();
    }
    if (RowAttribute(r) != raTextEnd) {
      targetRow = r + 1;
    } else if (FRowSelectFlag == 0) {
      targetCol = RowEndCol(r);
    }
  } else if (anchor < FRowSelectEnd) {
    FRowSelectAnchor = anchor + 1;
    SetRowCol(anchor + 1, 0);
    StartSelection();
  }
  SetRowCol(targetRow, targetCol);
  FRowSelectEnd = targetRow;
  ExtendSelection();
}

bool TEditor::IsInSelection(int row, int col) const {
  const TEditorSelectionRecord& s = FSelection;
  if (s.State != sstSelected || row < s.Rect.Top || row > s.Rect.Bottom) return false;
  if (!FSelectionMode) {
    if (row == s.Rect.Top && col < s.Rect.Left) return false;
    if (row == s.Rect.Bottom && col >= s.Rect.Right) return false;
    return true;
  }
  // In cells: the box's first and last character on the row.
  const std::string map = CellMap(RowText(row));
  int first = s.Rect.Left;
  while (CellAt(map, first) == kCellTrail || CellAt(map, first) == kCellTabFill) ++first;
  int last = std::min(s.Rect.Right, static_cast<int>(map.size())) - 1;
  while (last >= 0 && CellAt(map, last) == kCellTabFill) --last;
  if (CellAt(map, last) == kCellLead) ++last;
  return col >= first && col <= last;
}

bool TEditor::CanSelDrag() const {
  return !FReadOnly && FSelection.State == sstSelected && !FSelectionMode && FCaret->SelMove();
}

// ---- Repainting what the move changed ----

void TEditor::DrawRowCells(int row, int fromX, int toX, bool selected) {
  if (!HasWindow() || row < FTopRow || row > FTopRow + FRowCount || row >= FRowStore->Count()) return;
  const int left = std::max(fromX, LeftOffset());
  const int right = std::min(toX, ClientWidth());
  if (right <= left) return;
  const int y = TopOffset() + (row - FTopRow) * FRowHeight;
  // Rows under a range are drawn with their underline space, which it keeps clear.
  const TRect rect{left, y, right, y + FFontHeight + FMargin->UnderlineMargin()};
  TOwned<TFountainParser> parser = ActiveFountain()->CreateParser();
  DrawRowPiece(rect, left, right, LeftOffset() - FTopCol * FColWidth, *parser, row, RowDisplayText(row), y, selected);
}

void TEditor::DrawRowsCells(int first, int last, int fromX, int toX, bool selected) {
  for (int row = std::max(first, FTopRow); row <= last && row <= FTopRow + FRowCount; ++row) {
    if (selected && FSelectionMode) {
      DrawBoxRowCells(row, fromX, toX);
    } else {
      DrawRowCells(row, fromX, toX, selected);
    }
  }
}

void TEditor::DrawBoxRowCells(int row, int fromX, int toX) {
  // As a full paint draws the box on this row: ending with the row's text, a trail
  // half taking its whole character.
  const std::string map = CellMap(RowText(row));
  const int length = static_cast<int>(RowDisplayText(row).size());
  auto fit = [&](int col) {
    col = std::min(col, length);
    if (col < static_cast<int>(map.size()) && map[static_cast<size_t>(col)] == kCellTrail) ++col;
    return col;
  };
  const int left = ColumnToX(fit(FSelection.Rect.Left));
  const int right = ColumnToX(fit(FSelection.Rect.Right));
  DrawRowCells(row, fromX, std::min(toX, left), false);
  DrawRowCells(row, std::max(fromX, left), std::min(toX, right), true);
  DrawRowCells(row, std::max(fromX, right), toX, false);
}

void TEditor::RepaintSelectionChange() {
  const TSelectionRect& now = FSelection.Rect;
  const TSelectionRect& old = FSelection.Previous;
  if (!HasWindow() || now == old) return;
  const int T = now.Top, B = now.Bottom, L = now.Left, R = now.Right;
  const int oT = old.Top, oB = old.Bottom, oL = old.Left, oR = old.Right;
  const int A = FSelection.AnchorCol;
  const int textLeft = LeftOffset();
  const int edge = ClientWidth();
  const int count = FRowStore->Count();
  auto x = [&](int col) { return ColumnToX(col); };
  const auto hidden = CaretHidden(*this);
  if (FSelectionMode) {
    // Rows that left the box, then every box row whose columns changed or that
    // entered it, drawn as a full paint draws the box there (a double-byte
    // character at an edge is taken whole, the box ends with the row's text).
    if (B < oB) DrawRowsCells(B + 1, oB, textLeft, edge, false);
    if (oT < T) DrawRowsCells(oT, T - 1, textLeft, edge, false);
    const bool columnsChanged = L != oL || R != oR;
    const int from = x(std::min(L, oL)) - FColWidth;
    const int to = x(std::max(R, oR)) + 2 * FColWidth;
    for (int row = std::max(T, FTopRow); row <= B && row <= FTopRow + FRowCount; ++row) {
      if (columnsChanged || row < oT || row > oB) DrawBoxRowCells(row, from, to);
    }
  } else {
    bool complete = false;
    if (B < oB) {
      DrawRowCells(B, x(R), edge, false);
      DrawRowsCells(B + 1, oB, textLeft, edge, false);
      complete = oT < B;
    } else if (oT < T) {
      DrawRowsCells(oT, T - 1, textLeft, edge, false);
      DrawRowCells(T, textLeft, x(L), false);
      complete = oB < T;
    } else if (oT == oB && ((oL < A && oB < B) || (A < oR && T < oT))) {
      DrawRowCells(oT, x(oL), x(oR), false);
    }
    if (!complete && T == oT && B == oB) {
      if (R < oR && B < count) {
        DrawRowCells(B, x(R), x(oR), false);
      } else if (oL < L) {
        DrawRowCells(T, x(oL), x(L), false);
      }
    }
    if (!complete) {
      if (oB < B) {
        if (oB == T) {
          DrawRowCells(oB, x(L), edge, true);
        } else {
          DrawRowCells(oB, x(oR), edge, true);
        }
        DrawRowsCells(oB + 1, B - 1, textLeft, edge, true);
        DrawRowCells(B, textLeft, x(R), true);
      } else if (T < oT) {
        DrawRowCells(T, x(L), edge, true);
        DrawRowsCells(T + 1, oT - 1, textLeft, edge, true);
        if (oT == B) {
          DrawRowCells(oT, textLeft, x(R), true);
        } else {
          DrawRowCells(oT, textLeft, x(oL), true);
        }
      } else if (T == B && ((L < A && B < oB) || (A < R && oT < T))) {
        DrawRowCells(T, x(L), x(R), true);
      } else if (T == oT && B == oB) {
        if (oR < R && B < count) {
          DrawRowCells(B, x(oR), x(R), true);
        } else if (L < oL) {
          DrawRowCells(T, x(L), x(oL), true);
        }
      }
    }
  }
}

}  // namespace plomaret
