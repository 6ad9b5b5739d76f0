#include "Menus.h"

#include <algorithm>

#include "framework/gui/Platform.h"

namespace plomaret {

void TMenuItem::Add(TMenuItem* item) {
  item->FParentItem = this;
  FItems.push_back(item);
  // The item may be freed before this one: hear of it.
  item->FreeNotification(this);
}

void TMenuItem::Notification(TComponent* component, TOperation operation) {
  // component may be any component of the tree (its owner's, say), not only an item.
  if (operation == opRemove) std::erase_if(FItems, [&](const TMenuItem* item) { return item == component; });
  TComponent::Notification(component, operation);
}

void TMenuItem::Click() {
  if (FEnabled) OnClick(this);
}

TMenuItem* TMenuItem::FindShortCut(TShortCut shortCut) {
  if (shortCut != 0 && FShortCut == shortCut) return this;
  for (TMenuItem* item : FItems) {
    if (TMenuItem* found = item->FindShortCut(shortCut)) return found;
  }
  return nullptr;
}

void TPopupMenu::AfterConstruction() {
  TComponent::AfterConstruction();
  FItems = Create<TMenuItem>(this);
}

void TPopupMenu::DoPopup() { OnPopup(this); }

void TPopupMenu::Popup(TPoint screen) {
  DoPopup();
  Platform().ShowPopupMenu(*this, screen);
}

bool TPopupMenu::IsShortCut(TShortCut shortCut) {
  if (shortCut == 0) return false;
  // The menu updates itself first, as it does before it opens.
  DoPopup();
  TMenuItem* item = FItems->FindShortCut(shortCut);
  if (item == nullptr || !item->Enabled()) return false;
  item->Click();
  return true;
}

}  // namespace plomaret
