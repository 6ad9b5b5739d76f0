#include "Cursors.h"

#include <algorithm>
#include <vector>

#include "framework/gui/Platform.h"

namespace plomaret {

TCursorShape CursorFromPicture(std::string_view picture, TPoint hotSpot) {
  std::vector<std::string_view> rows;
  size_t start = 0;
  while (start < picture.size()) {
    size_t end = picture.find('\n', start);
    if (end == std::string_view::npos) end = picture.size();
    rows.push_back(picture.substr(start, end - start));
    start = end + 1;
  }
  size_t width = 0;
  for (std::string_view row : rows) width = std::max(width, row.size());
  TCursorShape shape;
  shape.Picture = TRaster(static_cast<int>(width), static_cast<int>(rows.size()), 0xFFFFFF);
  shape.Mask = TRaster(static_cast<int>(width), static_cast<int>(rows.size()), 0xFFFFFF);
  for (size_t y = 0; y < rows.size(); ++y) {
    for (size_t x = 0; x < rows[y].size(); ++x) {
      const char c = rows[y][x];
      if (c == ' ') continue;
      shape.Picture.SetPixel(static_cast<int>(x), static_cast<int>(y), c == '#' ? 0x000000 : 0xFFFFFF);
      shape.Mask.SetPixel(static_cast<int>(x), static_cast<int>(y), 0x000000);
    }
  }
  shape.HotSpot = hotSpot;
  return shape;
}

const TCursorShape* TCursorTable::Find(int id) const {
  auto found = FCursors.find(id);
  return found == FCursors.end() ? nullptr : &found->second;
}

namespace {
int gScreenCursor = crDefault;
}  // namespace

int ScreenCursor() { return gScreenCursor; }

void SetScreenCursor(int cursor) {
  if (cursor == gScreenCursor) return;
  gScreenCursor = cursor;
  if (PlatformInstalled()) Platform().ScreenCursorChanged(cursor);
}

TCursorTable& Cursors() {
  static TCursorTable table;
  return table;
}

}  // namespace plomaret
