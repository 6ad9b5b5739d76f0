// Lines: the framework's string list over the row store, in logical lines.

#include <algorithm>
#include <cstring>
#include <optional>

#include "editor/EditorControl.h"
#include "editor/EditorUtils.h"
#include "framework/core/FileReplacer.h"
#include "framework/core/LineSplitter.h"
#include "framework/core/ScopeGuard.h"
#include "framework/core/TextFileReader.h"

namespace plomaret {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

// Hides the caret of an editor for a change, also when the change fails.
class TCaretHold {
 public:
  explicit TCaretHold(TAttachedEditor* editor) : FEditor(editor) { FEditor->CaretHide(); }
  ~TCaretHold() { FEditor->CaretShow(); }
  TCaretHold(const TCaretHold&) = delete;
  TCaretHold& operator=(const TCaretHold&) = delete;

 private:
  TAttachedEditor* FEditor;
};

}  // namespace

// ---- Lines and rows ----

void TEditorStrings::RememberLine(int line, int row) const {
  FCursorLine = line;
  FCursorRow = row;
  FCursorStamp = Store().StructureStamp();
}

int TEditorStrings::LineToRow(int line) const {
  const TEditorScreenStrings& store = Store();
  if (!store.WordWrap()) return line;
  if (line < 0) IndexError();
  // Lines are mostly read in order: walk on from the last line looked up.
  int currentLine = 0;
  int row = 0;
  if (FCursorStamp == store.StructureStamp() && FCursorLine <= line) {
    currentLine = FCursorLine;
    row = FCursorRow;
  }
  const int count = store.Count();
  while (currentLine < line) {
    if (row >= count) IndexError();
    row = store.LastRowOfLine(row) + 1;
    ++currentLine;
  }
  if (row > count) IndexError();
  RememberLine(line, row);
  return row;
}

std::pair<int, int> TEditorStrings::RowsOfLine(int line) const {
  const int first = LineToRow(line);
  return {first, Store().WordWrap() ? Store().LastRowOfLine(first) : first};
}

void TEditorStrings::CheckLine(int line, bool orNextLine) const {
  if (line < 0 || line > Count() - (orNextLine ? 0 : 1)) IndexError();
}

int TEditorStrings::Count() const {
  const TEditorScreenStrings& store = Store();
  const int rows = store.Count();
  if (!store.WordWrap()) return rows;
  // A row starts a line unless a wrap continues the row above; a last row that a wrap
  // would continue still ends its line.
  return rows - store.WrapRowCount() + (rows > 0 && store.RowAttributes(rows - 1) == raWrap ? 1 : 0);
}

std::string TEditorStrings::Get(int index) const {
  const TEditorScreenStrings& store = Store();
  if (!store.WordWrap()) return store.Get(index);
  CheckLine(index, false);
  const int first = LineToRow(index);
  const int last = store.LastRowOfLine(first);
  std::string line;
  for (int r = first; r <= last; ++r) line += store.ViewAt(r);
  while (line.size() >= 2 && std::string_view(line).substr(line.size() - 2) == kLineEnd) line.resize(line.size() - 2);
  return line;
}

std::string TEditorStrings::AllText() const {
  const TEditorScreenStrings& store = Store();
  const int count = store.Count();
  size_t size = 0;
  for (int r = 0; r < count; ++r) size += store.ViewAt(r).size() + 2;
  std::string text;
  text.reserve(size);
  for (int r = 0; r < count; ++r) {
    text += store.ViewAt(r);
    if (store.RowAttributes(r) == raLineEnd) text += kLineEnd;
  }
  return text;
}

// ---- Caret ----

void TEditorStrings::PlaceCaret(int row, int offset) {
  TEditorScreenStrings& store = Store();
  const int count = store.Count();
  for (int r = std::max(row, 0); r < count; ++r) {
    const int64_t contribution = store.OffsetBytes(r);
    if (offset < contribution || store.RowAttributes(r) == raTextEnd) {
      FEditor->SetRow(r);
      const std::string_view text = store.ViewAt(r);
      const int column = store.DisplayWidthOf(text.substr(0, std::min<size_t>(static_cast<size_t>(offset), text.size())));
      FEditor->SetCol(std::min(column, store.DisplayWidthOf(text)));
      return;
    }
    offset -= contribution;
  }
  FEditor->SetRow(count);
  const int landed = FEditor->Row();
  FEditor->SetCol(landed >= 0 && landed < store.Count() ? store.DisplayWidthOf(store.ViewAt(landed)) : 0);
}

// ---- Changes ----

void TEditorStrings::Put(int index, const std::string& text) {
  CheckLine(index, false);
  FEditor->CleanSelection();
  TCaretHold hold(FEditor);
  TEditorScreenStrings& store = Store();
  const auto [first, last] = RowsOfLine(index);
  std::string newText = text;
  if (store.RowAttributes(last) == raLineEnd) newText += kLineEnd;
  store.ReplaceText(first, last - first + 1, newText);
  RememberLine(index, first);  // the line still starts where it did
  PlaceCaret(first, static_cast<int>(newText.size()));
}

