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
  return FLeftbar->LeftMargin() + digits * FMetrics.ColWidth + FLeftbar->RightMargin() + 2;
}

TViewMetrics TEditor::Metrics() const {
  TViewMetrics metrics = FMetrics;
  metrics.Frame = {FMargin->Top(), FMargin->Left(), FRuler->Visible(), FLeftbar->Visible(), FImagebar->Visible()};
  return metrics;
}

int TEditor::TopOffset() const { return Metrics().TopOffset(); }

int TEditor::LeftOffset() const { return Metrics().LeftOffset(); }

bool TEditor::UpdateLeftbarDigits() {
  int digits = FLeftbar->Column();
  if (HasWindow() && FLeftbar->Visible() && FLeftbar->ShowNumber()) {
    const int count = FRowStore->Count();
    int64_t number = FLeftbar->ShowNumberMode() == nmLine ? int64_t{FLines->Count()} - 1 : int64_t{count} - 1;
    if (RowAttribute(count - 1) != raTextEnd) ++number;
    if (!FLeftbar->ZeroBase()) ++number;
    digits = std::min(8, std::max(FLeftbar->Column(), DecimalDigits(std::max<int64_t>(0, number))));
  }
  const bool changed = digits != FMetrics.LeftbarDigits;
  FMetrics.LeftbarDigits = digits;
  return changed;
}

int TEditor::VerticalLimit() const { return std::max(0, FRowStore->Count() + FMetrics.RowCount - 1); }

// ---- Measuring ----

