#pragma once
// A 32-bit pixel image: the backing image of every window and the storage of every
// bitmap, in both backends. Pixels are 0x00RRGGBB, the order Qt's RGB32 images use,
// so a backend can show a raster without converting it. Every operation clips to
// the raster; nothing is drawn outside it.

#include <cstdint>
#include <vector>

#include "framework/core/Geometry.h"
#include "framework/core/Graphics.h"

namespace plomaret {

using TPixel = uint32_t;

// A colour as a pixel; system colours are resolved first. clNone and clDefault have
// no pixel of their own: callers substitute their colour before asking.
TPixel PixelOf(TColor color);
TColor ColorOfPixel(TPixel pixel);

// Raster operations of a bitmap copy, with the Win32 codes (S source, D destination).
enum TRasterOp : uint32_t {
  roSrcCopy = 0x00CC0020,     // S
  roSrcPaint = 0x00EE0086,    // S | D
  roSrcAnd = 0x008800C6,      // S & D
  roSrcInvert = 0x00660046,   // S ^ D
  roSrcErase = 0x00440328,    // S & ~D
  roNotSrcCopy = 0x00330008,  // ~S
  roNotSrcErase = 0x001100A6, // ~(S | D)
  roMergePaint = 0x00BB0226,  // ~S | D
  roDstInvert = 0x00550009,   // ~D
  roBlackness = 0x00000042,   // 0
  roWhiteness = 0x00FF0062,   // 1
};

class TRaster {
 public:
  TRaster() = default;
  TRaster(int width, int height, TPixel fill = 0xFFFFFF);

  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  TRect Bounds() const { return {0, 0, FWidth, FHeight}; }
  // New size; what fits of the old picture stays at the top left, the rest is fill.
  void Resize(int width, int height, TPixel fill = 0xFFFFFF);

  TPixel Pixel(int x, int y) const;
  void SetPixel(int x, int y, TPixel pixel);
  void FillRect(const TRect& rect, TPixel pixel);
  // Calls visit(x, y) for each point of the line from `from` towards `to`, the end
  // point excluded (as a pen draws it).
  template <class Visit>
  static void WalkLine(TPoint from, TPoint to, Visit&& visit);
  void Line(TPoint from, TPoint to, TPixel pixel);

  // Copies source's srcRect to destination point `to`, combining with op.
  void Copy(const TRaster& source, const TRect& srcRect, TPoint to, TRasterOp op = roSrcCopy);
  // Colours a one-bit picture (black strokes on white) into this raster: black
  // pixels of the source become `stroke`, the others `background`.
  void CopyMonochrome(const TRaster& source, const TRect& srcRect, TPoint to, TPixel stroke, TPixel background);
  // Copies with one source colour left out (image lists with a transparent colour).
  void CopyTransparent(const TRaster& source, const TRect& srcRect, TPoint to, TPixel transparent);
  // Moves the pixels of area by (dx, dy), kept inside area; the uncovered strip keeps
  // its old pixels.
  void Scroll(const TRect& area, int dx, int dy);

  const TPixel* Data() const { return FPixels.data(); }
  TPixel* Data() { return FPixels.data(); }
  bool operator==(const TRaster&) const = default;

 private:
  // Clips a copy of srcRect (from a raster of sourceBounds) to `to` in this raster;
  // false when nothing is left.
  bool ClipCopy(const TRect& sourceBounds, TRect& srcRect, TPoint& to) const;

  int FWidth = 0;
  int FHeight = 0;
  std::vector<TPixel> FPixels;
};

template <class Visit>
void TRaster::WalkLine(TPoint from, TPoint to, Visit&& visit) {
  // Bresenham, every point but the last.
  int x = from.X, y = from.Y;
  const int dx = to.X > from.X ? to.X - from.X : from.X - to.X;
  const int dy = to.Y > from.Y ? from.Y - to.Y : to.Y - from.Y;
  const int stepX = from.X < to.X ? 1 : -1;
  const int stepY = from.Y < to.Y ? 1 : -1;
  int error = dx + dy;
  while (x != to.X || y != to.Y) {
    visit(x, y);
    const int twice = 2 * error;
    if (twice >= dy) {
      error += dy;
      x += stepX;
    }
    if (twice <= dx) {
      error += dx;
      y += stepY;
    }
  }
}

}  // namespace plomaret
