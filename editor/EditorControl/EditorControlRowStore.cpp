// The row store: the document as screen rows, its one editing primitive, marks that
// follow their rows, the cache of parser states, and the editors it tells.

#include <algorithm>

#include "editor/EditorControl.h"
#include "editor/EditorUtils.h"

namespace plomaret {

namespace {

// Closes a row store update also when the bracketed work fails.
using TStoreUpdate = TUpdateBracket;

bool EndsWithLineFeed(std::string_view text) { return !text.empty() && text.back() == '\n'; }

// Where the rows without a known state begin after rows [first, first + n) became m
// rows, any of which may hold a known state; end is where they began before.
int MovedStatesEnd(int end, int first, int n, int m) {
  return end > first + n ? end - n + m : std::max(end, first + m);
}
// The same when the m rows hold no known state either.
int FreshRunStatesEnd(int end, int first, int n, int m) { return end > first + n ? end - n + m : std::min(end, first); }
// Larger split buffers go back after the edit: a line this long is rare.
constexpr size_t kMaxKeptSplitBytes = size_t{8} << 20;

bool EndsWithLineEnd(std::string_view text) { return !text.empty() && (text.back() == '\n' || text.back() == '\r'); }

}  // namespace

const TClassInfo& TEditorStringList::StaticClassInfo() {
  static const TClassInfo info = TPublished<TEditorStringList>("TEditorStringList", TStrings::StaticClassInfo());
  return info;
}

// ---- Life and the attached editors ----

void TEditorScreenStrings::AfterConstruction() {
  TEditorStringList::AfterConstruction();
  FUndo = CreateUndoObj();
  FWrapOption = CreateWrapOption();
  OnChange = TNotifyEvent(this, &TEditorScreenStrings::NotifyEditors);
}

TEditorScreenStrings::~TEditorScreenStrings() { OnChange = TNotifyEvent(); }

TOwned<TEditorUndoObj> TEditorScreenStrings::CreateUndoObj() { return Create<TEditorUndoObj>(this); }

void TEditorScreenStrings::Attach(TAttachedEditor* editor) { FEditors.push_back(editor); }

void TEditorScreenStrings::Detach(TAttachedEditor* editor) {
  auto found = std::find(FEditors.begin(), FEditors.end(), editor);
  if (found == FEditors.end()) return;
  FEditors.erase(found);
  if (FEditors.empty()) TFree()(this);  // the document goes with its last view
}

TAttachedEditor* TEditorScreenStrings::FocusedEditor() const {
  for (TAttachedEditor* editor : FEditors) {
    if (editor->Focused()) return editor;
  }
  return PrimaryEditor();
}

void TEditorScreenStrings::NotifyEditors(TObject*) {
  const std::vector<TAttachedEditor*> editors = FEditors;
  for (TAttachedEditor* editor : editors) editor->TextChanged(*this);
}

void TEditorScreenStrings::UpdateStateChanged(bool updating) {
  TEditorStringList::UpdateStateChanged(updating);
  if (!updating) {
    ZeroChangeRecord();
    ClampCarets();
  }
}

void TEditorScreenStrings::SetChangeRecord(int row, int oldCount, int newCount, int parsed) {
  FChangeRow = row;
  FChangeOldCount = oldCount;
  FChangeNewCount = newCount;
  FChangeParsed = parsed;
  FChangePending = true;
}

void TEditorScreenStrings::ZeroChangeRecord() {
  FChangeRow = FChangeOldCount = FChangeNewCount = FChangeParsed = 0;
  FChangePending = false;
}

void TEditorScreenStrings::CleanSelections() {
  for (TAttachedEditor* editor : FEditors) editor->CleanSelection();
}

void TEditorScreenStrings::RefreshEditors() {
  for (TAttachedEditor* editor : FEditors) editor->Refresh();
}

void TEditorScreenStrings::ClampCarets() {
  const int count = Count();
  // The caret may stand after a final line end, but not after a text end.
  const int lastRow = count > 0 && RowAttributes(count - 1) == raTextEnd ? count - 1 : count;
  for (TAttachedEditor* editor : FEditors) {
    if (editor->Row() > lastRow) editor->SetRow(lastRow);
    if (editor->TopRow() > lastRow) editor->SetTopRow(lastRow);
  }
}

void TEditorScreenStrings::ResetCaretColumns() {
  for (TAttachedEditor* editor : FEditors) editor->SetCol(0);
}

// ---- Row ranges ----

int64_t TEditorScreenStrings::OffsetBytes(int row) const {
  const auto length = static_cast<int64_t>(ViewAt(row).size());
  switch (RowAttributes(row)) {
    case raLineEnd:
      return length + 2;
    case raTextEnd:
      return length + 1;
    default:
      return length;
  }
}

size_t TEditorScreenStrings::SavedBytes(int row) const {
  return ViewAt(row).size() + (RowAttributes(row) == raLineEnd ? 2 : 0);
}

int TEditorScreenStrings::FirstRowOfLine(int row) const {
  while (row > 0 && row - 1 < Count() && RowAttributes(row - 1) == raWrap) --row;
  return row;
}

int TEditorScreenStrings::LastRowOfLine(int row) const {
  if (row < 0) return row;
  const int last = Count() - 1;
  while (row < last && RowAttributes(row) == raWrap) ++row;
  return row;
}

TRowsText TEditorScreenStrings::RowsText(int row, int count) const {
  TRowsText result;
  if (row < 0 || row >= Count()) return result;
  const int end = count < 0 ? LastRowOfLine(row) + 1 : std::min(Count(), row + count);
  result.Rows.reserve(static_cast<size_t>(end - row));
  // Sized first: the rest of a long wrapped line is copied once, not grown into.
  size_t bytes = 0;
  for (int r = row; r < end; ++r) bytes += SavedBytes(r);
  result.Text.reserve(bytes);
  for (int r = row; r < end; ++r) {
    const std::string_view text = ViewAt(r);
    result.Text += text;
    result.EndAttribute = RowAttributes(r);
    result.Rows.push_back({static_cast<int>(text.size()), result.EndAttribute});
    if (result.EndAttribute == raLineEnd) result.Text += "\r\n";
  }
  result.RowCount = end - row;
  return result;
}

// ---- Editing ----

void TEditorScreenStrings::ReplaceText(int a, int n, std::string_view text) {
  if (a < 0 || n < 0 || a + n - 1 > Count() - 1 || (n == 0 && text.empty())) return;
  if (n == 0 && a == Count() && a > 0 && RowAttributes(a - 1) == raTextEnd) {
    // Nothing can follow a text end: the text joins the last row.
    ReplaceText(a - 1, 1, std::string(ViewAt(a - 1)).append(text));
    return;
  }
  // Re-wrapping starts at most one row above.
  const int first = a > 0 && RowAttributes(a - 1) == raWrap ? a - 1 : a;
  const int lastOld = a + n - 1;
  const int last = LastRowOfLine(lastOld);

  TStoreUpdate update(*this);
  if (a == first && last == lastOld && text.empty() && n > 0) {
    // Whole logical lines go, and nothing takes their place.
    TUndoData& record = FUndo->AddRecord();
    record.StartRow = a;
    TRowsText old = RowsText(a, n);
    record.Text = std::move(old.Text);
    record.EndAttribute = old.EndAttribute;
    record.Rows = std::move(old.Rows);
    RemoveRows(a, old.RowCount);
    return;
  }
  int oldCount = 0;
  int newCount = 0;
  ReplaceTextGeneral(first, a, lastOld, last, text, oldCount, newCount);
  SetChangeRecord(first, oldCount, newCount, UpdateStates(first, true));
}

void TEditorScreenStrings::RemoveRows(int a, int n) {
  const uint16_t marks = DeleteRows(a, n);
  int heir = -1;
  if (Count() == 0) {
    ExcludeMarks(marks);
  } else if (marks != 0) {
    heir = std::min(a, Count() - 1);
    SetRowMarkBits(heir, static_cast<uint16_t>(RowMarkBits(heir) | marks));
  }
  int parsed = UpdateStates(a, true);
  // The row that took the marks is repainted with them: it counts as changed.
  if (heir >= a) {
    parsed = std::max(parsed, heir - a + 1);
  } else if (heir >= 0) {
    SetChangeRecord(heir, n + 1, 1, parsed + 1);
    return;
  }
  SetChangeRecord(a, n, 0, parsed);
}

void TEditorScreenStrings::ReplaceTextGeneral(int first, int a, int lastOld, int last, std::string_view text,
                                              int& oldCount, int& newCount) {
  // How the new rows end: as the row that ends the run's logical line, or, at the
  // end of the text, as the text says.
  uint8_t endAttribute;
  bool endTakenFromRow = true;
  if (lastOld < last) {
    endAttribute = RowAttributes(last);  // the run ends inside a wrapped line
  } else if (last < Count() - 1) {
    // The next logical line is split again with the new text, so that a text
    // without a final line end joins it.
    last = LastRowOfLine(last + 1);
    endAttribute = RowAttributes(last);
  } else {
    endTakenFromRow = false;
    endAttribute = !text.empty() && EndsWithLineFeed(text) ? raLineEnd : raTextEnd;
  }

  // The split's buffers serve every key typed into a long line, so that its pages
  // are not handed back and faulted in again each time.
  TSplitRows split = std::move(FSplitBuffers);
  split.Text.clear();
  split.Rows.clear();
  split.JoinedRows.clear();
  int kept = 0;
  TOwned<TEditorStringList> rows;
  int newRows = 0;
  if (endTakenFromRow && SplitRunKeepingUnchangedRows(first, a, lastOld, last, text, split, kept)) {
    if (kept == 0) split.Rows.back().Attribute = endAttribute;
    newRows = static_cast<int>(split.Rows.size());
  } else {
    std::string newText;
    auto appendRows = [&](int from, int to) {
      for (int r = from; r <= to; ++r) {
        newText += ViewAt(r);
        if (RowAttributes(r) == raLineEnd) newText += "\r\n";
      }
    };
    appendRows(first, a - 1);
    newText += text;
    appendRows(lastOld + 1, last);
    rows = Create<TEditorStringList>();
    StrToRows(newText, *rows);
    if (endTakenFromRow && endAttribute == raTextEnd && EndsWithLineEnd(newText)) {
      // The run ends in an empty last row after a line end: splitting the text makes
      // no row for it, yet it must stay, or that line end would be lost.
      rows->Add(std::string());
    }
    rows->SetRowAttributes(rows->Count() - 1, static_cast<TRowAttribute>(endAttribute));
    newRows = rows->Count();
  }

  const int replaced = last - first + 1 - kept;
  TUndoData& record = FUndo->AddRecord();
  record.StartRow = first;
  TRowsText old;
  if (rows) {
    old = RowsText(first, replaced);
  } else {
    // After the edited rows, split rows end with the old rows' bytes: the step need
    // not save them, only how they were split.
    old = RowsText(first, lastOld + 1 - first);
    for (int i = 0; i < replaced - old.RowCount; ++i) {
      const TSavedRow& row = split.JoinedRows.at(static_cast<size_t>(i));
      old.Rows.push_back(row);
      old.EndAttribute = row.Attribute;
      record.SharedTail += row.SavedBytes();
    }
    old.RowCount = replaced;
  }
  record.Text = std::move(old.Text);
  record.EndAttribute = old.EndAttribute;
  record.Rows = std::move(old.Rows);
  record.NewRowCount = newRows;
  record.KeptRows = kept;
  oldCount = old.RowCount + kept;
  newCount = newRows + kept;
  if (rows) {
    ReplaceRows(first, replaced, *rows);
  } else {
    TStoreUpdate update(*this);
    const int statesEnd = FreshRunStatesEnd(StatesEnd(), first, replaced, newRows);
    const std::vector<uint16_t> marks = ResizeRun(first, replaced, newRows);
    // Written in place where the old text has room: mostly the same length.
    size_t position = 0;
    PutFreshRows(first, newRows, [&](int i) {
      const TSavedRow& row = split.Rows[static_cast<size_t>(i)];
      const std::string_view text = std::string_view(split.Text).substr(position, static_cast<size_t>(row.Length));
      position += text.size();
      return TFreshRow{text, static_cast<TRowAttribute>(row.Attribute), marks[static_cast<size_t>(i)]};
    });
    KeepStatesEnd(statesEnd);
  }
  ForgetStatesOfKeptRows(first + newRows, kept);
  if (split.Text.capacity() <= kMaxKeptSplitBytes) FSplitBuffers = std::move(split);
}

// Rows are written in place where the old text has room: an edit in a long wrapped
// line rewrites every row after it, mostly with texts of the same length.
void TEditorScreenStrings::CopyRowFrom(const TEditorStringList& list, int from, int to) {
  PutInPlace(to, list.ViewAt(from));
  SetAttribute1(to, list.Attribute1(from));
  SetAttribute2(to, list.Attribute2(from));
  SetDataWord(to, list.DataWord(from));
  SetStrData(to, list.StrData(from));
}

void TEditorScreenStrings::ReplaceRows(int first, int n, const TEditorStringList& rows) {
  TStoreUpdate update(*this);
  const int m = rows.Count();
  const int statesEnd = MovedStatesEnd(StatesEnd(), first, n, m);
  const std::vector<uint16_t> marks = ResizeRun(first, n, m);
  for (int i = 0; i < m; ++i) {
    CopyRowFrom(rows, i, first + i);
    SetRowMarkBits(first + i, marks[static_cast<size_t>(i)]);
  }
  KeepStatesEnd(statesEnd);
}

std::vector<uint16_t> TEditorScreenStrings::ResizeRun(int first, int n, int m) {
  std::vector<uint16_t> marks(static_cast<size_t>(m), 0);
  if (m < n) {
    // The first n - m rows of the run go; the last m are overwritten.
    const uint16_t dropped = DeleteRows(first, n - m);
    for (int i = 0; i < m; ++i) marks[static_cast<size_t>(i)] = RowMarkBits(first + i);
    if (m == 0) {
      ExcludeMarks(dropped);
    } else {
      marks[0] |= dropped;
    }
  } else if (m > n) {
    // An append (n = 0) moves no marks: the rows pushed down keep theirs.
    if (n > 0) {
      for (int k = 1; k < n; ++k) marks[static_cast<size_t>(m - n + k)] = RowMarkBits(first + k);
      // A line inserted at column 0 pushes the marked line down, and the mark goes with it.
      const TAttachedEditor* focused = FocusedEditor();
      const bool atColumnZero = focused != nullptr && focused->Col() == 0;
      marks[static_cast<size_t>(atColumnZero ? m - n : 0)] |= RowMarkBits(first);
    }
    for (int i = 0; i < m - n; ++i) Insert(first + n + i, std::string());
  } else {
    for (int i = 0; i < m; ++i) marks[static_cast<size_t>(i)] = RowMarkBits(first + i);
  }
  return marks;
}

uint16_t TEditorScreenStrings::DeleteRows(int a, int n) {
  if (a < 0 || a >= Count() || n <= 0) return 0;
  n = std::min(n, Count() - a);
  TStoreUpdate update(*this);
  const int statesEnd = MovedStatesEnd(StatesEnd(), a, n, 0);
  uint16_t marks = 0;
  for (int r = a; r < a + n; ++r) marks |= RowMarkBits(r);
  for (int i = 0; i < n; ++i) Delete(a);
  KeepStatesEnd(statesEnd);
  return marks;
}

void TEditorScreenStrings::Clear() {
  CleanSelections();
  FUndo->Clear();
  SetChangeRecord(0, Count(), 0, 0);
  TEditorStringList::Clear();
  ZeroChangeRecord();
  for (TAttachedEditor* editor : FEditors) {
    editor->SetRow(0);
    editor->SetCol(0);
  }
  FMarksInUse = 0;
}

void TEditorScreenStrings::Undo() { FUndo->Undo(); }

void TEditorScreenStrings::Redo() { FUndo->Redo(); }

// ---- Parser states ----

int TEditorScreenStrings::StateHorizon() const {
  const TAttachedEditor* primary = PrimaryEditor();
  if (primary == nullptr) return 0;
  return std::max(1, primary->ScreenHeight() / std::max(1, primary->RowHeight())) * 2;
}

TOwned<TFountainParser> TEditorScreenStrings::CreateStateParser() const {
  const TAttachedEditor* primary = PrimaryEditor();
  TFountain* fountain = primary != nullptr ? primary->CurrentFountain() : nullptr;
  if (fountain == nullptr) return TOwned<TFountainParser>();
  return fountain->CreateParser();
}

int TEditorScreenStrings::StatesEnd() const {
  return StructureStamp() == FStatesStamp ? std::min(FStatesEnd, Count()) : Count();
}

void TEditorScreenStrings::KeepStatesEnd(int end) {
  FStatesEnd = end;
  FStatesStamp = StructureStamp();
}

void TEditorScreenStrings::ResetStates() {
  const TAttachedEditor* primary = PrimaryEditor();
  if (primary != nullptr && (primary->IsLoading() || primary->IsDestroying())) return;
  const int count = Count();
  // Rows from the bound on hold no known state already.
  for (int r = 0, known = StatesEnd(); r < known; ++r) InvalidateRowAttributeData(r);
  TOwned<TFountainParser> parser = CreateStateParser();
  if (!parser || count == 0) {
    KeepStatesEnd(0);
    return;
  }
  const int last = primary->InitBracketsFull() ? count - 1 : std::min(count - 1, primary->TopRow() + StateHorizon());
  TRowAttributeData state = StartRowAttributeData();
  for (int r = 0; r <= last; ++r) {
    state.RowAttribute = RowAttributes(r);
    SetRowAttributeData(r, state);
    parser->UpdateRowData(r, *this, state);
    state.PrevRowAttribute = RowAttributes(r);
  }
  KeepStatesEnd(last + 1);
}

int TEditorScreenStrings::ShownRowAbove(int a) const {
  // The rows an editor shows above a are written as a parse from the top would write
  // them, so that they are repainted alike.
  const int horizon = StateHorizon();
  int shown = a;
  for (const TAttachedEditor* editor : FEditors) {
    const int top = editor->TopRow();
    if (top >= 0 && top < shown && a - top <= horizon) shown = top;
  }
  return shown;
}

int TEditorScreenStrings::StatesStartAbove(TFountainParser& parser, int a, TRowAttributeData& state) const {
  const int statesEnd = StatesEnd();
  const bool canSettle = parser.StateCanSettle();
  const int shown = canSettle ? ShownRowAbove(a) : a;
  // Without rows that settle the state, the rows known to hold no state are skipped.
  for (int r = (canSettle ? a : std::min(a, statesEnd)) - 1; r >= 0; --r) {
    if (r < statesEnd && BracketIndexes(r) != kInvalidBracket) {
      state = RowAttributeData(r);
      parser.UpdateRowData(r, *this, state);
      state.PrevRowAttribute = RowAttributes(r);
      return r + 1;
    }
    if (canSettle && r < shown && parser.RowSettlesState(r, *this)) {
      // A parse from the top would leave the start state below this row.
      state = StartRowAttributeData();
      state.PrevRowAttribute = RowAttributes(r);
      return r + 1;
    }
  }
  state = StartRowAttributeData();
  return 0;
}

int TEditorScreenStrings::UpdateStates(int a, bool notify) {
  const int count = Count();
  TOwned<TFountainParser> parser = CreateStateParser();
  if (!parser || count == 0) return 0;
  TRowAttributeData state;
  const int start = StatesStartAbove(*parser, std::min(a, count), state);
  const int limit = std::min(std::max(a, 0) + StateHorizon(), count - 1);
  int rewritten = 0;
  for (int r = start; r <= limit; ++r) {
    state.RowAttribute = RowAttributes(r);
    if (RowAttributeData(r) == state) {
      // Everything below is already right.
      KeepStatesEnd(std::max(StatesEnd(), r));
      return rewritten;
    }
    SetRowAttributeData(r, state);
    if (notify) {
      ++rewritten;
      for (TAttachedEditor* editor : FEditors) editor->InvalidateRow(r);
    }
    parser->UpdateRowData(r, *this, state);
    state.PrevRowAttribute = RowAttributes(r);
  }
  // Rows further down may keep states of the text as it was.
  const int statesEnd = StatesEnd();
  for (int r = limit + 1; r < statesEnd; ++r) InvalidateRowAttributeData(r);
  KeepStatesEnd(std::max(start, limit + 1));
  return rewritten;
}

}  // namespace plomaret
