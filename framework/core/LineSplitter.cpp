#include "LineSplitter.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace plomaret {

namespace {

// The bits set in a 16-bit mask, without a library call where the CPU has no
// instruction for it.
inline int BitsSet(unsigned mask) {
  mask = mask - ((mask >> 1) & 0x5555u);
  mask = (mask & 0x3333u) + ((mask >> 2) & 0x3333u);
  mask = (mask + (mask >> 4)) & 0x0F0Fu;
  return static_cast<int>((mask + (mask >> 8)) & 0x1Fu);
}

inline bool IsLineBreakOrEnd(unsigned char byte) {
  return byte == '\n' || byte == '\r' || byte == 0 || byte == 26;
}

}  // namespace

const char* FindLineBreakOrEnd(const char* begin, const char* end) {
  const char* pos = begin;
#if defined(__SSE2__)
  // Sixteen bytes at a time: lines are tens of bytes long, and this scan is the
  // whole cost of loading a file.
  const __m128i lf = _mm_set1_epi8('\n');
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i nul = _mm_setzero_si128();
  const __m128i eof = _mm_set1_epi8(26);
  while (end - pos >= 16) {
    __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pos));
    __m128i hits = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(block, lf), _mm_cmpeq_epi8(block, cr)),
                                _mm_or_si128(_mm_cmpeq_epi8(block, nul), _mm_cmpeq_epi8(block, eof)));
    unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hits));
    if (mask != 0) return pos + __builtin_ctz(mask);
    pos += 16;
  }
#endif
  while (pos < end && !IsLineBreakOrEnd(static_cast<unsigned char>(*pos))) ++pos;
  return pos;
}

bool TLineCounter::FeedByte(char byte, int64_t offset) {
  switch (byte) {
    case '\0':
    case '\x1a':
      FStop = byte == '\0' ? TLineSplitter::spZeroByte : TLineSplitter::spCtrlZ;
      FStopOffset = offset;
      return false;
    case '\n':
      if (!FAfterCR) ++FLineEnds;
      FAfterCR = false;
      FInLine = false;
      return true;
    case '\r':
      ++FLineEnds;
      FAfterCR = true;
      FInLine = false;
      return true;
    default:
      FAfterCR = false;
      FInLine = true;
      return true;
  }
}

bool TLineCounter::Feed(const char* data, size_t size) {
  if (FStop != TLineSplitter::spNone) return false;
  size_t i = 0;
#if defined(__SSE2__)
  const __m128i lf = _mm_set1_epi8('\n');
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i nul = _mm_setzero_si128();
  const __m128i eof = _mm_set1_epi8(26);
  for (; size - i >= 16; i += 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
    const __m128i ends = _mm_or_si128(_mm_cmpeq_epi8(block, nul), _mm_cmpeq_epi8(block, eof));
    if (_mm_movemask_epi8(ends) != 0) break;  // the text ends in here: byte by byte
    const auto lfs = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, lf)));
    const auto crs = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, cr)));
    // An LF right after a CR (in this block or at the end of the last) ends no line.
    const unsigned afterCR = (crs << 1) | (FAfterCR ? 1u : 0u);
    FLineEnds += BitsSet(crs | (lfs & ~afterCR & 0xFFFFu));
    // Bytes after the block's last line end (or a block without one) are in a line.
    FInLine = ((lfs | crs) & 0x8000u) == 0;
    FAfterCR = (crs & 0x8000u) != 0;
  }
#endif
  for (; i < size; ++i) {
    if (!FeedByte(data[i], FOffset + static_cast<int64_t>(i))) {
      FOffset += static_cast<int64_t>(size);
      return false;
    }
  }
  FOffset += static_cast<int64_t>(size);
  return true;
}

}  // namespace plomaret
