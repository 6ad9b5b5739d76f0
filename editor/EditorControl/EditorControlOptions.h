#pragma once
// The editor's option objects: each a published property of the control, streamed
// with the form, announcing its changes to the control (all but Speed and the
// cursors, which are read when the behaviour happens).

#include <string>

#include "editor/EditorFountain.h"
#include "editor/NotifyClasses.h"
#include "framework/core/Graphics.h"
#include "framework/core/Properties.h"
#include "framework/gui/Control.h"
#include "framework/gui/Cursors.h"

namespace plomaret {

class TEditorCursors : public TPersistent {
 public:
  int DefaultCursor() const { return FDefaultCursor; }
  void SetDefaultCursor(int value) { FDefaultCursor = value; }
  int DragSelCursor() const { return FDragSelCursor; }
  void SetDragSelCursor(int value) { FDragSelCursor = value; }
  int DragSelCopyCursor() const { return FDragSelCopyCursor; }
  void SetDragSelCopyCursor(int value) { FDragSelCopyCursor = value; }
  int InSelCursor() const { return FInSelCursor; }
  void SetInSelCursor(int value) { FInSelCursor = value; }
  int LeftMarginCursor() const { return FLeftMarginCursor; }
  void SetLeftMarginCursor(int value) { FLeftMarginCursor = value; }
  int TopMarginCursor() const { return FTopMarginCursor; }
  void SetTopMarginCursor(int value) { FTopMarginCursor = value; }

  void Assign(const TPersistent& source) override;
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

 private:
  int FDefaultCursor = crIBeam;
  int FDragSelCursor = crDrag;
  int FDragSelCopyCursor = 1959;
  int FInSelCursor = crDefault;
  int FLeftMarginCursor = 1958;
  int FTopMarginCursor = crDefault;
};

enum TEditorCaretStyle { csDefault, csBrief };
const TTypeInfo& TypeInfoOf(TTypeTag<TEditorCaretStyle>);

class TEditorCaret : public TNotifyPersistent {
 public:
  void AfterConstruction() override;

  bool AutoCursor() const { return FAutoCursor; }
  void SetAutoCursor(bool value) { FAutoCursor = value; }
  bool AutoIndent() const { return FAutoIndent; }
  void SetAutoIndent(bool value) { FAutoIndent = value; }
  bool BackSpaceUnIndent() const { return FBackSpaceUnIndent; }
  void SetBackSpaceUnIndent(bool value) { FBackSpaceUnIndent = value; }
  TEditorCursors* Cursors() const { return FCursors.get(); }
  void SetCursors(const TEditorCursors& value) { FCursors->Assign(value); }
  bool FreeCaret() const { return FFreeCaret; }
  void SetFreeCaret(bool value) { FFreeCaret = value; }
  bool FreeRow() const { return FFreeRow; }
  void SetFreeRow(bool value) { FFreeRow = value; }
  bool InTab() const { return FInTab; }
  void SetInTab(bool value) { FInTab = value; }
  bool KeepCaret() const { return FKeepCaret; }
  void SetKeepCaret(bool value) { FKeepCaret = value; }
  bool LockScroll() const { return FLockScroll; }
  void SetLockScroll(bool value) { FLockScroll = value; }
  bool NextLine() const { return FNextLine; }
  void SetNextLine(bool value) { FNextLine = value; }
  bool PrevSpaceIndent() const { return FPrevSpaceIndent; }
  void SetPrevSpaceIndent(bool value) { FPrevSpaceIndent = value; }
  bool RowSelect() const { return FRowSelect; }
  void SetRowSelect(bool value) { FRowSelect = value; }
  TDragMode SelDragMode() const { return FSelDragMode; }
  void SetSelDragMode(TDragMode value) { FSelDragMode = value; }
  bool SelMove() const { return FSelMove; }
  void SetSelMove(bool value) { FSelMove = value; }
  bool SoftTab() const { return FSoftTab; }
  void SetSoftTab(bool value) { FSoftTab = value; }
  TEditorCaretStyle Style() const { return FStyle; }
  void SetStyle(TEditorCaretStyle value);
  bool TabIndent() const { return FTabIndent; }
  void SetTabIndent(bool value) { FTabIndent = value; }
  // Only 2, 4, 6 or 8: clamped to 2..8, an odd value lowered by one.
  int TabSpaceCount() const { return FTabSpaceCount; }
  void SetTabSpaceCount(int value);
  bool TokenEndStop() const { return FTokenEndStop; }
  void SetTokenEndStop(bool value) { FTokenEndStop = value; }

