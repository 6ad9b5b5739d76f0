// Finding text: the rows go to the search engine in chunks of about 8 KB, which
// overlap or go on as far as a match could run past their end (over skipped line
// breaks and blanks that may be any number of rows), and the match is shown by
// HitStyle. Also the token under a point of the window.

#include <algorithm>
#include <vector>

#include "editor/EditorControl.h"
#include "framework/core/ScopeGuard.h"
#include "framework/gui/Messages.h"

namespace plomaret {

namespace {

// A chunk grows row by row while it holds at most this many bytes.
constexpr size_t kChunkBytes = 8191;

// How far the engine's comparison of a pattern can read into the text. Besides the
// bytes it skips, it reads at most two bytes for each pattern character, the
// character that ends it and the byte after: a place followed by more unskipped bytes
// than that before a chunk's end is decided within the chunk.
class TMatchReach {
 public:
  TMatchReach(std::string_view pattern, TSearchOptions options)
      : FLineBreaks((options & soSpanLineBreaks) != 0),
        FBlanks((options & soSkipBlanks) != 0),
        FBound(2 * pattern.size() + 4) {
    // Only a pattern that starts with such a byte (or a full-width blank) can match
    // where the text has one the comparison would skip.
    const auto first = pattern.empty() ? 0 : static_cast<unsigned char>(pattern.front());
    FStartsOnSkipped = first == '\r' || first == '\n' || first == '\t' || first == ' ' || first == 0x81;
  }

  // The first place at or after from where a match could begin and run past the end
  // of text; text.size() when there is none.
  size_t OpenFrom(std::string_view text, size_t from) const {
    size_t open = text.size();
    size_t counted = 0;
    for (size_t i = text.size(); i > from;) {
      --i;
      if (!Skippable(text, i) && ++counted > FBound) break;
      if (MayStart(text, i)) open = i;
    }
    return open;
  }

  // The last place at or before pos where a match could begin, or npos.
  size_t LastStart(std::string_view text, size_t pos) const {
    if (text.empty()) return std::string_view::npos;
    for (size_t i = std::min(pos, text.size() - 1) + 1; i > 0;) {
      if (MayStart(text, --i)) return i;
    }
    return std::string_view::npos;
  }

  // The unskipped bytes from from to the end of text, counted as far as Bound() + 1.
  size_t Unskipped(std::string_view text, size_t from) const {
    size_t counted = 0;
    for (size_t i = from; i < text.size() && counted <= FBound; ++i) {
      if (!Skippable(text, i)) ++counted;
    }
    return counted;
  }

  // A comparison begun before this many unskipped bytes may read past them.
  size_t Bound() const { return FBound; }

 private:
  bool Skipped(unsigned char byte) const {
    return (FLineBreaks && (byte == '\r' || byte == '\n')) || (FBlanks && (byte == '\t' || byte == ' '));
  }
  // Either byte of a full-width blank counts as skipped too: counting too few unskipped
  // bytes only makes the overlap longer.
  bool Skippable(std::string_view text, size_t i) const {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (Skipped(byte)) return true;
    if (!FBlanks) return false;
    return (byte == 0x81 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0x40) ||
           (byte == 0x40 && i > 0 && static_cast<unsigned char>(text[i - 1]) == 0x81);
  }
  bool MayStart(std::string_view text, size_t i) const {
    return FStartsOnSkipped || !Skipped(static_cast<unsigned char>(text[i]));
  }

