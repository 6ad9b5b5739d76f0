// The editor's context menu.

#include "editor/EditorControl.h"

namespace plomaret {

void TEditorPopupMenu::AfterConstruction() {
  TPopupMenu::AfterConstruction();
  // The items follow the editor's state each time the menu opens or a shortcut is used.
  OnPopup = TNotifyEvent(this, &TEditorPopupMenu::PopupHandler);
  BuildItems();
}

}  // namespace plomaret
