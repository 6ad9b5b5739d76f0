#include "HeadlessWindow.h"

#include "framework/core/Exceptions.h"

namespace plomaret {

THeadlessWindow& HeadlessWindowOf(TWinControl& control) {
  control.HandleNeeded();
  auto* window = dynamic_cast<THeadlessWindow*>(control.Backend());
  if (window == nullptr) throw Exception("The control's window is not a headless one");
  return *window;
}

}  // namespace plomaret
