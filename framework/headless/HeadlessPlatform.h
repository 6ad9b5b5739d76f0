#pragma once
// The in-memory platform for tests and tools: fixed font metrics, a settable screen.

#include <deque>
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
  int ShowMessageBox(const std::string& text, const std::string& caption, uint32_t flags) override {
    FMessages.push_back({text, caption, flags});
    if (FAnswers.empty()) return 1;
    const int answer = FAnswers.front();
    FAnswers.pop_front();
    return answer;
  }
  void ScriptAnswer(int answer) { FAnswers.push_back(answer); }
  const std::vector<TShownMessage>& Messages() const { return FMessages; }
  void ClearMessages() { FMessages.clear(); }

  // File dialogs are recorded; each takes the next scripted choice (cancel when none).
  bool ShowFileDialog(const TFileDialogRequest& request, std::string& fileName) override {
    FFileDialogs.push_back(request);
    if (FFileChoices.empty()) return false;
    const std::string choice = FFileChoices.front();
    FFileChoices.pop_front();
    if (choice.empty()) return false;
    fileName = choice;
    return true;
  }
  // "" scripts a cancel.
  void ScriptFileChoice(const std::string& path) { FFileChoices.push_back(path); }
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
  std::deque<int> FAnswers;
  std::set<int> FKeysDown;
  TPoint FCursorPos;
  int FScreenCursor = 0;
  std::vector<TFileDialogRequest> FFileDialogs;
  std::deque<std::string> FFileChoices;
};

// Installs a headless platform unless one is installed already; returns it.
THeadlessPlatform& UseHeadlessPlatform();

}  // namespace plomaret
