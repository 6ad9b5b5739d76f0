#include "FileReplacer.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>
#include <random>

#include "Exceptions.h"
#include "FileOps.h"
#include "Translate.h"

namespace plomaret {

namespace {

// Temporary names keep this much of the file's name, so they stay within NAME_MAX.
constexpr size_t kNameInTempNames = 64;

std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

std::string NameOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Follows a chain of symbolic links to the file they end at (which may not exist yet).
std::string FollowLinks(const std::string& path) {
  std::string current = path;
  for (int depth = 0; depth < 40; ++depth) {
    struct stat info {};
    if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current;
    char buffer[PATH_MAX];
    ssize_t length = ::readlink(current.c_str(), buffer, sizeof(buffer) - 1);
    if (length < 0) return current;
    std::string link(buffer, static_cast<size_t>(length));
    current = (!link.empty() && link[0] == '/') ? link : FolderOf(current) + link;
  }
  throw EFileError(TrFormat("Cannot write \"%1\": too many levels of symbolic links", {path}));
}

unsigned CurrentUmask() {
  mode_t mask = ::umask(0);
  ::umask(mask);
  return mask;
}

std::string TempFolder() {
  const char* folder = std::getenv("TMPDIR");
  std::string result = (folder != nullptr && *folder != '\0') ? folder : "/tmp";
  if (result.back() != '/') result += '/';
  return result;
}

std::string ShortName(const std::string& name) { return name.substr(0, kNameInTempNames); }

// "plomaret-KIND" names: beside the file hidden after its name, elsewhere led by it.
std::string BesidePrefix(const std::string& target) { return "." + ShortName(NameOf(target)) + ".plomaret-"; }
std::string TempFolderPrefix(const std::string& kind, const std::string& target) {
  return "plomaret-" + kind + "-" + ShortName(NameOf(target)) + "-";
}

// A name from pattern with its final "XXXXXX" made random.
std::string RandomName(std::string pattern) {
  static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  static std::mt19937 generator(std::random_device{}() ^ static_cast<unsigned>(::getpid()));
  std::uniform_int_distribution<int> pick(0, static_cast<int>(sizeof(kLetters)) - 2);
  for (size_t i = pattern.size() - 6; i < pattern.size(); ++i) pattern[i] = kLetters[pick(generator)];
  return pattern;
}

bool FolderWritable(const std::string& folder) { return FileOps().Access(folder, W_OK) == 0; }

// Makes a rename or a new name durable in the folder too; a failure here changes
// nothing that is already done.
void SyncFolder(const std::string& folder) noexcept { FileOps().SyncFolder(folder); }

bool InGroup(gid_t group) {
  if (::getegid() == group) return true;
  const int count = ::getgroups(0, nullptr);
  if (count <= 0) return false;
  std::vector<gid_t> groups(static_cast<size_t>(count));
  const int got = ::getgroups(count, groups.data());
  return got > 0 && std::find(groups.begin(), groups.begin() + got, group) != groups.begin() + got;
}

// The write bit the mode gives this user: the owner's, the group's or everyone's.
// Root, whom no bit binds, is held to them as editors do: a file with every write bit
// cleared is read-only for root too, while another user's 0644 file is not.
bool ModeLetsUsWrite(const struct stat& info) {
  if (::geteuid() == 0) return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
  if (info.st_uid == ::geteuid()) return (info.st_mode & S_IWUSR) != 0;
  if (InGroup(info.st_gid)) return (info.st_mode & S_IWGRP) != 0;
  return (info.st_mode & S_IWOTH) != 0;
}

// In a sticky folder only the owner of a file (or of the folder) may rename over it,
// and a second name we gave it could not be removed again.
bool OnlyItsOwnerMayReplace(const std::string& folder, const struct stat& file) {
  struct stat info {};
  if (::stat(folder.c_str(), &info) != 0 || (info.st_mode & S_ISVTX) == 0) return false;
  const uid_t user = ::geteuid();
  return user != 0 && file.st_uid != user && info.st_uid != user;
}

// Closes a handle when it goes out of scope, unless it was closed on purpose.
class THandle {
 public:
  explicit THandle(int handle) : FHandle(handle) {}
  ~THandle() {
    if (FHandle >= 0) FileOps().Close(FHandle);
  }
  THandle(const THandle&) = delete;
  THandle& operator=(const THandle&) = delete;
  int Get() const { return FHandle; }
  // Closes now; returns 0 or errno.
  int Close() {
    if (FHandle < 0) return 0;
    const int result = FileOps().Close(FHandle);
    FHandle = -1;
    return result == 0 ? 0 : errno;
  }

