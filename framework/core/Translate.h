#pragma once
// The program's messages in the user's language. The English text is the key; the
// translations are compiled in from po/LANG.po, so nothing is read at run time.
//
// Only text marked here is translated: a literal given to Tr, TrFormat or TrPlural is
// what scripts/check_translations.py looks for in po/ja.po.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace plomaret {

enum TLanguage { lnEnglish, lnJapanese };

// Read from the environment at first use: LC_ALL, else LC_MESSAGES, else LANG (the
// first one set and not empty); Japanese when it starts with "ja".
TLanguage Language();
void SetLanguage(TLanguage language);
// The language a locale name such as "ja_JP.UTF-8" stands for.
TLanguage LanguageOfLocale(std::string_view locale);

// The message in the user's language, UTF-8. A message without a translation stays English.
std::string Tr(const char* english);
// %1, %2, ... in the (translated) text replaced by args, in one pass (an argument holding
// "%2" is not expanded again). A % not followed by the number of an argument stays as it is.
std::string TrFormat(const char* english, std::initializer_list<std::string_view> args);
// Plural: English picks singular when count == 1; %n in the text is the count; %1.. as above.
std::string TrPlural(int64_t count, const char* singular, const char* plural,
                     std::initializer_list<std::string_view> args = {});

}  // namespace plomaret
