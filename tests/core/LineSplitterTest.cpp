#include "framework/core/LineSplitter.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "TestFiles.h"
#include "framework/core/Exceptions.h"
#include "framework/core/TextFileReader.h"

namespace plomaret {
namespace {

using testing::TScratchFolder;
using testing::WriteBytes;

struct TSplit {
  std::vector<std::string> Lines;
  bool FinalLineEnded = true;
  bool operator==(const TSplit& other) const = default;
};

// What the load rules say, written the obvious way.
TSplit ReferenceSplit(std::string text) {
  size_t cut = text.find_first_of(std::string("\x1a\0", 2));
  if (cut != std::string::npos) text.resize(cut);
  TSplit result;
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      result.Lines.push_back(line);
      line.clear();
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      line += text[i];
    }
  }
  result.FinalLineEnded = line.empty();
  if (!line.empty()) result.Lines.push_back(line);
  return result;
}

TSplit SplitInBlocks(const std::string& text, size_t blockSize) {
  TSplit result;
  TLineSplitter splitter;
  auto sink = [&](std::string_view line) { result.Lines.emplace_back(line); };
  for (size_t pos = 0; pos < text.size(); pos += blockSize) {
    if (!splitter.Feed(text.data() + pos, std::min(blockSize, text.size() - pos), sink)) break;
  }
  splitter.Finish(sink);
  result.FinalLineEnded = splitter.FinalLineEnded();
  EXPECT_EQ(splitter.LineCount(), static_cast<int64_t>(result.Lines.size()));
  return result;
}

TEST(LineSplitter, AgreesWithTheRulesForEveryBlockSize) {
  const std::vector<std::string> texts = {
      "",
      "a",
      "a\r\nb",
      "a\r\nb\r\n",
      "a\r\n\r\n",
      "\r\n",
      "a\rb\nc\r\n\n\r",
      "a\n\rb",  // LF then CR: two line ends
      "one long line of text that crosses many blocks, ending in CR\r",
      "x\r\ny\x1a" "after\r\nignored",
      "\x1a",
      "text\r\n\x1a",
      std::string("a\nb\0c\nd", 7),
      "\x82\xa0\r\n\x83\x5c\n",
  };
  for (const std::string& text : texts) {
    const TSplit expected = ReferenceSplit(text);
    for (size_t blockSize = 1; blockSize <= text.size() + 1; ++blockSize) {
      EXPECT_EQ(SplitInBlocks(text, blockSize), expected) << "text " << ::testing::PrintToString(text) << " block " << blockSize;
    }
  }
}

// The counting pass against the splitting pass: texts long enough for the wide scan,
// with CR LF on every side of its sixteen-byte steps, cut into blocks of every size.
TEST(LineSplitter, TheCounterCountsWhatTheSplitterHandsOn) {
  const std::string pieces[] = {"ab", "\r", "\n", "\r\n", "x", "\n\r", "0123456789abcdef", "\x1a", std::string(1, '\0')};
  std::mt19937 random(11);
  for (int round = 0; round < 400; ++round) {
    std::string text;
    const size_t target = random() % 120;
    while (text.size() < target) {
      const size_t piece = random() % std::size(pieces);
      if (piece >= 7 && random() % 8 != 0) continue;  // text mostly goes on to its end
      text += pieces[piece];
    }
    for (size_t blockSize : {size_t{1}, size_t{3}, size_t{15}, size_t{16}, size_t{17}, size_t{31}, size_t{33}, size_t{200}}) {
      TLineSplitter splitter;
      TLineCounter counter;
      auto ignore = [](std::string_view) {};
      for (size_t pos = 0; pos < text.size(); pos += blockSize) {
        const size_t n = std::min(blockSize, text.size() - pos);
        const bool splitOn = splitter.Feed(text.data() + pos, n, ignore);
        ASSERT_EQ(counter.Feed(text.data() + pos, n), splitOn);
        if (!splitOn) break;
      }
      splitter.Finish(ignore);
      const std::string where = ::testing::PrintToString(text) + " block " + std::to_string(blockSize);
      ASSERT_EQ(counter.LineCount(), splitter.LineCount()) << where;
      ASSERT_EQ(counter.FinalLineEnded(), splitter.FinalLineEnded()) << where;
      ASSERT_EQ(counter.Stop(), splitter.Stop()) << where;
      ASSERT_EQ(counter.StopOffset(), splitter.StopOffset()) << where;
    }
  }
}

