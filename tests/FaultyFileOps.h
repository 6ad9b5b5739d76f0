#pragma once
// File operations that fail, or kill the process, at the Nth of the calls a full or
// failing disk can refuse (write, fsync, rename, link, reserve, truncate), and that
// can say a folder is not writable (to take the in-place path even as root).

#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <set>
#include <string>

#include "framework/core/FileOps.h"

namespace plomaret::testing {

class TFaultyFileOps : public TFileOps {
 public:
  enum TFault { fkError, fkKill };

  // faultAt is 1-based; 0 only counts the calls.
  explicit TFaultyFileOps(int faultAt = 0, int error = EIO, TFault fault = fkError)
      : FFaultAt(faultAt), FError(error), FFault(fault) {}

  int Calls() const { return FCalls; }
  bool Faulted() const { return FFaulted; }
  // Folders (with their final "/") reported as not writable.
  std::set<std::string> NotWritable;

  int Access(const std::string& path, int mode) override {
    std::string folder = path;
    if (folder.empty() || folder.back() != '/') folder += '/';
    if ((mode & W_OK) != 0 && NotWritable.count(folder) > 0) {
      errno = EACCES;
      return -1;
    }
    return TFileOps::Access(path, mode);
  }
  ssize_t Write(int handle, const void* data, size_t size) override {
    return Hit() ? Refuse() : TFileOps::Write(handle, data, size);
  }
  int Fsync(int handle) override { return Hit() ? Refuse() : TFileOps::Fsync(handle); }
  int Reserve(int handle, off_t length) override { return Hit() ? Refuse() : TFileOps::Reserve(handle, length); }
  int Truncate(int handle, off_t length) override { return Hit() ? Refuse() : TFileOps::Truncate(handle, length); }
  int Rename(const std::string& from, const std::string& to) override {
    return Hit() ? Refuse() : TFileOps::Rename(from, to);
  }
  int Link(const std::string& from, const std::string& to) override {
    return Hit() ? Refuse() : TFileOps::Link(from, to);
  }

 private:
  bool Hit() {
    if (++FCalls != FFaultAt) return false;
    if (FFault == fkKill) ::kill(::getpid(), SIGKILL);
    FFaulted = true;
    return true;
  }
  int Refuse() const {
    errno = FError;
    return -1;
  }

  int FFaultAt;
  int FError;
  TFault FFault;
  int FCalls = 0;
  bool FFaulted = false;
};

}  // namespace plomaret::testing
