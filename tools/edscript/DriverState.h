#pragma once
// What the driver's commands act on: the editors a script made (or the main window's),
// which one later commands address, and the objects the script handed to them.

#include <string>
#include <vector>

#include "app/Unit1.h"
#include "editor/EditorControl.h"
#include "editor/EditorFountain.h"
#include "framework/headless/HeadlessWindow.h"

namespace plomaret::edscript {

// The events of one editor, in the order they were raised.
class TEventLog : public TObject {
 public:
  void Listen(TEditor& editor);
  // Handlers that set the given key (or character) to 0, as an application's would; 0 for none.
  void SuppressKeys(TEditor& editor, int key, char character);
  std::vector<std::string> Take();

 private:
  // The main window's own handlers (its status line) still hear of these.
  void Change(TObject* sender) {
    FLines.push_back("OnChange");
    FNextChange(sender);
  }
  void CaretMoved(TObject* sender) {
    FLines.push_back("OnCaretMoved");
    FNextCaretMoved(sender);
  }
  void TopRowChange(TObject*) { FLines.push_back("OnTopRowChange"); }
  void TopColChange(TObject*) { FLines.push_back("OnTopColChange"); }
  void SelectionChange(TObject*, bool selected) {
    FLines.push_back(std::string("OnSelectionChange ") + (selected ? "true" : "false"));
  }
  void SelectionModeChange(TObject*) { FLines.push_back("OnSelectionModeChange"); }
  void KeyDown(TObject*, int& key, TShiftState) {
    if (key == FSuppressedKey) key = 0;
  }
  void KeyPress(TObject*, char& key) {
    if (key == FSuppressedChar) key = '\0';
  }

  TNotifyEvent FNextChange;
  TNotifyEvent FNextCaretMoved;
  int FSuppressedKey = 0;
  char FSuppressedChar = '\0';

  std::vector<std::string> FLines;
};

class TDriverState {
 public:
  // Puts the headless platform in place, with the driver's fixed font.
  TDriverState();
  ~TDriverState();
  TDriverState(const TDriverState&) = delete;
  TDriverState& operator=(const TDriverState&) = delete;

  // The addressed editor; an error when there is none.
  TEditor& Current();
  // Where typing goes: in the main window the control with the keyboard (the find bar's
  // field, say), as on the real window; otherwise the addressed editor.
  TWinControl& KeyboardTarget();
  THeadlessWindow& CurrentWindow();
  TEventLog& CurrentEvents();
  // A bare editor of width x height, shown, focused and addressed.
  TEditor& MakeEditor(int width, int height);
  // Editors are numbered from 1 in the order they were made.
  bool HasEditor(int number) const;
  void Address(int number);
  // Frees an editor the driver made; the last one left is addressed.
  void DestroyEditor(int number);
  // Frees every editor and the main window.
  void DropControls();
  // The main window, shown, replacing every control; its editor is addressed.
  void MakeForm();
  TForm1& Form();
  // As a message loop when idle: what was invalidated is painted.
  void Idle();

  TOwned<TEditorFountain> Fountain;
  TOwned<TImageList> ImageDigits;
  TOwned<TImageList> ImageMarks;
  // Takes the focus from every editor.
  TOwned<TCustomControl> FocusSink;

 private:
  struct TEditorSlot {
    TEditor* Editor = nullptr;  // the control later commands address
    TOwned<TEditor> Owned;      // when the driver made it (the main window owns Editor1)
    TOwned<TEventLog> Events;
  };
  TEditorSlot& Slot(int number);

  std::vector<TEditorSlot> FEditors;
  size_t FCurrent = 0;
  TOwned<TForm1> FForm;
};

}  // namespace plomaret::edscript
