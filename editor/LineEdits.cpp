#include "editor/LineEdits.h"

#include <algorithm>
#include <stdexcept>

namespace plomaret {

TLineEdit TLineEdit::Inverse(std::vector<int> rowLengths) const {
  TLineEdit inverse;
  inverse.Line = Line;
  inverse.FromEnd = FromEnd;
  inverse.Offset = Offset;
  inverse.Removed = Inserted;
  inverse.Inserted = Removed;
  inverse.RowLengths = std::move(rowLengths);
  return inverse;
}

void TLineEditLog::PutNumber(uint64_t value) {
  while (value >= 0x80) {
    FBytes.push_back(static_cast<char>((value & 0x7F) | 0x80));
    value >>= 7;
  }
  FBytes.push_back(static_cast<char>(value));
}

uint64_t TLineEditLog::TakeNumber(size_t& position) const {
  uint64_t value = 0;
  for (unsigned shift = 0;; shift += 7) {
    const auto byte = static_cast<uint8_t>(FBytes[position++]);
    value |= static_cast<uint64_t>(byte & 0x7F) << shift;
    if ((byte & 0x80) == 0) return value;
  }
}

bool TLineEditLog::Continues(const TLineEdit& edit) const {
  return FOpen.Count > 0 && edit.Line == FOpen.Line + FOpen.Count && edit.FromEnd == FOpen.FromEnd &&
         edit.Offset == FOpen.Offset && edit.Removed == FOpen.Removed && edit.Inserted == FOpen.Inserted &&
         edit.RowLengths.empty() && FOpen.RowLengths.empty();
}

void TLineEditLog::Close() {
  if (FOpen.Count == 0) return;
  const size_t before = FBytes.size();
  try {
    PutNumber(static_cast<uint64_t>(FOpen.Line - FClosedNextLine));
    PutNumber(static_cast<uint64_t>(FOpen.Count));
    PutNumber(FOpen.FromEnd ? 1 : 0);
    PutNumber(FOpen.Offset);
    PutNumber(FOpen.Removed.size());
    FBytes.append(FOpen.Removed);
    PutNumber(FOpen.Inserted.size());
    FBytes.append(FOpen.Inserted);
    PutNumber(FOpen.RowLengths.size());
    for (const int length : FOpen.RowLengths) PutNumber(static_cast<uint64_t>(length));
  } catch (...) {
    // A record is whole or absent, and the open one stays open.
    FBytes.resize(before);
    throw;
  }
  FClosedNextLine = FOpen.Line + FOpen.Count;
  FOpen.Count = 0;
}

void TLineEditLog::Add(const TLineEdit& edit) {
  if (edit.Line < FNextLine) throw std::logic_error("line edits out of order");
  if (Continues(edit)) {
    ++FOpen.Count;
  } else {
    Close();
    TOpenRecord record;
    record.Line = edit.Line;
    record.Count = 1;
    record.FromEnd = edit.FromEnd;
    record.Offset = edit.Offset;
    record.Removed = edit.Removed;
    record.Inserted = edit.Inserted;
    record.RowLengths = edit.RowLengths;
    FOpen = std::move(record);
  }
  FNextLine = edit.Line + 1;
  ++FCount;
  FRemovable = true;
}

void TLineEditLog::RemoveLast() {
  if (!FRemovable) return;
  FRemovable = false;
  --FOpen.Count;
  --FCount;
  FNextLine = FOpen.Count > 0 ? FOpen.Line + FOpen.Count : FClosedNextLine;
}

void TLineEditLog::Extend(int lines) {
  if (FOpen.Count == 0 || lines <= 0) return;
  FOpen.Count += lines;
  FCount += lines;
  FNextLine += lines;
}

void TLineEditLog::DropLast(int lines) {
  lines = std::min(lines, FOpen.Count);
  if (lines <= 0) return;
  FOpen.Count -= lines;
  FCount -= lines;
  FNextLine = FOpen.Count > 0 ? FOpen.Line + FOpen.Count : FClosedNextLine;
  FRemovable = false;
}

void TLineEditLog::AddDifference(int line, std::string_view old, std::string_view changed) {
  const size_t shorter = std::min(old.size(), changed.size());
  size_t prefix = 0;
  while (prefix < shorter && old[prefix] == changed[prefix]) ++prefix;
  size_t suffix = 0;
  while (suffix < shorter - prefix && old[old.size() - 1 - suffix] == changed[changed.size() - 1 - suffix]) ++suffix;
  TLineEdit edit;
  edit.Line = line;
  edit.FromEnd = suffix < prefix;
  edit.Offset = static_cast<uint32_t>(edit.FromEnd ? suffix : prefix);
  edit.Removed = old.substr(prefix, old.size() - prefix - suffix);
  edit.Inserted = changed.substr(prefix, changed.size() - prefix - suffix);
  Add(edit);
}

size_t TLineEditLog::Decode(size_t position, int next, TLineEdit& edit, int& count) const {
  edit.Line = next + static_cast<int>(TakeNumber(position));
  count = static_cast<int>(TakeNumber(position));
  edit.FromEnd = TakeNumber(position) != 0;
  edit.Offset = static_cast<uint32_t>(TakeNumber(position));
  const auto removed = static_cast<size_t>(TakeNumber(position));
  edit.Removed = std::string_view(FBytes).substr(position, removed);
  position += removed;
  const auto inserted = static_cast<size_t>(TakeNumber(position));
  edit.Inserted = std::string_view(FBytes).substr(position, inserted);
  position += inserted;
  edit.RowLengths.resize(static_cast<size_t>(TakeNumber(position)));
  for (int& length : edit.RowLengths) length = static_cast<int>(TakeNumber(position));
  return position;
}

void TLineEditLog::Apply(std::string_view old, const TLineEdit& edit, std::string& out) {
  const size_t removed = edit.Removed.size();
  if (static_cast<size_t>(edit.Offset) + removed > old.size()) throw std::logic_error("a line edit does not fit its line");
  const size_t at = edit.FromEnd ? old.size() - edit.Offset - removed : edit.Offset;
  if (old.substr(at, removed) != edit.Removed) throw std::logic_error("a line edit does not fit its line");
  out.clear();
  out.reserve(old.size() - removed + edit.Inserted.size());
  out.append(old, 0, at);
  out.append(edit.Inserted);
  out.append(old, at + removed);
}

}  // namespace plomaret
