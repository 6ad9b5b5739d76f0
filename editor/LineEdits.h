#pragma once
// Edits of whole logical lines, kept compactly: a rewrite of a large text (Exchange
// changes a third of a model's lines) is undone from what changed in each line, not
// from a copy of the lines. Each edit says: in line Line, at byte Prefix, the bytes
// Removed were replaced by Inserted. Lines keep their number: no edit holds a line end.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace plomaret {

struct TLineEdit {
  int Line = 0;
  uint32_t Prefix = 0;
  std::string_view Removed;
  std::string_view Inserted;
  // How the line is to be split into rows after the edit (each row's length); empty:
  // as word wrap splits it afresh.
  std::vector<int> RowLengths;
};

// Edits in ascending line order, as varint records in one buffer (a few bytes each).
class TLineEditLog {
 public:
  // Lines must come in ascending order.
  void Add(int line, uint32_t prefix, std::string_view removed, std::string_view inserted,
           const std::vector<int>& rowLengths);
  // The edit that turns old into changed, as the shortest run between their common
  // start and end.
  void AddDifference(int line, std::string_view old, std::string_view changed, const std::vector<int>& rowLengths);
  // Forgets the edit added last (once).
  void RemoveLast();
  void Reserve(size_t bytes) { FBytes.reserve(bytes); }
  int Count() const { return FCount; }
  size_t Bytes() const { return FBytes.size(); }
  bool Empty() const { return FCount == 0; }

  // Calls visit(const TLineEdit&) for each edit, in order. The views point into the log.
  template <class Visit>
  void ForEach(Visit&& visit) const {
    TLineEdit edit;
    size_t position = 0;
    int line = -1;
    for (int i = 0; i < FCount; ++i) {
      position = Decode(position, line, edit);
      line = edit.Line;
      visit(static_cast<const TLineEdit&>(edit));
    }
  }

  // The line after applying edit to old.
  static void Apply(std::string_view old, const TLineEdit& edit, std::string& out);

 private:
  size_t Decode(size_t position, int previousLine, TLineEdit& edit) const;
  void PutNumber(uint64_t value);
  uint64_t TakeNumber(size_t& position) const;

  std::string FBytes;
  int FCount = 0;
  int FLastLine = -1;
  size_t FLastStart = 0;    // where the last edit's record starts
  int FLineBeforeLast = -1;
};

}  // namespace plomaret