TEST(LineSplitter, ReportsWhatEndedTheText) {
  TLineSplitter ctrlZ;
  auto ignore = [](std::string_view) {};
  EXPECT_FALSE(ctrlZ.Feed("ab\x1a" "cd", 5, ignore));
  EXPECT_EQ(ctrlZ.Stop(), TLineSplitter::spCtrlZ);
  EXPECT_EQ(ctrlZ.StopOffset(), 2);

  TLineSplitter zero;
  EXPECT_TRUE(zero.Feed("abc", 3, ignore));
  EXPECT_FALSE(zero.Feed("d\0", 2, ignore));
  EXPECT_EQ(zero.Stop(), TLineSplitter::spZeroByte);
  EXPECT_EQ(zero.StopOffset(), 4);
}

TEST(LineSplitter, FindsBreaksAtEveryPositionOfAWideScan) {
  for (size_t at = 0; at < 40; ++at) {
    for (char special : {'\n', '\r', '\0', '\x1a'}) {
      std::string text(40, 'x');
      text[at] = special;
      EXPECT_EQ(FindLineBreakOrEnd(text.data(), text.data() + text.size()), text.data() + at);
    }
  }
  const std::string plain(100, '\t');
  EXPECT_EQ(FindLineBreakOrEnd(plain.data(), plain.data() + plain.size()), plain.data() + plain.size());
}

class TextFileReaderTest : public ::testing::Test {
 protected:
  TSplit Read(const std::string& bytes, size_t blockSize = TTextFileReader::kDefaultBlockSize) {
    const std::string path = FFolder.Path("file.x");
    WriteBytes(path, bytes);
    TTextFileReader reader(path, blockSize);
    const TTextFileShape counted = reader.Count();
    TSplit result;
    const TTextFileShape read = reader.ReadLines([&](std::string_view line) { result.Lines.emplace_back(line); });
    EXPECT_EQ(counted.LineCount, read.LineCount);
    EXPECT_EQ(read.LineCount, static_cast<int64_t>(result.Lines.size()));
    result.FinalLineEnded = read.FinalLineEnded;
    return result;
  }
  TScratchFolder FFolder;
};

TEST_F(TextFileReaderTest, CrAtTheEndOfABlockAndLfAfterItAreOneLineEnd) {
  const size_t before = TTextFileReader::kDefaultBlockSize - 1;
  std::string text(before, 'a');
  text += "\r\nb\r\n";
  const TSplit split = Read(text);
  ASSERT_EQ(split.Lines.size(), 2u);
  EXPECT_EQ(split.Lines[0], std::string(before, 'a'));
  EXPECT_EQ(split.Lines[1], "b");
}

TEST_F(TextFileReaderTest, ReportsAMissingFinalLineEnd) {
  EXPECT_EQ(Read("a\r\nb"), (TSplit{{"a", "b"}, false}));
  EXPECT_EQ(Read("a\r\nb\r\n"), (TSplit{{"a", "b"}, true}));
  EXPECT_EQ(Read(""), (TSplit{{}, true}));
  EXPECT_EQ(Read("a\r\nb\x1a\r\nc", 3), (TSplit{{"a", "b"}, false}));
}

TEST_F(TextFileReaderTest, RefusesAZeroByteBeforeHandingOnAnyLine) {
  const std::string path = FFolder.Path("binary.x");
  std::string bytes = "xof 0302bin 0032\r\n";
  bytes += std::string("\x01\x00\x02", 3);
  WriteBytes(path, bytes);
  TTextFileReader reader(path);
  try {
    reader.Count();
    FAIL() << "a zero byte was accepted";
  } catch (const EFileError& error) {
    EXPECT_NE(error.Message().find(path), std::string::npos) << error.Message();
    EXPECT_NE(error.Message().find("zero byte at offset 19"), std::string::npos) << error.Message();
  }
}

TEST_F(TextFileReaderTest, AZeroByteAfterCtrlZIsNotRead) {
  EXPECT_EQ(Read(std::string("a\r\n\x1a\0\0", 6)), (TSplit{{"a"}, true}));
}

TEST_F(TextFileReaderTest, MissingFilesAndFoldersGiveErrorsNamingThem) {
  const std::string missing = FFolder.Path("missing.x");
  try {
    TTextFileReader reader(missing);
    FAIL();
  } catch (const EFileError& error) {
    EXPECT_NE(error.Message().find(missing), std::string::npos);
  }
  EXPECT_THROW(TTextFileReader reader(FFolder.Root()), EFileError);
}

TEST_F(TextFileReaderTest, CopiesEveryByteRaw) {
  const std::string bytes("a\r\n\x1a\0z", 6);
  const std::string path = FFolder.Path("raw.x");
  WriteBytes(path, bytes);
  TTextFileReader reader(path, 2);
  std::string copy;
  reader.CopyBytes([&](std::string_view block) { copy.append(block); });
  EXPECT_EQ(copy, bytes);
}

}  // namespace
}  // namespace plomaret
