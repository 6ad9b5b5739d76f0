#include <gtest/gtest.h>

#include "QtTestSupport.h"
#include "framework/qt/QtApplication.h"

int main(int argc, char** argv) {
  // The offscreen platform: no display, the same pixels everywhere.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  testing::InitGoogleTest(&argc, argv);
  plomaret::TQtApplication application(argc, argv);
  plomaret::InstallPlatform(std::make_unique<plomaret::TRecordingQtPlatform>());
  const int result = RUN_ALL_TESTS();
  plomaret::InstallPlatform(nullptr);
  return result;
}
