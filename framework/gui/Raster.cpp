#include "Raster.h"

#include <algorithm>
#include <cstring>

namespace plomaret {

TPixel PixelOf(TColor color) {
  const auto rgb = static_cast<uint32_t>(ColorToRGB(color));  // 0x00BBGGRR
  return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}

TColor ColorOfPixel(TPixel pixel) {
  return static_cast<TColor>(((pixel & 0xFF) << 16) | (pixel & 0xFF00) | ((pixel >> 16) & 0xFF));
}

TRaster::TRaster(int width, int height, TPixel fill)
    : FWidth(std::max(width, 0)), FHeight(std::max(height, 0)), FPixels(static_cast<size_t>(FWidth) * FHeight, fill) {}

void TRaster::Resize(int width, int height, TPixel fill) {
  TRaster resized(width, height, fill);
  resized.Copy(*this, Bounds(), {0, 0});
  *this = std::move(resized);
}

TPixel TRaster::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= FWidth || y >= FHeight) return 0;
  return FPixels[static_cast<size_t>(y) * FWidth + x];
}

void TRaster::SetPixel(int x, int y, TPixel pixel) {
  if (x < 0 || y < 0 || x >= FWidth || y >= FHeight) return;
  FPixels[static_cast<size_t>(y) * FWidth + x] = pixel;
}

void TRaster::FillRect(const TRect& rect, TPixel pixel) {
  const TRect clipped = rect.Intersect(Bounds());
  for (int y = clipped.Top; y < clipped.Bottom; ++y) {
    TPixel* row = FPixels.data() + static_cast<size_t>(y) * FWidth;
    std::fill(row + clipped.Left, row + clipped.Right, pixel);
  }
}

void TRaster::Line(TPoint from, TPoint to, TPixel pixel) {
  WalkLine(from, to, [&](int x, int y) { SetPixel(x, y, pixel); });
}

bool TRaster::ClipCopy(const TRect& sourceBounds, TRect& srcRect, TPoint& to) const {
  // Clip the source to its raster, then the destination to ours, moving both alike.
  TRect source = srcRect.Intersect(sourceBounds);
  if (source.IsEmpty()) return false;
  to.X += source.Left - srcRect.Left;
  to.Y += source.Top - srcRect.Top;
  const TRect target = TRect::FromSize(to.X, to.Y, source.Width(), source.Height()).Intersect(Bounds());
  if (target.IsEmpty()) return false;
  source = TRect::FromSize(source.Left + (target.Left - to.X), source.Top + (target.Top - to.Y), target.Width(),
                           target.Height());
  srcRect = source;
  to = {target.Left, target.Top};
  return true;
}

namespace {

TPixel Combine(TRasterOp op, TPixel s, TPixel d) {
  switch (op) {
    case roSrcCopy: return s;
    case roSrcPaint: return s | d;
    case roSrcAnd: return s & d;
    case roSrcInvert: return s ^ d;
    case roSrcErase: return s & ~d;
    case roNotSrcCopy: return ~s;
    case roNotSrcErase: return ~(s | d);
    case roMergePaint: return ~s | d;
    case roDstInvert: return ~d;
    case roBlackness: return 0;
    case roWhiteness: return 0xFFFFFF;
  }
  return s;
}

}  // namespace

void TRaster::Copy(const TRaster& source, const TRect& srcRect, TPoint to, TRasterOp op) {
  TRect from = srcRect;
  if (!ClipCopy(source.Bounds(), from, to)) return;
  const bool downwards = &source == this && to.Y > from.Top;
  if (op == roSrcCopy) {
    // The common case, a plain copy (every scroll): whole rows at once.
    const size_t width = static_cast<size_t>(from.Width());
    for (int i = 0; i < from.Height(); ++i) {
      const int line = downwards ? from.Height() - 1 - i : i;
      const TPixel* src = source.FPixels.data() + static_cast<size_t>(from.Top + line) * source.FWidth + from.Left;
      TPixel* dst = FPixels.data() + static_cast<size_t>(to.Y + line) * FWidth + to.X;
      std::memmove(dst, src, width * sizeof(TPixel));
      for (size_t x = 0; x < width; ++x) dst[x] &= 0xFFFFFF;
    }
    return;
  }
  // Copy through a buffer row by row so that copying a raster onto itself works.
  std::vector<TPixel> row(static_cast<size_t>(from.Width()));
  for (int i = 0; i < from.Height(); ++i) {
    const int line = downwards ? from.Height() - 1 - i : i;
    const TPixel* src = source.FPixels.data() + static_cast<size_t>(from.Top + line) * source.FWidth + from.Left;
    std::copy(src, src + from.Width(), row.begin());
    TPixel* dst = FPixels.data() + static_cast<size_t>(to.Y + line) * FWidth + to.X;
    for (int x = 0; x < from.Width(); ++x) dst[x] = Combine(op, row[static_cast<size_t>(x)], dst[x]) & 0xFFFFFF;
  }
}

void TRaster::CopyMonochrome(const TRaster& source, const TRect& srcRect, TPoint to, TPixel stroke, TPixel background) {
  TRect from = srcRect;
  if (!ClipCopy(source.Bounds(), from, to)) return;
  for (int y = 0; y < from.Height(); ++y) {
    for (int x = 0; x < from.Width(); ++x) {
      const bool black = (source.Pixel(from.Left + x, from.Top + y) & 0xFFFFFF) == 0;
      SetPixel(to.X + x, to.Y + y, black ? stroke : background);
    }
  }
}

void TRaster::CopyTransparent(const TRaster& source, const TRect& srcRect, TPoint to, TPixel transparent) {
  TRect from = srcRect;
  if (!ClipCopy(source.Bounds(), from, to)) return;
  for (int y = 0; y < from.Height(); ++y) {
    for (int x = 0; x < from.Width(); ++x) {
      const TPixel pixel = source.Pixel(from.Left + x, from.Top + y);
      if (pixel != transparent) SetPixel(to.X + x, to.Y + y, pixel);
    }
  }
}

void TRaster::Scroll(const TRect& area, int dx, int dy) {
  const TRect clipped = area.Intersect(Bounds());
  if (clipped.IsEmpty()) return;
  // The part of the area whose pixels stay inside it after the move.
  const TRect moved = clipped.Offset(dx, dy).Intersect(clipped);
  if (moved.IsEmpty()) return;
  const TRect source = moved.Offset(-dx, -dy);
  Copy(*this, source, {moved.Left, moved.Top});
}

}  // namespace plomaret
