#pragma once
// What the component image and the form text share: which properties they store,
// how deep they nest, and references set once every component is there.

#include <algorithm>
#include <cstdint>
#include <string>
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

// Whether an ordinal property's value is left out: read-only or at its default.
inline bool SkipsOrdinal(const TPersistent& instance, const TPropInfo& prop) {
  return !prop.SetOrd || (prop.Default && *prop.Default == prop.GetOrd(instance));
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