 private:
  int FHandle;
};

}  // namespace

TFileReplacer::TFileReplacer(std::string path, TReplaceOptions options)
    : FPath(std::move(path)), FOptions(std::move(options)) {
  if (FPath.empty()) throw EFileError(Tr("Cannot write a file without a name"));
  FTarget = FOptions.FollowLinks ? FollowLinks(FPath) : FPath;
  FFolder = FolderOf(FTarget);
  struct stat info {};
  // stat never opens the file, so a pipe is refused here without waiting for a reader.
  const int found = FOptions.FollowLinks ? ::stat(FTarget.c_str(), &info) : ::lstat(FTarget.c_str(), &info);
  if (found == 0) {
    if (S_ISDIR(info.st_mode)) throw EFileError(TrFormat("Cannot write \"%1\": it is a folder", {FPath}));
    FTargetRegular = S_ISREG(info.st_mode);
    // Without following links a symbolic link is an entry like any other, and replaced.
    if (!FTargetRegular && !(S_ISLNK(info.st_mode) && !FOptions.FollowLinks)) {
      throw EFileError(TrFormat("Cannot write \"%1\": it is not a regular file", {FPath}));
    }
    if (FTargetRegular && !FOptions.ReplaceReadOnly && !ModeLetsUsWrite(info)) {
      throw EReadOnlyFile(TrFormat("\"%1\" is read-only.", {FPath}));
    }
    FTargetExists = true;
    FOldSize = info.st_size;
    FMode = FTargetRegular ? info.st_mode & 07777 : 0666 & ~CurrentUmask();
    FOwner = info.st_uid;
    FGroup = info.st_gid;
    FDevice = info.st_dev;
    FInode = info.st_ino;
    // Without following links the entry itself is replaced, whatever else names the file.
    FInPlace = FOptions.FollowLinks && info.st_nlink > 1;
    if (OnlyItsOwnerMayReplace(FFolder, info)) {
      if (!FOptions.FollowLinks) {
        throw EFileError(TrFormat(
            "Cannot write \"%1\": it belongs to another user in a folder where only the owner of a file may replace it",
            {FPath}));
      }
      FInPlace = true;
    }
  } else if (errno != ENOENT) {
    Fail(taWrite, errno);
  } else {
    FMode = 0666 & ~CurrentUmask();
  }
  if (!FolderWritable(FFolder)) {
    if (!FTargetExists || !FOptions.FollowLinks) Fail(taWrite, errno);
    FInPlace = true;
  }
  if (FInPlace && FileOps().Access(FTarget, W_OK) != 0) Fail(taWrite, errno);
  FNewBeside = FolderWritable(FFolder);
  // Memory first: nothing is made on disk that a failure here would leave behind.
  FBuffer.reserve(kBufferSize);
  FHandle = MakeTempFile("new", FNewPath);
}

TFileReplacer::~TFileReplacer() {
  if (FHandle >= 0) FileOps().Close(FHandle);
  if (!FNewPath.empty()) FileOps().Unlink(FNewPath);
  // A second name or copy made for a replacement that failed, or not released.
  if (!FOldPath.empty() && !FKeepOld) FileOps().Unlink(FOldPath);
}

void TFileReplacer::Fail(TAction action, int error) const {
  const std::string reason = SystemErrorText(error);
  // One whole sentence for each action, so that each translates as a whole.
  if (!FUnremoved.empty()) {
    switch (action) {
      case taRead:
        throw EFileError(TrFormat("Cannot read \"%1\": %2; its temporary file \"%3\" could not be removed",
                                  {FPath, reason, FUnremoved}));
      case taWrite:
        throw EFileError(TrFormat("Cannot write \"%1\": %2; its temporary file \"%3\" could not be removed",
                                  {FPath, reason, FUnremoved}));
      case taReplace:
        throw EFileError(TrFormat("Cannot replace \"%1\": %2; its temporary file \"%3\" could not be removed",
                                  {FPath, reason, FUnremoved}));
    }
  }
  switch (action) {
    case taRead: throw EFileError(TrFormat("Cannot read \"%1\": %2", {FPath, reason}));
    case taWrite: throw EFileError(TrFormat("Cannot write \"%1\": %2", {FPath, reason}));
    case taReplace: break;
  }
  throw EFileError(TrFormat("Cannot replace \"%1\": %2", {FPath, reason}));
}

void TFileReplacer::FailTemp(const std::string& temp, int error) const {
  throw EFileError(TrFormat("Cannot write \"%1\": its temporary copy in the folder \"%2\" could not be written: %3",
                            {FPath, FolderOf(temp), SystemErrorText(error)}));
}

void TFileReplacer::FailWriting(const std::string& file, int error) const {
  // A full temporary folder is not the target's fault: say which folder it is.
  if (file != FTarget && FolderOf(file) != FFolder) FailTemp(file, error);
  Fail(taWrite, error);
}

int TFileReplacer::MakeTempFile(const std::string& kind, std::string& path) {
  const bool beside = kind == "new" ? FNewBeside : FolderWritable(FFolder);
  std::string pattern = beside ? FFolder + BesidePrefix(FTarget) + kind + "-XXXXXX"
                               : TempFolder() + TempFolderPrefix(kind, FTarget) + "XXXXXX";
  const int handle = FileOps().MakeTemp(pattern);
  if (handle < 0) {
    if (beside) Fail(taWrite, errno);
    FailTemp(pattern, errno);
  }
  path.swap(pattern);  // no allocation between making the file and knowing its name
  return handle;
}

void TFileReplacer::WriteAll(int handle, const char* data, size_t size, const std::string& file) {
  while (size > 0) {
    ssize_t written = FileOps().Write(handle, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      FailWriting(file, errno);
    }
    data += written;
    size -= static_cast<size_t>(written);
  }
}

void TFileReplacer::WriteThrough(std::string_view bytes) {
  if (FStage != tsWriting) {
    throw EFileError(TrFormat("Cannot write \"%1\": the new version is already finished", {FPath}));
  }
  FNewSize += static_cast<int64_t>(bytes.size());
  if (FBuffer.size() + bytes.size() > kBufferSize) {
    FlushBuffer();
    if (bytes.size() >= kBufferSize) {
      WriteAll(FHandle, bytes.data(), bytes.size(), FNewPath);
      return;
    }
  }
  FBuffer.append(bytes);
}

void TFileReplacer::FlushBuffer() {
  WriteAll(FHandle, FBuffer.data(), FBuffer.size(), FNewPath);
  FBuffer.clear();
}

void TFileReplacer::Finish() {
  if (FStage != tsWriting) return;
  FlushBuffer();
  if (!FInPlace) {
    // Only root may give a file away; for others the owner stays who saves. The owner
    // goes first: changing it clears the set-user-ID and set-group-ID bits.
    if (FTargetExists && FTargetRegular && ::geteuid() == 0 && FileOps().Chown(FHandle, FOwner, FGroup) != 0) {
      Fail(taWrite, errno);
    }
    if (FileOps().Chmod(FHandle, FMode) != 0) Fail(taWrite, errno);
  }
  if (FileOps().Fsync(FHandle) != 0) FailWriting(FNewPath, errno);
  const int handle = FHandle;
  FHandle = -1;
  if (FileOps().Close(handle) != 0) FailWriting(FNewPath, errno);
  std::string().swap(FBuffer);  // a batch holds many finished versions at once
  FStage = tsFinished;
}

void TFileReplacer::Replace() { ReplaceKeeping(true); }

void TFileReplacer::Commit() {
  ReplaceKeeping(false);
  Release();
}

void TFileReplacer::ReplaceKeeping(bool keepOld) {
  if (FStage == tsWriting) Finish();
  if (FStage != tsFinished) return;
  if (FInPlace) {
    OverwriteInPlace();
  } else {
    RenameIntoPlace(keepOld);
  }
}

void TFileReplacer::RenameIntoPlace(bool keepOld) {
  if (keepOld && FTargetExists) LinkOldVersion();
  if (FileOps().Rename(FNewPath, FTarget) != 0) {
    const int error = errno;
    DropOldVersion();
    Fail(taReplace, error);
  }
  // From here the file is replaced: nothing below may throw.
  FNewPath.clear();
  FStage = tsReplaced;
  SyncFolder(FFolder);
}

// A second name for the old version, so the rename leaves it reachable.
void TFileReplacer::LinkOldVersion() {
  const std::string pattern = FFolder + BesidePrefix(FTarget) + "old-XXXXXX";
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = RandomName(pattern);
    if (FileOps().Link(FTarget, name) == 0) {
      FOldPath.swap(name);
      FOldIsCopy = false;
      return;
    }
    if (errno != EEXIST) break;
  }
  // Some file systems have no hard links: a copy does the same, more slowly.
  if (!FTargetRegular) Fail(taReplace, errno);
  CopyOldVersion();
  // Put back by a rename, so it must look like the file it stands for.
  const int handle = FileOps().Open(FOldPath, O_RDONLY | O_NOCTTY);
  const bool same = handle >= 0 && (::geteuid() != 0 || FileOps().Chown(handle, FOwner, FGroup) == 0) &&
                    FileOps().Chmod(handle, FMode) == 0;
  const int error = errno;
  if (handle >= 0) FileOps().Close(handle);
  if (!same) {
    DropOldVersion();
    Fail(taReplace, error);
  }
}

