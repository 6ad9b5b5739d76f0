#pragma once
// The find and replace bar under the toolbar: Ctrl+F shows it, Ctrl+H with the
// replacement field. The pattern is searched as Shift-JIS with the editor's own
// FindText, so a search from the bar finds exactly what FindText finds; a search that
// reaches an end goes on from the other end once and says so.

#include <string>

#include "editor/EditorControl.h"
#include "framework/gui/Forms.h"
#include "framework/gui/StdCtrls.h"

namespace plomaret {

// The pattern's field: a character Shift-JIS cannot hold is refused, not turned into '?'.
class TPatternField : public TEdit {
 public:
  void WndProc(TMessage& message) override;
};

class TFindBar : public TCustomControl {
 public:
  void AfterConstruction() override;
  void SetEditor(TEditor* editor) { FEditor = editor; }

  // Shows the bar (with the replacement field or without) and puts the keyboard in the pattern.
  void ShowBar(bool replacing);
  // Hides the bar; the keyboard goes back to the editor.
  void CloseBar();
  bool Replacing() const { return FReplacing; }

  // The pattern as typed (Unicode, UTF-8); false, with the reason in the message, when
  // a character has no Shift-JIS form.
  bool SetPatternText(const std::string& utf8);
  void SayRefused();
  std::string Pattern() const { return PatternEdit->Text(); }  // Shift-JIS
  TSearchOptions Options() const;  // the check boxes, without soForward
  void SetOptions(TSearchOptions options);
  const std::string& Message() const { return MessageLabel->Caption(); }

  bool FindNext();
  bool FindPrevious();
  // Replaces the selection when it is a match of the pattern with the options as they
  // are now, then finds the next.
  void ReplaceHit(const std::string& with);
  // Replaces every match in the document as one undo step; returns how many.
  int64_t ReplaceAll(const std::string& with);

  TLabel* FindLabel = nullptr;
  TEdit* PatternEdit = nullptr;
  TLabel* ReplaceLabel = nullptr;
  TEdit* ReplaceEdit = nullptr;
  TSpeedButton* NextButton = nullptr;
  TSpeedButton* PreviousButton = nullptr;
  TSpeedButton* ReplaceButton = nullptr;
  TSpeedButton* ReplaceAllButton = nullptr;
  TSpeedButton* CloseButton = nullptr;
  TCheckBox* MatchCaseBox = nullptr;
  TCheckBox* WholeWordBox = nullptr;
  TCheckBox* WidthBox = nullptr;
  TCheckBox* LineBreaksBox = nullptr;
  TCheckBox* BlanksBox = nullptr;
  TLabel* MessageLabel = nullptr;
  // After every search and replacement.
  TNotifyEvent OnSearched;

 protected:
  void Paint() override;
  void BoundsChanged() override;

 private:
  bool Find(bool forward);
  // The message: a UTF-8 sentence in the user's language, %1 standing for the pattern
  // (Shift-JIS), which is shortened in its middle when the sentence would not fit.
  void Say(const std::string& sentence, const std::string& pattern = {});
  void ShowMessage();
  int MessageRoom() const;
  void Layout();
  void FieldKeyDown(TObject* sender, int& key, TShiftState shift);
  void ButtonClick(TObject* sender);
  int ShownHitLength() const;
  // Whether the selection (or the hit shown) is a match of the pattern and options.
  bool SelectionMatches();
  TEditor* FEditor = nullptr;
  bool FReplacing = false;
  std::string FSentence;
  std::string FPatternSaid;
  int FShownRoom = -1;  // the width the message was fitted to
};

}  // namespace plomaret
