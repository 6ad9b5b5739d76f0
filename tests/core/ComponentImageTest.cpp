#include "framework/core/ComponentImage.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "framework/core/Collection.h"
#include "framework/core/Graphics.h"
#include "framework/core/Strings.h"

namespace plomaret {
namespace {

enum TGadgetKind { gkPlain, gkFancy, gkOdd };

}  // namespace

const TTypeInfo& TypeInfoOf(TTypeTag<TGadgetKind>) {
  static const TTypeInfo info = EnumTypeInfo("TGadgetKind", {"gkPlain", "gkFancy", "gkOdd"});
  return info;
}

namespace {

class TPartItem : public TCollectionItem {
 public:
  using TCollectionItem::TCollectionItem;
  std::string Label() const { return FLabel; }
  void SetLabel(const std::string& label) { FLabel = label; }
  TColor Tint() const { return FTint; }
  void SetTint(TColor tint) { FTint = tint; }
  static const TClassInfo& StaticClassInfo() {
    static const TClassInfo info = TPublished<TPartItem>("TPartItem", TCollectionItem::StaticClassInfo())
                                       .Property("Label", &TPartItem::Label, &TPartItem::SetLabel)
                                       .Property("Tint", &TPartItem::Tint, &TPartItem::SetTint);
    return info;
  }
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

 private:
  std::string FLabel;
  TColor FTint = clNone;
};

int gPartLimit = INT_MAX;

class TParts : public TCollection {
 public:
  explicit TParts(TPersistent* owner) : TCollection(owner, TCollectionItemClass::Of<TPartItem>()) {}
  int MaxItemCount() const override { return gPartLimit; }
};

class TGadgetOptions : public TPersistent {
 public:
  int Depth() const { return FDepth; }
  void SetDepth(int depth) { FDepth = depth; }
  static const TClassInfo& StaticClassInfo() {
    static const TClassInfo info = TPublished<TGadgetOptions>("TGadgetOptions", TPersistent::StaticClassInfo())
                                       .Property("Depth", &TGadgetOptions::Depth, &TGadgetOptions::SetDepth);
    return info;
  }
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

 private:
  int FDepth = 0;
};

// Every kind of property the image carries.
class TGadget : public TComponent {
 public:
  void AfterConstruction() override {
    TComponent::AfterConstruction();
    FFont = Create<TFont>();
    FLines = Create<TStringList>();
    FOptions = Create<TGadgetOptions>();
    FParts = Create<TParts>(this);
  }
  int Count() const { return FCount; }
  void SetCount(int count) { FCount = count; }
  bool Active() const { return FActive; }
  void SetActive(bool active) { FActive = active; }
  TGadgetKind Kind() const { return FKind; }
  void SetKind(TGadgetKind kind) { FKind = kind; }
  TFontStyles Styles() const { return FStyles; }
  void SetStyles(TFontStyles styles) { FStyles = styles; }
  std::string Caption() const { return FCaption; }
  void SetCaption(const std::string& caption) { FCaption = caption; }
  TColor Tint() const { return FTint; }
  void SetTint(TColor tint) { FTint = tint; }
  double Ratio() const { return FRatio; }
  void SetRatio(double ratio) { FRatio = ratio; }
  char Letter() const { return FLetter; }
  void SetLetter(char letter) { FLetter = letter; }
  TFont* Font() const { return FFont.get(); }
  void SetFont(const TFont& font) { FFont->Assign(font); }
  TStringList* Lines() const { return FLines.get(); }
  void SetLines(const TStrings& lines) { FLines->Assign(lines); }
  TGadgetOptions* Options() const { return FOptions.get(); }
  TParts* Parts() const { return FParts.get(); }
  TGadget* Buddy() const { return FBuddy; }
  void SetBuddy(TGadget* buddy) {
    FBuddy = buddy;
    FreeNotification(buddy);
  }

