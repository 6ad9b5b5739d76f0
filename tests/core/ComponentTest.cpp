#include "framework/core/Component.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace plomaret {
namespace {

// Logs its life and every notification it hears, and keeps one raw reference.
class TProbe : public TComponent {
 public:
  TProbe(std::vector<std::string>* log, std::string label) : FLog(log), FLabel(std::move(label)) {}
  ~TProbe() override { FLog->push_back(FLabel + " destroyed"); }

  void AfterConstruction() override {
    TComponent::AfterConstruction();
    FLog->push_back(FLabel + " built, owner " + (Owner() != nullptr ? "set" : "none"));
    if (FailToBuild) throw Exception("cannot build");
  }
  void BeforeDestruction() override {
    // Owned components are marked before any of them goes; the top one marks
    // itself in TComponent::BeforeDestruction.
    FLog->push_back(FLabel + " before destruction" + (ComponentState().Contains(csDestroying) ? " (marked)" : ""));
    // Reads through the reference: a stale one shows up under AddressSanitizer.
    if (FSibling != nullptr) FLog->push_back(FLabel + " still refers to " + static_cast<TProbe*>(FSibling)->FLabel);
    TComponent::BeforeDestruction();
  }

  void SetTarget(TComponent* target) {
    if (FTarget != nullptr) RemoveFreeNotification(FTarget);
    FTarget = target;
    if (FTarget != nullptr) FreeNotification(FTarget);
  }
  // A sibling reference, cleared through the owner without asking for free notification.
  void SetSibling(TComponent* sibling) { FSibling = sibling; }

  TComponent* Target() const { return FTarget; }
  TComponent* Sibling() const { return FSibling; }

  static inline bool FailToBuild = false;

 protected:
  void Notification(TComponent* component, TOperation operation) override {
    if (component != this) {
      FLog->push_back(FLabel + (operation == opInsert ? " heard insert of " : " heard remove of ") +
                      static_cast<TProbe*>(component)->FLabel);
    }
    if (operation == opRemove) {
      if (component == FTarget) FTarget = nullptr;
      if (component == FSibling) FSibling = nullptr;
    }
    TComponent::Notification(component, operation);
  }

