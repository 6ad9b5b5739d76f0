#include "CodePage.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

#include "Translate.h"

namespace plomaret {

namespace {

// One converter per direction, opened on first use and kept for the process.
class TConverter {
 public:
  TConverter(const char* to, const char* from) : FHandle(iconv_open(to, from)) {
    if (FHandle == reinterpret_cast<iconv_t>(-1)) {
      throw std::runtime_error(TrFormat("iconv cannot convert from %1 to %2", {from, to}));
    }
  }
  ~TConverter() { iconv_close(FHandle); }
  TConverter(const TConverter&) = delete;
  TConverter& operator=(const TConverter&) = delete;

  // Converts text; onBad(input, remaining, out) handles a byte sequence iconv refuses
  // and returns how many input bytes it consumed.
  template <class BadHandler>
  std::string Convert(std::string_view text, BadHandler onBad) {
    std::string out;
    out.reserve(text.size() + text.size() / 2 + 4);
    iconv(FHandle, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    char buffer[4096];
    while (inLeft > 0) {
      char* outPtr = buffer;
      size_t outLeft = sizeof(buffer);
      size_t result = iconv(FHandle, &in, &inLeft, &outPtr, &outLeft);
      int error = errno;
      out.append(buffer, static_cast<size_t>(outPtr - buffer));
      if (result != static_cast<size_t>(-1)) break;
      if (error == E2BIG) continue;
      // EILSEQ or EINVAL: a sequence the target cannot take, or a cut-off one.
      size_t used = onBad(in, inLeft, out);
      in += used;
      inLeft -= used;
      iconv(FHandle, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
  }

 private:
  iconv_t FHandle;
};

TConverter& ToUtf8Converter() {
  thread_local TConverter converter("UTF-8", "CP932");
  return converter;
}

TConverter& FromUtf8Converter() {
  thread_local TConverter converter("CP932", "UTF-8");
  return converter;
}

// Length of a well-formed UTF-8 sequence at text, or 0.
size_t Utf8SequenceLength(const unsigned char* text, size_t left) {
  unsigned char first = text[0];
  size_t length = first < 0x80 ? 1 : (first >> 5) == 0x6 ? 2 : (first >> 4) == 0xE ? 3 : (first >> 3) == 0x1E ? 4 : 0;
  if (length == 0 || length > left) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((text[i] & 0xC0) != 0x80) return 0;
  }
  return length;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view text) {
  return ToUtf8Converter().Convert(text, [](const char*, size_t, std::string& out) -> size_t {
    out += "\xEF\xBF\xBD";
    return 1;
  });
}

std::string Utf8ToCp932(std::string_view text) {
  return FromUtf8Converter().Convert(text, [](const char* in, size_t left, std::string& out) -> size_t {
    out += '?';
    size_t length = Utf8SequenceLength(reinterpret_cast<const unsigned char*>(in), left);
    return length == 0 ? 1 : length;
  });
}

int AnsiCompareText(std::string_view a, std::string_view b) {
  const size_t common = a.size() < b.size() ? a.size() : b.size();
  bool trail = false;
  for (size_t i = 0; i < common; ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (trail) {
      trail = false;
    } else {
      // Up to the first difference both texts have the same character boundaries,
      // so one trail flag serves both.
      if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x + ('a' - 'A'));
      if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y + ('a' - 'A'));
      trail = IsLeadByte(x);
    }
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

}  // namespace plomaret
