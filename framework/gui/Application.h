#pragma once
// The application object: the program's title, the pump of posted messages, and the
// handling of an exception that reaches the pump (shown, and the program goes on).

#include <exception>
#include <string>
#include <vector>

namespace plomaret {

class TWinControl;

class TApplication {
 public:
  const std::string& Title() const { return FTitle; }
  void SetTitle(const std::string& title) { FTitle = title; }

  // Dispatches the messages posted to every window, oldest window first; an exception
  // from a handler is shown and the pump goes on. Returns how many were dispatched.
  int ProcessMessages();
  // Shows an exception's message in a message box with the title.
  void HandleException(const std::exception& error);

  // Windows with posted messages waiting (kept by the windows themselves).
  void WindowHasMessages(TWinControl* window);
  void WindowGone(TWinControl* window);

 private:
  std::string FTitle = "plomaret";
  std::vector<TWinControl*> FPending;
  std::vector<TWinControl*> FDispatching;  // windows whose messages are being dispatched, innermost last
};

TApplication& Application();

}  // namespace plomaret
