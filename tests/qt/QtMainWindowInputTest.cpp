// The main window's editor driven by real Qt input events: keys, typed and composed
// Japanese text, clicks and drags, and the context menu opened with the right button.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QImage>
#include <QInputMethodEvent>
#include <QMenu>
#include <QPainter>
#include <QTimer>
#include <QtTest/QTest>

#include "QtTestSupport.h"
#include "TestFiles.h"
#include "app/Unit1.h"
#include "editor/EditorControl.h"

namespace plomaret {
namespace {

constexpr int kEdge = 2;  // the editor's sunken client edge

class QtMainWindowInput : public ::testing::Test {
 protected:
  QtMainWindowInput() {
    FForm->SetProgramFile(FFolder.Path("plomaret"));
    FForm->Show();
    FEditor = FForm->Editor1;
    FEditor->SetFocus();
    FWidget = QtWindowOf(*FEditor)->Widget();
    QApplication::processEvents();
  }

  // The widget point over the left part of a cell, so the click lands on its left boundary.
  QPoint CellPoint(int row, int col) const {
    return {kEdge + FEditor->LeftOffset() + col * FEditor->ColWidth() + 1,
            kEdge + FEditor->TopOffset() + row * FEditor->RowHeight() + FEditor->RowHeight() / 2};
  }
  void Type(const char* text) {
    QTest::keyClicks(FWidget, QString::fromUtf8(text));
    QApplication::processEvents();
  }
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(FWidget, key, modifiers);
    QApplication::processEvents();
  }
  void Mouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held,
             Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    // A drop reads where the pointer is, as a real mouse would have left it.
    QCursor::setPos(FWidget->mapToGlobal(at));
    QMouseEvent event(type, at, FWidget->mapToGlobal(at), button, held, modifiers);
    QApplication::sendEvent(FWidget, &event);
    QApplication::processEvents();
  }
  std::string Text() const { return FEditor->Lines()->AllText(); }

  testing::TScratchFolder FFolder;
  TOwned<TForm1> FForm = CreateWithoutOwner<TForm1>();
  TEditor* FEditor = nullptr;
  QWidget* FWidget = nullptr;
};

TEST_F(QtMainWindowInput, KeysAndTypedTextEditAndMoveTheCaret) {
  Type("abc");
  Key(Qt::Key_Return);
  Type("de");
  EXPECT_EQ(Text(), "abc\r\nde");
  EXPECT_EQ(FEditor->Row(), 1);
  EXPECT_EQ(FEditor->Col(), 2);

  Key(Qt::Key_Up);
  Key(Qt::Key_Left, Qt::ShiftModifier);
  Key(Qt::Key_Left, Qt::ShiftModifier);
  EXPECT_EQ(FEditor->SelText(), "ab");
  Key(Qt::Key_Backspace);
  EXPECT_EQ(Text(), "c\r\nde");
  Key(Qt::Key_Z, Qt::ControlModifier);  // the context menu's undo shortcut
  EXPECT_EQ(Text(), "abc\r\nde");

  // A katakana typed on the keyboard arrives as its two Shift-JIS bytes and is inserted whole.
  FEditor->SetRowCol(1, 2);
  QKeyEvent katakana(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8("ア"));
  QApplication::sendEvent(FWidget, &katakana);
  QApplication::processEvents();
  EXPECT_EQ(Text(), "abc\r\nde\x83\x41");
  EXPECT_EQ(FEditor->Col(), 4);
}

TEST_F(QtMainWindowInput, AnInputMethodResultIsInsertedOnceAndTypingGoesOn) {
  QInputMethodEvent preedit(QString::fromUtf8("あ"), {});
  QApplication::sendEvent(FWidget, &preedit);
  QInputMethodEvent commit;
  commit.setCommitString(QString::fromUtf8("あ烙"));  // 烙 is E0 80: a lead byte above 0x9F
  QApplication::sendEvent(FWidget, &commit);
  QApplication::processEvents();
  Type("a");
  EXPECT_EQ(Text(), "\x82\xa0\xe0\x80" "a");
  EXPECT_EQ(FEditor->Col(), 5);
}

