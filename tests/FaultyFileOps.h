#pragma once
// File operations that fail, or kill the process, or run out of memory, at the Nth
// of the calls a full or failing disk can refuse (write, fsync, rename, link,
// reserve, truncate), that can say a folder is not writable (to take the in-place
// path even as root), and that can record every operation in order.

#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <map>
#include <new>
#include <set>
#include <string>
#include <vector>

#include "framework/core/FileOps.h"

namespace plomaret::testing {

// One file operation as done: what, on which file (and to which, for rename and link).
struct TFileOp {
  std::string Op;
  std::string Path;
  std::string To;
};

class TFaultyFileOps : public TFileOps {
 public:
  // fkBadAlloc: the step is not done and std::bad_alloc is thrown instead, as when an
  // allocation just before it fails.
  enum TFault { fkError, fkKill, fkBadAlloc };

  // faultAt is 1-based; 0 only counts the calls.
  explicit TFaultyFileOps(int faultAt = 0, int error = EIO, TFault fault = fkError)
      : FFaultAt(faultAt), FError(error), FFault(fault) {}

  int Calls() const { return FCalls; }
  bool Faulted() const { return FFaulted; }
  // Folders (with their final "/") reported as not writable.
  std::set<std::string> NotWritable;
  // Where every operation is recorded, when set.
  std::vector<TFileOp>* Log = nullptr;

  int Access(const std::string& path, int mode) override {
    std::string folder = path;
    if (folder.empty() || folder.back() != '/') folder += '/';
    if ((mode & W_OK) != 0 && NotWritable.count(folder) > 0) {
      errno = EACCES;
      return -1;
    }
    return TFileOps::Access(path, mode);
  }
  int Open(const std::string& path, int flags, mode_t mode) override {
    return Opened("open", path, TFileOps::Open(path, flags, mode));
  }
  int MakeTemp(std::string& pattern) override {
    const int handle = TFileOps::MakeTemp(pattern);
    return Opened("maketemp", pattern, handle);
  }
  ssize_t Write(int handle, const void* data, size_t size) override {
    Record("write", handle);
    return Hit() ? Refuse() : TFileOps::Write(handle, data, size);
  }
  int Fsync(int handle) override {
    Record("fsync", handle);
    return Hit() ? Refuse() : TFileOps::Fsync(handle);
  }
  int SyncFolder(const std::string& folder) override {
    Record("syncfolder", folder);
    return TFileOps::SyncFolder(folder);
  }
  int Close(int handle) override {
    Record("close", handle);
    FNames.erase(handle);
    return TFileOps::Close(handle);
  }
  int Reserve(int handle, off_t length) override {
    Record("reserve", handle);
    return Hit() ? Refuse() : TFileOps::Reserve(handle, length);
  }
  int Truncate(int handle, off_t length) override {
    Record("truncate", handle);
    return Hit() ? Refuse() : TFileOps::Truncate(handle, length);
  }
  int Rename(const std::string& from, const std::string& to) override {
    Record("rename", from, to);
    return Hit() ? Refuse() : TFileOps::Rename(from, to);
  }
  int Link(const std::string& from, const std::string& to) override {
    Record("link", from, to);
    return Hit() ? Refuse() : TFileOps::Link(from, to);
  }
  int Unlink(const std::string& path) override {
    Record("unlink", path);
    return TFileOps::Unlink(path);
  }

 private:
  bool Hit() {
    if (++FCalls != FFaultAt) return false;
    if (FFault == fkKill) ::kill(::getpid(), SIGKILL);
    FFaulted = true;
    if (FFault == fkBadAlloc) throw std::bad_alloc();
    return true;
  }
  int Refuse() const {
    errno = FError;
    return -1;
  }
  int Opened(const char* op, const std::string& path, int handle) {
    const int error = errno;
    if (handle >= 0) {
      FNames[handle] = path;
      Record(op, path);
    }
    errno = error;
    return handle;
  }
  void Record(const char* op, const std::string& path, const std::string& to = {}) {
    if (Log != nullptr) Log->push_back({op, path, to});
  }
  void Record(const char* op, int handle) {
    const auto name = FNames.find(handle);
    Record(op, name != FNames.end() ? name->second : "handle " + std::to_string(handle));
  }

  int FFaultAt;
  int FError;
  TFault FFault;
  int FCalls = 0;
  bool FFaulted = false;
  std::map<int, std::string> FNames;  // open handles, for the log
};

}  // namespace plomaret::testing
