// The editor's clamped options at both ends of their ranges, set by their published
// paths as the form description and the driver set them: the last value kept and
// the first value clamped on either side.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/EditorControl.h"
#include "framework/core/Properties.h"
#include "framework/headless/HeadlessPlatform.h"

namespace plomaret {
namespace {

struct TRangeCase {
  const char* Path;
  std::vector<std::pair<int, int>> GivenAndKept;
};

TEST(OptionRangeEdges, ClampedOptionsKeepTheirEndsAndClampJustBeyond) {
  UseHeadlessPlatform();
  TOwned<TEditor> editor = CreateWithoutOwner<TEditor>();
  const std::vector<std::pair<int, int>> percent = {{-1, 0}, {0, 0}, {1, 1}, {99, 99}, {100, 100}, {101, 100}};
  const TRangeCase cases[] = {
      // Even tab widths from 2 to 8: an odd width goes down to the even one below.
      {"Caret.TabSpaceCount", {{1, 2}, {2, 2}, {3, 2}, {4, 4}, {7, 6}, {8, 8}, {9, 8}}},
      {"Ruler.GaugeRange", {{7, 8}, {8, 8}, {9, 8}, {10, 10}, {11, 10}}},
      {"Leftbar.Column", {{0, 1}, {1, 1}, {2, 2}, {7, 7}, {8, 8}, {9, 8}}},
      {"Leftbar.LeftMargin", percent},
      {"Leftbar.RightMargin", percent},
      {"Margin.Character", percent},
      {"Margin.Left", percent},
      {"Margin.Line", percent},
      {"Margin.Top", percent},
      {"Imagebar.DigitWidth", percent},
      {"Imagebar.LeftMargin", percent},
      {"Imagebar.MarkWidth", percent},
      {"Imagebar.RightMargin", percent},
      {"WrapOption.WrapByte", {{19, 20}, {20, 20}, {21, 21}, {249, 249}, {250, 250}, {251, 250}}},
      {"UndoListMax", {{63, 64}, {64, 64}, {65, 65}}},
  };
  for (const TRangeCase& c : cases) {
    for (const auto& [given, kept] : c.GivenAndKept) {
      SetPropertyByPath(*editor, c.Path, std::to_string(given));
      EXPECT_EQ(GetPropertyByPath(*editor, c.Path), std::to_string(kept)) << c.Path << " := " << given;
    }
  }
}

}  // namespace
}  // namespace plomaret
