#pragma once
// The painter: draws the control from its state. It owns the off-screen pictures of
// the bars and draws the rows token by token in the fountain's colours, the end-of-row
// marks, the caret-row underline, the ruler, the leftbar and the imagebar. It reads the
// control and changes nothing of it but the canvas.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "editor/Fountain.h"
#include "framework/core/Graphics.h"
#include "framework/core/Object.h"
#include "framework/gui/Bitmap.h"

namespace plomaret {

class TEditor;
class TEditorMark;

// The control's off-screen pictures: the corner, the bar edges and the ruler.
struct TEditorImages {
  TBitmap Corner;
  TBitmap LeftbarEdge;
  TBitmap RulerEdge;
  TBitmap DigitFont;  // one bit: strokes 0 (black), background 1 (white)
  TBitmap RulerDigits;
  TBitmap MarkDigits;
  TBitmap Ticks;
  TBitmap RulerImage;
  TBitmap MarkRulerImage;
};

class TEditorPainter : public TObject {
 public:
  explicit TEditorPainter(TEditor& editor) : FEditor(editor) {}

  // The pictures exist from the control's creation to its destruction; without them
  // the bars are not drawn.
  void CreateImages();
  void FreeImages() { FImages.reset(); }

  // Paints the part of the window inside rect.
  virtual void PaintRect(const TRect& rect);
  // Redraws at once only the cells whose selection changed since the last repaint.
  virtual void RepaintSelectionChange();
  virtual void DrawUnderline(int row);
  virtual void EraseUnderline(int row);

  // ---- Bars ----
  virtual void RebuildBackground();
  virtual void RebuildLeftbarEdge();
  virtual void RebuildRulerImages();
  virtual void DrawRuler();
  virtual void DrawRulerMark(int col);
  virtual void EraseRulerMark(int col);
  virtual void DrawLeftbar(int first, int last);
  virtual void DrawImagebar(int first, int last);

 protected:
  // ---- Rows ----
  // One row: x is the pixel x of the row's cell 0, y its top, text its display text.
  virtual void DrawRow(const TRect& rect, int x, TFountainParser& parser, int row, const std::string& text, int y);
  virtual void DrawSelectedRow(const TRect& rect, int x, TFountainParser& parser, int row, const std::string& text, int y);
  virtual void DrawRowWithSelection(const TRect& rect, int x, TFountainParser& parser, int row, const std::string& text, int y);
  // Text on the cell grid: every character exactly ColWidth wide, at most 1000 cells.
  void TextOutCells(const TRect& rect, int x, int options, std::string_view text, int y);
  virtual void DrawEofMark(const TRect& rect, int x, int y);
  virtual void DrawRetMark(int x, int y, bool selected);
  virtual void DrawWrapMark(int x, int y, bool selected);
  virtual void DrawHideMark(int x, int y, bool selected);

 private:
  void DrawRowPiece(const TRect& rect, int left, int right, int x, TFountainParser& parser, int row,
                    const std::string& text, int y, bool selected);
  // A row in the text colours or in the selection colours: its cells, tokens, the
  // program's own drawing and the end marks.
  void DrawRowAs(const TRect& rect, int x, TFountainParser& parser, int row, const std::string& text, int y, bool selected);
  void DrawTokens(const TRect& rect, int x, TFountainParser& parser, int row, const std::string& text, bool selected);
  void DrawEndMarks(const TRect& rect, int x, int row, const std::string& text, int y, bool selected);
  void DrawMarkLines(const std::vector<TPoint>& points, TColor color);
  TColor MarkColor(const TEditorMark& mark, bool selected) const;
  TColor SelectionBackground() const;
  TColor SelectionForeground() const;
  // The cells of rows between fromX and toX, as a full paint draws them.
  void DrawRowCells(int row, int fromX, int toX, bool selected);
  void DrawRowsCells(int first, int last, int fromX, int toX, bool selected);
  void DrawBoxRowCells(int row, int fromX, int toX);
  // Bars.
  TColor LeftbarBackground() const;
  TColor LeftbarNumberColor() const;
  TColor RulerBackground() const;
  TColor RulerForeground() const;
  TColor RulerMarkColor() const;
  std::string LeftbarNumber(int row) const;
  void BuildRulerDigitImages();
  void BuildRulerNumbers();
  void CopyRulerCell(int col, const TBitmap& source);

  TEditor& FEditor;
  std::unique_ptr<TEditorImages> FImages;
};

}  // namespace plomaret
