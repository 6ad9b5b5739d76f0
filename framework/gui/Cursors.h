#pragma once
// Mouse cursors: the standard ones by their framework numbers, and a table of the
// program's own, made from pictures, under numbers of its choice.

#include <map>
#include <string_view>

#include "framework/core/Geometry.h"
#include "framework/gui/Raster.h"

namespace plomaret {

// The framework's standard cursor numbers.
inline constexpr int crDefault = 0;
inline constexpr int crArrow = -2;
inline constexpr int crCross = -3;
inline constexpr int crIBeam = -4;
inline constexpr int crSizeAll = -22;
inline constexpr int crDrag = -12;
inline constexpr int crNoDrop = -13;
inline constexpr int crHourGlass = -11;

struct TCursorShape {
  TRaster Picture;   // the cursor's pixels
  TRaster Mask;      // black where the cursor is drawn, white where it is transparent
  TPoint HotSpot;
};

// A cursor from a picture in text: '#' black, '.' white, ' ' transparent.
TCursorShape CursorFromPicture(std::string_view picture, TPoint hotSpot);

class TCursorTable {
 public:
  void Install(int id, TCursorShape shape) { FCursors[id] = std::move(shape); }
  // The program's cursor of that number, or nullptr (standard cursors have none).
  const TCursorShape* Find(int id) const;

 private:
  std::map<int, TCursorShape> FCursors;
};

// The program-wide cursor table.
TCursorTable& Cursors();

// The screen cursor: while it is not crDefault it is shown over every window (an
// hourglass during a long task, for one).
int ScreenCursor();
void SetScreenCursor(int cursor);

}  // namespace plomaret
