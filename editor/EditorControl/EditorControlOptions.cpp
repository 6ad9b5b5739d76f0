// The editor's option objects: defaults, ranges, and which changes announce.

#include <algorithm>

#include "editor/EditorControl.h"
#include "framework/core/Properties.h"

namespace plomaret {

namespace {

int Clamp(int value, int low, int high) { return std::clamp(value, low, high); }

// Stores value and announces, when it differs.
template <class T>
void Change(TNotifyPersistent& owner, T& field, T value) {
  if (field == value) return;
  field = value;
  owner.AnnounceChange();
}

const TTypeInfo& CursorType() {
  static const TTypeInfo info = OrdinalTypeInfo(tkInteger, "TCursor", -32768, 32767);
  return info;
}

const TTypeInfo& SpeedRangeType() {
  static const TTypeInfo info = OrdinalTypeInfo(tkInteger, "TEditorSpeedRange", 1, 4);
  return info;
}

}  // namespace

const TTypeInfo& TypeInfoOf(TTypeTag<TEditorCaretStyle>) {
  static const TTypeInfo info = EnumTypeInfo("TEditorCaretStyle", {"csDefault", "csBrief"});
  return info;
}

const TTypeInfo& TypeInfoOf(TTypeTag<TEditorShowNumberMode>) {
  static const TTypeInfo info = EnumTypeInfo("TEditorShowNumberMode", {"nmRow", "nmLine"});
  return info;
}

// ---- TEditorCursors ----

void TEditorCursors::Assign(const TPersistent& source) {
  if (const auto* cursors = dynamic_cast<const TEditorCursors*>(&source)) {
    FDefaultCursor = cursors->FDefaultCursor;
    FDragSelCursor = cursors->FDragSelCursor;
    FDragSelCopyCursor = cursors->FDragSelCopyCursor;
    FInSelCursor = cursors->FInSelCursor;
    FLeftMarginCursor = cursors->FLeftMarginCursor;
    FTopMarginCursor = cursors->FTopMarginCursor;
    return;
  }
  TPersistent::Assign(source);
}

const TClassInfo& TEditorCursors::StaticClassInfo() {
  using C = TEditorCursors;
  static const TClassInfo info = TPublished<C>("TEditorCursors", TPersistent::StaticClassInfo())
      .TypedProperty("DefaultCursor", CursorType(), &C::DefaultCursor, &C::SetDefaultCursor, crIBeam)
      .TypedProperty("DragSelCopyCursor", CursorType(), &C::DragSelCopyCursor, &C::SetDragSelCopyCursor, 1959)
      .TypedProperty("DragSelCursor", CursorType(), &C::DragSelCursor, &C::SetDragSelCursor, crDrag)
      .TypedProperty("InSelCursor", CursorType(), &C::InSelCursor, &C::SetInSelCursor, crDefault)
      .TypedProperty("LeftMarginCursor", CursorType(), &C::LeftMarginCursor, &C::SetLeftMarginCursor, 1958)
      .TypedProperty("TopMarginCursor", CursorType(), &C::TopMarginCursor, &C::SetTopMarginCursor, crDefault);
  return info;
}

// ---- TEditorCaret ----

void TEditorCaret::AfterConstruction() {
  TNotifyPersistent::AfterConstruction();
  FCursors = Create<TEditorCursors>();
}

void TEditorCaret::SetStyle(TEditorCaretStyle value) { Change(*this, FStyle, value); }

void TEditorCaret::SetTabSpaceCount(int value) {
  value = Clamp(value, 2, 8);
  if (value % 2 != 0) --value;
  Change(*this, FTabSpaceCount, value);
}

void TEditorCaret::Assign(const TPersistent& source) {
  const auto* caret = dynamic_cast<const TEditorCaret*>(&source);
  if (caret == nullptr) {
    TNotifyPersistent::Assign(source);
    return;
  }
  TChangesBracket bracket(*this);
  FAutoCursor = caret->FAutoCursor;
  FAutoIndent = caret->FAutoIndent;
  FBackSpaceUnIndent = caret->FBackSpaceUnIndent;
  FCursors->Assign(*caret->FCursors);
  FFreeCaret = caret->FFreeCaret;
  FFreeRow = caret->FFreeRow;
  FInTab = caret->FInTab;
  FKeepCaret = caret->FKeepCaret;
  FLockScroll = caret->FLockScroll;
  FNextLine = caret->FNextLine;
  FPrevSpaceIndent = caret->FPrevSpaceIndent;
  FRowSelect = caret->FRowSelect;
  FSelDragMode = caret->FSelDragMode;
  FSelMove = caret->FSelMove;
  FSoftTab = caret->FSoftTab;
  FStyle = caret->FStyle;
  FTabIndent = caret->FTabIndent;
  FTabSpaceCount = caret->FTabSpaceCount;
  FTokenEndStop = caret->FTokenEndStop;
}

const TClassInfo& TEditorCaret::StaticClassInfo() {
  using C = TEditorCaret;
  static const TTypeInfo tabSpace = OrdinalTypeInfo(tkInteger, "Integer", INT32_MIN, INT32_MAX);
  static const TClassInfo info = TPublished<C>("TEditorCaret", TNotifyPersistent::StaticClassInfo())
      .Property("AutoCursor", &C::AutoCursor, &C::SetAutoCursor, true)
      .Property("AutoIndent", &C::AutoIndent, &C::SetAutoIndent, true)
      .Property("BackSpaceUnIndent", &C::BackSpaceUnIndent, &C::SetBackSpaceUnIndent, true)
      .Property("Cursors", &C::Cursors, &C::SetCursors)
      .Property("FreeCaret", &C::FreeCaret, &C::SetFreeCaret, true)
      .Property("FreeRow", &C::FreeRow, &C::SetFreeRow, false)
      .Property("InTab", &C::InTab, &C::SetInTab, false)
      .Property("KeepCaret", &C::KeepCaret, &C::SetKeepCaret, false)
      .Property("LockScroll", &C::LockScroll, &C::SetLockScroll, false)
      .Property("NextLine", &C::NextLine, &C::SetNextLine, false)
      .Property("PrevSpaceIndent", &C::PrevSpaceIndent, &C::SetPrevSpaceIndent, false)
      .Property("RowSelect", &C::RowSelect, &C::SetRowSelect, true)
      .Property("SelDragMode", &C::SelDragMode, &C::SetSelDragMode, dmAutomatic)
      .Property("SelMove", &C::SelMove, &C::SetSelMove, true)
      .Property("SoftTab", &C::SoftTab, &C::SetSoftTab, false)
      .Property("Style", &C::Style, &C::SetStyle, csDefault)
      .Property("TabIndent", &C::TabIndent, &C::SetTabIndent, false)
      .TypedProperty("TabSpaceCount", tabSpace, &C::TabSpaceCount, &C::SetTabSpaceCount, 8)
      .Property("TokenEndStop", &C::TokenEndStop, &C::SetTokenEndStop, false);
  return info;
}

// ---- TEditorMargin ----

void TEditorMargin::SetClamped(int& field, int value) { Change(*this, field, Clamp(value, 0, 100)); }
void TEditorMargin::SetCharacter(int value) { SetClamped(FCharacter, value); }
void TEditorMargin::SetLeft(int value) { SetClamped(FLeft, value); }
void TEditorMargin::SetLine(int value) { SetClamped(FLine, value); }
void TEditorMargin::SetTop(int value) { SetClamped(FTop, value); }
void TEditorMargin::SetUnderlineMargin(int value) { Change(*this, FUnderline, value != 0 ? 1 : 0); }

void TEditorMargin::Assign(const TPersistent& source) {
  const auto* margin = dynamic_cast<const TEditorMargin*>(&source);
  if (margin == nullptr) {
    TNotifyPersistent::Assign(source);
    return;
  }
  FCharacter = margin->FCharacter;
  FLeft = margin->FLeft;
  FLine = margin->FLine;
  FTop = margin->FTop;
  FUnderline = margin->FUnderline;
  AnnounceChange();
}

const TClassInfo& TEditorMargin::StaticClassInfo() {
  using C = TEditorMargin;
  static const TClassInfo info = TPublished<C>("TEditorMargin", TNotifyPersistent::StaticClassInfo())
      .Property("Character", &C::Character, &C::SetCharacter, 0)
      .Property("Left", &C::Left, &C::SetLeft, 19)
      .Property("Line", &C::Line, &C::SetLine, 0)
      .Property("Top", &C::Top, &C::SetTop, 2);
  return info;
}

// ---- TEditorMark and TEditorMarks ----

void TEditorMark::SetColor(TColor value) { Change(*this, FColor, value); }
void TEditorMark::SetVisible(bool value) { Change(*this, FVisible, value); }

void TEditorMark::Assign(const TPersistent& source) {
  const auto* mark = dynamic_cast<const TEditorMark*>(&source);
  if (mark == nullptr) {
    TNotifyPersistent::Assign(source);
    return;
  }
  FColor = mark->FColor;
  FVisible = mark->FVisible;
  AnnounceChange();
}

const TClassInfo& TEditorMark::StaticClassInfo() {
  static const TClassInfo info = TPublished<TEditorMark>("TEditorMark", TNotifyPersistent::StaticClassInfo())
                                     .Property("Color", &TEditorMark::Color, &TEditorMark::SetColor, clGray)
                                     .Property("Visible", &TEditorMark::Visible, &TEditorMark::SetVisible, false);
  return info;
}

void TEditorMarks::AfterConstruction() {
  TNotifyPersistent::AfterConstruction();
  for (TOwned<TEditorMark>* mark : {&FEofMark, &FRetMark, &FWrapMark, &FHideMark, &FUnderline}) {
    *mark = Create<TEditorMark>();
    // A change of any mark is one change of the marks.
    (*mark)->OnChange = TNotifyEvent(this, &TEditorMarks::ForwardChange);
  }
}

void TEditorMarks::Assign(const TPersistent& source) {
  const auto* marks = dynamic_cast<const TEditorMarks*>(&source);
  if (marks == nullptr) {
    TNotifyPersistent::Assign(source);
    return;
  }
  TChangesBracket bracket(*this);
  FEofMark->Assign(*marks->FEofMark);
  FRetMark->Assign(*marks->FRetMark);
  FWrapMark->Assign(*marks->FWrapMark);
  FHideMark->Assign(*marks->FHideMark);
  FUnderline->Assign(*marks->FUnderline);
}

const TClassInfo& TEditorMarks::StaticClassInfo() {
  using C = TEditorMarks;
  static const TClassInfo info = TPublished<C>("TEditorMarks", TNotifyPersistent::StaticClassInfo())
                                     .Property("EofMark", &C::EofMark, &C::SetEofMark)
                                     .Property("HideMark", &C::HideMark, &C::SetHideMark)
                                     .Property("RetMark", &C::RetMark, &C::SetRetMark)
                                     .Property("Underline", &C::Underline, &C::SetUnderline)
                                     .Property("WrapMark", &C::WrapMark, &C::SetWrapMark);
  return info;
}

// ---- TEditorViewInfo ----

void TEditorViewInfo::AfterConstruction() {
  TNotifyPersistent::AfterConstruction();
  FFountain = CreateFountain();
  FFountain->NotifyEventList()->Add(TNotifyEvent(this, &TEditorViewInfo::ForwardChange));
}

TEditorViewInfo::~TEditorViewInfo() {
  if (FFountain) FFountain->NotifyEventList()->Remove(TNotifyEvent(this, &TEditorViewInfo::ForwardChange));
}

TOwned<TEditorFountain> TEditorViewInfo::CreateFountain() { return CreateWithoutOwner<TEditorFountain>(); }

void TEditorViewInfo::SetCommenter(const std::string& value) {
  if (value == FFountain->Commenter()) return;
  FFountain->SetCommenter(value);
  AnnounceChange();
}

void TEditorViewInfo::SetControlCode(bool value) {
  if (value == FFountain->ControlCode()) return;
  FFountain->SetControlCode(value);
  AnnounceChange();
}

void TEditorViewInfo::SetHexPrefix(const std::string& value) {
  if (value == FFountain->HexPrefix()) return;
  FFountain->SetHexPrefix(value);
  AnnounceChange();
}

void TEditorViewInfo::SetMail(bool value) {
  if (value == FFountain->Mail()) return;
  FFountain->SetMail(value);
  AnnounceChange();
}

void TEditorViewInfo::SetQuotation(const std::string& value) {
  const std::string first = value.substr(0, 1);
  if (first == FFountain->Quotation()) return;
  FFountain->SetQuotation(first);
  AnnounceChange();
}

void TEditorViewInfo::SetUrl(bool value) {
  if (value == FFountain->Url()) return;
  FFountain->SetUrl(value);
  AnnounceChange();
}

void TEditorViewInfo::Assign(const TPersistent& source) {
  const auto* view = dynamic_cast<const TEditorViewInfo*>(&source);
  if (view == nullptr) {
    TNotifyPersistent::Assign(source);
    return;
  }
  TChangesBracket bracket(*this);
  SetBrackets(*view->Brackets());
  SetColors(*view->Colors());
  SetCommenter(view->Commenter());
  SetControlCode(view->ControlCode());
  SetHexPrefix(view->HexPrefix());
  SetMail(view->Mail());
  SetQuotation(view->Quotation());
  SetUrl(view->Url());
}

const TClassInfo& TEditorViewInfo::StaticClassInfo() {
  using C = TEditorViewInfo;
  static const TClassInfo info = TPublished<C>("TEditorViewInfo", TNotifyPersistent::StaticClassInfo())
                                     .Property("Brackets", &C::Brackets, &C::SetBrackets)
                                     .Property("Colors", &C::Colors, &C::SetColors)
                                     .Property("Commenter", &C::Commenter, &C::SetCommenter)
                                     .Property("ControlCode", &C::ControlCode, &C::SetControlCode, false)
                                     .Property("HexPrefix", &C::HexPrefix, &C::SetHexPrefix)
                                     .Property("Mail", &C::Mail, &C::SetMail, false)
                                     .Property("Quotation", &C::Quotation, &C::SetQuotation)
                                     .Property("Url", &C::Url, &C::SetUrl, false);
  return info;
}

// ---- TEditorRuler ----

void TEditorRuler::SetBkColor(TColor value) { Change(*this, FBkColor, value); }
void TEditorRuler::SetColor(TColor value) { Change(*this, FColor, value); }
void TEditorRuler::SetEdge(bool value) { Change(*this, FEdge, value); }
void TEditorRuler::SetMarkColor(TColor value) { Change(*this, FMarkColor, value); }
void TEditorRuler::SetVisible(bool value) { Change(*this, FVisible, value); }

void TEditorRuler::SetGaugeRange(int value) {
  value = Clamp(value, 8, 10);
  if (value % 2 != 0) --value;
  Change(*this, FGaugeRange, value);
}

void TEditorRuler::Assign(const TPersistent& source) {
  const auto* ruler = dynamic_cast<const TEditorRuler*>(&source);
  if (ruler == nullptr) {
    TNotifyPersistent::Assign(source);
    return;
  }
  FBkColor = ruler->FBkColor;
  FColor = ruler->FColor;
  FEdge = ruler->FEdge;
  FGaugeRange = ruler->FGaugeRange;
  FMarkColor = ruler->FMarkColor;
  FVisible = ruler->FVisible;
  AnnounceChange();
}

const TClassInfo& TEditorRuler::StaticClassInfo() {
  using C = TEditorRuler;
  static const TTypeInfo gauge = OrdinalTypeInfo(tkInteger, "Integer", INT32_MIN, INT32_MAX);
  static const TClassInfo info = TPublished<C>("TEditorRuler", TNotifyPersistent::StaticClassInfo())
                                     .Property("BkColor", &C::BkColor, &C::SetBkColor, clSilver)
                                     .Property("Color", &C::Color, &C::SetColor, clBlack)
                                     .Property("Edge", &C::Edge, &C::SetEdge, true)
                                     .TypedProperty("GaugeRange", gauge, &C::GaugeRange, &C::SetGaugeRange, 10)
                                     .Property("MarkColor", &C::MarkColor, &C::SetMarkColor, clBlack)
                                     .Property("Visible", &C::Visible, &C::SetVisible, false);
  return info;
}

// ---- TEditorLeftbar ----

void TEditorLeftbar::SetBkColor(TColor value) { Change(*this, FBkColor, value); }
void TEditorLeftbar::SetColor(TColor value) { Change(*this, FColor, value); }
void TEditorLeftbar::SetColumn(int value) { Change(*this, FColumn, Clamp(value, 1, 8)); }
void TEditorLeftbar::SetEdge(bool value) { Change(*this, FEdge, value); }
void TEditorLeftbar::SetLeftMargin(int value) { Change(*this, FLeftMargin, Clamp(value, 0, 100)); }
void TEditorLeftbar::SetRightMargin(int value) { Change(*this, FRightMargin, Clamp(value, 0, 100)); }
void TEditorLeftbar::SetShowNumber(bool value) { Change(*this, FShowNumber, value); }
void TEditorLeftbar::SetShowNumberMode(TEditorShowNumberMode value) { Change(*this, FShowNumberMode, value); }
void TEditorLeftbar::SetVisible(bool value) { Change(*this, FVisible, value); }
void TEditorLeftbar::SetZeroBase(bool value) { Change(*this, FZeroBase, value); }
void TEditorLeftbar::SetZeroLead(bool value) { Change(*this, FZeroLead, value); }

void TEditorLeftbar::Assign(const TPersistent& source) {
  const auto* bar = dynamic_cast<const TEditorLeftbar*>(&source);
  if (bar == nullptr) {
    TNotifyPersistent::Assign(source);
    return;
  }
  FBkColor = bar->FBkColor;
  FColor = bar->FColor;
  FColumn = bar->FColumn;
  FEdge = bar->FEdge;
  FLeftMargin = bar->FLeftMargin;
  FRightMargin = bar->FRightMargin;
  FShowNumber = bar->FShowNumber;
  FShowNumberMode = bar->FShowNumberMode;
  FVisible = bar->FVisible;
  FZeroBase = bar->FZeroBase;
  FZeroLead = bar->FZeroLead;
  AnnounceChange();
}

const TClassInfo& TEditorLeftbar::StaticClassInfo() {
  using C = TEditorLeftbar;
  static const TTypeInfo integer = OrdinalTypeInfo(tkInteger, "Integer", INT32_MIN, INT32_MAX);
  static const TClassInfo info = TPublished<C>("TEditorLeftbar", TNotifyPersistent::StaticClassInfo())
      .Property("BkColor", &C::BkColor, &C::SetBkColor, clSilver)
      .Property("Color", &C::Color, &C::SetColor, clBlack)
      .TypedProperty("Column", integer, &C::Column, &C::SetColumn, 4)
      .Property("Edge", &C::Edge, &C::SetEdge, true)
      .TypedProperty("LeftMargin", integer, &C::LeftMargin, &C::SetLeftMargin, 8)
      .TypedProperty("RightMargin", integer, &C::RightMargin, &C::SetRightMargin, 4)
      .Property("ShowNumber", &C::ShowNumber, &C::SetShowNumber, true)
      .Property("ShowNumberMode", &C::ShowNumberMode, &C::SetShowNumberMode, nmRow)
      .Property("Visible", &C::Visible, &C::SetVisible, false)
      .Property("ZeroBase", &C::ZeroBase, &C::SetZeroBase, false)
      .Property("ZeroLead", &C::ZeroLead, &C::SetZeroLead, false);
  return info;
}

// ---- TEditorImagebar ----

void TEditorImagebar::SetDigitWidth(int value) { Change(*this, FDigitWidth, Clamp(value, 0, 100)); }
void TEditorImagebar::SetLeftMargin(int value) { Change(*this, FLeftMargin, Clamp(value, 0, 100)); }
void TEditorImagebar::SetMarkWidth(int value) { Change(*this, FMarkWidth, Clamp(value, 0, 100)); }
void TEditorImagebar::SetRightMargin(int value) { Change(*this, FRightMargin, Clamp(value, 0, 100)); }
void TEditorImagebar::SetVisible(bool value) { Change(*this, FVisible, value); }

void TEditorImagebar::Assign(const TPersistent& source) {
  const auto* bar = dynamic_cast<const TEditorImagebar*>(&source);
  if (bar == nullptr) {
    TNotifyPersistent::Assign(source);
    return;
  }
  FDigitWidth = bar->FDigitWidth;
  FLeftMargin = bar->FLeftMargin;
  FMarkWidth = bar->FMarkWidth;
  FRightMargin = bar->FRightMargin;
  FVisible = bar->FVisible;
  AnnounceChange();
}

const TClassInfo& TEditorImagebar::StaticClassInfo() {
  using C = TEditorImagebar;
  static const TTypeInfo integer = OrdinalTypeInfo(tkInteger, "Integer", INT32_MIN, INT32_MAX);
  static const TClassInfo info = TPublished<C>("TEditorImagebar", TNotifyPersistent::StaticClassInfo())
      .TypedProperty("DigitWidth", integer, &C::DigitWidth, &C::SetDigitWidth, 8)
      .TypedProperty("LeftMargin", integer, &C::LeftMargin, &C::SetLeftMargin, 2)
      .TypedProperty("MarkWidth", integer, &C::MarkWidth, &C::SetMarkWidth, 0)
      .TypedProperty("RightMargin", integer, &C::RightMargin, &C::SetRightMargin, 2)
      .Property("Visible", &C::Visible, &C::SetVisible, true);
  return info;
}

// ---- TEditorSpeed ----

void TEditorSpeed::Assign(const TPersistent& source) {
  const auto* speed = dynamic_cast<const TEditorSpeed*>(&source);
  if (speed == nullptr) {
    TPersistent::Assign(source);
    return;
  }
  FCaretVerticalAc = speed->FCaretVerticalAc;
  FInitBracketsFull = speed->FInitBracketsFull;
  FPageVerticalRange = speed->FPageVerticalRange;
  FPageVerticalRangeAc = speed->FPageVerticalRangeAc;
}

const TClassInfo& TEditorSpeed::StaticClassInfo() {
  using C = TEditorSpeed;
  static const TClassInfo info = TPublished<C>("TEditorSpeed", TPersistent::StaticClassInfo())
      .TypedProperty("CaretVerticalAc", SpeedRangeType(), &C::CaretVerticalAc, &C::SetCaretVerticalAc, 2)
      .Property("InitBracketsFull", &C::InitBracketsFull, &C::SetInitBracketsFull, false)
      .TypedProperty("PageVerticalRange", SpeedRangeType(), &C::PageVerticalRange, &C::SetPageVerticalRange, 2)
      .TypedProperty("PageVerticalRangeAc", SpeedRangeType(), &C::PageVerticalRangeAc, &C::SetPageVerticalRangeAc, 2);
  return info;
}

}  // namespace plomaret
