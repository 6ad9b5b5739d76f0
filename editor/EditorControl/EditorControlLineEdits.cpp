// Whole-line rewrites as one undo step (Exchange): the edits of the changed lines are
// kept, not a copy of the text, and undoing them puts back each line's rows exactly.

#include <algorithm>
#include <new>
#include <optional>

#include "editor/EditorControl.h"
#include "framework/core/ScopeGuard.h"

namespace plomaret {

namespace {

// A grown line is stored anew: its header and closing zero beside its bytes.
constexpr size_t kGrowthPerLine = 6;

}  // namespace

std::vector<std::pair<int, uint16_t>> TEditorScreenStrings::MarkedRows() const {
  std::vector<std::pair<int, uint16_t>> marked;
  if (FMarksInUse == 0) return marked;
  for (int r = 0, count = Count(); r < count; ++r) {
    if (const uint16_t marks = RowMarkBits(r); marks != 0) marked.emplace_back(r, marks);
  }
  return marked;
}

size_t TEditorScreenStrings::ApplyEdits(const TLineEditLog& edits, TLineEditLog* inverse) {
  size_t inverseGrowth = 0;
  std::optional<TLineWrapper> wrapper;
  if (FWrapOn) {
    const TCellLayout layout = CellLayout();
    wrapper.emplace(*FWrapOption, layout.TabSpaceCount, *layout.Delimiters);
  }
  std::string joined;
  std::string changed;
  std::vector<int> oldLengths;
  TLineRows lineRows;
  int line = 0;
  int row = 0;
  const auto putBack = OnFailure([&] {
    // The lines edited so far get their old text and rows back.
    if (inverse != nullptr) ApplyEdits(*inverse, nullptr);
  });
  const auto applyLine = [&](const TLineEdit& edit) {
    while (line < edit.Line) {
      row = (FWrapOn ? LastRowOfLine(row) : row) + 1;
      ++line;
    }
    const int last = FWrapOn ? LastRowOfLine(row) : row;
    std::string_view old = ViewAt(row);
    oldLengths.clear();
    if (last > row) {
      joined.clear();
      for (int r = row; r <= last; ++r) {
        joined += ViewAt(r);
        oldLengths.push_back(static_cast<int>(ViewAt(r).size()));
      }
      old = joined;
    }
    TLineEditLog::Apply(old, edit, changed);
    lineRows.Ends.clear();
    if (!edit.RowLengths.empty()) {
      int end = 0;
      for (const int length : edit.RowLengths) lineRows.Ends.push_back(end += length);
    } else if (wrapper) {
      wrapper->Wrap(changed, lineRows);
    } else {
      lineRows.Ends.push_back(static_cast<int>(changed.size()));
    }
    const int count = lineRows.Count();
    // Room for the new rows first, so that a run is never left half resized.
    if (const int more = count - (last - row + 1); more > 0 && Count() + more > Capacity()) {
      SetItemCapacity(std::max(GrownCapacity(Capacity()), Count() + more));
    }
    if (inverse != nullptr) {
      inverse->Add(edit.Inverse(oldLengths));
      if (changed.size() < old.size()) inverseGrowth += old.size() + kGrowthPerLine;
    }
    {
      // This line is not undone with the others should its own rows fail.
      const auto unrecord = OnFailure([&] {
        if (inverse != nullptr) inverse->RemoveLast();
      });
      ReplaceLineRows(row, last, count);
      PutFreshRows(row, count, [&](int r) { return TFreshRow{lineRows.Row(changed, r), lineRows.Attribute(r), 0}; });
    }
    row += count;
    ++line;
  };
  edits.ForEachRun([&](const TLineEdit& first, int count) {
    if (FWrapOn || !first.RowLengths.empty()) {
      TLineEdit edit = first;
      for (int i = 0; i < count; ++i, ++edit.Line) applyLine(edit);
      return;
    }
    // Without word wrap a line is a row: a run of like edits is put as one change, and
    // undone by one like edit of every line.
    row = line = first.Line;
    if (inverse != nullptr) {
      inverse->Add(first.Inverse({}));
      inverse->Extend(count - 1);
    }
    int written = 0;
    const auto unrecord = OnFailure([&] {
      if (inverse != nullptr) inverse->DropLast(count - written);
    });
    PutFreshRows(row, count, [&](int i) {
      written = i;
      const std::string_view old = ViewAt(row + i);
      TLineEditLog::Apply(old, first, changed);
      if (changed.size() < old.size()) inverseGrowth += old.size() + kGrowthPerLine;
      return TFreshRow{changed, raLineEnd, 0};
    });
    written = count;
    row = line = first.Line + count;
  });
  return inverseGrowth;
}

TLineEditStep TEditorScreenStrings::ApplyLineEdits(const TLineEditStep& step) {
  TUpdateBracket update(*this);
  TLineEditStep inverse;
  inverse.Marks = MarkedRows();
  inverse.LastRowAttribute = Count() > 0 ? static_cast<uint8_t>(RowAttributes(Count() - 1)) : kNoRowsAttribute;
  const int oldCount = Count();
  CleanSelections();
  ReserveForText(step.GrowthBytes);
  {
    // The edited rows lost their marks; put back, they get them again.
    const auto marksBack = OnFailure([&] {
      for (const auto& [markedRow, marks] : inverse.Marks) SetRowMarkBits(markedRow, marks);
    });
    inverse.GrowthBytes = ApplyEdits(step.Edits, &inverse.Edits);
  }
  // Nothing below fails: the edits stand.
  if (FMarksInUse != 0) {
    for (const auto& [markedRow, marks] : inverse.Marks) {
      if (markedRow < Count()) SetRowMarkBits(markedRow, 0);
    }
    FMarksInUse = 0;
  }
  for (const auto& [markedRow, marks] : step.Marks) {
    if (markedRow >= Count()) continue;
    SetRowMarkBits(markedRow, marks);
    IncludeMarks(marks);
  }
  if (step.LastRowAttribute != kNoRowsAttribute && Count() > 0) {
    SetRowAttributes(Count() - 1, static_cast<TRowAttribute>(step.LastRowAttribute));
  }
  BumpStructureStamp();
  try {
    ResetStates();
  } catch (const std::bad_alloc&) {
    // States are worked out again where they are needed; the edits stand.
  }
  SetChangeRecord(0, oldCount, Count(), 0);
  return inverse;
}

bool TEditorScreenStrings::PlanLineRewrite(const TStrings::TLineRewrite& rewrite, TLineEditStep& step) const {
  step = TLineEditStep();
  step.LastRowAttribute = raLineEnd;  // every line ends now, the last one too
  std::string joined;
  std::string out;
  int line = 0;
  for (int first = 0; first < Count(); ++line) {
    const int last = FWrapOn ? LastRowOfLine(first) : first;
    std::string_view text = ViewAt(first);
    if (last > first) {
      joined.clear();
      for (int r = first; r <= last; ++r) joined += ViewAt(r);
      text = joined;
    }
    out.clear();
    if (rewrite(text, out) && out != text) {
      step.Edits.AddDifference(line, text, out);
      if (out.size() > text.size()) step.GrowthBytes += out.size() + kGrowthPerLine;
    }
    first = last + 1;
  }
  return !step.Edits.Empty();
}

void TEditorScreenStrings::ApplyAsStep(const TLineEditStep& step, const std::function<void()>& placeCaret) {
  TUndoData record;
  if (const TAttachedEditor* focused = FocusedEditor()) {
    record.CaretRow = focused->Row();
    record.CaretCol = focused->Col();
  }
  TUpdateBracket update(*this);
  const auto undo = std::make_shared<TLineEditStep>();
  *undo = ApplyLineEdits(step);
  const auto restore = OnFailure([&] { ApplyLineEdits(*undo); });
  record.LineEdits = undo;
  if (placeCaret) placeCaret();
  FUndo->AddStep(std::move(record));
}

}  // namespace plomaret
