// Defaults read from a fresh object, and one object copied onto another through the
// properties its class publishes.

#include <gtest/gtest.h>

#include <string>

#include "framework/core/Component.h"
#include "framework/core/Graphics.h"
#include "framework/core/Properties.h"

namespace plomaret {
namespace {

class TGauge : public TPersistent {
 public:
  void AfterConstruction() override { FFont = Create<TFont>(); }

  TFont* Font() const { return FFont.get(); }
  void SetFont(const TFont& font) { FFont->Assign(font); }
  std::string Label() const { return FLabel; }
  void SetLabel(const std::string& label) { FLabel = label; }
  // The published type is 0..9, the setter lets in anything.
  int Level() const { return FLevel; }
  void SetLevel(int level) { FLevel = level; }
  double Scale() const { return FScale; }
  void SetScale(double scale) { FScale = scale; }
  // Derived from Level: a copy takes Level, never this.
  int Doubled() const { return FLevel * 2; }
  void SetDoubled(int doubled) { FDoubledSets += doubled; }
  int Serial() const { return FSerial; }

  int FDoubledSets = 0;
  int FSerial = 7;

  static const TClassInfo& StaticClassInfo() {
    using C = TGauge;
    static const TTypeInfo level = OrdinalTypeInfo(tkInteger, "TLevel", 0, 9);
    static const TClassInfo info = TPublished<C>("TGauge", TPersistent::StaticClassInfo())
                                       .Property("Doubled", &C::Doubled, &C::SetDoubled)
                                       .NotStored()
                                       .DefaultsFrom(Create<C>())
                                       .TypedProperty("Level", level, &C::Level, &C::SetLevel, 5)
                                       .Property("Scale", &C::Scale, &C::SetScale)
                                       .Property("Label", &C::Label, &C::SetLabel)
                                       .Property("Font", &C::Font, &C::SetFont)
                                       .Property("Serial", &C::Serial, nullptr);
    return info;
  }
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

 private:
  int FLevel = 3;
  double FScale = 1.5;
  std::string FLabel = "gauge";
  TOwned<TFont> FFont;
};

TEST(PublishedCopy, DefaultsAreWhatAFreshObjectHoldsForTheWritableOrdinalsAddedAfter) {
  const TClassInfo& info = TGauge::StaticClassInfo();
  EXPECT_EQ(info.FindProperty("Level")->Default, 5) << "an explicit default wins";
  for (const char* none : {"Scale", "Label", "Font", "Serial"}) {
    EXPECT_FALSE(info.FindProperty(none)->Default) << none << " is no writable ordinal";
  }
  EXPECT_FALSE(info.FindProperty("Doubled")->Default) << "added before";
}

TEST(PublishedCopy, EveryStoredWritableValueIsCopiedThroughTheSetters) {
  auto source = Create<TGauge>();
  source->SetLevel(42);  // beyond the published type: a copy must not refuse it
  source->SetScale(0.25);
  source->SetLabel("copied");
  source->Font()->SetColor(clRed);
  source->FSerial = 8;
  auto target = Create<TGauge>();
  TFont* font = target->Font();
  CopyPublishedProperties(TGauge::StaticClassInfo(), *source, *target);
  EXPECT_EQ(target->Level(), 42);
  EXPECT_EQ(target->Scale(), 0.25);
  EXPECT_EQ(target->Label(), "copied");
  EXPECT_EQ(target->Font(), font) << "an owned object is assigned in place";
  EXPECT_EQ(target->Font()->Color(), clRed);
  EXPECT_EQ(target->FSerial, 7) << "read-only";
  EXPECT_EQ(target->FDoubledSets, 0) << "not stored";
}

TEST(PublishedCopy, OnlyClassesMadeWithoutArgumentsCanBeMadeFresh) {
  ASSERT_TRUE(TGauge::StaticClassInfo().CanCreateFresh());
  TOwned<TPersistent> fresh = TGauge::StaticClassInfo().CreateFresh();
  auto* gauge = dynamic_cast<TGauge*>(fresh.get());
  ASSERT_NE(gauge, nullptr);
  EXPECT_NE(gauge->Font(), nullptr) << "AfterConstruction ran";
  EXPECT_TRUE(TFont::StaticClassInfo().CanCreateFresh());
  EXPECT_FALSE(TComponent::StaticClassInfo().CanCreateFresh()) << "a component needs an owner";
  EXPECT_FALSE(TPersistent::StaticClassInfo().CanCreateFresh());
}

}  // namespace
}  // namespace plomaret
