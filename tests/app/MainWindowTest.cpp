// The main window on the headless backend: made from its description, and its five
// commands with scripted dialog answers, on real files in a scratch folder.

#include <gtest/gtest.h>

#include <filesystem>

#include "TestFiles.h"
#include "app/Unit1.h"
#include "framework/core/CodePage.h"
#include "framework/core/Exceptions.h"
#include "framework/core/IniFile.h"
#include "framework/core/Translate.h"
#include "framework/gui/Platform.h"
#include "framework/headless/HeadlessPlatform.h"

namespace plomaret {
namespace {

using testing::ReadBytes;
using testing::WriteBytes;

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() : FPlatform(UseHeadlessPlatform()) {
    FPlatform.ClearMessages();
    FForm = CreateWithoutOwner<TForm1>();
    FForm->SetProgramFile(FFolder.Path("plomaret.exe"));
    FForm->Show();
  }
  ~MainWindowTest() override {
    while (FPlatform.ShowFileDialog({}, FDiscard)) {
    }
  }
  std::string Ini() const { return FFolder.Path("plomaret.ini"); }
  std::string Text() const { return FForm->Editor1->Lines()->AllText(); }
  std::vector<std::string> Boxes() {
    std::vector<std::string> texts;
    for (const auto& shown : FPlatform.Messages()) texts.push_back(shown.Text);
    FPlatform.ClearMessages();
    return texts;
  }

