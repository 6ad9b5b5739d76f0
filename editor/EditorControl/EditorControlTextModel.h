#pragma once
// The document: screen rows with their attributes, parser states and marks; the
// one editing primitive that replaces a run of rows by a text; undo and redo; and
// Lines, the list of logical lines laid over the rows.

#include <bitset>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "editor/Fountain.h"
#include "editor/LineEdits.h"
#include "editor/RowAttributeList.h"
#include "editor/TextCells.h"
#include "editor/WordWrap.h"
#include "framework/core/Strings.h"

namespace plomaret {

class TEditorUndoObj;
class TTextFileReader;
struct TTextFileShape;
class TEditorScreenStrings;

// What the text model needs of an editor control that shows it. The control
// implements it; tests use a double.
class TAttachedEditor {
 public:
  virtual ~TAttachedEditor() = default;

  // The row store the editor shows.
  virtual TEditorScreenStrings* ScreenStrings() const = 0;

  // Options of the primary (first attached) editor, which the store works with.
  virtual int TabSpaceCount() const = 0;
  virtual const std::bitset<256>& WordDelimiters() const = 0;
  virtual TFountain* CurrentFountain() const = 0;
  virtual int RowHeight() const = 0;
  virtual int ScreenHeight() const = 0;
  virtual bool InitBracketsFull() const = 0;
  virtual bool IsLoading() const = 0;
  virtual bool IsDestroying() const = 0;

  virtual bool Focused() const = 0;
  // Whether the text changed since it was loaded or cleared.
  virtual void SetModified(bool modified) = 0;
  virtual int Row() const = 0;
  virtual int Col() const = 0;
  virtual int TopRow() const = 0;
  virtual void SetRow(int row) = 0;
  virtual void SetCol(int col) = 0;
  virtual void SetTopRow(int row) = 0;
  virtual void UpdateCaret() = 0;
  virtual void CaretHide() = 0;
  virtual void CaretShow() = 0;
  virtual void HideUnderline() = 0;
  virtual void ShowUnderline() = 0;
  virtual void CleanSelection() = 0;
  virtual void InvalidateRow(int row) = 0;
  // Recompute scroll ranges and sizes, and repaint.
  virtual void Refresh() = 0;
  // The row store changed; the change record says what (ChangeRow() and so on).
  virtual void TextChanged(TEditorScreenStrings& store) = 0;
  // Set while Lines is being updated.
  virtual void SetLinesUpdating(bool updating) = 0;
  virtual bool WindowVisible() const = 0;
  // The window's redraw switch (WM_SETREDRAW).
  virtual void SetRedraw(bool redraw) = 0;
};

// The rows of a text, as the store and its temporary lists keep them.
class TEditorStringList : public TRowAttributeStringList {
 public:
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
};

// One row of a run of rows kept for undo: how long its text is and how it ends.
struct TSavedRow {
  int Length = 0;
  uint8_t Attribute = 0;
  // Its bytes as a saved text holds them: the row's text, and CR LF after a line end.
  size_t SavedBytes() const { return static_cast<size_t>(Length) + (Attribute == raLineEnd ? 2 : 0); }
  bool operator==(const TSavedRow&) const = default;
};

// The text of a run of rows, as it is kept for undo and re-splitting.
struct TRowsText {
  std::string Text;            // each row's text, CR LF after every raLineEnd row
  uint8_t EndAttribute = 3;    // the attribute of the last row; 3: no rows
  int RowCount = 0;
  std::vector<TSavedRow> Rows;  // where Text breaks into rows
};

// Rows a split made, before they go into the store: their texts one after another.
struct TSplitRows {
  std::string Text;
  std::vector<TSavedRow> Rows;
  // The old rows after the edited ones that the split joined on, in order.
  std::vector<TSavedRow> JoinedRows;
};

// The value of TRowsText::EndAttribute (and of an undo step's) when no row was taken.
inline constexpr uint8_t kNoRowsAttribute = 3;

// A change of whole lines as one undo step: the lines' edits, then the marks the rows
// are to have (every other row has none) and how the text's last row ends.
struct TLineEditStep {
  TLineEditLog Edits;
  std::vector<std::pair<int, uint16_t>> Marks;
  uint8_t LastRowAttribute = kNoRowsAttribute;  // kNoRowsAttribute: as it is
  // About how many bytes of text the lines that grow need: room asked for at once, so
  // that a text too large for memory is refused before any line changes and no
  // memory is left taken by an attempt that failed.
  size_t GrowthBytes = 0;
};

class TEditorScreenStrings : public TEditorStringList {
 public:
  TEditorScreenStrings() = default;
  void AfterConstruction() override;
  ~TEditorScreenStrings() override;

