#include "Registry.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "CodePage.h"
#include "Exceptions.h"
#include "FileOps.h"
#include "FileReplacer.h"
#include "IniFile.h"
#include "Strings.h"
#include "Translate.h"

namespace plomaret {

namespace {

constexpr uint8_t REG_SZ = 1;
constexpr uint8_t REG_BINARY = 3;
constexpr uint8_t REG_DWORD = 4;

constexpr std::string_view kHeader = "plomaret registry values 1\n";
constexpr const char* kValuesFile = "/.values";
// Larger files are not ours; refusing them keeps every size within int.
constexpr off_t kMaxValuesFile = 1 << 30;
constexpr size_t kMaxKeyName = 255;

struct TValue {
  std::string Name;
  uint8_t Type = 0;
  std::string Data;
};

// ---- folder names ----

std::string EncodeKeyName(const std::string& name) {
  std::string result;
  for (size_t i = 0; i < name.size(); ++i) {
    const char c = name[i];
    if (c == '%') {
      result += "%25";
    } else if (c == '/') {
      result += "%2F";
    } else if (c == '.' && i == 0) {
      result += "%2E";
    } else {
      result += c;
    }
  }
  return result;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// A "%" without two hex digits after it (a folder made by hand) stays as it is.
std::string DecodeKeyName(const std::string& name) {
  std::string result;
  for (size_t i = 0; i < name.size(); ++i) {
    if (name[i] == '%' && i + 2 < name.size() && HexDigit(name[i + 1]) >= 0 && HexDigit(name[i + 2]) >= 0) {
      result += static_cast<char>(HexDigit(name[i + 1]) * 16 + HexDigit(name[i + 2]));
      i += 2;
    } else {
      result += name[i];
    }
  }
  return result;
}

bool IsFolder(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The folder names of the subkeys of a key's folder (none when it cannot be read).
std::vector<std::string> SubkeyFolders(const std::string& folder) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return names;
  while (const dirent* entry = ::readdir(dir)) {
    if (entry->d_name[0] == '.') continue;
    std::string name = entry->d_name;
    if (IsFolder(folder + "/" + name)) names.push_back(std::move(name));
  }
  ::closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

// The folder of the subkey called name, or "".
std::string FindSubkey(const std::string& folder, const std::string& name) {
  for (const std::string& entry : SubkeyFolders(folder)) {
    if (AnsiSameText(DecodeKeyName(entry), name)) return entry;
  }
  return {};
}

void MakeFolder(const std::string& path) {
  if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
    throw EFileError(TrFormat("Cannot create the folder \"%1\": %2", {path, SystemErrorText(errno)}));
  }
  if (!IsFolder(path)) throw EFileError(TrFormat("Cannot create the folder \"%1\": a file is in the way", {path}));
}

void MakeFolders(const std::string& path) {
  size_t slash = 0;
  while ((slash = path.find('/', slash + 1)) != std::string::npos) {
    if (!IsFolder(path.substr(0, slash))) MakeFolder(path.substr(0, slash));
  }
  MakeFolder(path);
}

// Splits a key path at "\" (never inside a double-byte character). False for an
// empty name within the path, or a name no key can have; one "\" at the end is
// allowed.
bool SplitKeyPath(const std::string& path, std::vector<std::string>& names) {
  names.clear();
  std::string name;
  for (size_t i = 0; i < path.size(); ++i) {
    const char c = path[i];
    if (c == '\\') {
      if (name.empty()) return false;
      names.push_back(std::move(name));
      name.clear();
      continue;
    }
    name += c;
    if (IsLeadByte(static_cast<unsigned char>(c)) && i + 1 < path.size()) name += path[++i];
  }
  if (!name.empty()) names.push_back(std::move(name));
  for (const std::string& each : names) {
    if (each.size() > kMaxKeyName || each.find('\0') != std::string::npos) return false;
    if (EncodeKeyName(each).size() > NAME_MAX) return false;
  }
  return true;
}

std::string StoreRoot() {
  std::string base;
  const char* config = std::getenv("XDG_CONFIG_HOME");
  // A relative XDG_CONFIG_HOME is to be ignored.
  if (config != nullptr && config[0] == '/') {
    base = config;
  } else {
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') {
      const passwd* user = ::getpwuid(::getuid());
      home = user != nullptr ? user->pw_dir : nullptr;
    }
    if (home == nullptr || home[0] == '\0') return {};
    base = std::string(home) + "/.config";
  }
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  return base + "/plomaret-registry/HKEY_CURRENT_USER";
}

// ---- the values file ----

void PutLength(std::string& out, size_t length) {
  for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((length >> shift) & 0xFF);
}

std::string FormatValues(const std::vector<TValue>& values) {
  std::string out(kHeader);
  for (const TValue& value : values) {
    out += static_cast<char>(value.Type);
    PutLength(out, value.Name.size());
    out += value.Name;
    PutLength(out, value.Data.size());
    out += value.Data;
  }
  return out;
}

class TValuesParser {
 public:
  TValuesParser(const std::string& path, std::string_view bytes) : FPath(path), FBytes(bytes) {}