void TEditor::Measure() {
  if (!HasWindow()) return;
  TCanvas& canvas = Canvas();
  canvas.Font().Assign(Font());
  const TTextMetrics metrics = canvas.TextMetrics();
  FMetrics.FontHeight = metrics.Height + metrics.ExternalLeading;
  FMetrics.ColWidth = metrics.AveCharWidth + FMargin->Character();
  FMetrics.RowHeight = FMargin->UnderlineMargin() + FMetrics.FontHeight + FMargin->Line();
  FSpacing.assign(kColumnLimit + 1, FMetrics.ColWidth);
  // The bars first, so that the rows and columns that fit are counted with the
  // room the bars take now rather than with what they took before.
  if (FRuler->Visible()) FMetrics.RulerHeight = RulerHeight();
  if (FLeftbar->Visible()) {
    UpdateLeftbarDigits();
    FMetrics.LeftbarWidth = LeftbarWidthFor(FMetrics.LeftbarDigits);
  }
  FMetrics.ImagebarWidth = ImagebarWidth();
  const int horizontalBar = ShowsHorizontalBar(FScrollBars) ? GetSystemMetrics(SM_CYHSCROLL) : 0;
  const int verticalBar = ShowsVerticalBar(FScrollBars) ? GetSystemMetrics(SM_CYVSCROLL) : 0;
  FMetrics.RowCount = std::max(1, (Height() - TopOffset() - 5 - horizontalBar) / std::max(1, FMetrics.RowHeight));
  FMetrics.ColCount = std::max(0, (Width() - LeftOffset() - FMetrics.ColWidth / 2 - verticalBar) / std::max(1, FMetrics.ColWidth));
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
  FMetrics.TopRow = std::min(FMetrics.TopRow, verticalLimit);
  FMetrics.TopCol = std::max(0, std::min(FMetrics.TopCol, kColumnLimit - FMetrics.ColCount / 2));
  FMetrics.HorzOffset = FMetrics.TopCol * FMetrics.ColWidth;
  if (ShowsVerticalBar(FScrollBars)) {
    SetScrollInfo(sbVertical, {0, std::max(FMetrics.RowCount, verticalLimit), FMetrics.RowCount, FMetrics.TopRow, FMetrics.TopRow, true});
  }
  if (ShowsHorizontalBar(FScrollBars)) {
    SetScrollInfo(sbHorizontal, {0, FMetrics.ColCount / 2 + kColumnLimit, FMetrics.ColCount, FMetrics.TopCol, FMetrics.TopCol, true});
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
  const int delta = std::clamp(FMetrics.TopRow - newTop, -(FMetrics.RowCount + 1), FMetrics.RowCount + 1);
  FMetrics.TopRow = newTop;
  if (delta * FMetrics.RowHeight != 0) {
    ScrollRect(0, delta * FMetrics.RowHeight, ClientRect(), {0, TopOffset(), ClientWidth(), ClientHeight()});
    TScrollInfo info = ScrollInfo(sbVertical);
    info.Pos = info.TrackPos = FMetrics.TopRow;
    SetScrollInfo(sbVertical, info);
    UpdateImePosition();
    DoTopRowChange();
  }
}

void TEditor::SetTopCol(int col) {
  if (!HasWindow()) return;
  if (FRuler->Visible()) FPainter->EraseRulerMark(FCol);
  {
    const auto hidden = CaretHidden(*this);
    Update();
    const int newCol = std::max(0, std::min(col, kColumnLimit - FMetrics.ColCount / 2));
    const int delta = (FMetrics.TopCol - newCol) * FMetrics.ColWidth;
    FMetrics.TopCol = newCol;
    if (delta != 0) {
      ScrollRect(delta, 0, ClientRect(), {LeftOffset(), 0, ClientWidth(), ClientHeight()});
      TScrollInfo info = ScrollInfo(sbHorizontal);
      info.Pos = info.TrackPos = FMetrics.TopCol;
      SetScrollInfo(sbHorizontal, info);
      UpdateImePosition();
      DoTopColChange();
    }
  }
  // The repaint of the uncovered strip draws the mark only when it lies in the strip.
  if (FRuler->Visible()) FPainter->DrawRulerMark(FCol);
}

void TEditor::ScrollRect(int dx, int dy, const TRect& clip, const TRect& scroll) {
  if (!HasWindow()) return;
  const auto hidden = UnderlineHidden(*this);
  if (!scroll.IsEmpty()) Update();
  FMetrics.HorzOffset -= dx;
  ScrollWindow(dx, dy, scroll.IsEmpty() ? clip : scroll.Intersect(clip));
}

void TEditor::ScrollByRows(int delta) {
  if (FMetrics.TopRow == 0 && delta < 0) {
    SetRow(0);
    return;
  }
  if (RowAttribute(FMetrics.TopRow) == raTextEnd && delta > 0) return;
  const int row = FRow;
  const int top = FMetrics.TopRow;
  const auto hidden = CaretHidden(*this);
  SetTopRow(std::max(0, std::min(FMetrics.TopRow + delta, FRowStore->Count())));
  SetRow(row + FMetrics.TopRow - top);
}

void TEditor::ScrollCaret() {
  if (!HasWindow() || !Focused()) return;
  if (FRow < FMetrics.TopRow) {
    SetTopRow(FRow);
  } else if (FRow > FMetrics.TopRow + FMetrics.RowCount - 1) {
    SetTopRow(FRow - FMetrics.RowCount + 1);
  }
  // Sideways the view jumps by a quarter of its width, so typing does not scroll at every key.
  if (FCol < FMetrics.TopCol) {
    SetTopCol(std::max(0, std::min(FCol, FMetrics.TopCol - FMetrics.ColCount / 4)));
  } else if (FCol > FMetrics.TopCol + FMetrics.ColCount - 1) {
    SetTopCol(std::min(std::max(FCol - FMetrics.ColCount + 1, FMetrics.TopCol + FMetrics.ColCount / 4), kColumnLimit - FMetrics.ColCount / 2));
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
  if (!ScrollDelta(LowWord(message.WParam), 1, FMetrics.RowCount, FMetrics.TopRow, track, VerticalLimit(), delta)) {
    TCustomControl::WndProc(message);
    return;
  }
  if (delta != 0) {
    SetTopRow(FMetrics.TopRow + delta);
    if (FCaret->LockScroll()) SetRow(FRow + delta);
  }
  message.Result = 0;
}

void TEditor::WMHScroll(TMessage& message) {
  int delta = 0;
  const int limit = FMetrics.ColCount / 2 + kColumnLimit;
  if (!ScrollDelta(LowWord(message.WParam), 1, FMetrics.ColCount, FMetrics.TopCol, HighWord(message.WParam), limit, delta)) {
    TCustomControl::WndProc(message);
    return;
  }
  if (delta != 0) SetTopCol(FMetrics.TopCol + delta);
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
