#include "RegMng/RegMng.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#include "TestFiles.h"
#include "framework/core/ComponentImage.h"
#include "framework/gui/Forms.h"
#include "framework/headless/HeadlessPlatform.h"

namespace plomaret {
namespace {

using testing::ReadBytes;
using testing::TScratchFolder;

class RegMngTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* old = std::getenv("XDG_CONFIG_HOME")) FOldConfig = old;
    ::setenv("XDG_CONFIG_HOME", FFolder.Path("config").c_str(), 1);
    UseHeadlessPlatform().ClearMessages();
    FOwner = CreateWithoutOwner<TComponent>();
    FManager = Create<TRegManager>(FOwner.get());
    FManager->SetRegType(rtIni);
    FManager->SetIniFileName(FIni);
    AddItem("Setting", "sec", "key", "");
  }
  void TearDown() override {
    if (FOldConfig) {
      ::setenv("XDG_CONFIG_HOME", FOldConfig->c_str(), 1);
    } else {
      ::unsetenv("XDG_CONFIG_HOME");
    }
  }

  TRegItem* AddItem(const std::string& name, const std::string& section, const std::string& ident,
                    const std::string& defaultValue) {
    auto* item = static_cast<TRegItem*>(FManager->RegItems()->Add());
    item->SetName(name);
    item->SetSection(section);
    item->SetIdent(ident);
    item->SetDefaultValue(defaultValue);
    return item;
  }
  TRegItem& Item() { return *FManager->RegItems()->Items(0); }
  TRegFiler& Filer() { return *FManager->RegFiler("Setting"); }
  static std::vector<std::string> Messages() {
    std::vector<std::string> texts;
    for (const auto& message : UseHeadlessPlatform().Messages()) texts.push_back(message.Text);
    return texts;
  }
  bool Stored(const std::string& key) { return TIniFile(FIni).ValueExists("sec", key); }

  TScratchFolder FFolder;
  std::string FIni = FFolder.Path("settings.ini");
  std::optional<std::string> FOldConfig;
  TOwned<TComponent> FOwner;
  TRegManager* FManager = nullptr;
};

TEST_F(RegMngTest, MainWindowSettingIsWrittenAsTheProgramExpects) {
  TRegItem* item = AddItem("DefaultFilePath", "filepath", "filepath", "");
  EXPECT_EQ(FManager->RegFiler("defaultfilepath")->ReadText(), "");
  EXPECT_EQ(FManager->RegFiler("DefaultFilePath")->Item(), item);
  FManager->RegFiler("DefaultFilePath")->WriteText("/some/folder/");
  EXPECT_EQ(ReadBytes(FIni), "[filepath]\r\nfilepath=/some/folder/\r\n");
  EXPECT_EQ(FManager->RegFiler("DEFAULTFILEPATH")->ReadText(), "/some/folder/");
  EXPECT_TRUE(Messages().empty());
}

TEST_F(RegMngTest, TextFallsBackToDefaultValue) {
  Item().SetDefaultValue("fallback");
  EXPECT_EQ(Filer().ReadText(), "fallback");
  Item().SetSection("");
  Filer().WriteText("ignored");
  EXPECT_EQ(Filer().ReadText(), "fallback");
  EXPECT_FALSE(std::filesystem::exists(FIni));
  Item().SetSection("sec");
  Filer().WriteText("stored");
  EXPECT_EQ(Filer().ReadText(), "stored");
  Filer().DeleteValue("sec", "key");
  EXPECT_EQ(Filer().ReadText(), "fallback");
}

TEST_F(RegMngTest, FindByNameIgnoresCaseAndTakesTheFirstMatch) {
  TRegItem* first = AddItem("Twin", "a", "b", "");
  AddItem("TWIN", "c", "d", "");
  EXPECT_EQ(FManager->RegItems()->FindByName("twin"), first);
  EXPECT_EQ(FManager->RegItems()->FindByName("Twins"), nullptr);
}

