// The main window on Qt's offscreen platform: a file opened through Open, rewritten by
// Exchange and written by SaveAs, and a screenshot checked by its pixels.

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>

#include "QtTestSupport.h"
#include "TestFiles.h"
#include "app/Unit1.h"
#include "app/XFileFixup.h"
#include "framework/core/CodePage.h"

namespace plomaret {
namespace {

TEST(QtMainWindow, OpenExchangeSaveAsAndWhatTheWindowShows) {
  testing::TScratchFolder folder;
  const std::string input = folder.Path("plane.x");
  testing::WriteBytes(input,
                      "xof 0302txt 0032\r\n\r\nMesh {\r\n 4;\r\n 0.0;0.0;0.0;,\r\n MeshTextureCoords {\r\n  4;\r\n"
                      "  0.250000;0.750000;,\r\n  0.500000;0.500000;;\r\n }\r\n MeshVertexColors {\r\n  1;\r\n"
                      "  0;1.0;1.0;1.0;1.0;;\r\n }\r\n}\r\n");
  TOwned<TForm1> form = CreateWithoutOwner<TForm1>();
  form->SetProgramFile(folder.Path("plomaret"));
  form->Show();
  TRecordingQtPlatform& platform = RecordingPlatform();
  platform.Shown.clear();
  platform.FileChoices = {input, folder.Path("out.x")};
  // A click on a toolbar button: pressed and released over it.
  auto click = [&](TSpeedButton* button) {
    const intptr_t at = MakeLong(button->Left() + 5, button->Top() + 5);
    form->Panel2->Perform(WM_LBUTTONDOWN, MK_LBUTTON, at);
    form->Panel2->Perform(WM_LBUTTONUP, 0, at);
  };
  click(form->SpeedButton5);
  click(form->SpeedButton3);
  click(form->SpeedButton4);
  EXPECT_EQ(platform.Shown, std::vector<std::string>{"Complete."});

  // The same bytes as the rewrite of the batch tool's state machine.
  TOwned<TStringList> expected = Create<TStringList>();
  expected->LoadFile(input);
  ExchangeLines(*expected);
  EXPECT_EQ(testing::ReadBytes(folder.Path("out.x")), expected->AllText());
  EXPECT_EQ(testing::ReadBytes(folder.Path("plomaret.ini")), "[filepath]\r\nfilepath=" + folder.Root() + "/\r\n");

  QWidget* window = QtWindowOf(*form)->Widget();
  EXPECT_EQ(window->windowTitle().toStdString(), "tavrino  : out.x") << "the window's file is the one saved";
  form->Editor1->SetRowCol(0, 0);
  QApplication::processEvents();
  const QImage shot = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_TRUE(shot.save(QStringLiteral(PLOMARET_QT_OUTPUT_DIR "/qt_main_window.png")));
  EXPECT_EQ(static_cast<TPixel>(shot.pixel(400, 15) & 0xFFFFFF), PixelOf(clBtnFace)) << "the toolbar right of the buttons";

  // The editor's own window: navy text area, white text, silver leftbar and ruler.
  const QImage text = QtWindowOf(*form->Editor1)->Widget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  auto pixel = [&](int x, int y) { return static_cast<TPixel>(text.pixel(x, y) & 0xFFFFFF); };
  const int edge = 2;
  const int left = edge + form->Editor1->LeftOffset();
  const int top = edge + form->Editor1->TopOffset();
  const int width = form->Editor1->ColWidth();
  EXPECT_EQ(pixel(left + 40 * width, top + 1), PixelOf(clNavy)) << "a blank text cell";
  int bright = 0;
  for (int y = top; y < top + form->Editor1->RowHeight(); ++y) {
    for (int x = left + width; x < left + 3 * width; ++x) bright += (pixel(x, y) & 0xFF) > 0xC0 ? 1 : 0;
  }
  EXPECT_GT(bright, 5) << "white glyphs of \"of\"";
  EXPECT_EQ(pixel(edge + 4, top + 2), PixelOf(clSilver)) << "the leftbar";
  EXPECT_EQ(pixel(left + 3 * width + 3, edge + 4), PixelOf(clSilver)) << "the ruler";
}

}  // namespace
}  // namespace plomaret
