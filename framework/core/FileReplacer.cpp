#include "FileReplacer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "Exceptions.h"

namespace plomaret {

namespace {

constexpr size_t kBufferSize = 1 << 20;

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
  throw EFileError("Cannot write \"" + path + "\": too many levels of symbolic links");
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

}  // namespace

TFileReplacer::TFileReplacer(std::string path) : FPath(std::move(path)) {
  if (FPath.empty()) throw EFileError("Cannot write a file without a name");
  FTarget = FollowLinks(FPath);
  struct stat info {};
  if (::stat(FTarget.c_str(), &info) == 0) {
    if (S_ISDIR(info.st_mode)) {
      throw EFileError("Cannot write \"" + FPath + "\": it is a folder");
    }
    FTargetExists = true;
    FMode = info.st_mode & 07777;
    FOwner = info.st_uid;
    FGroup = info.st_gid;
    FInPlace = !S_ISREG(info.st_mode) || info.st_nlink > 1;
  } else if (errno != ENOENT) {
    Fail("write", errno);
  } else {
    FMode = 0666 & ~CurrentUmask();
  }
  const std::string folder = FolderOf(FTarget);
  if (::access(folder.c_str(), W_OK) != 0) {
    if (!FTargetExists) Fail("write", errno);
    FInPlace = true;
  }
  if (FInPlace && ::access(FTarget.c_str(), W_OK) != 0) Fail("write", errno);

  std::string pattern = FInPlace ? TempFolder() + "plomaret-save-XXXXXX" : folder + "." + NameOf(FTarget) + ".XXXXXX";
  FHandle = ::mkstemp(pattern.data());
  if (FHandle < 0) Fail("write", errno);
  FTempPath = pattern;
  FBuffer.reserve(kBufferSize);
}

TFileReplacer::~TFileReplacer() {
  if (FHandle >= 0) ::close(FHandle);
  if (!FTempPath.empty() && !FCommitted) ::unlink(FTempPath.c_str());
}

void TFileReplacer::Fail(const std::string& action, int error) const {
  throw EFileError("Cannot " + action + " \"" + FPath + "\": " + std::strerror(error));
}

void TFileReplacer::WriteAll(int handle, const char* data, size_t size, const std::string& what) {
  while (size > 0) {
    ssize_t written = ::write(handle, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      Fail(what, errno);
    }
    data += written;
    size -= static_cast<size_t>(written);
  }
}

void TFileReplacer::Write(std::string_view bytes) {
  if (FFinished) throw EFileError("Cannot write \"" + FPath + "\": the new version is already finished");
  if (FBuffer.size() + bytes.size() > kBufferSize) {
    FlushBuffer();
    if (bytes.size() >= kBufferSize) {
      WriteAll(FHandle, bytes.data(), bytes.size(), "write");
      return;
    }
  }
  FBuffer.append(bytes);
}

void TFileReplacer::FlushBuffer() {
  WriteAll(FHandle, FBuffer.data(), FBuffer.size(), "write");
  FBuffer.clear();
}

void TFileReplacer::Finish() {
  if (FFinished) return;
  FlushBuffer();
  if (!FInPlace) {
    if (::fchmod(FHandle, FMode) != 0) Fail("write", errno);
    // Only root may give a file away; for others the owner stays who saves.
    if (FTargetExists && ::geteuid() == 0 && ::fchown(FHandle, FOwner, FGroup) != 0) Fail("write", errno);
  }
  if (::fsync(FHandle) != 0) Fail("write", errno);
  if (::close(FHandle) != 0) {
    FHandle = -1;
    Fail("write", errno);
  }
  FHandle = -1;
  FFinished = true;
}

void TFileReplacer::CopyIntoTarget() {
  int source = ::open(FTempPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (source < 0) Fail("write", errno);
  int target = ::open(FTarget.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  if (target < 0) {
    int error = errno;
    ::close(source);
    Fail("write", error);
  }
  std::string block(kBufferSize, '\0');
  try {
    for (;;) {
      ssize_t got = ::read(source, block.data(), block.size());
      if (got < 0) {
        if (errno == EINTR) continue;
        Fail("write", errno);
      }
      if (got == 0) break;
      WriteAll(target, block.data(), static_cast<size_t>(got), "write");
    }
    if (::fsync(target) != 0) Fail("write", errno);
  } catch (...) {
    ::close(source);
    ::close(target);
    throw;
  }
  ::close(source);
  if (::close(target) != 0) Fail("write", errno);
}

void TFileReplacer::Commit() {
  if (FCommitted) return;
  Finish();
  if (FInPlace) {
    CopyIntoTarget();
    ::unlink(FTempPath.c_str());
  } else if (::rename(FTempPath.c_str(), FTarget.c_str()) != 0) {
    Fail("replace", errno);
  }
  FCommitted = true;
}

void WriteFileReplacing(const std::string& path, std::string_view bytes) {
  TFileReplacer replacer(path);
  replacer.Write(bytes);
  replacer.Commit();
}

}  // namespace plomaret
