#include "QtWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QFocusEvent>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>
#include <QWidget>

#include "framework/core/CodePage.h"
#include "framework/gui/Forms.h"
#include "framework/gui/Keys.h"
#include "framework/gui/SystemInput.h"
#include "framework/qt/QtKeys.h"
#include "framework/qt/QtPlatform.h"

namespace plomaret {

// The widget only forwards to its window; once the window is gone (the control was
// freed while Qt still delivers to the widget) it ignores everything.
class TQtWindowWidget : public QWidget {
 public:
  TQtWindowWidget(TQtWindow* owner, QWidget* parent) : QWidget(parent), FOwner(owner) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_InputMethodEnabled);
    setMouseTracking(true);
  }
  TQtWindow* Owner() const { return FOwner; }
  void Detach() { FOwner = nullptr; }
  // Inside one of its own event handlers: it must not be deleted now.
  bool Busy() const { return FDepth > 0; }

 protected:
  bool event(QEvent* event) override {
    // This one deletes the widget: nothing of it may be touched afterwards.
    if (event->type() == QEvent::DeferredDelete) return QWidget::event(event);
    ++FDepth;
    bool result = true;
    if (event->type() == QEvent::WindowActivate && isWindow()) Forward([](TQtWindow& o) { o.Activated(); });
    // Tab moves the focus unless the control asks for it (WM_GETDLGCODE).
    if (event->type() == QEvent::KeyPress && IsTab(*static_cast<QKeyEvent*>(event)) && Wants([](TQtWindow& o) { return o.WantsTab(); })) {
      keyPressEvent(static_cast<QKeyEvent*>(event));
    } else {
      result = QWidget::event(event);
    }
    --FDepth;
    return result;
  }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (FOwner == nullptr) return false;
    for (TScrollBarKind bar : {sbHorizontal, sbVertical}) {
      QScrollBar* scroll = FOwner->ScrollBar(bar);
      if (watched != scroll) continue;
      if (event->type() == QEvent::Wheel) {
        // The wheel scrolls the control, as the system sends it to the window.
        auto* wheel = static_cast<QWheelEvent*>(event);
        Forward([&](TQtWindow& o) { o.Wheel(*wheel, scroll->mapTo(this, wheel->position().toPoint())); });
        return true;
      }
      if (event->type() == QEvent::MouseButtonRelease) Forward([&](TQtWindow& o) { o.ScrollClickEnded(bar); });
    }
    return false;
  }
  void paintEvent(QPaintEvent* event) override {
    if (FOwner != nullptr) FOwner->Paint(*event);
  }
  void keyPressEvent(QKeyEvent* event) override { Forward([&](TQtWindow& o) { o.Key(*event, true); }); }
  void keyReleaseEvent(QKeyEvent* event) override { Forward([&](TQtWindow& o) { o.Key(*event, false); }); }
  void mousePressEvent(QMouseEvent* event) override { Forward([&](TQtWindow& o) { o.Mouse(*event, TQtWindow::mkPress); }); }
  void mouseReleaseEvent(QMouseEvent* event) override {
    Forward([&](TQtWindow& o) { o.Mouse(*event, TQtWindow::mkRelease); });
  }
  void mouseDoubleClickEvent(QMouseEvent* event) override {
    Forward([&](TQtWindow& o) { o.Mouse(*event, TQtWindow::mkDoubleClick); });
  }
  void mouseMoveEvent(QMouseEvent* event) override { Forward([&](TQtWindow& o) { o.Mouse(*event, TQtWindow::mkMove); }); }
  void wheelEvent(QWheelEvent* event) override {
    Forward([&](TQtWindow& o) { o.Wheel(*event, event->position().toPoint()); });
  }
  void inputMethodEvent(QInputMethodEvent* event) override { Forward([&](TQtWindow& o) { o.InputMethod(*event); }); }
  QVariant inputMethodQuery(Qt::InputMethodQuery query) const override {
    QVariant answer = FOwner != nullptr ? FOwner->InputMethodQuery(query) : QVariant();
    return answer.isValid() ? answer : QWidget::inputMethodQuery(query);
  }
  void focusInEvent(QFocusEvent*) override { Forward([](TQtWindow& o) { o.FocusIn(); }); }
  void focusOutEvent(QFocusEvent* event) override { Forward([&](TQtWindow& o) { o.FocusOut(*event); }); }
  void resizeEvent(QResizeEvent*) override { Forward([](TQtWindow& o) { o.Resized(); }); }
  void moveEvent(QMoveEvent*) override { Forward([](TQtWindow& o) { o.Moved(); }); }
  void closeEvent(QCloseEvent* event) override {
    event->accept();
    Forward([&](TQtWindow& o) { o.CloseRequested(*event); });
  }
  void enterEvent(QEnterEvent*) override { Forward([](TQtWindow& o) { o.MouseCrossed(true); }); }
  void leaveEvent(QEvent*) override { Forward([](TQtWindow& o) { o.MouseCrossed(false); }); }
  // Files from other programs: only a window whose control accepts them takes the drop.
  void dragEnterEvent(QDragEnterEvent* event) override {
    if (FOwner != nullptr && event->mimeData()->hasUrls()) event->acceptProposedAction();
  }
  void dragMoveEvent(QDragMoveEvent* event) override {
    if (FOwner != nullptr && event->mimeData()->hasUrls()) event->acceptProposedAction();
  }
  void dropEvent(QDropEvent* event) override { Forward([&](TQtWindow& o) { o.Dropped(*event); }); }
  // The right button's release makes the context menu message; Qt's own would reach the parent.
  void contextMenuEvent(QContextMenuEvent* event) override { event->accept(); }

 private:
  static bool IsTab(const QKeyEvent& event) {
    return (event.key() == Qt::Key_Tab || event.key() == Qt::Key_Backtab) &&
           (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier)) == 0;
  }
  template <class F>
  void Forward(F&& handler) {
    if (FOwner == nullptr) return;
    RunGuarded([&] {
      if (FOwner != nullptr) handler(*FOwner);
    });
  }
  template <class F>
  bool Wants(F&& question) {
    bool answer = false;
    Forward([&](TQtWindow& o) { answer = question(o); });
    return answer;
  }

  TQtWindow* FOwner;
  int FDepth = 0;
};

