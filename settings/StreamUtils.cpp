#include "settings/StreamUtils.h"

#include <climits>
#include <set>
#include <vector>

#include "framework/core/CodePage.h"
#include "framework/core/Exceptions.h"
#include "framework/core/IniFile.h"
#include "framework/core/Registry.h"
#include "framework/core/Translate.h"

namespace plomaret {

namespace {

constexpr int kBytesPerLine = 32;

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// One or two digits; anything that is not all hex gives 0.
uint8_t HexByte(std::string_view digits) {
  int value = 0;
  for (char c : digits) {
    const int digit = HexDigit(c);
    if (digit < 0) return 0;
    value = value * 16 + digit;
  }
  return static_cast<uint8_t>(value);
}

std::string CountKey(const std::string& ident) { return ident + "_c"; }
std::string LineKey(const std::string& ident, int line) { return ident + "_d" + std::to_string(line); }

// The line numbers n for which the section has a key I + "_d" + n. Reading the key
// names once keeps a corrupt count (two billion, say) from costing a file read or
// rewrite per number.
std::set<int> StoredLines(const TIniFile& ini, const std::string& section, const std::string& ident) {
  auto keys = Create<TStringList>();
  ini.ReadSection(section, *keys);
  const std::string stem = ident + "_d";
  std::set<int> lines;
  for (int i = 0; i < keys->Count(); ++i) {
    const std::string key = keys->Get(i);
    if (key.size() <= stem.size() || !AnsiSameText(std::string_view(key).substr(0, stem.size()), stem)) continue;
    const std::string digits = key.substr(stem.size());
    if (digits.size() > 9 || (digits.size() > 1 && digits[0] == '0')) continue;
    if (digits.find_first_not_of("0123456789") != std::string::npos) continue;
    lines.insert(std::stoi(digits));
  }
  return lines;
}

// Opens Location\S for one value operation and afterwards closes it and makes the
// key that was current before current again, also when the operation fails.
class TSubkey {
 public:
  TSubkey(const std::string& location, const std::string& section) : FFile(location) {
    FPrevious = Registry().CurrentPath();
    if (!Registry().OpenKey(section, true)) throw ERegistryError(TrFormat("Failed to create key %1", {section}));
  }
  ~TSubkey() {
    try {
      Registry().CloseKey();
      if (!FPrevious.empty()) Registry().OpenKey(FPrevious.front() == '\\' ? FPrevious : "\\" + FPrevious, false);
    } catch (...) {
      // The registry object goes with us; a key we could not reopen is of no use.
    }
  }
  TSubkey(const TSubkey&) = delete;
  TSubkey& operator=(const TSubkey&) = delete;

  TRegistry& Registry() { return FFile.RegIniFile(); }

 private:
  TRegistryIniFile FFile;
  std::string FPrevious;
};

}  // namespace

void StreamToHexLines(TStream& stream, TStrings& lines) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  TUpdateBracket bracket(lines);
  lines.Clear();
  std::string line;
  uint8_t chunk[4096];
  for (int64_t count; (count = stream.Read(chunk, sizeof chunk)) > 0;) {
    for (int64_t i = 0; i < count; ++i) {
      line += kDigits[chunk[i] >> 4];
      line += kDigits[chunk[i] & 15];
      if (line.size() == 2 * kBytesPerLine) {
        lines.Add(line);
        line.clear();
      }
    }
  }
  if (!line.empty()) lines.Add(line);
}

void HexLinesToStream(const TStrings& lines, TStream& stream) {
  std::vector<uint8_t> bytes;
  for (int i = 0; i < lines.Count(); ++i) {
    const std::string line = lines.Get(i);
    bytes.clear();
    for (size_t pos = 0; pos < line.size(); pos += 2) bytes.push_back(HexByte(std::string_view(line).substr(pos, 2)));
    stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  }
}

void WriteStreamToIni(TStream& stream, const std::string& fileName, const std::string& section,
                      const std::string& ident) {
  auto lines = Create<TStringList>();
  StreamToHexLines(stream, *lines);
  TIniFile ini(fileName);
  const int newCount = lines->Count();
  const int oldCount = ini.ReadInteger(section, CountKey(ident), 0);
  if (newCount < oldCount) {
    const std::set<int> stored = StoredLines(ini, section, ident);
    for (auto line = stored.rbegin(); line != stored.rend(); ++line) {
      if (*line >= newCount && *line < oldCount) ini.DeleteKey(section, LineKey(ident, *line));
    }
    if (newCount == 0) ini.DeleteKey(section, CountKey(ident));
  }
  if (newCount > 0) {
    ini.WriteString(section, CountKey(ident), std::to_string(newCount));
    for (int n = 0; n < newCount; ++n) ini.WriteString(section, LineKey(ident, n), lines->Get(n));
  }
}

void ReadStreamFromIni(TStream& stream, const std::string& fileName, const std::string& section,
                       const std::string& ident) {
  TIniFile ini(fileName);
  const int count = ini.ReadInteger(section, CountKey(ident), 0);
  if (count <= 0) return;
  // A missing line reads as empty, which adds no bytes.
  auto lines = Create<TStringList>();
  for (int n : StoredLines(ini, section, ident)) {
    if (n < count) lines->Add(ini.ReadString(section, LineKey(ident, n), ""));
  }
  HexLinesToStream(*lines, stream);
}

void WriteStreamToRegistry(TStream& stream, const std::string& location, const std::string& section,
                           const std::string& ident) {
  TSubkey key(location, section);
  const int64_t count = std::max<int64_t>(stream.Size() - stream.Position(), 0);
  if (count > INT_MAX) throw ERegistryError(TrFormat("Failed to set data for '%1': the stream is too large", {ident}));
  std::vector<uint8_t> bytes(static_cast<size_t>(count));
  stream.ReadBuffer(bytes.data(), count);
  key.Registry().WriteBinaryData(ident, bytes.data(), static_cast<int>(count));
}

void ReadStreamFromRegistry(TStream& stream, const std::string& location, const std::string& section,
                            const std::string& ident) {
  TSubkey key(location, section);
  const int size = key.Registry().GetDataSize(ident);
  if (size < 0) return;
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  const int count = key.Registry().ReadBinaryData(ident, bytes.data(), size);
  stream.WriteBuffer(bytes.data(), count);
}

}  // namespace plomaret
