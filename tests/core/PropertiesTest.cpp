#include "framework/core/Properties.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/core/Collection.h"
#include "framework/core/Component.h"
#include "framework/core/Graphics.h"
#include "framework/core/Strings.h"

namespace plomaret {
namespace {

enum TShapeKind { skCircle, skSquare, skStar };

}  // namespace

const TTypeInfo& TypeInfoOf(TTypeTag<TShapeKind>) {
  static const TTypeInfo info = EnumTypeInfo("TShapeKind", {"skCircle", "skSquare", "skStar"});
  return info;
}

namespace {

class TCornerItem : public TCollectionItem {
 public:
  using TCollectionItem::TCollectionItem;
  int Value() const { return FValue; }
  void SetValue(int value) { FValue = value; }
  static const TClassInfo& StaticClassInfo() {
    static const TClassInfo info = TPublished<TCornerItem>("TCornerItem", TCollectionItem::StaticClassInfo())
                                       .Property("Value", &TCornerItem::Value, &TCornerItem::SetValue);
    return info;
  }
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

 private:
  int FValue = 0;
};

class TShape : public TPersistent {
 public:
  int Width() const { return FWidth; }
  void SetWidth(int width) { FWidth = width; }
  TShapeKind Kind() const { return FKind; }
  void SetKind(TShapeKind kind) { FKind = kind; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool visible) { FVisible = visible; }
  std::string Caption() const { return FCaption; }
  void SetCaption(const std::string& caption) { FCaption = caption; }
  double Ratio() const { return FRatio; }
  void SetRatio(double ratio) { FRatio = ratio; }
  char Corner() const { return FCorner; }
  void SetCorner(char corner) { FCorner = corner; }
  int16_t Depth() const { return FDepth; }
  void SetDepth(int16_t depth) { FDepth = depth; }
  TFontStyles Styles() const { return FStyles; }
  void SetStyles(TFontStyles styles) { FStyles = styles; }
  TColor Fill() const { return FFill; }
  void SetFill(TColor fill) { FFill = fill; }
  int Area() const { return FWidth * FWidth; }
  // Owned: the setter copies into it.
  TFont* Pen() const { return FPen.get(); }
  void SetPen(TFont* pen) { FPen->Assign(*pen); }
  // Not owned: the setter stores the reference.
  TShape* Link() const { return FLink; }
  void SetLink(TShape* link) { FLink = link; }
  TCollection* Corners() const { return FCorners.get(); }
  void SetCorners(TCollection* corners) { FCorners->Assign(*corners); }

  TNotifyEvent OnChange;

  static const TClassInfo& StaticClassInfo() {
    static const TClassInfo info = TPublished<TShape>("TShape", TPersistent::StaticClassInfo())
                                       .Property("Width", &TShape::Width, &TShape::SetWidth, 10)
                                       .Property("Kind", &TShape::Kind, &TShape::SetKind, skCircle)
                                       .Property("Visible", &TShape::Visible, &TShape::SetVisible, true)
                                       .Property("Caption", &TShape::Caption, &TShape::SetCaption)
                                       .Property("Ratio", &TShape::Ratio, &TShape::SetRatio)
                                       .Property("Corner", &TShape::Corner, &TShape::SetCorner)
                                       .Property("Depth", &TShape::Depth, &TShape::SetDepth)
                                       .Property("Styles", &TShape::Styles, &TShape::SetStyles)
                                       .Property("Fill", &TShape::Fill, &TShape::SetFill, clNone)
                                       .Property("Area", &TShape::Area, nullptr)
                                       .NotStored()
                                       .Property("Pen", &TShape::Pen, &TShape::SetPen)
                                       .Property("Link", &TShape::Link, &TShape::SetLink)
                                       .Property("Corners", &TShape::Corners, &TShape::SetCorners)
                                       .Event("OnChange", "TNotifyEvent");
    return info;
  }
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

