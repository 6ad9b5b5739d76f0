#include "framework/core/Translate.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>

#include "framework/core/TranslationCatalog.h"

namespace plomaret {

namespace {

// -1 until the environment has been read.
std::atomic<int> gLanguage{-1};

TLanguage LanguageFromEnvironment() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return LanguageOfLocale(value);
  }
  return lnEnglish;
}

const char* Lookup(const char* english) {
  if (Language() != lnJapanese) return english;
  const TCatalog& catalog = kJapaneseCatalog;
  const TCatalogEntry* end = catalog.Entries + catalog.Count;
  const TCatalogEntry* found =
      std::lower_bound(catalog.Entries, end, english,
                       [](const TCatalogEntry& entry, const char* key) { return std::strcmp(entry.English, key) < 0; });
  return found != end && std::strcmp(found->English, english) == 0 ? found->Translated : english;
}

// One pass over text: %1.. become args, %n (when count is given) the count.
std::string Expand(std::string_view text, std::initializer_list<std::string_view> args, const std::string* count) {
  std::string result;
  result.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%' || i + 1 == text.size()) {
      result += text[i];
      continue;
    }
    if (count != nullptr && text[i + 1] == 'n') {
      result += *count;
      ++i;
      continue;
    }
    size_t digits = i + 1;
    size_t number = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') {
      number = std::min<size_t>(number * 10 + static_cast<size_t>(text[digits] - '0'), 100000);
      ++digits;
    }
    if (digits == i + 1 || number == 0 || number > args.size()) {
      result += text[i];
      continue;
    }
    result += args.begin()[number - 1];
    i = digits - 1;
  }
  return result;
}

}  // namespace

TLanguage LanguageOfLocale(std::string_view locale) { return locale.starts_with("ja") ? lnJapanese : lnEnglish; }

TLanguage Language() {
  int language = gLanguage.load(std::memory_order_relaxed);
  if (language < 0) {
    language = LanguageFromEnvironment();
    // A language set meanwhile wins over the environment.
    int unread = -1;
    if (!gLanguage.compare_exchange_strong(unread, language)) language = unread;
  }
  return static_cast<TLanguage>(language);
}

void SetLanguage(TLanguage language) { gLanguage.store(language); }

std::string Tr(const char* english) { return Lookup(english); }

std::string TrFormat(const char* english, std::initializer_list<std::string_view> args) {
  return Expand(Lookup(english), args, nullptr);
}

std::string TrPlural(int64_t count, const char* singular, const char* plural,
                     std::initializer_list<std::string_view> args) {
  const char* translated = Lookup(singular);
  // Japanese has one form for every count; English picks by the count.
  const char* text = translated != singular ? translated : count == 1 ? singular : plural;
  const std::string number = std::to_string(count);
  return Expand(text, args, &number);
}

}  // namespace plomaret
