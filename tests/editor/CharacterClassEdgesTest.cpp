// Both ends of every Shift-JIS byte class the editor's text services use: the lead
// bytes, the editor's word delimiters, the search engine's word delimiters, the
// double-byte capitals a search folds to, the kana that take a voiced mark, the
// blanks a search may skip, tab stops and the cell-map limits. Each case names the
// first and last member of a range and the first non-member on either side, so an
// off-by-one at any edge shows.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "editor/EditorUtils.h"
#include "editor/LiteralSearch.h"
#include "editor/TextCells.h"
#include "editor/TextSearch.h"

namespace plomaret {
namespace {

using testing::Hex;

std::string Byte(int b) { return std::string(1, static_cast<char>(b)); }
std::string Bytes(int lead, int trail) { return Byte(lead) + Byte(trail); }

// An inclusive byte range.
struct TRange {
  int First;
  int Last;
};

bool InRanges(int b, const std::vector<TRange>& ranges) {
  for (const TRange& range : ranges) {
    if (b >= range.First && b <= range.Last) return true;
  }
  return false;
}

// Shift-JIS (CP932) lead bytes.
const std::vector<TRange> kLeadBytes = {{0x81, 0x9F}, {0xE0, 0xFC}};

TCellLayout Layout(int tab = 8, bool wrap = false, int wrapByte = 80) { return {tab, wrap, wrapByte, &DefaultDelimiters()}; }

// ---- Lead bytes ----

TEST(LeadByteEdges, ALeadByteTakesTheNextByteAndNoOtherByteDoes) {
  // The ends of both lead ranges and their neighbours; "A" follows as a would-be trail.
  for (int b : {0x80, 0x81, 0x9F, 0xA0, 0xDF, 0xE0, 0xFC, 0xFD}) {
    SCOPED_TRACE(Hex(Byte(b)));
    const bool lead = InRanges(b, kLeadBytes);
    const std::string text = Byte(b) + "A";
    EXPECT_EQ(IsLeadByteAt(text, 1), lead);
    EXPECT_EQ(IsTrailByteAt(text, 2), lead);
    EXPECT_EQ(CellMap(text, Layout()).substr(0, 2) == "45", lead);
    // The search never starts a match on a trail byte.
    int32_t start = 0;
    int32_t length = 0;
    EXPECT_EQ(SearchText(text.c_str(), start, length, "A", soForward | soMatchCase), !lead);
    EXPECT_EQ(ContainsAtCharBoundary("A", text), !lead);
  }
}

TEST(LeadByteEdges, AnyByteAfterALeadByteIsItsTrail) {
  // A lead byte takes the byte after it whatever that byte is: the ends of the usual
  // trail ranges and the bytes outside them alike.
  for (int trail : {0x09, 0x3F, 0x40, 0x7E, 0x7F, 0x80, 0xFC, 0xFD, 0xFF}) {
    SCOPED_TRACE(Hex(Byte(trail)));
    const std::string text = Bytes(0x81, trail) + "a";
    EXPECT_TRUE(IsTrailByteAt(text, 2));
    EXPECT_FALSE(IsLeadByteAt(text, 3)) << "the byte after the pair starts afresh";
    EXPECT_EQ(CellMap(text, Layout()), "451");
    EXPECT_EQ(DisplayWidth(text, Layout()), 3);
  }
}

// ---- The editor's word delimiters ----

TEST(DelimiterEdges, TheEditorsWordDelimitersAreExactlyTheirRanges) {
  // Bytes 0-47, 58-64, 91-94, 96, 123-128, 160-165 and 253-255; the underscore,
  // digits, letters, 129-159 and the half-width katakana are word characters.
  const std::vector<TRange> delimiters = {{0, 47}, {58, 64}, {91, 94}, {96, 96}, {123, 128}, {160, 165}, {253, 255}};
  for (int b = 0; b < 256; ++b) {
    EXPECT_EQ(DefaultDelimiters().test(static_cast<size_t>(b)), InRanges(b, delimiters)) << Hex(Byte(b));
  }
  // As cells: a single byte that is not a lead byte is "2" or "1" by the same set.
  for (int b : {47, 48, 57, 58, 64, 65, 90, 91, 94, 95, 96, 97, 122, 123, 128, 160, 165, 166, 223, 253, 255}) {
    const char expected = InRanges(b, delimiters) ? kCellDelimiter : kCellWord;
    EXPECT_EQ(CellMap(Byte(b), Layout()), std::string(1, expected)) << Hex(Byte(b));
  }
}

// ---- The search engine's word delimiters ----

TEST(DelimiterEdges, TheSearchWordDelimitersAreExactlyTheirRanges) {
  // Unlike the editor's set, the underscore ends a word here.
  const std::vector<TRange> delimiters = {{0x00, 0x2F}, {0x3A, 0x40}, {0x5B, 0x60},
                                          {0x7B, 0x80}, {0xA0, 0xA5}, {0xFD, 0xFF}};
  for (int b = 0; b < 256; ++b) {
    EXPECT_EQ(IsSearchWordDelimiter(static_cast<unsigned char>(b)), InRanges(b, delimiters)) << Hex(Byte(b));
  }
}

TEST(DelimiterEdges, AWholeWordEndsOnlyBeforeASearchDelimiter) {
  // "foo" then the byte, then " foo": the first is a whole word only when the byte
  // ends it. Bytes at the ends of the ranges and their neighbours (no lead bytes).
  for (int b : {0x2F, 0x30, 0x39, 0x3A, 0x40, 0x41, 0x5A, 0x5B, 0x5F, 0x60, 0x61, 0x7A, 0x7B, 0x80, 0xA0, 0xA5,
                0xA6, 0xDF, 0xFD, 0xFF}) {
    SCOPED_TRACE(Hex(Byte(b)));
    const std::string text = "foo" + Byte(b) + " foo";
    int32_t start = 0;
    int32_t length = 0;
    ASSERT_TRUE(SearchText(text.c_str(), start, length, "foo", soForward | soMatchCase | soWholeWord));
    EXPECT_EQ(start, IsSearchWordDelimiter(static_cast<unsigned char>(b)) ? 0 : 5);
  }
}

// ---- Case folding of double-byte letters ----

struct TFoldCase {
  int Lead, Trail;          // the text character
  int OtherLead, OtherTrail;  // a capital it matches, or would match with a range one wider
  bool Folds;
};

TEST(CaseFoldEdges, EachRangeFoldsFromItsFirstToItsLastLetterAndNoFurther) {
  const TFoldCase cases[] = {
      {0x82, 0x81, 0x82, 0x60, true}, {0x82, 0x9A, 0x82, 0x79, true},    // ａ Ａ, ｚ Ｚ
      {0x82, 0x80, 0x82, 0x5F, false}, {0x82, 0x9B, 0x82, 0x7A, false},  // around them
      {0x83, 0xBF, 0x83, 0x9F, true}, {0x83, 0xD6, 0x83, 0xB6, true},    // α Α, ω Ω
      {0x83, 0xBE, 0x83, 0x9E, false}, {0x83, 0xD7, 0x83, 0xB7, false},
      {0x84, 0x70, 0x84, 0x40, true}, {0x84, 0x7E, 0x84, 0x4E, true},    // а А, н Н
      {0x84, 0x80, 0x84, 0x4F, true}, {0x84, 0x91, 0x84, 0x60, true},    // о О, я Я
      {0x84, 0x6F, 0x84, 0x3F, false}, {0x84, 0x92, 0x84, 0x61, false},
      {0x84, 0x7F, 0x84, 0x4F, false}, {0x84, 0x7F, 0x84, 0x4E, false},  // 0x7F is no letter
      {0xEE, 0xEF, 0x87, 0x54, true}, {0xEE, 0xF8, 0x87, 0x5D, true},    // ⅰ Ⅰ, ⅹ Ⅹ
      {0xEE, 0xEE, 0x87, 0x53, false}, {0xEE, 0xF9, 0x87, 0x5E, false},
  };
  for (const TFoldCase& c : cases) {
    const std::string text = "x" + Bytes(c.Lead, c.Trail) + "y";
    const std::string other = Bytes(c.OtherLead, c.OtherTrail);
    SCOPED_TRACE(Hex(text) + "/ " + Hex(other));
    for (TSearchOptions width : {TSearchOptions{0}, soFoldWidth}) {
      int32_t start = 0;
      int32_t length = 0;
      EXPECT_EQ(SearchText(text.c_str(), start, length, other, soForward | width), c.Folds);
      if (c.Folds) {
        EXPECT_EQ((std::pair{start, length}), (std::pair{1, 2}));
      }
      start = length = 0;
      EXPECT_FALSE(SearchText(text.c_str(), start, length, other, soForward | soMatchCase | width));
    }
  }
}

TEST(CaseFoldEdges, OnlyTheLettersAToZFoldToCapitals) {
  // Pattern and text pairs around 'a' and 'z': '`' and '{' are no small letters, so
  // they never match '@' and '['.
  struct TCase {
    const char* Pattern;
    const char* Text;
    bool Found;
  };
  const TCase cases[] = {
      {"a", "A", true},   {"z", "Z", true},   {"A", "a", true},   {"Z", "z", true},   {"`", "@", false},
      {"@", "`", false},  {"{", "[", false},  {"[", "{", false},  {"~", "^", false},
  };
  for (const TCase& c : cases) {
    const std::string text = std::string("-") + c.Text + "-";
    int32_t start = 0;
    int32_t length = 0;
    EXPECT_EQ(SearchText(text.c_str(), start, length, c.Pattern, soForward), c.Found) << c.Pattern << " " << c.Text;
  }
}

// ---- Voiced and semi-voiced half-width kana ----

// Full-width katakana by their Shift-JIS codes, and the spacing marks.
const std::string kVoicedMark = "\x81\x4A";     // ゛
const std::string kSemiVoicedMark = "\x81\x4B";  // ゜

struct TComposeCase {
  std::string Half;
  std::string Full;
};

TEST(VoicedKanaEdges, OnlyUKaToToAndHaToHoComposeWithTheVoicedMark) {
  const TComposeCase cases[] = {
      {"\xB2\xDE", "\x83\x43" + kVoicedMark},  // ｲﾞ: イ and the mark
      {"\xB3\xDE", "\x83\x94"},                // ｳﾞ: ヴ
      {"\xB4\xDE", "\x83\x47" + kVoicedMark},  // ｴﾞ
      {"\xB5\xDE", "\x83\x49" + kVoicedMark},  // ｵﾞ
      {"\xB6\xDE", "\x83\x4B"},                // ｶﾞ: ガ
      {"\xC4\xDE", "\x83\x68"},                // ﾄﾞ: ド
      {"\xC5\xDE", "\x83\x69" + kVoicedMark},  // ﾅﾞ
      {"\xC9\xDE", "\x83\x6D" + kVoicedMark},  // ﾉﾞ
      {"\xCA\xDE", "\x83\x6F"},                // ﾊﾞ: バ
      {"\xCE\xDE", "\x83\x7B"},                // ﾎﾞ: ボ
      {"\xCF\xDE", "\x83\x7D" + kVoicedMark},  // ﾏﾞ
  };
  for (const TComposeCase& c : cases) EXPECT_EQ(Hex(ToFullWidth(c.Half)), Hex(c.Full)) << Hex(c.Half);
}

TEST(VoicedKanaEdges, OnlyHaToHoComposeWithTheSemiVoicedMark) {
  const TComposeCase cases[] = {
      {"\xB3\xDF", "\x83\x45" + kSemiVoicedMark},  // ｳﾟ
      {"\xC4\xDF", "\x83\x67" + kSemiVoicedMark},  // ﾄﾟ
      {"\xC9\xDF", "\x83\x6D" + kSemiVoicedMark},  // ﾉﾟ
      {"\xCA\xDF", "\x83\x70"},                    // ﾊﾟ: パ
      {"\xCE\xDF", "\x83\x7C"},                    // ﾎﾟ: ポ
      {"\xCF\xDF", "\x83\x7D" + kSemiVoicedMark},  // ﾏﾟ
      {"\xCA\xDD", "\x83\x6E\x83\x93"},            // ﾊﾝ: no mark, two characters
  };
  for (const TComposeCase& c : cases) EXPECT_EQ(Hex(ToFullWidth(c.Half)), Hex(c.Full)) << Hex(c.Half);
}

TEST(VoicedKanaEdges, AComposedPairIsOneCharacterOfTwoTextBytesBothWays) {
  const TSearchOptions fold = soFoldWidth | soMatchCase;
  for (const TComposeCase& c : {TComposeCase{"\xB6\xDE", "\x83\x4B"}, TComposeCase{"\xC4\xDE", "\x83\x68"},
                                TComposeCase{"\xCA\xDF", "\x83\x70"}, TComposeCase{"\xCE\xDF", "\x83\x7C"}}) {
    SCOPED_TRACE(Hex(c.Half));
    const std::string text = "xx" + c.Half + "yy";
    int32_t start = 0;
    int32_t length = 0;
    EXPECT_TRUE(SearchText(text.c_str(), start, length, c.Full, soForward | fold));
    EXPECT_EQ(start, 2);
    EXPECT_EQ(length, 2);
    // Backwards the pattern's one character steps back over both bytes of the pair.
    start = static_cast<int32_t>(text.size());
    length = 0;
    EXPECT_TRUE(SearchText(text.c_str(), start, length, c.Full + "yy", fold));
    EXPECT_EQ(start, 2);
    EXPECT_EQ(length, 4);
  }
  // Next to the sets the kana is found alone and the mark is left over.
  for (const std::string& half : {std::string("\xB5\xDE"), std::string("\xC5\xDE"), std::string("\xCF\xDF")}) {
    const std::string text = "xx" + half + "yy";
    const std::string kana = ToFullWidth(half.substr(0, 1));
    int32_t start = 0;
    int32_t length = 0;
    EXPECT_TRUE(SearchText(text.c_str(), start, length, kana, soForward | fold)) << Hex(half);
    EXPECT_EQ(length, 1) << Hex(half);
  }
}

TEST(WidthFoldEdges, BytesWithoutAFullWidthFormStayThemselves) {
  // Around the printable ASCII and the half-width katakana; lead bytes copy their pair.
  for (int b : {0x01, 0x1F, 0x7F, 0x80, 0xA0, 0xFD, 0xFF}) EXPECT_EQ(Hex(ToFullWidth(Byte(b))), Hex(Byte(b)));
  EXPECT_EQ(Hex(ToFullWidth(" ")), Hex("\x81\x40"));
  EXPECT_EQ(Hex(ToFullWidth("~")), Hex("\x81\x50"));
  EXPECT_EQ(Hex(ToFullWidth("\xA1")), Hex("\x81\x42"));  // ｡ 。
  EXPECT_EQ(Hex(ToFullWidth("\xDF")), Hex(kSemiVoicedMark));
  EXPECT_EQ(Hex(ToFullWidth("\x81\x41" "\xE0\x40" "\xFC\xFC")), Hex("\x81\x41" "\xE0\x40" "\xFC\xFC"));
}

// ---- Bytes a match may run over ----

TEST(SkippedByteEdges, OnlyTabSpaceAndTheFullWidthSpaceAreBlanks) {
  struct TCase {
    std::string Between;
    bool Skipped;
  };
  const TCase cases[] = {
      {"\x08", false}, {"\x09", true},  {"\x0A", false}, {"\x1F", false}, {"\x20", true},
      {"\x21", false}, {"\x81\x40", true}, {"\x81\x3F", false}, {"\x81\x41", false}, {"\x80\x40", false},
  };
  for (const TCase& c : cases) {
    const std::string text = "a" + c.Between + "b";
    int32_t start = 0;
    int32_t length = 0;
    EXPECT_EQ(SearchText(text.c_str(), start, length, "ab", soForward | soSkipBlanks), c.Skipped) << Hex(c.Between);
  }
}

TEST(SkippedByteEdges, OnlyCarriageReturnAndLineFeedAreLineBreaks) {
  for (int b : {0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x20}) {
    const std::string text = "a" + Byte(b) + "b";
    int32_t start = 0;
    int32_t length = 0;
    EXPECT_EQ(SearchText(text.c_str(), start, length, "ab", soForward | soSpanLineBreaks), b == 0x0A || b == 0x0D)
        << Hex(Byte(b));
  }
}

// ---- Tab stops, indents and the cell-map limits ----

TEST(TabStopEdges, ATabRunsToTheNextStopAndNeverAcrossTheWrapColumn) {
  struct TCase {
    int Column, Tab, WrapByte;
    bool Wrap;
    int Width;
  };
  const TCase cases[] = {
      {0, 8, 80, false, 8},  {7, 8, 80, false, 1},  {8, 8, 80, false, 8},  {9, 8, 80, false, 7},
      {3, 4, 80, false, 1},  {4, 4, 80, false, 4},  {1, 2, 80, false, 1},  {2, 2, 80, false, 2},
      {16, 8, 20, false, 8}, {16, 8, 20, true, 4},  {19, 8, 20, true, 1},  {20, 8, 20, true, 4},
      {21, 8, 20, true, 3},  {40, 8, 20, true, 8},  {79, 8, 80, true, 1},  {248, 8, 250, true, 2},
  };
  for (const TCase& c : cases) {
    const TCellLayout layout = Layout(c.Tab, c.Wrap, c.WrapByte);
    SCOPED_TRACE(::testing::Message() << "column " << c.Column << " tab " << c.Tab << " wrap " << c.Wrap);
    EXPECT_EQ(TabWidthAt(c.Column, layout), c.Width);
    const std::string text = std::string(static_cast<size_t>(c.Column), 'a') + "\t";
    EXPECT_EQ(DisplayWidth(text, layout), c.Column + c.Width);
    EXPECT_EQ(ExpandTabs(text, layout).size(), static_cast<size_t>(c.Column + c.Width));
    EXPECT_EQ(IndentWidth(std::string(static_cast<size_t>(c.Column), ' ') + "\tx", layout), c.Column + c.Width);
  }
}

TEST(IndentEdges, OnlyBlankTabAndTheFullWidthBlankIndent) {
  struct TCase {
    std::string Text;
    int Width;
  };
  const TCase cases[] = {
      {" ", 1},          {"\x1F", 0},         {"!", 0},           {"\x08", 0},       {"\x0A", 0},
      {" x", 1},         {"\x81\x40x", 2},    {"\x81\x3Fx", 0},   {"\x81\x41x", 0},  {"\x80\x40x", 0},
      {"\x82\x40x", 0},  {" \x81\x40\tx", 8}, {"\x81\x40\x81", 2},
  };
  for (const TCase& c : cases) EXPECT_EQ(IndentWidth(c.Text, Layout()), c.Width) << Hex(c.Text);
}

TEST(CellMapLimitEdges, TheMapStopsAtColumn1000OrThreePastTheWrapColumn) {
  // Without word wrap: 999, 1000 and 1001 bytes; a tab or a double-byte character
  // that reaches the limit is kept whole.
  EXPECT_EQ(CellMap(std::string(999, 'a'), Layout()).size(), 999u);
  EXPECT_EQ(CellMap(std::string(1000, 'a'), Layout()).size(), 1000u);
  EXPECT_EQ(CellMap(std::string(1001, 'a'), Layout()).size(), 1000u);
  EXPECT_EQ(CellMap(std::string(998, 'a') + "\x82\xA0" "b", Layout()).size(), 1000u);
  EXPECT_EQ(CellMap(std::string(999, 'a') + "\tb", Layout()).size(), 1000u) << "999 mod 8 leaves the tab one cell";
  EXPECT_EQ(CellMap(std::string(992, 'a') + "\tb", Layout()).size(), 1000u);
  const std::string crossing = CellMap(std::string(998, 'a') + "\tb", Layout(6));
  EXPECT_EQ(crossing.size(), 1002u) << "a tab from column 998 to the stop at 1002";
  EXPECT_EQ(crossing.back(), kCellTabFill);
  // With word wrap: WrapByte + 3 cells, at both ends of WrapByte's range.
  for (int wrapByte : {20, 21, 249, 250}) {
    const TCellLayout layout = Layout(8, true, wrapByte);
    const auto limit = static_cast<size_t>(wrapByte + 3);
    EXPECT_EQ(CellMap(std::string(limit - 1, 'a'), layout).size(), limit - 1) << wrapByte;
    EXPECT_EQ(CellMap(std::string(limit, 'a'), layout).size(), limit) << wrapByte;
    EXPECT_EQ(CellMap(std::string(limit + 1, 'a'), layout).size(), limit) << wrapByte;
  }
}

}  // namespace
}  // namespace plomaret
