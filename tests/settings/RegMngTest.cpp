#include "settings/RegMng.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "TestFiles.h"
#include "editor/EditorControl.h"
#include "framework/core/ComponentImage.h"
#include "framework/core/FormText.h"
#include "framework/core/Translate.h"
#include "framework/gui/Forms.h"
#include "framework/headless/HeadlessPlatform.h"

namespace plomaret {
namespace {

using testing::ReadBytes;

// Ends the test program when the guarded work outlasts its time: a corrupt count
// must not turn a settings read into hours of work.
class TDeadline {
 public:
  explicit TDeadline(std::chrono::seconds limit)
      : FWatch([this, limit] {
          std::unique_lock lock(FMutex);
          if (!FDone.wait_for(lock, limit, [this] { return FFinished; })) {
            std::fprintf(stderr, "still working after %lld s: given up\n", static_cast<long long>(limit.count()));
            std::_Exit(1);
          }
        }) {}
  ~TDeadline() {
    {
      std::lock_guard lock(FMutex);
      FFinished = true;
    }
    FDone.notify_one();
    FWatch.join();
  }

 private:
  std::mutex FMutex;
  std::condition_variable FDone;
  bool FFinished = false;
  std::thread FWatch;
};

class RegMngTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UseHeadlessPlatform().ClearMessages();
    FManager->SetRegType(rtIni);
    FManager->SetIniFileName(FIni);
    AddItem("Setting", "sec", "key", "");
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

