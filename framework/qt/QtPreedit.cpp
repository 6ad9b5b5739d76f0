#include "QtPreedit.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTextCharFormat>
#include <algorithm>

#include "framework/core/CodePage.h"

namespace plomaret {

namespace {

QColor QtColor(TColor color) { return QColor::fromRgb(PixelOf(color) | 0xFF000000u); }

// Cells of one character: what its Shift-JIS form takes; one CP932 cannot hold is
// as wide as the East Asian characters around it when it is beyond the alphabets.
int CellsOf(char32_t code) {
  const std::string bytes = Utf8ToCp932(QString::fromUcs4(&code, 1).toStdString());
  if (bytes == "?" && code != U'?') return code >= 0x1100 ? 2 : 1;
  return static_cast<int>(bytes.size());
}

bool HasOwnColours(const QTextCharFormat& format) {
  return format.hasProperty(QTextFormat::BackgroundBrush) || format.hasProperty(QTextFormat::ForegroundBrush);
}

}  // namespace

TQtPreedit TQtPreedit::From(const QInputMethodEvent& event) {
  TQtPreedit preedit;
  preedit.Text = event.preeditString();
  const int size = static_cast<int>(preedit.Text.size());
  preedit.Cursor = size;
  for (const QInputMethodEvent::Attribute& attribute : event.attributes()) {
    if (attribute.type == QInputMethodEvent::Cursor) {
      preedit.Cursor = std::clamp(attribute.start, 0, size);
      preedit.CursorVisible = attribute.length != 0;
    }
    if (attribute.type != QInputMethodEvent::TextFormat) continue;
    const int start = std::clamp(attribute.start, 0, size);
    const int length = std::clamp(attribute.length, 0, size - start);
    if (length == 0) continue;
    preedit.Clauses.push_back({start, length, HasOwnColours(attribute.value.value<QTextFormat>().toCharFormat())});
  }
  return preedit;
}

std::vector<int> PreeditCellStarts(const QString& text) {
  std::vector<int> starts;
  starts.reserve(text.size() + 1);
  int cells = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    starts.push_back(cells);
    char32_t code = text[i].unicode();
    if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
      code = QChar::surrogateToUcs4(text[i], text[i + 1]);
      starts.push_back(cells);  // the low half starts where its pair does
      ++i;
    }
    cells += CellsOf(code);
  }
  starts.push_back(cells);
  return starts;
}

TQtPreeditLayout::TQtPreeditLayout(const TQtPreedit& preedit, QPoint origin, const QFont& font,
                                   const TImeCompositionStyle& style, int caretHeight)
    : FPreedit(preedit), FOrigin(origin), FFont(font), FStyle(style) {
  const QFontMetrics measures(font);
  FAscent = measures.ascent();
  FHeight = style.Height > 0 ? style.Height : caretHeight > 0 ? caretHeight : measures.ascent() + measures.descent();
  if (style.CellWidth > 0) {
    for (int cells : PreeditCellStarts(preedit.Text)) FStarts.push_back(cells * style.CellWidth);
  } else {
    // Without a grid, the font's own advances.
    for (qsizetype i = 0; i <= preedit.Text.size(); ++i) FStarts.push_back(measures.horizontalAdvance(preedit.Text.left(i)));
  }
}

int TQtPreeditLayout::XAt(int index) const {
  return FOrigin.x() + FStarts[static_cast<size_t>(std::clamp(index, 0, static_cast<int>(FStarts.size()) - 1))];
}

QRect TQtPreeditLayout::Bounds() const {
  return QRect(FOrigin, QSize(XAt(static_cast<int>(FPreedit.Text.size())) - FOrigin.x(), FHeight));
}

QRect TQtPreeditLayout::CursorCell(int caretWidth) const {
  return QRect(XAt(FPreedit.Cursor), FOrigin.y(), std::max(1, caretWidth), FHeight);
}

void TQtPreeditLayout::Draw(QPainter& painter, int caretWidth, bool cursorShown) const {
  const QString& text = FPreedit.Text;
  const int size = static_cast<int>(text.size());
  std::vector<bool> focused(static_cast<size_t>(size), false);
  for (const TQtPreedit::TClause& clause : FPreedit.Clauses) {
    if (clause.Focused) std::fill_n(focused.begin() + clause.Start, clause.Length, true);
  }
  painter.save();
  painter.setFont(FFont);
  const int top = FOrigin.y();
  for (int i = 0; i < size;) {
    // A character: one UTF-16 unit, or a surrogate pair.
    const int units = text[i].isHighSurrogate() && i + 1 < size && text[i + 1].isLowSurrogate() ? 2 : 1;
    const int left = XAt(i);
    const QRect cell(left, top, XAt(i + units) - left, FHeight);
    const bool focus = focused[static_cast<size_t>(i)];
    painter.fillRect(cell, QtColor(focus ? FStyle.FocusBackground : FStyle.Background));
    painter.setPen(QtColor(focus ? FStyle.FocusColor : FStyle.Color));
    painter.drawText(left, top + FAscent, text.mid(i, units));
    // The clauses not being converted are underlined; the focused one stands out by its colours.
    if (!focus) painter.fillRect(left, cell.bottom(), cell.width(), 1, QtColor(FStyle.Color));
    i += units;
  }
  if (cursorShown) painter.fillRect(CursorCell(caretWidth), QtColor(FStyle.Color));
  painter.restore();
}

}  // namespace plomaret
