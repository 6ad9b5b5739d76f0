#include "editor/TextSearch.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "framework/core/CodePage.h"

namespace plomaret {

namespace {

// ---- Tables ----

struct TWidthForm {
  uint8_t Size = 1;  // 1: the byte stays itself
  uint8_t Lead = 0;
  uint8_t Trail = 0;
};

// JIS X 0208 to Shift-JIS, for one character given by its two 0x21-0x7E bytes.
TWidthForm JisToShiftJis(uint8_t row, uint8_t cell) {
  const auto lead = static_cast<uint8_t>(((row + 1) >> 1) + (row <= 0x5E ? 0x70 : 0xB0));
  const auto trail = static_cast<uint8_t>((row & 1) != 0 ? cell + (cell <= 0x5F ? 0x1F : 0x20) : cell + 0x7E);
  return {2, lead, trail};
}

constexpr uint8_t kKatakanaRow = 0x25;

// The JIS cell (in the katakana row) of the half-width kana 0xA6-0xDD; 0 for 0xB0,
// whose full-width form is the long-vowel mark of the symbol row.
constexpr std::array<uint8_t, 0xDE - 0xA6> kHalfWidthKanaCells = {
    0x72, 0x21, 0x23, 0x25, 0x27, 0x29, 0x63, 0x65, 0x67, 0x43,  // ｦｧｨｩｪｫｬｭｮｯ
    0x00, 0x22, 0x24, 0x26, 0x28, 0x2A,                          // ｰｱｲｳｴｵ
    0x2B, 0x2D, 0x2F, 0x31, 0x33, 0x35, 0x37, 0x39, 0x3B, 0x3D,  // ｶ-ｿ
    0x3F, 0x41, 0x44, 0x46, 0x48,                                // ﾀ-ﾄ
    0x4A, 0x4B, 0x4C, 0x4D, 0x4E,                                // ﾅ-ﾉ
    0x4F, 0x52, 0x55, 0x58, 0x5B,                                // ﾊ-ﾎ
    0x5E, 0x5F, 0x60, 0x61, 0x62,                                // ﾏ-ﾓ
    0x64, 0x66, 0x68,                                            // ﾔﾕﾖ
    0x69, 0x6A, 0x6B, 0x6C, 0x6D,                                // ﾗ-ﾛ
    0x6F, 0x73,                                                  // ﾜﾝ
};

struct TSymbolForm {
  uint8_t Byte;
  uint8_t Trail;  // after the lead 0x81
};

// Deliberate choices among them: 0x22 and 0x27 become the closing quotes, 0x5C the yen
// sign, 0x7E the overline, 0x2D the minus sign, and 0xA5 the full stop.
constexpr TSymbolForm kSymbolForms[] = {
    {0x20, 0x40}, {0x21, 0x49}, {0x22, 0x68}, {0x23, 0x94}, {0x24, 0x90}, {0x25, 0x93}, {0x26, 0x95},
    {0x27, 0x66}, {0x28, 0x69}, {0x29, 0x6A}, {0x2A, 0x96}, {0x2B, 0x7B}, {0x2C, 0x43}, {0x2D, 0x7C},
    {0x2E, 0x44}, {0x2F, 0x5E}, {0x3A, 0x46}, {0x3B, 0x47}, {0x3C, 0x83}, {0x3D, 0x81}, {0x3E, 0x84},
    {0x3F, 0x48}, {0x40, 0x97}, {0x5B, 0x6D}, {0x5C, 0x8F}, {0x5D, 0x6E}, {0x5E, 0x4F}, {0x5F, 0x51},
    {0x60, 0x4D}, {0x7B, 0x6F}, {0x7C, 0x62}, {0x7D, 0x70}, {0x7E, 0x50}, {0xA1, 0x42}, {0xA2, 0x75},
    {0xA3, 0x76}, {0xA4, 0x41}, {0xA5, 0x44}, {0xB0, 0x5B}, {0xDE, 0x4A}, {0xDF, 0x4B},
};

std::array<TWidthForm, 256> BuildFullWidthTable() {
  std::array<TWidthForm, 256> table{};
  for (int b = 0; b < 256; ++b) table[static_cast<size_t>(b)] = {1, static_cast<uint8_t>(b), 0};
  for (int b = 0x30; b <= 0x39; ++b) table[static_cast<size_t>(b)] = {2, 0x82, static_cast<uint8_t>(0x4F + b - 0x30)};
  for (int b = 0x41; b <= 0x5A; ++b) table[static_cast<size_t>(b)] = {2, 0x82, static_cast<uint8_t>(0x60 + b - 0x41)};
  for (int b = 0x61; b <= 0x7A; ++b) table[static_cast<size_t>(b)] = {2, 0x82, static_cast<uint8_t>(0x81 + b - 0x61)};
  for (const TSymbolForm& form : kSymbolForms) table[form.Byte] = {2, 0x81, form.Trail};
  for (size_t i = 0; i < kHalfWidthKanaCells.size(); ++i) {
    if (kHalfWidthKanaCells[i] != 0) table[0xA6 + i] = JisToShiftJis(kKatakanaRow, kHalfWidthKanaCells[i]);
  }
  return table;
}

const std::array<TWidthForm, 256>& FullWidthTable() {
  static const std::array<TWidthForm, 256> table = BuildFullWidthTable();
  return table;
}

// The voiced mark follows ｳ, ｶ-ﾄ and ﾊ-ﾎ; the semi-voiced mark only ﾊ-ﾎ (ｶﾟ is two characters).
bool Composes(uint8_t kana, uint8_t mark) {
  const bool hToHo = kana >= 0xCA && kana <= 0xCE;
  if (mark == 0xDE) return kana == 0xB3 || (kana >= 0xB6 && kana <= 0xC4) || hToHo;
  return mark == 0xDF && hToHo;
}

TWidthForm Composed(uint8_t kana, uint8_t mark) {
  if (kana == 0xB3) return {2, 0x83, 0x94};  // ヴ lies outside the +1 rule
  const uint8_t cell = kHalfWidthKanaCells[kana - 0xA6];
  return JisToShiftJis(kKatakanaRow, static_cast<uint8_t>(cell + (mark == 0xDE ? 1 : 2)));
}

// The capital a double-byte text character matches when case is ignored; itself when none.
std::pair<uint8_t, uint8_t> FoldCase(uint8_t lead, uint8_t trail) {
  switch (lead) {
    case 0x82:
      if (trail >= 0x81 && trail <= 0x9A) return {lead, static_cast<uint8_t>(trail - 0x21)};
      break;
    case 0x83:
      if (trail >= 0xBF && trail <= 0xD6) return {lead, static_cast<uint8_t>(trail - 0x20)};
      break;
    case 0x84:
      if (trail >= 0x70 && trail <= 0x7E) return {lead, static_cast<uint8_t>(trail - 0x30)};
      if (trail >= 0x80 && trail <= 0x91) return {lead, static_cast<uint8_t>(trail - 0x31)};
      break;
    case 0xEE:
      if (trail >= 0xEF && trail <= 0xF8) return {0x87, static_cast<uint8_t>(trail - 0x9B)};
      break;
    default:
      break;
  }
  return {lead, trail};
}

uint8_t UpperByte(uint8_t byte) { return byte >= 'a' && byte <= 'z' ? static_cast<uint8_t>(byte - 0x20) : byte; }

bool IsDelimiter(uint8_t byte) {
  return byte <= 0x2F || (byte >= 0x3A && byte <= 0x40) || (byte >= 0x5B && byte <= 0x60) ||
         (byte >= 0x7B && byte <= 0x80) || (byte >= 0xA0 && byte <= 0xA5) || byte >= 0xFD;
}

// ---- The search ----

enum : uint8_t { kSingle, kLead, kTrail };

class TSearcher {
 public:
  TSearcher(const char* buf, std::string_view pattern, TSearchOptions options, TSearchContext context);
  const char* Run(int32_t& selStart, int32_t& selLength);