void TFileReplacer::CopyOldVersion() {
  std::string copy;
  THandle handle(MakeTempFile("old", copy));
  FOldPath.swap(copy);
  FOldIsCopy = true;
  try {
    THandle source(OpenTarget(O_RDONLY));
    FOldSize = CopyFileInto(source.Get(), FTarget, handle.Get(), FOldPath);
    if (FileOps().Fsync(handle.Get()) != 0) FailWriting(FOldPath, errno);
    if (const int error = handle.Close()) FailWriting(FOldPath, error);
    // Its name too must survive a power cut before the file is overwritten.
    SyncFolder(FolderOf(FOldPath));
  } catch (...) {
    DropOldVersion();
    throw;
  }
}

// The target, opened without waiting should it have become a pipe or a device since
// it was looked at, and only while it is still that regular file.
int TFileReplacer::OpenTarget(int flags) {
  const int handle = FileOps().Open(FTarget, flags | O_NONBLOCK | O_NOCTTY);
  if (handle < 0) Fail(flags == O_RDONLY ? taRead : taWrite, errno);
  struct stat info {};
  if (::fstat(handle, &info) != 0 || !S_ISREG(info.st_mode) || info.st_dev != FDevice || info.st_ino != FInode) {
    FileOps().Close(handle);
    throw EFileError(TrFormat("Cannot write \"%1\": it was replaced by another file while it was written", {FPath}));
  }
  return handle;
}