  std::vector<TValue> Parse() {
    if (FBytes.substr(0, kHeader.size()) != kHeader) {
      Damaged(TrFormat("The registry file \"%1\" is damaged: it does not start with the expected header", {FPath}));
    }
    FAt = kHeader.size();
    std::vector<TValue> values;
    while (FAt < FBytes.size()) {
      TValue value;
      value.Type = static_cast<uint8_t>(FBytes[FAt++]);
      if (value.Type != REG_SZ && value.Type != REG_BINARY && value.Type != REG_DWORD) {
        Damaged(TrFormat("The registry file \"%1\" is damaged: unknown value type %2 at offset %3",
                         {FPath, std::to_string(value.Type), std::to_string(FAt - 1)}));
      }
      value.Name = TakeBlock();
      value.Data = TakeBlock();
      if (value.Type == REG_DWORD && value.Data.size() != 4) {
        Damaged(
            TrFormat("The registry file \"%1\" is damaged: the integer \"%2\" is not 4 bytes", {FPath, value.Name}));
      }
      for (const TValue& other : values) {
        if (AnsiSameText(other.Name, value.Name)) {
          Damaged(TrFormat("The registry file \"%1\" is damaged: the value \"%2\" appears twice", {FPath, value.Name}));
        }
      }
      values.push_back(std::move(value));
    }
    return values;
  }

 private:
  std::string TakeBlock() {
    if (FBytes.size() - FAt < 4) {
      Damaged(TrFormat("The registry file \"%1\" is damaged: it ends inside a length at offset %2",
                       {FPath, std::to_string(FAt)}));
    }
    size_t length = 0;
    for (int i = 0; i < 4; ++i) length |= size_t{static_cast<unsigned char>(FBytes[FAt + i])} << (8 * i);
    FAt += 4;
    if (length > FBytes.size() - FAt) {
      Damaged(TrFormat("The registry file \"%1\" is damaged: a length at offset %2 runs past its end",
                       {FPath, std::to_string(FAt - 4)}));
    }
    std::string block(FBytes.substr(FAt, length));
    FAt += length;
    return block;
  }

  [[noreturn]] static void Damaged(const std::string& message) { throw ERegistryError(message); }

  const std::string& FPath;
  std::string_view FBytes;
  size_t FAt = 0;
};

std::vector<TValue> LoadValues(const std::string& folder) {
  const std::string path = folder + kValuesFile;
  const int handle = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (handle < 0) {
    if (errno == ENOENT || errno == ENOTDIR) return {};
    throw EFileError(TrFormat("Cannot read \"%1\": %2", {path, SystemErrorText(errno)}));
  }
  std::string bytes;
  struct stat info {};
  bool tooLarge = ::fstat(handle, &info) == 0 && info.st_size > kMaxValuesFile;
  int error = 0;
  char block[16384];
  while (!tooLarge) {
    const ssize_t got = ::read(handle, block, sizeof(block));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) error = errno;
    if (got <= 0) break;
    bytes.append(block, static_cast<size_t>(got));
    tooLarge = bytes.size() > static_cast<size_t>(kMaxValuesFile);
  }
  ::close(handle);
  if (error != 0) throw EFileError(TrFormat("Cannot read \"%1\": %2", {path, SystemErrorText(error)}));
  if (tooLarge) throw ERegistryError(TrFormat("The registry file \"%1\" is damaged: it is too large", {path}));
  return TValuesParser(path, bytes).Parse();
}

std::vector<TValue>::iterator FindValue(std::vector<TValue>& values, const std::string& name) {
  return std::find_if(values.begin(), values.end(), [&](const TValue& value) { return AnsiSameText(value.Name, name); });
}

std::string JoinPath(const std::string& base, const std::vector<std::string>& names) {
  std::string path = base;
  for (const std::string& name : names) path += (path.empty() ? "" : "\\") + name;
  return path;
}

}  // namespace

// ---- TRegistry ----

