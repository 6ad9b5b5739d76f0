#include "HeadlessPlatform.h"

namespace plomaret {

THeadlessPlatform& UseHeadlessPlatform() {
  if (PlatformInstalled()) {
    if (auto* headless = dynamic_cast<THeadlessPlatform*>(&Platform())) return *headless;
  }
  auto platform = std::make_unique<THeadlessPlatform>();
  THeadlessPlatform& installed = *platform;
  InstallPlatform(std::move(platform));
  return installed;
}

}  // namespace plomaret
