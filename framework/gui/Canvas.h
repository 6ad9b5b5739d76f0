#pragma once
// Drawing: a canvas draws with a brush, a pen and a font onto a raster. Shapes are
// drawn here, the same for every backend; only glyphs come from the backend's font
// engine. A canvas may also report the characters it draws to a text layer, which
// lets tests read the screen as cells of text and colour.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/core/Geometry.h"
#include "framework/core/Graphics.h"
#include "framework/gui/Raster.h"

namespace plomaret {

struct TTextMetrics {
  int Height = 0;  // ascent + descent
  int Ascent = 0;
  int Descent = 0;
  int ExternalLeading = 0;
  int AveCharWidth = 0;  // the advance of a half-width "0"
  int MaxCharWidth = 0;
};

// Turns text (CP932 bytes) into pixels for one backend.
class TFontEngine {
 public:
  virtual ~TFontEngine() = default;
  virtual TTextMetrics Metrics(const TFont& font) = 0;
  // The natural advance of each character of text, one entry per character (a
  // double-byte character is one character).
  virtual std::vector<int> Advances(const TFont& font, std::string_view text) = 0;
  // Draws the glyphs of text with their top-left cell corner at (x, y), character i
  // starting at x + the sum of advances[0..i-1]; only pixels inside clip are touched.
  virtual void DrawGlyphs(TRaster& raster, const TRect& clip, int x, int y, std::string_view text,
                          const std::vector<int>& advances, const TFont& font, TPixel color) = 0;
};

// One character as drawn: where, what and in which colours.
struct TTextCell {
  TRect Bounds;
  std::string Bytes;  // the character's CP932 bytes
  TColor Color = clNone;
  TColor Background = clNone;  // clNone: drawn transparently
  TFontStyles Style;
  // The character's whole cell; Bounds is the part of it that shows.
  TRect Glyph;
  bool operator==(const TTextCell&) const = default;
};

// The characters drawn on a raster, kept in step with its pixels: drawing over a
// character removes it, scrolling moves it. Only a backend that reads the characters
// back (the headless one) has it record; otherwise every call returns at once.
class TTextLayer {
 public:
  void SetRecording(bool recording);
  bool Recording() const { return FRecording; }
  void Add(TTextCell cell);
  // Something was painted over rect: the characters whose middle it crosses are gone.
  void Erase(const TRect& rect);
  // The raster's area was scrolled by (dx, dy) inside itself.
  void Scroll(const TRect& area, int dx, int dy);
  void Clear() {
    FBands.clear();
    FRemnants.clear();
  }
  // The character whose cell contains point, or nullptr.
  const TTextCell* At(TPoint point) const;
  // Every character, top to bottom.
  std::vector<TTextCell> Cells() const;

 private:
  // The characters whose cells start at one height. Right is at least the right
  // edge of every cell and glyph in it (it may be stale after an erase): a row
  // painted from left to right finds nothing to its right, and its characters are
  // added without a look at the others.
  struct TBand {
    std::vector<TTextCell> Cells;
    int Right = 0;
  };
  using TBands = std::map<int, TBand>;
  void Insert(TBands& bands, TTextCell cell);
  // Characters by the top of their cell, so that painting a row looks at that row's
  // characters only.
  TBands FBands;
  // What still shows of characters painted over through their middle: unreadable, but
  // drawing the rest of the same character again makes it whole (a row repainted in a
  // strip after a scroll keeps the part the scroll brought).
  TBands FRemnants;
  int FTallest = 0;  // the highest cell seen: how far above a rectangle a cell may start
  bool FRecording = true;
};

enum TBrushStyle { bsSolid, bsClear };
enum TPenMode { pmCopy, pmNot, pmXor };

// ExtTextOut options.
inline constexpr int etoOpaque = 2;
inline constexpr int etoClipped = 4;

class TCanvas {
 public:
  // Draws on raster (not owned), glyphs by engine; layer may be nullptr.
  TCanvas(TRaster* raster, TFontEngine* engine, TTextLayer* layer = nullptr);

