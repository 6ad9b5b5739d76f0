#pragma once
// Collections: a persistent list that owns items of one item class.
//
// Items are made only by their collection (Add, Insert, Assign), through the item
// class the collection was built with, so a derived collection makes derived items.
// An item's constructor takes the collection it is made for and may hook the
// collection's events; the item joins the list once it is fully built.
//
// Update(item) runs after every change of the list or of an item's properties,
// unless an update bracket is open; the outermost EndUpdate then calls Update(nullptr).

#include <limits>
#include <memory>
#include <vector>

#include "Persistent.h"

namespace plomaret {

class TCollection;
class TCollectionItem;

// The class of a collection's items: how to make one, and its published properties.
class TCollectionItemClass {
 public:
  template <class Item>
  static TCollectionItemClass Of() {
    return TCollectionItemClass(&CreateItemOf<Item>, &Item::StaticClassInfo);
  }

  TOwned<TCollectionItem> CreateItem(TCollection& collection) const { return FCreate(collection); }
  const TClassInfo& ClassInfo() const { return FClassInfo(); }

 private:
  using TCreateItem = TOwned<TCollectionItem> (*)(TCollection& collection);
  using TClassInfoOf = const TClassInfo& (*)();
  TCollectionItemClass(TCreateItem create, TClassInfoOf classInfo) : FCreate(create), FClassInfo(classInfo) {}

  template <class Item>
  static TOwned<TCollectionItem> CreateItemOf(TCollection& collection) {
    return Create<Item>(collection);
  }

  TCreateItem FCreate;
  TClassInfoOf FClassInfo;
};

class TCollectionItem : public TPersistent {
 public:
  explicit TCollectionItem(TCollection& collection) : FCollection(&collection) {}

  TCollection* Collection() const { return FCollection; }
  // Position in the collection; -1 while the item is being made or freed.
  int Index() const;
  // Moves the item to index (0 .. Count - 1) and reports a change of the whole list.
  virtual void SetIndex(int index);

  TPersistent* GetOwner() const override;

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

 protected:
  // For property setters: report this item's change, or with allItems one that
  // concerns every item.
  void Changed(bool allItems);

 private:
  TCollection* FCollection;
};

class TCollection : public TPersistent {
 public:
  TCollection(TPersistent* owner, TCollectionItemClass itemClass) : FOwner(owner), FItemClass(itemClass) {}
  ~TCollection() override;
  void BeforeDestruction() override;

  // Appends a new item. Derived collections may limit or type this; Insert and
  // Assign go through it.
  virtual TCollectionItem* Add();
  // A new item at index (0 .. Count).
  TCollectionItem* Insert(int index);
  void Delete(int index);
  void Clear();

  int Count() const { return static_cast<int>(FItems.size()); }
  // The most items a derived collection holds; readers refuse more.
  virtual int MaxItemCount() const { return std::numeric_limits<int>::max(); }
  TCollectionItem* Items(int index) const;
  const TCollectionItemClass& ItemClass() const { return FItemClass; }

  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate();
  int UpdateCount() const { return FUpdateCount; }

  // From another collection: clears this one and adds a copy of each source item,
  // in one update; the bracket closes also when an item's Assign fails.
  void Assign(const TPersistent& source) override;

  TPersistent* GetOwner() const override { return FOwner; }

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

 protected:
  // Runs after a change (item == the changed item, or nullptr for the whole list).
  virtual void Update(TCollectionItem* item) {}
  // Update(nullptr), unless an update bracket is open.
  void Changed();

 private:
  friend class TCollectionItem;
  int IndexOf(const TCollectionItem* item) const;
  void CheckIndex(int index) const;
  void FreeItems();

  TPersistent* FOwner;
  TCollectionItemClass FItemClass;
  std::vector<TOwned<TCollectionItem>> FItems;
  int FUpdateCount = 0;
};

}  // namespace plomaret
