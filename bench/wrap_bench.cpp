// Word wrap at document scale: three million typical .x lines, and one huge line
// whose cost must grow with its length only.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "editor/WordWrap.h"

namespace plomaret {
namespace {

constexpr int kLines = 3'000'000;

// Lines of 20 to 60 bytes as a mesh file has them: indented number lists, with now
// and then a tab or a Japanese comment.
struct TDocument {
  std::string Text;
  std::vector<uint32_t> Starts;  // line i is Text[Starts[i], Starts[i + 1])
  std::string_view Line(size_t i) const { return std::string_view(Text).substr(Starts[i], Starts[i + 1] - Starts[i]); }
};

const TDocument& Document() {
  static const TDocument document = [] {
    TDocument doc;
    doc.Text.reserve(size_t{kLines} * 42);
    std::mt19937 random(7);
    const std::string comment = "// \x92\xb8\x93\x5f\x83\x4a\x83\x89\x81\x5b";  // // 頂点カラー
    for (int i = 0; i < kLines; ++i) {
      doc.Starts.push_back(static_cast<uint32_t>(doc.Text.size()));
      const size_t length = 20 + random() % 41;
      const size_t start = doc.Text.size();
      doc.Text += random() % 16 == 0 ? "\t" : "  ";
      if (random() % 20 == 0) doc.Text += comment;
      while (doc.Text.size() - start < length) {
        doc.Text += std::to_string(random() % 2 == 0 ? -1 : 1) + "." + std::to_string(100000 + random() % 900000) + ";";
      }
      doc.Text.resize(start + length);
    }
    doc.Starts.push_back(static_cast<uint32_t>(doc.Text.size()));
    return doc;
  }();
  return document;
}

void BM_Wrap3MillionLines(benchmark::State& state) {
  const TDocument& doc = Document();
  auto option = Create<TEditorWrapOption>();
  option->SetWrapByte(static_cast<int>(state.range(0)));
  TLineRows rows;
  for (auto _ : state) {
    TLineWrapper wrapper(*option, 8, DefaultDelimiters());
    int64_t total = 0;
    for (size_t i = 0; i < kLines; ++i) {
      wrapper.Wrap(doc.Line(i), rows);
      total += rows.Count();
    }
    benchmark::DoNotOptimize(total);
    state.counters["rows"] = static_cast<double>(total);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(doc.Text.size()));
}
BENCHMARK(BM_Wrap3MillionLines)->Arg(80)->Arg(20)->Unit(benchmark::kMillisecond)->Iterations(3);

// One line of range(0) bytes (words, tabs, Japanese text and punctuation) with the
// line-breaking rules off (0) or all on (1). The same bytes/s at 256 KB and 1 MB
// shows that the wrap is linear in the line length.
void BM_WrapOneLongLine(benchmark::State& state) {
  const size_t length = static_cast<size_t>(state.range(0));
  std::string line;
  std::mt19937 random(11);
  const std::vector<std::string> pieces = {"vertex", " ", "0.5;", "\t", "\x92\xb8\x93\x5f", "\x81\x42", "\x81\x75",
                                           "\x81\x76", ",", "(", ")"};
  while (line.size() < length) line += pieces[random() % pieces.size()];
  const bool rules = state.range(1) != 0;
  auto option = Create<TEditorWrapOption>();
  option->SetWordBreak(rules);
  option->SetLeading(rules);
  option->SetFollowPunctuation(rules);
  TLineRows rows;
  for (auto _ : state) {
    TLineWrapper wrapper(*option, 8, DefaultDelimiters());
    wrapper.Wrap(line, rows);
    benchmark::DoNotOptimize(rows.Ends.data());
  }
  state.counters["rows"] = static_cast<double>(rows.Count());
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(line.size()));
}
BENCHMARK(BM_WrapOneLongLine)
    ->ArgsProduct({{1 << 18, 1 << 20}, {0, 1}})
    ->ArgNames({"bytes", "rules"})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace plomaret
