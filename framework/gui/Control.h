#pragma once
// Controls: components with a place on the screen that take window messages.
//
// A windowed control (TWinControl) gets its window from the platform when it is
// first needed. Its pixels live in a backing image owned here, the same for every
// backend: drawing outside a paint goes straight into it, invalidation collects what
// must be painted, Update paints that now (erased with Color first), and scrolling
// moves the backing pixels and paints only the strip it uncovers. The backend only
// shows the image and turns its input into messages.

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/Component.h"
#include "framework/core/Geometry.h"
#include "framework/core/Graphics.h"
#include "framework/core/Properties.h"
#include "framework/gui/Canvas.h"
#include "framework/gui/Keys.h"
#include "framework/gui/Messages.h"

namespace plomaret {

class TWinControl;
class TGraphicControl;
class TPopupMenu;

// Window styles (the Win32 values the Parts name).
inline constexpr uint32_t WS_BORDER = 0x00800000;
inline constexpr uint32_t WS_VSCROLL = 0x00200000;
inline constexpr uint32_t WS_HSCROLL = 0x00100000;
inline constexpr uint32_t WS_TABSTOP = 0x00010000;
inline constexpr uint32_t WS_EX_CLIENTEDGE = 0x00000200;

enum TScrollBarKind { sbHorizontal, sbVertical };

struct TScrollInfo {
  int Min = 0;
  int Max = 0;
  int Page = 0;
  int Pos = 0;
  int TrackPos = 0;
  bool Visible = false;
  bool operator==(const TScrollInfo&) const = default;
};

// What a backend does for one window. The framework keeps the window's state; the
// backend shows it and reports input as messages to the control.
// How a composition under way is drawn at the caret: on the control's cells, in its
// colours. A cell width of 0 draws at the font's own advances.
struct TImeCompositionStyle {
  int CellWidth = 0;  // a single-byte character's cell; a double-byte character takes two
  int Height = 0;     // of the text's cells; 0: the font's
  TColor Color = clWindowText;
  TColor Background = clWindow;
  TColor FocusColor = clHighlightText;  // the clause being converted
  TColor FocusBackground = clHighlight;
  bool operator==(const TImeCompositionStyle&) const = default;
};

class TWindowBackend {
 public:
  virtual ~TWindowBackend() = default;
  virtual void SetBounds(const TRect& bounds) = 0;
  virtual void SetVisible(bool visible) = 0;
  virtual void SetCaption(const std::string& caption) = 0;
  // The backing image changed inside rect: show it (painted tells a paint from an
  // immediate drawing).
  virtual void Present(const TRect& rect, bool painted) = 0;
  // rect was invalidated (backends may schedule a paint; the framework paints on Update).
  virtual void Invalidated(const TRect& rect) = 0;
  virtual void SetScrollInfo(TScrollBarKind bar, const TScrollInfo& info) = 0;
  virtual void CreateCaret(int width, int height) = 0;
  virtual void DestroyCaret() = 0;
  virtual void ShowCaret(bool shown) = 0;
  virtual void SetCaretPos(TPoint position) = 0;
  virtual void FocusChanged(bool focused) = 0;
  // Where the input method's composition window goes (client coordinates), which font
  // it uses, and how the composition is drawn there.
  virtual void SetImeComposition(TPoint position, const TFont& font, const TImeCompositionStyle& style) = 0;
  // Whether files dropped from other programs may land here (WM_DROPFILES).
  virtual void AcceptFiles(bool accept) {}
  // Whether the window keeps a record of the characters drawn on it (for reading
  // them back, as tests do).
  virtual bool RecordsText() const { return false; }
};

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TBorderStyle { bsNone, bsSingle };
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
enum TDragMode { dmManual, dmAutomatic };
enum TDragKind { dkDrag, dkDock };
const TTypeInfo& TypeInfoOf(TTypeTag<TAlign>);
const TTypeInfo& TypeInfoOf(TTypeTag<TBorderStyle>);
const TTypeInfo& TypeInfoOf(TTypeTag<TScrollStyle>);
const TTypeInfo& TypeInfoOf(TTypeTag<TDragMode>);
const TTypeInfo& TypeInfoOf(TTypeTag<TDragKind>);

enum TShiftStateFlag { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateFlag>;
enum TMouseButton { mbLeft, mbRight, mbMiddle };

using TMouseEvent = TEvent<TObject*, TMouseButton, TShiftState, int, int>;
using TMouseMoveEvent = TEvent<TObject*, TShiftState, int, int>;
using TKeyEvent = TEvent<TObject*, int&, TShiftState>;
using TKeyPressEvent = TEvent<TObject*, char&>;
// Sender, shift state, the point in client coordinates, and the handled flag.
using TMouseWheelUpDownEvent = TEvent<TObject*, TShiftState, TPoint, bool&>;

// The shift state carried by a mouse message's wParam.
TShiftState ShiftStateOfMouse(intptr_t wParam);
// Shift, Ctrl and Alt as the keyboard holds them now; none without a platform.
TShiftState KeyboardShiftState();

class TControl : public TComponent {
 public:
  // Bounds are clamped: coordinates to +-kMaxCoordinate, sizes to 0..kMaxCoordinate.
  static constexpr int kMaxCoordinate = 1 << 24;