// Copies through a block on the stack: putting an old version back must work when
// memory has run out. Returns the number of bytes copied.
int64_t TFileReplacer::CopyFileInto(int source, const std::string& sourceName, int target,
                                    const std::string& targetName) {
  char block[64 * 1024];
  int64_t total = 0;
  for (;;) {
    const ssize_t got = FileOps().Read(source, block, sizeof(block));
    if (got < 0) {
      if (errno == EINTR) continue;
      if (sourceName == FTarget) Fail(taRead, errno);
      FailWriting(sourceName, errno);
    }
    if (got == 0) return total;
    WriteAll(target, block, static_cast<size_t>(got), targetName);
    total += got;
  }
}

void TFileReplacer::OverwriteInPlace() {
  CopyOldVersion();
  int opened = -1;
  try {
    if (FOptions.OnOldCopy) FOptions.OnOldCopy(FPath, FOldPath);
    opened = OpenTarget(O_WRONLY);
  } catch (...) {
    DropOldVersion();
    throw;
  }
  THandle target(opened);
  // Room for the whole new version first, so a full disk stops us before any byte
  // of the file changes. Where reserving is not supported we go on: the copy is kept.
  if (FileOps().Reserve(target.Get(), static_cast<off_t>(FNewSize)) != 0 && errno != EOPNOTSUPP && errno != ENOSYS) {
    const int error = errno;
    target.Close();
    DropOldVersion();
    Fail(taWrite, error);
  }
  try {
    if (FileOps().Seek(target.Get(), 0) != 0) Fail(taWrite, errno);
    THandle source(FileOps().Open(FNewPath, O_RDONLY | O_NOCTTY));
    if (source.Get() < 0) FailWriting(FNewPath, errno);
    CopyFileInto(source.Get(), FNewPath, target.Get(), FTarget);
    if (FileOps().Truncate(target.Get(), static_cast<off_t>(FNewSize)) != 0) Fail(taWrite, errno);
    if (FileOps().Fsync(target.Get()) != 0) Fail(taWrite, errno);
    if (const int error = target.Close()) Fail(taWrite, error);
  } catch (...) {
    target.Close();
    // Put back before anything else is asked of memory; the copy stays where it was
    // announced when that fails.
    const bool back = PutOldVersionBack();
    if (back) {
      DropOldVersion();
    } else {
      FKeepOld = true;
    }
    try {
      throw;
    } catch (const EFileError& error) {
      if (back) throw EFileError(TrFormat("%1; the file was put back as it was", {error.Message()}));
      throw EFileError(
          TrFormat("%1; the old version could not be put back and is kept as \"%2\"", {error.Message(), FOldPath}));
    }
  }
  FStage = tsReplaced;
  FileOps().Unlink(FNewPath);
  FNewPath.clear();
}

