#include "RowAttributeList.h"

namespace plomaret {

namespace {

using namespace row_bits;

// Stored as value + 2 so that -2 (not valid) and -1 (none) fit in four bits.
constexpr int32_t kBracketBias = 2;

}  // namespace

TRowAttributeData StartRowAttributeData() { return TRowAttributeData{}; }

TRowAttributeData InvalidRowAttributeData() {
  TRowAttributeData data;
  data.BracketIndex = kInvalidBracket;
  return data;
}

void TRowAttributeStringList::SetRowAttributes(int row, TRowAttribute value) {
  const uint32_t word = Attribute1(row);
  if (kRowAttribute.Read(word) != value) BumpStructureStamp();  // logical lines changed
  SetAttribute1(row, kRowAttribute.Write(word, value));
}

uint8_t TRowAttributeStringList::PrevRowAttributes(int row) const {
  return static_cast<uint8_t>(kPrevRowAttribute.Read(Attribute1(row)));
}
void TRowAttributeStringList::SetPrevRowAttributes(int row, uint8_t value) {
  SetAttribute1(row, kPrevRowAttribute.Write(Attribute1(row), value));
}

int32_t TRowAttributeStringList::BracketIndexes(int row) const {
  return static_cast<int32_t>(kBracketIndex.Read(Attribute1(row))) - kBracketBias;
}
void TRowAttributeStringList::SetBracketIndexes(int row, int32_t value) {
  SetAttribute1(row, kBracketIndex.Write(Attribute1(row), static_cast<uint32_t>(value + kBracketBias)));
}

uint8_t TRowAttributeStringList::StateValues(int row) const {
  return static_cast<uint8_t>(kStateValue.Read(Attribute1(row)));
}
void TRowAttributeStringList::SetStateValues(int row, uint8_t value) {
  SetAttribute1(row, kStateValue.Write(Attribute1(row), value));
}

uint8_t TRowAttributeStringList::Remains(int row) const { return static_cast<uint8_t>(kRemain.Read(Attribute1(row))); }
void TRowAttributeStringList::SetRemains(int row, uint8_t value) {
  SetAttribute1(row, kRemain.Write(Attribute1(row), value));
}

uint8_t TRowAttributeStringList::StateValues2(int row) const {
  return static_cast<uint8_t>(kStateValue2.Read(Attribute1(row)));
}
void TRowAttributeStringList::SetStateValues2(int row, uint8_t value) {
  SetAttribute1(row, kStateValue2.Write(Attribute1(row), value));
}

uint8_t TRowAttributeStringList::TokenKinds(int row) const {
  return static_cast<uint8_t>(kTokenKind.Read(Attribute2(row)));
}
void TRowAttributeStringList::SetTokenKinds(int row, uint8_t value) {
  SetAttribute2(row, kTokenKind.Write(Attribute2(row), value));
}

uint8_t TRowAttributeStringList::StateBytes(int row) const {
  return static_cast<uint8_t>(kStateByte.Read(Attribute2(row)));
}
void TRowAttributeStringList::SetStateBytes(int row, uint8_t value) {
  SetAttribute2(row, kStateByte.Write(Attribute2(row), value));
}

void TRowAttributeStringList::SetRowMarkBits(int row, uint16_t value) {
  SetAttribute2(row, kMarks.Write(Attribute2(row), value));
}

void TRowAttributeStringList::MakeRowFresh(int row, TRowAttribute attribute, uint16_t marks) {
  SetAttribute1(row, kRowAttribute.Write(0, attribute));
  SetAttribute2(row, kMarks.Write(0, marks));
  if (HasExtras()) {
    SetDataWord(row, 0);
    SetStrData(row, std::string());
  }
}

TRowAttributeData TRowAttributeStringList::RowAttributeData(int row) const {
  const uint32_t word1 = Attribute1(row);
  const uint32_t word2 = Attribute2(row);
  TRowAttributeData data;
  data.RowAttribute = static_cast<uint8_t>(kRowAttribute.Read(word1));
  data.PrevRowAttribute = static_cast<uint8_t>(kPrevRowAttribute.Read(word1));
  data.BracketIndex = static_cast<int32_t>(kBracketIndex.Read(word1)) - kBracketBias;
  data.StateValue = static_cast<int32_t>(kStateValue.Read(word1));
  data.Remain = static_cast<int32_t>(kRemain.Read(word1));
  data.StateValue2 = static_cast<int32_t>(kStateValue2.Read(word1));
  data.TokenKind = static_cast<uint8_t>(kTokenKind.Read(word2));
  data.StateByte = static_cast<uint8_t>(kStateByte.Read(word2));
  data.StateStr = StrData(row);
  return data;
}

void TRowAttributeStringList::SetRowAttributeData(int row, const TRowAttributeData& data) {
  uint32_t word1 = kRowAttribute.Write(0, data.RowAttribute);
  word1 = kPrevRowAttribute.Write(word1, data.PrevRowAttribute);
  word1 = kBracketIndex.Write(word1, static_cast<uint32_t>(data.BracketIndex + kBracketBias));
  word1 = kStateValue.Write(word1, static_cast<uint32_t>(data.StateValue));
  word1 = kRemain.Write(word1, static_cast<uint32_t>(data.Remain));
  word1 = kStateValue2.Write(word1, static_cast<uint32_t>(data.StateValue2));
  if (data.RowAttribute != RowAttributes(row)) BumpStructureStamp();
  uint32_t word2 = kMarks.Write(0, RowMarkBits(row));
  word2 = kTokenKind.Write(word2, data.TokenKind);
  word2 = kStateByte.Write(word2, data.StateByte);
  SetAttribute1(row, word1);
  SetAttribute2(row, word2);
  SetStrData(row, data.StateStr);
}

void TRowAttributeStringList::InvalidateRowAttributeData(int row) {
  // The zero state fields read as "not parsed" (bracket index -2); the row attribute
  // and the marks stay. Called for every row of a document: no record on the way.
  SetAttribute1(row, kRowAttribute.Write(0, kRowAttribute.Read(Attribute1(row))));
  SetAttribute2(row, kMarks.Write(0, kMarks.Read(Attribute2(row))));
  if (HasExtras() && !ViewStrData(row).empty()) SetStrData(row, std::string());
}

}  // namespace plomaret
