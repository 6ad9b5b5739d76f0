#pragma once
// Objects whose values can be copied from another object of a compatible class.

#include <string>

#include "Exceptions.h"
#include "Object.h"

namespace plomaret {

class TPersistent : public TObject {
 public:
  // Copies the values of source into this object. The default asks the source to
  // assign itself to us, and fails when neither side knows the other.
  virtual void Assign(const TPersistent& source) { source.AssignTo(*this); }

 protected:
  virtual void AssignTo(TPersistent& destination) const {
    throw EConvertError("Cannot assign these objects to each other");
  }
};

}  // namespace plomaret
