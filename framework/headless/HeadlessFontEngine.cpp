#include "HeadlessFontEngine.h"

#include <cstdlib>

namespace plomaret {

TTextMetrics THeadlessFontEngine::Metrics(const TFont& font) {
  if (FHasFixed) return FFixed;
  const int height = std::max(1, std::abs(font.Height()));
  TTextMetrics metrics;
  metrics.Height = height;
  metrics.Descent = height / 6;
  metrics.Ascent = height - metrics.Descent;
  metrics.ExternalLeading = 0;
  metrics.AveCharWidth = (height + 1) / 2;
  metrics.MaxCharWidth = metrics.AveCharWidth * 2;
  return metrics;
}

std::vector<int> THeadlessFontEngine::Advances(const TFont& font, std::string_view text) {
  const int cell = Metrics(font).AveCharWidth;
  std::vector<int> advances;
  for (std::string_view character : SplitCharacters(text)) advances.push_back(character.size() == 2 ? 2 * cell : cell);
  return advances;
}

void THeadlessFontEngine::DrawGlyphs(TRaster& raster, const TRect& clip, int x, int y, std::string_view text,
                                     const std::vector<int>& advances, const TFont& font, TPixel color) {
  const TTextMetrics metrics = Metrics(font);
  const std::vector<std::string_view> characters = SplitCharacters(text);
  int left = x;
  for (size_t i = 0; i < characters.size() && i < advances.size(); ++i) {
    const std::string_view character = characters[i];
    const int width = advances[i];
    const bool blank = character == " " || character == "\t" || character == "\x81\x40";
    if (!blank && width > 2) {
      // A vertical stroke in the middle and a base stroke: enough to find the glyph.
      const TRect cell = TRect::FromSize(left, y, width, metrics.Height).Intersect(clip);
      const int middle = left + width / 2;
      for (int py = y + 1; py < y + metrics.Ascent; ++py) {
        if (cell.Contains({middle, py})) raster.SetPixel(middle, py, color);
      }
      for (int px = left + 1; px < left + width - 1; ++px) {
        if (cell.Contains({px, y + metrics.Ascent - 1})) raster.SetPixel(px, y + metrics.Ascent - 1, color);
      }
      if (font.Style().Contains(fsUnderline)) {
        for (int px = left; px < left + width; ++px) {
          if (cell.Contains({px, y + metrics.Ascent})) raster.SetPixel(px, y + metrics.Ascent, color);
        }
      }
    }
    left += width;
  }
}

}  // namespace plomaret
