#include "EditorUtils.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "framework/core/Collection.h"
#include "framework/core/LineSplitter.h"
#include "framework/gui/Clipboard.h"
#include "framework/gui/Cursors.h"
#include "framework/gui/Platform.h"

namespace plomaret {

namespace {

// Kind of the byte at 1-based position i when s is read by characters.
enum TByteKind { bkOutside, bkSingle, bkLead, bkTrail };

TByteKind ByteKindAt(std::string_view s, int i) {
  if (i < 1 || static_cast<size_t>(i) > s.size()) return bkOutside;
  const size_t target = static_cast<size_t>(i - 1);
  size_t pos = 0;
  while (pos < target) {
    pos += IsLeadByte(static_cast<unsigned char>(s[pos])) ? 2 : 1;
  }
  if (pos > target) return bkTrail;
  return IsLeadByte(static_cast<unsigned char>(s[pos])) ? bkLead : bkSingle;
}

}  // namespace

int CountByte(std::string_view s, char byte, int n) {
  if (n <= 0) return 0;
  const size_t limit = std::min(s.size(), static_cast<size_t>(n));
  return static_cast<int>(std::count(s.begin(), s.begin() + static_cast<std::ptrdiff_t>(limit), byte));
}

bool IsLeadByteAt(std::string_view s, int i) { return ByteKindAt(s, i) == bkLead; }

bool IsTrailByteAt(std::string_view s, int i) { return ByteKindAt(s, i) == bkTrail; }

unsigned char ByteAt(std::string_view s, int i) {
  if (i < 1 || static_cast<size_t>(i) > s.size()) return 0;
  return static_cast<unsigned char>(s[static_cast<size_t>(i - 1)]);
}

bool ContainsAtCharBoundary(std::string_view sub, std::string_view s) {
  if (sub.empty() || sub.size() > s.size()) return false;
  size_t boundary = 0;  // a character boundary of s, never past the candidate
  size_t from = 0;
  for (;;) {
    size_t found = s.find(sub, from);
    if (found == std::string_view::npos) return false;
    while (boundary < found) boundary += IsLeadByte(static_cast<unsigned char>(s[boundary])) ? 2 : 1;
    if (boundary == found) return true;
    from = found + 1;  // found lies inside a double-byte character
  }
}

void TextToStrings(std::string_view text, TStrings& list) {
  TUpdateBracket bracket(list);
  list.Clear();
  if (text.empty()) return;
  // Size the list once from the LF count, then fill it in place.
  int presized = CountByte(text, '\n', static_cast<int>(std::min<size_t>(text.size(), INT32_MAX)));
  if (text.back() == '\n') --presized;
  for (int i = 0; i <= presized; ++i) list.Add(std::string());
  int index = 0;
  SplitLines(text, [&](std::string_view line) {
    if (index < list.Count()) {
      list.Put(index, std::string(line));
    } else {
      list.Add(std::string(line));
    }
    ++index;
  });
  // A zero byte can end the text before the presized lines are used.
  while (list.Count() > index) list.Delete(list.Count() - 1);
}

static void WalkObject(TObject* instance, TTypeKinds kinds, TWalkPropertiesProc callback, void* data,
                       std::vector<const TObject*>& path) {
  auto* persistent = dynamic_cast<TPersistent*>(instance);
  if (persistent == nullptr) return;
  if (std::find(path.begin(), path.end(), instance) != path.end()) return;
  path.push_back(instance);
  for (const TPropInfo* prop : GetPropList(persistent->ClassInfo(), kinds, true)) {
    callback(data, instance, *prop, *prop->PropType);
    if (prop->Kind() != tkClass) continue;
    auto* value = dynamic_cast<TPersistent*>(prop->GetObject(*instance));
    if (value == nullptr) continue;
    WalkObject(value, kinds, callback, data, path);
    if (auto* collection = dynamic_cast<TCollection*>(value)) {
      path.push_back(collection);
      for (int i = 0; i < collection->Count(); ++i) WalkObject(collection->Items(i), kinds, callback, data, path);
      path.pop_back();
    }
  }
  path.pop_back();
}

void WalkProperties(TObject* instance, TTypeKinds kinds, TWalkPropertiesProc callback, void* data) {
  std::vector<const TObject*> path;
  WalkObject(instance, kinds, callback, data, path);
}

}  // namespace plomaret

// ---- Dotted lines ----