 private:
  std::vector<std::string>* FLog;
  std::string FLabel;
  TComponent* FTarget = nullptr;
  TComponent* FSibling = nullptr;
};

bool Contains(const std::vector<std::string>& log, const std::string& entry) {
  return std::find(log.begin(), log.end(), entry) != log.end();
}

TEST(Component, OwnerFreesItsComponentsLastFirstWhileStillWhole) {
  std::vector<std::string> log;
  {
    TOwned<TProbe> owner = CreateWithoutOwner<TProbe>(&log, "owner");
    TProbe* a = Create<TProbe>(owner.get(), &log, "a");
    Create<TProbe>(owner.get(), &log, "b");
    EXPECT_EQ(owner->ComponentCount(), 2);
    EXPECT_EQ(owner->Components(0), a);
    EXPECT_EQ(a->Owner(), owner.get());
    EXPECT_EQ(a->GetOwner(), owner.get());
    log.clear();
  }
  const std::vector<std::string> expected = {
      "owner before destruction", "owner heard remove of b", "a heard remove of b",
      "b before destruction (marked)", "b destroyed", "owner heard remove of a",
      "a before destruction (marked)", "a destroyed", "owner destroyed"};
  EXPECT_EQ(log, expected);
}

TEST(Component, CreationRules) {
  std::vector<std::string> log;
  TOwned<TProbe> owner = CreateWithoutOwner<TProbe>(&log, "owner");
  EXPECT_THROW(Create<TProbe>(nullptr, &log, "orphan"), EComponentError);

  // The component is in its owner's list before AfterConstruction, as an insert.
  log.clear();
  Create<TProbe>(owner.get(), &log, "a");
  EXPECT_EQ(log, (std::vector<std::string>{"owner heard insert of a", "a built, owner set"}));

  // A component that fails to finish is taken out and freed again.
  TProbe::FailToBuild = true;
  EXPECT_THROW(Create<TProbe>(owner.get(), &log, "broken"), Exception);
  TProbe::FailToBuild = false;
  EXPECT_EQ(owner->ComponentCount(), 1);
  EXPECT_TRUE(Contains(log, "broken destroyed"));
}

TEST(Component, NamesAreIdentifiersUniqueWithinTheOwner) {
  std::vector<std::string> log;
  TOwned<TProbe> owner = CreateWithoutOwner<TProbe>(&log, "owner");
  TProbe* a = Create<TProbe>(owner.get(), &log, "a");
  TProbe* b = Create<TProbe>(owner.get(), &log, "b");
  a->SetName("Editor1");
  EXPECT_EQ(owner->FindComponent("editor1"), a);
  EXPECT_EQ(owner->FindComponent("Editor2"), nullptr);
  EXPECT_EQ(owner->FindComponent(""), nullptr);

  EXPECT_THROW(b->SetName("EDITOR1"), EComponentError);
  EXPECT_EQ(b->Name(), "");
  a->SetName("EDITOR1");  // its own name in other letters
  EXPECT_EQ(a->Name(), "EDITOR1");
  for (const char* bad : {"1st", "has space", "dash-ed", "名前"}) {
    EXPECT_THROW(b->SetName(bad), EComponentError) << bad;
  }
  b->SetName("_Second2");
  EXPECT_EQ(owner->FindComponent("_second2"), b);
  EXPECT_THROW(owner->Components(2), EListError);
  EXPECT_THROW(owner->Components(-1), EListError);
}

TEST(Component, FreeNotificationClearsReferencesAcrossOwners) {
  std::vector<std::string> log;
  TOwned<TProbe> form1 = CreateWithoutOwner<TProbe>(&log, "form1");
  TOwned<TProbe> form2 = CreateWithoutOwner<TProbe>(&log, "form2");
  TProbe* editor = Create<TProbe>(form1.get(), &log, "editor");
  TProbe* scheme = Create<TProbe>(form2.get(), &log, "scheme");
  editor->SetTarget(scheme);

  form2->FreeComponent(scheme);
  EXPECT_EQ(editor->Target(), nullptr);

  // A target without owner, freed through its TOwned.
  TOwned<TProbe> loose = CreateWithoutOwner<TProbe>(&log, "loose");
  editor->SetTarget(loose.get());
  loose.reset();
  EXPECT_EQ(editor->Target(), nullptr);

  // The referring side goes first: the target must forget it (ASan checks the rest).
  TOwned<TProbe> target = CreateWithoutOwner<TProbe>(&log, "target");
  editor->SetTarget(target.get());
  form1->FreeComponent(editor);
  log.clear();
  target.reset();
  EXPECT_FALSE(Contains(log, "editor heard remove of target"));
}

TEST(Component, SiblingsHearOfEachOtherThroughTheOwner) {
  std::vector<std::string> log;
  TOwned<TProbe> owner = CreateWithoutOwner<TProbe>(&log, "owner");
  TProbe* a = Create<TProbe>(owner.get(), &log, "a");
  TProbe* b = Create<TProbe>(owner.get(), &log, "b");
  TProbe* c = Create<TProbe>(owner.get(), &log, "c");
  a->SetSibling(b);
  c->SetSibling(b);
  owner->FreeComponent(b);
  EXPECT_EQ(a->Sibling(), nullptr);
  EXPECT_EQ(c->Sibling(), nullptr);

  // When the owner goes, the later component is freed first; the earlier one's
  // reference to it is cleared before the earlier one's own destruction runs.
  c->SetSibling(a);
  a->SetSibling(c);
  log.clear();
  owner.reset();
  EXPECT_FALSE(Contains(log, "a still refers to c"));
  EXPECT_TRUE(Contains(log, "c still refers to a"));  // a is still alive then
}

TEST(Component, RemoveAndInsertMoveOwnership) {
  std::vector<std::string> log;
  TOwned<TProbe> first = CreateWithoutOwner<TProbe>(&log, "first");
  TOwned<TProbe> second = CreateWithoutOwner<TProbe>(&log, "second");
  TProbe* moved = Create<TProbe>(first.get(), &log, "moved");
  moved->SetName("Shared");
  TProbe* clash = Create<TProbe>(second.get(), &log, "clash");
  clash->SetName("Shared");

  TOwned<TComponent> held = first->RemoveComponent(moved);
  EXPECT_EQ(first->ComponentCount(), 0);
  EXPECT_EQ(moved->Owner(), nullptr);

  // A clashing name refuses the insert and leaves the component with the caller.
  EXPECT_THROW(second->InsertComponent(std::move(held)), EComponentError);
  ASSERT_NE(held, nullptr);
  clash->SetName("Other");
  log.clear();
  second->InsertComponent(std::move(held));
  EXPECT_EQ(held, nullptr);
  EXPECT_EQ(moved->Owner(), second.get());
  EXPECT_TRUE(Contains(log, "clash heard insert of moved"));

  EXPECT_THROW((void)first->RemoveComponent(moved), EComponentError);
  // An owner cannot be put inside what it owns.
  TOwned<TComponent> top = std::move(second);
  TProbe* child = static_cast<TProbe*>(top->Components(0));
  EXPECT_THROW(child->InsertComponent(std::move(top)), EComponentError);
  EXPECT_NE(top, nullptr);
}

TEST(Component, StateFlags) {
  std::vector<std::string> log;
  TOwned<TProbe> owner = CreateWithoutOwner<TProbe>(&log, "owner");
  TProbe* before = Create<TProbe>(owner.get(), &log, "before");
  owner->SetDesigning(true);
  TProbe* after = Create<TProbe>(owner.get(), &log, "after");
  EXPECT_TRUE(before->ComponentState().Contains(csDesigning));
  EXPECT_TRUE(after->ComponentState().Contains(csDesigning));
  owner->SetDesigning(false);
  EXPECT_TRUE(after->ComponentState().Empty());

  after->BeginLoading();
  EXPECT_TRUE(after->ComponentState().Contains(csLoading));
  after->Loaded();
  EXPECT_FALSE(after->ComponentState().Contains(csLoading));

  // csDestroying reaches owned components before any of them is freed.
  log.clear();
  owner.reset();
  EXPECT_TRUE(Contains(log, "before before destruction (marked)"));
  EXPECT_TRUE(Contains(log, "after before destruction (marked)"));
}

}  // namespace
}  // namespace plomaret
