#pragma once
// TEditor, the editor control: a windowed control that shows one row store (the
// document) on a grid of fixed-width cells, with its option objects, its caret and
// its view. It implements the text model's TAttachedEditor, so the row store and
// Lines reach it only through that interface.
//
// The control is this front (published properties, events, the window procedure,
// the two-phase hooks) over collaborators that keep their own state:
//   EditorControlSelection.h/.cpp  the selection range: anchor, box mode, hit, whole
//                                  rows, SelStart/SelLength/SelText over TSelectionRows
//   EditorControlMetrics.h/.cpp    the view's geometry as a value: sizes, bars,
//                                  the first row and column, pixels to cells and back
//   EditorControlPainter.h         the painter: the bars' pictures and all drawing
//   EditorControlScreen.h/.cpp     the screen updater: what a change of the text repaints
//   EditorControlMenu.h/.cpp       the context menu
//   EditorControlGuards.h          the caret and the underline hidden for a scope
// The model and the options have headers of their own:
//   EditorControlTextModel.h       the row store, Lines and undo (RowStore, Lines,
//                                  Undo, Wrap and LineEdits .cpp)
//   EditorControlOptions.h/.cpp    the option objects
// What the front does is split by topic:
//   EditorControlCore.cpp       construction, properties, notifications, the window
//   EditorControlView.cpp       measuring, scroll bars, TopRow/TopCol, scrolling
//   EditorControlCaret.cpp      cells, columns and bytes, the caret and its rules
//   EditorControlSelecting.cpp  the caret driving the selection, whole-row gestures
//   EditorControlEditing.cpp    every change of the text the user makes, the clipboard
//   EditorControlKeys.cpp       the keyboard and the input method
//   EditorControlMouse.cpp      the mouse, selection drags, cursors
//   EditorControlMessages.cpp   the edit-control messages
//   EditorControlSearch.cpp     FindText and the token under a point
//   EditorControlPaint.cpp      the paint pipeline and the painter's rows and marks
//   EditorControlBars.cpp       the painter's ruler, leftbar and imagebar; row marks

#include <bitset>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "editor/EditorControl/EditorControlMenu.h"
#include "editor/EditorControl/EditorControlMetrics.h"
#include "editor/EditorControl/EditorControlOptions.h"
#include "editor/EditorControl/EditorControlPainter.h"
#include "editor/EditorControl/EditorControlScreen.h"
#include "editor/EditorControl/EditorControlSelection.h"
#include "editor/EditorControl/EditorControlTextModel.h"
#include "editor/Fountain.h"
#include "editor/TextSearch.h"
#include "framework/gui/Bitmap.h"
#include "framework/gui/Control.h"
#include "framework/gui/Menus.h"

namespace plomaret {

class TEditor;

enum TEditorHitStyle { hsSelect, hsDraw, hsCaret };
const TTypeInfo& TypeInfoOf(TTypeTag<TEditorHitStyle>);

// Sender, the row text, where it is drawn (x, y), the row, its rectangle, whether
// it is drawn selected.
using TDrawLineEvent = TEvent<TObject*, const std::string&, int, int, int, TRect&, bool>;
using TSelectionChangeEvent = TEvent<TObject*, bool>;

class TEditor : public TCustomControl, public TAttachedEditor {
 public:
  // The widest column the caret and the view reach.
  static constexpr int kColumnLimit = 1000;

  TEditor();
  void AfterConstruction() override;
  void BeforeDestruction() override;
  ~TEditor() override;