  bool FLineBreaks;
  bool FBlanks;
  size_t FBound;
  bool FStartsOnSkipped = false;
};

}  // namespace

std::string_view TEditor::RowView(int row) const { return FRowStore->ViewAt(row); }

int TEditor::RowChunkBytes(int row) const {
  return static_cast<int>(FRowStore->SavedBytes(row));
}

TSearchContext TEditor::ChunkContext(int first, int last) const {
  // A chunk that starts or ends at a wrap joint cuts a line: a word may go on over it.
  TSearchContext context;
  if (first > 0 && FRowStore->RowAttributes(first - 1) == raWrap) {
    const std::string_view before = RowView(first - 1);
    context.WordBefore = !before.empty() && !IsSearchWordDelimiter(static_cast<unsigned char>(before.back()));
  }
  if (last + 1 < FRowStore->Count() && FRowStore->RowAttributes(last) == raWrap) {
    const std::string_view after = RowView(last + 1);
    context.WordAfter = !after.empty() && !IsSearchWordDelimiter(static_cast<unsigned char>(after.front()));
  }
  return context;
}

bool TEditor::FindText(std::string_view pattern, TSearchOptions options) {
  if (FRowStore->Count() == 0) return false;
  return (options & soForward) != 0 ? FindForward(pattern, options) : FindBackward(pattern, options);
}

bool TEditor::FindForward(std::string_view pattern, TSearchOptions options) {
  const int count = FRowStore->Count();
  int row = FRow;
  int32_t offset = 0;
  if (RangeExists()) {
    row = FSelection.Range().EndRow;
    offset = FSelection.Range().EndByte + 1;  // just after the range (a hit included)
  } else {
    if (row >= count) return false;
    offset = std::min(static_cast<int>(RowView(row).size()), CaretByte());
  }
  const TMatchReach reach(pattern, options);
  std::string chunk;
  std::vector<size_t> starts;  // where each row of the chunk begins in it
  while (row < count) {
    chunk.clear();
    starts.clear();
    int last = row - 1;
    auto addRow = [&] {
      ++last;
      starts.push_back(chunk.size());
      chunk += RowView(last);
      if (FRowStore->RowAttributes(last) == raLineEnd) chunk += "\r\n";
    };
    do {
      addRow();
    } while (last + 1 < count && chunk.size() <= kChunkBytes);
    size_t open = reach.OpenFrom(chunk, static_cast<size_t>(offset));
    if (last + 1 < count && (starts.size() == 1 || open < starts[1])) {
      // A match from the first row could run past the chunk: it goes on until one
      // from there ends inside it, so that the next chunk starts further down.
      for (size_t added = 0; last + 1 < count && added <= reach.Bound();) {
        const size_t begin = chunk.size();
        addRow();
        added += reach.Unskipped(chunk, begin);
      }
      open = reach.OpenFrom(chunk, static_cast<size_t>(offset));
    }
    const bool toEnd = last == count - 1;
    int32_t start = offset;
    int32_t length = 0;
    const bool found = SearchText(chunk.c_str(), start, length, pattern, options, ChunkContext(row, last));
    // A match found from the open place on may come after one that runs past the chunk.
    if (found && (toEnd || static_cast<size_t>(start) < open)) {
      ShowFound(row, start, length);
      return true;
    }
    if (toEnd) return false;
    if (open >= chunk.size()) {
      row = last + 1;
      offset = 0;
    } else {
      const auto next = std::upper_bound(starts.begin(), starts.end(), open) - 1;
      row += static_cast<int>(next - starts.begin());
      offset = static_cast<int32_t>(open - *next);
    }
  }
  return false;
}

bool TEditor::FindBackward(std::string_view pattern, TSearchOptions options) {
  const int count = FRowStore->Count();
  int row = FRow;
  int64_t offset = CaretByte();
  if (RangeExists()) {
    row = FSelection.Range().StartRow;
    offset = FSelection.Range().StartByte;
  } else if (row >= count) {
    row = count - 1;
    offset = RowChunkBytes(row);
  }
  const TMatchReach reach(pattern, options);
  std::string chunk;
  struct TAbove {
    std::string_view Text;
    bool LineEnd;
  };
  std::vector<TAbove> above;  // the chunk's rows from the bottom up
  for (;;) {
    // Rows above are gathered once, then joined in order.
    above.clear();
    auto gather = [&](int r) {
      above.push_back({RowView(r), FRowStore->RowAttributes(r) == raLineEnd});
      return above.back().Text.size() + (above.back().LineEnd ? 2 : 0);
    };
    int first = row;
    size_t bytes = gather(row);
    while (bytes <= kChunkBytes && first > 0) {
      --first;
      const size_t rowBytes = gather(first);
      bytes += rowBytes;
      offset += static_cast<int64_t>(rowBytes);
    }
    chunk.clear();
    chunk.reserve(bytes);
    for (auto it = above.rbegin(); it != above.rend(); ++it) {
      chunk += it->Text;
      if (it->LineEnd) chunk += "\r\n";
    }
    // A match that starts at or before the offset may run on below the row: the rows
    // after it join the chunk until none can.
    int last = row;
    const size_t latest = reach.LastStart(chunk, static_cast<size_t>(offset));
    if (latest != std::string_view::npos) {
      for (size_t after = reach.Unskipped(chunk, latest); last + 1 < count && after <= reach.Bound();) {
        const size_t begin = chunk.size();
        ++last;
        chunk += RowView(last);
        if (FRowStore->RowAttributes(last) == raLineEnd) chunk += "\r\n";
        after += reach.Unskipped(chunk, begin);
      }
    }
    auto start = static_cast<int32_t>(std::min<int64_t>(offset, INT32_MAX));
    int32_t length = 0;
    if (SearchText(chunk.c_str(), start, length, pattern, options, ChunkContext(first, last))) {
      ShowFound(first, start, length);
      return true;
    }
    if (first == 0) return false;
    row = first < row ? first : first - 1;
    offset = RowChunkBytes(row);
  }
}

void TEditor::ShowFound(int chunkRow, int32_t offset, int32_t length) {
  CleanSelection();
  PlaceCaretAtOffset(chunkRow, offset);
  ShowHit(length);
  Perform(EM_SCROLLCARET);
}

void TEditor::ShowHit(int length) {
  if (FHitStyle == hsSelect || (FHitStyle == hsCaret && length <= 0)) {
    SetSelLength(length);
  } else {
    const int row = FRow;
    const int col = FCol;
    {
      FSelection.SetPlacingHit(true);
      const TScopeExit placed([this] { FSelection.SetPlacingHit(false); });
      SetSelLength(length);
    }
    if (FHitStyle == hsCaret && FSelection.State() == sstHitSelected) {
      // The caret goes back to the start of the hit and takes its width there.
      FSelection.SetHitLength(length);
      SetRowCol(row, col);
      UpdateCaret();
    }
  }
  FSelection.SetHitLength(length);
}

// ---- Tokens ----

TEditor::TTokenPlace TEditor::TokenPlaceAtPoint(int x, int y, bool useFountain, bool keepState) const {
  TTokenPlace place;
  int row = 0;
  int index = 0;
  if (!CharFromPixel(x, y, row, index) || row >= FRowStore->Count()) return place;
  const int lineRow = FRowStore->FirstRowOfLine(row);
  for (int r = lineRow; r < row; ++r) index += static_cast<int>(RowView(r).size());
  std::string line = FRowStore->RowsText(lineRow, -1).Text;
  if (line.ends_with("\r\n")) line.resize(line.size() - 2);
  TOwned<TFountainParser> parser;
  TRowAttributeData data = StartRowAttributeData();
  if (useFountain && ActiveFountain() != nullptr) {
    parser = ActiveFountain()->CreateParser();
    data = FRowStore->RowAttributeData(lineRow);
    if (!keepState) data.BracketIndex = kInvalidBracket;
  } else {
    parser = Create<TTokenParser>();
  }
  parser->NewData(line.c_str(), data);
  for (TTokenKind kind = parser->NextToken(); kind != toEof; kind = parser->NextToken()) {
    const int start = parser->SourcePos();
    if (start <= index && index <= start + parser->TokenLength() - 1) {
      place.Token = {true, parser->TokenString(), kind};
      place.LineRow = lineRow;
      place.Start = start;
      return place;
    }
    if (start > index) break;
  }
  return place;
}

TEditor::TTokenAtPoint TEditor::TokenAtPoint(int x, int y, bool useFountain, bool keepState) const {
  return TokenPlaceAtPoint(x, y, useFountain, keepState).Token;
}

void TEditor::SelectTokenAtPoint(int x, int y, bool useFountain, bool keepState) {
  const TTokenPlace place = TokenPlaceAtPoint(x, y, useFountain, keepState);
  if (!place.Token.Found) return;
  CleanSelection();
  PlaceCaretAtOffset(place.LineRow, place.Start);
  SetSelLength(static_cast<int>(place.Token.Text.size()));
}

}  // namespace plomaret