  THeadlessPlatform& FPlatform;
  testing::TScratchFolder FFolder;
  TOwned<TForm1> FForm;
  std::string FDiscard;
};

TEST_F(MainWindowTest, TheWindowIsMadeFromItsDescription) {
  TForm1& form = *FForm;
  EXPECT_EQ(form.Caption(), "plomaret.exe");
  // The status line under the editor makes the window taller; the editor keeps its size.
  EXPECT_EQ(form.BoundsRect(), (TRect{192, 107, 192 + 647, 107 + 532 + form.StatusBar1->Height()}));
  EXPECT_EQ(form.Editor1->Height(), 532 - 30) << "the client area under the toolbar, as without the status line";
  EXPECT_EQ(form.Font().Name(), Utf8ToCp932("ＭＳ Ｐゴシック"));
  EXPECT_EQ(form.Panel2->Height(), 30);
  EXPECT_EQ(form.Panel2->BevelInner(), bvLowered);
  EXPECT_EQ(form.SpeedButton5->Caption(), "Open");
  EXPECT_EQ(form.SpeedButton3->BoundsRect(), (TRect{77, 2, 152, 28}));
  EXPECT_EQ(form.Editor1->Align(), alClient);
  EXPECT_EQ(form.Editor1->Top(), 30) << "below the toolbar";
  EXPECT_EQ(form.Editor1->Color(), clNavy);
  EXPECT_EQ(form.Editor1->Font().Color(), clWhite);
  EXPECT_EQ(form.Editor1->ScrollBars(), ssBoth);
  EXPECT_TRUE(form.Editor1->Leftbar()->Visible() && form.Editor1->Ruler()->Visible());
  EXPECT_TRUE(form.Editor1->Marks()->Underline()->Visible());
  EXPECT_EQ(form.Editor1->View()->Colors()->Select()->BkColor(), clYellow);
  EXPECT_EQ(form.SaveDialog1->Filter(), "x|*.x");
  EXPECT_TRUE(form.SaveDialog1->Options().Contains(ofOverwritePrompt));
  EXPECT_EQ(form.Reg1->RegType(), rtIni);
  EXPECT_EQ(form.Reg1->RegItems()->Count(), 1);
  EXPECT_FALSE(form.Editor1->Modified());
}

TEST_F(MainWindowTest, OpenShowsTheNameStoresTheFolderAndLoadsTheFile) {
  const std::string plane = FFolder.Path("plane.x");
  WriteBytes(plane, "xof 0302txt 0032\r\nMesh {\r\n}\r\n");
  FPlatform.ScriptFileChoice(plane);
  FForm->SpeedButton5Click(nullptr);
  EXPECT_EQ(FPlatform.FileDialogs().back().InitialDir, "") << "no INI yet: the default folder";
  EXPECT_EQ(FForm->Caption(), "tavrino  : plane.x");
  EXPECT_EQ(FForm->CurrentFileName(), plane);
  EXPECT_EQ(ReadBytes(Ini()), "[filepath]\r\nfilepath=" + FFolder.Root() + "/\r\n");
  EXPECT_EQ(Text(), "xof 0302txt 0032\r\nMesh {\r\n}\r\n");
  EXPECT_FALSE(FForm->Editor1->Modified());

  // A second Open starts in the stored folder; cancelled, it changes nothing.
  FPlatform.ScriptFileChoice("");
  FForm->SpeedButton5Click(nullptr);
  EXPECT_EQ(FPlatform.FileDialogs().back().InitialDir, FFolder.Root() + "/");
  EXPECT_EQ(FForm->Caption(), "tavrino  : plane.x");
  EXPECT_EQ(Text(), "xof 0302txt 0032\r\nMesh {\r\n}\r\n");
}

TEST_F(MainWindowTest, AFileThatCannotBeReadLeavesTheOpenDocumentAsItWas) {
  const std::string plane = FFolder.Path("plane.x");
  WriteBytes(plane, "Mesh {\r\n}\r\n");
  FPlatform.ScriptFileChoice(plane);
  FForm->SpeedButton5Click(nullptr);
  FForm->Editor1->SetFocus();
  FForm->Editor1->Perform(WM_CHAR, 'x', 0);  // an edit to keep, with its undo step
  const std::string edited = Text();
  const std::string stored = TIniFile(Ini()).ReadString("filepath", "filepath", "");

  const std::string huge = FFolder.Path("huge.x");
  WriteBytes(huge, "");
  std::filesystem::resize_file(huge, (int64_t{2} << 30) + 1);  // sparse: no disk needed
  WriteBytes(FFolder.Path("binary.x"), std::string("a\0b", 3));
  std::filesystem::create_directory(FFolder.Path("sub"));
  for (const std::string& bad : {FFolder.Path("missing.x"), FFolder.Path("sub"), FFolder.Path("binary.x"), huge}) {
    FPlatform.ScriptAnswer(IDNO);  // the edit is not saved first
    FPlatform.ScriptFileChoice(bad);
    EXPECT_THROW(FForm->SpeedButton5Click(nullptr), EFileError) << bad;
    EXPECT_EQ(Text(), edited) << bad;
    EXPECT_TRUE(FForm->Editor1->Modified() && FForm->Editor1->CanUndo()) << bad;
    EXPECT_EQ(FForm->Caption(), "tavrino  : plane.x") << bad;
    EXPECT_EQ(FForm->CurrentFileName(), plane) << "SaveAs must not propose " << bad;
    EXPECT_EQ(TIniFile(Ini()).ReadString("filepath", "filepath", ""), stored) << bad;
  }
  FPlatform.ScriptFileChoice(FFolder.Path("saved.x"));
  FForm->SpeedButton4Click(nullptr);
  EXPECT_EQ(ReadBytes(FFolder.Path("saved.x")), edited) << "nothing was lost";
  EXPECT_EQ(ReadBytes(FFolder.Path("binary.x")), std::string("a\0b", 3));
}

TEST_F(MainWindowTest, OpenSaysWhatFollowsTheEndMarkAndWouldBeLostBySavingOver) {
  const std::string plane = FFolder.Path("plane.x");
  WriteBytes(plane, "Mesh {\r\n}\x1a" + std::string(120, 'z'));
  FPlatform.ScriptFileChoice(plane);
  FForm->SpeedButton5Click(nullptr);
  EXPECT_EQ(Text(), "Mesh {\r\n}");
  EXPECT_EQ(Boxes(), std::vector<std::string>{"plane.x: 120 bytes after the end-of-file mark (0x1A) at byte 9 are not "
                                              "part of the text; saving over the file drops them."});
  WriteBytes(plane, "Mesh {\r\n}\x1az");
  FPlatform.ScriptFileChoice(plane);
  FForm->SpeedButton5Click(nullptr);
  EXPECT_EQ(Boxes(), std::vector<std::string>{"plane.x: 1 byte after the end-of-file mark (0x1A) at byte 9 is not "
                                              "part of the text; saving over the file drops it."});
  WriteBytes(plane, "Mesh {\r\n}\x1a");  // the mark alone, as old tools end files
  FPlatform.ScriptFileChoice(plane);
  FForm->SpeedButton5Click(nullptr);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(MainWindowTest, ExchangeKeepsEmptyLinesBeforeAnyText) {
  // An empty first line once crashed the window's working copy.
  for (const std::string text : {"\r\nxof 0302txt 0032\r\n", "\r\n\r\n\r\n", ""}) {
    const std::string path = FFolder.Path("blank.x");
    WriteBytes(path, text);
    FPlatform.ScriptAnswer(IDNO);  // the last Exchange is not saved
    FPlatform.ScriptFileChoice(path);
    FForm->SpeedButton5Click(nullptr);
    FForm->SpeedButton3Click(nullptr);
    EXPECT_EQ(Boxes().back(), "Complete.");
    EXPECT_EQ(Text(), text);
  }
  FForm->Editor1->Lines()->Clear();
  FForm->Editor1->Lines()->Add("");  // a text cleared to one empty line
  FForm->SpeedButton3Click(nullptr);
  EXPECT_EQ(Text(), "\r\n");
}

TEST_F(MainWindowTest, AnIniThatCannotBeWrittenIsReportedAndTheFileStillLoads) {
  std::filesystem::create_directory(Ini());  // a folder where the INI file should be
  const std::string plane = FFolder.Path("plane.x");
  WriteBytes(plane, "Mesh {\r\n}\r\n");
  FPlatform.ScriptFileChoice(plane);
  FForm->SpeedButton5Click(nullptr);
  EXPECT_FALSE(Boxes().empty()) << "the settings error is shown";
  EXPECT_EQ(FForm->Caption(), "tavrino  : plane.x");
  EXPECT_EQ(Text(), "Mesh {\r\n}\r\n");
}

TEST_F(MainWindowTest, ExchangeRewritesTheTextAsOneChange) {
  FForm->SpeedButton3Click(nullptr);
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Complete."}) << "also on an empty editor";
  FForm->Editor1->Lines()->SetAllText(
      "Mesh {\r\n MeshTextureCoords {\r\n  2;\r\n  0.1;0.2;,\r\n  0.3;0.4;;\r\n }\r\n MeshVertexColors {\r\n  1;\r\n }\r\n}");
  FForm->Editor1->Lines()->Add("last");
  FForm->SpeedButton3Click(nullptr);
  EXPECT_EQ(Text(),
            "Mesh {\r\n MeshTextureCoords {\r\n  2;\r\n  0.1;0.2;\r\n  0.3;0.4;;\r\n }\r\n//  MeshVertexColors {\r\n//   1;\r\n"
            "//  }\r\n}\r\nlast\r\n");
  EXPECT_TRUE(FForm->Editor1->Modified());
  EXPECT_EQ(FForm->Editor1->Row(), FForm->Editor1->ScreenStrings()->Count()) << "the caret at the end";
  EXPECT_NE(FForm->StatusBar1->SimpleText().find("colour 3"), std::string::npos) << FForm->StatusBar1->SimpleText();
  // One undo step: the exact text before it, and the edit before it stays undoable.
  FForm->Editor1->Undo();
  EXPECT_EQ(Text(),
            "Mesh {\r\n MeshTextureCoords {\r\n  2;\r\n  0.1;0.2;,\r\n  0.3;0.4;;\r\n }\r\n MeshVertexColors {\r\n  1;\r\n }\r\n}"
            "\r\nlast");
  EXPECT_EQ(FForm->StatusBar1->SimpleText().find("Exchange"), std::string::npos) << "the counts go with the step";
  FForm->Editor1->Undo();
  EXPECT_EQ(FForm->Editor1->Lines()->Count(), 10) << "\"last\" is gone too";
  FForm->Editor1->Redo();
  FForm->Editor1->Redo();
  EXPECT_EQ(Text(),
            "Mesh {\r\n MeshTextureCoords {\r\n  2;\r\n  0.1;0.2;\r\n  0.3;0.4;;\r\n }\r\n//  MeshVertexColors {\r\n//   1;\r\n"
            "//  }\r\n}\r\nlast\r\n");
}

// An Exchange that finds nothing to change leaves the text as it was: not modified,
// the caret and the history where they were, so closing asks nothing.
TEST_F(MainWindowTest, ExchangeWithNothingToChangeLeavesTheFileUntouched) {
  const std::string plane = FFolder.Path("plane.x");
  WriteBytes(plane, "Mesh {\r\n  1;\r\n}");
  FForm->OpenFile(plane);
  FForm->Editor1->SetRow(1);
  FForm->SpeedButton3Click(nullptr);
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Complete."});
  EXPECT_EQ(Text(), "Mesh {\r\n  1;\r\n}") << "no line end added";
  EXPECT_FALSE(FForm->Editor1->Modified());
  EXPECT_FALSE(FForm->Editor1->CanUndo());
  EXPECT_EQ(FForm->Editor1->Row(), 1);
  EXPECT_NE(FForm->StatusBar1->SimpleText().find("Exchange: UV 0, colour 0"), std::string::npos)
      << FForm->StatusBar1->SimpleText();
  FForm->Close();
  EXPECT_TRUE(Boxes().empty()) << "no save question";
}

TEST_F(MainWindowTest, SaveAsWritesTheTextUnderTheChosenName) {
  FForm->Editor1->Lines()->SetAllText(" MeshVertexColors {\r\nno line end");
  const std::string saved = FFolder.Path("saved.x");
  FPlatform.ScriptFileChoice(saved);
  FForm->SpeedButton4Click(nullptr);
  EXPECT_EQ(FPlatform.FileDialogs().back().FileName, "") << "before any Open, no name is proposed";
  EXPECT_TRUE(FPlatform.FileDialogs().back().Save);
  EXPECT_EQ(ReadBytes(saved), " MeshVertexColors {\r\nno line end") << "saved back as it was";
  FForm->SpeedButton3Click(nullptr);
  FPlatform.ScriptFileChoice(saved);
  FForm->SpeedButton4Click(nullptr);
  EXPECT_EQ(ReadBytes(saved), "//  MeshVertexColors {\r\n// no line end\r\n") << "after Exchange the last line ends";
  EXPECT_EQ(FForm->Caption(), "tavrino  : saved.x") << "the saved file is the window's file now";
  EXPECT_FALSE(std::filesystem::exists(Ini())) << "only Open stores a folder";

  // A folder that cannot be written: the old file there stays as it was.
  FPlatform.ScriptFileChoice(FFolder.Root());
  EXPECT_THROW(FForm->SpeedButton4Click(nullptr), std::exception);
  EXPECT_EQ(ReadBytes(saved), "//  MeshVertexColors {\r\n// no line end\r\n");
}

TEST_F(MainWindowTest, AboutCloseAndTheWheel) {
  FForm->SpeedButton1Click(nullptr);
  const std::vector<std::string> boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], AboutText());
  EXPECT_NE(boxes[0].find("\r\n\r\nFMS"), std::string::npos);
  EXPECT_NE(boxes[0].find(Utf8ToCp932("　；，->　；　")), std::string::npos) << "full-width blanks kept";

