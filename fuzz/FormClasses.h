#pragma once
// What the form-reading targets need before their first input: the in-memory platform
// and the component classes a form may name.
#include "editor/EditorFountain.h"
#include "framework/core/Component.h"
#include "framework/gui/Forms.h"
#include "framework/headless/HeadlessPlatform.h"

inline void PrepareFormClasses() {
  using namespace plomaret;
  static const bool ready = [] {
    UseHeadlessPlatform();
    RegisterComponentClass<TPanel>();
    RegisterComponentClass<TSpeedButton>();
    RegisterComponentClass<TEditorFountain>();
    return true;
  }();
  (void)ready;
}
