#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/EditorUtils.h"
#include "framework/core/Collection.h"
#include "framework/core/Graphics.h"

namespace plomaret {
namespace {

// A colour-like object: the leaves of the walks.
class TSwatch : public TPersistent {
 public:
  TColor Color() const { return FColor; }
  void SetColor(TColor color) { FColor = color; }
  TColor BkColor() const { return FBkColor; }
  void SetBkColor(TColor color) { FBkColor = color; }
  TFontStyles Style() const { return FStyle; }
  void SetStyle(TFontStyles style) { FStyle = style; }

  static const TClassInfo& StaticClassInfo() {
    static const TClassInfo info = TPublished<TSwatch>("TSwatch", TPersistent::StaticClassInfo())
                                       .Property("Style", &TSwatch::Style, &TSwatch::SetStyle)
                                       .Property("Color", &TSwatch::Color, &TSwatch::SetColor)
                                       .Property("BkColor", &TSwatch::BkColor, &TSwatch::SetBkColor);
    return info;
  }
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

 private:
  TColor FColor = clNone;
  TColor FBkColor = clNone;
  TFontStyles FStyle;
};

// An object holding a swatch, and a reference that may point back up the tree.
class TPair : public TPersistent {
 public:
  TSwatch* Inner() const { return FInner.get(); }
  void SetInner(TSwatch* inner) { FInner->Assign(*inner); }
  TPersistent* Back() const { return FBack; }
  void SetBack(TPersistent* back) { FBack = back; }

  static const TClassInfo& StaticClassInfo() {
    static const TClassInfo info = TPublished<TPair>("TPair", TPersistent::StaticClassInfo())
                                       .Property("Inner", &TPair::Inner, &TPair::SetInner)
                                       .Property("Back", &TPair::Back, &TPair::SetBack);
    return info;
  }
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

 private:
  TOwned<TSwatch> FInner = Create<TSwatch>();
  TPersistent* FBack = nullptr;
};

class TPairItem : public TCollectionItem {
 public:
  using TCollectionItem::TCollectionItem;
  TPair* Pair() const { return FPair.get(); }
  void SetPair(TPair* pair) { FPair->Assign(*pair); }
  std::string Label() const { return FLabel; }
  void SetLabel(const std::string& label) { FLabel = label; }

  static const TClassInfo& StaticClassInfo() {
    static const TClassInfo info = TPublished<TPairItem>("TPairItem", TCollectionItem::StaticClassInfo())
                                       .Property("Pair", &TPairItem::Pair, &TPairItem::SetPair)
                                       .Property("Label", &TPairItem::Label, &TPairItem::SetLabel);
    return info;
  }
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

 private:
  TOwned<TPair> FPair = Create<TPair>();
  std::string FLabel;
};

class TScheme : public TPersistent {
 public:
  TCollection* Items() const { return FItems.get(); }
  void SetItems(TCollection* items) { FItems->Assign(*items); }
  TSwatch* Main() const { return FMain.get(); }
  void SetMain(TSwatch* main) { FMain->Assign(*main); }
  TSwatch* Missing() const { return nullptr; }
  void SetMissing(TSwatch*) {}
  int Zoom() const { return 1; }
  void SetZoom(int) {}
  TNotifyEvent OnChange;

  static const TClassInfo& StaticClassInfo() {
    static const TClassInfo info = TPublished<TScheme>("TScheme", TPersistent::StaticClassInfo())
                                       .Property("Zoom", &TScheme::Zoom, &TScheme::SetZoom)
                                       .Property("Main", &TScheme::Main, &TScheme::SetMain)
                                       .Property("Missing", &TScheme::Missing, &TScheme::SetMissing)
                                       .Event("OnChange", "TNotifyEvent")
                                       .Property("Items", &TScheme::Items, &TScheme::SetItems);
    return info;
  }
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

