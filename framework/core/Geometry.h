#pragma once
// Points, sizes and rectangles in pixels (or cells). A rectangle includes its left
// and top edges and excludes its right and bottom ones, as in Win32.

#include <algorithm>

namespace plomaret {

struct TPoint {
  int X = 0;
  int Y = 0;
  bool operator==(const TPoint&) const = default;
};

struct TSize {
  int Width = 0;
  int Height = 0;
  bool operator==(const TSize&) const = default;
};

struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;

  static TRect FromSize(int left, int top, int width, int height) { return {left, top, left + width, top + height}; }

  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  bool Contains(TPoint point) const { return point.X >= Left && point.X < Right && point.Y >= Top && point.Y < Bottom; }
  bool ContainsRect(const TRect& other) const {
    return other.IsEmpty() || (other.Left >= Left && other.Top >= Top && other.Right <= Right && other.Bottom <= Bottom);
  }
  TRect Offset(int dx, int dy) const { return {Left + dx, Top + dy, Right + dx, Bottom + dy}; }
  // The common part; empty (all zero) when there is none.
  TRect Intersect(const TRect& other) const {
    TRect result{std::max(Left, other.Left), std::max(Top, other.Top), std::min(Right, other.Right),
                 std::min(Bottom, other.Bottom)};
    return result.IsEmpty() ? TRect{} : result;
  }
  // The smallest rectangle holding both; an empty one adds nothing.
  TRect Union(const TRect& other) const {
    if (IsEmpty()) return other;
    if (other.IsEmpty()) return *this;
    return {std::min(Left, other.Left), std::min(Top, other.Top), std::max(Right, other.Right),
            std::max(Bottom, other.Bottom)};
  }
  bool operator==(const TRect&) const = default;
};

}  // namespace plomaret