namespace {

QColor QtColor(TColor color) { return QColor::fromRgb(PixelOf(color) | 0xFF000000u); }

uint32_t ScrollMessage(TScrollBarKind bar) { return bar == sbVertical ? WM_VSCROLL : WM_HSCROLL; }

// The buttons held and the keys, as the system's input has them.
TMouseInput MouseInputOf(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
  TMouseInput mouse;
  mouse.LeftHeld = (buttons & Qt::LeftButton) != 0;
  mouse.RightHeld = (buttons & Qt::RightButton) != 0;
  mouse.MiddleHeld = (buttons & Qt::MiddleButton) != 0;
  mouse.Modifiers.Shift = (modifiers & Qt::ShiftModifier) != 0;
  mouse.Modifiers.Ctrl = (modifiers & Qt::ControlModifier) != 0;
  mouse.Modifiers.Alt = (modifiers & Qt::AltModifier) != 0;
  return mouse;
}

// WS_BORDER is a line in the frame colour; WS_EX_CLIENTEDGE the sunken 3-D edge inside it.
void DrawFrame(QPainter& painter, uint32_t style, uint32_t exStyle, QSize size) {
  int inset = 0;
  const int right = size.width() - 1;
  const int bottom = size.height() - 1;
  if ((style & WS_BORDER) != 0) {
    painter.setPen(QtColor(clWindowFrame));
    painter.drawRect(0, 0, right, bottom);
    inset = 1;
  }
  if ((exStyle & WS_EX_CLIENTEDGE) == 0) return;
  const TColor shades[2][2] = {{clBtnShadow, clBtnHighlight}, {cl3DDkShadow, cl3DLight}};
  for (int ring = 0; ring < 2; ++ring) {
    const int at = inset + ring;
    painter.setPen(QtColor(shades[ring][0]));
    painter.drawLine(at, at, right - at, at);
    painter.drawLine(at, at, at, bottom - at);
    painter.setPen(QtColor(shades[ring][1]));
    painter.drawLine(at, bottom - at, right - at, bottom - at);
    painter.drawLine(right - at, at, right - at, bottom - at);
  }
}

}  // namespace

