// The screen updater: what a change of the text repaints, and the invalidation
// services the rest of the control uses.

#include <algorithm>

#include "editor/EditorControl.h"
#include "editor/EditorControl/EditorControlGuards.h"

namespace plomaret {

int TEditorScreen::ClampToView(int row) const {
  return std::clamp(row, FEditor->TopRow(), FEditor->TopRow() + FEditor->RowCount());
}

int TEditorScreen::RowTop(int row) const {
  return FEditor->Metrics().RowTop(row);
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
  const auto hidden = CaretHidden(*FEditor);
  FEditor->ScrollRect(0, delta * FEditor->RowHeight(), FEditor->ClientRect(), {left, top, right, FEditor->ClientHeight()});
}

void TEditorScreen::ScrollRowsBelow(int row, int delta) {
  ScrollBand(FEditor->LeftOffset(), FEditor->ClientWidth(), row, delta);
}

void TEditorScreen::ScrollImagebarBelow(int row, int delta) {
  if (!FEditor->Imagebar()->Visible()) return;
  ScrollBand(0, FEditor->ImagebarWidthNow(), row, delta);
}

bool TEditorScreen::PendingOutside(int first, int end) const {
  const int top = RowTop(ClampToView(first));
  const int bottom = RowTop(ClampToView(end));
  for (const TRect& rect : FEditor->InvalidRegion()) {
    if (rect.Top < top || rect.Bottom > bottom) return true;
  }
  return false;
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
  } else if (PendingOutside(r, c)) {
    // Something below waits to be painted: moving those pixels would carry a picture
    // of the new rows to the old place, so all from row r down is painted instead.
    FEditor->InvalidateRect({0, RowTop(ClampToView(r)), FEditor->ClientWidth(), FEditor->ClientHeight()});
    FEditor->Update();
  } else {
    // The changed rows are painted first; the band from row c down then moves inside
    // itself by the change in rows, so row c + (b - a) gets the pixels of what was row c,
    // and only the strip it uncovers is painted.
    RepaintRows(r, c - 1);
    ScrollImagebarBelow(c, b - a);
    ScrollRowsBelow(c, b - a);
    if (c > count - 1) RepaintRows(c, c + 1);
  }
  const TEditorLeftbar& leftbar = *FEditor->Leftbar();
  if (leftbar.Visible() && leftbar.ShowNumber()) {
    // Rows in the window gain or lose their numbers when the text ended, or ends now,
    // inside it (the row cut by the bottom edge counts).
    const int shorter = std::min(count, count - (b - a));
    const bool textEndsInWindow = shorter <= FEditor->TopRow() + FEditor->RowCount() + 1;
    if (leftbar.ShowNumberMode() == nmLine || (a != b && textEndsInWindow)) {
      InvalidateLeftbarRows(c, FEditor->TopRow() + FEditor->RowCount());
    }
  }
}

}  // namespace plomaret