TRegistry::TRegistry() : FRoot(StoreRoot()) {}

void TRegistry::SetRootKey(HKEY key) {
  if (key != HKEY_CURRENT_USER) {
    throw ERegistryError(
        Tr("Only HKEY_CURRENT_USER is available: this registry keeps the current user's settings only"));
  }
  CloseKey();
}

void TRegistry::ReadError(const std::string& name) {
  throw ERegistryError(TrFormat("Invalid data type for '%1'", {name}));
}

bool TRegistry::Find(const std::string& key, bool create, TKey& found) {
  if (FRoot.empty()) {
    throw ERegistryError(Tr("There is no folder for the registry: neither XDG_CONFIG_HOME nor HOME is set"));
  }
  const bool relative = key.empty() || key[0] != '\\';
  std::vector<std::string> names;
  if (!SplitKeyPath(relative ? key : key.substr(1), names)) return false;
  const bool fromCurrent = relative && FCurrent.Open;
  std::string folder = fromCurrent ? FCurrent.Folder : FRoot;
  if (!IsFolder(folder)) {
    // The root always exists; a current key may have been deleted under us.
    if (fromCurrent) return false;
    if (create) MakeFolders(folder);
  }
  for (const std::string& name : names) {
    std::string entry = FindSubkey(folder, name);
    if (entry.empty()) {
      if (!create) return false;
      entry = EncodeKeyName(name);
      MakeFolder(folder + "/" + entry);
    }
    folder += "/" + entry;
  }
  found.Open = true;
  found.Folder = std::move(folder);
  found.Path = JoinPath(fromCurrent ? FCurrent.Path : std::string(), names);
  return true;
}

bool TRegistry::OpenKey(const std::string& key, bool canCreate) {
  TKey found;
  if (!Find(key, canCreate, found)) return false;
  FCurrent = std::move(found);
  return true;
}

void TRegistry::CloseKey() { FCurrent = TKey(); }

bool TRegistry::KeyExists(const std::string& key) {
  TKey found;
  return Find(key, false, found);
}

bool TRegistry::CreateKey(const std::string& key) {
  TKey found;
  if (!Find(key, true, found)) throw ERegistryError(TrFormat("Failed to create key %1", {key}));
  return true;
}

bool TRegistry::DeleteKey(const std::string& key) {
  // Only a named key: an empty path would take the current key (or everything).
  std::vector<std::string> names;
  if (!SplitKeyPath(!key.empty() && key[0] == '\\' ? key.substr(1) : key, names) || names.empty()) return false;
  TKey found;
  if (!Find(key, false, found)) return false;
  // Moved aside first, so that a failure half-way never leaves half a key visible.
  const std::string folder = found.Folder;
  std::string aside = folder.substr(0, folder.rfind('/')) + "/.deleted-XXXXXX";
  if (::mkdtemp(aside.data()) == nullptr || ::rename(folder.c_str(), aside.c_str()) != 0) {
    const int error = errno;
    ::rmdir(aside.c_str());
    throw EFileError(TrFormat("Cannot delete the folder \"%1\": %2", {folder, SystemErrorText(error)}));
  }
  std::error_code ignored;
  std::filesystem::remove_all(aside, ignored);
  return true;
}

bool TRegistry::ValueExists(const std::string& name) { return GetDataSize(name) >= 0; }

int TRegistry::GetDataSize(const std::string& name) {
  if (!FCurrent.Open) return -1;
  std::vector<TValue> values = LoadValues(FCurrent.Folder);
  auto value = FindValue(values, name);
  if (value == values.end()) return -1;
  return static_cast<int>(value->Data.size()) + (value->Type == REG_SZ ? 1 : 0);
}

TRegDataType TRegistry::GetDataType(const std::string& name) {
  if (!FCurrent.Open) return rdUnknown;
  std::vector<TValue> values = LoadValues(FCurrent.Folder);
  auto value = FindValue(values, name);
  if (value == values.end()) return rdUnknown;
  switch (value->Type) {
    case REG_SZ: return rdString;
    case REG_DWORD: return rdInteger;
    case REG_BINARY: return rdBinary;
  }
  return rdUnknown;
}

