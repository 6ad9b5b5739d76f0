#pragma once
// Finding a pattern in Shift-JIS text, forwards or backwards, with case folding,
// whole words, half-width/full-width and voiced-kana folding, and matches that may
// run over line breaks or blanks. A match never starts on the second byte of a
// double-byte character.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace plomaret {

using TSearchOptions = uint16_t;
inline constexpr TSearchOptions soForward = 1;          // towards the end; clear: towards the start
inline constexpr TSearchOptions soMatchCase = 2;        // clear: ASCII and full-width letters fold
inline constexpr TSearchOptions soWholeWord = 4;        // matches start and end at word boundaries
inline constexpr TSearchOptions soFoldWidth = 8;        // half-width and full-width forms match
inline constexpr TSearchOptions soSpanLineBreaks = 128; // CR and LF inside a match are skipped
inline constexpr TSearchOptions soSkipBlanks = 256;     // tab, space, full-width space inside a match are skipped

// What lies beyond the buffer's ends when it is a piece of a longer text: whether a word
// goes on there (only whole-word matching looks). By default the buffer is the whole text.
struct TSearchContext {
  bool WordBefore = false;
  bool WordAfter = false;
};

// Searches buf, which ends at its first zero byte. selStart and selLength describe the
// current hit or caret on entry (a forward search starts after it); on success they
// are the match's offset and byte length (skipped bytes included). False for an empty
// pattern or text; when nothing is found selStart may have moved.
bool SearchText(const char* buf, int32_t& selStart, int32_t& selLength, std::string_view pattern,
                TSearchOptions options, TSearchContext context = {});

// The engine under SearchText: the match's position in buf, or nullptr.
const char* SearchBuf(const char* buf, int32_t& selStart, int32_t& selLength, std::string_view pattern,
                      TSearchOptions options, TSearchContext context = {});

// Every match a forward search finds, one after the other from the top, each search
// going on after the last match: what repeated SearchText calls find, in one pass.
struct TSearchMatch {
  int32_t Start;
  int32_t Length;
  bool operator==(const TSearchMatch&) const = default;
};
std::vector<TSearchMatch> SearchAll(const char* buf, std::string_view pattern, TSearchOptions options);

// Every single-byte character replaced by its full-width form, a half-width kana with
// its voiced or semi-voiced mark composed into one character, double-byte characters
// kept.
std::string ToFullWidth(std::string_view text);

// True for the bytes that end a word for soWholeWord (the underscore among them).
bool IsSearchWordDelimiter(unsigned char byte);

}  // namespace plomaret