TQtWindow* QtWindowOf(const TWinControl& control) { return dynamic_cast<TQtWindow*>(control.Backend()); }

TQtWindow::TQtWindow(TWinControl& control) : FControl(control) {
  QWidget* parentWidget = nullptr;
  if (TWinControl* parent = control.Parent()) {
    parent->HandleNeeded();
    if (TQtWindow* window = QtWindowOf(*parent)) parentWidget = window->Widget();
  }
  auto* widget = new TQtWindowWidget(this, parentWidget);
  FWidget = widget;
  // Only controls that are tab stops take the focus by themselves.
  widget->setFocusPolicy((control.Style() & WS_TABSTOP) != 0 ? Qt::StrongFocus : Qt::NoFocus);
  for (TScrollBarKind bar : {sbHorizontal, sbVertical}) {
    auto* scroll = new QScrollBar(bar == sbVertical ? Qt::Vertical : Qt::Horizontal, widget);
    scroll->setFocusPolicy(Qt::NoFocus);
    // The control moves the thumb: a drag reports positions without changing the value.
    scroll->setTracking(false);
    scroll->setCursor(Qt::ArrowCursor);
    scroll->hide();
    scroll->installEventFilter(widget);
    auto forward = [widget](auto&& handler) {
      RunGuarded([&] {
        if (TQtWindow* owner = widget->Owner()) handler(*owner);
      });
    };
    QObject::connect(scroll, &QAbstractSlider::actionTriggered, widget,
                     [forward, bar](int action) { forward([&](TQtWindow& o) { o.ScrollAction(bar, action); }); });
    QObject::connect(scroll, &QAbstractSlider::sliderMoved, widget,
                     [forward, bar](int position) { forward([&](TQtWindow& o) { o.ScrollTrack(bar, position); }); });
    QObject::connect(scroll, &QAbstractSlider::sliderReleased, widget,
                     [forward, bar] { forward([&](TQtWindow& o) { o.ScrollReleased(bar); }); });
    FBars[bar] = scroll;
  }
  FBlink = new QTimer(widget);
  FBlink->setInterval(500);
  QObject::connect(FBlink, &QTimer::timeout, widget, [widget] {
    if (TQtWindow* owner = widget->Owner()) {
      owner->FCaretPhase = !owner->FCaretPhase;
      owner->UpdateCaretArea();
    }
  });
  AdoptChildWindows();
  UpdateCursor();
}

TQtWindow::~TQtWindow() {
  *FAlive = false;
  if (!FWidget) return;
  FWidget->Detach();
  ParkChildWindows();
  if (QCoreApplication::instance() == nullptr) return;
  FWidget->hide();
  if (FWidget->Busy()) {
    FWidget->deleteLater();
  } else {
    delete FWidget.data();
  }
}

// The windows of child controls outlive this one (it may be re-created): they wait
// without a parent until the control's next window takes them back.
void TQtWindow::ParkChildWindows() {
  const QObjectList children = FWidget->children();
  for (QObject* child : children) {
    auto* widget = dynamic_cast<TQtWindowWidget*>(child);
    if (widget == nullptr || widget->Owner() == nullptr) continue;
    widget->hide();
    widget->setParent(nullptr);
  }
}

void TQtWindow::AdoptChildWindows() {
  for (int i = 0; i < FControl.ControlCount(); ++i) {
    auto* child = dynamic_cast<TWinControl*>(FControl.Controls(i));
    TQtWindow* window = child != nullptr ? QtWindowOf(*child) : nullptr;
    if (window == nullptr || !window->FWidget || window->FWidget->parentWidget() != nullptr) continue;
    window->FWidget->setParent(FWidget);
    window->SetBounds(child->BoundsRect());
    window->SetVisible(child->Visible());
  }
}

