#pragma once
// The platform: the services a backend provides to the framework. There is one
// platform per process; the program (or a test) installs its backend at start.

#include <memory>

#include "framework/core/Geometry.h"
#include "framework/gui/Canvas.h"

namespace plomaret {

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
};

// The installed platform; raises an error when none is installed.
TPlatform& Platform();
bool PlatformInstalled();
// Installs a platform for the rest of the process (or until the next install).
void InstallPlatform(std::unique_ptr<TPlatform> platform);

}  // namespace plomaret
