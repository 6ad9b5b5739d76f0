#include "framework/core/Collection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/core/Graphics.h"

namespace plomaret {
namespace {

class TLogCollection;

// An item with one plain value and an owned font whose changes the item's
// constructor routes into the collection.
class TValueItem : public TCollectionItem {
 public:
  explicit TValueItem(TCollection& collection);

  int Value() const { return FValue; }
  void SetValue(int value) {
    if (value == FValue) return;
    FValue = value;
    Changed(false);
  }
  TFont* Font() const { return FFont.get(); }

  void Assign(const TPersistent& source) override {
    if (const auto* item = dynamic_cast<const TValueItem*>(&source)) {
      if (item->FValue < 0) throw EConvertError("negative values cannot be copied");
      FValue = item->FValue;
      FFont->Assign(*item->FFont);
      return;
    }
    TCollectionItem::Assign(source);
  }

 private:
  int FValue = 0;
  TOwned<TFont> FFont = Create<TFont>();
};

class TLogCollection : public TCollection {
 public:
  explicit TLogCollection(TPersistent* owner = nullptr)
      : TCollection(owner, TCollectionItemClass::Of<TValueItem>()) {}

  TValueItem* Add() override { return static_cast<TValueItem*>(TCollection::Add()); }
  TValueItem* Insert(int index) { return static_cast<TValueItem*>(TCollection::Insert(index)); }
  TValueItem* Item(int index) const { return static_cast<TValueItem*>(Items(index)); }

  void ForwardChange(TObject* sender) { Changed(); }

  // nullptr for a whole-list update, else the changed item's value.
  std::vector<std::string> Updates;

  std::vector<int> Values() const {
    std::vector<int> values;
    for (int i = 0; i < Count(); ++i) values.push_back(Item(i)->Value());
    return values;
  }

 protected:
  void Update(TCollectionItem* item) override {
    Updates.push_back(item == nullptr ? "all" : std::to_string(static_cast<TValueItem*>(item)->Value()));
  }
};

TValueItem::TValueItem(TCollection& collection) : TCollectionItem(collection) {
  if (auto* log = dynamic_cast<TLogCollection*>(&collection)) FFont->OnChange = TNotifyEvent(log, &TLogCollection::ForwardChange);
}

TOwned<TLogCollection> Filled(std::vector<int> values) {
  TOwned<TLogCollection> collection = Create<TLogCollection>();
  for (int value : values) collection->Add()->SetValue(value);
  collection->Updates.clear();
  return collection;
}

TEST(Collection, EveryChangeOutsideABracketRunsTheUpdateHookOnce) {
  TOwned<TLogCollection> c = Filled({});
  TValueItem* first = c->Add();
  EXPECT_EQ(c->Updates, std::vector<std::string>{"all"});
  EXPECT_EQ(first->Collection(), c.get());
  EXPECT_EQ(first->GetOwner(), c.get());

  c->Updates.clear();
  first->SetValue(7);
  first->SetValue(7);  // unchanged: nothing to report
  first->Font()->SetColor(clRed);
  c->Insert(0)->SetValue(3);
  c->Delete(1);
  c->Clear();
  c->Clear();  // already empty
  EXPECT_EQ(c->Updates, (std::vector<std::string>{"7", "all", "all", "3", "all", "all"}));
}

TEST(Collection, NestedBracketsHoldUpdatesUntilTheOutermostEnd) {
  TOwned<TLogCollection> c = Filled({1, 2});
  c->BeginUpdate();
  c->BeginUpdate();
  c->Add()->SetValue(3);
  c->Item(0)->SetValue(10);
  c->Delete(1);
  c->EndUpdate();
  EXPECT_TRUE(c->Updates.empty());
  EXPECT_EQ(c->UpdateCount(), 1);
  c->EndUpdate();
  EXPECT_EQ(c->Updates, std::vector<std::string>{"all"});
  EXPECT_EQ(c->Values(), (std::vector<int>{10, 3}));
}

TEST(Collection, IndexAndSetIndex) {
  TOwned<TLogCollection> c = Filled({0, 1, 2, 3});
  TValueItem* item = c->Item(3);
  item->SetIndex(1);
  EXPECT_EQ(c->Values(), (std::vector<int>{0, 3, 1, 2}));
  EXPECT_EQ(item->Index(), 1);
  EXPECT_EQ(c->Updates, std::vector<std::string>{"all"});
  item->SetIndex(1);
  EXPECT_EQ(c->Updates.size(), 1u);
  item->SetIndex(0);
  EXPECT_EQ(c->Values(), (std::vector<int>{3, 0, 1, 2}));

  c->Insert(4)->SetValue(9);
  c->Insert(2)->SetValue(8);
  EXPECT_EQ(c->Values(), (std::vector<int>{3, 0, 8, 1, 2, 9}));

  EXPECT_THROW(item->SetIndex(6), EListError);
  EXPECT_THROW(c->Insert(7), EListError);
  EXPECT_THROW(c->Insert(-1), EListError);
  EXPECT_THROW(c->Items(6), EListError);
  EXPECT_THROW(c->Delete(-1), EListError);
  EXPECT_EQ(c->Count(), 6);
}

TEST(Collection, AssignCopiesItemsInOneUpdate) {
  TOwned<TLogCollection> target = Filled({1, 2, 3, 4, 5});
  TOwned<TLogCollection> source = Filled({7, 8, 9});
  source->Item(1)->Font()->SetName("FixedSys");
  target->Assign(*source);
  EXPECT_EQ(target->Values(), (std::vector<int>{7, 8, 9}));
  EXPECT_EQ(target->Item(1)->Font()->Name(), "FixedSys");
  EXPECT_NE(target->Item(1), source->Item(1));
  EXPECT_EQ(target->Updates, std::vector<std::string>{"all"});

  // From itself: nothing is lost.
  target->Updates.clear();
  target->Assign(*target);
  EXPECT_EQ(target->Values(), (std::vector<int>{7, 8, 9}));
  EXPECT_TRUE(target->Updates.empty());
}

TEST(Collection, AssignThatFailsClosesItsBracket) {
  TOwned<TLogCollection> target = Filled({1, 2});
  TOwned<TLogCollection> source = Filled({5, -1, 6});
  EXPECT_THROW(target->Assign(*source), EConvertError);
  EXPECT_EQ(target->UpdateCount(), 0);
  EXPECT_EQ(target->Values(), (std::vector<int>{5, 0}));  // the item whose copy failed stays, blank
  EXPECT_EQ(target->Updates, std::vector<std::string>{"all"});

  TOwned<TFont> font = Create<TFont>();
  try {
    target->Assign(*font);
    FAIL() << "a font is not a collection";
  } catch (const EConvertError& error) {
    EXPECT_EQ(error.Message(), "Cannot assign a TFont to a TLogCollection");
  }
}

TEST(Collection, OwnerAndItemClass) {
  TOwned<TFont> owner = Create<TFont>();
  TOwned<TLogCollection> c = Create<TLogCollection>(owner.get());
  EXPECT_EQ(c->GetOwner(), owner.get());
  EXPECT_EQ(&c->ItemClass().ClassInfo(), &TCollectionItem::StaticClassInfo());
  c->Add();
  EXPECT_EQ(c->Item(0)->ClassName(), "TValueItem");
  // Freeing the collection frees its items without running the update hook on a
  // half-destroyed object (ASan and UBSan watch this).
  c.reset();
}

}  // namespace
}  // namespace plomaret
