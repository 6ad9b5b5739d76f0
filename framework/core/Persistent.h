#pragma once
// Objects whose values can be copied from another object of a compatible class, and
// which describe their published properties (Properties.h).

#include <string>

#include "Exceptions.h"
#include "Object.h"

namespace plomaret {

class TClassInfo;

class TPersistent : public TObject {
 public:
  // Copies the values of source into this object. The default asks the source to
  // assign itself to us, and fails when neither side knows the other.
  virtual void Assign(const TPersistent& source) { source.AssignTo(*this); }

  // The object that owns this one (a collection's owner, an item's collection, a
  // component's owner), or nullptr.
  virtual TPersistent* GetOwner() const { return nullptr; }

  // The published properties of this class. Every class that publishes properties
  // declares both functions; a class that does not inherits its parent's.
  static const TClassInfo& StaticClassInfo();
  virtual const TClassInfo& ClassInfo() const { return StaticClassInfo(); }

 protected:
  virtual void AssignTo(TPersistent& destination) const { destination.AssignError(this); }

  // "Cannot assign a TSource to a TDestination".
  [[noreturn]] void AssignError(const TPersistent* source) const {
    const std::string sourceName = source != nullptr ? source->ClassName() : "nil";
    throw EConvertError("Cannot assign a " + sourceName + " to a " + ClassName());
  }
};

}  // namespace plomaret
