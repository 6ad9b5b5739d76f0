#pragma once
// What the component image and the form text share: which properties they store,
// how deep they nest, and references set once every component is there.

#include <algorithm>
#include <cstdint>
#include <string>
#include <typeinfo>
#include <vector>

#include "Component.h"
#include "Properties.h"

namespace plomaret::streaming {

// Components, owned objects and collection items, one inside the other. Real trees
// are a few levels deep; the limit keeps hostile input from exhausting the stack.
inline constexpr int kMaxDepth = 64;

inline bool IsBoolean(const TTypeInfo& type) { return type.Kind == tkEnumeration && type.Name == "Boolean"; }

inline bool RefersToComponents(const TPropInfo& prop) {
  const TClassInfo* element = prop.ElementClass();
  return element != nullptr && element->InheritsFrom(TComponent::StaticClassInfo());
}

// The header of each component carries its name.
inline bool IsNameProperty(const TPropInfo& prop) {
  return &prop == TComponent::StaticClassInfo().FindProperty("Name");
}

// The set members a value may hold: the element ordinals that fit in 64 bits.
template <class Proc>
void ForEachSetMember(const TTypeInfo& setType, Proc proc) {
  const TTypeInfo& element = *setType.ElementType;
  for (int64_t ordinal = std::max<int64_t>(element.MinValue, 0); ordinal <= element.MaxValue && ordinal < 64; ++ordinal) {
    const int64_t index = ordinal - element.MinValue;
    if (index < static_cast<int64_t>(element.Names.size())) proc(ordinal, element.Names[static_cast<size_t>(index)]);
  }
}

// The properties a writer stores, in order: stored ones except the name.
inline std::vector<const TPropInfo*> StoredProperties(const TPersistent& instance) {
  std::vector<const TPropInfo*> result;
  for (const TPropInfo* prop : GetPropList(instance.ClassInfo(), tkProperties, false)) {
    if (prop->Stored && !IsNameProperty(*prop)) result.push_back(prop);
  }
  return result;
}

// What a reader starts from before it sets what was written: a component made
// fresh by its registered class, as the reader makes it. Within it, the objects at
// the same places are the references for the objects written.
class TReferenceComponent {
 public:
  explicit TReferenceComponent(const TComponentClass& componentClass)
      : FOwner(CreateWithoutOwner<TComponent>()), FComponent(componentClass.CreateOwned(FOwner.get())) {}

  TPersistent* Get() const { return FComponent; }

 private:
  TOwned<TComponent> FOwner;
  TComponent* FComponent;
};

// The reference when it is of instance's very class, else nullptr.
inline TPersistent* MatchingReference(const TPersistent& instance, TPersistent* reference) {
  return reference != nullptr && typeid(*reference) == typeid(instance) ? reference : nullptr;
}

// The object prop holds in the reference, or nullptr.
inline TPersistent* ReferenceObject(const TPersistent* reference, const TPropInfo& prop) {
  return reference != nullptr ? dynamic_cast<TPersistent*>(prop.GetObject(*reference)) : nullptr;
}

// The reference for the items of a collection: an item its reference makes after
// clearing, as a reader does. Made once per collection written.
TPersistent* ReferenceItem(TPersistent* referenceCollection);

// Whether an ordinal property's value is left out: read-only, or at its class's
// default and at the value of the reference, when there is one. An owner may give
// its parts values of their own (the editor's selection colours): a value that is
// merely the class's default must then be written, or the reader keeps the owner's.
inline bool SkipsOrdinal(const TPersistent& instance, const TPersistent* reference, const TPropInfo& prop) {
  if (!prop.SetOrd) return true;
  const int64_t value = prop.GetOrd(instance);
  return prop.Default && *prop.Default == value && (reference == nullptr || prop.GetOrd(*reference) == value);
}

// Whether a reference to component can be written: a reader looks references up
// among the root's components only.
inline bool CanRefer(const TPropInfo& prop, const TComponent& component, const TComponent* root) {
  return prop.SetObject && !component.Name().empty() && (&component == root || component.Owner() == root);
}

// Reference properties read by name, set after every component is read.
class TReferenceFixups {
 public:
  struct TPathStep {
    const TPropInfo* Prop;
    int Item;  // index into the collection Prop holds, or -1
  };

  void Clear() { FFixups.clear(); }
  void Add(TComponent* component, std::vector<TPathStep> path, const TPropInfo* prop, std::string target) {
    FFixups.push_back({component, std::move(path), prop, std::move(target)});
  }
  // Looks each name up among owner's components (or owner itself). A component that
  // is not there leaves the reference as it was.
  void Resolve(TComponent& owner) const;

 private:
  struct TFixup {
    TComponent* Component;
    std::vector<TPathStep> Path;  // from Component to the instance that has Prop
    const TPropInfo* Prop;
    std::string Target;
  };
  std::vector<TFixup> FFixups;
};

}  // namespace plomaret::streaming
