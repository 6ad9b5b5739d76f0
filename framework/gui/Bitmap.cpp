#include "Bitmap.h"

#include <algorithm>

#include "framework/core/Exceptions.h"
#include "framework/gui/Platform.h"

namespace plomaret {

void TBitmap::SetMonochrome(bool monochrome) {
  FMonochrome = monochrome;
  if (!monochrome) return;
  // Only black and white remain.
  for (int y = 0; y < Height(); ++y) {
    for (int x = 0; x < Width(); ++x) FRaster.SetPixel(x, y, FRaster.Pixel(x, y) == 0 ? 0 : 0xFFFFFF);
  }
}

TCanvas& TBitmap::Canvas() {
  if (!FCanvas) FCanvas = std::make_unique<TCanvas>(&FRaster, &Platform().FontEngine());
  return *FCanvas;
}

void TBitmap::LoadFromPicture(std::string_view picture) {
  std::vector<std::string_view> rows;
  size_t start = 0;
  while (start <= picture.size()) {
    size_t end = picture.find('\n', start);
    if (end == std::string_view::npos) end = picture.size();
    std::string_view row = picture.substr(start, end - start);
    if (!row.empty() && row.back() == '\r') row.remove_suffix(1);
    if (!row.empty()) rows.push_back(row);
    start = end + 1;
  }
  size_t width = 0;
  for (std::string_view row : rows) width = std::max(width, row.size());
  FRaster = TRaster(static_cast<int>(width), static_cast<int>(rows.size()), 0xFFFFFF);
  for (size_t y = 0; y < rows.size(); ++y) {
    for (size_t x = 0; x < rows[y].size(); ++x) {
      TPixel pixel = 0xFFFFFF;
      switch (rows[y][x]) {
        case '#': pixel = 0x000000; break;
        case 'r': pixel = 0xFF0000; break;
        case 'g': pixel = 0x008000; break;
        case 'b': pixel = 0x0000FF; break;
        case 'y': pixel = 0xFFFF00; break;
        case 'c': pixel = 0x00FFFF; break;
        case 'm': pixel = 0xFF00FF; break;
        case 'n': pixel = 0x000080; break;
        case 's': pixel = 0xC0C0C0; break;
        case 'd': pixel = 0x808080; break;
        default: break;
      }
      FRaster.SetPixel(static_cast<int>(x), static_cast<int>(y), pixel);
    }
  }
}

void TBitmap::Assign(const TPersistent& source) {
  if (const auto* bitmap = dynamic_cast<const TBitmap*>(&source)) {
    FRaster = bitmap->FRaster;
    FMonochrome = bitmap->FMonochrome;
    return;
  }
  TPersistent::Assign(source);
}

int TImageList::Add(const TBitmap& bitmap) {
  TRaster image(FWidth, FHeight, PixelOf(FTransparent));
  image.Copy(bitmap.Raster(), {0, 0, FWidth, FHeight}, {0, 0});
  FImages.push_back(std::move(image));
  return Count() - 1;
}

const TRaster& TImageList::Image(int index) const {
  if (index < 0 || index >= Count()) throw EListError("Image index out of range");
  return FImages[static_cast<size_t>(index)];
}

void TImageList::Draw(TCanvas& canvas, int x, int y, int index) const {
  canvas.DrawTransparent(x, y, Image(index), FTransparent);
}

}  // namespace plomaret
