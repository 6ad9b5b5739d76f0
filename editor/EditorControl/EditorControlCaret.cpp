// The editor control's coordinates and caret: rows of Shift-JIS bytes laid out in
// cells, conversions between cells, bytes and pixels, the rules that pull the caret
// onto a legal cell after every move, word movement, and the system caret.

#include <algorithm>

#include "editor/EditorControl.h"
#include "editor/EditorControl/EditorControlGuards.h"

namespace plomaret {

namespace {

// The kind of cell col in a cell map; 0 outside it.
char CellAt(const std::string& map, int col) {
  return col >= 0 && col < static_cast<int>(map.size()) ? map[static_cast<size_t>(col)] : '\0';
}

struct TToken {
  int Start;
  int Length;
  TTokenKind Kind;
};

// The tokens of a display text, scanned from an empty state.
std::vector<TToken> TokensOf(TFountain& fountain, const std::string& text) {
  std::vector<TToken> tokens;
  TOwned<TFountainParser> parser = fountain.CreateParser();
  parser->NewData(text.c_str(), TRowAttributeData{});
  for (TTokenKind kind = parser->NextToken(); kind != toEof; kind = parser->NextToken()) {
    if (parser->SourcePos() >= static_cast<int>(text.size())) break;
    tokens.push_back({parser->SourcePos(), parser->TokenLength(), kind});
  }
  return tokens;
}

}  // namespace

// ---- Cells, columns and bytes ----

TCellLayout TEditor::Layout() const {
  TCellLayout layout;
  layout.TabSpaceCount = FCaret->TabSpaceCount();
  layout.WordWrap = FRowStore->WordWrap();
  layout.WrapByte = FRowStore->WrapOption()->WrapByte();
  layout.Delimiters = &FDelimiters;
  return layout;
}

std::string TEditor::RowText(int row) const {
  if (row < 0 || row >= FRowStore->Count()) return {};
  return std::string(FRowStore->ViewAt(row));
}

std::string TEditor::RowDisplayText(int row) const { return ExpandTabs(RowText(row)); }

int TEditor::RowEndCol(int row) const {
  if (row < 0 || row >= FRowStore->Count()) return 0;
  return DisplayWidth(FRowStore->ViewAt(row));
}

TRowAttribute TEditor::RowAttribute(int row) const {
  if (row < 0 || row >= FRowStore->Count()) return raTextEnd;
  return FRowStore->RowAttributes(row);
}

int TEditor::ByteToCol(int row, int offset) const {
  if (row < 0 || row >= FRowStore->Count()) return 0;
  const std::string_view text = FRowStore->ViewAt(row);
  const size_t length = static_cast<size_t>(std::clamp<int64_t>(offset, 0, static_cast<int64_t>(text.size())));
  return DisplayWidth(text.substr(0, length));
}

// ---- Pixels ----

TPoint TEditor::PixelToCell(int x, int y, bool snap) const { return Metrics().PixelToCell(x, y, snap); }

TPoint TEditor::CaretPixel() const {
  TPoint pixel = Metrics().CellToPixel(FCol, FRow);
  if (FCaret->Style() == csBrief) pixel.Y += FMetrics.FontHeight - 2;
  return pixel;
}

bool TEditor::CharFromPixel(int x, int y, int& row, int& byteIndex) const {
  if (FRowStore->Count() == 0 || FMetrics.ColWidth == 0 || x < LeftOffset() || y < TopOffset()) return false;
  const TPoint cell = PixelToCell(x, y, true);
  if (cell.Y < 0 || cell.Y > FRowStore->Count()) return false;
  row = cell.Y;
  const std::string text = RowText(row);
  const std::string map = CellMap(text);
  int col = cell.X;
  if (col >= static_cast<int>(map.size())) return false;
  if (CellAt(map, col) == kCellTrail) --col;
  while (CellAt(map, col) == kCellTabFill) --col;
  byteIndex = std::min(static_cast<int>(text.size()), ColToByte(map, col));
  return true;
}

// ---- Placing the caret ----

void TEditor::RememberColumn(int col) {
  if (FKeptColValid) return;
  FKeptCol = col;
  FKeptColValid = true;
}

void TEditor::NormalizeCol(bool keep, int direction) {
  const std::string map = CellMap(RowText(FRow));
  const int b = static_cast<int>(map.size());
  auto remember = [&](int col) {
    if (keep) RememberColumn(col);
  };
  if (!keep) {
    FKeptColValid = false;
  } else if (FKeptColValid) {
    FCol = FKeptCol;
  }
  const bool mouseHeld = FLeftButtonDown;
  if (!FCaret->FreeCaret() && FCol > b) {
    if (FCaret->KeepCaret()) remember(mouseHeld ? b : FCol);
    if (!FCaret->FreeRow() || !keep || mouseHeld) {
      FCol = b;
      if (!FCaret->KeepCaret()) FKeptColValid = false;
    }
  }
  if (CellAt(map, FCol) == kCellTrail) {
    remember(FCol);
    FCol += direction;
  }
  if (!FCaret->InTab() && CellAt(map, FCol) == kCellTabFill) {
    remember(FCol);
    while (CellAt(map, FCol) == kCellTabFill) FCol += direction;
  }
  if (FRowStore->WordWrap() && FCol >= b) {
    remember(FCol);
    const int wrapByte = FRowStore->WrapOption()->WrapByte();
    if (RowAttribute(FRow) == raWrap) {
      FCol = b - 1;
    } else if (FCol >= wrapByte) {
      FCol = std::max(b, wrapByte - 1);
    }
    if (CellAt(map, FCol) == kCellTrail) --FCol;
    if (!FCaret->InTab()) {
      while (CellAt(map, FCol) == kCellTabFill) --FCol;
    }
  }
  // Column 1001 is left only right after a double-byte character at 999-1000.
  if (FCol > kColumnLimit && CellAt(map, kColumnLimit - 1) != kCellLead) FCol = kColumnLimit;
  if (!FCaretUpdateLock) UpdateCaret();
}

void TEditor::MoveRulerMark(int oldCol, int newCol) {
  if (!FRuler->Visible()) return;
  FPainter->EraseRulerMark(oldCol);
  FPainter->DrawRulerMark(newCol);
}

void TEditor::SetCol(int col) {
  col = std::clamp(col, 0, kColumnLimit + 1);
  const int old = FCol;
  if (FRuler->Visible()) FPainter->EraseRulerMark(old);
  FCol = col;
  NormalizeCol(false, col > old ? 1 : -1);
  if (FRuler->Visible()) FPainter->DrawRulerMark(FCol);
}

void TEditor::SetRow(int row) {
  const int count = FRowStore->Count();
  if (row == FRow && FRow != count) return;
  const auto hidden = UnderlineHidden(*this);
  const int oldCol = FCol;
  FRow = std::max(0, std::min(row, count));
  // After a text end there is no row to stand on; after a final line end there is.
  if (FRow == count && count > 0 && FRowStore->RowAttributes(count - 1) == raTextEnd) FRow = count - 1;
  NormalizeCol(true, -1);
  if (FCol != oldCol) MoveRulerMark(oldCol, FCol);
}

void TEditor::SetRowCol(int row, int col) {
  if (row == FRow && col == FCol) return;
  {
    TScopedValue locked(FCaretUpdateLock, true, false);
    SetRow(row);
    const std::string map = CellMap(RowText(FRow));
    if (CellAt(map, col) == kCellTrail) --col;
    if (!FCaret->InTab()) {
      while (CellAt(map, col) == kCellTabFill) --col;
    }
    SetCol(col);
  }
  UpdateCaret();
}

// ---- Word movement ----

bool TEditor::MoveByToken(int& row, int& col, int direction) const {
  TFountain* fountain = ActiveFountain();
  if (fountain == nullptr) return false;
  const int count = FRowStore->Count();
  const bool endStop = FCaret->TokenEndStop();
  int r = row;
  int c = col;
  if (direction == 1) {
    if (c >= RowEndCol(r) && r < count) {
      // Nothing follows the end of a text without a final line end.
      if (RowAttribute(r) == raTextEnd) return false;
      ++r;
      c = -1;
    }
    const std::string text = RowDisplayText(r);
    bool found = false;
    for (const TToken& token : TokensOf(*fountain, text)) {
      if (endStop) {
        if (c < token.Start) {
          c = token.Start;
          found = true;
        } else if (c < token.Start + token.Length) {
          c = token.Start + token.Length;
          found = true;
        }
      } else if (token.Kind != toSymbol && c < token.Start) {
        c = token.Start;
        found = true;
      }
      if (found) break;
    }
    if (!found) {
      if (RowAttribute(r) == raWrap) {
        ++r;
        c = 0;
      } else {
        c = static_cast<int>(text.size());
      }
    }
  } else {
    bool done = false;
    if (c == 0) {
      if (r == 0) return false;
      --r;
      c = RowEndCol(r);
      done = RowAttribute(r) == raLineEnd;
    }
    if (!done) {
      int previous = -1;
      bool found = false;
      for (const TToken& token : TokensOf(*fountain, RowDisplayText(r))) {
        if (endStop) {
          if (token.Start < c && c <= token.Start + token.Length) {
            c = token.Start;
            found = true;
          } else if (token.Start >= c && previous != -1 && previous < c) {
            c = previous;
            found = true;
          }
          if (found) break;
          previous = token.Start + token.Length;
        } else if (token.Kind != toSymbol) {
          if (token.Start >= c && previous != -1 && previous < c) {
            c = previous;
            found = true;
            break;
          }
          previous = token.Start;
        }
      }
      if (!found) {
        if (previous == -1 || previous >= c) {
          if (r > 0) {
            --r;
            c = RowEndCol(r);
          } else {
            c = 0;
          }
        } else {
          c = previous;
        }
      }
    }
  }
  const bool moved = r != row || c != col;
  row = r;
  col = c;
  return moved;
}

// ---- The system caret ----

void TEditor::UpdateCaret() {
  CreateCaretShape();
  ScrollCaret();
  PlaceCaret();
  if (FCaretHideCount == 0 && HasWindow() && Focused()) {
    if (CaretOutsideView()) {
      HideSystemCaret();
    } else {
      ShowSystemCaret();
    }
  }
}

void TEditor::CreateCaretShape() {
  if (!HasWindow() || !Focused()) return;
  HideSystemCaret();
  DestroyCaret();
  if (FHitStyle == hsCaret && FSelection.State() == sstHitSelected && FSelection.HitLength() > 0) {
    // A block as wide as the hit; to the row's end when the hit goes on below.
    const TSelectionRect& hit = FSelection.Range().Rect;
    const int cells = hit.Top == hit.Bottom ? hit.Right - hit.Left : RowEndCol(FRow) - hit.Left;
    CreateCaret(std::max(2, FMetrics.ColWidth * cells), FMetrics.FontHeight);
    return;
  }
  if (FCaret->Style() == csDefault) {
    CreateCaret(2, FMetrics.FontHeight);
    return;
  }
  int width = FMetrics.ColWidth - FMargin->Character();
  if (CellAt(CellMap(RowText(FRow)), FCol) == kCellLead) width *= 2;
  CreateCaret(width, 2);
}

void TEditor::PlaceCaret() {
  if (!HasWindow() || !Focused()) return;
  SetCaretPos(CaretPixel());
  UpdateImePosition();
  DoCaretMoved();
}

void TEditor::UpdateImePosition() {
  if (!HasWindow()) return;
  if (FKeyRepeat) {
    FImePositionPending = true;
    return;
  }
  FImePositionPending = false;
  // The composition is drawn on the text's cells, the clause being converted as selected text.
  const TEditorColors& colors = *FView->Colors();
  TImeCompositionStyle style;
  style.CellWidth = FMetrics.ColWidth;
  style.Height = FMetrics.FontHeight;
  style.Color = Font().Color();
  style.Background = Color();
  style.FocusColor = colors.Select()->Color() == clNone ? Color() : colors.Select()->Color();
  style.FocusBackground = colors.Select()->BkColor() == clNone ? Font().Color() : colors.Select()->BkColor();
  // Selection colours that look like the text's would hide the clause: it is inverted instead.
  if (style.FocusBackground == style.Background) {
    style.FocusColor = style.Background;
    style.FocusBackground = style.Color;
  }
  SetImeCompositionWindow({CaretPixel().X, TopOffset() + FMetrics.RowHeight * (FRow - FMetrics.TopRow)}, Font(), style);
}

bool TEditor::CaretOutsideView() const {
  return FRow < FMetrics.TopRow || FRow > FMetrics.TopRow + FMetrics.RowCount || FCol < FMetrics.TopCol || FCol > FMetrics.TopCol + FMetrics.ColCount;
}

void TEditor::ShowSystemCaret() {
  if (FCaretShown || !CaretExists()) return;
  ShowCaret();
  FCaretShown = true;
}

void TEditor::HideSystemCaret() {
  if (!FCaretShown) return;
  HideCaret();
  FCaretShown = false;
}

void TEditor::CaretHide() {
  ++FCaretHideCount;
  if (FCaretHideCount == 1 && HasWindow() && Focused()) HideSystemCaret();
}

void TEditor::CaretShow() {
  if (FCaretHideCount > 0) --FCaretHideCount;
  if (FCaretHideCount != 0 || !HasWindow() || !Focused()) return;
  if (CaretOutsideView()) {
    HideSystemCaret();
  } else {
    ShowSystemCaret();
  }
}

void TEditor::WMSetFocus(TMessage& message) {
  CreateCaretShape();
  PlaceCaret();
  if (FCaretHideCount == 0 && !CaretOutsideView()) ShowSystemCaret();
  message.Result = 0;
}

void TEditor::WMKillFocus(TMessage& message) {
  HideSystemCaret();
  DestroyCaret();
  message.Result = 0;
}

}  // namespace plomaret
