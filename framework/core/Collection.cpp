#include "Collection.h"

#include <algorithm>

#include "Properties.h"
#include "Strings.h"

namespace plomaret {

namespace {

// Closes an update bracket of a collection also when the bracketed work fails.
class TCollectionUpdate {
 public:
  explicit TCollectionUpdate(TCollection& collection) : FCollection(collection) { FCollection.BeginUpdate(); }
  ~TCollectionUpdate() { FCollection.EndUpdate(); }
  TCollectionUpdate(const TCollectionUpdate&) = delete;
  TCollectionUpdate& operator=(const TCollectionUpdate&) = delete;

 private:
  TCollection& FCollection;
};

}  // namespace

// ---- TCollectionItem ------------------------------------------------------------

const TClassInfo& TCollectionItem::StaticClassInfo() {
  static const TClassInfo info("TCollectionItem", &TPersistent::StaticClassInfo());
  return info;
}

int TCollectionItem::Index() const { return FCollection->IndexOf(this); }

void TCollectionItem::SetIndex(int index) {
  const int current = Index();
  if (current < 0 || current == index) return;
  FCollection->CheckIndex(index);
  auto& items = FCollection->FItems;
  TOwned<TCollectionItem> self = std::move(items[static_cast<size_t>(current)]);
  items.erase(items.begin() + current);
  items.insert(items.begin() + index, std::move(self));
  Changed(true);
}

TPersistent* TCollectionItem::GetOwner() const { return FCollection; }

void TCollectionItem::Changed(bool allItems) {
  if (FCollection->FUpdateCount == 0) FCollection->Update(allItems ? nullptr : this);
}

// ---- TCollection ----------------------------------------------------------------

const TClassInfo& TCollection::StaticClassInfo() {
  static const TClassInfo info("TCollection", &TPersistent::StaticClassInfo());
  return info;
}

TCollection::~TCollection() {
  FUpdateCount = 1;
  FreeItems();
}

void TCollection::BeforeDestruction() {
  // Items go while the collection is whole, without telling anyone of each one.
  FUpdateCount = 1;
  FreeItems();
  TPersistent::BeforeDestruction();
}

void TCollection::FreeItems() {
  // Each item leaves the list before it is freed, so it never sees itself listed
  // half-destroyed.
  while (!FItems.empty()) {
    TOwned<TCollectionItem> item = std::move(FItems.back());
    FItems.pop_back();
  }
}

TCollectionItem* TCollection::Add() {
  TOwned<TCollectionItem> item = FItemClass.CreateItem(*this);
  TCollectionItem* added = item.get();
  FItems.push_back(std::move(item));
  Changed();
  return added;
}

TCollectionItem* TCollection::Insert(int index) {
  if (index < 0 || index > Count()) throw EListError(SListIndexError);
  TCollectionUpdate bracket(*this);
  TCollectionItem* item = Add();
  item->SetIndex(index);
  return item;
}

void TCollection::Delete(int index) {
  CheckIndex(index);
  TOwned<TCollectionItem> item = std::move(FItems[static_cast<size_t>(index)]);
  FItems.erase(FItems.begin() + index);
  item.reset();
  Changed();
}

void TCollection::Clear() {
  if (FItems.empty()) return;
  TCollectionUpdate bracket(*this);
  FreeItems();
}

TCollectionItem* TCollection::Items(int index) const {
  CheckIndex(index);
  return FItems[static_cast<size_t>(index)].get();
}

void TCollection::EndUpdate() {
  --FUpdateCount;
  Changed();
}

void TCollection::Changed() {
  if (FUpdateCount == 0) Update(nullptr);
}

void TCollection::Assign(const TPersistent& source) {
  if (const auto* other = dynamic_cast<const TCollection*>(&source)) {
    // Clearing first would lose the very items to be copied.
    if (other == this) return;
    TCollectionUpdate bracket(*this);
    Clear();
    for (int i = 0; i < other->Count(); ++i) Add()->Assign(*other->Items(i));
    return;
  }
  TPersistent::Assign(source);
}

int TCollection::IndexOf(const TCollectionItem* item) const {
  for (size_t i = 0; i < FItems.size(); ++i) {
    if (FItems[i].get() == item) return static_cast<int>(i);
  }
  return -1;
}

void TCollection::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) throw EListError(SListIndexError);
}

}  // namespace plomaret
