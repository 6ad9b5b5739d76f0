#pragma once
// The editor's option objects: each a published property of the control, streamed
// with the form, announcing its changes to the control (all but Speed and the
// cursors, which are read when the behaviour happens).

#include <algorithm>
#include <string>

#include "editor/EditorFountain.h"
#include "editor/NotifyClasses.h"
#include "framework/core/Graphics.h"
#include "framework/core/Properties.h"
#include "framework/gui/Control.h"
#include "framework/gui/Cursors.h"

namespace plomaret {

// What the option objects share. Their published properties are their values, so
// one copies another through those: its setters clamp nothing a copy could hold, and
// a notifying object announces the whole copy once.
template <class C, class Base>
class TEditorOptions : public Base {
 public:
  using Base::Base;

  void Assign(const TPersistent& source) override {
    const auto* options = dynamic_cast<const C*>(&source);
    if (options == nullptr) {
      Base::Assign(source);
    } else if constexpr (std::derived_from<Base, TNotifyPersistent>) {
      TChangesBracket bracket(*this);
      Copy(*options);
    } else {
      Copy(*options);
    }
  }
  const TClassInfo& ClassInfo() const override { return C::StaticClassInfo(); }

 protected:
  // The start of C's description, under its base class's, with the defaults that
  // fresh holds.
  static TPublished<C> Publish(std::string name, TOwned<C> fresh = Create<C>()) {
    return TPublished<C>(std::move(name), Base::StaticClassInfo()).DefaultsFrom(std::move(fresh));
  }

  // A value that is not published but goes with a copy; C hides this to copy it.
  void CopyUnpublished(const C&) {}

  // Stores value and announces, when it differs.
  template <class T>
  void Change(T& field, T value) {
    if (field == value) return;
    field = value;
    this->AnnounceChange();
  }

 private:
  void Copy(const C& source) {
    CopyPublishedProperties(C::StaticClassInfo(), source, *this);
    static_cast<C&>(*this).CopyUnpublished(source);
  }
};

class TEditorCursors : public TEditorOptions<TEditorCursors, TPersistent> {
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

  static const TClassInfo& StaticClassInfo();

 private:
  int FDefaultCursor = crIBeam;
  int FDragSelCursor = crDrag;
  int FDragSelCopyCursor = 1959;
  int FInSelCursor = crDefault;
  int FLeftMarginCursor = 1958;
  int FTopMarginCursor = crDefault;
};

enum TEditorCaretStyle { csDefault, csBrief };
inline const TTypeInfo& TypeInfoOf(TTypeTag<TEditorCaretStyle>) {
  static const TTypeInfo info = EnumTypeInfo("TEditorCaretStyle", {"csDefault", "csBrief"});
  return info;
}

class TEditorCaret : public TEditorOptions<TEditorCaret, TNotifyPersistent> {
 public:
  void AfterConstruction() override;

  // Only the style and the tab width announce; the rest is read when it is used.
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
  void SetStyle(TEditorCaretStyle value) { Change(FStyle, value); }
  bool TabIndent() const { return FTabIndent; }
  void SetTabIndent(bool value) { FTabIndent = value; }
  // Only 2, 4, 6 or 8: clamped to 2..8, an odd value lowered by one.
  int TabSpaceCount() const { return FTabSpaceCount; }
  void SetTabSpaceCount(int value);
  bool TokenEndStop() const { return FTokenEndStop; }
  void SetTokenEndStop(bool value) { FTokenEndStop = value; }

  static const TClassInfo& StaticClassInfo();

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

// Margins in pixels, each 0..100.
class TEditorMargin : public TEditorOptions<TEditorMargin, TNotifyPersistent> {
 public:
  int Character() const { return FCharacter; }
  void SetCharacter(int value) { Change(FCharacter, std::clamp(value, 0, 100)); }
  int Left() const { return FLeft; }
  void SetLeft(int value) { Change(FLeft, std::clamp(value, 0, 100)); }
  int Line() const { return FLine; }
  void SetLine(int value) { Change(FLine, std::clamp(value, 0, 100)); }
  int Top() const { return FTop; }
  void SetTop(int value) { Change(FTop, std::clamp(value, 0, 100)); }
  // One extra pixel per row while the caret-row underline is shown; set by the control.
  int UnderlineMargin() const { return FUnderline; }
  void SetUnderlineMargin(int value) { Change(FUnderline, value != 0 ? 1 : 0); }

