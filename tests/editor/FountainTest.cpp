#include <gtest/gtest.h>

#include "FountainTestSupport.h"
#include "editor/EditorFountain.h"

namespace plomaret {
namespace {

using testing::TToken;
using testing::Tokens;
using Toks = std::vector<TToken>;

struct TEditorDouble {
  int changes = 0;
  TObject* sender = nullptr;
  void FountainChanged(TObject* from) {
    ++changes;
    sender = from;
  }
  TNotifyEvent Handler() { return TNotifyEvent(this, &TEditorDouble::FountainChanged); }
};

class FountainTest : public ::testing::Test {
 protected:
  FountainTest() { FFountain->NotifyEventList()->Add(FEditor.Handler()); }
  TFountainBracketItem* AddBracket(const std::string& left, const std::string& right) {
    return testing::AddBracket(*FFountain, left, right);
  }
  TOwned<TEditorFountain> FFountain = CreateWithoutOwner<TEditorFountain>();
  TEditorDouble FEditor;
};

TEST(FountainColor, StartsWithTheEditorsColoursAndNotifiesOnlyRealChanges) {
  auto color = Create<TFountainColor>();
  EXPECT_EQ(color->BkColor(), clNone);
  EXPECT_EQ(color->Color(), clNone);
  EXPECT_TRUE(color->Style().Empty());
  TEditorDouble listener;
  color->OnChange = listener.Handler();
  color->SetBkColor(clNone);
  color->SetStyle({});
  EXPECT_EQ(listener.changes, 0);
  color->SetColor(clRed);
  color->SetStyle({fsBold});
  EXPECT_EQ(listener.changes, 2);
  auto copy = Create<TFountainColor>();
  copy->OnChange = listener.Handler();
  copy->Assign(*color);
  EXPECT_EQ(listener.changes, 3) << "Assign announces once";
  EXPECT_EQ(copy->Color(), clRed);
  EXPECT_TRUE(copy->Style().Contains(fsBold));
}

TEST_F(FountainTest, BracketColourChangesReachEveryEditorOnceAndTextChangesNone) {
  TEditorDouble second;
  FFountain->NotifyEventList()->Add(second.Handler());
  TFountainBracketItem* item = AddBracket("(", ")");
  FEditor.changes = second.changes = 0;
  item->ItemColor()->SetColor(clBlue);
  EXPECT_EQ(FEditor.changes, 1);
  EXPECT_EQ(second.changes, 1);
  EXPECT_EQ(FEditor.sender, FFountain.get());
  item->SetLeftBracket("[");
  EXPECT_EQ(FEditor.changes, 1);
  FFountain->Reserve()->SetStyle({fsUnderline});
  EXPECT_EQ(FEditor.changes, 2);
}

TEST_F(FountainTest, AtMostFourteenBracketsThroughAddAndAssign) {
  for (int i = 0; i < 14; ++i) AddBracket("<" + std::to_string(i), ">");
  try {
    FFountain->Brackets()->Add();
    FAIL();
  } catch (const Exception& error) {
    EXPECT_EQ(error.Message(), "TFountainBracketCollection\r\nYou can not add item over 14");
  }
  EXPECT_EQ(FFountain->Brackets()->Count(), 14);

  auto other = CreateWithoutOwner<TEditorFountain>();
  for (int i = 0; i < 5; ++i) other->Brackets()->Add()->SetLeftBracket("x");
  other->Brackets()->Assign(*FFountain->Brackets());
  EXPECT_EQ(other->Brackets()->Count(), 14);
  EXPECT_EQ(other->Brackets()->Items(13)->LeftBracket(), "<13");
}

TEST_F(FountainTest, AssigningBracketsReplacesThemWithOneNotification) {
  for (int i = 0; i < 5; ++i) AddBracket("a", "b");
  auto source = CreateWithoutOwner<TEditorFountain>();
  for (int i = 0; i < 3; ++i) {
    TFountainBracketItem* item = source->Brackets()->Add();
    item->SetLeftBracket("L" + std::to_string(i));
    item->ItemColor()->SetBkColor(clYellow);
  }
  FEditor.changes = 0;
  FFountain->Brackets()->Assign(*source->Brackets());
  EXPECT_EQ(FFountain->Brackets()->Count(), 3);
  EXPECT_EQ(FFountain->Brackets()->Items(2)->LeftBracket(), "L2");
  EXPECT_EQ(FFountain->Brackets()->Items(0)->ItemColor()->BkColor(), clYellow);
  EXPECT_EQ(FEditor.changes, 1);
}

TEST_F(FountainTest, HasItalicLooksAtEveryReachableColour) {
  EXPECT_FALSE(FFountain->HasItalic(FFountain.get()));
  FFountain->Colors()->Comment()->SetStyle({fsItalic});
  EXPECT_TRUE(FFountain->HasItalic(FFountain.get()));
  FFountain->Colors()->Comment()->SetStyle({});
  TFountainBracketItem* item = AddBracket("(", ")");
  EXPECT_FALSE(FFountain->HasItalic(FFountain.get()));
  item->ItemColor()->SetStyle({fsBold, fsItalic});
  EXPECT_TRUE(FFountain->HasItalic(FFountain.get()));
}

TEST_F(FountainTest, SettingAllColoursSkipsSelectAndHitAndNotifiesOnce) {
  FEditor.changes = 0;
  FFountain->SetAllColor(clGreen);
  EXPECT_EQ(FEditor.changes, 1);
  TEditorColors* colors = FFountain->Colors();
  for (TFountainColor* color : {static_cast<TFountainColor*>(colors->Ank()), static_cast<TFountainColor*>(colors->Comment()),
                                static_cast<TFountainColor*>(colors->DBCS()), static_cast<TFountainColor*>(colors->Int()),
                                static_cast<TFountainColor*>(colors->Mail()), colors->Reserve(),
                                static_cast<TFountainColor*>(colors->Str()), static_cast<TFountainColor*>(colors->Symbol()),
                                static_cast<TFountainColor*>(colors->Url())}) {
    EXPECT_EQ(color->Color(), clGreen);
  }
  EXPECT_EQ(colors->Select()->Color(), clWhite);
  EXPECT_EQ(colors->Select()->BkColor(), clNavy);
  EXPECT_EQ(colors->Hit()->Color(), clNone);

  FFountain->SetAllStyle({fsBold});
  FFountain->SetAllBkColor(clSilver);
  EXPECT_EQ(FEditor.changes, 3);
  EXPECT_TRUE(colors->Url()->Style().Contains(fsBold));
  EXPECT_EQ(colors->Ank()->BkColor(), clSilver);
  EXPECT_TRUE(colors->Hit()->Style().Empty());
}

TEST_F(FountainTest, BracketSetAllOperationsNotifyOnce) {
  AddBracket("(", ")");
  AddBracket("[", "]");
  FEditor.changes = 0;
  FFountain->EditorBrackets()->SetAllColor(clRed);
  FFountain->EditorBrackets()->SetAllBkColor(clWhite);
  FFountain->EditorBrackets()->SetAllStyle({fsStrikeOut});
  EXPECT_EQ(FEditor.changes, 3);
  EXPECT_EQ(FFountain->Brackets()->Items(1)->ItemColor()->Color(), clRed);
  EXPECT_TRUE(FFountain->Brackets()->Items(0)->ItemColor()->Style().Contains(fsStrikeOut));
}

TEST_F(FountainTest, AssigningColourSetsNotifiesOnceAndCopiesTheReserveColour) {
  auto source = CreateWithoutOwner<TEditorFountain>();
  source->Colors()->Ank()->SetColor(clMaroon);
  source->Colors()->Select()->SetBkColor(clYellow);
  source->Reserve()->SetColor(clAqua);
  TEditorDouble colorsListener;
  FFountain->Colors()->OnChange = colorsListener.Handler();
  FFountain->Colors()->Assign(*source->Colors());
  EXPECT_EQ(colorsListener.changes, 1);
  EXPECT_EQ(FFountain->Colors()->Ank()->Color(), clMaroon);
  EXPECT_EQ(FFountain->Colors()->Select()->BkColor(), clYellow);
  EXPECT_EQ(FFountain->Reserve()->Color(), clAqua);
  EXPECT_EQ(FFountain->Colors()->Reserve(), FFountain->Reserve());
}

TEST_F(FountainTest, ReserveWordListIsSortedAndCaseBlind) {
  auto words = Create<TStringList>();
  words->Add("Mesh");
  words->Add("Header");
  words->Add("mesh");
  FFountain->SetReserveWordList(*words);
  EXPECT_EQ(FFountain->ReserveWordList()->Count(), 2);
  EXPECT_EQ(FFountain->ReserveWordList()->Get(0), "Header");
  EXPECT_GE(FEditor.changes, 1);
}

TEST(FileExtComponent, FindsExtensionsWithoutRegardToCase) {
  auto component = CreateWithoutOwner<TEditorFountain>();
  auto extensions = Create<TStringList>();
  extensions->Add(".x");
  extensions->Add(".txt");
  component->SetFileExtList(*extensions);
  EXPECT_TRUE(component->HasExtension(".X"));
  EXPECT_TRUE(component->HasExtension(".TXT"));
  EXPECT_FALSE(component->HasExtension(".mqo"));
}

// ---- The editor's parser ----

class EditorParserTest : public FountainTest {
 protected:
  std::vector<TToken> Scan(const std::string& text) {
    FParser = FFountain->CreateParser();
    return Tokens(*FParser, text);
  }
  // The colour of the first token of text.
  TFountainColor* ColorOf(const std::string& text) {
    FParser = FFountain->CreateParser();
    FParser->NewData(text.c_str(), StartRowAttributeData());
    FParser->NextToken();
    return FParser->TokenToFountainColor();
  }
  TOwned<TFountainParser> FParser;
};

TEST_F(EditorParserTest, CommentsRunFromTheMarkerToTheEndOfTheRow) {
  FFountain->SetCommenter("//");
  EXPECT_EQ(Scan("word // the rest"), (Toks{{toAnk, "word"}, {toComment, "// the rest"}}));
  EXPECT_EQ(ColorOf("// c"), FFountain->Colors()->Comment());
}

TEST_F(EditorParserTest, QuotedStringsWithDoubledQuotes) {
  FFountain->SetQuotation("\"");
  EXPECT_EQ(Scan("\"a\"\"b\" c"), (Toks{{toQuotation, "\"a\"\"b\""}, {toAnk, "c"}}));
  EXPECT_EQ(Scan("\"\x83\x5C\" x"), (Toks{{toQuotation, "\"\x83\x5C\""}, {toAnk, "x"}})) << "a trail byte is no quote";
  EXPECT_EQ(ColorOf("\"s\""), FFountain->Colors()->Str());
  FFountain->SetQuotation("");
  EXPECT_EQ(Scan("\"a\""), (Toks{{toSymbol, "\""}, {toAnk, "a"}, {toSymbol, "\""}}));
}

TEST_F(EditorParserTest, ControlCodesOnlyWhenSwitchedOn) {
  FFountain->SetControlCode(true);
  EXPECT_EQ(Scan("#13#$0D"), (Toks{{toControlCode, "#13"}, {toHexControlCode, "#$0D"}}));
  EXPECT_EQ(ColorOf("#$0D"), FFountain->Colors()->Str());
  FFountain->SetControlCode(false);
  EXPECT_EQ(Scan("#13"), (Toks{{toSymbol, "#"}, {toInteger, "13"}}));
}

TEST_F(EditorParserTest, HexPrefixIgnoresAsciiCase) {
  FFountain->SetHexPrefix("0x");
  EXPECT_EQ(Scan("0xFF 0XfF 12"), (Toks{{toHex, "0xFF"}, {toHex, "0XfF"}, {toInteger, "12"}}));
  EXPECT_EQ(ColorOf("0x1"), FFountain->Colors()->Int());
}

TEST_F(EditorParserTest, MailAndUrlOnlyWhenSwitchedOn) {
  EXPECT_EQ(Scan("name@host.com"), (Toks{{toAnk, "name"}, {toSymbol, "@"}, {toAnk, "host"}, {toSymbol, "."}, {toAnk, "com"}}));
  FFountain->SetMail(true);
  EXPECT_EQ(Scan("name@host.com x"), (Toks{{toMail, "name@host.com"}, {toAnk, "x"}}));
  EXPECT_EQ(ColorOf("a@b.c"), FFountain->Colors()->Mail());
  FFountain->SetUrl(true);
  EXPECT_EQ(Scan("https://example.org/a?b=1 x"), (Toks{{toUrl, "https://example.org/a?b=1"}, {toAnk, "x"}}));
  EXPECT_EQ(Scan("www.example.org"), (Toks{{toUrl, "www.example.org"}}));
  EXPECT_EQ(Scan("htt"), (Toks{{toAnk, "htt"}}));
}

TEST_F(EditorParserTest, ReservedWordsMatchWithoutCaseAndMaySymbols) {
  auto words = Create<TStringList>();
  words->Add("mesh");
  words->Add(";");
  FFountain->SetReserveWordList(*words);
  EXPECT_EQ(ColorOf("MESH"), FFountain->Reserve());
  EXPECT_EQ(ColorOf(";"), FFountain->Reserve());
  EXPECT_EQ(ColorOf("meshes"), FFountain->Colors()->Ank());
  EXPECT_EQ(ColorOf("1"), FFountain->Colors()->Int());
  EXPECT_EQ(ColorOf("\x82\xA0"), FFountain->Colors()->DBCS());
  EXPECT_EQ(ColorOf("\t"), nullptr);
}

TEST_F(EditorParserTest, BracketTokensTakeTheirItemsColour) {
  AddBracket("(", ")");
  TFountainBracketItem* second = AddBracket("<", ">");
  EXPECT_EQ(ColorOf("<a>"), second->ItemColor());
}

}  // namespace
}  // namespace plomaret
