#include "editor/NotifyClasses.h"

#include <gtest/gtest.h>

namespace plomaret {
namespace {

struct TListener {
  int calls = 0;
  TObject* lastSender = nullptr;
  void Changed(TObject* sender) {
    ++calls;
    lastSender = sender;
  }
  TNotifyEvent Handler() { return TNotifyEvent(this, &TListener::Changed); }
};

TEST(NotifyPersistent, BracketedChangesAnnounceOnceAtTheOutermostEnd) {
  auto object = Create<TNotifyPersistent>();
  TListener listener;
  object->OnChange = listener.Handler();
  object->AnnounceChange();
  EXPECT_EQ(listener.calls, 1);
  EXPECT_EQ(listener.lastSender, object.get());

  object->BeginChanges();
  object->AnnounceChange();
  object->BeginChanges();
  object->AnnounceChange();
  object->EndChanges();
  EXPECT_EQ(listener.calls, 1);
  object->EndChanges();
  EXPECT_EQ(listener.calls, 2);

  object->BeginChanges();
  object->EndChanges();
  EXPECT_EQ(listener.calls, 3) << "EndChanges announces even when nothing changed";
}

TEST(NotifyPersistent, AnExtraEndChangesDoesNotSilenceTheObject) {
  auto object = Create<TNotifyPersistent>();
  TListener listener;
  object->OnChange = listener.Handler();
  object->EndChanges();
  object->AnnounceChange();
  EXPECT_EQ(listener.calls, 2);
}

TEST(NotifyPersistent, ForwardChangeIgnoresItsOwnAnnouncement) {
  auto parent = Create<TNotifyPersistent>();
  auto child = Create<TNotifyPersistent>();
  TListener listener;
  parent->OnChange = listener.Handler();
  child->OnChange = TNotifyEvent(parent.get(), &TNotifyPersistent::ForwardChange);
  child->AnnounceChange();
  EXPECT_EQ(listener.calls, 1);
  EXPECT_EQ(listener.lastSender, parent.get());
  parent->ForwardChange(parent.get());
  EXPECT_EQ(listener.calls, 1);
}

TEST(NotifyEventList, CallsEveryHandlerInOrderWithTheOwnerAsSender) {
  TObject owner;
  auto list = Create<TNotifyEventList>(&owner);
  TListener first, second;
  list->Add(first.Handler());
  list->Add(second.Handler());
  list->Add(first.Handler());  // twice: called twice
  list->AnnounceChange();
  EXPECT_EQ(first.calls, 2);
  EXPECT_EQ(second.calls, 1);
  EXPECT_EQ(first.lastSender, &owner);

  list->Remove(first.Handler());
  list->AnnounceChange();
  EXPECT_EQ(first.calls, 3) << "one Remove leaves one registration";
  list->Remove(first.Handler());
  list->Remove(first.Handler());  // no longer there: nothing happens
  list->AnnounceChange();
  EXPECT_EQ(first.calls, 3);
  EXPECT_EQ(second.calls, 3);

  list->BeginChanges();
  list->ForwardChange(nullptr);
  list->ForwardChange(nullptr);
  list->EndChanges();
  EXPECT_EQ(second.calls, 4) << "a bulk change reaches each handler once";
}

TEST(MethodList, RemoveTakesTheMostRecentDuplicate) {
  auto list = Create<TMethodList>();
  TListener a, b;
  list->Add(a.Handler());
  list->Add(b.Handler());
  EXPECT_EQ(list->Add(a.Handler()), 2);
  list->Remove(a.Handler());
  ASSERT_EQ(list->Count(), 2);
  EXPECT_EQ(list->Items(0), a.Handler());
  EXPECT_EQ(list->Items(1), b.Handler());
}

// A handler that unregisters itself while the list is being announced.
struct TSelfRemover {
  TNotifyEventList* list = nullptr;
  int calls = 0;
  void Changed(TObject*) {
    ++calls;
    list->Remove(TNotifyEvent(this, &TSelfRemover::Changed));
  }
};

TEST(NotifyEventList, AHandlerMayUnregisterItselfDuringTheCall) {
  TObject owner;
  auto list = Create<TNotifyEventList>(&owner);
  TSelfRemover remover;
  remover.list = list.get();
  TListener after;
  list->Add(TNotifyEvent(&remover, &TSelfRemover::Changed));
  list->Add(after.Handler());
  list->AnnounceChange();
  list->AnnounceChange();
  EXPECT_EQ(remover.calls, 1);
  EXPECT_EQ(after.calls, 2) << "the handler after it was skipped";
}

}  // namespace
}  // namespace plomaret
