// The block-wise line splitter, and the file reader over it, against a plain
// reference split, for random text and random block sizes.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "framework/core/Exceptions.h"
#include "framework/core/LineSplitter.h"
#include "framework/core/TextFileReader.h"

namespace {

struct TSplit {
  std::vector<std::string> Lines;
  bool FinalLineEnded = true;
  bool ZeroByte = false;
};

TSplit Reference(const std::string& text) {
  TSplit split;
  std::string line;
  size_t i = 0;
  for (; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\0') split.ZeroByte = true;
    if (c == '\0' || c == '\x1a') break;
    if (c == '\r' || c == '\n') {
      split.Lines.push_back(line);
      line.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      line += c;
    }
  }
  split.FinalLineEnded = line.empty();
  if (!line.empty()) split.Lines.push_back(line);
  return split;
}

std::string ScratchFile() {
  static std::string path = [] {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr ? tmp : "/tmp") + "/plomaret-fuzz-XXXXXX";
    int handle = ::mkstemp(pattern.data());
    if (handle >= 0) ::close(handle);
    std::atexit([] { ::unlink(path.c_str()); });
    return pattern;
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  // The first two bytes choose the block sizes; the rest is the text.
  const size_t blockSize = 1 + data[0] % 64;
  const size_t fileBlockSize = 1 + data[1] % 80;
  const std::string text(reinterpret_cast<const char*>(data) + 2, size - 2);
  const TSplit expected = Reference(text);

  plomaret::TLineSplitter splitter;
  std::vector<std::string> lines;
  auto sink = [&](std::string_view line) { lines.emplace_back(line); };
  for (size_t pos = 0; pos < text.size(); pos += blockSize) {
    if (!splitter.Feed(text.data() + pos, std::min(blockSize, text.size() - pos), sink)) break;
  }
  splitter.Finish(sink);
  FUZZ_CHECK(lines == expected.Lines);
  FUZZ_CHECK(splitter.FinalLineEnded() == expected.FinalLineEnded);
  FUZZ_CHECK((splitter.Stop() == plomaret::TLineSplitter::spZeroByte) == expected.ZeroByte);

  // The file reader: a zero byte is refused in the counting pass, before any line.
  const std::string path = ScratchFile();
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return 0;
  std::fwrite(text.data(), 1, text.size(), file);
  std::fclose(file);
  plomaret::TTextFileReader reader(path, fileBlockSize);
  try {
    const plomaret::TTextFileShape counted = reader.Count();
    FUZZ_CHECK(!expected.ZeroByte);
    FUZZ_CHECK(counted.LineCount == static_cast<int64_t>(expected.Lines.size()));
    std::vector<std::string> read;
    const plomaret::TTextFileShape shape = reader.ReadLines([&](std::string_view line) { read.emplace_back(line); });
    FUZZ_CHECK(read == expected.Lines);
    FUZZ_CHECK(shape.FinalLineEnded == expected.FinalLineEnded);
    // The counting pass and the splitting pass agree on the whole shape.
    FUZZ_CHECK(counted.FinalLineEnded == shape.FinalLineEnded);
    FUZZ_CHECK(counted.EndMarkOffset == shape.EndMarkOffset);
  } catch (const plomaret::EFileError&) {
    FUZZ_CHECK(expected.ZeroByte);
  }
  return 0;
}
