// The editor's context menu: row marks, undo and redo, the clipboard, select-all and
// the box-selection switch. Its shortcuts are the editor's Ctrl keys; the framework
// brings the items up to date before the menu opens and before a shortcut acts, so a
// disabled item's shortcut does nothing.

#include "editor/EditorControl.h"
#include "framework/core/CodePage.h"
#include "framework/gui/Platform.h"

namespace plomaret {

void TEditorPopupMenu::AfterConstruction() {
  TPopupMenu::AfterConstruction();
  BuildItems();
  OnPopup = TNotifyEvent(this, &TEditorPopupMenu::PopupHandler);
}

TMenuItem* TEditorPopupMenu::AddItem(TMenuItem* parent, const char* caption, const char* shortCut, bool enabled,
                                     void (TEditorPopupMenu::*click)(TObject*), int tag) {
  TMenuItem* item = Create<TMenuItem>(this);
  item->SetCaption(Utf8ToCp932(caption));
  item->SetShortCut(shortCut != nullptr ? TextToShortCut(shortCut) : 0);
  item->SetEnabled(enabled);
  item->SetTag(tag);
  if (click != nullptr) item->OnClick = TNotifyEvent(this, click);
  parent->Add(item);
  return item;
}

void TEditorPopupMenu::BuildItems() {
  static const char* const digits[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
  FMarkSet = AddItem(Items(), "マーク設定", nullptr, true, nullptr);
  FMarkJump = AddItem(Items(), "マークジャンプ", nullptr, true, nullptr);
  for (int n = 0; n < 10; ++n) {
    const std::string set = std::string("Shift+Ctrl+") + digits[n];
    const std::string jump = std::string("Ctrl+") + digits[n];
    FMarkSetItems[n] = AddItem(FMarkSet, digits[n], set.c_str(), true, &TEditorPopupMenu::MarkSetClick, n);
    FMarkJumpItems[n] = AddItem(FMarkJump, digits[n], jump.c_str(), true, &TEditorPopupMenu::MarkJumpClick, n);
  }
  AddItem(Items(), "-", nullptr, true, nullptr);
  FUndo = AddItem(Items(), "元に戻す(&U)", "Ctrl+Z", false, &TEditorPopupMenu::UndoClick);
  FRedo = AddItem(Items(), "やり直し(&R)", "Ctrl+A", false, &TEditorPopupMenu::RedoClick);
  AddItem(Items(), "-", nullptr, true, nullptr);
  FCut = AddItem(Items(), "切り取り(&T)", "Ctrl+X", false, &TEditorPopupMenu::CutClick);
  FCopy = AddItem(Items(), "コピー(&C)", "Ctrl+C", false, &TEditorPopupMenu::CopyClick);
  FPaste = AddItem(Items(), "貼り付け(&P)", "Ctrl+V", false, &TEditorPopupMenu::PasteClick);
  FBoxPaste = AddItem(Items(), "Box貼り付け(&B)", "Ctrl+B", false, &TEditorPopupMenu::BoxPasteClick);
  FDelete = AddItem(Items(), "削除(&D)", nullptr, false, &TEditorPopupMenu::DeleteClick);
  AddItem(Items(), "-", nullptr, true, nullptr);
  FSelectAll = AddItem(Items(), "すべて選択(&A)", nullptr, false, &TEditorPopupMenu::SelectAllClick);
  AddItem(Items(), "-", nullptr, true, nullptr);
  FBoxMode = AddItem(Items(), "Box選択モード(&K)", "Ctrl+K", true, &TEditorPopupMenu::BoxModeClick);
}

void TEditorPopupMenu::UpdateItems() {
  if (FEditor == nullptr) return;
  const int selected = FEditor->SelLength();
  const bool readOnly = FEditor->ReadOnly();
  const bool clipboardText = PlatformInstalled() && Platform().Clipboard().HasFormat(CF_TEXT);
  FUndo->SetEnabled(FEditor->CanUndo() && !readOnly);
  FRedo->SetEnabled(FEditor->CanRedo() && !readOnly);
  FCut->SetEnabled(selected > 0 && !readOnly);
  FCopy->SetEnabled(selected > 0);
  FDelete->SetEnabled(selected > 0 && !readOnly);
  FPaste->SetEnabled(clipboardText && !readOnly);
  FBoxPaste->SetEnabled(clipboardText && !readOnly);
  const TEditorScreenStrings& store = *FEditor->ScreenStrings();
  const int count = store.Count();
  FSelectAll->SetEnabled(count > 1 || (count == 1 && (!store.ViewAt(0).empty() || store.RowAttributes(0) == raLineEnd)));
  FBoxMode->SetChecked(FEditor->SelectionMode());
  const uint16_t marks = store.Marks();
  for (int n = 0; n < 10; ++n) {
    const bool used = (marks & (1u << n)) != 0;
    FMarkSetItems[n]->SetChecked(used);
    FMarkJumpItems[n]->SetChecked(used);
  }
}

namespace {

int TagOf(TObject* sender) {
  const auto* item = dynamic_cast<TMenuItem*>(sender);
  return item != nullptr ? item->Tag() : 0;
}

}  // namespace

void TEditorPopupMenu::MarkSetClick(TObject* sender) {
  const int mark = TagOf(sender);
  const int row = FEditor->Row();
  if ((FEditor->GetRowMarks(row) & (1u << mark)) != 0) {
    FEditor->DeleteRowMark(row, mark);
  } else {
    FEditor->PutRowMark(row, mark);
  }
}

void TEditorPopupMenu::MarkJumpClick(TObject* sender) { FEditor->GotoRowMark(TagOf(sender)); }
void TEditorPopupMenu::UndoClick(TObject*) { FEditor->Undo(); }
void TEditorPopupMenu::RedoClick(TObject*) { FEditor->Redo(); }
void TEditorPopupMenu::CutClick(TObject*) { FEditor->CutToClipboard(); }
void TEditorPopupMenu::CopyClick(TObject*) { FEditor->CopyToClipboard(); }
void TEditorPopupMenu::PasteClick(TObject*) { FEditor->PasteFromClipboard(); }

void TEditorPopupMenu::BoxPasteClick(TObject*) {
  if (PlatformInstalled()) FEditor->BoxPasteText(Platform().Clipboard().AsText());
}

void TEditorPopupMenu::DeleteClick(TObject*) { FEditor->DeleteSelection(); }
void TEditorPopupMenu::SelectAllClick(TObject*) { FEditor->SelectAll(); }

void TEditorPopupMenu::BoxModeClick(TObject*) {
  FBoxMode->SetChecked(!FBoxMode->Checked());
  FEditor->SetSelectionMode(FBoxMode->Checked());
}

}  // namespace plomaret
