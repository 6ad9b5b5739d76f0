// The editor control's view: how big a cell and a row are, where the text area
// starts, how many rows and columns fit, the scroll bars, and moving the view.
// Scrolling moves the window's pixels and paints only the strip it uncovers.

#include <algorithm>

#include "editor/EditorControl.h"
#include "editor/EditorControl/EditorControlGuards.h"
#include "framework/gui/Platform.h"

namespace plomaret {

namespace {

int DecimalDigits(int64_t value) {
  int digits = 1;
  while (value >= 10) {
    value /= 10;
    ++digits;
  }
  return digits;
}

bool ShowsHorizontalBar(TScrollStyle style) { return style == ssHorizontal || style == ssBoth; }
bool ShowsVerticalBar(TScrollStyle style) { return style == ssVertical || style == ssBoth; }

}  // namespace

// ---- Sizes of the bars and offsets ----

int TEditor::ImagebarWidth() const {
  if (!FImagebar->Visible()) return 0;
  return FImagebar->LeftMargin() + FImagebar->DigitWidth() + FImagebar->MarkWidth() + FImagebar->RightMargin();
}

int TEditor::RulerHeight() const {
  if (!FRuler->Visible()) return 0;
  return FRuler->Edge() ? 11 : 10;
}

int TEditor::LeftbarWidthFor(int digits) const {
  if (!FLeftbar->Visible()) return 0;
  return FLeftbar->LeftMargin() + digits * FColWidth + FLeftbar->RightMargin() + 2;
}

int TEditor::TopOffset() const { return FMargin->Top() + (FRuler->Visible() ? FRulerHeight : 0); }

int TEditor::LeftOffset() const {
  return FMargin->Left() + (FImagebar->Visible() ? FImagebarWidth : 0) + (FLeftbar->Visible() ? FLeftbarWidth : 0);
}

bool TEditor::UpdateLeftbarDigits() {
  int digits = FLeftbar->Column();
  if (HasWindow() && FLeftbar->Visible() && FLeftbar->ShowNumber()) {
    const int count = FRowStore->Count();
    int64_t number = FLeftbar->ShowNumberMode() == nmLine ? int64_t{FLines->Count()} - 1 : int64_t{count} - 1;
    if (RowAttribute(count - 1) != raTextEnd) ++number;
    if (!FLeftbar->ZeroBase()) ++number;
    digits = std::min(8, std::max(FLeftbar->Column(), DecimalDigits(std::max<int64_t>(0, number))));
  }
  const bool changed = digits != FLeftbarDigits;
  FLeftbarDigits = digits;
  return changed;
}

int TEditor::VerticalLimit() const { return std::max(0, FRowStore->Count() + FRowCount - 1); }

// ---- Measuring ----

void TEditor::Measure() {
  if (!HasWindow()) return;
  TCanvas& canvas = Canvas();
  canvas.Font().Assign(Font());
  const TTextMetrics metrics = canvas.TextMetrics();
  FFontHeight = metrics.Height + metrics.ExternalLeading;
  FColWidth = metrics.AveCharWidth + FMargin->Character();
  FRowHeight = FMargin->UnderlineMargin() + FFontHeight + FMargin->Line();
  FSpacing.assign(kColumnLimit + 1, FColWidth);
  // The bars first, so that the rows and columns that fit are counted with the
  // room the bars take now rather than with what they took before.
  if (FRuler->Visible()) FRulerHeight = RulerHeight();
  if (FLeftbar->Visible()) {
    UpdateLeftbarDigits();
    FLeftbarWidth = LeftbarWidthFor(FLeftbarDigits);
  }
  FImagebarWidth = ImagebarWidth();
  const int horizontalBar = ShowsHorizontalBar(FScrollBars) ? GetSystemMetrics(SM_CYHSCROLL) : 0;
  const int verticalBar = ShowsVerticalBar(FScrollBars) ? GetSystemMetrics(SM_CYVSCROLL) : 0;
  FRowCount = std::max(1, (Height() - TopOffset() - 5 - horizontalBar) / std::max(1, FRowHeight));
  FColCount = std::max(0, (Width() - LeftOffset() - FColWidth / 2 - verticalBar) / std::max(1, FColWidth));
  TFountain* fountain = ActiveFountain();
  FItalicCare = Font().Style().Contains(fsItalic) || (fountain != nullptr && fountain->HasItalic(fountain));
}

// ---- Scroll bars ----

void TEditor::ApplyScrollBarVisibility() {
  const bool wanted[2] = {ShowsHorizontalBar(FScrollBars), ShowsVerticalBar(FScrollBars)};
  for (TScrollBarKind bar : {sbHorizontal, sbVertical}) {
    TScrollInfo info = ScrollInfo(bar);
    if (info.Visible == wanted[bar]) continue;
    info.Visible = wanted[bar];
    SetScrollInfo(bar, info);
  }
}

void TEditor::UpdateScrollBars() {
  if (!HasWindow()) return;
  const int verticalLimit = VerticalLimit();
  FTopRow = std::min(FTopRow, verticalLimit);
  FTopCol = std::max(0, std::min(FTopCol, kColumnLimit - FColCount / 2));
  FHorzOffset = FTopCol * FColWidth;
  if (ShowsVerticalBar(FScrollBars)) {
    SetScrollInfo(sbVertical, {0, std::max(FRowCount, verticalLimit), FRowCount, FTopRow, FTopRow, true});
  }
  if (ShowsHorizontalBar(FScrollBars)) {
    SetScrollInfo(sbHorizontal, {0, FColCount / 2 + kColumnLimit, FColCount, FTopCol, FTopCol, true});
  }
}

void TEditor::SetScrollBars(TScrollStyle value) {
  if (value == FScrollBars) return;
  FScrollBars = value;
  if (!HasWindow()) return;
  ApplyScrollBarVisibility();
  Measure();
  UpdateScrollBars();
}

// ---- Moving the view ----

void TEditor::SetTopRow(int row) {
  if (!HasWindow()) return;
  const auto caretHidden = CaretHidden(*this);
  const auto underlineHidden = UnderlineHidden(*this);
  // What waits to be painted is painted at the old place first, or the move would
  // carry a picture of the new rows to where the old ones were.
  Update();
  const int newTop = std::max(0, std::min(row, FRowStore->Count()));
  const int delta = std::clamp(FTopRow - newTop, -(FRowCount + 1), FRowCount + 1);
  FTopRow = newTop;
  if (delta * FRowHeight != 0) {
    ScrollRect(0, delta * FRowHeight, ClientRect(), {0, TopOffset(), ClientWidth(), ClientHeight()});
    TScrollInfo info = ScrollInfo(sbVertical);
    info.Pos = info.TrackPos = FTopRow;
    SetScrollInfo(sbVertical, info);
    UpdateImePosition();
    DoTopRowChange();
  }
}

void TEditor::SetTopCol(int col) {
  if (!HasWindow()) return;
  if (FRuler->Visible()) EraseRulerMark(FCol);
  {
    const auto hidden = CaretHidden(*this);
    Update();
    const int newCol = std::max(0, std::min(col, kColumnLimit - FColCount / 2));
    const int delta = (FTopCol - newCol) * FColWidth;
    FTopCol = newCol;
    if (delta != 0) {
      ScrollRect(delta, 0, ClientRect(), {LeftOffset(), 0, ClientWidth(), ClientHeight()});
      TScrollInfo info = ScrollInfo(sbHorizontal);
      info.Pos = info.TrackPos = FTopCol;
      SetScrollInfo(sbHorizontal, info);
      UpdateImePosition();
      DoTopColChange();
    }
  }
  // The repaint of the uncovered strip draws the mark only when it lies in the strip.
  if (FRuler->Visible()) DrawRulerMark(FCol);
}

void TEditor::ScrollRect(int dx, int dy, const TRect& clip, const TRect& scroll) {
  if (!HasWindow()) return;
  const auto hidden = UnderlineHidden(*this);
  if (!scroll.IsEmpty()) Update();
  FHorzOffset -= dx;
  ScrollWindow(dx, dy, scroll.IsEmpty() ? clip : scroll.Intersect(clip));
}

void TEditor::ScrollByRows(int delta) {
  if (FTopRow == 0 && delta < 0) {
    SetRow(0);
    return;
  }
  if (RowAttribute(FTopRow) == raTextEnd && delta > 0) return;
  const int row = FRow;
  const int top = FTopRow;
  const auto hidden = CaretHidden(*this);
  SetTopRow(std::max(0, std::min(FTopRow + delta, FRowStore->Count())));
  SetRow(row + FTopRow - top);
}

void TEditor::ScrollCaret() {
  if (!HasWindow() || !Focused()) return;
  if (FRow < FTopRow) {
    SetTopRow(FRow);
  } else if (FRow > FTopRow + FRowCount - 1) {
    SetTopRow(FRow - FRowCount + 1);
  }
  // Sideways the view jumps by a quarter of its width, so typing does not scroll at every key.
  if (FCol < FTopCol) {
    SetTopCol(std::max(0, std::min(FCol, FTopCol - FColCount / 4)));
  } else if (FCol > FTopCol + FColCount - 1) {
    SetTopCol(std::min(std::max(FCol - FColCount + 1, FTopCol + FColCount / 4), kColumnLimit - FColCount / 2));
  }
}

// ---- Scroll messages ----

namespace {

// The view's move for a scroll-bar request; false for a code it does not know.
bool ScrollDelta(int code, int line, int page, int position, int track, int limit, int& delta) {
  switch (code) {
    case SB_LINEUP:
      delta = -line;
      break;
    case SB_LINEDOWN:
      delta = line;
      break;
    case SB_PAGEUP:
      delta = std::min(-1, -page);
      break;
    case SB_PAGEDOWN:
      delta = std::max(1, page);
      break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
      delta = track - position;
      break;
    case SB_TOP:
      delta = -position;
      break;
    case SB_BOTTOM:
      delta = limit - position;
      break;
    default:
      return false;
  }
  delta = std::clamp(delta, -position, limit - position);
  return true;
}

}  // namespace

void TEditor::WMVScroll(TMessage& message) {
  int delta = 0;
  const int track = ScrollInfo(sbVertical).TrackPos;
  if (!ScrollDelta(LowWord(message.WParam), 1, FRowCount, FTopRow, track, VerticalLimit(), delta)) {
    TCustomControl::WndProc(message);
    return;
  }
  if (delta != 0) {
    SetTopRow(FTopRow + delta);
    if (FCaret->LockScroll()) SetRow(FRow + delta);
  }
  message.Result = 0;
}

void TEditor::WMHScroll(TMessage& message) {
  int delta = 0;
  const int limit = FColCount / 2 + kColumnLimit;
  if (!ScrollDelta(LowWord(message.WParam), 1, FColCount, FTopCol, HighWord(message.WParam), limit, delta)) {
    TCustomControl::WndProc(message);
    return;
  }
  if (delta != 0) SetTopCol(FTopCol + delta);
  message.Result = 0;
}

void TEditor::WMSize(TMessage& message) {
  Measure();
  UpdateScrollBars();
  Invalidate();
  message.Result = 0;
}

int TEditor::ScreenHeight() const { return GetSystemMetrics(SM_CYSCREEN); }

}  // namespace plomaret
