// Finding text: the rows go to the search engine in chunks of about 8 KB (the last
// row of a chunk starts the next one, so a match over a row end is found), and the
// match is shown by HitStyle. Also the token under a point of the window.

#include <algorithm>

#include "editor/EditorControl.h"
#include "framework/gui/Messages.h"

namespace plomaret {

namespace {

// A chunk grows row by row while it holds at most this many bytes.
constexpr size_t kChunkBytes = 8191;

}  // namespace

std::string_view TEditor::RowView(int row) const { return FList->ViewAt(row); }

int TEditor::RowChunkBytes(int row) const {
  return static_cast<int>(FList->ViewAt(row).size()) + (FList->RowAttributes(row) == raLineEnd ? 2 : 0);
}

TSearchContext TEditor::ChunkContext(int first, int last) const {
  // A chunk that starts or ends at a wrap joint cuts a line: a word may go on over it.
  TSearchContext context;
  if (first > 0 && FList->RowAttributes(first - 1) == raWrap) {
    const std::string_view before = RowView(first - 1);
    context.WordBefore = !before.empty() && !IsSearchWordDelimiter(static_cast<unsigned char>(before.back()));
  }
  if (last + 1 < FList->Count() && FList->RowAttributes(last) == raWrap) {
    const std::string_view after = RowView(last + 1);
    context.WordAfter = !after.empty() && !IsSearchWordDelimiter(static_cast<unsigned char>(after.front()));
  }
  return context;
}

bool TEditor::FindText(std::string_view pattern, TSearchOptions options) {
  if (FList->Count() == 0) return false;
  return (options & soForward) != 0 ? FindForward(pattern, options) : FindBackward(pattern, options);
}

bool TEditor::FindForward(std::string_view pattern, TSearchOptions options) {
  const int count = FList->Count();
  int row = FRow;
  int32_t offset = 0;
  if (RangeExists()) {
    row = FSelection.EndRow;
    offset = FSelection.EndByte + 1;  // just after the range (a hit included)
  } else {
    if (row >= count) return false;
    offset = std::min(static_cast<int>(RowView(row).size()), CaretByte());
  }
  std::string chunk;
  while (row < count) {
    chunk.clear();
    int last = row;
    for (int r = row; r < count && (r == row || chunk.size() <= kChunkBytes); ++r) {
      chunk += RowView(r);
      if (FList->RowAttributes(r) == raLineEnd) chunk += "\r\n";
      last = r;
    }
    int32_t start = offset;
    int32_t length = 0;
    if (SearchText(chunk.c_str(), start, length, pattern, options, ChunkContext(row, last))) {
      ShowFound(row, start, length);
      return true;
    }
    if (last == count - 1) return false;
    row = last > row ? last : row + 1;
    offset = 0;
  }
  return false;
}

bool TEditor::FindBackward(std::string_view pattern, TSearchOptions options) {
  const int count = FList->Count();
  int row = FRow;
  int64_t offset = CaretByte();
  if (RangeExists()) {
    row = FSelection.StartRow;
    offset = FSelection.StartByte;
  } else if (row >= count) {
    row = count - 1;
    offset = RowChunkBytes(row);
  }
  std::string chunk;
  for (;;) {
    // Rows above are counted first and joined once, in order.
    int first = row;
    size_t bytes = static_cast<size_t>(RowChunkBytes(row));
    while (bytes <= kChunkBytes && first > 0) {
      --first;
      bytes += static_cast<size_t>(RowChunkBytes(first));
      offset += RowChunkBytes(first);
    }
    chunk.clear();
    chunk.reserve(bytes);
    for (int r = first; r <= row; ++r) {
      chunk += RowView(r);
      if (FList->RowAttributes(r) == raLineEnd) chunk += "\r\n";
    }
    auto start = static_cast<int32_t>(std::min<int64_t>(offset, INT32_MAX));
    int32_t length = 0;
    if (SearchText(chunk.c_str(), start, length, pattern, options, ChunkContext(first, row))) {
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
    FPlacingHit = true;
    try {
      SetSelLength(length);
    } catch (...) {
      FPlacingHit = false;
      throw;
    }
    FPlacingHit = false;
    if (FHitStyle == hsCaret && FSelection.State == sstHitSelected) {
      // The caret goes back to the start of the hit and takes its width there.
      FSelection.HitLength = length;
      SetRowCol(row, col);
      UpdateCaret();
    }
  }
  FSelection.HitLength = length;
}

// ---- Tokens ----

TEditor::TTokenPlace TEditor::TokenPlaceAtPoint(int x, int y, bool useFountain, bool keepState) const {
  TTokenPlace place;
  int row = 0;
  int index = 0;
  if (!CharFromPixel(x, y, row, index) || row >= FList->Count()) return place;
  const int lineRow = FList->FirstRowOfLine(row);
  for (int r = lineRow; r < row; ++r) index += static_cast<int>(RowView(r).size());
  std::string line = FList->RowsText(lineRow, -1).Text;
  if (line.ends_with("\r\n")) line.resize(line.size() - 2);
  TOwned<TFountainParser> parser;
  TRowAttributeData data = StartRowAttributeData();
  if (useFountain && ActiveFountain() != nullptr) {
    parser = ActiveFountain()->CreateParser();
    data = FList->RowAttributeData(lineRow);
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