  FForm->Editor1->Lines()->SetAllText("0\r\n1\r\n2\r\n3\r\n4\r\n5");
  FForm->Editor1->SetFocus();
  FForm->Editor1->SetRow(1);
  FForm->Editor1->Perform(WM_MOUSEWHEEL, MakeLong(0, -120), MakeLong(50, 50));
  EXPECT_EQ(FForm->Editor1->Row(), 3);
  FForm->Editor1->Perform(WM_MOUSEWHEEL, MakeLong(0, 240), MakeLong(50, 50));
  EXPECT_EQ(FForm->Editor1->Row(), 0) << "two notches up, clamped at the top";

  FForm->Editor1->Lines()->Add("unsaved");
  FPlatform.ScriptCancel();
  FForm->SpeedButton2Click(nullptr);
  EXPECT_FALSE(FForm->Closed()) << "Cancel keeps the window and the text";
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Save changes to the new text?"});
  FPlatform.ScriptAnswer(IDNO);
  FForm->SpeedButton2Click(nullptr);
  EXPECT_TRUE(FForm->Closed()) << "No drops the edits";
}

// ---- What the described size leaves room for ----

int WidthOf(const TFont& font, const std::string& text) {
  int width = 0;
  for (int advance : Platform().FontEngine().Advances(font, text)) width += advance;
  return width;
}