TEST_F(RegMngTest, NumbersAndFlags) {
  EXPECT_EQ(Filer().ReadNumber(), 0);
  Item().SetDefaultValue("42");
  EXPECT_EQ(Filer().ReadNumber(), 42);
  Item().SetDefaultValue("abc");
  EXPECT_EQ(Filer().ReadNumber(), 0);
  Filer().WriteNumber(-7);
  EXPECT_EQ(Filer().ReadNumber(), -7);
  Filer().DeleteValue("sec", "key");

  Item().SetDefaultValue("yes");
  EXPECT_TRUE(Filer().ReadFlag());
  Item().SetDefaultValue("on");
  EXPECT_FALSE(Filer().ReadFlag());
  Item().SetDefaultValue("True");
  EXPECT_TRUE(Filer().ReadFlag());
  struct TCase {
    const char* Stored;
    bool Expected;
  };
  for (const TCase& c : {TCase{"TRUE", false}, TCase{"2", true}, TCase{"256", false}, TCase{"257", true}}) {
    Filer().WriteText(c.Stored);
    EXPECT_EQ(Filer().ReadFlag(), c.Expected) << c.Stored;
  }
  Filer().WriteFlag(false);
  EXPECT_EQ(Filer().ReadText(), "0");
  Filer().WriteFlag(true);
  EXPECT_EQ(Filer().ReadText(), "1");
}

TEST_F(RegMngTest, ShorterListsDeleteTheKeysLeftOver) {
  auto list = Create<TStringList>();
  for (const char* text : {"a", "b", "c", "d", "e"}) list->Add(text);
  Filer().WriteStrings(list.get());
  EXPECT_EQ(TIniFile(FIni).ReadString("sec", "key_ItemCount", ""), "5");

  auto two = Create<TStringList>();
  two->Add("x");
  two->Add("");
  Filer().WriteStrings(two.get());
  EXPECT_EQ(TIniFile(FIni).ReadString("sec", "key_ItemCount", ""), "2");
  EXPECT_TRUE(Stored("key_Item0") && Stored("key_Item1"));
  for (const char* gone : {"key_Item2", "key_Item3", "key_Item4"}) EXPECT_FALSE(Stored(gone)) << gone;
  Filer().ReadStrings(list.get());
  EXPECT_EQ(list->Count(), 2);
  EXPECT_EQ(list->Strings(0), "x");
  EXPECT_EQ(list->Strings(1), "");

  Filer().WriteStrings(Create<TStringList>().get());
  EXPECT_EQ(ReadBytes(FIni), "[sec]\r\n");
  Filer().ReadStrings(list.get());
  EXPECT_EQ(list->Count(), 0);
}

TEST_F(RegMngTest, FontRoundTripsThroughItsFiveKeys) {
  auto font = Create<TFont>();
  font->SetName("MS Gothic");
  font->SetSize(12);
  font->SetColor(clRed);
  font->SetStyle({fsBold, fsUnderline});
  font->SetCharset(SHIFTJIS_CHARSET);
  Filer().WriteFont(font.get());
  EXPECT_EQ(ReadBytes(FIni),
            "[sec]\r\nkey_FontName=MS Gothic\r\nkey_FontSize=12\r\nkey_FontColor=clRed\r\n"
            "key_FontStyle=5\r\nkey_FontCharset=128\r\n");

  auto read = Create<TFont>();
  Filer().ReadFont(read.get());
  EXPECT_EQ(read->Name(), "MS Gothic");
  EXPECT_EQ(read->Size(), 12);
  EXPECT_EQ(read->Color(), clRed);
  EXPECT_EQ(read->Style(), (TFontStyles{fsBold, fsUnderline}));
  EXPECT_EQ(read->Charset(), SHIFTJIS_CHARSET);

  // Text that is no number keeps the size and clears style and charset.
  TIniFile(FIni).WriteString("sec", "key_FontSize", "big");
  TIniFile(FIni).WriteString("sec", "key_FontStyle", "x");
  TIniFile(FIni).WriteString("sec", "key_FontCharset", "x");
  Filer().ReadFont(read.get());
  EXPECT_EQ(read->Size(), 12);
  EXPECT_EQ(read->Style(), TFontStyles{});
  EXPECT_EQ(read->Charset(), 0);
}

TEST_F(RegMngTest, MissingLocationShowsABoxPerOperationAndKeepsTheFallback) {
  FManager->SetIniFileName("");
  auto font = Create<TFont>();
  font->SetName("Kept");
  Filer().ReadFont(font.get());
  EXPECT_EQ(Messages(), std::vector<std::string>(5, "can not create Inifile object."));
  EXPECT_EQ(font->Name(), "Kept");
  EXPECT_EQ(UseHeadlessPlatform().Messages()[0].Flags, MB_OK | MB_ICONERROR);

  UseHeadlessPlatform().ClearMessages();
  FManager->SetRegType(rtReg);
  Item().SetDefaultValue("d");
  EXPECT_EQ(Filer().ReadText(), "d");
  EXPECT_EQ(Messages(), std::vector<std::string>{"can not create Registry object."});
}