void TEditorStrings::Insert(int index, const std::string& text) {
  CheckLine(index, true);
  TEditorScreenStrings& store = Store();
  const int row = LineToRow(index);
  if (row == store.Count()) {
    Add(text);
    return;
  }
  FEditor->CleanSelection();
  TCaretHold hold(FEditor);
  store.ReplaceText(row, 0, text + std::string(kLineEnd));
  RememberLine(index, row);
  PlaceCaret(row, static_cast<int>(text.size() + kLineEnd.size()));
}

int TEditorStrings::Add(const std::string& text) {
  const int lines = Count();
  FEditor->CleanSelection();
  TCaretHold hold(FEditor);
  TEditorScreenStrings& store = Store();
  const int rows = store.Count();
  if (rows == 0 || store.RowAttributes(rows - 1) == raLineEnd) {
    store.ReplaceText(rows, 0, text + std::string(kLineEnd));
    PlaceCaret(rows, static_cast<int>(text.size() + kLineEnd.size()));
  } else {
    // The text had no final line end: the new line goes after one, and has none.
    const std::string lastRow(store.ViewAt(rows - 1));
    store.ReplaceText(rows - 1, 1, lastRow + std::string(kLineEnd) + text);
    PlaceCaret(rows - 1, static_cast<int>(lastRow.size() + kLineEnd.size() + text.size()));
  }
  return lines;
}

void TEditorStrings::Delete(int index) {
  CheckLine(index, false);
  FEditor->CleanSelection();
  TCaretHold hold(FEditor);
  TEditorScreenStrings& store = Store();
  const auto [first, last] = RowsOfLine(index);
  store.ReplaceText(first, last - first + 1, std::string_view());
  RememberLine(index, first);
  PlaceCaret(first, 0);
}

void TEditorStrings::Clear() {
  {
    FEditor->CleanSelection();
    TCaretHold hold(FEditor);
    Store().Clear();
  }
  FEditor->SetModified(false);
}

void TEditorStrings::SetAllText(std::string_view text) {
  TUpdateBracket update(*this);
  TEditorScreenStrings& store = Store();
  const int oldRows = store.Count();
  store.Clear();
  // Split straight into rows: the result of TextToStrings, without a copy per line.
  const size_t lineFeeds = static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
  store.SetItemCapacity(static_cast<int>(std::min<size_t>(lineFeeds + 1, INT32_MAX / 2)));
  store.ReserveForText(text.size());
  SplitLines(text, [&](std::string_view line) { store.AddText(line); });
  const int count = store.Count();
  if (count > 0 && text.back() != '\n' && text.back() != '\r') store.SetRowAttributes(count - 1, raTextEnd);
  store.AfterWholeTextChange(oldRows);
}

void TEditorStrings::Assign(const TPersistent& source) {
  const auto* strings = dynamic_cast<const TStrings*>(&source);
  if (strings == nullptr) {
    TStrings::Assign(source);
    return;
  }
  if (HasLineBreaksInside(*strings)) {
    SetAllText(strings->AllText());
  } else {
    // Line by line into the rows: a document's worth of text is never held twice.
    TUpdateBracket update(*this);
    TEditorScreenStrings& store = Store();
    const int oldRows = store.Count();
    store.Clear();
    store.SetItemCapacity(strings->Count());
    for (int i = 0; i < strings->Count(); ++i) store.AddText(strings->Get(i));
    store.AfterWholeTextChange(oldRows);
  }
  FEditor->SetRow(Store().Count());
  FEditor->SetCol(0);
}

void TEditorStrings::RewriteLines(const TLineRewrite& rewrite) {
  // As after a whole text is assigned: after the last line.
  const auto placeCaret = [this] {
    FEditor->SetRow(Store().Count());
    FEditor->SetCol(0);
  };
  if (RowsHoldLineBreaks()) {
    if (RewriteThroughCopy(rewrite)) placeCaret();
    return;
  }
  // Planned before anything is touched: a rewrite that changes nothing tells nobody.
  TLineEditStep step;
  if (!Store().PlanLineRewrite(rewrite, step)) return;
  // Telling the views can fail too (memory): then the step is taken back whole.
  bool applied = false;
  const auto withdraw = OnFailure([&] {
    if (applied) Store().UndoObj()->Withdraw();
  });
  TUpdateBracket update(*this);
  Store().ApplyAsStep(step, placeCaret);
  applied = true;
}

