// The Exchange rewrite at its edges: the shortest lines that end in ";,", section ends
// and headers one byte off, and the working copy's lines at the edges of its blocks.

#include <gtest/gtest.h>

#include <string>
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
  for (const std::string& nearEnd : {"}", "  }", " } ", " };", "\t}", " ]", "}}"}) {
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
  for (size_t i = 0; i < in.size(); ++i) EXPECT_EQ(copy->Get(static_cast<int>(i)), in[i]) << i;
  // Shorter in place, equal in place, longer (by a whole block or by one byte) moved:
  // no neighbour is touched.
  Lines expected = in;
  expected[0] = "short";
  expected[1] = "B";
  expected[2] = line(kMiB, 'C');
  expected[5] = line(kMiB + 1, 'E');
  expected[7] = line(3, 'G');
  for (int i : {0, 1, 2, 5, 7}) copy->Put(i, expected[static_cast<size_t>(i)]);
  for (size_t i = 0; i < in.size(); ++i) EXPECT_EQ(copy->Get(static_cast<int>(i)), expected[i]) << i;
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
