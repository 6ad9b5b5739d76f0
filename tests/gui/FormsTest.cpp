#include "framework/gui/Forms.h"

#include <gtest/gtest.h>

#include "framework/core/Properties.h"
#include "framework/gui/Application.h"
#include "framework/headless/HeadlessPlatform.h"

namespace plomaret {
namespace {

struct TClicks {
  std::string log;
  void Clicked(TObject* sender) { log += static_cast<TControl*>(sender)->Text() + ";"; }
  void WheelDown(TObject*, TShiftState, TPoint point, bool& handled) {
    log += "down@" + std::to_string(point.X) + ";";
  }
  void WheelUp(TObject*, TShiftState, TPoint, bool&) { log += "up;"; }
};

class FormsTest : public ::testing::Test {
 protected:
  FormsTest() {
    UseHeadlessPlatform();
    FForm->SetBounds(192, 107, 647, 532);
    FPanel = Create<TPanel>(FForm.get());
    FPanel->SetParent(FForm.get());
    FPanel->SetBounds(0, 0, 10, 30);
    FPanel->SetAlign(alTop);
    FPanel->SetBevelInner(bvLowered);
    FEditor = Create<TCustomControl>(FForm.get());
    FEditor->SetParent(FForm.get());
    FEditor->SetAlign(alClient);
    FButton = Create<TSpeedButton>(FForm.get());
    FButton->SetParent(FPanel);
    FButton->SetBounds(2, 2, 75, 26);
    FButton->SetCaption("Open");
    FButton->OnClick = TNotifyEvent(&FClicks, &TClicks::Clicked);
  }
  TOwned<TForm> FForm = CreateWithoutOwner<TForm>();
  TPanel* FPanel = nullptr;
  TCustomControl* FEditor = nullptr;
  TSpeedButton* FButton = nullptr;
  TClicks FClicks;
};

TEST_F(FormsTest, AlignedChildrenShareTheClientArea) {
  EXPECT_EQ(FPanel->BoundsRect(), (TRect{0, 0, 647, 30}));
  EXPECT_EQ(FEditor->BoundsRect(), (TRect{0, 30, 647, 532}));
  FForm->SetBounds(0, 0, 400, 300);
  EXPECT_EQ(FPanel->Width(), 400);
  EXPECT_EQ(FEditor->BoundsRect(), (TRect{0, 30, 400, 300}));
}

TEST_F(FormsTest, ASpeedButtonClicksOnPressAndReleaseOverItAndNeverTakesTheFocus) {
  FEditor->SetFocus();
  FPanel->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLong(10, 10));
  EXPECT_TRUE(FButton->Down());
  FPanel->Perform(WM_LBUTTONUP, 0, MakeLong(12, 11));
  EXPECT_EQ(FClicks.log, "Open;");
  EXPECT_TRUE(FEditor->Focused());
  // Released outside the button: no click.
  FPanel->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLong(10, 10));
  FPanel->Perform(WM_LBUTTONUP, 0, MakeLong(200, 10));
  EXPECT_EQ(FClicks.log, "Open;");
  FButton->SetEnabled(false);
  FPanel->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLong(10, 10));
  FPanel->Perform(WM_LBUTTONUP, 0, MakeLong(10, 10));
  EXPECT_EQ(FClicks.log, "Open;") << "a disabled button does nothing";
}

TEST_F(FormsTest, ThePanelPaintsItsButtonWithItsCaption) {
  FPanel->HandleNeeded();
  FPanel->Update();
  const TTextCell* cell = FPanel->TextLayer().At({39, 14});
  ASSERT_NE(cell, nullptr) << "the caption is centred on the button";
  EXPECT_NE(std::string("Open").find(cell->Bytes), std::string::npos);
  EXPECT_EQ(FPanel->BackingImage().Pixel(2, 2), PixelOf(clBtnHighlight)) << "the raised bevel";
}

TEST_F(FormsTest, WheelNotchesRaiseOneEventEach) {
  FEditor->OnMouseWheelDown = TMouseWheelUpDownEvent(&FClicks, &TClicks::WheelDown);
  FEditor->OnMouseWheelUp = TMouseWheelUpDownEvent(&FClicks, &TClicks::WheelUp);
  FEditor->Perform(WM_MOUSEWHEEL, MakeLong(0, -240), MakeLong(5, 6));
  FEditor->Perform(WM_MOUSEWHEEL, MakeLong(0, 120), MakeLong(5, 6));
  EXPECT_EQ(FClicks.log, "down@5;down@5;up;");
}

