// Messages in the user's language: the lookup in the compiled catalog, the arguments
// and the plural forms.

#include "framework/core/Translate.h"

#include <gtest/gtest.h>

#include <cstring>

#include "framework/core/TranslationCatalog.h"

namespace plomaret {
namespace {

TEST(Translate, TheLocaleNameChoosesTheLanguage) {
  const std::pair<const char*, TLanguage> cases[] = {
      {"ja_JP.UTF-8", lnJapanese}, {"ja", lnJapanese},   {"ja_JP.eucJP", lnJapanese},
      {"en_US.UTF-8", lnEnglish},  {"C", lnEnglish},     {"C.UTF-8", lnEnglish},
      {"POSIX", lnEnglish},        {"jv_ID", lnEnglish},
  };
  for (const auto& [locale, language] : cases) EXPECT_EQ(LanguageOfLocale(locale), language) << locale;
}

TEST(Translate, EveryCatalogEntryIsFoundAndTheRestStaysEnglish) {
  SetLanguage(lnJapanese);
  ASSERT_GT(kJapaneseCatalog.Count, 0u);
  for (size_t i = 0; i < kJapaneseCatalog.Count; ++i) {
    const TCatalogEntry& entry = kJapaneseCatalog.Entries[i];
    EXPECT_EQ(Tr(entry.English), entry.Translated) << entry.English;
  }
  EXPECT_EQ(Tr("Modified"), "変更あり");
  EXPECT_EQ(Tr("No such message, not in any catalog"), "No such message, not in any catalog");
  SetLanguage(lnEnglish);
  EXPECT_EQ(Tr("Modified"), "Modified");
}

TEST(Translate, ArgumentsAreReplacedInOnePass) {
  SetLanguage(lnEnglish);
  struct TCase {
    const char* Text;
    std::initializer_list<std::string_view> Args;
    const char* Expected;
  };
  const TCase cases[] = {
      {"%1 and %2", {"a", "b"}, "a and b"},
      {"%2 before %1", {"a", "b"}, "b before a"},
      {"%1", {"%2"}, "%2"},  // an argument is not read again
      {"%1%1", {"x"}, "xx"},
      {"%3 stays", {"a", "b"}, "%3 stays"},      // no such argument
      {"100% sure, 50%", {}, "100% sure, 50%"},  // a % that is no argument
      {"%0 %n", {"a"}, "%0 %n"},                 // %n is only a plural's count
      {"%10", {"1", "2", "3", "4", "5", "6", "7", "8", "9", "ten"}, "ten"},
  };
  for (const TCase& c : cases) EXPECT_EQ(TrFormat(c.Text, c.Args), c.Expected) << c.Text;

  SetLanguage(lnJapanese);
  EXPECT_EQ(TrFormat("unknown option '%1'", {"-v"}), "不明なオプションです: '-v'");
}

TEST(Translate, PluralsReadRightForEveryCountInBothLanguages) {
  struct TCase {
    TLanguage Language;
    int64_t Count;
    const char* Expected;
  };
  const TCase cases[] = {
      {lnEnglish, 0, "0 lines"},  {lnEnglish, 1, "1 line"},   {lnEnglish, 2, "2 lines"},  {lnEnglish, -1, "-1 lines"},
      {lnJapanese, 0, "全 0 行"}, {lnJapanese, 1, "全 1 行"}, {lnJapanese, 2, "全 2 行"},
  };
  for (const TCase& c : cases) {
    SetLanguage(c.Language);
    EXPECT_EQ(TrPlural(c.Count, "%n line", "%n lines"), c.Expected) << c.Count;
  }
  SetLanguage(lnEnglish);
  EXPECT_EQ(TrPlural(1, "%1 has %n item", "%1 has %n items", {"%n"}), "%n has 1 item") << "one pass for both";
  SetLanguage(lnJapanese);
  EXPECT_EQ(TrPlural(2, "an untranslated %n thing", "untranslated %n things"), "untranslated 2 things")
      << "English rules where there is no translation";
  SetLanguage(lnEnglish);
}

}  // namespace
}  // namespace plomaret
