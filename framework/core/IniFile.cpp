#include "IniFile.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <optional>
#include <vector>

#include "CodePage.h"
#include "Exceptions.h"
#include "FileReplacer.h"
#include "TextFileReader.h"
#include "Translate.h"

namespace plomaret {

namespace {

constexpr size_t npos = std::string_view::npos;
constexpr std::string_view kLineEnd = "\r\n";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool IsQuoted(std::string_view text) {
  return text.size() >= 2 && (text.front() == '"' || text.front() == '\'') && text.back() == text.front();
}

std::string_view Unquote(std::string_view value) {
  value = Trim(value);
  if (IsQuoted(value)) value = value.substr(1, value.size() - 2);
  return value;
}

// Blanks at either end and one pair of surrounding quotes are lost on reading, so
// such a value is written inside quotes of its own.
std::string EncodeValue(std::string_view value) {
  if (!value.empty() && (IsBlank(value.front()) || IsBlank(value.back()) || IsQuoted(value))) {
    return "\"" + std::string(value) + "\"";
  }
  return std::string(value);
}

// The name of a section header "[name]", or nothing for any other line. "]" is
// looked for character by character: it can be the second byte of a Shift-JIS
// character.
std::optional<std::string_view> HeaderName(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  if (text.empty() || text.front() != '[') return std::nullopt;
  for (size_t i = 1; i < text.size(); ++i) {
    if (text[i] == ']') return Trim(text.substr(1, i - 1));
    if (IsLeadByte(static_cast<unsigned char>(text[i]))) ++i;
  }
  return std::nullopt;
}

struct TIniLine {
  enum TKind { lkOther, lkSection, lkKey };
  std::string_view Text;  // without its line end
  std::string_view End;   // "\r\n", "\r", "\n", or "" for a last line without one
  TKind Kind = lkOther;
  std::string_view Name;   // of a section or key, trimmed
  std::string_view Value;  // a key's text after "=", as written
};

TIniLine ClassifyLine(std::string_view text, bool inSection) {
  TIniLine line;
  line.Text = text;
  if (auto name = HeaderName(text)) {
    line.Kind = TIniLine::lkSection;
    line.Name = *name;
    return line;
  }
  text = Trim(text);
  if (!inSection || text.empty() || text.front() == ';') return line;
  size_t equals = text.find('=');
  if (equals == npos) return line;
  line.Kind = TIniLine::lkKey;
  line.Name = Trim(text.substr(0, equals));
  line.Value = text.substr(equals + 1);
  return line;
}

std::string ReadFileBytes(const std::string& fileName) {
  struct stat info {};
  // A missing file simply holds no settings yet.
  if (::stat(fileName.c_str(), &info) != 0 && (errno == ENOENT || errno == ENOTDIR)) return {};
  TTextFileReader reader(fileName);
  std::string bytes;
  reader.CopyBytes([&](std::string_view block) { bytes.append(block); });
  size_t zero = bytes.find('\0');
  if (zero != npos) {
    throw EFileError(
        TrFormat("\"%1\" is not an INI file: it has a zero byte at offset %2", {fileName, std::to_string(zero)}));
  }
  return bytes;
}

// The file as lines that keep their exact bytes.
class TIniText {
 public:
  explicit TIniText(const std::string& fileName) : FBytes(ReadFileBytes(fileName)) {
    std::string_view bytes = FBytes;
    bool inSection = false;
    size_t start = 0;
    while (start < bytes.size()) {
      size_t stop = bytes.find_first_of("\r\n", start);
      if (stop == npos) stop = bytes.size();
      size_t endLength = stop == bytes.size() ? 0 : (bytes.substr(stop, 2) == kLineEnd ? 2 : 1);
      TIniLine line = ClassifyLine(bytes.substr(start, stop - start), inSection);
      line.End = bytes.substr(stop, endLength);
      inSection = inSection || line.Kind == TIniLine::lkSection;
      FLines.push_back(line);
      start = stop + endLength;
    }
  }
  TIniText(const TIniText&) = delete;
  TIniText& operator=(const TIniText&) = delete;

