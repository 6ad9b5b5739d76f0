#include "TextFileReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "Exceptions.h"
#include "FileOps.h"
#include "Translate.h"

namespace plomaret {

TTextFileReader::TTextFileReader(std::string path, size_t blockSize)
    : FPath(std::move(path)), FBlockSize(blockSize == 0 ? kDefaultBlockSize : blockSize) {
  // Without O_NONBLOCK opening a pipe would wait for a writer; it is refused below.
  FHandle = FileOps().Open(FPath, O_RDONLY | O_NONBLOCK | O_NOCTTY);
  if (FHandle < 0) {
    throw EFileError(TrFormat("Cannot open \"%1\": %2", {FPath, SystemErrorText(errno)}));
  }
  struct stat info {};
  if (::fstat(FHandle, &info) != 0) {
    int error = errno;
    FileOps().Close(FHandle);
    throw EFileError(TrFormat("Cannot read \"%1\": %2", {FPath, SystemErrorText(error)}));
  }
  if (S_ISDIR(info.st_mode)) {
    FileOps().Close(FHandle);
    throw EFileError(TrFormat("Cannot open \"%1\": it is a folder, not a file", {FPath}));
  }
  if (!S_ISREG(info.st_mode)) {
    FileOps().Close(FHandle);
    throw EFileError(TrFormat("Cannot open \"%1\": it is not a regular file (a pipe, a socket or a device)", {FPath}));
  }
  FSize = info.st_size;
  FStamp = {info.st_dev, info.st_ino, info.st_size, info.st_mtim.tv_sec, info.st_mtim.tv_nsec};
  if (info.st_size > kMaxFileSize) {
    FileOps().Close(FHandle);
    throw EFileError(TrPlural(info.st_size, "\"%1\" is too large to open: %n byte, the limit is 2 GiB",
                              "\"%1\" is too large to open: %n bytes, the limit is 2 GiB", {FPath}));
  }
}

TTextFileReader::~TTextFileReader() {
  if (FHandle >= 0) FileOps().Close(FHandle);
}

// A rewrite of what was read would lose what another program added meanwhile.
void TTextFileReader::CheckUnchanged() const {
  struct stat open {
  }, named{};
  const bool same =
      ::fstat(FHandle, &open) == 0 && ::stat(FPath.c_str(), &named) == 0 &&
      TStamp{named.st_dev, named.st_ino, open.st_size, open.st_mtim.tv_sec, open.st_mtim.tv_nsec} == FStamp;
  if (!same) {
    throw EFileError(TrFormat(
        "\"%1\" changed while it was read (another program is writing it); try again when it is done.", {FPath}));
  }
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
    throw EFileError(TrFormat("Cannot read \"%1\": %2", {FPath, SystemErrorText(errno)}));
  }
  std::unique_ptr<char[]> block(new char[FBlockSize]);
  int64_t total = 0;
  for (;;) {
    ssize_t got = FileOps().Read(FHandle, block.get(), FBlockSize);
    if (got < 0) {
      if (errno == EINTR) continue;
      throw EFileError(TrFormat("Cannot read \"%1\": %2", {FPath, SystemErrorText(errno)}));
    }
    if (got == 0) break;
    total += got;
    if (total > kMaxFileSize) {  // it grew while we read it
      throw EFileError(TrFormat("\"%1\" is too large to open: the limit is 2 GiB", {FPath}));
    }
    if (!onBlock(block.get(), static_cast<size_t>(got))) break;
  }
  CheckUnchanged();
}

void TTextFileReader::ThrowZeroByte(int64_t offset) const {
  throw EFileError(
      TrFormat("\"%1\" is not a text file: it has a zero byte at offset %2. Binary files cannot be edited as text.",
               {FPath, std::to_string(offset)}));
}

}  // namespace plomaret
