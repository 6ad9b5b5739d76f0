// A writer leaves a value out only when a reader would get it back anyway: when it
// is what a freshly made object of that owner holds, not merely its class default.
// And a fresh object holds what its class declares as defaults.

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/Unit1.h"
#include "editor/EditorControl.h"
#include "editor/EditorFountain.h"
#include "framework/core/Collection.h"
#include "framework/core/ComponentImage.h"
#include "framework/core/FormText.h"
#include "framework/core/Properties.h"
#include "framework/core/Streams.h"
#include "framework/headless/HeadlessPlatform.h"
#include "PublishedValues.h"

namespace plomaret {
namespace {

// An ordinal property with a declared default, by its path from the component.
struct TDefaulted {
  std::string Path;
  TPersistent* Instance;
  const TPropInfo* Prop;
};

// Every such property reachable through the objects instance owns and the items of
// its collections; references to components are not the component's own values.
void CollectDefaulted(TPersistent& instance, const std::string& prefix, std::vector<TDefaulted>& found,
                      std::set<const TObject*>& seen) {
  if (!seen.insert(&instance).second) return;
  for (const TPropInfo* prop : GetPropList(instance.ClassInfo(), tkProperties, false)) {
    if (!prop->Stored) continue;
    const std::string path = prefix + prop->Name;
    if (tkOrdinals.Contains(prop->Kind())) {
      if (prop->Default && prop->SetOrd) found.push_back({path, &instance, prop});
      continue;
    }
    if (prop->Kind() != tkClass) continue;
    TObject* value = prop->GetObject(instance);
    if (value == nullptr || dynamic_cast<TComponent*>(value) != nullptr || dynamic_cast<TStrings*>(value) != nullptr) {
      continue;
    }
    if (auto* collection = dynamic_cast<TCollection*>(value)) {
      for (int i = 0; i < collection->Count(); ++i) {
        CollectDefaulted(*collection->Items(i), path + "[" + std::to_string(i) + "].", found, seen);
      }
    } else if (auto* object = dynamic_cast<TPersistent*>(value)) {
      CollectDefaulted(*object, path + ".", found, seen);
    }
  }
}

// Sets every value of a fresh subject that its class declares a different default
// for to that default; returns their paths.
std::vector<TDefaulted> SetToClassDefaults(TComponent& subject) {
  std::vector<TDefaulted> all;
  std::set<const TObject*> seen;
  CollectDefaulted(subject, "", all, seen);
  std::vector<TDefaulted> changed;
  for (const TDefaulted& value : all) {
    if (value.Prop->GetOrd(*value.Instance) == *value.Prop->Default) continue;
    value.Prop->SetOrd(*value.Instance, *value.Prop->Default);
    // A setter may refuse or adjust it; then there is nothing to keep.
    if (value.Prop->GetOrd(*value.Instance) == *value.Prop->Default) changed.push_back(value);
  }
  return changed;
}

void ExpectSameValues(const std::vector<TDefaulted>& values, TComponent& read, const std::string& how) {
  for (const TDefaulted& value : values) {
    EXPECT_EQ(GetPropertyByPath(read, value.Path), GetPropertyText(*value.Instance, *value.Prop))
        << read.ClassName() << "." << value.Path << " after " << how;
  }
}

TComponent& ReadBackFromFormText(TComponent& subject, TComponent& owner) {
  std::string text;
  WriteFormText(subject, text);
  return *ReadFormText(text, owner, nullptr);
}

TComponent& ReadBackFromImage(TComponent& subject, TComponent& owner) {
  auto stream = Create<TMemoryStream>();
  TComponentWriter(*stream, subject.Owner()).WriteImage(subject);
  stream->SetPosition(0);
  return *TComponentReader(*stream).ReadImage(owner, nullptr).at(0);
}

TEST(StoredDefaults, AValueAtItsClassDefaultButNotAtItsObjectsOwnSurvivesBothRoundTrips) {
  UseHeadlessPlatform();
  RegisterMainWindowClasses();
  RegisterComponentClass<TEditorFountain>();
  std::set<std::string> checked;
  for (const TComponentClass* componentClass : RegisteredComponentClasses()) {
    SCOPED_TRACE(componentClass->Name);
    TOwned<TComponent> owner = CreateWithoutOwner<TComponent>();
    TComponent* subject = componentClass->CreateOwned(owner.get());
    subject->SetName("Subject");
    const std::vector<TDefaulted> values = SetToClassDefaults(*subject);
    for (const TDefaulted& value : values) checked.insert(componentClass->Name + "." + value.Path);

    TOwned<TComponent> textOwner = CreateWithoutOwner<TComponent>();
    ExpectSameValues(values, ReadBackFromFormText(*subject, *textOwner), "a form text");
    TOwned<TComponent> imageOwner = CreateWithoutOwner<TComponent>();
    ExpectSameValues(values, ReadBackFromImage(*subject, *imageOwner), "a component image");
  }
  // The colours the editor's colour set gives its selection.
  for (const char* path : {"TEditor.View.Colors.Select.BkColor", "TEditor.View.Colors.Select.Color",
                           "TEditorFountain.Colors.Select.BkColor", "TEditorFountain.Colors.Select.Color"}) {
    EXPECT_TRUE(checked.contains(path)) << path;
  }
}

// The classes of instance and of everything it owns, and the classes its properties
// are declared with, by name.
void CollectClasses(const TPersistent& instance, std::map<std::string, const TClassInfo*>& found,
                    std::set<const TObject*>& seen) {
  if (!seen.insert(&instance).second) return;
  found.emplace(instance.ClassInfo().Name(), &instance.ClassInfo());
  for (const TPropInfo* prop : GetPropList(instance.ClassInfo(), {tkClass}, false)) {
    found.emplace(prop->ElementClass()->Name(), prop->ElementClass());
    TObject* value = prop->GetObject(instance);
    if (value == nullptr || dynamic_cast<TComponent*>(value) != nullptr) continue;
    if (auto* collection = dynamic_cast<TCollection*>(value)) {
      for (int i = 0; i < collection->Count(); ++i) CollectClasses(*collection->Items(i), found, seen);
    } else if (auto* object = dynamic_cast<TPersistent*>(value)) {
      CollectClasses(*object, found, seen);
    }
  }
}

// "Class.Property: fresh 8, declared 10" for each value of fresh that is not its
// class's declared default.
std::string DefaultMismatches(const TClassInfo& info, const TPersistent& fresh) {
  std::string mismatches;
  for (const TPropInfo* prop : info.Properties()) {
    if (!prop->Default || !prop->GetOrd) continue;
    const int64_t value = prop->GetOrd(fresh);
    if (value == *prop->Default) continue;
    mismatches += info.Name() + "." + prop->Name + ": fresh " + std::to_string(value) + ", declared " +
                  std::to_string(*prop->Default) + "\n";
  }
  return mismatches;
}

class DeclaredDefaults : public ::testing::Test {
 protected:
  DeclaredDefaults() {
    UseHeadlessPlatform();
    RegisterMainWindowClasses();
    RegisterComponentClass<TEditorFountain>();
  }
};

TEST_F(DeclaredDefaults, AFreshObjectOfEveryClassThatCanBeMadeSoHoldsItsDeclaredDefaults) {
  std::map<std::string, const TClassInfo*> classes;
  std::set<std::string> checked;
  std::string mismatches;
  for (const TComponentClass* componentClass : RegisteredComponentClasses()) {
    TOwned<TComponent> owner = CreateWithoutOwner<TComponent>();
    const TComponent* fresh = componentClass->CreateOwned(owner.get());
    mismatches += DefaultMismatches(componentClass->ClassInfo(), *fresh);
    checked.insert(componentClass->Name);
    std::set<const TObject*> seen;
    CollectClasses(*fresh, classes, seen);
  }
  for (const auto& [name, info] : classes) {
    // Components were made by their registered class; the parts of a collection
    // only by their collection.
    if (!info->CanCreateFresh()) continue;
    mismatches += DefaultMismatches(*info, *info->CreateFresh());
    checked.insert(name);
  }
  // Controls that start with other values than the control's declared defaults and
  // do not declare their own. The writers store these values whenever they differ
  // from a fresh component's, so nothing is lost; declaring defaults for them would
  // change what the form text holds.
  EXPECT_EQ(mismatches,
            "TEditor.Cursor: fresh -4, declared 0\n"
            "TEditor.ParentFont: fresh 0, declared 1\n"
            "TEditor.TabStop: fresh 1, declared 0\n"
            "TForm1.ParentFont: fresh 0, declared 1\n");
  for (const char* name : {"TEditor", "TEditorCaret", "TEditorCursors", "TEditorImagebar", "TEditorLeftbar",
                           "TEditorMargin", "TEditorMark", "TEditorMarks", "TEditorRuler", "TEditorSpeed",
                           "TEditorColor", "TFountainColor", "TEditorFountain", "TFont", "TPanel", "TSpeedButton"}) {
    EXPECT_TRUE(checked.contains(name)) << name;
  }
}

TEST_F(DeclaredDefaults, AFreshComponentOfEveryRegisteredClassSurvivesBothRoundTrips) {
  for (const TComponentClass* componentClass : RegisteredComponentClasses()) {
    SCOPED_TRACE(componentClass->Name);
    TOwned<TComponent> owner = CreateWithoutOwner<TComponent>();
    TComponent* subject = componentClass->CreateOwned(owner.get());
    subject->SetName("Subject");
    const std::string values = testing::PublishedValues(*subject);
    TOwned<TComponent> textOwner = CreateWithoutOwner<TComponent>();
    EXPECT_EQ(testing::PublishedValues(ReadBackFromFormText(*subject, *textOwner)), values) << "a form text";
    TOwned<TComponent> imageOwner = CreateWithoutOwner<TComponent>();
    EXPECT_EQ(testing::PublishedValues(ReadBackFromImage(*subject, *imageOwner)), values) << "a component image";
  }
}

}  // namespace
}  // namespace plomaret
