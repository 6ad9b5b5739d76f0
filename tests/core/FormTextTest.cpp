#include "framework/core/FormText.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "core/LabelCollection.h"
#include "framework/core/Collection.h"
#include "framework/core/Properties.h"
#include "framework/core/Strings.h"
#include "framework/gui/Forms.h"
#include "framework/headless/HeadlessPlatform.h"

namespace plomaret {
namespace {

using testing::TLabelCollection;
using testing::TLabelItem;
using testing::gLabelLimit;

// What the controls do not show: a float, a character, a collection, a string list
// and a reference.
class TWidget : public TComponent {
 public:
  void AfterConstruction() override {
    TComponent::AfterConstruction();
    FNotes = Create<TLabelCollection>(this);
    FLines = Create<TStringList>();
  }
  std::string Caption() const { return FCaption; }
  void SetCaption(const std::string& caption) { FCaption = caption; }
  double Ratio() const { return FRatio; }
  void SetRatio(double ratio) { FRatio = ratio; }
  char Mark() const { return FMark; }
  void SetMark(char mark) { FMark = mark; }
  TLabelCollection* Notes() const { return FNotes.get(); }
  TStringList* Lines() const { return FLines.get(); }
  void SetLines(TStringList* lines) { FLines->Assign(*lines); }
  TWidget* Buddy() const { return FBuddy; }
  void SetBuddy(TWidget* buddy) {
    FBuddy = buddy;
    FreeNotification(buddy);
  }

  static const TClassInfo& StaticClassInfo() {
    using C = TWidget;
    static const TClassInfo info = TPublished<C>("TWidget", TComponent::StaticClassInfo())
                                       .Property("Caption", &C::Caption, &C::SetCaption)
                                       .Property("Ratio", &C::Ratio, &C::SetRatio)
                                       .Property("Mark", &C::Mark, &C::SetMark, 'x')
                                       .Property("Notes", &C::Notes, nullptr)
                                       .Property("Lines", &C::Lines, &C::SetLines)
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
  char FMark = 'x';
  TOwned<TLabelCollection> FNotes;
  TOwned<TStringList> FLines;
  TWidget* FBuddy = nullptr;
};

// Every published value of instance, walking owned objects, items and lists.
std::string Describe(const TPersistent& instance) {
  std::string text;
  for (const TPropInfo* prop : GetPropList(instance.ClassInfo(), tkProperties, false)) {
    text += prop->Name + "=";
    const TObject* object = prop->Kind() == tkClass ? prop->GetObject(instance) : nullptr;
    if (prop->Kind() == tkMethod) {
      continue;
    } else if (prop->Kind() != tkClass) {
      text += GetPropertyText(instance, *prop);
    } else if (auto* component = dynamic_cast<const TComponent*>(object)) {
      text += component->Name();
    } else if (auto* collection = dynamic_cast<const TCollection*>(object)) {
      for (int i = 0; i < collection->Count(); ++i) text += "{" + Describe(*collection->Items(i)) + "}";
    } else if (auto* strings = dynamic_cast<const TStrings*>(object)) {
      for (int i = 0; i < strings->Count(); ++i) text += "(" + strings->Get(i) + ")";
    } else if (auto* persistent = dynamic_cast<const TPersistent*>(object)) {
      text += "{" + Describe(*persistent) + "}";
    }
    text += ";";
  }
  return text;
}

const std::string kShiftJis = "\x83\x76\x83\x8D\x83\x5C 'q'\x81\x40";

class FormTextTest : public ::testing::Test {
 protected:
  FormTextTest() {
    UseHeadlessPlatform();
    RegisterComponentClass<TForm>();
    RegisterComponentClass<TPanel>();
    RegisterComponentClass<TSpeedButton>();
    RegisterComponentClass<TWidget>();
    FForm->SetName("Form1");
    FForm->SetBounds(192, 100, 400, 300);
    auto* panel = Create<TPanel>(FForm.get());
    panel->SetName("Panel1");
    panel->SetParent(FForm.get());
    panel->SetAlign(alTop);
    panel->Font().SetName("MS Sans Serif");
    panel->Font().SetStyle({fsBold, fsItalic});
    panel->Font().SetColor(static_cast<TColor>(0x00123456));
    auto* button = Create<TSpeedButton>(FForm.get());
    button->SetName("Button1");
    button->SetParent(panel);
    button->SetHint(kShiftJis);
    auto* a = Create<TWidget>(FForm.get());
    a->SetName("A");
    auto* b = Create<TWidget>(FForm.get());
    b->SetName("B");
    a->SetCaption(std::string("tab\tzero\0end", 12));
    a->SetRatio(-0.1);
    a->SetMark('\'');
    for (const char* label : {"(*", "", "*)"}) static_cast<TLabelItem*>(a->Notes()->Add())->SetLabel(label);
    a->Lines()->Add("first");
    a->Lines()->Add(kShiftJis);
    a->SetBuddy(b);  // written before B: a reference forward
    b->SetBuddy(a);
  }
  ~FormTextTest() override { gLabelLimit = INT_MAX; }

