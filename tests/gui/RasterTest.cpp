#include "framework/gui/Raster.h"

#include <gtest/gtest.h>

namespace plomaret {
namespace {

constexpr TPixel kWhite = 0xFFFFFF;
constexpr TPixel kRed = 0xFF0000;
constexpr TPixel kBlue = 0x0000FF;

TEST(Raster, ColoursBecomeRgbPixels) {
  EXPECT_EQ(PixelOf(clRed), 0xFF0000u);
  EXPECT_EQ(PixelOf(clNavy), 0x000080u);
  EXPECT_EQ(ColorOfPixel(0x00FF00), clLime);
  EXPECT_EQ(PixelOf(clWindow), 0xFFFFFFu) << "system colours are resolved";
}

TEST(Raster, FillAndPixelsClipToTheImage) {
  TRaster raster(4, 3);
  raster.FillRect({-5, -5, 2, 2}, kRed);
  raster.SetPixel(10, 10, kBlue);
  EXPECT_EQ(raster.Pixel(1, 1), kRed);
  EXPECT_EQ(raster.Pixel(2, 1), kWhite);
  EXPECT_EQ(raster.Pixel(0, 2), kWhite);
  EXPECT_EQ(raster.Pixel(-1, 0), 0u);
}

TEST(Raster, LinesLeaveOutTheirEndPoint) {
  TRaster raster(8, 8);
  raster.Line({0, 0}, {5, 0}, kRed);
  EXPECT_EQ(raster.Pixel(4, 0), kRed);
  EXPECT_EQ(raster.Pixel(5, 0), kWhite);
  raster.Line({7, 7}, {7, 2}, kBlue);
  EXPECT_EQ(raster.Pixel(7, 3), kBlue);
  EXPECT_EQ(raster.Pixel(7, 2), kWhite);
  int points = 0;
  TRaster::WalkLine({0, 0}, {4, 2}, [&](int, int) { ++points; });
  EXPECT_EQ(points, 4);
}

TEST(Raster, CopiesCombineAndClip) {
  TRaster source(2, 2, 0x00F0F0);
  TRaster target(3, 3, 0x0F0F00);
  target.Copy(source, source.Bounds(), {2, 2}, roSrcPaint);
  EXPECT_EQ(target.Pixel(2, 2), 0x0FFFF0u);
  EXPECT_EQ(target.Pixel(1, 1), 0x0F0F00u);
  target.Copy(source, {-1, -1, 1, 1}, {0, 0}, roSrcCopy);  // only the source's pixel (0,0) exists
  EXPECT_EQ(target.Pixel(1, 1), 0x00F0F0u);
  EXPECT_EQ(target.Pixel(0, 0), 0x0F0F00u);
  target.Copy(source, source.Bounds(), {0, 0}, roSrcInvert);
  EXPECT_EQ(target.Pixel(0, 0), 0x0FFFF0u);
}

TEST(Raster, MonochromeAndTransparentCopies) {
  TRaster mask(2, 1, kWhite);
  mask.SetPixel(0, 0, 0);
  TRaster target(2, 1, kBlue);
  target.CopyMonochrome(mask, mask.Bounds(), {0, 0}, kRed, 0x00FF00);
  EXPECT_EQ(target.Pixel(0, 0), kRed);
  EXPECT_EQ(target.Pixel(1, 0), 0x00FF00u);
  TRaster image(2, 1, kRed);
  image.SetPixel(1, 0, kBlue);
  TRaster under(2, 1, kWhite);
  under.CopyTransparent(image, image.Bounds(), {0, 0}, kRed);
  EXPECT_EQ(under.Pixel(0, 0), kWhite);
  EXPECT_EQ(under.Pixel(1, 0), kBlue);
}

TEST(Raster, ScrollMovesPixelsInsideTheAreaOnly) {
  TRaster raster(4, 4);
  for (int y = 0; y < 4; ++y) raster.FillRect({0, y, 4, y + 1}, static_cast<TPixel>(y + 1));
  raster.Scroll({0, 1, 4, 4}, 0, -1);  // the rows 1..3 move up by one inside the area
  EXPECT_EQ(raster.Pixel(0, 0), 1u) << "outside the area";
  EXPECT_EQ(raster.Pixel(0, 1), 3u);
  EXPECT_EQ(raster.Pixel(0, 2), 4u);
  EXPECT_EQ(raster.Pixel(0, 3), 4u) << "the uncovered strip keeps its pixels";
  raster.Scroll(raster.Bounds(), 0, 2);
  EXPECT_EQ(raster.Pixel(0, 2), 1u);
  EXPECT_EQ(raster.Pixel(0, 3), 3u);
  raster.Resize(2, 5, 7);
  EXPECT_EQ(raster.Pixel(1, 3), 3u);
  EXPECT_EQ(raster.Pixel(1, 4), 7u);
}

}  // namespace
}  // namespace plomaret
