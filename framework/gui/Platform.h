#pragma once
// The platform: the services a backend provides to the framework. There is one
// platform per process; the program (or a test) installs its backend at start.

#include <memory>
#include <string>

#include "framework/core/Geometry.h"
#include "framework/gui/Canvas.h"
#include "framework/gui/Clipboard.h"

namespace plomaret {

struct TFileDialogRequest;
class TPopupMenu;
class TWindowBackend;
class TWinControl;

class TPlatform {
 public:
  virtual ~TPlatform() = default;
  virtual TFontEngine& FontEngine() = 0;
  virtual TSize ScreenSize() const = 0;
  // The window of a control, made when the control first needs it.
  virtual std::unique_ptr<TWindowBackend> CreateWindowBackend(TWinControl& control) = 0;
  // Shows a popup menu at a screen point; a chosen item is clicked.
  virtual void ShowPopupMenu(TPopupMenu& menu, TPoint screen) = 0;
  virtual TClipboard& Clipboard() = 0;
  // A modal message box; returns the button chosen (IDOK, IDYES, ...).
  virtual int ShowMessageBox(const std::string& text, const std::string& caption, uint32_t flags) = 0;
  // Whether a key (or mouse button) is down right now (VK_SHIFT, VK_CONTROL, ...).
  virtual bool KeyDown(int virtualKey) const = 0;
  // The screen cursor changed (crDefault: each window shows its own again).
  virtual void ScreenCursorChanged(int cursor) = 0;
  // Where the mouse pointer is on the screen.
  virtual TPoint CursorPos() const = 0;
  // A modal open or save dialog; true with the chosen path in fileName.
  virtual bool ShowFileDialog(const TFileDialogRequest& request, std::string& fileName) = 0;
};

// System metrics (the Win32 numbers); the sizes are the classic ones.
inline constexpr int SM_CXSCREEN = 0;
inline constexpr int SM_CYSCREEN = 1;
inline constexpr int SM_CXVSCROLL = 2;
inline constexpr int SM_CYHSCROLL = 3;
inline constexpr int SM_CXBORDER = 5;
inline constexpr int SM_CYBORDER = 6;
inline constexpr int SM_CYVSCROLL = 20;
inline constexpr int SM_CXEDGE = 45;
inline constexpr int SM_CYEDGE = 46;
int GetSystemMetrics(int index);

// The installed platform; raises an error when none is installed.
TPlatform& Platform();
bool PlatformInstalled();
// Installs a platform for the rest of the process (or until the next install).
void InstallPlatform(std::unique_ptr<TPlatform> platform);

}  // namespace plomaret
