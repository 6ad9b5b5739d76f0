// Undo and redo: one step per replace of the row store, with the caret of the
// focused editor from before the step.

#include <algorithm>

#include "editor/EditorControl.h"
#include "framework/core/ScopeGuard.h"

namespace plomaret {

namespace {

// Hides the caret of an editor for a while, also when the work fails.
class TCaretHold {
 public:
  explicit TCaretHold(TAttachedEditor* editor) : FEditor(editor) {
    if (FEditor != nullptr) FEditor->CaretHide();
  }
  ~TCaretHold() {
    if (FEditor != nullptr) FEditor->CaretShow();
  }
  TCaretHold(const TCaretHold&) = delete;
  TCaretHold& operator=(const TCaretHold&) = delete;

 private:
  TAttachedEditor* FEditor;
};

}  // namespace

void TEditorUndoObj::AfterConstruction() {
  TObject::AfterConstruction();
  FRedoList = Create<TUndoDataList>();
  FUndoList = Create<TUndoDataList>();
}

TUndoData& TEditorUndoObj::AddRecord() {
  TUndoData record;
  if (const TAttachedEditor* focused = FStrings->FocusedEditor()) {
    record.CaretRow = focused->Row();
    record.CaretCol = focused->Col();
  }
  AddStep(std::move(record));
  return FUndoList->Last();
}

void TEditorUndoObj::AddStep(TUndoData step) {
  FUndoList->Add(std::move(step));
  while (FUndoList->Count() > FListMax) FUndoList->Delete(0);
  if (!FRedoing) FRedoList->Clear();
}

void TEditorUndoObj::AddRedo(const TUndoData& record) {
  TUndoData copy = record;
  if (const TAttachedEditor* focused = FStrings->FocusedEditor()) {
    copy.CaretRow = focused->Row();
    copy.CaretCol = focused->Col();
  }
  FRedoList->Add(std::move(copy));
}

void TEditorUndoObj::Clear() {
  FUndoList->Clear();
  FRedoList->Clear();
}

TRowsText TEditorUndoObj::Restore(const TUndoData& record, int& restoredRows) {
  TEditorScreenStrings& store = *FStrings;
  // What the step produced, to be saved as the inverse.
  TRowsText produced;
  if (record.NewRowCount > 0) produced = store.RowsText(record.StartRow, record.NewRowCount);

  if (record.EndAttribute == kNoRowsAttribute) {
    // The step only inserted rows: they go again.
    store.RemoveRows(record.StartRow, produced.RowCount);
    restoredRows = 0;
    return produced;
  }
  // The saved rows end with the bytes the produced rows end with; the inverse step
  // shares them in the same way.
  std::string text = record.Text;
  const size_t producedOwn = produced.Text.size() - std::min(record.SharedTail, produced.Text.size());
  text.append(produced.Text, producedOwn);
  produced.Text.resize(producedOwn);
  TOwned<TEditorStringList> rows = Create<TEditorStringList>();
  size_t position = 0;
  for (const TSavedRow& saved : record.Rows) {
    const int row = rows->AddText(std::string_view(text).substr(position, static_cast<size_t>(saved.Length)));
    rows->SetRowAttributes(row, static_cast<TRowAttribute>(saved.Attribute));
    position += saved.SavedBytes();
  }
  store.ReplaceRows(record.StartRow, produced.RowCount, *rows);
  restoredRows = rows->Count();
  store.ForgetStatesOfKeptRows(record.StartRow + restoredRows, record.KeptRows);
  const int parsed = store.UpdateStates(record.StartRow, true);
  store.SetChangeRecord(record.StartRow, produced.RowCount + record.KeptRows, restoredRows + record.KeptRows, parsed);
  return produced;
}

void TEditorUndoObj::Undo() {
  if (!CanUndo()) return;
  if (FUndoList->Last().LineEdits) {
    MoveLineEdits(*FUndoList, *FRedoList);
    return;
  }
  TAttachedEditor* focused = FStrings->FocusedEditor();
  TCaretHold hold(focused);
  TUndoData record = FUndoList->Last();
  {
    TUpdateBracket update(*FStrings);
    int restored = 0;
    TRowsText produced = Restore(record, restored);
    TUndoData inverse = record;
    inverse.NewRowCount = restored;
    inverse.EndAttribute = produced.EndAttribute;
    inverse.Text = std::move(produced.Text);
    inverse.Rows = std::move(produced.Rows);
    AddRedo(inverse);
  }
  if (focused != nullptr) {
    focused->SetRow(record.CaretRow);
    focused->SetCol(record.CaretCol);
  }
  FUndoList->DeleteLast();
}

void TEditorUndoObj::MoveLineEdits(TUndoDataList& from, TUndoDataList& to) {
  TAttachedEditor* focused = FStrings->FocusedEditor();
  TCaretHold hold(focused);
  const TUndoData record = from.Last();
  TUndoData inverse;
  if (focused != nullptr) {
    inverse.CaretRow = focused->Row();
    inverse.CaretCol = focused->Col();
  }
  const auto edits = std::make_shared<TLineEditStep>();
  // All or nothing, the views' notice included: the step stays where it was unless
  // it moved whole.
  bool moved = false;
  const auto moveBack = OnFailure([&] {
    if (!moved) return;
    to.DeleteLast();
    FStrings->ApplyLineEdits(*edits);
  });
  {
    TUpdateBracket update(*FStrings);
    *edits = FStrings->ApplyLineEdits(*record.LineEdits);
    inverse.LineEdits = edits;
    const auto back = OnFailure([&] { FStrings->ApplyLineEdits(*edits); });
    if (&to == FUndoList.get()) {
      TScopedValue redoing(FRedoing, true, false);
      AddStep(std::move(inverse));
    } else {
      to.Add(std::move(inverse));
    }
    moved = true;
  }
  if (focused != nullptr) {
    focused->SetRow(record.CaretRow);
    focused->SetCol(record.CaretCol);
  }
  from.DeleteLast();
}

void TEditorUndoObj::Withdraw() {
  if (!CanUndo()) return;
  const int redoSteps = FRedoList->Count();
  Undo();
  if (FRedoList->Count() > redoSteps) FRedoList->DeleteLast();
}

void TEditorUndoObj::Redo() {
  if (!CanRedo()) return;
  if (FRedoList->Last().LineEdits) {
    MoveLineEdits(*FRedoList, *FUndoList);
    return;
  }
  TAttachedEditor* focused = FStrings->FocusedEditor();
  TCaretHold hold(focused);
  TUndoData record = FRedoList->Last();
  {
    TUpdateBracket update(*FStrings);
    int restored = 0;
    TRowsText produced = Restore(record, restored);
    TScopedValue redoing(FRedoing, true, false);
    TUndoData& inverse = AddRecord();
    inverse.StartRow = record.StartRow;
    inverse.NewRowCount = restored;
    inverse.KeptRows = record.KeptRows;
    inverse.SharedTail = record.SharedTail;
    inverse.EndAttribute = produced.EndAttribute;
    inverse.Text = std::move(produced.Text);
    inverse.Rows = std::move(produced.Rows);
  }
  if (focused != nullptr) {
    focused->SetRow(record.CaretRow);
    focused->SetCol(record.CaretCol);
  }
  FRedoList->DeleteLast();
}

}  // namespace plomaret
