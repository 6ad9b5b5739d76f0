#include "editor/WordWrap.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "editor/EditorUtils.h"
#include "framework/core/CodePage.h"
#include "framework/core/Properties.h"

namespace plomaret {

namespace {

// 、。，．・？！゛゜ヽヾゝゞ々ー）］｝」』!),.:;?]}｡｣､･ｰﾞﾟ
const char kDefaultFollowStr[] =
    "\x81\x41\x81\x42\x81\x43\x81\x44\x81\x45\x81\x48\x81\x49\x81\x4a\x81\x4b\x81\x52"
    "\x81\x53\x81\x54\x81\x55\x81\x58\x81\x5b\x81\x6a\x81\x6e\x81\x70\x81\x76\x81\x78"
    "!),.:;?]}"
    "\xa1\xa3\xa4\xa5\xb0\xde\xdf";
// （［｛「『([{｢
const char kDefaultLeadStr[] = "\x81\x69\x81\x6d\x81\x6f\x81\x75\x81\x77([{\xa2";
// 、。，．,.｡､
const char kDefaultPunctuationStr[] = "\x81\x41\x81\x42\x81\x43\x81\x44,.\xa1\xa4";

// Whether ch is one of the characters of chars. A lead byte left alone at the end
// of a line is no character of any list, though it matches the start of one.
bool IsOneOf(std::string_view ch, std::string_view chars) {
  if (ch.size() == 1 && IsLeadByte(static_cast<unsigned char>(ch[0]))) return false;
  return ContainsAtCharBoundary(ch, chars);
}

// The bytes that are characters of chars on their own: what IsOneOf says of each
// byte, in one pass over chars (a wrapper is made for every edit of a wrapped line).
std::bitset<256> SingleByteCharactersOf(std::string_view chars) {
  std::bitset<256> found;
  for (size_t i = 0; i < chars.size();) {
    const auto byte = static_cast<unsigned char>(chars[i]);
    if (IsLeadByte(byte)) {
      i += 2;
    } else {
      found[byte] = true;
      ++i;
    }
  }
  return found;
}

// Whether line is narrower than width cells; stops counting at width.
bool NarrowerThan(std::string_view line, int width, const TCellLayout& layout) {
  int cells = 0;
  for (size_t i = 0; i < line.size() && cells < width; ++i) {
    const auto byte = static_cast<unsigned char>(line[i]);
    if (IsLeadByte(byte) && i + 1 < line.size()) {
      cells += 2;
      ++i;
    } else if (byte == '\t') {
      cells += TabWidthAt(cells, layout);
    } else {
      ++cells;
    }
  }
  return cells < width;
}

bool IsTabOrLeadByte(unsigned char byte) { return byte == '\t' || IsLeadByte(byte); }

// Whether any of n bytes is a tab or a lead byte. Text is mostly ASCII: many bytes
// at a time, looking closer only at a block with a tab or a byte from 128 up.
bool HasTabOrLeadByte(const unsigned char* bytes, size_t n) {
  auto anyIn = [bytes](size_t from, size_t to) {
    for (size_t k = from; k < to; ++k) {
      if (IsTabOrLeadByte(bytes[k])) return true;
    }
    return false;
  };
  size_t i = 0;
#if defined(__SSE2__)
  // Every row of a long wrapped line is scanned again on each key typed into it.
  const __m128i tab = _mm_set1_epi8('\t');
  for (; i + 16 <= n; i += 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
    if (_mm_movemask_epi8(_mm_or_si128(block, _mm_cmpeq_epi8(block, tab))) != 0 && anyIn(i, i + 16)) return true;
  }
#else
  constexpr uint64_t kOnes = 0x0101010101010101u;
  constexpr uint64_t kHighs = 0x8080808080808080u;
  for (; i + 8 <= n; i += 8) {
    uint64_t word;
    std::memcpy(&word, bytes + i, 8);
    const uint64_t tabs = word ^ (kOnes * '\t');  // a zero byte where word has a tab
    if ((((tabs - kOnes) & ~tabs) | word) & kHighs && anyIn(i, i + 8)) return true;
  }
#endif
  return anyIn(i, n);
}

}  // namespace

// ---- TEditorWrapOption ----

TEditorWrapOption::TEditorWrapOption()
    : FFollowStr(kDefaultFollowStr), FLeadStr(kDefaultLeadStr), FPunctuationStr(kDefaultPunctuationStr) {}

void TEditorWrapOption::SetFollowRetMark(bool value) {
  if (value == FFollowRetMark) return;
  FFollowRetMark = value;
  AnnounceChange();
}

void TEditorWrapOption::SetFollowPunctuation(bool value) {
  if (value == FFollowPunctuation) return;
  FFollowPunctuation = value;
  AnnounceChange();
}

void TEditorWrapOption::SetFollowStr(const std::string& value) {
  if (value == FFollowStr) return;
  FFollowStr = value;
  AnnounceChange();
}

void TEditorWrapOption::SetLeading(bool value) {
  if (value == FLeading) return;
  FLeading = value;
  AnnounceChange();
}

void TEditorWrapOption::SetLeadStr(const std::string& value) {
  if (value == FLeadStr) return;
  FLeadStr = value;
  AnnounceChange();
}

void TEditorWrapOption::SetPunctuationStr(const std::string& value) {
  if (value == FPunctuationStr) return;
  FPunctuationStr = value;
  AnnounceChange();
}

void TEditorWrapOption::SetWordBreak(bool value) {
  if (value == FWordBreak) return;
  FWordBreak = value;
  AnnounceChange();
}

void TEditorWrapOption::SetWrapByte(int value) {
  value = std::clamp(value, kMinWrapByte, kMaxWrapByte);
  if (value == FWrapByte) return;
  FWrapByte = value;
  AnnounceChange();
}

void TEditorWrapOption::Assign(const TPersistent& source) {
  const auto* option = dynamic_cast<const TEditorWrapOption*>(&source);
  if (option == nullptr) {
    TNotifyPersistent::Assign(source);
    return;
  }
  // Through the setters, so a derived option sees each value; the bracket turns
  // their announcements into one.
  TChangesBracket bracket(*this);
  SetFollowRetMark(option->FollowRetMark());
  SetFollowPunctuation(option->FollowPunctuation());
  SetFollowStr(option->FollowStr());
  SetLeading(option->Leading());
  SetLeadStr(option->LeadStr());
  SetPunctuationStr(option->PunctuationStr());
  SetWordBreak(option->WordBreak());
  SetWrapByte(option->WrapByte());
}

const TClassInfo& TEditorWrapOption::StaticClassInfo() {
  using T = TEditorWrapOption;
  static const TClassInfo info =
      TPublished<T>("TEditorWrapOption", TNotifyPersistent::StaticClassInfo())
          .Property("FollowRetMark", &T::FollowRetMark, &T::SetFollowRetMark, false)
          .Property("FollowPunctuation", &T::FollowPunctuation, &T::SetFollowPunctuation, false)
          .Property("FollowStr", &T::FollowStr, &T::SetFollowStr)
          .Property("Leading", &T::Leading, &T::SetLeading, false)
          .Property("LeadStr", &T::LeadStr, &T::SetLeadStr)
          .Property("PunctuationStr", &T::PunctuationStr, &T::SetPunctuationStr)
          .Property("WordBreak", &T::WordBreak, &T::SetWordBreak, false)
          .Property("WrapByte", &T::WrapByte, &T::SetWrapByte, 80);
  return info;
}

// ---- TEditorAttributeArray ----

void TEditorAttributeArray::Start(std::string_view line, int from, const TCellLayout& layout) {
  FFrom = from;
  FRest = line.substr(static_cast<size_t>(from));
  FMap.clear();
  AppendCellMap(FRest, layout, FMap);
  FMap += kEndMark;
  FCol = 0;
  FBytes = 0;
  StepForward();
}

void TEditorAttributeArray::StepForward() {
  if (AtEnd()) return;
  ++FCol;
  if (Cell() != kCellTabFill) ++FBytes;
}

void TEditorAttributeArray::StepBack() {
  if (FCol <= 1) return;
  const char left = Cell();
  --FCol;
  if (left != kCellTabFill) --FBytes;
}

void TEditorAttributeArray::MoveTo(int col) {
  while (!AtEnd() && FCol < col) StepForward();
  while (FCol > col && FCol > 1) StepBack();
}

void TEditorAttributeArray::StepBackChar() {
  StepBack();
  if (Cell() == kCellLead) StepBack();
}

std::string_view TEditorAttributeArray::CurrentChar() const {
  if (FCol < 1 || AtEnd()) return {};
  const auto bytes = static_cast<size_t>(FBytes);
  switch (Cell()) {
    case kCellLead:
      return FRest.substr(bytes - 1, 2);
    case kCellTrail:
      return FRest.substr(bytes - 2, 2);
    default:
      return FRest.substr(bytes - 1, 1);
  }
}

std::string_view TEditorAttributeArray::NextChar() {
  // At the end mark a step forward does nothing, and the step back would move us.
  if (AtEnd()) return {};
  StepForward();
  const std::string_view next = CurrentChar();
  StepBack();
  return next;
}

// ---- TLineWrapper ----

TLineWrapper::TLineWrapper(const TEditorWrapOption& option, int tabSpaceCount, const TDelimiters& delimiters)
    : FDelimiters(delimiters),
      FFollowRetMark(option.FollowRetMark()),
      FFollowPunctuation(option.FollowPunctuation()),
      FLeading(option.Leading()),
      FWordBreak(option.WordBreak()),
      FFollowStr(option.FollowStr()),
      FLeadStr(option.LeadStr()),
      FPunctuationStr(option.PunctuationStr()) {
  FLayout.TabSpaceCount = tabSpaceCount;
  FLayout.WordWrap = true;
  FLayout.WrapByte = option.WrapByte();
  FLayout.Delimiters = &FDelimiters;
  FIsFollow = SingleByteCharactersOf(FFollowStr);
  FIsLead = SingleByteCharactersOf(FLeadStr);
  FIsPunctuation = SingleByteCharactersOf(FPunctuationStr);
}

bool TLineWrapper::NextPlainRow(std::string_view line, int from, TRowBreak& row) const {
  const int wrap = FLayout.WrapByte;
  const int end = static_cast<int>(line.size());
  // The cell map would stop at wrap + 3 cells: the row sees no further.
  const int seen = std::min(end - from, wrap + 3);
  const auto* bytes = reinterpret_cast<const unsigned char*>(line.data()) + from;
  if (HasTabOrLeadByte(bytes, static_cast<size_t>(seen))) return false;
  if (seen < wrap) {
    // What is left fits (see NextRow).
    row = from < end || !FFollowRetMark ? TRowBreak{end, true} : TRowBreak{-1, true};
    return true;
  }
  // col is the 1-based column the row ends on: bytes[col - 1] is its last byte, and
  // the next character, bytes[col], exists while col < seen.
  int col = wrap;
  if (FWordBreak && seen > wrap) {
    const int floor = wrap / 3;
    while (col > floor && !FDelimiters[bytes[col - 1]]) --col;
  }
  if (FFollowPunctuation) {
    while (col < wrap + 2 && col < seen && FIsPunctuation[bytes[col]]) ++col;
  }
  if (FLeading && col < seen) {
    const int floor = wrap / 5 * 4;
    while (col > floor && FIsLead[bytes[col - 1]]) --col;
    if (seen - col >= 2 && FIsFollow[bytes[col]]) {
      while (col > floor && (FIsLead[bytes[col - 1]] || FIsFollow[bytes[col]])) --col;
    }
  }
  row = {from + col, false};
  return true;
}

TRowBreak TLineWrapper::NextRow(std::string_view line, int from) {
  if (line.empty()) return {0, true};
  if (TRowBreak row; NextPlainRow(line, from, row)) return row;
  return NextRowByCellMap(line, from);
}

TRowBreak TLineWrapper::NextRowByCellMap(std::string_view line, int from) {
  const int wrap = FLayout.WrapByte;
  const int end = static_cast<int>(line.size());
  if (end == 0) return {0, true};
  TEditorAttributeArray& cursor = FCursor;
  // Tabs of the rest are measured from the new row's start.
  cursor.Start(line, from, FLayout);
  cursor.MoveTo(wrap);
  if (cursor.AtEnd()) {
    // What is left fits. Nothing left: the line end takes a row of its own, or
    // with FollowRetMark stays on the row made last.
    if (from < end || !FFollowRetMark) return {end, true};
    return {-1, true};
  }

  if (cursor.Cell() == kCellLead) {
    cursor.StepBack();  // a double-byte character would straddle the wrap column
  } else if (FWordBreak && cursor.Length() > wrap) {
    const int floor = wrap / 3;
    while (cursor.Col() > floor && cursor.Cell() != kCellDelimiter && cursor.Cell() != kCellTabFill &&
           cursor.Cell() != kCellTrail) {
      cursor.StepBackChar();
    }
  }

  if (FFollowPunctuation) {
    while (cursor.Col() < wrap + 2) {
      const std::string_view next = cursor.NextChar();
      // A tab would hang up to a whole row's width past the wrap column.
      if (next.empty() || next == "\t" || !IsOneOf(next, FPunctuationStr)) break;
      for (size_t i = 0; i < next.size(); ++i) cursor.StepForward();
    }
  }

  if (FLeading && cursor.Col() < cursor.Length()) {
    const int floor = wrap / 5 * 4;
    // An opening bracket does not end a row.
    while (cursor.Col() > floor && IsOneOf(cursor.CurrentChar(), FLeadStr)) cursor.StepBackChar();
    // A closing mark does not begin one: give up characters until neither rule is broken.
    if (cursor.Length() - cursor.Col() >= 2 && IsOneOf(cursor.NextChar(), FFollowStr)) {
      while (cursor.Col() > floor &&
             (IsOneOf(cursor.CurrentChar(), FLeadStr) || IsOneOf(cursor.NextChar(), FFollowStr))) {
        cursor.StepBackChar();
      }
    }
  }
  return {from + cursor.ByteCount(), false};
}

template <class Emit>
void TLineWrapper::Split(std::string_view line, Emit&& emit) {
  if (NarrowerThan(line, FLayout.WrapByte, FLayout)) {
    emit(static_cast<int>(line.size()));
    return;
  }
  for (int from = 0;;) {
    const TRowBreak row = NextRow(line, from);
    if (row.End < 0) return;
    emit(row.End);
    if (row.Last) return;
    from = row.End;
  }
}

void TLineWrapper::Wrap(std::string_view line, TLineRows& rows) {
  rows.Ends.clear();
  Split(line, [&rows](int end) { rows.Ends.push_back(end); });
}

TLineRows TLineWrapper::Wrap(std::string_view line) {
  TLineRows rows;
  Wrap(line, rows);
  return rows;
}

int TLineWrapper::RowCount(std::string_view line) {
  int count = 0;
  Split(line, [&count](int) { ++count; });
  return count;
}

}  // namespace plomaret
