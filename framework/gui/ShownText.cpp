#include "framework/gui/ShownText.h"

#include "framework/core/CodePage.h"

namespace plomaret {

namespace {

// The length of the UTF-8 character at the start of bytes; 0 when none starts there.
size_t Utf8Length(std::string_view bytes) {
  const auto first = static_cast<unsigned char>(bytes[0]);
  size_t length = 1;
  unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
  if (first < 0x80) return 1;
  if (first >= 0xC2 && first <= 0xDF) {
    length = 2;
  } else if (first >= 0xE0 && first <= 0xEF) {
    length = 3;
    if (first == 0xE0) low = 0xA0;   // overlong
    if (first == 0xED) high = 0x9F;  // surrogates
  } else if (first >= 0xF0 && first <= 0xF4) {
    length = 4;
    if (first == 0xF0) low = 0x90;   // overlong
    if (first == 0xF4) high = 0x8F;  // beyond U+10FFFF
  } else {
    return 0;
  }
  if (length > bytes.size()) return 0;
  for (size_t k = 1; k < length; ++k) {
    const auto next = static_cast<unsigned char>(bytes[k]);
    if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF)) return 0;
  }
  return length;
}

bool IsCp932Character(std::string_view bytes) { return Cp932ToUtf8(bytes).find("\xEF\xBF\xBD") == std::string::npos; }

// Bytes taken as Shift-JIS, each byte that is no character there as a middle dot.
std::string ShownAsShiftJis(std::string_view name) {
  static const std::string_view kUndecodable = "\x81\x45";  // U+30FB
  std::string shown;
  size_t i = 0;
  while (i < name.size()) {
    const auto byte = static_cast<unsigned char>(name[i]);
    if (IsLeadByte(byte) && i + 1 < name.size() && IsCp932Character(name.substr(i, 2))) {
      shown.append(name, i, 2);
      i += 2;
      continue;
    }
    // 0x80, 0xA0 and 0xFD-0xFF are no characters, though some converters map them.
    const bool single = byte < 0x80 || (byte >= 0xA1 && byte <= 0xDF);
    shown += single ? name.substr(i, 1) : kUndecodable;
    ++i;
  }
  return shown;
}

}  // namespace

bool IsUtf8(std::string_view bytes) {
  for (size_t i = 0; i < bytes.size();) {
    const size_t length = Utf8Length(bytes.substr(i));
    if (length == 0) return false;
    i += length;
  }
  return true;
}

std::string ShownName(std::string_view name) { return IsUtf8(name) ? Utf8ToCp932(name) : ShownAsShiftJis(name); }

std::string ShownMessage(std::string_view text) {
  if (IsUtf8(text)) return Utf8ToCp932(text);
  // A name in Shift-JIS inside a sentence: each character as what it is. A Shift-JIS
  // pair may end in an ASCII byte, so the pairs are taken whole.
  std::string shown;
  size_t i = 0;
  while (i < text.size()) {
    if (const size_t length = Utf8Length(text.substr(i)); length > 0) {
      shown += Utf8ToCp932(text.substr(i, length));
      i += length;
      continue;
    }
    // A lead byte ending a name (a broken one) would take the sentence's next byte with
    // it: when all that follows is UTF-8 from that byte on, it stands alone.
    const bool pair = IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() &&
                      !(static_cast<unsigned char>(text[i + 1]) >= 0x80 && IsUtf8(text.substr(i + 1)));
    const size_t taken = pair ? 2 : 1;
    shown += ShownAsShiftJis(text.substr(i, taken));
    i += taken;
  }
  return shown;
}

std::string ShownSentence(std::string_view sentence, std::initializer_list<std::string_view> parts) {
  const std::string text = Utf8ToCp932(sentence);
  std::string said;
  for (size_t i = 0; i < text.size(); ++i) {
    // No Shift-JIS trail byte is '%' or a digit (they start at 0x40), so these are always themselves.
    const size_t part = i + 1 < text.size() ? static_cast<size_t>(text[i + 1] - '1') : parts.size();
    if (text[i] == '%' && part < parts.size()) {
      said += parts.begin()[part];
      ++i;
    } else {
      said += text[i];
    }
  }
  return said;
}

}  // namespace plomaret