 private:
  const char* RunForward(int32_t& selStart, int32_t& selLength);
  // Whether the pattern matches at candidate c; its length then goes to selLength.
  bool FoundAt(int64_t c, int64_t count, int32_t& selLength) const;
  // Whether byte p starts a character, from, at or before it, being known to.
  bool StartsCharacter(int64_t p, int64_t from) const;
  const char* RunBackwardByScan(int64_t c, int32_t& selLength) const;
  // The first character start after the character that holds byte p (from as above).
  int64_t NextCharacterStart(int64_t p, int64_t from) const;
  int CharBytes(int64_t pos) const { return IsLeadByte(FBuf[pos]) && pos + 1 < FLength ? 2 : 1; }
  uint8_t ByteAt(int64_t pos) const { return pos < FLength ? FBuf[pos] : 0; }
  bool IsTrail(int64_t pos) const { return pos >= 0 && pos < FLength && ClassAt(pos) == kTrail; }
  // A byte's class: from the classes made for whole words, or found from the bytes before it.
  uint8_t ClassAt(int64_t pos) const {
    if (!FClasses.empty()) return FClasses[static_cast<size_t>(pos)];
    if (pos >= FLength) return kSingle;
    if (!StartsCharacter(pos, 0)) return kTrail;
    return IsLeadByte(FBuf[pos]) ? kLead : kSingle;
  }
  // Past either end of the buffer the text may go on (a word cut by the buffer's edge).
  bool DelimiterAt(int64_t pos) const {
    if (pos < 0) return !FContext.WordBefore;
    if (pos >= FLength) return !FContext.WordAfter;
    return IsDelimiter(FBuf[pos]);
  }
  bool IsWordStart(int64_t pos) const { return !DelimiterAt(pos) && DelimiterAt(pos - 1); }
  void Classify();
  void BuildFirstByteFilter();
  int64_t BackwardStart(int64_t start) const;
  void MoveToWordStart(int64_t& c, int64_t& count) const;
  // The length matched at c (skipped bytes included), or -1.
  int64_t MatchAt(int64_t c, int64_t count) const;
  // Whether the text character at pos matches the pattern character at i; its bytes in textBytes.
  bool CharMatches(int64_t pos, size_t i, size_t patternBytes, int& textBytes) const;
  bool SingleMatches(uint8_t byte, uint8_t next, size_t i, size_t patternBytes, int& textBytes) const;
  size_t PatternCharBytes(size_t i) const {
    return IsLeadByte(static_cast<uint8_t>(FPattern[i])) && i + 1 < FPattern.size() ? 2 : 1;
  }

