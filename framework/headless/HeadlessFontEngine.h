#pragma once
// Glyphs without a font system: every font gets fixed metrics (settable by tests),
// and a character is drawn as a simple mark inside its cell, so that pixel tests can
// tell text from background. The characters themselves are read from the text layer.

#include "framework/gui/Canvas.h"

namespace plomaret {

class THeadlessFontEngine : public TFontEngine {
 public:
  // Metrics of a font whose character height is |Height| pixels: ascent five sixths,
  // a half-width cell half the height (rounded up), a double-byte cell twice that.
  TTextMetrics Metrics(const TFont& font) override;
  std::vector<int> Advances(const TFont& font, std::string_view text) override;
  void DrawGlyphs(TRaster& raster, const TRect& clip, int x, int y, std::string_view text,
                  const std::vector<int>& advances, const TFont& font, TPixel color) override;

  // Every font gets these metrics from now on (a half-width cell of AveCharWidth).
  void SetFixedMetrics(const TTextMetrics& metrics) {
    FFixed = metrics;
    FHasFixed = true;
  }

 private:
  TTextMetrics FFixed;
  bool FHasFixed = false;
};

}  // namespace plomaret
