#include "editor/EditorUtils.h"

#include <gtest/gtest.h>

#include "editor/LineList.h"

namespace plomaret {
namespace {

TEST(EditorUtils, CountByteCountsWithinTheFirstNBytes) {
  EXPECT_EQ(CountByte("a\nb\nc\n", '\n', 100), 3);
  EXPECT_EQ(CountByte("a\nb\nc\n", '\n', 4), 2);
  EXPECT_EQ(CountByte("a\nb", '\n', 0), 0);
  EXPECT_EQ(CountByte("\x83\x5c\\", '\\', 3), 2) << "plain bytes, trail bytes included";
}

TEST(EditorUtils, LeadAndTrailPositionsFollowCharacters) {
  const std::string one = "\x82\xa0";  // あ
  EXPECT_TRUE(IsLeadByteAt(one, 1));
  EXPECT_FALSE(IsTrailByteAt(one, 1));
  EXPECT_FALSE(IsLeadByteAt(one, 2));
  EXPECT_TRUE(IsTrailByteAt(one, 2));
  EXPECT_FALSE(IsLeadByteAt(one, 0));
  EXPECT_FALSE(IsTrailByteAt(one, 3));

  // 0x82 0x82 0x82: the second 0x82 is a trail byte, the third a lead again.
  const std::string run = "\x82\x82\x82\x82";
  EXPECT_TRUE(IsTrailByteAt(run, 2));
  EXPECT_TRUE(IsLeadByteAt(run, 3));
  EXPECT_TRUE(IsTrailByteAt(run, 4));
  EXPECT_FALSE(IsLeadByteAt("a\x82", 1));
  EXPECT_TRUE(IsLeadByteAt("a\x82", 2)) << "a lead byte at the end still starts a character";
}

TEST(EditorUtils, ByteAtIsZeroOutsideTheString) {
  EXPECT_EQ(ByteAt("ab", 1), 'a');
  EXPECT_EQ(ByteAt("ab", 2), 'b');
  EXPECT_EQ(ByteAt("ab", 0), 0);
  EXPECT_EQ(ByteAt("ab", 3), 0);
  EXPECT_EQ(ByteAt("\xfc", 1), 0xFC);
}

TEST(EditorUtils, ContainsAtCharBoundaryNeverEntersADoubleByteCharacter) {
  const std::string so = "\x83\x5c";  // ソ: its trail byte is a backslash
  EXPECT_FALSE(ContainsAtCharBoundary("\\", so));
  EXPECT_TRUE(ContainsAtCharBoundary("\\", so + "\\"));
  EXPECT_TRUE(ContainsAtCharBoundary(so, "a" + so));
  EXPECT_FALSE(ContainsAtCharBoundary("\x82\x83", "\x82\x82\x83\x40")) << "starts at a trail byte";
  EXPECT_FALSE(ContainsAtCharBoundary("", "abc"));
  EXPECT_FALSE(ContainsAtCharBoundary("abcd", "abc"));
  EXPECT_TRUE(ContainsAtCharBoundary("abc", "abc"));
}

TEST(EditorUtils, MaxAndMin) {
  EXPECT_EQ(Max(-3, 2), 2);
  EXPECT_EQ(Min(-3, 2), -3);
}

std::vector<std::string> LinesOf(const TStrings& list) {
  std::vector<std::string> lines;
  for (int i = 0; i < list.Count(); ++i) lines.push_back(list.Get(i));
  return lines;
}

TEST(EditorUtils, TextToStringsSplitsEveryKindOfLineEnd) {
  auto list = Create<TLineList>();
  TextToStrings("a\r\nb\r\n", *list);
  EXPECT_EQ(LinesOf(*list), (std::vector<std::string>{"a", "b"}));
  TextToStrings("a\r\nb\r\n\r\n", *list);
  EXPECT_EQ(LinesOf(*list), (std::vector<std::string>{"a", "b", ""}));
  TextToStrings("one\rtwo", *list);
  EXPECT_EQ(LinesOf(*list), (std::vector<std::string>{"one", "two"}));
  TextToStrings("x\n\ry", *list);
  EXPECT_EQ(LinesOf(*list), (std::vector<std::string>{"x", "", "y"}));
  TextToStrings("", *list);
  EXPECT_EQ(list->Count(), 0);
}

TEST(EditorUtils, TextToStringsKeepsByte26AsAnOrdinaryByte) {
  auto list = Create<TLineList>();
  TextToStrings("a\x1a" "b\r\nc", *list);
  EXPECT_EQ(LinesOf(*list), (std::vector<std::string>{"a\x1a" "b", "c"})) << "only a file ends at byte 26";
}

TEST(EditorUtils, TextToStringsStopsAtAZeroByteWithoutLeftoverLines) {
  auto list = Create<TLineList>();
  TextToStrings(std::string("a\nb\0c\nd\ne\n", 11), *list);
  EXPECT_EQ(LinesOf(*list), (std::vector<std::string>{"a", "b"}));
}

struct TCounter {
  int changes = 0;
  void Changed(TObject*) { ++changes; }
};

TEST(EditorUtils, TextToStringsIsOneUpdate) {
  auto list = Create<TLineList>();
  list->Add("old");
  TCounter counter;
  list->OnChange = TNotifyEvent(&counter, &TCounter::Changed);
  TextToStrings("a\nb\nc", *list);
  EXPECT_EQ(counter.changes, 1);
}

}  // namespace
}  // namespace plomaret
