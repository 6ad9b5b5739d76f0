#pragma once
// The in-memory platform for tests and tools: fixed font metrics, a settable screen.

#include <deque>
#include <optional>
#include <map>
#include <set>

#include "framework/gui/Dialogs.h"
#include "framework/gui/Platform.h"
#include "framework/headless/HeadlessFontEngine.h"
#include "framework/headless/HeadlessWindow.h"

namespace plomaret {

class THeadlessClipboard : public TClipboard {
 public:
  void Clear() override { FData.clear(); }
  void SetData(uint32_t format, std::string_view bytes) override { FData[format] = std::string(bytes); }
  bool HasFormat(uint32_t format) const override { return FData.count(format) != 0; }
  std::string GetData(uint32_t format) const override {
    auto found = FData.find(format);
    return found == FData.end() ? std::string() : found->second;
  }

 private:
  std::map<uint32_t, std::string> FData;
};

class THeadlessPlatform : public TPlatform {
 public:
  struct TShownMessage {
    std::string Text;
    std::string Caption;
    uint32_t Flags;
  };

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
  void ForgetLastPopup() { FLastPopup = nullptr; }

  TClipboard& Clipboard() override { return FClipboard; }

  // Message boxes are recorded; each takes the next scripted answer (IDOK when none).
  // A scripted cancel goes to whichever comes first of a file dialog and a box that
  // has a Cancel button.
  int ShowMessageBox(const std::string& text, const std::string& caption, uint32_t flags) override {
    FMessages.push_back({text, caption, flags});
    const uint32_t buttons = flags & 0x0F;
    const bool hasCancel = buttons == 1 || buttons == 3 || buttons == 5;  // OK/Yes-No/Retry with Cancel
    const auto answer = TakeScripted(TScripted::ForBox, hasCancel);
    if (!answer) return 1;
    return answer->Kind == TScripted::Cancel ? 2 : answer->Button;
  }
  void ScriptAnswer(int answer) { FScript.push_back({TScripted::ForBox, answer, {}}); }
  void ScriptCancel() { FScript.push_back({TScripted::Cancel, 0, {}}); }
  const std::vector<TShownMessage>& Messages() const { return FMessages; }
  void ClearMessages() { FMessages.clear(); }

  // File dialogs are recorded; each takes the next scripted choice (cancel when none).
  bool ShowFileDialog(const TFileDialogRequest& request, std::string& fileName) override {
    FFileDialogs.push_back(request);
    const auto choice = TakeScripted(TScripted::ForDialog, true);
    if (!choice || choice->Kind == TScripted::Cancel || choice->Path.empty()) return false;
    fileName = choice->Path;
    return true;
  }
  // "" scripts a cancel.
  void ScriptFileChoice(const std::string& path) { FScript.push_back({TScripted::ForDialog, 0, path}); }
  const std::vector<TFileDialogRequest>& FileDialogs() const { return FFileDialogs; }

  bool KeyDown(int virtualKey) const override { return FKeysDown.count(virtualKey) != 0; }
  TPoint CursorPos() const override { return FCursorPos; }
  void ScreenCursorChanged(int cursor) override { FScreenCursor = cursor; }
  int ShownScreenCursor() const { return FScreenCursor; }
  void SetCursorPos(TPoint position) { FCursorPos = position; }
  void SetKeyDown(int virtualKey, bool down) {
    if (down) {
      FKeysDown.insert(virtualKey);
    } else {
      FKeysDown.erase(virtualKey);
    }
  }

 private:
  THeadlessFontEngine FFontEngine;
  TSize FScreenSize{1920, 1080};
  TPopupMenu* FLastPopup = nullptr;
  TPoint FLastPopupPoint;
  THeadlessClipboard FClipboard;
  std::vector<TShownMessage> FMessages;
  std::set<int> FKeysDown;
  TPoint FCursorPos;
  int FScreenCursor = 0;
  std::vector<TFileDialogRequest> FFileDialogs;
  // What the script answers, in order: each box or dialog takes the first entry meant for it.
  struct TScripted {
    enum TKind { ForBox, ForDialog, Cancel } Kind;
    int Button;
    std::string Path;
  };
  std::optional<TScripted> TakeScripted(TScripted::TKind kind, bool takesCancel) {
    for (auto it = FScript.begin(); it != FScript.end(); ++it) {
      if (it->Kind == kind || (takesCancel && it->Kind == TScripted::Cancel)) {
        TScripted taken = *it;
        FScript.erase(it);
        return taken;
      }
    }
    return std::nullopt;
  }
  std::deque<TScripted> FScript;
};

// Installs a headless platform unless one is installed already; returns it.
THeadlessPlatform& UseHeadlessPlatform();

}  // namespace plomaret