QWidget* TQtWindow::Widget() const { return FWidget.data(); }

QScrollBar* TQtWindow::ScrollBar(TScrollBarKind bar) const { return FBars[bar].data(); }

int TQtWindow::Border() const { return TWinControl::BorderWidth(FControl.Style(), FControl.ExStyle()); }

QRect TQtWindow::ClientArea() const {
  const int border = Border();
  return {border, border, FControl.ClientWidth(), FControl.ClientHeight()};
}

// ---- What the framework tells the window ----

void TQtWindow::SetBounds(const TRect& bounds) {
  if (!FWidget) return;
  FApplying = true;
  if (FWidget->isWindow()) {
    if (FWidget->pos() != QPoint(bounds.Left, bounds.Top)) FWidget->move(bounds.Left, bounds.Top);
    FWidget->resize(bounds.Width(), bounds.Height());
  } else {
    // A child's bounds are in its parent's client area, inside the parent's border.
    const TWinControl* parent = FControl.Parent();
    const int offset = parent != nullptr ? TWinControl::BorderWidth(parent->Style(), parent->ExStyle()) : 0;
    FWidget->setGeometry(bounds.Left + offset, bounds.Top + offset, bounds.Width(), bounds.Height());
  }
  FApplying = false;
  LayoutScrollBars();
}

void TQtWindow::SetVisible(bool visible) {
  if (!FWidget) return;
  FApplying = true;
  FWidget->setVisible(visible);
  FApplying = false;
}

void TQtWindow::SetCaption(const std::string& caption) {
  if (FWidget) FWidget->setWindowTitle(DisplayText(caption));
}

void TQtWindow::Present(const TRect& rect, bool) {
  if (!FWidget) return;
  const QRect area = QRect(rect.Left, rect.Top, rect.Width(), rect.Height()).translated(Border(), Border());
  // What the paint under way will show anyway needs no second paint.
  if (FPainting && (QRegion(area) - FPaintRegion).isEmpty()) return;
  FWidget->update(area);
}

void TQtWindow::Invalidated(const TRect& rect) {
  if (FWidget) FWidget->update(QRect(rect.Left, rect.Top, rect.Width(), rect.Height()).translated(Border(), Border()));
}

void TQtWindow::SetScrollInfo(TScrollBarKind bar, const TScrollInfo& info) {
  FScrollInfo[bar] = info;
  QScrollBar* scroll = FBars[bar].data();
  if (scroll == nullptr) return;
  {
    const QSignalBlocker quiet(scroll);
    scroll->setRange(info.Min, std::max(info.Min, info.Max - std::max(info.Page - 1, 0)));
    scroll->setPageStep(std::max(info.Page, 1));
    // During a drag the thumb stays under the pointer.
    if (!scroll->isSliderDown()) scroll->setValue(info.Pos);
  }
  scroll->setVisible(info.Visible);
  LayoutScrollBars();
}

void TQtWindow::LayoutScrollBars() {
  if (!FWidget) return;
  const int border = Border();
  const int size = TWinControl::ScrollBarSize();
  const int width = FWidget->width();
  const int height = FWidget->height();
  const bool vertical = FScrollInfo[sbVertical].Visible;
  const bool horizontal = FScrollInfo[sbHorizontal].Visible;
  if (FBars[sbVertical]) {
    FBars[sbVertical]->setGeometry(width - border - size, border, size,
                                   std::max(0, height - 2 * border - (horizontal ? size : 0)));
  }
  if (FBars[sbHorizontal]) {
    FBars[sbHorizontal]->setGeometry(border, height - border - size,
                                     std::max(0, width - 2 * border - (vertical ? size : 0)), size);
  }
}

// ---- Caret ----

