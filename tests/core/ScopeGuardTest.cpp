#include "framework/core/ScopeGuard.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace plomaret {
namespace {

TEST(ScopeGuard, TheExitActionRunsOnEveryWayOutAndTheFailureActionOnlyOnAThrow) {
  std::string log;
  {
    TScopeExit exit([&] { log += "exit;"; });
    const auto failure = OnFailure([&] { log += "failure;"; });
  }
  EXPECT_EQ(log, "exit;");
  log.clear();
  EXPECT_THROW(
      {
        TScopeExit exit([&] { log += "exit;"; });
        const auto failure = OnFailure([&] { log += "failure;"; });
        throw std::runtime_error("stop");
      },
      std::runtime_error);
  EXPECT_EQ(log, "failure;exit;");  // in reverse order of the guards, as a catch block would
}

TEST(ScopeGuard, ARestoreThatThrowsGoesOnUnlessAnEarlierFailureIsOnItsWay) {
  EXPECT_THROW({ TScopeExit exit([] { throw std::logic_error("restore"); }); }, std::logic_error);
  try {
    TScopeExit exit([] { throw std::logic_error("restore"); });
    throw std::runtime_error("first");
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "first");
  }
}

TEST(ScopeGuard, AScopedValueHoldsForTheScopeAndEndsAsAsked) {
  int value = 1;
  {
    TScopedValue held(value, 5);
    EXPECT_EQ(value, 5);
  }
  EXPECT_EQ(value, 1);
  bool flag = true;  // a flag raised again inside an outer raise still comes down at the end
  EXPECT_THROW(
      {
        TScopedValue raised(flag, true, false);
        throw std::runtime_error("stop");
      },
      std::runtime_error);
  EXPECT_FALSE(flag);
  // Guards nest: the inner ends first.
  {
    TScopedValue outer(value, 2);
    {
      TScopedValue inner(value, 3);
    }
    EXPECT_EQ(value, 2);
  }
  EXPECT_EQ(value, 1);
}

}  // namespace
}  // namespace plomaret
