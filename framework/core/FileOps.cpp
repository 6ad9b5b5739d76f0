#include "FileOps.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "Translate.h"

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

std::string SystemErrorText(int error) {
  if (Language() != lnJapanese) return std::strerror(error);
  switch (error) {
    case ENOENT: return Tr("No such file or directory");
    case EACCES: return Tr("Permission denied");
    case EPERM: return Tr("Operation not permitted");
    case ENOSPC: return Tr("No space left on device");
    case EDQUOT: return Tr("Disk quota exceeded");
    case EROFS: return Tr("Read-only file system");
    case EISDIR: return Tr("Is a directory");
    case ENOTDIR: return Tr("Not a directory");
    case EEXIST: return Tr("File exists");
    case EIO: return Tr("Input/output error");
    case EMLINK: return Tr("Too many links");
    case ETXTBSY: return Tr("Text file busy");
    case ENAMETOOLONG: return Tr("File name too long");
    case ELOOP: return Tr("Too many levels of symbolic links");
    case EXDEV: return Tr("Invalid cross-device link");
    case EBUSY: return Tr("Device or resource busy");
    case EFBIG: return Tr("File too large");
    case ENOMEM: return Tr("Cannot allocate memory");
    case EMFILE: return Tr("Too many open files");
    case ENFILE: return Tr("Too many open files in system");
    case EINVAL: return Tr("Invalid argument");
    case EAGAIN: return Tr("Resource temporarily unavailable");
    case EOPNOTSUPP: return Tr("Operation not supported");
    case ENXIO: return Tr("No such device or address");
    case ESTALE: return Tr("Stale file handle");
    default: return std::strerror(error);
  }
}

}  // namespace plomaret
