// The main window on Qt's offscreen platform guarding its files: a file dragged from a
// file manager onto the editor opens in the window, and the close box and Ctrl+S reach
// the window through Qt's own events.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QtTest/QTest>

#include "QtTestSupport.h"
#include "TestFiles.h"
#include "app/Unit1.h"

namespace plomaret {
namespace {

class QtMainWindowFiles : public ::testing::Test {
 protected:
  QtMainWindowFiles() {
    RecordingPlatform().Shown.clear();
    RecordingPlatform().Answers.clear();
    FForm->SetProgramFile(FFolder.Path("plomaret"));
    FForm->Show();
    FForm->Editor1->SetFocus();
    FEditorWidget = QtWindowOf(*FForm->Editor1)->Widget();
    FWindow = QtWindowOf(*FForm)->Widget();
    QApplication::processEvents();
  }
  ~QtMainWindowFiles() override { RecordingPlatform().Answers.clear(); }

  // A drag from a file manager over the editor, ending in a drop: Qt offers each step to
  // the widget under the pointer and then to its parents, until one accepts.
  void DragOntoTheEditor(const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    const QPointF at(60, 60);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(FEditorWidget, &enter);
    QDragMoveEvent move(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(FEditorWidget, &move);
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(FEditorWidget, &drop);
    QApplication::processEvents();
  }
  QUrl UrlOf(const std::string& name) const { return QUrl::fromLocalFile(QString::fromStdString(FFolder.Path(name))); }
  std::string Text() const { return FForm->Editor1->Lines()->AllText(); }

  testing::TScratchFolder FFolder;
  TOwned<TForm1> FForm = CreateWithoutOwner<TForm1>();
  QWidget* FEditorWidget = nullptr;
  QWidget* FWindow = nullptr;
};

TEST_F(QtMainWindowFiles, AFileDraggedOntoTheEditorOpensInTheWindow) {
  testing::WriteBytes(FFolder.Path("plane.x"), "Mesh {\r\n}\r\n");
  testing::WriteBytes(FFolder.Path("wing.x"), "wing\r\n");
  EXPECT_TRUE(FWindow->acceptDrops()) << "the window takes files";

  DragOntoTheEditor({UrlOf("plane.x")});
  EXPECT_EQ(Text(), "Mesh {\r\n}\r\n");
  EXPECT_EQ(FWindow->windowTitle().toStdString(), "tavrino  : plane.x");
  EXPECT_EQ(FForm->CurrentFileName(), FFolder.Path("plane.x"));
  EXPECT_TRUE(RecordingPlatform().Shown.empty());

  // Only local files count: a web address alone is no drop at all.
  DragOntoTheEditor({QUrl("https://example.com/wing.x")});
  EXPECT_EQ(FForm->CurrentFileName(), FFolder.Path("plane.x"));

  DragOntoTheEditor({UrlOf("wing.x"), UrlOf("plane.x")});
  EXPECT_EQ(Text(), "wing\r\n");
  EXPECT_EQ(RecordingPlatform().Shown, std::vector<std::string>{"Only \"wing.x\" was opened; 1 other file was not."});
}

TEST_F(QtMainWindowFiles, TheCloseBoxAsksAboutUnsavedEditsAndCtrlSSavesThem) {
  const std::string plane = FFolder.Path("plane.x");
  testing::WriteBytes(plane, "one\r\n");
  FForm->OpenFile(plane);
  QTest::keyClick(FEditorWidget, Qt::Key_X);
  ASSERT_EQ(Text(), "xone\r\n");
  TRecordingQtPlatform& platform = RecordingPlatform();

  platform.Answers = {IDCANCEL};
  EXPECT_FALSE(FWindow->close()) << "Cancel keeps the window open";
  EXPECT_TRUE(FWindow->isVisible());
  EXPECT_FALSE(FForm->Closed());
  EXPECT_EQ(platform.Shown, std::vector<std::string>{"Save changes to \"plane.x\"?"});
  EXPECT_EQ(testing::ReadBytes(plane), "one\r\n");

  // Ctrl+S is taken by the window before the editor sees a character.
  QTest::keyClick(FEditorWidget, Qt::Key_S, Qt::ControlModifier);
  QApplication::processEvents();
  EXPECT_EQ(testing::ReadBytes(plane), "xone\r\n");
  EXPECT_EQ(Text(), "xone\r\n");
  EXPECT_FALSE(FForm->Editor1->Modified());

  // Modified again: Yes saves, then the window closes.
  QTest::keyClick(FEditorWidget, Qt::Key_Y);
  platform.Shown.clear();
  platform.Answers = {IDYES};
  EXPECT_TRUE(FWindow->close());
  EXPECT_FALSE(FWindow->isVisible());
  EXPECT_TRUE(FForm->Closed());
  EXPECT_EQ(platform.Shown.size(), 1u);
  EXPECT_EQ(testing::ReadBytes(plane), "xyone\r\n");
}

TEST_F(QtMainWindowFiles, NoClosesWithoutSavingAndAnUnmodifiedTextClosesWithoutAQuestion) {
  const std::string plane = FFolder.Path("plane.x");
  testing::WriteBytes(plane, "one\r\n");
  FForm->OpenFile(plane);
  EXPECT_TRUE(FWindow->close());
  EXPECT_TRUE(RecordingPlatform().Shown.empty()) << "nothing to lose, nothing asked";

  FForm->Show();
  QApplication::processEvents();
  QTest::keyClick(FEditorWidget, Qt::Key_X);
  RecordingPlatform().Answers = {IDNO};
  EXPECT_TRUE(FWindow->close());
  EXPECT_TRUE(FForm->Closed());
  EXPECT_EQ(RecordingPlatform().Shown.size(), 1u);
  EXPECT_EQ(testing::ReadBytes(plane), "one\r\n") << "No: the file untouched";
}

TEST_F(QtMainWindowFiles, TheTitleShowsAShiftJisFileNameAndCtrlSWritesThatFile) {
  const std::string name = "\x83\x76\x83\x8C\x81\x5B\x83\x93.x";  // from an old archive: not UTF-8
  const std::string plane = FFolder.Path(name);
  testing::WriteBytes(plane, "one\r\n");
  FForm->OpenFile(plane);
  EXPECT_EQ(FWindow->windowTitle(), QString::fromUtf8("tavrino  : プレーン.x"));
  QTest::keyClick(FEditorWidget, Qt::Key_X);
  QTest::keyClick(FEditorWidget, Qt::Key_S, Qt::ControlModifier);
  QApplication::processEvents();
  EXPECT_EQ(testing::ReadBytes(plane), "xone\r\n");
  EXPECT_EQ(testing::CountEntries(FFolder.Root()), 2u) << "the file and the settings, nothing under another name";
}

}  // namespace
}  // namespace plomaret