  // Attached editors, in attach order; the first is the primary editor.
  void Attach(TAttachedEditor* editor);
  // When the last editor detaches, the store frees itself.
  void Detach(TAttachedEditor* editor);
  const std::vector<TAttachedEditor*>& Editors() const { return FEditors; }
  TAttachedEditor* PrimaryEditor() const { return FEditors.empty() ? nullptr : FEditors.front(); }
  // The first attached editor that has the focus, else the primary editor.
  TAttachedEditor* FocusedEditor() const;

  // The editing primitive: replaces rows a .. a + n - 1 by text (CR LF line ends),
  // records one undo step, updates parser states and tells the editors.
  void ReplaceText(int a, int n, std::string_view text);
  // Replaces n rows at first by the rows of a list, keeping marks with their text.
  void ReplaceRows(int first, int n, const TEditorStringList& rows);
  // Deletes n rows at a; returns the union of their marks.
  uint16_t DeleteRows(int a, int n);
  // Deletes n rows at a as one change: their marks go to the row that takes their
  // place (the new last row when they were the last), which counts as changed.
  void RemoveRows(int a, int n);
  virtual void StrToRows(std::string_view text, TEditorStringList& rows);
  virtual int RowCountOf(std::string_view line);

  void ResetStates();
  int UpdateStates(int a, bool notify);

  void Clear() override;
  virtual void Undo();
  virtual void Redo();
  TEditorUndoObj* UndoObj() const { return FUndo.get(); }

  virtual uint16_t Marks() const { return FMarksInUse; }
  virtual void ExcludeMarks(uint16_t marks) { FMarksInUse &= static_cast<uint16_t>(~marks); }
  virtual void IncludeMarks(uint16_t marks) { FMarksInUse |= marks; }

  // Word wrap (the editor's WordWrap property) and its options (WrapOption).
  bool WordWrap() const { return FWrapOn; }
  void SwitchWordWrap(bool on);
  TEditorWrapOption* WrapOption() const { return FWrapOption.get(); }
  // Re-split every logical line by the current options, or join each into one row.
  void WrapAll();
  void UnwrapAll();

  // How rows are laid out in cells: the primary editor's tab width and delimiters.
  TCellLayout CellLayout() const;
  // Cells occupied by text, with the primary editor's tab width and wrap.
  int DisplayWidthOf(std::string_view text) const;

  // Row ranges.
  int FirstRowOfLine(int row) const;
  // A row's bytes as offsets into the whole text count them: its text, 2 for a line end,
  // 1 at the text end (where a walk over the rows stops).
  int64_t OffsetBytes(int row) const;
  // A row's bytes as RowsText keeps them: its text, and CR LF after a line end.
  size_t SavedBytes(int row) const;
  int LastRowOfLine(int row) const;
  // The rows' text (count < 0: to the end of the line).
  TRowsText RowsText(int row, int count) const;

  // The change record of the last change, valid while the editors are told.
  int ChangeRow() const { return FChangeRow; }
  int ChangeOldCount() const { return FChangeOldCount; }
  int ChangeNewCount() const { return FChangeNewCount; }
  int ChangeParsed() const { return FChangeParsed; }
  bool ChangePending() const { return FChangePending; }
  void SetChangeRecord(int row, int oldCount, int newCount, int parsed);

