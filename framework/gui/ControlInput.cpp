// TWinControl's input: the message queue, keys and mouse on their way to the control
// (popup-menu shortcuts, graphic children, the left-button flag), focus and capture,
// the caret and the input method.

#include <algorithm>
#include <utility>

#include "framework/gui/Application.h"
#include "framework/gui/Control.h"
#include "framework/gui/Keys.h"
#include "framework/gui/Menus.h"
#include "framework/gui/Platform.h"

namespace plomaret {

TShiftState ShiftStateOfMouse(intptr_t wParam) {
  TShiftState shift;
  if ((wParam & MK_SHIFT) != 0) shift.Include(ssShift);
  if ((wParam & MK_CONTROL) != 0) shift.Include(ssCtrl);
  if ((wParam & MK_LBUTTON) != 0) shift.Include(ssLeft);
  if ((wParam & MK_RBUTTON) != 0) shift.Include(ssRight);
  if ((wParam & MK_MBUTTON) != 0) shift.Include(ssMiddle);
  return shift;
}

TShiftState KeyboardShiftState() {
  TShiftState shift;
  if (!PlatformInstalled()) return shift;
  if (Platform().KeyDown(VK_SHIFT)) shift.Include(ssShift);
  if (Platform().KeyDown(VK_CONTROL)) shift.Include(ssCtrl);
  if (Platform().KeyDown(VK_MENU)) shift.Include(ssAlt);
  return shift;
}

// ---- Messages ----

void TWinControl::PostMessage(uint32_t msg, intptr_t wParam, intptr_t lParam) {
  FQueue.push_back(TMessage{msg, wParam, lParam, 0});
  Application().WindowHasMessages(this);
}

bool TWinControl::PeekMessage(TMessage& message, uint32_t first, uint32_t last, bool remove) {
  const bool all = first == 0 && last == 0;
  for (auto it = FQueue.begin(); it != FQueue.end(); ++it) {
    if (all || (it->Msg >= first && it->Msg <= last)) {
      message = *it;
      if (remove) FQueue.erase(it);
      return true;
    }
  }
  return false;
}

int TWinControl::ProcessMessages() {
  int dispatched = 0;
  while (!FQueue.empty()) {
    TMessage message = FQueue.front();
    FQueue.pop_front();
    WndProc(message);
    ++dispatched;
  }
  return dispatched;
}

bool TWinControl::LeftButtonDown() { return Application().FInput.LeftButtonDown; }

void TWinControl::WndProc(TMessage& message) {
  bool& leftButtonDown = Application().FInput.LeftButtonDown;
  if (message.Msg == WM_LBUTTONDOWN || message.Msg == WM_LBUTTONDBLCLK) leftButtonDown = true;
  if (message.Msg == WM_LBUTTONUP) leftButtonDown = false;
  // A shortcut of the control's popup menu is acted on before the key reaches it.
  if (message.Msg == WM_KEYDOWN && PopupMenu() != nullptr) {
    TShortCut modifiers = 0;
    const TShiftState shift = KeyboardShiftState();
    if (shift.Contains(ssShift)) modifiers |= scShift;
    if (shift.Contains(ssCtrl)) modifiers |= scCtrl;
    if (shift.Contains(ssAlt)) modifiers |= scAlt;
    if (PopupMenu()->IsShortCut(ShortCut(static_cast<int>(message.WParam), modifiers))) {
      message.Result = 0;
      return;
    }
  }
  // Mouse messages over a graphic child go to it, in its own coordinates; after a
  // button press over it, all of them go to it until a button is released.
  if (message.Msg >= WM_MOUSEMOVE && message.Msg <= WM_MBUTTONDBLCLK && message.Msg != WM_MOUSEWHEEL) {
    const TPoint point{SignedLowWord(message.LParam), SignedHighWord(message.LParam)};
    TGraphicControl* child = FMouseTarget != nullptr ? FMouseTarget : GraphicControlAt(point);
    const bool press = message.Msg == WM_LBUTTONDOWN || message.Msg == WM_RBUTTONDOWN || message.Msg == WM_MBUTTONDOWN ||
                       message.Msg == WM_LBUTTONDBLCLK;
    const bool release = message.Msg == WM_LBUTTONUP || message.Msg == WM_RBUTTONUP || message.Msg == WM_MBUTTONUP;
    if (child != nullptr) {
      if (press) FMouseTarget = child;
      if (release) FMouseTarget = nullptr;
      const TRect& bounds = child->BoundsRect();
      message.Result = child->Perform(message.Msg, message.WParam, MakeLong(point.X - bounds.Left, point.Y - bounds.Top));
      return;
    }
  }
  TControl::WndProc(message);
}

TGraphicControl* TWinControl::GraphicControlAt(TPoint point) const {
  for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
    auto* graphic = dynamic_cast<TGraphicControl*>(*it);
    if (graphic != nullptr && graphic->Visible() && graphic->BoundsRect().Contains(point)) return graphic;
  }
  return nullptr;
}

