// The editor's search against the engine run over the whole text at once: however the
// rows fall into chunks, searching again and again visits the same matches.

#include <gtest/gtest.h>

#include <random>

#include "editor/EditorControl.h"
#include "editor/TextSearch.h"
#include "framework/headless/HeadlessPlatform.h"

namespace plomaret {
namespace {

struct TMatch {
  int32_t Start;
  int32_t Length;
  bool operator==(const TMatch&) const = default;
};

std::ostream& operator<<(std::ostream& out, const TMatch& match) {
  return out << match.Start << "+" << match.Length;
}

// Short rows (some long ones) of filler with a few double-byte characters and blanks;
// "a" and "b" are rare, so that matches are sparse and searches run through several
// chunks between them. Texts of up to four chunks.
std::string RandomText(std::mt19937& random) {
  static const char* const fillers[] = {"x", "xy", " ", "\x82\xa0", "\xb6\xde", "y"};
  std::string text;
  const int target = std::uniform_int_distribution<int>(0, 30000)(random);
  std::uniform_int_distribution<int> rare(0, 40);
  while (static_cast<int>(text.size()) < target) {
    const int pieces = std::uniform_int_distribution<int>(1, rare(random) == 0 ? 120 : 4)(random);
    for (int i = 0; i < pieces; ++i) {
      const int pick = rare(random);
      text += pick == 0 ? "a" : pick == 1 ? "b" : fillers[pick % std::size(fillers)];
    }
    text += "\r\n";  // rows stay within the columns the caret can reach
  }
  return text;
}

// Up to longest bytes of filler rows with, here and there, the pattern cut into
// pieces with blanks, line breaks or runs of up to longestRun blank or empty rows
// (more than a chunk) between them, and now and then a piece left out, so that over
// line breaks and blanks matches, and near misses, may span any number of rows.
std::string RandomSpanText(std::mt19937& random, const std::string& pattern, int longest, int longestRun) {
  static const char* const fillers[] = {"x", "xy", "\x82\xa0", "y", "", " ", "\t", "\x81\x40", "  x"};
  static const char* const gaps[] = {"", " ", "\t", "\x81\x40", "\r\n", "  \r\n\t", "\r\n\r\n", "\r\n \r\n"};
  static const char* const blanks[] = {"", " ", "\t ", "\x81\x40"};
  auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
  auto run = [&] {
    const std::string blank = blanks[pick(std::size(blanks))];
    std::string rows;
    const int count = std::uniform_int_distribution<int>(longestRun / 60, longestRun)(random);
    for (int i = 0; i < count; ++i) rows += blank + "\r\n";
    return rows;
  };
  std::string text;
  const int target = std::uniform_int_distribution<int>(0, longest)(random);
  while (static_cast<int>(text.size()) < target) {
    const int kind = pick(12);
    if (kind == 0) {
      text += run();
    } else if (kind < 4) {
      // The pattern's bytes (a line end whole) with gaps between them.
      for (size_t i = 0; i < pattern.size();) {
        if (i > 0) {
          const int gap = pick(10);
          text += gap == 0 ? run() : gap < 4 ? std::string(gaps[pick(std::size(gaps))]) : std::string();
        }
        const size_t bytes = pattern.compare(i, 2, "\r\n") == 0 ? 2 : 1;
        if (pick(40) != 0) text += pattern.substr(i, bytes);
        i += bytes;
      }
    } else {
      for (int i = pick(4); i >= 0; --i) text += fillers[pick(std::size(fillers))];
    }
    if (pick(3) == 0) text += "\r\n";
  }
  return text + "\r\n";
}

std::vector<TMatch> EngineMatches(const std::string& text, const std::string& pattern, TSearchOptions options) {
  std::vector<TMatch> matches;
  const bool forward = (options & soForward) != 0;
  int32_t start = forward ? 0 : static_cast<int32_t>(text.size());
  int32_t length = 0;
  while (SearchText(text.c_str(), start, length, pattern, options)) {
    matches.push_back({start, length});
    if (!forward) length = 0;  // backwards: from the start of the match
  }
  return matches;
}

std::vector<TMatch> EditorMatches(TEditor& editor, const std::string& pattern, TSearchOptions options) {
  std::vector<TMatch> matches;
  const bool forward = (options & soForward) != 0;
  editor.CleanSelection();
  if (forward) {
    editor.SetRowCol(0, 0);
  } else {
    editor.SetRow(editor.ScreenStrings()->Count());  // the end of the text
    editor.SetCol(editor.RowEndCol(editor.Row()));
  }
  while (editor.FindText(pattern, options)) {
    matches.push_back({editor.SelStart(), editor.SelLength()});
    if (matches.size() > 100000) break;
  }
  return matches;
}

TEST(EditorSearch, RepeatedSearchesFindWhatTheWholeTextHolds) {
  UseHeadlessPlatform().HeadlessFontEngine().SetFixedMetrics({16, 13, 3, 0, 8, 16});
  TOwned<TEditor> editor = CreateWithoutOwner<TEditor>();
  editor->SetBounds(0, 0, 400, 200);  // no window: nothing to paint
  editor->WrapOption()->SetWrapByte(40);
  std::mt19937 random(7);
  const char* const patterns[] = {"ab", "ba", "a\x82\xa0", "bab", "\x83\x4b", "aa"};
  for (int round = 0; round < 12; ++round) {
    const std::string text = RandomText(random);
    editor->SetWordWrap(round % 3 == 0);
    editor->Lines()->SetAllText(text);
    ASSERT_EQ(editor->Lines()->AllText(), text);
    const std::string pattern = patterns[round % std::size(patterns)];
    // Over line breaks a match joins two rows: the row shared by two chunks finds it.
    for (TSearchOptions options : {soForward, TSearchOptions{soForward | soFoldWidth}, TSearchOptions{0},
                                   TSearchOptions{soFoldWidth | soMatchCase}, TSearchOptions{soForward | soSpanLineBreaks},
                                   soSpanLineBreaks, TSearchOptions{soForward | soWholeWord}, soWholeWord}) {
      const std::string& used = (options & soSpanLineBreaks) != 0 ? std::string("ba") : pattern;
      EXPECT_EQ(EditorMatches(*editor, used, options), EngineMatches(text, used, options))
          << "round " << round << " pattern \"" << used << "\" options " << options << " wrap "
          << editor->WordWrap();
    }
  }
  // Matches over many rows: line breaks and blanks skipped, or line ends in the pattern.
  const char* const spanning[] = {"abcde", "bcd", "abc", " c", "\r\nc", "b\r\n\r\nc"};
  for (int round = 0; round < 12; ++round) {
    const std::string pattern = spanning[round % std::size(spanning)];
    // Every blank before a "c" starts a match of a pattern that starts with one, and
    // the engine follows each to the end of its run: such texts and runs are shorter.
    const bool startsBlank = pattern.front() == ' ' || pattern.front() == '\r';
    const std::string text =
        startsBlank ? RandomSpanText(random, pattern, 12000, 100) : RandomSpanText(random, pattern, 30000, 6000);
    editor->SetWordWrap(round % 4 == 3);
    editor->Lines()->SetAllText(text);
    ASSERT_EQ(editor->Lines()->AllText(), text);
    for (TSearchOptions options : {TSearchOptions{soForward | soSpanLineBreaks}, soSpanLineBreaks,
                                   TSearchOptions{soForward | soSpanLineBreaks | soSkipBlanks},
                                   TSearchOptions{soSpanLineBreaks | soSkipBlanks}, TSearchOptions{soForward | soSkipBlanks},
                                   soSkipBlanks, TSearchOptions{soForward | soSpanLineBreaks | soSkipBlanks | soWholeWord},
                                   TSearchOptions{soSpanLineBreaks | soSkipBlanks | soFoldWidth}, soForward,
                                   TSearchOptions{0}}) {
      EXPECT_EQ(EditorMatches(*editor, pattern, options), EngineMatches(text, pattern, options))
          << "spanning round " << round << " pattern \"" << pattern << "\" options " << options << " wrap "
          << editor->WordWrap();
    }
  }
}

// Rows of about a hundred bytes of filler, and here and there the pattern cut over two to
// four rows (a cut may fall at either end of a row), so that wherever a backward search
// starts, the chunk joints fall near, before and inside matches.
std::string RowsWithCutMatches(std::mt19937& random, const std::string& pattern, int rows) {
  auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
  std::string text;
  for (int r = 0; r < rows; ++r) {
    const auto length = static_cast<size_t>(pick(60, 140));
    std::string row(length, pick(0, 1) == 0 ? 'x' : 'y');
    if (pick(0, 9) == 0) {
      size_t from = 0;
      for (int cuts = pick(1, 3); cuts > 0 && from < pattern.size(); --cuts) {
        size_t piece = static_cast<size_t>(pick(0, static_cast<int>(pattern.size() - from)));
        if (from + piece < pattern.size() && pattern.compare(from + piece, 1, "\n") == 0) ++piece;  // CR LF stays whole
        row += pattern.substr(from, piece);
        from += piece;
        text += row + "\r\n";
        row.clear();
      }
      row += pattern.substr(from) + std::string(static_cast<size_t>(pick(0, 80)), 'y');
    }
    text += row + "\r\n";
  }
  return text;
}

// Backward searches from the start and from the end of every row, against the engine
// run over the whole text from the same place.
void ExpectBackwardFromEveryRowAsTheEngine(TEditor& editor, const std::string& text, const std::string& pattern,
                                           TSearchOptions options) {
  editor.Lines()->SetAllText(text);
  ASSERT_EQ(editor.Lines()->AllText(), text);
  for (int row = 0; row < editor.ScreenStrings()->Count(); ++row) {
    for (int col : {0, editor.RowEndCol(row)}) {
      editor.CleanSelection();
      editor.SetRowCol(row, col);
      int32_t start = editor.SelStart();
      int32_t length = 0;
      const bool expected = SearchText(text.c_str(), start, length, pattern, options);
      const bool found = editor.FindText(pattern, options);
      EXPECT_EQ(found, expected) << "from row " << row << " col " << col << " options " << options;
      if (found && expected) {
        EXPECT_EQ((TMatch{editor.SelStart(), editor.SelLength()}), (TMatch{start, length}))
            << "from row " << row << " col " << col << " options " << options;
      }
    }
  }
}

TEST(EditorSearch, BackwardSearchesFromEveryRowFindWhatTheWholeTextHolds) {
  UseHeadlessPlatform();
  TOwned<TEditor> editor = CreateWithoutOwner<TEditor>();
  // A match over three rows that starts before the start point and ends after it.
  std::string text;
  for (int r = 0; r < 81; ++r) text += std::string(100, 'x') + "\r\n";
  text += std::string(130, 'y') + "ab\r\nc\r\nde\r\ntail\r\n";
  editor->Lines()->SetAllText(text);
  editor->SetRowCol(83, 0);
  ASSERT_TRUE(editor->FindText("abcde", soSpanLineBreaks));
  EXPECT_EQ((TMatch{editor->SelStart(), editor->SelLength()}), (TMatch{81 * 102 + 130, 9}));
  ExpectBackwardFromEveryRowAsTheEngine(*editor, text, "abcde", soSpanLineBreaks);
  std::mt19937 random(5);
  for (const char* pattern : {"abcde", "ab\r\ncd"}) {
    const std::string cut = RowsWithCutMatches(random, pattern, 250);
    for (TSearchOptions options : {soSpanLineBreaks, TSearchOptions{soSpanLineBreaks | soSkipBlanks},
                                   TSearchOptions{soSpanLineBreaks | soWholeWord}, TSearchOptions{0},
                                   TSearchOptions{soSpanLineBreaks | soFoldWidth}}) {
      ExpectBackwardFromEveryRowAsTheEngine(*editor, cut, pattern, options);
    }
  }
}

// A match over the end of each row near where the first chunk ends, for rows of several
// lengths: the row shared by two chunks finds it, forwards and backwards.
TEST(EditorSearch, AMatchOverTheRowWhereAChunkEndsIsFound) {
  UseHeadlessPlatform();
  TOwned<TEditor> editor = CreateWithoutOwner<TEditor>();
  for (int length : {1, 5, 40, 97, 900}) {
    const int boundary = 8191 / (length + 2);
    const int rows = 2 * boundary + 6;
    // Forwards the first chunk ends near row boundary, backwards (from the end) near row
    // boundary + 5.
    for (int k = std::max(0, boundary - 3); k <= boundary + 8; ++k) {
      std::string text;
      for (int r = 0; r < rows; ++r) {
        std::string row(static_cast<size_t>(length), 'x');
        if (r == k) row.back() = 'b';
        if (r == k + 1) row.front() = 'a';
        text += row + "\r\n";
      }
      editor->Lines()->SetAllText(text);
      const int32_t expected = static_cast<int32_t>(text.find("b\r\na"));
      editor->CleanSelection();
      editor->SetRowCol(0, 0);
      ASSERT_TRUE(editor->FindText("ba", soForward | soSpanLineBreaks)) << length << " " << k;
      EXPECT_EQ((TMatch{editor->SelStart(), editor->SelLength()}), (TMatch{expected, 4})) << length << " " << k;
      editor->CleanSelection();
      editor->SetRowCol(rows, 0);
      ASSERT_TRUE(editor->FindText("ba", soSpanLineBreaks)) << length << " " << k;
      EXPECT_EQ((TMatch{editor->SelStart(), editor->SelLength()}), (TMatch{expected, 4})) << length << " " << k;
    }
  }
}

// A match over three rows, "ab", "c" and "de", and one over "a", a run of empty rows
// longer than a chunk and "b", placed at every row near where the first chunk ends,
// forwards and backwards; also after a single row longer than a chunk.
TEST(EditorSearch, AMatchOverManyRowsAtAChunkJointIsFound) {
  UseHeadlessPlatform();
  TOwned<TEditor> editor = CreateWithoutOwner<TEditor>();
  auto expectFound = [&](const std::string& pattern, const std::string& text, int32_t expected, int32_t length,
                         const std::string& what) {
    editor->Lines()->SetAllText(text);
    editor->CleanSelection();
    editor->SetRowCol(0, 0);
    ASSERT_TRUE(editor->FindText(pattern, soForward | soSpanLineBreaks)) << what;
    EXPECT_EQ((TMatch{editor->SelStart(), editor->SelLength()}), (TMatch{expected, length})) << what;
    editor->CleanSelection();
    editor->SetRow(editor->ScreenStrings()->Count());
    ASSERT_TRUE(editor->FindText(pattern, soSpanLineBreaks)) << what;
    EXPECT_EQ((TMatch{editor->SelStart(), editor->SelLength()}), (TMatch{expected, length})) << what;
  };
  const std::string row(98, 'x');
  for (int k = 70; k <= 82; ++k) {
    std::string text;
    for (int r = 0; r < k; ++r) text += row + "\r\n";
    const std::string before = text;
    text += row + "ab\r\nc\r\nde\r\n";
    for (int r = 0; r < 200; ++r) text += row + "\r\n";
    const auto at = static_cast<int32_t>(before.size() + row.size());
    expectFound("abcde", text, at, 9, "three rows after " + std::to_string(k));
    text = before + row + "a\r\n";
    for (int r = 0; r < 5000; ++r) text += "\r\n";
    text += "b\r\n" + before;
    expectFound("ab", text, at, 10004, "a run after " + std::to_string(k));
  }
  // A row longer than a chunk makes one alone (the caret cannot stand at its end).
  const std::string longRow(20000, 'x');
  editor->Lines()->SetAllText(longRow + "ab\r\nc\r\n" + longRow);
  editor->SetRowCol(0, 0);
  EXPECT_TRUE(editor->FindText("abc", soForward | soSpanLineBreaks)) << "after a long row";
}

// With word wrap a chunk may start or end inside a line: a word cut there by the wrap
// joint is still one word, not a whole "foo" (rows of 20 bytes, lines of two rows).
TEST(EditorSearch, AWordCutByAWrapJointAtAChunkEdgeIsNoWholeWord) {
  UseHeadlessPlatform();
  TOwned<TEditor> editor = CreateWithoutOwner<TEditor>();
  editor->WrapOption()->SetWrapByte(20);
  editor->SetWordWrap(true);
  // Forwards the first chunk ends after a first row "... foo" whose line goes on "bar...".
  std::string line = std::string(16, 'x') + " foobar" + std::string(17, 'x') + "\r\n";
  std::string text;
  for (int i = 0; i < 300; ++i) text += line;
  editor->Lines()->SetAllText(text);
  ASSERT_EQ(editor->ScreenStrings()->ViewAt(0), std::string(16, 'x') + " foo");
  editor->SetRowCol(0, 0);
  EXPECT_FALSE(editor->FindText("foo", soForward | soWholeWord));
  EXPECT_TRUE(editor->FindText("foo", soForward)) << "found as part of a word";
  // Backwards from the end the first chunk starts with a second row "foo ..." after "bar".
  line = std::string(16, 'x') + " barfoo xxxx\r\n";
  text.clear();
  for (int i = 0; i < 300; ++i) text += line;
  editor->Lines()->SetAllText(text);
  ASSERT_EQ(editor->ScreenStrings()->ViewAt(1), "foo xxxx");
  editor->CleanSelection();
  editor->SetRow(editor->ScreenStrings()->Count());
  EXPECT_FALSE(editor->FindText("foo", soWholeWord));
  EXPECT_TRUE(editor->FindText("foo", 0)) << "found as part of a word";
}

}  // namespace
}  // namespace plomaret
