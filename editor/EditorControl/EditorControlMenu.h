#pragma once

#include "framework/gui/Menus.h"

namespace plomaret {

class TEditor;

// The editor's context menu: row marks, undo and redo, the clipboard, select-all and
// the box-selection switch, with the editor's Ctrl keys as shortcuts.
class TEditorPopupMenu : public TPopupMenu {
 public:
  explicit TEditorPopupMenu(TEditor* editor) : FEditor(editor) {}
  void AfterConstruction() override;
  TEditor* Editor() const { return FEditor; }

  TMenuItem* MarkSetItem() const { return FMarkSet; }
  TMenuItem* MarkJumpItem() const { return FMarkJump; }
  TMenuItem* BoxModeItem() const { return FBoxMode; }

 protected:
  // Makes the items; called once, after construction.
  virtual void BuildItems();
  // Brings the items' enabled and checked states up to date with the editor.
  virtual void UpdateItems();
  virtual void MarkSetClick(TObject* sender);
  virtual void MarkJumpClick(TObject* sender);
  virtual void UndoClick(TObject* sender);
  virtual void RedoClick(TObject* sender);
  virtual void CutClick(TObject* sender);
  virtual void CopyClick(TObject* sender);
  virtual void PasteClick(TObject* sender);
  virtual void BoxPasteClick(TObject* sender);
  virtual void DeleteClick(TObject* sender);
  virtual void SelectAllClick(TObject* sender);
  virtual void BoxModeClick(TObject* sender);

 private:
  void PopupHandler(TObject* sender) { UpdateItems(); }
  TMenuItem* AddItem(TMenuItem* parent, const char* caption, const char* shortCut, bool enabled,
                     void (TEditorPopupMenu::*click)(TObject*), int tag = 0);

  TEditor* FEditor;
  TMenuItem* FMarkSet = nullptr;
  TMenuItem* FMarkJump = nullptr;
  TMenuItem* FMarkSetItems[10] = {};
  TMenuItem* FMarkJumpItems[10] = {};
  TMenuItem* FUndo = nullptr;
  TMenuItem* FRedo = nullptr;
  TMenuItem* FCut = nullptr;
  TMenuItem* FCopy = nullptr;
  TMenuItem* FPaste = nullptr;
  TMenuItem* FBoxPaste = nullptr;
  TMenuItem* FDelete = nullptr;
  TMenuItem* FSelectAll = nullptr;
  TMenuItem* FBoxMode = nullptr;
};


}  // namespace plomaret