TEST_F(FormsTest, ClosingAFormHidesIt) {
  FForm->Show();
  EXPECT_TRUE(HeadlessWindowOf(*FForm).Visible());
  FForm->Close();
  EXPECT_TRUE(FForm->Closed());
  EXPECT_FALSE(HeadlessWindowOf(*FForm).Visible());
}

}  // namespace
}  // namespace plomaret

namespace plomaret {
namespace {

TEST_F(FormsTest, ChildrenFollowTheParentsColourAndFontUntilGivenTheirOwn) {
  FPanel->SetParentColor(true);
  FForm->SetColor(clTeal);
  EXPECT_EQ(FPanel->Color(), clTeal);
  FForm->Font().SetName("ＭＳ Ｐゴシック");
  EXPECT_EQ(FEditor->Font().Name(), "ＭＳ Ｐゴシック") << "ParentFont is on by default";
  FEditor->Font().SetName("FixedSys");
  FForm->Font().SetHeight(-20);
  EXPECT_EQ(FEditor->Font().Name(), "FixedSys");
  EXPECT_FALSE(FEditor->ParentFont());
  FPanel->SetColor(clRed);
  FForm->SetColor(clBlue);
  EXPECT_EQ(FPanel->Color(), clRed);
}

TEST_F(FormsTest, TabOrderAndTheThreeDLook) {
  EXPECT_EQ(FPanel->TabOrder(), 0);
  EXPECT_EQ(FEditor->TabOrder(), 1);
  FEditor->SetTabOrder(0);
  EXPECT_EQ(FPanel->TabOrder(), 1);
  FEditor->HandleNeeded();
  FEditor->SetText("x");
  EXPECT_EQ(HeadlessWindowOf(*FEditor).Captions(), (std::vector<std::string>{"", "x"})) << "no empty caption is sent";
  FEditor->SetCtl3D(false);
  EXPECT_EQ(HeadlessWindowOf(*FEditor).Captions(), (std::vector<std::string>{"", "x"})) << "a new window";
}

struct TFocusLog {
  std::string log;
  void Enter(TObject*) { log += "enter;"; }
  void Exit(TObject*) { log += "exit;"; }
};

TEST_F(FormsTest, EnterAndExitFollowTheFocus) {
  TFocusLog log;
  FEditor->OnEnter = TNotifyEvent(&log, &TFocusLog::Enter);
  FEditor->OnExit = TNotifyEvent(&log, &TFocusLog::Exit);
  FEditor->SetFocus();
  FPanel->SetFocus();
  EXPECT_EQ(log.log, "enter;exit;");
}

TEST_F(FormsTest, PublishedPropertiesAreReachableByPath) {
  SetPropertyByPath(*FEditor, "Font.Height", "-12");
  SetPropertyByPath(*FEditor, "Color", "clNavy");
  EXPECT_EQ(FEditor->Font().Height(), -12);
  EXPECT_EQ(FEditor->Color(), clNavy);
  EXPECT_EQ(GetPropertyByPath(*FEditor, "Align"), "alClient");
  EXPECT_EQ(GetPropertyByPath(*FPanel, "Height"), "30");
  EXPECT_THROW(SetPropertyByPath(*FEditor, "Align", "alMiddle"), EConvertError);
}

}  // namespace
}  // namespace plomaret

namespace plomaret {
namespace {

class TLoggingForm : public TForm {
 public:
  void WndProc(TMessage& message) override {
    if (message.Msg == WM_USER) Close();
    if (message.Msg == WM_IME_NOTIFY) Notifications.push_back(message.WParam);
    TForm::WndProc(message);
  }
  std::vector<intptr_t> Notifications;
};

TEST(Application, MakesFormsAndRunsUntilTheMainFormCloses) {
  UseHeadlessPlatform();
  auto* form = Application().CreateForm<TLoggingForm>();
  EXPECT_EQ(Application().MainForm(), form);
  form->PostMessage(WM_USER);
  Application().Run();
  EXPECT_TRUE(form->Closed());
  SendImeCandidateNotification(*form, IMN_OPENCANDIDATE);
  SendImeCandidateNotification(*form, IMN_CLOSECANDIDATE);
  EXPECT_EQ(form->Notifications, (std::vector<intptr_t>{IMN_OPENCANDIDATE, IMN_CLOSECANDIDATE}));
  Application().Terminate();
  EXPECT_EQ(Application().MainForm(), nullptr);
}

}  // namespace
}  // namespace plomaret
