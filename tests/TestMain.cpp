// The main of the unit-test programs. CTest runs each test in a process of its own;
// run whole, a program must give every test that same start, or one test's leftovers
// (the focused window, a held button, the platform's records and screen size) change
// the next one's outcome.

#include <gtest/gtest.h>

#include "editor/EditorUtils.h"
#include "framework/core/Translate.h"
#include "framework/gui/Application.h"
#include "framework/gui/Cursors.h"
#include "framework/gui/Platform.h"

namespace {

class TCleanStart : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo&) override {
    plomaret::Application().ResetInputState();
    // A test that needs a platform installs a fresh one (UseHeadlessPlatform).
    plomaret::InstallPlatform(nullptr);
    plomaret::SetScreenCursor(plomaret::crDefault);
    // Cached dotted lines are as wide as the screen was when they were first drawn.
    plomaret::DotLineCache().Clear();
    // Messages are checked as written, whatever language the one running the tests reads.
    plomaret::SetLanguage(plomaret::lnEnglish);
  }
};

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::UnitTest::GetInstance()->listeners().Append(new TCleanStart);
  return RUN_ALL_TESTS();
}
