#include "TextFileReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "Exceptions.h"

namespace plomaret {

namespace {

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

}  // namespace

TTextFileReader::TTextFileReader(std::string path, size_t blockSize)
    : FPath(std::move(path)), FBlockSize(blockSize == 0 ? kDefaultBlockSize : blockSize) {
  FHandle = ::open(FPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (FHandle < 0) {
    throw EFileError("Cannot open " + Quoted(FPath) + ": " + std::strerror(errno));
  }
  struct stat info {};
  if (::fstat(FHandle, &info) != 0) {
    int error = errno;
    ::close(FHandle);
    throw EFileError("Cannot read " + Quoted(FPath) + ": " + std::strerror(error));
  }
  if (S_ISDIR(info.st_mode)) {
    ::close(FHandle);
    throw EFileError("Cannot open " + Quoted(FPath) + ": it is a folder, not a file");
  }
  FSize = info.st_size;
  if (info.st_size > kMaxFileSize) {
    ::close(FHandle);
    throw EFileError(Quoted(FPath) + " is too large to open: " + std::to_string(info.st_size) +
                     " bytes, the limit is 2 GiB");
  }
}

TTextFileReader::~TTextFileReader() {
  if (FHandle >= 0) ::close(FHandle);
}

TTextFileShape TTextFileReader::Count() {
  TLineCounter counter;
  ReadBlocks([&](const char* data, size_t size) { return counter.Feed(data, size); });
  if (counter.Stop() == TLineSplitter::spZeroByte) ThrowZeroByte(counter.StopOffset());
  const bool endMark = counter.Stop() == TLineSplitter::spCtrlZ;
  return {counter.LineCount(), counter.FinalLineEnded(), endMark ? counter.StopOffset() : -1};
}

void TTextFileReader::ReadBlocks(const std::function<bool(const char*, size_t)>& onBlock) {
  if (::lseek(FHandle, 0, SEEK_SET) < 0) {
    throw EFileError("Cannot read " + Quoted(FPath) + ": " + std::strerror(errno));
  }
  std::unique_ptr<char[]> block(new char[FBlockSize]);
  int64_t total = 0;
  for (;;) {
    ssize_t got = ::read(FHandle, block.get(), FBlockSize);
    if (got < 0) {
      if (errno == EINTR) continue;
      throw EFileError("Cannot read " + Quoted(FPath) + ": " + std::strerror(errno));
    }
    if (got == 0) return;
    total += got;
    if (total > kMaxFileSize) {  // it grew while we read it
      throw EFileError(Quoted(FPath) + " is too large to open: the limit is 2 GiB");
    }
    if (!onBlock(block.get(), static_cast<size_t>(got))) return;
  }
}

void TTextFileReader::ThrowZeroByte(int64_t offset) const {
  throw EFileError(Quoted(FPath) + " is not a text file: it has a zero byte at offset " +
                   std::to_string(offset) + ". Binary files cannot be edited as text.");
}

}  // namespace plomaret
