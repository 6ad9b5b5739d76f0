#pragma once
// The ANSI code page of the text: Shift-JIS (Windows code page 932).
//
// Text in the model stays in these bytes; conversion to Unicode happens only where
// the text leaves the program (drawing, the clipboard for other programs, dialogs).

#include <string>
#include <string_view>

namespace plomaret {

// Lead bytes of Shift-JIS double-byte characters: 0x81-0x9F and 0xE0-0xFC.
// A lead byte always takes the next byte with it, whatever that byte is.
inline bool IsLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// CP932 to UTF-8. Every byte that does not start a valid CP932 character becomes
// U+FFFD, and the conversion goes on with the next byte.
std::string Cp932ToUtf8(std::string_view text);

// UTF-8 to CP932. Every character CP932 cannot hold, and every byte of malformed
// UTF-8, becomes '?'.
std::string Utf8ToCp932(std::string_view text);

// Case-insensitive comparison of Shift-JIS text. The original compares "under the
// user's locale"; here that is fixed to: bytes compared as unsigned after folding
// ASCII letters, a double-byte character compared whole and never folded. Sorting
// and binary search use this same comparator, so they always agree.
// Returns <0, 0 or >0.
int AnsiCompareText(std::string_view a, std::string_view b);
inline bool AnsiSameText(std::string_view a, std::string_view b) { return AnsiCompareText(a, b) == 0; }

}  // namespace plomaret
