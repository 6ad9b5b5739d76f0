#include "Streams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <functional>
#include <new>
#include <stdexcept>

#include "Exceptions.h"
#include "FileReplacer.h"

namespace plomaret {

namespace {

constexpr const char* SSeekError = "Cannot move a stream before its start";
constexpr const char* SSizeError = "A stream cannot have a negative size";
constexpr const char* SMemoryError = "Out of memory while expanding memory stream";
constexpr int64_t kCopyBlock = 64 * 1024;
// One read() or write() call moves at most this much; larger counts loop.
constexpr int64_t kMaxTransfer = 1 << 30;

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

// New bytes, including the gap left by a seek past the end, are zeros.
void ResizeMemory(std::vector<unsigned char>& data, int64_t size) {
  try {
    if (static_cast<uint64_t>(size) > data.max_size()) throw std::length_error("");
    data.resize(static_cast<size_t>(size));
  } catch (const std::bad_alloc&) {
    throw EStreamError(SMemoryError);
  } catch (const std::length_error&) {
    throw EStreamError(SMemoryError);
  }
}

}  // namespace

// ---- TStream ----

int64_t TStream::SeekTarget(int64_t offset, TSeekOrigin origin, int64_t current, int64_t size) {
  int64_t base = 0;
  if (origin == soCurrent) base = current;
  if (origin == soEnd) base = size;
  int64_t target = 0;
  if (__builtin_add_overflow(base, offset, &target) || target < 0) throw EStreamError(SSeekError);
  return target;
}

int64_t TStream::Size() {
  const int64_t position = Seek(0, soCurrent);
  const int64_t size = Seek(0, soEnd);
  Seek(position, soBeginning);
  return size;
}

void TStream::ReadBuffer(void* buffer, int64_t count) {
  if (count != 0 && Read(buffer, count) != count) throw EStreamError(SReadError);
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
  if (count != 0 && Write(buffer, count) != count) throw EStreamError(SWriteError);
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
  if (count == 0) count = std::max<int64_t>(source.Size() - source.Position(), 0);
  if (count < 0) throw EStreamError(SReadError);
  std::vector<unsigned char> block(static_cast<size_t>(std::min(count, kCopyBlock)));
  for (int64_t left = count; left > 0;) {
    const int64_t part = std::min(left, kCopyBlock);
    source.ReadBuffer(block.data(), part);
    WriteBuffer(block.data(), part);
    left -= part;
  }
  return count;
}

// ---- TMemoryStream ----

int64_t TMemoryStream::Read(void* buffer, int64_t count) {
  const int64_t size = Size();
  if (count <= 0 || FPosition >= size) return 0;
  const int64_t moved = std::min(count, size - FPosition);
  // memmove: a stream may be read into its own memory.
  std::memmove(buffer, FData.data() + FPosition, static_cast<size_t>(moved));
  FPosition += moved;
  return moved;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
  if (count <= 0) return 0;
  int64_t end = 0;
  if (__builtin_add_overflow(FPosition, count, &end)) throw EStreamError(SMemoryError);
  const auto* source = static_cast<const unsigned char*>(buffer);
  if (end > Size()) {
    // Writing our own bytes: growing may move them.
    const unsigned char* start = FData.data();
    const bool own = !FData.empty() && std::less_equal<>()(start, source) && std::less<>()(source, start + FData.size());
    const size_t offset = own ? static_cast<size_t>(source - start) : 0;
    ResizeMemory(FData, end);
    if (own) source = FData.data() + offset;
  }
  std::memmove(FData.data() + FPosition, source, static_cast<size_t>(count));
  FPosition = end;
  return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
  FPosition = SeekTarget(offset, origin, FPosition, Size());
  return FPosition;
}


void TMemoryStream::SetSize(int64_t size) {
  if (size < 0) throw EStreamError(SSizeError);
  ResizeMemory(FData, size);
  FPosition = std::min(FPosition, size);
}

void TMemoryStream::Clear() {
  FData.clear();
  FData.shrink_to_fit();
  FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream& stream) {
  stream.SetPosition(0);
  const int64_t count = stream.Size();
  // Read into new memory first: a failed load leaves the old contents.
  std::vector<unsigned char> loaded;
  ResizeMemory(loaded, count);
  stream.ReadBuffer(loaded.data(), count);
  FData.swap(loaded);
  FPosition = std::min(FPosition, count);
}

void TMemoryStream::SaveToStream(TStream& stream) {
  stream.WriteBuffer(FData.data(), Size());
}

void TMemoryStream::LoadFromFile(const std::string& path) {
  TFileStream file(path, fmOpenRead);
  LoadFromStream(file);
}

void TMemoryStream::SaveToFile(const std::string& path) {
  WriteFileReplacing(path, std::string_view(reinterpret_cast<const char*>(FData.data()), FData.size()));
}

// ---- TFileStream ----

TFileStream::TFileStream(std::string path, TFileStreamMode mode) : FPath(std::move(path)), FMode(mode) {
  int flags = O_CLOEXEC;
  switch (mode) {
    case fmCreate: flags |= O_RDWR | O_CREAT | O_TRUNC; break;
    case fmOpenRead: flags |= O_RDONLY; break;
    case fmOpenReadWrite: flags |= O_RDWR; break;
  }
  const char* action = mode == fmCreate ? "Cannot create file " : "Cannot open file ";
  FHandle = ::open(FPath.c_str(), flags, 0666);
  if (FHandle < 0) throw EFileError(action + Quoted(FPath) + ": " + std::strerror(errno));
  struct stat info {};
  if (::fstat(FHandle, &info) != 0 || S_ISDIR(info.st_mode)) {
    const int error = errno;
    ::close(FHandle);
    FHandle = -1;
    const std::string reason = S_ISDIR(info.st_mode) ? "it is a folder" : std::strerror(error);
    throw EFileError(action + Quoted(FPath) + ": " + reason);
  }
}

TFileStream::~TFileStream() {
  if (FHandle >= 0) ::close(FHandle);
}

void TFileStream::Fail(const char* action, int error) const {
  throw EFileError(std::string("Cannot ") + action + " " + Quoted(FPath) + ": " + std::strerror(error));
}

int64_t TFileStream::Read(void* buffer, int64_t count) {
  auto* bytes = static_cast<unsigned char*>(buffer);
  int64_t moved = 0;
  while (moved < count) {
    const ssize_t got = ::read(FHandle, bytes + moved, static_cast<size_t>(std::min(count - moved, kMaxTransfer)));
    if (got < 0) {
      if (errno == EINTR) continue;
      Fail("read", errno);
    }
    if (got == 0) break;
    moved += got;
  }
  return moved;
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
  if (count <= 0) return 0;
  if (FMode == fmOpenRead) throw EFileError("Cannot write " + Quoted(FPath) + ": it is open for reading only");
  const auto* bytes = static_cast<const unsigned char*>(buffer);
  int64_t moved = 0;
  while (moved < count) {
    const ssize_t put = ::write(FHandle, bytes + moved, static_cast<size_t>(std::min(count - moved, kMaxTransfer)));
    if (put < 0) {
      if (errno == EINTR) continue;
      Fail("write", errno);
    }
    moved += put;
  }
  return moved;
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
  const off_t current = ::lseek(FHandle, 0, SEEK_CUR);
  if (current < 0) Fail("seek in", errno);
  if (origin == soCurrent && offset == 0) return current;
  int64_t size = 0;
  if (origin == soEnd) {
    struct stat info {};
    if (::fstat(FHandle, &info) != 0) Fail("seek in", errno);
    size = info.st_size;
  }
  const int64_t target = SeekTarget(offset, origin, current, size);
  const off_t reached = ::lseek(FHandle, target, SEEK_SET);
  if (reached < 0) Fail("seek in", errno);
  return reached;
}

void TFileStream::SetSize(int64_t size) {
  if (size < 0) throw EStreamError(SSizeError);
  if (FMode == fmOpenRead) throw EFileError("Cannot resize " + Quoted(FPath) + ": it is open for reading only");
  if (::ftruncate(FHandle, size) != 0) Fail("resize", errno);
  if (Position() > size) SetPosition(size);
}

}  // namespace plomaret