  testing::TScratchFolder FFolder;
  testing::TScopedConfigHome FConfigHome{FFolder.Path("config")};
  std::string FIni = FFolder.Path("settings.ini");
  TOwned<TComponent> FOwner = CreateWithoutOwner<TComponent>();
  TRegManager* FManager = Create<TRegManager>(FOwner.get());
};

TEST_F(RegMngTest, MainWindowSettingAndLookUpByName) {
  TRegItem* item = AddItem("DefaultFilePath", "filepath", "filepath", "");
  AddItem("DEFAULTFILEPATH", "other", "other", "");
  EXPECT_EQ(FManager->RegFiler("defaultfilepath")->Item(), item);
  EXPECT_EQ(FManager->RegFiler("DefaultFilePath")->ReadText(), "");
  FManager->RegFiler("DefaultFilePath")->WriteText("/some/folder/");
  EXPECT_EQ(ReadBytes(FIni), "[filepath]\r\nfilepath=/some/folder/\r\n");
  EXPECT_EQ(FManager->RegFiler("DefaultFilePath")->ReadText(), "/some/folder/");
  EXPECT_TRUE(Messages().empty());
}

TEST_F(RegMngTest, TextNumbersAndFlags) {
  Item().SetDefaultValue("fallback");
  EXPECT_EQ(Filer().ReadText(), "fallback");
  EXPECT_EQ(Filer().ReadNumber(), 0);
  Item().SetSection("");
  Filer().WriteText("ignored");
  EXPECT_EQ(Filer().ReadText(), "fallback");
  EXPECT_FALSE(std::filesystem::exists(FIni));
  Item().SetSection("sec");
  Filer().WriteNumber(-7);
  EXPECT_EQ(Filer().ReadNumber(), -7);
  Filer().DeleteValue("sec", "key");
  EXPECT_EQ(Filer().ReadText(), "fallback");

  for (auto [defaultValue, expected] : {std::pair{"yes", true}, {"on", false}, {"True", true}, {"0", false}}) {
    Item().SetDefaultValue(defaultValue);
    EXPECT_EQ(Filer().ReadFlag(), expected) << defaultValue;
  }
  for (auto [stored, expected] : {std::pair{"TRUE", false}, {"2", true}, {"256", false}, {"257", true}}) {
    Filer().WriteText(stored);
    EXPECT_EQ(Filer().ReadFlag(), expected) << stored;
  }
  Filer().WriteFlag(true);
  EXPECT_EQ(Filer().ReadText(), "1");
}

TEST_F(RegMngTest, ShorterListsDeleteTheKeysLeftOver) {
  auto list = Create<TStringList>();
  for (const char* text : {"a", "b", "c", "d", "e"}) list->Add(text);
  Filer().WriteStrings(list.get());
  auto two = Create<TStringList>();
  two->Add("x");
  two->Add("");
  Filer().WriteStrings(two.get());
  EXPECT_EQ(TIniFile(FIni).ReadString("sec", "key_ItemCount", ""), "2");
  EXPECT_TRUE(Stored("key_Item0") && Stored("key_Item1"));
  for (const char* gone : {"key_Item2", "key_Item3", "key_Item4"}) EXPECT_FALSE(Stored(gone)) << gone;
  Filer().ReadStrings(list.get());
  ASSERT_EQ(list->Count(), 2);
  EXPECT_EQ(list->Strings(0), "x");

  Filer().WriteStrings(Create<TStringList>().get());
  EXPECT_EQ(ReadBytes(FIni), "[sec]\r\n");
  Filer().ReadStrings(list.get());
  EXPECT_EQ(list->Count(), 0);
}

std::string Joined(const std::vector<std::string>& texts) {
  std::string result;
  for (size_t i = 0; i < texts.size(); ++i) result += (i > 0 ? "," : "") + texts[i];
  return result;
}

std::string Joined(const TStrings& list) {
  std::vector<std::string> texts;
  for (int i = 0; i < list.Count(); ++i) texts.push_back(list.Get(i));
  return Joined(texts);
}

// A list as some other writer (or a hand) left it, in either store.
class StoredListTest : public RegMngTest, public ::testing::WithParamInterface<TRegType> {
 protected:
  void SetUp() override {
    RegMngTest::SetUp();
    FManager->SetRegType(GetParam());
    FManager->SetRegDir("Software\\plomaret-test");
    Item().SetIdent("Recent");
  }
  void Put(const std::string& key, const std::string& value) {
    if (GetParam() == rtIni) {
      TIniFile(FIni).WriteString("sec", key, value);
    } else {
      TRegistryIniFile(FManager->RegDir()).WriteString("sec", key, value);
    }
  }
  std::string Keys() {
    auto keys = Create<TStringList>();
    if (GetParam() == rtIni) {
      TIniFile(FIni).ReadSection("sec", *keys);
    } else {
      TRegistryIniFile(FManager->RegDir()).ReadSection("sec", *keys);
    }
    std::vector<std::string> names;
    for (int i = 0; i < keys->Count(); ++i) names.push_back(keys->Get(i));
    std::sort(names.begin(), names.end());
    return Joined(names);
  }
  std::string Get(const std::string& key) {
    return GetParam() == rtIni ? TIniFile(FIni).ReadString("sec", key, "?")
                               : TRegistryIniFile(FManager->RegDir()).ReadString("sec", key, "?");
  }
};

TEST_P(StoredListTest, MissingItemsOfASaneCountReadAsEmpty) {
  Put("Recent_ItemCount", "5");
  Put("Recent_Item0", "a");
  Put("recent_item1", "b");
  Put("Recent_Item3", "d");
  Put("Recent_Item03", "not item 3");
  Put("Other", "x");
  auto list = Create<TStringList>();
  list->Add("old");
  Filer().ReadStrings(list.get());
  EXPECT_EQ(Joined(*list), "a,b,,d,");
  EXPECT_EQ(list->Count(), 5);
  EXPECT_TRUE(Messages().empty());
}

TEST_P(StoredListTest, AHugeCorruptCountIsRefusedWithAMessageNamingItsKey) {
  Put("Recent_ItemCount", "2000000000");
  Put("Recent_Item0", "a");
  Put("Recent_Item1", "b");
  auto list = Create<TStringList>();
  list->Add("old");
  {
    TDeadline deadline(std::chrono::seconds(60));
    Filer().ReadStrings(list.get());
  }
  EXPECT_EQ(list->Count(), 0) << "the fallback: no list";
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_NE(Messages()[0].find("Recent_ItemCount"), std::string::npos) << Messages()[0];
  EXPECT_NE(Messages()[0].find("sec"), std::string::npos) << Messages()[0];
  EXPECT_EQ(UseHeadlessPlatform().Messages()[0].Flags, MB_OK | MB_ICONERROR);
  EXPECT_EQ(Keys(), "Recent_Item0,Recent_Item1,Recent_ItemCount") << "reading changes nothing";
}

TEST_P(StoredListTest, TheRefusalCountsTheKeysTheSectionHolds) {
  struct TCase {
    TLanguage Language;
    int Keys;
    const char* Expected;
  };
  // The keys only grow, as the cases go.
  const TCase cases[] = {
      {lnEnglish, 1, "[' sec / Recent_ItemCount = 100000 '] is invalid: the section holds only 1 key."},
      {lnJapanese, 1, "[' sec / Recent_ItemCount = 100000 '] は無効です: このセクションにはキーが 1 個しかありません。"},
      {lnEnglish, 2, "[' sec / Recent_ItemCount = 100000 '] is invalid: the section holds only 2 keys."},
      {lnJapanese, 2, "[' sec / Recent_ItemCount = 100000 '] は無効です: このセクションにはキーが 2 個しかありません。"},
  };
  for (const TCase& c : cases) {
    SetLanguage(c.Language);
    UseHeadlessPlatform().ClearMessages();
    Put("Recent_ItemCount", "100000");
    if (c.Keys == 2) Put("Other", "x");
    auto list = Create<TStringList>();
    Filer().ReadStrings(list.get());
    EXPECT_EQ(Messages(), std::vector<std::string>{c.Expected});
  }
  SetLanguage(lnEnglish);
}

TEST_P(StoredListTest, WritingOverAHugeCorruptCountRemovesOnlyTheItemsThatExist) {
  Put("Recent_ItemCount", "2000000000");
  Put("Recent_Item0", "a");
  Put("Recent_Item1", "b");
  Put("Recent_Item1999999999", "last");
  Put("Recent_Item2000000000", "past the count");
  Put("Other", "x");
  auto one = Create<TStringList>();
  one->Add("z");
  {
    TDeadline deadline(std::chrono::seconds(60));
    Filer().WriteStrings(one.get());
  }
  EXPECT_EQ(Keys(), "Other,Recent_Item0,Recent_Item2000000000,Recent_ItemCount");
  EXPECT_EQ(Get("Recent_ItemCount"), "1");
  EXPECT_EQ(Get("Recent_Item0"), "z");
  Filer().ReadStrings(one.get());
  EXPECT_EQ(Joined(*one), "z");

  Put("Recent_ItemCount", "2000000000");
  {
    TDeadline deadline(std::chrono::seconds(60));
    Filer().WriteStrings(Create<TStringList>().get());
  }
  EXPECT_EQ(Keys(), "Other,Recent_Item2000000000");
  EXPECT_TRUE(Messages().empty());
}

INSTANTIATE_TEST_SUITE_P(BothStores, StoredListTest, ::testing::Values(rtIni, rtReg),
                         [](const auto& info) { return std::string(info.param == rtIni ? "Ini" : "Registry"); });

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

