// Half-width/full-width folding checked against Unicode's compatibility mappings
// (WidthFoldCases.inc, made by gen_width_cases.py from NFKC and cp932), and the table
// entries that differ from those mappings on purpose.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "editor/LiteralSearch.h"
#include "editor/TextSearch.h"

namespace plomaret {
namespace {

using testing::Hex;

struct TWidthCase {
  const char* Half;
  const char* Full;
};

constexpr TWidthCase kWidthCases[] = {
#include "WidthFoldCases.inc"
};

bool IsAsciiLetter(const std::string& text, char first, char last) {
  return text.size() == 1 && text[0] >= first && text[0] <= last;
}

// Two bytes on either side of middle that cannot match the half-width letter half
// (or its full-width forms) on their own.
std::string Surround(const std::string& half, const std::string& middle) {
  const bool clashes = half.size() == 1 && (half[0] == 'x' || half[0] == 'y' || half[0] == 'X' || half[0] == 'Y');
  return clashes ? "qq" + middle + "zz" : "xx" + middle + "yy";
}

struct TFound {
  bool Found = false;
  int32_t Start = -1;
  int32_t Length = -1;
};

TFound Find(const std::string& text, const std::string& pattern, TSearchOptions options) {
  TFound result;
  int32_t start = 0;
  int32_t length = 0;
  result.Found = SearchText(text.c_str(), start, length, pattern, options);
  if (result.Found) {
    result.Start = start;
    result.Length = length;
  }
  return result;
}

const std::string* FullFor(const std::string& half, const std::vector<std::pair<std::string, std::string>>& cases) {
  for (const auto& [h, f] : cases) {
    if (h == half) return &f;
  }
  return nullptr;
}

std::vector<std::pair<std::string, std::string>> Cases() {
  std::vector<std::pair<std::string, std::string>> cases;
  for (const TWidthCase& c : kWidthCases) cases.emplace_back(c.Half, c.Full);
  return cases;
}

TEST(TextSearchWidth, TheCasesCoverLettersDigitsKanaAndVoicedPairs) {
  const auto cases = Cases();
  for (const char* half : {"a", "Z", "0", "9", "\xB1", "\xDD", "\xB6\xDE", "\xCA\xDF", "\xB3\xDE"}) {
    EXPECT_NE(FullFor(half, cases), nullptr) << Hex(half);
  }
  EXPECT_EQ(FullFor("\xB6\xDF", cases), nullptr) << "no composed form for a semi-voiced ka";
}

TEST(TextSearchWidth, FullWidthPatternFindsTheHalfWidthFormOnlyWhenFoldingWidth) {
  for (const auto& [half, full] : Cases()) {
    SCOPED_TRACE("half " + Hex(half) + "full " + Hex(full));
    const std::string text = Surround(half, half);
    const TFound folded = Find(text, full, soFoldWidth | soForward | soMatchCase);
    EXPECT_TRUE(folded.Found);
    EXPECT_EQ(folded.Start, 2);
    EXPECT_EQ(folded.Length, static_cast<int32_t>(half.size()));
    EXPECT_FALSE(Find(text, full, soForward | soMatchCase).Found);
  }
}

TEST(TextSearchWidth, HalfWidthPatternFindsTheFullWidthForm) {
  for (const auto& [half, full] : Cases()) {
    SCOPED_TRACE("half " + Hex(half) + "full " + Hex(full));
    const TFound folded = Find(Surround(half, full), half, soFoldWidth | soForward | soMatchCase);
    EXPECT_TRUE(folded.Found);
    EXPECT_EQ(folded.Start, 2);
    EXPECT_EQ(folded.Length, 2);
  }
}

TEST(TextSearchWidth, ToFullWidthGivesTheCompatibilityForm) {
  for (const auto& [half, full] : Cases()) {
    EXPECT_EQ(Hex(ToFullWidth(half)), Hex(full)) << "half " << Hex(half);
  }
}

// Each letter in its four forms (half-width and full-width, small and capital): with
// case ignored every form finds every other; with case kept only those of its case.
TEST(TextSearchWidth, EveryCaseAndWidthOfALetterFindsEveryOtherWhenCaseIsIgnored) {
  const auto cases = Cases();
  int letters = 0;
  for (const auto& [half, full] : cases) {
    if (!IsAsciiLetter(half, 'a', 'z')) continue;
    ++letters;
    const std::string capital(1, static_cast<char>(half[0] - 'a' + 'A'));
    const std::string* fullCapital = FullFor(capital, cases);
    ASSERT_NE(fullCapital, nullptr);
    const std::pair<std::string, bool> forms[] = {{half, false}, {full, false}, {capital, true}, {*fullCapital, true}};
    for (const auto& [pattern, patternCapital] : forms) {
      for (const auto& [text, textCapital] : forms) {
        SCOPED_TRACE("pattern " + Hex(pattern) + "text " + Hex(text));
        const TFound folded = Find(Surround(half, text), pattern, soFoldWidth | soForward);
        EXPECT_TRUE(folded.Found);
        EXPECT_EQ(folded.Start, 2);
        EXPECT_EQ(folded.Length, static_cast<int32_t>(text.size()));
        EXPECT_EQ(Find(Surround(half, text), pattern, soFoldWidth | soForward | soMatchCase).Found,
                  patternCapital == textCapital);
        // Without width folding the forms of one width still find each other.
        EXPECT_EQ(Find(Surround(half, text), pattern, soForward).Found, pattern.size() == text.size());
      }
    }
  }
  EXPECT_EQ(letters, 26);
}

// Entries where the table departs from the compatibility mappings on purpose:
// Shift-JIS shows 0x5C as the yen sign and 0x7E as the overline, the quotes come from
// JIS X 0208, the half-width middle dot folds to the full stop, and the marks are
// the spacing ones.
TEST(TextSearchWidth, DeliberateTableEntries) {
  const std::pair<std::string, std::string> entries[] = {
      {"\x22", "\x81\x68"}, {"\x27", "\x81\x66"}, {"\x5C", "\x81\x8F"},
      {"\x7E", "\x81\x50"}, {"\x2D", "\x81\x7C"}, {"\xA5", "\x81\x44"},
      {"\xDE", "\x81\x4A"}, {"\xDF", "\x81\x4B"},
      {"\xB6\xDF", "\x83\x4A\x81\x4B"},  // ｶﾟ has no composed form: カ and the mark
  };
  for (const auto& [half, full] : entries) {
    SCOPED_TRACE("half " + Hex(half) + "full " + Hex(full));
    EXPECT_EQ(Hex(ToFullWidth(half)), Hex(full));
    const std::string text = "xx" + half + "yy";
    const TFound folded = Find(text, full, soFoldWidth | soForward | soMatchCase);
    EXPECT_TRUE(folded.Found);
    EXPECT_EQ(folded.Start, 2);
    EXPECT_EQ(folded.Length, static_cast<int32_t>(half.size()));
    EXPECT_FALSE(Find(text, full, soForward | soMatchCase).Found);
  }
  // The form the compatibility mapping would give is not the one the table chose.
  EXPECT_FALSE(Find("xx\xA5yy", "\x81\x45", soFoldWidth | soForward | soMatchCase).Found);
  EXPECT_FALSE(Find("xx\x5Cyy", "\x81\x5F", soFoldWidth | soForward | soMatchCase).Found);
  // Only ha to ho take the semi-voiced mark: after ka it composes into nothing, so
  // the ka is found alone and neither ga nor the next kana (ki) is.
  const TSearchOptions fold = soFoldWidth | soForward | soMatchCase;
  const TFound ka = Find("xx\xB6\xDFyy", "\x83\x4A", fold);
  EXPECT_TRUE(ka.Found);
  EXPECT_EQ(ka.Start, 2);
  EXPECT_EQ(ka.Length, 1);
  EXPECT_FALSE(Find("xx\xB6\xDFyy", "\x83\x4B", fold).Found);
  EXPECT_FALSE(Find("xx\xB6\xDFyy", "\x83\x4C", fold).Found);
  // A composed pair is one character: the plain ka does not match its first half.
  EXPECT_FALSE(Find("xx\xB6\xDEyy", "\x83\x4A", fold).Found);
}

}  // namespace
}  // namespace plomaret
