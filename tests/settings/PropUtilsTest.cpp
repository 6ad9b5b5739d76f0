#include "settings/PropUtils.h"

#include <gtest/gtest.h>

#include <string>

#include "editor/EditorFountain.h"
#include "editor/EditorUtils.h"
#include "framework/core/ComponentImage.h"
#include "framework/gui/Forms.h"
#include "framework/headless/HeadlessPlatform.h"

namespace plomaret {
namespace {

// A control with a caption of its own and a reference to a colour scheme.
class TSampleBox : public TCustomControl {
 public:
  const std::string& Caption() const { return Text(); }
  void SetCaption(const std::string& caption) { SetText(caption); }
  TEditorFountain* Scheme() const { return FScheme; }
  void SetScheme(TEditorFountain* scheme) {
    FScheme = scheme;
    FreeNotification(scheme);
  }
  static const TClassInfo& StaticClassInfo() {
    static const TClassInfo info = TPublished<TSampleBox>("TSampleBox", TControl::StaticClassInfo())
                                       .Property("Caption", &TSampleBox::Caption, &TSampleBox::SetCaption)
                                       .Property("Scheme", &TSampleBox::Scheme, &TSampleBox::SetScheme);
    return info;
  }
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

 protected:
  void Notification(TComponent* component, TOperation operation) override {
    if (operation == opRemove && component == FScheme) FScheme = nullptr;
    TCustomControl::Notification(component, operation);
  }

 private:
  TEditorFountain* FScheme = nullptr;
};

void AddValue(void* data, TObject* instance, const TPropInfo& prop, const TTypeInfo&) {
  std::string& text = *static_cast<std::string*>(data);
  text += prop.Name + "=" + GetPropertyText(*instance, prop);
  if (prop.Kind() == tkClass) {
    if (auto* lines = dynamic_cast<TStrings*>(prop.GetObject(*instance))) text += lines->Text();
  }
  text += ";";
}

// Every published value of component and, for a control, of its child controls.
std::string Tree(TComponent* component) {
  std::string text = component->ClassName() + ":";
  WalkProperties(component, tkProperties, &AddValue, &text);
  if (auto* windowed = dynamic_cast<TWinControl*>(component)) {
    for (int i = 0; i < windowed->ControlCount(); ++i) text += "[" + Tree(windowed->Controls(i)) + "]";
  }
  return text;
}

std::string ImageOf(TComponent* component) {
  auto stream = Create<TMemoryStream>();
  WriteComponentImage(component, *stream);
  return std::string(static_cast<const char*>(stream->Memory()), static_cast<size_t>(stream->Size()));
}

TOwned<TMemoryStream> StreamOf(const std::string& bytes) {
  auto stream = Create<TMemoryStream>();
  stream->WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  stream->SetPosition(0);
  return stream;
}

class PropUtilsTest : public ::testing::Test {
 protected:
  PropUtilsTest() {
    UseHeadlessPlatform();
    RegisterComponentClass<TSampleBox>();
    RegisterComponentClass<TPanel>();
    RegisterComponentClass<TEditorFountain>();
    FFountain->SetName("Fountain1");
    for (const char* pair : {"()", "[]"}) AddBracket(std::string(1, pair[0]), std::string(1, pair[1]));
    FFountain->Brackets()->Items(1)->ItemColor()->SetStyle({fsItalic, fsUnderline});
    FFountain->Colors()->Str()->SetColor(clMaroon);
    FFountain->Colors()->Select()->SetBkColor(RGB(1, 2, 3));
    FFountain->Reserve()->SetColor(clBlue);
    FFountain->ReserveWordList()->SetText("begin\r\nend\r\n");
    FFountain->FileExtList()->SetText(".x\r\n.txt\r\n");
    FFountain->SetCommenter("//");
    FFountain->SetMail(true);
    FBox->SetName("Box1");
    FBox->SetParent(FForm.get());
    FBox->SetBounds(3, 4, 200, 100);
    FBox->SetColor(clNavy);
    FBox->Font().SetHeight(-12);
    FBox->SetCaption("\x94\xA0");
    FBox->SetScheme(FFountain);
    auto* panel = Create<TPanel>(FForm.get());
    panel->SetName("Panel1");
    panel->SetParent(FBox);
    panel->SetAlign(alTop);
    auto* inner = Create<TSampleBox>(FForm.get());
    inner->SetName("Inner1");
    inner->SetParent(panel);
    inner->SetVisible(false);
  }
  TFountainBracketItem* AddBracket(const std::string& left, const std::string& right) {
    TFountainBracketItem* item = FFountain->Brackets()->Add();
    item->SetLeftBracket(left);
    item->SetRightBracket(right);
    return item;
  }

