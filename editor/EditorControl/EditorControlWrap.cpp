// Word wrap in the row store: splitting texts into rows with the wrap options,
// wrapping and unwrapping the whole text, and what a change of the options does.

#include <algorithm>

#include "editor/EditorControl.h"
#include "framework/core/ScopeGuard.h"
#include "editor/EditorUtils.h"
#include "framework/core/LineSplitter.h"

namespace plomaret {

TOwned<TEditorWrapOption> TEditorScreenStrings::CreateWrapOption() {
  TOwned<TEditorWrapOption> option = Create<TEditorWrapOption>();
  option->OnChange = TNotifyEvent(this, &TEditorScreenStrings::WrapOptionChanged);
  return option;
}

TCellLayout TEditorScreenStrings::CellLayout() const {
  TCellLayout layout;
  if (const TAttachedEditor* primary = PrimaryEditor()) {
    layout.TabSpaceCount = primary->TabSpaceCount();
    layout.Delimiters = &primary->WordDelimiters();
  }
  layout.WordWrap = FWrapOn;
  layout.WrapByte = FWrapOption->WrapByte();
  return layout;
}

int TEditorScreenStrings::DisplayWidthOf(std::string_view text) const { return DisplayWidth(text, CellLayout()); }

bool TEditorScreenStrings::PrimaryLoading() const {
  const TAttachedEditor* primary = PrimaryEditor();
  return primary != nullptr && primary->IsLoading();
}

void TEditorScreenStrings::StrToRows(std::string_view text, TEditorStringList& rows) {
  TUpdateBracket update(rows);
  rows.Clear();
  if (text.empty()) {
    rows.Add(std::string());
    return;
  }
  if (!FWrapOn) {
    TextToStrings(text, rows);
  } else {
    const TCellLayout layout = CellLayout();
    TLineWrapper wrapper(*FWrapOption, layout.TabSpaceCount, *layout.Delimiters);
    TLineRows lineRows;
    SplitLines(text, [&](std::string_view line) {
      wrapper.Wrap(line, lineRows);
      for (int r = 0; r < lineRows.Count(); ++r) {
        const int row = rows.AddText(lineRows.Row(line, r));
        rows.SetRowAttributes(row, lineRows.Attribute(r));
      }
    });
  }
  if (rows.Count() == 0) rows.Add(std::string());  // a text that a zero byte ends at once
}

int TEditorScreenStrings::RowCountOf(std::string_view line) {
  if (!FWrapOn) return 1;
  const TCellLayout layout = CellLayout();
  TLineWrapper wrapper(*FWrapOption, layout.TabSpaceCount, *layout.Delimiters);
  return wrapper.RowCount(line);
}

template <class Build>
void TEditorScreenStrings::RebuildRows(Build build) {
  CleanSelections();
  // The views are told once, by whoever asked for the whole text to change.
  TScopedValue quiet(OnChange, TNotifyEvent());
  TUpdateBracket update(*this);
  TOwned<TEditorStringList> rows = Create<TEditorStringList>();
  rows->SetItemCapacity(Count());
  build(*rows);
  SwapItems(*rows);
}

void TEditorScreenStrings::WrapAll() {
  if (!FWrapOn || Count() == 0 || PrimaryLoading()) return;
  const TCellLayout layout = CellLayout();
  RebuildRows([&](TEditorStringList& rows) {
    TLineWrapper wrapper(*FWrapOption, layout.TabSpaceCount, *layout.Delimiters);
    TLineRows lineRows;
    std::string line;
    std::vector<uint16_t> marks;
    const int count = Count();
    const TRowAttribute lastAttribute = RowAttributes(count - 1);
    for (int first = 0; first < count;) {
      const int last = LastRowOfLine(first);
      line.clear();
      marks.clear();
      for (int r = first; r <= last; ++r) {
        line += ViewAt(r);
        marks.push_back(RowMarkBits(r));
      }
      wrapper.Wrap(line, lineRows);
      // Marks stay with the row of the same number; surplus ones go to the last row.
      for (int r = 0; r < lineRows.Count(); ++r) {
        const int row = rows.AddText(lineRows.Row(line, r));
        rows.SetRowAttributes(row, lineRows.Attribute(r));
        uint16_t rowMarks = r < static_cast<int>(marks.size()) ? marks[static_cast<size_t>(r)] : 0;
        if (r == lineRows.Count() - 1) {
          for (size_t old = static_cast<size_t>(r) + 1; old < marks.size(); ++old) rowMarks |= marks[old];
        }
        rows.SetRowMarkBits(row, rowMarks);
      }
      first = last + 1;
    }
    rows.SetRowAttributes(rows.Count() - 1, lastAttribute);
  });
}

void TEditorScreenStrings::UnwrapAll() {
  if (Count() == 0) return;
  RebuildRows([&](TEditorStringList& rows) {
    const int count = Count();
    const TRowAttribute lastAttribute = RowAttributes(count - 1) == raWrap ? raTextEnd : RowAttributes(count - 1);
    std::string line;
    for (int first = 0; first < count;) {
      const int last = LastRowOfLine(first);
      line.clear();
      uint16_t marks = 0;
      for (int r = first; r <= last; ++r) {
        line += ViewAt(r);
        marks |= RowMarkBits(r);
      }
      const int row = rows.AddText(line);
      rows.SetRowMarkBits(row, marks);
      first = last + 1;
    }
    rows.SetRowAttributes(rows.Count() - 1, lastAttribute);
  });
}

void TEditorScreenStrings::AfterRewrap() {
  ResetStates();
  RefreshEditors();
  ClampCarets();
  ResetCaretColumns();
}

void TEditorScreenStrings::SwitchWordWrap(bool on) {
  if (on == FWrapOn) return;
  FWrapOn = on;
  if (PrimaryLoading()) return;
  FUndo->Clear();
  if (on) {
    WrapAll();
  } else {
    UnwrapAll();
  }
  AfterRewrap();
}

void TEditorScreenStrings::WrapOptionChanged(TObject*) {
  if (PrimaryLoading() || !FWrapOn) return;
  FUndo->Clear();
  WrapAll();
  AfterRewrap();
}

void TEditorScreenStrings::AfterWholeTextChange(int oldRowCount) {
  WrapAll();
  ResetStates();
  SetChangeRecord(0, oldRowCount, Count(), 0);
}

}  // namespace plomaret
