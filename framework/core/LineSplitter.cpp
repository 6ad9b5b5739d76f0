#include "LineSplitter.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace plomaret {

namespace {

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

}  // namespace plomaret
