#include "framework/gui/Messages.h"

#include <gtest/gtest.h>

namespace plomaret {
namespace {

TEST(Messages, NumbersAreTheWin32OnesAndNamesGoBothWays) {
  EXPECT_EQ(WM_KEYDOWN, 0x0100u);
  EXPECT_EQ(WM_CHAR, 0x0102u);
  EXPECT_EQ(WM_SETREDRAW, 0x000Bu);
  EXPECT_EQ(WM_IME_COMPOSITION, 0x010Fu);
  EXPECT_EQ(EM_CHARFROMPOS, 0x00D7u);
  EXPECT_EQ(EM_EMPTYUNDOBUFFER, 0x00CDu);
  EXPECT_EQ(MessageName(WM_MOUSEWHEEL), "WM_MOUSEWHEEL");
  EXPECT_EQ(MessageByName("EM_SETSEL"), EM_SETSEL);
  EXPECT_EQ(MessageByName("WM_NOSUCH"), -1);
  EXPECT_EQ(MessageName(WM_USER + 5), "WM_USER+5");
  EXPECT_EQ(MessageName(0x1234), "WM_USER+3636");
  EXPECT_EQ(MessageName(0xC123), "0xC123");
  EXPECT_GE(CM_FONTCHANGED, CM_BASE);
}

TEST(Messages, ParametersPackTwoHalves) {
  const intptr_t packed = MakeLong(-3, 700);
  EXPECT_EQ(SignedLowWord(packed), -3);
  EXPECT_EQ(HighWord(packed), 700);
  EXPECT_EQ(LowWord(packed), 0xFFFD);
}

}  // namespace
}  // namespace plomaret
