#include "framework/gui/Menus.h"

#include <gtest/gtest.h>

#include "framework/gui/Control.h"
#include "framework/headless/HeadlessPlatform.h"

namespace plomaret {
namespace {

TEST(ShortCuts, TextsGoBothWays) {
  EXPECT_EQ(ShortCutToText(ShortCut('Z', scCtrl)), "Ctrl+Z");
  EXPECT_EQ(ShortCutToText(ShortCut('3', scShift | scCtrl)), "Shift+Ctrl+3");
  EXPECT_EQ(ShortCutToText(ShortCut(VK_DELETE, 0)), "Del");
  EXPECT_EQ(ShortCutToText(0), "");
  EXPECT_EQ(TextToShortCut("Shift+Ctrl+3"), ShortCut('3', scShift | scCtrl));
  EXPECT_EQ(TextToShortCut("ctrl+k"), ShortCut('K', scCtrl));
  EXPECT_EQ(TextToShortCut("Ctrl+"), 0);
  EXPECT_EQ(TextToShortCut("Hyper+Q"), 0);
}

struct TMenuLog {
  std::string log;
  void Popup(TObject*) { log += "popup;"; }
  void Undo(TObject*) { log += "undo;"; }
  void Mark(TObject* sender) { log += "mark " + std::to_string(static_cast<TComponent*>(sender)->Tag()) + ";"; }
};

class MenusTest : public ::testing::Test {
 protected:
  MenusTest() {
    UseHeadlessPlatform();
    FMenu->OnPopup = TNotifyEvent(&FLog, &TMenuLog::Popup);
    FUndo = Create<TMenuItem>(FMenu.get());
    FUndo->SetCaption("元に戻す(&U)");
    FUndo->SetShortCut(TextToShortCut("Ctrl+Z"));
    FUndo->OnClick = TNotifyEvent(&FLog, &TMenuLog::Undo);
    FMenu->Items()->Add(FUndo);
    TMenuItem* marks = Create<TMenuItem>(FMenu.get());
    marks->SetCaption("マーク設定");
    FMenu->Items()->Add(marks);
    for (int n = 0; n < 10; ++n) {
      TMenuItem* item = Create<TMenuItem>(FMenu.get());
      item->SetCaption(std::to_string(n));
      item->SetShortCut(ShortCut('0' + n, scShift | scCtrl));
      item->SetTag(n);
      item->OnClick = TNotifyEvent(&FLog, &TMenuLog::Mark);
      marks->Add(item);
    }
  }
  TOwned<TPopupMenu> FMenu = CreateWithoutOwner<TPopupMenu>();
  TMenuItem* FUndo = nullptr;
  TMenuLog FLog;
};

TEST_F(MenusTest, AShortcutUpdatesTheMenuFirstAndReachesSubmenus) {
  EXPECT_TRUE(FMenu->IsShortCut(ShortCut('3', scShift | scCtrl)));
  EXPECT_EQ(FLog.log, "popup;mark 3;");
  EXPECT_FALSE(FMenu->IsShortCut(ShortCut('3', scCtrl)));
}

TEST_F(MenusTest, ADisabledItemsShortcutDoesNothing) {
  FUndo->SetEnabled(false);
  EXPECT_FALSE(FMenu->IsShortCut(TextToShortCut("Ctrl+Z")));
  EXPECT_EQ(FLog.log, "popup;") << "the menu was still updated";
  FUndo->Click();
  EXPECT_EQ(FLog.log, "popup;");
}

TEST_F(MenusTest, OpeningTheMenuUpdatesItAndShowsIt) {
  FMenu->Popup({100, 200});
  EXPECT_EQ(FLog.log, "popup;");
  EXPECT_EQ(UseHeadlessPlatform().LastPopup(), FMenu.get());
  EXPECT_EQ(UseHeadlessPlatform().LastPopupPoint(), (TPoint{100, 200}));
}

TEST_F(MenusTest, AFreedItemLeavesItsMenu) {
  const int before = FMenu->Items()->Count();
  FMenu->FreeComponent(FUndo);
  EXPECT_EQ(FMenu->Items()->Count(), before - 1);
  EXPECT_FALSE(FMenu->IsShortCut(TextToShortCut("Ctrl+Z")));
}

}  // namespace
}  // namespace plomaret

namespace plomaret {
namespace {

struct TKeys {
  std::string log;
  void KeyDown(TObject*, int& key, TShiftState) { log += "key " + std::to_string(key) + ";"; }
};

TEST_F(MenusTest, AControlsMenuTakesItsShortcutsBeforeTheKeyDown) {
  auto control = CreateWithoutOwner<TCustomControl>();
  control->SetPopupMenu(FMenu.get());
  TKeys keys;
  control->OnKeyDown = TKeyEvent(&keys, &TKeys::KeyDown);
  THeadlessPlatform& platform = UseHeadlessPlatform();
  platform.SetKeyDown(VK_CONTROL, true);
  control->Perform(WM_KEYDOWN, 'Z');
  EXPECT_EQ(FLog.log, "popup;undo;");
  EXPECT_EQ(keys.log, "") << "the menu took the key";
  FUndo->SetEnabled(false);
  control->Perform(WM_KEYDOWN, 'Z');
  EXPECT_EQ(keys.log, "key 90;") << "a disabled item lets the key through";
  platform.SetKeyDown(VK_CONTROL, false);
  FMenu.reset();
  EXPECT_EQ(control->PopupMenu(), nullptr) << "a freed menu is forgotten";
}

TEST_F(MenusTest, TheContextMenuMessageOpensTheControlsMenuOrAsksItsParent) {
  THeadlessPlatform& platform = UseHeadlessPlatform();
  auto parent = CreateWithoutOwner<TCustomControl>();
  parent->SetBounds(0, 0, 200, 100);
  auto child = CreateWithoutOwner<TCustomControl>();
  child->SetParent(parent.get());
  child->SetBounds(10, 10, 100, 50);
  // Without a menu anywhere nothing opens.
  EXPECT_EQ(child->Perform(WM_CONTEXTMENU, 0, MakeLong(40, 30)), 0);
  EXPECT_EQ(platform.LastPopup(), nullptr);

  parent->SetPopupMenu(FMenu.get());
  EXPECT_EQ(child->Perform(WM_CONTEXTMENU, 0, MakeLong(40, 30)), 1);
  EXPECT_EQ(platform.LastPopup(), FMenu.get()) << "the parent's menu";
  EXPECT_EQ(platform.LastPopupPoint(), (TPoint{40, 30}));
  EXPECT_EQ(FLog.log, "popup;") << "updated before it opens";

  // From the keyboard (-1, -1): at the centre of the control.
  auto own = CreateWithoutOwner<TPopupMenu>();
  child->SetPopupMenu(own.get());
  child->Perform(WM_CONTEXTMENU, 0, MakeLong(-1, -1));
  EXPECT_EQ(platform.LastPopup(), own.get());
  EXPECT_EQ(platform.LastPopupPoint(), child->ClientToScreen({50, 25}));
}

}  // namespace
}  // namespace plomaret
