// Fonts, glyphs and what a window shows on screen.

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>

#include "QtTestSupport.h"
#include "framework/core/CodePage.h"

namespace plomaret {
namespace {

TOwned<TFont> FontOf(const std::string& utf8Name, int height) {
  TOwned<TFont> font = Create<TFont>();
  font->SetName(Utf8ToCp932(utf8Name));
  font->SetHeight(height);
  return font;
}

TEST(QtFonts, FixedSysIsAJapaneseGothicOnTheCellGrid) {
  TQtFontEngine& engine = QtPlatform()->QtFontEngine();
  const TOwned<TFont> fixed = FontOf("FixedSys", -12);
  EXPECT_TRUE(QStringList({"VL Gothic", "IPAGothic"}).contains(engine.QtFont(*fixed).family()));
  const TTextMetrics metrics = engine.Metrics(*fixed);
  EXPECT_EQ(metrics.AveCharWidth, 6);
  EXPECT_EQ(metrics.Height, metrics.Ascent + metrics.Descent);
  EXPECT_GE(metrics.Height, 12);
  EXPECT_EQ(engine.Advances(*fixed, "iW\x82\xa0\xb1"), (std::vector<int>{6, 6, 12, 6}));

  // The proportional gothic: narrow and wide letters differ.
  const TOwned<TFont> proportional = FontOf("ＭＳ Ｐゴシック", -12);
  EXPECT_TRUE(QStringList({"VL PGothic", "IPAPGothic"}).contains(engine.QtFont(*proportional).family()));
  const std::vector<int> letters = engine.Advances(*proportional, "iW");
  EXPECT_LT(letters[0], letters[1]);

  // A positive height is the whole cell.
  EXPECT_EQ(engine.Metrics(*FontOf("FixedSys", 16)).Height, 16);
}

TEST(QtFonts, GlyphsAreDrawnIntoTheRasterInsideTheClipOnly) {
  TQtFontEngine& engine = QtPlatform()->QtFontEngine();
  const TOwned<TFont> fixed = FontOf("FixedSys", -12);
  TRaster raster(40, 16, 0xFFFFFF);
  const TRect clip{0, 0, 18, 16};
  engine.DrawGlyphs(raster, clip, 0, 2, "WWWWW", {6, 6, 6, 6, 6}, *fixed, 0x000080);
  int inked = 0;
  for (int y = 0; y < raster.Height(); ++y) {
    for (int x = 0; x < raster.Width(); ++x) {
      const TPixel pixel = raster.Pixel(x, y);
      EXPECT_EQ(pixel & 0xFF000000u, 0u) << "pixels stay 0x00RRGGBB";
      if (x >= clip.Right) {
        EXPECT_EQ(pixel, 0xFFFFFFu) << "at " << x << "," << y;
      }
      if (pixel != 0xFFFFFF) ++inked;
    }
  }
  EXPECT_GT(inked, 10);
}

// A window with a child: the child paints rows of text on its cell grid, one of them
// running past its right edge.
TEST(QtScreen, TheWindowShowsTheControlsPixelsAndNothingOutsideThem) {
  auto form = CreateWithoutOwner<TProbeControl>();
  form->ExtraExStyle = 0;
  form->SetColor(clBtnFace);
  form->SetBounds(0, 0, 240, 90);
  auto editor = CreateWithoutOwner<TProbeControl>();
  editor->SetParent(form.get());
  editor->SetColor(clWhite);
  editor->SetBounds(20, 15, 150, 50);
  editor->Rows = {"abc\x82\xa0\x82\xa2", "", std::string(40, 'M')};
  form->HandleNeeded();
  editor->HandleNeeded();
  QApplication::processEvents();

  const QImage shot = form->Widget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(shot.size(), QSize(240, 90));
  EXPECT_TRUE(shot.save(QStringLiteral(PLOMARET_QT_OUTPUT_DIR "/qt_window.png")));
  auto pixel = [&](int x, int y) { return static_cast<TPixel>(shot.pixel(x, y) & 0xFFFFFF); };

  const int left = 20 + 2;  // the editor's client area, inside its edge
  const int top = 15 + 2;
  // A blank cell: the editor's colour.
  EXPECT_EQ(pixel(left + 100, top + 14), PixelOf(clWhite));
  // Each text cell has ink: "a", "b", "c", then the two full-width cells.
  const int cells[][2] = {{0, 6}, {6, 12}, {12, 18}, {18, 30}, {30, 42}};
  for (const auto& cell : cells) {
    int inked = 0;
    for (int y = top; y < top + 12; ++y) {
      for (int x = left + cell[0]; x < left + cell[1]; ++x) inked += pixel(x, y) != PixelOf(clWhite) ? 1 : 0;
    }
    EXPECT_GT(inked, 3) << "cell from " << cell[0];
  }
  // The sunken edge, and beyond the editor only the form's own colour.
  EXPECT_EQ(pixel(20, 15), PixelOf(clBtnShadow));
  for (int y = 0; y < 90; ++y) {
    for (int x = 0; x < 240; ++x) {
      if (x >= 20 && x < 170 && y >= 15 && y < 65) continue;
      ASSERT_EQ(pixel(x, y), PixelOf(clBtnFace)) << "at " << x << "," << y;
    }
  }
}

TEST(QtScreen, TheCaretInvertsWhatIsUnderIt) {
  auto control = CreateWithoutOwner<TProbeControl>();
  control->ExtraExStyle = 0;
  control->SetColor(clWhite);
  control->SetBounds(0, 0, 60, 30);
  control->HandleNeeded();
  control->CreateCaret(2, 12);
  control->SetCaretPos({10, 4});
  control->ShowCaret();
  ASSERT_TRUE(QtWindowOf(*control)->CaretDrawn());
  const QImage shot = control->Widget()->grab().toImage();
  EXPECT_EQ(shot.pixel(10, 4) & 0xFFFFFF, 0x000000u);
  EXPECT_EQ(shot.pixel(11, 15) & 0xFFFFFF, 0x000000u);
  EXPECT_EQ(shot.pixel(12, 4) & 0xFFFFFF, 0xFFFFFFu);
}

}  // namespace
}  // namespace plomaret
