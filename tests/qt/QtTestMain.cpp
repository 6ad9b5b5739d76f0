#include <gtest/gtest.h>

#include "QtTestSupport.h"
#include "framework/core/Translate.h"
#include "framework/qt/QtApplication.h"

int main(int argc, char** argv) {
  // The offscreen platform: no display, the same pixels everywhere.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // Messages are checked as written, whatever language the one running the tests reads.
  plomaret::SetLanguage(plomaret::lnEnglish);
  testing::InitGoogleTest(&argc, argv);
  plomaret::TQtApplication application(argc, argv);
  plomaret::InstallPlatform(std::make_unique<plomaret::TRecordingQtPlatform>());
  const int result = RUN_ALL_TESTS();
  plomaret::InstallPlatform(nullptr);
  return result;
}
