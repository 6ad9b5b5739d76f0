#pragma once
// Settings in an INI file, read and written the way the Windows profile functions do.
//
// Every call reads the file afresh, so several objects on one file stay consistent.
// Section and key names are compared without regard to ASCII case, and the first of
// duplicate sections or keys is the one that counts. A write re-emits every line it
// does not change byte for byte and replaces the file atomically; a missing file
// reads as empty and is created only by a write. Values are bytes (Shift-JIS).

#include <cstdint>
#include <exception>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "Object.h"
#include "Strings.h"

namespace plomaret {

// A stored integer: decimal with an optional sign, or hexadecimal after "$" or "0x"
// spanning all 32 bits ($FFFFFFFF is -1). Nothing else, and nothing that overflows.
std::optional<int32_t> ParseStoredInteger(std::string_view text);

// The keys of one section with their values, as one read of the store found them.
// Keys are looked up as the store's own reads look them up: without regard to case
// (the first of duplicates counts) and, in an INI file, without the blanks around
// them. Reading a whole section once keeps numbered keys (lists, lines) from
// costing a read of the store each.
class TSectionValues {
 public:
  explicit TSectionValues(bool ignoresBlanks) : FIgnoresBlanks(ignoresBlanks) {}

  void Add(std::string key, std::string value);
  // A value the store cannot give as text; asking for it raises error.
  void AddUnreadable(std::string key, std::exception_ptr error);

  // The number of distinct keys.
  int Count() const { return static_cast<int>(FValues.size()); }
  bool ValueExists(std::string_view key) const { return Find(key) != FValues.end(); }
  std::string ReadString(std::string_view key, std::string_view defaultValue) const;
  // The numbers n for which the section has the key stem + n (n in decimal
  // without leading zeros, as the writers spell it).
  std::set<int> KeyNumbers(std::string_view stem) const;

 private:
  struct TValue {
    std::string Text;
    std::exception_ptr Error;
  };
  struct TKeyLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const;
  };
  using TValues = std::map<std::string, TValue, TKeyLess>;

  TValues::const_iterator Find(std::string_view key) const;

  bool FIgnoresBlanks;
  TValues FValues;
};

class TIniFile : public TObject {
 public:
  explicit TIniFile(std::string fileName) : FFileName(std::move(fileName)) {}

  const std::string& FileName() const { return FFileName; }

  // Reads raise EFileError when the file cannot be read or has a zero byte.
  std::string ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) const;
  // Decimal, or hexadecimal after "$" or "0x"; anything else gives defaultValue.
  int ReadInteger(std::string_view section, std::string_view key, int defaultValue) const;
  // An integer; non-zero is true.
  bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;

  // Writes raise EFileError when the file cannot be read or replaced, and
  // EConvertError for a name or value that one line of the file cannot hold.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int value);
  void WriteBool(std::string_view section, std::string_view key, bool value);

  // The key names of a section, in file order.
  void ReadSection(std::string_view section, TStrings& keys) const;
  // Every section name, in file order.
  void ReadSections(TStrings& sections) const;
  // "key=value" for every key of a section.
  void ReadSectionValues(std::string_view section, TStrings& lines) const;
  // Every key of a section with its value, from one read of the file.
  TSectionValues ReadWholeSection(std::string_view section) const;

  bool SectionExists(std::string_view section) const;
  bool ValueExists(std::string_view section, std::string_view key) const;

  // Removes the key; the section header stays, even when it is left empty.
  void DeleteKey(std::string_view section, std::string_view key);
  // Removes the section with all its lines.
  void EraseSection(std::string_view section);

 private:
  std::string FFileName;
};

}  // namespace plomaret
