#pragma once
// The control's own scope guards: the caret and the caret-row underline hidden for a
// scope. Both count, so guards nest.

#include "editor/EditorControl/EditorControlFront.h"
#include "framework/core/ScopeGuard.h"

namespace plomaret {

inline auto CaretHidden(TEditor& editor) {
  editor.CaretHide();
  return TScopeExit([&editor] { editor.CaretShow(); });
}

inline auto UnderlineHidden(TEditor& editor) {
  editor.HideUnderline();
  return TScopeExit([&editor] { editor.ShowUnderline(); });
}

}  // namespace plomaret
