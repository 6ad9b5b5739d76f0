// The editor control in a real (offscreen) Qt window, set up as the main window's
// editor is, with a screenshot that the test checks by its pixels.

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QInputMethodEvent>
#include <QTextCharFormat>

#include "QtTestSupport.h"
#include "editor/EditorControl.h"
#include "framework/qt/QtPreedit.h"

namespace plomaret {
namespace {

constexpr const char* kMesh =
    "xof 0302txt 0032\r\n\r\nMesh {\r\n\t4;\r\n\t-1.0;1.0;0.0;,\r\n// \x82\xa0\x82\xbf\xb1\xb2\r\n}";

// Navy, white FixedSys, both scroll bars, ruler, leftbar, EOF and return marks, underline.
TOwned<TEditor> MainWindowEditor(int width, int height) {
  auto editor = CreateWithoutOwner<TEditor>();
  editor->SetBounds(0, 0, width, height);
  editor->SetColor(clNavy);
  editor->Font().SetColor(clWhite);
  editor->Font().SetHeight(-12);
  editor->SetScrollBars(ssBoth);
  editor->Leftbar()->SetVisible(true);
  editor->Ruler()->SetVisible(true);
  editor->Marks()->EofMark()->SetVisible(true);
  editor->Marks()->RetMark()->SetVisible(true);
  editor->Marks()->Underline()->SetVisible(true);
  return editor;
}

TEST(QtEditor, TheMainWindowsEditorOnScreen) {
  TOwned<TEditor> editor = MainWindowEditor(320, 160);
  editor->Lines()->SetAllText(kMesh);
  editor->HandleNeeded();
  editor->SetFocus();
  QApplication::processEvents();

  const QImage shot = QtWindowOf(*editor)->Widget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_TRUE(shot.save(QStringLiteral(PLOMARET_QT_OUTPUT_DIR "/qt_editor.png")));
  // Three times as large, for a person to look at.
  shot.scaled(shot.size() * 3).save(QStringLiteral(PLOMARET_QT_OUTPUT_DIR "/qt_editor_x3.png"));
  auto pixel = [&](int x, int y) { return static_cast<TPixel>(shot.pixel(x, y) & 0xFFFFFF); };
  auto count = [&](int x0, int y0, int x1, int y1, auto&& wanted) {
    int found = 0;
    for (int y = y0; y < y1; ++y) {
      for (int x = x0; x < x1; ++x) found += wanted(pixel(x, y)) ? 1 : 0;
    }
    return found;
  };
  auto inkIn = [&](int x0, int y0, int x1, int y1, TPixel ink) {
    return count(x0, y0, x1, y1, [&](TPixel p) { return p == ink; });
  };
  // Glyphs are smoothed: their strongest pixels are near the text colour.
  auto near = [](TPixel colour) {
    return [colour](TPixel p) {
      for (int shift : {0, 8, 16}) {
        if (std::abs(static_cast<int>((p >> shift) & 0xFF) - static_cast<int>((colour >> shift) & 0xFF)) > 0x30) return false;
      }
      return true;
    };
  };
  const int edge = 2;  // the sunken client edge
  const int left = edge + editor->LeftOffset();
  const int top = edge + editor->TopOffset();
  const int width = editor->ColWidth();
  const int height = editor->RowHeight();
  ASSERT_EQ(width, 6);
  // White glyph pixels in the cells of "o" and "030" (the caret stands on "x"); navy
  // in the blank cells of the empty row.
  for (int cell : {1, 4, 5, 6}) {
    EXPECT_GT(count(left + cell * width, top, left + (cell + 1) * width, top + height, near(PixelOf(clWhite))), 3) << cell;
  }
  EXPECT_EQ(inkIn(left + 3 * width, top + height, left + 20 * width, top + 2 * height, PixelOf(clNavy)), 17 * width * height)
      << "the empty row is navy after its return mark";
  // The leftbar and the ruler are silver.
  EXPECT_EQ(pixel(edge + editor->ImagebarWidthNow() + 2, top + 2 * height + 1), PixelOf(clSilver));
  EXPECT_EQ(pixel(left + 3 * width + 3, edge + 8), PixelOf(clSilver));
  // "[EOF]" in gray right after the last character, "}" on row 6.
  EXPECT_GT(count(left + width, top + 6 * height, left + 6 * width, top + 7 * height, near(PixelOf(clGray))), 15);
  EXPECT_EQ(count(left + width, top + 6 * height, left + 6 * width, top + 7 * height, near(PixelOf(clWhite))), 0);
  // The tab's cells on row 3 are blank: "4" stands in column 8.
  EXPECT_EQ(inkIn(left, top + 3 * height, left + 8 * width, top + 4 * height - 1, PixelOf(clNavy)),
            8 * width * (height - 1));
}

// A search hit on screen: drawn in the Hit colours with hsDraw, and with hsCaret a caret
// block over the whole hit (the caret inverts what is under it: navy becomes yellowish).
TEST(QtEditor, SearchHitsOnScreen) {
  TOwned<TEditor> editor = MainWindowEditor(320, 160);
  editor->Lines()->SetAllText("alpha beta gamma");
  editor->HandleNeeded();
  editor->SetFocus();
  QWidget* widget = QtWindowOf(*editor)->Widget();
  const int edge = 2;
  const int left = edge + editor->LeftOffset();
  const int top = edge + editor->TopOffset();
  const int width = editor->ColWidth();
  // Whether every pixel of the cells' top pixel row (above the glyphs) has the colour.
  auto cellsBackground = [&](const QImage& shot, int first, int last, TPixel colour) {
    const int y = top;
    for (int x = left + first * width; x < left + (last + 1) * width; ++x) {
      if (static_cast<TPixel>(shot.pixel(x, y) & 0xFFFFFF) != colour) return false;
    }
    return true;
  };

  editor->SetHitStyle(hsDraw);
  ASSERT_TRUE(editor->FindText("beta", soForward));
  QApplication::processEvents();
  QImage shot = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
  const TPixel hit = PixelOf(editor->View()->Colors()->Hit()->BkColor());
  EXPECT_TRUE(cellsBackground(shot, 6, 9, hit)) << "the hit in its colours";
  EXPECT_TRUE(cellsBackground(shot, 11, 15, PixelOf(clNavy))) << "the rest as it was";

  editor->SetHitStyle(hsCaret);  // cleans the drawn hit
  editor->SetRowCol(0, 0);
  ASSERT_TRUE(editor->FindText("gamma", soForward));
  QApplication::processEvents();
  shot = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
  shot.scaled(shot.size() * 3).save(QStringLiteral(PLOMARET_QT_OUTPUT_DIR "/qt_hit_caret_x3.png"));
  const TPixel inverted = ~PixelOf(clNavy) & 0xFFFFFF;
  EXPECT_TRUE(cellsBackground(shot, 11, 15, inverted)) << "a caret block over the five cells";
  EXPECT_TRUE(cellsBackground(shot, 6, 9, PixelOf(clNavy))) << "the drawn hit is gone";
}

TEST(QtPreedit, CharactersTakeTheCellsOfTheirShiftJisForm) {
  // a, あ (two), 𠮷 (a pair of UTF-16 units; no Shift-JIS form, wide), ｱ (half-width), é (none, narrow).
  EXPECT_EQ(PreeditCellStarts(QString::fromUtf8("aあ𠮷ｱé")), (std::vector<int>{0, 1, 3, 3, 5, 6, 7}));
  EXPECT_EQ(PreeditCellStarts(QString()), std::vector<int>{0});
}

// A two-clause conversion under way at the caret: on the editor's cells, the clause being
// converted in the selection colours, the other underlined; the candidate list under the cursor.
TEST(QtEditor, AConversionUnderWayIsDrawnOnTheCellsWithItsClauses) {
  TOwned<TEditor> editor = MainWindowEditor(320, 160);
  editor->Lines()->SetAllText("abcdef");
  editor->HandleNeeded();
  editor->SetFocus();
  editor->SetRowCol(0, 2);
  QWidget* widget = QtWindowOf(*editor)->Widget();
  QApplication::processEvents();

  QTextCharFormat converting;
  converting.setBackground(Qt::darkBlue);
  converting.setForeground(Qt::white);
  QTextCharFormat other;
  other.setUnderlineStyle(QTextCharFormat::DashUnderline);
  const QString text = QString::fromUtf8("私は日本人");
  QInputMethodEvent preedit(text, {{QInputMethodEvent::TextFormat, 0, 2, converting},
                                   {QInputMethodEvent::TextFormat, 2, 3, other},
                                   {QInputMethodEvent::Cursor, 2, 0, {}}});
  QApplication::sendEvent(widget, &preedit);
  QApplication::processEvents();

  const int edge = 2;
  const int width = editor->ColWidth();
  const int x0 = edge + editor->LeftOffset() + 2 * width;  // the caret's cell
  const int top = edge + editor->TopOffset();
  const int height = editor->Metrics().FontHeight;
  const QRect cursor = widget->inputMethodQuery(Qt::ImCursorRectangle).toRect();
  EXPECT_EQ(cursor.left(), x0 + 4 * width) << "two double-byte characters before the cursor";
  EXPECT_EQ(cursor.top(), top);
  EXPECT_EQ(cursor.height(), height);

  const QImage shot = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
  shot.scaled(shot.size() * 3).save(QStringLiteral(PLOMARET_QT_OUTPUT_DIR "/qt_preedit_x3.png"));
  auto pixel = [&](int x, int y) { return static_cast<TPixel>(shot.pixel(x, y) & 0xFFFFFF); };
  // How many pixels of cells [first, last) of the row have the colour (glyphs take the rest).
  auto share = [&](int first, int last, TColor colour) {
    int found = 0;
    for (int y = top; y < top + height - 1; ++y) {
      for (int x = x0 + first * width; x < x0 + last * width; ++x) found += pixel(x, y) == PixelOf(colour) ? 1 : 0;
    }
    return found * 100 / ((last - first) * width * (height - 1));
  };
  // Its selection colours are the editor's own here: the clause being converted is inverted.
  EXPECT_GT(share(0, 4, clWhite), 30) << "the clause being converted: white, navy glyphs";
  EXPECT_LT(share(4, 10, clWhite), 20) << "the other clause, covering \"cdef\" after the caret: navy, white glyphs";
  EXPECT_GT(share(4, 10, clNavy), 50);
  for (int x = x0 + 4 * width; x < x0 + 10 * width; ++x) EXPECT_EQ(pixel(x, top + height - 1), PixelOf(clWhite)) << x;
  EXPECT_NE(pixel(x0 + width, top + height - 1), PixelOf(clNavy)) << "the focused clause is not underlined in navy";
  EXPECT_EQ(pixel(x0 + 10 * width + 1, top + height - 1), PixelOf(clNavy)) << "nothing beyond the composition";

  // Committed, the composition goes and the text takes its place.
  QInputMethodEvent commit;
  commit.setCommitString(text);
  QApplication::sendEvent(widget, &commit);
  EXPECT_EQ(editor->Lines()->AllText(), "ab\x8e\x84\x82\xcd\x93\xfa\x96\x7b\x90\x6c" "cdef");
}

}  // namespace
}  // namespace plomaret
