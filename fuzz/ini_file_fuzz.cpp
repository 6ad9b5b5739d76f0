// Random file bytes, then one write, key deletion or section erasure. Reading never
// fails but for a zero byte; afterwards every other value reads as before, and every
// line the change did not touch is still there byte for byte.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "FuzzCheck.h"
#include "TestFiles.h"
#include "framework/core/CodePage.h"
#include "framework/core/Exceptions.h"
#include "framework/core/IniFile.h"

namespace {

using namespace plomaret;

struct TSection {
  std::string Name;
  std::vector<std::pair<std::string, std::string>> Keys;
  bool operator==(const TSection&) const = default;
};
using TSnapshot = std::vector<TSection>;

TSnapshot Snapshot(const TIniFile& ini) {
  TSnapshot snapshot;
  auto sections = Create<TStringList>();
  auto keys = Create<TStringList>();
  auto values = Create<TStringList>();
  ini.ReadSections(*sections);
  for (int s = 0; s < sections->Count(); ++s) {
    TSection section{sections->Get(s), {}};
    FUZZ_CHECK(ini.SectionExists(section.Name));
    ini.ReadSection(section.Name, *keys);
    ini.ReadSectionValues(section.Name, *values);
    FUZZ_CHECK(keys->Count() == values->Count());
    for (int k = 0; k < keys->Count(); ++k) {
      std::string value = ini.ReadString(section.Name, keys->Get(k), "\r");  // no value holds a CR
      FUZZ_CHECK(ini.ValueExists(section.Name, keys->Get(k)) && value != "\r");
      FUZZ_CHECK(values->Get(k) == keys->Get(k) + "=" + value);
      section.Keys.emplace_back(keys->Get(k), value);
    }
    snapshot.push_back(std::move(section));
  }
  return snapshot;
}

struct TLine {
  std::string Text, End;
  bool operator==(const TLine&) const = default;
};

std::vector<TLine> SplitLines(const std::string& bytes) {
  std::vector<TLine> lines;
  for (size_t i = 0; i < bytes.size();) {
    TLine line;
    while (i < bytes.size() && bytes[i] != '\r' && bytes[i] != '\n') line.Text += bytes[i++];
    if (i < bytes.size()) line.End = bytes.compare(i, 2, "\r\n") == 0 ? "\r\n" : bytes.substr(i, 1);
    i += line.End.size();
    lines.push_back(line);
  }
  return lines;
}

std::string Trimmed(std::string text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.pop_back();
  size_t start = text.find_first_not_of(" \t");
  return start == std::string::npos ? "" : text.substr(start);
}

template <class T>
T* FindNamed(std::vector<T>& items, const std::string& name, auto nameOf) {
  for (T& item : items) {
    if (AnsiSameText(nameOf(item), name)) return &item;
  }
  return nullptr;
}

std::string ScratchFile() {
  static plomaret::testing::TScratchFolder folder;
  return folder.Path("fuzz.ini");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  // Four bytes choose the operation and the names (an existing one or bytes of the
  // input); then come the section, key and value bytes, and the rest is the file.
  const unsigned op = data[0] % 3;
  const bool pickSection = data[0] & 4, pickKey = data[0] & 8;
  size_t pos = 4;
  auto take = [&](size_t length) {
    length = std::min(length % 16, size - pos);
    std::string bytes(reinterpret_cast<const char*>(data) + pos, length);
    pos += length;
    return bytes;
  };
  std::string section = take(data[1]), key = take(data[2]);
  const std::string value = take(data[3]);
  const std::string before(reinterpret_cast<const char*>(data) + pos, size - pos);

  const std::string path = ScratchFile();
  plomaret::testing::WriteBytes(path, before);
  TIniFile ini(path);
  TSnapshot snapshot;
  try {
    snapshot = Snapshot(ini);
  } catch (const EFileError&) {
    FUZZ_CHECK(before.find('\0') != std::string::npos);
    try {
      ini.WriteString("s", "k", "v");
      FUZZ_CHECK(false);
    } catch (const EFileError&) {
    }
    FUZZ_CHECK(plomaret::testing::ReadBytes(path) == before);
    return 0;
  }
  FUZZ_CHECK(before.find('\0') == std::string::npos);
  if (pickSection && !snapshot.empty()) {
    const TSection& picked = snapshot[data[1] % snapshot.size()];
    section = picked.Name;
    if (pickKey && !picked.Keys.empty()) key = picked.Keys[data[2] % picked.Keys.size()].first;
  }
  section = Trimmed(section);
  key = Trimmed(key);

  TSnapshot expected = snapshot;
  auto sectionName = [](const TSection& s) -> const std::string& { return s.Name; };
  auto keyName = [](const std::pair<std::string, std::string>& k) -> const std::string& { return k.first; };
  TSection* target = FindNamed(expected, section, sectionName);
  bool keyExisted = false;
  try {
    if (op == 0) {
      ini.WriteString(section, key, value);
      FUZZ_CHECK(ini.ReadString(section, key, value + "?") == value);
      if (target == nullptr) {
        expected.push_back({section, {{key, value}}});
      } else if (auto* found = FindNamed(target->Keys, key, keyName)) {
        found->second = value;
        keyExisted = true;
      } else {
        target->Keys.emplace_back(key, value);
      }
    } else if (op == 1) {
      ini.DeleteKey(section, key);
      FUZZ_CHECK(!ini.ValueExists(section, key));
      if (target != nullptr) std::erase_if(target->Keys, [&](const auto& k) { return AnsiSameText(k.first, key); });
    } else {
      ini.EraseSection(section);
      FUZZ_CHECK(!ini.SectionExists(section));
      std::erase_if(expected, [&](const TSection& s) { return AnsiSameText(s.Name, section); });
    }
  } catch (const EConvertError&) {
    FUZZ_CHECK(op == 0);
    FUZZ_CHECK(plomaret::testing::ReadBytes(path) == before);
    return 0;
  }
  FUZZ_CHECK(Snapshot(ini) == expected);

  const std::vector<TLine> oldLines = SplitLines(before);
  const std::vector<TLine> newLines = SplitLines(plomaret::testing::ReadBytes(path));
  if (op == 0) {
    // A write changes one line or adds one or two (a key, or a header and a key),
    // giving a last line without a line end one first.
    size_t head = 0, tail = 0;
    while (head < oldLines.size() && head < newLines.size() && oldLines[head] == newLines[head]) ++head;
    while (tail < oldLines.size() - head && tail < newLines.size() - head &&
           oldLines[oldLines.size() - 1 - tail] == newLines[newLines.size() - 1 - tail]) {
      ++tail;
    }
    std::vector<TLine> removed(oldLines.begin() + head, oldLines.end() - tail);
    std::vector<TLine> added(newLines.begin() + head, newLines.end() - tail);
    if (removed.size() == 1 && removed[0].End.empty() && !added.empty() && added[0].Text == removed[0].Text) {
      FUZZ_CHECK(added[0].End == "\r\n");
      removed.clear();
      added.erase(added.begin());
    }
    if (keyExisted) {
      FUZZ_CHECK(removed.size() == added.size() && removed.size() <= 1);
      if (!added.empty()) FUZZ_CHECK(added[0].End == removed[0].End);
    } else {
      FUZZ_CHECK(removed.empty() && added.size() == (target == nullptr ? 2u : 1u));
      for (const TLine& line : added) FUZZ_CHECK(line.End == "\r\n");
    }
  } else {
    // Removal keeps the other lines in order; only an empty LF line after a lone CR
    // may become CR LF so that the two do not join.
    size_t next = 0;
    for (const TLine& line : newLines) {
      while (next < oldLines.size() && !(oldLines[next] == line) &&
             !(line.Text.empty() && line.End == "\r\n" && oldLines[next] == TLine{"", "\n"})) {
        ++next;
      }
      FUZZ_CHECK(next < oldLines.size());
      ++next;
    }
  }
  return 0;
}
