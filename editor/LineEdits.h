#pragma once
// Edits of whole logical lines, kept compactly: a rewrite of a large text (Exchange
// changes a third of a model's lines) is undone from what changed in each line, not
// from a copy of the lines. Each edit says: in line Line, at a place counted from the
// line's start or from its end, the bytes Removed were replaced by Inserted. Lines keep
// their number: no edit holds a line end. Consecutive lines with the same edit (a
// comma dropped at the end, "// " put in front) share one record, so a whole section
// costs a few bytes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace plomaret {

struct TLineEdit {
  int Line = 0;
  bool FromEnd = false;  // Offset counts the bytes after the edit instead of before it
  uint32_t Offset = 0;
  std::string_view Removed;
  std::string_view Inserted;
  // How the line is to be split into rows after the edit (each row's length); empty:
  // as word wrap splits it afresh.
  std::vector<int> RowLengths;

  // The same edit undone: the same place, the bytes the other way round.
  TLineEdit Inverse(std::vector<int> rowLengths) const;
};

// Edits in ascending line order: varint records in one buffer, the last one open
// while lines with the same edit follow it.
class TLineEditLog {
 public:
  // Lines must come in ascending order.
  void Add(const TLineEdit& edit);
  // The edit that turns old into changed: the run between their common start and end,
  // placed from the nearer end.
  void AddDifference(int line, std::string_view old, std::string_view changed);
  // Forgets the edit added last (once).
  void RemoveLast();
  // The edit added last is also that of the next lines lines.
  void Extend(int lines);
  // Forgets the last lines edits, which Add or Extend put in the open record.
  void DropLast(int lines);
  int Count() const { return FCount; }
  size_t Bytes() const { return FBytes.capacity() + FOpen.Removed.capacity() + FOpen.Inserted.capacity(); }
  bool Empty() const { return FCount == 0; }

  // Calls visit(const TLineEdit& first, int count) for each run of lines with the same
  // edit, in order: lines first.Line .. first.Line + count - 1. Its views point into the log.
  template <class Visit>
  void ForEachRun(Visit&& visit) const {
    TLineEdit edit;
    size_t position = 0;
    int next = 0;
    while (position < FBytes.size()) {
      int count = 0;
      position = Decode(position, next, edit, count);
      visit(static_cast<const TLineEdit&>(edit), count);
      next = edit.Line + count;
    }
    if (FOpen.Count == 0) return;
    edit.Line = FOpen.Line;
    edit.FromEnd = FOpen.FromEnd;
    edit.Offset = FOpen.Offset;
    edit.Removed = FOpen.Removed;
    edit.Inserted = FOpen.Inserted;
    edit.RowLengths = FOpen.RowLengths;
    visit(static_cast<const TLineEdit&>(edit), FOpen.Count);
  }
  // Calls visit(const TLineEdit&) for each line's edit, in order.
  template <class Visit>
  void ForEach(Visit&& visit) const {
    ForEachRun([&](const TLineEdit& first, int count) {
      TLineEdit edit = first;
      for (int i = 0; i < count; ++i, ++edit.Line) visit(static_cast<const TLineEdit&>(edit));
    });
  }

  // The line after applying edit to old; throws std::logic_error when it does not fit.
  static void Apply(std::string_view old, const TLineEdit& edit, std::string& out);

 private:
  // The record still open: Count lines from Line with the same edit.
  struct TOpenRecord {
    int Line = 0;
    int Count = 0;
    bool FromEnd = false;
    uint32_t Offset = 0;
    std::string Removed;
    std::string Inserted;
    std::vector<int> RowLengths;
  };
  bool Continues(const TLineEdit& edit) const;
  void Close();
  size_t Decode(size_t position, int next, TLineEdit& edit, int& count) const;
  void PutNumber(uint64_t value);
  uint64_t TakeNumber(size_t& position) const;

  std::string FBytes;
  TOpenRecord FOpen;
  int FCount = 0;
  int FNextLine = 0;         // the lowest line a new edit may have
  int FClosedNextLine = 0;   // the same for the closed records
  bool FRemovable = false;   // whether RemoveLast has an edit to forget
};

}  // namespace plomaret
