#pragma once
// Events as comparable handlers: an object and one of its member functions.
// Handler lists find a handler to remove by equality, which a bare std::function
// cannot offer. Calling an empty event does nothing.

#include <cstring>
#include <type_traits>

namespace plomaret {

class TObject;

template <class... Args>
class TEvent {
 public:
  TEvent() = default;

  template <class C>
  TEvent(C* object, void (C::*method)(Args...)) : FObject(object), FInvoke(&InvokeMember<C>) {
    static_assert(sizeof(method) <= sizeof(FMethod), "member pointer too large");
    std::memcpy(FMethod, &method, sizeof(method));
  }

  bool Assigned() const { return FInvoke != nullptr; }
  explicit operator bool() const { return Assigned(); }

  void operator()(Args... args) const {
    if (FInvoke != nullptr) FInvoke(FObject, FMethod, args...);
  }

  // Same object, same class, same member function.
  bool operator==(const TEvent& other) const {
    return FObject == other.FObject && FInvoke == other.FInvoke &&
           std::memcmp(FMethod, other.FMethod, sizeof(FMethod)) == 0;
  }

 private:
  using TInvoker = void (*)(void* object, const unsigned char* method, Args... args);

  template <class C>
  static void InvokeMember(void* object, const unsigned char* method, Args... args) {
    void (C::*member)(Args...);
    std::memcpy(&member, method, sizeof(member));
    (static_cast<C*>(object)->*member)(args...);
  }

  void* FObject = nullptr;
  TInvoker FInvoke = nullptr;
  unsigned char FMethod[16] = {};
};

// The common event shape: "something changed", with the object that raised it.
using TNotifyEvent = TEvent<TObject*>;

}  // namespace plomaret
