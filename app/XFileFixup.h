#pragma once
// The "Exchange" rewrite of a DirectX text mesh file, as Metasequoia LE 2.4 writes
// it, for the parameter editor of the flight simulator:
//  - inside " MeshTextureCoords {" ... " }" a line ending in ";," loses the comma;
//  - " MeshVertexColors {" ... " }" is commented out line by line with "// ".
// Headers and the section end are whole-line, byte-exact matches; sections do not
// nest, and one that is never closed runs to the end of the text.

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/core/Strings.h"

namespace plomaret {

enum TFixupAction { faKeep, faDropFinalComma, faCommentOut };

// Takes the lines of one text in order and says what becomes of each.
class TXFileFixup {
 public:
  enum TScanState { ssOutside = 0, ssTextureCoords = 1, ssVertexColors = 2 };

  TFixupAction Next(std::string_view line);
  TScanState State() const { return FState; }

  // The line as the action makes it.
  static std::string Apply(std::string_view line, TFixupAction action);
  static void ApplyInto(std::string_view line, TFixupAction action, std::string& out);

 private:
  TScanState FState = ssOutside;
};

struct TFixupCounts {
  int64_t CommasDropped = 0;
  int64_t LinesCommentedOut = 0;

  void Count(TFixupAction action) {
    if (action == faDropFinalComma) ++CommasDropped;
    if (action == faCommentOut) ++LinesCommentedOut;
  }
};

// Rewrites every line of lines in place, as one update.
TFixupCounts ExchangeLines(TStrings& lines);

// Exchange as the window runs it on the editor's lines: the lines end as if copied out,
// rewritten, and assigned back as one whole text, without holding the text twice.
TFixupCounts ExchangeAsWholeText(TStrings& lines);

// The same through an actual working copy: what the window did before, kept as the
// reference the in-place rewrite is checked against.
TFixupCounts ExchangeThroughWorkingCopy(TStrings& lines);

}  // namespace plomaret

namespace plomaret {

// The working copy Exchange rewrites: the lines of a whole document packed in blocks
// of text, a line's place and length beside it. A line replaced by one no longer is
// overwritten where it stands (Exchange drops a comma); a longer one goes at the end.
// No block ever moves, so the copy never needs room for its text twice.
class TPackedLines : public TStrings {
 public:
  std::string Get(int index) const override { return std::string(View(index)); }
  std::string_view View(int index) const;
  int Count() const override { return static_cast<int>(FLines.size()); }
  void Put(int index, const std::string& text) override;
  int Add(const std::string& text) override;
  void Insert(int index, const std::string& text) override;
  void Delete(int index) override;
  void Clear() override;
  void SetCapacity(int capacity) override { FLines.reserve(static_cast<size_t>(std::max(capacity, 0))); }

 private:
  static constexpr size_t kBlockSize = size_t{1} << 20;
  // Twelve bytes a line: a document has millions.
  struct TLine {
    uint32_t Block;
    uint32_t Offset;
    uint32_t Length;
  };
  char* TextOf(const TLine& line) const { return FBlocks[line.Block].get() + line.Offset; }
  TLine Append(std::string_view text);
  void Check(int index, bool orEnd) const;

  std::vector<std::unique_ptr<char[]>> FBlocks;
  size_t FBlockUsed = kBlockSize;  // of the last block; full means a new one is needed
  std::vector<TLine> FLines;
};

}  // namespace plomaret