  const std::string& Bytes() const { return FBytes; }
  const std::vector<TIniLine>& Lines() const { return FLines; }
  const TIniLine& operator[](size_t index) const { return FLines[index]; }
  size_t Count() const { return FLines.size(); }

  // The header of the first section of this name, or npos.
  size_t FindSection(std::string_view name) const {
    for (size_t i = 0; i < FLines.size(); ++i) {
      if (FLines[i].Kind == TIniLine::lkSection && AnsiSameText(FLines[i].Name, name)) return i;
    }
    return npos;
  }

  // The line after the last line of the section.
  size_t SectionEnd(size_t header) const {
    size_t i = header + 1;
    while (i < FLines.size() && FLines[i].Kind != TIniLine::lkSection) ++i;
    return i;
  }

  bool IsKey(size_t index, std::string_view key) const {
    return FLines[index].Kind == TIniLine::lkKey && AnsiSameText(FLines[index].Name, key);
  }

  // The first line of the key in the section, or npos.
  size_t FindKey(size_t header, std::string_view key) const {
    for (size_t i = header + 1, end = SectionEnd(header); i < end; ++i) {
      if (IsKey(i, key)) return i;
    }
    return npos;
  }

  // Where a new key goes: after the section's last key, before the blank lines and
  // comments that part it from the next section.
  size_t KeyInsertionPoint(size_t header) const {
    size_t at = header + 1;
    for (size_t i = header + 1, end = SectionEnd(header); i < end; ++i) {
      if (FLines[i].Kind == TIniLine::lkKey) at = i + 1;
    }
    return at;
  }

 private:
  std::string FBytes;
  std::vector<TIniLine> FLines;
};

// Appends one line. A last line that had no line end gets one before anything
// follows it, and an empty LF line after a lone CR keeps apart from it (the two
// would read as one CR LF, losing the blank line).
void AppendLine(std::string& out, std::string_view text, std::string_view end) {
  if (!out.empty() && out.back() != '\r' && out.back() != '\n') out += kLineEnd;
  if (text.empty() && end == "\n" && !out.empty() && out.back() == '\r') end = kLineEnd;
  out += text;
  out += end;
}

void AppendLines(std::string& out, const TIniText& text, size_t from, size_t to) {
  for (size_t i = from; i < to; ++i) AppendLine(out, text[i].Text, text[i].End);
}

void Replace(const std::string& fileName, const TIniText& text, const std::string& bytes) {
  if (bytes != text.Bytes()) WriteFileReplacing(fileName, bytes);
}

// A line break would split the line; a zero byte would make the whole file unreadable.
bool HasLineBreakOrZero(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) != npos;
}

// A section header, refused when it would not read back as this section.
std::string HeaderLine(const std::string& fileName, std::string_view section) {
  std::string line = "[" + std::string(section) + "]";
  if (HasLineBreakOrZero(section) || HeaderName(line) != section) {
    throw EConvertError(TrFormat(
        "Cannot store the section name \"%1\" in \"%2\": one line of an INI file cannot hold it", {section, fileName}));
  }
  return line;
}

// A key line, refused when it would not read back as this key and value (a key
// "[a" with the value "b]" would make a section header, for one).
std::string KeyLine(const std::string& fileName, std::string_view key, std::string_view value) {
  if (HasLineBreakOrZero(value)) {
    throw EConvertError(
        TrFormat("Cannot store the value of \"%1\" (it has a line break or a zero byte) in \"%2\": one "
                 "line of an INI file cannot hold it",
                 {key, fileName}));
  }
  std::string text = std::string(key) + "=" + EncodeValue(value);
  TIniLine line = ClassifyLine(text, true);
  if (HasLineBreakOrZero(key) || line.Kind != TIniLine::lkKey || line.Name != key || Unquote(line.Value) != value) {
    throw EConvertError(TrFormat("Cannot store the key name \"%1\" in \"%2\": one line of an INI file cannot hold it",
                                 {key, fileName}));
  }
  return text;
}

}  // namespace