QRect TQtWindow::CaretRect() const {
  return QRect(FCaretPos.X, FCaretPos.Y, FCaretSize.Width, FCaretSize.Height).translated(Border(), Border());
}

bool TQtWindow::CaretDrawn() const { return FCaretSize.Width > 0 && FCaretShown && FCaretPhase; }

void TQtWindow::UpdateCaretArea() {
  if (!FWidget) return;
  if (!FPreedit.Empty()) {
    FWidget->update();
  } else if (FCaretSize.Width > 0) {
    FWidget->update(CaretRect());
  }
}

void TQtWindow::RestartBlink() {
  FCaretPhase = true;
  if (!FBlink) return;
  if (FCaretShown) {
    FBlink->start();
  } else {
    FBlink->stop();
  }
}

void TQtWindow::CreateCaret(int width, int height) {
  UpdateCaretArea();
  FCaretSize = {width, height};
  FCaretShown = false;
  RestartBlink();
}

void TQtWindow::DestroyCaret() {
  UpdateCaretArea();
  FCaretSize = {};
  FCaretShown = false;
  RestartBlink();
}

void TQtWindow::ShowCaret(bool shown) {
  if (shown == FCaretShown) return;
  FCaretShown = shown;
  RestartBlink();
  UpdateCaretArea();
}

void TQtWindow::SetCaretPos(TPoint position) {
  if (position == FCaretPos) return;
  UpdateCaretArea();
  FCaretPos = position;
  RestartBlink();
  UpdateCaretArea();
  UpdateInputMethod();
}

// ---- Activation and drops ----

void TQtWindow::Activated() { FControl.Perform(WM_ACTIVATE, 1); }

void TQtWindow::AcceptFiles(bool accept) {
  if (FWidget) FWidget->setAcceptDrops(accept);
}

void TQtWindow::Dropped(QDropEvent& event) {
  TDroppedFiles files;
  for (const QUrl& url : event.mimeData()->urls()) {
    if (url.isLocalFile()) files.push_back(QFile::encodeName(url.toLocalFile()).toStdString());
  }
  if (files.empty()) return;
  event.acceptProposedAction();
  const QPoint at = event.position().toPoint() - QPoint(Border(), Border());
  FControl.Perform(WM_DROPFILES, reinterpret_cast<intptr_t>(&files), MakeLong(at.x(), at.y()));
}

// ---- Focus ----

void TQtWindow::FocusChanged(bool focused) {
  FFocusSuspended = false;
  if (!focused || !FWidget || FWidget->hasFocus()) return;
  FWidget->setFocus(Qt::OtherFocusReason);
  // Focus given to a window of another of the program's top-level windows activates it.
  if (QApplication::activeWindow() != nullptr && FWidget->isVisible() && !FWidget->isActiveWindow()) {
    FWidget->activateWindow();
  }
}

void TQtWindow::FocusIn() {
  if (TWinControl::FocusedControl() != &FControl) {
    FFocusSuspended = false;
    FControl.SetFocus();
  } else if (FFocusSuspended) {
    FFocusSuspended = false;
    FControl.Perform(WM_SETFOCUS);
  }
  UpdateInputMethod();
}

void TQtWindow::FocusOut(QFocusEvent& event) {
  // A popup menu leaves the focus where it is, as the system's menus do.
  if (event.reason() == Qt::PopupFocusReason) return;
  // Focus moving to another of the program's windows is the framework's move (FocusIn there).
  auto* next = dynamic_cast<TQtWindowWidget*>(QApplication::focusWidget());
  if (next != nullptr && next->Owner() != nullptr) return;
  if (TWinControl::FocusedControl() != &FControl || FFocusSuspended) return;
  // The program lost the keyboard: the control hears of it, the framework focus stays.
  FFocusSuspended = true;
  if (TQtPlatform* platform = QtPlatform()) platform->ForgetKeys();
  FControl.Perform(WM_KILLFOCUS);
}

