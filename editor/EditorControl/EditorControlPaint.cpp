// The painter's rows: the paint pipeline, the rows token by token in the fountain's
// colours, the end-of-row marks, the caret-row underline and what a move of the
// selection changed; and the control's side of painting.

#include <algorithm>
#include <cstdlib>

#include "editor/EditorControl.h"
#include "editor/EditorControl/EditorControlGuards.h"
#include "editor/EditorUtils.h"
#include "framework/core/CodePage.h"

namespace plomaret {

// ---- Colours ----

bool TEditor::RangeVisible() const {
  return FSelection.State() == sstSelected || (FSelection.State() == sstHitSelected && FHitStyle == hsDraw);
}

TColor TEditorPainter::SelectionBackground() const {
  const TEditorColors& colors = *FEditor.FView->Colors();
  const TColor color = FEditor.FSelection.State() == sstHitSelected ? colors.Hit()->BkColor() : colors.Select()->BkColor();
  return color == clNone ? FEditor.Font().Color() : color;
}

TColor TEditorPainter::SelectionForeground() const {
  const TEditorColors& colors = *FEditor.FView->Colors();
  const TColor color = FEditor.FSelection.State() == sstHitSelected ? colors.Hit()->Color() : colors.Select()->Color();
  return color == clNone ? FEditor.Color() : color;
}

TColor TEditorPainter::MarkColor(const TEditorMark& mark, bool selected) const {
  if (selected) return SelectionForeground();
  return mark.Color() == clNone ? FEditor.Font().Color() : mark.Color();
}

void TEditor::PlaceRange(bool box, TEditorSelectionState state, const TSelectionRect& rect) {
  CleanSelection();
  if (state != sstSelected && state != sstHitSelected) return;
  HideUnderline();  // a range holds the underline hidden until it is cleaned
  FSelection.Place(box, state, rect);
  if (HasWindow()) InvalidateRect({LeftOffset(), TopOffset(), ClientWidth(), ClientHeight()});
  DoSelectionChange(true);
}

int TEditor::ColumnToX(int col) const { return Metrics().ColumnToX(col); }

// ---- The paint pipeline ----

void TEditor::Paint() { FPainter->PaintRect(Canvas().ClipRect()); }

void TEditorPainter::PaintRect(const TRect& rect) {
  if (!FEditor.HasWindow()) return;
  TCanvas& canvas = FEditor.Canvas();
  const int textLeft = FEditor.LeftOffset();
  const int textTop = FEditor.TopOffset();
  const int width = FEditor.ClientWidth();
  const int height = FEditor.ClientHeight();
  const int imagebarWidth = FEditor.FImagebar->Visible() ? FEditor.FMetrics.ImagebarWidth : 0;
  const int leftbarWidth = FEditor.FLeftbar->Visible() ? FEditor.FMetrics.LeftbarWidth : 0;
  const bool corner = !rect.Intersect({0, 0, textLeft, textTop}).IsEmpty();
  const bool ruler = FEditor.FRuler->Visible() && !rect.Intersect({textLeft, 0, width, FEditor.FMetrics.RulerHeight}).IsEmpty();
  const bool imagebar = FEditor.FImagebar->Visible() && !rect.Intersect({0, textTop, imagebarWidth, height}).IsEmpty();
  const bool leftbar =
      FEditor.FLeftbar->Visible() && !rect.Intersect({imagebarWidth, textTop, imagebarWidth + leftbarWidth, height}).IsEmpty();
  const bool text = !rect.Intersect({textLeft, textTop, width, height}).IsEmpty();
  const bool underline = FEditor.FMarks->Underline()->Visible() && FEditor.FUnderlineHideCount == 0 && FEditor.UnderlineY(FEditor.FRow) != -1;

  // The rows the rectangle touches, on the text grid.
  const int rowHeight = std::max(1, FEditor.FMetrics.RowHeight);
  const int colWidth = std::max(1, FEditor.FMetrics.ColWidth);
  const int left = std::max(textLeft, textLeft + colWidth * ((rect.Left - textLeft) / colWidth));
  const int top = textTop + rowHeight * ((std::max(textTop, rect.Top) - textTop) / rowHeight);
  const int bottom = rect.Bottom <= top ? top : textTop + rowHeight * ((rect.Bottom - textTop + rowHeight - 1) / rowHeight);
  const int first = (top - textTop) / rowHeight + FEditor.FMetrics.TopRow;
  const int last = first + (bottom - top) / rowHeight - 1;

  {
    const auto hidden = CaretHidden(FEditor);
    if (corner) canvas.Draw(0, 0, FImages->Corner.Raster());
    if (ruler) DrawRuler();
    if (leftbar) DrawLeftbar(first, last);
    if (imagebar) DrawImagebar(first, last);
    if (text) {
      TOwned<TFountainParser> parser = FEditor.ActiveFountain()->CreateParser();
      // An underline left in a row's underline space is painted over with the row.
      const int extra = FEditor.RangeExists() || FEditor.FRepaintingCleanedSelection ? FEditor.FMargin->UnderlineMargin() : 0;
      TRect rowRect{left, top, rect.Right, top + FEditor.FMetrics.FontHeight + extra};
      const int x = textLeft - FEditor.FMetrics.TopCol * FEditor.FMetrics.ColWidth;
      const int count = FEditor.FRowStore->Count();
      for (int row = first; row <= last; ++row) {
        const int y = rowRect.Top;
        if (row < count) {
          const std::string display = FEditor.RowDisplayText(row);
          if (FEditor.RangeVisible()) {
            DrawRowWithSelection(rowRect, x, *parser, row, display, y);
          } else {
            DrawRow(rowRect, x, *parser, row, display, y);
          }
        } else {
          canvas.SetBrushStyle(bsSolid);
          canvas.SetBrushColor(FEditor.Color());
          canvas.FillRect(rowRect);
          const bool afterLineEnd = count == 0 || FEditor.FRowStore->RowAttributes(count - 1) != raTextEnd;
          if (FEditor.FMarks->EofMark()->Visible() && row == count && afterLineEnd) DrawEofMark(rowRect, x, y);
        }
        rowRect = rowRect.Offset(0, rowHeight);
      }
    }
  }
  if (underline) DrawUnderline(FEditor.FRow);
}

// ---- Rows ----

void TEditorPainter::DrawRow(const TRect& rect, int x, TFountainParser& parser, int row, const std::string& text, int y) {
  DrawRowAs(rect, x, parser, row, text, y, false);
}

void TEditorPainter::DrawSelectedRow(const TRect& rect, int x, TFountainParser& parser, int row, const std::string& text,
                              int y) {
  DrawRowAs(rect, x, parser, row, text, y, true);
}

void TEditorPainter::DrawRowAs(const TRect& rect, int x, TFountainParser& parser, int row, const std::string& text, int y,
                        bool selected) {
  if (FEditor.FRowStore->BracketIndexes(row) == kInvalidBracket) FEditor.FRowStore->UpdateStates(row, false);
  TCanvas& canvas = FEditor.Canvas();
  canvas.Font().Assign(FEditor.Font());
  if (selected) canvas.Font().SetColor(SelectionForeground());
  canvas.SetBrushStyle(bsSolid);
  canvas.SetBrushColor(selected ? SelectionBackground() : FEditor.Color());
  if (FEditor.FItalicCare) {
    canvas.FillRect(rect);
  } else {
    TextOutCells(rect, x, etoOpaque | etoClipped, text, y);
  }
  DrawTokens(rect, x, parser, row, text, selected);
  TRect eventRect = rect;
  FEditor.DoDrawLine(text, x, y, row, eventRect, selected);
  DrawEndMarks(rect, x, row, text, y, selected);
}

void TEditorPainter::DrawTokens(const TRect& rect, int x, TFountainParser& parser, int row, const std::string& text,
                         bool selected) {
  const int length = static_cast<int>(text.size());
  if (int64_t{length + 5} * FEditor.FMetrics.ColWidth < FEditor.FMetrics.HorzOffset || text.empty()) return;
  const int textLeft = FEditor.LeftOffset();
  int limit = std::min(rect.Right, textLeft + TEditor::kColumnLimit * FEditor.FMetrics.ColWidth - FEditor.FMetrics.HorzOffset);
  // A token that runs on over the wrap is recognised whole.
  std::string parsed = text;
  if (FEditor.FRowStore->WordWrap() && FEditor.RowAttribute(row) == raWrap && row < FEditor.FRowStore->Count() - 1) {
    parsed += FEditor.RowDisplayText(row + 1);
    limit = std::min(limit, x + length * FEditor.FMetrics.ColWidth);
  }
  TCanvas& canvas = FEditor.Canvas();
  const TFontStyles fontStyle = FEditor.Font().Style();
  const TColor background = selected ? SelectionBackground() : FEditor.Color();
  const TColor foreground = selected ? SelectionForeground() : FEditor.Font().Color();
  const TRect clip{std::max(rect.Left, textLeft), rect.Top, std::min(rect.Right, limit), rect.Bottom};
  parser.NewData(parsed.c_str(), FEditor.FRowStore->RowAttributeData(row));
  for (TTokenKind kind = parser.NextToken(); kind != toEof; kind = parser.NextToken()) {
    const int start = parser.SourcePos();
    if (start >= length) break;
    const int tokenX = x + start * FEditor.FMetrics.ColWidth;
    if (tokenX > limit) break;
    const int cells = std::min(parser.TokenLength(), length - start);
    if (tokenX + cells * FEditor.FMetrics.ColWidth <= textLeft || tokenX >= limit) continue;
    const TFountainColor* color = parser.TokenToFountainColor();
    const TFontStyles style = color != nullptr ? color->Style() : fontStyle;
    TColor tokenBackground = background;
    TColor tokenForeground = foreground;
    if (!selected && color != nullptr) {
      if (color->BkColor() != clNone) tokenBackground = color->BkColor();
      if (color->Color() != clNone) tokenForeground = color->Color();
    }
    if (FEditor.FItalicCare) {
      canvas.SetBrushStyle(tokenBackground == background && !selected ? bsClear : bsSolid);
      if (selected) canvas.SetBrushStyle(bsClear);
    } else {
      // What the whole-row output painted already needs no second output.
      if (selected && (color == nullptr || style == fontStyle)) continue;
      if (!selected && tokenBackground == background && tokenForeground == foreground && style == fontStyle) continue;
      canvas.SetBrushStyle(bsSolid);
    }
    canvas.SetBrushColor(tokenBackground);
    canvas.Font().SetColor(tokenForeground);
    canvas.Font().SetStyle(style);
    TextOutCells(clip, tokenX, etoClipped, std::string_view(text).substr(static_cast<size_t>(start), static_cast<size_t>(cells)),
                 rect.Top);
  }
  canvas.Font().Assign(FEditor.Font());
  canvas.SetBrushStyle(bsSolid);
}

void TEditorPainter::DrawEndMarks(const TRect& rect, int x, int row, const std::string& text, int y, bool selected) {
  const int length = static_cast<int>(text.size());
  const int limit = FEditor.LeftOffset() + TEditor::kColumnLimit * FEditor.FMetrics.ColWidth - FEditor.FMetrics.HorzOffset;
  int end = x + length * FEditor.FMetrics.ColWidth;
  if (length > TEditor::kColumnLimit) {
    // A double-byte character that starts in the last column is shown whole.
    end = IsLeadByte(static_cast<unsigned char>(text[TEditor::kColumnLimit - 1])) ? limit + FEditor.FMetrics.ColWidth : limit;
  }
  if (end >= rect.Right) return;
  const bool whole = x + length * FEditor.FMetrics.ColWidth <= end;
  const TRowAttribute attribute = FEditor.RowAttribute(row);
  if (!whole) {
    if (FEditor.FMarks->HideMark()->Visible()) DrawHideMark(end, y, selected);
  } else if (FEditor.FMarks->EofMark()->Visible() && row == FEditor.FRowStore->Count() - 1 && attribute == raTextEnd) {
    DrawEofMark(rect, end, y);
  } else if (FEditor.FMarks->RetMark()->Visible() && attribute == raLineEnd) {
    DrawRetMark(end, y, selected);
  } else if (FEditor.FMarks->WrapMark()->Visible() && attribute == raWrap) {
    DrawWrapMark(end, y, selected);
  }
}

void TEditorPainter::DrawRowPiece(const TRect& rect, int left, int right, int x, TFountainParser& parser, int row,
                           const std::string& text, int y, bool selected) {
  const TRect piece{std::max(rect.Left, left), rect.Top, std::min(rect.Right, right), rect.Bottom};
  if (piece.IsEmpty()) return;
  TCanvas& canvas = FEditor.Canvas();
  const TRect clip = canvas.ClipRect();
  // Marks drawn with the pen stay inside their piece too.
  canvas.SetClipRect(clip.Intersect(piece));
  TScopeExit unclipped([&] { canvas.SetClipRect(clip); });
  if (selected) {
    DrawSelectedRow(piece, x, parser, row, text, y);
  } else {
    DrawRow(piece, x, parser, row, text, y);
  }
}

void TEditorPainter::DrawRowWithSelection(const TRect& rect, int x, TFountainParser& parser, int row, const std::string& text,
                                   int y) {
  const TSelectionRect& range = FEditor.FSelection.Range().Rect;
  if (row < range.Top || row > range.Bottom) {
    DrawRow(rect, x, parser, row, text, y);
    return;
  }
  const int edge = FEditor.ClientWidth();
  int left = range.Left;
  int right = range.Right;
  if (FEditor.FSelection.Box()) {
    // A box ends with the row's text; a column on a trail half takes the whole character.
    const std::string map = FEditor.CellMap(FEditor.RowText(row));
    const int length = static_cast<int>(text.size());
    auto fit = [&](int col) {
      col = std::min(col, length);
      if (col < static_cast<int>(map.size()) && map[static_cast<size_t>(col)] == kCellTrail) ++col;
      return col;
    };
    left = fit(left);
    right = fit(right);
  }
  const int leftX = FEditor.ColumnToX(left);
  const int rightX = FEditor.ColumnToX(right);
  const int start = rect.Left;
  if (FEditor.FSelection.Box() || range.Top == range.Bottom) {
    DrawRowPiece(rect, start, leftX, x, parser, row, text, y, false);
    DrawRowPiece(rect, leftX, rightX, x, parser, row, text, y, true);
    DrawRowPiece(rect, rightX, edge, x, parser, row, text, y, false);
  } else if (row == range.Top) {
    DrawRowPiece(rect, start, leftX, x, parser, row, text, y, false);
    DrawRowPiece(rect, leftX, edge, x, parser, row, text, y, true);
  } else if (row == range.Bottom) {
    DrawRowPiece(rect, start, rightX, x, parser, row, text, y, true);
    DrawRowPiece(rect, rightX, edge, x, parser, row, text, y, false);
  } else {
    DrawRowPiece(rect, start, edge, x, parser, row, text, y, true);
  }
}

void TEditorPainter::TextOutCells(const TRect& rect, int x, int options, std::string_view text, int y) {
  TCanvas& canvas = FEditor.Canvas();
  const TFontStyles style = canvas.Font().Style();
  const bool underline = style.Contains(fsUnderline);
  if (underline) canvas.Font().SetStyle(style - TFontStyles{fsUnderline});
  size_t count = std::min<size_t>(text.size(), TEditor::kColumnLimit);
  if (text.size() > TEditor::kColumnLimit && IsLeadByte(static_cast<unsigned char>(text[TEditor::kColumnLimit - 1]))) ++count;
  // Only the characters that can show: from the last character boundary before the
  // clip's left edge to the first one past its right edge.
  const int width = std::max(1, FEditor.FMetrics.ColWidth);
  const TRect visible = (options & etoClipped) != 0 ? canvas.ClipRect().Intersect(rect) : canvas.ClipRect();
  const size_t wanted = static_cast<size_t>(std::clamp((visible.Left - x) / width - 1, 0, static_cast<int>(count)));
  size_t first = 0;
  while (first < wanted) first += IsLeadByte(static_cast<unsigned char>(text[first])) && first + 1 < count ? 2 : 1;
  if (first > wanted) first -= 2;  // back to the lead byte of the character across the edge
  size_t last = first;
  const int64_t rightCells = (int64_t{visible.Right} - x) / width + 2;
  while (last < count && static_cast<int64_t>(last) < rightCells) {
    last += IsLeadByte(static_cast<unsigned char>(text[last])) && last + 1 < count ? 2 : 1;
  }
  last = std::min(last, count);
  if ((options & etoOpaque) != 0 && last <= first) {
    canvas.FillRect(rect.Intersect(canvas.ClipRect()));
  } else {
    canvas.ExtTextOut(x + static_cast<int>(first) * width, y, options, rect, text.substr(first, last - first), FEditor.FSpacing);
  }
  if (!underline) return;
  canvas.Font().SetStyle(style);
  const int from = std::max(x, rect.Left);
  const int to = std::min(x + static_cast<int>(count) * width, rect.Right);
  if (from < to) DrawCachedDottedLine(canvas, from, y + FEditor.FMetrics.FontHeight - 1, canvas.BrushColor(), canvas.Font().Color(), to - 1);
}

// ---- Marks ----

void TEditorPainter::DrawEofMark(const TRect& rect, int x, int y) {
  TCanvas& canvas = FEditor.Canvas();
  const TRect clip{std::max(FEditor.LeftOffset(), x), std::max(FEditor.TopOffset(), y), std::min(FEditor.ClientWidth(), x + 6 * FEditor.FMetrics.ColWidth),
                   std::min(FEditor.ClientHeight(), y + FEditor.FMetrics.FontHeight)};
  canvas.Font().Assign(FEditor.Font());
  canvas.Font().SetColor(MarkColor(*FEditor.FMarks->EofMark(), false));
  canvas.SetBrushStyle(bsSolid);
  canvas.SetBrushColor(FEditor.Color());
  TextOutCells(clip, x, etoOpaque | etoClipped, "[EOF]", y);
  canvas.Font().Assign(FEditor.Font());
}

void TEditorPainter::DrawMarkLines(const std::vector<TPoint>& points, TColor color) {
  TCanvas& canvas = FEditor.Canvas();
  // Marks belong to the text area: a mark cut by its left edge shows only there.
  const TRect clip = canvas.ClipRect();
  canvas.SetClipRect(clip.Intersect({FEditor.LeftOffset(), FEditor.TopOffset(), FEditor.ClientWidth(), FEditor.ClientHeight()}));
  canvas.SetPenColor(color);
  canvas.SetPenMode(pmCopy);
  canvas.MoveTo(points.front().X, points.front().Y);
  for (size_t i = 1; i < points.size(); ++i) canvas.LineTo(points[i].X, points[i].Y);
  canvas.SetClipRect(clip);
}

void TEditorPainter::DrawRetMark(int x, int y, bool selected) {
  if (x + FEditor.FMetrics.ColWidth + 1 < FEditor.LeftOffset()) return;
  const int h = FEditor.FMetrics.FontHeight;
  const int d = std::max(1, h / 8);
  const int f = std::max(d, 3);
  const int cx = x + FEditor.FMetrics.ColWidth / 2;
  const TColor color = MarkColor(*FEditor.FMarks->RetMark(), selected);
  DrawMarkLines({{cx, y + 2 * d}, {cx, y + h - 2 * d}, {cx + f, y + h - 2 * d - f}}, color);
  DrawMarkLines({{cx, y + h - 2 * d}, {cx - f, y + h - 2 * d - f}}, color);
}

void TEditorPainter::DrawWrapMark(int x, int y, bool selected) {
  if (x + FEditor.FMetrics.ColWidth + 1 < FEditor.LeftOffset()) return;
  const int w = FEditor.FMetrics.ColWidth;
  const int e = std::max(2, w * 3 / 5);
  const int cy = y + FEditor.FMetrics.FontHeight / 2;
  DrawMarkLines({{x + w, cy - e}, {x + w - e, cy}, {x + w + 1, cy + e + 1}}, MarkColor(*FEditor.FMarks->WrapMark(), selected));
}

void TEditorPainter::DrawHideMark(int x, int y, bool selected) {
  if (x + FEditor.FMetrics.ColWidth + 1 < FEditor.LeftOffset()) return;
  const int w = FEditor.FMetrics.ColWidth;
  const int e = std::max(2, w * 3 / 5);
  const int cy = y + FEditor.FMetrics.FontHeight / 2;
  DrawMarkLines({{x + w - e, cy - e}, {x + w, cy}, {x + w - e - 1, cy + e + 1}},
                MarkColor(*FEditor.FMarks->HideMark(), selected));
}

// ---- The caret-row underline ----

int TEditor::UnderlineY(int row) const {
  const int y = TopOffset() + FMetrics.RowHeight * (row - FMetrics.TopRow) + FMetrics.FontHeight;
  return y <= TopOffset() || y >= ClientHeight() ? -1 : y;
}

void TEditorPainter::DrawUnderline(int row) {
  const int y = FEditor.UnderlineY(row);
  if (!FEditor.HasWindow() || y < 0) return;
  const TColor color = FEditor.FMarks->Underline()->Color();
  DrawMarkLines({{FEditor.LeftOffset(), y}, {FEditor.ClientWidth(), y}}, color == clNone ? FEditor.Font().Color() : color);
}

void TEditorPainter::EraseUnderline(int row) {
  const int y = FEditor.UnderlineY(row);
  if (!FEditor.HasWindow() || y < 0) return;
  DrawMarkLines({{FEditor.LeftOffset(), y}, {FEditor.ClientWidth(), y}}, FEditor.Color());
}

void TEditor::HideUnderline() {
  ++FUnderlineHideCount;
  if (FUnderlineHideCount == 1 && FMarks->Underline()->Visible() && !RangeExists()) FPainter->EraseUnderline(FRow);
}

void TEditor::ShowUnderline() {
  if (FUnderlineHideCount == 0) return;
  --FUnderlineHideCount;
  if (FUnderlineHideCount == 0 && FMarks->Underline()->Visible() && !RangeExists()) FPainter->DrawUnderline(FRow);
}

// ---- Lines of rows ----

int TEditor::LineIndexOfRow(int row) const {
  const TEditorScreenStrings& store = *FRowStore;
  if (!store.WordWrap()) return row;
  row = std::clamp(row, 0, store.Count());
  // Rows are mostly asked about near the last one: walk from there. Further away, or
  // after a change, the store's count of wrapped rows above is near at hand.
  constexpr int kNear = 256;
  if (FLineCacheStamp != store.StructureStamp() || std::abs(row - FLineCacheRow) > kNear) {
    FLineCacheRow = row;
    FLineCacheLine = row - store.WrapRowsBefore(row);
    FLineCacheStamp = store.StructureStamp();
    return FLineCacheLine;
  }
  int from = FLineCacheRow;
  int line = FLineCacheLine;
  while (from < row) {
    if (store.RowAttributes(from) != raWrap) ++line;
    ++from;
  }
  while (from > row) {
    --from;
    if (store.RowAttributes(from) != raWrap) --line;
  }
  FLineCacheRow = from;
  FLineCacheLine = line;
  FLineCacheStamp = store.StructureStamp();
  return line;
}

// ---- Repainting what a move of the selection changed ----

void TEditorPainter::DrawRowCells(int row, int fromX, int toX, bool selected) {
  if (!FEditor.HasWindow() || row < FEditor.FMetrics.TopRow || row > FEditor.FMetrics.TopRow + FEditor.FMetrics.RowCount || row >= FEditor.FRowStore->Count()) return;
  const int left = std::max(fromX, FEditor.LeftOffset());
  const int right = std::min(toX, FEditor.ClientWidth());
  if (right <= left) return;
  const int y = FEditor.TopOffset() + (row - FEditor.FMetrics.TopRow) * FEditor.FMetrics.RowHeight;
  // Rows under a range are drawn with their underline space, which it keeps clear.
  const TRect rect{left, y, right, y + FEditor.FMetrics.FontHeight + FEditor.FMargin->UnderlineMargin()};
  TOwned<TFountainParser> parser = FEditor.ActiveFountain()->CreateParser();
  DrawRowPiece(rect, left, right, FEditor.LeftOffset() - FEditor.FMetrics.TopCol * FEditor.FMetrics.ColWidth, *parser, row, FEditor.RowDisplayText(row), y, selected);
}

void TEditorPainter::DrawRowsCells(int first, int last, int fromX, int toX, bool selected) {
  for (int row = std::max(first, FEditor.FMetrics.TopRow); row <= last && row <= FEditor.FMetrics.TopRow + FEditor.FMetrics.RowCount; ++row) {
    if (selected && FEditor.FSelection.Box()) {
      DrawBoxRowCells(row, fromX, toX);
    } else {
      DrawRowCells(row, fromX, toX, selected);
    }
  }
}

void TEditorPainter::DrawBoxRowCells(int row, int fromX, int toX) {
  // As a full paint draws the box on this row: ending with the row's text, a trail
  // half taking its whole character.
  const std::string map = FEditor.CellMap(FEditor.RowText(row));
  const int length = static_cast<int>(FEditor.RowDisplayText(row).size());
  auto fit = [&](int col) {
    col = std::min(col, length);
    if (col < static_cast<int>(map.size()) && map[static_cast<size_t>(col)] == kCellTrail) ++col;
    return col;
  };
  const int left = FEditor.ColumnToX(fit(FEditor.FSelection.Range().Rect.Left));
  const int right = FEditor.ColumnToX(fit(FEditor.FSelection.Range().Rect.Right));
  DrawRowCells(row, fromX, std::min(toX, left), false);
  DrawRowCells(row, std::max(fromX, left), std::min(toX, right), true);
  DrawRowCells(row, std::max(fromX, right), toX, false);
}

void TEditorPainter::RepaintSelectionChange() {
  const TSelectionRect& now = FEditor.FSelection.Range().Rect;
  const TSelectionRect& old = FEditor.FSelection.Range().Previous;
  if (!FEditor.HasWindow() || now == old) return;
  const int T = now.Top, B = now.Bottom, L = now.Left, R = now.Right;
  const int oT = old.Top, oB = old.Bottom, oL = old.Left, oR = old.Right;
  const int A = FEditor.FSelection.Range().AnchorCol;
  const int textLeft = FEditor.LeftOffset();
  const int edge = FEditor.ClientWidth();
  const int count = FEditor.FRowStore->Count();
  auto x = [&](int col) { return FEditor.ColumnToX(col); };
  const auto hidden = CaretHidden(FEditor);
  if (FEditor.FSelection.Box()) {
    // Rows that left the box, then every box row whose columns changed or that
    // entered it, drawn as a full paint draws the box there (a double-byte
    // character at an edge is taken whole, the box ends with the row's text).
    if (B < oB) DrawRowsCells(B + 1, oB, textLeft, edge, false);
    if (oT < T) DrawRowsCells(oT, T - 1, textLeft, edge, false);
    const bool columnsChanged = L != oL || R != oR;
    const int from = x(std::min(L, oL)) - FEditor.FMetrics.ColWidth;
    const int to = x(std::max(R, oR)) + 2 * FEditor.FMetrics.ColWidth;
    for (int row = std::max(T, FEditor.FMetrics.TopRow); row <= B && row <= FEditor.FMetrics.TopRow + FEditor.FMetrics.RowCount; ++row) {
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