  // A rewrite of the logical lines as a step of edits of the lines it changes (each
  // logical line is given to rewrite once, in order); false when no line changes.
  bool PlanLineRewrite(const TStrings::TLineRewrite& rewrite, TLineEditStep& step) const;
  // Applies such a step where the rows stand, as one undo step that keeps only the
  // edits: the text then reads as the rewritten lines assigned as a whole would (no
  // marks, no selection, a line end after every line), while the rows of unchanged
  // lines stay, so older steps still fit. All or nothing: when it fails, the text,
  // its rows and the history are as they were.
  // placeCaret, when given, runs once the rows stand, as part of the step.
  void ApplyAsStep(const TLineEditStep& step, const std::function<void()>& placeCaret);
  // Applies a step of line edits (as one change) and returns the step that undoes it;
  // a failure leaves the rows as they were.
  TLineEditStep ApplyLineEdits(const TLineEditStep& step);

  // After the whole text was replaced (load, assign) by rows that hold no known state
  // (new, or invalidated): wrap when word wrap is on, compute the states the view
  // needs, and record a change of the whole text.
  void AfterWholeTextChange(int oldRowCount);

  // Applied to every attached editor, in attach order.
  void CleanSelections();
  void RefreshEditors();
  void ClampCarets();
  void ResetCaretColumns();

 protected:
  virtual TOwned<TEditorUndoObj> CreateUndoObj();
  virtual TOwned<TEditorWrapOption> CreateWrapOption();
  void UpdateStateChanged(bool updating) override;
  // How ReplaceText splits an edited run of a wrapped line: rows first..a-1, text and
  // rows lastOld+1..last become rows as StrToRows splits their joined text, but the
  // rows at the end that come out as old rows of the run already are (the same text
  // in the same place) are left out: kept counts them, and they stay in the store.
  // False when the run is not one it can split so: then the joined text is split.
  virtual bool SplitRunKeepingUnchangedRows(int first, int a, int lastOld, int last, std::string_view text,
                                            TSplitRows& rows, int& kept);

 private:
  friend class TEditorUndoObj;

  void NotifyEditors(TObject* sender);
  // A wrap option changed: wrap again, and forget the history.
  void WrapOptionChanged(TObject* sender);
  // After the rows were split again or joined: what every view must redo.
  void AfterRewrap();
  bool PrimaryLoading() const;
  // Runs rewrap, which splits or joins the rows where they stand into fresh rows,
  // with the change event held back, as one update.
  template <class Rewrap>
  void RewrapInPlace(Rewrap rewrap);
  // Inserts or deletes rows at the end of rows first..last so that they become count.
  void ReplaceLineRows(int first, int last, int count);
  void ZeroChangeRecord();
  // Rows per two screens of the primary editor: how far states are computed ahead.
  int StateHorizon() const;
  TOwned<TFountainParser> CreateStateParser() const;
  // The first row above row a whose state UpdateStates must write, with the state
  // there (row attribute not yet set): below the nearest known state, or below a row
  // that settles the state, but never below a row that an editor shows above a.
  int StatesStartAbove(TFountainParser& parser, int a, TRowAttributeData& state) const;
  // The lowest row above a that an editor shows, within a horizon of a (a if none).
  int ShownRowAbove(int a) const;
  // FStatesEnd, or the row count when the rows changed in a way it did not follow.
  int StatesEnd() const;
  void KeepStatesEnd(int end);
  // Copies row `from` of list into row `to` of the store: text, attributes, data.
  void CopyRowFrom(const TEditorStringList& list, int from, int to);
  // ReplaceRows without the rows: deletes or inserts rows so that the n rows at
  // first become m, and gives the marks each of the m rows is to have.
  std::vector<uint16_t> ResizeRun(int first, int n, int m);
  void ReplaceTextGeneral(int first, int a, int lastOld, int last, std::string_view text, int& oldCount, int& newCount);
  // Rows kept after a replace stand for rows a whole split would have made afresh:
  // their parser states read as not yet parsed.
  void ForgetStatesOfKeptRows(int row, int count);
  // The edits of a step, each line split into rows as the edit says; inverse (when not
  // null) receives the edits that undo them, and the growth they need is returned.
  // Failing, it undoes what it did.
  size_t ApplyEdits(const TLineEditLog& edits, TLineEditLog* inverse);
  // The row marks in use, row by row.
  std::vector<std::pair<int, uint16_t>> MarkedRows() const;