  ~TControl() override;
  void BeforeDestruction() override;

  TWinControl* Parent() const { return FParent; }
  void SetParent(TWinControl* parent);

  const TRect& BoundsRect() const { return FBounds; }
  void SetBounds(int left, int top, int width, int height);
  int Left() const { return FBounds.Left; }
  int Top() const { return FBounds.Top; }
  int Width() const { return FBounds.Width(); }
  int Height() const { return FBounds.Height(); }
  bool Visible() const { return FVisible; }
  void SetVisible(bool visible);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool enabled);
  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign align);
  TColor Color() const { return FColor; }
  void SetColor(TColor color);
  TFont& Font() const { return *FFont; }
  TFont* FontObject() const { return FFont.get(); }
  void SetFont(const TFont& font) { FFont->Assign(font); }
  const std::string& Text() const { return FText; }
  void SetText(const std::string& text);
  int Cursor() const { return FCursor; }
  void SetCursor(int cursor) { FCursor = cursor; }
  // Take the parent's colour or font, and follow it when it changes.
  bool ParentColor() const { return FParentColor; }
  void SetParentColor(bool value);
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool value);
  // Published for the form description; no behaviour of their own here.
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& hint) { FHint = hint; }
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool value) { FShowHint = value; }
  int DragCursor() const { return FDragCursor; }
  void SetDragCursor(int cursor) { FDragCursor = cursor; }
  TDragMode DragMode() const { return FDragMode; }
  void SetDragMode(TDragMode mode) { FDragMode = mode; }
  TDragKind DragKind() const { return FDragKind; }
  void SetDragKind(TDragKind kind) { FDragKind = kind; }
  TPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TPopupMenu* menu);

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  void AfterConstruction() override;

  // A control is written in images under its parent; a read one goes under a
  // windowed parent.
  bool HasParent() const override { return true; }
  void SetParentComponent(TComponent* parent) override;

  // Runs a message through the control's window procedure now; returns its result.
  int32_t Perform(uint32_t msg, intptr_t wParam = 0, intptr_t lParam = 0);
  // The same, as other code sends a message to a window.
  int32_t SendMessage(uint32_t msg, intptr_t wParam = 0, intptr_t lParam = 0) { return Perform(msg, wParam, lParam); }
  virtual void WndProc(TMessage& message);

  // Input events, raised by the default handling of the input messages.
  TNotifyEvent OnClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TMouseWheelUpDownEvent OnMouseWheelDown;
  TMouseWheelUpDownEvent OnMouseWheelUp;
  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;
  TNotifyEvent OnResize;
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;

 protected:
  TControl();
  // What no handler took: the system's part.
  virtual void DefaultHandler(TMessage& message);
  virtual void BoundsChanged() {}
  void FontChanged(TObject* sender);
  void Notification(TComponent* component, TOperation operation) override;
  // The parent's colour or font changed.
  virtual void ParentColorChanged();
  virtual void ParentFontChanged();
  virtual void Click() { OnClick(this); }
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y) { OnMouseDown(this, button, shift, x, y); }
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y) { OnMouseUp(this, button, shift, x, y); }
  virtual void MouseMove(TShiftState shift, int x, int y) { OnMouseMove(this, shift, x, y); }
  // One wheel notch: down (towards the user) or up; true when a handler took it.
  virtual bool MouseWheel(bool down, TShiftState shift, TPoint point);
  virtual void KeyDown(int& key, TShiftState shift) { OnKeyDown(this, key, shift); }
  virtual void KeyUp(int& key, TShiftState shift) { OnKeyUp(this, key, shift); }
  virtual void KeyPress(char& key) { OnKeyPress(this, key); }

 private:
  friend class TWinControl;
  TWinControl* FParent = nullptr;
  TRect FBounds;
  bool FVisible = true;
  bool FEnabled = true;
  TAlign FAlign = alNone;
  TColor FColor = clBtnFace;
  TOwned<TFont> FFont;
  std::string FText;
  int FCursor = 0;
  bool FParentColor = false;
  bool FParentFont = true;
  std::string FHint;
  bool FShowHint = false;
  int FDragCursor = -12;
  TDragMode FDragMode = dmManual;
  TDragKind FDragKind = dkDrag;
  TPopupMenu* FPopupMenu = nullptr;
  bool FTakingParentFont = false;
};