TEST_F(QtMainWindowInput, ClicksPlaceTheCaretAndADragSelectsThenMovesTheSelection) {
  FEditor->Lines()->SetAllText("hello world\r\nsecond line");
  QApplication::processEvents();
  Mouse(QEvent::MouseButtonPress, CellPoint(1, 3), Qt::LeftButton, Qt::LeftButton);
  Mouse(QEvent::MouseButtonRelease, CellPoint(1, 3), Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(FEditor->Row(), 1);
  EXPECT_EQ(FEditor->Col(), 3);

  // Press, move with the button held, release: "hello" selected.
  Mouse(QEvent::MouseButtonPress, CellPoint(0, 0), Qt::LeftButton, Qt::LeftButton);
  Mouse(QEvent::MouseMove, CellPoint(0, 5), Qt::NoButton, Qt::LeftButton);
  Mouse(QEvent::MouseButtonRelease, CellPoint(0, 5), Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(FEditor->SelText(), "hello");

  // Typing while the button is held is ignored.
  Mouse(QEvent::MouseButtonPress, CellPoint(1, 0), Qt::LeftButton, Qt::LeftButton);
  Type("x");
  Mouse(QEvent::MouseButtonRelease, CellPoint(1, 0), Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(Text(), "hello world\r\nsecond line");

  // Drag the selection to the end of the second row.
  FEditor->SetSelStart(0);
  FEditor->SetSelLength(6);  // "hello "
  Mouse(QEvent::MouseButtonPress, CellPoint(0, 1), Qt::LeftButton, Qt::LeftButton);
  Mouse(QEvent::MouseMove, CellPoint(1, 3), Qt::NoButton, Qt::LeftButton);
  Mouse(QEvent::MouseMove, CellPoint(1, 11), Qt::NoButton, Qt::LeftButton);
  ASSERT_NE(QGuiApplication::overrideCursor(), nullptr) << "the drag cursor is the screen's";
  EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::DragMoveCursor);
  Mouse(QEvent::MouseButtonRelease, CellPoint(1, 11), Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(Text(), "world\r\nsecond linehello ");
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "and it goes with the drop";
}

// Runs action on the popup menu once it is up (the event loop turns a few times before).
void WhenMenuShown(std::function<void(QMenu&)> action, int triesLeft = 50) {
  QTimer::singleShot(10, qApp, [action = std::move(action), triesLeft]() mutable {
    auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (popup != nullptr) {
      action(*popup);
    } else if (triesLeft > 0) {
      WhenMenuShown(std::move(action), triesLeft - 1);
    }
  });
}

TEST_F(QtMainWindowInput, TheRightButtonOpensTheContextMenu) {
  FEditor->Lines()->SetAllText("xof 0302txt 0032\r\n\r\nMesh {\r\n 4;\r\n}");
  FEditor->SetRowCol(0, 0);
  QApplication::processEvents();
  QStringList shown;
  QImage shot;
  const QPoint at = CellPoint(2, 3);
  Mouse(QEvent::MouseButtonPress, at, Qt::RightButton, Qt::RightButton);
  WhenMenuShown([&](QMenu& menu) {
    QMenu* popup = &menu;
    for (QAction* action : popup->actions()) {
      if (action->isSeparator()) continue;
      shown << action->text() + (action->isEnabled() ? "" : " (off)");
    }
    // The window with the menu over it, as a person sees it.
    QWidget* window = QtWindowOf(*FForm)->Widget();
    shot = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QPainter painter(&shot);
    painter.drawImage(window->mapFromGlobal(popup->pos()), popup->grab().toImage());
    painter.end();
    // Choose "select all" by its accelerator.
    QTest::keyClick(popup, Qt::Key_A);
  });
  Mouse(QEvent::MouseButtonRelease, at, Qt::RightButton, Qt::NoButton);

  const QString undo = QString::fromUtf8("元に戻す(&U)\tCtrl+Z (off)");
  const QString redo = QString::fromUtf8("やり直し(&R)\tCtrl+A (off)");
  const QString copy = QString::fromUtf8("コピー(&C)\tCtrl+C (off)");
  const QString selectAll = QString::fromUtf8("すべて選択(&A)");
  EXPECT_TRUE(shown.contains(undo)) << shown.join(" | ").toStdString();
  EXPECT_TRUE(shown.contains(redo)) << shown.join(" | ").toStdString();
  EXPECT_TRUE(shown.contains(copy)) << shown.join(" | ").toStdString();
  EXPECT_TRUE(shown.contains(selectAll)) << shown.join(" | ").toStdString();
  EXPECT_EQ(FEditor->SelText(), FEditor->Lines()->AllText()) << "select all was chosen";
  ASSERT_FALSE(shot.isNull());
  EXPECT_TRUE(shot.save(QStringLiteral(PLOMARET_QT_OUTPUT_DIR "/qt_context_menu.png")));
}

}  // namespace
}  // namespace plomaret
