#include <gtest/gtest.h>

#include "FountainTestSupport.h"
#include "editor/EditorFountain.h"

namespace plomaret {
namespace {

using testing::RowStates;
using testing::Rows;
using testing::RowTokens;
using testing::TToken;
using testing::Tokens;
using Toks = std::vector<TToken>;

class FountainParserTest : public ::testing::Test {
 protected:
  TFountainParser& Parser() {
    if (!FParser) FParser = FFountain->CreateParser();
    return *FParser;
  }
  TFountainBracketItem* AddBracket(const std::string& left, const std::string& right) {
    return testing::AddBracket(*FFountain, left, right);
  }
  TOwned<TEditorFountain> FFountain = CreateWithoutOwner<TEditorFountain>();
  TOwned<TFountainParser> FParser;
};

TEST_F(FountainParserTest, NumbersWordsAndSymbols) {
  EXPECT_EQ(Tokens(Parser(), "abc 123 4.5e+6"), (Toks{{toAnk, "abc"}, {toInteger, "123"}, {toFloat, "4.5e+6"}}));
  EXPECT_EQ(Tokens(Parser(), "12. "), (Toks{{toFloat, "12"}, {toSymbol, "."}}));
  EXPECT_EQ(Tokens(Parser(), "1.e5 7e 2.5E-3x"),
            (Toks{{toFloat, "1.e5"}, {toFloat, "7e"}, {toFloat, "2.5E-3"}, {toAnk, "x"}}));
  EXPECT_EQ(Tokens(Parser(), "  0.000000;0.500000;,"),
            (Toks{{toFloat, "0.000000"}, {toSymbol, ";"}, {toFloat, "0.500000"}, {toSymbol, ";"}, {toSymbol, ","}}));
}

TEST_F(FountainParserTest, TabsAreTokensAndBlanksAreNot) {
  EXPECT_EQ(Tokens(Parser(), "\ta   \x01 b"), (Toks{{toTab, "\t"}, {toAnk, "a"}, {toAnk, "b"}}));
  EXPECT_TRUE(Tokens(Parser(), "     ").empty());
}

TEST_F(FountainParserTest, JapaneseRunsFormTokensOfTheirKind) {
  EXPECT_EQ(Tokens(Parser(), "\xB1\xB2\xB3"), (Toks{{toKana, "\xB1\xB2\xB3"}}));
  EXPECT_EQ(Tokens(Parser(), "\xA1\xB1"), (Toks{{toKanaSymbol, "\xA1"}, {toKana, "\xB1"}}));
  EXPECT_EQ(Tokens(Parser(), "\x83\x4A\x81\x5B"), (Toks{{toDBKatakana, "\x83\x4A\x81\x5B"}}));     // カー
  EXPECT_EQ(Tokens(Parser(), "\x82\xA0\x82\xA2"), (Toks{{toDBHiragana, "\x82\xA0\x82\xA2"}}));     // あい
  EXPECT_EQ(Tokens(Parser(), "\x8A\xBF\x8E\x9A"), (Toks{{toDBKanji, "\x8A\xBF\x8E\x9A"}}));        // 漢字
  EXPECT_EQ(Tokens(Parser(), "\x82\x4F\x81\x43\x82\x50"), (Toks{{toDBDigit, "\x82\x4F\x81\x43\x82\x50"}}));  // ０，１
  EXPECT_EQ(Tokens(Parser(), "\x82\x60\x82\x81"), (Toks{{toDBAlpha, "\x82\x60\x82\x81"}}));        // Ａａ
  EXPECT_EQ(Tokens(Parser(), "\x81\x40\x83\x5C"), (Toks{{toDBSymbol, "\x81\x40"}, {toDBKatakana, "\x83\x5C"}}));
}

TEST_F(FountainParserTest, BrokenDoubleByteTextNeverEndsTheRowEarly) {
  // A lead byte whose trail makes no character, at the start of the row and at its
  // very end: the bytes are still tokens, and the scan stops at the zero.
  EXPECT_EQ(Tokens(Parser(), "\x82\x20" "ab"), (Toks{{toSymbol, "\x82"}, {toAnk, "ab"}}));
  // Mid-row the lone lead byte keeps the kind of the token before it.
  EXPECT_EQ(Tokens(Parser(), "ab\x82"), (Toks{{toAnk, "ab"}, {toAnk, "\x82"}}));
  EXPECT_EQ(Tokens(Parser(), "\x81"), (Toks{{toDBSymbol, "\x81"}}));
  EXPECT_EQ(Tokens(Parser(), "\x88"), (Toks{{toDBKanji, "\x88"}}));
}

TEST_F(FountainParserTest, ABracketRegionRunsToItsEndAcrossRowEnds) {
  AddBracket("(*", "*)");
  auto rows = Rows({{"word (* more", raLineEnd}, {"text *) after", raLineEnd}, {"(*x*) y", raLineEnd}});
  const auto states = RowStates(Parser(), *rows);
  EXPECT_EQ(RowTokens(Parser(), *rows, 0, states[0]), (Toks{{toAnk, "word"}, {toBracket, "(* more"}}));
  EXPECT_EQ(states[1].BracketIndex, 0);
  EXPECT_EQ(RowTokens(Parser(), *rows, 1, states[1]), (Toks{{toBracket, "text *)"}, {toAnk, "after"}}));
  EXPECT_EQ(states[2].BracketIndex, kNoBracket);
  EXPECT_EQ(RowTokens(Parser(), *rows, 2, states[2]), (Toks{{toBracket, "(*x*)"}, {toAnk, "y"}}));
}

TEST_F(FountainParserTest, ARowOfSpacesPassesItsStateOn) {
  AddBracket("{", "}");
  auto rows = Rows({{"a {", raLineEnd}, {"    ", raLineEnd}, {"", raLineEnd}, {"}", raLineEnd}});
  const auto states = RowStates(Parser(), *rows);
  EXPECT_EQ(states[1].BracketIndex, 0);
  EXPECT_EQ(states[2], states[1]);
  EXPECT_EQ(states[3].BracketIndex, 0);
}

TEST_F(FountainParserTest, AWordRunningIntoTheNextRowContinuesThereOnlyAfterAWrap) {
  auto wrapped = Rows({{"abc de", raWrap}, {"fgh ij", raLineEnd}});
  auto states = RowStates(Parser(), *wrapped);
  EXPECT_EQ(states[1].TokenKind, toAnk);
  EXPECT_EQ(states[1].Remain, 3);
  EXPECT_EQ(RowTokens(Parser(), *wrapped, 0, states[0]), (Toks{{toAnk, "abc"}, {toAnk, "defgh"}}));
  EXPECT_EQ(RowTokens(Parser(), *wrapped, 1, states[1]), (Toks{{toAnk, "fgh"}, {toAnk, "ij"}}));

  auto ended = Rows({{"abc de", raLineEnd}, {"fgh ij", raLineEnd}});
  states = RowStates(Parser(), *ended);
  EXPECT_EQ(states[1].TokenKind, toEof);
  EXPECT_EQ(states[1].Remain, 0);
}

TEST_F(FountainParserTest, ACommentContinuesOnlyPastWraps) {
  FFountain->SetCommenter("//");
  auto rows = Rows({{"x // com", raWrap}, {"ment goes", raWrap}, {"on here", raLineEnd}, {"y", raLineEnd}});
  const auto states = RowStates(Parser(), *rows);
  EXPECT_EQ(states[1].TokenKind, toComment);
  EXPECT_EQ(states[1].Remain, 0) << "a comment is rescanned from the row start";
  EXPECT_EQ(RowTokens(Parser(), *rows, 1, states[1]), (Toks{{toComment, "ment goeson here"}}));
  EXPECT_EQ(states[2].TokenKind, toComment);
  EXPECT_EQ(RowTokens(Parser(), *rows, 2, states[2]), (Toks{{toComment, "on here"}}));
  EXPECT_EQ(states[3].TokenKind, toEof) << "the comment ended with the line";
  EXPECT_EQ(RowTokens(Parser(), *rows, 3, states[3]), (Toks{{toAnk, "y"}}));
}

TEST_F(FountainParserTest, AStringContinuesAfterAWrapButNotAfterALineEnd) {
  FFountain->SetQuotation("\"");
  auto wrapped = Rows({{"s = \"open", raWrap}, {"still\" x", raLineEnd}});
  auto states = RowStates(Parser(), *wrapped);
  EXPECT_EQ(states[1].TokenKind, toQuotation);
  EXPECT_EQ(RowTokens(Parser(), *wrapped, 1, states[1]), (Toks{{toQuotation, "still\""}, {toAnk, "x"}}));

  auto ended = Rows({{"s = \"open", raLineEnd}, {"still\" x", raLineEnd}});
  states = RowStates(Parser(), *ended);
  EXPECT_EQ(states[1].TokenKind, toEof);
}

TEST_F(FountainParserTest, ABracketWhoseClosingTextIsCutByTheWrapCarriesItsByteCount) {
  AddBracket("<<", ">>");
  // The row ends between the two bytes of ">>".
  auto rows = Rows({{"<<abc>", raWrap}, {">def", raLineEnd}});
  const auto states = RowStates(Parser(), *rows);
  EXPECT_EQ(states[1].TokenKind, toBracket);
  EXPECT_EQ(states[1].Remain, 1);
  EXPECT_EQ(states[1].BracketIndex, 0);
  EXPECT_EQ(RowTokens(Parser(), *rows, 1, states[1]), (Toks{{toBracket, ">"}, {toAnk, "def"}}));

  // Cut elsewhere, the next row finds the end itself.
  auto later = Rows({{"<<ab", raWrap}, {"c>>def", raLineEnd}});
  const auto laterStates = RowStates(Parser(), *later);
  EXPECT_EQ(laterStates[1].TokenKind, toEof);
  EXPECT_EQ(laterStates[1].BracketIndex, 0);
  EXPECT_EQ(RowTokens(Parser(), *later, 1, laterStates[1]), (Toks{{toBracket, "c>>"}, {toAnk, "def"}}));
}

TEST_F(FountainParserTest, AnInvalidStateTurnsBracketsOffAndAStaleIndexEndsTheRow) {
  AddBracket("(", ")");
  EXPECT_EQ(Tokens(Parser(), "(a)", InvalidRowAttributeData()), (Toks{{toSymbol, "("}, {toAnk, "a"}, {toSymbol, ")"}}));
  TRowAttributeData stale = StartRowAttributeData();
  stale.BracketIndex = 5;
  EXPECT_TRUE(Tokens(Parser(), "abc", stale).empty());
}

TEST(FountainParser, RefusesToBeMadeWithoutAFountain) {
  try {
    Create<TEditorParser>(nullptr);
    FAIL();
  } catch (const Exception& error) {
    EXPECT_EQ(error.Message(), "TFountainParser.Create need instance of TFountain");
  }
}

TEST(TokenParser, SplitsBaseKindsWithoutColours) {
  auto parser = Create<TTokenParser>();
  EXPECT_EQ(Tokens(*parser, "a\"b\" 1"), (Toks{{toAnk, "a"}, {toSymbol, "\""}, {toAnk, "b"}, {toSymbol, "\""}, {toInteger, "1"}}));
  parser->NewData("abc", StartRowAttributeData());
  parser->NextToken();
  EXPECT_EQ(parser->TokenToFountainColor(), nullptr);
  EXPECT_FALSE(parser->IsReserveWord());
}

}  // namespace
}  // namespace plomaret

