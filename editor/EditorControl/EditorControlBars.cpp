// The bars around the text: the imagebar with the row marks, the leftbar with row or
// line numbers, the ruler with its gauge, numbers and the caret's column, and the
// corner. Each is drawn by copying prepared pictures; the row marks live here too.

#include <algorithm>

#include "editor/EditorControl.h"
#include "editor/EditorUtils.h"
#include "framework/gui/Platform.h"

namespace plomaret {

namespace {

// The ruler's digits: 4 x 7 strokes ('#') each, drawn from the second pixel row.
constexpr const char* kDigitGlyphs[10][7] = {
    {".##.", "#..#", "#..#", "#..#", "#..#", "#..#", ".##."},  // 0
    {".#..", "##..", ".#..", ".#..", ".#..", ".#..", ".#.."},  // 1: two columns wide
    {".##.", "#..#", "...#", "..#.", ".#..", "#...", "####"},  // 2
    {"###.", "...#", "...#", ".##.", "...#", "...#", "###."},  // 3
    {"..#.", ".##.", "#.#.", "#.#.", "####", "..#.", "..#."},  // 4
    {"####", "#...", "###.", "...#", "...#", "#..#", ".##."},  // 5
    {".##.", "#...", "#...", "###.", "#..#", "#..#", ".##."},  // 6
    {"####", "...#", "..#.", "..#.", ".#..", ".#..", ".#.."},  // 7
    {".##.", "#..#", "#..#", ".##.", "#..#", "#..#", ".##."},  // 8
    {".##.", "#..#", "#..#", ".###", "...#", "...#", ".##."},  // 9
};
constexpr int kDigitPitch = 5;
constexpr int kDigitHeight = 9;

void FillRaster(TRaster& raster, int width, int height, TColor color) { raster.Resize(width, height, PixelOf(color)); }

}  // namespace

// ---- Colours ----

TColor TEditor::LeftbarBackground() const { return FLeftbar->BkColor() == clNone ? Color() : FLeftbar->BkColor(); }
TColor TEditor::LeftbarNumberColor() const { return FLeftbar->Color() == clNone ? Font().Color() : FLeftbar->Color(); }
TColor TEditor::RulerBackground() const { return FRuler->BkColor() == clNone ? Color() : FRuler->BkColor(); }
TColor TEditor::RulerForeground() const { return FRuler->Color() == clNone ? Font().Color() : FRuler->Color(); }
TColor TEditor::RulerMarkColor() const { return FRuler->MarkColor() == clNone ? Font().Color() : FRuler->MarkColor(); }

// ---- The pictures ----

void TEditor::CreateDrawingObjects() {
  FImages = std::make_unique<TEditorImages>();
  TRaster& font = FImages->DigitFont.Raster();
  font.Resize(56, kDigitHeight, PixelOf(clWhite));
  for (int digit = 0; digit < 10; ++digit) {
    for (int y = 0; y < 7; ++y) {
      for (int x = 0; x < 4; ++x) {
        if (kDigitGlyphs[digit][y][x] == '#') font.SetPixel(digit * kDigitPitch + x, y + 1, 0);
      }
    }
  }
}

void TEditor::FreeDrawingObjects() { FImages.reset(); }

void TEditor::RebuildBackground() {
  if (!FImages || !HasWindow()) return;
  const int textLeft = LeftOffset();
  const int textTop = TopOffset();
  TRaster& corner = FImages->Corner.Raster();
  FillRaster(corner, textLeft, textTop, Color());
  const int barsRight = (FImagebar->Visible() ? FMetrics.ImagebarWidth : 0) + (FLeftbar->Visible() ? FMetrics.LeftbarWidth : 0);
  int rulerFrom = 0;
  if (FLeftbar->Visible() && FLeftbar->Edge()) {
    corner.FillRect({0, 0, barsRight, textTop}, PixelOf(LeftbarBackground()));
    corner.Copy(FImages->LeftbarEdge.Raster(), FImages->LeftbarEdge.Raster().Bounds(), {barsRight - 2, 0});
    rulerFrom = barsRight;
  }
  if (FRuler->Visible() && FRuler->Edge()) {
    corner.FillRect({rulerFrom, 0, textLeft, FMetrics.RulerHeight}, PixelOf(RulerBackground()));
    corner.Copy(FImages->RulerEdge.Raster(), FImages->RulerEdge.Raster().Bounds(), {rulerFrom - 1, FMetrics.RulerHeight - 2});
  }
}

void TEditor::RebuildLeftbarEdge() {
  if (!FImages) return;
  TRaster& edge = FImages->LeftbarEdge.Raster();
  edge.Resize(2, GetSystemMetrics(SM_CYSCREEN));
  const bool raised = FLeftbar->Edge();
  edge.FillRect({0, 0, 1, edge.Height()}, PixelOf(raised ? clWhite : LeftbarBackground()));
  edge.FillRect({1, 0, 2, edge.Height()}, raised ? 0x808080 : PixelOf(LeftbarNumberColor()));
  RebuildBackground();
}

void TEditor::BuildRulerDigitImages() {
  const TRaster& font = FImages->DigitFont.Raster();
  const TPixel background = PixelOf(RulerBackground());
  const TPixel mark = PixelOf(RulerMarkColor());
  TRaster& digits = FImages->RulerDigits.Raster();
  TRaster& markDigits = FImages->MarkDigits.Raster();
  digits.Resize(font.Width(), font.Height());
  markDigits.Resize(font.Width(), font.Height());
  digits.CopyMonochrome(font, font.Bounds(), {0, 0}, PixelOf(RulerForeground()), background);
  markDigits.CopyMonochrome(font, font.Bounds(), {0, 0}, background, mark);
}

void TEditor::RebuildRulerImages() {
  if (!FImages) return;
  TRaster& edge = FImages->RulerEdge.Raster();
  edge.Resize(GetSystemMetrics(SM_CXSCREEN), 2);
  edge.FillRect({0, 0, edge.Width(), 1}, PixelOf(clWhite));
  edge.FillRect({0, 1, edge.Width(), 2}, 0x808080);
  BuildRulerDigitImages();
  const int gauge = FRuler->GaugeRange() * std::max(1, FMetrics.ColWidth);
  const int width = gauge * (GetSystemMetrics(SM_CXSCREEN) / gauge + 2);
  const int height = RulerHeight() > 0 ? RulerHeight() : (FRuler->Edge() ? 11 : 10);
  TRaster& ticks = FImages->Ticks.Raster();
  FillRaster(ticks, width, height, RulerBackground());
  const TPixel ink = PixelOf(RulerForeground());
  const int range = FRuler->GaugeRange();
  for (int d = 0; d < range; ++d) {
    const int top = d == 0 ? 0 : d == range / 2 ? 3 : 6;
    const int x = d * FMetrics.ColWidth;
    ticks.FillRect({x, top, x + 1, height - 2}, ink);
  }
  if (FRuler->Edge()) {
    ticks.Copy(edge, {0, 0, gauge, 2}, {0, height - 2});
  } else {
    ticks.FillRect({0, height - 1, gauge, height}, ink);
  }
  for (int x = gauge; x < width; x += gauge) ticks.Copy(ticks, {0, 0, gauge, height}, {x, 0});
  RebuildBackground();
}

void TEditor::BuildRulerNumbers() {
  const int range = FRuler->GaugeRange();
  const int gauge = range * FMetrics.ColWidth;
  TRaster& ruler = FImages->RulerImage.Raster();
  TRaster& markRuler = FImages->MarkRulerImage.Raster();
  const TRaster& ticks = FImages->Ticks.Raster();
  ruler = ticks;
  FillRaster(markRuler, ticks.Width(), ticks.Height(), RulerMarkColor());
  const int clearBottom = ticks.Height() - (FRuler->Edge() ? 2 : 1);
  int number = range * (FMetrics.TopCol / range);
  for (int x = 1; x < ruler.Width() && gauge > 0; x += gauge, number += range) {
    const bool last = number > 999;
    if (last) {
      // The last number: nothing of the gauge follows it.
      ruler.FillRect({x, 0, ruler.Width(), clearBottom}, PixelOf(RulerBackground()));
    }
    int at = x;
    for (char c : std::to_string(number)) {
      const int digit = c - '0';
      const int width = digit == 1 ? 3 : kDigitPitch;
      const TRect glyph = TRect::FromSize(digit * kDigitPitch, 0, width, kDigitHeight);
      ruler.Copy(FImages->RulerDigits.Raster(), glyph, {at, 0});
      markRuler.Copy(FImages->MarkDigits.Raster(), glyph, {at, 0});
      at += width;
    }
    if (last) break;
  }
}

// ---- The ruler ----

void TEditor::DrawRuler() {
  if (!FRuler->Visible() || !HasWindow() || !FImages) return;
  BuildRulerNumbers();
  const int from = FMetrics.ColWidth * (FMetrics.TopCol % FRuler->GaugeRange());
  const int textLeft = LeftOffset();
  Canvas().CopyRect({textLeft, 0, ClientWidth(), FMetrics.RulerHeight}, FImages->RulerImage.Raster(),
                    {from, 0, from + ClientWidth() - textLeft, FMetrics.RulerHeight});
  DrawRulerMark(FCol);
}

void TEditor::CopyRulerCell(int col, const TBitmap& source) {
  if (!FRuler->Visible() || !HasWindow() || !FImages || col < FMetrics.TopCol || col > FMetrics.TopCol + FMetrics.ColCount) return;
  const int x = LeftOffset() + FMetrics.ColWidth * (col - FMetrics.TopCol) + 1;
  const int height = FMetrics.RulerHeight - (FRuler->Edge() ? 2 : 1);
  const int from = x - LeftOffset() + FMetrics.ColWidth * (FMetrics.TopCol % FRuler->GaugeRange());
  Canvas().CopyRect(TRect::FromSize(x, 0, FMetrics.ColWidth - 1, height), source.Raster(),
                    TRect::FromSize(from, 0, FMetrics.ColWidth - 1, height));
}

void TEditor::DrawRulerMark(int col) { CopyRulerCell(col, FImages->MarkRulerImage); }

void TEditor::EraseRulerMark(int col) { CopyRulerCell(col, FImages->RulerImage); }

// ---- The leftbar ----

std::string TEditor::LeftbarNumber(int row) const {
  const int count = FRowStore->Count();
  const bool emptyRowAfterText = row == count && RowAttribute(count - 1) != raTextEnd;
  if (row < 0 || (row >= count && !emptyRowAfterText)) return {};
  int64_t number = 0;
  if (FLeftbar->ShowNumberMode() == nmRow) {
    number = row;
  } else {
    // A row that goes on with a wrapped line has no number of its own.
    if (row > 0 && RowAttribute(row - 1) == raWrap) return {};
    number = LineIndexOfRow(row);
  }
  if (!FLeftbar->ZeroBase()) ++number;
  std::string text = std::to_string(number);
  if (static_cast<int>(text.size()) < FMetrics.LeftbarDigits) {
    text.insert(0, static_cast<size_t>(FMetrics.LeftbarDigits) - text.size(), FLeftbar->ZeroLead() ? '0' : ' ');
  }
  return text;
}

void TEditor::DrawLeftbar(int first, int last) {
  if (!FLeftbar->Visible() || !HasWindow() || !FImages) return;
  TCanvas& canvas = Canvas();
  const int left = FImagebar->Visible() ? FMetrics.ImagebarWidth : 0;
  const int right = left + FMetrics.LeftbarWidth - 2;
  canvas.Draw(right, TopOffset(), FImages->LeftbarEdge.Raster());
  canvas.SetBrushStyle(bsSolid);
  canvas.SetBrushColor(LeftbarBackground());
  canvas.Font().Assign(Font());
  canvas.Font().SetColor(LeftbarNumberColor());
  for (int row = first; row <= last; ++row) {
    const int y = TopOffset() + (row - FMetrics.TopRow) * FMetrics.RowHeight;
    const TRect cell{left, y, right, y + FMetrics.RowHeight};
    const std::string number = FLeftbar->ShowNumber() ? LeftbarNumber(row) : std::string();
    if (number.empty()) {
      canvas.FillRect(cell);
    } else {
      TextOutCells(cell, left + FLeftbar->LeftMargin(), etoOpaque | etoClipped, number, y);
    }
  }
  canvas.Font().Assign(Font());
}

// ---- The imagebar and the row marks ----

void TEditor::DrawImagebar(int first, int last) {
  if (!FImagebar->Visible() || !HasWindow()) return;
  TCanvas& canvas = Canvas();
  const bool barColour = FLeftbar->Visible() && FLeftbar->BkColor() != clNone;
  canvas.SetBrushStyle(bsSolid);
  canvas.SetBrushColor(barColour ? FLeftbar->BkColor() : Color());
  const int count = FRowStore->Count();
  // Images stay inside the bar: a mark wider than the room reserved for it is cut.
  const TRect clip = canvas.ClipRect();
  canvas.SetClipRect(clip.Intersect({0, TopOffset(), FMetrics.ImagebarWidth, ClientHeight()}));
  for (int row = first; row <= last; ++row) {
    const int y = TopOffset() + (row - FMetrics.TopRow) * FMetrics.RowHeight;
    canvas.FillRect({0, y, FMetrics.ImagebarWidth, y + FMetrics.RowHeight});
    const uint16_t marks = row >= 0 && row < count ? FRowStore->RowMarkBits(row) : 0;
    if (marks == 0) continue;
    for (int digit = 0; digit < 10; ++digit) {
      if ((marks & (1u << digit)) == 0) continue;
      const bool own = FImageDigits != nullptr && digit < FImageDigits->Count();
      (own ? *FImageDigits : DigitMarkImages()).Draw(canvas, FImagebar->LeftMargin(), y + 2, digit);
      break;
    }
    for (int mark = 10; mark < 16; ++mark) {
      if ((marks & (1u << mark)) == 0) continue;
      const bool own = FImageMarks != nullptr && mark - 10 < FImageMarks->Count();
      (own ? *FImageMarks : MarkImages()).Draw(canvas, FImagebar->LeftMargin() + FImagebar->DigitWidth(), y + 2, mark - 10);
      break;
    }
  }
  canvas.SetClipRect(clip);
}

uint16_t TEditor::GetRowMarks(int row) const {
  return row >= 0 && row < FRowStore->Count() ? FRowStore->RowMarkBits(row) : 0;
}

void TEditor::SetRowMarks(int row, uint16_t marks) {
  if (row < 0 || row >= FRowStore->Count()) return;
  const uint16_t old = FRowStore->RowMarkBits(row);
  if (marks == old) return;
  FRowStore->IncludeMarks(static_cast<uint16_t>(marks & ~old));
  FRowStore->SetRowMarkBits(row, marks);
  // A mark leaves the marks in use only when no other row still carries it.
  uint16_t removed = static_cast<uint16_t>(old & ~marks);
  for (int r = 0, count = FRowStore->Count(); r < count && removed != 0; ++r) {
    removed = static_cast<uint16_t>(removed & ~FRowStore->RowMarkBits(r));
  }
  FRowStore->ExcludeMarks(removed);
  if (FImagebar->Visible() && HasWindow() && row >= FMetrics.TopRow && row <= FMetrics.TopRow + FMetrics.RowCount) {
    const int y = TopOffset() + (row - FMetrics.TopRow) * FMetrics.RowHeight;
    InvalidateRect({0, y, FMetrics.ImagebarWidth, y + FMetrics.RowHeight});
    Update();
  }
}

namespace {

// The first row carrying mark, or -1.
int FirstRowWithMark(const TEditorScreenStrings& store, int mark) {
  if ((store.Marks() & (1u << mark)) == 0) return -1;
  for (int r = 0, count = store.Count(); r < count; ++r) {
    if ((store.RowMarkBits(r) & (1u << mark)) != 0) return r;
  }
  return -1;
}

}  // namespace

void TEditor::PutRowMark(int row, int mark) {
  if (mark < 0 || mark > 15) return;
  const uint16_t bit = static_cast<uint16_t>(1u << mark);
  if (mark < 10) {
    const int holder = FirstRowWithMark(*FRowStore, mark);
    if (holder >= 0) SetRowMarks(holder, static_cast<uint16_t>(GetRowMarks(holder) & ~bit));
  }
  if (row >= 0 && row < FRowStore->Count()) SetRowMarks(row, static_cast<uint16_t>(GetRowMarks(row) | bit));
}

void TEditor::DeleteRowMark(int row, int mark) {
  if (mark < 0 || mark > 15) return;
  SetRowMarks(row, static_cast<uint16_t>(GetRowMarks(row) & ~(1u << mark)));
}

void TEditor::GotoRowMark(int mark) {
  if (mark < 0 || mark > 15) return;
  const int row = FirstRowWithMark(*FRowStore, mark);
  if (row < 0) return;
  if (row < FMetrics.TopRow || row > FMetrics.TopRow + FMetrics.RowCount - 1) SetTopRow(row - FMetrics.RowCount / 2);
  SetRow(row);
}

}  // namespace plomaret
