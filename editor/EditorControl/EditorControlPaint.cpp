// The editor control's painting: the paint pipeline, the rows token by token in the
// fountain's colours, the end-of-row marks and the caret-row underline.

#include <algorithm>

#include "editor/EditorControl.h"
#include "editor/EditorControl/EditorControlGuards.h"
#include "editor/EditorUtils.h"
#include "framework/core/CodePage.h"

namespace plomaret {

// ---- Colours ----

bool TEditor::RangeVisible() const {
  return FSelection.State() == sstSelected || (FSelection.State() == sstHitSelected && FHitStyle == hsDraw);
}

TColor TEditor::SelectionBackground() const {
  const TEditorColors& colors = *FView->Colors();
  const TColor color = FSelection.State() == sstHitSelected ? colors.Hit()->BkColor() : colors.Select()->BkColor();
  return color == clNone ? Font().Color() : color;
}

TColor TEditor::SelectionForeground() const {
  const TEditorColors& colors = *FView->Colors();
  const TColor color = FSelection.State() == sstHitSelected ? colors.Hit()->Color() : colors.Select()->Color();
  return color == clNone ? Color() : color;
}

TColor TEditor::MarkColor(const TEditorMark& mark, bool selected) const {
  if (selected) return SelectionForeground();
  return mark.Color() == clNone ? Font().Color() : mark.Color();
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

void TEditor::Paint() { PaintRect(Canvas().ClipRect()); }

void TEditor::PaintRect(const TRect& rect) {
  if (!HasWindow()) return;
  TCanvas& canvas = Canvas();
  const int textLeft = LeftOffset();
  const int textTop = TopOffset();
  const int width = ClientWidth();
  const int height = ClientHeight();
  const int imagebarWidth = FImagebar->Visible() ? FMetrics.ImagebarWidth : 0;
  const int leftbarWidth = FLeftbar->Visible() ? FMetrics.LeftbarWidth : 0;
  const bool corner = !rect.Intersect({0, 0, textLeft, textTop}).IsEmpty();
  const bool ruler = FRuler->Visible() && !rect.Intersect({textLeft, 0, width, FMetrics.RulerHeight}).IsEmpty();
  const bool imagebar = FImagebar->Visible() && !rect.Intersect({0, textTop, imagebarWidth, height}).IsEmpty();
  const bool leftbar =
      FLeftbar->Visible() && !rect.Intersect({imagebarWidth, textTop, imagebarWidth + leftbarWidth, height}).IsEmpty();
  const bool text = !rect.Intersect({textLeft, textTop, width, height}).IsEmpty();
  const bool underline = FMarks->Underline()->Visible() && FUnderlineHideCount == 0 && UnderlineY(FRow) != -1;

  // The rows the rectangle touches, on the text grid.
  const int rowHeight = std::max(1, FMetrics.RowHeight);
  const int colWidth = std::max(1, FMetrics.ColWidth);
  const int left = std::max(textLeft, textLeft + colWidth * ((rect.Left - textLeft) / colWidth));
  const int top = textTop + rowHeight * ((std::max(textTop, rect.Top) - textTop) / rowHeight);
  const int bottom = rect.Bottom <= top ? top : textTop + rowHeight * ((rect.Bottom - textTop + rowHeight - 1) / rowHeight);
  const int first = (top - textTop) / rowHeight + FMetrics.TopRow;
  const int last = first + (bottom - top) / rowHeight - 1;

  {
    const auto hidden = CaretHidden(*this);
    if (corner) canvas.Draw(0, 0, FImages->Corner.Raster());
    if (ruler) DrawRuler();
    if (leftbar) DrawLeftbar(first, last);
    if (imagebar) DrawImagebar(first, last);
    if (text) {
      TOwned<TFountainParser> parser = ActiveFountain()->CreateParser();
      // An underline left in a row's underline space is painted over with the row.
      const int extra = RangeExists() || FRepaintingCleanedSelection ? FMargin->UnderlineMargin() : 0;
      TRect rowRect{left, top, rect.Right, top + FMetrics.FontHeight + extra};
      const int x = textLeft - FMetrics.TopCol * FMetrics.ColWidth;
      const int count = FRowStore->Count();
      for (int row = first; row <= last; ++row) {
        const int y = rowRect.Top;
        if (row < count) {
          const std::string display = RowDisplayText(row);
          if (RangeVisible()) {
            DrawRowWithSelection(rowRect, x, *parser, row, display, y);
          } else {
            DrawRow(rowRect, x, *parser, row, display, y);
          }
        } else {
          canvas.SetBrushStyle(bsSolid);
          canvas.SetBrushColor(Color());
          canvas.FillRect(rowRect);
          const bool afterLineEnd = count == 0 || FRowStore->RowAttributes(count - 1) != raTextEnd;
          if (FMarks->EofMark()->Visible() && row == count && afterLineEnd) DrawEofMark(rowRect, x, y);
        }
        rowRect = rowRect.Offset(0, rowHeight);
      }
    }
  }
  if (underline) DrawUnderline(FRow);
}

// ---- Rows ----

void TEditor::DrawRow(const TRect& rect, int x, TFountainParser& parser, int row, const std::string& text, int y) {
  DrawRowAs(rect, x, parser, row, text, y, false);
}

void TEditor::DrawSelectedRow(const TRect& rect, int x, TFountainParser& parser, int row, const std::string& text,
                              int y) {
  DrawRowAs(rect, x, parser, row, text, y, true);
}

void TEditor::DrawRowAs(const TRect& rect, int x, TFountainParser& parser, int row, const std::string& text, int y,
                        bool selected) {
  if (FRowStore->BracketIndexes(row) == kInvalidBracket) FRowStore->UpdateStates(row, false);
  TCanvas& canvas = Canvas();
  canvas.Font().Assign(Font());
  if (selected) canvas.Font().SetColor(SelectionForeground());
  canvas.SetBrushStyle(bsSolid);
  canvas.SetBrushColor(selected ? SelectionBackground() : Color());
  if (FItalicCare) {
    canvas.FillRect(rect);
  } else {
    TextOutCells(rect, x, etoOpaque | etoClipped, text, y);
  }
  DrawTokens(rect, x, parser, row, text, selected);
  TRect eventRect = rect;
  DoDrawLine(text, x, y, row, eventRect, selected);
  DrawEndMarks(rect, x, row, text, y, selected);
}

void TEditor::DrawTokens(const TRect& rect, int x, TFountainParser& parser, int row, const std::string& text,
                         bool selected) {
  const int length = static_cast<int>(text.size());
  if (int64_t{length + 5} * FMetrics.ColWidth < FMetrics.HorzOffset || text.empty()) return;
  const int textLeft = LeftOffset();
  int limit = std::min(rect.Right, textLeft + kColumnLimit * FMetrics.ColWidth - FMetrics.HorzOffset);
  // A token that runs on over the wrap is recognised whole.
  std::string parsed = text;
  if (FRowStore->WordWrap() && RowAttribute(row) == raWrap && row < FRowStore->Count() - 1) {
    parsed += RowDisplayText(row + 1);
    limit = std::min(limit, x + length * FMetrics.ColWidth);
  }
  TCanvas& canvas = Canvas();
  const TFontStyles fontStyle = Font().Style();
  const TColor background = selected ? SelectionBackground() : Color();
  const TColor foreground = selected ? SelectionForeground() : Font().Color();
  const TRect clip{std::max(rect.Left, textLeft), rect.Top, std::min(rect.Right, limit), rect.Bottom};
  parser.NewData(parsed.c_str(), FRowStore->RowAttributeData(row));
  for (TTokenKind kind = parser.NextToken(); kind != toEof; kind = parser.NextToken()) {
    const int start = parser.SourcePos();
    if (start >= length) break;
    const int tokenX = x + start * FMetrics.ColWidth;
    if (tokenX > limit) break;
    const int cells = std::min(parser.TokenLength(), length - start);
    if (tokenX + cells * FMetrics.ColWidth <= textLeft || tokenX >= limit) continue;
    const TFountainColor* color = parser.TokenToFountainColor();
    const TFontStyles style = color != nullptr ? color->Style() : fontStyle;
    TColor tokenBackground = background;
    TColor tokenForeground = foreground;
    if (!selected && color != nullptr) {
      if (color->BkColor() != clNone) tokenBackground = color->BkColor();
      if (color->Color() != clNone) tokenForeground = color->Color();
    }
    if (FItalicCare) {
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
  canvas.Font().Assign(Font());
  canvas.SetBrushStyle(bsSolid);
}

void TEditor::DrawEndMarks(const TRect& rect, int x, int row, const std::string& text, int y, bool selected) {
  const int length = static_cast<int>(text.size());
  const int limit = LeftOffset() + kColumnLimit * FMetrics.ColWidth - FMetrics.HorzOffset;
  int end = x + length * FMetrics.ColWidth;
  if (length > kColumnLimit) {
    // A double-byte character that starts in the last column is shown whole.
    end = IsLeadByte(static_cast<unsigned char>(text[kColumnLimit - 1])) ? limit + FMetrics.ColWidth : limit;
  }
  if (end >= rect.Right) return;
  const bool whole = x + length * FMetrics.ColWidth <= end;
  const TRowAttribute attribute = RowAttribute(row);
  if (!whole) {
    if (FMarks->HideMark()->Visible()) DrawHideMark(end, y, selected);
  } else if (FMarks->EofMark()->Visible() && row == FRowStore->Count() - 1 && attribute == raTextEnd) {
    DrawEofMark(rect, end, y);
  } else if (FMarks->RetMark()->Visible() && attribute == raLineEnd) {
    DrawRetMark(end, y, selected);
  } else if (FMarks->WrapMark()->Visible() && attribute == raWrap) {
    DrawWrapMark(end, y, selected);
  }
}

void TEditor::DrawRowPiece(const TRect& rect, int left, int right, int x, TFountainParser& parser, int row,
                           const std::string& text, int y, bool selected) {
  const TRect piece{std::max(rect.Left, left), rect.Top, std::min(rect.Right, right), rect.Bottom};
  if (piece.IsEmpty()) return;
  TCanvas& canvas = Canvas();
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

void TEditor::DrawRowWithSelection(const TRect& rect, int x, TFountainParser& parser, int row, const std::string& text,
                                   int y) {
  const TSelectionRect& range = FSelection.Range().Rect;
  if (row < range.Top || row > range.Bottom) {
    DrawRow(rect, x, parser, row, text, y);
    return;
  }
  const int edge = ClientWidth();
  int left = range.Left;
  int right = range.Right;
  if (FSelection.Box()) {
    // A box ends with the row's text; a column on a trail half takes the whole character.
    const std::string map = CellMap(RowText(row));
    const int length = static_cast<int>(text.size());
    auto fit = [&](int col) {
      col = std::min(col, length);
      if (col < static_cast<int>(map.size()) && map[static_cast<size_t>(col)] == kCellTrail) ++col;
      return col;
    };
    left = fit(left);
    right = fit(right);
  }
  const int leftX = ColumnToX(left);
  const int rightX = ColumnToX(right);
  const int start = rect.Left;
  if (FSelection.Box() || range.Top == range.Bottom) {
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

void TEditor::TextOutCells(const TRect& rect, int x, int options, std::string_view text, int y) {
  TCanvas& canvas = Canvas();
  const TFontStyles style = canvas.Font().Style();
  const bool underline = style.Contains(fsUnderline);
  if (underline) canvas.Font().SetStyle(style - TFontStyles{fsUnderline});
  size_t count = std::min<size_t>(text.size(), kColumnLimit);
  if (text.size() > kColumnLimit && IsLeadByte(static_cast<unsigned char>(text[kColumnLimit - 1]))) ++count;
  // Only the characters that can show: from the last character boundary before the
  // clip's left edge to the first one past its right edge.
  const int width = std::max(1, FMetrics.ColWidth);
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
    canvas.ExtTextOut(x + static_cast<int>(first) * width, y, options, rect, text.substr(first, last - first), FSpacing);
  }
  if (!underline) return;
  canvas.Font().SetStyle(style);
  const int from = std::max(x, rect.Left);
  const int to = std::min(x + static_cast<int>(count) * width, rect.Right);
  if (from < to) DrawCachedDottedLine(canvas, from, y + FMetrics.FontHeight - 1, canvas.BrushColor(), canvas.Font().Color(), to - 1);
}

// ---- Marks ----

void TEditor::DrawEofMark(const TRect& rect, int x, int y) {
  TCanvas& canvas = Canvas();
  const TRect clip{std::max(LeftOffset(), x), std::max(TopOffset(), y), std::min(ClientWidth(), x + 6 * FMetrics.ColWidth),
                   std::min(ClientHeight(), y + FMetrics.FontHeight)};
  canvas.Font().Assign(Font());
  canvas.Font().SetColor(MarkColor(*FMarks->EofMark(), false));
  canvas.SetBrushStyle(bsSolid);
  canvas.SetBrushColor(Color());
  TextOutCells(clip, x, etoOpaque | etoClipped, "[EOF]", y);
  canvas.Font().Assign(Font());
}

void TEditor::DrawMarkLines(const std::vector<TPoint>& points, TColor color) {
  TCanvas& canvas = Canvas();
  // Marks belong to the text area: a mark cut by its left edge shows only there.
  const TRect clip = canvas.ClipRect();
  canvas.SetClipRect(clip.Intersect({LeftOffset(), TopOffset(), ClientWidth(), ClientHeight()}));
  canvas.SetPenColor(color);
  canvas.SetPenMode(pmCopy);
  canvas.MoveTo(points.front().X, points.front().Y);
  for (size_t i = 1; i < points.size(); ++i) canvas.LineTo(points[i].X, points[i].Y);
  canvas.SetClipRect(clip);
}

void TEditor::DrawRetMark(int x, int y, bool selected) {
  if (x + FMetrics.ColWidth + 1 < LeftOffset()) return;
  const int h = FMetrics.FontHeight;
  const int d = std::max(1, h / 8);
  const int f = std::max(d, 3);
  const int cx = x + FMetrics.ColWidth / 2;
  const TColor color = MarkColor(*FMarks->RetMark(), selected);
  DrawMarkLines({{cx, y + 2 * d}, {cx, y + h - 2 * d}, {cx + f, y + h - 2 * d - f}}, color);
  DrawMarkLines({{cx, y + h - 2 * d}, {cx - f, y + h - 2 * d - f}}, color);
}

void TEditor::DrawWrapMark(int x, int y, bool selected) {
  if (x + FMetrics.ColWidth + 1 < LeftOffset()) return;
  const int w = FMetrics.ColWidth;
  const int e = std::max(2, w * 3 / 5);
  const int cy = y + FMetrics.FontHeight / 2;
  DrawMarkLines({{x + w, cy - e}, {x + w - e, cy}, {x + w + 1, cy + e + 1}}, MarkColor(*FMarks->WrapMark(), selected));
}

void TEditor::DrawHideMark(int x, int y, bool selected) {
  if (x + FMetrics.ColWidth + 1 < LeftOffset()) return;
  const int w = FMetrics.ColWidth;
  const int e = std::max(2, w * 3 / 5);
  const int cy = y + FMetrics.FontHeight / 2;
  DrawMarkLines({{x + w - e, cy - e}, {x + w, cy}, {x + w - e - 1, cy + e + 1}},
                MarkColor(*FMarks->HideMark(), selected));
}

// ---- The caret-row underline ----

int TEditor::UnderlineY(int row) const {
  const int y = TopOffset() + FMetrics.RowHeight * (row - FMetrics.TopRow) + FMetrics.FontHeight;
  return y <= TopOffset() || y >= ClientHeight() ? -1 : y;
}

void TEditor::DrawUnderline(int row) {
  const int y = UnderlineY(row);
  if (!HasWindow() || y < 0) return;
  const TColor color = FMarks->Underline()->Color();
  DrawMarkLines({{LeftOffset(), y}, {ClientWidth(), y}}, color == clNone ? Font().Color() : color);
}

void TEditor::EraseUnderline(int row) {
  const int y = UnderlineY(row);
  if (!HasWindow() || y < 0) return;
  DrawMarkLines({{LeftOffset(), y}, {ClientWidth(), y}}, Color());
}

void TEditor::HideUnderline() {
  ++FUnderlineHideCount;
  if (FUnderlineHideCount == 1 && FMarks->Underline()->Visible() && !RangeExists()) EraseUnderline(FRow);
}

void TEditor::ShowUnderline() {
  if (FUnderlineHideCount == 0) return;
  --FUnderlineHideCount;
  if (FUnderlineHideCount == 0 && FMarks->Underline()->Visible() && !RangeExists()) DrawUnderline(FRow);
}

// ---- Lines of rows ----

int TEditor::LineIndexOfRow(int row) const {
  const TEditorScreenStrings& store = *FRowStore;
  if (!store.WordWrap()) return row;
  row = std::clamp(row, 0, store.Count());
  // Rows are mostly asked about near the last one: walk from there.
  int from = 0;
  int line = 0;
  if (FLineCacheStamp == store.StructureStamp()) {
    from = FLineCacheRow;
    line = FLineCacheLine;
  }
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

}  // namespace plomaret
