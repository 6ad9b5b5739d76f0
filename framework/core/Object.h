#pragma once
// The root of the framework's class tree and its two-phase construction.
//
// A C++ constructor cannot reach an override, yet our classes create their parts
// through overridable factories. So a constructor only sets fields; work that calls
// overridable operations goes into AfterConstruction(), which Create() runs right
// after `new`. Likewise BeforeDestruction() runs before the destructor, while the
// object is still whole. Always make TObject-derived objects with Create().
// Components (Component.h) have their own Create, because their owner frees them.

#include <memory>
#include <string>
#include <type_traits>
#include <typeinfo>
#include <utility>

namespace plomaret {

// The class name of a C++ type without its namespaces, e.g. "TFont".
std::string ClassNameOf(const std::type_info& type);

class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;

  virtual void AfterConstruction() {}
  virtual void BeforeDestruction() {}

  // The name of the object's own (most derived) class, for messages.
  std::string ClassName() const { return ClassNameOf(typeid(*this)); }
};

class TComponent;
template <class T>
concept ComponentClass = std::is_base_of_v<TComponent, T>;

// Frees a TObject the framework's way: BeforeDestruction, then delete.
struct TFree {
  void operator()(TObject* object) const {
    if (object != nullptr) {
      object->BeforeDestruction();
      delete object;
    }
  }
};

template <class T>
using TOwned = std::unique_ptr<T, TFree>;

// The one creation helper: construct, then let the object finish itself.
// If AfterConstruction throws, the half-built object is freed and the error goes on.
template <class T, class... Args>
  requires(!ComponentClass<T>)
TOwned<T> Create(Args&&... args) {
  TOwned<T> object(new T(std::forward<Args>(args)...));
  object->AfterConstruction();
  return object;
}

}  // namespace plomaret
