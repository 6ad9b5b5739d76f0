#pragma once
// Splitting text into lines, block by block.
//
// CR LF, a lone CR and a lone LF each end a line (LF then CR is two line ends). A CR
// at the end of one block and an LF at the start of the next are one line end. A
// zero byte ends the text (the file reader turns it into an error: such a file is
// binary), and in a file so does byte 26 (Ctrl+Z); text held in memory keeps its
// byte 26 as an ordinary byte. A line end at the very end of the text adds no empty
// line.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace plomaret {

// First byte in [begin, end) that is 0, LF, CR or 26; end when there is none.
const char* FindLineBreakOrEnd(const char* begin, const char* end);

class TLineSplitter {
 public:
  enum TStop { spNone, spCtrlZ, spZeroByte };

  // endAtCtrlZ: byte 26 ends the text, as it does in a file.
  explicit TLineSplitter(bool endAtCtrlZ = true) : FEndAtCtrlZ(endAtCtrlZ) {}

  // Feeds the next block. For every line completed in it, calls sink(std::string_view):
  // the view is valid only during the call. Returns false once the text has ended;
  // later blocks are then ignored.
  template <class Sink>
  bool Feed(const char* data, size_t size, Sink&& sink);

  // The input is over: hands on a last line that had no line end.
  template <class Sink>
  void Finish(Sink&& sink);

  TStop Stop() const { return FStop; }
  // Offset of the byte 26 or zero byte that ended the text (when Stop() says so).
  int64_t StopOffset() const { return FStopOffset; }
  int64_t LineCount() const { return FLineCount; }
  // After Finish: whether the last line had a line end. True for an empty text.
  bool FinalLineEnded() const { return FFinalLineEnded; }

 private:
  std::string FCarry;  // the start of a line that began in an earlier block
  int64_t FOffset = 0;  // offset of the current block in the whole text
  int64_t FLineCount = 0;
  int64_t FStopOffset = -1;
  TStop FStop = spNone;
  bool FPendingCR = false;  // the last block ended with CR: skip an LF at the next start
  bool FFinished = false;
  bool FFinalLineEnded = true;
  bool FEndAtCtrlZ;
};

template <class Sink>
bool TLineSplitter::Feed(const char* data, size_t size, Sink&& sink) {
  if (FStop != spNone || FFinished) return false;
  const char* pos = data;
  const char* const end = data + size;
  if (FPendingCR && pos < end) {
    FPendingCR = false;
    if (*pos == '\n') ++pos;
  }
  while (pos < end) {
    const char* hit = FindLineBreakOrEnd(pos, end);
    if (hit == end) {
      FCarry.append(pos, static_cast<size_t>(end - pos));
      break;
    }
    const char found = *hit;
    if (found == '\x1a' && !FEndAtCtrlZ) {
      FCarry.append(pos, static_cast<size_t>(hit + 1 - pos));  // an ordinary byte here
      pos = hit + 1;
      continue;
    }
    if (found == '\x1a' || found == '\0') {
      FCarry.append(pos, static_cast<size_t>(hit - pos));
      FStop = found == '\0' ? spZeroByte : spCtrlZ;
      FStopOffset = FOffset + (hit - data);
      FOffset += static_cast<int64_t>(size);
      return false;
    }
    if (FCarry.empty()) {
      sink(std::string_view(pos, static_cast<size_t>(hit - pos)));
    } else {
      FCarry.append(pos, static_cast<size_t>(hit - pos));
      sink(std::string_view(FCarry));
      FCarry.clear();
    }
    ++FLineCount;
    pos = hit + 1;
    if (found == '\r') {
      if (pos == end) {
        FPendingCR = true;
      } else if (*pos == '\n') {
        ++pos;
      }
    }
  }
  FOffset += static_cast<int64_t>(size);
  return true;
}

template <class Sink>
void TLineSplitter::Finish(Sink&& sink) {
  if (FFinished) return;
  FFinished = true;
  FFinalLineEnded = FCarry.empty();
  if (!FCarry.empty()) {
    sink(std::string_view(FCarry));
    ++FLineCount;
    FCarry.clear();
  }
}

// Counts the lines TLineSplitter (ending at byte 26) would hand on, block by block,
// without handing them on: sixteen bytes at a time where no line is carried over.
class TLineCounter {
 public:
  // Returns false once the text has ended (a zero byte or byte 26).
  bool Feed(const char* data, size_t size);

  TLineSplitter::TStop Stop() const { return FStop; }
  int64_t StopOffset() const { return FStopOffset; }
  // Once fed: the lines so far, the last one counted even without a line end.
  int64_t LineCount() const { return FLineEnds + (FInLine ? 1 : 0); }
  bool FinalLineEnded() const { return !FInLine; }

 private:
  // One byte; false when it ends the text.
  bool FeedByte(char byte, int64_t offset);

  int64_t FOffset = 0;
  int64_t FLineEnds = 0;
  int64_t FStopOffset = -1;
  TLineSplitter::TStop FStop = TLineSplitter::spNone;
  bool FAfterCR = false;  // the last byte was CR: an LF now is part of its line end
  bool FInLine = false;   // bytes have come since the last line end
};

// Splits a whole text held in memory (a zero byte ends it; byte 26 does not); calls
// sink(line) for each line. Returns whether the last line had a line end.
template <class Sink>
bool SplitLines(std::string_view text, Sink&& sink) {
  TLineSplitter splitter(false);
  splitter.Feed(text.data(), text.size(), sink);
  splitter.Finish(sink);
  return splitter.FinalLineEnded();
}

}  // namespace plomaret
