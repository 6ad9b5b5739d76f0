#pragma once
// The in-memory platform for tests and tools: fixed font metrics, a settable screen.

#include "framework/gui/Platform.h"
#include "framework/headless/HeadlessFontEngine.h"
#include "framework/headless/HeadlessWindow.h"

namespace plomaret {

class THeadlessPlatform : public TPlatform {
 public:
  TFontEngine& FontEngine() override { return FFontEngine; }
  THeadlessFontEngine& HeadlessFontEngine() { return FFontEngine; }
  TSize ScreenSize() const override { return FScreenSize; }
  void SetScreenSize(TSize size) { FScreenSize = size; }
  std::unique_ptr<TWindowBackend> CreateWindowBackend(TWinControl&) override {
    return std::make_unique<THeadlessWindow>();
  }
  // Records the menu; a test picks an item by clicking it itself.
  void ShowPopupMenu(TPopupMenu& menu, TPoint screen) override {
    FLastPopup = &menu;
    FLastPopupPoint = screen;
  }
  TPopupMenu* LastPopup() const { return FLastPopup; }
  TPoint LastPopupPoint() const { return FLastPopupPoint; }

 private:
  THeadlessFontEngine FFontEngine;
  TSize FScreenSize{1920, 1080};
  TPopupMenu* FLastPopup = nullptr;
  TPoint FLastPopupPoint;
};

// Installs a headless platform unless one is installed already; returns it.
THeadlessPlatform& UseHeadlessPlatform();

}  // namespace plomaret