  // A size that is no number keeps the size; a style that is none clears it.
  TIniFile(FIni).WriteString("sec", "key_FontSize", "big");
  TIniFile(FIni).WriteString("sec", "key_FontStyle", "x");
  Filer().ReadFont(read.get());
  EXPECT_EQ(read->Size(), 12);
  EXPECT_EQ(read->Style(), TFontStyles{});
}

TEST_F(RegMngTest, ErrorsShowABoxAndKeepTheFallback) {
  FManager->SetIniFileName("");
  auto font = Create<TFont>();
  font->SetName("Kept");
  Filer().ReadFont(font.get());
  EXPECT_EQ(Messages(), std::vector<std::string>(5, "can not create Inifile object."));
  EXPECT_EQ(UseHeadlessPlatform().Messages()[0].Flags, MB_OK | MB_ICONERROR);
  EXPECT_EQ(font->Name(), "Kept");

  UseHeadlessPlatform().ClearMessages();
  FManager->SetRegType(rtReg);
  Item().SetDefaultValue("d");
  EXPECT_EQ(Filer().ReadText(), "d");
  TRegFiler* filer = FManager->RegFiler("X");
  EXPECT_EQ(Messages(), (std::vector<std::string>{"can not create Registry object.", "[' X '] is invalid."}));
  EXPECT_EQ(filer->ReadText(), "");
  EXPECT_FALSE(filer->ReadFlag());
  filer->WriteText("lost");
  EXPECT_EQ(Messages().size(), 2u);
}

TEST_F(RegMngTest, RegistryAndIniKeepBytesAndComponents) {
  FManager->SetRegType(rtReg);
  FManager->SetRegDir("Software\\plomaret-test");
  Filer().WriteText("in registry");
  EXPECT_EQ(TRegistryIniFile("Software\\plomaret-test").ReadString("sec", "key", ""), "in registry");
  auto bytes = Create<TMemoryStream>();
  bytes->WriteBuffer("\xAB\x00\xCD", 3);
  for (TRegType type : {rtReg, rtIni}) {
    FManager->SetRegType(type);
    bytes->SetPosition(0);
    Filer().WriteBytes(bytes.get());
    auto back = Create<TMemoryStream>();
    Filer().ReadBytes(back.get());
    EXPECT_EQ(back->Size(), 3) << type;
  }
  EXPECT_EQ(ReadBytes(FIni), "[sec]\r\nkey_c=1\r\nkey_d0=AB00CD\r\n");

  RegisterComponentClass<TPanel>();
  auto form = CreateWithoutOwner<TForm>();
  Filer().DeleteValue("sec", "key_c");
  Filer().WriteComponentValue(form.get());
  EXPECT_FALSE(Stored("key_c"));
  auto* panel = Create<TPanel>(form.get());
  panel->SetName("Panel1");
  panel->SetTag(7);
  Filer().WriteComponentValue(panel);
  panel->SetTag(0);
  Filer().ReadComponentValue(panel);
  auto* replaced = dynamic_cast<TPanel*>(form->FindComponent("Panel1"));
  ASSERT_NE(replaced, nullptr);
  EXPECT_EQ(replaced->Tag(), 7);
  EXPECT_TRUE(Messages().empty());
}

