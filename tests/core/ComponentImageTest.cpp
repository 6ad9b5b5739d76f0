#include "framework/core/ComponentImage.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "core/LabelCollection.h"
#include "framework/core/Collection.h"
#include "framework/core/Properties.h"
#include "framework/core/Strings.h"

namespace plomaret {
namespace {

using testing::TLabelCollection;
using testing::TLabelItem;
using testing::gLabelLimit;

// What the framework's own classes do not show: a float, a text with a zero byte,
// a limited collection, and references to components read before and after.
class TGadget : public TComponent {
 public:
  void AfterConstruction() override {
    TComponent::AfterConstruction();
    FParts = Create<TLabelCollection>(this);
  }
  std::string Caption() const { return FCaption; }
  void SetCaption(const std::string& caption) { FCaption = caption; }
  double Ratio() const { return FRatio; }
  void SetRatio(double ratio) { FRatio = ratio; }
  TLabelCollection* Parts() const { return FParts.get(); }
  TGadget* Buddy() const { return FBuddy; }
  void SetBuddy(TGadget* buddy) {
    FBuddy = buddy;
    FreeNotification(buddy);
  }

  static const TClassInfo& StaticClassInfo() {
    using C = TGadget;
    static const TClassInfo info = TPublished<C>("TGadget", TComponent::StaticClassInfo())
                                       .Property("Caption", &C::Caption, &C::SetCaption)
                                       .Property("Ratio", &C::Ratio, &C::SetRatio)
                                       .Property("Parts", &C::Parts, nullptr)
                                       .Property("Buddy", &C::Buddy, &C::SetBuddy);
    return info;
  }
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

 protected:
  void Notification(TComponent* component, TOperation operation) override {
    if (operation == opRemove && component == FBuddy) FBuddy = nullptr;
    TComponent::Notification(component, operation);
  }

 private:
  std::string FCaption;
  double FRatio = 0;
  TOwned<TLabelCollection> FParts;
  TGadget* FBuddy = nullptr;
};

class TUnregistered : public TComponent {};

// Every published value of instance, items and references included, as text.
std::string Describe(const TPersistent& instance) {
  std::string text;
  for (const TPropInfo* prop : GetPropList(instance.ClassInfo(), tkProperties, false)) {
    text += prop->Name + "=";
    if (prop->Kind() != tkClass) {
      text += GetPropertyText(instance, *prop);
    } else if (auto* component = dynamic_cast<TComponent*>(prop->GetObject(instance))) {
      text += component->Name();
    } else if (auto* collection = dynamic_cast<TCollection*>(prop->GetObject(instance))) {
      for (int i = 0; i < collection->Count(); ++i) text += "{" + Describe(*collection->Items(i)) + "}";
    }
    text += ";";
  }
  return text;
}

class ComponentImageTest : public ::testing::Test {
 protected:
  ComponentImageTest() {
    RegisterComponentClass<TGadget>();
    FRoot->SetName("Root");
    TGadget* a = Create<TGadget>(FRoot.get());
    a->SetName("A");
    TGadget* b = Create<TGadget>(FRoot.get());
    b->SetName("B");
    a->SetCaption(std::string("\x83\x5C\0end", 6));
    a->SetRatio(-0.1);
    for (const char* label : {"x", "y", "z"}) static_cast<TLabelItem*>(a->Parts()->Add())->SetLabel(label);
    a->SetBuddy(b);  // written before B: a reference forward
    b->SetBuddy(a);
  }
  ~ComponentImageTest() override { gLabelLimit = INT_MAX; }

  std::string Image() {
    auto stream = Create<TMemoryStream>();
    TComponentWriter(*stream, FRoot.get()).WriteImage(*FRoot);
    return std::string(static_cast<const char*>(stream->Memory()), static_cast<size_t>(stream->Size()));
  }
  // Reads image into FTarget; the error message, or "" on success.
  std::string Read(const std::string& image) {
    auto stream = Create<TMemoryStream>();
    stream->WriteBuffer(image.data(), static_cast<int64_t>(image.size()));
    stream->SetPosition(0);
    try {
      TComponentReader(*stream).ReadImage(*FTarget, nullptr);
    } catch (const Exception& error) {
      return error.Message();
    }
    return "";
  }
  std::string Replaced(std::string image, const std::string& from, const std::string& to) {
    return image.replace(image.find(from), from.size(), to);
  }

  TOwned<TGadget> FRoot = CreateWithoutOwner<TGadget>();
  TOwned<TGadget> FTarget = CreateWithoutOwner<TGadget>();
};

TEST_F(ComponentImageTest, ValuesOwnedChildrenAndReferencesBothWaysComeBack) {
  ASSERT_EQ(Read(Image()), "");
  ASSERT_EQ(FTarget->ComponentCount(), 3);
  auto* root = static_cast<TGadget*>(FTarget->FindComponent("Root"));
  auto* a = static_cast<TGadget*>(FTarget->FindComponent("A"));
  auto* b = static_cast<TGadget*>(FTarget->FindComponent("B"));
  ASSERT_TRUE(root && a && b);
  EXPECT_EQ(Describe(*root), Describe(*FRoot));
  EXPECT_EQ(Describe(*a), Describe(*FRoot->FindComponent("A")));
  EXPECT_EQ(Describe(*b), Describe(*FRoot->FindComponent("B")));
  EXPECT_EQ(a->Buddy(), b);
  EXPECT_EQ(b->Buddy(), a);
  EXPECT_FALSE(a->ComponentState().Contains(csLoading)) << "loaded";
}

TEST_F(ComponentImageTest, ATruncatedImageFailsAndLeavesNothingBehind) {
  const std::string image = Image();
  for (size_t size = 0; size < image.size(); ++size) {
    EXPECT_NE(Read(image.substr(0, size)), "") << size;
    ASSERT_EQ(FTarget->ComponentCount(), 0) << size;
  }
}

TEST_F(ComponentImageTest, CorruptImagesAreRefusedWithAMessageThatSaysWhy) {
  const std::string image = Image();
  EXPECT_EQ(Read("XXXX" + image.substr(4)), "This is not a component image (its signature is wrong)");
  // A name no test registers (the form tests register a TWidget in the same program).
  EXPECT_EQ(Read(Replaced(image, "TGadget", "TWodget")), "Class TWodget is not registered");
  EXPECT_EQ(Read(Replaced(image, "Ratio", "Ratia")), "TGadget has no property 'Ratia'");
  gLabelLimit = 2;
  EXPECT_EQ(Read(image), "Property Parts holds more items than TLabelCollection allows (2)");
  EXPECT_EQ(FTarget->ComponentCount(), 0);
}

TEST_F(ComponentImageTest, AClassThatCannotBeReadBackIsNotWritten) {
  Create<TUnregistered>(FRoot.get());
  EXPECT_THROW(Image(), EWriteError);
}

}  // namespace
}  // namespace plomaret