 private:
  TOwned<TCollection> FItems = Create<TCollection>(this, TCollectionItemClass::Of<TPairItem>());
  TOwned<TSwatch> FMain = Create<TSwatch>();
};

struct TVisit {
  std::vector<std::string> Seen;
};

// Records "Class.Property" and checks that it was handed the property's own type.
void Record(void* data, TObject* instance, const TPropInfo& prop, const TTypeInfo& type) {
  EXPECT_EQ(&type, prop.PropType);
  static_cast<TVisit*>(data)->Seen.push_back(instance->ClassName() + "." + prop.Name);
}

class WalkProperties_ : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* label : {"first", "second"}) {
      auto* item = static_cast<TPairItem*>(scheme->Items()->Add());
      item->SetLabel(label);
    }
  }
  std::vector<std::string> Walk(TTypeKinds kinds) {
    TVisit visit;
    WalkProperties(scheme.get(), kinds, &Record, &visit);
    return visit.Seen;
  }
  TOwned<TScheme> scheme = Create<TScheme>();
};

TEST_F(WalkProperties_, SortsByNameAndEntersObjectsThenItemsInOrder) {
  const std::vector<std::string> expected = {
      "TScheme.Items",                                       //
      "TPairItem.Label", "TPairItem.Pair",                   // item 0
      "TPair.Back",      "TPair.Inner",                      //
      "TSwatch.BkColor", "TSwatch.Color", "TSwatch.Style",   //
      "TPairItem.Label", "TPairItem.Pair",                   // item 1
      "TPair.Back",      "TPair.Inner",                      //
      "TSwatch.BkColor", "TSwatch.Color", "TSwatch.Style",   //
      "TScheme.Main",                                        //
      "TSwatch.BkColor", "TSwatch.Color", "TSwatch.Style",   //
      "TScheme.Missing", "TScheme.Zoom"};
  EXPECT_EQ(Walk(tkProperties), expected);
}

TEST_F(WalkProperties_, KindsChooseTheProperties) {
  // Without object kinds nothing below the top is reached.
  EXPECT_EQ(Walk({tkInteger}), std::vector<std::string>{"TScheme.Zoom"});
  // Events come in their place by name.
  std::vector<std::string> all = Walk(tkAny);
  auto onChange = std::find(all.begin(), all.end(), "TScheme.OnChange");
  ASSERT_NE(onChange, all.end());
  EXPECT_EQ(*(onChange + 1), "TScheme.Zoom");
  EXPECT_EQ(all.size(), Walk(tkProperties).size() + 1);
  // Sets only, through objects: the three swatches' styles.
  std::vector<std::string> styles = Walk(TTypeKinds{tkClass, tkSet});
  EXPECT_EQ(std::count(styles.begin(), styles.end(), "TSwatch.Style"), 3);
}

TEST_F(WalkProperties_, AReferenceBackUpTheTreeDoesNotLoop) {
  auto* item = static_cast<TPairItem*>(scheme->Items()->Items(1));
  item->Pair()->SetBack(scheme.get());
  std::vector<std::string> seen = Walk(tkProperties);
  EXPECT_EQ(std::count(seen.begin(), seen.end(), "TScheme.Main"), 1);
  // A reference sideways (not above) is entered like any object.
  item->Pair()->SetBack(scheme->Main());
  seen = Walk(tkProperties);
  EXPECT_EQ(std::count(seen.begin(), seen.end(), "TSwatch.Style"), 4);
}

// What the colour schemes build on it: find an italic swatch anywhere below.
void FindItalic(void* data, TObject* instance, const TPropInfo& prop, const TTypeInfo& type) {
  if (type.Kind != tkClass) return;
  auto* swatch = dynamic_cast<TSwatch*>(prop.GetObject(*instance));
  if (swatch != nullptr && swatch->Style().Contains(fsItalic)) *static_cast<bool*>(data) = true;
}

TEST_F(WalkProperties_, ReachesSwatchesInsideItems) {
  bool italic = false;
  WalkProperties(scheme.get(), tkProperties, &FindItalic, &italic);
  EXPECT_FALSE(italic);
  static_cast<TPairItem*>(scheme->Items()->Items(1))->Pair()->Inner()->SetStyle({fsItalic});
  WalkProperties(scheme.get(), tkProperties, &FindItalic, &italic);
  EXPECT_TRUE(italic);
  // Something without published properties is simply not walked.
  TObject plain;
  TVisit visit;
  WalkProperties(&plain, tkAny, &Record, &visit);
  WalkProperties(nullptr, tkAny, &Record, &visit);
  EXPECT_TRUE(visit.Seen.empty());
}

}  // namespace
}  // namespace plomaret
