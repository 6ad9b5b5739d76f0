#pragma once
// Menus: items with captions ("&" marks the accelerator), shortcuts, check marks
// and submenus; a popup menu that updates itself before it opens and before one of
// its shortcuts is acted on.

#include <string>
#include <vector>

#include "framework/core/Component.h"
#include "framework/core/Events.h"
#include "framework/core/Geometry.h"
#include "framework/gui/Keys.h"

namespace plomaret {

class TMenuItem : public TComponent {
 public:
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& caption) { FCaption = caption; }
  bool IsLine() const { return FCaption == "-"; }
  TShortCut ShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut shortCut) { FShortCut = shortCut; }
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool enabled) { FEnabled = enabled; }
  bool Checked() const { return FChecked; }
  void SetChecked(bool checked) { FChecked = checked; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool visible) { FVisible = visible; }

  // Sub-items; an item is owned by its component owner, not by the item it is in.
  void Add(TMenuItem* item);
  int Count() const { return static_cast<int>(FItems.size()); }
  TMenuItem* Items(int index) const { return FItems.at(static_cast<size_t>(index)); }
  TMenuItem* ParentItem() const { return FParentItem; }

  // Runs OnClick when the item is enabled.
  virtual void Click();
  TNotifyEvent OnClick;

  // The first item at or below this one with that shortcut, or nullptr.
  TMenuItem* FindShortCut(TShortCut shortCut);

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  std::string FCaption;
  TShortCut FShortCut = 0;
  bool FEnabled = true;
  bool FChecked = false;
  bool FVisible = true;
  std::vector<TMenuItem*> FItems;
  TMenuItem* FParentItem = nullptr;
};

class TPopupMenu : public TComponent {
 public:
  void AfterConstruction() override;

  TMenuItem* Items() const { return FItems; }
  // Raised before the menu opens, and before a shortcut of it is acted on.
  TNotifyEvent OnPopup;
  virtual void DoPopup();
  // Opens the menu at a screen point (the platform shows it).
  void Popup(TPoint screen);
  // Acts on a shortcut: updates the menu, then clicks the item when it is enabled.
  // Returns true when an enabled item took the key.
  bool IsShortCut(TShortCut shortCut);

 private:
  TMenuItem* FItems = nullptr;
};

}  // namespace plomaret