void TWinControl::DragAcceptFiles(bool accept) {
  FAcceptsFiles = accept;
  if (FBackend) FBackend->AcceptFiles(accept);
}

// ---- Focus and capture ----

TWinControl* TWinControl::FocusedControl() { return Application().FInput.Focused; }

void TWinControl::SetFocus() {
  TWinControl*& focused = Application().FInput.Focused;
  if (focused == this) return;
  HandleNeeded();
  TWinControl* old = focused;
  focused = this;
  if (old != nullptr) {
    if (old->FBackend) old->FBackend->FocusChanged(false);
    old->Perform(WM_KILLFOCUS, reinterpret_cast<intptr_t>(this));
    old->Perform(CM_EXIT);
    old->OnExit(old);
  }
  FBackend->FocusChanged(true);
  Perform(CM_ENTER);
  OnEnter(this);
  Perform(WM_SETFOCUS, reinterpret_cast<intptr_t>(old));
}

void TWinControl::SetCapture() { Application().FInput.Capture = this; }

void TWinControl::ReleaseCapture() {
  TWinControl* old = std::exchange(Application().FInput.Capture, nullptr);
  if (old != nullptr) old->Perform(WM_CAPTURECHANGED);
}

TWinControl* TWinControl::CaptureControl() { return Application().FInput.Capture; }

// ---- Caret ----

void TWinControl::PushCaret() {
  if (!FBackend) return;
  FBackend->CreateCaret(FCaretSize.Width, FCaretSize.Height);
  FBackend->SetCaretPos(FCaretPos);
  FBackend->ShowCaret(CaretVisible());
}

void TWinControl::CreateCaret(int width, int height) {
  // A new caret starts hidden, as the system's does.
  FCaretSize = {std::max(width, 1), std::max(height, 1)};
  FCaretShows = 0;
  PushCaret();
}

void TWinControl::DestroyCaret() {
  FCaretSize = {};
  FCaretShows = 0;
  if (FBackend) FBackend->DestroyCaret();
}

void TWinControl::ShowCaret() {
  if (!CaretExists()) return;
  ++FCaretShows;
  if (FBackend) FBackend->ShowCaret(CaretVisible());
}

void TWinControl::HideCaret() {
  if (!CaretExists()) return;
  --FCaretShows;
  if (FBackend) FBackend->ShowCaret(CaretVisible());
}

void TWinControl::SetCaretPos(TPoint position) {
  FCaretPos = position;
  if (FBackend) FBackend->SetCaretPos(position);
}

// ---- Input method ----

void TWinControl::SetImeCompositionWindow(TPoint position, const TFont& font, const TImeCompositionStyle& style) {
  FImePosition = position;
  if (FBackend) FBackend->SetImeComposition(position, font, style);
}

void TWinControl::DeliverImeResult(const std::string& result) {
  FImeResult = result;
  // A handler may free the control on the way.
  const TWindowWatch watch(this);
  Perform(WM_IME_STARTCOMPOSITION);
  if (watch.Alive()) Perform(WM_IME_COMPOSITION, 0, GCS_RESULTSTR);
  if (watch.Alive()) Perform(WM_IME_ENDCOMPOSITION);
}

}  // namespace plomaret