 private:
  int FWidth = 10;
  TShapeKind FKind = skCircle;
  bool FVisible = true;
  std::string FCaption;
  double FRatio = 0;
  char FCorner = 'a';
  int16_t FDepth = 0;
  TFontStyles FStyles;
  TColor FFill = clNone;
  TOwned<TFont> FPen = Create<TFont>();
  TShape* FLink = nullptr;
  TOwned<TCollection> FCorners = Create<TCollection>(this, TCollectionItemClass::Of<TCornerItem>());
};

// Adds a property and publishes Width again with another default.
class TBigShape : public TShape {
 public:
  int64_t Big() const { return FBig; }
  void SetBig(int64_t big) { FBig = big; }
  static const TClassInfo& StaticClassInfo() {
    static const TClassInfo info = TPublished<TBigShape>("TBigShape", TShape::StaticClassInfo())
                                       .Property("Big", &TBigShape::Big, &TBigShape::SetBig)
                                       .Property("Width", &TShape::Width, &TShape::SetWidth, 20);
    return info;
  }
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

 private:
  int64_t FBig = 0;
};

// Publishes nothing of its own.
class TPlainShape : public TBigShape {};

std::vector<std::string> Names(const std::vector<const TPropInfo*>& props) {
  std::vector<std::string> names;
  for (const TPropInfo* prop : props) names.push_back(prop->Name);
  return names;
}

TEST(Properties, AnInstanceFindsItsNearestDescribedClass) {
  TOwned<TPlainShape> plain = Create<TPlainShape>();
  const TClassInfo& info = plain->ClassInfo();
  EXPECT_EQ(&info, &TBigShape::StaticClassInfo());
  EXPECT_EQ(info.Name(), "TBigShape");
  EXPECT_EQ(plain->ClassName(), "TPlainShape");
  EXPECT_TRUE(info.InheritsFrom(TShape::StaticClassInfo()));
  EXPECT_TRUE(info.InheritsFrom(TPersistent::StaticClassInfo()));
  EXPECT_FALSE(TShape::StaticClassInfo().InheritsFrom(info));
  EXPECT_EQ(TStringList::StaticClassInfo().Parent(), &TStrings::StaticClassInfo());
}

TEST(Properties, InheritedPropertiesComeFirstAndARedeclarationReplaces) {
  const TClassInfo& info = TBigShape::StaticClassInfo();
  // Registration order of TShape, then TBigShape's own; Width once, in its first place.
  const std::vector<std::string> expected = {"Width", "Kind", "Visible", "Caption", "Ratio", "Corner",   "Depth", "Styles",
                                             "Fill",  "Area", "Pen",     "Link",    "Corners", "OnChange", "Big"};
  EXPECT_EQ(Names(info.Properties()), expected);
  EXPECT_EQ(info.FindProperty("WIDTH")->Default, 20);
  EXPECT_EQ(TShape::StaticClassInfo().FindProperty("width")->Default, 10);
  EXPECT_EQ(info.FindProperty("Kind"), TShape::StaticClassInfo().FindProperty("Kind"));
  EXPECT_EQ(info.FindProperty("Height"), nullptr);

  EXPECT_EQ(Names(GetPropList(info, {tkClass}, true)), (std::vector<std::string>{"Corners", "Link", "Pen"}));
  EXPECT_EQ(Names(GetPropList(info, {tkInteger, tkInt64, tkMethod}, true)),
            (std::vector<std::string>{"Area", "Big", "Depth", "Fill", "OnChange", "Width"}));
  EXPECT_EQ(GetPropList(info, tkProperties, false).size(), expected.size() - 1);
}

TEST(Properties, TypesDescribeTheirValues) {
  const TClassInfo& info = TShape::StaticClassInfo();
  auto type = [&](const char* name) -> const TTypeInfo& { return *info.FindProperty(name)->PropType; };
  EXPECT_EQ(type("Kind").Names, (std::vector<std::string>{"skCircle", "skSquare", "skStar"}));
  EXPECT_EQ(type("Visible").Name, "Boolean");
  EXPECT_EQ(type("Visible").Names, (std::vector<std::string>{"False", "True"}));
  EXPECT_EQ(type("Styles").Name, "TFontStyles");
  EXPECT_EQ(type("Styles").ElementType->Names[1], "fsItalic");
  EXPECT_EQ(type("Fill").Name, "TColor");
  EXPECT_EQ(type("OnChange").Kind, tkMethod);
  EXPECT_EQ(type("OnChange").Name, "TNotifyEvent");

  // Object properties know their class without an instance.
  EXPECT_EQ(info.FindProperty("Pen")->ElementClass(), &TFont::StaticClassInfo());
  EXPECT_EQ(info.FindProperty("Link")->ElementClass(), &TShape::StaticClassInfo());
  EXPECT_EQ(type("Corners").Name, "TCollection");

  EXPECT_EQ(info.FindProperty("Fill")->Default, static_cast<int64_t>(clNone));
  EXPECT_EQ(info.FindProperty("Visible")->Default, 1);
  EXPECT_FALSE(info.FindProperty("Caption")->Default.has_value());
  EXPECT_FALSE(info.FindProperty("Area")->Stored);
  EXPECT_FALSE(info.FindProperty("Area")->Writable());
  EXPECT_TRUE(info.FindProperty("Width")->Stored);
}

TEST(Properties, TypedAccessChecksWhatItIsGiven) {
  TOwned<TShape> shape = Create<TShape>();
  const TClassInfo& info = shape->ClassInfo();
  const TPropInfo& kind = *info.FindProperty("Kind");
  kind.SetOrd(*shape, skStar);
  EXPECT_EQ(kind.GetOrd(*shape), skStar);
  EXPECT_THROW(kind.SetOrd(*shape, 3), EConvertError);
  EXPECT_THROW(info.FindProperty("Styles")->SetOrd(*shape, 1 << 4), EConvertError);
  EXPECT_EQ(shape->Kind(), skStar);

  // An owned object takes the values; a reference takes the object.
  TOwned<TFont> font = Create<TFont>();
  font->SetName("FixedSys");
  TFont* pen = shape->Pen();
  info.FindProperty("Pen")->SetObject(*shape, font.get());
  EXPECT_EQ(shape->Pen(), pen);
  EXPECT_EQ(pen->Name(), "FixedSys");
  EXPECT_THROW(info.FindProperty("Pen")->SetObject(*shape, shape.get()), EConvertError);
  TOwned<TShape> other = Create<TShape>();
  info.FindProperty("Link")->SetObject(*shape, other.get());
  EXPECT_EQ(shape->Link(), other.get());
  info.FindProperty("Link")->SetObject(*shape, nullptr);
  EXPECT_EQ(shape->Link(), nullptr);

  // A property used on an object of another class.
  EXPECT_THROW(kind.GetOrd(*font), EConvertError);
}

TEST(Properties, PathTextRoundTrips) {
  TOwned<TShape> shape = Create<TShape>();
  shape->Corners()->Add();
  shape->Corners()->Add();
  struct TCase {
    const char* Path;
    const char* Text;
    const char* Read;
  };
  const TCase cases[] = {
      {"Width", "-42", "-42"},
      {"width", " 17 ", "17"},
      {"Width", "$10", "16"},
      {"Kind", "skSquare", "skSquare"},
      {"Kind", "SKSTAR", "skStar"},
      {"Visible", "False", "False"},
      {"Visible", "true", "True"},
      {"Styles", "[fsBold,fsItalic]", "[fsBold,fsItalic]"},
      {"Styles", "[ fsStrikeOut , fsBold ]", "[fsBold,fsStrikeOut]"},
      {"Styles", "[]", "[]"},
      {"Fill", "clWindowText", "clWindowText"},
      {"Fill", "$00123456", "$00123456"},
      {"Fill", "255", "clRed"},
      {"Caption", " two  spaces ", " two  spaces "},
      {"Caption", "", ""},
      {"Ratio", "1.25", "1.25"},
      {"Corner", "z", "z"},
      {"Depth", "-32768", "-32768"},
      {"Pen.Color", "clAqua", "clAqua"},
      {"Pen.Style", "[fsUnderline]", "[fsUnderline]"},
      {"Pen.Size", "12", "12"},
      {"Corners[1].Value", "5", "5"},
  };
  for (const TCase& c : cases) {
    SetPropertyByPath(*shape, c.Path, c.Text);
    EXPECT_EQ(GetPropertyByPath(*shape, c.Path), c.Read) << c.Path << " = " << c.Text;
  }
  EXPECT_EQ(GetPropertyByPath(*shape, "Pen.Height"), "-16");
  EXPECT_EQ(GetPropertyByPath(*shape, "Area"), "256");
  EXPECT_EQ(GetPropertyByPath(*shape, "Pen"), "(TFont)");
  EXPECT_EQ(GetPropertyByPath(*shape, "Link"), "nil");
  EXPECT_EQ(GetPropertyByPath(*shape, "Corners[0]"), "(TCornerItem)");
  EXPECT_EQ(static_cast<TCornerItem*>(shape->Corners()->Items(1))->Value(), 5);
}

TEST(Properties, PathErrorsSayWhatIsWrong) {
  TOwned<TShape> shape = Create<TShape>();
  shape->Corners()->Add();
  struct TCase {
    const char* Path;
    const char* Text;  // nullptr: read
    const char* Message;
  };
  const TCase cases[] = {
      {"Height", "1", "TShape has no property 'Height'"},
      {"Pen.Colour", "clRed", "TFont has no property 'Colour'"},
      {"Width.Value", "1", "Width of TShape is not an object"},
      {"Link.Width", "1", "Link of TShape is nil"},
      {"Pen..Color", "clRed", "Bad property path"},
      {"", nullptr, "Bad property path"},
      {"Corners[1].Value", "1", "Item index 1 is out of range"},
      {"Corners[x].Value", "1", "Bad item index"},
      {"Pen[0].Color", "1", "is not a collection"},
      {"Kind", "skOval", "expected one of skCircle, skSquare, skStar"},
      {"Visible", "yes", "'yes' is not a valid value for property Visible"},
      {"Styles", "[fsBold,fsHeavy]", "'fsHeavy'"},
      {"Styles", "fsBold", "write it as [name,name]"},
      {"Styles", "[fsBold,]", "ends with a comma"},
      {"Width", "12px", "'12px' is not a valid integer value for property Width"},
      {"Width", "", "is not a valid integer value"},
      {"Width", "4294967296", "out of range for property Width"},
      {"Depth", "40000", "out of range for property Depth"},
      {"Fill", "clPink", "'clPink' is not a valid colour"},
      {"Ratio", "1,5", "not a valid number"},
      {"Corner", "ab", "exactly one character"},
      {"Area", "4", "Area is read-only"},
      {"Pen", "x", "Pen is an object"},
      {"Corners[0]", "x", "is an object"},
      {"OnChange", nullptr, "has no text value"},
      {"Pen.Charset", "256", "out of range for property Charset"},
  };
  for (const TCase& c : cases) {
    try {
      if (c.Text != nullptr) {
        SetPropertyByPath(*shape, c.Path, c.Text);
      } else {
        GetPropertyByPath(*shape, c.Path);
      }
      ADD_FAILURE() << c.Path << " raised nothing";
    } catch (const EConvertError& error) {
      EXPECT_NE(error.Message().find(c.Message), std::string::npos) << c.Path << ": " << error.Message();
    }
  }
  EXPECT_EQ(shape->Width(), 10);
  EXPECT_EQ(shape->Depth(), 0);
}

TEST(Properties, FontAndComponentPublishTheirProperties) {
  EXPECT_EQ(Names(GetPropList(TFont::StaticClassInfo(), tkAny, true)),
            (std::vector<std::string>{"Charset", "Color", "Height", "Name", "Pitch", "Size", "Style"}));
  EXPECT_FALSE(TFont::StaticClassInfo().FindProperty("Size")->Stored);
  EXPECT_EQ(TFont::StaticClassInfo().FindProperty("Pitch")->Default, fpDefault);

  TOwned<TComponent> owner = CreateWithoutOwner<TComponent>();
  TComponent* child = Create<TComponent>(owner.get());
  SetPropertyByPath(*child, "Name", "Editor1");
  SetPropertyByPath(*child, "Tag", "7");
  EXPECT_EQ(owner->FindComponent("Editor1"), child);
  EXPECT_EQ(child->Tag(), 7);
  // The component's own rules still apply.
  EXPECT_THROW(SetPropertyByPath(*child, "Name", "not valid"), EComponentError);
}

}  // namespace
}  // namespace plomaret
