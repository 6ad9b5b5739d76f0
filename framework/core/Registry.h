#pragma once
// The registry of the current user, kept in files, and INI-style access to it.
//
// Store: $XDG_CONFIG_HOME (or ~/.config) /plomaret-registry/HKEY_CURRENT_USER/.
// Each key is a folder holding its subkeys' folders and a file ".values" with its
// values. A folder's name is the key name as first written, with "%" and "/" and a
// leading "." written as %25, %2F and %2E; names starting with "." are ours
// (values file, temporary files) and never keys. Keys and values are found without
// regard to case (AnsiSameText) and keep the case they were created with.
//
// ".values" is binary: the line "plomaret registry values 1\n", then per value
// its type (one byte: 1 string, 3 binary, 4 integer), the name's length (4 bytes,
// little-endian), the name, the data's length (likewise) and the data, in the
// order the values were created. Every change rewrites the file atomically.
//
// There is no cache: every call reads the files, so two TRegistry objects (or two
// programs) always see each other's changes.

#include <cstdint>
#include <string>

#include "Object.h"

namespace plomaret {

class TSectionValues;
class TStrings;

using HKEY = uint32_t;
inline constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002;
inline constexpr HKEY HKEY_USERS = 0x80000003;
inline constexpr HKEY HKEY_CURRENT_CONFIG = 0x80000005;

enum TRegDataType { rdUnknown, rdString, rdInteger, rdBinary };

// Key paths use "\" between names; a leading "\" starts from the root, otherwise a
// path is relative to the current key (or the root while none is open). Key names
// are Shift-JIS: a "\" that is the second byte of a double-byte character is part
// of the name. Value operations act on the current key; with none open, reads find
// nothing and writes raise ERegistryError.
class TRegistry : public TObject {
 public:
  TRegistry();

  HKEY RootKey() const { return HKEY_CURRENT_USER; }
  // Only HKEY_CURRENT_USER exists here; any other root raises ERegistryError.
  void SetRootKey(HKEY key);

  // Makes the key current; false when it does not exist (and canCreate is false)
  // or its path is not valid. EFileError when the store cannot be written.
  bool OpenKey(const std::string& key, bool canCreate);
  void CloseKey();
  // The current key's path from the root, as the caller spelled it; "" when none.
  const std::string& CurrentPath() const { return FCurrent.Path; }

  bool KeyExists(const std::string& key);
  // True when the key exists afterwards; ERegistryError for an invalid path.
  bool CreateKey(const std::string& key);
  // Deletes the key with all its subkeys; false when there is no such key or
  // the path names none (""), which would be the current key.
  bool DeleteKey(const std::string& key);

  bool ValueExists(const std::string& name);
  // Bytes of the value (a string counts its terminating zero), or -1.
  int GetDataSize(const std::string& name);
  // rdUnknown when the value does not exist.
  TRegDataType GetDataType(const std::string& name);

  // Reads raise ERegistryError for a missing value ("Failed to get data for 'x'")
  // or one of another type ("Invalid data type for 'x'").
  std::string ReadString(const std::string& name);  // up to its first zero byte
  void WriteString(const std::string& name, const std::string& value);
  int32_t ReadInteger(const std::string& name);
  void WriteInteger(const std::string& name, int32_t value);
  // Copies the value into buffer and returns its size; ERegistryError when it
  // does not fit in size bytes.
  int ReadBinaryData(const std::string& name, void* buffer, int size);
  void WriteBinaryData(const std::string& name, const void* buffer, int size);
  bool DeleteValue(const std::string& name);

  // Replace the list's lines: values in the order they were created, keys sorted.
  void GetValueNames(TStrings& names);
  void GetKeyNames(TStrings& names);

  // The folder of HKEY_CURRENT_USER.
  const std::string& StoreFolder() const { return FRoot; }

 private:
  friend class TRegistryIniFile;

  struct TKey {
    bool Open = false;
    std::string Folder;
    std::string Path;
  };

  bool Find(const std::string& key, bool create, TKey& found);
  void WriteValue(const std::string& name, uint8_t type, std::string data);
  [[noreturn]] static void ReadError(const std::string& name);

  std::string FRoot;
  TKey FCurrent;
};

// INI-file access to a key: sections are its subkeys (paths relative to the
// registry's current key, which the constructor opens), idents their values.
class TRegistryIniFile : public TObject {
 public:
  // Opens HKEY_CURRENT_USER\keyPath, creating it when missing.
  explicit TRegistryIniFile(const std::string& keyPath);

  const std::string& FileName() const { return FFileName; }
  // The registry itself, e.g. to read binary values of a section's key. Put its
  // current key back ("\" + FileName()) before using the INI functions again.
  TRegistry& RegIniFile() { return *FRegistry; }

  // A missing section or value gives the default. An integer value reads as its
  // decimal text; a string value as an integer when it is one (else the default).
  std::string ReadString(const std::string& section, const std::string& ident, const std::string& defaultValue);
  void WriteString(const std::string& section, const std::string& ident, const std::string& value);
  int32_t ReadInteger(const std::string& section, const std::string& ident, int32_t defaultValue);
  void WriteInteger(const std::string& section, const std::string& ident, int32_t value);
  bool ReadBool(const std::string& section, const std::string& ident, bool defaultValue);
  void WriteBool(const std::string& section, const std::string& ident, bool value);  // as "1" or "0"

  void DeleteKey(const std::string& section, const std::string& ident);
  void EraseSection(const std::string& section);
  void ReadSection(const std::string& section, TStrings& idents);
  // Every value of a section, read as ReadString reads it, from one read of the store.
  TSectionValues ReadWholeSection(const std::string& section);
  void ReadSections(TStrings& sections);
  // A section exists when it holds at least one value.
  bool SectionExists(const std::string& section);
  bool ValueExists(const std::string& section, const std::string& ident);

 private:
  class TSection;

  std::string FFileName;
  TOwned<TRegistry> FRegistry;
};

}  // namespace plomaret
