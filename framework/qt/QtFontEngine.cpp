#include "QtFontEngine.h"

#include <QFontDatabase>
#include <QImage>
#include <QPainter>
#include <cstdlib>

#include "framework/core/CodePage.h"

namespace plomaret {

namespace {

// The first of the families that is installed; the first one when none is (Qt then
// falls back on its own).
QString FirstInstalled(std::initializer_list<const char*> families) {
  const QStringList installed = QFontDatabase::families();
  for (const char* family : families) {
    if (installed.contains(QString::fromLatin1(family), Qt::CaseInsensitive)) return QString::fromLatin1(family);
  }
  return QString::fromLatin1(*families.begin());
}

bool NameIs(const std::string& name, std::initializer_list<const char*> utf8Names) {
  for (const char* utf8 : utf8Names) {
    if (AnsiSameText(name, Utf8ToCp932(utf8)) || AnsiSameText(name, utf8)) return true;
  }
  return false;
}

std::string KeyOf(const TFont& font) {
  return font.Name() + '\x01' + std::to_string(font.Height()) + '\x01' + std::to_string(font.Style().Mask()) + '\x01' +
         std::to_string(static_cast<int>(font.Pitch()));
}

uint32_t CharacterKey(std::string_view character) {
  uint32_t key = 0;
  for (unsigned char byte : character) key = (key << 8) | byte;
  return key;
}

}  // namespace

QString QtCharacter(std::string_view character) { return QString::fromStdString(Cp932ToUtf8(character)); }

QString TQtFontEngine::FamilyFor(const std::string& name) {
  // Fixed cells: half-width characters take half the height, full-width ones all of it.
  if (NameIs(name, {"FixedSys", "ＭＳ ゴシック", "MS Gothic", "Terminal"})) return FirstInstalled({"VL Gothic", "IPAGothic"});
  if (NameIs(name, {"ＭＳ Ｐゴシック", "MS PGothic", "ＭＳ ＵＩ Ｇｏｔｈｉｃ", "MS UI Gothic"})) {
    return FirstInstalled({"VL PGothic", "IPAPGothic"});
  }
  return QString::fromStdString(Cp932ToUtf8(name));
}

TQtFontEngine::TEntry& TQtFontEngine::Entry(const TFont& font) {
  const std::string key = KeyOf(font);
  auto found = FEntries.find(key);
  if (found != FEntries.end()) return *found->second;

  auto entry = std::make_unique<TEntry>();
  QFont& qfont = entry->Font;
  qfont.setFamily(FamilyFor(font.Name()));
  if (font.Pitch() == fpFixed) qfont.setStyleHint(QFont::Monospace);
  qfont.setBold(font.Style().Contains(fsBold));
  qfont.setItalic(font.Style().Contains(fsItalic));
  qfont.setUnderline(font.Style().Contains(fsUnderline));
  qfont.setStrikeOut(font.Style().Contains(fsStrikeOut));
  // A negative height is the character height, a positive one the whole cell
  // (ascent + descent); 0 asks for the usual size.
  const int height = font.Height() == 0 ? -12 : font.Height();
  qfont.setPixelSize(std::abs(height));
  if (height > 0) {
    const QFontMetrics trial(qfont);
    const int cell = trial.ascent() + trial.descent();
    if (cell > 0 && cell != height) qfont.setPixelSize(std::max(1, (height * height + cell / 2) / cell));
  }
  entry->Measures = std::make_unique<QFontMetrics>(qfont);
  const QFontMetrics& measures = *entry->Measures;
  TTextMetrics& metrics = entry->Metrics;
  metrics.Ascent = measures.ascent();
  metrics.Descent = measures.descent();
  metrics.Height = metrics.Ascent + metrics.Descent;
  metrics.ExternalLeading = std::max(0, measures.leading());
  metrics.AveCharWidth = measures.horizontalAdvance(QLatin1Char('0'));
  metrics.MaxCharWidth = std::max(measures.maxWidth(), metrics.AveCharWidth);
  return *FEntries.emplace(key, std::move(entry)).first->second;
}

TTextMetrics TQtFontEngine::Metrics(const TFont& font) { return Entry(font).Metrics; }

int TQtFontEngine::AdvanceOf(TEntry& entry, std::string_view character) {
  const uint32_t key = CharacterKey(character);
  auto found = entry.Advances.find(key);
  if (found != entry.Advances.end()) return found->second;
  const QString text = QtCharacter(character);
  const int advance = text.size() == 1 ? entry.Measures->horizontalAdvance(text.at(0)) : entry.Measures->horizontalAdvance(text);
  entry.Advances.emplace(key, advance);
  return advance;
}

std::vector<int> TQtFontEngine::Advances(const TFont& font, std::string_view text) {
  TEntry& entry = Entry(font);
  std::vector<int> advances;
  for (std::string_view character : SplitCharacters(text)) advances.push_back(AdvanceOf(entry, character));
  return advances;
}

void TQtFontEngine::DrawGlyphs(TRaster& raster, const TRect& clip, int x, int y, std::string_view text,
                               const std::vector<int>& advances, const TFont& font, TPixel color) {
  const TRect area = clip.Intersect(raster.Bounds());
  if (area.IsEmpty() || text.empty()) return;
  TEntry& entry = Entry(font);
  // The raster's own pixels, painted in place.
  QImage image(reinterpret_cast<uchar*>(raster.Data()), raster.Width(), raster.Height(), raster.Width() * 4,
               QImage::Format_RGB32);
  {
    QPainter painter(&image);
    painter.setClipRect(QRect(area.Left, area.Top, area.Width(), area.Height()));
    painter.setFont(entry.Font);
    painter.setPen(QColor::fromRgb(color | 0xFF000000u));
    const int baseline = y + entry.Metrics.Ascent;
    int left = x;
    const std::vector<std::string_view> characters = SplitCharacters(text);
    for (size_t i = 0; i < characters.size() && i < advances.size(); ++i) {
      if (left < area.Right && left + std::max(advances[i], entry.Metrics.MaxCharWidth) > area.Left) {
        painter.drawText(QPoint(left, baseline), QtCharacter(characters[i]));
      }
      left += advances[i];
    }
  }
  // Qt writes an opaque alpha byte where it blends; the raster keeps 0x00RRGGBB.
  const TRect touched = area.Intersect({area.Left, y - entry.Metrics.Height, area.Right, y + 2 * entry.Metrics.Height});
  for (int row = touched.Top; row < touched.Bottom; ++row) {
    TPixel* pixels = raster.Data() + static_cast<size_t>(row) * raster.Width();
    for (int column = touched.Left; column < touched.Right; ++column) pixels[column] &= 0x00FFFFFFu;
  }
}

}  // namespace plomaret
