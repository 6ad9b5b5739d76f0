// The messages the window and the batch tool share, and the status line: every count
// reads right in English and in Japanese.

#include "app/Messages.h"

#include <gtest/gtest.h>

#include "app/StatusBar.h"
#include "framework/core/CodePage.h"
#include "framework/core/Translate.h"
#include "framework/headless/HeadlessPlatform.h"

namespace plomaret {
namespace {

struct TCountCase {
  TLanguage Language;
  int64_t Count;
  const char* Expected;
};

class UserMessages : public ::testing::Test {
 protected:
  void TearDown() override { SetLanguage(lnEnglish); }
};

TEST_F(UserMessages, SizesUnderAKilobyteCountBytes) {
  const TCountCase cases[] = {
      {lnEnglish, 0, "0 bytes"},     {lnEnglish, 1, "1 byte"},    {lnEnglish, 2, "2 bytes"},
      {lnEnglish, 999, "999 bytes"}, {lnEnglish, 1500, "2 KB"},   {lnEnglish, 95'000'000, "95 MB"},
      {lnJapanese, 0, "0 バイト"},   {lnJapanese, 1, "1 バイト"}, {lnJapanese, 2, "2 バイト"},
      {lnJapanese, 1500, "2 KB"},
  };
  for (const TCountCase& c : cases) {
    SetLanguage(c.Language);
    EXPECT_EQ(SizeForPeople(c.Count), c.Expected) << c.Count;
  }
}

TEST_F(UserMessages, TheEndOfFileMarkMessageCountsTheBytesAfterIt) {
  const TCountCase cases[] = {
      {lnEnglish, 0, "a.x: 0 bytes after the end-of-file mark (0x1A) at byte 7 are not part of the text"},
      {lnEnglish, 1, "a.x: 1 byte after the end-of-file mark (0x1A) at byte 7 is not part of the text"},
      {lnEnglish, 2, "a.x: 2 bytes after the end-of-file mark (0x1A) at byte 7 are not part of the text"},
      {lnJapanese, 0, "a.x: オフセット 7 にあるファイル終端記号 (0x1A) より後ろの 0 バイトはテキストに含まれません"},
      {lnJapanese, 1, "a.x: オフセット 7 にあるファイル終端記号 (0x1A) より後ろの 1 バイトはテキストに含まれません"},
      {lnJapanese, 2, "a.x: オフセット 7 にあるファイル終端記号 (0x1A) より後ろの 2 バイトはテキストに含まれません"},
  };
  for (const TCountCase& c : cases) {
    SetLanguage(c.Language);
    EXPECT_EQ(EndMarkMessage("a.x", 7, c.Count), c.Expected) << c.Count;
  }
}

TEST_F(UserMessages, NotEnoughMemoryIsOneSentenceWithTheSizeWhenTheFileHasOne) {
  SetLanguage(lnEnglish);
  EXPECT_EQ(NotEnoughMemoryMessage("open", "plane.x", "/nonexistent/plane.x"),
            "Not enough memory to open \"plane.x\".");
  EXPECT_EQ(NotEnoughMemoryMessage("rewrite", "plane.x", "/dev/null"),
            "Not enough memory to rewrite \"plane.x\" (0 bytes).");
  SetLanguage(lnJapanese);
  EXPECT_EQ(NotEnoughMemoryMessage("open", "plane.x", "/dev/null"),
            "メモリが足りないため「plane.x」(0 バイト) を開けません。");
  EXPECT_EQ(NotEnoughMemoryMessage("rewrite", "plane.x", "/nonexistent/plane.x"),
            "メモリが足りないため「plane.x」を書き換えられません。");
}

TEST_F(UserMessages, TheStatusLineCountsLinesAndWhatExchangeDid) {
  const TCountCase cases[] = {
      {lnEnglish, 0, "Row 1, Col 1 | 0 lines | Shift-JIS CR LF | Exchange: UV 0, colour 0"},
      {lnEnglish, 1, "Row 1, Col 1 | 1 line | Shift-JIS CR LF | Exchange: UV 1, colour 1"},
      {lnEnglish, 2, "Row 1, Col 1 | 2 lines | Shift-JIS CR LF | Exchange: UV 2, colour 2"},
      {lnJapanese, 0, "行 1、列 1 | 全 0 行 | Shift-JIS CR LF | Exchange: UV 0、頂点色 0"},
      {lnJapanese, 1, "行 1、列 1 | 全 1 行 | Shift-JIS CR LF | Exchange: UV 1、頂点色 1"},
      {lnJapanese, 2, "行 1、列 1 | 全 2 行 | Shift-JIS CR LF | Exchange: UV 2、頂点色 2"},
  };
  for (const TCountCase& c : cases) {
    SetLanguage(c.Language);
    TStatusFacts facts;
    facts.Lines = static_cast<int>(c.Count);
    facts.Exchanged = {{c.Count, c.Count}};
    EXPECT_EQ(StatusLine(facts), c.Expected) << c.Count;
  }
  SetLanguage(lnJapanese);
  TStatusFacts wrapped;
  wrapped.Row = 4;
  wrapped.Line = 2;
  wrapped.Col = 9;
  wrapped.Lines = 12;
  wrapped.Modified = true;
  EXPECT_EQ(StatusLine(wrapped), "行 5 (論理行 3)、列 10 | 全 12 行 | 変更あり | Shift-JIS CR LF");
}

TEST_F(UserMessages, TheStatusBarDrawsItsLineAsShiftJis) {
  UseHeadlessPlatform();
  SetLanguage(lnJapanese);
  TOwned<TStatusBar> bar = CreateWithoutOwner<TStatusBar>();
  bar->SetBounds(0, 0, 400, 20);
  bar->SetTextSource([] { return Tr("Modified"); });
  bar->HandleNeeded();
  bar->Update();
  std::string drawn;
  for (const TTextCell& cell : bar->TextLayer().Cells()) drawn += cell.Bytes;
  EXPECT_EQ(drawn, Utf8ToCp932("変更あり")) << "the canvas takes the characters in Shift-JIS";
}

}  // namespace
}  // namespace plomaret
