#include "framework/core/IniFile.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <set>

#include "TestFiles.h"
#include "framework/core/Exceptions.h"
#include "framework/core/Registry.h"

namespace plomaret {
namespace {

using testing::ReadBytes;
using testing::TScratchFolder;
using testing::WriteBytes;

// As Windows leaves it: text before the first section, comments, blanks, odd
// spacing, quotes, duplicates.
const std::string kWindowsIni =
    "; settings\r\norphan=not a key\r\n\r\n"
    "[General]\r\nPath = C:\\Models\\ \r\n  Count=12\r\n\r\n"
    "[Colors]\r\n; Fore=comment\r\nBack\t=\t\"  spaced  \"\r\nFore='x'\r\nMixed=\"x'\r\nNote=a;b\r\n"
    "no equals\r\ncount=first\r\nCOUNT=second\r\n\r\n"
    "[ general ]\r\nPath=shadowed\r\nExtra=shadowed\r\n";

std::vector<std::string> Items(const TStrings& list) {
  std::vector<std::string> items;
  for (int i = 0; i < list.Count(); ++i) items.push_back(list.Get(i));
  return items;
}

TEST(IniFile, ReadsNamesWithoutCaseTrimmedUnquotedAndTheFirstOfDuplicates) {
  TScratchFolder folder;
  WriteBytes(folder.Path("a.ini"), kWindowsIni);
  TIniFile ini(folder.Path("a.ini"));
  EXPECT_EQ(ini.ReadString("GENERAL", " path ", "-"), "C:\\Models\\");
  EXPECT_EQ(ini.ReadString("colors", "back", "-"), "  spaced  ");
  EXPECT_EQ(ini.ReadString("Colors", "Fore", "-"), "x");
  EXPECT_EQ(ini.ReadString("Colors", "Mixed", "-"), "\"x'");
  EXPECT_EQ(ini.ReadString("Colors", "Note", "-"), "a;b");
  EXPECT_EQ(ini.ReadString("Colors", "count", "-"), "first");
  EXPECT_EQ(ini.ReadString("General", "Extra", "-"), "-") << "a later duplicate section was read";
  EXPECT_FALSE(ini.ValueExists("Colors", "no equals"));
  auto list = Create<TStringList>();
  ini.ReadSections(*list);
  EXPECT_EQ(Items(*list), (std::vector<std::string>{"General", "Colors"}));
  ini.ReadSection("Colors", *list);
  EXPECT_EQ(Items(*list), (std::vector<std::string>{"Back", "Fore", "Mixed", "Note", "count"}));
  ini.ReadSectionValues("general", *list);
  EXPECT_EQ(Items(*list), (std::vector<std::string>{"Path=C:\\Models\\", "Count=12"}));

  WriteBytes(folder.Path("b.ini"), "[\x83\x5D]\rk=\x83\x5C\nl=2");  // "]" and "\" as trail bytes
  TIniFile sjis(folder.Path("b.ini"));
  EXPECT_EQ(sjis.ReadString("\x83\x5D", "k", "-"), "\x83\x5C");
  EXPECT_EQ(sjis.ReadInteger("\x83\x5D", "L", 0), 2);
}

TEST(IniFile, AWholeSectionReadsOnceAsReadStringWould) {
  TScratchFolder folder;
  WriteBytes(folder.Path("a.ini"),
             kWindowsIni + "[List]\r\nL_Item0=a\r\nl_item2=c\r\nL_Item02=padded\r\nL_Item=none\r\n");
  TIniFile ini(folder.Path("a.ini"));
  const TSectionValues colors = ini.ReadWholeSection("COLORS");
  EXPECT_EQ(colors.Count(), 5) << "duplicates count once";
  for (const char* key : {"Back", " back ", "Fore", "Mixed", "Note", "count", "Missing"}) {
    EXPECT_EQ(colors.ReadString(key, "-"), ini.ReadString("Colors", key, "-")) << key;
  }
  EXPECT_EQ(ini.ReadWholeSection("General").ReadString("Extra", "-"), "-") << "a later duplicate section was read";
  EXPECT_EQ(ini.ReadWholeSection("Nowhere").Count(), 0);
  EXPECT_EQ(ini.ReadWholeSection("List").KeyNumbers("L_Item"), (std::set<int>{0, 2}));
}

TEST(IniFile, WritesChangeOnlyTheirLineAndAppendNewKeysAndSections) {
  TScratchFolder folder;
  const std::string path = folder.Path("a.ini");
  WriteBytes(path, kWindowsIni);
  TIniFile ini(path);
  std::string expected = kWindowsIni;
  ini.WriteString("GENERAL", "count", "13");
  expected.replace(expected.find("  Count=12"), 10, "Count=13");
  EXPECT_EQ(ReadBytes(path), expected);
  ini.WriteString("general", "New", "v");
  expected.insert(expected.find("Count=13\r\n") + 10, "New=v\r\n");
  EXPECT_EQ(ReadBytes(path), expected) << "a new key goes after the last key, before the blank line";
  ini.WriteInteger("Fresh", "n", -5);
  EXPECT_EQ(ReadBytes(path), expected + "[Fresh]\r\nn=-5\r\n");

  WriteBytes(path, "[a]\r\nx=1");
  ini.WriteBool("A", "y", true);
  EXPECT_EQ(ReadBytes(path), "[a]\r\nx=1\r\ny=1\r\n");
}

TEST(IniFile, AMissingFileReadsEmptyAndIsCreatedOnlyByAWrite) {
  TScratchFolder folder;
  const std::string path = folder.Path("plomaret.ini");
  TIniFile ini(path);
  auto list = Create<TStringList>();
  list->Add("old");
  ini.ReadSections(*list);
  EXPECT_EQ(list->Count(), 0);
  EXPECT_EQ(ini.ReadString("filepath", "filepath", "def"), "def");
  ini.DeleteKey("filepath", "filepath");
  ini.EraseSection("filepath");
  EXPECT_FALSE(std::filesystem::exists(path));
  ini.WriteString("filepath", "filepath", "/home/u/models/");
  EXPECT_EQ(ReadBytes(path), "[filepath]\r\nfilepath=/home/u/models/\r\n");
}

TEST(IniFile, DeleteKeyKeepsTheHeaderAndEraseSectionTakesEveryDuplicate) {
  TScratchFolder folder;
  const std::string path = folder.Path("a.ini");
  WriteBytes(path, "[a]\r\nk=1\r\nK=2\r\n[b]\r\nk=3\r\n[A]\r\nk=4\r\n");
  TIniFile ini(path);
  ini.DeleteKey("a", "k");
  EXPECT_EQ(ReadBytes(path), "[a]\r\n[b]\r\nk=3\r\n[A]\r\nk=4\r\n");
  EXPECT_TRUE(ini.SectionExists("A"));
  EXPECT_FALSE(ini.ValueExists("a", "k"));
  ini.EraseSection("a");
  EXPECT_EQ(ReadBytes(path), "[b]\r\nk=3\r\n");

  // Once "k=1" is gone, the LF of the blank line must not join the lone CR before it.
  WriteBytes(path, "[a]\rk=1\n\nz=1\n");
  ini.DeleteKey("a", "k");
  EXPECT_EQ(ReadBytes(path), "[a]\r\r\nz=1\n");
}

TEST(IniFile, IntegersAndBools) {
  TScratchFolder folder;
  WriteBytes(folder.Path("a.ini"), "[n]\na=-42\nb=$1f\nc=0X10\nd=$FFFFFFFF\ne=12ab\nf=\ng=2147483648\nh=yes\n");
  TIniFile ini(folder.Path("a.ini"));
  const std::pair<const char*, int> cases[] = {{"a", -42}, {"b", 31}, {"c", 16}, {"d", -1},
                                               {"e", 7},   {"f", 7},  {"g", 7},  {"h", 7}};
  for (auto [key, value] : cases) EXPECT_EQ(ini.ReadInteger("n", key, 7), value) << key;
  EXPECT_TRUE(ini.ReadBool("n", "a", false));
  EXPECT_TRUE(ini.ReadBool("n", "h", true));
  EXPECT_FALSE(ini.ReadBool("n", "h", false));
}

TEST(IniFile, ValuesReadBackAsWrittenOrAreRefused) {
  TScratchFolder folder;
  const std::string path = folder.Path("a.ini");
  TIniFile ini(path);
  for (const char* value : {" padded ", "\"quoted\"", "'", "\x81\x40"}) {
    ini.WriteString("s", "k", value);
    EXPECT_EQ(ini.ReadString("s", "k", "-"), value);
  }
  const std::string before = ReadBytes(path);
  EXPECT_THROW(ini.WriteString("s", "k", "two\r\nlines"), EConvertError);
  EXPECT_THROW(ini.WriteString("s", "k", "cr\r"), EConvertError);
  EXPECT_THROW(ini.WriteString("s", "k", std::string("zero\0", 5)), EConvertError) << "the file would be unreadable";
  EXPECT_THROW(ini.WriteString("a]b", "k", "v"), EConvertError);
  EXPECT_THROW(ini.WriteString("s", "x=y", "v"), EConvertError);
  EXPECT_THROW(ini.WriteString("s", ";k", "v"), EConvertError);
  EXPECT_THROW(ini.WriteString("s", "[k", "v]"), EConvertError) << "the line would be a section header";
  EXPECT_EQ(ReadBytes(path), before);
}

TEST(IniFile, FailuresNameTheFileAndLeaveItWhole) {
  TScratchFolder folder;
  const std::string binary = folder.Path("binary.ini");
  WriteBytes(binary, std::string("[a]\r\nk=\0\r\n", 10));
  try {
    TIniFile(binary).ReadString("a", "k", "");
    ADD_FAILURE() << "a file with a zero byte was taken for an INI file";
  } catch (const EFileError& error) {
    EXPECT_NE(error.Message().find(binary), std::string::npos) << error.Message();
  }
  EXPECT_THROW(TIniFile(binary).WriteString("a", "k", "v"), EFileError);
  EXPECT_EQ(ReadBytes(binary).size(), 10u);

  const std::string nowhere = folder.Path("missing/a.ini");
  TIniFile unwritable(nowhere);
  EXPECT_EQ(unwritable.ReadString("a", "k", "-"), "-");
  EXPECT_THROW(unwritable.WriteString("a", "k", "v"), EFileError);

  // A file-size limit stops the new version half-way, for root as for anyone.
  const std::string path = folder.Path("a.ini");
  WriteBytes(path, "[a]\r\nk=1\r\n");
  rlimit saved {};
  ::getrlimit(RLIMIT_FSIZE, &saved);
  rlimit limit = saved;
  limit.rlim_cur = 16;
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  ::setrlimit(RLIMIT_FSIZE, &limit);
  EXPECT_THROW(TIniFile(path).WriteString("a", "k", "a longer value"), EFileError);
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(ReadBytes(path), "[a]\r\nk=1\r\n");
  EXPECT_EQ(testing::CountEntries(folder.Root()), 2u) << "the temporary file was left behind";
}

TEST(IniFile, StoredIntegersSpanThirtyTwoBitsAndRejectEverythingElse) {
  EXPECT_EQ(ParseStoredInteger("-2147483648"), INT32_MIN);
  EXPECT_EQ(ParseStoredInteger("+2147483647"), INT32_MAX);
  EXPECT_EQ(ParseStoredInteger("$FFFFFFFF"), -1);
  EXPECT_EQ(ParseStoredInteger("0x7f"), 127);
  for (const char* bad : {"", "-", "$", "0x", "2147483648", "-2147483649", "$100000000", "12a", " 1", "0x1g"}) {
    EXPECT_EQ(ParseStoredInteger(bad), std::nullopt) << bad;
  }
}

// A settings file the user made read-only stays as it is, for root too: the INI file
// and the registry store's values alike.
TEST(IniFile, AReadOnlySettingsFileIsNotReplaced) {
  TScratchFolder folder;
  const std::string path = folder.Path("a.ini");
  WriteBytes(path, "[a]\r\nk=1\r\n");
  ::chmod(path.c_str(), 0444);
  EXPECT_THROW(TIniFile(path).WriteString("a", "k", "2"), EReadOnlyFile);
  EXPECT_EQ(ReadBytes(path), "[a]\r\nk=1\r\n");

  testing::TScopedConfigHome home(folder.Path("config"));
  auto registry = Create<TRegistry>();
  ASSERT_TRUE(registry->OpenKey("Software", true));
  registry->WriteString("k", "1");
  const std::string values = folder.Path("config/plomaret-registry/HKEY_CURRENT_USER/Software/.values");
  ASSERT_TRUE(std::filesystem::exists(values));
  ::chmod(values.c_str(), 0444);
  EXPECT_THROW(registry->WriteString("k", "2"), EReadOnlyFile);
  EXPECT_THROW(registry->DeleteValue("k"), EReadOnlyFile);
  EXPECT_EQ(registry->ReadString("k"), "1");
}

}  // namespace
}  // namespace plomaret
