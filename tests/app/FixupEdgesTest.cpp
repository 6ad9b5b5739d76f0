// The Exchange rewrite at its edges: the shortest lines that end in ";,", section ends
// and headers one byte off, and the working copy's lines at the edges of its blocks.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/XFileFixup.h"
#include "editor/LineList.h"

namespace plomaret {
namespace {

using Lines = std::vector<std::string>;

Lines Exchanged(const Lines& lines) {
  auto list = Create<TStringList>();
  for (const std::string& line : lines) list->Add(line);
  ExchangeLines(*list);
  Lines out;
  for (int i = 0; i < list->Count(); ++i) out.push_back(list->Get(i));
  return out;
}

const std::string kTextureHeader = " MeshTextureCoords {";
const std::string kColourHeader = " MeshVertexColors {";

TEST(FixupEdges, TheShortestLinesEndingInSemicolonComma) {
  struct TCase {
    std::string Line, Fixed;
  };
  const TCase cases[] = {
      {";,", ";"}, {"x;,", "x;"}, {",", ","}, {";", ";"}, {"", ""}, {",;", ",;"}, {";;,", ";;"}, {";,,", ";,,"},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(Exchanged({kTextureHeader, c.Line, " }"}), (Lines{kTextureHeader, c.Fixed, " }"})) << c.Line;
  }
}

TEST(FixupEdges, OnlyBlankBraceEndsASection) {
  // Lines one byte off the section end leave the section open: the line after them is
  // still rewritten.
  for (const std::string nearEnd : {"}", "  }", " } ", " };", "\t}", " ]", "}}"}) {
    EXPECT_EQ(Exchanged({kTextureHeader, nearEnd, "1;,", " }", "2;,"}),
              (Lines{kTextureHeader, nearEnd, "1;", " }", "2;,"}))
        << "[" << nearEnd << "]";
    EXPECT_EQ(Exchanged({kColourHeader, nearEnd, "1;", " }", "2;"}),
              (Lines{"// " + kColourHeader, "// " + nearEnd, "// 1;", "//  }", "2;"}))
        << "[" << nearEnd << "]";
  }
}

TEST(FixupEdges, HeadersOneByteOffAreOrdinaryLines) {
  for (const std::string& header : {kTextureHeader, kColourHeader}) {
    const std::vector<std::string> nearHeaders = {header.substr(1), header.substr(0, header.size() - 1),
                                                  header + " ", " " + header, header + "{"};
    for (const std::string& near : nearHeaders) {
      const Lines in = {near, "1;,", " }", "2;"};
      EXPECT_EQ(Exchanged(in), in) << "[" << near << "]";
    }
  }
}

// The working copy: lines that fill a block of 1 MiB exactly, cross into the next,
// and are replaced by shorter, equal or longer ones.
TEST(FixupEdges, WorkingCopyLinesAtTheEdgesOfItsBlocks) {
  constexpr size_t kMiB = size_t{1} << 20;
  auto line = [](size_t size, char fill) {
    std::string text(size, fill);
    if (size > 0) text.back() = ',';
    return text;
  };
  const Lines in = {line(kMiB - 2, 'a'), line(1, 'b'), line(1, 'c'), "",           line(kMiB, 'd'),
                    line(kMiB + 1, 'e'), line(0, 'f'), line(2, 'g'), line(kMiB - 1, 'h')};
  auto copy = Create<TPackedLines>();
  for (const std::string& text : in) copy->Add(text);
  ASSERT_EQ(copy->Count(), static_cast<int>(in.size()));
  // Compared as booleans: a failure should not print megabytes.
  for (size_t i = 0; i < in.size(); ++i) EXPECT_TRUE(copy->Get(static_cast<int>(i)) == in[i]) << i;
  // Replaced one at a time, each checked with all its neighbours: one byte longer
  // (beside its neighbour, and at the very end of a full block), shorter, equal, and a
  // whole block longer.
  Lines expected = in;
  const std::pair<int, std::string> puts[] = {
      {0, line(kMiB - 1, 'A')}, {2, line(2, 'C')}, {1, "B"}, {0, "short"}, {5, line(kMiB + 1, 'E')},
      {3, line(kMiB, 'D')},     {7, line(3, 'G')},
  };
  for (const auto& [index, text] : puts) {
    copy->Put(index, text);
    expected[static_cast<size_t>(index)] = text;
    for (size_t i = 0; i < in.size(); ++i) {
      ASSERT_TRUE(copy->Get(static_cast<int>(i)) == expected[i]) << "line " << i << " after replacing " << index;
    }
  }
}

TEST(FixupEdges, ExchangeThroughTheWorkingCopyAcrossABlockEdge) {
  constexpr size_t kMiB = size_t{1} << 20;
  // The header and a filler take the first block to one byte short of its end; the
  // coordinates lines then start exactly at the end and just past it.
  auto lines = Create<TLineList>();
  lines->Add(kTextureHeader);
  lines->Add(std::string(kMiB - kTextureHeader.size() - 1, 'x'));
  lines->Add("0.5;0.5;,");
  lines->Add("0.5;0.5;,");
  lines->Add(" }");
  ExchangeThroughWorkingCopy(*lines);
  ASSERT_EQ(lines->Count(), 5);
  EXPECT_EQ(lines->Get(2), "0.5;0.5;");
  EXPECT_EQ(lines->Get(3), "0.5;0.5;");
  EXPECT_EQ(lines->Get(1).size(), kMiB - kTextureHeader.size() - 1);
}

}  // namespace
}  // namespace plomaret
