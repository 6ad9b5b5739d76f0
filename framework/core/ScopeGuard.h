#pragma once
// Scope guards: state put back on the way out of a scope, however it is left.
//
// What a guard runs on a normal way out may throw, and that exception goes on. What it
// runs while another exception is already on its way is not allowed to replace it: the
// first failure is the one worth reporting.

#include <exception>
#include <utility>

namespace plomaret {

namespace scope_detail {

template <class F>
void RunOnExit(F&& action, int uncaughtAtStart) {
  if (std::uncaught_exceptions() <= uncaughtAtStart) {
    action();
    return;
  }
  try {
    action();
  } catch (...) {
  }
}

}  // namespace scope_detail

// Runs an action when the scope ends, or only when it is left by an exception.
template <class F>
class TScopeExit {
 public:
  explicit TScopeExit(F action, bool onlyOnFailure = false)
      : FAction(std::move(action)), FOnlyOnFailure(onlyOnFailure) {}
  ~TScopeExit() noexcept(false) {
    if (!FOnlyOnFailure || std::uncaught_exceptions() > FUncaught) scope_detail::RunOnExit(FAction, FUncaught);
  }
  TScopeExit(const TScopeExit&) = delete;
  TScopeExit& operator=(const TScopeExit&) = delete;

 private:
  F FAction;
  bool FOnlyOnFailure;
  int FUncaught = std::uncaught_exceptions();
};

template <class F>
TScopeExit<F> OnFailure(F action) {
  return TScopeExit<F>(std::move(action), true);
}

// Holds a variable at one value for the scope and sets it to another at the end (by
// default, back to what it was).
template <class T>
class TScopedValue {
 public:
  TScopedValue(T& target, T during, T after) : FTarget(target), FAfter(std::move(after)) {
    FTarget = std::move(during);
  }
  TScopedValue(T& target, T during) : TScopedValue(target, std::move(during), T(target)) {}
  ~TScopedValue() noexcept(false) {
    scope_detail::RunOnExit([this] { FTarget = std::move(FAfter); }, FUncaught);
  }
  TScopedValue(const TScopedValue&) = delete;
  TScopedValue& operator=(const TScopedValue&) = delete;

 private:
  T& FTarget;
  T FAfter;
  int FUncaught = std::uncaught_exceptions();
};

}  // namespace plomaret