TEST_F(MainWindowTest, AtTheDescribedWidthTheStatusLineAfterExchangeIsReadInFull) {
  ASSERT_EQ(FForm->Width(), 647) << "the width the description gives";
  TStatusFacts facts;
  facts.Row = 123455;
  facts.Col = 122;
  facts.Lines = 123456;
  facts.Modified = true;
  facts.Exchanged = {{123456, 123456}};
  for (TLanguage language : {lnEnglish, lnJapanese}) {
    SetLanguage(language);
    const std::string shown = Utf8ToCp932(StatusLine(facts));
    EXPECT_LE(WidthOf(FForm->StatusBar1->Font(), shown), FForm->StatusBar1->TextRoom()) << StatusLine(facts);
    // With word wrap the caret's line comes too; the encoding, which never changes, goes.
    TStatusFacts wrapped = facts;
    wrapped.Line = 123455;
    const std::string brief = Utf8ToCp932(StatusLine(wrapped, true));
    EXPECT_LE(WidthOf(FForm->StatusBar1->Font(), brief), FForm->StatusBar1->TextRoom()) << StatusLine(wrapped, true);
  }
  SetLanguage(lnEnglish);
}

// Every message of the find bar is seen whole: a pattern too long for the room loses
// characters from its middle, never the end of the sentence.
TEST_F(MainWindowTest, AtTheDescribedWidthEveryFindBarMessageIsReadInFull) {
  const std::string ascii = "nVertexColorsXYZ" + std::string(24, 'w');
  std::string wide;
  for (int i = 0; i < 20; ++i) wide += "頂点";
  struct TCase {
    TLanguage Language;
    std::string Pattern;  // UTF-8; empty: nothing typed
    const char* Start;    // what the message starts with
    const char* End;      // and ends with
  };
  const TCase cases[] = {
      {lnEnglish, ascii, "\"nVertexColorsXYZwww", "www\" was not found."},
      {lnJapanese, ascii, "「nVertexColorsXYZwww", "www」は見つかりませんでした。"},
      {lnEnglish, wide, "\"頂点頂点", "頂点\" was not found."},
      {lnJapanese, wide, "「頂点頂点", "頂点」は見つかりませんでした。"},
      {lnEnglish, "𠮷", "The pattern has", "not taken."},
      {lnJapanese, "𠮷", "検索文字列に", "受け付けませんでした。"},
      {lnEnglish, "", "Type what", "find."},
      {lnJapanese, "", "検索する", "ください。"},
  };
  FForm->Editor1->Lines()->SetText("alpha\r\nbeta\r\n");
  TFindBar& bar = *FForm->FindBar1;
  bar.ShowBar(false);
  for (const TCase& c : cases) {
    SetLanguage(c.Language);
    bar.PatternEdit->SetText("");
    if (bar.SetPatternText(c.Pattern)) bar.FindNext();
    const std::string message = Cp932ToUtf8(bar.Message());
    EXPECT_TRUE(message.starts_with(c.Start) && message.ends_with(c.End)) << message;
    EXPECT_LE(bar.MessageLabel->Left() + bar.MessageLabel->Width(), bar.ClientWidth()) << message;
  }
  SetLanguage(lnEnglish);
}