class TWinControl : public TControl {
 public:
  ~TWinControl() override;
  void BeforeDestruction() override;

  // The window: made on first need (by the platform's backend), kept until freed.
  bool HandleAllocated() const { return FBackend != nullptr; }
  void HandleNeeded();
  // Makes the window again (a style changed), keeping the control's state.
  void RecreateWnd();
  TWindowBackend* Backend() const { return FBackend.get(); }

  int ControlCount() const { return static_cast<int>(FControls.size()); }
  TControl* Controls(int index) const { return FControls.at(static_cast<size_t>(index)); }
  // Also the child controls that root owns.
  void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;

  // Styles, from CreateParams; the border and the scroll bars take room from the client area.
  uint32_t Style() const;
  uint32_t ExStyle() const;
  TRect ClientRect() const;
  int ClientWidth() const { return ClientRect().Width(); }
  int ClientHeight() const { return ClientRect().Height(); }
  static int BorderWidth(uint32_t style, uint32_t exStyle);
  static int ScrollBarSize() { return 17; }
  // Screen position of the client area's top left corner, and conversions.
  TPoint ClientOrigin() const;
  TPoint ScreenToClient(TPoint screen) const;
  TPoint ClientToScreen(TPoint client) const;
  // The pointer in client coordinates now (a drop reads it).
  TPoint CursorPosInClient() const;
  // The framework's own left-button flag: set by WM_LBUTTONDOWN, ended by any
  // WM_LBUTTONUP (a synthetic one too), whatever the physical button does.
  static bool LeftButtonDown();

  // Messages posted to this window wait in its queue until the pump takes them.
  void PostMessage(uint32_t msg, intptr_t wParam = 0, intptr_t lParam = 0);
  // The first queued message within [first, last] (all when both are 0); removed when asked.
  bool PeekMessage(TMessage& message, uint32_t first, uint32_t last, bool remove);
  // Dispatches every queued message; returns how many.
  int ProcessMessages();

  // Painting.
  TCanvas& Canvas();
  const TRaster& BackingImage() const { return FBacking; }
  const TTextLayer& TextLayer() const { return FTextLayer; }
  void Invalidate();
  void InvalidateRect(const TRect& rect);
  const std::vector<TRect>& InvalidRegion() const { return FInvalid; }
  // Paints what is invalid now.
  void Update();
  // Moves the pixels of rect (client coordinates; the whole client area when empty)
  // by (dx, dy), then paints the strip that was uncovered.
  void ScrollWindow(int dx, int dy, const TRect& rect = {});
  bool Redraw() const { return FRedraw; }

