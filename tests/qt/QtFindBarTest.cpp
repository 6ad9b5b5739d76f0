// The find bar and the status line of the main window on Qt's offscreen platform, with
// the screenshots the README shows.

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QInputMethodEvent>
#include <functional>

#include "QtTestSupport.h"
#include "TestFiles.h"
#include "app/Unit1.h"
#include "framework/core/CodePage.h"
#include "framework/core/Translate.h"
#include "framework/gui/Platform.h"
#include "framework/gui/SystemInput.h"

namespace plomaret {
namespace {

TEST(QtMainWindow, TheStatusLineAfterExchangeAndTheFindBarWithAHit) {
  testing::TScratchFolder folder;
  const std::string input = folder.Path("plane.x");
  testing::WriteBytes(input,
                      "xof 0302txt 0032\r\n\r\nMesh {\r\n 4;\r\n 0.0;0.0;0.0;,\r\n MeshTextureCoords {\r\n  2;\r\n"
                      "  0.250000;0.750000;,\r\n  0.500000;0.500000;;\r\n }\r\n MeshVertexColors {\r\n  1;\r\n"
                      "  0;1.0;1.0;1.0;1.0;;\r\n }\r\n}\r\n");
  TOwned<TForm1> form = CreateWithoutOwner<TForm1>();
  form->SetProgramFile(folder.Path("plomaret"));
  form->Show();
  form->OpenFile(input);
  form->SpeedButton3Click(nullptr);
  RecordingPlatform().Shown.clear();
  QWidget* window = QtWindowOf(*form)->Widget();
  QApplication::processEvents();
  EXPECT_EQ(form->StatusBar1->SimpleText(),
            "Row 16, Col 1 | 15 lines | Modified | Shift-JIS CR LF | Exchange: UV 1, colour 4");
  const QImage status = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_TRUE(status.save(QStringLiteral(PLOMARET_QT_OUTPUT_DIR "/qt_status_after_exchange.png")));
  const int statusTop = form->StatusBar1->Top();
  EXPECT_EQ(static_cast<TPixel>(status.pixel(5, statusTop + 2) & 0xFFFFFF), PixelOf(clBtnFace)) << "the status line";

  // Ctrl+F through the system's input, as a key on the window gives it; then a search.
  TKeyInput ctrlF;
  ctrlF.VirtualKey = 'F';
  ctrlF.Modifiers.Ctrl = true;
  ctrlF.Text = "f";
  SendKey(*form->Editor1, ctrlF);
  ASSERT_TRUE(form->FindBar1->Visible());
  EXPECT_EQ(TWinControl::FocusedControl(), form->FindBar1->PatternEdit) << "typing goes to the pattern";
  EXPECT_EQ(form->Editor1->Lines()->Count(), 15) << "Ctrl+F typed nothing";
  form->FindBar1->SetPatternText("meshvertexcolors");
  EXPECT_TRUE(form->FindBar1->FindNext());
  EXPECT_EQ(form->Editor1->SelText(), "MeshVertexColors");
  QApplication::processEvents();
  const QImage found = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_TRUE(found.save(QStringLiteral(PLOMARET_QT_OUTPUT_DIR "/qt_find_bar.png")));
  // The bar lies between the toolbar and the editor, which moved down to make room.
  EXPECT_EQ(form->FindBar1->Top(), form->Panel2->Height());
  EXPECT_EQ(form->Editor1->Top(), form->FindBar1->Top() + form->FindBar1->Height());
  EXPECT_EQ(static_cast<TPixel>(found.pixel(form->FindBar1->Width() - 5, form->FindBar1->Top() + 5) & 0xFFFFFF),
            PixelOf(clBtnFace));

  // A character Shift-JIS cannot hold, from the input method: refused in the pattern with a
  // message, while the editor keeps the system's '?'.
  QInputMethodEvent wide;
  wide.setCommitString(QString::fromUtf8("a𠮷"));
  QApplication::sendEvent(QtWindowOf(*form->FindBar1->PatternEdit)->Widget(), &wide);
  EXPECT_EQ(form->FindBar1->Pattern(), "meshvertexcolors");
  EXPECT_EQ(form->FindBar1->Message(), "The pattern has a character that Shift-JIS cannot hold; it was not taken.");
  QInputMethodEvent plain;
  plain.setCommitString(QString::fromUtf8("日本"));
  form->FindBar1->PatternEdit->SelectAll();
  QApplication::sendEvent(QtWindowOf(*form->FindBar1->PatternEdit)->Widget(), &plain);
  EXPECT_EQ(form->FindBar1->Pattern(), "\x93\xfa\x96\x7b");

  // Escape in the pattern closes the bar and gives the keyboard back to the editor.
  TKeyInput escape;
  escape.VirtualKey = VK_ESCAPE;
  SendKey(*form->FindBar1->PatternEdit, escape);
  EXPECT_FALSE(form->FindBar1->Visible());
  EXPECT_EQ(TWinControl::FocusedControl(), form->Editor1);
  QInputMethodEvent wideAgain;
  wideAgain.setCommitString(QString::fromUtf8("a𠮷"));
  QApplication::sendEvent(QtWindowOf(*form->Editor1)->Widget(), &wideAgain);
  EXPECT_NE(form->Editor1->Lines()->AllText().find("//  a? {"), std::string::npos) << "in place of the hit";
  EXPECT_TRUE(RecordingPlatform().Shown.empty());
}

int WidthOf(const TFont& font, const std::string& text) {
  int width = 0;
  for (int advance : Platform().FontEngine().Advances(font, text)) width += advance;
  return width;
}

// With the fonts the window really draws with, at the described size: the status line with
// six-digit counts and the find bar's message with a 40-character pattern are seen whole.
TEST(QtMainWindow, InJapaneseTheLongStatusLineAndFindBarMessageFitTheDescribedWidth) {
  TStatusFacts facts;
  facts.Row = 123455;
  facts.Col = 122;
  facts.Lines = 123456;
  facts.Modified = true;
  facts.Exchanged = {{123456, 123456}};
  const std::string pattern = "nVertexColorsXYZ" + std::string(24, 'w');
  for (TLanguage language : {lnEnglish, lnJapanese}) {
    SetLanguage(language);
    TOwned<TForm1> form = CreateWithoutOwner<TForm1>();
    form->Show();
    const std::string status = StatusLine(facts);
    EXPECT_LE(WidthOf(form->StatusBar1->Font(), Utf8ToCp932(status)), form->StatusBar1->TextRoom()) << status;
    form->FindBar1->ShowBar(false);
    ASSERT_TRUE(form->FindBar1->SetPatternText(pattern));
    EXPECT_FALSE(form->FindBar1->FindNext());
    const TLabel& label = *form->FindBar1->MessageLabel;
    EXPECT_NE(Cp932ToUtf8(label.Caption()).find(pattern), std::string::npos) << "not shortened: there is room";
    EXPECT_LE(label.Left() + label.Width(), form->FindBar1->ClientWidth()) << Cp932ToUtf8(label.Caption());
  }
  SetLanguage(lnEnglish);
}

// The main window with the find bar shown over text of its own.
class TFindBarWindow {
 public:
  TFindBarWindow() {
    Form->Show();
    Form->FindBar1->ShowBar(true);
  }
  TFindBar& Bar() const { return *Form->FindBar1; }
  TEditor& Editor() const { return *Form->Editor1; }
  void Start(const std::string& text, const std::string& pattern, TSearchOptions options) const {
    Editor().Lines()->SetAllText(text);
    Editor().CleanSelection();
    Editor().SetRowCol(0, 0);
    Bar().SetOptions(options);
    ASSERT_TRUE(Bar().SetPatternText(pattern));
  }

