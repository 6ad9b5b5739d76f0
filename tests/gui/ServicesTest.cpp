#include <gtest/gtest.h>

#include "framework/core/Exceptions.h"
#include "framework/gui/Application.h"
#include "framework/gui/Control.h"
#include "framework/gui/Dialogs.h"
#include "framework/gui/Cursors.h"
#include "framework/gui/Keys.h"
#include "framework/headless/HeadlessPlatform.h"

namespace plomaret {
namespace {

TEST(Clipboard, KeepsSeveralFormatsOfOneContent) {
  TClipboard& clipboard = UseHeadlessPlatform().Clipboard();
  const uint32_t box = RegisterClipboardFormat("TEditor Box Type");
  EXPECT_GE(box, 0xC000u);
  EXPECT_EQ(RegisterClipboardFormat("teditor box type"), box) << "one number per name, whatever its case";
  EXPECT_EQ(ClipboardFormatName(box), "TEditor Box Type");
  clipboard.SetText("\x82\xa0" "ab");
  clipboard.SetData(box, "\x82\xa0" "ab");
  EXPECT_TRUE(clipboard.HasFormat(box));
  EXPECT_EQ(clipboard.AsText(), "\x82\xa0" "ab");
  clipboard.SetText("plain");
  EXPECT_FALSE(clipboard.HasFormat(box)) << "new text replaces the whole content";
}

TEST(MessageBoxes, AreRecordedAndAnsweredAsScripted) {
  THeadlessPlatform& platform = UseHeadlessPlatform();
  platform.ClearMessages();
  platform.ScriptAnswer(IDNO);
  EXPECT_EQ(MessageBox("Save?", "plomaret", MB_YESNO | MB_ICONQUESTION), IDNO);
  ShowMessage("Complete.");
  ASSERT_EQ(platform.Messages().size(), 2u);
  EXPECT_EQ(platform.Messages()[1].Text, "Complete.");
  EXPECT_EQ(platform.Messages()[1].Caption, Application().Title());
  EXPECT_EQ(platform.Messages()[1].Flags, MB_OK);
}

class TFailingControl : public TWinControl {
 public:
  void WndProc(TMessage& message) override {
    if (message.Msg == WM_USER) throw Exception("Something went wrong");
    if (message.Msg == WM_USER + 1) ++Handled;
    TWinControl::WndProc(message);
  }
  int Handled = 0;
};

TEST(Application, AnExceptionReachingThePumpIsShownAndThePumpGoesOn) {
  THeadlessPlatform& platform = UseHeadlessPlatform();
  platform.ClearMessages();
  auto control = CreateWithoutOwner<TFailingControl>();
  control->PostMessage(WM_USER);
  control->PostMessage(WM_USER + 1);
  EXPECT_EQ(Application().ProcessMessages(), 2);
  EXPECT_EQ(control->Handled, 1);
  ASSERT_EQ(platform.Messages().size(), 1u);
  EXPECT_EQ(platform.Messages()[0].Text, "Something went wrong");
  EXPECT_EQ(platform.Messages()[0].Flags, MB_OK | MB_ICONERROR);
  control->PostMessage(WM_USER + 1);
  control.reset();  // a freed window's messages are dropped with it
  EXPECT_EQ(Application().ProcessMessages(), 0);
}

// Frees itself when asked, as a window closed from its own key handler does.
class TSelfFreeingControl : public TWinControl {
 public:
  void WndProc(TMessage& message) override {
    if (message.Msg == WM_CLOSE) {
      Self->reset();
      return;
    }
    ++Handled;
    TWinControl::WndProc(message);
  }
  TOwned<TSelfFreeingControl>* Self = nullptr;
  int Handled = 0;
};

TEST(Application, AWindowFreedByOneOfItsMessagesLosesTheRestAndThePumpGoesOn) {
  UseHeadlessPlatform();
  auto closing = CreateWithoutOwner<TSelfFreeingControl>();
  auto other = CreateWithoutOwner<TSelfFreeingControl>();
  closing->Self = &closing;
  closing->PostMessage(WM_CLOSE);
  closing->PostMessage(WM_USER);
  other->PostMessage(WM_USER);
  EXPECT_EQ(Application().ProcessMessages(), 2);
  EXPECT_EQ(closing, nullptr);
  EXPECT_EQ(other->Handled, 1);
}

TEST(KeyboardState, IsReadFromThePlatform) {
  THeadlessPlatform& platform = UseHeadlessPlatform();
  platform.SetKeyDown(VK_SHIFT, true);
  EXPECT_TRUE(Platform().KeyDown(VK_SHIFT));
  platform.SetKeyDown(VK_SHIFT, false);
  EXPECT_FALSE(Platform().KeyDown(VK_SHIFT));
}

}  // namespace
}  // namespace plomaret

namespace plomaret {
namespace {

TEST(FileDialogs, AskThePlatformAndKeepTheChosenName) {
  THeadlessPlatform& platform = UseHeadlessPlatform();
  auto open = CreateWithoutOwner<TOpenDialog>();
  open->SetFilter("x|*.x");
  open->SetInitialDir("/models/");
  platform.ScriptFileChoice("/models/plane.x");
  platform.ScriptFileChoice("");
  ASSERT_TRUE(open->Execute());
  EXPECT_EQ(open->FileName(), "/models/plane.x");
  EXPECT_FALSE(open->Execute()) << "cancelled";
  EXPECT_EQ(open->FileName(), "/models/plane.x") << "a cancel keeps the name";
  auto save = CreateWithoutOwner<TSaveDialog>();
  save->SetOptions({ofOverwritePrompt});
  save->SetFileName("plane.x");
  EXPECT_FALSE(save->Execute());
  const TFileDialogRequest& last = platform.FileDialogs().back();
  EXPECT_TRUE(last.Save);
  EXPECT_EQ(last.FileName, "plane.x");
  EXPECT_TRUE(last.Options.Contains(ofOverwritePrompt));
  EXPECT_EQ(platform.FileDialogs()[platform.FileDialogs().size() - 3].Filter, "x|*.x");
}

}  // namespace
}  // namespace plomaret

namespace plomaret {
namespace {

TEST(ScreenCursor, IsToldToThePlatformOnlyWhenItChanges) {
  THeadlessPlatform& platform = UseHeadlessPlatform();
  SetScreenCursor(crHourGlass);
  EXPECT_EQ(platform.ShownScreenCursor(), crHourGlass);
  EXPECT_EQ(ScreenCursor(), crHourGlass);
  SetScreenCursor(crDefault);
  EXPECT_EQ(platform.ShownScreenCursor(), crDefault);
}

}  // namespace
}  // namespace plomaret
