#include <gtest/gtest.h>

#include "editor/EditorUtils.h"
#include "framework/gui/Clipboard.h"
#include "framework/gui/Cursors.h"
#include "framework/headless/HeadlessPlatform.h"

namespace plomaret {
namespace {

class DottedLineTest : public ::testing::Test {
 protected:
  DottedLineTest() { UseHeadlessPlatform().SetScreenSize({200, 100}); }
  TBitmap& Target() {
    if (!FTarget) {
      FTarget = Create<TBitmap>(40, 3);
      FTarget->Canvas().SetBrushColor(clWhite);
      FTarget->Canvas().FillRect({0, 0, 40, 3});
    }
    return *FTarget;
  }
  TOwned<TBitmap> FTarget;
};

TEST_F(DottedLineTest, EveryOtherPixelStartingWithTheFirst) {
  DrawDottedLine(Target().Canvas(), 3, 1, clYellow, clRed, 5);
  const TRaster& r = Target().Raster();
  EXPECT_EQ(r.Pixel(3, 1), PixelOf(clRed));
  EXPECT_EQ(r.Pixel(4, 1), PixelOf(clYellow));
  EXPECT_EQ(r.Pixel(5, 1), PixelOf(clRed));
  EXPECT_EQ(r.Pixel(7, 1), PixelOf(clRed));
  EXPECT_EQ(r.Pixel(8, 1), PixelOf(clWhite)) << "width 5 ends before x = 8";
  EXPECT_EQ(r.Pixel(3, 0), PixelOf(clWhite));
}

TEST_F(DottedLineTest, CachedLinesShareOneBitmapPerColourPairAndStartWithADot) {
  const int before = DotLineCache().Count();
  DrawCachedDottedLine(Target().Canvas(), 10, 0, clNavy, clAqua, 15);
  DrawCachedDottedLine(Target().Canvas(), 11, 2, clNavy, clAqua, 20);
  EXPECT_EQ(DotLineCache().Count(), before + 1);
  DrawCachedDottedLine(Target().Canvas(), 0, 1, clAqua, clNavy, 0);
  EXPECT_EQ(DotLineCache().Count(), before + 2);
  EXPECT_EQ(DotLineCache().Items(before)->Bitmap().Width(), 200) << "as wide as the screen";
  const TRaster& r = Target().Raster();
  EXPECT_EQ(r.Pixel(11, 2), PixelOf(clAqua)) << "the pattern starts at x1";
  EXPECT_EQ(r.Pixel(12, 2), PixelOf(clNavy));
  EXPECT_EQ(r.Pixel(0, 1), PixelOf(clNavy)) << "x2 = x1 draws exactly one dot";
  EXPECT_EQ(r.Pixel(1, 1), PixelOf(clWhite));
  EXPECT_EQ(r.Pixel(16, 0), PixelOf(clWhite));
}

TEST_F(DottedLineTest, ItemsAssignTheirBitmapAndColours) {
  TBitmap& line = DotLineCache().Lookup(clRed, clBlack);
  auto copy = Create<TDotLineCollection>();
  auto* item = static_cast<TDotLineItem*>(copy->Add());
  const int index = DotLineCache().Count() - 1;
  item->Assign(*DotLineCache().Items(index));
  EXPECT_EQ(item->Dot(), clRed);
  EXPECT_EQ(item->Bitmap().Raster(), line.Raster());
}

TEST(ImageList, DrawsWithItsTransparentColourLeftOut) {
  UseHeadlessPlatform();
  TImageList images(3, 1, clRed);
  auto picture = Create<TBitmap>();
  picture->LoadFromPicture("r#b");
  EXPECT_EQ(images.Add(*picture), 0);
  auto target = Create<TBitmap>(3, 1);
  target->Canvas().SetBrushColor(clYellow);
  target->Canvas().FillRect({0, 0, 3, 1});
  images.Draw(target->Canvas(), 0, 0, 0);
  EXPECT_EQ(target->Raster().Pixel(0, 0), PixelOf(clYellow));
  EXPECT_EQ(target->Raster().Pixel(1, 0), PixelOf(clBlack));
  EXPECT_EQ(target->Raster().Pixel(2, 0), PixelOf(clBlue));
  EXPECT_THROW(images.Image(1), EListError);
}

}  // namespace
}  // namespace plomaret

namespace plomaret {
namespace {

TEST(BuiltInPictures, MarkImagesAreLoadedWithTheirSizesAndTransparency) {
  UseHeadlessPlatform();
  const TImageList& digits = DigitMarkImages();
  EXPECT_EQ(digits.Count(), 10);
  EXPECT_EQ(digits.Width(), 8);
  EXPECT_EQ(digits.Height(), 11);
  EXPECT_EQ(digits.TransparentColor(), clRed);
  EXPECT_EQ(digits.Image(0).Pixel(0, 0), PixelOf(clRed)) << "a transparent corner";
  EXPECT_NE(digits.Image(1).Pixel(4, 3), digits.Image(7).Pixel(4, 3)) << "the digits differ";
  const TImageList& marks = MarkImages();
  EXPECT_EQ(marks.Count(), 6);
  EXPECT_EQ(marks.Width(), 11);
  for (int i = 0; i < 6; ++i) {
    for (int j = i + 1; j < 6; ++j) EXPECT_FALSE(marks.Image(i) == marks.Image(j)) << i << " and " << j;
  }
  EXPECT_FALSE(BuiltInPicture("RightArrow").empty());
  EXPECT_TRUE(BuiltInPicture("NoSuchPicture").empty());
}

}  // namespace
}  // namespace plomaret

namespace plomaret {
namespace {

TEST(EditorResources, TheBoxFormatAndTheTwoCursorsAreInstalledOnce) {
  EXPECT_EQ(ClipboardFormatName(BoxClipboardFormat()), "TEditor Box Type");
  InstallEditorCursors();
  InstallEditorCursors();
  const TCursorShape* arrow = Cursors().Find(crRightArrow);
  const TCursorShape* copy = Cursors().Find(crDragSelCopy);
  ASSERT_NE(arrow, nullptr);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(arrow->Picture.Width(), 16);
  EXPECT_EQ(arrow->HotSpot, (TPoint{15, 0}));
  EXPECT_EQ(copy->Mask.Pixel(0, 0), 0u) << "the tip is drawn";
  EXPECT_EQ(copy->Mask.Pixel(15, 0), 0xFFFFFFu) << "transparent there";
  EXPECT_EQ(Cursors().Find(crArrow), nullptr);
}

}  // namespace
}  // namespace plomaret
