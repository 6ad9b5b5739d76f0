#include "editor/LineList.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace plomaret {
namespace {

struct TEventLog {
  std::string log;
  void Changing(TObject*) { log += "<"; }
  void Changed(TObject*) { log += ">"; }
};

class LineListTest : public ::testing::Test {
 protected:
  LineListTest() {
    FList->OnChanging = TNotifyEvent(&FEvents, &TEventLog::Changing);
    FList->OnChange = TNotifyEvent(&FEvents, &TEventLog::Changed);
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (int i = 0; i < FList->Count(); ++i) texts.push_back(FList->Get(i));
    return texts;
  }
  TOwned<TLineList> FList = Create<TLineList>();
  TEventLog FEvents;
};

TEST_F(LineListTest, CapacityGrowsByTheFixedSteps) {
  std::vector<int> capacities;
  for (int i = 0; i < 100; ++i) {
    if (FList->Count() == FList->Capacity()) capacities.push_back(FList->Capacity());
    FList->Add("x");
  }
  EXPECT_EQ(capacities, (std::vector<int>{0, 4, 8, 12, 28, 44, 60, 76, 95}));
  FList->Delete(50);
  EXPECT_EQ(FList->Capacity(), 118) << "deleting keeps the capacity";
  FList->Clear();
  EXPECT_EQ(FList->Capacity(), 0);
}

TEST_F(LineListTest, EveryChangeOfTextOrOrderIsAnnouncedBeforeAndAfter) {
  FList->Add("a");
  FList->Insert(0, "b");
  FList->Put(1, "c");
  FList->Exchange(0, 1);
  FList->Delete(0);
  EXPECT_EQ(FEvents.log, "<><><><><>");
  FEvents.log.clear();
  FList->SetDataWord(0, 7);
  FList->SetAttribute1(0, 1);
  FList->SetAttribute2(0, 2);
  FList->SetStrData(0, "s");
  EXPECT_EQ(FEvents.log, "") << "data words and the second string are not changes";
  FList->Clear();
  FList->Clear();
  EXPECT_EQ(FEvents.log, "<>") << "clearing an empty list announces nothing";
}

TEST_F(LineListTest, UpdateBracketsAnnounceOnceAroundTheBatch) {
  FList->BeginUpdate();
  FList->BeginUpdate();
  for (int i = 0; i < 10; ++i) FList->Add("row");
  FList->Delete(3);
  FList->EndUpdate();
  EXPECT_EQ(FEvents.log, "<");
  FList->EndUpdate();
  EXPECT_EQ(FEvents.log, "<>");
}

TEST_F(LineListTest, IndexErrorsCarryTheMessageAndChangeNothing) {
  FList->Add("a");
  FEvents.log.clear();
  auto expectIndexError = [](auto&& operation) {
    try {
      operation();
      ADD_FAILURE() << "no index error";
    } catch (const EStringListError& error) {
      EXPECT_STREQ(error.what(), "リストのインデックスが範囲を超えています");
    }
  };
  expectIndexError([&] { FList->Insert(2, "x"); });
  expectIndexError([&] { FList->Insert(-1, "x"); });
  expectIndexError([&] { FList->Get(1); });
  expectIndexError([&] { FList->Put(-1, "x"); });
  expectIndexError([&] { FList->Delete(1); });
  expectIndexError([&] { FList->Exchange(0, 1); });
  expectIndexError([&] { FList->DataWord(1); });
  expectIndexError([&] { FList->SetAttribute1(-1, 0); });
  expectIndexError([&] { FList->StrData(1); });
  EXPECT_EQ(FEvents.log, "");
  EXPECT_EQ(Texts(), std::vector<std::string>{"a"});
  FList->Insert(1, "b");  // Insert(Count) appends
  EXPECT_EQ(Texts(), (std::vector<std::string>{"a", "b"}));
}

TEST_F(LineListTest, ItemDataFollowsItsItem) {
  for (const char* text : {"zero", "one", "two"}) FList->Add(text);
  FList->SetStrData(1, "second");
  FList->SetDataWord(1, -5);
  FList->SetAttribute1(1, 0xDEADBEEF);
  FList->SetAttribute2(1, 0x12345678);

  FList->Put(1, "ONE");  // the text changes, the rest stays
  EXPECT_EQ(FList->StrData(1), "second");
  EXPECT_EQ(FList->DataWord(1), -5);

  FList->Exchange(1, 2);  // the whole item moves
  EXPECT_EQ(FList->Get(2), "ONE");
  EXPECT_EQ(FList->StrData(2), "second");
  EXPECT_EQ(FList->Attribute1(2), 0xDEADBEEFu);
  EXPECT_EQ(FList->Attribute2(2), 0x12345678u);
  EXPECT_EQ(FList->StrData(1), "");
  EXPECT_EQ(FList->DataWord(1), 0);

  FList->Insert(0, "new");  // a new item starts empty, and the rest keep theirs
  EXPECT_EQ(FList->StrData(0), "");
  EXPECT_EQ(FList->Attribute1(0), 0u);
  EXPECT_EQ(FList->DataWord(3), -5);
  FList->Delete(0);
  EXPECT_EQ(FList->Attribute2(2), 0x12345678u);
}

// Random edits at moving positions, checked against a plain vector: the gap and the
// text arena must never show through.
TEST_F(LineListTest, BehavesLikeAPlainVectorUnderRandomEdits) {
  struct TModel {
    std::string text;
    int32_t data;
    std::string strData;
    uint32_t attribute1 = 0;
    uint32_t attribute2 = 0;
  };
  std::vector<TModel> model;
  std::mt19937 random(42);
  // Items whose first word ends in binary 01 are counted, with a checkpoint every
  // eight items, and asked after at random places.
  FList->CountItemsWith(3, 1, 8);
  auto counted = [&](size_t end) {
    int n = 0;
    for (size_t i = 0; i < end; ++i) n += (model[i].attribute1 & 3) == 1 ? 1 : 0;
    return n;
  };
  auto randomText = [&] {
    // Mostly short rows, some past the one-byte length header.
    std::string text(random() % 8 == 0 ? random() % 400 : random() % 40, 'a');
    for (char& c : text) c = static_cast<char>('a' + random() % 26);
    return text;
  };
  for (int step = 0; step < 20000; ++step) {
    const int count = static_cast<int>(model.size());
    const int choice = static_cast<int>(random() % 10);
    if (choice < 4 || count == 0) {
      int at = static_cast<int>(random() % (count + 1));
      std::string text = randomText();
      FList->Insert(at, text);
      const int32_t data = step % 3 == 0 ? 0 : step;
      FList->SetDataWord(at, data);
      model.insert(model.begin() + at, {text, data, ""});
    } else if (choice < 7) {
      int at = static_cast<int>(random() % count);
      FList->Delete(at);
      model.erase(model.begin() + at);
    } else if (choice < 9) {
      // Written anew, in place where it fits, as a fresh item without extras, or
      // only its first word.
      int at = static_cast<int>(random() % count);
      std::string text = randomText();
      if (random() % 4 == 0) {
        const uint32_t attribute1 = static_cast<uint32_t>(random() % 8);
        FList->SetAttribute1(at, attribute1);
        model[at].attribute1 = attribute1;
        text = model[at].text;
      }
      switch (random() % 3) {
        case 0:
          FList->Put(at, text);
          break;
        case 1:
          FList->PutInPlace(at, text);
          break;
        default: {
          const uint32_t attribute1 = static_cast<uint32_t>(random() % 2 == 0 ? 1 : random());
          const uint32_t attribute2 = static_cast<uint32_t>(random());
          FList->PutFresh(at, text, attribute1, attribute2);
          model[at] = {text, 0, "", attribute1, attribute2};
          break;
        }
      }
      model[at].text = text;
    } else if (choice < 10 && step % 2 == 0) {
      int a = static_cast<int>(random() % count), b = static_cast<int>(random() % count);
      FList->Exchange(a, b);
      std::swap(model[a], model[b]);
    } else {
      // The rare extras come and go; clearing both gives their room back.
      int at = static_cast<int>(random() % count);
      std::string strData = random() % 3 == 0 ? std::string() : randomText();
      FList->SetStrData(at, strData);
      model[at].strData = strData;
      if (random() % 2 == 0) {
        FList->SetDataWord(at, 0);
        model[at].data = 0;
      }
    }
    const size_t before = model.empty() ? 0 : random() % (model.size() + 1);
    ASSERT_EQ(FList->CountedItemsBefore(static_cast<int>(before)), counted(before)) << "step " << step;
    ASSERT_EQ(FList->CountedItems(), counted(model.size())) << "step " << step;
    if (step % 997 == 0 || step == 19999) {
      ASSERT_EQ(FList->Count(), static_cast<int>(model.size()));
      for (int i = 0; i < FList->Count(); ++i) {
        ASSERT_EQ(FList->ViewAt(i), model[i].text) << "step " << step << " item " << i;
        ASSERT_EQ(FList->ViewAt(i).data()[model[i].text.size()], '\0') << "scanners rely on the zero byte";
        ASSERT_EQ(FList->DataWord(i), model[i].data);
        ASSERT_EQ(FList->ViewStrData(i), model[i].strData);
        ASSERT_EQ(FList->Attribute1(i), model[i].attribute1);
        ASSERT_EQ(FList->Attribute2(i), model[i].attribute2);
      }
    }
  }
}

TEST_F(LineListTest, CapacityCanBeSetButNotBelowTheCount) {
  FList->SetItemCapacity(100);
  EXPECT_EQ(FList->Capacity(), 100);
  for (int i = 0; i < 10; ++i) FList->Add(std::to_string(i));
  FList->Delete(5);  // the gap now sits in the middle
  FList->SetItemCapacity(9);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"0", "1", "2", "3", "4", "6", "7", "8", "9"}));
  EXPECT_THROW(FList->SetItemCapacity(8), EStringListError);
}

TEST_F(LineListTest, DestroyingAListAnnouncesNothing) {
  FList->Add("a");
  FEvents.log.clear();
  FList.reset();
  EXPECT_EQ(FEvents.log, "");
}

}  // namespace
}  // namespace plomaret
