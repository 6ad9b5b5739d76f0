#pragma once
// The composition an input method has under way, drawn where the caret is: on the
// control's cells (a double-byte character two of them), the clause being converted
// in the focus colours, the others underlined. It covers the text after the caret
// until it is committed; the text itself does not move.

#include <QFont>
#include <QInputMethodEvent>
#include <QRect>
#include <QString>
#include <vector>

#include "framework/gui/Control.h"

class QPainter;

namespace plomaret {

struct TQtPreedit {
  struct TClause {
    int Start = 0;  // in UTF-16 units of Text
    int Length = 0;
    bool Focused = false;
  };
  QString Text;
  int Cursor = 0;  // in UTF-16 units of Text
  bool CursorVisible = true;
  std::vector<TClause> Clauses;

  bool Empty() const { return Text.isEmpty(); }
  // The text, cursor and clauses of an input method's event; a clause is focused
  // when its format gives it colours of its own (input methods highlight the clause
  // being converted), otherwise it is one of the others.
  static TQtPreedit From(const QInputMethodEvent& event);
};

// Where each UTF-16 unit of text starts, in cells, plus the end: a character with a
// double-byte form (or none, when it is wide) takes two cells.
std::vector<int> PreeditCellStarts(const QString& text);

// Lays the composition out at origin (widget coordinates).
class TQtPreeditLayout {
 public:
  // Without a height in the style, the caret's (when it has one) or the font's.
  TQtPreeditLayout(const TQtPreedit& preedit, QPoint origin, const QFont& font, const TImeCompositionStyle& style,
                   int caretHeight);
  // The x of the start of a UTF-16 unit (Text.size(): the end).
  int XAt(int index) const;
  int Height() const { return FHeight; }
  // The area the whole composition covers.
  QRect Bounds() const;
  // The cell of the composition's cursor, with the caret's width.
  QRect CursorCell(int caretWidth) const;
  void Draw(QPainter& painter, int caretWidth, bool cursorShown) const;

 private:
  const TQtPreedit& FPreedit;
  QPoint FOrigin;
  QFont FFont;
  TImeCompositionStyle FStyle;
  std::vector<int> FStarts;  // in pixels from the origin
  int FHeight = 0;
  int FAscent = 0;
};

}  // namespace plomaret
