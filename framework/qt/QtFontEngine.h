#pragma once
// Glyphs from the installed fonts through Qt. The program's Windows font names are
// mapped to the Japanese gothics installed here; text is drawn straight into the
// raster's pixels at the advances the caller gives, one character at a time.

#include <QFont>
#include <QFontMetrics>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>

#include "framework/gui/Canvas.h"

namespace plomaret {

class TQtFontEngine : public TFontEngine {
 public:
  TTextMetrics Metrics(const TFont& font) override;
  std::vector<int> Advances(const TFont& font, std::string_view text) override;
  void DrawGlyphs(TRaster& raster, const TRect& clip, int x, int y, std::string_view text,
                  const std::vector<int>& advances, const TFont& font, TPixel color) override;

  // The Qt font a TFont is drawn with.
  const QFont& QtFont(const TFont& font) { return Entry(font).Font; }
  // The installed family a font name (CP932) is drawn with.
  static QString FamilyFor(const std::string& name);

 private:
  struct TEntry {
    QFont Font;
    std::unique_ptr<QFontMetrics> Measures;
    TTextMetrics Metrics;
    std::unordered_map<uint32_t, int> Advances;  // by the character's bytes
  };
  TEntry& Entry(const TFont& font);
  int AdvanceOf(TEntry& entry, std::string_view character);

  std::map<std::string, std::unique_ptr<TEntry>> FEntries;
};

// A character of CP932 text as a Qt string (a byte that starts nothing valid is U+FFFD).
QString QtCharacter(std::string_view character);

}  // namespace plomaret