namespace {

TValue ReadValue(bool open, const std::string& folder, const std::string& name, uint8_t type) {
  std::vector<TValue> values;
  if (open) values = LoadValues(folder);
  auto value = FindValue(values, name);
  if (value == values.end()) throw ERegistryError(TrFormat("Failed to get data for '%1'", {name}));
  if (value->Type != type) throw ERegistryError(TrFormat("Invalid data type for '%1'", {name}));
  return std::move(*value);
}

// A string value ends at its first zero byte.
std::string StringData(std::string data) {
  data.resize(std::min(data.size(), data.find('\0')));
  return data;
}

int32_t IntegerData(const std::string& data) {
  uint32_t value = 0;
  for (int i = 0; i < 4; ++i) value |= uint32_t{static_cast<unsigned char>(data[i])} << (8 * i);
  return static_cast<int32_t>(value);
}

}  // namespace

std::string TRegistry::ReadString(const std::string& name) {
  return StringData(ReadValue(FCurrent.Open, FCurrent.Folder, name, REG_SZ).Data);
}

int32_t TRegistry::ReadInteger(const std::string& name) {
  return IntegerData(ReadValue(FCurrent.Open, FCurrent.Folder, name, REG_DWORD).Data);
}

int TRegistry::ReadBinaryData(const std::string& name, void* buffer, int size) {
  const std::string data = ReadValue(FCurrent.Open, FCurrent.Folder, name, REG_BINARY).Data;
  if (data.size() > static_cast<size_t>(std::max(size, 0))) {
    throw ERegistryError(TrPlural(
        static_cast<int64_t>(data.size()), "Invalid data size for '%1': it holds %n byte, the buffer %2",
        "Invalid data size for '%1': it holds %n bytes, the buffer %2", {name, std::to_string(std::max(size, 0))}));
  }
  if (!data.empty()) std::memcpy(buffer, data.data(), data.size());
  return static_cast<int>(data.size());
}

void TRegistry::WriteValue(const std::string& name, uint8_t type, std::string data) {
  if (!FCurrent.Open) throw ERegistryError(TrFormat("Failed to set data for '%1': no key is open", {name}));
  if (!IsFolder(FCurrent.Folder)) {
    if (FCurrent.Folder != FRoot) {
      throw ERegistryError(TrFormat("Failed to set data for '%1': the key was deleted", {name}));
    }
    MakeFolders(FRoot);
  }
  std::vector<TValue> values = LoadValues(FCurrent.Folder);
  auto value = FindValue(values, name);
  if (value == values.end()) {
    values.push_back(TValue{name, type, std::move(data)});
  } else {
    value->Type = type;
    value->Data = std::move(data);
  }
  WriteFileReplacing(FCurrent.Folder + kValuesFile, FormatValues(values));
}

void TRegistry::WriteString(const std::string& name, const std::string& value) { WriteValue(name, REG_SZ, value); }

void TRegistry::WriteInteger(const std::string& name, int32_t value) {
  std::string data;
  PutLength(data, static_cast<uint32_t>(value));
  WriteValue(name, REG_DWORD, std::move(data));
}

void TRegistry::WriteBinaryData(const std::string& name, const void* buffer, int size) {
  if (size < 0) throw ERegistryError(TrFormat("Failed to set data for '%1': negative size", {name}));
  WriteValue(name, REG_BINARY, size == 0 ? std::string() : std::string(static_cast<const char*>(buffer), size));
}

bool TRegistry::DeleteValue(const std::string& name) {
  if (!FCurrent.Open) return false;
  std::vector<TValue> values = LoadValues(FCurrent.Folder);
  auto value = FindValue(values, name);
  if (value == values.end()) return false;
  values.erase(value);
  WriteFileReplacing(FCurrent.Folder + kValuesFile, FormatValues(values));
  return true;
}

void TRegistry::GetValueNames(TStrings& names) {
  std::vector<TValue> values;
  if (FCurrent.Open) values = LoadValues(FCurrent.Folder);
  TUpdateBracket bracket(names);
  names.Clear();
  for (const TValue& value : values) names.Add(value.Name);
}

void TRegistry::GetKeyNames(TStrings& names) {
  std::vector<std::string> keys;
  for (const std::string& entry : SubkeyFolders(FCurrent.Open ? FCurrent.Folder : FRoot)) keys.push_back(DecodeKeyName(entry));
  std::sort(keys.begin(), keys.end(), [](const std::string& a, const std::string& b) { return AnsiCompareText(a, b) < 0; });
  TUpdateBracket bracket(names);
  names.Clear();
  for (const std::string& key : keys) names.Add(key);
}

// ---- TRegistryIniFile ----

