#pragma once
// Components: named persistent objects that own other components and hear when a
// component they refer to goes away.
//
// Ownership, one rule each way:
//   T* c = Create<T>(owner, args...);              the owner keeps c and frees it when
//                                                  the owner is freed; owner must not be
//                                                  nullptr. Free it earlier with
//                                                  owner->FreeComponent(c).
//   TOwned<T> c = CreateWithoutOwner<T>(args...);  nobody else holds c; the TOwned frees it.
// A component's constructor takes no owner (the args above go to it); by the time
// AfterConstruction runs, the component is already in its owner's list. Moving a
// component between owners goes through RemoveComponent (which hands it to the
// caller as a TOwned) and InsertComponent (which takes it).
//
// References between components are raw pointers. A component that keeps one calls
// FreeNotification(target) and clears the pointer in Notification(target, opRemove).
// Components owned by the same owner hear of each other's removal anyway, through
// the owner. A component may hear of the same removal twice; clearing a pointer is
// harmless to repeat.
//
// Freeing runs in BeforeDestruction, while every derived part is still whole:
// csDestroying is set on the component and everything it owns, components that asked
// for free notification hear opRemove, then the owned components are freed, last
// first, each one announced to the owner's components as it goes.

#include <functional>
#include <string>
#include <string_view>
#include <typeinfo>
#include <utility>
#include <vector>

#include "Persistent.h"
#include "Sets.h"

namespace plomaret {

enum TOperation { opInsert, opRemove };

enum TComponentStateFlag { csLoading, csDesigning, csDestroying };
using TComponentState = TSet<TComponentStateFlag>;

class TComponent : public TPersistent {
 public:
  TComponent() = default;
  ~TComponent() override;
  void BeforeDestruction() override;

  TComponent* Owner() const { return FOwner; }
  TPersistent* GetOwner() const override { return FOwner; }

  // A valid identifier, or empty; unique among the owner's components regardless
  // of case.
  const std::string& Name() const { return FName; }
  virtual void SetName(const std::string& name);
  int Tag() const { return FTag; }
  void SetTag(int tag) { FTag = tag; }

  int ComponentCount() const { return static_cast<int>(FComponents.size()); }
  TComponent* Components(int index) const;
  // The owned component of that name (regardless of case), or nullptr.
  TComponent* FindComponent(std::string_view name) const;

  // Takes component, which must have no owner, and announces it with opInsert.
  // On failure (a duplicate name) the caller keeps it.
  template <class T>
  void InsertComponent(TOwned<T>&& component) {
    ValidateInsert(component.get());
    TComponent* taken = component.release();
    AddComponent(taken);
  }
  // Announces opRemove and hands component, which this component must own, to the
  // caller.
  [[nodiscard]] TOwned<TComponent> RemoveComponent(TComponent* component);
  // Removes and frees one owned component now.
  void FreeComponent(TComponent* component) { RemoveComponent(component).reset(); }
  // Frees every owned component, last first.
  void DestroyComponents();

  // Asks for Notification(this, opRemove) on component when this one is freed, and
  // the other way round.
  void FreeNotification(TComponent* component);
  void RemoveFreeNotification(TComponent* component);

  TComponentState ComponentState() const { return FComponentState; }
  // Marks this component, and everything it owns, as being destroyed (csDestroying);
  // a destructor that tears down in steps calls it first.
  void Destroying();
  // Sets or clears csDesigning here and on everything this component owns.
  void SetDesigning(bool designing);
  // A reader marks a component with csLoading while it reads it, then calls Loaded.
  void BeginLoading() { FComponentState.Include(csLoading); }
  virtual void Loaded() { FComponentState.Exclude(csLoading); }

  // The component image (ComponentImage.h). GetChildren calls proc for each component
  // that an image whose root is root holds as this one's child; here, when this is
  // the root, each owned component without a parent. A component with a parent
  // (a control) is written under its parent instead, and a reader puts it back
  // there through SetParentComponent.
  virtual void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root);
  virtual bool HasParent() const { return false; }
  virtual void SetParentComponent(TComponent* parent) {}

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

 protected:
  // component was inserted into or removed from this component's owner tree, or a
  // component this one asked about is being freed. Overrides clear their references
  // to component on opRemove and call this one, which passes the news on to the
  // owned components.
  virtual void Notification(TComponent* component, TOperation operation);

 private:
  void ValidateInsert(TComponent* component) const;
  void ValidateRename(const TComponent* component, const std::string& newName) const;
  void AddComponent(TComponent* component);
  void DetachComponent(TComponent* component);
  void ReleaseAll();

  TComponent* FOwner = nullptr;
  std::string FName;
  int FTag = 0;
  std::vector<TComponent*> FComponents;  // owned; freed by DestroyComponents
  std::vector<TComponent*> FFreeNotifies;
  TComponentState FComponentState;
};

// Creates a component that owner keeps and frees (see the top of this file).
template <class T, class... Args>
  requires ComponentClass<T>
T* Create(TComponent* owner, Args&&... args) {
  if (owner == nullptr) {
    throw EComponentError("Create<" + ClassNameOf(typeid(T)) +
                          ">: a component needs an owner; use CreateWithoutOwner for one without");
  }
  TOwned<T> component(new T(std::forward<Args>(args)...));
  T* created = component.get();
  owner->InsertComponent(std::move(component));
  try {
    created->AfterConstruction();
  } catch (...) {
    owner->FreeComponent(created);
    throw;
  }
  return created;
}

// Creates a component without owner; the returned TOwned frees it.
template <class T, class... Args>
  requires ComponentClass<T>
TOwned<T> CreateWithoutOwner(Args&&... args) {
  TOwned<T> component(new T(std::forward<Args>(args)...));
  component->AfterConstruction();
  return component;
}

// The classes a component reader can make by name: each class whose components
// are read back from images registers itself once, next to its class info.
struct TComponentClass {
  std::string Name;  // as ClassName() gives it
  const std::type_info* Type = nullptr;
  const TClassInfo& (*ClassInfo)() = nullptr;
  TComponent* (*CreateOwned)(TComponent* owner) = nullptr;
};

// Registering a class again does nothing; EComponentError when another class of
// the same name is registered.
void RegisterComponentClass(const TComponentClass& componentClass);
// The class of that name, or nullptr.
const TComponentClass* FindComponentClass(std::string_view name);
// Every registered class, by name.
std::vector<const TComponentClass*> RegisteredComponentClasses();

template <class T>
  requires ComponentClass<T>
void RegisterComponentClass() {
  RegisterComponentClass(TComponentClass{ClassNameOf(typeid(T)), &typeid(T), &T::StaticClassInfo,
                                         [](TComponent* owner) -> TComponent* { return Create<T>(owner); }});
}

}  // namespace plomaret