  // Keyboard navigation: whether Tab stops here, and where in the parent's order.
  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool value) { FTabStop = value; }
  int TabOrder() const;
  void SetTabOrder(int order);
  // The first visible, enabled tab stop inside this window, in tab order (depth first).
  TWinControl* FirstTabStop() const;
  // Whether control is this window or lies inside it.
  bool ContainsControl(const TControl* control) const;
  // The 3-D look (a sunken client edge); changing it makes the window again.
  bool Ctl3D() const { return FCtl3D; }
  void SetCtl3D(bool value);

  // Focus and capture: one control of the program each.
  void SetFocus();
  bool Focused() const { return FocusedControl() == this; }
  static TWinControl* FocusedControl();
  void SetCapture();
  static void ReleaseCapture();
  static TWinControl* CaptureControl();

  // The caret: one shape, shown when the show count is positive.
  void CreateCaret(int width, int height);
  void DestroyCaret();
  void ShowCaret();
  void HideCaret();
  void SetCaretPos(TPoint position);
  bool CaretExists() const { return FCaretSize.Width > 0; }
  bool CaretVisible() const { return CaretExists() && FCaretShows > 0; }
  TPoint CaretPos() const { return FCaretPos; }
  TSize CaretSize() const { return FCaretSize; }

  // Places the aligned children (top, bottom, left, right, then client) in the client area.
  void Realign();
  // The graphic child under a point of the client area, or nullptr.
  TGraphicControl* GraphicControlAt(TPoint point) const;

  // The input method: the result string of the composition being delivered (CP932),
  // and where its composition window goes.
  const std::string& ImeResultString() const { return FImeResult; }
  void SetImeResultString(const std::string& result) { FImeResult = result; }
  void SetImeCompositionWindow(TPoint position, const TFont& font, const TImeCompositionStyle& style = {});
  TPoint ImeCompositionPosition() const { return FImePosition; }
  // Delivers a finished composition as the system does: WM_IME_STARTCOMPOSITION,
  // WM_IME_COMPOSITION with GCS_RESULTSTR, WM_IME_ENDCOMPOSITION; the default
  // handling of the composition then posts the same bytes as WM_CHAR messages.
  void DeliverImeResult(const std::string& result);

  // Scroll bars.
  const TScrollInfo& ScrollInfo(TScrollBarKind bar) const { return FScrollBars[bar]; }
  void SetScrollInfo(TScrollBarKind bar, const TScrollInfo& info);

  // A key that is a shortcut of this window (a form's commands): taken before the key
  // reaches the focused control, so it types nothing (the system's accelerators).
  virtual bool IsShortCut(TShortCut shortCut) { return false; }
  // Files dropped from other programs come as WM_DROPFILES (wParam: the TDroppedFiles,
  // lParam: the client point) to the nearest window that accepts them.
  bool AcceptsFiles() const { return FAcceptsFiles; }
  void DragAcceptFiles(bool accept);

  void WndProc(TMessage& message) override;

 protected:
  TWinControl() = default;
  // The styles this control's window is made with.
  virtual void CreateParams(uint32_t& style, uint32_t& exStyle) const {}
  // The window was made (the canvas and sizes are valid from now on).
  virtual void CreateWnd();
  virtual void DestroyWnd();
  // Paints the invalid part; the canvas is clipped to it.
  virtual void PaintWindow(TCanvas& canvas) {}
  void DefaultHandler(TMessage& message) override;
  void BoundsChanged() override;

 private:
  friend class TControl;
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  void ResizeBacking();
  void PaintInvalid();
  void PushCaret();

  std::vector<TControl*> FControls;  // children, not owned (their owner frees them)
  TGraphicControl* FMouseTarget = nullptr;  // the graphic child a button press went to
  std::unique_ptr<TWindowBackend> FBackend;
  std::deque<TMessage> FQueue;
  TRaster FBacking;
  TTextLayer FTextLayer;
  std::unique_ptr<TCanvas> FCanvas;
  std::vector<TRect> FInvalid;
  bool FRedraw = true;
  bool FPainting = false;
  TScrollInfo FScrollBars[2];
  TSize FCaretSize;
  TPoint FCaretPos;
  int FCaretShows = 0;
  std::string FImeResult;
  TPoint FImePosition;
  bool FTabStop = false;
  bool FCtl3D = true;
  bool FAcceptsFiles = false;
  std::vector<TWinControl*> FTabList;  // windowed children in tab order
  friend class TControl;

 public:
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
};

// The paths of the files of a drop, in the system's encoding.
using TDroppedFiles = std::vector<std::string>;

// A control without a window of its own: its parent paints it and hands it the mouse.
class TGraphicControl : public TControl {
 public:
  // Paints the control on its parent's canvas, in the parent's client coordinates.
  virtual void Paint(TCanvas& canvas) {}
  void Invalidate();

 protected:
  TGraphicControl() = default;
};

// A windowed control that paints itself.
class TCustomControl : public TWinControl {
 protected:
  virtual void Paint() {}
  void PaintWindow(TCanvas& canvas) override { Paint(); }
};

}  // namespace plomaret
