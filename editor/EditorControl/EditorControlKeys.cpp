// The keyboard: navigation and Delete on key-down (with Shift extending the
// selection), Backspace, Tab, Return and typed characters on the character message
// (a double-byte character arrives as two character messages), the dialog code, and
// the input method's result string.

#include <algorithm>

#include "editor/EditorControl.h"
#include "editor/EditorControl/EditorControlGuards.h"
#include "framework/core/CodePage.h"
#include "framework/gui/Keys.h"
#include "framework/gui/Platform.h"

namespace plomaret {

namespace {

bool IsNavigationKey(int key) {
  switch (key) {
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
      return true;
    default:
      return false;
  }
}

bool KeyHeld(int key) { return PlatformInstalled() && Platform().KeyDown(key); }

}  // namespace

void TEditor::KeyDown(int& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);  // OnKeyDown may take the key away
  if (key == 0) return;
  const bool withShift = shift.Contains(ssShift);
  const bool withCtrl = shift.Contains(ssCtrl);
  const bool navigation = IsNavigationKey(key);
  if (navigation) {
    if (FSelection.State() != sstSelected && withShift) {
      StartSelection();
    } else if (FSelection.State() == sstSelected && !withShift) {
      CleanSelection();
    } else if (FSelection.State() == sstHitSelected) {
      CleanSelection();
    }
  }
  const int count = FRowStore->Count();
  switch (key) {
    case VK_PRIOR:
    case VK_NEXT: {
      const int factor = FKeyRepeat ? FSpeed->PageVerticalRangeAc() : FSpeed->PageVerticalRange();
      const int rows = (FMetrics.RowCount - 1) / 2 * factor;
      ScrollByRows(key == VK_PRIOR ? -rows : rows);
      break;
    }
    case VK_HOME:
      if (withCtrl) SetRow(0);
      SetCol(0);
      break;
    case VK_END:
      if (withCtrl) SetRow(count);
      SetCol(FRow == count ? 0 : RowEndCol(FRow));
      break;
    case VK_LEFT:
      if (withCtrl) {
        MoveCaretByToken(-1);
      } else if (FCol > 0) {
        SetCol(FCol - 1);
      } else if (FRow > 0 && (FCaret->NextLine() || RowAttribute(FRow - 1) == raWrap)) {
        const auto hidden = CaretHidden(*this);
        SetRowCol(FRow - 1, RowEndCol(FRow - 1));
      }
      break;
    case VK_RIGHT:
      if (withCtrl) {
        MoveCaretByToken(1);
      } else {
        const int old = FCol;
        SetCol(FCol + 1);
        if (FCol == old && FRow < count && RowAttribute(FRow) != raTextEnd &&
            (FCaret->NextLine() || RowAttribute(FRow) == raWrap)) {
          const auto hidden = CaretHidden(*this);
          SetRowCol(FRow + 1, 0);
        }
      }
      break;
    case VK_UP: {
      const int step = FKeyRepeat && FRow == FMetrics.TopRow ? FSpeed->CaretVerticalAc() : 1;
      if (FRow > 0) {
        if (withCtrl) {
          SetTopRow(FMetrics.TopRow - step);
          if (FRow >= FMetrics.TopRow + FMetrics.RowCount) SetRow(FRow - step);
        } else {
          SetRow(FRow - step);
        }
      }
      break;
    }
    case VK_DOWN: {
      const int step = FKeyRepeat && FRow == FMetrics.TopRow + FMetrics.RowCount - 1 ? FSpeed->CaretVerticalAc() : 1;
      if (withCtrl) {
        SetTopRow(FMetrics.TopRow + step);
        if (FRow < FMetrics.TopRow) SetRow(FRow + step);
      } else if (RowAttribute(FRow) != raTextEnd) {
        SetRow(FRow + step);
      }
      break;
    }
    case VK_DELETE:
      if (!FReadOnly) DeleteForward();
      break;
    default:
      break;
  }
  if (navigation && withShift) ExtendSelection();
}

void TEditor::MoveCaretByToken(int direction) {
  int row = FRow;
  int col = FCol;
  if (MoveByToken(row, col, direction)) SetRowCol(row, col);
}

void TEditor::KeyUpMessage(TMessage& message) {
  TCustomControl::WndProc(message);
  FKeyRepeat = false;
  if (FImePositionPending) UpdateImePosition();
  message.Result = 0;
}

void TEditor::CharMessage(TMessage& message) {
  message.Result = 0;
  char key = static_cast<char>(message.WParam);
  KeyPress(key);  // OnKeyPress may take the character away
  const auto byte = static_cast<unsigned char>(key);
  if (byte == 0) return;
  switch (byte) {
    case 8:
      if (!FReadOnly) BackSpaceKey();
      return;
    case 9:
      TabKey();
      return;
    case 13:
      if (!FReadOnly) ReturnKey(KeyHeld(VK_SHIFT));
      return;
    default:
      break;
  }
  if (IsLeadByte(byte)) {
    // Every lead byte waits for its trail byte, which is the next character message.
    TMessage next;
    if (!PeekMessage(next, WM_CHAR, WM_CHAR, false) || (next.WParam & 0xFF) < 64) return;
    PeekMessage(next, WM_CHAR, WM_CHAR, true);
    if (FImeSkipCount > 0) {
      FImeSkipCount = std::max(0, FImeSkipCount - 2);
      return;
    }
    if (FReadOnly) return;
    if (FImePositionPending) UpdateImePosition();
    const char pair[2] = {static_cast<char>(byte), static_cast<char>(next.WParam & 0xFF)};
    InsertText(std::string_view(pair, 2));
    return;
  }
  if ((byte >= 32 && byte <= 126) || byte >= 160) {
    if (FImeSkipCount > 0) {
      --FImeSkipCount;
      return;
    }
    if (FReadOnly) return;
    if (FImePositionPending) UpdateImePosition();
    const char single = static_cast<char>(byte);
    InsertText(std::string_view(&single, 1));
  }
}

int32_t TEditor::DialogCode(int32_t framework) const {
  int32_t code = framework | DLGC_WANTARROWS | DLGC_WANTCHARS;
  code = FWantTabs ? code | DLGC_WANTTAB : code & ~DLGC_WANTTAB;
  code = FWantReturns ? code | DLGC_WANTALLKEYS : code & ~DLGC_WANTALLKEYS;
  return code;
}

void TEditor::ImeComposition(TMessage& message) {
  // The system's part first: it queues the same bytes again as characters, which are
  // skipped by their count.
  TCustomControl::WndProc(message);
  if ((message.LParam & GCS_RESULTSTR) != 0 && !FReadOnly) {
    const std::string result = ImeResultString();
    FImeSkipCount = static_cast<int>(result.size());
    InsertText(result);
  }
}

}  // namespace plomaret