  TOwned<TForm1> Form = CreateWithoutOwner<TForm1>();
};

// Each box ticked alone sets its own option, and finds the one hit only that option finds.
TEST(QtFindBar, EachBoxSetsItsOwnOption) {
  TFindBarWindow window;
  TFindBar& bar = window.Bar();
  struct TBoxCase {
    TCheckBox* TFindBar::*Box;
    TSearchOptions Option;
    const char* Text;
    const char* Pattern;
    int Start;
    int Length;
  };
  const TBoxCase cases[] = {
      {&TFindBar::MatchCaseBox, soMatchCase, "beta Beta", "Beta", 5, 4},
      {&TFindBar::WholeWordBox, soWholeWord, "betas beta", "beta", 6, 4},
      {&TFindBar::WidthBox, soFoldWidth, "x \x82\x82\x82\x85\x82\x94\x82\x81", "beta", 2, 8},  // ｂｅｔａ
      {&TFindBar::LineBreaksBox, soSpanLineBreaks, "be\r\nta", "beta", 0, 6},
      {&TFindBar::BlanksBox, soSkipBlanks, "be ta", "beta", 0, 5},
  };
  for (const TBoxCase& search : cases) {
    for (const TBoxCase& box : cases) {
      SCOPED_TRACE("the search for option " + std::to_string(search.Option) + " with the box of option " +
                   std::to_string(box.Option) + " alone");
      window.Start(search.Text, search.Pattern, 0);
      (bar.*box.Box)->SetChecked(true);
      EXPECT_EQ(bar.Options(), box.Option);
      const bool found = bar.FindNext();
      const bool hit = found && window.Editor().SelStart() == search.Start && window.Editor().SelLength() == search.Length;
      EXPECT_EQ(hit, &box == &search);
    }
  }
}

// Replace replaces the selection only when it is a match of the pattern with the options
// as they are now; otherwise it only finds the next hit.
TEST(QtFindBar, ReplaceTakesOnlyASelectionThatMatchesNow) {
  TFindBarWindow window;
  TFindBar& bar = window.Bar();
  TEditor& editor = window.Editor();
  struct TReplaceCase {
    const char* What;
    const char* Text;
    const char* Pattern;
    // What happens between the search and Replace.
    std::function<void()> Between;
    const char* Result;
  };
  const TReplaceCase cases[] = {
      {"the hit", "cat dog", "cat", [] {}, "cow dog"},
      {"another pattern", "cat dog", "cat", [&] { ASSERT_TRUE(bar.SetPatternText("zebra")); }, "cat dog"},
      {"match case ticked", "Cat dog", "cat", [&] { bar.MatchCaseBox->SetChecked(true); }, "Cat dog"},
      {"whole word ticked", "cats cat", "cat", [&] { bar.WholeWordBox->SetChecked(true); }, "cats cat"},
      {"a selection as long elsewhere", "cat dog cat", "cat",
       [&] {
         editor.SetSelStart(4);
         editor.SetSelLength(3);
       },
       "cat dog cat"},
      {"a match selected by hand", "cat cat", "cat",
       [&] {
         editor.SetSelStart(4);
         editor.SetSelLength(3);
       },
       "cat cow"},
  };
  for (const TReplaceCase& replace : cases) {
    SCOPED_TRACE(replace.What);
    window.Start(replace.Text, replace.Pattern, 0);
    ASSERT_TRUE(bar.FindNext());
    replace.Between();
    bar.ReplaceHit("cow");
    EXPECT_EQ(editor.Lines()->AllText(), replace.Result);
  }
  // Not replaced, the next hit is found: the whole word after the part of a word.
  window.Start("cats cat", "cat", 0);
  ASSERT_TRUE(bar.FindNext());
  bar.WholeWordBox->SetChecked(true);
  bar.ReplaceHit("cow");
  EXPECT_EQ(editor.SelStart(), 5);
  EXPECT_EQ(editor.SelText(), "cat");
}

}  // namespace
}  // namespace plomaret
