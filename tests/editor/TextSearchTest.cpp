#include "editor/TextSearch.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace plomaret {
namespace {

struct THit {
  int32_t Start;
  int32_t Length;
  bool operator==(const THit&) const = default;
};

std::ostream& operator<<(std::ostream& out, const THit& hit) {
  return out << "{" << hit.Start << ", " << hit.Length << "}";
}

// The hit found from (start, length), or nothing.
std::optional<THit> Find(const std::string& text, const std::string& pattern, TSearchOptions options, int32_t start,
                         int32_t length = 0) {
  if (!SearchText(text.c_str(), start, length, pattern, options)) return std::nullopt;
  return THit{start, length};
}

constexpr TSearchOptions kForward = soForward;
constexpr TSearchOptions kBackward = 0;

TEST(TextSearch, ForwardStartsAfterTheCurrentHitAndBackwardBeforeThePattern) {
  const std::string text = "one two one two one";
  EXPECT_EQ(Find(text, "one", kForward, 0), (THit{0, 3}));
  EXPECT_EQ(Find(text, "one", kForward, 0, 3), (THit{8, 3})) << "the next one, not the same";
  EXPECT_EQ(Find(text, "one", kForward, 17), std::nullopt);
  // Backward: the last match starting at or before start - pattern length.
  EXPECT_EQ(Find(text, "one", kBackward, 19), (THit{16, 3}));
  EXPECT_EQ(Find(text, "one", kBackward, 18), (THit{8, 3}));
  EXPECT_EQ(Find(text, "one", kBackward, 2), std::nullopt);
  EXPECT_EQ(Find(text, "one", kBackward, 3), (THit{0, 3}));
}

TEST(TextSearch, BadPositionsAndEmptyInputsFindNothing) {
  EXPECT_EQ(Find("abc", "a", kForward, -1), std::nullopt);
  EXPECT_EQ(Find("abc", "a", kForward, 4), std::nullopt);
  EXPECT_EQ(Find("abc", "a", kForward, 0, -1), std::nullopt);
  EXPECT_EQ(Find("abc", "", kForward, 0), std::nullopt);
  EXPECT_EQ(Find("", "a", kForward, 0), std::nullopt);
  EXPECT_EQ(Find("abc", "abcd", kForward, 0), std::nullopt);
  EXPECT_EQ(Find("abc", "abcd", kBackward, 3), std::nullopt);
  // The text ends at its zero byte.
  EXPECT_EQ(Find(std::string("ab\0cd", 5), "cd", kForward, 0), std::nullopt);
}

TEST(TextSearch, CaseAndWidthFolding) {
  const std::string fullWidthAbc = "\x82\x60\x82\x61\x82\x62";  // ＡＢＣ
  const std::string smallFullWidthAbc = "\x82\x81\x82\x82\x82\x83";  // ａｂｃ
  EXPECT_EQ(Find("xABC", "abc", kForward, 0), (THit{1, 3}));
  EXPECT_EQ(Find("xABC", "abc", kForward | soMatchCase, 0), std::nullopt);
  EXPECT_EQ(Find("x" + fullWidthAbc, "abc", kForward, 0), std::nullopt);
  EXPECT_EQ(Find("x" + fullWidthAbc, "abc", kForward | soFoldWidth, 0), (THit{1, 6}));
  EXPECT_EQ(Find("x" + smallFullWidthAbc, "abc", kForward | soFoldWidth, 0), (THit{1, 6}));
  EXPECT_EQ(Find("x" + smallFullWidthAbc, "abc", kForward | soFoldWidth | soMatchCase, 0), (THit{1, 6}));
  EXPECT_EQ(Find("xabc", fullWidthAbc, kForward | soFoldWidth, 0), (THit{1, 3}));
  EXPECT_EQ(Find("xabc", fullWidthAbc, kForward | soFoldWidth | soMatchCase, 0), std::nullopt);

  // ガ finds the half-width pair ｶﾞ and itself, two bytes each, forwards and backwards.
  const std::string ga = "\x83\x4b";
  const std::string halfGa = "\xb6\xde";
  EXPECT_EQ(Find("x" + halfGa + "y" + ga, ga, kForward | soFoldWidth, 0), (THit{1, 2}));
  EXPECT_EQ(Find("x" + halfGa + "y" + ga, ga, kForward | soFoldWidth, 1, 2), (THit{4, 2}));
  EXPECT_EQ(Find(halfGa + halfGa, ga, kBackward | soFoldWidth, 4), (THit{2, 2}));
  EXPECT_EQ(Find("x" + halfGa, ga, kForward, 0), std::nullopt);
  // ｳﾞ is ヴ, ﾊﾟ is パ; ｶﾟ is カ and a separate mark, never キ.
  EXPECT_EQ(Find("\xb3\xde", "\x83\x94", kForward | soFoldWidth, 0), (THit{0, 2}));
  EXPECT_EQ(Find("\xca\xdf", "\x83\x70", kForward | soFoldWidth, 0), (THit{0, 2}));
  EXPECT_EQ(Find("\xb6\xdf", "\x83\x4c", kForward | soFoldWidth, 0), std::nullopt);
  EXPECT_EQ(Find("\xb6\xdf", "\x83\x4a\x81\x4b", kForward | soFoldWidth, 0), (THit{0, 2}));
  EXPECT_EQ(ToFullWidth("\xb6\xdf\xca\xdf\xb3\xde"), "\x83\x4a\x81\x4b\x83\x70\x83\x94");

  // Double-byte letters fold to their capitals unless case matters.
  struct TFold {
    std::string Small, Capital;
  };
  for (const TFold& fold : {TFold{"\x82\x9a", "\x82\x79"}, TFold{"\x83\xbf", "\x83\x9f"}, TFold{"\x84\x70", "\x84\x40"},
                            TFold{"\x84\x91", "\x84\x60"}, TFold{"\xee\xef", "\x87\x54"}, TFold{"\xee\xf8", "\x87\x5d"}}) {
    EXPECT_EQ(Find("x" + fold.Small, fold.Capital, kForward, 0), (THit{1, 2})) << fold.Capital;
    EXPECT_EQ(Find("x" + fold.Small, fold.Capital, kForward | soMatchCase, 0), std::nullopt) << fold.Capital;
    EXPECT_EQ(Find("x" + fold.Capital, fold.Small, kForward, 0), (THit{1, 2})) << "the pattern folds too";
    EXPECT_EQ(Find("x" + fold.Small, fold.Small, kForward | soFoldWidth, 0), (THit{1, 2})) << fold.Small;
    EXPECT_EQ(Find("x" + fold.Capital, fold.Small, kForward | soMatchCase, 0), std::nullopt) << fold.Small;
  }
  // A byte whose full-width form is itself matches the same byte.
  EXPECT_EQ(Find("a\x7f", "\x7f", kForward | soFoldWidth, 0), (THit{1, 1}));
  EXPECT_EQ(Find("a\xfd", "\xfd", kForward | soFoldWidth | soMatchCase, 0), (THit{1, 1}));
}

TEST(TextSearch, NeverStartsOnTheSecondByteOfACharacter) {
  const std::string text = "\x83\x41\x83\x41";  // アア: each second byte is "A"
  EXPECT_EQ(Find(text, "A", kForward, 0), std::nullopt);
  EXPECT_EQ(Find(text, "A", kBackward, 4), std::nullopt);
  EXPECT_EQ(Find(text, "\x41\x83", kForward, 0), std::nullopt);
  // A start on a second byte moves on to the next character.
  EXPECT_EQ(Find(text, "\x83\x41", kForward, 1), (THit{2, 2}));
  EXPECT_EQ(Find(text, "\x83\x41", kBackward, 3), (THit{0, 2}));
  // A text that ends after a first byte: that byte is a character of its own.
  EXPECT_EQ(Find("ab\x83", "\x83", kForward, 0), (THit{2, 1}));
  EXPECT_EQ(Find("ab\x83", "b", kBackward, 3), (THit{1, 1}));
}

TEST(TextSearch, MatchesRunOverLineBreaksAndBlanksButNeverStartOnThem) {
  EXPECT_EQ(Find("xx foo\r\nbar", "foobar", kForward | soSpanLineBreaks, 0), (THit{3, 8}));
  EXPECT_EQ(Find("xx foo\r\nbar", "foobar", kForward, 0), std::nullopt);
  EXPECT_EQ(Find("xx foo\r\nbar", "foobar", kBackward | soSpanLineBreaks, 11), (THit{3, 8}));
  EXPECT_EQ(Find("\r\nbar", "bar", kForward | soSpanLineBreaks, 0), (THit{2, 3}));
  EXPECT_EQ(Find("a b", "ab", kForward | soSkipBlanks, 0), (THit{0, 3}));
  EXPECT_EQ(Find("a\t \tb", "ab", kForward | soSkipBlanks, 0), (THit{0, 5}));
  EXPECT_EQ(Find("a\x81\x40" "b", "ab", kForward | soSkipBlanks, 0), (THit{0, 4}));
  EXPECT_EQ(Find("a\r\nb", "ab", kForward | soSkipBlanks, 0), std::nullopt) << "line breaks are not blanks";
  EXPECT_EQ(Find(" ab", "ab", kForward | soSkipBlanks, 0), (THit{1, 2}));
}

TEST(TextSearch, WholeWords) {
  EXPECT_EQ(Find("foobar bar", "bar", kForward | soWholeWord, 0), (THit{7, 3}));
  EXPECT_EQ(Find("foobar baz", "bar", kForward | soWholeWord, 0), std::nullopt);
  EXPECT_EQ(Find("foobar bar", "bar", kBackward | soWholeWord, 10), (THit{7, 3}));
  EXPECT_EQ(Find("bar barx", "bar", kBackward | soWholeWord, 8), (THit{0, 3}));
  EXPECT_EQ(Find("bar_x bar", "bar", kForward | soWholeWord, 0), (THit{0, 3})) << "the underscore ends a word";
  // The last candidate is a whole word too: not the end of a longer word, nor the start of one.
  EXPECT_EQ(Find("xfoo", "foo", kForward | soWholeWord, 0), std::nullopt);
  EXPECT_EQ(Find("foox", "foo", kBackward | soWholeWord, 4), std::nullopt);
  EXPECT_EQ(Find("x foo", "foo", kForward | soWholeWord, 0), (THit{2, 3}));
  EXPECT_EQ(Find("foo x", "foo", kBackward | soWholeWord, 5), (THit{0, 3}));
}

TEST(TextSearch, AWordGoingOnPastTheBufferIsNoWholeWordAtItsEdge) {
  auto find = [](const std::string& text, TSearchOptions options, int32_t start, TSearchContext context) {
    int32_t length = 0;
    return SearchText(text.c_str(), start, length, "foo", options | soWholeWord, context) ? start : -1;
  };
  EXPECT_EQ(find("foo x", soForward, 0, {}), 0);
  EXPECT_EQ(find("foo x", soForward, 0, {true, false}), -1) << "the word began before the buffer";
  EXPECT_EQ(find("foo foo", soForward, 0, {true, false}), 4);
  EXPECT_EQ(find("x foo", soForward, 0, {false, true}), -1) << "the word goes on after the buffer";
  EXPECT_EQ(find("foo x foo", kBackward, 9, {false, true}), 0);
  EXPECT_EQ(find("foo x", kBackward, 5, {true, false}), -1);
  EXPECT_EQ(find("foo", kBackward, 3, {}), 0);
  EXPECT_EQ(find("foo", kBackward, 3, {false, true}), -1);
  // Inside the buffer nothing changes.
  EXPECT_EQ(find("a foo b", soForward, 0, {true, true}), 2);
  EXPECT_EQ(find("a foo b", kBackward, 7, {true, true}), 2);
}

}  // namespace
}  // namespace plomaret

