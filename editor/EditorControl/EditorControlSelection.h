#pragma once
// The selection: the range that follows the caret from an anchor, in stream or box
// shape, its byte-offset view (SelStart, SelLength, SelText), the hit a search leaves
// and the state of a whole-row selection. It reads the rows through TSelectionRows and
// knows nothing of painting: the control repaints what a change of the range moved.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "editor/EditorControl/EditorControlTextModel.h"

namespace plomaret {

enum TEditorSelectionState : uint8_t { sstNone, sstAnchored, sstSelected, sstHitSelected };

// A range as a rectangle of cells: rows top..bottom, columns left..right (right
// exclusive). In stream mode left is on the top row and right on the bottom row.
struct TSelectionRect {
  int Top = 0;
  int Bottom = 0;
  int Left = 0;
  int Right = 0;
  bool operator==(const TSelectionRect&) const = default;
};

struct TEditorSelectionRecord {
  TEditorSelectionState State = sstNone;
  int AnchorRow = 0;
  int AnchorByte = 0;
  int AnchorCol = 0;
  int StartRow = 0;
  int EndRow = 0;
  int StartByte = 0;
  int EndByte = 0;  // the last selected byte (inclusive)
  TSelectionRect Rect;
  TSelectionRect Previous;  // as it was last painted
  int HitLength = 0;
};

// What the selection reads of the rows it selects in.
class TSelectionRows {
 public:
  virtual int RowCount() const = 0;
  // The text and the attribute of a row below RowCount().
  virtual std::string_view RowView(int row) const = 0;
  virtual TRowAttribute RowEnd(int row) const = 0;
  // The cells of a row's text (empty past the last row), and the column after its text.
  virtual std::string RowCellMap(int row) const = 0;
  virtual int RowEndCol(int row) const = 0;

 protected:
  ~TSelectionRows() = default;
};

class TEditorSelection {
 public:
  explicit TEditorSelection(const TSelectionRows& rows) : FRows(rows) {}
  TEditorSelection(const TEditorSelection&) = delete;
  TEditorSelection& operator=(const TEditorSelection&) = delete;

  const TEditorSelectionRecord& Range() const { return FRange; }
  TEditorSelectionState State() const { return FRange.State; }
  void SetState(TEditorSelectionState state) { FRange.State = state; }
  // A range exists: a selection or a hit.
  bool Exists() const { return FRange.State == sstSelected || FRange.State == sstHitSelected; }
  bool Box() const { return FBox; }
  void SetBox(bool box) { FBox = box; }
  // The rows the range covers.
  int FirstRow() const { return FBox ? FRange.Rect.Top : FRange.StartRow; }
  int LastRow() const { return FBox ? FRange.Rect.Bottom : FRange.EndRow; }

  // ---- Following the caret ----
  // Anchors an empty range at the caret.
  void Anchor(int row, int col, int byte);
  // The anchored range starts to follow the caret, as a hit while a search places one.
  void Follow() { FRange.State = FPlacingHit ? sstHitSelected : sstSelected; }
  // The range from the anchor to the caret.
  void Recompute(int row, int col, int caretByte);
  // The range as it was last painted is the range now.
  void MarkPainted() { FRange.Previous = FRange.Rect; }
  void Clear();
  // Puts a range in place as the operations above leave one.
  void Place(bool box, TEditorSelectionState state, const TSelectionRect& rect);

  // ---- In bytes: a line end counts 2, a wrap joint 0 ----
  // Where the range starts, or the caret when there is none.
  int Start(int caretRow, int caretByte) const;
  int Length() const;
  std::string Text() const;
  // The bytes [first, last) of the box on a row.
  std::pair<int, int> BoxBytes(int row) const;
  bool Contains(int row, int col) const;

  // ---- A hit ----
  int HitLength() const { return FRange.HitLength; }
  void SetHitLength(int length) { FRange.HitLength = length; }
  bool PlacingHit() const { return FPlacingHit; }
  void SetPlacingHit(bool placing) { FPlacingHit = placing; }

  // ---- Whole rows from the left margin ----
  struct TRowSelect {
    int Anchor = 0;
    int End = 0;
    int Flag = 0;  // 1 when the press was on the row that ends the text
    bool Active = false;
  };
  TRowSelect& RowSelect() { return FRowSelect; }
  const TRowSelect& RowSelect() const { return FRowSelect; }
  // The row a whole-row gesture works on: clamped into the text.
  int RowSelectRow(int row) const;

 private:
  // The first and last cell of the box's characters on a row's cells.
  std::pair<int, int> BoxCells(const std::string& map) const;

  const TSelectionRows& FRows;
  TEditorSelectionRecord FRange;
  bool FBox = false;
  bool FPlacingHit = false;
  TRowSelect FRowSelect;
};

}  // namespace plomaret
