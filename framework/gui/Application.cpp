#include "Application.h"

#include <algorithm>
#include <new>

#include "framework/core/Translate.h"
#include "framework/gui/Control.h"
#include "framework/gui/Forms.h"
#include "framework/gui/Dialogs.h"
#include "framework/gui/Platform.h"
#include "framework/gui/ShownText.h"

namespace plomaret {

TApplication& Application() {
  static TApplication application;
  return application;
}

int TApplication::ProcessMessages() {
  int dispatched = 0;
  while (!FPending.empty()) {
    TWinControl* window = FPending.front();
    FPending.erase(FPending.begin());
    // A handler may free the window (WindowGone then clears its entry) or pump again.
    FDispatching.push_back(window);
    const size_t depth = FDispatching.size() - 1;
    TMessage message;
    try {
      while (FDispatching[depth] != nullptr && window->PeekMessage(message, 0, 0, true)) {
        ++dispatched;
        try {
          window->WndProc(message);
        } catch (const std::exception& error) {
          HandleException(error);
        }
        // Freed, or posted to again (it is back in the list, behind the others).
        if (FDispatching[depth] == nullptr) break;
        if (std::find(FPending.begin(), FPending.end(), window) != FPending.end()) break;
      }
    } catch (...) {
      FDispatching.pop_back();
      throw;
    }
    FDispatching.pop_back();
  }
  return dispatched;
}

void TApplication::Run() {
  if (FMainForm == nullptr) return;
  FMainForm->Show();
  while (!FMainForm->Closed() && ProcessMessages() > 0) {
  }
}

void TApplication::Terminate() {
  while (!FForms.empty()) FForms.pop_back();
  FMainForm = nullptr;
}

void TApplication::HandleException(const std::exception& error) {
  // The library's own text for this one ("std::bad_alloc") tells a person nothing.
  const bool outOfMemory = dynamic_cast<const std::bad_alloc*>(&error) != nullptr;
  // Messages are UTF-8 and may name files in the system's bytes; the box takes program text.
  MessageBox(ShownMessage(outOfMemory ? Tr("Not enough memory to finish this command.") : error.what()), FTitle,
             MB_OK | MB_ICONERROR);
}

void TApplication::WindowHasMessages(TWinControl* window) {
  if (std::find(FPending.begin(), FPending.end(), window) == FPending.end()) FPending.push_back(window);
}

void TApplication::WindowGone(TWinControl* window) {
  if (FInput.Focused == window) FInput.Focused = nullptr;
  if (FInput.Capture == window) FInput.Capture = nullptr;
  std::erase(FPending, window);
  for (TWinControl*& dispatching : FDispatching) {
    if (dispatching == window) dispatching = nullptr;
  }
  for (TWindowWatch* watch : FWatches) {
    if (watch->FWindow == window) watch->FWindow = nullptr;
  }
}

TWindowWatch::TWindowWatch(TWinControl* window) : FWindow(window) { Application().FWatches.push_back(this); }

TWindowWatch::~TWindowWatch() { std::erase(Application().FWatches, this); }

int MessageBox(const std::string& text, const std::string& caption, uint32_t flags) {
  return Platform().ShowMessageBox(text, caption, flags);
}

void ShowMessage(const std::string& text) { MessageBox(text, Application().Title(), MB_OK); }

bool TOpenDialog::Execute() {
  const TFileDialogRequest request{IsSaveDialog(), FTitle, FFilter, FInitialDir, FFileName, FOptions};
  std::string chosen;
  if (!Platform().ShowFileDialog(request, chosen)) return false;
  FFileName = chosen;
  return true;
}

const TTypeInfo& TypeInfoOf(TTypeTag<TOpenOption>) {
  static const TTypeInfo info = EnumTypeInfo(
      "TOpenOption", {"ofOverwritePrompt", "ofHideReadOnly", "ofPathMustExist", "ofFileMustExist", "ofNoChangeDir", "ofEnableSizing"});
  return info;
}

const TTypeInfo& TypeInfoOf(TTypeTag<TOpenOptions>) {
  static const TTypeInfo info = SetTypeInfo("TOpenOptions", TypeInfoOf(TTypeTag<TOpenOption>{}));
  return info;
}

const TClassInfo& TOpenDialog::StaticClassInfo() {
  using C = TOpenDialog;
  static const TClassInfo info = TPublished<C>("TOpenDialog", TComponent::StaticClassInfo())
      .Property("FileName", &C::FileName, &C::SetFileName)
      .Property("Filter", &C::Filter, &C::SetFilter)
      .Property("InitialDir", &C::InitialDir, &C::SetInitialDir)
      .Property("Options", &C::Options, &C::SetOptions)
      .Property("Title", &C::Title, &C::SetTitle);
  return info;
}

const TClassInfo& TSaveDialog::StaticClassInfo() {
  static const TClassInfo info = TPublished<TSaveDialog>("TSaveDialog", TOpenDialog::StaticClassInfo());
  return info;
}

}  // namespace plomaret
