#pragma once
// Small services the editor units share: Shift-JIS byte helpers and the splitting of
// a text into lines. Positions are 1-based, as in the strings of the original
// program; byte 1 is the first byte.

#include <string_view>

#include "framework/core/CodePage.h"
#include "framework/core/Collection.h"
#include "framework/core/Properties.h"
#include "framework/core/Strings.h"
#include "framework/gui/Bitmap.h"

namespace plomaret {

// How many of the first min(n, length) bytes of s equal byte.
int CountByte(std::string_view s, char byte, int n);

// Whether position i is the first byte of a double-byte character, scanning by
// characters from the start; false outside s.
bool IsLeadByteAt(std::string_view s, int i);
// Whether position i is the second byte of a double-byte character.
bool IsTrailByteAt(std::string_view s, int i);
// The byte at position i, or 0 outside s.
unsigned char ByteAt(std::string_view s, int i);

// Whether sub occurs in s starting at a character boundary (never inside a
// double-byte character). False when sub is empty or longer than s.
bool ContainsAtCharBoundary(std::string_view sub, std::string_view s);

inline int Max(int a, int b) { return a > b ? a : b; }
inline int Min(int a, int b) { return a < b ? a : b; }

// Replaces the contents of list by the lines of text: CR LF, a lone LF and a lone CR
// each end a line, a line end at the very end adds no empty line, a zero byte ends
// the text. Existing items are overwritten in place, then surplus ones removed.
void TextToStrings(std::string_view text, TStrings& list);

// Called by WalkProperties for each property it takes; type is the property's type.
using TWalkPropertiesProc = void (*)(void* data, TObject* instance, const TPropInfo& prop, const TTypeInfo& type);

// Calls callback for each published property of instance whose kind is in kinds, in
// order of name. After a property whose value is a persistent object, walks that
// object the same way, and when it is a collection, each of its items in index order.
// An object met again below itself is not entered a second time, so a property that
// refers back up the tree cannot loop.
void WalkProperties(TObject* instance, TTypeKinds kinds, TWalkPropertiesProc callback, void* data);

// ---- Dotted lines ----
// One-pixel dotted lines (the wrap and line-end marks), drawn from a cache of
// pre-drawn lines, one per pair of colours, as wide as the screen.

// Fills (x, y) to (x + width, y + 1) with background, then sets every other pixel of
// that line to dot, starting with the first.
void DrawDottedLine(TCanvas& canvas, int x, int y, TColor background, TColor dot, int width);
// Copies the cached line of these colours onto row y from x1 to x2 inclusive, so the
// pattern always starts with a dot at x1.
void DrawCachedDottedLine(TCanvas& canvas, int x1, int y, TColor background, TColor dot, int x2);

class TDotLineItem : public TCollectionItem {
 public:
  explicit TDotLineItem(TCollection& collection) : TCollectionItem(collection) {}
  void AfterConstruction() override;

  TBitmap& Bitmap() { return *FBitmap; }
  TColor Background() const { return FBackground; }
  TColor Dot() const { return FDot; }
  void SetColors(TColor background, TColor dot) {
    FBackground = background;
    FDot = dot;
  }
  void Assign(const TPersistent& source) override;

 private:
  TOwned<TBitmap> FBitmap;
  TColor FBackground = clNone;
  TColor FDot = clNone;
};

class TDotLineCollection : public TCollection {
 public:
  TDotLineCollection() : TCollection(nullptr, TCollectionItemClass::Of<TDotLineItem>()) {}
  TDotLineItem* Items(int index) const { return static_cast<TDotLineItem*>(TCollection::Items(index)); }
  // The line of these colours, drawn and added on first use.
  TBitmap& Lookup(TColor dot, TColor background);
};

// The program-wide cache of dotted lines.
TDotLineCollection& DotLineCache();

}  // namespace plomaret

namespace plomaret {

// ---- Built-in pictures ----

// The rows of the picture NAME of resources/Pictures.txt ("DD03", "RightArrow"), or
// empty when there is none.
std::string_view BuiltInPicture(std::string_view name);
// The ten digit bookmark images (8 x 11, red transparent) and the six mark images
// (11 x 11, white transparent), loaded once.
const TImageList& DigitMarkImages();
const TImageList& MarkImages();

// The clipboard format of box (rectangular) text, registered as "TEditor Box Type".
uint32_t BoxClipboardFormat();
inline constexpr int crRightArrow = 1958;   // the row-selection margin
inline constexpr int crDragSelCopy = 1959;  // dragging a copy of the selection
// Installs the two cursors in the program's cursor table (once; later calls do nothing).
void InstallEditorCursors();

}  // namespace plomaret