  const uint8_t* FBuf;
  int64_t FLength;
  std::string FPattern;
  int64_t FPatternChars = 0;
  bool FForward, FMatchCase, FWholeWord, FFoldWidth, FSpanLineBreaks, FSkipBlanks;
  TSearchContext FContext;
  std::vector<uint8_t> FClasses;
  int64_t FKnownBoundary = 0;
  bool FFilterBuilt = false;  // a character start found by an earlier forward run
  // Whether a character starting with this byte can match the pattern's first character:
  // a cheap test that rejects exactly the candidates the full comparison would reject at
  // its first character (nothing is skipped before the first character matches).
  std::array<bool, 256> FFirstByteMayMatch{};
  // The bytes the filter lets through, as a zero-terminated set for strcspn, when they
  // are few enough for the library's vectorised scan; empty otherwise.
  std::string FFirstBytes;
};

TSearcher::TSearcher(const char* buf, std::string_view pattern, TSearchOptions options, TSearchContext context)
    : FBuf(reinterpret_cast<const uint8_t*>(buf)),
      FLength(static_cast<int64_t>(std::strlen(buf))),
      FForward((options & soForward) != 0),
      FMatchCase((options & soMatchCase) != 0),
      FWholeWord((options & soWholeWord) != 0),
      FFoldWidth((options & soFoldWidth) != 0),
      FSpanLineBreaks((options & soSpanLineBreaks) != 0),
      FSkipBlanks((options & soSkipBlanks) != 0),
      FContext(context) {
  FPattern = pattern;
  if (!FMatchCase) {
    for (size_t i = 0; i < FPattern.size(); ++i) {
      const auto byte = static_cast<uint8_t>(FPattern[i]);
      if (IsLeadByte(byte)) {
        // Double-byte letters take their capitals as the text's do, so that a small
        // full-width letter in the pattern finds every form of itself.
        if (i + 1 < FPattern.size()) {
          const auto [lead, trail] = FoldCase(byte, static_cast<uint8_t>(FPattern[i + 1]));
          FPattern[i] = static_cast<char>(lead);
          FPattern[i + 1] = static_cast<char>(trail);
        }
        ++i;
      } else {
        FPattern[i] = static_cast<char>(UpperByte(byte));
      }
    }
  }
  if (FFoldWidth) {
    FPattern = ToFullWidth(FPattern);
    for (size_t i = 0; i < FPattern.size(); i += PatternCharBytes(i)) ++FPatternChars;
  }
}

void TSearcher::Classify() {
  if (!FClasses.empty()) return;  // a searcher run again keeps them
  FClasses.assign(static_cast<size_t>(FLength) + 1, kSingle);
  for (int64_t i = 0; i < FLength; ++i) {
    if (IsLeadByte(FBuf[i])) {
      FClasses[static_cast<size_t>(i)] = kLead;
      if (i + 1 < FLength) FClasses[static_cast<size_t>(++i)] = kTrail;
    }
  }
}

void TSearcher::BuildFirstByteFilter() {
  if (FFilterBuilt) return;  // a searcher run again keeps it
  FFilterBuilt = true;
  if (FPattern.empty()) {
    FFirstByteMayMatch.fill(true);
    return;
  }
  const size_t first = PatternCharBytes(0);
  const auto p0 = static_cast<uint8_t>(FPattern[0]);
  for (int b = 0; b < 256; ++b) {
    const auto byte = static_cast<uint8_t>(b);
    bool may = false;
    if (IsLeadByte(byte)) {
      // Only the lead changes when a double-byte character folds (0xEE to 0x87).
      may = first == 2 && (byte == p0 || (!FMatchCase && byte == 0xEE && p0 == 0x87));
    } else {
      int unused = 0;
      may = SingleMatches(byte, 0, 0, first, unused) ||
            (FFoldWidth && (SingleMatches(byte, 0xDE, 0, first, unused) || SingleMatches(byte, 0xDF, 0, first, unused)));
    }
    FFirstByteMayMatch[static_cast<size_t>(b)] = may;
  }
  for (int b = 1; b < 256; ++b) {
    if (FFirstByteMayMatch[static_cast<size_t>(b)]) FFirstBytes += static_cast<char>(b);
  }
  if (FFirstBytes.size() > 16) FFirstBytes.clear();
}

bool TSearcher::SingleMatches(uint8_t byte, uint8_t next, size_t i, size_t patternBytes, int& textBytes) const {
  textBytes = 1;
  const auto p0 = static_cast<uint8_t>(FPattern[i]);
  if (!FFoldWidth) return patternBytes == 1 && p0 == (FMatchCase ? byte : UpperByte(byte));
  TWidthForm form = FullWidthTable()[byte];
  if (Composes(byte, next)) {
    form = Composed(byte, next);
    textBytes = 2;
  }
  if (form.Size == 1) return patternBytes == 1 && p0 == byte;
  if (!FMatchCase && form.Lead == 0x82 && form.Trail >= 0x81 && form.Trail <= 0x9A) form.Trail -= 0x21;
  return patternBytes == 2 && p0 == form.Lead && static_cast<uint8_t>(FPattern[i + 1]) == form.Trail;
}

bool TSearcher::CharMatches(int64_t pos, size_t i, size_t patternBytes, int& textBytes) const {
  const uint8_t byte = FBuf[pos];
  if (IsLeadByte(byte) && pos + 1 < FLength) {
    textBytes = 2;
    if (patternBytes != 2) return false;
    const auto p0 = static_cast<uint8_t>(FPattern[i]);
    const auto p1 = static_cast<uint8_t>(FPattern[i + 1]);
    const uint8_t trail = FBuf[pos + 1];
    if (byte == p0 && trail == p1) return true;
    if (FMatchCase) return false;
    const auto [lead, folded] = FoldCase(byte, trail);
    return lead == p0 && folded == p1;
  }
  return SingleMatches(byte, ByteAt(pos + 1), i, patternBytes, textBytes);
}

int64_t TSearcher::MatchAt(int64_t c, int64_t count) const {
  // At the last candidate no word-start move was made: the candidate must be one itself.
  if (FWholeWord && count <= 0 && !IsWordStart(c)) return -1;
  size_t i = 0;
  int64_t matched = 0;
  int64_t skipped = 0;
  while (i < FPattern.size()) {
    const size_t patternBytes = PatternCharBytes(i);
    const int64_t pos = c + matched + skipped;
    if (pos >= FLength) return -1;
    int textBytes = 1;
    if (CharMatches(pos, i, patternBytes, textBytes)) {
      i += patternBytes;
      matched += textBytes;
      continue;
    }
    if (matched == 0) return -1;
    const uint8_t byte = FBuf[pos];
    if (FSpanLineBreaks && (byte == '\r' || byte == '\n')) {
      ++skipped;
    } else if (FSkipBlanks && (byte == '\t' || byte == ' ')) {
      ++skipped;
    } else if (FSkipBlanks && byte == 0x81 && ByteAt(pos + 1) == 0x40) {
      skipped += 2;
    } else {
      return -1;
    }
  }
  if (FWholeWord && !DelimiterAt(c + matched + skipped)) return -1;
  return matched + skipped;
}

// Count stays the number of candidates left: c itself backwards, last - c forwards.
void TSearcher::MoveToWordStart(int64_t& c, int64_t& count) const {
  if (FForward) {
    if (!IsWordStart(c)) {
      while (count > 0 && !DelimiterAt(c)) ++c, --count;
      while (count > 0 && DelimiterAt(c)) ++c, --count;
    }
    if (IsTrail(c)) ++c, --count;
    return;
  }
  while (count > 0 && DelimiterAt(c)) --c, --count;
  while (count > 0 && !DelimiterAt(c)) --c, --count;
  if (DelimiterAt(c)) ++c, ++count;  // onto the first byte of the word
  if (IsTrail(c)) --c, --count;
}

int64_t TSearcher::BackwardStart(int64_t start) const {
  if (!FFoldWidth) return start - static_cast<int64_t>(FPattern.size());
  // Back over as many characters as the pattern has; a composed kana is one of them.
  for (int64_t n = 0; n < FPatternChars; ++n) {
    --start;
    if (start > 0 && (IsTrail(start) || (ClassAt(start - 1) == kSingle &&
                                         Composes(FBuf[start - 1], FBuf[start])))) {
      --start;
    }
  }
  return start;
}

const char* TSearcher::Run(int32_t& selStart, int32_t& selLength) {
  if (selStart < 0 || selStart > FLength || selLength < 0) return nullptr;
  if (FForward && !FWholeWord) return RunForward(selStart, selLength);
  // Whole words look at classes everywhere; backwards only the candidates' are needed.
  if (FWholeWord) Classify();
  int64_t c = 0;
  int64_t count = 0;
  if (FForward) {
    c = int64_t{selStart} + selLength;
    if (c < FLength && IsTrail(c)) ++c;
    count = FLength - c - (FFoldWidth ? FPatternChars : static_cast<int64_t>(FPattern.size()));
    selStart = static_cast<int32_t>(c);
    if (count < 0) return nullptr;
  } else {
    c = BackwardStart(selStart);
    if (IsTrail(c)) --c;
    count = c;
    selStart = static_cast<int32_t>(c);
  }
  if (c < 0 || c > FLength) return nullptr;
  BuildFirstByteFilter();
  if (!FWholeWord) {
    // Backwards the candidates are the positions that are not second bytes, downwards.
    // The last byte always is one (a lead byte there compares alone).
    for (; c >= 0 && c + 1 >= FLength; --c) {
      if (ClassAt(c) != kTrail && FoundAt(c, c, selLength)) return reinterpret_cast<const char*>(FBuf + c);
    }
    if (!FFirstBytes.empty()) return RunBackwardByScan(c, selLength);
    for (; c >= 0; --c) {
      const bool may = FFirstByteMayMatch[ByteAt(c)] || c + 1 >= FLength;
      if (may && ClassAt(c) != kTrail && FoundAt(c, c, selLength)) {
        return reinterpret_cast<const char*>(FBuf + c);
      }
    }
    return nullptr;
  }
  const int64_t step = FForward ? 1 : -1;
  while (count >= 0) {
    if (count > 0) MoveToWordStart(c, count);
    if (FoundAt(c, count, selLength)) return reinterpret_cast<const char*>(FBuf + c);
    c += step;
    --count;
    if (IsTrail(c)) c += step, --count;
  }
  return nullptr;
}

// Forwards without whole words the characters can be walked from the start of the
// buffer, each candidate being the start of one: no byte classes are needed.
const char* TSearcher::RunForward(int32_t& selStart, int32_t& selLength) {
  const int64_t start = int64_t{selStart} + selLength;
  // Character starts are walked from the top; a run again goes on from the last one it found.
  int64_t c = start >= FKnownBoundary ? FKnownBoundary : 0;
  while (c < start && c < FLength) c += CharBytes(c);
  if (start >= FLength) {
    c = start;  // beyond the text: nothing to align to
  } else {
    FKnownBoundary = c;
  }
  const int64_t last = FLength - (FFoldWidth ? FPatternChars : static_cast<int64_t>(FPattern.size()));
  selStart = static_cast<int32_t>(c);
  if (c > last) return nullptr;
  BuildFirstByteFilter();
  // The tight part: every candidate but the last byte of the text, whose lead test differs.
  static const std::array<uint8_t, 256> steps = [] {
    std::array<uint8_t, 256> table{};
    for (int b = 0; b < 256; ++b) table[static_cast<size_t>(b)] = IsLeadByte(static_cast<uint8_t>(b)) ? 2 : 1;
    return table;
  }();
  const int64_t tightLast = std::min(last, FLength - 2);
  if (!FFirstBytes.empty() && c <= tightLast) {
    // The candidates are found by a scan for the pattern's possible first bytes; a byte
    // found counts only where a character starts, which the lead bytes just before it tell.
    while (true) {
      const int64_t p = c + static_cast<int64_t>(std::strcspn(reinterpret_cast<const char*>(FBuf + c), FFirstBytes.c_str()));
      if (p > tightLast) break;
      if (StartsCharacter(p, c) && FoundAt(p, last - p, selLength)) {
        FKnownBoundary = p;
        return reinterpret_cast<const char*>(FBuf + p);
      }
      c = NextCharacterStart(p, c);
    }
    // On to the first character start after the tight part (c may be past it already).
    if (c <= tightLast) c = NextCharacterStart(tightLast, c);
  }
  while (c <= tightLast) {
    const uint8_t byte = FBuf[c];
    if (FFirstByteMayMatch[byte] && FoundAt(c, last - c, selLength)) {
      FKnownBoundary = c;
      return reinterpret_cast<const char*>(FBuf + c);
    }
    c += steps[byte];
  }
  for (; c <= last; c += CharBytes(c)) {
    if (FoundAt(c, last - c, selLength)) {
      FKnownBoundary = c;
      return reinterpret_cast<const char*>(FBuf + c);
    }
  }
  return nullptr;
}

// The candidates found by the library's scan for each possible first byte, the nearest
// first: the same places, in the same order, as the byte-by-byte walk downwards.
const char* TSearcher::RunBackwardByScan(int64_t c, int32_t& selLength) const {
  const size_t kinds = FFirstBytes.size();
  std::array<int64_t, 16> nearest{};
  auto scan = [this](char byte, int64_t upTo) -> int64_t {
    if (upTo < 0) return -1;
    const void* found = memrchr(FBuf, byte, static_cast<size_t>(upTo) + 1);
    return found == nullptr ? -1 : static_cast<const uint8_t*>(found) - FBuf;
  };
  for (size_t i = 0; i < kinds; ++i) nearest[i] = scan(FFirstBytes[i], c);
  while (true) {
    const int64_t p = *std::max_element(nearest.begin(), nearest.begin() + static_cast<std::ptrdiff_t>(kinds));
    if (p < 0) return nullptr;
    if (ClassAt(p) != kTrail && FoundAt(p, p, selLength)) return reinterpret_cast<const char*>(FBuf + p);
    for (size_t i = 0; i < kinds; ++i) {
      if (nearest[i] == p) nearest[i] = scan(FFirstBytes[i], p - 1);
    }
  }
}

bool TSearcher::StartsCharacter(int64_t p, int64_t from) const {
  // Every byte from the last one that is no lead byte (which ends a character) up to p is
  // a lead byte: they pair off, so p starts a character when an even number precede it.
  int64_t q = p;
  while (q > from && IsLeadByte(FBuf[q - 1])) --q;
  return (p - q) % 2 == 0;
}

int64_t TSearcher::NextCharacterStart(int64_t p, int64_t from) const {
  // p itself, or the byte after it when p is the second byte of a character; then past it.
  const int64_t start = StartsCharacter(p, from) ? p : p - 1;
  return start + CharBytes(start);
}

bool TSearcher::FoundAt(int64_t c, int64_t count, int32_t& selLength) const {
  // A lead byte at the very end compares as a single byte: no shortcut there.
  if (!FFirstByteMayMatch[ByteAt(c)] && c + 1 < FLength) return false;
  const int64_t length = MatchAt(c, count);
  if (length < 0) return false;
  selLength = static_cast<int32_t>(length);
  return true;
}

}  // namespace

bool IsSearchWordDelimiter(unsigned char byte) { return IsDelimiter(byte); }

std::string ToFullWidth(std::string_view text) {
  std::string result;
  result.reserve(text.size() * 2);
  const auto& table = FullWidthTable();
  for (size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<uint8_t>(text[i]);
    if (IsLeadByte(byte)) {
      result += text.substr(i, 2);
      ++i;
      continue;
    }
    TWidthForm form = table[byte];
    if (i + 1 < text.size() && Composes(byte, static_cast<uint8_t>(text[i + 1]))) {
      form = Composed(byte, static_cast<uint8_t>(text[++i]));
    }
    result += static_cast<char>(form.Lead);
    if (form.Size == 2) result += static_cast<char>(form.Trail);
  }
  return result;
}

const char* SearchBuf(const char* buf, int32_t& selStart, int32_t& selLength, std::string_view pattern,
                      TSearchOptions options, TSearchContext context) {
  TSearcher searcher(buf, pattern, options, context);
  return searcher.Run(selStart, selLength);
}

std::vector<TSearchMatch> SearchAll(const char* buf, std::string_view pattern, TSearchOptions options) {
  std::vector<TSearchMatch> matches;
  if (pattern.empty() || buf == nullptr || *buf == '\0') return matches;
  // One searcher for every run: the text is measured and classified once.
  TSearcher searcher(buf, pattern, options | soForward, {});
  int32_t start = 0;
  int32_t length = 0;
  while (const char* found = searcher.Run(start, length)) {
    start = static_cast<int32_t>(found - buf);
    matches.push_back({start, length});
    if (length == 0) break;
  }
  return matches;
}

bool SearchText(const char* buf, int32_t& selStart, int32_t& selLength, std::string_view pattern,
                TSearchOptions options, TSearchContext context) {
  if (pattern.empty() || buf == nullptr || *buf == '\0') return false;
  const char* found = SearchBuf(buf, selStart, selLength, pattern, options, context);
  if (found == nullptr) return false;
  selStart = static_cast<int32_t>(found - buf);
  return true;
}

}  // namespace plomaret
