#include "app/XFileFixup.h"

#include <gtest/gtest.h>

#include "editor/LineList.h"

namespace plomaret {
namespace {

std::vector<std::string> Exchange(const std::vector<std::string>& lines, TFixupCounts* counts = nullptr) {
  auto list = Create<TStringList>();
  for (const std::string& line : lines) list->Add(line);
  TFixupCounts result = ExchangeLines(*list);
  if (counts != nullptr) *counts = result;
  std::vector<std::string> out;
  for (int i = 0; i < list->Count(); ++i) out.push_back(list->Get(i));
  return out;
}

TEST(XFileFixup, TextureCoordinateLinesLoseOnlyAFinalCommaAfterASemicolon) {
  TFixupCounts counts;
  const auto out = Exchange({"  0.000000;0.500000;,",
                             " MeshTextureCoords {",
                             "  3;",
                             "  0.000000;0.500000;,",
                             "  1.0;,,",
                             "  1.0,",
                             "  1.0,;",
                             ",",
                             "  1.000000;1.000000;;",
                             " }",
                             "  0.000000;0.500000;,"},
                            &counts);
  EXPECT_EQ(out, (std::vector<std::string>{"  0.000000;0.500000;,",
                                           " MeshTextureCoords {",
                                           "  3;",
                                           "  0.000000;0.500000;",
                                           "  1.0;,,",
                                           "  1.0,",
                                           "  1.0,;",
                                           ",",
                                           "  1.000000;1.000000;;",
                                           " }",
                                           "  0.000000;0.500000;,"}));
  EXPECT_EQ(counts.CommasDropped, 1);
  EXPECT_EQ(counts.LinesCommentedOut, 0);
}

TEST(XFileFixup, VertexColourSectionsAreCommentedOutWhole) {
  TFixupCounts counts;
  const auto out = Exchange({"}", " MeshVertexColors {", "  1;", "  0;1.000000;1.000000;1.000000;1.000000;;;", " }", "}"}, &counts);
  EXPECT_EQ(out, (std::vector<std::string>{"}", "//  MeshVertexColors {", "//   1;",
                                           "//   0;1.000000;1.000000;1.000000;1.000000;;;", "//  }", "}"}));
  EXPECT_EQ(counts.LinesCommentedOut, 4);
}

TEST(XFileFixup, HeadersMatchOnlyExactly) {
  const std::vector<std::string> nearMisses = {" MeshTextureCoords { ", "MeshTextureCoords {", "  MeshTextureCoords {",
                                               " MeshTextureCoords{",   " meshtexturecoords {", "\tMeshTextureCoords {",
                                               " MeshVertexColors  {",  " MeshVertexColors {}"};
  for (const std::string& header : nearMisses) {
    const std::vector<std::string> in = {header, "  0.1;0.2;,", " }"};
    EXPECT_EQ(Exchange(in), in) << header;
  }
}

TEST(XFileFixup, SectionsDoNotNestAndUnclosedOnesRunToTheEnd) {
  // A colour header inside an open texture section is an ordinary line of it.
  EXPECT_EQ(Exchange({" MeshTextureCoords {", " MeshVertexColors {", "  0;1.0;,", " }", "  2;,"}),
            (std::vector<std::string>{" MeshTextureCoords {", " MeshVertexColors {", "  0;1.0;", " }", "  2;,"}));
  // A texture header inside an open colour section is commented out and starts nothing.
  EXPECT_EQ(Exchange({" MeshVertexColors {", " MeshTextureCoords {", "  0;1.0;,", " }", "  0;1.0;,"}),
            (std::vector<std::string>{"//  MeshVertexColors {", "//  MeshTextureCoords {", "//   0;1.0;,", "//  }",
                                      "  0;1.0;,"}));
  // No " }": to the end of the text.
  EXPECT_EQ(Exchange({" MeshVertexColors {", "  1;", "}"}),
            (std::vector<std::string>{"//  MeshVertexColors {", "//   1;", "// }"}));
}

TEST(XFileFixup, RunningTwiceGivesTheSameAsOnce) {
  const std::vector<std::string> in = {" MeshTextureCoords {", "  0.1;0.2;,", "  0.3;0.4;;", " }",
                                       " MeshVertexColors {",  "  0;1;1;1;1;;,", " }", "}"};
  const auto once = Exchange(in);
  EXPECT_EQ(Exchange(once), once);
}

TEST(XFileFixup, EmptyTextStaysEmpty) { EXPECT_TRUE(Exchange({}).empty()); }

TEST(XFileFixup, WorksOnAnyStringListAsOneUpdate) {
  auto lines = Create<TLineList>();
  for (const char* line : {" MeshTextureCoords {", "  0.5;0.5;,", "  0.5;0.5;,", " }"}) lines->Add(line);
  struct TCounter {
    int changes = 0;
    void Changed(TObject*) { ++changes; }
  } counter;
  lines->OnChange = TNotifyEvent(&counter, &TCounter::Changed);
  EXPECT_EQ(ExchangeLines(*lines).CommasDropped, 2);
  EXPECT_EQ(lines->Get(2), "  0.5;0.5;");
  EXPECT_EQ(counter.changes, 1);
}

TEST(XFileFixup, StateIsExposedPerLine) {
  TXFileFixup fixup;
  EXPECT_EQ(fixup.Next(" MeshTextureCoords {"), faKeep);
  EXPECT_EQ(fixup.State(), TXFileFixup::ssTextureCoords);
  EXPECT_EQ(fixup.Next("1;,"), faDropFinalComma);
  EXPECT_EQ(TXFileFixup::Apply("1;,", faDropFinalComma), "1;");
  EXPECT_EQ(fixup.Next(" }"), faKeep);
  EXPECT_EQ(fixup.State(), TXFileFixup::ssOutside);
  EXPECT_EQ(fixup.Next(" MeshVertexColors {"), faCommentOut);
  EXPECT_EQ(fixup.State(), TXFileFixup::ssVertexColors);
  EXPECT_EQ(TXFileFixup::Apply("x", faCommentOut), "// x");
}

}  // namespace
}  // namespace plomaret