  static const TClassInfo& StaticClassInfo();

 private:
  friend TEditorOptions;
  void CopyUnpublished(const TEditorMargin& source) { FUnderline = source.FUnderline; }

  int FCharacter = 0;
  int FLeft = 19;
  int FLine = 0;
  int FTop = 2;
  int FUnderline = 0;
};

class TEditorMark : public TEditorOptions<TEditorMark, TNotifyPersistent> {
 public:
  TColor Color() const { return FColor; }
  void SetColor(TColor value) { Change(FColor, value); }
  bool Visible() const { return FVisible; }
  void SetVisible(bool value) { Change(FVisible, value); }

  static const TClassInfo& StaticClassInfo();

 private:
  TColor FColor = clGray;
  bool FVisible = false;
};

class TEditorMarks : public TEditorOptions<TEditorMarks, TNotifyPersistent> {
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

  static const TClassInfo& StaticClassInfo();

 private:
  TOwned<TEditorMark> FEofMark, FRetMark, FWrapMark, FHideMark, FUnderline;
};

// The view's values live in its fountain, which parses by them.
class TEditorViewInfo : public TEditorOptions<TEditorViewInfo, TNotifyPersistent> {
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
  void SetCommenter(const std::string& value) { Pass(Commenter(), value, &TEditorFountain::SetCommenter); }
  bool ControlCode() const { return FFountain->ControlCode(); }
  void SetControlCode(bool value) { Pass(ControlCode(), value, &TEditorFountain::SetControlCode); }
  const std::string& HexPrefix() const { return FFountain->HexPrefix(); }
  void SetHexPrefix(const std::string& value) { Pass(HexPrefix(), value, &TEditorFountain::SetHexPrefix); }
  bool Mail() const { return FFountain->Mail(); }
  void SetMail(bool value) { Pass(Mail(), value, &TEditorFountain::SetMail); }
  // Only the first character is kept.
  const std::string& Quotation() const { return FFountain->Quotation(); }
  void SetQuotation(const std::string& value) { Pass(Quotation(), value.substr(0, 1), &TEditorFountain::SetQuotation); }
  bool Url() const { return FFountain->Url(); }
  void SetUrl(bool value) { Pass(Url(), value, &TEditorFountain::SetUrl); }
  TObject* Control() const { return FControl; }

  static const TClassInfo& StaticClassInfo();

 protected:
  virtual TOwned<TEditorFountain> CreateFountain();

 private:
  // Hands a changed value to the fountain and announces it.
  template <class T, class Setter>
  void Pass(const T& current, const T& value, Setter set) {
    if (value == current) return;
    (FFountain.get()->*set)(value);
    this->AnnounceChange();
  }

  TObject* FControl;
  TOwned<TEditorFountain> FFountain;
};

class TEditorRuler : public TEditorOptions<TEditorRuler, TNotifyPersistent> {
 public:
  TColor BkColor() const { return FBkColor; }
  void SetBkColor(TColor value) { Change(FBkColor, value); }
  TColor Color() const { return FColor; }
  void SetColor(TColor value) { Change(FColor, value); }
  bool Edge() const { return FEdge; }
  void SetEdge(bool value) { Change(FEdge, value); }
  // Only 8 or 10.
  int GaugeRange() const { return FGaugeRange; }
  void SetGaugeRange(int value);
  TColor MarkColor() const { return FMarkColor; }
  void SetMarkColor(TColor value) { Change(FMarkColor, value); }
  bool Visible() const { return FVisible; }
  void SetVisible(bool value) { Change(FVisible, value); }

  static const TClassInfo& StaticClassInfo();

