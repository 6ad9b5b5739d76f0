// A disk that refuses any one step of a batch, memory that runs out before any one
// step, and a real full disk: afterwards every file holds its old version, or every
// file its new one, and nothing temporary is left. The window's SaveAs is held to the
// same for its one file. The order of the steps that make a replacement durable is
// checked on every path.

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "FaultyFileOps.h"
#include "TestFiles.h"
#include "app/ExchangeTool.h"
#include "app/Unit1.h"
#include "framework/headless/HeadlessPlatform.h"

namespace plomaret {
namespace {

using testing::ReadBytes;
using testing::TFaultyFileOps;
using testing::TScratchFolder;
using testing::WriteBytes;

std::string Model(const std::string& name, int lines) {
  std::string text = "xof 0302txt 0032\n// " + name + "\nMesh {\n MeshTextureCoords {\n";
  for (int i = 0; i < lines; ++i) text += "  0." + std::to_string(i) + ";0.5;,\n";
  return text + " }\n MeshVertexColors {\n  1;\n }\n}\n";
}

std::string Exchanged(const std::string& name, int lines) {
  std::string text = "xof 0302txt 0032\r\n// " + name + "\r\nMesh {\r\n MeshTextureCoords {\r\n";
  for (int i = 0; i < lines; ++i) text += "  0." + std::to_string(i) + ";0.5;\r\n";
  return text + " }\r\n//  MeshVertexColors {\r\n//   1;\r\n//  }\r\n}\r\n";
}

std::vector<std::string> Entries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

enum TPathKind { pkRename, pkHardLinks, pkFolderNotWritable, pkRenameWithBackup };

// Three files in models/, hard-link twins in twins/ where asked, temporary files in tmp/.
class TBatch {
 public:
  TBatch(const std::string& root, TPathKind kind, int lines = 3) : FRoot(root), FKind(kind), FLines(lines) {
    for (const char* folder : {"/models", "/twins", "/tmp"}) std::filesystem::create_directories(FRoot + folder);
    for (const std::string name : {"a.x", "b.x", "c.x"}) {
      const std::string path = Models() + name;
      WriteBytes(path, Model(name, FLines));
      if (FKind == pkHardLinks) std::filesystem::create_hard_link(path, FRoot + "/twins/" + name);
      FFiles.push_back(path);
    }
  }
  ~TBatch() { std::filesystem::remove_all(FRoot + "/models"), std::filesystem::remove_all(FRoot + "/twins"); }

  std::string Models() const { return FRoot + "/models/"; }
  std::string Temp() const { return FRoot + "/tmp/"; }

  const std::vector<std::string>& Files() const { return FFiles; }

  int Run(TFaultyFileOps& ops, std::string* errors = nullptr) {
    if (FKind == pkFolderNotWritable) ops.NotWritable.insert(Models());
    testing::TScopedEnvironment temp("TMPDIR", Temp());
    TScopedFileOps installed(ops);
    std::vector<std::string> args{"plomaret-exchange", "--in-place"};
    if (FKind == pkRenameWithBackup) args.insert(args.end(), {"--backup", ".orig"});
    args.insert(args.end(), FFiles.begin(), FFiles.end());
    std::vector<const char*> argv;
    for (const std::string& arg : args) argv.push_back(arg.c_str());
    std::ostringstream out, err;
    const int status = RunExchangeTool(static_cast<int>(argv.size()), argv.data(), out, err);
    if (errors != nullptr) *errors = err.str();
    return status;
  }

  // All old after a failure, all new after success; nothing else in any folder.
  void CheckAllOrNothing(int status, const std::string& label) const {
    std::vector<std::string> expectedModels;
    for (const std::string& path : FFiles) {
      const std::string name = std::filesystem::path(path).filename();
      const std::string bytes = ReadBytes(path);
      EXPECT_EQ(bytes, status == 0 ? Exchanged(name, FLines) : Model(name, FLines)) << label << " " << name;
      if (FKind == pkHardLinks) {
        EXPECT_EQ(ReadBytes(FRoot + "/twins/" + name), bytes) << label << " the link broke";
      }
      expectedModels.push_back(name);
      if (FKind == pkRenameWithBackup && status == 0) {
        EXPECT_EQ(ReadBytes(path + ".orig"), Model(name, FLines)) << label;
        expectedModels.push_back(name + ".orig");
      }
    }
    std::sort(expectedModels.begin(), expectedModels.end());
    EXPECT_EQ(Entries(Models()), expectedModels) << label << ": a temporary file was left";
    EXPECT_TRUE(Entries(Temp()).empty()) << label << ": a temporary file was left";
  }

