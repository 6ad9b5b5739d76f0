// Colouring states kept by the row store under a view of a few rows over a longer
// text: edits, paints of any row, view moves, resets, undo, redo and word wrap
// switches in any order, with and without bracket regions, comments and strings.
// After every step each kept state is the one a parse from the top gives (a parse
// that begins below a row settling the state, or past rows whose states were
// cleared, must agree with it); a painted row holds its state, and so do the rows
// the view shows above it.
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "editor/TextModelSupport.h"

namespace {

using namespace plomaret;
using plomaret::testing::FirstStateNotAsFromTheTop;
using plomaret::testing::TEditorDouble;

// Rows with and without text, numbers, double-byte text and everything that opens or
// closes a region, a comment or a string.
std::string Text(TFuzzInput& input, int maxPieces) {
  static const char* const kPieces[] = {"a",  "0.5;,", " ",  "  ", "\t", "\r\n", "\r\n", "\n",
                                        "\x82\xa0", "{", "}", "(*", "*)", "//", "\"", "\r\n"};
  std::string text;
  const int length = input.Byte() % (maxPieces + 1);
  for (int i = 0; i < length; ++i) text += kPieces[input.Byte() % 16];
  return text;
}

void AddBracket(TEditorFountain& fountain, const char* left, const char* right) {
  TFountainBracketItem* item = fountain.Brackets()->Add();
  item->SetLeftBracket(left);
  item->SetRightBracket(right);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TFuzzInput input(data, size);
  TEditorDouble editor;
  TEditorFountain& fountain = *editor.FFountain;
  const int flags = input.Byte();
  if (flags & 1) AddBracket(fountain, "{", "}");
  if (flags & 2) AddBracket(fountain, "(*", "*)");
  if (flags & 4) fountain.SetCommenter("//");
  if (flags & 8) fountain.SetQuotation("\"");
  editor.FScreenHeight = 13 * (1 + (flags >> 4) % 4);  // states run two to eight rows ahead
  const int horizon = 2 * (1 + (flags >> 4) % 4);
  TEditorScreenStrings& store = editor.Store();
  store.WrapOption()->SetWrapByte(4 + input.Byte() % 12);
  if (flags & 0x40) store.SwitchWordWrap(true);
  editor.Lines().SetAllText(Text(input, 255));
  store.ResetStates();
  FUZZ_CHECK(FirstStateNotAsFromTheTop(store, fountain) == -1);

  for (int steps = 0; !input.Empty() && steps < 100; ++steps) {
    const int count = store.Count();
    const int row = input.Byte() % (count + 1);
    switch (input.Byte() % 8) {
      case 0:
      case 1: {
        const int n = input.Byte() % (count - row + 1);
        const std::string text = Text(input, 8);
        if (n > 0 || !text.empty()) store.ReplaceText(row, n, text);
        break;
      }
      case 2:
        store.UpdateStates(row, false);  // as a paint of the row does
        if (row < count) {
          const bool viewAbove = editor.FTopRow <= row && row - editor.FTopRow <= horizon;
          for (int r = viewAbove ? editor.FTopRow : row; r <= row; ++r) {
            FUZZ_CHECK(store.BracketIndexes(r) != kInvalidBracket);
          }
        }
        break;
      case 3:
        editor.FTopRow = row;
        break;
      case 4:
        store.ResetStates();
        break;
      case 5:
        store.Undo();
        break;
      case 6:
        store.Redo();
        break;
      default:
        store.SwitchWordWrap(!store.WordWrap());
        break;
    }
    FUZZ_CHECK(FirstStateNotAsFromTheTop(store, fountain) == -1);
  }
  return 0;
}
