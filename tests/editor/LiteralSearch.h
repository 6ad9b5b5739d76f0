#pragma once
// A second, deliberately plain implementation of the search engine: byte by byte,
// every table written out on its own, no skipping ahead. It is slow on purpose; the
// fuzz target compares the real engine with it.

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "editor/TextSearch.h"

namespace plomaret::testing {

// Bytes as "82 A0 " for failure messages about Shift-JIS text.
inline std::string Hex(std::string_view bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char b : bytes) {
    out += kDigits[b >> 4];
    out += kDigits[b & 15];
    out += ' ';
  }
  return out;
}

namespace literal {

inline bool IsLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

inline bool IsWordDelimiter(unsigned char b) {
  return b <= 0x2F || (b >= 0x3A && b <= 0x40) || (b >= 0x5B && b <= 0x60) || (b >= 0x7B && b <= 0x80) ||
         (b >= 0xA0 && b <= 0xA5) || b >= 0xFD;
}

inline unsigned char Upper(unsigned char b) { return b >= 'a' && b <= 'z' ? static_cast<unsigned char>(b - 0x20) : b; }

inline std::string Bytes(int first, int second) {
  return {static_cast<char>(first), static_cast<char>(second)};
}

// The standard JIS X 0208 to Shift-JIS conversion of row, cell (both from 1).
inline std::string JisToShiftJis(int row, int cell) {
  const int j1 = 0x20 + row;
  const int j2 = 0x20 + cell;
  const int s1 = (j1 + 1) / 2 + (j1 <= 0x5E ? 0x70 : 0xB0);
  int s2;
  if (j1 % 2 == 1) {
    s2 = j2 + (j2 <= 0x5F ? 0x1F : 0x20);
  } else {
    s2 = j2 + 0x7E;
  }
  return Bytes(s1, s2);
}

// Cell in JIS X 0208 row 5 (katakana) of a half-width katakana; 0 for other bytes.
inline int KatakanaCell(unsigned char b) {
  switch (b) {
    case 0xA6: return 82;  // ｦ ヲ
    case 0xA7: return 1;   // ｧ ァ
    case 0xA8: return 3;
    case 0xA9: return 5;
    case 0xAA: return 7;
    case 0xAB: return 9;
    case 0xAC: return 67;  // ｬ ャ
    case 0xAD: return 69;
    case 0xAE: return 71;
    case 0xAF: return 35;  // ｯ ッ
    case 0xB1: return 2;   // ｱ ア
    case 0xB2: return 4;
    case 0xB3: return 6;
    case 0xB4: return 8;
    case 0xB5: return 10;
    case 0xB6: return 11;  // ｶ カ
    case 0xB7: return 13;
    case 0xB8: return 15;
    case 0xB9: return 17;
    case 0xBA: return 19;
    case 0xBB: return 21;  // ｻ サ
    case 0xBC: return 23;
    case 0xBD: return 25;
    case 0xBE: return 27;
    case 0xBF: return 29;
    case 0xC0: return 31;  // ﾀ タ
    case 0xC1: return 33;
    case 0xC2: return 36;  // ﾂ ツ (after the small ッ)
    case 0xC3: return 38;
    case 0xC4: return 40;
    case 0xC5: return 42;  // ﾅ ナ
    case 0xC6: return 43;
    case 0xC7: return 44;
    case 0xC8: return 45;
    case 0xC9: return 46;
    case 0xCA: return 47;  // ﾊ ハ
    case 0xCB: return 50;
    case 0xCC: return 53;
    case 0xCD: return 56;
    case 0xCE: return 59;
    case 0xCF: return 62;  // ﾏ マ
    case 0xD0: return 63;
    case 0xD1: return 64;
    case 0xD2: return 65;
    case 0xD3: return 66;
    case 0xD4: return 68;  // ﾔ ヤ
    case 0xD5: return 70;
    case 0xD6: return 72;
    case 0xD7: return 73;  // ﾗ ラ
    case 0xD8: return 74;
    case 0xD9: return 75;
    case 0xDA: return 76;
    case 0xDB: return 77;
    case 0xDC: return 79;  // ﾜ ワ
    case 0xDD: return 83;  // ﾝ ン
    default: return 0;
  }
}

// The full-width form of one byte: two bytes, or the byte itself.
inline std::string FullWidthOf(unsigned char b) {
  if (b >= '0' && b <= '9') return Bytes(0x82, 0x4F + (b - '0'));
  if (b >= 'A' && b <= 'Z') return Bytes(0x82, 0x60 + (b - 'A'));
  if (b >= 'a' && b <= 'z') return Bytes(0x82, 0x81 + (b - 'a'));
  switch (b) {
    case 0x20: return Bytes(0x81, 0x40);
    case 0x21: return Bytes(0x81, 0x49);
    case 0x22: return Bytes(0x81, 0x68);
    case 0x23: return Bytes(0x81, 0x94);
    case 0x24: return Bytes(0x81, 0x90);
    case 0x25: return Bytes(0x81, 0x93);
    case 0x26: return Bytes(0x81, 0x95);
    case 0x27: return Bytes(0x81, 0x66);
    case 0x28: return Bytes(0x81, 0x69);
    case 0x29: return Bytes(0x81, 0x6A);
    case 0x2A: return Bytes(0x81, 0x96);
    case 0x2B: return Bytes(0x81, 0x7B);
    case 0x2C: return Bytes(0x81, 0x43);
    case 0x2D: return Bytes(0x81, 0x7C);
    case 0x2E: return Bytes(0x81, 0x44);
    case 0x2F: return Bytes(0x81, 0x5E);
    case 0x3A: return Bytes(0x81, 0x46);
    case 0x3B: return Bytes(0x81, 0x47);
    case 0x3C: return Bytes(0x81, 0x83);
    case 0x3D: return Bytes(0x81, 0x81);
    case 0x3E: return Bytes(0x81, 0x84);
    case 0x3F: return Bytes(0x81, 0x48);
    case 0x40: return Bytes(0x81, 0x97);
    case 0x5B: return Bytes(0x81, 0x6D);
    case 0x5C: return Bytes(0x81, 0x8F);
    case 0x5D: return Bytes(0x81, 0x6E);
    case 0x5E: return Bytes(0x81, 0x4F);
    case 0x5F: return Bytes(0x81, 0x51);
    case 0x60: return Bytes(0x81, 0x4D);
    case 0x7B: return Bytes(0x81, 0x6F);
    case 0x7C: return Bytes(0x81, 0x62);
    case 0x7D: return Bytes(0x81, 0x70);
    case 0x7E: return Bytes(0x81, 0x50);
    case 0xA1: return Bytes(0x81, 0x42);
    case 0xA2: return Bytes(0x81, 0x75);
    case 0xA3: return Bytes(0x81, 0x76);
    case 0xA4: return Bytes(0x81, 0x41);
    case 0xA5: return Bytes(0x81, 0x44);
    case 0xB0: return Bytes(0x81, 0x5B);
    case 0xDE: return Bytes(0x81, 0x4A);
    case 0xDF: return Bytes(0x81, 0x4B);
    default: break;
  }
  if (KatakanaCell(b) != 0) return JisToShiftJis(5, KatakanaCell(b));
  return std::string(1, static_cast<char>(b));
}

// Whether a kana byte and the mark after it make one full-width character.
inline bool Composes(unsigned char kana, unsigned char mark) {
  const bool voicedSet = (kana >= 0xB6 && kana <= 0xC4) || (kana >= 0xCA && kana <= 0xCE);
  if (mark == 0xDE) return kana == 0xB3 || voicedSet;
  if (mark == 0xDF) return kana >= 0xCA && kana <= 0xCE;
  return false;
}

inline std::string Composed(unsigned char kana, unsigned char mark) {
  if (kana == 0xB3) return Bytes(0x83, 0x94);  // ヴ sits outside the +1 pattern
  return JisToShiftJis(5, KatakanaCell(kana) + (mark == 0xDE ? 1 : 2));
}

// The capital a double-byte character matches when case is ignored; false when it has none.
inline bool CaseFold(unsigned char lead, unsigned char trail, unsigned char& foldedLead, unsigned char& foldedTrail) {
  foldedLead = lead;
  if (lead == 0x82 && trail >= 0x81 && trail <= 0x9A) {
    foldedTrail = trail - 0x21;
    return true;
  }
  if (lead == 0x83 && trail >= 0xBF && trail <= 0xD6) {
    foldedTrail = trail - 0x20;
    return true;
  }
  if (lead == 0x84 && trail >= 0x70 && trail <= 0x7E) {
    foldedTrail = trail - 0x30;
    return true;
  }
  if (lead == 0x84 && trail >= 0x80 && trail <= 0x91) {
    foldedTrail = trail - 0x31;
    return true;
  }
  if (lead == 0xEE && trail >= 0xEF && trail <= 0xF8) {
    foldedLead = 0x87;
    foldedTrail = trail - 0xEF + 0x54;
    return true;
  }
  return false;
}

enum TByteClass : char { bcSingle, bcLead, bcTrail };

// Byte classes from the start; a lead byte with nothing after it stays bcLead but is
// compared as one byte.
inline std::vector<TByteClass> ClassifyBytes(const char* buf, int64_t bufLen) {
  std::vector<TByteClass> classes(static_cast<size_t>(bufLen), bcSingle);
  int64_t k = 0;
  while (k < bufLen) {
    if (IsLeadByte(static_cast<unsigned char>(buf[k]))) {
      classes[k] = bcLead;
      if (k + 1 < bufLen) classes[k + 1] = bcTrail;
      k += 2;
    } else {
      k += 1;
    }
  }
  return classes;
}

}  // namespace literal

