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

// Runs an action when the scope ends.
template <class F>
class TScopeExit {
 public:
  explicit TScopeExit(F action) : FAction(std::move(action)) {}
  ~TScopeExit() noexcept(false) { scope_detail::RunOnExit(FAction, FUncaught); }
  TScopeExit(const TScopeExit&) = delete;
  TScopeExit& operator=(const TScopeExit&) = delete;

 private:
  F FAction;
  int FUncaught = std::uncaught_exceptions();
};

// Runs an action only when the scope is left by an exception.
template <class F>
class TScopeFailure {
 public:
  explicit TScopeFailure(F action) : FAction(std::move(action)) {}
  ~TScopeFailure() noexcept(false) {
    if (std::uncaught_exceptions() > FUncaught) scope_detail::RunOnExit(FAction, FUncaught);
  }
  TScopeFailure(const TScopeFailure&) = delete;
  TScopeFailure& operator=(const TScopeFailure&) = delete;

 private:
  F FAction;
  int FUncaught = std::uncaught_exceptions();
};

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
