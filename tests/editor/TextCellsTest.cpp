#include "editor/TextCells.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

namespace plomaret {
namespace {

const std::string kA = "\x82\xa0";  // あ

TCellLayout Layout(int tab, bool wrap = false, int wrapByte = 80) { return {tab, wrap, wrapByte, &DefaultDelimiters()}; }

TEST(TextCells, CellMapClassifiesBytesAndLaysOutTabs) {
  EXPECT_EQ(CellMap("\tab", Layout(8)), "2333333311");
  EXPECT_EQ(CellMap("ab\tc", Layout(4)), "11231");
  EXPECT_EQ(CellMap("_9z\xa6\xdf a" + kA, Layout(8)), "111112145");
  EXPECT_EQ(CellMap(",\x80\xa0\xfd", Layout(8)), "2222");
  EXPECT_EQ(CellMap("\x82\tx", Layout(8)), "451") << "a lead byte takes even a tab";
  EXPECT_EQ(CellMap(kA + "\x82", Layout(8)), "451") << "a lead byte at the end is one cell";
  EXPECT_EQ(ExpandTabs("\ta\x82", Layout(4)), "    a\x82");
  EXPECT_EQ(ExpandTabs("plain " + kA, Layout(4)), "plain " + kA);
}

TEST(TextCells, CellMapStopsAtItsLimitKeepingTheLastCharacterWhole) {
  EXPECT_EQ(CellMap(std::string(1200, 'a'), Layout(8)).size(), 1000u);
  EXPECT_EQ(CellMap(std::string(999, 'a') + kA + "b", Layout(8)).size(), 1001u);
  EXPECT_EQ(CellMap(std::string(996, 'a') + "\tb", Layout(8)), std::string(996, '1') + "2333");
  EXPECT_EQ(CellMap(std::string(200, 'a'), Layout(8, true)).size(), 83u);
  EXPECT_EQ(CellMap(std::string(82, 'a') + kA + "b", Layout(8, true)).size(), 84u);
  EXPECT_EQ(DisplayWidth(std::string(1200, 'a'), Layout(8)), 1200);
}

TEST(TextCells, WithWordWrapATabNeverCrossesTheWrapColumn) {
  const std::string text = std::string(18, 'x') + "\ty";
  EXPECT_EQ(CellMap(text, Layout(8, true, 20)), std::string(18, '1') + "231");
  EXPECT_EQ(DisplayWidth(text, Layout(8, false, 20)), 25);
  EXPECT_EQ(TabWidthAt(20, Layout(8, true, 20)), 4) << "stops count again from each multiple";
  EXPECT_EQ(TabWidthAt(38, Layout(8, true, 20)), 2);
  EXPECT_EQ(TabWidthAt(5, Layout(0)), 1);
}

TEST(TextCells, ColToByteAndIndentWidth) {
  const std::string map = CellMap("\tab", Layout(8));
  EXPECT_EQ(ColToByte(map, 3), 0);
  EXPECT_EQ(ColToByte(map, 8), 1);
  EXPECT_EQ(ColToByte(map, 12), 5) << "beyond the map every column is a byte";
  EXPECT_EQ(ColToByte(map, -3), 0);

  EXPECT_EQ(IndentWidth("", Layout(4)), -1);
  EXPECT_EQ(IndentWidth("abc", Layout(4)), 0);
  EXPECT_EQ(IndentWidth(" \tx", Layout(4)), 4);
  EXPECT_EQ(IndentWidth("\x81\x40 \x81\x41", Layout(4)), 3) << "the full-width blank, not another character";
  EXPECT_EQ(IndentWidth(" \x81", Layout(4)), 1);
}

// On random text: one non-filler cell per byte, every '4' followed by its '5', each
// filler mapping to its tab, and the expanded text as wide as the text.
TEST(TextCells, MapWidthAndExpansionAgreeOnRandomText) {
  std::mt19937 random(1234);
  const std::string bytes = std::string("ab_ ,.\t\t\x81\x82\x83\x9f\xe0\xfc\x40\x5c\xa6\xdf") + '\0';
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    for (int i = static_cast<int>(random() % 40); i > 0; --i) text += bytes[random() % bytes.size()];
    const TCellLayout layout = Layout(static_cast<int>(random() % 9) + 1, random() % 2 == 0, 40);
    const std::string map = CellMap(text, layout);
    const int width = DisplayWidth(text, layout);
    SCOPED_TRACE(testing::Message() << "round " << round);
    ASSERT_EQ(static_cast<size_t>(width), ExpandTabs(text, layout).size());
    if (width >= 43) continue;  // a wrapped map stops at 43 cells
    ASSERT_EQ(static_cast<int>(map.size()), width);
    ASSERT_EQ(static_cast<size_t>(std::count_if(map.begin(), map.end(), [](char c) { return c != kCellTabFill; })),
              text.size());
    for (size_t i = 0; i < map.size(); ++i) {
      ASSERT_EQ(map[i] == kCellLead, i + 1 < map.size() && map[i + 1] == kCellTrail);
      if (map[i] == kCellTabFill) {
        ASSERT_EQ(text[static_cast<size_t>(ColToByte(map, static_cast<int>(i)))], '\t');
      }
    }
  }
}

}  // namespace
}  // namespace plomaret
