#pragma once
// Events as comparable handlers: an object and one of its member functions.
// Handler lists find a handler to remove by equality, which a bare std::function
// cannot offer. Calling an empty event does nothing.


#include <type_traits>

namespace plomaret {

class TObject;

template <class... Args>
class TEvent {
 public:
  TEvent() = default;

  // The method may belong to a base class of the object's class (a handler such as
  // ForwardChange declared by a base); it is bound as the base's.
  template <class C, class M>
    requires std::is_base_of_v<M, C>
  TEvent(C* object, void (M::*method)(Args...))
      : FObject(static_cast<M*>(object)), FInvoke(&InvokeMember<M>), FMethod(reinterpret_cast<TAnyMethod>(method)) {}

  bool Assigned() const { return FInvoke != nullptr; }
  explicit operator bool() const { return Assigned(); }

  void operator()(Args... args) const {
    if (FInvoke != nullptr) FInvoke(FObject, FMethod, args...);
  }

  // Same object, same class, same member function.
  bool operator==(const TEvent& other) const {
    return FObject == other.FObject && FInvoke == other.FInvoke && FMethod == other.FMethod;
  }

 private:
  // Any member pointer converts to this type and back unchanged; FInvoke remembers
  // the real class, so two handlers compare equal only for the same class too.
  class TAnyClass;
  using TAnyMethod = void (TAnyClass::*)(Args...);
  using TInvoker = void (*)(void* object, TAnyMethod method, Args... args);

  template <class C>
  static void InvokeMember(void* object, TAnyMethod method, Args... args) {
    (static_cast<C*>(object)->*reinterpret_cast<void (C::*)(Args...)>(method))(args...);
  }

  void* FObject = nullptr;
  TInvoker FInvoke = nullptr;
  TAnyMethod FMethod = nullptr;
};

// The common event shape: "something changed", with the object that raised it.
using TNotifyEvent = TEvent<TObject*>;

}  // namespace plomaret
