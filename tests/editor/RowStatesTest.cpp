// The colouring states the row store keeps: computed near where they are needed,
// from the nearest known state or from a row that settles the state, and always
// the states a parse from the top gives.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "TextModelSupport.h"

namespace plomaret {
namespace {

using testing::FirstStateNotAsFromTheTop;
using testing::TEditorDouble;

constexpr int kRowHeight = 13;  // the double's

class RowStatesTest : public ::testing::Test {
 protected:
  void SetUp() override { FEditor.FScreenHeight = kRowHeight * 3; }  // states run 6 rows ahead
  static constexpr int kHorizon = 6;

  TEditorScreenStrings& Store() { return FEditor.Store(); }
  void AddBracket(const char* left, const char* right) {
    TFountainBracketItem* item = FEditor.FFountain->Brackets()->Add();
    item->SetLeftBracket(left);
    item->SetRightBracket(right);
  }
  // rows rows of vertex data, loaded and coloured as at the top of a fresh view.
  void Load(int rows, const std::string& row = " 0.5;-1.25;0.0;,") {
    std::string text;
    for (int r = 0; r < rows; ++r) text += row + "\r\n";
    FEditor.Lines().SetAllText(text);
    Store().ResetStates();
  }
  bool Known(int row) { return Store().BracketIndexes(row) != kInvalidBracket; }
  int AgreesWithTheTop() { return FirstStateNotAsFromTheTop(Store(), *FEditor.FFountain); }

  TEditorDouble FEditor;
};

// Texts of rows with and without text, wrapped rows, regions, comments and strings,
// under schemes that can settle the state and schemes that cannot: every state kept
// after paints and edits anywhere is the one a parse from the top gives.
TEST_F(RowStatesTest, StatesFromASettlingRowOrAKnownStateAgreeWithAParseFromTheTop) {
  static const char* const kPieces[] = {"a", "0.5;,", " ", "\r\n", "\r\n", "\r\n", "{", "}", "//", "\"", "\x82\xa0", "  "};
  std::mt19937 random(7);
  auto below = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  auto text = [&](int pieces) {
    std::string made;
    for (int i = 0; i < pieces; ++i) made += kPieces[below(12)];
    return made;
  };
  for (int round = 0; round < 300; ++round) {
    TEditorDouble editor;
    editor.FScreenHeight = kRowHeight * (1 + round % 3);
    TEditorFountain& fountain = *editor.FFountain;
    if (round % 4 == 1 || round % 4 == 3) {
      TFountainBracketItem* item = fountain.Brackets()->Add();
      item->SetLeftBracket("{");
      item->SetRightBracket("}");
    }
    if (round % 4 >= 2) {
      fountain.SetCommenter("//");
      fountain.SetQuotation("\"");
    }
    TEditorScreenStrings& store = editor.Store();
    store.WrapOption()->SetWrapByte(5 + round % 7);
    store.SwitchWordWrap(round % 5 == 0);
    editor.Lines().SetAllText(text(150));
    store.ResetStates();
    for (int step = 0; step < 12; ++step) {
      const int count = store.Count();
      const int row = below(count + 1);
      editor.FTopRow = std::max(0, row - below(4));
      if (step % 3 == 0) {
        store.UpdateStates(row, false);
        if (row < count) {
          EXPECT_NE(store.BracketIndexes(row), kInvalidBracket) << "round " << round;
        }
      } else {
        store.ReplaceText(row, below(count - row + 1), text(4));
      }
      ASSERT_EQ(FirstStateNotAsFromTheTop(store, fountain), -1) << "round " << round << ", step " << step;
    }
  }
}

TEST_F(RowStatesTest, AFirstEditDeepInATextWithoutRegionsParsesOnlyNearIt) {
  Load(2000);
  Store().ReplaceText(1000, 1, "x\r\n");
  EXPECT_FALSE(Known(500));
  EXPECT_FALSE(Known(999));
  for (int r = 1000; r <= 1000 + kHorizon; ++r) EXPECT_TRUE(Known(r)) << r;
  EXPECT_FALSE(Known(1001 + kHorizon));
  EXPECT_EQ(AgreesWithTheTop(), -1);
}

TEST_F(RowStatesTest, ARegionThatCanOpenAnywhereMakesTheParseStartAtTheNearestKnownState) {
  AddBracket("{", "}");
  Load(300);
  Store().ReplaceText(200, 1, "{\r\n");
  EXPECT_TRUE(Known(100));
  EXPECT_FALSE(Known(201 + kHorizon));
  EXPECT_EQ(AgreesWithTheTop(), -1);
}

TEST_F(RowStatesTest, TheRowsAViewShowsAboveAnEditGetTheirStatesAsWithAParseFromTheTop) {
  Load(2000);
  FEditor.FTopRow = 995;
  Store().ReplaceText(1000, 1, "x\r\n");
  EXPECT_FALSE(Known(994));
  for (int r = 995; r < 1000; ++r) EXPECT_TRUE(Known(r)) << r;
  // A view further up than the horizon reaches is not the edit's concern.
  FEditor.FTopRow = 0;
  Load(2000);
  FEditor.FTopRow = 900;
  Store().UpdateStates(1000, false);
  EXPECT_FALSE(Known(990));
}

TEST_F(RowStatesTest, StatesMovedDownByInsertedRowsAreClearedWhenTheTextAboveChangesThem) {
  AddBracket("{", "}");
  Load(100);
  Store().UpdateStates(60, false);  // rows up to 66 known, outside any region
  Store().ReplaceText(5, 0, "{\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n");
  EXPECT_EQ(AgreesWithTheTop(), -1);
  EXPECT_FALSE(Known(70));
  // Rows that go take the bound of the cleared rows up with them.
  Store().UpdateStates(60, false);
  Store().ReplaceText(1, 20, "");
  Store().ReplaceText(0, 1, "}\r\n");
  EXPECT_EQ(AgreesWithTheTop(), -1);
}

TEST_F(RowStatesTest, RowsChangedPastTheStoreStillHaveTheirStaleStatesCleared) {
  AddBracket("{", "}");
  Load(100);
  Store().UpdateStates(60, false);
  Store().Insert(5, "{");  // straight into the list: no edit that moves the bound
  Store().UpdateStates(5, false);
  EXPECT_FALSE(Known(62));
  EXPECT_EQ(AgreesWithTheTop(), -1);
}

}  // namespace
}  // namespace plomaret