bool TQtWindow::WantsTab() {
  return (FControl.Perform(WM_GETDLGCODE) & (DLGC_WANTTAB | DLGC_WANTALLKEYS)) != 0;
}

// ---- Size, position, closing ----

void TQtWindow::Resized() {
  LayoutScrollBars();
  if (FApplying || !FWidget) return;
  const QSize size = FWidget->size();
  if (size.width() == FControl.Width() && size.height() == FControl.Height()) return;
  FControl.SetBounds(FControl.Left(), FControl.Top(), size.width(), size.height());
}

void TQtWindow::Moved() {
  if (FApplying || !FWidget || !FWidget->isWindow()) return;
  const QPoint at = FWidget->pos();
  if (at.x() == FControl.Left() && at.y() == FControl.Top()) return;
  FControl.SetBounds(at.x(), at.y(), FControl.Width(), FControl.Height());
}

void TQtWindow::CloseRequested(QCloseEvent& event) {
  event.ignore();
  const std::shared_ptr<bool> alive = FAlive;
  FControl.Perform(WM_CLOSE);
  if (!*alive) {
    event.accept();
    return;
  }
  // A form decides for itself and hides when it closes; any other window closes.
  if (FControl.Visible() && dynamic_cast<TForm*>(&FControl) == nullptr) FControl.SetVisible(false);
  if (!FControl.Visible()) event.accept();
}

// ---- Painting ----

void TQtWindow::Paint(QPaintEvent& event) {
  const std::shared_ptr<bool> alive = FAlive;
  // What is invalid is painted into the backing image first, then shown.
  FPainting = true;
  FPaintRegion = event.region();
  RunGuarded([this] { FControl.Update(); });
  if (!*alive || !FWidget) return;
  FPainting = false;
  if (FWidget->width() <= 0 || FWidget->height() <= 0) return;

  QPainter painter(FWidget);
  DrawFrame(painter, FControl.Style(), FControl.ExStyle(), FWidget->size());
  const int border = Border();
  const TRaster& image = FControl.BackingImage();
  if (image.Width() > 0 && image.Height() > 0) {
    const QImage view(reinterpret_cast<const uchar*>(image.Data()), image.Width(), image.Height(), image.Width() * 4,
                      QImage::Format_RGB32);
    painter.drawImage(QPoint(border, border), view);
  }
  if (FScrollInfo[sbVertical].Visible && FScrollInfo[sbHorizontal].Visible) {
    const int size = TWinControl::ScrollBarSize();
    painter.fillRect(FWidget->width() - border - size, FWidget->height() - border - size, size, size,
                     QtColor(clBtnFace));
  }

  painter.setClipRect(ClientArea());
  if (!FPreedit.Empty()) {
    PreeditLayout().Draw(painter, FCaretSize.Width, FPreedit.CursorVisible);
  } else if (CaretDrawn()) {
    // The caret inverts what is under it.
    const QRect caret = CaretRect().intersected(ClientArea());
    if (!caret.isEmpty()) {
      QImage inverted(caret.size(), QImage::Format_RGB32);
      for (int y = 0; y < caret.height(); ++y) {
        for (int x = 0; x < caret.width(); ++x) {
          const TPixel under = image.Pixel(caret.x() - border + x, caret.y() - border + y);
          inverted.setPixel(x, y, 0xFF000000u | (~under & 0x00FFFFFFu));
        }
      }
      painter.drawImage(caret.topLeft(), inverted);
    }
  }
}

// ---- Input ----

void TQtWindow::Key(QKeyEvent& event, bool press) {
  event.accept();
  // A held key repeats as key-downs with the repeat bit; Qt's releases in between are not real.
  if (!FControl.Enabled() || (!press && event.isAutoRepeat())) return;
  const TKeyInput key = KeyInputOf(event, press);
  if (TQtPlatform* platform = QtPlatform(); platform != nullptr && key.VirtualKey != 0) {
    platform->NoteKey(key.VirtualKey, press);
  }
  SendKey(FControl, key);
}

