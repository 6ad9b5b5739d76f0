#include "Forms.h"

namespace plomaret {

namespace {

// A bevel: light on the top and left, dark on the bottom and right (raised), or the
// other way round (lowered).
void DrawBevel(TCanvas& canvas, const TRect& rect, TBevelCut cut) {
  if (cut == bvNone) return;
  const TColor topLeft = cut == bvRaised ? clBtnHighlight : clBtnShadow;
  const TColor bottomRight = cut == bvRaised ? clBtnShadow : clBtnHighlight;
  canvas.SetPenMode(pmCopy);
  canvas.SetPenColor(topLeft);
  canvas.MoveTo(rect.Left, rect.Bottom - 1);
  canvas.LineTo(rect.Left, rect.Top);
  canvas.LineTo(rect.Right - 1, rect.Top);
  canvas.SetPenColor(bottomRight);
  canvas.LineTo(rect.Right - 1, rect.Bottom - 1);
  canvas.LineTo(rect.Left - 1, rect.Bottom - 1);
}

}  // namespace

// ---- TForm ----

void TForm::AfterConstruction() {
  TCustomControl::AfterConstruction();
  SetColor(clBtnFace);
}

void TForm::Show() {
  FClosed = false;
  SetVisible(true);
  HandleNeeded();
  // A form opens with the keyboard in its first control that takes it.
  if (ContainsControl(FocusedControl())) return;
  if (TWinControl* first = FirstTabStop()) first->SetFocus();
}

void TForm::Close() { Perform(WM_CLOSE); }

bool TForm::CloseQuery() {
  bool canClose = true;
  OnCloseQuery(this, canClose);
  return canClose;
}

bool TForm::IsShortCut(TShortCut shortCut) {
  bool handled = false;
  OnShortCut(this, shortCut, handled);
  return handled;
}

void TForm::DefaultHandler(TMessage& message) {
  if (message.Msg == WM_ACTIVATE && message.WParam != 0) OnActivate(this);
  if (message.Msg == WM_QUERYENDSESSION) {
    message.Result = CloseQuery() ? 1 : 0;
    return;
  }
  if (message.Msg == WM_CLOSE) {
    if (!CloseQuery()) return;
    OnClose(this);
    FClosed = true;
    SetVisible(false);
    return;
  }
  TCustomControl::DefaultHandler(message);
}

// ---- TPanel ----

void TPanel::AfterConstruction() {
  TCustomControl::AfterConstruction();
  SetColor(clBtnFace);
}

void TPanel::SetBevelInner(TBevelCut bevel) {
  FBevelInner = bevel;
  Invalidate();
}

void TPanel::SetBevelOuter(TBevelCut bevel) {
  FBevelOuter = bevel;
  Invalidate();
}

void TPanel::Paint() {
  const TRect outer = ClientRect();
  DrawBevel(Canvas(), outer, FBevelOuter);
  DrawBevel(Canvas(), {outer.Left + 1, outer.Top + 1, outer.Right - 1, outer.Bottom - 1}, FBevelInner);
}

// ---- TSpeedButton ----

void TSpeedButton::Paint(TCanvas& canvas) {
  const TRect& bounds = BoundsRect();
  canvas.SetBrushColor(clBtnFace);
  canvas.SetBrushStyle(bsSolid);
  canvas.FillRect(bounds);
  DrawBevel(canvas, bounds, FPressed ? bvLowered : bvRaised);
  canvas.Font().Assign(const_cast<TSpeedButton*>(this)->Font());
  const int width = canvas.TextWidth(Caption());
  const int height = canvas.TextHeight();
  canvas.SetBrushStyle(bsClear);
  const int shift = FPressed ? 1 : 0;
  canvas.TextOut(bounds.Left + (bounds.Width() - width) / 2 + shift, bounds.Top + (bounds.Height() - height) / 2 + shift,
                 Caption());
  canvas.SetBrushStyle(bsSolid);
}

void TSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft && Enabled()) {
    FPressed = true;
    Invalidate();
  }
  TGraphicControl::MouseDown(button, shift, x, y);
}

void TSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  const bool wasPressed = FPressed;
  FPressed = false;
  if (wasPressed) Invalidate();
  TGraphicControl::MouseUp(button, shift, x, y);
  // A click is a press and a release over the button.
  if (wasPressed && Enabled() && button == mbLeft && x >= 0 && y >= 0 && x < Width() && y < Height()) Click();
}

// ---- Published properties ----

const TTypeInfo& TypeInfoOf(TTypeTag<TBevelCut>) {
  static const TTypeInfo info = EnumTypeInfo("TBevelCut", {"bvNone", "bvLowered", "bvRaised"});
  return info;
}

const TClassInfo& TForm::StaticClassInfo() {
  using C = TForm;
  static const TClassInfo info = TPublished<C>("TForm", TWinControl::StaticClassInfo())
      .Property("Caption", &C::Caption, &C::SetCaption)
      .Event("OnCreate", "TNotifyEvent")
      .Event("OnClose", "TCloseEvent");
  return info;
}

const TClassInfo& TPanel::StaticClassInfo() {
  using C = TPanel;
  static const TClassInfo info = TPublished<C>("TPanel", TWinControl::StaticClassInfo())
      .Property("BevelInner", &C::BevelInner, &C::SetBevelInner, bvNone)
      .Property("BevelOuter", &C::BevelOuter, &C::SetBevelOuter, bvRaised);
  return info;
}

const TClassInfo& TSpeedButton::StaticClassInfo() {
  using C = TSpeedButton;
  static const TClassInfo info =
      TPublished<C>("TSpeedButton", TControl::StaticClassInfo()).Property("Caption", &C::Caption, &C::SetCaption);
  return info;
}

}  // namespace plomaret