namespace plomaret {
namespace {

// Replace all's matches: one pass gives what searching again after each match gives.
TEST(TextSearch, SearchAllFindsWhatRepeatedSearchesFind) {
  struct TCase {
    const char* Text;
    const char* Pattern;
    TSearchOptions Options;
  };
  const TCase cases[] = {
      {"aaaa", "aa", 0},                            // no overlaps: 0 and 2
      {"beta Beta BETA betas", "beta", soWholeWord},  // words only, case folded
      {"beta Beta BETA", "beta", soMatchCase},
      {"\x82\xa0\x82\xa0\x82\xa0", "\xa0\x82", 0},  // never from a second byte
      {"ab\r\ncd ab\r\n\r\ncd", "abcd", soSpanLineBreaks},
      {"\x82\x60\x82\x61 AB ab", "AB", soFoldWidth},  // full-width ＡＢ too
      {"x y  z x", "xy", soSkipBlanks},
      {"", "a", 0},
      {"abc", "", 0},
  };
  for (const TCase& c : cases) {
    std::vector<TSearchMatch> again;
    int32_t start = 0;
    int32_t length = 0;
    while (SearchText(c.Text, start, length, c.Pattern, c.Options | soForward)) again.push_back({start, length});
    EXPECT_EQ(SearchAll(c.Text, c.Pattern, c.Options), again) << c.Text << " / " << c.Pattern;
  }
  EXPECT_EQ(SearchAll("aaaa", "aa", 0), (std::vector<TSearchMatch>{{0, 2}, {2, 2}}));
  EXPECT_EQ(SearchAll("beta Beta BETA betas", "beta", soWholeWord).size(), 3u);
}

}  // namespace
}  // namespace plomaret
