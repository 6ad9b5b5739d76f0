#include "framework/gui/Canvas.h"

#include <gtest/gtest.h>

#include "framework/headless/HeadlessFontEngine.h"

namespace plomaret {
namespace {

class CanvasTest : public ::testing::Test {
 protected:
  CanvasTest() {
    FCanvas.Font().SetHeight(-12);  // half-width cells of 6 pixels, double-byte of 12
    FCanvas.Font().SetColor(clNavy);
  }
  TRaster FRaster{60, 30, 0xFFFFFF};
  THeadlessFontEngine FEngine;
  TTextLayer FLayer;
  TCanvas FCanvas{&FRaster, &FEngine, &FLayer};
};

TEST_F(CanvasTest, TextOnTheCellGridLandsInItsCellsWithItsColours) {
  FCanvas.SetBrushColor(clYellow);
  // "a", "あ", "b" at 6-pixel cells, one advance a byte: the double-byte character takes two.
  FCanvas.ExtTextOut(6, 2, etoOpaque, TRect::FromSize(6, 2, 24, 12), "a\x82\xa0" "b", {6, 6, 6, 6});
  ASSERT_NE(FLayer.At({7, 5}), nullptr);
  EXPECT_EQ(FLayer.At({7, 5})->Bytes, "a");
  EXPECT_EQ(FLayer.At({17, 5})->Bytes, "\x82\xa0");
  EXPECT_EQ(FLayer.At({25, 5})->Bytes, "b");
  EXPECT_EQ(FLayer.At({25, 5})->Color, clNavy);
  EXPECT_EQ(FLayer.At({25, 5})->Background, clYellow);
  EXPECT_EQ(FLayer.At({31, 5}), nullptr);
  EXPECT_EQ(FRaster.Pixel(6, 2), PixelOf(clYellow)) << "the opaque rectangle is filled";
  EXPECT_EQ(FRaster.Pixel(9, 5), PixelOf(clNavy)) << "glyph pixels inside the cell";
  EXPECT_EQ(FRaster.Pixel(31, 5), 0xFFFFFFu);
}

TEST_F(CanvasTest, ClippedTextStaysInsideItsRectangle) {
  FCanvas.ExtTextOut(0, 0, etoClipped, {0, 0, 9, 12}, "abc", {6, 6, 6});
  EXPECT_EQ(FLayer.Cells().size(), 2u) << "the third cell lies outside the rectangle";
  for (int x = 9; x < 20; ++x) {
    for (int y = 0; y < 12; ++y) EXPECT_EQ(FRaster.Pixel(x, y), 0xFFFFFFu) << x << "," << y;
  }
  EXPECT_EQ(FCanvas.TextWidth("a\x82\xa0"), 18);
  EXPECT_EQ(FCanvas.TextMetrics().AveCharWidth, 6);
}

TEST_F(CanvasTest, PaintingOverTextRemovesItAndScrollingMovesIt) {
  FCanvas.TextOut(0, 0, "xy");
  FCanvas.TextOut(0, 12, "z");
  FCanvas.SetBrushColor(clWhite);
  FCanvas.FillRect({6, 0, 12, 12});
  EXPECT_EQ(FLayer.Cells().size(), 2u);
  FLayer.Scroll({0, 0, 60, 30}, 0, 12);
  EXPECT_EQ(FLayer.At({1, 13})->Bytes, "x");
  ASSERT_NE(FLayer.At({1, 25}), nullptr) << "the part still inside the area stays";
  EXPECT_EQ(FLayer.At({1, 25})->Bounds, (TRect{0, 24, 6, 30}));
  FLayer.Scroll({0, 0, 60, 30}, 0, 12);
  EXPECT_EQ(FLayer.At({1, 25})->Bytes, "x");
  EXPECT_EQ(FLayer.Cells().size(), 1u) << "z moved out of the area";
}

TEST_F(CanvasTest, ACharacterPaintedAgainOverPartOfItKeepsTheRestThatStillShows) {
  const TRect area{0, 0, 60, 30};
  // An "x" cut by the bottom edge moves up a row; the strip that uncovers is painted
  // twice (a row's text, then a token over it), each time through the middle of the x.
  FCanvas.SetBrushColor(clWhite);
  FCanvas.ExtTextOut(0, 24, etoOpaque | etoClipped, area, "x", {6});
  FRaster.Scroll(area, 0, -12);
  FLayer.Scroll(area, 0, -12);
  const TRect strip{0, 18, 60, 30};
  FCanvas.ExtTextOut(0, 12, etoOpaque | etoClipped, strip, "x", {6});
  FCanvas.ExtTextOut(0, 12, etoOpaque | etoClipped, strip, "x", {6});
  ASSERT_NE(FLayer.At({1, 13}), nullptr) << "the scrolled top and the painted bottom are one x";
  EXPECT_EQ(FLayer.At({1, 13})->Bounds, (TRect{0, 12, 6, 24}));
  FRaster.Scroll(area, 0, 12);
  FLayer.Scroll(area, 0, 12);
  ASSERT_NE(FLayer.At({1, 25}), nullptr) << "its top moved back into view";
  EXPECT_EQ(FLayer.At({1, 25})->Bounds, (TRect{0, 24, 6, 30}));
  EXPECT_EQ(FLayer.At({1, 25})->Glyph, (TRect{0, 24, 6, 36}));
  // Painted through its middle by something else, the x is gone, and what is left of
  // it does not join another character.
  FCanvas.FillRect({0, 24, 6, 28});
  EXPECT_EQ(FLayer.At({1, 29}), nullptr);
  FCanvas.Font().SetColor(clRed);
  FCanvas.ExtTextOut(0, 24, etoOpaque | etoClipped, {0, 24, 6, 28}, "x", {6});
  ASSERT_NE(FLayer.At({1, 25}), nullptr);
  EXPECT_EQ(FLayer.At({1, 25})->Bounds, (TRect{0, 24, 6, 28}));
  EXPECT_EQ(FLayer.Cells().size(), 1u);
}

TEST_F(CanvasTest, PensDrawInTheirModeAndCopiesUseTheCopyMode) {
  FCanvas.SetPenColor(clRed);
  FCanvas.MoveTo(0, 0);
  FCanvas.LineTo(4, 0);
  EXPECT_EQ(FRaster.Pixel(3, 0), 0xFF0000u);
  EXPECT_EQ(FRaster.Pixel(4, 0), 0xFFFFFFu);
  FCanvas.SetPenMode(pmNot);
  FCanvas.MoveTo(0, 0);
  FCanvas.LineTo(2, 0);
  EXPECT_EQ(FRaster.Pixel(1, 0), 0x00FFFFu);
  TRaster stamp(2, 2, 0x0000FF);
  FCanvas.SetCopyMode(roSrcAnd);
  FCanvas.SetClipRect({0, 10, 60, 30});
  FCanvas.Draw(10, 9, stamp);
  EXPECT_EQ(FRaster.Pixel(10, 9), 0xFFFFFFu) << "outside the clip rectangle";
  EXPECT_EQ(FRaster.Pixel(10, 10), 0x0000FFu);
}

}  // namespace
}  // namespace plomaret