namespace plomaret {

void DrawDottedLine(TCanvas& canvas, int x, int y, TColor background, TColor dot, int width) {
  canvas.SetPenMode(pmCopy);
  const TColor brush = canvas.BrushColor();
  const TBrushStyle style = canvas.BrushStyle();
  canvas.SetBrushColor(background);
  canvas.SetBrushStyle(bsSolid);
  canvas.FillRect({x, y, x + width, y + 1});
  canvas.SetBrushColor(brush);
  canvas.SetBrushStyle(style);
  bool on = true;
  TRaster::WalkLine({x, y}, {x + width, y}, [&](int px, int py) {
    if (on) canvas.SetPixel(px, py, dot);
    on = !on;
  });
}

void DrawCachedDottedLine(TCanvas& canvas, int x1, int y, TColor background, TColor dot, int x2) {
  if (x2 < x1) return;
  const TBitmap& line = DotLineCache().Lookup(dot, background);
  // A line wider than the cached one copies what the bitmap holds.
  canvas.CopyRect({x1, y, x2 + 1, y + 1}, line.Raster(), {0, 0, x2 - x1 + 1, 1});
}

void TDotLineItem::AfterConstruction() {
  TCollectionItem::AfterConstruction();
  FBitmap = Create<TBitmap>();
}

void TDotLineItem::Assign(const TPersistent& source) {
  if (const auto* item = dynamic_cast<const TDotLineItem*>(&source)) {
    FBitmap->Assign(*item->FBitmap);
    FBackground = item->FBackground;
    FDot = item->FDot;
    return;
  }
  TCollectionItem::Assign(source);
}

TBitmap& TDotLineCollection::Lookup(TColor dot, TColor background) {
  for (int i = 0; i < Count(); ++i) {
    TDotLineItem* item = Items(i);
    if (item->Dot() == dot && item->Background() == background) return item->Bitmap();
  }
  auto* item = static_cast<TDotLineItem*>(Add());
  item->SetColors(background, dot);
  TBitmap& bitmap = item->Bitmap();
  bitmap.SetSize(std::max(1, Platform().ScreenSize().Width), 1);
  DrawDottedLine(bitmap.Canvas(), 0, 0, background, dot, bitmap.Width());
  return bitmap;
}

TDotLineCollection& DotLineCache() {
  static TOwned<TDotLineCollection> cache = Create<TDotLineCollection>();
  return *cache;
}

}  // namespace plomaret

extern const char* const kBuiltInPictures;

namespace plomaret {

std::string_view BuiltInPicture(std::string_view name) {
  // Lines of the file: "== NAME [hot spot]" starts a picture, "//" is a comment,
  // anything else is a row of the picture being read.
  const std::string_view all = kBuiltInPictures;
  bool inPicture = false;
  size_t first = 0;
  size_t position = 0;
  while (position < all.size()) {
    size_t lineEnd = all.find('\n', position);
    if (lineEnd == std::string_view::npos) lineEnd = all.size();
    const std::string_view line = all.substr(position, lineEnd - position);
    const bool header = line.substr(0, 3) == "== ";
    const bool comment = line.substr(0, 2) == "//";
    if (inPicture && (header || comment)) return all.substr(first, position - first);
    if (header) {
      std::string_view title = line.substr(3);
      title = title.substr(0, title.find(' '));
      if (title == name) {
        inPicture = true;
        first = lineEnd + 1;
      }
    }
    position = lineEnd + 1;
  }
  return inPicture ? all.substr(std::min(first, all.size())) : std::string_view();
}

namespace {

TOwned<TImageList> LoadImages(const char* prefix, int count, int width, int height, TColor transparent) {
  TOwned<TImageList> images = CreateWithoutOwner<TImageList>(width, height, transparent);
  for (int i = 0; i < count; ++i) {
    TOwned<TBitmap> picture = Create<TBitmap>();
    picture->LoadFromPicture(BuiltInPicture(std::string(prefix) + (i < 10 ? "0" : "") + std::to_string(i)));
    images->Add(*picture);
  }
  return images;
}

}  // namespace

uint32_t BoxClipboardFormat() {
  static const uint32_t format = RegisterClipboardFormat("TEditor Box Type");
  return format;
}

namespace {

// The hot spot written after a cursor's name on its header line: "== RightArrow 15 0".
TPoint BuiltInHotSpot(std::string_view name) {
  const std::string header = "== " + std::string(name) + " ";
  const std::string_view all = kBuiltInPictures;
  const size_t at = all.find(header);
  if (at == std::string_view::npos) return {};
  TPoint hotSpot;
  std::sscanf(all.data() + at + header.size(), "%d %d", &hotSpot.X, &hotSpot.Y);
  return hotSpot;
}

}  // namespace

void InstallEditorCursors() {
  for (const auto& [id, name] : {std::pair{crRightArrow, "RightArrow"}, std::pair{crDragSelCopy, "DragSelCopy"}}) {
    if (Cursors().Find(id) == nullptr) Cursors().Install(id, CursorFromPicture(BuiltInPicture(name), BuiltInHotSpot(name)));
  }
}

const TImageList& DigitMarkImages() {
  static const TOwned<TImageList> images = LoadImages("DD", 10, 8, 11, clRed);
  return *images;
}

const TImageList& MarkImages() {
  static const TOwned<TImageList> images = LoadImages("DM", 6, 11, 11, clWhite);
  return *images;
}

}  // namespace plomaret
