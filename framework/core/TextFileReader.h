#pragma once
// Reading a text file as lines, in two passes over fixed-size blocks.
//
// The first pass counts the lines and refuses what is not text (a zero byte, more
// than 2 GiB) before any line is handed on; the second pass hands on the lines. A
// caller can so size its storage once and fill it in place, and a failure never
// leaves half a document behind. Bytes are passed on exactly as they are. Only a
// regular file is read (a pipe is refused, never waited on), and a pass that finds
// the file changed since it was opened (grown, rewritten, replaced) fails, so that
// nothing read from it is saved over what another program wrote.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "LineSplitter.h"

namespace plomaret {

struct TTextFileShape {
  int64_t LineCount = 0;
  bool FinalLineEnded = true;  // false when the last line had no line end
  int64_t EndMarkOffset = -1;  // where byte 26 ended the text; -1: it did not
};

class TTextFileReader {
 public:
  static constexpr size_t kDefaultBlockSize = 256 * 1024;
  // Text offsets are 32-bit, so no text may be larger than this.
  static constexpr int64_t kMaxFileSize = 0x7FFFFFFF;

  // Opens the file for reading; throws EFileError naming it when that fails.
  explicit TTextFileReader(std::string path, size_t blockSize = kDefaultBlockSize);
  ~TTextFileReader();
  TTextFileReader(const TTextFileReader&) = delete;
  TTextFileReader& operator=(const TTextFileReader&) = delete;

  const std::string& Path() const { return FPath; }
  // The file's size when it was opened.
  int64_t Size() const { return FSize; }

  // First pass: counts the lines. Throws EFileError for a zero byte in the text.
  TTextFileShape Count();

  // Second pass (or the only one, for a caller that checked with Count first):
  // calls sink(std::string_view line) for every line. Also refuses a zero byte,
  // though lines before it have then been handed on.
  template <class Sink>
  TTextFileShape ReadLines(Sink&& sink) {
    TLineSplitter splitter;
    ReadBlocks([&](const char* data, size_t size) { return splitter.Feed(data, size, sink); });
    return Conclude(splitter, sink);
  }

  // Every byte of the file as it is (Ctrl+Z and all), block by block.
  template <class Sink>
  void CopyBytes(Sink&& sink) {
    ReadBlocks([&](const char* data, size_t size) {
      sink(std::string_view(data, size));
      return true;
    });
  }

 private:
  // Reads from the start in blocks; stops when onBlock returns false.
  void ReadBlocks(const std::function<bool(const char*, size_t)>& onBlock);
  void CheckUnchanged() const;
  void ThrowZeroByte(int64_t offset) const;

  template <class Sink>
  TTextFileShape Conclude(TLineSplitter& splitter, Sink& sink) {
    if (splitter.Stop() == TLineSplitter::spZeroByte) ThrowZeroByte(splitter.StopOffset());
    splitter.Finish(sink);
    const bool endMark = splitter.Stop() == TLineSplitter::spCtrlZ;
    return {splitter.LineCount(), splitter.FinalLineEnded(), endMark ? splitter.StopOffset() : -1};
  }

  std::string FPath;
  size_t FBlockSize;
  int64_t FSize = 0;
  int FHandle = -1;
  struct TStamp {
    uint64_t Device, Inode;
    int64_t Size, Seconds, Nanoseconds;
    bool operator==(const TStamp&) const = default;
  } FStamp{};
};

}  // namespace plomaret