 private:
  TColor FBkColor = clSilver;
  TColor FColor = clBlack;
  bool FEdge = true;
  int FGaugeRange = 10;
  TColor FMarkColor = clBlack;
  bool FVisible = false;
};

enum TEditorShowNumberMode { nmRow, nmLine };
inline const TTypeInfo& TypeInfoOf(TTypeTag<TEditorShowNumberMode>) {
  static const TTypeInfo info = EnumTypeInfo("TEditorShowNumberMode", {"nmRow", "nmLine"});
  return info;
}

// Column is 1..8 digits; the margins 0..100 pixels.
class TEditorLeftbar : public TEditorOptions<TEditorLeftbar, TNotifyPersistent> {
 public:
  TColor BkColor() const { return FBkColor; }
  void SetBkColor(TColor value) { Change(FBkColor, value); }
  TColor Color() const { return FColor; }
  void SetColor(TColor value) { Change(FColor, value); }
  int Column() const { return FColumn; }
  void SetColumn(int value) { Change(FColumn, std::clamp(value, 1, 8)); }
  bool Edge() const { return FEdge; }
  void SetEdge(bool value) { Change(FEdge, value); }
  int LeftMargin() const { return FLeftMargin; }
  void SetLeftMargin(int value) { Change(FLeftMargin, std::clamp(value, 0, 100)); }
  int RightMargin() const { return FRightMargin; }
  void SetRightMargin(int value) { Change(FRightMargin, std::clamp(value, 0, 100)); }
  bool ShowNumber() const { return FShowNumber; }
  void SetShowNumber(bool value) { Change(FShowNumber, value); }
  TEditorShowNumberMode ShowNumberMode() const { return FShowNumberMode; }
  void SetShowNumberMode(TEditorShowNumberMode value) { Change(FShowNumberMode, value); }
  bool Visible() const { return FVisible; }
  void SetVisible(bool value) { Change(FVisible, value); }
  bool ZeroBase() const { return FZeroBase; }
  void SetZeroBase(bool value) { Change(FZeroBase, value); }
  bool ZeroLead() const { return FZeroLead; }
  void SetZeroLead(bool value) { Change(FZeroLead, value); }

  static const TClassInfo& StaticClassInfo();

 private:
  TColor FBkColor = clSilver, FColor = clBlack;
  int FColumn = 4;
  bool FEdge = true;
  int FLeftMargin = 8, FRightMargin = 4;
  bool FShowNumber = true;
  TEditorShowNumberMode FShowNumberMode = nmRow;
  bool FVisible = false, FZeroBase = false, FZeroLead = false;
};

// Widths and margins in pixels, each 0..100.
class TEditorImagebar : public TEditorOptions<TEditorImagebar, TNotifyPersistent> {
 public:
  int DigitWidth() const { return FDigitWidth; }
  void SetDigitWidth(int value) { Change(FDigitWidth, std::clamp(value, 0, 100)); }
  int LeftMargin() const { return FLeftMargin; }
  void SetLeftMargin(int value) { Change(FLeftMargin, std::clamp(value, 0, 100)); }
  int MarkWidth() const { return FMarkWidth; }
  void SetMarkWidth(int value) { Change(FMarkWidth, std::clamp(value, 0, 100)); }
  int RightMargin() const { return FRightMargin; }
  void SetRightMargin(int value) { Change(FRightMargin, std::clamp(value, 0, 100)); }
  bool Visible() const { return FVisible; }
  void SetVisible(bool value) { Change(FVisible, value); }

  static const TClassInfo& StaticClassInfo();

 private:
  int FDigitWidth = 8;
  int FLeftMargin = 2;
  int FMarkWidth = 0;
  int FRightMargin = 2;
  bool FVisible = true;
};

// Keyboard scrolling speeds (1..4) and the depth of a colouring rebuild; never notifies.
class TEditorSpeed : public TEditorOptions<TEditorSpeed, TPersistent> {
 public:
  int CaretVerticalAc() const { return FCaretVerticalAc; }
  void SetCaretVerticalAc(int value) { FCaretVerticalAc = std::clamp(value, 1, 4); }
  bool InitBracketsFull() const { return FInitBracketsFull; }
  void SetInitBracketsFull(bool value) { FInitBracketsFull = value; }
  int PageVerticalRange() const { return FPageVerticalRange; }
  void SetPageVerticalRange(int value) { FPageVerticalRange = std::clamp(value, 1, 4); }
  int PageVerticalRangeAc() const { return FPageVerticalRangeAc; }
  void SetPageVerticalRangeAc(int value) { FPageVerticalRangeAc = std::clamp(value, 1, 4); }

  static const TClassInfo& StaticClassInfo();

 private:
  int FCaretVerticalAc = 2;
  bool FInitBracketsFull = false;
  int FPageVerticalRange = 2;
  int FPageVerticalRangeAc = 2;
};

}  // namespace plomaret
