#include "framework/core/Events.h"

#include <gtest/gtest.h>

#include "framework/core/Object.h"

namespace plomaret {
namespace {

struct TRecorder {
  int first = 0;
  int second = 0;
  TObject* lastSender = nullptr;
  void First(TObject* sender) {
    ++first;
    lastSender = sender;
  }
  void Second(TObject* sender) { ++second; }
};

TEST(Events, EmptyEventDoesNothing) {
  TNotifyEvent event;
  EXPECT_FALSE(event.Assigned());
  event(nullptr);
}

TEST(Events, CallsTheBoundMemberWithItsArguments) {
  TRecorder recorder;
  TObject sender;
  TNotifyEvent event(&recorder, &TRecorder::First);
  event(&sender);
  EXPECT_EQ(recorder.first, 1);
  EXPECT_EQ(recorder.second, 0);
  EXPECT_EQ(recorder.lastSender, &sender);
}

TEST(Events, EqualOnlyForSameObjectAndSameMember) {
  TRecorder a, b;
  EXPECT_EQ(TNotifyEvent(&a, &TRecorder::First), TNotifyEvent(&a, &TRecorder::First));
  EXPECT_FALSE(TNotifyEvent(&a, &TRecorder::First) == TNotifyEvent(&a, &TRecorder::Second));
  EXPECT_FALSE(TNotifyEvent(&a, &TRecorder::First) == TNotifyEvent(&b, &TRecorder::First));
  EXPECT_FALSE(TNotifyEvent(&a, &TRecorder::First) == TNotifyEvent());
}

class TTwoPhase : public TObject {
 public:
  explicit TTwoPhase(std::string* log) : FLog(log) {}
  void AfterConstruction() override { *FLog += Factory(); }
  void BeforeDestruction() override { *FLog += "-before"; }
  ~TTwoPhase() override { *FLog += "-destroyed"; }

 protected:
  virtual std::string Factory() { return "base"; }
  std::string* FLog;
};

class TDerivedTwoPhase : public TTwoPhase {
 public:
  using TTwoPhase::TTwoPhase;

 protected:
  std::string Factory() override { return "derived"; }
};

TEST(Object, CreationReachesOverridesAndDestructionIsOrdered) {
  std::string log;
  {
    TOwned<TTwoPhase> object = Create<TDerivedTwoPhase>(&log);
    EXPECT_EQ(log, "derived");
  }
  EXPECT_EQ(log, "derived-before-destroyed");
}

}  // namespace
}  // namespace plomaret

namespace plomaret {
namespace {

struct TBaseHandler {
  int calls = 0;
  void Handle(TObject*) { ++calls; }
};
struct TDerivedHandler : TBaseHandler {};

TEST(Events, AMethodOfABaseClassBindsToADerivedObject) {
  TDerivedHandler handler;
  TNotifyEvent event(&handler, &TBaseHandler::Handle);
  event(nullptr);
  EXPECT_EQ(handler.calls, 1);
  EXPECT_EQ(event, TNotifyEvent(static_cast<TBaseHandler*>(&handler), &TBaseHandler::Handle));
}

}  // namespace
}  // namespace plomaret
