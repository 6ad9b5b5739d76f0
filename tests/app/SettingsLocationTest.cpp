// Where the settings live: beside a program whose folder is writable, else in the
// user's configuration folder, which is made when missing.

#include "app/SettingsLocation.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>

#include "TestFiles.h"
#include "app/Unit1.h"
#include "framework/core/Exceptions.h"
#include "framework/core/IniFile.h"
#include "framework/headless/HeadlessPlatform.h"

namespace plomaret {
namespace {

using testing::ReadBytes;
using testing::TScopedEnvironment;
using testing::TScratchFolder;
using testing::WriteBytes;

// Answers from a table, and records the folders asked about: root writes
// everywhere, so a read-only install folder has to be told.
struct TFakeEnvironment {
  std::map<std::string, std::string> Variables{{"HOME", "/home/ann"}};
  bool Writable = false;
  std::vector<std::string> Asked;

  std::string Choose(const std::string& programFile) {
    TSettingsEnvironment environment;
    environment.Variable = [this](const std::string& name) {
      const auto found = Variables.find(name);
      return found == Variables.end() ? std::string() : found->second;
    };
    environment.CanWrite = [this](const std::string& folder) {
      Asked.push_back(folder);
      return Writable;
    };
    return ChooseSettingsFile(programFile, environment);
  }
};

TEST(SettingsLocationTest, AWritableProgramFolderKeepsTheFileBesideTheProgram) {
  TFakeEnvironment fake;
  fake.Writable = true;
  fake.Variables["XDG_CONFIG_HOME"] = "/home/ann/conf";
  EXPECT_EQ(fake.Choose("/opt/tool/plomaret"), "/opt/tool/plomaret.ini");
  EXPECT_EQ(fake.Asked, std::vector<std::string>{"/opt/tool/"}) << "the program's folder is what counts";
  EXPECT_EQ(fake.Choose("/opt/tool/plomaret.exe"), "/opt/tool/plomaret.ini") << "the extension is replaced";
  EXPECT_EQ(fake.Choose("/opt/v1.2/plomaret"), "/opt/v1.2/plomaret.ini") << "a dot in a folder is no extension";
  EXPECT_EQ(fake.Choose("/opt/tool/.plomaret"), "/opt/tool/.ini");
  fake.Asked.clear();
  EXPECT_EQ(fake.Choose("plomaret"), "plomaret.ini");
  EXPECT_EQ(fake.Asked, std::vector<std::string>{"."}) << "no folder: the current one";
}

TEST(SettingsLocationTest, AReadOnlyProgramFolderUsesTheConfigurationFolder) {
  TFakeEnvironment fake;
  fake.Variables["XDG_CONFIG_HOME"] = "/home/ann/conf";
  EXPECT_EQ(fake.Choose("/usr/bin/plomaret"), "/home/ann/conf/plomaret/plomaret.ini");
  EXPECT_EQ(fake.Asked, std::vector<std::string>{"/usr/bin/"});
  EXPECT_EQ(fake.Choose("/usr/bin/plomaret.exe"), "/home/ann/conf/plomaret/plomaret.ini")
      << "one name there, whatever the program is called";
  fake.Variables["XDG_CONFIG_HOME"] = "/home/ann/conf//";
  EXPECT_EQ(fake.Choose("/usr/bin/plomaret"), "/home/ann/conf/plomaret/plomaret.ini");
}

TEST(SettingsLocationTest, WithoutAnAbsoluteXdgConfigHomeTheFolderIsUnderHome) {
  TFakeEnvironment fake;
  EXPECT_EQ(fake.Choose("/usr/bin/plomaret"), "/home/ann/.config/plomaret/plomaret.ini") << "unset";
  for (const std::string ignored : {"", "conf", "./conf", "~/conf"}) {
    fake.Variables["XDG_CONFIG_HOME"] = ignored;
    EXPECT_EQ(fake.Choose("/usr/bin/plomaret"), "/home/ann/.config/plomaret/plomaret.ini") << ignored;
  }
  fake.Variables["HOME"] = "/home/ann/";
  EXPECT_EQ(fake.Choose("/usr/bin/plomaret"), "/home/ann/.config/plomaret/plomaret.ini");
  // No usable folder at all: beside the program, where writing reports the error.
  for (const std::string home : {"", "ann"}) {
    fake.Variables["HOME"] = home;
    EXPECT_EQ(fake.Choose("/usr/bin/plomaret"), "/usr/bin/plomaret.ini") << home;
  }
}

// The process's own environment: a program folder that does not exist is not
// writable even for root, which stands for an installed program.
class SettingsFolderTest : public ::testing::Test {
 protected:
  std::string Config() const { return FScratch.Path("config"); }
  std::string Settings() const { return Config() + "/plomaret/plomaret.ini"; }
  std::string InstalledProgram() const { return FScratch.Path("usr/bin/plomaret"); }