inline std::string LiteralToFullWidth(std::string_view text) {
  using namespace literal;
  std::string out;
  size_t i = 0;
  while (i < text.size()) {
    const unsigned char b = static_cast<unsigned char>(text[i]);
    const bool hasNext = i + 1 < text.size();
    if (IsLeadByte(b) && hasNext) {
      out += text[i];
      out += text[i + 1];
      i += 2;
    } else if (hasNext && Composes(b, static_cast<unsigned char>(text[i + 1]))) {
      out += Composed(b, static_cast<unsigned char>(text[i + 1]));
      i += 2;
    } else {
      out += FullWidthOf(b);
      i += 1;
    }
  }
  return out;
}

// wordBefore, wordAfter: a word goes on past the buffer's start or end (the buffer is a
// piece of a longer text).
inline const char* LiteralSearchBuf(const char* buf, int32_t& selStart, int32_t& selLength, std::string_view pattern,
                                    uint16_t options, bool wordBefore = false, bool wordAfter = false) {
  using namespace literal;
  const bool forward = (options & soForward) != 0;
  const bool matchCase = (options & soMatchCase) != 0;
  const bool wholeWord = (options & soWholeWord) != 0;
  const bool foldWidth = (options & soFoldWidth) != 0;
  const bool spanLineBreaks = (options & soSpanLineBreaks) != 0;
  const bool skipBlanks = (options & soSkipBlanks) != 0;

  const int64_t bufLen = static_cast<int64_t>(std::strlen(buf));
  if (selStart < 0 || selStart > bufLen || selLength < 0) return nullptr;
  // Only offsets 0..bufLen are ever read; bufLen is the terminating zero.
  auto at = [&](int64_t k) { return static_cast<unsigned char>(buf[k]); };

  // Upper-case the pattern: single-byte letters, and double-byte ones by the same
  // fold as the text.
  std::string p;
  if (matchCase) {
    p = std::string(pattern);
  } else {
    size_t i = 0;
    while (i < pattern.size()) {
      if (IsLeadByte(static_cast<unsigned char>(pattern[i])) && i + 1 < pattern.size()) {
        const auto lead = static_cast<unsigned char>(pattern[i]);
        const auto trail = static_cast<unsigned char>(pattern[i + 1]);
        unsigned char foldedLead = lead;
        unsigned char foldedTrail = trail;
        CaseFold(lead, trail, foldedLead, foldedTrail);
        p += static_cast<char>(foldedLead);
        p += static_cast<char>(foldedTrail);
        i += 2;
      } else {
        p += static_cast<char>(Upper(static_cast<unsigned char>(pattern[i])));
        i += 1;
      }
    }
  }
  int64_t patternLength = static_cast<int64_t>(p.size());
  int64_t patternChars = 0;
  if (foldWidth) {
    p = LiteralToFullWidth(p);
    patternLength = static_cast<int64_t>(p.size());
    int64_t i = 0;
    while (i < patternLength) {
      i += IsLeadByte(static_cast<unsigned char>(p[i])) && i + 1 < patternLength ? 2 : 1;
      patternChars += 1;
    }
  }
  auto patternByte = [&](int64_t i) { return static_cast<unsigned char>(p[i]); };

  const std::vector<TByteClass> classes = ClassifyBytes(buf, bufLen);
  auto isTrail = [&](int64_t k) { return k >= 0 && k < bufLen && classes[k] == bcTrail; };
  auto delimiterAt = [&](int64_t k) {
    if (k < 0) return !wordBefore;
    if (k >= bufLen) return !wordAfter;
    return IsWordDelimiter(at(k));
  };
  auto isWordStart = [&](int64_t k) { return !delimiterAt(k) && delimiterAt(k - 1); };

  int64_t start = selStart;
  int64_t count = 0;
  if (forward) {
    start = start + selLength;
    if (start < bufLen && isTrail(start)) start += 1;
    count = bufLen - start - (foldWidth ? patternChars : patternLength);
    if (count < 0) return nullptr;
  } else {
    if (!foldWidth) {
      start -= patternLength;
    } else {
      for (int64_t r = 0; r < patternChars; ++r) {
        start -= 1;
        if (start > 0 &&
            (isTrail(start) || (classes[start - 1] == bcSingle && Composes(at(start - 1), at(start))))) {
          start -= 1;
        }
      }
    }
    if (start >= 0 && isTrail(start)) start -= 1;
    count = start;
  }
  if (start < 0 || start > bufLen) return nullptr;

  // The comparison at c; on success the matched length, skipped bytes included.
  auto compareAt = [&](int64_t c, int64_t countHere, int64_t& length) {
    if (wholeWord && countHere == 0 && !isWordStart(c)) return false;
    int64_t i = 0;
    int64_t t = 0;
    int64_t s = 0;
    while (i < patternLength) {
      const int64_t pl = IsLeadByte(patternByte(i)) && i + 1 < patternLength ? 2 : 1;
      const int64_t pos = c + t + s;
      if (pos >= bufLen) return false;
      const unsigned char b = at(pos);
      const int64_t tl = classes[pos] == bcLead && pos + 1 < bufLen ? 2 : 1;
      int64_t consumed = tl;
      bool match = false;
      if (tl == 2) {
        const unsigned char b2 = at(pos + 1);
        match = pl == 2 && patternByte(i) == b && patternByte(i + 1) == b2;
        unsigned char foldedLead = 0;
        unsigned char foldedTrail = 0;
        if (!match && !matchCase && CaseFold(b, b2, foldedLead, foldedTrail)) {
          match = pl == 2 && patternByte(i) == foldedLead && patternByte(i + 1) == foldedTrail;
        }
      } else if (foldWidth) {
        std::string form;
        if (pos + 1 < bufLen && Composes(b, at(pos + 1))) {
          form = Composed(b, at(pos + 1));
          consumed = 2;
        } else {
          form = FullWidthOf(b);
        }
        if (!matchCase && form.size() == 2 && static_cast<unsigned char>(form[0]) == 0x82 &&
            static_cast<unsigned char>(form[1]) >= 0x81 && static_cast<unsigned char>(form[1]) <= 0x9A) {
          form[1] = static_cast<char>(static_cast<unsigned char>(form[1]) - 0x21);
        }
        match = static_cast<int64_t>(form.size()) == pl && p.compare(static_cast<size_t>(i), static_cast<size_t>(pl), form) == 0;
      } else if (matchCase) {
        match = pl == 1 && patternByte(i) == b;
      } else {
        match = pl == 1 && patternByte(i) == Upper(b);
      }
      if (match) {
        i += pl;
        t += consumed;
        continue;
      }
      if (t == 0) return false;
      if (spanLineBreaks && (b == '\r' || b == '\n')) {
        s += 1;
      } else if (skipBlanks && (b == '\t' || b == ' ')) {
        s += 1;
      } else if (skipBlanks && tl == 2 && b == 0x81 && at(pos + 1) == 0x40) {
        s += 2;
      } else {
        return false;
      }
    }
    if (wholeWord && !delimiterAt(c + t + s)) return false;
    length = t + s;
    return true;
  };

  const int64_t step = forward ? 1 : -1;
  int64_t c = start;
  while (count >= 0) {
    if (wholeWord && count > 0) {
      // Count stays the distance to the last candidate, whichever way c moves.
      if (forward) {
        if (!isWordStart(c)) {
          while (count > 0 && !delimiterAt(c)) {
            c += 1;
            count -= 1;
          }
          while (count > 0 && delimiterAt(c)) {
            c += 1;
            count -= 1;
          }
        }
        if (isTrail(c)) {
          c += 1;
          count -= 1;
        }
      } else {
        while (count > 0 && delimiterAt(c)) {
          c -= 1;
          count -= 1;
        }
        while (count > 0 && !delimiterAt(c)) {
          c -= 1;
          count -= 1;
        }
        if (delimiterAt(c)) {
          c += 1;
          count += 1;
        }
        if (isTrail(c)) {
          c -= 1;
          count -= 1;
        }
      }
    }
    int64_t length = 0;
    if (compareAt(c, count, length)) {
      selLength = static_cast<int32_t>(length);
      return buf + c;
    }
    c += step;
    count -= 1;
    if (isTrail(c)) {
      c += step;
      count -= 1;
    }
  }
  return nullptr;
}

inline bool LiteralSearchText(const char* buf, int32_t& selStart, int32_t& selLength, std::string_view pattern,
                              uint16_t options, bool wordBefore = false, bool wordAfter = false) {
  if (pattern.empty() || buf[0] == '\0') return false;
  const char* found = LiteralSearchBuf(buf, selStart, selLength, pattern, options, wordBefore, wordAfter);
  if (found == nullptr) return false;
  selStart = static_cast<int32_t>(found - buf);
  return true;
}

}  // namespace plomaret::testing
