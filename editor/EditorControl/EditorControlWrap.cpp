// Word wrap in the row store: splitting texts into rows with the wrap options,
// wrapping and unwrapping the whole text, and what a change of the options does.

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>

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

bool TEditorScreenStrings::SplitRunKeepingUnchangedRows(int first, int a, int lastOld, int last, std::string_view text,
                                                        TSplitRows& rows, int& kept) {
  kept = 0;
  // The rows after the run must be the end of one wrapped line, ended as a line is.
  if (!FWrapOn || lastOld >= last || RowAttributes(last) == raWrap || text.find('\0') != std::string_view::npos) {
    return false;
  }
  const TCellLayout layout = CellLayout();
  TLineWrapper wrapper(*FWrapOption, layout.TabSpaceCount, *layout.Delimiters);
  rows.Rows.reserve(static_cast<size_t>(last - first + 2));
  // The new rows' texts follow one another in rows.Text, and the line that runs on
  // into the rows after the run is split where it lies there: from lineStart on.
  std::string& joinedText = rows.Text;
  auto addRow = [&rows](size_t length, TRowAttribute attribute) {
    rows.Rows.push_back({static_cast<int>(length), attribute});
  };
  // Rows first..a-1 are wrapped rows of one line: no line end among them.
  std::string head;
  for (int r = first; r < a; ++r) head += ViewAt(r);
  head += text;
  const size_t lastBreak = head.find_last_of("\r\n");
  const size_t lineHead = lastBreak == std::string::npos ? 0 : lastBreak + 1;
  if (lineHead > 0) {
    // Whole lines first, each row without its line end.
    TLineRows lineRows;
    SplitLines(std::string_view(head).substr(0, lineHead), [&](std::string_view whole) {
      wrapper.Wrap(whole, lineRows);
      for (int r = 0; r < lineRows.Count(); ++r) {
        joinedText += lineRows.Row(whole, r);
        addRow(lineRows.Row(whole, r).size(), lineRows.Attribute(r));
      }
    });
  }
  const size_t lineStart = joinedText.size();
  joinedText.append(head, lineHead);

  // The line is split row by row, the old rows joined on only as far as the split
  // can look, and each new row compared with the old row at its place. Old rows are
  // not taken on trust: an edit splits again from one row above it, so a row further
  // up may no longer be what a split would make. A run of equal rows to the line end
  // is kept when it starts after the run's first row and after a new row: ResizeRun
  // then moves marks as it would for the whole line.
  const auto lookahead = static_cast<size_t>(wrapper.RowLookahead());
  // Offsets count from the start of the line.
  int joined = lastOld + 1;  // the next old row to join on
  int old = lastOld + 1;     // the old row at or after `from`
  // An old row's length, from what the split joined where it has come that far.
  auto oldLength = [&](int row) {
    return row < joined ? static_cast<size_t>(rows.JoinedRows[static_cast<size_t>(row - lastOld - 1)].Length)
                        : ViewAt(row).size();
  };
  size_t oldStart = joinedText.size() - lineStart;
  size_t oldEnd = oldStart + oldLength(old);
  int equalFrom = -1;  // the old row that starts the run of equal rows, if any
  int equalTo = -1;    // the old row the last new row equals, if any
  size_t equalText = 0;
  size_t equalRows = 0;
  size_t from = 0;
  for (;;) {
    while (joined <= last && joinedText.size() - lineStart < from + lookahead) {
      const std::string_view row = ViewAt(joined);
      joinedText += row;
      rows.JoinedRows.push_back({static_cast<int>(row.size()), RowAttributes(joined)});
      ++joined;
    }
    while (old <= last && oldStart < from) {
      oldStart = oldEnd;
      if (++old <= last) oldEnd += oldLength(old);
    }
    const std::string_view line = std::string_view(joinedText).substr(lineStart);
    const TRowBreak next = wrapper.NextRow(line, static_cast<int>(from));
    if (next.End < 0) {
      rows.Rows.back().Attribute = raLineEnd;  // the row made last ends the line
      break;
    }
    const auto end = static_cast<size_t>(next.End);
    equalTo = old <= last && oldStart == from && oldEnd == end ? old : -1;
    if (equalTo < 0) {
      equalFrom = -1;
    } else if (equalFrom < 0 && old > first && !rows.Rows.empty()) {
      equalFrom = old;
      equalText = lineStart + from;
      equalRows = rows.Rows.size();
    }
    addRow(end - from, next.Last ? raLineEnd : raWrap);
    if (next.Last) break;
    from = end;
  }
  // Equal rows are kept only when they end the line as the old rows did.
  if (equalFrom >= 0 && equalTo == last) {
    kept = last - equalFrom + 1;
    joinedText.resize(equalText);
    rows.Rows.resize(equalRows);
  }
  return true;
}

