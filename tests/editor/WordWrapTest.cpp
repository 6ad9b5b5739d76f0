#include "editor/WordWrap.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "framework/core/CodePage.h"
#include "framework/core/Properties.h"

namespace plomaret {
namespace {

const std::string kA = "\x82\xa0";    // あ
const std::string kTen = "\x81\x41";  // 、
const std::string kMaru = "\x81\x42";  // 。
const std::string kOpen = "\x81\x75";  // 「

struct TOptions {
  bool FollowRetMark = false;
  bool FollowPunctuation = false;
  bool Leading = false;
  bool WordBreak = false;
  int WrapByte = 80;
};

TOwned<TEditorWrapOption> MakeOption(const TOptions& o) {
  auto option = Create<TEditorWrapOption>();
  option->SetFollowRetMark(o.FollowRetMark);
  option->SetFollowPunctuation(o.FollowPunctuation);
  option->SetLeading(o.Leading);
  option->SetWordBreak(o.WordBreak);
  option->SetWrapByte(o.WrapByte);
  return option;
}

using Rows = std::vector<std::string>;

Rows RowsOf(const std::string& line, const TEditorWrapOption& option) {
  TLineWrapper wrapper(option, 8, DefaultDelimiters());
  const TLineRows rows = wrapper.Wrap(line);
  Rows texts;
  for (int i = 0; i < rows.Count(); ++i) texts.emplace_back(rows.Row(line, i));
  return texts;
}
Rows RowsOf(const std::string& line, const TOptions& o) { return RowsOf(line, *MakeOption(o)); }

std::string Times(int n, char c) { return std::string(static_cast<size_t>(n), c); }

TEST(WordWrap, WidthsAroundTheWrapColumnAndTheLineEndRow) {
  for (bool followRetMark : {false, true}) {
    EXPECT_EQ(RowsOf("", {followRetMark}), Rows{""});
    EXPECT_EQ(RowsOf(Times(79, 'a'), {followRetMark}), Rows{Times(79, 'a')});
    EXPECT_EQ(RowsOf(Times(81, 'a'), {followRetMark}), (Rows{Times(80, 'a'), "a"}));
  }
  EXPECT_EQ(RowsOf(Times(160, 'a'), {false}), (Rows{Times(80, 'a'), Times(80, 'a'), ""}));
  EXPECT_EQ(RowsOf(Times(160, 'a'), {true}), (Rows{Times(80, 'a'), Times(80, 'a')}));
  // A double-byte character on columns 80-81 goes down whole.
  EXPECT_EQ(RowsOf(Times(79, 'a') + kA + "b", TOptions{}), (Rows{Times(79, 'a'), kA + "b"}));
  // Each row's tabs count from its own start: from the line start this tab would be
  // 2 cells wide and the second row would fit.
  EXPECT_EQ(RowsOf(Times(20, 'a') + "bb\t" + Times(14, 'c'), {.WrapByte = 20}),
            (Rows{Times(20, 'a'), "bb\t" + Times(12, 'c'), "cc"}));
  EXPECT_EQ(RowsOf(Times(78, 'a') + "\tb", TOptions{}), (Rows{Times(78, 'a') + "\t", "b"})) << "ends inside the tab";
}

TEST(WordWrap, WordBreakAndHangingPunctuation) {
  EXPECT_EQ(RowsOf(Times(100, 'a'), {.WordBreak = true}), (Rows{Times(26, 'a'), Times(74, 'a')}));
  EXPECT_EQ(RowsOf(Times(50, 'a') + " " + Times(49, 'b'), {.WordBreak = true}),
            (Rows{Times(50, 'a') + " ", Times(49, 'b')}));
  EXPECT_EQ(RowsOf(Times(70, 'a') + kA + Times(20, 'b'), {.WordBreak = true}),
            (Rows{Times(70, 'a') + kA, Times(20, 'b')}));

  const std::string s80 = Times(80, 'a');
  EXPECT_EQ(RowsOf(s80 + kMaru + "b", {.FollowPunctuation = true}), (Rows{s80 + kMaru, "b"}));
  EXPECT_EQ(RowsOf(s80 + "." + kMaru + ".b", {.FollowPunctuation = true}), (Rows{s80 + "." + kMaru, ".b"}));
  EXPECT_EQ(RowsOf(s80 + kMaru, {.FollowPunctuation = true}), (Rows{s80 + kMaru, ""}));
  EXPECT_EQ(RowsOf(s80 + "\x81", {.FollowPunctuation = true}), (Rows{s80, "\x81"})) << "a lone lead byte is no 、";
  auto option = MakeOption({.FollowPunctuation = true});
  option->SetPunctuationStr("\t.");
  EXPECT_EQ(RowsOf(s80 + "\t.", *option), (Rows{s80, "\t."})) << "a tab never hangs";
}

TEST(WordWrap, LeadingKeepsOpeningBracketsOffRowEndsAndClosingMarksOffRowStarts) {
  EXPECT_EQ(RowsOf(Times(78, 'a') + kOpen + "bb", {.Leading = true}), (Rows{Times(78, 'a'), kOpen + "bb"}));
  std::string tens;
  for (int i = 0; i < 10; ++i) tens += kTen;
  EXPECT_EQ(RowsOf(Times(70, 'a') + tens + "b", {.Leading = true}), (Rows{Times(69, 'a'), "a" + tens + "b"}));
  EXPECT_EQ(RowsOf(Times(100, ')'), {.Leading = true}), (Rows{Times(64, ')'), Times(36, ')')})) << "not below 64";
  EXPECT_EQ(RowsOf(Times(80, 'a') + ")", {.Leading = true}), (Rows{Times(80, 'a'), ")"})) << "one column left";
}

struct TListener {
  int calls = 0;
  void Changed(TObject*) { ++calls; }
};

TEST(WrapOption, DefaultsRegistrationAndChangeAnnouncements) {
  auto option = Create<TEditorWrapOption>();
  EXPECT_EQ(Cp932ToUtf8(option->FollowStr()), "、。，．・？！゛゜ヽヾゝゞ々ー）］｝」』!),.:;?]}｡｣､･ｰﾞﾟ");
  EXPECT_EQ(Cp932ToUtf8(option->LeadStr()), "（［｛「『([{｢");
  EXPECT_EQ(Cp932ToUtf8(option->PunctuationStr()), "、。，．,.｡､");
  std::vector<std::string> names;
  for (const TPropInfo* prop : option->ClassInfo().Properties()) names.push_back(prop->Name);
  EXPECT_EQ(names, (std::vector<std::string>{"FollowRetMark", "FollowPunctuation", "FollowStr", "Leading", "LeadStr",
                                             "PunctuationStr", "WordBreak", "WrapByte"}));

  TListener listener;
  option->OnChange = TNotifyEvent(&listener, &TListener::Changed);
  auto same = Create<TEditorWrapOption>();
  option->SetFollowRetMark(false);
  option->SetFollowStr(same->FollowStr());
  option->SetLeadStr(same->LeadStr());
  option->SetPunctuationStr(same->PunctuationStr());
  option->SetWrapByte(80);
  EXPECT_EQ(listener.calls, 0);
  SetPropertyByPath(*option, "WrapByte", "10");
  EXPECT_EQ(option->WrapByte(), 20);
  option->SetWrapByte(5);
  EXPECT_EQ(listener.calls, 1) << "5 clamps to the same 20";
  option->SetWrapByte(300);
  EXPECT_EQ(option->WrapByte(), 250);

  same->SetFollowRetMark(true);
  same->SetFollowPunctuation(true);
  same->SetFollowStr(")");
  same->SetLeading(true);
  same->SetLeadStr("(");
  same->SetPunctuationStr(".");
  same->SetWordBreak(true);
  same->SetWrapByte(40);
  listener.calls = 0;
  option->Assign(*same);
  EXPECT_EQ(listener.calls, 1);
  EXPECT_TRUE(option->FollowRetMark() && option->FollowPunctuation() && option->Leading() && option->WordBreak());
  EXPECT_EQ(option->FollowStr() + option->LeadStr() + option->PunctuationStr(), ")(.");
  EXPECT_EQ(option->WrapByte(), 40);
}

// Random lines under every rule combination: the rows give the line back, start on
// character boundaries and keep to the width; with no rule on the wrap is greedy
// (every row but the last is WrapByte wide, or one less before a double-byte one).
TEST(WordWrap, RandomLinesUnderEveryOptionCombination) {
  std::mt19937 random(20240611);
  const Rows pieces = {"a", "Z", "_", " ", ",", ".", ")", "(", "\t", "\xa1", "\xb6", kA, kMaru, kTen, kOpen,
                       "\x81\x76", "\x83\x5c", "\x82\t"};
  for (int round = 0; round < 600; ++round) {
    std::string line;
    for (int i = static_cast<int>(random() % 300); i > 0; --i) line += pieces[random() % pieces.size()];
    if (random() % 8 == 0) line += '\x82';
    const int wrapByte = std::vector<int>{20, 37, 80}[random() % 3];
    const int tab = static_cast<int>(random() % 12) + 1;
    for (int bits = 0; bits < 16; ++bits) {
      const TOptions o{(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0, (bits & 8) != 0, wrapByte};
      auto option = MakeOption(o);
      TLineWrapper wrapper(*option, tab, DefaultDelimiters());
      const TLineRows rows = wrapper.Wrap(line);
      SCOPED_TRACE(testing::Message() << "round " << round << " options " << bits);
      ASSERT_EQ(wrapper.RowCount(line), rows.Count());
      std::string joined;
      size_t boundary = 0;
      for (int i = 0; i < rows.Count(); ++i) {
        const std::string_view row = rows.Row(line, i);
        joined += row;
        while (boundary < static_cast<size_t>(rows.Start(i))) {
          boundary += IsLeadByte(line[boundary]) && boundary + 1 < line.size() ? 2 : 1;
        }
        ASSERT_EQ(boundary, static_cast<size_t>(rows.Start(i))) << "row " << i << " starts inside a character";
        ASSERT_EQ(rows.Attribute(i), i + 1 < rows.Count() ? raWrap : raLineEnd);
        const int width = DisplayWidth(row, wrapper.Layout());
        ASSERT_LE(width, wrapByte + (o.FollowPunctuation ? 3 : 0)) << "row " << i;
        if (i + 1 == rows.Count()) break;
        ASSERT_FALSE(row.empty());
        if (bits == 0 || bits == 1) {
          const bool beforeDoubleByte = IsLeadByte(line[static_cast<size_t>(rows.Ends[i])]);
          ASSERT_TRUE(width == wrapByte || (width == wrapByte - 1 && beforeDoubleByte)) << "row " << i;
        }
      }
      ASSERT_EQ(joined, line);
      // Only a last row that did not fit leaves the line end a row of its own.
      const int lastText = rows.Count() - (rows.HasLineEndRow() ? 2 : 1);
      ASSERT_EQ(rows.HasLineEndRow(),
                !o.FollowRetMark && DisplayWidth(rows.Row(line, lastText), wrapper.Layout()) >= wrapByte);
    }
  }
}

// Rows are split without a cell map where no tab or double-byte character is in
// reach of the row; the result must be the cell map's, and a line cut RowLookahead()
// bytes after a row start must give that row as the whole line does.
TEST(WordWrap, RowsSplitWithoutACellMapAgreeWithTheCellMap) {
  std::mt19937 random(20250107);
  // Mostly single-cell bytes (katakana from 0xA1 on among them), with few tabs and
  // double-byte characters, so that rows of both kinds and their edges occur.
  const Rows pieces = {"a", "Z", "_", " ", ",", ".", ")", "(", "[", "!", "\xa1", "\xa2", "\xa4", "\xb6", "\xde", "\xfd",
                       "ab", "0.5;,", "\t", kA, kMaru, kOpen};
  for (int round = 0; round < 400; ++round) {
    std::string line;
    const bool fewSpecial = random() % 4 != 0;
    for (int i = static_cast<int>(random() % 400); i > 0; --i) {
      const size_t piece = random() % pieces.size();
      if (piece + 4 >= pieces.size() && fewSpecial && random() % 20 != 0) continue;
      line += pieces[piece];
    }
    if (random() % 8 == 0) line += '\x82';
    const int wrapByte = std::vector<int>{20, 21, 37, 80}[random() % 4];
    const int tab = static_cast<int>(random() % 12) + 1;
    for (int bits = 0; bits < 16; ++bits) {
      const TOptions o{(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0, (bits & 8) != 0, wrapByte};
      auto option = MakeOption(o);
      TLineWrapper wrapper(*option, tab, DefaultDelimiters());
      TLineWrapper reference(*option, tab, DefaultDelimiters());
      SCOPED_TRACE(testing::Message() << "round " << round << " options " << bits << " line " << line);
      const TLineRows rows = wrapper.Wrap(line);
      int from = 0;
      for (int i = 0;; ++i) {
        const TRowBreak row = wrapper.NextRow(line, from);
        const TRowBreak expected = reference.NextRowByCellMap(line, from);
        ASSERT_EQ(row.End, expected.End) << "from " << from;
        ASSERT_EQ(row.Last, expected.Last) << "from " << from;
        const size_t window = static_cast<size_t>(from + wrapper.RowLookahead());
        if (window < line.size()) {
          const TRowBreak cut = wrapper.NextRow(std::string_view(line).substr(0, window), from);
          ASSERT_EQ(cut.End, row.End) << "from " << from;
          ASSERT_EQ(cut.Last, row.Last) << "from " << from;
        }
        if (row.End < 0) {
          ASSERT_EQ(i, rows.Count());
          break;
        }
        ASSERT_LT(i, rows.Count());
        ASSERT_EQ(row.End, rows.Ends[static_cast<size_t>(i)]) << "row " << i;
        if (row.Last) {
          ASSERT_EQ(i + 1, rows.Count());
          break;
        }
        from = row.End;
      }
    }
  }
}

}  // namespace
}  // namespace plomaret
