#pragma once
// Laying a row of Shift-JIS bytes out in fixed-width cells.
//
// A half-width character takes one cell, a double-byte character two, a tab runs to
// the next tab stop. The cell map of a row names the kind of every cell and is the
// basis of every column and byte conversion:
//   '1' word character, '2' delimiter (a tab's own cell included), '3' tab filler,
//   '4' lead half and '5' trail half of a double-byte character.
// A lead byte takes the next byte with it, whatever that byte is. A lead byte that
// is the last byte of the text has no trail: it takes one cell and counts as a
// single byte, so every '4' is followed by its '5' and no cell stands for a byte
// that is not there.

#include <bitset>
#include <string>
#include <string_view>

namespace plomaret {

using TDelimiters = std::bitset<256>;

// Bytes 0-47, 58-64, 91-94, 96, 123-128, 160-165 and 253-255: everything but the
// underscore, digits, letters, bytes 129-159 and the half-width katakana.
const TDelimiters& DefaultDelimiters();

inline constexpr char kCellWord = '1';
inline constexpr char kCellDelimiter = '2';
inline constexpr char kCellTabFill = '3';
inline constexpr char kCellLead = '4';
inline constexpr char kCellTrail = '5';

// Cell maps stop growing here: no row is shown or edited beyond column 1000.
inline constexpr int kMaxCellColumns = 1000;

// What the layout of a row depends on; the editor fills it from its options.
// Tab width and wrap width below 1 are taken as 1.
struct TCellLayout {
  int TabSpaceCount = 8;
  bool WordWrap = false;
  int WrapByte = 80;
  const TDelimiters* Delimiters = &DefaultDelimiters();
};

// Cells taken by a tab that starts at cell column: to the next tab stop, and with
// word wrap on never across a multiple of WrapByte.
int TabWidthAt(int column, const TCellLayout& layout);

// The cell map of text, one code per cell. Bytes stop being added once the map has
// kMaxCellColumns cells (WrapByte + 3 with word wrap on); the character that reaches
// the limit is kept whole, so a map may end a few cells beyond it.
std::string CellMap(std::string_view text, const TCellLayout& layout);
// The same, appended to map; map's earlier contents do not count towards the limit.
void AppendCellMap(std::string_view text, const TCellLayout& layout, std::string& map);

// The cells text occupies, without any limit.
int DisplayWidth(std::string_view text, const TCellLayout& layout);

// Text as displayed: every tab replaced by as many blanks as it is wide; a
// double-byte character is copied whole even when its trail byte is a tab.
std::string ExpandTabs(std::string_view text, const TCellLayout& layout);

// The byte offset of cell col: col minus the tab fillers among cells 0..col, so a
// column inside a tab maps to the tab. Callers clamp to the row's length where they
// need an offset inside the text; a negative col gives 0.
int ColToByte(std::string_view map, int col);

// Width of the leading white space (blank 1, the full-width blank 2, a tab to its
// stop), or -1 for an empty text.
int IndentWidth(std::string_view text, const TCellLayout& layout);

}  // namespace plomaret
