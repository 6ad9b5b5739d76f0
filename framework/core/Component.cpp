#include "Component.h"

#include <algorithm>
#include <map>

#include "CodePage.h"
#include "Properties.h"
#include "Strings.h"

namespace plomaret {

namespace {

bool IsValidIdent(const std::string& name) {
  auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  if (name.empty() || !letter(name.front())) return false;
  return std::all_of(name.begin(), name.end(), [&](char c) { return letter(c) || digit(c); });
}

void Erase(std::vector<TComponent*>& list, const TComponent* component) {
  list.erase(std::remove(list.begin(), list.end(), component), list.end());
}

}  // namespace

const TClassInfo& TComponent::StaticClassInfo() {
  static const TClassInfo info = TPublished<TComponent>("TComponent", TPersistent::StaticClassInfo())
                                     .Property("Name", &TComponent::Name, &TComponent::SetName)
                                     .Property("Tag", &TComponent::Tag, &TComponent::SetTag, 0);
  return info;
}

TComponent::~TComponent() {
  // Only does anything when the component was not freed through TFree.
  Destroying();
  ReleaseAll();
}

void TComponent::BeforeDestruction() {
  Destroying();
  ReleaseAll();
  TPersistent::BeforeDestruction();
}

void TComponent::Destroying() {
  if (FComponentState.Contains(csDestroying)) return;
  FComponentState.Include(csDestroying);
  for (TComponent* component : FComponents) component->Destroying();
}

void TComponent::ReleaseAll() {
  // A notified component may free others, which then leave our list themselves,
  // so the list is read afresh each time.
  while (!FFreeNotifies.empty()) {
    TComponent* other = FFreeNotifies.back();
    FFreeNotifies.pop_back();
    Erase(other->FFreeNotifies, this);
    other->Notification(this, opRemove);
  }
  DestroyComponents();
  if (FOwner != nullptr) FOwner->DetachComponent(this);
}

void TComponent::SetName(const std::string& name) {
  if (name == FName) return;
  if (!name.empty() && !IsValidIdent(name)) throw EComponentError("'" + name + "' is not a valid component name");
  if (FOwner != nullptr) FOwner->ValidateRename(this, name);
  FName = name;
}

TComponent* TComponent::Components(int index) const {
  if (index < 0 || index >= ComponentCount()) throw EListError(SListIndexError);
  return FComponents[static_cast<size_t>(index)];
}

TComponent* TComponent::FindComponent(std::string_view name) const {
  if (name.empty()) return nullptr;
  for (TComponent* component : FComponents) {
    if (AnsiSameText(component->FName, name)) return component;
  }
  return nullptr;
}

void TComponent::ValidateRename(const TComponent* component, const std::string& newName) const {
  const TComponent* found = FindComponent(newName);
  if (found != nullptr && found != component) throw EComponentError("A component named " + newName + " already exists");
}

void TComponent::ValidateInsert(TComponent* component) const {
  if (component == nullptr) throw EComponentError("Cannot insert nil into " + ClassName());
  if (component->FOwner != nullptr) {
    throw EComponentError("Cannot insert " + component->ClassName() + ": it already has an owner");
  }
  for (const TComponent* ancestor = this; ancestor != nullptr; ancestor = ancestor->FOwner) {
    if (ancestor == component) throw EComponentError("A component cannot own itself or its owner");
  }
  ValidateRename(component, component->FName);
}

void TComponent::AddComponent(TComponent* component) {
  FComponents.push_back(component);
  component->FOwner = this;
  if (FComponentState.Contains(csDesigning)) component->SetDesigning(true);
  Notification(component, opInsert);
}

void TComponent::DetachComponent(TComponent* component) {
  Notification(component, opRemove);
  Erase(FComponents, component);
  component->FOwner = nullptr;
}

TOwned<TComponent> TComponent::RemoveComponent(TComponent* component) {
  if (component == nullptr || component->FOwner != this) {
    throw EComponentError("Cannot remove a component that " + ClassName() + " does not own");
  }
  DetachComponent(component);
  return TOwned<TComponent>(component);
}

void TComponent::DestroyComponents() {
  while (!FComponents.empty()) FreeComponent(FComponents.back());
}

void TComponent::FreeNotification(TComponent* component) {
  if (component == nullptr || component == this) return;
  if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), component) == FFreeNotifies.end()) {
    FFreeNotifies.push_back(component);
  }
  if (std::find(component->FFreeNotifies.begin(), component->FFreeNotifies.end(), this) ==
      component->FFreeNotifies.end()) {
    component->FFreeNotifies.push_back(this);
  }
}

void TComponent::RemoveFreeNotification(TComponent* component) {
  if (component == nullptr) return;
  Erase(FFreeNotifies, component);
  Erase(component->FFreeNotifies, this);
}

void TComponent::SetDesigning(bool designing) {
  if (designing) {
    FComponentState.Include(csDesigning);
  } else {
    FComponentState.Exclude(csDesigning);
  }
  for (TComponent* component : FComponents) component->SetDesigning(designing);
}

void TComponent::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) {
  if (root != this) return;
  for (TComponent* component : FComponents) {
    if (!component->HasParent()) proc(component);
  }
}

void TComponent::Notification(TComponent* component, TOperation operation) {
  if (operation == opRemove && component != nullptr) RemoveFreeNotification(component);
  // Indexed, because a notified component may change the list.
  for (size_t i = 0; i < FComponents.size(); ++i) FComponents[i]->Notification(component, operation);
}

// ---- Component classes ----------------------------------------------------------

namespace {

std::map<std::string, TComponentClass, std::less<>>& ComponentClasses() {
  static std::map<std::string, TComponentClass, std::less<>> classes;
  return classes;
}

}  // namespace

void RegisterComponentClass(const TComponentClass& componentClass) {
  auto [found, added] = ComponentClasses().emplace(componentClass.Name, componentClass);
  if (!added && *found->second.Type != *componentClass.Type) {
    throw EComponentError("Another class named " + componentClass.Name + " is already registered");
  }
}

const TComponentClass* FindComponentClass(std::string_view name) {
  auto found = ComponentClasses().find(name);
  return found != ComponentClasses().end() ? &found->second : nullptr;
}

std::vector<const TComponentClass*> RegisteredComponentClasses() {
  std::vector<const TComponentClass*> classes;
  for (const auto& [name, componentClass] : ComponentClasses()) classes.push_back(&componentClass);
  return classes;
}

}  // namespace plomaret
