// Parts whose owner gives them values of their own: a value at the class's default
// is then no default at all, and both writers must keep it.

#include <gtest/gtest.h>

#include <string>

#include "framework/core/Collection.h"
#include "framework/core/ComponentImage.h"
#include "framework/core/FormText.h"
#include "framework/core/Properties.h"
#include "framework/core/Streams.h"

namespace plomaret {
namespace {

// A tone whose class default is 0.
class TShade : public TPersistent {
 public:
  explicit TShade(int tone = 0) : FTone(tone) {}
  int Tone() const { return FTone; }
  void SetTone(int tone) { FTone = tone; }
  static const TClassInfo& StaticClassInfo() {
    static const TClassInfo info = TPublished<TShade>("TShade", TPersistent::StaticClassInfo())
                                       .Property("Tone", &TShade::Tone, &TShade::SetTone, 0);
    return info;
  }
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

 private:
  int FTone;
};

// Items start from the tone their collection gives them.
class TShadeItem : public TCollectionItem {
 public:
  using TCollectionItem::TCollectionItem;
  void AfterConstruction() override;
  TShade* Shade() const { return FShade.get(); }
  void SetShade(const TShade& shade) { FShade->SetTone(shade.Tone()); }
  static const TClassInfo& StaticClassInfo() {
    static const TClassInfo info = TPublished<TShadeItem>("TShadeItem", TCollectionItem::StaticClassInfo())
                                       .Property("Shade", &TShadeItem::Shade, &TShadeItem::SetShade);
    return info;
  }
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

 private:
  TOwned<TShade> FShade;
};

class TShadeCollection : public TCollection {
 public:
  TShadeCollection(TPersistent* owner, int itemTone)
      : TCollection(owner, TCollectionItemClass::Of<TShadeItem>()), FItemTone(itemTone) {}
  int ItemTone() const { return FItemTone; }

 private:
  int FItemTone;
};

void TShadeItem::AfterConstruction() {
  TCollectionItem::AfterConstruction();
  FShade = Create<TShade>(static_cast<TShadeCollection*>(Collection())->ItemTone());
}

class TPalette : public TComponent {
 public:
  void AfterConstruction() override {
    TComponent::AfterConstruction();
    FMain = Create<TShade>(5);
    FSpare = Create<TShade>();
    FShades = Create<TShadeCollection>(this, 7);
  }
  TShade* Main() const { return FMain.get(); }
  void SetMain(const TShade& shade) { FMain->SetTone(shade.Tone()); }
  TShade* Spare() const { return FSpare.get(); }
  void SetSpare(const TShade& shade) { FSpare->SetTone(shade.Tone()); }
  TShadeCollection* Shades() const { return FShades.get(); }
  static const TClassInfo& StaticClassInfo() {
    using C = TPalette;
    static const TClassInfo info = TPublished<C>("TPalette", TComponent::StaticClassInfo())
                                       .Property("Main", &C::Main, &C::SetMain)
                                       .Property("Shades", &C::Shades, nullptr)
                                       .Property("Spare", &C::Spare, &C::SetSpare);
    return info;
  }
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

 private:
  TOwned<TShade> FMain, FSpare;
  TOwned<TShadeCollection> FShades;
};

class OwnDefaultsTest : public ::testing::Test {
 protected:
  OwnDefaultsTest() {
    RegisterComponentClass<TPalette>();
    FPalette->SetName("Palette1");
    FPalette->Main()->SetTone(0);
    static_cast<TShadeItem*>(FPalette->Shades()->Add())->Shade()->SetTone(0);
    static_cast<TShadeItem*>(FPalette->Shades()->Add())->Shade()->SetTone(3);
  }

  static std::string Tones(const TPalette& palette) {
    std::string tones = std::to_string(palette.Main()->Tone()) + " " + std::to_string(palette.Spare()->Tone()) + " [";
    for (int i = 0; i < palette.Shades()->Count(); ++i) {
      tones += " " + std::to_string(static_cast<TShadeItem*>(palette.Shades()->Items(i))->Shade()->Tone());
    }
    return tones + " ]";
  }

  TOwned<TComponent> FOwner = CreateWithoutOwner<TComponent>();
  TPalette* FPalette = Create<TPalette>(FOwner.get());
  TOwned<TComponent> FReadOwner = CreateWithoutOwner<TComponent>();
};

TEST_F(OwnDefaultsTest, AFormTextKeepsValuesThatAreOnlyTheClassDefault) {
  std::string text;
  WriteFormText(*FPalette, text);
  EXPECT_EQ(text,
            "object Palette1: TPalette\n"
            "  Main.Tone = 0\n"
            "  Shades = <\n"
            "    item\n"
            "      Shade.Tone = 0\n"
            "    end\n"
            "    item\n"
            "      Shade.Tone = 3\n"
            "    end>\n"
            "end\n")
      << "Spare is at its default both ways";
  auto* read = dynamic_cast<TPalette*>(ReadFormText(text, *FReadOwner, nullptr));
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(Tones(*read), "0 0 [ 0 3 ]");
}

TEST_F(OwnDefaultsTest, AComponentImageKeepsValuesThatAreOnlyTheClassDefault) {
  auto stream = Create<TMemoryStream>();
  TComponentWriter(*stream, FOwner.get()).WriteImage(*FPalette);
  stream->SetPosition(0);
  std::vector<TComponent*> read = TComponentReader(*stream).ReadImage(*FReadOwner, nullptr);
  ASSERT_EQ(read.size(), 1u);
  EXPECT_EQ(Tones(*dynamic_cast<TPalette*>(read[0])), "0 0 [ 0 3 ]");
}

}  // namespace
}  // namespace plomaret
