#pragma once
// Screen rows: the line list with a fixed meaning for each item's packed words.
//
// Word 1: bits 0-1 row attribute, 2-3 previous row's attribute, 4-7 bracket index
// + 2, 8-15 state value, 16-23 remain, 24-31 state value 2.
// Word 2: bits 0-7 token kind, 8-15 state byte, 16-31 the row's sixteen mark bits.
// The second string holds the parser's state string. A fresh row (both words 0)
// reads as raLineEnd, without marks, and with bracket index -2: not yet parsed.

#include <cstdint>
#include <string>

#include "editor/LineList.h"

namespace plomaret {

enum TRowAttribute : uint8_t { raLineEnd = 0, raWrap = 1, raTextEnd = 2 };

// The parser's state at the start of a row, as it passes between rows and parser.
struct TRowAttributeData {
  uint8_t RowAttribute = raLineEnd;
  uint8_t PrevRowAttribute = raLineEnd;
  int32_t BracketIndex = -1;  // -1: no open bracket; -2: not valid, parse again
  int32_t StateValue = 0;
  int32_t Remain = 0;
  int32_t StateValue2 = 0;
  uint8_t TokenKind = 0;
  uint8_t StateByte = 0;
  std::string StateStr;

  bool operator==(const TRowAttributeData&) const = default;
};

inline constexpr int kNoBracket = -1;
inline constexpr int kInvalidBracket = -2;

// The state at the top of the text.
TRowAttributeData StartRowAttributeData();
// The state written into rows that must be parsed again.
TRowAttributeData InvalidRowAttributeData();

namespace row_bits {

// A field of a packed word: `width` bits from bit `shift`.
struct TBitField {
  unsigned Shift;
  unsigned Width;

  constexpr uint32_t Mask() const { return ((Width == 32 ? 0u : (1u << Width)) - 1u) << Shift; }
  constexpr uint32_t Read(uint32_t word) const { return (word & Mask()) >> Shift; }
  constexpr uint32_t Write(uint32_t word, uint32_t value) const { return (word & ~Mask()) | ((value << Shift) & Mask()); }
};

inline constexpr TBitField kRowAttribute{0, 2};
inline constexpr TBitField kPrevRowAttribute{2, 2};
inline constexpr TBitField kBracketIndex{4, 4};
inline constexpr TBitField kStateValue{8, 8};
inline constexpr TBitField kRemain{16, 8};
inline constexpr TBitField kStateValue2{24, 8};
inline constexpr TBitField kTokenKind{0, 8};
inline constexpr TBitField kStateByte{8, 8};
inline constexpr TBitField kMarks{16, 16};

}  // namespace row_bits

class TRowAttributeStringList : public TLineList {
 public:
  TRowAttributeStringList() { CountItemsWith(row_bits::kRowAttribute.Mask(), raWrap); }

  // Rows that a wrap continues, in all and before a row: counted as rows change, so
  // that line numbers and the line count need no walk over millions of rows.
  int WrapRowCount() const { return CountedItems(); }
  int WrapRowsBefore(int row) const { return CountedItemsBefore(row); }
  // Read for every row of every pass over a wrapped line: kept inline.
  TRowAttribute RowAttributes(int row) const {
    return static_cast<TRowAttribute>(row_bits::kRowAttribute.Read(Attribute1(row)));
  }
  void SetRowAttributes(int row, TRowAttribute value);
  uint8_t PrevRowAttributes(int row) const;
  void SetPrevRowAttributes(int row, uint8_t value);
  int32_t BracketIndexes(int row) const;
  void SetBracketIndexes(int row, int32_t value);
  uint8_t StateValues(int row) const;
  void SetStateValues(int row, uint8_t value);
  uint8_t Remains(int row) const;
  void SetRemains(int row, uint8_t value);
  uint8_t StateValues2(int row) const;
  void SetStateValues2(int row, uint8_t value);
  uint8_t TokenKinds(int row) const;
  void SetTokenKinds(int row, uint8_t value);
  uint8_t StateBytes(int row) const;
  void SetStateBytes(int row, uint8_t value);
  uint16_t RowMarkBits(int row) const { return static_cast<uint16_t>(row_bits::kMarks.Read(Attribute2(row))); }
  void SetRowMarkBits(int row, uint16_t value);
  // What a fresh row (its state not yet parsed) is to hold: its text, how it ends,
  // and its marks.
  struct TFreshRow {
    std::string_view Text;
    TRowAttribute Attribute;
    uint16_t Marks;
  };
  // Rows first .. first + count - 1 become fresh ones as one change: source(i) gives
  // row first + i's TFreshRow. Texts are written in place where the old has room.
  template <class Source>
  void PutFreshRows(int first, int count, Source&& source) {
    PutFreshRun(first, count, [&source](int i) { return FreshItem(source(i)); });
  }

  // The whole parser state of a row (row attribute included), and writing it back
  // without touching the row's marks.
  TRowAttributeData RowAttributeData(int row) const;
  void SetRowAttributeData(int row, const TRowAttributeData& data);
  // The row keeps its text and becomes a fresh one, ended as attribute says, with
  // these marks.
  void MakeRowFresh(int row, TRowAttribute attribute, uint16_t marks);
  // Marks the row's state as not valid; keeps its row attribute and marks.
  void InvalidateRowAttributeData(int row);

 private:
  static TFreshItem FreshItem(const TFreshRow& row) {
    return {row.Text, row_bits::kRowAttribute.Write(0, row.Attribute), row_bits::kMarks.Write(0, row.Marks)};
  }
};

}  // namespace plomaret