 private:
  std::string FRoot;
  TPathKind FKind;
  int FLines;
  std::vector<std::string> FFiles;
};

TEST(ReplaceFaults, EveryRefusedStepOfABatchLeavesAllOldOrAllNew) {
  TScratchFolder folder;
  int cases = 0;
  for (const TPathKind kind : {pkRename, pkHardLinks, pkFolderNotWritable, pkRenameWithBackup}) {
    TFaultyFileOps counting;
    {
      TBatch batch(folder.Root(), kind);
      ASSERT_EQ(batch.Run(counting), 0);
      batch.CheckAllOrNothing(0, "no fault");
    }
    ASSERT_GT(counting.Calls(), 10);
    // 0: memory runs out instead of the step.
    for (const int error : {ENOSPC, EIO, EPERM, 0}) {
      for (int n = 1; n <= counting.Calls(); ++n) {
        const std::string label = "path " + std::to_string(kind) + ", error " + std::to_string(error) + " at call " +
                                  std::to_string(n) + " of " + std::to_string(counting.Calls());
        TBatch batch(folder.Root(), kind);
        TFaultyFileOps faulty(n, error, error == 0 ? TFaultyFileOps::fkBadAlloc : TFaultyFileOps::fkError);
        std::string errors;
        const int status = batch.Run(faulty, &errors);
        ASSERT_TRUE(faulty.Faulted()) << label;
        batch.CheckAllOrNothing(status, label);
        if (status != 0) {
          EXPECT_NE(errors.find("No file was changed."), std::string::npos) << label << "\n" << errors;
        }
        ++cases;
      }
    }
  }
  std::cout << "[ fault schedule ] " << cases << " batches, each with one refused step\n";
}

// The index of the first operation op on path at or after from (the log's size when none).
size_t Find(const std::vector<testing::TFileOp>& log, const std::string& op, const std::string& path, size_t from = 0) {
  while (from < log.size() && !(log[from].Op == op && log[from].Path == path)) ++from;
  return from;
}

size_t FindLast(const std::vector<testing::TFileOp>& log, const std::string& op, const std::string& path,
                size_t before) {
  for (size_t i = before; i-- > 0;) {
    if (log[i].Op == op && log[i].Path == path) return i;
  }
  return log.size();
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.rfind('/') + 1); }

// A power cut loses what was not synced: the new version is written, synced and
// closed before it is renamed, and the folder synced after; in place, the old
// version's copy is whole on disk, under a durable name, before the file's first byte
// is overwritten, and the file is synced after its last.
TEST(ReplaceFaults, EveryPathSyncsWhatItReliesOnBeforeItRelies) {
  TScratchFolder folder;
  for (const TPathKind kind : {pkRename, pkHardLinks, pkFolderNotWritable, pkRenameWithBackup}) {
    TBatch batch(folder.Root(), kind);
    std::vector<testing::TFileOp> log;
    TFaultyFileOps recording;
    recording.Log = &log;
    ASSERT_EQ(batch.Run(recording), 0);
    int replaced = 0;
    for (size_t i = 0; i < log.size(); ++i) {
      const testing::TFileOp& step = log[i];
      const std::string label = "path " + std::to_string(kind) + ", step " + std::to_string(i) + " " + step.Op + " " +
                                step.Path + " " + step.To;
      if (step.Op == "rename") {
        const size_t written = FindLast(log, "write", step.Path, i);
        ASSERT_LT(written, i) << label << ": renamed unwritten";
        const size_t synced = Find(log, "fsync", step.Path, written);
        EXPECT_LT(synced, i) << label << ": renamed before it was synced";
        EXPECT_LT(Find(log, "close", step.Path, synced), i) << label << ": renamed before it was closed";
        EXPECT_LT(Find(log, "syncfolder", FolderOf(step.To), i), log.size()) << label << ": the folder was not synced";
        ++replaced;
      }
      if (step.Op == "write" &&
          std::find(batch.Files().begin(), batch.Files().end(), step.Path) != batch.Files().end() &&
          FindLast(log, "write", step.Path, i) == log.size()) {
        // The first overwrite of a file in place: its copy was made just before.
        size_t made = i;
        while (made > 0 && log[made - 1].Op != "maketemp") --made;
        ASSERT_GT(made, 0u) << label << ": overwritten with no copy of its old version";
        const std::string& name = log[made - 1].Path;
        EXPECT_NE(name.find("plomaret-old-"), std::string::npos) << label << " " << name;
        const size_t synced = Find(log, "fsync", name, FindLast(log, "write", name, i));
        EXPECT_LT(synced, i) << label << ": overwritten before the copy was synced";
        EXPECT_LT(Find(log, "close", name, synced), i) << label << ": overwritten before the copy was closed";
        EXPECT_LT(Find(log, "syncfolder", FolderOf(name), synced), i) << label << ": the copy's name is not durable";
        const size_t lastWrite = FindLast(log, "write", step.Path, Find(log, "close", step.Path, i));
        EXPECT_LT(Find(log, "fsync", step.Path, lastWrite), Find(log, "close", step.Path, i))
            << label << ": closed unsynced";
        ++replaced;
      }
    }
    EXPECT_EQ(replaced, kind == pkRenameWithBackup ? 6 : 3) << "path " << kind;
  }
}

TEST(ReplaceFaults, TheWindowsSaveAsLeavesTheOldOrTheNewFile) {
  THeadlessPlatform& platform = UseHeadlessPlatform();
  TScratchFolder folder;
  platform.ClearMessages();
  TOwned<TForm1> form = CreateWithoutOwner<TForm1>();
  form->SetProgramFile(folder.Path("plomaret.exe"));
  form->Editor1->Lines()->SetAllText("new\r\ntext");
  const std::string path = folder.Path("plane.x");
  // Once saved, plane.x is the window's file, and writing "old" into it here is a change by
  // another program: SaveAs over it asks first, and the answer is yes.
  auto answerOverwrite = [&] {
    if (form->CurrentFileName() == path) platform.ScriptAnswer(IDYES);
  };
  for (const bool linked : {false, true}) {
    TFaultyFileOps counting;
    WriteBytes(path, "old");
    if (linked) std::filesystem::create_hard_link(path, folder.Path("twin.x"));
    {
      TScopedFileOps installed(counting);
      answerOverwrite();
      platform.ScriptFileChoice(path);
      form->SpeedButton4Click(nullptr);
    }
    if (linked) {
      // Where the old version waits is shown before the file is overwritten.
      ASSERT_FALSE(platform.Messages().empty());
      EXPECT_NE(platform.Messages().back().Text.find("its old version is kept as \"" + folder.Root() + "/.plane.x.plomaret-old-"),
                std::string::npos)
          << platform.Messages().back().Text;
    }
    for (const auto fault : {TFaultyFileOps::fkError, TFaultyFileOps::fkBadAlloc}) {
      for (int n = 1; n <= counting.Calls(); ++n) {
        const std::string label = "call " + std::to_string(n) + (linked ? " in place" : "") +
                                  (fault == TFaultyFileOps::fkBadAlloc ? ", out of memory" : ", disk full");
        WriteBytes(path, "old");
        TFaultyFileOps faulty(n, ENOSPC, fault);
        TScopedFileOps installed(faulty);
        answerOverwrite();
        platform.ScriptFileChoice(path);
        bool failed = false;
        try {
          form->SpeedButton4Click(nullptr);
        } catch (const std::exception&) {
          failed = true;
        }
        EXPECT_EQ(ReadBytes(path), failed ? "old" : "new\r\ntext") << label;
        EXPECT_EQ(testing::CountEntries(folder.Root()), linked ? 2u : 1u) << label << ": a temporary file was left";
      }
    }
    platform.ClearMessages();
  }
}

// A real full disk: a small tmpfs, filled to many levels before the batch runs.
TEST(ReplaceFaults, AFullDiskLeavesAllOldOrAllNew) {
  TScratchFolder folder;
  const std::string disk = folder.Path("disk");
  std::filesystem::create_directory(disk);
  if (::geteuid() != 0 || ::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=512k") != 0) {
    GTEST_SKIP() << "mounting a small disk needs root";
  }
  int failures = 0, successes = 0;
  for (const TPathKind kind : {pkRename, pkHardLinks, pkFolderNotWritable}) {
    for (int filler = 0; filler <= 480; filler += 24) {
      TBatch batch(disk, kind, 2500);  // about 40 KB a file
      std::filesystem::remove(disk + "/filler");
      if (filler > 0) WriteBytes(disk + "/filler", std::string(static_cast<size_t>(filler) * 1024 - 4096, 'f'));
      TFaultyFileOps system;  // only to say the folder is not writable
      const int status = batch.Run(system);
      batch.CheckAllOrNothing(status, "path " + std::to_string(kind) + ", " + std::to_string(filler) + " KB used");
      (status == 0 ? successes : failures) += 1;
    }
  }
  ::umount(disk.c_str());
  EXPECT_GT(failures, 0) << "the disk never filled";
  EXPECT_GT(successes, 0);
}

}  // namespace
}  // namespace plomaret