  void Assign(const TPersistent& source) override;
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

 private:
  bool FAutoCursor = true;
  bool FAutoIndent = true;
  bool FBackSpaceUnIndent = true;
  TOwned<TEditorCursors> FCursors;
  bool FFreeCaret = true;
  bool FFreeRow = false;
  bool FInTab = false;
  bool FKeepCaret = false;
  bool FLockScroll = false;
  bool FNextLine = false;
  bool FPrevSpaceIndent = false;
  bool FRowSelect = true;
  TDragMode FSelDragMode = dmAutomatic;
  bool FSelMove = true;
  bool FSoftTab = false;
  TEditorCaretStyle FStyle = csDefault;
  bool FTabIndent = false;
  int FTabSpaceCount = 8;
  bool FTokenEndStop = false;
};

class TEditorMargin : public TNotifyPersistent {
 public:
  int Character() const { return FCharacter; }
  void SetCharacter(int value);
  int Left() const { return FLeft; }
  void SetLeft(int value);
  int Line() const { return FLine; }
  void SetLine(int value);
  int Top() const { return FTop; }
  void SetTop(int value);
  // One extra pixel per row while the caret-row underline is shown; set by the control.
  int UnderlineMargin() const { return FUnderline; }
  void SetUnderlineMargin(int value);

  void Assign(const TPersistent& source) override;
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

 private:
  void SetClamped(int& field, int value);

  int FCharacter = 0;
  int FLeft = 19;
  int FLine = 0;
  int FTop = 2;
  int FUnderline = 0;
};

class TEditorMark : public TNotifyPersistent {
 public:
  TColor Color() const { return FColor; }
  void SetColor(TColor value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool value);

  void Assign(const TPersistent& source) override;
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

 private:
  TColor FColor = clGray;
  bool FVisible = false;
};

class TEditorMarks : public TNotifyPersistent {
 public:
  void AfterConstruction() override;

  TEditorMark* EofMark() const { return FEofMark.get(); }
  void SetEofMark(const TEditorMark& value) { FEofMark->Assign(value); }
  TEditorMark* RetMark() const { return FRetMark.get(); }
  void SetRetMark(const TEditorMark& value) { FRetMark->Assign(value); }
  TEditorMark* WrapMark() const { return FWrapMark.get(); }
  void SetWrapMark(const TEditorMark& value) { FWrapMark->Assign(value); }
  TEditorMark* HideMark() const { return FHideMark.get(); }
  void SetHideMark(const TEditorMark& value) { FHideMark->Assign(value); }
  TEditorMark* Underline() const { return FUnderline.get(); }
  void SetUnderline(const TEditorMark& value) { FUnderline->Assign(value); }

  void Assign(const TPersistent& source) override;
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

 private:
  TOwned<TEditorMark> FEofMark, FRetMark, FWrapMark, FHideMark, FUnderline;
};

class TEditorViewInfo : public TNotifyPersistent {
 public:
  // The control that owns the view (not owned).
  explicit TEditorViewInfo(TObject* control) : FControl(control) {}
  void AfterConstruction() override;
  ~TEditorViewInfo() override;

  TEditorFountain* Fountain() const { return FFountain.get(); }
  TEditorBracketCollection* Brackets() const { return FFountain->EditorBrackets(); }
  void SetBrackets(const TEditorBracketCollection& value) { FFountain->Brackets()->Assign(value); }
  TEditorColors* Colors() const { return FFountain->Colors(); }
  void SetColors(const TEditorColors& value) { FFountain->Colors()->Assign(value); }
  const std::string& Commenter() const { return FFountain->Commenter(); }
  void SetCommenter(const std::string& value);
  bool ControlCode() const { return FFountain->ControlCode(); }
  void SetControlCode(bool value);
  const std::string& HexPrefix() const { return FFountain->HexPrefix(); }
  void SetHexPrefix(const std::string& value);
  bool Mail() const { return FFountain->Mail(); }
  void SetMail(bool value);
  // Only the first character is kept.
  const std::string& Quotation() const { return FFountain->Quotation(); }
  void SetQuotation(const std::string& value);
  bool Url() const { return FFountain->Url(); }
  void SetUrl(bool value);
  TObject* Control() const { return FControl; }

  void Assign(const TPersistent& source) override;
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

 protected:
  virtual TOwned<TEditorFountain> CreateFountain();

