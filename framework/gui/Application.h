#pragma once
// The application object: the program's title, the pump of posted messages, the
// handling of an exception that reaches the pump (shown, and the program goes on), and
// the input state the whole program shares (focus, capture, the left button).

#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/Component.h"

namespace plomaret {

class TWinControl;
class TForm;
class TWindowWatch;

class TApplication {
 public:
  // Makes a form that the application keeps until it ends; the first is the main form.
  template <class T>
  T* CreateForm() {
    TOwned<T> form = CreateWithoutOwner<T>();
    T* made = form.get();
    FForms.emplace_back(std::move(form));
    if (FMainForm == nullptr) FMainForm = made;
    return made;
  }
  TForm* MainForm() const { return FMainForm; }
  // The message loop: shows the main form, then dispatches until it is closed or
  // nothing is left to do. A backend with real input runs its own loop instead.
  void Run();
  // Frees the forms (last made first).
  void Terminate();

  const std::string& Title() const { return FTitle; }
  void SetTitle(const std::string& title) { FTitle = title; }

  // Dispatches the messages posted to every window, oldest window first; an exception
  // from a handler is shown and the pump goes on. Returns how many were dispatched.
  int ProcessMessages();
  // Shows an exception's message in a message box with the title.
  void HandleException(const std::exception& error);

  // Windows with posted messages waiting (kept by the windows themselves).
  void WindowHasMessages(TWinControl* window);
  // A freed window: forgotten by the pump, and as the focused or capturing window.
  void WindowGone(TWinControl* window);

  // Forgets the focused and capturing windows and the left button, as at start-up,
  // without telling them. Tests start each case from here.
  void ResetInputState() { FInput = {}; }

 private:
  // Read and changed through TWinControl's focus, capture and mouse handling, which
  // send the messages that go with each change.
  friend class TWinControl;
  friend class TWindowWatch;
  struct TInputState {
    TWinControl* Focused = nullptr;
    TWinControl* Capture = nullptr;
    bool LeftButtonDown = false;  // the framework's own flag, not the physical button
  };

  TInputState FInput;
  std::string FTitle = "plomaret";
  std::vector<TOwned<TComponent>> FForms;
  TForm* FMainForm = nullptr;
  std::vector<TWinControl*> FPending;
  std::vector<TWinControl*> FDispatching;  // windows whose messages are being dispatched, innermost last
  std::vector<TWindowWatch*> FWatches;
};

// Watches a window through handling that may free it: Alive() turns false when it is freed.
class TWindowWatch {
 public:
  explicit TWindowWatch(TWinControl* window);
  ~TWindowWatch();
  TWindowWatch(const TWindowWatch&) = delete;
  TWindowWatch& operator=(const TWindowWatch&) = delete;
  bool Alive() const { return FWindow != nullptr; }

 private:
  friend class TApplication;
  TWinControl* FWindow;
};

TApplication& Application();

}  // namespace plomaret
