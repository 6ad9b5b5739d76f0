#include "editor/TextCells.h"

#include <algorithm>

#include "framework/core/CodePage.h"

namespace plomaret {

namespace {

constexpr unsigned char kTab = '\t';

unsigned char ByteOf(std::string_view text, size_t i) { return static_cast<unsigned char>(text[i]); }

// Whether the byte at i starts a double-byte character; a lead byte without a
// following byte does not.
bool StartsDoubleByte(std::string_view text, size_t i) { return IsLeadByte(ByteOf(text, i)) && i + 1 < text.size(); }

}  // namespace

const TDelimiters& DefaultDelimiters() {
  static const TDelimiters delimiters = [] {
    TDelimiters set;
    const auto add = [&set](int from, int to) {
      for (int b = from; b <= to; ++b) set.set(static_cast<size_t>(b));
    };
    add(0, 47);
    add(58, 64);
    add(91, 94);
    add(96, 96);
    add(123, 128);
    add(160, 165);
    add(253, 255);
    return set;
  }();
  return delimiters;
}

int TabWidthAt(int column, const TCellLayout& layout) {
  const int tab = std::max(1, layout.TabSpaceCount);
  int width = tab - column % tab;
  if (layout.WordWrap) {
    const int wrap = std::max(1, layout.WrapByte);
    width = std::min(width, wrap - column % wrap);
  }
  return width;
}

void AppendCellMap(std::string_view text, const TCellLayout& layout, std::string& map) {
  const size_t base = map.size();
  const size_t limit = base + static_cast<size_t>(layout.WordWrap ? std::max(1, layout.WrapByte) + 3 : kMaxCellColumns);
  const TDelimiters& delimiters = layout.Delimiters != nullptr ? *layout.Delimiters : DefaultDelimiters();
  for (size_t i = 0; i < text.size() && map.size() < limit; ++i) {
    const unsigned char byte = ByteOf(text, i);
    if (StartsDoubleByte(text, i)) {
      map += kCellLead;
      map += kCellTrail;
      ++i;
    } else if (byte == kTab) {
      const int width = TabWidthAt(static_cast<int>(map.size() - base), layout);
      map += kCellDelimiter;
      map.append(static_cast<size_t>(width - 1), kCellTabFill);
    } else {
      map += delimiters.test(byte) ? kCellDelimiter : kCellWord;
    }
  }
}

std::string CellMap(std::string_view text, const TCellLayout& layout) {
  std::string map;
  AppendCellMap(text, layout, map);
  return map;
}

int DisplayWidth(std::string_view text, const TCellLayout& layout) {
  int width = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (StartsDoubleByte(text, i)) {
      width += 2;
      ++i;
    } else if (ByteOf(text, i) == kTab) {
      width += TabWidthAt(width, layout);
    } else {
      ++width;
    }
  }
  return width;
}

std::string ExpandTabs(std::string_view text, const TCellLayout& layout) {
  if (text.find('\t') == std::string_view::npos) return std::string(text);
  std::string shown;
  shown.reserve(text.size() + 16);
  int width = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (StartsDoubleByte(text, i)) {
      shown.append(text.substr(i, 2));
      width += 2;
      ++i;
    } else if (ByteOf(text, i) == kTab) {
      const int tab = TabWidthAt(width, layout);
      shown.append(static_cast<size_t>(tab), ' ');
      width += tab;
    } else {
      shown += text[i];
      ++width;
    }
  }
  return shown;
}

int ColToByte(std::string_view map, int col) {
  if (col < 0) return 0;
  const size_t cells = std::min(map.size(), static_cast<size_t>(col) + 1);
  return col - static_cast<int>(std::count(map.begin(), map.begin() + static_cast<std::ptrdiff_t>(cells), kCellTabFill));
}

int IndentWidth(std::string_view text, const TCellLayout& layout) {
  if (text.empty()) return -1;
  int width = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char byte = ByteOf(text, i);
    if (byte == ' ') {
      ++width;
    } else if (byte == kTab) {
      width += TabWidthAt(width, layout);
    } else if (byte == 0x81 && i + 1 < text.size() && ByteOf(text, i + 1) == 0x40) {
      width += 2;  // the full-width blank
      ++i;
    } else {
      break;
    }
  }
  return width;
}

}  // namespace plomaret