namespace plomaret {
namespace {

// The editor's parser without the shortcut that skips rows which cannot change the
// state: every row is scanned.
class TAlwaysScanningParser : public TEditorParser {
 public:
  using TEditorParser::TEditorParser;

 protected:
  bool ScanCanChangeState(const TRowAttributeData&) const override { return true; }
};

TEST(FountainParserShortcut, SkippingRowsGivesTheSameStatesAsScanningThem) {
  auto fountain = CreateWithoutOwner<TEditorFountain>();
  fountain->SetCommenter("//");
  fountain->SetQuotation("'");
  auto rows = Rows({{"plain words 1.5", raLineEnd},
                    {"a 'string", raWrap},
                    {"goes on' // c", raWrap},
                    {"omment", raLineEnd},
                    {"   ", raLineEnd},
                    {"x (* y", raLineEnd},
                    {"z *) w", raTextEnd}});
  for (bool withBrackets : {false, true}) {
    if (withBrackets) {
      TFountainBracketItem* item = fountain->Brackets()->Add();
      item->SetLeftBracket("(*");
      item->SetRightBracket("*)");
    }
    TOwned<TFountainParser> fast = fountain->CreateParser();
    TOwned<TFountainParser> full = Create<TAlwaysScanningParser>(fountain.get());
    EXPECT_EQ(RowStates(*fast, *rows), RowStates(*full, *rows)) << "brackets " << withBrackets;
  }
}

}  // namespace
}  // namespace plomaret
