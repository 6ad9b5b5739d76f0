// Word wrap at the edges of its limits: WrapByte at both ends of its range, lines one
// column short of, exactly at and one column past the wrap column, the word-break
// floor (WrapByte / 3), the hanging-punctuation limit (WrapByte + 2) and the floor of
// the line-start and line-end rules (WrapByte / 5 * 4).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/WordWrap.h"

namespace plomaret {
namespace {

using Rows = std::vector<std::string>;

const std::string kA = "\x82\xA0";     // あ
const std::string kTen = "\x81\x41";   // 、
const std::string kMaru = "\x81\x42";  // 。

std::string Repeat(int n, char c) { return std::string(static_cast<size_t>(n), c); }

struct TWrap {
  int WrapByte = 80;
  bool FollowRetMark = false;
  bool FollowPunctuation = false;
  bool Leading = false;
  bool WordBreak = false;
};

// The rows line is wrapped into; the row count the wrapper predicts must agree.
Rows Wrapped(const std::string& line, const TWrap& w) {
  auto option = Create<TEditorWrapOption>();
  option->SetWrapByte(w.WrapByte);
  option->SetFollowRetMark(w.FollowRetMark);
  option->SetFollowPunctuation(w.FollowPunctuation);
  option->SetLeading(w.Leading);
  option->SetWordBreak(w.WordBreak);
  TLineWrapper wrapper(*option, 8, DefaultDelimiters());
  const TLineRows rows = wrapper.Wrap(line);
  EXPECT_EQ(wrapper.RowCount(line), rows.Count());
  Rows texts;
  for (int i = 0; i < rows.Count(); ++i) texts.emplace_back(rows.Row(line, i));
  return texts;
}

TEST(WrapEdges, WrapByteIsKeptWithin20To250) {
  auto option = Create<TEditorWrapOption>();
  for (auto [given, kept] : {std::pair{19, 20}, {20, 20}, {21, 21}, {249, 249}, {250, 250}, {251, 250}}) {
    option->SetWrapByte(given);
    EXPECT_EQ(option->WrapByte(), kept) << given;
  }
}

TEST(WrapEdges, LinesOneShortOfExactlyAtAndOnePastTheWrapColumn) {
  for (int w : {20, 21, 80, 249, 250}) {
    SCOPED_TRACE(w);
    EXPECT_EQ(Wrapped(Repeat(w - 1, 'a'), {w}), Rows{Repeat(w - 1, 'a')});
    EXPECT_EQ(Wrapped(Repeat(w, 'a'), {w}), (Rows{Repeat(w, 'a'), ""})) << "the line end takes a row of its own";
    EXPECT_EQ(Wrapped(Repeat(w, 'a'), {w, true}), Rows{Repeat(w, 'a')}) << "or stays with FollowRetMark";
    EXPECT_EQ(Wrapped(Repeat(w + 1, 'a'), {w}), (Rows{Repeat(w, 'a'), "a"}));
    EXPECT_EQ(Wrapped(Repeat(2 * w, 'a'), {w}), (Rows{Repeat(w, 'a'), Repeat(w, 'a'), ""}));
    EXPECT_EQ(Wrapped(Repeat(2 * w, 'a'), {w, true}), (Rows{Repeat(w, 'a'), Repeat(w, 'a')}));
    // A double-byte character ending on the wrap column stays; one crossing it goes down.
    EXPECT_EQ(Wrapped(Repeat(w - 2, 'a') + kA + "b", {w}), (Rows{Repeat(w - 2, 'a') + kA, "b"}));
    EXPECT_EQ(Wrapped(Repeat(w - 1, 'a') + kA, {w}), (Rows{Repeat(w - 1, 'a'), kA}));
  }
}

TEST(WrapEdges, ATabThatEndsOnTheWrapColumnFillsTheRow) {
  // From column 16 a tab stops at 20 (the wrap column), from 15 at 16.
  EXPECT_EQ(Wrapped(Repeat(16, 'a') + "\t", {20}), (Rows{Repeat(16, 'a') + "\t", ""}));
  EXPECT_EQ(Wrapped(Repeat(15, 'a') + "\t" + "bbb", {20}), Rows{Repeat(15, 'a') + "\tbbb"});
  EXPECT_EQ(Wrapped(Repeat(15, 'a') + "\t" + "bbbb", {20}), (Rows{Repeat(15, 'a') + "\tbbbb", ""}));
}

TEST(WrapEdges, WordBreakCutsAtAThirdOnlyWhenTheLineIsWiderThanTheRow) {
  for (int w : {20, 80, 250}) {
    SCOPED_TRACE(w);
    const int floor = w / 3;
    // Exactly the row's width: nothing to break.
    EXPECT_EQ(Wrapped(Repeat(w, 'a'), {.WrapByte = w, .WordBreak = true}), (Rows{Repeat(w, 'a'), ""}));
    // One more column and no delimiter: cut at the floor.
    EXPECT_EQ(Wrapped(Repeat(w + 1, 'a'), {.WrapByte = w, .WordBreak = true}),
              (Rows{Repeat(floor, 'a'), Repeat(w + 1 - floor, 'a')}));
    // A delimiter just past the floor ends the row after it.
    const std::string line = Repeat(floor, 'a') + " " + Repeat(w, 'b');
    EXPECT_EQ(Wrapped(line, {.WrapByte = w, .WordBreak = true}), (Rows{Repeat(floor, 'a') + " ", Repeat(w, 'b'), ""}));
  }
}

TEST(WrapEdges, PunctuationHangsAtMostTwoColumnsPastTheWrapColumn) {
  const TWrap hang{.FollowPunctuation = true};
  const std::string s80 = Repeat(80, 'a');
  EXPECT_EQ(Wrapped(s80 + ".b", hang), (Rows{s80 + ".", "b"}));
  EXPECT_EQ(Wrapped(s80 + "..b", hang), (Rows{s80 + "..", "b"}));
  EXPECT_EQ(Wrapped(s80 + "...b", hang), (Rows{s80 + "..", ".b"}));
  EXPECT_EQ(Wrapped(s80 + kMaru + kMaru, hang), (Rows{s80 + kMaru, kMaru}));
  EXPECT_EQ(Wrapped(Repeat(20, 'a') + "...", {.WrapByte = 20, .FollowPunctuation = true}),
            (Rows{Repeat(20, 'a') + "..", "."}));
}

TEST(WrapEdges, ABracketEndsNoRowDownToFourFifthsOfTheWrapColumn) {
  // Opening brackets from column 64 (WrapByte 80) or 16 (WrapByte 20) to beyond the
  // wrap column: the row gives them up down to the floor, not below.
  for (auto [w, floor] : {std::pair{80, 64}, {20, 16}, {250, 200}}) {
    SCOPED_TRACE(w);
    const std::string brackets = Repeat(w - floor + 1, '(');
    const std::string line = Repeat(floor - 1, 'a') + brackets + "bbbbb";
    EXPECT_EQ(Wrapped(line, {.WrapByte = w, .Leading = true}),
              (Rows{Repeat(floor - 1, 'a') + "(", brackets.substr(1) + "bbbbb"}));
    // Closing marks: the next row may start with one only once the floor is reached.
    const int closing = w + w / 5;
    EXPECT_EQ(Wrapped(Repeat(closing, ')'), {.WrapByte = w, .Leading = true}), (Rows{Repeat(floor, ')'), Repeat(closing - floor, ')')}));
  }
}

TEST(WrapEdges, AClosingMarkIsPulledBackOnlyWhenTwoColumnsRemain) {
  const TWrap leading{.Leading = true};
  const std::string s80 = Repeat(80, 'a');
  EXPECT_EQ(Wrapped(s80 + ")", leading), (Rows{s80, ")"}));
  EXPECT_EQ(Wrapped(s80 + "))", leading), (Rows{Repeat(79, 'a'), "a))"}));
  EXPECT_EQ(Wrapped(s80 + kTen, leading), (Rows{Repeat(79, 'a'), "a" + kTen}));
}

}  // namespace
}  // namespace plomaret