void TEditorScreenStrings::ForgetStatesOfKeptRows(int row, int count) {
  for (int r = row; r < row + count; ++r) InvalidateRowAttributeData(r);
}

int TEditorScreenStrings::RowCountOf(std::string_view line) {
  if (!FWrapOn) return 1;
  const TCellLayout layout = CellLayout();
  TLineWrapper wrapper(*FWrapOption, layout.TabSpaceCount, *layout.Delimiters);
  return wrapper.RowCount(line);
}

namespace {

// Whether a line is one row however it wraps: most lines of a model are short, and
// without a tab a line takes as many cells as it has bytes.
bool FitsOneRow(std::string_view line, const TLineWrapper& wrapper) {
  return line.size() < static_cast<size_t>(wrapper.Layout().WrapByte) &&
         std::memchr(line.data(), '\t', line.size()) == nullptr;
}

}  // namespace

template <class Rewrap>
void TEditorScreenStrings::RewrapInPlace(Rewrap rewrap) {
  CleanSelections();
  // The views are told once, by whoever asked for the whole text to change.
  TScopedValue quiet(OnChange, TNotifyEvent());
  TUpdateBracket update(*this);
  rewrap();
  BumpStructureStamp();
  KeepStatesEnd(0);  // every row is fresh: no state is known, and none need clearing
}

void TEditorScreenStrings::ReplaceLineRows(int first, int last, int count) {
  const int rows = last - first + 1;
  // Rows come and go at the run's end: doing so in text order, the gap of the row
  // array moves over each row once.
  for (int i = rows; i < count; ++i) InsertText(first + rows, std::string_view());
  for (int i = count; i < rows; ++i) Delete(first + count);
}

void TEditorScreenStrings::WrapAll() {
  if (!FWrapOn || Count() == 0 || PrimaryLoading()) return;
  const TCellLayout layout = CellLayout();
  TLineWrapper wrapper(*FWrapOption, layout.TabSpaceCount, *layout.Delimiters);
  // Each line is split where it stands; a line that stays one row keeps its text.
  RewrapInPlace([&] {
    const TRowAttribute lastAttribute = RowAttributes(Count() - 1);
    TLineRows lineRows;
    std::string line;  // a copy: the rows it comes from are written over
    std::vector<uint16_t> marks;
    for (int first = 0; first < Count();) {
      const int last = LastRowOfLine(first);
      if (first == last && FitsOneRow(ViewAt(first), wrapper)) {
        MakeRowFresh(first, raLineEnd, RowMarkBits(first));
        ++first;
        continue;
      }
      line.clear();
      marks.clear();
      for (int r = first; r <= last; ++r) {
        line += ViewAt(r);
        marks.push_back(RowMarkBits(r));
      }
      wrapper.Wrap(line, lineRows);
      const int count = lineRows.Count();
      ReplaceLineRows(first, last, count);
      // Marks stay with the row of the same number; surplus ones go to the last row.
      PutFreshRows(first, count, [&](int r) {
        uint16_t rowMarks = r < static_cast<int>(marks.size()) ? marks[static_cast<size_t>(r)] : 0;
        if (r == count - 1) {
          for (size_t old = static_cast<size_t>(r) + 1; old < marks.size(); ++old) rowMarks |= marks[old];
        }
        return TFreshRow{lineRows.Row(line, r), lineRows.Attribute(r), rowMarks};
      });
      first += count;
    }
    SetRowAttributes(Count() - 1, lastAttribute);
  });
}

void TEditorScreenStrings::UnwrapAll() {
  if (Count() == 0) return;
  RewrapInPlace([&] {
    const TRowAttribute end = RowAttributes(Count() - 1);
    const TRowAttribute lastAttribute = end == raWrap ? raTextEnd : end;
    std::string line;  // a copy: the rows it comes from are written over
    for (int first = 0; first < Count(); ++first) {
      const int last = LastRowOfLine(first);
      uint16_t marks = RowMarkBits(first);
      if (first == last) {
        MakeRowFresh(first, raLineEnd, marks);
        continue;
      }
      line.clear();
      for (int r = first; r <= last; ++r) {
        line += ViewAt(r);
        marks |= RowMarkBits(r);
      }
      ReplaceLineRows(first, last, 1);
      PutFreshRows(first, 1, [&](int) { return TFreshRow{line, raLineEnd, marks}; });
    }
    SetRowAttributes(Count() - 1, lastAttribute);
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
  KeepStatesEnd(0);  // the rows are new: no state is known, and none need clearing
  ResetStates();
  SetChangeRecord(0, oldRowCount, Count(), 0);
}

}  // namespace plomaret
