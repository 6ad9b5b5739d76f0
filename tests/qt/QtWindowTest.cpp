// The life of a control's window on Qt: made, re-made, resized, closed, focused.

#include <gtest/gtest.h>

#include <QApplication>
#include <QEventLoop>
#include <QFocusEvent>
#include <QTimer>

#include "QtTestSupport.h"
#include "framework/core/CodePage.h"
#include "framework/gui/Forms.h"

namespace plomaret {
namespace {

TEST(QtWindows, ChildWindowsSitInTheParentsClientAreaAndSurviveItsRecreation) {
  auto parent = CreateWithoutOwner<TProbeControl>();
  parent->SetBounds(0, 0, 200, 100);
  auto child = CreateWithoutOwner<TProbeControl>();
  child->SetParent(parent.get());
  child->SetBounds(10, 5, 50, 20);
  child->HandleNeeded();
  EXPECT_EQ(child->Widget()->parentWidget(), parent->Widget());
  EXPECT_EQ(child->Widget()->geometry(), QRect(12, 7, 50, 20)) << "inside the parent's edge";

  // A new look (the edge goes) makes the parent's window again; the child's window moves into it.
  parent->ExtraExStyle = 0;
  parent->RecreateWnd();
  EXPECT_EQ(child->Widget()->parentWidget(), parent->Widget());
  EXPECT_EQ(child->Widget()->geometry(), QRect(10, 5, 50, 20));
  EXPECT_TRUE(child->Widget()->isVisibleTo(parent->Widget()));

  // Freed parent first: the child's window waits on its own until its control goes.
  parent.reset();
  ASSERT_NE(child->Widget(), nullptr);
  EXPECT_TRUE(child->Widget()->isHidden());
  child.reset();
}

TEST(QtWindows, AWindowResizedOnScreenResizesItsControl) {
  auto control = CreateWithoutOwner<TProbeControl>();
  control->SetBounds(0, 0, 200, 100);
  control->HandleNeeded();
  control->Log.clear();
  control->Widget()->resize(300, 120);
  QApplication::processEvents();
  EXPECT_EQ(control->Width(), 300);
  EXPECT_EQ(control->Height(), 120);
  ASSERT_FALSE(control->Of(WM_SIZE).empty());
  EXPECT_EQ(control->Of(WM_SIZE).back().LParam, MakeLong(296, 116)) << "the client area, inside the edge";
  EXPECT_EQ(control->BackingImage().Width(), 296);
}

TEST(QtWindows, ClosingAsksTheControlAndAFormMayRefuse) {
  auto plain = CreateWithoutOwner<TProbeControl>();
  plain->SetBounds(0, 0, 50, 50);
  plain->HandleNeeded();
  EXPECT_TRUE(plain->Widget()->close());
  EXPECT_EQ(plain->Kinds().back(), WM_CLOSE);
  EXPECT_FALSE(plain->Visible()) << "a window closes by default";

  // A form that keeps its WM_CLOSE from the default handling stays open.
  class TStubbornForm : public TForm {
   public:
    void WndProc(TMessage& message) override {
      if (message.Msg != WM_CLOSE) TForm::WndProc(message);
    }
  };
  auto form = CreateWithoutOwner<TStubbornForm>();
  form->SetBounds(0, 0, 50, 50);
  form->Show();
  EXPECT_FALSE(QtWindowOf(*form)->Widget()->close());
  EXPECT_TRUE(form->Visible());
}

TEST(QtWindows, LosingTheKeyboardToAnotherProgramKillsTheFocusAndGettingItBackRestoresIt) {
  auto control = CreateWithoutOwner<TProbeControl>();
  control->SetBounds(0, 0, 50, 50);
  control->SetFocus();
  control->Log.clear();
  QFocusEvent toPopup(QEvent::FocusOut, Qt::PopupFocusReason);
  QApplication::sendEvent(control->Widget(), &toPopup);
  EXPECT_TRUE(control->Log.empty()) << "a popup menu leaves the focus alone";
  QFocusEvent away(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
  QApplication::sendEvent(control->Widget(), &away);
  QApplication::sendEvent(control->Widget(), &away);
  QFocusEvent back(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
  QApplication::sendEvent(control->Widget(), &back);
  QApplication::sendEvent(control->Widget(), &back);
  EXPECT_EQ(control->Kinds(), (std::vector<uint32_t>{WM_KILLFOCUS, WM_SETFOCUS}));
  EXPECT_EQ(TWinControl::FocusedControl(), control.get());
}

TEST(QtWindows, MessagesPostedOutsideInputRunWhenTheEventLoopIsIdle) {
  auto control = CreateWithoutOwner<TProbeControl>();
  control->PostMessage(WM_USER);
  QEventLoop loop;
  QTimer::singleShot(20, &loop, &QEventLoop::quit);
  loop.exec();
  EXPECT_EQ(control->Kinds(), (std::vector<uint32_t>{WM_USER}));
}

TEST(QtWindows, CaptionsAreProgramTextAndFileNamesShowAsTheyAre) {
  auto control = CreateWithoutOwner<TProbeControl>();
  control->HandleNeeded();
  control->SetText(Utf8ToCp932("無題 - plomaret"));
  EXPECT_EQ(control->Widget()->windowTitle(), QString::fromUtf8("無題 - plomaret"));
  control->SetText("/home/ユーザー/a.x");
  EXPECT_EQ(control->Widget()->windowTitle(), QString::fromUtf8("/home/ユーザー/a.x"));
}

}  // namespace
}  // namespace plomaret
