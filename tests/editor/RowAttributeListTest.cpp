#include "editor/RowAttributeList.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace plomaret {
namespace {

class RowAttributeListTest : public ::testing::Test {
 protected:
  RowAttributeListTest() {
    FRows->Add("row 0");
    FRows->Add("row 1");
  }
  TOwned<TRowAttributeStringList> FRows = Create<TRowAttributeStringList>();
};

TEST_F(RowAttributeListTest, AFreshRowEndsALineHasNoMarksAndIsNotYetParsed) {
  EXPECT_EQ(FRows->RowAttributes(0), raLineEnd);
  EXPECT_EQ(FRows->RowMarkBits(0), 0);
  EXPECT_EQ(FRows->BracketIndexes(0), kInvalidBracket);
  EXPECT_EQ(FRows->RowAttributeData(0), InvalidRowAttributeData());
}

// Each field, set to values across its range, reads back and leaves every other
// field as it was.
TEST_F(RowAttributeListTest, EveryFieldRoundTripsWithoutDisturbingTheOthers) {
  struct TField {
    const char* name;
    std::function<int(int)> get;
    std::function<void(int, int)> set;
    std::vector<int> values;
  };
  TRowAttributeStringList& rows = *FRows;
  const std::vector<TField> fields = {
      {"RowAttribute", [&](int r) { return int(rows.RowAttributes(r)); },
       [&](int r, int v) { rows.SetRowAttributes(r, TRowAttribute(v)); }, {0, 1, 2}},
      {"PrevRowAttribute", [&](int r) { return int(rows.PrevRowAttributes(r)); },
       [&](int r, int v) { rows.SetPrevRowAttributes(r, uint8_t(v)); }, {0, 1, 2}},
      {"BracketIndex", [&](int r) { return rows.BracketIndexes(r); }, [&](int r, int v) { rows.SetBracketIndexes(r, v); },
       {-2, -1, 0, 7, 13}},
      {"StateValue", [&](int r) { return int(rows.StateValues(r)); }, [&](int r, int v) { rows.SetStateValues(r, uint8_t(v)); },
       {0, 1, 128, 255}},
      {"Remain", [&](int r) { return int(rows.Remains(r)); }, [&](int r, int v) { rows.SetRemains(r, uint8_t(v)); },
       {0, 3, 255}},
      {"StateValue2", [&](int r) { return int(rows.StateValues2(r)); },
       [&](int r, int v) { rows.SetStateValues2(r, uint8_t(v)); }, {0, 200, 255}},
      {"TokenKind", [&](int r) { return int(rows.TokenKinds(r)); }, [&](int r, int v) { rows.SetTokenKinds(r, uint8_t(v)); },
       {0, 28, 255}},
      {"StateByte", [&](int r) { return int(rows.StateBytes(r)); }, [&](int r, int v) { rows.SetStateBytes(r, uint8_t(v)); },
       {0, 0x22, 255}},
      {"RowMarkBits", [&](int r) { return int(rows.RowMarkBits(r)); },
       [&](int r, int v) { rows.SetRowMarkBits(r, uint16_t(v)); }, {0, 1, 0x8000, 0xFFFF}},
  };
  // Start every field at a distinct non-zero value.
  for (size_t f = 0; f < fields.size(); ++f) fields[f].set(0, fields[f].values[1]);
  for (size_t f = 0; f < fields.size(); ++f) {
    for (int value : fields[f].values) {
      fields[f].set(0, value);
      EXPECT_EQ(fields[f].get(0), value) << fields[f].name;
      for (size_t other = 0; other < fields.size(); ++other) {
        if (other == f) continue;
        EXPECT_EQ(fields[other].get(0), fields[other].values[1]) << fields[f].name << " disturbed " << fields[other].name;
      }
    }
    fields[f].set(0, fields[f].values[1]);
  }
  EXPECT_EQ(FRows->Attribute1(1), 0u) << "another row was touched";
  EXPECT_EQ(FRows->Attribute2(1), 0u);
}

struct TChangeCounter {
  int changes = 0;
  void Changed(TObject*) { ++changes; }
};

TEST_F(RowAttributeListTest, SettingFieldsRaisesNoChangeEvent) {
  TChangeCounter counter;
  FRows->OnChange = TNotifyEvent(&counter, &TChangeCounter::Changed);
  FRows->SetRowAttributes(0, raWrap);
  FRows->SetRowMarkBits(0, 0x3);
  FRows->SetRowAttributeData(1, StartRowAttributeData());
  EXPECT_EQ(counter.changes, 0);
}

TEST_F(RowAttributeListTest, StateRecordsKeepTheMarksAndTheInvalidStateKeepsTheAttribute) {
  FRows->SetRowMarkBits(0, 0x0402);
  TRowAttributeData data;
  data.RowAttribute = raWrap;
  data.PrevRowAttribute = raWrap;
  data.BracketIndex = 5;
  data.StateValue = 0x1FF;  // only the low eight bits are kept
  data.Remain = 3;
  data.StateValue2 = 9;
  data.TokenKind = 12;
  data.StateByte = '"';
  data.StateStr = "<<EOT";
  FRows->SetRowAttributeData(0, data);
  TRowAttributeData expected = data;
  expected.StateValue = 0xFF;
  EXPECT_EQ(FRows->RowAttributeData(0), expected);
  EXPECT_EQ(FRows->RowMarkBits(0), 0x0402);

  FRows->InvalidateRowAttributeData(0);
  EXPECT_EQ(FRows->RowAttributes(0), raWrap);
  EXPECT_EQ(FRows->BracketIndexes(0), kInvalidBracket);
  EXPECT_EQ(FRows->StrData(0), "");
  EXPECT_EQ(FRows->StateValues(0), 0);
  EXPECT_EQ(FRows->RowMarkBits(0), 0x0402);

  EXPECT_EQ(StartRowAttributeData().BracketIndex, kNoBracket);
}

TEST_F(RowAttributeListTest, ExchangeCarriesAttributeStateAndMarks) {
  FRows->SetRowAttributes(0, raTextEnd);
  FRows->SetBracketIndexes(0, 3);
  FRows->SetRowMarkBits(0, 0x0001);
  FRows->SetStrData(0, "state");
  FRows->Exchange(0, 1);
  EXPECT_EQ(FRows->Get(1), "row 0");
  EXPECT_EQ(FRows->RowAttributes(1), raTextEnd);
  EXPECT_EQ(FRows->BracketIndexes(1), 3);
  EXPECT_EQ(FRows->RowMarkBits(1), 0x0001);
  EXPECT_EQ(FRows->StrData(1), "state");
  EXPECT_EQ(FRows->RowAttributes(0), raLineEnd);
}

TEST_F(RowAttributeListTest, BadRowsRaiseTheIndexError) {
  EXPECT_THROW(FRows->RowAttributes(2), EStringListError);
  EXPECT_THROW(FRows->SetRowMarkBits(-1, 1), EStringListError);
  EXPECT_THROW(FRows->RowAttributeData(5), EStringListError);
}

}  // namespace
}  // namespace plomaret
