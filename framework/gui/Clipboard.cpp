#include "Clipboard.h"

#include <vector>

#include "framework/core/CodePage.h"

namespace plomaret {

namespace {

constexpr uint32_t kFirstRegisteredFormat = 0xC000;

std::vector<std::string>& RegisteredFormats() {
  static std::vector<std::string> names;
  return names;
}

}  // namespace

uint32_t RegisterClipboardFormat(std::string_view name) {
  std::vector<std::string>& names = RegisteredFormats();
  for (size_t i = 0; i < names.size(); ++i) {
    if (AnsiSameText(names[i], name)) return kFirstRegisteredFormat + static_cast<uint32_t>(i);
  }
  names.emplace_back(name);
  return kFirstRegisteredFormat + static_cast<uint32_t>(names.size() - 1);
}

std::string ClipboardFormatName(uint32_t format) {
  const std::vector<std::string>& names = RegisteredFormats();
  if (format < kFirstRegisteredFormat || format - kFirstRegisteredFormat >= names.size()) return {};
  return names[format - kFirstRegisteredFormat];
}

}  // namespace plomaret