  TRaster& Raster() const { return *FRaster; }
  void SetTarget(TRaster* raster, TTextLayer* layer) {
    FRaster = raster;
    FLayer = layer;
  }
  // Drawing outside this rectangle is dropped (a paint limits it to what is invalid).
  const TRect& ClipRect() const { return FClip; }
  void SetClipRect(const TRect& clip) { FClip = clip; }
  void ResetClipRect();

  TColor BrushColor() const { return FBrushColor; }
  void SetBrushColor(TColor color) { FBrushColor = color; }
  TBrushStyle BrushStyle() const { return FBrushStyle; }
  void SetBrushStyle(TBrushStyle style) { FBrushStyle = style; }
  TColor PenColor() const { return FPenColor; }
  void SetPenColor(TColor color) { FPenColor = color; }
  TPenMode PenMode() const { return FPenMode; }
  void SetPenMode(TPenMode mode) { FPenMode = mode; }
  TFont& Font() { return FFont; }
  const TFont& Font() const { return FFont; }
  TRasterOp CopyMode() const { return FCopyMode; }
  void SetCopyMode(TRasterOp mode) { FCopyMode = mode; }

  void FillRect(const TRect& rect);
  void MoveTo(int x, int y) { FPenPos = {x, y}; }
  // A line in the pen's colour and mode, the end point excluded.
  void LineTo(int x, int y);
  TPoint PenPos() const { return FPenPos; }
  TColor Pixel(int x, int y) const;
  void SetPixel(int x, int y, TColor color);

  TTextMetrics TextMetrics() const;
  int TextWidth(std::string_view text) const;
  int TextHeight() const { return TextMetrics().Height; }
  // Text at its natural advances; the background filled with the brush colour
  // unless the brush is clear.
  void TextOut(int x, int y, std::string_view text);
  // Text with one advance per byte, as Win32 takes it: a double-byte character
  // advances by the sum of its two bytes' entries (the cell grid gives it two cells).
  // etoOpaque fills rect with the brush colour first, etoClipped keeps the glyphs
  // inside rect.
  void ExtTextOut(int x, int y, int options, const TRect& rect, std::string_view text, const std::vector<int>& advances);

  // Copies source's srcRect to dest's top left with CopyMode.
  void CopyRect(const TRect& dest, const TRaster& source, const TRect& srcRect);
  void Draw(int x, int y, const TRaster& source);
  // Draws source with one colour left out.
  void DrawTransparent(int x, int y, const TRaster& source, TColor transparent);

  TFontEngine* Engine() const { return FEngine; }
  TTextLayer* Layer() const { return FLayer; }

  // Told of every rectangle the canvas changed (a window shows it).
  void SetDrawListener(std::function<void(const TRect&)> listener) { FListener = std::move(listener); }
  // While suppressed (a window's redraw is off) nothing is drawn at all.
  void SetSuppressed(bool suppressed) { FSuppressed = suppressed; }
  bool Suppressed() const { return FSuppressed; }

 private:
  void Drawn(const TRect& rect) {
    if (FListener && !rect.IsEmpty()) FListener(rect);
  }
  void DrawText(int x, int y, std::string_view text, const std::vector<int>& advances, const TRect& clip, TColor background,
                bool fillCells = false);
  TPixel Resolve(TColor color, TColor fallback) const;

  TRaster* FRaster;
  TFontEngine* FEngine;
  TTextLayer* FLayer;
  TRect FClip;
  TColor FBrushColor = clWhite;
  TBrushStyle FBrushStyle = bsSolid;
  TColor FPenColor = clBlack;
  TPenMode FPenMode = pmCopy;
  TFont FFont;
  TRasterOp FCopyMode = roSrcCopy;
  TPoint FPenPos;
  std::function<void(const TRect&)> FListener;
  bool FSuppressed = false;
};

// Splits text into characters: a lead byte takes the next byte with it.
std::vector<std::string_view> SplitCharacters(std::string_view text);

}  // namespace plomaret