bool TEditorStrings::RewriteThroughCopy(const TLineRewrite& rewrite) {
  // A row holding a line break becomes several lines when the text is put back: the
  // general way, one replace of the whole text (its undo step holds the old text).
  TOwned<TStringList> copy = Create<TStringList>();
  copy->Assign(*this);
  copy->RewriteLines(rewrite);
  bool changed = copy->Count() != Count();
  for (int i = 0; !changed && i < Count(); ++i) changed = copy->Get(i) != Get(i);
  if (!changed) return false;
  TUpdateBracket update(*this);
  TEditorScreenStrings& store = Store();
  // As a whole new text: no marks.
  for (int r = 0, count = store.Count(); store.Marks() != 0 && r < count; ++r) store.SetRowMarkBits(r, 0);
  store.ExcludeMarks(store.Marks());
  store.ReplaceText(0, store.Count(), copy->AllText());
  return true;
}

bool TEditorStrings::RowsHoldLineBreaks() const {
  const TEditorScreenStrings& store = Store();
  for (int r = 0, count = store.Count(); r < count; ++r) {
    // Every row is followed by a zero byte: the scan stops at CR, LF or the first zero.
    const std::string_view row = store.ViewAt(r);
    if (std::strcspn(row.data(), "\r\n") < row.size()) return true;
  }
  return false;
}

bool TEditorStrings::HasLineBreaksInside(const TStrings& strings) {
  // A line holding CR, LF or a zero byte is split or cut by the whole-text assignment.
  for (int i = 0; i < strings.Count(); ++i) {
    const std::string line = strings.Get(i);
    if (line.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos) return true;
  }
  return false;
}

void TEditorStrings::LoadFile(const std::string& path) {
  // Loaded or not (a failed load leaves the editor empty), the text is as read.
  TScopeExit unmodified([this] { FEditor->SetModified(false); });
  ReadFile(path, nullptr, nullptr);
}

void TEditorStrings::LoadCountedFile(TTextFileReader& reader, const TTextFileShape& shape) {
  TScopeExit unmodified([this] { FEditor->SetModified(false); });
  ReadFile(reader.Path(), &reader, &shape);
}

void TEditorStrings::ReadFile(const std::string& path, TTextFileReader* counted, const TTextFileShape* countedShape) {
  TUpdateBracket update(*this);
  TEditorScreenStrings& store = Store();
  const int oldRows = store.Count();
  store.Clear();  // the editor is empty from here on, even if the file cannot be read
  TScopeExit announce([&] { store.AfterWholeTextChange(oldRows); });
  const auto emptied = OnFailure([&] { store.Clear(); });
  std::optional<TTextFileReader> own;
  if (counted == nullptr) counted = &own.emplace(path);
  TTextFileReader& reader = *counted;
  // Refuses a binary file before any row exists.
  const TTextFileShape shape = countedShape != nullptr ? *countedShape : reader.Count();
  store.SetItemCapacity(static_cast<int>(std::min<int64_t>(shape.LineCount, INT32_MAX)));
  store.ReserveForText(static_cast<size_t>(reader.Size()));
  const TTextFileShape read = reader.ReadLines([&](std::string_view line) { store.AddText(line); });
  if (!read.FinalLineEnded && store.Count() > 0) store.SetRowAttributes(store.Count() - 1, raTextEnd);
}

void TEditorStrings::LoadStoredLines(const TStrings& lines) {
  TUpdateBracket update(*this);
  TEditorScreenStrings& store = Store();
  const int oldRows = store.Count();
  store.Clear();
  store.SetItemCapacity(lines.Count());
  for (int i = 0; i < lines.Count(); ++i) store.AddText(lines.Get(i));
  store.AfterWholeTextChange(oldRows);
}

void TEditorStrings::WriteTo(TFileReplacer& file) const {
  const TEditorScreenStrings& store = Store();
  const int count = store.Count();
  for (int r = 0; r < count; ++r) {
    file.Write(store.ViewAt(r));
    if (store.RowAttributes(r) == raLineEnd) file.Write(kLineEnd);
  }
}

void TEditorStrings::UpdateStateChanged(bool updating) {
  TEditorScreenStrings& store = Store();
  const bool redrawSwitch = FEditor->WindowVisible();
  if (updating) {
    ++FUpdateDepth;
    if (redrawSwitch) FEditor->SetRedraw(false);
    store.BeginUpdate();
    FEditor->CaretHide();
    FEditor->HideUnderline();
    FEditor->SetLinesUpdating(true);
  } else {
    --FUpdateDepth;
    // Telling the views may fail (memory): the caret, underline and redraw come back.
    TScopeExit redrawn([&] {
      FEditor->UpdateCaret();
      if (redrawSwitch) FEditor->SetRedraw(true);
    });
    TScopeExit shown([&] {  // runs first
      FEditor->ShowUnderline();
      FEditor->CaretShow();
      FEditor->SetLinesUpdating(false);
    });
    store.EndUpdate();
  }
  if (!updating) store.RefreshEditors();
}

}  // namespace plomaret