// The colours a character of the editor's first row is drawn in: text, background.
std::pair<TColor, TColor> DrawnColours(TEditor& editor, const std::string& character) {
  editor.Update();
  for (const TTextCell& cell : editor.TextLayer().Cells()) {
    if (cell.Bytes == character) return {cell.Color, cell.Background};
  }
  return {clNone, clNone};
}

// With no selection colours the editor inverts the selection; kept in the settings
// or a form text, they must stay none rather than turn back into navy on white.
TEST_F(RegMngTest, AnEditorWithoutSelectionColoursKeepsThemThroughEveryStore) {
  RegisterComponentClass<TEditor>();
  auto form = CreateWithoutOwner<TForm>();
  auto made = [&] {
    auto* editor = Create<TEditor>(form.get());
    editor->SetName("Editor1");
    editor->SetParent(form.get());
    editor->SetBounds(0, 0, 200, 100);
    editor->SetColor(clYellow);
    editor->Font().SetColor(clMaroon);
    editor->View()->Colors()->Select()->SetBkColor(clNone);
    editor->View()->Colors()->Select()->SetColor(clNone);
    return editor;
  };
  auto check = [&](TEditor* editor, const std::string& how) {
    ASSERT_NE(editor, nullptr) << how;
    EXPECT_EQ(editor->View()->Colors()->Select()->BkColor(), clNone) << how;
    EXPECT_EQ(editor->View()->Colors()->Select()->Color(), clNone) << how;
    editor->HandleNeeded();
    editor->Lines()->SetAllText("ab");
    editor->PlaceRange(false, sstSelected, {0, 0, 0, 1});
    EXPECT_EQ(DrawnColours(*editor, "a"), std::make_pair(clYellow, clMaroon)) << "inverted, " << how;
    EXPECT_EQ(DrawnColours(*editor, "b"), std::make_pair(clMaroon, clYellow)) << how;
  };

  for (TRegType type : {rtIni, rtReg}) {
    FManager->SetRegType(type);
    FManager->SetRegDir("Software\\plomaret-test");
    TEditor* editor = made();
    Filer().WriteComponentValue(editor);
    Filer().ReadComponentValue(editor);
    check(dynamic_cast<TEditor*>(form->FindComponent("Editor1")), type == rtIni ? "in an INI file" : "in the registry");
    form->FreeComponent(form->FindComponent("Editor1"));
  }

  std::string text;
  WriteFormText(*made(), text);
  auto owner = CreateWithoutOwner<TForm>();
  TComponent* read = ReadFormText(text, *owner, owner.get());
  check(dynamic_cast<TEditor*>(read), "in a form text");
  EXPECT_TRUE(Messages().empty());
}

TEST_F(RegMngTest, ManagerAndItemsTravelInAComponentImage) {
  RegisterComponentClass<TRegManager>();
  FManager->SetName("Reg1");
  Item().SetDefaultValue("x");
  auto stream = Create<TMemoryStream>();
  TComponentWriter(*stream, FOwner.get()).WriteImage(*FManager);
  stream->SetPosition(0);
  auto root = CreateWithoutOwner<TComponent>();
  std::vector<TComponent*> read = TComponentReader(*stream).ReadImage(*root, nullptr);
  ASSERT_EQ(read.size(), 1u);
  auto* copy = dynamic_cast<TRegManager*>(read[0]);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->RegType(), rtIni);
  EXPECT_EQ(copy->IniFileName(), FIni);
  ASSERT_EQ(copy->RegItems()->Count(), 1);
  const TRegItem* item = copy->RegItems()->Items(0);
  EXPECT_EQ(item->Name() + item->Section() + item->Ident() + item->DefaultValue(), "Settingseckeyx");
}

}  // namespace
}  // namespace plomaret
