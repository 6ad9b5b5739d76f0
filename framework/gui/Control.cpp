#include "Control.h"

#include <algorithm>
#include <cstring>

#include "framework/core/Properties.h"
#include "framework/gui/Application.h"
#include "framework/gui/Menus.h"
#include "framework/gui/Platform.h"

namespace plomaret {

const TTypeInfo& TypeInfoOf(TTypeTag<TDragMode>) {
  static const TTypeInfo info = EnumTypeInfo("TDragMode", {"dmManual", "dmAutomatic"});
  return info;
}

const TTypeInfo& TypeInfoOf(TTypeTag<TDragKind>) {
  static const TTypeInfo info = EnumTypeInfo("TDragKind", {"dkDrag", "dkDock"});
  return info;
}

// ---- TControl ----

TControl::TControl() = default;

void TControl::AfterConstruction() {
  TComponent::AfterConstruction();
  FFont = Create<TFont>();
  FFont->OnChange = TNotifyEvent(this, &TControl::FontChanged);
}

TControl::~TControl() = default;

void TControl::BeforeDestruction() {
  SetParent(nullptr);
  TComponent::BeforeDestruction();
}

void TControl::FontChanged(TObject*) {
  // A font set by hand is the control's own from now on.
  if (!FTakingParentFont) FParentFont = false;
  Perform(CM_FONTCHANGED);
}

void TControl::SetParentColor(bool value) {
  FParentColor = value;
  if (value) ParentColorChanged();
}

void TControl::SetParentFont(bool value) {
  FParentFont = value;
  if (value) ParentFontChanged();
}

void TControl::ParentColorChanged() {
  if (!FParentColor || FParent == nullptr) return;
  SetColor(FParent->Color());
  FParentColor = true;
}

void TControl::ParentFontChanged() {
  if (!FParentFont || FParent == nullptr) return;
  FTakingParentFont = true;
  FFont->Assign(FParent->Font());
  FTakingParentFont = false;
}

void TControl::SetPopupMenu(TPopupMenu* menu) {
  if (FPopupMenu != nullptr) FPopupMenu->RemoveFreeNotification(this);
  FPopupMenu = menu;
  if (FPopupMenu != nullptr) FPopupMenu->FreeNotification(this);
}

void TControl::Notification(TComponent* component, TOperation operation) {
  if (operation == opRemove && component == FPopupMenu) FPopupMenu = nullptr;
  TComponent::Notification(component, operation);
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == FParent) return;
  if (FParent != nullptr) FParent->RemoveControl(this);
  FParent = parent;
  if (FParent != nullptr) {
    FParent->InsertControl(this);
    if (FAlign != alNone) FParent->Realign();
    ParentColorChanged();
    ParentFontChanged();
  }
}

void TControl::SetParentComponent(TComponent* parent) {
  auto* windowed = dynamic_cast<TWinControl*>(parent);
  if (parent != nullptr && windowed == nullptr) {
    throw EComponentError(parent->ClassName() + " cannot be the parent of a control");
  }
  SetParent(windowed);
}

