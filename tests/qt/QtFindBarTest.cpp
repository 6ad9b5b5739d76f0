// The find bar and the status line of the main window on Qt's offscreen platform, with
// the screenshots the README shows.

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QInputMethodEvent>

#include "QtTestSupport.h"
#include "TestFiles.h"
#include "app/Unit1.h"
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
  // Wide enough for the whole status line.
  form->SetBounds(form->Left(), form->Top(), 760, form->Height());
  QWidget* window = QtWindowOf(*form)->Widget();
  QApplication::processEvents();
  EXPECT_EQ(form->StatusBar1->SimpleText(),
            "Row 16, Col 1 | 15 lines | Modified | Shift-JIS | CR LF | Exchange: 1 texture-coordinate line, "
            "4 vertex-colour lines");
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

}  // namespace
}  // namespace plomaret
