#pragma once
// Writing a new version of a file so that a failed save never damages the old one.
//
// The bytes go to a temporary file in the target's folder, which is flushed to disk
// and then renamed over the target. A symbolic link is followed and its target
// replaced; the file keeps its mode (and its owner, when we run as root). Where a
// rename cannot work (the folder is not writable, or the file has several hard
// links) the new text is first kept whole in a temporary file elsewhere and then
// written over the file in place.

#include <cstddef>
#include <string>
#include <string_view>

namespace plomaret {

class TFileReplacer {
 public:
  // Prepares to replace (or create) path. Throws EFileError naming the file when it
  // cannot be written.
  explicit TFileReplacer(std::string path);
  ~TFileReplacer();  // an uncommitted new version is discarded
  TFileReplacer(const TFileReplacer&) = delete;
  TFileReplacer& operator=(const TFileReplacer&) = delete;

  void Write(std::string_view bytes);
  void Write(char byte) { Write(std::string_view(&byte, 1)); }

  // Flushes and syncs the new version and releases its handle; after this only
  // Commit may follow. Lets a caller prepare many files before replacing any.
  void Finish();

  // Puts the new version in place of the file (finishing it first if needed).
  void Commit();

  const std::string& Path() const { return FPath; }
  // The file that is actually replaced (symbolic links followed).
  const std::string& TargetPath() const { return FTarget; }
  bool WritesInPlace() const { return FInPlace; }

 private:
  void FlushBuffer();
  void WriteAll(int handle, const char* data, size_t size, const std::string& what);
  void CopyIntoTarget();
  [[noreturn]] void Fail(const std::string& action, int error) const;

  std::string FPath;
  std::string FTarget;
  std::string FTempPath;
  std::string FBuffer;
  int FHandle = -1;
  bool FTargetExists = false;
  bool FInPlace = false;
  bool FFinished = false;
  bool FCommitted = false;
  unsigned FMode = 0;
  unsigned FOwner = 0;
  unsigned FGroup = 0;
};

// Replaces path by bytes, as TFileReplacer does.
void WriteFileReplacing(const std::string& path, std::string_view bytes);

}  // namespace plomaret