  static const TClassInfo& StaticClassInfo() {
    using C = TGadget;
    static const TClassInfo info = TPublished<C>("TGadget", TComponent::StaticClassInfo())
                                       .Property("Count", &C::Count, &C::SetCount, 7)
                                       .Property("Active", &C::Active, &C::SetActive)
                                       .Property("Kind", &C::Kind, &C::SetKind)
                                       .Property("Styles", &C::Styles, &C::SetStyles)
                                       .Property("Caption", &C::Caption, &C::SetCaption)
                                       .Property("Tint", &C::Tint, &C::SetTint)
                                       .Property("Ratio", &C::Ratio, &C::SetRatio)
                                       .Property("Letter", &C::Letter, &C::SetLetter)
                                       .Property("Font", &C::Font, &C::SetFont)
                                       .Property("Lines", &C::Lines, &C::SetLines)
                                       .Property("Options", &C::Options, nullptr)
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
  int FCount = 7;
  bool FActive = false;
  TGadgetKind FKind = gkPlain;
  TFontStyles FStyles;
  std::string FCaption;
  TColor FTint = clNone;
  double FRatio = 0;
  char FLetter = 'a';
  TOwned<TFont> FFont;
  TOwned<TStringList> FLines;
  TOwned<TGadgetOptions> FOptions;
  TOwned<TParts> FParts;
  TGadget* FBuddy = nullptr;
};

class TUnregistered : public TComponent {};

// Every published value of instance, depth first, as text.
std::string Describe(const TPersistent& instance) {
  std::string text = instance.ClassName() + "{";
  for (const TPropInfo* prop : GetPropList(instance.ClassInfo(), tkProperties, false)) {
    text += prop->Name + "=";
    if (prop->Kind() != tkClass) {
      text += GetPropertyText(instance, *prop);
    } else if (auto* component = dynamic_cast<TComponent*>(prop->GetObject(instance))) {
      text += "->" + component->Name();
    } else if (auto* strings = dynamic_cast<TStrings*>(prop->GetObject(instance))) {
      text += strings->Text();
    } else if (auto* collection = dynamic_cast<TCollection*>(prop->GetObject(instance))) {
      for (int i = 0; i < collection->Count(); ++i) text += Describe(*collection->Items(i));
    } else if (auto* object = dynamic_cast<TPersistent*>(prop->GetObject(instance))) {
      text += Describe(*object);
    }
    text += ";";
  }
  return text + "}";
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
    a->SetCount(-123456789);
    a->SetActive(true);
    a->SetKind(gkOdd);
    a->SetStyles({fsBold, fsStrikeOut});
    a->SetCaption(std::string("\x83\x5C\0end", 6));
    a->SetTint(clHighlight);
    a->SetRatio(-0.1);
    a->SetLetter('\xA6');
    a->Font()->SetName("FixedSys");
    a->Font()->SetStyle({fsItalic});
    a->Lines()->SetText("one\r\n\r\nthree\r\n");
    a->Options()->SetDepth(INT_MIN);
    for (const char* label : {"x", "y", "z"}) {
      auto* part = static_cast<TPartItem*>(a->Parts()->Add());
      part->SetLabel(label);
      part->SetTint(clRed);
    }
    a->SetBuddy(b);  // written before B: a reference forward
    b->SetBuddy(a);
  }
  ~ComponentImageTest() override { gPartLimit = INT_MAX; }

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

TEST_F(ComponentImageTest, EveryPropertyKindAndTheOwnedChildrenComeBackWithTheirReferences) {
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
  EXPECT_FALSE(a->ComponentState().Contains(csLoading));
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
  EXPECT_EQ(Read(Replaced(image, "TGadget", "TWidget")), "Class TWidget is not registered");
  EXPECT_EQ(Read(Replaced(image, "Caption", "Captain")), "TGadget has no property 'Captain'");
  EXPECT_EQ(Read(Replaced(image, "gkOdd", "gkBad")), "'gkBad' is not a value of TGadgetKind (property Kind)");
  gPartLimit = 2;
  EXPECT_EQ(Read(image), "Property Parts holds more items than TParts allows (2)");
  EXPECT_EQ(FTarget->ComponentCount(), 0);
}

TEST_F(ComponentImageTest, AClassThatCannotBeReadBackIsNotWritten) {
  Create<TUnregistered>(FRoot.get());
  EXPECT_THROW(Image(), EWriteError);
}

}  // namespace
}  // namespace plomaret
