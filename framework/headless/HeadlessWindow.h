#pragma once
// A window of the headless backend: it keeps what a screen would show and a log of
// what was invalidated, painted and drawn, so tests can check that a change repaints
// only what it should.

#include <string>
#include <vector>

#include "framework/gui/Control.h"

namespace plomaret {

class THeadlessWindow : public TWindowBackend {
 public:
  enum TPaintKind { pkInvalidated, pkPainted, pkDrawn };
  struct TPaintLogEntry {
    TPaintKind Kind;
    TRect Rect;
    bool operator==(const TPaintLogEntry&) const = default;
  };

  void SetBounds(const TRect& bounds) override { FBounds = bounds; }
  void SetVisible(bool visible) override { FVisible = visible; }
  void SetCaption(const std::string& caption) override { FCaptions.push_back(caption); }
  void Present(const TRect& rect, bool painted) override { FLog.push_back({painted ? pkPainted : pkDrawn, rect}); }
  void Invalidated(const TRect& rect) override { FLog.push_back({pkInvalidated, rect}); }
  void SetScrollInfo(TScrollBarKind bar, const TScrollInfo& info) override { FScrollBars[bar] = info; }
  void CreateCaret(int width, int height) override { FCaretSize = {width, height}; }
  void DestroyCaret() override {
    FCaretSize = {};
    FCaretShown = false;
  }
  void ShowCaret(bool shown) override { FCaretShown = shown; }
  void SetCaretPos(TPoint position) override { FCaretPos = position; }
  void FocusChanged(bool focused) override { FFocused = focused; }
  void SetImeComposition(TPoint position, const TFont& font, const TImeCompositionStyle& style) override {
    FImePosition = position;
    FImeFontName = font.Name();
    FImeStyle = style;
  }
  bool RecordsText() const override { return true; }
  TPoint ImePosition() const { return FImePosition; }
  const std::string& ImeFontName() const { return FImeFontName; }
  const TImeCompositionStyle& ImeStyle() const { return FImeStyle; }

  const TRect& Bounds() const { return FBounds; }
  bool Visible() const { return FVisible; }
  // Every caption the window was given, in order ("" first: windows start untitled).
  const std::vector<std::string>& Captions() const { return FCaptions; }
  const std::vector<TPaintLogEntry>& PaintLog() const { return FLog; }
  void ClearPaintLog() { FLog.clear(); }
  const TScrollInfo& ScrollBar(TScrollBarKind bar) const { return FScrollBars[bar]; }
  TSize CaretSize() const { return FCaretSize; }
  bool CaretShown() const { return FCaretShown; }
  TPoint CaretPos() const { return FCaretPos; }
  bool Focused() const { return FFocused; }

 private:
  TRect FBounds;
  bool FVisible = false;
  std::vector<std::string> FCaptions;
  std::vector<TPaintLogEntry> FLog;
  TScrollInfo FScrollBars[2];
  TSize FCaretSize;
  bool FCaretShown = false;
  TPoint FCaretPos;
  bool FFocused = false;
  TPoint FImePosition;
  std::string FImeFontName;
  TImeCompositionStyle FImeStyle;
};

// The headless window of a control (which must have one).
THeadlessWindow& HeadlessWindowOf(TWinControl& control);

// What an input method tells a window about its candidate list (IMN_OPENCANDIDATE,
// IMN_CHANGECANDIDATE, IMN_CLOSECANDIDATE); only the headless backend sends these.
inline void SendImeCandidateNotification(TWinControl& control, intptr_t notification) {
  control.SendMessage(WM_IME_NOTIFY, notification, 1);
}

}  // namespace plomaret