std::optional<int32_t> ParseStoredInteger(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  unsigned base = 10;
  if (text.starts_with('$')) {
    base = 16;
    text.remove_prefix(1);
  } else if (text.starts_with("0x") || text.starts_with("0X")) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty()) return std::nullopt;
  const uint64_t limit = base == 16 ? 0xFFFFFFFFu : (negative ? 0x80000000u : 0x7FFFFFFFu);
  uint64_t number = 0;
  for (char c : text) {
    unsigned digit;
    if (c >= '0' && c <= '9') {
      digit = static_cast<unsigned>(c - '0');
    } else if (base == 16 && c >= 'a' && c <= 'f') {
      digit = static_cast<unsigned>(c - 'a' + 10);
    } else if (base == 16 && c >= 'A' && c <= 'F') {
      digit = static_cast<unsigned>(c - 'A' + 10);
    } else {
      return std::nullopt;
    }
    number = number * base + digit;
    if (number > limit) return std::nullopt;
  }
  uint32_t bits = static_cast<uint32_t>(number);
  if (negative) bits = 0u - bits;
  return static_cast<int32_t>(bits);
}

// ---- TSectionValues ----

bool TSectionValues::TKeyLess::operator()(std::string_view a, std::string_view b) const {
  return AnsiCompareText(a, b) < 0;
}

void TSectionValues::Add(std::string key, std::string value) {
  FValues.emplace(std::move(key), TValue{std::move(value), nullptr});
}

void TSectionValues::AddUnreadable(std::string key, std::exception_ptr error) {
  FValues.emplace(std::move(key), TValue{std::string(), std::move(error)});
}

TSectionValues::TValues::const_iterator TSectionValues::Find(std::string_view key) const {
  return FValues.find(FIgnoresBlanks ? Trim(key) : key);
}

std::string TSectionValues::ReadString(std::string_view key, std::string_view defaultValue) const {
  auto found = Find(key);
  if (found == FValues.end()) return std::string(defaultValue);
  if (found->second.Error) std::rethrow_exception(found->second.Error);
  return found->second.Text;
}

std::set<int> TSectionValues::KeyNumbers(std::string_view stem) const {
  std::set<int> numbers;
  for (const auto& [key, value] : FValues) {
    // The digits at the end are the number; the whole key must then be the one
    // a lookup of stem + number finds.
    size_t digits = key.size();
    while (digits > 0 && key[digits - 1] >= '0' && key[digits - 1] <= '9') --digits;
    const std::string_view number = std::string_view(key).substr(digits);
    if (number.empty() || number.size() > 10 || (number.size() > 1 && number[0] == '0')) continue;
    const int64_t n = std::stoll(std::string(number));
    if (n > INT32_MAX) continue;
    auto found = Find(std::string(stem) + std::to_string(n));
    if (found != FValues.end() && &found->first == &key) numbers.insert(static_cast<int>(n));
  }
  return numbers;
}

// ---- TIniFile ----

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) const {
  TIniText text(FFileName);
  size_t header = text.FindSection(Trim(section));
  size_t found = header == npos ? npos : text.FindKey(header, Trim(key));
  return std::string(found == npos ? defaultValue : Unquote(text[found].Value));
}