  std::string Text() {
    std::string text;
    WriteFormText(*FForm, text);
    return text;
  }
  // Reads text into FTarget; the error message, or "" on success.
  std::string Read(const std::string& text) {
    try {
      ReadFormText(text, *FTarget, nullptr);
    } catch (const EReadError& error) {
      return error.Message();
    }
    return "";
  }

  TOwned<TForm> FForm = CreateWithoutOwner<TForm>();
  TOwned<TWidget> FTarget = CreateWithoutOwner<TWidget>();
};

TEST_F(FormTextTest, ATreeComesBackWithEveryPropertyChildrenAndReferences) {
  const std::string text = Text();
  EXPECT_NE(text.find("object Form1: TForm\n  Color = clBtnFace\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\n    Font.Style = [fsBold, fsItalic]\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\n    Notes = <\n      item\n        Label = '(*'\n      end\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\n    Lines.Strings = (\n      'first'\n"), std::string::npos) << text;
  EXPECT_NE(text.find("  object Panel1: TPanel\n"), std::string::npos) << text;
  EXPECT_NE(text.find("    object Button1: TSpeedButton\n"), std::string::npos) << text;

  ASSERT_EQ(Read(text), "");
  ASSERT_EQ(FTarget->ComponentCount(), FForm->ComponentCount() + 1);
  for (const char* name : {"Form1", "Panel1", "Button1", "A", "B"}) {
    TComponent* read = FTarget->FindComponent(name);
    ASSERT_NE(read, nullptr) << name;
    const TComponent* original = FForm->Name() == name ? FForm.get() : FForm->FindComponent(name);
    EXPECT_EQ(Describe(*read), Describe(*original)) << name;
    EXPECT_FALSE(read->ComponentState().Contains(csLoading)) << name;
  }
  auto* button = static_cast<TSpeedButton*>(FTarget->FindComponent("Button1"));
  EXPECT_EQ(button->Parent(), FTarget->FindComponent("Panel1"));
  EXPECT_EQ(button->Hint(), kShiftJis);
  auto* a = static_cast<TWidget*>(FTarget->FindComponent("A"));
  EXPECT_EQ(a->Buddy(), FTarget->FindComponent("B"));
  EXPECT_EQ(a->Lines()->Get(1), kShiftJis);
}

TEST_F(FormTextTest, BytesOutsidePrintableAsciiAreWrittenAsCodes) {
  const std::string text = Text();
  for (const char c : text) ASSERT_TRUE(c == '\n' || (c >= 0x20 && c < 0x7F)) << static_cast<int>(c);
  EXPECT_NE(text.find("Hint = #131'v'#131#141#131'\\ ''q'''#129'@'\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Caption = 'tab'#9'zero'#0'end'\n"), std::string::npos) << text;
  ASSERT_EQ(Read("object W: TWidget Caption = #$83'v'#131#10 end"), "");
  EXPECT_EQ(static_cast<TWidget*>(FTarget->FindComponent("W"))->Caption(), "\x83v\x83\n");
}

TEST_F(FormTextTest, FaultsAreReportedWithTheirLineAndLeaveNothingBehind) {
  const std::string head = "object Panel2: TPanel\n  Align = alTop\n";
  const std::pair<std::string, std::string> cases[] = {
      {head + "  Foo = 1\nend\n", "line 3: unknown property 'Foo' of TPanel"},
      {head + "  Font.Bar = 1\nend\n", "line 3: unknown property 'Bar' of TFont"},
      {head + "  object X: TNothing\n  end\nend\n", "line 3: class TNothing is not registered"},
      {head + "  Align = alNowhere\nend\n", "line 3: 'alNowhere' is not a valid value"},
      {head + "  Hint = 'open\nend\n", "line 3: unterminated string"},
      {head + "  Hint = #256\nend\n", "line 3: character code too large for a byte"},
      {head + "  Font.Style = [fsBold fsItalic]\nend\n", "line 3: expected ',' but found 'fsItalic'"},
      {head + "  Hint = 12\nend\n", "line 3: expected a string but found '12'"},
      {head + "  object Button1: TSpeedButton\n", "line 4: expected a property name but found the end of the text"},
      {head + "end\nend\n", "line 4: text after the end of the object"},
      {head + "  Left ~ 3\nend\n", "line 3: unexpected character #126"},
      {"object A: TWidget\n  Notes = <\n    item\n    end\n    item\n    end>\nend\n",
       "line 5: property Notes holds more items than TLabelCollection allows (1)"},
  };
  gLabelLimit = 1;
  for (const auto& [text, message] : cases) {
    EXPECT_EQ(Read(text).substr(0, message.size()), message) << text;
    EXPECT_EQ(FTarget->ComponentCount(), 0) << text;
  }
}

}  // namespace
}  // namespace plomaret
