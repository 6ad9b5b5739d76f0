#include "editor/LineEdits.h"

#include <algorithm>
#include <stdexcept>

namespace plomaret {

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

void TLineEditLog::Add(int line, uint32_t prefix, std::string_view removed, std::string_view inserted,
                       const std::vector<int>& rowLengths) {
  if (line <= FLastLine) throw std::logic_error("line edits out of order");
  const size_t before = FBytes.size();
  try {
    PutNumber(static_cast<uint64_t>(line - FLastLine));
    PutNumber(prefix);
    PutNumber(removed.size());
    FBytes.append(removed);
    PutNumber(inserted.size());
    FBytes.append(inserted);
    PutNumber(rowLengths.size());
    for (const int length : rowLengths) PutNumber(static_cast<uint64_t>(length));
  } catch (...) {
    // A record is whole or absent: the log stays readable.
    FBytes.resize(before);
    throw;
  }
  FLineBeforeLast = FLastLine;
  FLastStart = before;
  FLastLine = line;
  ++FCount;
}

void TLineEditLog::RemoveLast() {
  if (FCount == 0 || FLastLine == FLineBeforeLast) return;
  FBytes.resize(FLastStart);
  FLastLine = FLineBeforeLast;
  --FCount;
}

void TLineEditLog::AddDifference(int line, std::string_view old, std::string_view changed,
                                 const std::vector<int>& rowLengths) {
  const size_t shorter = std::min(old.size(), changed.size());
  size_t prefix = 0;
  while (prefix < shorter && old[prefix] == changed[prefix]) ++prefix;
  size_t suffix = 0;
  while (suffix < shorter - prefix && old[old.size() - 1 - suffix] == changed[changed.size() - 1 - suffix]) ++suffix;
  Add(line, static_cast<uint32_t>(prefix), old.substr(prefix, old.size() - prefix - suffix),
      changed.substr(prefix, changed.size() - prefix - suffix), rowLengths);
}

size_t TLineEditLog::Decode(size_t position, int previousLine, TLineEdit& edit) const {
  edit.Line = previousLine + static_cast<int>(TakeNumber(position));
  edit.Prefix = static_cast<uint32_t>(TakeNumber(position));
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
  if (edit.Prefix + edit.Removed.size() > old.size() || old.substr(edit.Prefix, edit.Removed.size()) != edit.Removed) {
    throw std::logic_error("a line edit does not fit its line");
  }
  out.clear();
  out.reserve(old.size() - edit.Removed.size() + edit.Inserted.size());
  out.append(old, 0, edit.Prefix);
  out.append(edit.Inserted);
  out.append(old, edit.Prefix + edit.Removed.size());
}

}  // namespace plomaret
