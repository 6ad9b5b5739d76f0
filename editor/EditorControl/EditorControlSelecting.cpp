// Selecting in the control: the caret drives the selection range (whole rows from the
// left margin too), and only what changed is repainted when the range moves.

#include <algorithm>

#include "editor/EditorControl.h"
#include "editor/EditorControl/EditorControlGuards.h"

namespace plomaret {

// ---- The rows the selection reads ----

int TEditor::TSelectionView::RowCount() const { return FEditor.FRowStore->Count(); }
std::string_view TEditor::TSelectionView::RowView(int row) const { return FEditor.FRowStore->ViewAt(row); }
TRowAttribute TEditor::TSelectionView::RowEnd(int row) const { return FEditor.FRowStore->RowAttributes(row); }
std::string TEditor::TSelectionView::RowCellMap(int row) const { return FEditor.CellMap(FEditor.RowText(row)); }
int TEditor::TSelectionView::RowEndCol(int row) const { return FEditor.RowEndCol(row); }

// ---- Bytes of rows ----

int TEditor::CaretByte() const {
  const std::string text = RowText(FRow);
  return std::min(static_cast<int>(text.size()), ColToByte(CellMap(text), FCol));
}

int64_t TEditor::RowContribution(int row) const { return FRowStore->OffsetBytes(row); }

std::pair<int, int> TEditor::BoxBytes(int row) const { return FSelection.BoxBytes(row); }

// ---- The state machine ----

void TEditor::StartSelection() {
  if (RangeExists()) CleanSelection();
  if (FRowStore->Count() == 0) return;
  FSelection.Anchor(FRow, FCol, CaretByte());
}

void TEditor::ExtendSelection() {
  if (FSelection.State() == sstAnchored) {
    HideUnderline();  // held until the range is cleaned
    FSelection.Follow();
  } else if (FSelection.State() != sstSelected) {
    return;
  }
  RecomputeRange();
}

void TEditor::RecomputeRange() {
  if (!RangeExists()) return;
  FSelection.Recompute(FRow, FCol, CaretByte());
  if (RangeVisible()) FPainter->RepaintSelectionChange();
  FSelection.MarkPainted();
  DoSelectionChange(true);
}

void TEditor::CleanSelection() {
  if (!RangeExists()) return;
  const bool wasHit = FSelection.State() == sstHitSelected;
  FSelection.Clear();
  if (wasHit && FHitStyle == hsCaret) UpdateCaret();
  const TSelectionRect& range = FSelection.Range().Rect;
  if (HasWindow() && !(range.Top == range.Bottom && range.Left == range.Right)) {
    // The band of the range, from the row above it (its underline space) to the row after it.
    const int top = std::clamp(range.Top - 1, FMetrics.TopRow, FMetrics.TopRow + FMetrics.RowCount);
    const int bottom = std::clamp(range.Bottom + 1, FMetrics.TopRow, FMetrics.TopRow + FMetrics.RowCount + 1);
    const int rowTop = TopOffset() + (top - FMetrics.TopRow) * FMetrics.RowHeight;
    const int rowBottom = TopOffset() + (bottom - FMetrics.TopRow) * FMetrics.RowHeight;
    TScopedValue repainting(FRepaintingCleanedSelection, true, false);
    InvalidateRect({LeftOffset(), rowTop, ClientWidth(), rowBottom});
    Update();
  }
  ShowUnderline();  // the range held it hidden
  FKeptColValid = false;
  DoSelectionChange(false);
}

void TEditor::SetSelectionMode(bool box) {
  if (box == FSelection.Box() || FDragState != dsNone) return;
  FSelection.SetBox(box);
  if (FSelection.State() == sstSelected) {
    // The range takes the new shape.
    if (box) SetCursor(FCaret->Cursors()->DefaultCursor());
    const bool visible = RangeVisible();
    FSelection.SetState(sstHitSelected);  // recompute without an incremental repaint
    RecomputeRangeQuietly();
    FSelection.SetState(sstSelected);
    if (visible && HasWindow()) Invalidate();
  }
  DoSelectionModeChange();
}

void TEditor::RecomputeRangeQuietly() {
  TScopedValue quiet(FHitStyle, hsSelect);  // a hit is not drawn: nothing to repaint piece by piece
  RecomputeRange();
}

// ---- Offsets ----

int TEditor::SelStart() const { return FSelection.Start(FRow, CaretByte()); }

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

int TEditor::SelLength() const { return FSelection.Length(); }

void TEditor::SetSelLength(int length) {
  if (FRowStore->Count() == 0) return;
  if (FSelection.Box()) SetSelectionMode(false);
  if (length <= 0) {
    if (RangeExists()) {
      SetRow(FSelection.Range().Rect.Top);
      SetCol(FSelection.Range().Rect.Left);
      CleanSelection();
    }
    return;
  }
  {
    TScopedValue locked(FCaretUpdateLock, true, false);
    if (RangeExists()) {
      SetRow(FSelection.Range().Rect.Top);
      SetCol(FSelection.Range().Rect.Left);
    }
    StartSelection();
    PlaceCaretAtOffset(FRow, int64_t{CaretByte()} + length);
  }
  UpdateCaret();
  ExtendSelection();
}

std::string TEditor::SelText() const { return FSelection.Text(); }

void TEditor::SelectAll() {
  const auto hidden = CaretHidden(*this);
  int64_t total = 0;
  for (int r = 0, count = FRowStore->Count(); r < count; ++r) {
    total += static_cast<int64_t>(FRowStore->SavedBytes(r));
  }
  SetSelStart(0);
  SetSelLength(static_cast<int>(std::min<int64_t>(total, INT32_MAX)));
}

// ---- Whole rows ----

void TEditor::RowSelectStart(int row) {
  TEditorSelection::TRowSelect& select = FSelection.RowSelect();
  if (FRowStore->Count() == 0) return;
  const int r = FSelection.RowSelectRow(row);
  int end = r;
  if (RowAttribute(r) == raTextEnd) {
    SetRowCol(r, RowEndCol(r));
    StartSelection();
    SetRowCol(r, 0);
    ExtendSelection();
    select.Flag = 1;
  } else {
    SetRowCol(r, 0);
    StartSelection();
    SetRowCol(r + 1, 0);
    ExtendSelection();
    end = r + 1;
    select.Flag = 0;
  }
  // The caret goes back to the row's start; the range stays.
  FRow = r;
  FCol = 0;
  UpdateCaret();
  select.Anchor = r;
  select.End = end;
  select.Active = true;
}

void TEditor::RowSelectMove(int row) {
  TEditorSelection::TRowSelect& select = FSelection.RowSelect();
  if (!select.Active) return;
  const int r = FSelection.RowSelectRow(row);
  const int anchor = select.Anchor;
  int targetRow = r;
  int targetCol = 0;
  if (r >= anchor) {
    if (select.End < anchor && select.Flag == 0) {
      select.Anchor = anchor - 1;
      SetRowCol(anchor - 1, 0);
      StartSelection();
    }
    if (RowAttribute(r) != raTextEnd) {
      targetRow = r + 1;
    } else if (select.Flag == 0) {
      targetCol = RowEndCol(r);
    }
  } else if (anchor < select.End) {
    select.Anchor = anchor + 1;
    SetRowCol(anchor + 1, 0);
    StartSelection();
  }
  SetRowCol(targetRow, targetCol);
  select.End = targetRow;
  ExtendSelection();
}

bool TEditor::IsInSelection(int row, int col) const { return FSelection.Contains(row, col); }

bool TEditor::CanSelDrag() const {
  return !FReadOnly && FSelection.State() == sstSelected && !FSelection.Box() && FCaret->SelMove();
}

// ---- Repainting what the move changed ----





}  // namespace plomaret
