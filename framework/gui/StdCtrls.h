#pragma once
// Standard controls: a single-line text field, a check box and a label. The framework
// paints them into the backing image, so every backend shows them alike.

#include <string>
#include <string_view>
#include <vector>

#include "framework/gui/Control.h"

namespace plomaret {

// A single line of CP932 text with a caret and a selection. Offsets count bytes and
// always fall between whole characters.
class TEdit : public TCustomControl {
 public:
  void AfterConstruction() override;

  // The most bytes typing or pasting may bring in; 0 has no limit. Text set by the
  // program is not cut to it.
  int MaxLength() const { return FMaxLength; }
  void SetMaxLength(int length);

  // The selection runs from the anchor to the caret, either way round.
  int SelStart() const;
  int SelLength() const;
  int CaretIndex() const { return FCaret; }
  // Selects length bytes from start (the caret at the end), both kept to the text's characters.
  void SetSel(int start, int length);
  void SelectAll() { SetSel(0, static_cast<int>(Text().size())); }
  std::string SelText() const;
  // Replaces the selection, as typing would (the limit applies; undone as one step).
  void SetSelText(std::string_view text);

  void CopyToClipboard();
  void CutToClipboard();
  // The clipboard's text up to its first line break.
  void PasteFromClipboard();
  // One level: undoing again brings back what was undone.
  bool CanUndo() const { return FUndo.Valid; }
  void Undo();

  TNotifyEvent OnChange;

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  void WndProc(TMessage& message) override;

 protected:
  // The text changed, by the user or the program.
  virtual void Change() { OnChange(this); }
  void CreateParams(uint32_t& style, uint32_t& exStyle) const override;
  void Paint() override;
  void KeyDown(int& key, TShiftState shift) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

 private:
  // Consecutive typing, or consecutive deleting, is undone as one step.
  enum TEditKind { ekTyping, ekDeleting, ekOther };
  struct TUndoState {
    bool Valid = false;
    std::string Text;
    int Anchor = 0;
    int Caret = 0;
  };

  void SetTextMessage(TMessage& message);
  void CharMessage(TMessage& message);
  void ImeComposition(TMessage& message);
  // Backspace (back) and Delete: the selection, or one whole character.
  void DeleteCharacter(bool forward);
  // Puts text in place of the selection; false when nothing changed.
  bool ReplaceSelection(std::string_view text, TEditKind kind);
  void StoreText(const std::string& text);
  void MoveCaret(int offset, bool extend);
  void CaretMoved();
  void ScrollToCaret();
  void PlaceCaret();
  // The left edge of each character and the end of the text, in pixels from the text's start.
  std::vector<int> CharacterEdges() const;
  int XOfOffset(int offset) const;
  int OffsetAtX(int x) const;  // x in client coordinates
  int TextTop() const;
  int TextHeight() const;

  int FMaxLength = 0;
  int FAnchor = 0;
  int FCaret = 0;
  int FScrollX = 0;  // pixels of the text scrolled out on the left
  bool FSelecting = false;  // the left button is selecting
  std::string FPendingLead;  // a lead byte waiting for its trail byte
  int FImeSkip = 0;  // bytes of an input-method result still to come again as characters
  TUndoState FUndo;
  TEditKind FLastKind = ekOther;  // the last edit's, until the caret moves on its own
};

// A box with a check mark and its caption on the right.
class TCheckBox : public TCustomControl {
 public:
  void AfterConstruction() override;
  const std::string& Caption() const { return Text(); }
  void SetCaption(const std::string& caption) { SetText(caption); }
  bool Checked() const { return FChecked; }
  // Raises no OnClick: only the user's click does.
  void SetChecked(bool checked);

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  void WndProc(TMessage& message) override;

 protected:
  void CreateParams(uint32_t& style, uint32_t& exStyle) const override;
  void Paint() override;
  void KeyDown(int& key, TShiftState shift) override;
  void KeyUp(int& key, TShiftState shift) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

 private:
  void SetPressed(bool pressed);
  void Toggle();

  bool FChecked = false;
  bool FPressed = false;  // drawn pushed in: a button or Space is down on it
  bool FMouseDown = false;
  bool FSpaceDown = false;
};

// Text on its parent, in its font: no window, no focus.
class TLabel : public TGraphicControl {
 public:
  void AfterConstruction() override;
  const std::string& Caption() const { return Text(); }
  void SetCaption(const std::string& caption) { SetText(caption); }
  // Sized to the caption whenever the caption or the font changes.
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool value);
  // Leaves the parent's pixels under the text instead of filling with Color.
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool value);
  void Paint(TCanvas& canvas) override;

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

 protected:
  void DefaultHandler(TMessage& message) override;
  void BoundsChanged() override;

 private:
  void AdjustBounds();

  bool FAutoSize = true;
  bool FTransparent = false;
  TRect FShownBounds;  // where the parent last had it painted
};

}  // namespace plomaret