int TIniFile::ReadInteger(std::string_view section, std::string_view key, int defaultValue) const {
  return ParseStoredInteger(ReadString(section, key, "")).value_or(defaultValue);
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool defaultValue) const {
  return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  section = Trim(section);
  key = Trim(key);
  const std::string header = HeaderLine(FFileName, section);
  const std::string newKey = KeyLine(FFileName, key, value);
  TIniText text(FFileName);
  std::string out;
  size_t at = text.FindSection(section);
  if (at == npos) {
    AppendLines(out, text, 0, text.Count());
    AppendLine(out, header, kLineEnd);
    AppendLine(out, newKey, kLineEnd);
  } else if (size_t found = text.FindKey(at, key); found != npos) {
    // The key keeps its spelling and the line its line end.
    AppendLines(out, text, 0, found);
    AppendLine(out, KeyLine(FFileName, text[found].Name, value), text[found].End);
    AppendLines(out, text, found + 1, text.Count());
  } else {
    at = text.KeyInsertionPoint(at);
    AppendLines(out, text, 0, at);
    AppendLine(out, newKey, kLineEnd);
    AppendLines(out, text, at, text.Count());
  }
  Replace(FFileName, text, out);
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
  WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void TIniFile::ReadSection(std::string_view section, TStrings& keys) const {
  TIniText text(FFileName);
  TUpdateBracket bracket(keys);
  keys.Clear();
  size_t header = text.FindSection(Trim(section));
  if (header == npos) return;
  for (size_t i = header + 1, end = text.SectionEnd(header); i < end; ++i) {
    if (text[i].Kind == TIniLine::lkKey && text.FindKey(header, text[i].Name) == i) {
      keys.Add(std::string(text[i].Name));
    }
  }
}

void TIniFile::ReadSections(TStrings& sections) const {
  TIniText text(FFileName);
  TUpdateBracket bracket(sections);
  sections.Clear();
  for (size_t i = 0; i < text.Count(); ++i) {
    if (text[i].Kind == TIniLine::lkSection && text.FindSection(text[i].Name) == i) {
      sections.Add(std::string(text[i].Name));
    }
  }
}

void TIniFile::ReadSectionValues(std::string_view section, TStrings& lines) const {
  TIniText text(FFileName);
  TUpdateBracket bracket(lines);
  lines.Clear();
  size_t header = text.FindSection(Trim(section));
  if (header == npos) return;
  for (size_t i = header + 1, end = text.SectionEnd(header); i < end; ++i) {
    if (text[i].Kind == TIniLine::lkKey && text.FindKey(header, text[i].Name) == i) {
      lines.Add(std::string(text[i].Name) + "=" + std::string(Unquote(text[i].Value)));
    }
  }
}

TSectionValues TIniFile::ReadWholeSection(std::string_view section) const {
  TIniText text(FFileName);
  TSectionValues values(true);
  size_t header = text.FindSection(Trim(section));
  if (header == npos) return values;
  for (size_t i = header + 1, end = text.SectionEnd(header); i < end; ++i) {
    if (text[i].Kind == TIniLine::lkKey) values.Add(std::string(text[i].Name), std::string(Unquote(text[i].Value)));
  }
  return values;
}

bool TIniFile::SectionExists(std::string_view section) const {
  return TIniText(FFileName).FindSection(Trim(section)) != npos;
}

bool TIniFile::ValueExists(std::string_view section, std::string_view key) const {
  TIniText text(FFileName);
  size_t header = text.FindSection(Trim(section));
  return header != npos && text.FindKey(header, Trim(key)) != npos;
}

void TIniFile::DeleteKey(std::string_view section, std::string_view key) {
  key = Trim(key);
  TIniText text(FFileName);
  size_t header = text.FindSection(Trim(section));
  if (header == npos) return;
  // Every copy goes, or a later duplicate would take the deleted key's place.
  const size_t end = text.SectionEnd(header);
  std::string out;
  for (size_t i = 0; i < text.Count(); ++i) {
    if (i <= header || i >= end || !text.IsKey(i, key)) AppendLine(out, text[i].Text, text[i].End);
  }
  Replace(FFileName, text, out);
}

void TIniFile::EraseSection(std::string_view section) {
  section = Trim(section);
  TIniText text(FFileName);
  // Every section of the name goes, or a later duplicate would take its place.
  bool erasing = false;
  std::string out;
  for (const TIniLine& line : text.Lines()) {
    if (line.Kind == TIniLine::lkSection) erasing = AnsiSameText(line.Name, section);
    if (!erasing) AppendLine(out, line.Text, line.End);
  }
  Replace(FFileName, text, out);
}

}  // namespace plomaret