TEST_F(RegMngTest, UnknownNameShowsABoxAndAimsAtNoItem) {
  Filer().WriteText("kept");
  TRegFiler* filer = FManager->RegFiler("X");
  EXPECT_EQ(Messages(), std::vector<std::string>{"[' X '] is invalid."});
  EXPECT_EQ(filer->Item(), nullptr);
  EXPECT_EQ(filer->ReadText(), "");
  EXPECT_EQ(filer->ReadNumber(), 0);
  EXPECT_FALSE(filer->ReadFlag());
  filer->WriteText("lost");
  filer->WriteNumber(3);
  EXPECT_EQ(Filer().ReadText(), "kept");
  EXPECT_EQ(Messages().size(), 1u);
}

TEST_F(RegMngTest, RegistryKeepsTextAndBytes) {
  FManager->SetRegType(rtReg);
  FManager->SetRegDir("Software\\plomaret-test");
  Filer().WriteText("in registry");
  EXPECT_EQ(Filer().ReadText(), "in registry");
  EXPECT_EQ(TRegistryIniFile("Software\\plomaret-test").ReadString("sec", "key", ""), "in registry");
  Filer().DeleteValue("sec", "key");
  EXPECT_EQ(Filer().ReadText(), "");

  auto bytes = Create<TMemoryStream>();
  bytes->WriteBuffer("\x00\x01\xFFz", 4);
  bytes->SetPosition(0);
  Filer().WriteBytes(bytes.get());
  auto back = Create<TMemoryStream>();
  Filer().ReadBytes(back.get());
  EXPECT_EQ(back->Size(), 4);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(RegMngTest, BytesInIniFileAndComponentsOtherThanForms) {
  auto bytes = Create<TMemoryStream>();
  bytes->WriteBuffer("\xAB\xCD", 2);
  bytes->SetPosition(0);
  Filer().WriteBytes(bytes.get());
  EXPECT_EQ(ReadBytes(FIni), "[sec]\r\nkey_c=1\r\nkey_d0=ABCD\r\n");
  auto back = Create<TMemoryStream>();
  Filer().ReadBytes(back.get());
  EXPECT_EQ(back->Size(), 2);

  // Without a location the bytes go nowhere rather than into the working folder.
  FManager->SetIniFileName("");
  Filer().WriteBytes(bytes.get());
  FManager->SetIniFileName(FIni);

  RegisterComponentClass<TPanel>();
  auto form = CreateWithoutOwner<TForm>();
  Filer().DeleteValue("sec", "key_c");
  Filer().DeleteValue("sec", "key_d0");
  Filer().WriteComponentValue(form.get());
  EXPECT_EQ(ReadBytes(FIni), "[sec]\r\n");
  auto* panel = Create<TPanel>(form.get());
  panel->SetName("Panel1");
  panel->SetTag(7);
  Filer().WriteComponentValue(panel);
  EXPECT_TRUE(Stored("key_c"));
  panel->SetTag(0);
  Filer().ReadComponentValue(panel);
  auto* replaced = dynamic_cast<TPanel*>(form->FindComponent("Panel1"));
  ASSERT_NE(replaced, nullptr);
  EXPECT_EQ(replaced->Tag(), 7);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(RegMngTest, ManagerAndItemsTravelInAComponentImage) {
  RegisterComponentClass<TRegManager>();
  FManager->SetName("Reg1");
  AddItem("DefaultFilePath", "filepath", "filepath", "x");
  auto stream = Create<TMemoryStream>();
  TComponentWriter(*stream, FOwner.get()).WriteImage(*FManager);
  stream->SetPosition(0);

  auto root = CreateWithoutOwner<TComponent>();
  std::vector<TComponent*> read = TComponentReader(*stream).ReadImage(*root, nullptr);
  ASSERT_EQ(read.size(), 1u);
  auto* copy = dynamic_cast<TRegManager*>(read[0]);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->Name(), "Reg1");
  EXPECT_EQ(copy->RegType(), rtIni);
  EXPECT_EQ(copy->IniFileName(), FIni);
  ASSERT_EQ(copy->RegItems()->Count(), 2);
  const TRegItem* item = copy->RegItems()->Items(1);
  EXPECT_EQ(item->Name(), "DefaultFilePath");
  EXPECT_EQ(item->Section(), "filepath");
  EXPECT_EQ(item->Ident(), "filepath");
  EXPECT_EQ(item->DefaultValue(), "x");
}

}  // namespace
}  // namespace plomaret
