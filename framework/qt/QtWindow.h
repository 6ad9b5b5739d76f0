#pragma once
// The window of a control on Qt: a QWidget that shows the control's backing image,
// its border, scroll bars and caret, and turns Qt's input into the control's messages.

#include <QFont>
#include <QPointer>
#include <QRegion>
#include <QString>
#include <memory>

#include "framework/gui/Control.h"
#include "framework/gui/SystemInput.h"
#include "framework/qt/QtPreedit.h"

class QCloseEvent;
class QDropEvent;
class QFocusEvent;
class QInputMethodEvent;
class QKeyEvent;
class QMouseEvent;
class QPaintEvent;
class QScrollBar;
class QTimer;
class QWheelEvent;
class QWidget;

namespace plomaret {

class TQtWindowWidget;

class TQtWindow : public TWindowBackend {
 public:
  explicit TQtWindow(TWinControl& control);
  ~TQtWindow() override;

  void SetBounds(const TRect& bounds) override;
  void SetVisible(bool visible) override;
  void SetCaption(const std::string& caption) override;
  void Present(const TRect& rect, bool painted) override;
  void Invalidated(const TRect& rect) override;
  void SetScrollInfo(TScrollBarKind bar, const TScrollInfo& info) override;
  void CreateCaret(int width, int height) override;
  void DestroyCaret() override;
  void ShowCaret(bool shown) override;
  void SetCaretPos(TPoint position) override;
  void FocusChanged(bool focused) override;
  void SetImeComposition(TPoint position, const TFont& font, const TImeCompositionStyle& style) override;
  void AcceptFiles(bool accept) override;

  TWinControl& Control() const { return FControl; }
  // The widget (nullptr once Qt has deleted it with a parent window).
  QWidget* Widget() const;
  QScrollBar* ScrollBar(TScrollBarKind bar) const;
  // The client area's origin inside the widget: the border's width.
  int Border() const;
  // Whether the caret is drawn at this moment of its blink.
  bool CaretDrawn() const;

 private:
  friend class TQtWindowWidget;
  enum TMouseKind { mkPress, mkRelease, mkDoubleClick, mkMove };

  // From the widget.
  void Paint(QPaintEvent& event);
  void Key(QKeyEvent& event, bool press);
  void Mouse(QMouseEvent& event, TMouseKind kind);
  void Wheel(QWheelEvent& event, QPoint widgetPoint);
  void InputMethod(QInputMethodEvent& event);
  QVariant InputMethodQuery(int query) const;
  void FocusIn();
  void Activated();
  void Dropped(QDropEvent& event);
  void FocusOut(QFocusEvent& event);
  void Resized();
  void Moved();
  void CloseRequested(QCloseEvent& event);
  void MouseCrossed(bool entered);
  bool WantsTab();
  void ScrollAction(TScrollBarKind bar, int action);
  void ScrollTrack(TScrollBarKind bar, int position);
  void ScrollReleased(TScrollBarKind bar);
  void ScrollClickEnded(TScrollBarKind bar);

  void LayoutScrollBars();
  void ParkChildWindows();
  void AdoptChildWindows();
  void UpdateCursor();
  void UpdateCaretArea();
  void RestartBlink();
  QRect ClientArea() const;
  QRect CaretRect() const;
  QPoint CompositionOrigin() const;
  QFont CompositionFont() const;
  TQtPreeditLayout PreeditLayout() const;
  void UpdateInputMethod() const;

  TWinControl& FControl;
  QPointer<TQtWindowWidget> FWidget;
  QPointer<QScrollBar> FBars[2];
  QPointer<QTimer> FBlink;
  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
  TScrollInfo FScrollInfo[2];
  bool FScrollClicked[2] = {false, false};
  bool FApplying = false;      // the framework is moving or hiding the widget
  bool FPainting = false;
  QRegion FPaintRegion;
  TSize FCaretSize;
  TPoint FCaretPos;
  bool FCaretShown = false;
  bool FCaretPhase = true;
  bool FHasComposition = false;
  TPoint FCompositionPos;
  QFont FCompositionFont;
  TImeCompositionStyle FCompositionStyle;
  TQtPreedit FPreedit;
  bool FFocusSuspended = false;  // WM_KILLFOCUS went out while the framework focus stayed
  TWheelNotches FWheel;
  int FCursorShown = 0x7FFFFFFF;
};

// The Qt window of a control, or nullptr.
TQtWindow* QtWindowOf(const TWinControl& control);

}  // namespace plomaret