  // ---- Published properties ----
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle value);
  TEditorCaret* Caret() const { return FCaret.get(); }
  void SetCaret(const TEditorCaret& value) { FCaret->Assign(value); }
  TFountain* Fountain() const { return FFountain; }
  void SetFountain(TFountain* value);
  TEditorHitStyle HitStyle() const { return FHitStyle; }
  void SetHitStyle(TEditorHitStyle value);
  TEditorImagebar* Imagebar() const { return FImagebar.get(); }
  void SetImagebar(const TEditorImagebar& value) { FImagebar->Assign(value); }
  TImageList* ImageDigits() const { return FImageDigits; }
  void SetImageDigits(TImageList* value) { SetImageList(FImageDigits, value); }
  TImageList* ImageMarks() const { return FImageMarks; }
  void SetImageMarks(TImageList* value) { SetImageList(FImageMarks, value); }
  TEditorLeftbar* Leftbar() const { return FLeftbar.get(); }
  void SetLeftbar(const TEditorLeftbar& value) { FLeftbar->Assign(value); }
  TEditorStrings* Lines() const { return FLines.get(); }
  void SetLines(const TStrings& value);
  TEditorMarks* Marks() const { return FMarks.get(); }
  void SetMarks(const TEditorMarks& value) { FMarks->Assign(value); }
  TEditorMargin* Margin() const { return FMargin.get(); }
  void SetMargin(const TEditorMargin& value) { FMargin->Assign(value); }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool value);
  TStringList* ReserveWordList() const;
  void SetReserveWordList(const TStrings& value);
  TEditorRuler* Ruler() const { return FRuler.get(); }
  void SetRuler(const TEditorRuler& value) { FRuler->Assign(value); }
  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle value);
  TEditorSpeed* Speed() const { return FSpeed.get(); }
  void SetSpeed(const TEditorSpeed& value) { FSpeed->Assign(value); }
  int UndoListMax() const;
  void SetUndoListMax(int value);
  TEditorViewInfo* View() const { return FView.get(); }
  void SetView(const TEditorViewInfo& value);
  bool WantReturns() const { return FWantReturns; }
  void SetWantReturns(bool value) { FWantReturns = value; }
  bool WantTabs() const { return FWantTabs; }
  void SetWantTabs(bool value) { FWantTabs = value; }
  bool WordWrap() const { return FRowStore->WordWrap(); }
  void SetWordWrap(bool value) { FRowStore->SwitchWordWrap(value); }
  TEditorWrapOption* WrapOption() const { return FRowStore->WrapOption(); }
  void SetWrapOption(const TEditorWrapOption& value) { FRowStore->WrapOption()->Assign(value); }

  // ---- Events ----
  TNotifyEvent OnCaretMoved;
  TNotifyEvent OnChange;
  TDrawLineEvent OnDrawLine;
  TSelectionChangeEvent OnSelectionChange;
  TNotifyEvent OnSelectionModeChange;
  TNotifyEvent OnTopColChange;
  TNotifyEvent OnTopRowChange;

  // ---- State ----
  int Row() const override { return FRow; }
  int Col() const override { return FCol; }
  int TopRow() const override { return FMetrics.TopRow; }
  int TopCol() const { return FMetrics.TopCol; }
  int RowCount() const { return FMetrics.RowCount; }
  int ColCount() const { return FMetrics.ColCount; }
  int RowHeight() const override { return FMetrics.RowHeight; }
  int ColWidth() const { return FMetrics.ColWidth; }
  int FontHeight() const { return FMetrics.FontHeight; }
  bool Modified() const { return FModified; }
  // The composition window waits for the key that repeats to come up.
  bool ImePositionPending() const { return FImePositionPending; }
  void SetModified(bool value) override { FModified = value; }
  bool SelectionMode() const { return FSelection.Box(); }
  TEditorSelectionState SelectionState() const { return FSelection.State(); }
  // A range exists (selected or hit); it is drawn (selected, or a hit with hsDraw).
  bool RangeExists() const { return FSelection.Exists(); }
  bool RangeVisible() const;
  // Puts a range in place as the selection operations leave one, and repaints the
  // text (tests and the driver set ranges this way).
  void PlaceRange(bool box, TEditorSelectionState state, const TSelectionRect& rect);
  // The view's geometry now: sizes, the first row and column, where the bars put the text.
  TViewMetrics Metrics() const;
  // Where the text area starts, and the widths of the bars left of it.
  int TopOffset() const;
  int LeftOffset() const;
  int LeftbarDigits() const { return FMetrics.LeftbarDigits; }
  int LeftbarWidth() const { return FMetrics.LeftbarWidth; }
  int ImagebarWidthNow() const { return FMetrics.ImagebarWidth; }
  int RulerHeightNow() const { return FMetrics.RulerHeight; }
  // The per-cell advances the text is drawn with.
  const std::vector<int>& Spacing() const { return FSpacing; }
  // The highest TopRow the vertical bar reaches.
  int VerticalLimit() const;

  // ---- View (scrolling and geometry) ----
  void SetTopRow(int row) override;
  void SetTopCol(int col);
  // PageUp/PageDown: the view moves by delta rows and the caret keeps its place in it.
  void ScrollByRows(int delta);
  // Recompute the metrics from the font and options (needs the window).
  void Measure();
  void UpdateScrollBars();

  // ---- Caret and coordinates ----
  TCellLayout Layout() const;
  std::string CellMap(std::string_view text) const { return plomaret::CellMap(text, Layout()); }
  int DisplayWidth(std::string_view text) const { return plomaret::DisplayWidth(text, Layout()); }
  std::string ExpandTabs(std::string_view text) const { return plomaret::ExpandTabs(text, Layout()); }
  int IndentWidth(std::string_view text) const { return plomaret::IndentWidth(text, Layout()); }
  static int ColToByte(std::string_view map, int col) { return plomaret::ColToByte(map, col); }
  int RowEndCol(int row) const;
  std::string RowText(int row) const;
  std::string RowDisplayText(int row) const;
  TRowAttribute RowAttribute(int row) const;
  int ByteToCol(int row, int offset) const;
  // The cell under a client pixel; the row is not clamped.
  TPoint PixelToCell(int x, int y, bool snap) const;
  TPoint CaretPixel() const;
  // The row and byte under a pixel, or false.
  virtual bool CharFromPixel(int x, int y, int& row, int& byteIndex) const;
  void SetRow(int row) override;
  void SetCol(int col) override;
  void SetRowCol(int row, int col);
  // Token-wise movement from (row, col); true when it moved them.
  virtual bool MoveByToken(int& row, int& col, int direction) const;
  void UpdateCaret() override;
  void CaretHide() override;
  void CaretShow() override;
  virtual void ScrollCaret();

  // ---- Painting ----
  void HideUnderline() override;
  void ShowUnderline() override;
  // Where the caret-row underline of a row lies, or -1 when it is not in the window.
  int UnderlineY(int row) const;
  void InvalidateRow(int row) override { FScreen->InvalidateRow(row); }
  TEditorScreen* Screen() const { return FScreen.get(); }
  // The logical line a row belongs to (0-based).
  int LineIndexOfRow(int row) const;

  // ---- Row marks ----
  uint16_t GetRowMarks(int row) const;
  void SetRowMarks(int row, uint16_t marks);
  virtual void PutRowMark(int row, int mark);
  virtual void DeleteRowMark(int row, int mark);
  virtual void GotoRowMark(int mark);

  // ---- Selection ----
  void StartSelection();
  void ExtendSelection();
  void CleanSelection() override;
  void SetSelectionMode(bool box);
  // Byte offsets over the whole text: a line end counts 2, a wrap joint 0.
  int SelStart() const;
  void SetSelStart(int offset);
  int SelLength() const;
  void SetSelLength(int length);
  std::string SelText() const;
  void SelectAll();

  // Search from the caret or the current range (options of the search engine; soForward
  // set searches towards the end); the match is shown by HitStyle. False when not found:
  // caret and range stay as they were.
  bool FindText(std::string_view pattern, TSearchOptions options);
  // Selects or marks length bytes from the caret as a hit, by HitStyle.
  void ShowHit(int length);
  int HitLength() const { return FSelection.HitLength(); }
  struct TTokenAtPoint {
    bool Found = false;
    std::string Text;
    TTokenKind Kind = toEof;
  };
  // The token under a client point: parsed with the fountain (from the stored state of
  // its line, kept or made invalid) or with the plain token parser.
  TTokenAtPoint TokenAtPoint(int x, int y, bool useFountain, bool keepState) const;
  void SelectTokenAtPoint(int x, int y, bool useFountain, bool keepState);

  // Whole rows from the left margin: the press, then each row the pointer moves to.
  void RowSelectStart(int row);
  void RowSelectMove(int row);
  bool RowSelecting() const { return FSelection.RowSelect().Active; }
  // The mouse cursor kind last applied (0 text, 1 left margin, 2 top margin, 3 in the
  // selection, 4 dragging, 5 dragging a copy; -1 none yet).
  int CursorKind() const { return FCursorKind; }
  void EndRowSelect() { FSelection.RowSelect().Active = false; }
  bool IsInSelection(int row, int col) const;
  virtual bool CanSelDrag() const;
  // The caret's byte in its row.
  int CaretByte() const;

  // ---- Editing: each change of the text one undo step ----
  void InsertText(std::string_view text);
  void PasteText(std::string_view text);
  void BoxPasteText(std::string_view text);
  void DeleteSelection();
  void BackSpaceKey();
  void DeleteForward();
  void ReturnKey(bool shift);
  void TabKey();
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();
  // The end of a selection drag: without Ctrl the text moves, with it a copy goes.
  void MoveSelectionTo(int row, int col);
  virtual void CopySelectionTo(int row, int col);

  // ---- Undo ----
  virtual bool CanUndo() const;
  virtual bool CanRedo() const;
  virtual void Undo();
  virtual void Redo();

  // Shows another control's document here (and edits it there too).
  virtual void ShareRowStore(TEditor& other);

  // The fountain that colours the text: Fountain if assigned, else the view's.
  virtual TFountain* ActiveFountain() const;

  // ---- TAttachedEditor ----
  TEditorScreenStrings* ScreenStrings() const override { return FRowStore; }
  int TabSpaceCount() const override { return FCaret->TabSpaceCount(); }
  const std::bitset<256>& WordDelimiters() const override { return FDelimiters; }
  TFountain* CurrentFountain() const override { return ActiveFountain(); }
  int ScreenHeight() const override;
  bool InitBracketsFull() const override { return FSpeed->InitBracketsFull(); }
  bool IsLoading() const override { return ComponentState().Contains(csLoading); }
  bool IsDestroying() const override { return ComponentState().Contains(csDestroying); }
  bool Focused() const override { return TWinControl::Focused(); }
  void Refresh() override;
  void TextChanged(TEditorScreenStrings& store) override;
  void SetLinesUpdating(bool updating) override { FLinesUpdating = updating; }
  bool WindowVisible() const override { return HandleAllocated() && Visible(); }
  void SetRedraw(bool redraw) override;

  void Loaded() override;
  void WndProc(TMessage& message) override;

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

 protected:
  void CreateParams(uint32_t& style, uint32_t& exStyle) const override;
  void CreateWnd() override;
  void Notification(TComponent* component, TOperation operation) override;
  void Paint() override;

  // Factories of the owned parts.
  virtual TOwned<TEditorCaret> CreateEditorCaret();
  virtual TOwned<TEditorImagebar> CreateImagebar();
  virtual TOwned<TEditorLeftbar> CreateLeftbar();
  virtual TOwned<TEditorMarks> CreateMarks();
  virtual TOwned<TEditorMargin> CreateMargin();
  virtual TOwned<TEditorRuler> CreateRuler();
  virtual TOwned<TEditorSpeed> CreateSpeed();
  virtual TEditorPopupMenu* CreatePopupMenu();
  virtual TOwned<TEditorScreen> CreateScreen();
  virtual TOwned<TEditorPainter> CreatePainter();
  virtual TOwned<TEditorScreenStrings> CreateScreenStrings();
  virtual TOwned<TEditorStrings> CreateEditorStrings();
  virtual TOwned<TEditorViewInfo> CreateViewInfo();
  virtual void InitDelimiters();
  virtual void CreateDrawingObjects();
  virtual void FreeDrawingObjects();

  // Event dispatch.
  virtual void DoCaretMoved() { OnCaretMoved(this); }
  virtual void DoChange() { OnChange(this); }
  virtual void DoDrawLine(const std::string& text, int x, int y, int row, TRect& rect, bool selected) {
    OnDrawLine(this, text, x, y, row, rect, selected);
  }
  virtual void DoSelectionChange(bool selected) { OnSelectionChange(this, selected); }
  virtual void DoSelectionModeChange() { OnSelectionModeChange(this); }
  virtual void DoTopColChange() { OnTopColChange(this); }
  virtual void DoTopRowChange() { OnTopRowChange(this); }

  // A notifying option object (or the fountain) changed.
  virtual void OptionChanged(TObject* sender);

  // Bars and images; the images belong to the painting.
  virtual int ImagebarWidth() const;
  virtual bool UpdateLeftbarDigits();
  virtual int LeftbarWidthFor(int digits) const;
  virtual int RulerHeight() const;
  // The leftbar grew or shrank by delta pixels: move the text area along.
  virtual void ShiftTextArea(int delta);

  // Moves the pixels of scroll (clipped to clip) by (dx, dy) and paints what they
  // uncover.
  virtual void ScrollRect(int dx, int dy, const TRect& clip, const TRect& scroll);

  // Caret pieces.
  virtual bool CaretOutsideView() const;
  virtual void PlaceCaret();
  virtual void CreateCaretShape();
  virtual void ShowSystemCaret();
  virtual void HideSystemCaret();
  // Pulls Col onto a legal cell after Row or Col changed.
  void NormalizeCol(bool keep, int direction);
  // The composition window follows the caret (later, while a key repeats).
  void UpdateImePosition();

  // Editing pieces.
  struct TRebuiltRow {
    std::string Text;
    TRowAttribute Attribute;
    int Insert;  // where the removed part was, and new text goes
  };
  std::string LineEndOf(int row) const;
  // The row a change at row is placed from: it survives re-wrapping.
  int BaseRowOf(int row) const;
  // Bytes from the start of row base to column col of row.
  int64_t OffsetFrom(int base, int row, int col) const;
  // Rows first..last by text (none when first is past the end: an append).
  void ReplaceRows(int first, int last, std::string_view text);
  // The selected rows with the selection taken out: one row (stream) or one a box row.
  std::vector<TRebuiltRow> RowsWithoutSelection() const;
  static std::string JoinRows(const std::vector<TRebuiltRow>& rows);
  void ReplaceSelectionBy(std::string_view text);
  void InsertAtCaret(std::string_view text);

  // Selection pieces.
  void RecomputeRange();
  void RecomputeRangeQuietly();
  // A row's bytes counted in offsets: its text, 2 for a line end, 1 at the text end.
  int64_t RowContribution(int row) const;
  // The bytes [first, last) of the box on a row.
  std::pair<int, int> BoxBytes(int row) const;
  // Puts the caret offset bytes after the start of row (walking on over rows).
  void PlaceCaretAtOffset(int row, int64_t offset);
  // The search in chunks of rows, and what a found match does.
  bool FindForward(std::string_view pattern, TSearchOptions options);
  bool FindBackward(std::string_view pattern, TSearchOptions options);
  void ShowFound(int chunkRow, int32_t offset, int32_t length);
  TSearchContext ChunkContext(int first, int last) const;
  // A row with its line end as a search chunk holds it.
  std::string_view RowView(int row) const;
  int RowChunkBytes(int row) const;
  // The token under a point, with the first row of its line and its byte offset there.
  struct TTokenPlace {
    TTokenAtPoint Token;
    int LineRow = 0;
    int Start = 0;
  };
  TTokenPlace TokenPlaceAtPoint(int x, int y, bool useFountain, bool keepState) const;

  // Keyboard.
  void KeyDown(int& key, TShiftState shift) override;
  void MoveCaretByToken(int direction);
  void KeyUpMessage(TMessage& message);
  void CharMessage(TMessage& message);
  int32_t DialogCode(int32_t framework) const;
  void ImeComposition(TMessage& message);

  // Mouse.
  enum TDragState { dsNone, dsArmed, dsDragging };
  TDragState DragState() const { return FDragState; }
  // As the mouse handling leaves it (a subclass may stand in for a drag).
  void SetDragState(TDragState state) { FDragState = state; }
  void ApplyCursorKind(int kind);
  TPoint MouseCell(int x, int y, bool snap) const;
  bool FarFromPress(int x, int y) const;
  void MouseLeftDown(int x, int y, TShiftState shift);
  void MouseMoveAt(int x, int y);
  void MouseLeftUp();
  void DropSelection();
  void CancelDrag();
  // True when the message is held back while the button is down or a drag is under way.
  bool FilterWhileMouseDown(TMessage& message);

  // Edit-control messages.
  bool EditMessage(TMessage& message);
  int64_t IndexLength(int row) const;
  int64_t RowIndex(int row) const;
  std::pair<int, int64_t> RowOfIndex(int64_t index) const;
  void EMGetSel(TMessage& message);
  void EMSetSel(TMessage& message);
  void EMScrollCaret(TMessage& message);
  void EMLineIndex(TMessage& message);
  void EMLineLength(TMessage& message);
  void EMLineFromChar(TMessage& message);
  void EMGetLine(TMessage& message);
  void EMPosFromChar(TMessage& message);
  void EMCharFromPos(TMessage& message);
  void EMReplaceSel(TMessage& message);
  void EMUndo(TMessage& message);
  void WMCut(TMessage& message);
  void WMCopy(TMessage& message);
  void WMGetText(TMessage& message);
  void WMGetTextLength(TMessage& message);
  void WMImeNotify(TMessage& message);

  // Message handlers of this unit.
  void WMSetText(TMessage& message);
  void WMVScroll(TMessage& message);
  void WMHScroll(TMessage& message);
  void WMSize(TMessage& message);
  void WMSetFocus(TMessage& message);
  void WMKillFocus(TMessage& message);
  void FontChangedHandler();
  void ColorChangedHandler();
  void Ctl3DChangedHandler();

 private:
  friend class TEditorScreen;
  // The painter draws from the control's state and changes none of it.
  friend class TEditorPainter;
  void SetImageList(TImageList*& field, TImageList* value);
  void AttachTo(TEditorScreenStrings* store);
  void DetachFromStore();
  // Geometry, scroll bars, images and a full repaint: the document changed under us.
  void RefreshView();
  // Shows or hides the scroll bars as ScrollBars says.
  void ApplyScrollBarVisibility();
  bool HasWindow() const { return HandleAllocated(); }
  void RememberColumn(int col);
  void MoveRulerMark(int oldCol, int newCol);
  int ColumnToX(int col) const;

  // The rows as the selection reads them.
  class TSelectionView final : public TSelectionRows {
   public:
    explicit TSelectionView(const TEditor& editor) : FEditor(editor) {}
    int RowCount() const override;
    std::string_view RowView(int row) const override;
    TRowAttribute RowEnd(int row) const override;
    std::string RowCellMap(int row) const override;
    int RowEndCol(int row) const override;

   private:
    const TEditor& FEditor;
  };

  TEditorScreenStrings* FRowStore = nullptr;  // shared by every control showing it
  TOwned<TEditorStrings> FLines;
  TOwned<TEditorScreen> FScreen;
  TOwned<TEditorPainter> FPainter;
  TOwned<TEditorViewInfo> FView;
  TOwned<TEditorCaret> FCaret;
  TOwned<TEditorMarks> FMarks;
  TOwned<TEditorMargin> FMargin;
  TOwned<TEditorImagebar> FImagebar;
  TOwned<TEditorLeftbar> FLeftbar;
  TOwned<TEditorRuler> FRuler;
  TOwned<TEditorSpeed> FSpeed;
  TEditorPopupMenu* FPopup = nullptr;  // owned as a component
  TFountain* FFountain = nullptr;
  TImageList* FImageDigits = nullptr;
  TImageList* FImageMarks = nullptr;
  std::bitset<256> FDelimiters;

  TBorderStyle FBorderStyle = bsSingle;
  TEditorHitStyle FHitStyle = hsSelect;
  bool FReadOnly = false;
  TScrollStyle FScrollBars = ssNone;
  bool FWantReturns = true;
  bool FWantTabs = true;
  bool FModified = false;
  bool FLinesUpdating = false;

  int FRow = 0;
  int FCol = 0;
  TViewMetrics FMetrics;
  bool FItalicCare = false;
  std::vector<int> FSpacing;

  int FKeptCol = 0;
  bool FKeptColValid = false;
  int FCaretHideCount = 0;
  bool FCaretShown = false;
  bool FCaretUpdateLock = false;
  int FUnderlineHideCount = 0;

  // Set while a key auto-repeats (keyboard handling); the IME move waits for the key up.
  bool FKeyRepeat = false;
  bool FImePositionPending = false;
  // Set while the left button is held down on the control.
  bool FLeftButtonDown = false;
  int FImeSkipCount = 0;

  TSelectionView FSelectionRows{*this};
  TEditorSelection FSelection{FSelectionRows};
  // Set while a cleaned selection is repainted: rows are painted with their underline space.
  bool FRepaintingCleanedSelection = false;
  // The mouse: a drag under way, where the button went down, the cursor shown.
  TDragState FDragState = dsNone;
  TPoint FPressPoint;
  int FCursorKind = -1;

  // The line of a row, as last looked up, while the rows have not changed since.
  mutable int FLineCacheRow = 0;
  mutable int FLineCacheLine = 0;
  mutable uint64_t FLineCacheStamp = ~uint64_t{0};
};

}  // namespace plomaret