// Makes a section's key current for one call, and the previous key current again after.
class TRegistryIniFile::TSection {
 public:
  TSection(TRegistry& registry, const std::string& section, bool create)
      : FRegistry(registry), FSaved(registry.FCurrent) {
    FOpen = FRegistry.OpenKey(section, create);
    if (create && !FOpen) throw ERegistryError(TrFormat("Failed to create key %1", {section}));
  }
  ~TSection() { FRegistry.FCurrent = std::move(FSaved); }
  TSection(const TSection&) = delete;
  TSection& operator=(const TSection&) = delete;

  bool Open() const { return FOpen; }

 private:
  TRegistry& FRegistry;
  TRegistry::TKey FSaved;
  bool FOpen = false;
};

TRegistryIniFile::TRegistryIniFile(const std::string& keyPath) : FFileName(keyPath), FRegistry(Create<TRegistry>()) {
  if (!FRegistry->OpenKey(keyPath, true)) throw ERegistryError(TrFormat("Failed to create key %1", {keyPath}));
}

std::string TRegistryIniFile::ReadString(const std::string& section, const std::string& ident,
                                         const std::string& defaultValue) {
  TSection key(*FRegistry, section, false);
  if (!key.Open()) return defaultValue;
  switch (FRegistry->GetDataType(ident)) {
    case rdUnknown: return defaultValue;
    case rdInteger: return std::to_string(FRegistry->ReadInteger(ident));
    default: return FRegistry->ReadString(ident);
  }
}

void TRegistryIniFile::WriteString(const std::string& section, const std::string& ident, const std::string& value) {
  TSection key(*FRegistry, section, true);
  FRegistry->WriteString(ident, value);
}

int32_t TRegistryIniFile::ReadInteger(const std::string& section, const std::string& ident, int32_t defaultValue) {
  TSection key(*FRegistry, section, false);
  if (!key.Open()) return defaultValue;
  switch (FRegistry->GetDataType(ident)) {
    case rdUnknown: return defaultValue;
    case rdString: {
      // Leading blanks are allowed in a stored string, as the text-to-integer conversion does.
      const std::string stored = FRegistry->ReadString(ident);
      std::string_view text = stored;
      while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
      return ParseStoredInteger(text).value_or(defaultValue);
    }
    default: return FRegistry->ReadInteger(ident);
  }
}

void TRegistryIniFile::WriteInteger(const std::string& section, const std::string& ident, int32_t value) {
  TSection key(*FRegistry, section, true);
  FRegistry->WriteInteger(ident, value);
}

bool TRegistryIniFile::ReadBool(const std::string& section, const std::string& ident, bool defaultValue) {
  return ReadInteger(section, ident, defaultValue ? 1 : 0) != 0;
}

void TRegistryIniFile::WriteBool(const std::string& section, const std::string& ident, bool value) {
  WriteString(section, ident, value ? "1" : "0");
}

void TRegistryIniFile::DeleteKey(const std::string& section, const std::string& ident) {
  TSection key(*FRegistry, section, false);
  if (key.Open()) FRegistry->DeleteValue(ident);
}

void TRegistryIniFile::EraseSection(const std::string& section) { FRegistry->DeleteKey(section); }

void TRegistryIniFile::ReadSection(const std::string& section, TStrings& idents) {
  TSection key(*FRegistry, section, false);
  if (key.Open()) {
    FRegistry->GetValueNames(idents);
  } else {
    idents.Clear();
  }
}

TSectionValues TRegistryIniFile::ReadWholeSection(const std::string& section) {
  TSectionValues values(false);
  TSection key(*FRegistry, section, false);
  if (!key.Open()) return values;
  for (TValue& value : LoadValues(FRegistry->FCurrent.Folder)) {
    switch (value.Type) {
      case REG_SZ:
        values.Add(std::move(value.Name), StringData(std::move(value.Data)));
        break;
      case REG_DWORD:
        values.Add(std::move(value.Name), std::to_string(IntegerData(value.Data)));
        break;
      default: {
        // As ReadString fails on it, but only when someone asks for it.
        auto error = std::make_exception_ptr(ERegistryError(TrFormat("Invalid data type for '%1'", {value.Name})));
        values.AddUnreadable(std::move(value.Name), std::move(error));
      }
    }
  }
  return values;
}

void TRegistryIniFile::ReadSections(TStrings& sections) { FRegistry->GetKeyNames(sections); }

bool TRegistryIniFile::SectionExists(const std::string& section) {
  auto idents = Create<TStringList>();
  ReadSection(section, *idents);
  return idents->Count() > 0;
}

bool TRegistryIniFile::ValueExists(const std::string& section, const std::string& ident) {
  TSection key(*FRegistry, section, false);
  return key.Open() && FRegistry->ValueExists(ident);
}

}  // namespace plomaret
