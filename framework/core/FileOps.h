#pragma once
// The system calls beneath file replacement, in one place so that a test can put a
// failing disk (or a kill) under any one of them. Each behaves as the call it is
// named after: -1 and errno on failure.

#include <sys/types.h>

#include <string>

namespace plomaret {

class TFileOps {
 public:
  virtual ~TFileOps() = default;

  virtual int Access(const std::string& path, int mode);
  virtual int Open(const std::string& path, int flags, mode_t mode = 0);
  // Creates a new file from a pattern ending in "XXXXXX"; the pattern becomes its name.
  virtual int MakeTemp(std::string& pattern);
  virtual ssize_t Read(int handle, void* data, size_t size);
  virtual ssize_t Write(int handle, const void* data, size_t size);
  virtual int Fsync(int handle);
  // Makes the names made or changed in a folder durable (a rename, a new file).
  virtual int SyncFolder(const std::string& folder);
  virtual int Close(int handle);
  // Reserves room for the first length bytes without changing the file's size.
  virtual int Reserve(int handle, off_t length);
  virtual int Truncate(int handle, off_t length);
  virtual int Seek(int handle, off_t offset);
  virtual int Chmod(int handle, mode_t mode);
  virtual int Chown(int handle, uid_t owner, gid_t group);
  virtual int Rename(const std::string& from, const std::string& to);
  virtual int Link(const std::string& from, const std::string& to);
  virtual int Unlink(const std::string& path);
};

// The operations in use: the system's, unless a test installed others.
TFileOps& FileOps();

// The system's reason for a failed call (errno), in the user's language: the C
// library's own text in English, ours in Japanese for the errors files meet.
std::string SystemErrorText(int error);

// Installs other operations for its lifetime.
class TScopedFileOps {
 public:
  explicit TScopedFileOps(TFileOps& ops);
  ~TScopedFileOps();
  TScopedFileOps(const TScopedFileOps&) = delete;
  TScopedFileOps& operator=(const TScopedFileOps&) = delete;

 private:
  TFileOps* FPrevious;
};

}  // namespace plomaret