void TQtWindow::Mouse(QMouseEvent& event, TMouseKind kind) {
  event.accept();
  if (!FControl.Enabled()) return;
  TMouseInput mouse = MouseInputOf(event.buttons(), event.modifiers());
  if (kind != mkMove) {
    static constexpr TMouseAction kActions[] = {TMouseAction::Down, TMouseAction::Up, TMouseAction::DoubleClick};
    mouse.Action = kActions[kind];
    switch (event.button()) {
      case Qt::LeftButton: mouse.Button = TInputButton::Left; break;
      case Qt::RightButton: mouse.Button = TInputButton::Right; break;
      case Qt::MiddleButton: mouse.Button = TInputButton::Middle; break;
      default: return;
    }
  }
  // A control that holds the capture gets the mouse wherever it is.
  TWinControl* target = &FControl;
  TQtWindow* window = this;
  if (TWinControl* capture = TWinControl::CaptureControl(); capture != nullptr && capture != &FControl) {
    TQtWindow* captureWindow = QtWindowOf(*capture);
    if (captureWindow != nullptr && captureWindow->FWidget) {
      target = capture;
      window = captureWindow;
    }
  }
  const QPoint point = (window == this ? event.position().toPoint()
                                       : window->FWidget->mapFromGlobal(event.globalPosition().toPoint())) -
                       QPoint(window->Border(), window->Border());
  const QPoint screen = window->FWidget->mapToGlobal(point + QPoint(window->Border(), window->Border()));
  mouse.Point = {point.x(), point.y()};
  mouse.Screen = {screen.x(), screen.y()};
  const std::shared_ptr<bool> alive = FAlive;
  SendMouse(*target, mouse);
  if (*alive && kind == mkMove) UpdateCursor();
}

void TQtWindow::Wheel(QWheelEvent& event, QPoint widgetPoint) {
  event.accept();
  if (!FControl.Enabled()) return;
  const int whole = FWheel.Add(event.angleDelta().y());
  if (whole == 0) return;
  TMouseInput at = MouseInputOf(event.buttons(), event.modifiers());
  const QPoint point = widgetPoint - QPoint(Border(), Border());
  at.Point = {point.x(), point.y()};
  SendWheel(FControl, whole, at);
}

void TQtWindow::MouseCrossed(bool entered) {
  const std::shared_ptr<bool> alive = FAlive;
  FControl.Perform(entered ? CM_MOUSEENTER : CM_MOUSELEAVE);
  if (*alive && entered) UpdateCursor();
}

void TQtWindow::UpdateCursor() {
  if (!FWidget || FControl.Cursor() == FCursorShown) return;
  FCursorShown = FControl.Cursor();
  FWidget->setCursor(TQtPlatform::CursorOf(FCursorShown));
}

// ---- Input method ----

QPoint TQtWindow::CompositionOrigin() const {
  const TPoint at = FHasComposition ? FCompositionPos : FCaretPos;
  return {at.X + Border(), at.Y + Border()};
}

QFont TQtWindow::CompositionFont() const {
  if (FHasComposition) return FCompositionFont;
  if (TQtPlatform* platform = QtPlatform()) return platform->QtFontEngine().QtFont(FControl.Font());
  return FWidget ? FWidget->font() : QFont();
}

TQtPreeditLayout TQtWindow::PreeditLayout() const {
  return TQtPreeditLayout(FPreedit, CompositionOrigin(), CompositionFont(), FCompositionStyle, FCaretSize.Height);
}

void TQtWindow::SetImeComposition(TPoint position, const TFont& font, const TImeCompositionStyle& style) {
  FHasComposition = true;
  FCompositionPos = position;
  FCompositionStyle = style;
  if (TQtPlatform* platform = QtPlatform()) FCompositionFont = platform->QtFontEngine().QtFont(font);
  if (!FPreedit.Empty() && FWidget) FWidget->update();
  UpdateInputMethod();
}

