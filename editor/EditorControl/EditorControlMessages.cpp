// The messages of a multi-line edit control, answered over the control's own text,
// selection and state. A character index is a byte offset into the whole text in which
// a line end counts 2 and a wrap joint nothing.

#include <algorithm>
#include <cstring>

#include "editor/EditorControl.h"
#include "framework/gui/Platform.h"

namespace plomaret {

namespace {

int32_t ToInt32(intptr_t value) { return static_cast<int32_t>(value); }

}  // namespace

// A row's bytes as a character index counts them, and when walking over it to find
// an index (the text-end row counts one more there).
int64_t TEditor::IndexLength(int row) const {
  const int64_t length = static_cast<int64_t>(FRowStore->ViewAt(row).size());
  return FRowStore->RowAttributes(row) == raLineEnd ? length + 2 : length;
}

int64_t TEditor::RowIndex(int row) const {
  int64_t index = 0;
  for (int r = 0; r < row && r < FRowStore->Count(); ++r) index += IndexLength(r);
  return index;
}

std::pair<int, int64_t> TEditor::RowOfIndex(int64_t index) const {
  const int count = FRowStore->Count();
  for (int r = 0; r < count; ++r) {
    const int64_t length = RowContribution(r);
    if (index < length || FRowStore->RowAttributes(r) == raTextEnd) return {r, index};
    index -= length;
  }
  return {count, index};
}

void TEditor::EMGetSel(TMessage& message) {
  const int start = SelStart();
  const int end = start + SelLength();
  if (message.WParam != 0) *reinterpret_cast<int32_t*>(message.WParam) = start;
  if (message.LParam != 0) *reinterpret_cast<int32_t*>(message.LParam) = end;
  message.Result = static_cast<int32_t>(MakeLong(start, end));
}

void TEditor::EMSetSel(TMessage& message) {
  const int32_t start = ToInt32(message.WParam);
  const int32_t end = ToInt32(message.LParam);
  if (start == 0 && end == -1) {
    SelectAll();
  } else if (start == -1) {
    CleanSelection();
  } else {
    SetSelStart(std::min(start, end));
    SetSelLength(std::max(start, end) - std::min(start, end));
  }
  message.Result = 0;
}

void TEditor::EMScrollCaret(TMessage& message) {
  if (FRow < FMetrics.TopRow || FRow > FMetrics.TopRow + FMetrics.RowCount - 1) SetTopRow(FRow - FMetrics.RowCount / 3);
  if (FCol < FMetrics.TopCol || FCol > FMetrics.TopCol + FMetrics.ColCount - 1) SetTopCol(FCol - FMetrics.ColCount / 3);
  message.Result = 0;
}

void TEditor::EMLineIndex(TMessage& message) {
  const int32_t asked = ToInt32(message.WParam);
  const int row = asked == -1 ? FRow : asked;
  message.Result = row < 0 || row >= FRowStore->Count() ? -1 : static_cast<int32_t>(RowIndex(row));
}

void TEditor::EMLineLength(TMessage& message) {
  const int32_t index = ToInt32(message.WParam);
  if (index == -1) {
    if (RangeExists()) {
      const TEditorSelectionRecord& s = FSelection.Range();
      message.Result = static_cast<int32_t>(RowText(s.EndRow).size()) + s.StartByte - s.EndByte - 1;
    } else {
      message.Result = static_cast<int32_t>(RowText(FRow).size());
    }
    return;
  }
  message.Result = static_cast<int32_t>(RowText(RowOfIndex(std::max(index, 0)).first).size());
}

void TEditor::EMLineFromChar(TMessage& message) {
  const int32_t index = ToInt32(message.WParam);
  if (index == -1) {
    message.Result = RangeExists() ? FSelection.Range().StartRow : FRow;
    return;
  }
  message.Result = RowOfIndex(std::max(index, 0)).first;
}

void TEditor::EMGetLine(TMessage& message) {
  const int row = ToInt32(message.WParam);
  auto* buffer = reinterpret_cast<char*>(message.LParam);
  message.Result = 0;
  if (buffer == nullptr || row < 0 || row >= FRowStore->Count()) return;
  uint16_t size = 0;
  std::memcpy(&size, buffer, sizeof size);
  const std::string_view text = FRowStore->ViewAt(row);
  const size_t copied = std::min<size_t>(size, text.size());
  std::memcpy(buffer, text.data(), copied);  // no terminating zero
  message.Result = static_cast<int32_t>(copied);
}

void TEditor::EMPosFromChar(TMessage& message) {
  const auto [row, offset] = RowOfIndex(std::max<int64_t>(ToInt32(message.WParam), 0));
  const int col = ByteToCol(row, static_cast<int>(std::min<int64_t>(offset, INT32_MAX)));
  const int x = LeftOffset() + (col - FMetrics.TopCol) * FMetrics.ColWidth;
  const int y = TopOffset() + (row - FMetrics.TopRow) * FMetrics.RowHeight;
  message.Result = static_cast<int32_t>(MakeLong(x, y));
}

void TEditor::EMCharFromPos(TMessage& message) {
  const int x = LowWord(message.LParam);
  const int y = HighWord(message.LParam);
  if (!ClientRect().Contains({x, y})) {
    message.Result = -1;
    return;
  }
  const TPoint cell = PixelToCell(x, y, true);
  const int row = std::max(0, cell.Y);
  const std::string text = RowText(row);
  const std::string map = CellMap(text);
  int col = cell.X;
  if (col > 0 && col < static_cast<int>(map.size()) && map[static_cast<size_t>(col)] == kCellTrail) --col;
  const int byte = std::min(static_cast<int>(text.size()), ColToByte(map, col));
  const int64_t index = RowIndex(row) + byte;
  message.Result = static_cast<int32_t>(MakeLong(static_cast<int>(index & 0xFFFF), row));
}

void TEditor::EMReplaceSel(TMessage& message) {
  if (!FReadOnly && message.LParam != 0) PasteText(reinterpret_cast<const char*>(message.LParam));
  message.Result = 0;
}

void TEditor::EMUndo(TMessage& message) {
  const bool can = !FReadOnly && CanUndo();
  if (can) Undo();
  message.Result = can ? 1 : 0;
}

void TEditor::WMCut(TMessage& message) {
  if (FReadOnly || FSelection.State() != sstSelected) {
    if (PlatformInstalled()) Platform().Clipboard().SetText("");
  } else {
    CutToClipboard();
  }
  message.Result = 0;
}

void TEditor::WMCopy(TMessage& message) {
  if (FSelection.State() == sstSelected) {
    CopyToClipboard();
  } else if (PlatformInstalled()) {
    Platform().Clipboard().SetText("");
  }
  message.Result = 0;
}

void TEditor::WMGetText(TMessage& message) {
  auto* buffer = reinterpret_cast<char*>(message.LParam);
  message.Result = 0;
  if (buffer == nullptr || message.WParam <= 0) return;
  const std::string text = FLines->AllText();
  const size_t copied = std::min(static_cast<size_t>(message.WParam) - 1, text.size());
  std::memcpy(buffer, text.data(), copied);
  buffer[copied] = '\0';
  message.Result = static_cast<int32_t>(copied);
}

void TEditor::WMGetTextLength(TMessage& message) {
  int64_t length = 0;
  for (int r = 0, count = FRowStore->Count(); r < count; ++r) length += IndexLength(r);
  message.Result = static_cast<int32_t>(std::min<int64_t>(length, INT32_MAX));
}

void TEditor::WMImeNotify(TMessage& message) {
  TCustomControl::WndProc(message);
  // The caret hides while the candidate list is open.
  if (message.WParam == IMN_OPENCANDIDATE) CaretHide();
  if (message.WParam == IMN_CLOSECANDIDATE) CaretShow();
}

bool TEditor::EditMessage(TMessage& message) {
  switch (message.Msg) {
    case EM_GETSEL: EMGetSel(message); return true;
    case EM_SETSEL: EMSetSel(message); return true;
    case EM_SCROLLCARET: EMScrollCaret(message); return true;
    case EM_GETMODIFY: message.Result = FModified ? 1 : 0; return true;
    case EM_SETMODIFY: if (!FReadOnly) FModified = message.WParam != 0; message.Result = 0; return true;
    case EM_GETLINECOUNT: message.Result = FRowStore->Count(); return true;
    case EM_LINEINDEX: EMLineIndex(message); return true;
    case EM_LINELENGTH: EMLineLength(message); return true;
    case EM_LINEFROMCHAR: EMLineFromChar(message); return true;
    case EM_GETLINE: EMGetLine(message); return true;
    case EM_GETFIRSTVISIBLELINE: message.Result = FMetrics.TopRow; return true;
    case EM_POSFROMCHAR: EMPosFromChar(message); return true;
    case EM_CHARFROMPOS: EMCharFromPos(message); return true;
    case EM_REPLACESEL: EMReplaceSel(message); return true;
    case EM_CANUNDO: message.Result = !FReadOnly && CanUndo() ? 1 : 0; return true;
    case EM_UNDO: EMUndo(message); return true;
    case EM_EMPTYUNDOBUFFER: if (!FReadOnly) FRowStore->UndoObj()->Clear(); message.Result = 0; return true;
    case EM_SETREADONLY: SetReadOnly(message.WParam != 0); message.Result = 0; return true;
    case WM_CUT: WMCut(message); return true;
    case WM_COPY: WMCopy(message); return true;
    case WM_PASTE: if (!FReadOnly) PasteFromClipboard(); message.Result = 0; return true;
    case WM_CLEAR: if (!FReadOnly) DeleteSelection(); message.Result = 0; return true;
    case WM_GETTEXT: WMGetText(message); return true;
    case WM_GETTEXTLENGTH: WMGetTextLength(message); return true;
    case WM_IME_NOTIFY: WMImeNotify(message); return true;
    default: return false;
  }
}

}  // namespace plomaret
