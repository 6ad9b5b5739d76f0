#include "Canvas.h"

#include <algorithm>

#include "framework/core/CodePage.h"

namespace plomaret {

std::vector<std::string_view> SplitCharacters(std::string_view text) {
  std::vector<std::string_view> characters;
  for (size_t i = 0; i < text.size();) {
    const size_t length = IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
    characters.push_back(text.substr(i, length));
    i += length;
  }
  return characters;
}

// ---- TTextLayer ----

namespace {

// The parts of bounds outside rect, at most four rectangles.
std::vector<TRect> Outside(const TRect& bounds, const TRect& rect) {
  const TRect common = bounds.Intersect(rect);
  if (common.IsEmpty()) return {bounds};
  std::vector<TRect> parts{{bounds.Left, bounds.Top, bounds.Right, common.Top},
                           {bounds.Left, common.Bottom, bounds.Right, bounds.Bottom},
                           {bounds.Left, common.Top, common.Left, common.Bottom},
                           {common.Right, common.Top, bounds.Right, common.Bottom}};
  std::erase_if(parts, [](const TRect& part) { return part.IsEmpty(); });
  return parts;
}

}  // namespace

void TTextLayer::SetRecording(bool recording) {
  FRecording = recording;
  if (!recording) Clear();
}

void TTextLayer::Insert(TBands& bands, TTextCell cell) {
  FTallest = std::max(FTallest, cell.Bounds.Height());
  TBand& band = bands[cell.Bounds.Top];
  band.Right = std::max({band.Cells.empty() ? cell.Bounds.Right : band.Right, cell.Bounds.Right, cell.Glyph.Right});
  band.Cells.push_back(std::move(cell));
}

void TTextLayer::Add(TTextCell cell) {
  if (!FRecording) return;
  Erase(cell.Bounds);
  // A character drawn in two pieces (part of it moved by a scroll, the rest painted
  // after it) is one character: pieces of the same cell join.
  auto sameCharacter = [&](const TTextCell& other) {
    return !cell.Glyph.IsEmpty() && other.Glyph == cell.Glyph && other.Bytes == cell.Bytes && other.Color == cell.Color &&
           other.Background == cell.Background && other.Style == cell.Style;
  };
  for (TBands* bands : {&FBands, &FRemnants}) {
    for (auto band = bands->lower_bound(cell.Glyph.Top - FTallest); band != bands->end() && band->first < cell.Glyph.Bottom;) {
      auto& cells = band->second.Cells;
      if (cell.Glyph.Left >= band->second.Right) {
        ++band;  // no glyph there ends to the right of this one's start
        continue;
      }
      for (auto it = cells.begin(); it != cells.end();) {
        if (sameCharacter(*it)) {
          cell.Bounds = cell.Bounds.Union(it->Bounds);
          it = cells.erase(it);
        } else {
          ++it;
        }
      }
      band = cells.empty() ? bands->erase(band) : std::next(band);
    }
  }
  Insert(FBands, std::move(cell));
}

void TTextLayer::Erase(const TRect& rect) {
  if ((FBands.empty() && FRemnants.empty()) || rect.IsEmpty()) return;
  std::vector<TTextCell> remnants;
  // What rect leaves of a character painted over is a remnant.
  auto cut = [&](TTextCell& cell) {
    for (const TRect& part : Outside(cell.Bounds, rect)) {
      TTextCell remnant = cell;
      remnant.Bounds = part;
      remnants.push_back(std::move(remnant));
    }
  };
  for (TBands* bands : {&FBands, &FRemnants}) {
    auto band = bands->lower_bound(rect.Top - FTallest + 1);
    while (band != bands->end() && band->first < rect.Bottom) {
      if (rect.Left >= band->second.Right) {
        ++band;  // every cell there ends before rect starts
        continue;
      }
      std::erase_if(band->second.Cells, [&](TTextCell& cell) {
        if (cell.Bounds.Intersect(rect).IsEmpty()) return false;
        if (bands == &FBands) {
          // A character is gone when the painting crosses its middle; a line along its
          // bottom (an underline) leaves it readable.
          const int middle = cell.Bounds.Top + cell.Bounds.Height() / 2;
          if (rect.Top > middle || middle >= rect.Bottom) return false;
        }
        cut(cell);
        return true;
      });
      band = band->second.Cells.empty() ? bands->erase(band) : std::next(band);
    }
  }
  for (TTextCell& remnant : remnants) Insert(FRemnants, std::move(remnant));
}

void TTextLayer::Scroll(const TRect& area, int dx, int dy) {
  // Characters inside the area move with the pixels; those moved out of it are gone,
  // as are those in the strip the move uncovers (it is repainted).
  auto scroll = [&](TBands& bands) {
    TBands kept;
    for (auto& [top, band] : bands) {
      for (TTextCell& cell : band.Cells) {
        if (cell.Bounds.Intersect(area).IsEmpty()) {
          Insert(kept, std::move(cell));
          continue;
        }
        if (!area.ContainsRect(cell.Bounds)) continue;
        // A character moved partly out of the area keeps the part that is still shown.
        cell.Bounds = cell.Bounds.Offset(dx, dy).Intersect(area);
        cell.Glyph = cell.Glyph.Offset(dx, dy);
        if (!cell.Bounds.IsEmpty()) Insert(kept, std::move(cell));
      }
    }
    bands = std::move(kept);
  };
  scroll(FBands);
  scroll(FRemnants);
}

const TTextCell* TTextLayer::At(TPoint point) const {
  for (auto band = FBands.lower_bound(point.Y - FTallest + 1); band != FBands.end() && band->first <= point.Y; ++band) {
    for (const TTextCell& cell : band->second.Cells) {
      if (cell.Bounds.Contains(point)) return &cell;
    }
  }
  return nullptr;
}

std::vector<TTextCell> TTextLayer::Cells() const {
  std::vector<TTextCell> cells;
  for (const auto& [top, band] : FBands) cells.insert(cells.end(), band.Cells.begin(), band.Cells.end());
  return cells;
}

// ---- TCanvas ----

TCanvas::TCanvas(TRaster* raster, TFontEngine* engine, TTextLayer* layer)
    : FRaster(raster), FEngine(engine), FLayer(layer) {
  ResetClipRect();
}

void TCanvas::ResetClipRect() { FClip = TRect{-(1 << 28), -(1 << 28), 1 << 28, 1 << 28}; }

TPixel TCanvas::Resolve(TColor color, TColor fallback) const {
  return PixelOf(color == clNone || color == clDefault ? fallback : color);
}

void TCanvas::FillRect(const TRect& rect) {
  if (FBrushStyle == bsClear || FSuppressed) return;
  const TRect area = rect.Intersect(FClip);
  FRaster->FillRect(area, Resolve(FBrushColor, clWhite));
  if (FLayer != nullptr) FLayer->Erase(area);
  Drawn(area);
}

void TCanvas::LineTo(int x, int y) {
  if (FSuppressed) {
    FPenPos = {x, y};
    return;
  }
  const TPixel pixel = Resolve(FPenColor, clBlack);
  Drawn(TRect{std::min(FPenPos.X, x), std::min(FPenPos.Y, y), std::max(FPenPos.X, x) + 1, std::max(FPenPos.Y, y) + 1}.Intersect(FClip));
  TRaster::WalkLine(FPenPos, {x, y}, [&](int px, int py) {
    if (!FClip.Contains({px, py})) return;
    switch (FPenMode) {
      case pmCopy:
        FRaster->SetPixel(px, py, pixel);
        break;
      case pmNot:
        FRaster->SetPixel(px, py, ~FRaster->Pixel(px, py) & 0xFFFFFF);
        break;
      case pmXor:
        FRaster->SetPixel(px, py, FRaster->Pixel(px, py) ^ pixel);
        break;
    }
    if (FLayer != nullptr) FLayer->Erase(TRect::FromSize(px, py, 1, 1));
  });
  FPenPos = {x, y};
}

TColor TCanvas::Pixel(int x, int y) const { return ColorOfPixel(FRaster->Pixel(x, y)); }

void TCanvas::SetPixel(int x, int y, TColor color) {
  if (FSuppressed || !FClip.Contains({x, y})) return;
  Drawn(TRect::FromSize(x, y, 1, 1));
  FRaster->SetPixel(x, y, Resolve(color, clBlack));
  if (FLayer != nullptr) FLayer->Erase(TRect::FromSize(x, y, 1, 1));
}

TTextMetrics TCanvas::TextMetrics() const { return FEngine->Metrics(FFont); }

int TCanvas::TextWidth(std::string_view text) const {
  int width = 0;
  for (int advance : FEngine->Advances(FFont, text)) width += advance;
  return width;
}

void TCanvas::TextOut(int x, int y, std::string_view text) {
  if (FSuppressed) return;
  const std::vector<int> advances = FEngine->Advances(FFont, text);
  int width = 0;
  for (int advance : advances) width += advance;
  const TRect box = TRect::FromSize(x, y, width, TextMetrics().Height);
  if (FBrushStyle == bsSolid) FillRect(box);
  DrawText(x, y, text, advances, FClip, FBrushStyle == bsSolid ? FBrushColor : clNone);
  FPenPos = {x + width, y};
}

void TCanvas::ExtTextOut(int x, int y, int options, const TRect& rect, std::string_view text,
                         const std::vector<int>& advances) {
  if (FSuppressed) return;
  if ((options & etoOpaque) != 0) {
    const TBrushStyle style = FBrushStyle;
    FBrushStyle = bsSolid;
    FillRect(rect);
    FBrushStyle = style;
  }
  const TRect clip = (options & etoClipped) != 0 ? FClip.Intersect(rect) : FClip;
  // One advance per character: the sum of its bytes' entries. Bytes without an entry
  // leave the rest of the text at its natural advances.
  std::vector<int> perCharacter;
  size_t byte = 0;
  for (std::string_view character : SplitCharacters(text)) {
    if (byte + character.size() > advances.size()) break;
    int advance = 0;
    for (size_t i = 0; i < character.size(); ++i) advance += advances[byte + i];
    perCharacter.push_back(advance);
    byte += character.size();
  }
  // With a solid brush the background mode is opaque: each character's cell takes
  // the brush colour even without etoOpaque.
  const bool cellBackgrounds = (options & etoOpaque) == 0 && FBrushStyle == bsSolid;
  DrawText(x, y, text, perCharacter, clip, (options & etoOpaque) != 0 || cellBackgrounds ? FBrushColor : clNone,
           cellBackgrounds);
}

void TCanvas::DrawText(int x, int y, std::string_view text, const std::vector<int>& advances, const TRect& clip,
                       TColor background, bool fillCells) {
  const std::vector<std::string_view> characters = SplitCharacters(text);
  std::vector<int> steps(advances.begin(), advances.end());
  if (steps.size() < characters.size()) {
    // Characters without an advance of their own take their natural width.
    const std::vector<int> natural = FEngine->Advances(FFont, text);
    for (size_t i = steps.size(); i < characters.size(); ++i) steps.push_back(natural[i]);
  }
  steps.resize(characters.size());
  if (fillCells) {
    int cells = 0;
    for (int step : steps) cells += step;
    const TRect box = TRect::FromSize(x, y, cells, TextMetrics().Height).Intersect(clip);
    if (!box.IsEmpty()) {
      Drawn(box);
      FRaster->FillRect(box, Resolve(FBrushColor, clWhite));
      if (FLayer != nullptr) FLayer->Erase(box);
    }
  }
  FEngine->DrawGlyphs(*FRaster, clip, x, y, text, steps, FFont, Resolve(FFont.Color(), clBlack));
  const int height = TextMetrics().Height;
  int total = 0;
  for (int step : steps) total += step;
  Drawn(TRect::FromSize(x, y, total, height).Intersect(clip));
  if (FLayer == nullptr) return;
  int left = x;
  for (size_t i = 0; i < characters.size(); ++i) {
    const TRect cell = TRect::FromSize(left, y, steps[i], height);
    left += steps[i];
    if (cell.Intersect(clip).IsEmpty() || steps[i] <= 0) continue;
    FLayer->Add({cell.Intersect(clip), std::string(characters[i]), FFont.Color(), background, FFont.Style(), cell});
  }
}

void TCanvas::CopyRect(const TRect& dest, const TRaster& source, const TRect& srcRect) {
  // Same size only: the editor never stretches.
  const TRect area = dest.Intersect(FClip);
  if (area.IsEmpty() || FSuppressed) return;
  const TRect from = TRect::FromSize(srcRect.Left + (area.Left - dest.Left), srcRect.Top + (area.Top - dest.Top),
                                     std::min(area.Width(), srcRect.Width()), std::min(area.Height(), srcRect.Height()));
  FRaster->Copy(source, from, {area.Left, area.Top}, FCopyMode);
  if (FLayer != nullptr) FLayer->Erase(TRect::FromSize(area.Left, area.Top, from.Width(), from.Height()));
  Drawn(TRect::FromSize(area.Left, area.Top, from.Width(), from.Height()));
}

void TCanvas::DrawTransparent(int x, int y, const TRaster& source, TColor transparent) {
  const TRect area = TRect::FromSize(x, y, source.Width(), source.Height()).Intersect(FClip);
  if (area.IsEmpty() || FSuppressed) return;
  FRaster->CopyTransparent(source, TRect::FromSize(area.Left - x, area.Top - y, area.Width(), area.Height()),
                           {area.Left, area.Top}, PixelOf(transparent));
  if (FLayer != nullptr) FLayer->Erase(area);
  Drawn(area);
}

void TCanvas::Draw(int x, int y, const TRaster& source) {
  CopyRect(TRect::FromSize(x, y, source.Width(), source.Height()), source, source.Bounds());
}

}  // namespace plomaret