  std::vector<TAttachedEditor*> FEditors;
  int FChangeRow = 0;
  int FChangeOldCount = 0;
  int FChangeNewCount = 0;
  int FChangeParsed = 0;
  bool FChangePending = false;
  uint16_t FMarksInUse = 0;
  // Every row from FStatesEnd on holds no known state, while the structure stamp is
  // FStatesStamp: the rows past an edit need no clearing, nor a walk up to a state.
  int FStatesEnd = 0;
  uint64_t FStatesStamp = ~uint64_t{0};
  TOwned<TEditorUndoObj> FUndo;
  TSplitRows FSplitBuffers;  // kept between edits (see ReplaceTextGeneral)
  bool FWrapOn = false;
  TOwned<TEditorWrapOption> FWrapOption;
};

// ---- Lines ----

// The editor's text as logical lines (with word wrap on, the rows of a line joined).
class TEditorStrings : public TStrings {
 public:
  explicit TEditorStrings(TAttachedEditor* editor) : FEditor(editor) {}

  std::string Get(int index) const override;
  int Count() const override;
  std::string AllText() const override;
  void Put(int index, const std::string& text) override;
  void SetAllText(std::string_view text) override;
  int Add(const std::string& text) override;
  void Insert(int index, const std::string& text) override;
  void Delete(int index) override;
  void Clear() override;
  void Assign(const TPersistent& source) override;
  // The lines the rewrite changes, as one undo step holding only their edits (no copy
  // of the text, unless a row holds a line break byte); the caret then stands after the
  // last line. When no line changes, nothing does (not the caret, not the history).
  void RewriteLines(const TLineRewrite& rewrite) override;
  // Lines stored with a form: one row each, ending with a line end; the text is
  // wrapped when the form has been read.
  void LoadStoredLines(const TStrings& lines) override;
  // Reads the file as bytes in two passes (CR LF, lone CR and lone LF end lines;
  // byte 26 ends the text); a file that is not text leaves the editor empty.
  void LoadFile(const std::string& path) override;
  // LoadFile for a file its caller has counted already (and so knows to be text).
  void LoadCountedFile(TTextFileReader& reader, const TTextFileShape& shape);
  // Writes AllText with CR LF line ends; a failed save leaves the old file whole.
  void WriteTo(TFileReplacer& file) const override;

  // The first row of logical line `line` (the row count for the line after the last).
  int LineToRow(int line) const;

 protected:
  void UpdateStateChanged(bool updating) override;

 private:
  TEditorScreenStrings& Store() const { return *FEditor->ScreenStrings(); }
  void CheckLine(int line, bool orNextLine) const;
  static bool HasLineBreaksInside(const TStrings& strings);
  bool RewriteThroughCopy(const TLineRewrite& rewrite);
  // Whether a row holds CR, LF or a zero byte (which its line could not keep).
  bool RowsHoldLineBreaks() const;
  // counted: a reader whose Count gave countedShape, or nullptr to open and count.
  void ReadFile(const std::string& path, TTextFileReader* counted, const TTextFileShape* countedShape);
  // The first and last rows of a logical line.
  std::pair<int, int> RowsOfLine(int line) const;
  // Puts the caret at byte offset `offset` counted from the start of row `row`.
  void PlaceCaret(int row, int offset);
  // Where the next lookup of a line may start walking.
  void RememberLine(int line, int row) const;

