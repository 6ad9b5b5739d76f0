#pragma once
// Every published value of an object as text, for comparing two objects (a copy with
// its source, a read-back with what was written) in one expectation.

#include <set>
#include <string>

#include "framework/core/Collection.h"
#include "framework/core/Component.h"
#include "framework/core/Properties.h"
#include "framework/core/Strings.h"

namespace plomaret::testing {

// A line a value ("Font.Size = 8"), through the objects instance owns and the items
// of its collections; a referenced component by its name.
inline void ListPublishedValues(const TPersistent& instance, const std::string& prefix, std::string& out,
                                std::set<const TObject*>& seen) {
  if (!seen.insert(&instance).second) return;
  for (const TPropInfo* prop : GetPropList(instance.ClassInfo(), tkProperties, false)) {
    const std::string path = prefix + prop->Name;
    if (prop->Kind() != tkClass) {
      out += path + " = " + GetPropertyText(instance, *prop) + "\n";
      continue;
    }
    TObject* value = prop->GetObject(instance);
    if (auto* component = dynamic_cast<TComponent*>(value)) {
      out += path + " -> " + component->Name() + "\n";
    } else if (auto* strings = dynamic_cast<TStrings*>(value)) {
      out += path + " = (" + strings->Text() + ")\n";
    } else if (auto* collection = dynamic_cast<TCollection*>(value)) {
      out += path + " has " + std::to_string(collection->Count()) + "\n";
      for (int i = 0; i < collection->Count(); ++i) {
        ListPublishedValues(*collection->Items(i), path + "[" + std::to_string(i) + "].", out, seen);
      }
    } else if (auto* object = dynamic_cast<TPersistent*>(value)) {
      ListPublishedValues(*object, path + ".", out, seen);
    }
  }
}

inline std::string PublishedValues(const TPersistent& instance) {
  std::string out;
  std::set<const TObject*> seen;
  ListPublishedValues(instance, "", out, seen);
  return out;
}

}  // namespace plomaret::testing