 private:
  TObject* FControl;
  TOwned<TEditorFountain> FFountain;
};

class TEditorRuler : public TNotifyPersistent {
 public:
  TColor BkColor() const { return FBkColor; }
  void SetBkColor(TColor value);
  TColor Color() const { return FColor; }
  void SetColor(TColor value);
  bool Edge() const { return FEdge; }
  void SetEdge(bool value);
  // Only 8 or 10.
  int GaugeRange() const { return FGaugeRange; }
  void SetGaugeRange(int value);
  TColor MarkColor() const { return FMarkColor; }
  void SetMarkColor(TColor value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool value);

  void Assign(const TPersistent& source) override;
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

 private:
  TColor FBkColor = clSilver;
  TColor FColor = clBlack;
  bool FEdge = true;
  int FGaugeRange = 10;
  TColor FMarkColor = clBlack;
  bool FVisible = false;
};

enum TEditorShowNumberMode { nmRow, nmLine };
const TTypeInfo& TypeInfoOf(TTypeTag<TEditorShowNumberMode>);

class TEditorLeftbar : public TNotifyPersistent {
 public:
  TColor BkColor() const { return FBkColor; }
  void SetBkColor(TColor value);
  TColor Color() const { return FColor; }
  void SetColor(TColor value);
  int Column() const { return FColumn; }
  void SetColumn(int value);
  bool Edge() const { return FEdge; }
  void SetEdge(bool value);
  int LeftMargin() const { return FLeftMargin; }
  void SetLeftMargin(int value);
  int RightMargin() const { return FRightMargin; }
  void SetRightMargin(int value);
  bool ShowNumber() const { return FShowNumber; }
  void SetShowNumber(bool value);
  TEditorShowNumberMode ShowNumberMode() const { return FShowNumberMode; }
  void SetShowNumberMode(TEditorShowNumberMode value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool value);
  bool ZeroBase() const { return FZeroBase; }
  void SetZeroBase(bool value);
  bool ZeroLead() const { return FZeroLead; }
  void SetZeroLead(bool value);

  void Assign(const TPersistent& source) override;
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

 private:
  TColor FBkColor = clSilver;
  TColor FColor = clBlack;
  int FColumn = 4;
  bool FEdge = true;
  int FLeftMargin = 8;
  int FRightMargin = 4;
  bool FShowNumber = true;
  TEditorShowNumberMode FShowNumberMode = nmRow;
  bool FVisible = false;
  bool FZeroBase = false;
  bool FZeroLead = false;
};

class TEditorImagebar : public TNotifyPersistent {
 public:
  int DigitWidth() const { return FDigitWidth; }
  void SetDigitWidth(int value);
  int LeftMargin() const { return FLeftMargin; }
  void SetLeftMargin(int value);
  int MarkWidth() const { return FMarkWidth; }
  void SetMarkWidth(int value);
  int RightMargin() const { return FRightMargin; }
  void SetRightMargin(int value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool value);

  void Assign(const TPersistent& source) override;
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

 private:
  int FDigitWidth = 8;
  int FLeftMargin = 2;
  int FMarkWidth = 0;
  int FRightMargin = 2;
  bool FVisible = true;
};

// Keyboard scrolling speeds (1..4) and the depth of a colouring rebuild; never notifies.
class TEditorSpeed : public TPersistent {
 public:
  int CaretVerticalAc() const { return FCaretVerticalAc; }
  void SetCaretVerticalAc(int value) { FCaretVerticalAc = SpeedRange(value); }
  bool InitBracketsFull() const { return FInitBracketsFull; }
  void SetInitBracketsFull(bool value) { FInitBracketsFull = value; }
  int PageVerticalRange() const { return FPageVerticalRange; }
  void SetPageVerticalRange(int value) { FPageVerticalRange = SpeedRange(value); }
  int PageVerticalRangeAc() const { return FPageVerticalRangeAc; }
  void SetPageVerticalRangeAc(int value) { FPageVerticalRangeAc = SpeedRange(value); }

  void Assign(const TPersistent& source) override;
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

 private:
  // The speeds are a byte subrange 1..4.
  static int SpeedRange(int value) { return value < 1 ? 1 : value > 4 ? 4 : value; }

  int FCaretVerticalAc = 2;
  bool FInitBracketsFull = false;
  int FPageVerticalRange = 2;
  int FPageVerticalRangeAc = 2;
};

}  // namespace plomaret
