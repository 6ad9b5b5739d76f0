// The editor's parser on random rows with random brackets, comment marker,
// quotation and hex prefix: it never reads past a row's terminating zero (each text
// sits in a buffer of exactly its size), ends within length + 2 calls, and its
// tokens move forward, do not overlap, stay inside the text and cover every byte
// that is not a blank. Row states are passed on through the row list as the row
// store keeps them; a row that the parser says settles the state leaves the start
// state, as a parse that begins below it assumes.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "editor/EditorFountain.h"

namespace {

using namespace plomaret;

// Up to maxLength bytes of the input as they are.
std::string Text(TFuzzInput& input, int maxLength) {
  const int length = input.Byte() % (maxLength + 1);
  std::string text;
  for (int i = 0; i < length && !input.Empty(); ++i) text += static_cast<char>(input.Byte());
  return text;
}

// Scans every row, so that the shortcut for rows that cannot change the state is
// checked against a full scan.
class TAlwaysScanningParser : public TEditorParser {
 public:
  using TEditorParser::TEditorParser;

 protected:
  bool ScanCanChangeState(const TRowAttributeData&) const override { return true; }
};

bool IsBlankByte(unsigned char byte) { return byte >= 0x01 && byte <= 0x20 && byte != 0x09; }

// Tokenizes text (in a buffer of exactly its size) and checks the token invariants.
void CheckTokens(TFountainParser& parser, const std::string& text, const TRowAttributeData& state) {
  std::unique_ptr<char[]> buffer(new char[text.size() + 1]);
  std::copy(text.begin(), text.end(), buffer.get());
  buffer[text.size()] = '\0';
  const int length = static_cast<int>(std::char_traits<char>::length(buffer.get()));  // up to an inner zero

  parser.NewData(buffer.get(), state);
  int previousEnd = 0;
  int calls = 0;
  for (;;) {
    const TTokenKind kind = parser.NextToken();
    ++calls;
    FUZZ_CHECK(calls <= length + 2);
    if (kind == toEof) break;
    const int start = parser.SourcePos();
    const int end = start + parser.TokenLength();
    FUZZ_CHECK(start >= previousEnd);
    FUZZ_CHECK(end >= start);
    FUZZ_CHECK(end <= length);
    for (int i = previousEnd; i < start; ++i) FUZZ_CHECK(IsBlankByte(static_cast<unsigned char>(buffer[i])));
    (void)parser.TokenToFountainColor();
    (void)parser.IsReserveWord();
    previousEnd = end;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TFuzzInput input(data, size);
  TOwned<TEditorFountain> fountain = CreateWithoutOwner<TEditorFountain>();
  const uint8_t flags = input.Byte();
  fountain->SetMail(flags & 1);
  fountain->SetUrl(flags & 2);
  fountain->SetControlCode(flags & 4);
  fountain->SetCommenter(Text(input, 3));
  fountain->SetQuotation(Text(input, 1));
  fountain->SetHexPrefix(Text(input, 2));
  const int brackets = (flags >> 3) % 4;
  for (int i = 0; i < brackets; ++i) {
    TFountainBracketItem* item = fountain->Brackets()->Add();
    item->SetLeftBracket(Text(input, 3));
    item->SetRightBracket(Text(input, 3));
  }
  if (flags & 0x20) {
    auto words = Create<TStringList>();
    for (int i = 0; i < 3; ++i) words->Add(Text(input, 4));
    fountain->SetReserveWordList(*words);
  }

  // Rows: a length-prefixed text each, the first byte also choosing how it ends.
  auto rows = Create<TRowAttributeStringList>();
  while (!input.Empty() && rows->Count() < 64) {
    const uint8_t end = input.Byte();
    const int row = rows->Add(Text(input, 255));
    rows->SetRowAttributes(row, end % 3 == 2 ? raLineEnd : static_cast<TRowAttribute>(end % 3));
  }

  TOwned<TFountainParser> parser = fountain->CreateParser();
  TOwned<TFountainParser> fullScan = Create<TAlwaysScanningParser>(fountain.get());
  TRowAttributeData state = StartRowAttributeData();
  for (int i = 0; i < rows->Count(); ++i) {
    state.RowAttribute = rows->RowAttributes(i);
    rows->SetRowAttributeData(i, state);
    const TRowAttributeData stored = rows->RowAttributeData(i);
    std::string text = rows->Get(i);
    if (stored.RowAttribute == raWrap && i + 1 < rows->Count()) text += rows->Get(i + 1);
    CheckTokens(*parser, text, stored);
    TRowAttributeData next = stored;
    parser->UpdateRowData(i, *rows, next);
    TRowAttributeData scanned = stored;
    fullScan->UpdateRowData(i, *rows, scanned);
    FUZZ_CHECK(next == scanned);
    if (parser->RowSettlesState(i, *rows)) {
      TRowAttributeData settled = StartRowAttributeData();
      settled.RowAttribute = next.RowAttribute;
      settled.PrevRowAttribute = next.PrevRowAttribute;
      FUZZ_CHECK(next == settled);
    }
    FUZZ_CHECK(next.BracketIndex >= -2 && next.BracketIndex < TFountainBracketCollection::kMaxItems);
    next.PrevRowAttribute = stored.RowAttribute;
    state = next;
  }
  // A parse that starts from a state marked not valid must be safe too.
  if (rows->Count() > 0) CheckTokens(*parser, rows->Get(0), InvalidRowAttributeData());
  return 0;
}
