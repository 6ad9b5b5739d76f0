// The editor's option objects: what they publish, and the setters that do more than
// store. Each class's defaults are its field initializers: Publish has the registry
// read them from a fresh object, so the two cannot disagree.

#include <algorithm>

#include "editor/EditorControl.h"
#include "framework/core/Properties.h"

namespace plomaret {

namespace {

// Clamped to low..high, an odd value lowered by one (low and high are even).
int EvenIn(int value, int low, int high) {
  value = std::clamp(value, low, high);
  return value % 2 != 0 ? value - 1 : value;
}

}  // namespace

const TClassInfo& TEditorCursors::StaticClassInfo() {
  using C = TEditorCursors;
  static const TTypeInfo cursor = OrdinalTypeInfo(tkInteger, "TCursor", -32768, 32767);
  static const TClassInfo info = Publish("TEditorCursors")
      .TypedProperty("DefaultCursor", cursor, &C::DefaultCursor, &C::SetDefaultCursor)
      .TypedProperty("DragSelCopyCursor", cursor, &C::DragSelCopyCursor, &C::SetDragSelCopyCursor)
      .TypedProperty("DragSelCursor", cursor, &C::DragSelCursor, &C::SetDragSelCursor)
      .TypedProperty("InSelCursor", cursor, &C::InSelCursor, &C::SetInSelCursor)
      .TypedProperty("LeftMarginCursor", cursor, &C::LeftMarginCursor, &C::SetLeftMarginCursor)
      .TypedProperty("TopMarginCursor", cursor, &C::TopMarginCursor, &C::SetTopMarginCursor);
  return info;
}

void TEditorCaret::AfterConstruction() {
  TEditorOptions::AfterConstruction();
  FCursors = Create<TEditorCursors>();
}

void TEditorCaret::SetTabSpaceCount(int value) { Change(FTabSpaceCount, EvenIn(value, 2, 8)); }

const TClassInfo& TEditorCaret::StaticClassInfo() {
  using C = TEditorCaret;
  static const TClassInfo info = Publish("TEditorCaret")
      .Property("AutoCursor", &C::AutoCursor, &C::SetAutoCursor)
      .Property("AutoIndent", &C::AutoIndent, &C::SetAutoIndent)
      .Property("BackSpaceUnIndent", &C::BackSpaceUnIndent, &C::SetBackSpaceUnIndent)
      .Property("Cursors", &C::Cursors, &C::SetCursors)
      .Property("FreeCaret", &C::FreeCaret, &C::SetFreeCaret)
      .Property("FreeRow", &C::FreeRow, &C::SetFreeRow)
      .Property("InTab", &C::InTab, &C::SetInTab)
      .Property("KeepCaret", &C::KeepCaret, &C::SetKeepCaret)
      .Property("LockScroll", &C::LockScroll, &C::SetLockScroll)
      .Property("NextLine", &C::NextLine, &C::SetNextLine)
      .Property("PrevSpaceIndent", &C::PrevSpaceIndent, &C::SetPrevSpaceIndent)
      .Property("RowSelect", &C::RowSelect, &C::SetRowSelect)
      .Property("SelDragMode", &C::SelDragMode, &C::SetSelDragMode)
      .Property("SelMove", &C::SelMove, &C::SetSelMove)
      .Property("SoftTab", &C::SoftTab, &C::SetSoftTab)
      .Property("Style", &C::Style, &C::SetStyle)
      .Property("TabIndent", &C::TabIndent, &C::SetTabIndent)
      .Property("TabSpaceCount", &C::TabSpaceCount, &C::SetTabSpaceCount)
      .Property("TokenEndStop", &C::TokenEndStop, &C::SetTokenEndStop);
  return info;
}

const TClassInfo& TEditorMargin::StaticClassInfo() {
  using C = TEditorMargin;
  static const TClassInfo info = Publish("TEditorMargin")
      .Property("Character", &C::Character, &C::SetCharacter)
      .Property("Left", &C::Left, &C::SetLeft)
      .Property("Line", &C::Line, &C::SetLine)
      .Property("Top", &C::Top, &C::SetTop);
  return info;
}

const TClassInfo& TEditorMark::StaticClassInfo() {
  using C = TEditorMark;
  static const TClassInfo info = Publish("TEditorMark")
      .Property("Color", &C::Color, &C::SetColor)
      .Property("Visible", &C::Visible, &C::SetVisible);
  return info;
}

void TEditorMarks::AfterConstruction() {
  TEditorOptions::AfterConstruction();
  for (TOwned<TEditorMark>* mark : {&FEofMark, &FRetMark, &FWrapMark, &FHideMark, &FUnderline}) {
    *mark = Create<TEditorMark>();
    // A change of any mark is one change of the marks.
    (*mark)->OnChange = TNotifyEvent(this, &TEditorMarks::ForwardChange);
  }
}

const TClassInfo& TEditorMarks::StaticClassInfo() {
  using C = TEditorMarks;
  static const TClassInfo info = Publish("TEditorMarks")
      .Property("EofMark", &C::EofMark, &C::SetEofMark)
      .Property("HideMark", &C::HideMark, &C::SetHideMark)
      .Property("RetMark", &C::RetMark, &C::SetRetMark)
      .Property("Underline", &C::Underline, &C::SetUnderline)
      .Property("WrapMark", &C::WrapMark, &C::SetWrapMark);
  return info;
}

void TEditorViewInfo::AfterConstruction() {
  TEditorOptions::AfterConstruction();
  FFountain = CreateFountain();
  FFountain->NotifyEventList()->Add(TNotifyEvent(this, &TEditorViewInfo::ForwardChange));
}

TEditorViewInfo::~TEditorViewInfo() {
  if (FFountain) FFountain->NotifyEventList()->Remove(TNotifyEvent(this, &TEditorViewInfo::ForwardChange));
}

TOwned<TEditorFountain> TEditorViewInfo::CreateFountain() { return CreateWithoutOwner<TEditorFountain>(); }

const TClassInfo& TEditorViewInfo::StaticClassInfo() {
  using C = TEditorViewInfo;
  static const TClassInfo info = Publish("TEditorViewInfo", Create<C>(nullptr))
      .Property("Brackets", &C::Brackets, &C::SetBrackets)
      .Property("Colors", &C::Colors, &C::SetColors)
      .Property("Commenter", &C::Commenter, &C::SetCommenter)
      .Property("ControlCode", &C::ControlCode, &C::SetControlCode)
      .Property("HexPrefix", &C::HexPrefix, &C::SetHexPrefix)
      .Property("Mail", &C::Mail, &C::SetMail)
      .Property("Quotation", &C::Quotation, &C::SetQuotation)
      .Property("Url", &C::Url, &C::SetUrl);
  return info;
}

void TEditorRuler::SetGaugeRange(int value) { Change(FGaugeRange, EvenIn(value, 8, 10)); }

const TClassInfo& TEditorRuler::StaticClassInfo() {
  using C = TEditorRuler;
  static const TClassInfo info = Publish("TEditorRuler")
      .Property("BkColor", &C::BkColor, &C::SetBkColor)
      .Property("Color", &C::Color, &C::SetColor)
      .Property("Edge", &C::Edge, &C::SetEdge)
      .Property("GaugeRange", &C::GaugeRange, &C::SetGaugeRange)
      .Property("MarkColor", &C::MarkColor, &C::SetMarkColor)
      .Property("Visible", &C::Visible, &C::SetVisible);
  return info;
}

const TClassInfo& TEditorLeftbar::StaticClassInfo() {
  using C = TEditorLeftbar;
  static const TClassInfo info = Publish("TEditorLeftbar")
      .Property("BkColor", &C::BkColor, &C::SetBkColor)
      .Property("Color", &C::Color, &C::SetColor)
      .Property("Column", &C::Column, &C::SetColumn)
      .Property("Edge", &C::Edge, &C::SetEdge)
      .Property("LeftMargin", &C::LeftMargin, &C::SetLeftMargin)
      .Property("RightMargin", &C::RightMargin, &C::SetRightMargin)
      .Property("ShowNumber", &C::ShowNumber, &C::SetShowNumber)
      .Property("ShowNumberMode", &C::ShowNumberMode, &C::SetShowNumberMode)
      .Property("Visible", &C::Visible, &C::SetVisible)
      .Property("ZeroBase", &C::ZeroBase, &C::SetZeroBase)
      .Property("ZeroLead", &C::ZeroLead, &C::SetZeroLead);
  return info;
}

const TClassInfo& TEditorImagebar::StaticClassInfo() {
  using C = TEditorImagebar;
  static const TClassInfo info = Publish("TEditorImagebar")
      .Property("DigitWidth", &C::DigitWidth, &C::SetDigitWidth)
      .Property("LeftMargin", &C::LeftMargin, &C::SetLeftMargin)
      .Property("MarkWidth", &C::MarkWidth, &C::SetMarkWidth)
      .Property("RightMargin", &C::RightMargin, &C::SetRightMargin)
      .Property("Visible", &C::Visible, &C::SetVisible);
  return info;
}

const TClassInfo& TEditorSpeed::StaticClassInfo() {
  using C = TEditorSpeed;
  static const TTypeInfo speed = OrdinalTypeInfo(tkInteger, "TEditorSpeedRange", 1, 4);
  static const TClassInfo info = Publish("TEditorSpeed")
      .TypedProperty("CaretVerticalAc", speed, &C::CaretVerticalAc, &C::SetCaretVerticalAc)
      .Property("InitBracketsFull", &C::InitBracketsFull, &C::SetInitBracketsFull)
      .TypedProperty("PageVerticalRange", speed, &C::PageVerticalRange, &C::SetPageVerticalRange)
      .TypedProperty("PageVerticalRangeAc", speed, &C::PageVerticalRangeAc, &C::SetPageVerticalRangeAc);
  return info;
}

}  // namespace plomaret
