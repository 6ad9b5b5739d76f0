#pragma once
// Writing a new version of a file so that no failure, and no kill, loses the old one.
//
// The bytes go to a temporary file, which is flushed to disk before the file is
// touched. Normally that file lies in the target's folder and is renamed over the
// target. A symbolic link is followed and its target replaced; the file keeps its
// mode (and its owner, when we run as root). Only regular files are replaced: a pipe
// or a device is refused without waiting on it, and so is a file whose mode gives
// this user no write permission (unless ReplaceReadOnly). Where a rename cannot work
// (the folder is not writable, the file has several hard links, or it lies in a
// sticky folder and belongs to someone else) the file is overwritten in place, but
// only after room for the new version is reserved and a complete copy of the old
// version, owned by us, exists; a failure puts the old version back.
//
// Between Replace and Release the old version stays reachable (a hard link or that
// copy), so a caller replacing many files can Restore every one of them when a later
// one fails. Temporary files carry "plomaret-" in their names, so that what a kill
// leaves behind can be recognised (FindLeftovers).

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace plomaret {

struct TReplaceOptions {
  // Off: a symbolic link at the path is itself replaced by a file, never written
  // through (a backup must not overwrite what a stray link points at).
  bool FollowLinks = true;
  // Told the file and its old version's complete copy before the file is overwritten
  // in place, so a person knows where it is should the program be killed meanwhile.
  std::function<void(const std::string& path, const std::string& copy)> OnOldCopy;
  // Off: a target the user has no write permission for is refused with EReadOnlyFile.
  bool ReplaceReadOnly = false;
};

class TFileReplacer {
 public:
  // Prepares to replace (or create) path. Throws EFileError naming the file when it
  // cannot be written or is not a regular file, EReadOnlyFile when its mode forbids
  // this user to write it.
  explicit TFileReplacer(std::string path, TReplaceOptions options = {});
  // An unfinished new version is discarded; a replaced file stays replaced.
  ~TFileReplacer();
  TFileReplacer(const TFileReplacer&) = delete;
  TFileReplacer& operator=(const TFileReplacer&) = delete;

  // Inline while the bytes fit the buffer: a save writes millions of short rows.
  void Write(std::string_view bytes) {
    if (FStage == tsWriting && FBuffer.size() + bytes.size() <= kBufferSize) {
      FNewSize += static_cast<int64_t>(bytes.size());
      FBuffer.append(bytes);
    } else {
      WriteThrough(bytes);
    }
  }
  void Write(char byte) { Write(std::string_view(&byte, 1)); }

  // Flushes and syncs the new version and releases its handle; after this only
  // Replace or Commit may follow. Lets a caller prepare many files before replacing any.
  void Finish();

  // Puts the new version in place (finishing it first if needed), keeping the old one
  // reachable until Release or Restore. On failure the file is as it was.
  void Replace();
  // Puts the old version back after Replace.
  void Restore();
  // Forgets the old version after Replace. False when its copy could not be removed
  // (OldVersionPath names it).
  bool Release();
  // Replace and Release: the one-file save.
  void Commit();

  const std::string& Path() const { return FPath; }
  // The file that is actually replaced (symbolic links followed).
  const std::string& TargetPath() const { return FTarget; }
  bool WritesInPlace() const { return FInPlace; }
  // Where the old version is kept between Replace and Release ("" when nowhere); after
  // a failed Replace, where it is kept when it could not be put back.
  const std::string& OldVersionPath() const { return FOldPath; }

 private:
  enum TStage { tsWriting, tsFinished, tsReplaced, tsSettled };

  void FlushBuffer();
  void WriteAll(int handle, const char* data, size_t size, const std::string& file);
  static constexpr size_t kBufferSize = 1 << 20;
  void WriteThrough(std::string_view bytes);
  int MakeTempFile(const std::string& kind, std::string& path);
  void ReplaceKeeping(bool keepOld);
  void LinkOldVersion();
  void CopyOldVersion();
  void RenameIntoPlace(bool keepOld);
  void OverwriteInPlace();
  int OpenTarget(int flags);
  int64_t CopyFileInto(int source, const std::string& sourceName, int target, const std::string& targetName);
  bool PutOldVersionBack();
  void DropOldVersion();
  enum TAction { taRead, taWrite, taReplace };
  [[noreturn]] void Fail(TAction action, int error) const;
  [[noreturn]] void FailTemp(const std::string& temp, int error) const;
  [[noreturn]] void FailWriting(const std::string& file, int error) const;

  std::string FPath;
  std::string FTarget;
  std::string FFolder;     // the target's, with its final "/"
  std::string FUnremoved;  // a temporary name of ours that could not be removed
  TReplaceOptions FOptions;
  std::string FNewPath;  // the new version, until it is in place
  std::string FOldPath;  // the old version, between Replace and Release
  bool FOldIsCopy = false;  // FOldPath is a copy (not a link) to be copied back
  bool FKeepOld = false;    // FOldPath holds the only old version after a failure: never removed
  std::string FBuffer;
  int FHandle = -1;
  int64_t FNewSize = 0;
  int64_t FOldSize = 0;  // of the old version's copy, which is what a restore writes back
  TStage FStage = tsWriting;
  bool FTargetExists = false;
  bool FTargetRegular = false;
  bool FInPlace = false;
  bool FNewBeside = true;  // the temporary files lie in the target's folder
  dev_t FDevice = 0;
  ino_t FInode = 0;
  unsigned FMode = 0;
  unsigned FOwner = 0;
  unsigned FGroup = 0;
};

// Replaces path by bytes, as TFileReplacer does.
void WriteFileReplacing(const std::string& path, std::string_view bytes);

// Temporary files that a replacement of path stopped by a kill left behind: beside
// the file, and the old-version copies in the temporary folder.
std::vector<std::string> FindLeftovers(const std::string& path);

}  // namespace plomaret
