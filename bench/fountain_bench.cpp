// Row states and token colours over every row of a large .x file. Set
// PLOMARET_BENCH_XFILE to the file (bench/run_on_xfile.sh makes one).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "editor/EditorFountain.h"
#include "framework/core/TextFileReader.h"

namespace plomaret {
namespace {

struct TDocument {
  TOwned<TRowAttributeStringList> Rows = Create<TRowAttributeStringList>();
  int64_t Bytes = 0;
};

// Loaded once for all benchmarks.
const TDocument* Document() {
  static TDocument* document = [] () -> TDocument* {
    const char* path = std::getenv("PLOMARET_BENCH_XFILE");
    if (path == nullptr) return nullptr;
    auto* loaded = new TDocument;
    TTextFileReader reader(path);
    loaded->Rows->SetItemCapacity(static_cast<int>(reader.Count().LineCount));
    reader.ReadLines([&](std::string_view line) {
      loaded->Rows->Add(std::string(line));
      loaded->Bytes += static_cast<int64_t>(line.size());
    });
    return loaded;
  }();
  return document;
}

// The colours the main window gives its editor: no brackets, comment marker,
// quotation or reserved words.
TOwned<TEditorFountain> MainWindowFountain() {
  TOwned<TEditorFountain> fountain = CreateWithoutOwner<TEditorFountain>();
  fountain->Reserve()->SetColor(clAqua);
  fountain->Colors()->Select()->SetBkColor(clYellow);
  fountain->Colors()->Select()->SetColor(clNavy);
  return fountain;
}

// With arg 1 the scheme also has a bracket pair, so that every row must be scanned.
void BM_UpdateRowDataEveryRow(benchmark::State& state) {
  const TDocument* document = Document();
  if (document == nullptr) {
    state.SkipWithError("set PLOMARET_BENCH_XFILE to a .x file");
    return;
  }
  TOwned<TEditorFountain> fountain = MainWindowFountain();
  if (state.range(0) == 1) {
    TFountainBracketItem* item = fountain->Brackets()->Add();
    item->SetLeftBracket("{");
    item->SetRightBracket("}");
  }
  TOwned<TFountainParser> parser = fountain->CreateParser();
  const TRowAttributeStringList& rows = *document->Rows;
  for (auto _ : state) {
    TRowAttributeData data = StartRowAttributeData();
    for (int i = 0; i < rows.Count(); ++i) {
      data.RowAttribute = rows.RowAttributes(i);
      parser->UpdateRowData(i, rows, data);
    }
    benchmark::DoNotOptimize(data);
  }
  state.SetBytesProcessed(state.iterations() * document->Bytes);
}
BENCHMARK(BM_UpdateRowDataEveryRow)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

// What painting every row costs the parser: the state, then every token with its
// colour, with 50 reserved words.
void BM_TokensAndColoursWithReservedWords(benchmark::State& state) {
  const TDocument* document = Document();
  if (document == nullptr) {
    state.SkipWithError("set PLOMARET_BENCH_XFILE to a .x file");
    return;
  }
  TOwned<TEditorFountain> fountain = MainWindowFountain();
  auto words = Create<TStringList>();
  for (const char* word : {"Mesh", "Frame", "Header", "Material", "TextureFilename", "MeshNormals", "MeshTextureCoords",
                           "MeshVertexColors", "MeshMaterialList", "FrameTransformMatrix", "template", "xof", "txt",
                           "Vector", "Coords2d", "ColorRGBA", "ColorRGB", "IndexedColor", "Boolean", "Boolean2d",
                           "MaterialWrap", "MeshFace", "MeshFaceWraps", "Matrix4x4", "AnimationKey", "Animation",
                           "AnimationSet", "AnimationOptions", "FloatKeys", "TimedFloatKeys", "XSkinMeshHeader",
                           "SkinWeights", "VertexDuplicationIndices", "FVFData", "DeclData", "VertexElement",
                           "EffectInstance", "EffectParamFloats", "EffectParamString", "EffectParamDWord",
                           "PatchMesh", "Patch", "PMInfo", "PMAttributeRange", "PMVSplitRecord", "DWORD", "WORD",
                           "FLOAT", "STRING", "array"}) {
    words->Add(word);
  }
  fountain->SetReserveWordList(*words);
  TOwned<TFountainParser> parser = fountain->CreateParser();
  const TRowAttributeStringList& rows = *document->Rows;
  for (auto _ : state) {
    TRowAttributeData data = StartRowAttributeData();
    int64_t coloured = 0;
    for (int i = 0; i < rows.Count(); ++i) {
      data.RowAttribute = rows.RowAttributes(i);
      parser->NewData(rows.ViewAt(i).data(), data);
      while (parser->NextToken() != toEof) coloured += parser->TokenToFountainColor() != nullptr ? 1 : 0;
      parser->UpdateRowData(i, rows, data);
    }
    benchmark::DoNotOptimize(coloured);
  }
  state.SetBytesProcessed(state.iterations() * document->Bytes);
}
BENCHMARK(BM_TokensAndColoursWithReservedWords)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace plomaret
