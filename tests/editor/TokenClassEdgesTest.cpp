// Both ends of every byte class of the fountain parser: which scanner a byte starts,
// where each run of digits, letters, kana and kanji begins and ends, which bytes are
// blanks, and which characters words, numbers, mail addresses and URLs are made of.
// The expected classes are written out from Shift-JIS (CP932), never taken from the
// parser's own tables.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FountainTestSupport.h"
#include "editor/EditorFountain.h"
#include "editor/LiteralSearch.h"

namespace plomaret {
namespace {

using testing::Hex;
using testing::TToken;
using Toks = std::vector<TToken>;

std::string Byte(int b) { return std::string(1, static_cast<char>(b)); }
std::string Bytes(int lead, int trail) { return Byte(lead) + Byte(trail); }

// The base parser: no brackets, comments, strings, mail addresses or URLs.
TTokenParser& BaseParser() {
  static TOwned<TTokenParser> parser = Create<TTokenParser>();
  return *parser;
}

// The state of a row that begins inside a token of this kind which the row rescans
// from its start.
TRowAttributeData Continuing(TTokenKind kind) {
  TRowAttributeData data = StartRowAttributeData();
  data.TokenKind = kind;
  return data;
}

// The first token of text, scanned from data.
TToken FirstToken(TFountainParser& parser, const std::string& text, const TRowAttributeData& data) {
  parser.NewData(text.c_str(), data);
  const TTokenKind kind = parser.NextToken();
  return {kind, parser.TokenString()};
}

// ---- Which scanner a byte starts ----

struct TStartCase {
  std::string Text;
  Toks Expected;
};

// The tokens of text, at most one more than it has bytes: a scanner that takes
// nothing where it should take a byte fails here instead of looping.
Toks TokensOf(const std::string& text) {
  Toks tokens;
  BaseParser().NewData(text.c_str(), StartRowAttributeData());
  for (TTokenKind kind = BaseParser().NextToken(); kind != toEof && tokens.size() <= text.size();
       kind = BaseParser().NextToken()) {
    tokens.push_back({kind, BaseParser().TokenString()});
  }
  return tokens;
}

void ExpectTokens(const std::vector<TStartCase>& cases) {
  for (const TStartCase& c : cases) EXPECT_EQ(TokensOf(c.Text), c.Expected) << Hex(c.Text);
}

TEST(TokenClassEdges, SingleBytesAroundDigitsLettersAndTheUnderscore) {
  ExpectTokens({
      {"/", {{toSymbol, "/"}}},  {"0", {{toInteger, "0"}}}, {"9", {{toInteger, "9"}}}, {":", {{toSymbol, ":"}}},
      {"@", {{toSymbol, "@"}}},  {"A", {{toAnk, "A"}}},     {"Z", {{toAnk, "Z"}}},     {"[", {{toSymbol, "["}}},
      {"^", {{toSymbol, "^"}}},  {"_", {{toAnk, "_"}}},     {"`", {{toSymbol, "`"}}},  {"a", {{toAnk, "a"}}},
      {"z", {{toAnk, "z"}}},     {"{", {{toSymbol, "{"}}},  {"\x7F", {{toSymbol, "\x7F"}}},
  });
}

TEST(TokenClassEdges, HighBytesAroundTheLeadAndKanaRanges) {
  ExpectTokens({
      {"\x80", {{toSymbol, "\x80"}}},
      {"\x81\x40", {{toDBSymbol, "\x81\x40"}}},
      {"\x84\x40", {{toDBSymbol, "\x84\x40"}}},
      {"\x87\x40", {{toDBSymbol, "\x87\x40"}}},
      {"\x88\x9F", {{toDBKanji, "\x88\x9F"}}},  // 亜
      {"\x9F\xFC", {{toDBKanji, "\x9F\xFC"}}},
      {"\xA0", {{toSymbol, "\xA0"}}},
      {"\xA1", {{toKanaSymbol, "\xA1"}}},
      {"\xA5", {{toKanaSymbol, "\xA5"}}},
      {"\xA6", {{toKana, "\xA6"}}},
      {"\xDF", {{toKana, "\xDF"}}},
      {"\xE0\x40", {{toDBKanji, "\xE0\x40"}}},
      {"\xFC\xFC", {{toDBKanji, "\xFC\xFC"}}},
      {"\xFD", {{toSymbol, "\xFD"}}},
      {"\xFF", {{toSymbol, "\xFF"}}},
  });
}

TEST(TokenClassEdges, BlanksAreEveryControlByteButNulAndTabAndTheSpace) {
  for (int b = 0x01; b <= 0x21; ++b) {
    const std::string text = "a" + Byte(b) + "b";
    Toks expected = {{toAnk, "a"}, {toAnk, "b"}};
    if (b == 0x09) expected = {{toAnk, "a"}, {toTab, "\t"}, {toAnk, "b"}};
    if (b == 0x21) expected = {{toAnk, "a"}, {toSymbol, "!"}, {toAnk, "b"}};
    EXPECT_EQ(TokensOf(text), expected) << Hex(Byte(b));
  }
  EXPECT_EQ(TokensOf(std::string("a\0b", 3)), (Toks{{toAnk, "a"}})) << "a zero ends the text";
}

// ---- Double-byte characters under 0x82 and 0x83 ----

TEST(TokenClassEdges, TheTrailDecidesTheKindUnder0x82And0x83) {
  struct TCase {
    int Lead, Trail;
    TTokenKind Kind;
  };
  const TCase cases[] = {
      {0x82, 0x40, toDBSymbol},    {0x82, 0x4E, toDBSymbol},    {0x82, 0x4F, toDBDigit},     // ０
      {0x82, 0x58, toDBDigit},     {0x82, 0x59, toDBSymbol},    {0x82, 0x5F, toDBSymbol},    // ９
      {0x82, 0x60, toDBAlpha},     {0x82, 0x79, toDBAlpha},     {0x82, 0x7A, toDBSymbol},    // Ａ Ｚ
      {0x82, 0x80, toDBSymbol},    {0x82, 0x81, toDBAlpha},     {0x82, 0x9A, toDBAlpha},     // ａ ｚ
      {0x82, 0x9B, toDBSymbol},    {0x82, 0x9E, toDBSymbol},    {0x82, 0x9F, toDBHiragana},  // ぁ
      {0x82, 0xF1, toDBHiragana},  {0x82, 0xF2, toDBSymbol},    {0x82, 0xFC, toDBSymbol},    // ん
      {0x83, 0x40, toDBKatakana},  {0x83, 0x96, toDBKatakana},  {0x83, 0x97, toDBSymbol},    // ァ ヶ
      {0x83, 0xF0, toDBSymbol},
  };
  for (const TCase& c : cases) {
    const std::string text = Bytes(c.Lead, c.Trail);
    EXPECT_EQ(TokensOf(text), (Toks{{c.Kind, text}})) << Hex(text);
  }
  // A trail outside every range makes no character: the lead byte is taken alone and
  // the token keeps the kind of the one before it.
  for (const std::string& text : {Bytes(0x82, 0x3F), Bytes(0x83, 0x3F), Bytes(0x83, 0xF1)}) {
    const Toks tokens = TokensOf("x" + text);
    ASSERT_GE(tokens.size(), 2u) << Hex(text);
    EXPECT_EQ(tokens[1], (TToken{toAnk, text.substr(0, 1)})) << Hex(text);
  }
}

TEST(TokenClassEdges, RunsTakeBothEndsOfTheirRangeAndStopJustOutside) {
  ExpectTokens({
      // ０９ and the full-width comma and full stop; not 。 or ・.
      {"\x82\x4E\x82\x4F\x82\x58\x81\x43\x81\x44\x82\x59",
       {{toDBSymbol, "\x82\x4E"}, {toDBDigit, "\x82\x4F\x82\x58\x81\x43\x81\x44"}, {toDBSymbol, "\x82\x59"}}},
      {"\x82\x4F\x81\x42", {{toDBDigit, "\x82\x4F"}, {toDBSymbol, "\x81\x42"}}},
      {"\x82\x4F\x81\x45", {{toDBDigit, "\x82\x4F"}, {toDBSymbol, "\x81\x45"}}},
      // ＡＺａｚ, with the symbols on either side.
      {"\x82\x5F\x82\x60\x82\x79\x82\x81\x82\x9A\x82\x9B",
       {{toDBSymbol, "\x82\x5F"}, {toDBAlpha, "\x82\x60\x82\x79\x82\x81\x82\x9A"}, {toDBSymbol, "\x82\x9B"}}},
      {"\x82\x79\x82\x7A", {{toDBAlpha, "\x82\x79"}, {toDBSymbol, "\x82\x7A"}}},
      {"\x82\x81\x82\x80", {{toDBAlpha, "\x82\x81"}, {toDBSymbol, "\x82\x80"}}},
      // ぁんー and 0x81 0x7C; not the marks beside them.
      {"\x82\x9E\x82\x9F\x82\xF1\x81\x5B\x81\x7C\x82\xF2",
       {{toDBSymbol, "\x82\x9E"}, {toDBHiragana, "\x82\x9F\x82\xF1\x81\x5B\x81\x7C"}, {toDBSymbol, "\x82\xF2"}}},
      {"\x82\xF1\x81\x5A", {{toDBHiragana, "\x82\xF1"}, {toDBSymbol, "\x81\x5A"}}},
      {"\x82\xF1\x81\x5C", {{toDBHiragana, "\x82\xF1"}, {toDBSymbol, "\x81\x5C"}}},
      {"\x82\xF1\x81\x7B", {{toDBHiragana, "\x82\xF1"}, {toDBSymbol, "\x81\x7B"}}},
      {"\x82\xF1\x81\x7D", {{toDBHiragana, "\x82\xF1"}, {toDBSymbol, "\x81\x7D"}}},
      // ァヶー, then the symbol after ヶ and a hiragana.
      {"\x83\x40\x83\x96\x81\x5B\x83\x97", {{toDBKatakana, "\x83\x40\x83\x96\x81\x5B"}, {toDBSymbol, "\x83\x97"}}},
      {"\x83\x96\x82\xF1", {{toDBKatakana, "\x83\x96"}, {toDBHiragana, "\x82\xF1"}}},
      // Kanji from 0x88 to 0x9F and 0xE0 to 0xFC; 0x87 and 0xFD are not.
      {"\x87\x40\x88\x9F\x9F\xFC\xE0\x40\xFC\xFC\xFD",
       {{toDBSymbol, "\x87\x40"}, {toDBKanji, "\x88\x9F\x9F\xFC\xE0\x40\xFC\xFC"}, {toSymbol, "\xFD"}}},
      {"\x9F\xFC\xA0", {{toDBKanji, "\x9F\xFC"}, {toSymbol, "\xA0"}}},
      // Half-width katakana from 0xA6 to 0xDF, one token; each punctuation byte alone.
      {"\xA5\xA6\xDF\xE0\x40", {{toKanaSymbol, "\xA5"}, {toKana, "\xA6\xDF"}, {toDBKanji, "\xE0\x40"}}},
      {"\xDF\xA5", {{toKana, "\xDF"}, {toKanaSymbol, "\xA5"}}},
      {"\xA1\xA5", {{toKanaSymbol, "\xA1"}, {toKanaSymbol, "\xA5"}}},
  });
}

TEST(TokenClassEdges, AKanjiTakesItsTrailFrom0x40Up) {
  ExpectTokens({
      {"\x88\x3F", {{toDBKanji, "\x88"}, {toSymbol, "?"}}},
      {"\x88\x40", {{toDBKanji, "\x88\x40"}}},
      {"\xFC\x3F", {{toDBKanji, "\xFC"}, {toSymbol, "?"}}},
      {"\xFC\x40", {{toDBKanji, "\xFC\x40"}}},
  });
}

// ---- Scanners entered only by continuing a token from the row above ----

TEST(TokenClassEdges, AContinuedDoubleByteSymbolTakesOnlySymbols) {
  struct TCase {
    int Lead, Trail;
    bool Taken;
  };
  const TCase cases[] = {
      {0x80, 0x40, false}, {0x81, 0x3F, true},  {0x81, 0xFC, true},  {0x84, 0x40, true},  {0x87, 0x9F, true},
      {0x88, 0x9F, false}, {0x83, 0x96, false}, {0x83, 0x97, true},  {0x83, 0xF0, true},  {0x83, 0xF1, false},
      {0x82, 0x3F, false}, {0x82, 0x40, true},  {0x82, 0x4E, true},  {0x82, 0x4F, false}, {0x82, 0x58, false},
      {0x82, 0x59, true},  {0x82, 0x5F, true},  {0x82, 0x60, false}, {0x82, 0x79, false}, {0x82, 0x7A, true},
      {0x82, 0x80, true},  {0x82, 0x81, false}, {0x82, 0x9A, false}, {0x82, 0x9B, true},  {0x82, 0x9E, true},
      {0x82, 0x9F, false}, {0x82, 0xF1, false}, {0x82, 0xF2, true},  {0x82, 0xFF, true},
  };
  for (const TCase& c : cases) {
    const std::string text = Bytes(c.Lead, c.Trail);
    const TToken first = FirstToken(BaseParser(), text, Continuing(toDBSymbol));
    EXPECT_EQ(first, (TToken{toDBSymbol, c.Taken ? text : ""})) << Hex(text);
  }
}

TEST(TokenClassEdges, AContinuedKanaTokenTakesOnlyItsOwnBytes) {
  struct TCase {
    TTokenKind Kind;
    int Byte;
    bool Taken;
  };
  const TCase cases[] = {
      {toKanaSymbol, 0xA0, false}, {toKanaSymbol, 0xA1, true}, {toKanaSymbol, 0xA5, true},
      {toKanaSymbol, 0xA6, false}, {toKana, 0xA5, false},      {toKana, 0xA6, true},
      {toKana, 0xDF, true},        {toKana, 0xE0, false},
  };
  for (const TCase& c : cases) {
    const TToken first = FirstToken(BaseParser(), Byte(c.Byte) + " ", Continuing(c.Kind));
    EXPECT_EQ(first, (TToken{c.Kind, c.Taken ? Byte(c.Byte) : ""})) << Hex(Byte(c.Byte));
  }
}

// ---- The characters words, numbers, addresses and URLs are made of ----

// Printable ASCII and a few bytes beyond it.
std::vector<int> SampleBytes() {
  std::vector<int> bytes;
  for (int b = 0x20; b <= 0x7F; ++b) bytes.push_back(b);
  for (int b : {0x80, 0xA0, 0xA6, 0xFF}) bytes.push_back(b);
  return bytes;
}

bool IsIn(int b, std::string_view set) { return b > 0 && b < 0x80 && set.find(static_cast<char>(b)) != std::string_view::npos; }

const std::string kAlphaNumerics = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

// Whether the token that prefix starts, continued as kind, goes on over byte b.
void ExpectTakes(TFountainParser& parser, const std::string& prefix, const TRowAttributeData& data,
                 const std::string& members) {
  for (int b : SampleBytes()) {
    const TToken first = FirstToken(parser, prefix + Byte(b), data);
    EXPECT_EQ(first.Text.size(), prefix.size() + (IsIn(b, members) ? 1 : 0)) << "after " << prefix << ": " << Hex(Byte(b));
  }
}

TEST(TokenClassEdges, WordsAreLettersDigitsAndTheUnderscore) {
  ExpectTakes(BaseParser(), "a", StartRowAttributeData(), kAlphaNumerics + "_");
  ExpectTakes(BaseParser(), "_", Continuing(toAnk), kAlphaNumerics + "_");
}

TEST(TokenClassEdges, NumbersTakeDigitsAndAPointOnlyBeforeADigitOrExponent) {
  ExpectTakes(BaseParser(), "7", StartRowAttributeData(), "0123456789Ee");  // a point needs more after it
  // After the point: a digit or an exponent letter takes the point with it.
  for (int b : SampleBytes()) {
    const TToken first = FirstToken(BaseParser(), "7." + Byte(b), StartRowAttributeData());
    const bool goesOn = IsIn(b, "0123456789Ee");
    EXPECT_EQ(first, (TToken{toFloat, goesOn ? "7." + Byte(b) : "7"})) << Hex(Byte(b));
  }
  // After the exponent letter: a sign or digits.
  ExpectTakes(BaseParser(), "7e", StartRowAttributeData(), "0123456789+-");
  ExpectTakes(BaseParser(), "7e+", StartRowAttributeData(), "0123456789");
}

TEST(TokenClassEdges, HexDigitsAreDigitsAndAToFInEitherCase) {
  ExpectTakes(BaseParser(), "0", Continuing(toHex), "0123456789ABCDEFabcdef");
  auto fountain = CreateWithoutOwner<TEditorFountain>();
  fountain->SetControlCode(true);
  TOwned<TFountainParser> parser = fountain->CreateParser();
  ExpectTakes(*parser, "#$0", StartRowAttributeData(), "0123456789ABCDEFabcdef");
  ExpectTakes(*parser, "#1", StartRowAttributeData(), "0123456789");
}

TEST(TokenClassEdges, TheHexPrefixIgnoresTheCaseOfLettersOnly) {
  auto fountain = CreateWithoutOwner<TEditorFountain>();
  TOwned<TFountainParser> parser = fountain->CreateParser();
  struct TCase {
    std::string Prefix, Text;
    bool Matches;
  };
  const TCase cases[] = {
      {"0x", "0x1", true}, {"0x", "0X1", true}, {"a", "A1", true},  {"z", "Z1", true},  {"A", "a1", true},
      {"@", "`1", false},  {"`", "@1", false},  {"[", "{1", false}, {"{", "[1", false}, {"~", "^1", false},
  };
  for (const TCase& c : cases) {
    fountain->SetHexPrefix(c.Prefix);
    const TToken first = FirstToken(*parser, c.Text, StartRowAttributeData());
    EXPECT_EQ(first.Kind == toHex && first.Text == c.Text, c.Matches) << c.Prefix << " " << c.Text;
  }
}

const std::string kMailCharacters = kAlphaNumerics + "!$%&*,-./;=?@^_~";
const std::string kUrlCharacters = kAlphaNumerics + "#%&+-./:=?_~";

TEST(TokenClassEdges, MailAddressesAndUrlsTakeOnlyTheirCharacters) {
  ExpectTakes(BaseParser(), "a", Continuing(toMail), kMailCharacters);
  ExpectTakes(BaseParser(), "a", Continuing(toUrl), kUrlCharacters);
}

TEST(TokenClassEdges, AnAddressStartsWithAnyMailCharacterButTheAtSign) {
  auto fountain = CreateWithoutOwner<TEditorFountain>();
  fountain->SetMail(true);
  TOwned<TFountainParser> parser = fountain->CreateParser();
  for (int b : SampleBytes()) {
    const std::string text = Byte(b) + "x@y.z";
    const TToken first = FirstToken(*parser, text, StartRowAttributeData());
    const bool address = b != '@' && IsIn(b, kMailCharacters);
    EXPECT_EQ(first == (TToken{toMail, text}), address) << Hex(Byte(b));
  }
}

}  // namespace
}  // namespace plomaret
