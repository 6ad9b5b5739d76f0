#pragma once

#include "framework/core/Object.h"

namespace plomaret {

class TEditor;

// Repaints what a change of the text touched, and the invalidation services the
// rest of the control uses. Row numbers are rows of the store.
class TEditorScreen : public TObject {
 public:
  explicit TEditorScreen(TEditor* editor) : FEditor(editor) {}

  // After the row store's change record (nothing unless a change is pending).
  virtual void UpdateAfterChange();
  // The text area of a row, to be painted later.
  void InvalidateRow(int row);
  // Rows first..last, whole width, painted now.
  void RepaintRows(int first, int last);
  // The leftbar cells of rows first..last, painted now.
  void InvalidateLeftbarRows(int first, int last);
  // The text band from row down to the bottom, moved by delta rows.
  void ScrollRowsBelow(int row, int delta);
  // The imagebar column from row down, moved by delta rows.
  void ScrollImagebarBelow(int row, int delta);

 private:
  // The pixel top of a row in the window; rows are clamped to the visible ones.
  int RowTop(int row) const;
  int ClampToView(int row) const;
  void ScrollBand(int left, int right, int row, int delta);
  // Whether a region waiting to be painted lies outside the rows first..end - 1.
  bool PendingOutside(int first, int end) const;

  TEditor* FEditor;
};


}  // namespace plomaret