const TTypeInfo& TypeInfoOf(TTypeTag<TAlign>) {
  static const TTypeInfo info = EnumTypeInfo("TAlign", {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"});
  return info;
}

const TTypeInfo& TypeInfoOf(TTypeTag<TBorderStyle>) {
  static const TTypeInfo info = EnumTypeInfo("TBorderStyle", {"bsNone", "bsSingle"});
  return info;
}

const TTypeInfo& TypeInfoOf(TTypeTag<TScrollStyle>) {
  static const TTypeInfo info = EnumTypeInfo("TScrollStyle", {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"});
  return info;
}

void TControl::SetBounds(int left, int top, int width, int height) {
  // Far beyond any screen, yet small enough that no edge or layout sum overflows,
  // whatever a stored form or image holds.
  auto coordinate = [](int value) { return std::clamp(value, -kMaxCoordinate, kMaxCoordinate); };
  auto extent = [](int value) { return std::clamp(value, 0, kMaxCoordinate); };
  const TRect bounds = TRect::FromSize(coordinate(left), coordinate(top), extent(width), extent(height));
  if (bounds == FBounds) return;
  FBounds = bounds;
  BoundsChanged();
}

void TControl::SetVisible(bool visible) {
  if (visible == FVisible) return;
  FVisible = visible;
  Perform(CM_VISIBLECHANGED, visible ? 1 : 0);
}

void TControl::SetEnabled(bool enabled) {
  if (enabled == FEnabled) return;
  FEnabled = enabled;
  Perform(CM_ENABLEDCHANGED);
}

void TControl::SetAlign(TAlign align) {
  if (align == FAlign) return;
  FAlign = align;
  if (FParent != nullptr) FParent->Realign();
}

void TControl::SetColor(TColor color) {
  FParentColor = false;  // a colour set by hand is the control's own
  if (color == FColor) return;
  FColor = color;
  Perform(CM_COLORCHANGED);
}

void TControl::SetText(const std::string& text) {
  Perform(WM_SETTEXT, 0, reinterpret_cast<intptr_t>(text.c_str()));
}

int32_t TControl::Perform(uint32_t msg, intptr_t wParam, intptr_t lParam) {
  TMessage message{msg, wParam, lParam, 0};
  WndProc(message);
  return message.Result;
}

void TControl::WndProc(TMessage& message) { DefaultHandler(message); }

bool TControl::MouseWheel(bool down, TShiftState shift, TPoint point) {
  bool handled = false;
  if (down) {
    OnMouseWheelDown(this, shift, point, handled);
  } else {
    OnMouseWheelUp(this, shift, point, handled);
  }
  return handled;
}

void TControl::DefaultHandler(TMessage& message) {
  const int x = SignedLowWord(message.LParam);
  const int y = SignedHighWord(message.LParam);
  switch (message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      MouseDown(mbLeft, ShiftStateOfMouse(message.WParam) + (message.Msg == WM_LBUTTONDBLCLK ? TShiftState{ssDouble} : TShiftState{}), x, y);
      break;
    case WM_RBUTTONDOWN:
      MouseDown(mbRight, ShiftStateOfMouse(message.WParam), x, y);
      break;
    case WM_MBUTTONDOWN:
      MouseDown(mbMiddle, ShiftStateOfMouse(message.WParam), x, y);
      break;
    case WM_LBUTTONUP:
      MouseUp(mbLeft, ShiftStateOfMouse(message.WParam), x, y);
      break;
    case WM_RBUTTONUP:
      MouseUp(mbRight, ShiftStateOfMouse(message.WParam), x, y);
      break;
    case WM_MBUTTONUP:
      MouseUp(mbMiddle, ShiftStateOfMouse(message.WParam), x, y);
      break;
    case WM_MOUSEMOVE:
      MouseMove(ShiftStateOfMouse(message.WParam), x, y);
      break;
    case WM_MOUSEWHEEL: {
      // One event per notch of 120; a negative delta turns the wheel towards the user.
      const int delta = SignedHighWord(message.WParam);
      const TShiftState shift = ShiftStateOfMouse(LowWord(message.WParam));
      for (int notches = std::abs(delta) / 120; notches > 0; --notches) MouseWheel(delta < 0, shift, {x, y});
      message.Result = 1;
      break;
    }
    case WM_KEYDOWN: {
      int key = static_cast<int>(message.WParam);
      KeyDown(key, KeyboardShiftState());
      break;
    }
    case WM_KEYUP: {
      int key = static_cast<int>(message.WParam);
      KeyUp(key, KeyboardShiftState());
      break;
    }
    case WM_CHAR: {
      char key = static_cast<char>(message.WParam);
      KeyPress(key);
      break;
    }
    case WM_SETTEXT:
      FText = message.LParam != 0 ? reinterpret_cast<const char*>(message.LParam) : "";
      message.Result = 1;
      break;
    case WM_GETTEXTLENGTH:
      message.Result = static_cast<int32_t>(FText.size());
      break;
    case WM_GETTEXT: {
      // Copies at most wParam - 1 bytes and a terminating zero.
      auto* buffer = reinterpret_cast<char*>(message.LParam);
      const size_t room = message.WParam > 0 ? static_cast<size_t>(message.WParam) - 1 : 0;
      const size_t count = buffer != nullptr ? std::min(room, FText.size()) : 0;
      if (buffer != nullptr && message.WParam > 0) {
        std::memcpy(buffer, FText.data(), count);
        buffer[count] = '\0';
      }
      message.Result = static_cast<int32_t>(count);
      break;
    }
    default:
      break;
  }
}

namespace {

const TTypeInfo& CursorTypeInfo() {
  static const TTypeInfo info = OrdinalTypeInfo(tkInteger, "TCursor", -32768, 32767);
  return info;
}

}  // namespace

const TClassInfo& TControl::StaticClassInfo() {
  using C = TControl;
  static const TClassInfo info = TPublished<C>("TControl", TComponent::StaticClassInfo())
      .Property("Align", &C::Align, &C::SetAlign, alNone)
      .Property("Color", &C::Color, &C::SetColor)
      .TypedProperty("Cursor", CursorTypeInfo(), &C::Cursor, &C::SetCursor, 0)
      .TypedProperty("DragCursor", CursorTypeInfo(), &C::DragCursor, &C::SetDragCursor, -12)
      .Property("DragKind", &C::DragKind, &C::SetDragKind, dkDrag)
      .Property("DragMode", &C::DragMode, &C::SetDragMode, dmManual)
      .Property("Enabled", &C::Enabled, &C::SetEnabled, true)
      .Property("Font", &C::FontObject, &C::SetFont)
      .Property("Height", &C::Height, [](C& c, int v) { c.SetBounds(c.Left(), c.Top(), c.Width(), v); })
      .Property("Hint", &C::Hint, &C::SetHint)
      .Property("Left", &C::Left, [](C& c, int v) { c.SetBounds(v, c.Top(), c.Width(), c.Height()); })
      .Property("ParentColor", &C::ParentColor, &C::SetParentColor, false)
      .Property("ParentFont", &C::ParentFont, &C::SetParentFont, true)
      .Property("PopupMenu", &C::PopupMenu, &C::SetPopupMenu)
      .Property("ShowHint", &C::ShowHint, &C::SetShowHint, false)
      .Property("Top", &C::Top, [](C& c, int v) { c.SetBounds(c.Left(), v, c.Width(), c.Height()); })
      .Property("Visible", &C::Visible, &C::SetVisible, true)
      .Property("Width", &C::Width, [](C& c, int v) { c.SetBounds(c.Left(), c.Top(), v, c.Height()); })
      .Event("OnClick", "TNotifyEvent")
      .Event("OnDragDrop", "TDragDropEvent")
      .Event("OnDragOver", "TDragOverEvent")
      .Event("OnEndDock", "TEndDragEvent")
      .Event("OnEndDrag", "TEndDragEvent")
      .Event("OnStartDock", "TStartDockEvent")
      .Event("OnStartDrag", "TStartDragEvent")
      .Event("OnEnter", "TNotifyEvent")
      .Event("OnExit", "TNotifyEvent")
      .Event("OnKeyDown", "TKeyEvent")
      .Event("OnKeyPress", "TKeyPressEvent")
      .Event("OnKeyUp", "TKeyEvent")
      .Event("OnMouseDown", "TMouseEvent")
      .Event("OnMouseMove", "TMouseMoveEvent")
      .Event("OnMouseUp", "TMouseEvent")
      .Event("OnMouseWheelDown", "TMouseWheelUpDownEvent")
      .Event("OnMouseWheelUp", "TMouseWheelUpDownEvent")
      .Event("OnResize", "TNotifyEvent");
  return info;
}

const TClassInfo& TWinControl::StaticClassInfo() {
  using C = TWinControl;
  static const TClassInfo info = TPublished<C>("TWinControl", TControl::StaticClassInfo())
      .Property("Ctl3D", &C::Ctl3D, &C::SetCtl3D, true)
      .Property("TabOrder", &C::TabOrder, &C::SetTabOrder)
      .Property("TabStop", &C::TabStop, &C::SetTabStop, false);
  return info;
}

// ---- TWinControl ----

TWinControl::~TWinControl() = default;

void TWinControl::BeforeDestruction() {
  Application().WindowGone(this);
  for (TControl* control : std::vector<TControl*>(FControls)) control->FParent = nullptr;
  FControls.clear();
  if (FBackend) DestroyWnd();
  TControl::BeforeDestruction();
}

void TWinControl::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) {
  TControl::GetChildren(proc, root);
  for (TControl* control : FControls) {
    if (control->Owner() == root) proc(control);
  }
}

void TWinControl::InsertControl(TControl* control) {
  FControls.push_back(control);
  auto* windowed = dynamic_cast<TWinControl*>(control);
  if (windowed == nullptr) return;
  FTabList.push_back(windowed);
  // A window put into a parent that has one gets its own at once.
  if (FBackend && !windowed->ComponentState().Contains(csLoading)) windowed->HandleNeeded();
}

int TWinControl::TabOrder() const {
  if (Parent() == nullptr) return -1;
  const auto& list = Parent()->FTabList;
  return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

void TWinControl::SetTabOrder(int order) {
  if (Parent() == nullptr) return;
  auto& list = Parent()->FTabList;
  std::erase(list, this);
  order = std::clamp(order, 0, static_cast<int>(list.size()));
  list.insert(list.begin() + order, this);
}

TWinControl* TWinControl::FirstTabStop() const {
  for (TWinControl* child : FTabList) {
    if (!child->Visible() || !child->Enabled()) continue;
    if (child->TabStop()) return child;
    if (TWinControl* inner = child->FirstTabStop()) return inner;
  }
  return nullptr;
}

bool TWinControl::ContainsControl(const TControl* control) const {
  for (const TControl* at = control; at != nullptr; at = at->Parent()) {
    if (at == this) return true;
  }
  return false;
}

void TWinControl::SetCtl3D(bool value) {
  if (value == FCtl3D) return;
  FCtl3D = value;
  Perform(CM_CTL3DCHANGED);
  RecreateWnd();
}

void TWinControl::RemoveControl(TControl* control) {
  std::erase(FControls, control);
  std::erase(FTabList, control);
  if (FMouseTarget == control) FMouseTarget = nullptr;
}

uint32_t TWinControl::Style() const {
  uint32_t style = 0, exStyle = 0;
  CreateParams(style, exStyle);
  if (FScrollBars[sbHorizontal].Visible) style |= WS_HSCROLL;
  if (FScrollBars[sbVertical].Visible) style |= WS_VSCROLL;
  return style;
}

uint32_t TWinControl::ExStyle() const {
  uint32_t style = 0, exStyle = 0;
  CreateParams(style, exStyle);
  return exStyle;
}

int TWinControl::BorderWidth(uint32_t style, uint32_t exStyle) {
  return ((style & WS_BORDER) != 0 ? 1 : 0) + ((exStyle & WS_EX_CLIENTEDGE) != 0 ? 2 : 0);
}

TRect TWinControl::ClientRect() const {
  const uint32_t style = Style();
  const int border = BorderWidth(style, ExStyle());
  const int width = Width() - 2 * border - ((style & WS_VSCROLL) != 0 ? ScrollBarSize() : 0);
  const int height = Height() - 2 * border - ((style & WS_HSCROLL) != 0 ? ScrollBarSize() : 0);
  return {0, 0, std::max(width, 0), std::max(height, 0)};
}

void TWinControl::HandleNeeded() {
  if (FBackend) return;
  FBackend = Platform().CreateWindowBackend(*this);
  CreateWnd();
}

void TWinControl::CreateWnd() {
  // The window starts without a title; the caption follows as WM_SETTEXT.
  FBackend->SetCaption("");
  FBackend->SetBounds(BoundsRect());
  FTextLayer.SetRecording(FBackend->RecordsText());
  ResizeBacking();
  for (TScrollBarKind bar : {sbHorizontal, sbVertical}) FBackend->SetScrollInfo(bar, FScrollBars[bar]);
  Perform(WM_CREATE);
  const std::string caption = Text();
  if (!caption.empty()) Perform(WM_SETTEXT, 0, reinterpret_cast<intptr_t>(caption.c_str()));
  Perform(WM_SIZE, 0, MakeLong(ClientWidth(), ClientHeight()));
  FBackend->SetVisible(Visible());
  if (FAcceptsFiles) FBackend->AcceptFiles(true);
  if (CaretExists()) PushCaret();
  if (Focused()) FBackend->FocusChanged(true);
  Invalidate();
  // The windowed children get their windows with their parent's.
  for (TControl* control : std::vector<TControl*>(FControls)) {
    if (auto* windowed = dynamic_cast<TWinControl*>(control)) windowed->HandleNeeded();
  }
}

void TWinControl::DestroyWnd() {
  Perform(WM_DESTROY);
  FBackend.reset();
}

void TWinControl::RecreateWnd() {
  if (!FBackend) return;
  DestroyWnd();
  HandleNeeded();
}

void TWinControl::BoundsChanged() {
  Realign();
  OnResize(this);
  if (!FBackend) return;
  FBackend->SetBounds(BoundsRect());
  ResizeBacking();
  Perform(WM_SIZE, 0, MakeLong(ClientWidth(), ClientHeight()));
  Invalidate();
}

void TWinControl::ResizeBacking() {
  const TRect client = ClientRect();
  FBacking.Resize(client.Width(), client.Height(), PixelOf(Color() == clNone ? clWhite : Color()));
  // Characters no longer on the image go with their pixels.
  std::vector<TTextCell> kept;
  for (const TTextCell& cell : FTextLayer.Cells()) {
    if (client.ContainsRect(cell.Bounds)) kept.push_back(cell);
  }
  FTextLayer.Clear();
  for (TTextCell& cell : kept) FTextLayer.Add(std::move(cell));
}

TPoint TWinControl::ClientOrigin() const {
  const int border = BorderWidth(Style(), ExStyle());
  TPoint origin{Left() + border, Top() + border};
  if (Parent() != nullptr) {
    const TPoint parent = Parent()->ClientOrigin();
    origin.X += parent.X;
    origin.Y += parent.Y;
  }
  return origin;
}

TPoint TWinControl::ScreenToClient(TPoint screen) const {
  const TPoint origin = ClientOrigin();
  return {screen.X - origin.X, screen.Y - origin.Y};
}

TPoint TWinControl::ClientToScreen(TPoint client) const {
  const TPoint origin = ClientOrigin();
  return {client.X + origin.X, client.Y + origin.Y};
}

TPoint TWinControl::CursorPosInClient() const { return ScreenToClient(Platform().CursorPos()); }

void TWinControl::Realign() {
  // 64-bit, so that many large children cannot overflow the free area.
  const TRect client = ClientRect();
  int64_t left = client.Left, top = client.Top, right = client.Right, bottom = client.Bottom;
  auto place = [](TControl* control, int64_t l, int64_t t, int64_t r, int64_t b) {
    auto fit = [](int64_t value) {
      return static_cast<int>(std::clamp<int64_t>(value, -kMaxCoordinate, kMaxCoordinate));
    };
    control->SetBounds(fit(l), fit(t), fit(r - l), fit(b - t));
  };
  for (TAlign align : {alTop, alBottom, alLeft, alRight, alClient}) {
    for (TControl* control : FControls) {
      if (control->Align() != align || !control->Visible()) continue;
      switch (align) {
        case alTop:
          place(control, left, top, right, top + control->Height());
          top += control->Height();
          break;
        case alBottom:
          place(control, left, bottom - control->Height(), right, bottom);
          bottom -= control->Height();
          break;
        case alLeft:
          place(control, left, top, left + control->Width(), bottom);
          left += control->Width();
          break;
        case alRight:
          place(control, right - control->Width(), top, right, bottom);
          right -= control->Width();
          break;
        case alClient:
          place(control, left, top, std::max(left, right), std::max(top, bottom));
          break;
        case alNone:
          break;
      }
    }
  }
}

void TWinControl::DefaultHandler(TMessage& message) {
  switch (message.Msg) {
    case WM_SETTEXT:
      TControl::DefaultHandler(message);
      if (FBackend) FBackend->SetCaption(Text());
      break;
    case WM_SETREDRAW:
      FRedraw = message.WParam != 0;
      if (FCanvas) FCanvas->SetSuppressed(!FRedraw);
      break;
    case WM_PAINT:
      PaintInvalid();
      break;
    case CM_COLORCHANGED:
      Invalidate();
      for (TControl* control : FControls) control->ParentColorChanged();
      break;
    case CM_FONTCHANGED:
      for (TControl* control : FControls) control->ParentFontChanged();
      break;
    case WM_IME_COMPOSITION:
      // The system's part: the result comes again as characters, byte by byte.
      if ((message.LParam & GCS_RESULTSTR) != 0) {
        for (char byte : FImeResult) PostMessage(WM_CHAR, static_cast<unsigned char>(byte));
      }
      break;
    case CM_VISIBLECHANGED:
      if (FBackend) FBackend->SetVisible(Visible());
      break;
    case WM_DROPFILES:
      // A window that does not take files passes them to the one around it.
      if (Parent() != nullptr) {
        const TPoint at = Parent()->ScreenToClient(ClientToScreen({SignedLowWord(message.LParam), SignedHighWord(message.LParam)}));
        message.Result = Parent()->Perform(WM_DROPFILES, message.WParam, MakeLong(at.X, at.Y));
      }
      break;
    case WM_CONTEXTMENU: {
      // The control's own menu at the pointer, or at the control's centre when a key
      // asked for it (-1, -1); without a menu the parent may have one.
      TPoint at{SignedLowWord(message.LParam), SignedHighWord(message.LParam)};
      if (at.X == -1 && at.Y == -1) at = ClientToScreen({ClientWidth() / 2, ClientHeight() / 2});
      if (PopupMenu() != nullptr) {
        PopupMenu()->Popup(at);
        message.Result = 1;
      } else if (Parent() != nullptr) {
        message.Result = Parent()->Perform(WM_CONTEXTMENU, message.WParam, message.LParam);
      }
      break;
    }
    default:
      TControl::DefaultHandler(message);
      break;
  }
}

// ---- Painting ----

TCanvas& TWinControl::Canvas() {
  if (!FCanvas) {
    FCanvas = std::make_unique<TCanvas>(&FBacking, &Platform().FontEngine(), &FTextLayer);
    FCanvas->SetSuppressed(!FRedraw);
    FCanvas->SetDrawListener([this](const TRect& rect) {
      // Drawing outside a paint is shown at once.
      if (!FPainting && FBackend) FBackend->Present(rect, false);
    });
  }
  return *FCanvas;
}

void TWinControl::Invalidate() { InvalidateRect(ClientRect()); }

void TWinControl::InvalidateRect(const TRect& rect) {
  const TRect area = rect.Intersect(ClientRect());
  if (area.IsEmpty()) return;
  for (const TRect& invalid : FInvalid) {
    if (invalid.ContainsRect(area)) return;
  }
  std::erase_if(FInvalid, [&](const TRect& invalid) { return area.ContainsRect(invalid); });
  FInvalid.push_back(area);
  if (FBackend) FBackend->Invalidated(area);
}

void TWinControl::Update() {
  if (!FBackend || !FRedraw || FInvalid.empty()) return;
  Perform(WM_PAINT);
}

void TWinControl::PaintInvalid() {
  if (!FBackend || FInvalid.empty()) return;
  const std::vector<TRect> region = std::move(FInvalid);
  FInvalid.clear();
  TRect bounds;
  for (const TRect& rect : region) bounds = bounds.Union(rect);
  TCanvas& canvas = Canvas();
  FPainting = true;
  try {
    canvas.SetClipRect(bounds);
    // Invalid parts are erased with the control's colour first.
    const TColor brush = canvas.BrushColor();
    const TBrushStyle style = canvas.BrushStyle();
    canvas.SetBrushColor(Color());
    canvas.SetBrushStyle(bsSolid);
    for (const TRect& rect : region) canvas.FillRect(rect);
    canvas.SetBrushColor(brush);
    canvas.SetBrushStyle(style);
    PaintWindow(canvas);
    // Graphic children are painted over their parent.
    for (TControl* control : FControls) {
      auto* graphic = dynamic_cast<TGraphicControl*>(control);
      if (graphic == nullptr || !graphic->Visible()) continue;
      const TRect clip = graphic->BoundsRect().Intersect(bounds);
      if (clip.IsEmpty()) continue;
      canvas.SetClipRect(clip);
      graphic->Paint(canvas);
    }
  } catch (...) {
    FPainting = false;
    canvas.ResetClipRect();
    throw;
  }
  FPainting = false;
  canvas.ResetClipRect();
  FBackend->Present(bounds, true);
}

void TWinControl::ScrollWindow(int dx, int dy, const TRect& rect) {
  const TRect client = ClientRect();
  const TRect area = rect.IsEmpty() ? client : rect.Intersect(client);
  if (area.IsEmpty() || (dx == 0 && dy == 0)) return;
  if (!FRedraw || std::abs(dx) >= area.Width() || std::abs(dy) >= area.Height()) {
    // Nothing of the old picture stays in view: all of it is painted anew.
    InvalidateRect(area);
    if (FRedraw) Update();
    return;
  }
  FBacking.Scroll(area, dx, dy);
  FTextLayer.Scroll(area, dx, dy);
  // What was waiting to be painted moves with the pixels.
  for (TRect& invalid : FInvalid) {
    if (area.ContainsRect(invalid)) invalid = invalid.Offset(dx, dy).Intersect(area);
  }
  std::erase_if(FInvalid, [](const TRect& invalid) { return invalid.IsEmpty(); });
  if (FBackend) FBackend->Present(area, false);
  // The uncovered strips, painted at once.
  if (dy > 0) InvalidateRect({area.Left, area.Top, area.Right, area.Top + dy});
  if (dy < 0) InvalidateRect({area.Left, area.Bottom + dy, area.Right, area.Bottom});
  if (dx > 0) InvalidateRect({area.Left, area.Top, area.Left + dx, area.Bottom});
  if (dx < 0) InvalidateRect({area.Right + dx, area.Top, area.Right, area.Bottom});
  Update();
}

void TGraphicControl::Invalidate() {
  if (Parent() != nullptr) Parent()->InvalidateRect(BoundsRect());
}

// ---- Scroll bars ----

void TWinControl::SetScrollInfo(TScrollBarKind bar, const TScrollInfo& info) {
  TScrollInfo clamped = info;
  const int highest = std::max(clamped.Min, clamped.Max - std::max(clamped.Page - 1, 0));
  clamped.Pos = std::clamp(clamped.Pos, clamped.Min, highest);
  const bool visibilityChanged = clamped.Visible != FScrollBars[bar].Visible;
  FScrollBars[bar] = clamped;
  if (!FBackend) return;
  FBackend->SetScrollInfo(bar, clamped);
  if (visibilityChanged) {
    // A scroll bar takes its room from the client area.
    ResizeBacking();
    Perform(WM_SIZE, 0, MakeLong(ClientWidth(), ClientHeight()));
    Invalidate();
  }
}

}  // namespace plomaret