// The window's own messages in Japanese; the described texts stay as they are.
TEST_F(MainWindowTest, MessagesFollowTheLanguageButTheDescribedTextsStay) {
  SetLanguage(lnJapanese);
  const std::string plane = FFolder.Path("plane.x");
  WriteBytes(plane, std::string("Mesh {\r\n}\r\n\x1A"
                                "ab",
                                14));
  FForm->OpenFile(plane);
  EXPECT_EQ(Boxes(),
            std::vector<std::string>{Utf8ToCp932(
                "plane.x: オフセット 11 にあるファイル終端記号 (0x1A) より後ろの 2 バイトはテキストに含まれません。"
                "このファイルに上書き保存すると失われます。")});
  FForm->SpeedButton3Click(nullptr);
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Complete."});
  EXPECT_EQ(FForm->SpeedButton3->Caption(), "Exchange");
  EXPECT_EQ(FForm->Caption(), "tavrino  : plane.x");
  FForm->Editor1->Lines()->SetText("a b a\r\n");
  FForm->FindBar1->SetPatternText("a");
  FForm->FindBar1->ReplaceAll("c");
  EXPECT_EQ(Cp932ToUtf8(FForm->FindBar1->Message()), "2 件置換しました。");
  // The bar's captions are made with the window, in the language of then.
  TOwned<TForm1> japanese = CreateWithoutOwner<TForm1>();
  EXPECT_EQ(Cp932ToUtf8(japanese->FindBar1->WholeWordBox->Caption()), "単語単位");
  EXPECT_EQ(japanese->SpeedButton2->Caption(), "Close") << "the toolbar's described caption";
  SetLanguage(lnEnglish);
  FForm->FindBar1->SetPatternText("b");
  FForm->FindBar1->ReplaceAll("c");
  EXPECT_EQ(FForm->FindBar1->Message(), "Replaced 1 match.");
}

}  // namespace
}  // namespace plomaret
