#include "framework/core/FileReplacer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "TestFiles.h"
#include "framework/core/Exceptions.h"

namespace plomaret {
namespace {

using testing::ReadBytes;
using testing::TScratchFolder;
using testing::WriteBytes;

TEST(FileReplacer, ReplacesTheFileAndKeepsItsMode) {
  TScratchFolder folder;
  const std::string path = folder.Path("model.x");
  WriteBytes(path, "old");
  ::chmod(path.c_str(), 0640);
  WriteFileReplacing(path, "new text");
  EXPECT_EQ(ReadBytes(path), "new text");
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(testing::CountEntries(folder.Root()), 1u) << "the temporary file was left behind";
}

TEST(FileReplacer, CreatesANewFile) {
  TScratchFolder folder;
  const std::string path = folder.Path("new.x");
  WriteFileReplacing(path, "");
  EXPECT_TRUE(std::filesystem::exists(path));
  EXPECT_EQ(ReadBytes(path), "");
}

TEST(FileReplacer, AnUncommittedVersionLeavesTheOldFileWhole) {
  TScratchFolder folder;
  const std::string path = folder.Path("model.x");
  WriteBytes(path, "old");
  {
    TFileReplacer replacer(path);
    replacer.Write("half of the new");
    replacer.Finish();
  }
  EXPECT_EQ(ReadBytes(path), "old");
  EXPECT_EQ(testing::CountEntries(folder.Root()), 1u);
}

TEST(FileReplacer, ReplacesTheTargetOfASymbolicLink) {
  TScratchFolder folder;
  const std::string target = folder.Path("real.x");
  const std::string link = folder.Path("link.x");
  WriteBytes(target, "old");
  std::filesystem::create_symlink("real.x", link);
  WriteFileReplacing(link, "new");
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadBytes(target), "new");
}

TEST(FileReplacer, WritesInPlaceWhenTheFileHasSeveralHardLinks) {
  TScratchFolder folder;
  const std::string path = folder.Path("a.x");
  const std::string other = folder.Path("b.x");
  WriteBytes(path, "old");
  std::filesystem::create_hard_link(path, other);
  TFileReplacer replacer(path);
  EXPECT_TRUE(replacer.WritesInPlace());
  replacer.Write("new");
  replacer.Commit();
  EXPECT_EQ(ReadBytes(path), "new");
  EXPECT_EQ(ReadBytes(other), "new") << "the link was broken";
}

TEST(FileReplacer, ErrorsNameTheFile) {
  TScratchFolder folder;
  const std::string inMissingFolder = folder.Path("no/such/folder/out.x");
  try {
    TFileReplacer replacer(inMissingFolder);
    FAIL();
  } catch (const EFileError& error) {
    EXPECT_NE(error.Message().find(inMissingFolder), std::string::npos) << error.Message();
  }
  EXPECT_THROW(TFileReplacer replacer(folder.Root()), EFileError);
}

TEST(FileReplacer, ARefusedWriteLeavesAReadOnlyFolderUnchanged) {
  if (::geteuid() == 0) GTEST_SKIP() << "root may write anywhere";
  TScratchFolder folder;
  const std::string path = folder.Path("model.x");
  WriteBytes(path, "old");
  ::chmod(path.c_str(), 0444);
  ::chmod(folder.Root().c_str(), 0555);
  EXPECT_THROW(WriteFileReplacing(path, "new"), EFileError);
  ::chmod(folder.Root().c_str(), 0755);
  EXPECT_EQ(ReadBytes(path), "old");
}

}  // namespace
}  // namespace plomaret