void TQtWindow::UpdateInputMethod() const {
  if (FWidget && FWidget->hasFocus()) {
    QGuiApplication::inputMethod()->update(Qt::ImCursorRectangle | Qt::ImAnchorRectangle | Qt::ImFont);
  }
}

QVariant TQtWindow::InputMethodQuery(int query) const {
  switch (query) {
    case Qt::ImEnabled:
      return FControl.Enabled();
    case Qt::ImCursorRectangle:
    case Qt::ImAnchorRectangle:
      // The cell of the composition's cursor: the candidate list opens under it.
      return PreeditLayout().CursorCell(FCaretSize.Width);
    case Qt::ImFont:
      return CompositionFont();
    case Qt::ImCursorPosition:
    case Qt::ImAnchorPosition:
      return 0;
    case Qt::ImSurroundingText:
    case Qt::ImCurrentSelection:
    case Qt::ImTextBeforeCursor:
    case Qt::ImTextAfterCursor:
      return QString();
    default:
      return {};
  }
}

void TQtWindow::InputMethod(QInputMethodEvent& event) {
  event.accept();
  if (!FControl.Enabled()) return;
  const bool hadPreedit = !FPreedit.Empty();
  FPreedit = TQtPreedit::From(event);
  if ((hadPreedit || !FPreedit.Empty()) && FWidget) FWidget->update();
  UpdateInputMethod();
  const QString commit = event.commitString();
  if (!commit.isEmpty()) SendImeText(FControl, commit.toStdString());
}

// ---- Scroll bars ----

void TQtWindow::ScrollAction(TScrollBarKind bar, int action) {
  int code = -1;
  switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: code = SB_LINEDOWN; break;
    case QAbstractSlider::SliderSingleStepSub: code = SB_LINEUP; break;
    case QAbstractSlider::SliderPageStepAdd: code = SB_PAGEDOWN; break;
    case QAbstractSlider::SliderPageStepSub: code = SB_PAGEUP; break;
    case QAbstractSlider::SliderToMinimum: code = SB_TOP; break;
    case QAbstractSlider::SliderToMaximum: code = SB_BOTTOM; break;
    case QAbstractSlider::SliderMove: break;  // the end of a drag: the control has placed the thumb
    default: return;
  }
  const std::shared_ptr<bool> alive = FAlive;
  if (code >= 0) {
    FScrollClicked[bar] = true;
    FControl.Perform(ScrollMessage(bar), MakeLong(code, 0));
    if (!*alive) return;
  }
  // The thumb goes where the control put the position, not where Qt would.
  if (FBars[bar]) FBars[bar]->setSliderPosition(FControl.ScrollInfo(bar).Pos);
}

void TQtWindow::ScrollTrack(TScrollBarKind bar, int position) {
  // The full 32-bit position waits in TrackPos; the message carries only 16 bits of it.
  TScrollInfo info = FControl.ScrollInfo(bar);
  info.TrackPos = position;
  const std::shared_ptr<bool> alive = FAlive;
  FControl.SetScrollInfo(bar, info);
  if (*alive) FControl.Perform(ScrollMessage(bar), MakeLong(SB_THUMBTRACK, position));
}

void TQtWindow::ScrollReleased(TScrollBarKind bar) {
  if (!FBars[bar]) return;
  const int position = FBars[bar]->sliderPosition();
  TScrollInfo info = FControl.ScrollInfo(bar);
  info.TrackPos = position;
  const std::shared_ptr<bool> alive = FAlive;
  FControl.SetScrollInfo(bar, info);
  if (!*alive) return;
  FControl.Perform(ScrollMessage(bar), MakeLong(SB_THUMBPOSITION, position));
  if (*alive) FControl.Perform(ScrollMessage(bar), MakeLong(SB_ENDSCROLL, 0));
}

void TQtWindow::ScrollClickEnded(TScrollBarKind bar) {
  if (!FScrollClicked[bar]) return;
  FScrollClicked[bar] = false;
  FControl.Perform(ScrollMessage(bar), MakeLong(SB_ENDSCROLL, 0));
}

}  // namespace plomaret