bool TFileReplacer::PutOldVersionBack() {
  try {
    THandle target(FileOps().Open(FTarget, O_WRONLY | O_NONBLOCK | O_NOCTTY));
    THandle source(FileOps().Open(FOldPath, O_RDONLY | O_NOCTTY));
    if (target.Get() < 0 || source.Get() < 0 || FileOps().Seek(target.Get(), 0) != 0) return false;
    // The copy's own length: the file may have changed between our first look and the copy.
    const int64_t copied = CopyFileInto(source.Get(), FOldPath, target.Get(), FTarget);
    return copied == FOldSize && FileOps().Truncate(target.Get(), static_cast<off_t>(copied)) == 0 &&
           FileOps().Fsync(target.Get()) == 0 && target.Close() == 0;
  } catch (...) {
    return false;
  }
}

void TFileReplacer::DropOldVersion() {
  if (FOldPath.empty()) return;
  // Our own name for it, but a sticky folder or a lost permission can still refuse.
  if (FileOps().Unlink(FOldPath) != 0 && errno != ENOENT) FUnremoved.swap(FOldPath);
  FOldPath.clear();
}

void TFileReplacer::Restore() {
  if (FStage != tsReplaced) return;
  FStage = tsSettled;
  if (FInPlace) {
    if (!PutOldVersionBack()) {
      FKeepOld = true;
      throw EFileError(TrFormat("Cannot put back the old version of \"%1\"; it is kept as \"%2\"", {FPath, FOldPath}));
    }
    DropOldVersion();
    return;
  }
  if (FOldPath.empty()) {
    if (!FTargetExists && FileOps().Unlink(FTarget) != 0 && errno != ENOENT) {
      throw EFileError(TrFormat("Cannot remove the new file \"%1\": %2", {FPath, SystemErrorText(errno)}));
    }
    return;
  }
  if (FileOps().Rename(FOldPath, FTarget) != 0) {
    const int error = errno;
    FKeepOld = true;
    throw EFileError(TrFormat("Cannot put back the old version of \"%1\" (%2); it is kept as \"%3\"",
                              {FPath, SystemErrorText(error), FOldPath}));
  }
  FOldPath.clear();
  SyncFolder(FFolder);
}

bool TFileReplacer::Release() {
  if (FStage != tsReplaced) return true;
  FStage = tsSettled;
  if (FOldPath.empty()) return true;
  if (FileOps().Unlink(FOldPath) != 0 && errno != ENOENT) return false;
  FOldPath.clear();
  return true;
}

void WriteFileReplacing(const std::string& path, std::string_view bytes) {
  TFileReplacer replacer(path);
  replacer.Write(bytes);
  replacer.Commit();
}

std::vector<std::string> FindLeftovers(const std::string& path) {
  std::vector<std::string> found;
  const std::string target = FollowLinks(path);
  const auto collect = [&](const std::string& folder, const std::vector<std::string>& prefixes) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return;
    while (const dirent* entry = ::readdir(dir)) {
      const std::string_view name = entry->d_name;
      for (const std::string& prefix : prefixes) {
        if (name.substr(0, prefix.size()) == prefix) found.push_back(folder + std::string(name));
      }
    }
    ::closedir(dir);
  };
  collect(FolderOf(target), {BesidePrefix(target)});
  if (TempFolder() != FolderOf(target)) {
    collect(TempFolder(), {TempFolderPrefix("old", target), TempFolderPrefix("new", target)});
  }
  std::sort(found.begin(), found.end());
  return found;
}

}  // namespace plomaret
