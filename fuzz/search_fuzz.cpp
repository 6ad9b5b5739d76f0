// The search engine against the plain byte-by-byte reading in tests/editor/LiteralSearch.h,
// over Shift-JIS-like text with half-width kana, voiced marks, full-width letters, line
// breaks and blanks, with every option set and odd start positions. The text sits in
// heap memory of exactly its size, so a read past its zero byte is caught.
//
// Input: the first byte chooses the layout. Layout "direct" (first byte % 4 == 0):
// options (2 bytes, low first), start and length (one signed byte each), pattern length
// (1 byte), the pattern, then the text up to the end. Otherwise the rest of the input
// drives a generator of text pieces, a pattern taken from the text or made up, and
// start, length and options. The text is also put twice into an editor control with
// rows of filler between the copies, about a chunk of them, and a backward search from
// every row of both copies must find what the engine finds over the whole text.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "editor/EditorControl.h"
#include "editor/LiteralSearch.h"
#include "editor/TextSearch.h"
#include "framework/headless/HeadlessPlatform.h"

namespace {

using namespace plomaret;
using plomaret::testing::Hex;

std::string Two(int lead, int trail) { return {static_cast<char>(lead), static_cast<char>(trail)}; }

// One piece of Shift-JIS-like text, weighted towards what the folding rules touch.
std::string Piece(TFuzzInput& in) {
  static const char kLetters[] = "abcxyzABCXYZ";
  static const char kPunctuation[] = "_-.,;:'\"\\~@[]{}!";
  static const unsigned char kVoicedKana[] = {0xB3, 0xB6, 0xBB, 0xC1, 0xC4, 0xC5, 0xCA, 0xCC, 0xCE, 0xCF, 0xA6, 0xDC};
  switch (in.Below(17)) {
    case 0:
    case 1: return std::string(1, kLetters[in.Below(12)]);
    case 2: return std::string(1, static_cast<char>('0' + in.Below(10)));
    case 3: return "\r\n";
    case 4: return in.Below(2) == 0 ? "\r" : "\n";
    case 5: return in.Below(2) == 0 ? " " : "\t";
    case 6: return "\x81\x40";
    case 7: return std::string(1, static_cast<char>(0xA1 + in.Below(0xDF - 0xA1 + 1)));
    case 8: {
      std::string pair(1, static_cast<char>(kVoicedKana[in.Below(sizeof kVoicedKana)]));
      pair += static_cast<char>(in.Below(2) == 0 ? 0xDE : 0xDF);
      return pair;
    }
    case 9: return Two(0x82, 0x4F + in.Below(0x9A - 0x4F + 1));  // full-width digits and letters
    case 10: return Two(0x83, 0x40 + in.Below(0x96 - 0x40 + 1));  // full-width katakana
    case 11:
      switch (in.Below(4)) {
        case 0: return Two(0x83, 0x9F + in.Below(0xD6 - 0x9F + 1));  // Greek
        case 1: return Two(0x84, 0x40 + in.Below(0x91 - 0x40 + 1));  // Cyrillic
        case 2: return Two(0xEE, 0xEF + in.Below(10));                 // small Roman numerals
        default: return Two(0x87, 0x54 + in.Below(10));                // Roman numerals
      }
    case 12: return Two(0x81, 0x40 + in.Below(0x97 - 0x40 + 1));  // full-width symbols
    case 13: {
      const int lead = in.Below(2) == 0 ? 0x81 + in.Below(0x9F - 0x81 + 1) : 0xE0 + in.Below(0xFC - 0xE0 + 1);
      return Two(lead, in.Byte());  // any trail, a zero one included
    }
    case 14: return std::string(1, kPunctuation[in.Below(sizeof kPunctuation - 1)]);
    case 15: return std::string(1, static_cast<char>(in.Byte()));
    default: return std::string(1, static_cast<char>(in.Below(2) == 0 ? 0x82 : 0xE0));  // a lone lead byte
  }
}

struct TCase {
  std::string Text;
  std::string Pattern;
  int32_t SelStart = 0;
  int32_t SelLength = 0;
  TSearchOptions Options = 0;
  std::string Extra;  // more input for ToFullWidth
};

TCase Direct(TFuzzInput& in) {
  TCase c;
  c.Options = static_cast<TSearchOptions>(in.Byte() | (in.Byte() << 8));
  c.SelStart = static_cast<int8_t>(in.Byte());
  c.SelLength = static_cast<int8_t>(in.Byte());
  c.Pattern = in.Take(in.Byte());
  c.Text = in.Rest();
  return c;
}

TCase Generated(TFuzzInput& in) {
  TCase c;
  const int options = in.Byte() | (in.Byte() << 8);
  // Mostly the meaningful bits; sometimes all sixteen, which must be ignored.
  c.Options = static_cast<TSearchOptions>(in.Below(4) != 0 ? options & 0x18F : options);

  for (int n = in.Below(48); n > 0; --n) c.Text += Piece(in);
  if (in.Below(16) == 0) c.Text.insert(in.Below(static_cast<int>(c.Text.size()) + 1), 1, '\0');
  const int len = static_cast<int>(c.Text.size());

  auto slice = [&] {
    const int from = in.Below(len + 1);
    return c.Text.substr(from, 1 + in.Below(8));
  };
  switch (in.Below(9)) {
    case 0:
    case 1:
    case 2: c.Pattern = slice(); break;
    case 3: c.Pattern = testing::LiteralToFullWidth(slice()); break;
    case 4:
      c.Pattern = slice();
      for (char& ch : c.Pattern) {
        if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
        else if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
      }
      break;
    case 5:
      // A piece with its breaks and blanks taken out, for the skipping options.
      for (char ch : c.Text.substr(in.Below(len + 1), 2 + in.Below(12))) {
        if (ch != '\r' && ch != '\n' && ch != ' ' && ch != '\t') c.Pattern += ch;
      }
      break;
    case 6:
      for (int n = 1 + in.Below(3); n > 0; --n) c.Pattern += Piece(in);
      break;
    case 7: c.Pattern = in.Take(in.Below(6)); break;
    default: c.Pattern = testing::LiteralToFullWidth(c.Text.substr(in.Below(len + 1), 1 + in.Below(4))); break;
  }

  switch (in.Below(8)) {
    case 0:
    case 1:
    case 2:
    case 3: c.SelStart = in.Below(len + 1); break;
    case 4:
    case 5:
      c.SelStart = in.Below(len + 1);
      c.SelLength = in.Below(8);
      break;
    case 6:
      c.SelStart = in.Below(len + 7) - 3;
      c.SelLength = in.Below(13) - 2;
      break;
    default: {
      const int32_t starts[] = {std::numeric_limits<int32_t>::min(), -1, len, len + 1, std::numeric_limits<int32_t>::max()};
      const int32_t lengths[] = {0, 1, len, std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::min()};
      c.SelStart = starts[in.Below(5)];
      c.SelLength = lengths[in.Below(5)];
      break;
    }
  }
  c.Extra = in.Rest();
  return c;
}

// Exactly sized copies, so that the sanitizer sees any read past the end.
std::unique_ptr<char[]> HeapText(const std::string& text) {
  std::unique_ptr<char[]> copy(new char[text.size() + 1]);
  std::memcpy(copy.get(), text.data(), text.size());
  copy[text.size()] = '\0';
  return copy;
}

std::unique_ptr<char[]> HeapBytes(const std::string& bytes) {
  std::unique_ptr<char[]> copy(new char[bytes.empty() ? 1 : bytes.size()]);
  std::memcpy(copy.get(), bytes.data(), bytes.size());
  return copy;
}

void Describe(const TCase& c) {
  std::fprintf(stderr, "text: %s\npattern: %s\noptions: 0x%04X start %d length %d\n", Hex(c.Text).c_str(),
               Hex(c.Pattern).c_str(), c.Options, c.SelStart, c.SelLength);
}

#define SEARCH_CHECK(condition, ...)     \
  do {                                   \
    if (!(condition)) {                  \
      Describe(c);                       \
      std::fprintf(stderr, __VA_ARGS__); \
    }                                    \
    FUZZ_CHECK(condition);               \
  } while (0)

void CheckToFullWidth(const std::string& text) {
  const std::unique_ptr<char[]> bytes = HeapBytes(text);
  const std::string_view view(bytes.get(), text.size());
  const std::string real = ToFullWidth(view);
  const std::string literal = testing::LiteralToFullWidth(view);
  if (real != literal) {
    std::fprintf(stderr, "ToFullWidth of %s\nengine: %s\nliteral: %s\n", Hex(text).c_str(), Hex(real).c_str(),
                 Hex(literal).c_str());
  }
  FUZZ_CHECK(real == literal);
}

void CheckDelimitersOnce() {
  static const bool checked = [] {
    for (int b = 0; b < 256; ++b) {
      FUZZ_CHECK(IsSearchWordDelimiter(static_cast<unsigned char>(b)) ==
                 testing::literal::IsWordDelimiter(static_cast<unsigned char>(b)));
    }
    return true;
  }();
  (void)checked;
}

// The editor reads its rows in chunks of about 8 KB: between the two copies of the text
// lie as many bytes of filler rows that, from the rows of the second copy, the chunk's
// first row falls in or near the first copy, while matches run over the caret's row.
void CheckEditorBackwardFromEveryRow(const TCase& c) {
  const std::string_view pattern = c.Pattern;
  std::string text(c.Text.c_str());  // up to the first zero byte, as the engine reads it
  if (pattern.empty() || text.empty()) return;
  const size_t rowLength = 30 + text.size() % 90;
  std::string filler;
  while (filler.size() < 8191 - text.size() % 200) filler += std::string(rowLength, 'q') + "\r\n";
  static TOwned<TEditor> editor = [] {
    UseHeadlessPlatform();
    return CreateWithoutOwner<TEditor>();
  }();
  editor->Lines()->SetAllText(text + "\r\n" + filler + text);
  // The rows as the editor holds them (a lone CR or LF may end a row): offsets are its.
  const std::string all = editor->Lines()->AllText();
  const int count = editor->ScreenStrings()->Count();
  const auto options =
      static_cast<TSearchOptions>(c.Options & (soMatchCase | soWholeWord | soFoldWidth | soSpanLineBreaks | soSkipBlanks));
  for (int row = 0; row < count; ++row) {
    if (editor->ScreenStrings()->ViewAt(row).starts_with("qqqqqqqqqqqqqqqqqqqqqqqqqqqqqq")) continue;
    for (int col : {0, editor->RowEndCol(row)}) {
      editor->CleanSelection();
      editor->SetRowCol(row, col);
      const int32_t from = editor->SelStart();
      int32_t start = from;
      int32_t length = 0;
      const bool expected = SearchText(all.c_str(), start, length, pattern, options);
      const bool found = editor->FindText(pattern, options);
      // A selection cannot begin or end between the CR and the LF of a line end: such a
      // match is shown as much of it as the rows can hold.
      auto inLineEnd = [&](int32_t at) {
        return at > 0 && at < static_cast<int32_t>(all.size()) && all[at - 1] == '\r' && all[at] == '\n';
      };
      const bool compared = found && expected && !inLineEnd(start) && !inLineEnd(start + length);
      SEARCH_CHECK(found == expected && (!compared || (editor->SelStart() == start && editor->SelLength() == length)),
                   "backward from %d in the editor: %d (%d, %d), engine over the whole text %d (%d, %d)\n", from,
                   found, editor->SelStart(), editor->SelLength(), expected, start, length);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CheckDelimitersOnce();
  TFuzzInput in(data, size);
  const TCase c = in.Below(4) == 0 ? Direct(in) : Generated(in);

  const std::unique_ptr<char[]> text = HeapText(c.Text);
  const std::unique_ptr<char[]> patternBytes = HeapBytes(c.Pattern);
  const char* buf = text.get();
  const std::string_view pattern(patternBytes.get(), c.Pattern.size());
  const int64_t bufLen = static_cast<int64_t>(std::strlen(buf));

  // The two top option bits, which the engine ignores, say whether the buffer is a piece
  // of a longer text with a word going on past its start or its end.
  const TSearchContext context{(c.Options & 0x4000) != 0, (c.Options & 0x8000) != 0};
  int32_t start = c.SelStart;
  int32_t length = c.SelLength;
  const bool found = SearchText(buf, start, length, pattern, c.Options, context);
  int32_t literalStart = c.SelStart;
  int32_t literalLength = c.SelLength;
  const bool literalFound = testing::LiteralSearchText(buf, literalStart, literalLength, pattern, c.Options,
                                                       context.WordBefore, context.WordAfter);
  SEARCH_CHECK(found == literalFound, "SearchText: engine %d (%d, %d), literal %d (%d, %d)\n", found, start, length,
               literalFound, literalStart, literalLength);
  if (found) {
    SEARCH_CHECK(start == literalStart && length == literalLength,
                 "SearchText: engine (%d, %d), literal (%d, %d)\n", start, length, literalStart, literalLength);
    FUZZ_CHECK(start >= 0 && length > 0);
    FUZZ_CHECK(static_cast<int64_t>(start) + length <= bufLen);
    const auto classes = testing::literal::ClassifyBytes(buf, bufLen);
    FUZZ_CHECK(classes[start] != testing::literal::bcTrail);
  }
  if (pattern.empty()) FUZZ_CHECK(!found);

  // What an empty pattern gives is SearchText's business alone.
  if (!pattern.empty()) {
    int32_t bufStart = c.SelStart;
    int32_t bufLength = c.SelLength;
    const char* at = SearchBuf(buf, bufStart, bufLength, pattern, c.Options, context);
    int32_t literalBufStart = c.SelStart;
    int32_t literalBufLength = c.SelLength;
    const char* literalAt = testing::LiteralSearchBuf(buf, literalBufStart, literalBufLength, pattern, c.Options,
                                                      context.WordBefore, context.WordAfter);
    SEARCH_CHECK(at == literalAt, "SearchBuf: engine %td, literal %td\n", at == nullptr ? -1 : at - buf,
                 literalAt == nullptr ? -1 : literalAt - buf);
    if (at != nullptr) {
      SEARCH_CHECK(bufLength == literalBufLength, "SearchBuf: engine length %d, literal %d\n", bufLength,
                   literalBufLength);
    }
  }

  // Every match of the whole text in one pass, against the literal reading run again from
  // after each match it finds (Replace all's matches).
  if (context.WordBefore == context.WordAfter && !context.WordBefore) {
    const std::vector<TSearchMatch> all = SearchAll(buf, pattern, c.Options);
    std::vector<TSearchMatch> literal;
    int32_t from = 0;
    int32_t length = 0;
    while (literal.size() <= all.size() &&
           testing::LiteralSearchText(buf, from, length, pattern, c.Options | soForward, false, false)) {
      literal.push_back({from, length});
    }
    SEARCH_CHECK(all == literal, "SearchAll: engine %zu matches, literal %zu\n", all.size(), literal.size());
  }

  if (context.WordBefore == context.WordAfter && !context.WordBefore) CheckEditorBackwardFromEveryRow(c);

  CheckToFullWidth(c.Pattern);
  CheckToFullWidth(c.Text);
  CheckToFullWidth(c.Extra);
  return 0;
}
