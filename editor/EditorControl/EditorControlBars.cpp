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

TColor TEditorPainter::LeftbarBackground() const { return FEditor.FLeftbar->BkColor() == clNone ? FEditor.Color() : FEditor.FLeftbar->BkColor(); }
TColor TEditorPainter::LeftbarNumberColor() const { return FEditor.FLeftbar->Color() == clNone ? FEditor.Font().Color() : FEditor.FLeftbar->Color(); }
TColor TEditorPainter::RulerBackground() const { return FEditor.FRuler->BkColor() == clNone ? FEditor.Color() : FEditor.FRuler->BkColor(); }
TColor TEditorPainter::RulerForeground() const { return FEditor.FRuler->Color() == clNone ? FEditor.Font().Color() : FEditor.FRuler->Color(); }
TColor TEditorPainter::RulerMarkColor() const { return FEditor.FRuler->MarkColor() == clNone ? FEditor.Font().Color() : FEditor.FRuler->MarkColor(); }

// ---- The pictures ----

void TEditor::CreateDrawingObjects() { FPainter->CreateImages(); }

void TEditor::FreeDrawingObjects() { FPainter->FreeImages(); }

void TEditorPainter::CreateImages() {
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

void TEditorPainter::RebuildBackground() {
  if (!FImages || !FEditor.HasWindow()) return;
  const int textLeft = FEditor.LeftOffset();
  const int textTop = FEditor.TopOffset();
  TRaster& corner = FImages->Corner.Raster();
  FillRaster(corner, textLeft, textTop, FEditor.Color());
  const int barsRight = (FEditor.FImagebar->Visible() ? FEditor.FMetrics.ImagebarWidth : 0) + (FEditor.FLeftbar->Visible() ? FEditor.FMetrics.LeftbarWidth : 0);
  int rulerFrom = 0;
  if (FEditor.FLeftbar->Visible() && FEditor.FLeftbar->Edge()) {
    corner.FillRect({0, 0, barsRight, textTop}, PixelOf(LeftbarBackground()));
    corner.Copy(FImages->LeftbarEdge.Raster(), FImages->LeftbarEdge.Raster().Bounds(), {barsRight - 2, 0});
    rulerFrom = barsRight;
  }
  if (FEditor.FRuler->Visible() && FEditor.FRuler->Edge()) {
    corner.FillRect({rulerFrom, 0, textLeft, FEditor.FMetrics.RulerHeight}, PixelOf(RulerBackground()));
    corner.Copy(FImages->RulerEdge.Raster(), FImages->RulerEdge.Raster().Bounds(), {rulerFrom - 1, FEditor.FMetrics.RulerHeight - 2});
  }
}

void TEditorPainter::RebuildLeftbarEdge() {
  if (!FImages) return;
  TRaster& edge = FImages->LeftbarEdge.Raster();
  edge.Resize(2, GetSystemMetrics(SM_CYSCREEN));
  const bool raised = FEditor.FLeftbar->Edge();
  edge.FillRect({0, 0, 1, edge.Height()}, PixelOf(raised ? clWhite : LeftbarBackground()));
  edge.FillRect({1, 0, 2, edge.Height()}, raised ? 0x808080 : PixelOf(LeftbarNumberColor()));
  RebuildBackground();
}

void TEditorPainter::BuildRulerDigitImages() {
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

void TEditorPainter::RebuildRulerImages() {
  if (!FImages) return;
  TRaster& edge = FImages->RulerEdge.Raster();
  edge.Resize(GetSystemMetrics(SM_CXSCREEN), 2);
  edge.FillRect({0, 0, edge.Width(), 1}, PixelOf(clWhite));
  edge.FillRect({0, 1, edge.Width(), 2}, 0x808080);
  BuildRulerDigitImages();
  const int gauge = FEditor.FRuler->GaugeRange() * std::max(1, FEditor.FMetrics.ColWidth);
  const int width = gauge * (GetSystemMetrics(SM_CXSCREEN) / gauge + 2);
  const int height = FEditor.RulerHeight() > 0 ? FEditor.RulerHeight() : (FEditor.FRuler->Edge() ? 11 : 10);
  TRaster& ticks = FImages->Ticks.Raster();
  FillRaster(ticks, width, height, RulerBackground());
  const TPixel ink = PixelOf(RulerForeground());
  const int range = FEditor.FRuler->GaugeRange();
  for (int d = 0; d < range; ++d) {
    const int top = d == 0 ? 0 : d == range / 2 ? 3 : 6;
    const int x = d * FEditor.FMetrics.ColWidth;
    ticks.FillRect({x, top, x + 1, height - 2}, ink);
  }
  if (FEditor.FRuler->Edge()) {
    ticks.Copy(edge, {0, 0, gauge, 2}, {0, height - 2});
  } else {
    ticks.FillRect({0, height - 1, gauge, height}, ink);
  }
  for (int x = gauge; x < width; x += gauge) ticks.Copy(ticks, {0, 0, gauge, height}, {x, 0});
  RebuildBackground();
}

void TEditorPainter::BuildRulerNumbers() {
  const int range = FEditor.FRuler->GaugeRange();
  const int gauge = range * FEditor.FMetrics.ColWidth;
  TRaster& ruler = FImages->RulerImage.Raster();
  TRaster& markRuler = FImages->MarkRulerImage.Raster();
  const TRaster& ticks = FImages->Ticks.Raster();
  ruler = ticks;
  FillRaster(markRuler, ticks.Width(), ticks.Height(), RulerMarkColor());
  const int clearBottom = ticks.Height() - (FEditor.FRuler->Edge() ? 2 : 1);
  int number = range * (FEditor.FMetrics.TopCol / range);
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

void TEditorPainter::DrawRuler() {
  if (!FEditor.FRuler->Visible() || !FEditor.HasWindow() || !FImages) return;
  BuildRulerNumbers();
  const int from = FEditor.FMetrics.ColWidth * (FEditor.FMetrics.TopCol % FEditor.FRuler->GaugeRange());
  const int textLeft = FEditor.LeftOffset();
  FEditor.Canvas().CopyRect({textLeft, 0, FEditor.ClientWidth(), FEditor.FMetrics.RulerHeight}, FImages->RulerImage.Raster(),
                    {from, 0, from + FEditor.ClientWidth() - textLeft, FEditor.FMetrics.RulerHeight});
  DrawRulerMark(FEditor.FCol);
}

void TEditorPainter::CopyRulerCell(int col, const TBitmap& source) {
  if (!FEditor.FRuler->Visible() || !FEditor.HasWindow() || !FImages || col < FEditor.FMetrics.TopCol || col > FEditor.FMetrics.TopCol + FEditor.FMetrics.ColCount) return;
  const int x = FEditor.LeftOffset() + FEditor.FMetrics.ColWidth * (col - FEditor.FMetrics.TopCol) + 1;
  const int height = FEditor.FMetrics.RulerHeight - (FEditor.FRuler->Edge() ? 2 : 1);
  const int from = x - FEditor.LeftOffset() + FEditor.FMetrics.ColWidth * (FEditor.FMetrics.TopCol % FEditor.FRuler->GaugeRange());
  FEditor.Canvas().CopyRect(TRect::FromSize(x, 0, FEditor.FMetrics.ColWidth - 1, height), source.Raster(),
                    TRect::FromSize(from, 0, FEditor.FMetrics.ColWidth - 1, height));
}

void TEditorPainter::DrawRulerMark(int col) { CopyRulerCell(col, FImages->MarkRulerImage); }

void TEditorPainter::EraseRulerMark(int col) { CopyRulerCell(col, FImages->RulerImage); }

// ---- The leftbar ----

std::string TEditorPainter::LeftbarNumber(int row) const {
  const int count = FEditor.FRowStore->Count();
  const bool emptyRowAfterText = row == count && FEditor.RowAttribute(count - 1) != raTextEnd;
  if (row < 0 || (row >= count && !emptyRowAfterText)) return {};
  int64_t number = 0;
  if (FEditor.FLeftbar->ShowNumberMode() == nmRow) {
    number = row;
  } else {
    // A row that goes on with a wrapped line has no number of its own.
    if (row > 0 && FEditor.RowAttribute(row - 1) == raWrap) return {};
    number = FEditor.LineIndexOfRow(row);
  }
  if (!FEditor.FLeftbar->ZeroBase()) ++number;
  std::string text = std::to_string(number);
  if (static_cast<int>(text.size()) < FEditor.FMetrics.LeftbarDigits) {
    text.insert(0, static_cast<size_t>(FEditor.FMetrics.LeftbarDigits) - text.size(), FEditor.FLeftbar->ZeroLead() ? '0' : ' ');
  }
  return text;
}

void TEditorPainter::DrawLeftbar(int first, int last) {
  if (!FEditor.FLeftbar->Visible() || !FEditor.HasWindow() || !FImages) return;
  TCanvas& canvas = FEditor.Canvas();
  const int left = FEditor.FImagebar->Visible() ? FEditor.FMetrics.ImagebarWidth : 0;
  const int right = left + FEditor.FMetrics.LeftbarWidth - 2;
  canvas.Draw(right, FEditor.TopOffset(), FImages->LeftbarEdge.Raster());
  canvas.SetBrushStyle(bsSolid);
  canvas.SetBrushColor(LeftbarBackground());
  canvas.Font().Assign(FEditor.Font());
  canvas.Font().SetColor(LeftbarNumberColor());
  for (int row = first; row <= last; ++row) {
    const int y = FEditor.TopOffset() + (row - FEditor.FMetrics.TopRow) * FEditor.FMetrics.RowHeight;
    const TRect cell{left, y, right, y + FEditor.FMetrics.RowHeight};
    const std::string number = FEditor.FLeftbar->ShowNumber() ? LeftbarNumber(row) : std::string();
    if (number.empty()) {
      canvas.FillRect(cell);
    } else {
      TextOutCells(cell, left + FEditor.FLeftbar->LeftMargin(), etoOpaque | etoClipped, number, y);
    }
  }
  canvas.Font().Assign(FEditor.Font());
}

// ---- The imagebar and the row marks ----

void TEditorPainter::DrawImagebar(int first, int last) {
  if (!FEditor.FImagebar->Visible() || !FEditor.HasWindow()) return;
  TCanvas& canvas = FEditor.Canvas();
  const bool barColour = FEditor.FLeftbar->Visible() && FEditor.FLeftbar->BkColor() != clNone;
  canvas.SetBrushStyle(bsSolid);
  canvas.SetBrushColor(barColour ? FEditor.FLeftbar->BkColor() : FEditor.Color());
  const int count = FEditor.FRowStore->Count();
  // Images stay inside the bar: a mark wider than the room reserved for it is cut.
  const TRect clip = canvas.ClipRect();
  canvas.SetClipRect(clip.Intersect({0, FEditor.TopOffset(), FEditor.FMetrics.ImagebarWidth, FEditor.ClientHeight()}));
  for (int row = first; row <= last; ++row) {
    const int y = FEditor.TopOffset() + (row - FEditor.FMetrics.TopRow) * FEditor.FMetrics.RowHeight;
    canvas.FillRect({0, y, FEditor.FMetrics.ImagebarWidth, y + FEditor.FMetrics.RowHeight});
    const uint16_t marks = row >= 0 && row < count ? FEditor.FRowStore->RowMarkBits(row) : 0;
    if (marks == 0) continue;
    for (int digit = 0; digit < 10; ++digit) {
      if ((marks & (1u << digit)) == 0) continue;
      const bool own = FEditor.FImageDigits != nullptr && digit < FEditor.FImageDigits->Count();
      (own ? *FEditor.FImageDigits : DigitMarkImages()).Draw(canvas, FEditor.FImagebar->LeftMargin(), y + 2, digit);
      break;
    }
    for (int mark = 10; mark < 16; ++mark) {
      if ((marks & (1u << mark)) == 0) continue;
      const bool own = FEditor.FImageMarks != nullptr && mark - 10 < FEditor.FImageMarks->Count();
      (own ? *FEditor.FImageMarks : MarkImages()).Draw(canvas, FEditor.FImagebar->LeftMargin() + FEditor.FImagebar->DigitWidth(), y + 2, mark - 10);
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
