#pragma once
// The control's own scope guards: the caret and the caret-row underline hidden for a
// scope. Both count, so guards nest.

#include "editor/EditorControl/EditorControlFront.h"
#include "framework/core/ScopeGuard.h"

namespace plomaret {

class TCaretHidden {
 public:
  explicit TCaretHidden(TEditor& editor) : FEditor(editor) { FEditor.CaretHide(); }
  ~TCaretHidden() noexcept(false) {
    scope_detail::RunOnExit([this] { FEditor.CaretShow(); }, FUncaught);
  }
  TCaretHidden(const TCaretHidden&) = delete;
  TCaretHidden& operator=(const TCaretHidden&) = delete;

 private:
  TEditor& FEditor;
  int FUncaught = std::uncaught_exceptions();
};

class TUnderlineHidden {
 public:
  explicit TUnderlineHidden(TEditor& editor) : FEditor(editor) { FEditor.HideUnderline(); }
  ~TUnderlineHidden() noexcept(false) {
    scope_detail::RunOnExit([this] { FEditor.ShowUnderline(); }, FUncaught);
  }
  TUnderlineHidden(const TUnderlineHidden&) = delete;
  TUnderlineHidden& operator=(const TUnderlineHidden&) = delete;

 private:
  TEditor& FEditor;
  int FUncaught = std::uncaught_exceptions();
};

}  // namespace plomaret
