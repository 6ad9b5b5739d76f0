#include "ScriptText.h"

#include <cstdio>

#include "framework/core/CodePage.h"

namespace plomaret::edscript {

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads the quoted string that starts at line[pos] (the opening quote); pos ends
// after the closing quote.
std::string ReadQuoted(std::string_view line, size_t& pos, std::string& written) {
  std::string bytes;
  std::string utf8;  // written text waiting to be converted
  auto flush = [&] {
    bytes += Utf8ToCp932(utf8);
    written += utf8;
    utf8.clear();
  };
  for (++pos; pos < line.size(); ++pos) {
    const char c = line[pos];
    if (c == '"') {
      ++pos;
      flush();
      return bytes;
    }
    if (c != '\\') {
      utf8 += c;
      continue;
    }
    if (++pos >= line.size()) break;
    switch (line[pos]) {
      case 'r':
        utf8 += '\r';
        break;
      case 'n':
        utf8 += '\n';
        break;
      case 't':
        utf8 += '\t';
        break;
      case '"':
        utf8 += '"';
        break;
      case '\\':
        utf8 += '\\';
        break;
      case 'x': {
        const int high = pos + 1 < line.size() ? HexValue(line[pos + 1]) : -1;
        const int low = pos + 2 < line.size() ? HexValue(line[pos + 2]) : -1;
        if (high < 0 || low < 0) throw EScriptError("\\x needs two hexadecimal digits");
        flush();
        bytes += static_cast<char>(high * 16 + low);
        written += static_cast<char>(high * 16 + low);
        pos += 2;
        break;
      }
      default:
        throw EScriptError(std::string("unknown escape \\") + line[pos]);
    }
  }
  throw EScriptError("string without its closing quote");
}

}  // namespace

std::vector<TWord> SplitLine(std::string_view line) {
  std::vector<TWord> words;
  size_t pos = 0;
  while (pos < line.size()) {
    const char c = line[pos];
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      ++pos;
    } else if (c == '#') {
      break;
    } else if (c == '"') {
      std::string written;
      std::string text = ReadQuoted(line, pos, written);
      words.push_back({std::move(text), true, std::move(written)});
    } else {
      const size_t end = line.find_first_of(" \t\r\n", pos);
      const size_t stop = end == std::string_view::npos ? line.size() : end;
      words.push_back({std::string(line.substr(pos, stop - pos)), false});
      pos = stop;
    }
  }
  return words;
}

std::string Escape(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      default:
        if (byte < 0x20 || byte >= 0x7F) {
          char hex[8];
          std::snprintf(hex, sizeof hex, "\\x%02x", byte);
          out += hex;
        } else {
          out += c;
        }
    }
  }
  return out;
}

}  // namespace plomaret::edscript