namespace plomaret {
namespace {

TEST(PackedLines, AWorkingCopyKeepsEveryLineThroughItsChanges) {
  TOwned<TPackedLines> lines = Create<TPackedLines>();
  lines->Add("  0.5;0.5;,");
  lines->Add(" MeshVertexColors {");
  lines->Add(std::string(3 << 20, 'x'));  // longer than a block
  lines->Add("last");
  lines->Put(0, "  0.5;0.5;");
  lines->Put(1, "//  MeshVertexColors {");
  lines->Insert(0, "first");
  lines->Delete(4);
  ASSERT_EQ(lines->Count(), 4);
  EXPECT_EQ(lines->Get(0), "first");
  EXPECT_EQ(lines->Get(1), "  0.5;0.5;");
  EXPECT_EQ(lines->Get(2), "//  MeshVertexColors {");
  EXPECT_EQ(lines->View(3).size(), size_t{3} << 20);
  EXPECT_THROW(lines->Get(4), EStringListError);
  EXPECT_THROW(lines->Insert(6, "x"), EStringListError);

  // The whole round of Exchange, as the window runs it.
  lines->Clear();
  for (const char* line : {"Mesh {", " MeshTextureCoords {", "  1;", "  0.1;0.2;,", " }", "}"}) lines->Add(line);
  ExchangeLines(*lines);
  EXPECT_EQ(lines->AllText(), "Mesh {\r\n MeshTextureCoords {\r\n  1;\r\n  0.1;0.2;\r\n }\r\n}\r\n");
}

TEST(PackedLines, EmptyLinesBeforeAnyTextAreKept) {
  // An empty first line once pointed into a block that did not exist yet.
  TOwned<TPackedLines> lines = Create<TPackedLines>();
  lines->Add("");
  lines->Add("");
  lines->Put(1, " MeshVertexColors {");
  lines->Put(0, "");
  EXPECT_EQ(lines->AllText(), "\r\n MeshVertexColors {\r\n");
  lines->Clear();
  lines->Insert(0, "");
  EXPECT_EQ(lines->Get(0), "");

  TOwned<TStringList> text = Create<TStringList>();
  for (const char* line : {"", "xof 0302txt 0032", " MeshVertexColors {", "", " }"}) text->Add(line);
  ExchangeThroughWorkingCopy(*text);
  EXPECT_EQ(text->AllText(), "\r\nxof 0302txt 0032\r\n//  MeshVertexColors {\r\n// \r\n//  }\r\n");
}

}  // namespace
}  // namespace plomaret
