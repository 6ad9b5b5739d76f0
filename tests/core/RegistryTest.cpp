#include "framework/core/Registry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <set>

#include "TestFiles.h"
#include "framework/core/Exceptions.h"
#include "framework/core/IniFile.h"
#include "framework/core/Strings.h"
#include "framework/core/Translate.h"

namespace plomaret {
namespace {

using testing::TScopedConfigHome;
using testing::TScratchFolder;
using testing::WriteBytes;

// The message of the error action raises, or "" when it raises none.
template <class Action>
std::string ErrorOf(Action action) {
  try {
    action();
  } catch (const Exception& error) {
    return error.Message();
  }
  return "";
}

std::string Lines(TStrings& list) {
  std::string text;
  for (int i = 0; i < list.Count(); ++i) text += (i > 0 ? "," : "") + list.Get(i);
  return text;
}

class RegistryTest : public ::testing::Test {
 protected:
  std::string ValuesFile(const std::string& keyFolders) const {
    return FFolder.Path("config/plomaret-registry/HKEY_CURRENT_USER/" + keyFolders + "/.values");
  }

  TScratchFolder FFolder;
  TScopedConfigHome FConfigHome{FFolder.Path("config")};
};

TEST_F(RegistryTest, KeysAndValuesPersistForANewRegistry) {
  {
    auto registry = Create<TRegistry>();
    EXPECT_FALSE(registry->OpenKey("Software\\Plomaret", false));
    ASSERT_TRUE(registry->OpenKey("Software\\Plomaret", true));
    ASSERT_TRUE(registry->OpenKey("Editor", true)) << "relative to the current key";
    EXPECT_EQ(registry->CurrentPath(), "Software\\Plomaret\\Editor");
    registry->WriteString("Font", "FixedSys");
    registry->WriteInteger("Height", -12);
  }
  auto registry = Create<TRegistry>();
  EXPECT_TRUE(registry->KeyExists("Software\\Plomaret\\Editor"));
  ASSERT_TRUE(registry->OpenKey("\\Software\\Plomaret\\Editor", false));
  EXPECT_EQ(registry->ReadString("Font"), "FixedSys");
  EXPECT_EQ(registry->ReadInteger("Height"), -12);
  EXPECT_FALSE(registry->OpenKey("Missing", false));
  EXPECT_EQ(registry->CurrentPath(), "Software\\Plomaret\\Editor") << "a failed open changed the key";
  EXPECT_TRUE(registry->OpenKey("\\Software", false)) << "a leading \\ starts from the root";
  EXPECT_EQ(registry->CurrentPath(), "Software");
  EXPECT_FALSE(registry->OpenKey("a\\\\b", true));
  EXPECT_THROW(registry->CreateKey("\\\\a"), ERegistryError);
  EXPECT_THROW(registry->SetRootKey(HKEY_LOCAL_MACHINE), ERegistryError);
}

TEST_F(RegistryTest, NamesIgnoreCaseAndKeepTheirFirstSpelling) {
  auto registry = Create<TRegistry>();
  ASSERT_TRUE(registry->OpenKey("Software\\MyApp", true));
  registry->WriteString("Width", "1");
  ASSERT_TRUE(registry->OpenKey("\\SOFTWARE\\myapp", true));
  registry->WriteString("WIDTH", "2");
  auto names = Create<TStringList>();
  registry->GetValueNames(*names);
  EXPECT_EQ(Lines(*names), "Width");
  EXPECT_EQ(registry->ReadString("width"), "2");
  ASSERT_TRUE(registry->OpenKey("\\software", false));
  registry->GetKeyNames(*names);
  EXPECT_EQ(Lines(*names), "MyApp");
}

TEST_F(RegistryTest, KeyNamesTheFileSystemWouldMisread) {
  auto registry = Create<TRegistry>();
  ASSERT_TRUE(registry->OpenKey("Test", true));
  // "ソフト" in Shift-JIS: the second byte of "ソ" is a "\" that separates nothing.
  const std::string soft = "\x83\x5C\x83t\x83g";
  for (const std::string& name : {std::string("a/b"), std::string("100%"), std::string(".hidden"), std::string(".."), soft}) {
    EXPECT_TRUE(registry->CreateKey(name)) << name;
  }
  auto names = Create<TStringList>();
  registry->GetKeyNames(*names);
  EXPECT_EQ(Lines(*names), "..,.hidden,100%,a/b," + soft);
  EXPECT_TRUE(registry->OpenKey(soft, false));
  EXPECT_EQ(registry->CurrentPath(), "Test\\" + soft);
}

TEST_F(RegistryTest, BinaryValuesAndDataSizes) {
  auto registry = Create<TRegistry>();
  ASSERT_TRUE(registry->OpenKey("Software\\Data", true));
  std::string bytes;
  for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
  registry->WriteBinaryData("All", bytes.data(), 256);
  registry->WriteBinaryData("Empty", nullptr, 0);
  registry->WriteString("Text", "abc");
  registry->WriteInteger("Number", 7);

  auto reopened = Create<TRegistry>();
  ASSERT_TRUE(reopened->OpenKey("Software\\Data", false));
  std::string read(300, 'x');
  EXPECT_EQ(reopened->ReadBinaryData("All", read.data(), 300), 256);
  EXPECT_EQ(read.substr(0, 256), bytes);
  EXPECT_EQ(reopened->ReadBinaryData("Empty", nullptr, 0), 0);
  EXPECT_EQ(reopened->GetDataSize("All"), 256);
  EXPECT_EQ(reopened->GetDataSize("Empty"), 0);
  EXPECT_EQ(reopened->GetDataSize("Text"), 4) << "a string counts its terminating zero";
  EXPECT_EQ(reopened->GetDataSize("Number"), 4);
  EXPECT_EQ(reopened->GetDataSize("Missing"), -1);
  EXPECT_THROW(reopened->ReadBinaryData("All", read.data(), 255), ERegistryError);
}

TEST_F(RegistryTest, ADataSizeRefusalCountsItsBytesRight) {
  auto registry = Create<TRegistry>();
  ASSERT_TRUE(registry->OpenKey("Software\\Data", true));
  registry->WriteBinaryData("One", "a", 1);
  registry->WriteBinaryData("Two", "ab", 2);
  char buffer[2];
  struct TRow {
    TLanguage Language;
    const char* Name;
    int Size;
    std::string Expected;
  };
  const TRow rows[] = {
      {lnEnglish, "One", 0, "Invalid data size for 'One': it holds 1 byte, the buffer 0"},
      {lnEnglish, "Two", 1, "Invalid data size for 'Two': it holds 2 bytes, the buffer 1"},
      {lnJapanese, "One", 0, "'One' のデータサイズが正しくありません: データは 1 バイト、バッファは 0 バイトです"},
      {lnJapanese, "Two", 1, "'Two' のデータサイズが正しくありません: データは 2 バイト、バッファは 1 バイトです"},
  };
  for (const TRow& row : rows) {
    SetLanguage(row.Language);
    EXPECT_EQ(ErrorOf([&] { registry->ReadBinaryData(row.Name, buffer, row.Size); }), row.Expected);
  }
}

TEST_F(RegistryTest, ReadingAMissingValueOrTheWrongTypeFails) {
  auto registry = Create<TRegistry>();
  EXPECT_EQ(ErrorOf([&] { registry->WriteString("Name", "x"); }), "Failed to set data for 'Name': no key is open");
  ASSERT_TRUE(registry->OpenKey("Software", true));
  registry->WriteString("Name", "x");
  registry->WriteInteger("Count", 3);
  char buffer[4];
  EXPECT_EQ(ErrorOf([&] { registry->ReadInteger("Name"); }), "Invalid data type for 'Name'");
  EXPECT_EQ(ErrorOf([&] { registry->ReadBinaryData("Name", buffer, 4); }), "Invalid data type for 'Name'");
  EXPECT_EQ(ErrorOf([&] { registry->ReadString("Count"); }), "Invalid data type for 'Count'");
  EXPECT_EQ(ErrorOf([&] { registry->ReadString("Other"); }), "Failed to get data for 'Other'");
}

TEST_F(RegistryTest, DeletingValuesAndKeys) {
  auto registry = Create<TRegistry>();
  ASSERT_TRUE(registry->OpenKey("Software\\Gone\\Deeper", true));
  registry->WriteString("A", "1");
  registry->WriteString("B", "2");
  EXPECT_TRUE(registry->DeleteValue("a"));
  EXPECT_FALSE(registry->DeleteValue("a"));
  EXPECT_FALSE(registry->ValueExists("A"));
  EXPECT_EQ(registry->ReadString("B"), "2");
  EXPECT_FALSE(registry->DeleteKey("")) << "an empty path named the current key";
  EXPECT_TRUE(registry->ValueExists("B"));

  EXPECT_TRUE(registry->DeleteKey("\\Software\\GONE"));
  EXPECT_FALSE(registry->DeleteKey("\\Software\\Gone"));
  EXPECT_FALSE(registry->KeyExists("\\Software\\Gone"));
  EXPECT_THROW(registry->WriteString("C", "3"), ERegistryError) << "the current key was deleted";
  EXPECT_FALSE(registry->KeyExists("\\Software\\Gone")) << "a write brought the key back";
  EXPECT_EQ(testing::CountEntries(FFolder.Path("config/plomaret-registry/HKEY_CURRENT_USER/Software")), 0u);
}

TEST_F(RegistryTest, ADamagedValuesFileIsReported) {
  auto registry = Create<TRegistry>();
  ASSERT_TRUE(registry->OpenKey("Software", true));
  registry->WriteString("Name", "value");
  const std::string path = ValuesFile("Software");
  const std::string good = testing::ReadBytes(path);
  const std::string damaged[] = {
      "",
      "not ours",
      good.substr(0, good.size() - 1),
      good.substr(0, good.size() - 8),
      good + "\x01\xff\xff\xff\x7f",
      good + std::string("\x04\x01\0\0\0N\x02\0\0\0ab", 12),
      good + std::string("\x09\x01\0\0\0N\0\0\0\0", 10),
      good + std::string("\x01\x04\0\0\0NAME\0\0\0\0", 13),
  };
  for (const std::string& bytes : damaged) {
    WriteBytes(path, bytes);
    EXPECT_NE(ErrorOf([&] { registry->ValueExists("Name"); }).find(path), std::string::npos)
        << ::testing::PrintToString(bytes);
    EXPECT_THROW(registry->WriteString("Other", "x"), ERegistryError) << "a write replaced a damaged file";
  }
}

TEST_F(RegistryTest, AStoreThatCannotBeWrittenNamesTheFile) {
  const std::string blocker = FFolder.Path("file");
  WriteBytes(blocker, "");
  ::setenv("XDG_CONFIG_HOME", blocker.c_str(), 1);
  auto registry = Create<TRegistry>();
  EXPECT_FALSE(registry->OpenKey("Software", false));
  EXPECT_THROW(registry->OpenKey("Software", true), EFileError);
  EXPECT_NE(ErrorOf([&] { registry->OpenKey("Software", true); }).find(blocker), std::string::npos);
}

TEST_F(RegistryTest, IniFileSectionsAreSubkeys) {
  auto ini = Create<TRegistryIniFile>("Software\\Plomaret");
  ini->WriteString("Window", "Caption", "x");
  ini->WriteInteger("Window", "Left", -5);
  ini->WriteBool("Window", "Maximized", true);
  ini->WriteString("Numbers", "Hex", "$10");
  ini->WriteString("Numbers", "Junk", "12a");
  EXPECT_EQ(ini->RegIniFile().CurrentPath(), "Software\\Plomaret") << "a section stayed current";

  auto registry = Create<TRegistry>();
  ASSERT_TRUE(registry->OpenKey("Software\\Plomaret\\Window", false));
  EXPECT_EQ(registry->ReadString("Caption"), "x");
  EXPECT_EQ(registry->ReadString("Maximized"), "1");

  EXPECT_EQ(ini->ReadInteger("window", "left", 0), -5);
  EXPECT_EQ(ini->ReadString("Window", "Left", ""), "-5");
  EXPECT_TRUE(ini->ReadBool("Window", "Maximized", false));
  EXPECT_EQ(ini->ReadInteger("Numbers", "Hex", 0), 16);
  EXPECT_EQ(ini->ReadInteger("Numbers", "Junk", 9), 9);
  EXPECT_EQ(ini->ReadInteger("Numbers", "Missing", 9), 9);
  EXPECT_EQ(ini->ReadString("Nowhere", "Caption", "default"), "default");
  EXPECT_FALSE(ini->SectionExists("Nowhere"));
  EXPECT_TRUE(ini->ValueExists("Window", "CAPTION"));

  auto list = Create<TStringList>();
  ini->ReadSections(*list);
  EXPECT_EQ(Lines(*list), "Numbers,Window");
  ini->ReadSection("Window", *list);
  EXPECT_EQ(Lines(*list), "Caption,Left,Maximized");

  ini->DeleteKey("Window", "Left");
  EXPECT_FALSE(ini->ValueExists("Window", "Left"));
  ini->EraseSection("Numbers");
  EXPECT_FALSE(ini->SectionExists("Numbers"));
  ini->ReadSection("Numbers", *list);
  EXPECT_EQ(list->Count(), 0);

  // Binary values go through the registry, switched to the section's key.
  ASSERT_TRUE(ini->RegIniFile().OpenKey("Colors", true));
  ini->RegIniFile().WriteBinaryData("Select", "\x01\x02\x00\x03", 4);
  ASSERT_TRUE(ini->RegIniFile().OpenKey("\\" + ini->FileName(), false));
  EXPECT_TRUE(ini->SectionExists("Colors"));
  EXPECT_THROW(ini->ReadString("Colors", "Select", ""), ERegistryError);
}

TEST_F(RegistryTest, AWholeSectionReadsOnceAsReadStringWould) {
  auto ini = Create<TRegistryIniFile>("Software\\Plomaret");
  ini->WriteString("List", "L_Item0", std::string("a\0hidden", 8));
  ini->WriteInteger("List", "l_item1", -7);
  ini->WriteString("List", "L_Item01", "padded");
  ini->WriteString("List", " L_Item3", "blank in the name");
  ASSERT_TRUE(ini->RegIniFile().OpenKey("List", false));
  ini->RegIniFile().WriteBinaryData("L_Item4", "\x01", 1);
  ASSERT_TRUE(ini->RegIniFile().OpenKey("\\" + ini->FileName(), false));

  const TSectionValues list = ini->ReadWholeSection("list");
  EXPECT_EQ(list.Count(), 5);
  for (const char* key : {"L_Item0", "L_ITEM1", "L_Item01", " L_Item3", "L_Item3", "Missing"}) {
    EXPECT_EQ(list.ReadString(key, "-"), ini->ReadString("List", key, "-")) << key;
  }
  EXPECT_EQ(list.KeyNumbers("L_Item"), (std::set<int>{0, 1, 4}));
  EXPECT_THROW(list.ReadString("L_Item4", ""), ERegistryError) << "as ReadString, once it is asked for";
  EXPECT_EQ(ini->ReadWholeSection("Nowhere").Count(), 0);
  EXPECT_EQ(ini->RegIniFile().CurrentPath(), "Software\\Plomaret") << "the section stayed current";
}

}  // namespace
}  // namespace plomaret
