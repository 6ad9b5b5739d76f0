// The mouse: placing the caret, selecting by dragging, whole rows from the left
// margin, dragging the selection to move or copy it, the cursor over each zone, and
// the input held back while the button is down.

#include <cstdlib>

#include "editor/EditorControl.h"
#include "editor/EditorControl/EditorControlGuards.h"
#include "framework/gui/Cursors.h"
#include "framework/gui/Keys.h"
#include "framework/gui/Platform.h"

namespace plomaret {

namespace {

bool Held(int key) { return PlatformInstalled() && Platform().KeyDown(key); }

}  // namespace

void TEditor::ApplyCursorKind(int kind) {
  if (kind == FCursorKind) return;
  FCursorKind = kind;
  if (!FCaret->AutoCursor()) return;
  const TEditorCursors& cursors = *FCaret->Cursors();
  switch (kind) {
    case 0:
      SetCursor(cursors.DefaultCursor());
      break;
    case 1:
      SetCursor(cursors.LeftMarginCursor());
      break;
    case 2:
      SetCursor(cursors.TopMarginCursor());
      break;
    case 3:
      SetCursor(cursors.InSelCursor());
      break;
    case 4:
      SetScreenCursor(cursors.DragSelCursor());
      break;
    default:
      SetScreenCursor(cursors.DragSelCopyCursor());
      break;
  }
}

TPoint TEditor::MouseCell(int x, int y, bool snap) const {
  TPoint cell = PixelToCell(x, y, snap);
  // Above the text the row above is meant, so that the view can scroll up.
  if (y < TopOffset() && FLeftButtonDown) cell.Y = std::max(0, cell.Y - 1);
  return cell;
}

bool TEditor::FarFromPress(int x, int y) const {
  const int distance = FMetrics.ColWidth / 2;
  return std::abs(x - FPressPoint.X) >= distance || std::abs(y - FPressPoint.Y) >= distance;
}

void TEditor::MouseLeftDown(int x, int y, TShiftState shift) {
  if (shift.Contains(ssShift)) {
    if (FSelection.State() != sstSelected) StartSelection();
    const TPoint point = MouseCell(x, y, true);
    SetRowCol(point.Y, point.X);
    ExtendSelection();
    return;
  }
  FPressPoint = {x, y};
  const TPoint cell = MouseCell(x, y, false);
  if (CanSelDrag() && x >= LeftOffset() && IsInSelection(cell.Y, cell.X)) {
    SetRowCol(cell.Y, cell.X);
    if (FCaret->SelDragMode() == dmAutomatic) {
      // The framework's own tracking ends here: moves are a drag, not a selection.
      Perform(WM_LBUTTONUP, 0, MakeLong(x, y));
      FDragState = dsArmed;
    }
    return;
  }
  const TPoint point = MouseCell(x, y, true);
  if (x < LeftOffset() && FCaret->RowSelect()) {
    RowSelectStart(point.Y);
    return;
  }
  const auto hidden = CaretHidden(*this);
  SetRowCol(point.Y, point.X);
  StartSelection();
}

void TEditor::MouseMoveAt(int x, int y) {
  if (FLeftButtonDown) {
    const TPoint point = MouseCell(x, y, true);
    if (FSelection.RowSelect().Active) {
      RowSelectMove(point.Y);
      return;
    }
    SetRowCol(point.Y, point.X);
    if (FSelection.State() == sstSelected || (FSelection.State() == sstAnchored && FarFromPress(x, y))) ExtendSelection();
    return;
  }
  if (FDragState == dsArmed) {
    if (FarFromPress(x, y)) {
      FDragState = dsDragging;
      ApplyCursorKind(Held(VK_CONTROL) ? 5 : 4);
    }
    return;
  }
  if (FDragState == dsDragging) {
    const TPoint cell = MouseCell(x, y, false);
    SetRowCol(cell.Y, cell.X);
    return;
  }
  if (x < LeftOffset()) {
    ApplyCursorKind(1);
  } else if (y < TopOffset()) {
    ApplyCursorKind(2);
  } else {
    const TPoint point = PixelToCell(x, y, true);
    ApplyCursorKind(CanSelDrag() && IsInSelection(point.Y, point.X) ? 3 : 0);
  }
}

void TEditor::MouseLeftUp() {
  if (FDragState == dsDragging) {
    DropSelection();
  } else if (FDragState == dsArmed) {
    CancelDrag();
  } else if (FSelection.RowSelect().Active) {
    EndRowSelect();
  }
}

void TEditor::DropSelection() {
  FDragState = dsNone;
  SetScreenCursor(crDefault);
  ApplyCursorKind(0);
  const TPoint pointer = PlatformInstalled() ? CursorPosInClient() : TPoint{-1, -1};
  if (!ClientRect().Contains(pointer) || IsInSelection(FRow, FCol)) {
    CleanSelection();
    return;
  }
  // Ctrl decides at the release, whatever it was during the drag.
  if (Held(VK_CONTROL)) {
    CopySelectionTo(FRow, FCol);
  } else {
    MoveSelectionTo(FRow, FCol);
  }
}

void TEditor::CancelDrag() {
  FDragState = dsNone;
  if (Held(VK_ESCAPE) && FCaret->AutoCursor()) {
    SetScreenCursor(FCaret->Cursors()->DefaultCursor());
  } else {
    SetScreenCursor(crDefault);
    ApplyCursorKind(0);
  }
  CleanSelection();
}

bool TEditor::FilterWhileMouseDown(TMessage& message) {
  if (FDragState == dsNone && !FLeftButtonDown) return false;
  const uint32_t msg = message.Msg;
  if (msg == WM_KEYDOWN) {
    if (FDragState != dsDragging) return true;  // discarded
    if (message.WParam == VK_CONTROL) ApplyCursorKind(5);
    if (message.WParam == VK_ESCAPE) CancelDrag();
    return false;
  }
  if (msg == WM_KEYUP) {
    if (FDragState == dsDragging && message.WParam == VK_CONTROL) {
      ApplyCursorKind(4);
      return false;
    }
    return true;
  }
  // Characters, and the other buttons, double clicks and the wheel.
  return (msg >= 258 && msg <= 265) || (msg >= 515 && msg <= 522);
}

}  // namespace plomaret
