#include "framework/core/FileReplacer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "TestFiles.h"
#include "framework/core/Exceptions.h"
#include "framework/core/TextFileReader.h"
#include "framework/core/Translate.h"

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

// Opening a pipe waits for its other end; a test that hangs here has found the fault.
TEST(FileReplacer, APipeIsRefusedWithoutWaitingForItsOtherEnd) {
  TScratchFolder folder;
  const std::string pipe = folder.Path("model.x");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
  const auto expectRefused = [&](auto&& open, const char* what) {
    try {
      open();
      ADD_FAILURE() << what << " took the pipe";
    } catch (const EFileError& error) {
      EXPECT_NE(error.Message().find(pipe), std::string::npos) << error.Message();
      EXPECT_NE(error.Message().find("not a regular file"), std::string::npos) << error.Message();
    }
  };
  expectRefused([&] { TFileReplacer replacer(pipe); }, "the replacer");
  expectRefused([&] { TTextFileReader reader(pipe); }, "the reader");
  EXPECT_EQ(testing::CountEntries(folder.Root()), 1u);
}

TEST(FileReplacer, AReadOnlyFileIsReplacedOnlyWhenAskedTo) {
  TScratchFolder folder;
  const std::string path = folder.Path("model.x");
  WriteBytes(path, "old");
  ::chmod(path.c_str(), 0444);
  try {
    WriteFileReplacing(path, "new");
    ADD_FAILURE() << "a read-only file was replaced";
  } catch (const EReadOnlyFile& error) {
    EXPECT_EQ(error.Message(), "\"" + path + "\" is read-only.");
  }
  EXPECT_EQ(ReadBytes(path), "old");
  EXPECT_EQ(testing::CountEntries(folder.Root()), 1u);

  TReplaceOptions options;
  options.ReplaceReadOnly = true;
  TFileReplacer replacer(path, options);
  replacer.Write("new");
  replacer.Commit();
  EXPECT_EQ(ReadBytes(path), "new");
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0444u);

  // Root is held to the write bits, not to the owner's alone: another user's 0644
  // file is root's to replace.
  if (::geteuid() == 0) {
    const std::string theirs = folder.Path("theirs.x");
    WriteBytes(theirs, "old");
    ASSERT_EQ(::chown(theirs.c_str(), 65534, 65534), 0);
    ::chmod(theirs.c_str(), 0644);
    WriteFileReplacing(theirs, "new");
    EXPECT_EQ(ReadBytes(theirs), "new");
  }
}

// Each refusal is one sentence in the user's language, the name in it byte for byte.
TEST(FileReplacer, RefusalsFollowTheLanguage) {
  TScratchFolder folder;
  const std::string pipe = folder.Path("管.x"), readOnly = folder.Path("読み取り専用.x"),
                    binary = folder.Path("バイナリ.x");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
  WriteBytes(readOnly, "old");
  ::chmod(readOnly.c_str(), 0444);
  WriteBytes(binary, std::string("ab\0", 3));
  const auto messageOf = [](auto&& action) {
    try {
      action();
    } catch (const Exception& error) {
      return error.Message();
    }
    return std::string("no error");
  };
  const auto writePipe = [&] { TFileReplacer replacer(pipe); };
  const auto readPipe = [&] { TTextFileReader reader(pipe); };
  const auto writeReadOnly = [&] { WriteFileReplacing(readOnly, "new"); };
  const auto readBinary = [&] { TTextFileReader(binary).Count(); };
  const std::string missing = folder.Path("無い/out.x");
  const auto writeMissing = [&] { TFileReplacer replacer(missing); };
  struct TRow {
    TLanguage Language;
    std::function<void()> Action;
    std::string Expected;
  };
  const TRow rows[] = {
      {lnEnglish, writePipe, "Cannot write \"" + pipe + "\": it is not a regular file"},
      {lnJapanese, writePipe, "「" + pipe + "」に書き込めません: 通常のファイルではありません"},
      {lnEnglish, readPipe, "Cannot open \"" + pipe + "\": it is not a regular file (a pipe, a socket or a device)"},
      {lnJapanese, readPipe,
       "「" + pipe + "」を開けません: 通常のファイルではありません (パイプ、ソケット、デバイスのいずれか)"},
      {lnEnglish, writeReadOnly, "\"" + readOnly + "\" is read-only."},
      {lnJapanese, writeReadOnly, "「" + readOnly + "」は読み取り専用です。"},
      {lnEnglish, readBinary,
       "\"" + binary + "\" is not a text file: it has a zero byte at offset 2. Binary files cannot be edited as text."},
      {lnJapanese, readBinary,
       "「" + binary +
           "」はテキストファイルではありません: オフセット 2 "
           "にゼロのバイトがあります。バイナリファイルはテキストとして編集できません。"},
      {lnEnglish, writeMissing, "Cannot write \"" + missing + "\": No such file or directory"},
      {lnJapanese, writeMissing, "「" + missing + "」に書き込めません: そのようなファイルやディレクトリはありません"},
  };
  for (const TRow& row : rows) {
    SetLanguage(row.Language);
    EXPECT_EQ(messageOf(row.Action), row.Expected);
  }
  EXPECT_EQ(testing::CountEntries(folder.Root()), 3u);
}

// Another program may change the file between our first look at it and its
// replacement: what is put back is what was there when it was replaced.
TEST(FileReplacer, RestoringInPlacePutsBackTheFileAsItWasWhenReplaced) {
  TScratchFolder folder;
  const std::string path = folder.Path("a.x");
  WriteBytes(path, "old");
  std::filesystem::create_hard_link(path, folder.Path("b.x"));
  for (const std::string changed : {std::string("old, and a longer line added meanwhile"), std::string("o")}) {
    WriteBytes(path, "old");
    TFileReplacer replacer(path);
    ASSERT_TRUE(replacer.WritesInPlace());
    replacer.Write("new text");
    WriteBytes(path, changed);
    replacer.Replace();
    EXPECT_EQ(ReadBytes(path), "new text");
    replacer.Restore();
    EXPECT_EQ(ReadBytes(path), changed);
  }
  EXPECT_EQ(testing::CountEntries(folder.Root()), 2u);
}

}  // namespace
}  // namespace plomaret
