#include "FileOps.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace plomaret {

namespace {

TFileOps& SystemOps() {
  static TFileOps ops;
  return ops;
}

TFileOps* gCurrent = nullptr;

}  // namespace

int TFileOps::Access(const std::string& path, int mode) { return ::access(path.c_str(), mode); }

int TFileOps::Open(const std::string& path, int flags, mode_t mode) {
  return ::open(path.c_str(), flags | O_CLOEXEC, mode);
}

int TFileOps::MakeTemp(std::string& pattern) { return ::mkostemp(pattern.data(), O_CLOEXEC); }

ssize_t TFileOps::Read(int handle, void* data, size_t size) { return ::read(handle, data, size); }

ssize_t TFileOps::Write(int handle, const void* data, size_t size) { return ::write(handle, data, size); }

int TFileOps::Fsync(int handle) { return ::fsync(handle); }

int TFileOps::SyncFolder(const std::string& folder) {
  const int handle = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (handle < 0) return -1;
  const int result = ::fsync(handle);
  const int error = errno;
  ::close(handle);
  errno = error;
  return result;
}

int TFileOps::Close(int handle) { return ::close(handle); }

int TFileOps::Reserve(int handle, off_t length) {
  if (length <= 0) return 0;
  return ::fallocate(handle, FALLOC_FL_KEEP_SIZE, 0, length);
}

int TFileOps::Truncate(int handle, off_t length) { return ::ftruncate(handle, length); }

int TFileOps::Seek(int handle, off_t offset) { return ::lseek(handle, offset, SEEK_SET) < 0 ? -1 : 0; }

int TFileOps::Chmod(int handle, mode_t mode) { return ::fchmod(handle, mode); }

int TFileOps::Chown(int handle, uid_t owner, gid_t group) { return ::fchown(handle, owner, group); }

int TFileOps::Rename(const std::string& from, const std::string& to) { return ::rename(from.c_str(), to.c_str()); }

int TFileOps::Link(const std::string& from, const std::string& to) { return ::link(from.c_str(), to.c_str()); }

int TFileOps::Unlink(const std::string& path) { return ::unlink(path.c_str()); }

TFileOps& FileOps() { return gCurrent != nullptr ? *gCurrent : SystemOps(); }

TScopedFileOps::TScopedFileOps(TFileOps& ops) : FPrevious(gCurrent) { gCurrent = &ops; }

TScopedFileOps::~TScopedFileOps() { gCurrent = FPrevious; }

}  // namespace plomaret
