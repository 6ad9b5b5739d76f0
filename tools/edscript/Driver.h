#pragma once
// Runs driver scripts against editors on the headless backend.

#include <functional>
#include <iosfwd>
#include <map>
#include <string>
#include <vector>

#include "ScriptText.h"
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
  void Change(TObject*) { FLines.push_back("OnChange"); }
  void CaretMoved(TObject*) { FLines.push_back("OnCaretMoved"); }
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

  int FSuppressedKey = 0;
  char FSuppressedChar = '\0';

  std::vector<std::string> FLines;
};

class TScriptDriver {
 public:
  TScriptDriver();
  ~TScriptDriver();

  // Runs every line of script, printing to out; returns the number of failed lines.
  int Run(std::istream& script, std::ostream& out);
  // One line; false when it failed (the error is printed).
  bool RunLine(const std::string& line, std::ostream& out);

 private:
  using TArgs = std::vector<TWord>;
  using TCommand = std::function<void(const TArgs&, std::ostream&)>;

  void Register();
  TEditor& Current();
  THeadlessWindow& CurrentWindow();
  TEditor& MakeEditor(const TArgs& args, size_t sizeAt);
  void DestroyEditor(int index);

  void Dump(const TArgs& args, std::ostream& out);
  void DumpScreen(std::ostream& out);
  void PaintLog(std::ostream& out);
  void Scroll(const TArgs& args);
  void LinesCommand(const TArgs& args);
  void MarkCommand(const TArgs& args);
  void MakeForm();
  TForm1& Form();
  void Click(const std::string& button);
  void DumpForm(std::ostream& out);
  void DropControls();
  void ImageListCommand(const TArgs& args);

  std::map<std::string, TCommand> FCommands;
  struct TEditorSlot {
    TEditor* Editor = nullptr;  // the control later commands address
    TOwned<TEditor> Owned;      // when the driver made it (the main window owns Editor1)
    TOwned<TEventLog> Events;
  };
  std::vector<TEditorSlot> FEditors;
  size_t FCurrent = 0;
  TOwned<TEditorFountain> FFountain;
  TOwned<TImageList> FImageDigits;
  TOwned<TImageList> FImageMarks;
  TOwned<TForm1> FForm;
  // Takes the focus from every editor ("focus none").
  TOwned<TCustomControl> FFocusSink;
};

}  // namespace plomaret::edscript
