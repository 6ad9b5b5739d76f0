#include "Application.h"

#include <algorithm>

#include "framework/gui/Control.h"
#include "framework/gui/Dialogs.h"
#include "framework/gui/Platform.h"

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
    TMessage message;
    while (window->PeekMessage(message, 0, 0, true)) {
      ++dispatched;
      try {
        window->WndProc(message);
      } catch (const std::exception& error) {
        HandleException(error);
      }
      // A handler may have freed the window: it has then left the list.
      if (std::find(FPending.begin(), FPending.end(), window) != FPending.end()) break;
    }
  }
  return dispatched;
}

void TApplication::HandleException(const std::exception& error) {
  MessageBox(error.what(), FTitle, MB_OK | MB_ICONERROR);
}

void TApplication::WindowHasMessages(TWinControl* window) {
  if (std::find(FPending.begin(), FPending.end(), window) == FPending.end()) FPending.push_back(window);
}

void TApplication::WindowGone(TWinControl* window) { std::erase(FPending, window); }

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

}  // namespace plomaret