  TOwned<TForm> FForm = CreateWithoutOwner<TForm>();
  TEditorFountain* FFountain = Create<TEditorFountain>(FForm.get());
  TSampleBox* FBox = Create<TSampleBox>(FForm.get());
};

TEST_F(PropUtilsTest, AControlTreeReadBackTakesThePlaceOfTheOldOneWithEveryValue) {
  const std::string before = Tree(FBox);
  auto stream = StreamOf(ImageOf(FBox));
  FBox->SetColor(clLime);
  const int components = FForm->ComponentCount();
  TComponent* read = ReadComponentImage(*stream, FBox);
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(Tree(read), before);
  EXPECT_EQ(FForm->ComponentCount(), components) << "the old box and its children are gone";
  EXPECT_EQ(FForm->FindComponent("Box1"), read);
  EXPECT_EQ(static_cast<TControl*>(read)->Parent(), FForm.get());
  EXPECT_EQ(static_cast<TSampleBox*>(read)->Scheme(), FFountain);
  auto* inner = static_cast<TControl*>(FForm->FindComponent("Inner1"));
  ASSERT_NE(inner, nullptr);
  EXPECT_EQ(inner->Parent(), FForm->FindComponent("Panel1"));
}

TEST_F(PropUtilsTest, AColourSchemeReadBackHasTheSameBracketsColoursAndWords) {
  auto other = CreateWithoutOwner<TForm>();
  auto stream = StreamOf(ImageOf(FFountain));
  std::vector<TComponent*> read = TComponentReader(*stream).ReadImage(*other, nullptr);
  ASSERT_EQ(read.size(), 1u);
  EXPECT_EQ(Tree(read[0]), Tree(FFountain));
}

TEST_F(PropUtilsTest, AnImageThatCannotBeReadLeavesTheOldControlsWithTheirNames) {
  const std::string image = ImageOf(FBox);
  const std::string before = Tree(FBox);
  const int components = FForm->ComponentCount();
  std::string badClass = image;
  badClass.replace(badClass.find("TPanel"), 6, "TPanex");
  const std::string twoBoxes = image.substr(0, image.size() - 1) + image.substr(4);
  for (const std::string& bad : {image.substr(0, image.size() / 2), badClass, twoBoxes}) {
    EXPECT_EQ(ReadComponentImage(*StreamOf(bad), FBox), nullptr);
    EXPECT_EQ(Tree(FBox), before);
    EXPECT_EQ(FForm->ComponentCount(), components);
  }
}

TEST_F(PropUtilsTest, AnImageWithoutItsFinalEndMarkerIsAccepted) {
  const std::string image = ImageOf(FBox);
  EXPECT_NE(ReadComponentImage(*StreamOf(image.substr(0, image.size() - 1)), FBox), nullptr);
}

TEST_F(PropUtilsTest, AFifteenthBracketIsRefusedNamingTheProperty) {
  while (FFountain->Brackets()->Count() < TFountainBracketCollection::kMaxItems - 1) AddBracket("<", ">");
  const std::string thirteen = ImageOf(FFountain);
  AddBracket("<", ">");
  std::string image = ImageOf(FFountain);
  // The last item again, spliced in after itself: the items end with the byte
  // before the next property, Reserve.
  const size_t itemSize = image.size() - thirteen.size();
  const size_t itemsEnd = image.find("\x07Reserve") - 1;
  image.insert(itemsEnd, image.substr(itemsEnd - itemSize, itemSize));
  auto other = CreateWithoutOwner<TForm>();
  try {
    TComponentReader(*StreamOf(image)).ReadImage(*other, nullptr);
    FAIL() << "read";
  } catch (const EReadError& error) {
    EXPECT_NE(std::string(error.what()).find("Property Brackets"), std::string::npos) << error.what();
  }
  EXPECT_EQ(other->ComponentCount(), 0);
}

}  // namespace
}  // namespace plomaret
