#pragma once
// Base classes through which option objects and colour schemes announce changes.
//
// A setter that changes a value calls AnnounceChange; an owner hooks OnChange and
// repaints or re-parses. BeginChanges/EndChanges batch a bulk change into one
// announcement. ForwardChange, hooked into a child's OnChange, turns the child's
// change into the parent's own.

#include <vector>

#include "framework/core/Collection.h"
#include "framework/core/Component.h"
#include "framework/core/Events.h"
#include "framework/core/Persistent.h"
#include "framework/core/Strings.h"

namespace plomaret {

class TNotifyPersistent : public TPersistent {
 public:
  TNotifyEvent OnChange;

  virtual void AnnounceChange();
  virtual void BeginChanges();
  // Announces once at the outermost level, even when nothing changed in between.
  virtual void EndChanges();
  virtual void ForwardChange(TObject* sender);

  int UpdateDepth() const { return FUpdateDepth; }

 private:
  int FUpdateDepth = 0;
};

// Closes a BeginChanges also when the bracketed work fails.
class TChangesBracket {
 public:
  explicit TChangesBracket(TNotifyPersistent& target) : FTarget(target) { FTarget.BeginChanges(); }
  ~TChangesBracket() { FTarget.EndChanges(); }
  TChangesBracket(const TChangesBracket&) = delete;
  TChangesBracket& operator=(const TChangesBracket&) = delete;

 private:
  TNotifyPersistent& FTarget;
};

// A list of notify handlers; duplicates allowed.
class TMethodList : public TObject {
 public:
  int Add(const TNotifyEvent& method);
  // Removes the most recently added entry equal to method; nothing if none.
  void Remove(const TNotifyEvent& method);
  void Clear() { FMethods.clear(); }
  int Count() const { return static_cast<int>(FMethods.size()); }
  const TNotifyEvent& Items(int index) const { return FMethods.at(static_cast<size_t>(index)); }
  bool Contains(const TNotifyEvent& method) const;
  std::vector<TNotifyEvent> Snapshot() const { return FMethods; }

 private:
  std::vector<TNotifyEvent> FMethods;
};

// Calls every registered handler, in registration order, with the owner as sender.
class TNotifyEventList : public TNotifyPersistent {
 public:
  explicit TNotifyEventList(TObject* owner) : FOwner(owner) {}
  void AfterConstruction() override { FList = Create<TMethodList>(); }

  virtual void Add(const TNotifyEvent& handler) { FList->Add(handler); }
  virtual void Remove(const TNotifyEvent& handler) { FList->Remove(handler); }
  void AnnounceChange() override;

  TObject* Owner() const { return FOwner; }
  const TMethodList& Handlers() const { return *FList; }

 private:
  TObject* FOwner;
  TOwned<TMethodList> FList;
};

// A collection that raises OnChange after any change of its items (outside an
// update bracket).
class TNotifyCollection : public TCollection {
 public:
  using TCollection::TCollection;

  TNotifyEvent OnChange;
  virtual void ForwardChange(TObject* sender);

 protected:
  void Update(TCollectionItem* item) override;
};

class TStoreComponent : public TComponent {};

// A component that serves some file extensions (kept sorted, without duplicates,
// compared without regard to case).
class TFileExtComponent : public TStoreComponent {
 public:
  void AfterConstruction() override;

  TStringList* FileExtList() const { return FFileExtList.get(); }
  virtual void SetFileExtList(const TStrings& value);
  virtual bool HasExtension(std::string_view extension) const;

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

 protected:
  // A new sorted list that ignores duplicates; also serves other word lists.
  virtual TOwned<TStringList> CreateFileExtList();
  virtual void InitFileExtList() {}

 private:
  TOwned<TStringList> FFileExtList;
};

}  // namespace plomaret
