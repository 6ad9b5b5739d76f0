#pragma once
// Bitmaps and image lists: pictures in memory, drawn with a canvas of their own.

#include <memory>
#include <string_view>
#include <vector>

#include "framework/core/Component.h"
#include "framework/core/Persistent.h"
#include "framework/gui/Canvas.h"
#include "framework/gui/Raster.h"

namespace plomaret {

class TBitmap : public TPersistent {
 public:
  TBitmap() = default;
  TBitmap(int width, int height) : FRaster(width, height) {}

  int Width() const { return FRaster.Width(); }
  int Height() const { return FRaster.Height(); }
  void SetSize(int width, int height) { FRaster.Resize(width, height); }
  // A one-bit picture: black strokes on white, coloured when it is drawn.
  bool Monochrome() const { return FMonochrome; }
  void SetMonochrome(bool monochrome);

  TRaster& Raster() { return FRaster; }
  const TRaster& Raster() const { return FRaster; }
  // A canvas on the bitmap, with the platform's font engine.
  TCanvas& Canvas();

  // Pixels from a picture in text, one character a pixel and one line a row: '#'
  // black, '.' white, or the colours given by a palette of characters.
  void LoadFromPicture(std::string_view picture);

  void Assign(const TPersistent& source) override;

 private:
  TRaster FRaster;
  bool FMonochrome = false;
  std::unique_ptr<TCanvas> FCanvas;
};

// Images of one size, each drawn with one colour left transparent. A component, so
// that controls showing its images learn when it is freed.
class TImageList : public TComponent {
 public:
  TImageList(int width, int height, TColor transparent) : FWidth(width), FHeight(height), FTransparent(transparent) {}

  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  int Count() const { return static_cast<int>(FImages.size()); }
  TColor TransparentColor() const { return FTransparent; }
  // Adds the bitmap's top-left Width x Height pixels; returns the new index.
  int Add(const TBitmap& bitmap);
  const TRaster& Image(int index) const;
  // Draws image index at (x, y); the transparent colour leaves the canvas as it was.
  void Draw(TCanvas& canvas, int x, int y, int index) const;

 private:
  int FWidth;
  int FHeight;
  TColor FTransparent;
  std::vector<TRaster> FImages;
};

}  // namespace plomaret
