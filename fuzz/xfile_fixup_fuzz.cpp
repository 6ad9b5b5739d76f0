// The fix-up state machine against the rewrite written out step by step, and its
// idempotence, on random lines (with the headers and the section end mixed in).
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "app/XFileFixup.h"
#include "framework/core/Strings.h"

namespace {

const char* const kPieces[] = {" MeshTextureCoords {", " MeshVertexColors {", " }", ";,", "// ", "  0.5;0.5;,"};

// Line by line, the six steps as the rewrite describes them.
std::vector<std::string> Reference(std::vector<std::string> lines) {
  int state = 0;
  for (std::string& line : lines) {
    if (state == 0 && line == " MeshTextureCoords {") state = 1;
    if (state == 0 && line == " MeshVertexColors {") state = 2;
    if (state == 1 && line == " }") {
      state = 0;
      continue;
    }
    if (state == 2 && line == " }") {
      line = "// " + line;
      state = 0;
    }
    if (state == 1 && line.size() >= 2 && line.compare(line.size() - 2, 2, ";,") == 0) line.pop_back();
    if (state == 2) line = "// " + line;
  }
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Bytes 0xF0-0xF5 stand for the interesting pieces; 0xFF ends a line.
  std::vector<std::string> lines(1);
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0xFF) {
      lines.emplace_back();
    } else if (data[i] >= 0xF0 && data[i] <= 0xF5) {
      lines.back() += kPieces[data[i] - 0xF0];
    } else {
      lines.back() += static_cast<char>(data[i]);
    }
  }
  auto list = plomaret::Create<plomaret::TStringList>();
  for (const std::string& line : lines) list->Add(line);
  const plomaret::TFixupCounts counts = plomaret::ExchangeLines(*list);
  const std::vector<std::string> expected = Reference(lines);
  FUZZ_CHECK(list->Count() == static_cast<int>(expected.size()));
  int64_t changed = 0;
  for (int i = 0; i < list->Count(); ++i) {
    FUZZ_CHECK(list->Get(i) == expected[static_cast<size_t>(i)]);
    changed += list->Get(i) != lines[static_cast<size_t>(i)] ? 1 : 0;
  }
  FUZZ_CHECK(changed == counts.CommasDropped + counts.LinesCommentedOut);

  const std::string once = list->Text();
  plomaret::ExchangeLines(*list);
  FUZZ_CHECK(list->Text() == once);
  return 0;
}
