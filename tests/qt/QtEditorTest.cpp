// The editor control in a real (offscreen) Qt window.

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>

#include "QtTestSupport.h"
#include "editor/EditorControl.h"

namespace plomaret {
namespace {

// As the main window sets it up: navy, white FixedSys, both scroll bars.
TEST(QtEditor, TheEditorShowsItsRowsOnTheCellGrid) {
  auto editor = CreateWithoutOwner<TEditor>();
  editor->SetBounds(0, 0, 320, 160);
  editor->SetColor(clNavy);
  editor->Font().SetColor(clWhite);
  editor->Font().SetHeight(-12);
  editor->SetScrollBars(ssBoth);
  editor->Lines()->SetAllText(
      "xof 0302txt 0032\r\n\r\nMesh {\r\n\t4;\r\n\t-1.0;1.0;0.0;,\r\n// \x82\xa0\x82\xa2\x82\xa4 \xb1\xb2\r\n}");
  editor->HandleNeeded();
  editor->SetFocus();
  QApplication::processEvents();

  const QImage shot = QtWindowOf(*editor)->Widget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_TRUE(shot.save(QStringLiteral(PLOMARET_QT_OUTPUT_DIR "/qt_editor.png")));
  auto pixel = [&](int x, int y) { return static_cast<TPixel>(shot.pixel(x, y) & 0xFFFFFF); };
  const int left = 2 + editor->LeftOffset();  // inside the sunken edge
  const int top = 2 + editor->TopOffset();
  const int width = editor->ColWidth();
  const int height = editor->RowHeight();
  ASSERT_EQ(width, 6);
  // Each character of "xof" has white ink; a blank row is all navy.
  for (int cell = 0; cell < 3; ++cell) {
    int inked = 0;
    for (int y = top; y < top + height; ++y) {
      for (int x = left + cell * width; x < left + (cell + 1) * width; ++x) inked += pixel(x, y) != PixelOf(clNavy) ? 1 : 0;
    }
    EXPECT_GT(inked, 3) << "cell " << cell;
  }
  for (int x = left; x < left + 20 * width; ++x) EXPECT_EQ(pixel(x, top + height + height / 2), PixelOf(clNavy));
  // The tab on the fourth row: "4" stands in column 8.
  int inked = 0;
  for (int y = top + 3 * height; y < top + 4 * height; ++y) {
    for (int x = left; x < left + 8 * width; ++x) inked += pixel(x, y) != PixelOf(clNavy) ? 1 : 0;
  }
  EXPECT_EQ(inked, 0) << "the tab's cells are blank";
}

}  // namespace
}  // namespace plomaret
