// The editor control's painting: what a change of the text repaints, the
// invalidation services, and drawing the visible rows.

#include <algorithm>

#include "editor/EditorControl.h"

namespace plomaret {

// ---- The screen updater ----

int TEditorScreen::ClampToView(int row) const {
  return std::clamp(row, FEditor->TopRow(), FEditor->TopRow() + FEditor->RowCount());
}

int TEditorScreen::RowTop(int row) const {
  return FEditor->TopOffset() + (row - FEditor->TopRow()) * FEditor->RowHeight();
}

void TEditorScreen::InvalidateRow(int row) {
  if (!FEditor->HandleAllocated()) return;
  if (row < FEditor->TopRow() || row > FEditor->TopRow() + FEditor->RowCount()) return;
  const int top = RowTop(row);
  FEditor->InvalidateRect({FEditor->LeftOffset(), top, FEditor->ClientWidth(), top + FEditor->FontHeight()});
}

void TEditorScreen::RepaintRows(int first, int last) {
  if (!FEditor->HandleAllocated() || last < first) return;
  const int top = FEditor->TopRow();
  const int bottom = top + FEditor->RowCount();
  if (last < top || first > bottom) return;
  first = ClampToView(first);
  last = ClampToView(last);
  FEditor->InvalidateRect({0, RowTop(first), FEditor->ClientWidth(), RowTop(last) + FEditor->FontHeight()});
  FEditor->Update();
}

void TEditorScreen::InvalidateLeftbarRows(int first, int last) {
  if (!FEditor->HandleAllocated() || !FEditor->Leftbar()->Visible() || last < first) return;
  const int top = FEditor->TopRow();
  if (last < top || first > top + FEditor->RowCount()) return;
  first = ClampToView(first);
  last = ClampToView(last);
  const int left = FEditor->Imagebar()->Visible() ? FEditor->ImagebarWidthNow() : 0;
  FEditor->InvalidateRect({left, RowTop(first), left + FEditor->LeftbarWidth(), RowTop(last) + FEditor->RowHeight()});
  FEditor->Update();
}

void TEditorScreen::ScrollBand(int left, int right, int row, int delta) {
  if (!FEditor->HandleAllocated() || delta == 0 || right <= left) return;
  if (row > FEditor->TopRow() + FEditor->RowCount()) return;
  const int rows = FEditor->RowCount() + 1;
  delta = std::clamp(delta, -rows, rows);
  const int top = RowTop(std::max(row, FEditor->TopRow()));
  FEditor->CaretHide();
  try {
    FEditor->ScrollRect(0, delta * FEditor->RowHeight(), FEditor->ClientRect(), {left, top, right, FEditor->ClientHeight()});
  } catch (...) {
    FEditor->CaretShow();
    throw;
  }
  FEditor->CaretShow();
}

void TEditorScreen::ScrollRowsBelow(int row, int delta) {
  ScrollBand(FEditor->LeftOffset(), FEditor->ClientWidth(), row, delta);
}

void TEditorScreen::ScrollImagebarBelow(int row, int delta) {
  if (!FEditor->Imagebar()->Visible()) return;
  ScrollBand(0, FEditor->ImagebarWidthNow(), row, delta);
}

void TEditorScreen::UpdateAfterChange() {
  const TEditorScreenStrings& store = *FEditor->ScreenStrings();
  if (!store.ChangePending() || !FEditor->HandleAllocated()) return;
  const int r = store.ChangeRow();
  const int a = store.ChangeOldCount();
  const int b = store.ChangeNewCount();
  const int k = store.ChangeParsed();
  const int count = store.Count();
  const int c = r + b + std::max(0, k - b);
  if (std::abs(b - a) > FEditor->RowCount()) {
    FEditor->InvalidateRect({0, FEditor->TopOffset(), FEditor->ClientWidth(), FEditor->ClientHeight()});
    FEditor->Update();
  } else if (a == b) {
    RepaintRows(r, c > count - 1 ? c + 1 : c - 1);
  } else {
    // The rows after the change move first, from where they were to where they are
    // now, so that the repaint of the changed rows is not moved with them.
    const int moved = r + std::min(a, b);
    ScrollImagebarBelow(moved, b - a);
    ScrollRowsBelow(moved, b - a);
    RepaintRows(r, c - 1);
    if (c > count - 1) RepaintRows(c, c + 1);
  }
  const TEditorLeftbar& leftbar = *FEditor->Leftbar();
  if (leftbar.Visible() && leftbar.ShowNumber()) {
    const bool textEndsInWindow = count <= FEditor->TopRow() + FEditor->RowCount();
    if (leftbar.ShowNumberMode() == nmLine || (a != b && textEndsInWindow)) {
      InvalidateLeftbarRows(c, FEditor->TopRow() + FEditor->RowCount());
    }
  }
}

// ---- The caret-row underline ----

void TEditor::HideUnderline() { ++FUnderlineHideCount; }

void TEditor::ShowUnderline() {
  if (FUnderlineHideCount > 0) --FUnderlineHideCount;
}

// ---- Painting ----

void TEditor::Paint() { DrawRows(Canvas()); }

void TEditor::DrawRows(TCanvas& canvas) {
  canvas.Font().Assign(Font());
  canvas.SetBrushColor(Color());
  const TRect clip = canvas.ClipRect();
  const int left = LeftOffset();
  const int width = ClientWidth();
  for (int i = 0; i <= FRowCount; ++i) {
    const int row = FTopRow + i;
    const int top = TopOffset() + i * FRowHeight;
    if (top >= clip.Bottom || top + FRowHeight <= clip.Top) continue;
    if (row >= FList->Count()) break;
    std::string text = RowDisplayText(row);
    if (static_cast<int>(text.size()) <= FTopCol) continue;
    text.erase(0, static_cast<size_t>(FTopCol));
    // A character cut by the left edge shows as a blank.
    const std::string map = CellMap(RowText(row));
    if (FTopCol < static_cast<int>(map.size()) && map[static_cast<size_t>(FTopCol)] == kCellTrail) text[0] = ' ';
    const size_t cells = std::min(FSpacing.size(), static_cast<size_t>(std::max(0, (width - left) / std::max(1, FColWidth) + 2)));
    if (text.size() > cells) text.resize(cells);
    TRect rect{left, top, width, top + FRowHeight};
    DoDrawLine(text, left, top, row, rect, false);
    canvas.ExtTextOut(left, top, 0, rect, text, FSpacing);
  }
}

}  // namespace plomaret