  TAttachedEditor* FEditor;
  int FUpdateDepth = 0;
  // The last line looked up, while the rows have not changed since.
  mutable int FCursorLine = 0;
  mutable int FCursorRow = 0;
  mutable uint64_t FCursorStamp = ~uint64_t{0};
};

// ---- Undo ----

struct TUndoData {
  int CaretRow = 0;
  int CaretCol = 0;
  int StartRow = -1;
  int NewRowCount = 0;
  uint8_t EndAttribute = kNoRowsAttribute;
  std::string Text;
  // The rows Text came from. Undo puts back exactly these rows: splitting the text
  // again could break a wrapped line elsewhere (the wrap of an edited line starts
  // at most one row above the edit), and the row numbers of older steps would no
  // longer fit.
  std::vector<TSavedRow> Rows;
  // Rows after the step's own that a split of the whole rest of the line would have
  // replaced by equal ones: the step counts them in its change without saving them.
  int KeptRows = 0;
  // The last SharedTail bytes of the saved rows' text are not in Text: they are the
  // last bytes of the rows the step made, which stand in the store whenever the step
  // is undone. Typing into a long wrapped line moves every later row, and copying the
  // rest of the line for each key would cost more than the edit.
  size_t SharedTail = 0;
  // A change of whole lines kept as their edits (the fields above are then unused).
  std::shared_ptr<const TLineEditStep> LineEdits;
};

// Steps, oldest first.
class TUndoDataList : public TObject {
 public:
  int Count() const { return static_cast<int>(FItems.size()); }
  TUndoData& Items(int index) { return FItems.at(static_cast<size_t>(index)); }
  TUndoData& Last() { return FItems.back(); }
  TUndoData& Add(TUndoData data) { return FItems.emplace_back(std::move(data)); }
  void Delete(int index) { FItems.erase(FItems.begin() + index); }
  void DeleteLast() { FItems.pop_back(); }
  void Clear() { FItems.clear(); }

 private:
  std::vector<TUndoData> FItems;
};

class TEditorUndoObj : public TObject {
 public:
  static constexpr int kMinListMax = 64;

  explicit TEditorUndoObj(TEditorScreenStrings* strings) : FStrings(strings) {}
  void AfterConstruction() override;

  // A new step, with the focused editor's caret; the caller fills in the rest.
  virtual TUndoData& AddRecord();
  virtual bool CanUndo() const { return FUndoList->Count() > 0; }
  virtual bool CanRedo() const { return FRedoList->Count() > 0; }
  virtual void Undo();
  virtual void Redo();
  // Undoes the last step and forgets it: it is not offered for redo.
  void Withdraw();
  virtual void AddRedo(const TUndoData& record);
  // A step made elsewhere (its caret filled in), as AddRecord would add it.
  void AddStep(TUndoData step);
  virtual void Clear();

  int ListMax() const { return FListMax; }
  // Never below 64.
  void SetListMax(int value) { FListMax = value < kMinListMax ? kMinListMax : value; }
  const TUndoDataList& UndoList() const { return *FUndoList; }
  const TUndoDataList& RedoList() const { return *FRedoList; }

 private:
  // Puts a step's saved text back in place of the rows it produced; returns what
  // those rows held, and fills the store's change record.
  TRowsText Restore(const TUndoData& record, int& restoredRows);
  // Applies the last step of from, a step of line edits, and moves its inverse to to.
  void MoveLineEdits(TUndoDataList& from, TUndoDataList& to);

  TEditorScreenStrings* FStrings;
  int FListMax = kMinListMax;
  bool FRedoing = false;
  TOwned<TUndoDataList> FRedoList;
  TOwned<TUndoDataList> FUndoList;
};

}  // namespace plomaret
