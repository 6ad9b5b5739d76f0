// The standard controls on a real Qt window: keys and an input method's commit into a
// field, clicks on a check box, and a screenshot of a small form of them.

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QInputMethodEvent>
#include <QtTest/QTest>

#include "QtTestSupport.h"
#include "framework/core/CodePage.h"
#include "framework/gui/Forms.h"
#include "framework/gui/Keys.h"
#include "framework/gui/StdCtrls.h"

namespace plomaret {
namespace {

struct TOwnerKeys {
  std::vector<int> Taken;
  void KeyDown(TObject*, int& key, TShiftState) {
    if (key != VK_RETURN) return;
    Taken.push_back(key);
    key = 0;
  }
};

class QtStdCtrls : public ::testing::Test {
 protected:
  QtStdCtrls() {
    FForm->SetBounds(100, 100, 260, 112);
    FForm->Font().SetName(Utf8ToCp932("ＭＳ Ｐゴシック"));
    FForm->Font().SetHeight(-12);
    FEdit = Place<TEdit>(8, 8, 180, 21);
    FEdit->OnKeyDown = TKeyEvent(&FOwner, &TOwnerKeys::KeyDown);
    FMatchCase = Place<TCheckBox>(8, 36, 160, 17);
    FMatchCase->SetCaption("Match case");
    FWholeWord = Place<TCheckBox>(8, 56, 160, 17);
    FWholeWord->SetCaption("Whole word");
    FMessage = Place<TLabel>(8, 84, 0, 0);
    FMessage->SetCaption(Utf8ToCp932("見つかりません"));
    FForm->Show();
    QWidget* window = WidgetOf(*FForm);
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    FEdit->SetFocus();
    QApplication::processEvents();
  }
  template <class T>
  T* Place(int left, int top, int width, int height) {
    T* control = Create<T>(FForm.get());
    control->SetParent(FForm.get());
    control->SetBounds(left, top, width, height);
    return control;
  }
  static QWidget* WidgetOf(TWinControl& control) { return QtWindowOf(control)->Widget(); }

  TOwned<TForm> FForm = CreateWithoutOwner<TForm>();
  TEdit* FEdit = nullptr;
  TCheckBox* FMatchCase = nullptr;
  TCheckBox* FWholeWord = nullptr;
  TLabel* FMessage = nullptr;
  TOwnerKeys FOwner;
};

TEST_F(QtStdCtrls, KeysTypeIntoTheFieldReturnReachesItsOwnerAndTabMovesOn) {
  QWidget* field = WidgetOf(*FEdit);
  QTest::keyClicks(field, "find me");
  EXPECT_EQ(FEdit->Text(), "find me");
  QTest::keyClick(field, Qt::Key_Backspace);
  QTest::keyClick(field, Qt::Key_Home);
  QTest::keyClick(field, Qt::Key_Right, Qt::ShiftModifier);
  EXPECT_EQ(FEdit->Text(), "find m");
  EXPECT_EQ(FEdit->SelText(), "f");

  QTest::keyClick(field, Qt::Key_Return);
  EXPECT_EQ(FOwner.Taken, std::vector<int>{VK_RETURN});
  EXPECT_EQ(FEdit->Text(), "find m");
  QTest::keyClick(field, Qt::Key_Tab);
  EXPECT_EQ(TWinControl::FocusedControl(), FMatchCase);
  EXPECT_FALSE(FEdit->CaretExists());
}

TEST_F(QtStdCtrls, AnInputMethodCommitLandsOnceAtTheCaret) {
  QWidget* field = WidgetOf(*FEdit);
  QTest::keyClicks(field, "x");
  QInputMethodEvent commit;
  commit.setCommitString(QString::fromUtf8("日本"));
  QApplication::sendEvent(field, &commit);
  EXPECT_EQ(FEdit->Text(), "x\x93\xfa\x96\x7b");
  constexpr int kEdge = 2;
  const QRect cursor = field->inputMethodQuery(Qt::ImCursorRectangle).toRect();
  EXPECT_EQ(cursor.topLeft(), QPoint(FEdit->CaretPos().X + kEdge, FEdit->CaretPos().Y + kEdge));
  EXPECT_GT(FEdit->CaretPos().X, 2 * 12) << "after the two wide characters";
}

TEST_F(QtStdCtrls, AClickOrSpaceTogglesACheckBox) {
  QTest::mouseClick(WidgetOf(*FMatchCase), Qt::LeftButton, {}, QPoint(6, 8));
  EXPECT_TRUE(FMatchCase->Checked());
  EXPECT_TRUE(FMatchCase->Focused());
  QTest::keyClick(WidgetOf(*FMatchCase), Qt::Key_Space);
  EXPECT_FALSE(FMatchCase->Checked());
  EXPECT_FALSE(FWholeWord->Checked());
}

TEST_F(QtStdCtrls, TheFormShowsAFieldTwoCheckBoxesAndALabel) {
  QTest::keyClicks(WidgetOf(*FEdit), "mesh");
  QInputMethodEvent commit;
  commit.setCommitString(QString::fromUtf8("頂点"));
  QApplication::sendEvent(WidgetOf(*FEdit), &commit);
  QTest::mouseClick(WidgetOf(*FMatchCase), Qt::LeftButton, {}, QPoint(6, 8));
  QApplication::processEvents();
  const QImage shot = WidgetOf(*FForm)->grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_TRUE(shot.save(QStringLiteral(PLOMARET_QT_OUTPUT_DIR "/qt_std_controls.png")));
  auto pixel = [&](int x, int y) { return static_cast<TPixel>(shot.pixel(x, y) & 0xFFFFFF); };
  auto inked = [&](const QRect& area, TPixel background) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
      for (int x = area.left(); x <= area.right(); ++x) count += pixel(x, y) != background ? 1 : 0;
    }
    return count;
  };
  EXPECT_EQ(pixel(8, 8), PixelOf(clBtnShadow)) << "the field's sunken edge";
  EXPECT_GT(inked(QRect(12, 12, 60, 12), PixelOf(clWindow)), 20) << "the field's text";
  EXPECT_EQ(pixel(8 + 6, 36 + 8), PixelOf(clWindowText)) << "the tick in the first box";
  EXPECT_EQ(pixel(8 + 6, 56 + 8), PixelOf(clWindow)) << "the second box is empty";
  EXPECT_GT(inked(QRect(8 + 17, 56, 60, 15), PixelOf(clBtnFace)), 20) << "the second caption";
  EXPECT_GT(inked(QRect(8, 84, FMessage->Width(), FMessage->Height()), PixelOf(clBtnFace)), 20) << "the label";
}

}  // namespace
}  // namespace plomaret
