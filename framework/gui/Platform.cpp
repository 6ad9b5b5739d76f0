#include "Platform.h"

#include "framework/core/Exceptions.h"

namespace plomaret {

namespace {

std::unique_ptr<TPlatform>& InstalledPlatform() {
  static std::unique_ptr<TPlatform> platform;
  return platform;
}

}  // namespace

TPlatform& Platform() {
  if (!InstalledPlatform()) throw Exception("No platform is installed: the program must install a backend first");
  return *InstalledPlatform();
}

int GetSystemMetrics(int index) {
  switch (index) {
    case SM_CXSCREEN:
      return Platform().ScreenSize().Width;
    case SM_CYSCREEN:
      return Platform().ScreenSize().Height;
    case SM_CXVSCROLL:
    case SM_CYVSCROLL:
    case SM_CYHSCROLL:
      return 17;
    case SM_CXBORDER:
    case SM_CYBORDER:
      return 1;
    case SM_CXEDGE:
    case SM_CYEDGE:
      return 2;
    default:
      return 0;
  }
}

bool PlatformInstalled() { return InstalledPlatform() != nullptr; }

void InstallPlatform(std::unique_ptr<TPlatform> platform) { InstalledPlatform() = std::move(platform); }

}  // namespace plomaret
