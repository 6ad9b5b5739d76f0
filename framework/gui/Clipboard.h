#pragma once
// The clipboard: bytes under numbered formats. Text is CP932 (CF_TEXT); a program
// registers its own formats by name (the box-selection format, for one).

#include <cstdint>
#include <string>
#include <string_view>

namespace plomaret {

inline constexpr uint32_t CF_TEXT = 1;

class TClipboard {
 public:
  virtual ~TClipboard() = default;
  virtual void Clear() = 0;
  // Adds bytes under format to what the clipboard holds now.
  virtual void SetData(uint32_t format, std::string_view bytes) = 0;
  virtual bool HasFormat(uint32_t format) const = 0;
  // The bytes under format, or "" when it has none.
  virtual std::string GetData(uint32_t format) const = 0;

  void SetText(std::string_view text) {
    Clear();
    SetData(CF_TEXT, text);
  }
  std::string AsText() const { return GetData(CF_TEXT); }
};

// The number of a format registered by name (0xC000 and up); the same name, in any
// letter case, always gives the same number.
uint32_t RegisterClipboardFormat(std::string_view name);
// The name of a registered format, or "".
std::string ClipboardFormatName(uint32_t format);

}  // namespace plomaret