  TScratchFolder FScratch;
  TScopedEnvironment FConfigHome{"XDG_CONFIG_HOME", FScratch.Path("config")};
};

TEST_F(SettingsFolderTest, TheConfigurationFolderIsMadeForTheOwnerOnly) {
  ASSERT_EQ(SettingsFilePath(InstalledProgram()), Settings());
  struct stat info {};
  ASSERT_EQ(::stat((Config() + "/plomaret").c_str(), &info), 0) << "made with the folder above it";
  EXPECT_EQ(info.st_mode & 0777, 0700u);
  EXPECT_FALSE(std::filesystem::exists(Settings())) << "the file itself is made by the first write";

  TIniFile(Settings()).WriteString("filepath", "filepath", "/models/");
  WriteBytes(Settings(), ReadBytes(Settings()) + "[other]\r\nkept=1\r\n");
  EXPECT_EQ(SettingsFilePath(InstalledProgram()), Settings()) << "an existing folder is used as it is";
  EXPECT_EQ(ReadBytes(Settings()), "[filepath]\r\nfilepath=/models/\r\n[other]\r\nkept=1\r\n");
}

TEST_F(SettingsFolderTest, AWritableProgramFolderMakesNoConfigurationFolder) {
  std::filesystem::create_directories(FScratch.Path("tool"));
  EXPECT_EQ(SettingsFilePath(FScratch.Path("tool/plomaret")), FScratch.Path("tool/plomaret.ini"));
  EXPECT_FALSE(std::filesystem::exists(Config()));
}

TEST_F(SettingsFolderTest, AFolderThatCannotBeMadeIsReportedWhenTheSettingsAreWritten) {
  WriteBytes(Config(), "");  // a file where the folder should be
  const std::string settings = SettingsFilePath(InstalledProgram());
  ASSERT_EQ(settings, Settings());
  try {
    TIniFile(settings).WriteString("filepath", "filepath", "/models/");
    ADD_FAILURE() << "the write succeeded";
  } catch (const EFileError& error) {
    EXPECT_NE(error.Message().find(settings), std::string::npos) << error.Message();
  }
}

TEST_F(SettingsFolderTest, TheInstalledWindowKeepsTheLastFolderInTheConfigurationFolder) {
  THeadlessPlatform& platform = UseHeadlessPlatform();
  platform.ClearMessages();
  TOwned<TForm1> form = CreateWithoutOwner<TForm1>();
  form->SetProgramFile(InstalledProgram());
  const std::string plane = FScratch.Path("plane.x");
  WriteBytes(plane, "xof 0302txt 0032\r\n");
  platform.ScriptFileChoice(plane);
  form->SpeedButton5Click(nullptr);
  EXPECT_TRUE(platform.Messages().empty()) << platform.Messages().front().Text;
  EXPECT_EQ(ReadBytes(Settings()), "[filepath]\r\nfilepath=" + FScratch.Root() + "/\r\n");

  platform.ScriptFileChoice("");
  form->SpeedButton5Click(nullptr);
  EXPECT_EQ(platform.FileDialogs().back().InitialDir, FScratch.Root() + "/") << "read back from there";
}

}  // namespace
}  // namespace plomaret
