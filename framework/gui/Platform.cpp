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

bool PlatformInstalled() { return InstalledPlatform() != nullptr; }

void InstallPlatform(std::unique_ptr<TPlatform> platform) { InstalledPlatform() = std::move(platform); }

}  // namespace plomaret
