// The editor control's structure: what it owns and how it is built and torn down,
// its published properties, the notifications it reacts to and its window.

#include <algorithm>

#include "editor/EditorControl.h"
#include "framework/gui/Cursors.h"

namespace plomaret {

const TTypeInfo& TypeInfoOf(TTypeTag<TEditorHitStyle>) {
  static const TTypeInfo info = EnumTypeInfo("TEditorHitStyle", {"hsSelect", "hsDraw", "hsCaret"});
  return info;
}

// ---- Construction and destruction ----

TEditor::TEditor() = default;

void TEditor::AfterConstruction() {
  TCustomControl::AfterConstruction();
  FPainter = CreatePainter();
  SetBounds(Left(), Top(), 185, 89);
  FBorderStyle = bsSingle;
  SetCursor(crIBeam);
  SetTabStop(true);
  FWantReturns = true;
  FWantTabs = true;
  InitDelimiters();

  AttachTo(CreateScreenStrings().release());
  FLines = CreateEditorStrings();
  FScreen = CreateScreen();
  FView = CreateViewInfo();
  FView->OnChange = TNotifyEvent(this, &TEditor::OptionChanged);

  SetParentColor(false);
  SetColor(clWhite);
  Font().SetColor(clBlack);
  Font().SetName("FixedSys");

  const TNotifyEvent optionChanged(this, &TEditor::OptionChanged);
  FCaret = CreateEditorCaret();
  FCaret->OnChange = optionChanged;
  FMarks = CreateMarks();
  FMarks->OnChange = optionChanged;
  FMargin = CreateMargin();
  FMargin->OnChange = optionChanged;
  FImagebar = CreateImagebar();
  FImagebar->OnChange = optionChanged;
  FLeftbar = CreateLeftbar();
  FLeftbar->OnChange = optionChanged;
  FRuler = CreateRuler();
  FRuler->OnChange = optionChanged;
  CreateDrawingObjects();
  FSpeed = CreateSpeed();
  FMetrics.LeftbarDigits = FLeftbar->Column();

  if (!ComponentState().Contains(csDesigning)) {
    FPopup = CreatePopupMenu();
    SetPopupMenu(FPopup);
  }
}

void TEditor::BeforeDestruction() {
  Destroying();
  SetFountain(nullptr);
  FScreen.reset();
  FView.reset();
  DetachFromStore();
  FLines.reset();
  FCaret.reset();
  FMarks.reset();
  FMargin.reset();
  FImagebar.reset();
  FLeftbar.reset();
  FRuler.reset();
  FreeDrawingObjects();
  FSpeed.reset();
  TCustomControl::BeforeDestruction();
}

TEditor::~TEditor() = default;

TOwned<TEditorCaret> TEditor::CreateEditorCaret() { return Create<TEditorCaret>(); }
TOwned<TEditorImagebar> TEditor::CreateImagebar() { return Create<TEditorImagebar>(); }
TOwned<TEditorLeftbar> TEditor::CreateLeftbar() { return Create<TEditorLeftbar>(); }
TOwned<TEditorMarks> TEditor::CreateMarks() { return Create<TEditorMarks>(); }
TOwned<TEditorMargin> TEditor::CreateMargin() { return Create<TEditorMargin>(); }
TOwned<TEditorRuler> TEditor::CreateRuler() { return Create<TEditorRuler>(); }
TOwned<TEditorSpeed> TEditor::CreateSpeed() { return Create<TEditorSpeed>(); }
TEditorPopupMenu* TEditor::CreatePopupMenu() { return Create<TEditorPopupMenu>(this, this); }
TOwned<TEditorScreen> TEditor::CreateScreen() { return Create<TEditorScreen>(this); }
TOwned<TEditorPainter> TEditor::CreatePainter() { return Create<TEditorPainter>(*this); }
TOwned<TEditorScreenStrings> TEditor::CreateScreenStrings() { return Create<TEditorScreenStrings>(); }
TOwned<TEditorStrings> TEditor::CreateEditorStrings() { return Create<TEditorStrings>(this); }
TOwned<TEditorViewInfo> TEditor::CreateViewInfo() { return Create<TEditorViewInfo>(this); }

void TEditor::InitDelimiters() { FDelimiters = DefaultDelimiters(); }

// ---- The row store ----

void TEditor::AttachTo(TEditorScreenStrings* store) {
  FRowStore = store;
  FRowStore->Attach(this);
}

void TEditor::DetachFromStore() {
  if (FRowStore == nullptr) return;
  TEditorScreenStrings* store = FRowStore;
  FRowStore = nullptr;
  store->Detach(this);  // the store frees itself when it was the last view
}

void TEditor::ShareRowStore(TEditor& other) {
  if (&other == this || other.FRowStore == FRowStore) return;
  CleanSelection();
  DetachFromStore();
  AttachTo(other.FRowStore);
  RefreshView();
}

void TEditor::RefreshView() {
  if (!HasWindow()) return;
  Measure();
  UpdateScrollBars();
  FPainter->RebuildBackground();
  Invalidate();
}

void TEditor::Refresh() { RefreshView(); }

void TEditor::TextChanged(TEditorScreenStrings& store) {
  if (ComponentState().Contains(csDesigning) && store.WordWrap()) {
    store.WrapAll();
    store.ResetStates();
  }
  FScreen->UpdateAfterChange();
  if (FLeftbar->Visible() && FLeftbar->ShowNumber()) {
    const int oldWidth = FMetrics.LeftbarWidth;
    if (UpdateLeftbarDigits()) {
      FMetrics.LeftbarWidth = LeftbarWidthFor(FMetrics.LeftbarDigits);
      FPainter->RebuildBackground();
      ShiftTextArea(FMetrics.LeftbarWidth - oldWidth);
    }
  }
  UpdateScrollBars();
  if (store.ChangePending()) {
    FModified = true;
    DoChange();
  }
}

void TEditor::ShiftTextArea(int delta) {
  if (!HasWindow()) return;
  if (delta != 0) {
    const int left = LeftOffset() - delta;
    ScrollRect(delta, 0, ClientRect(), {std::min(left, left + delta), 0, ClientWidth(), ClientHeight()});
    // The scroll took the text's pixel offset along; the text itself did not move.
    FMetrics.HorzOffset = FMetrics.TopCol * FMetrics.ColWidth;
  }
  InvalidateRect({0, 0, LeftOffset(), ClientHeight()});
  Measure();
}


void TEditor::SetRedraw(bool redraw) {
  if (HasWindow()) Perform(WM_SETREDRAW, redraw ? 1 : 0);
  if (redraw) Invalidate();
}

// ---- Properties ----

void TEditor::SetBorderStyle(TBorderStyle value) {
  if (value == FBorderStyle) return;
  FBorderStyle = value;
  RecreateWnd();
}

void TEditor::SetFountain(TFountain* value) {
  if (value == FFountain) return;
  const TNotifyEvent handler(this, &TEditor::OptionChanged);
  if (FFountain != nullptr) {
    FFountain->NotifyEventList()->Remove(handler);
    FFountain->RemoveFreeNotification(this);
  }
  if (value != nullptr) {
    value->NotifyEventList()->Add(handler);
    value->FreeNotification(this);
  }
  FFountain = value;
  if (IsDestroying()) return;
  FRowStore->ResetStates();
  Invalidate();
}

TFountain* TEditor::ActiveFountain() const {
  if (FFountain != nullptr) return FFountain;
  return FView ? FView->Fountain() : nullptr;
}

void TEditor::SetHitStyle(TEditorHitStyle value) {
  if (value == FHitStyle) return;
  CleanSelection();
  FHitStyle = value;
}

void TEditor::SetImageList(TImageList*& field, TImageList* value) {
  if (field == value) return;
  TImageList* old = field;
  field = value;
  if (old != nullptr && old != FImageDigits && old != FImageMarks) old->RemoveFreeNotification(this);
  if (value != nullptr) value->FreeNotification(this);
  if (FImagebar->Visible()) Invalidate();
}

void TEditor::SetLines(const TStrings& value) {
  FLines->Assign(value);
  FRowStore->RefreshEditors();
}

void TEditor::SetReadOnly(bool value) {
  if (FDragState != dsNone) return;  // the drag decides what happens to the text
  FReadOnly = value;
  if (value && FSelection.State() != sstNone) SetCursor(FCaret->Cursors()->DefaultCursor());
}

TStringList* TEditor::ReserveWordList() const { return FView->Fountain()->ReserveWordList(); }

void TEditor::SetReserveWordList(const TStrings& value) {
  TStringList* words = ReserveWordList();
  if (words->Equals(value)) return;
  words->Assign(value);
  FRowStore->ResetStates();
  Invalidate();
}

int TEditor::UndoListMax() const { return FRowStore->UndoObj()->ListMax(); }

void TEditor::SetUndoListMax(int value) { FRowStore->UndoObj()->SetListMax(std::max(TEditorUndoObj::kMinListMax, value)); }

void TEditor::SetView(const TEditorViewInfo& value) {
  FView->Assign(value);
  if (!HasWindow()) return;
  ScrollCaret();
  PlaceCaret();
}

bool TEditor::CanUndo() const { return FRowStore->UndoObj()->CanUndo(); }
bool TEditor::CanRedo() const { return FRowStore->UndoObj()->CanRedo(); }

// ---- Option objects ----

void TEditor::OptionChanged(TObject* sender) {
  if (sender == FMarks.get()) {
    FMargin->SetUnderlineMargin(FMarks->Underline()->Visible() ? 1 : 0);
  } else if (sender == FView.get() || dynamic_cast<TFountain*>(sender) != nullptr) {
    FRowStore->ResetStates();
  }
  if (!HasWindow()) return;
  Measure();
  UpdateScrollBars();
  if (sender == FLeftbar.get()) {
    FPainter->RebuildLeftbarEdge();
    FPainter->RebuildBackground();
  } else if (sender == FMargin.get() || sender == FRuler.get()) {
    FPainter->RebuildRulerImages();
    FPainter->RebuildBackground();
  } else if (sender == FImagebar.get()) {
    FPainter->RebuildBackground();
  }
  Invalidate();
  if (sender == FCaret.get()) {
    FRowStore->UndoObj()->Clear();
    UpdateCaret();
    return;
  }
  ScrollCaret();
  PlaceCaret();
}

// ---- Component notifications ----

void TEditor::Notification(TComponent* component, TOperation operation) {
  TCustomControl::Notification(component, operation);
  if (operation != opRemove) return;
  bool cleared = false;
  if (component == FFountain) {
    FFountain = nullptr;  // it is going: no need to unregister
    if (!IsDestroying()) FRowStore->ResetStates();
    cleared = true;
  }
  if (component == FImageDigits) {
    FImageDigits = nullptr;
    cleared = true;
  }
  if (component == FImageMarks) {
    FImageMarks = nullptr;
    cleared = true;
  }
  if (component == FPopup) FPopup = nullptr;
  if (cleared && !IsDestroying()) Invalidate();
}

void TEditor::Loaded() {
  TCustomControl::Loaded();
  if (WordWrap()) FRowStore->WrapAll();
  FRowStore->ResetStates();
  FModified = false;
}

// ---- The window ----

void TEditor::CreateParams(uint32_t& style, uint32_t& exStyle) const {
  TCustomControl::CreateParams(style, exStyle);
  if (FBorderStyle == bsSingle) style |= WS_BORDER;
  if (FScrollBars == ssHorizontal || FScrollBars == ssBoth) style |= WS_HSCROLL;
  if (FScrollBars == ssVertical || FScrollBars == ssBoth) style |= WS_VSCROLL;
  if (Ctl3D() && FBorderStyle == bsSingle) {
    style &= ~WS_BORDER;
    exStyle |= WS_EX_CLIENTEDGE;
  }
}

void TEditor::CreateWnd() {
  ApplyScrollBarVisibility();
  TCustomControl::CreateWnd();
  // The creation caption has been loaded; making the window again keeps the text as it is.
  if (!Text().empty()) {
    TMessage clear{WM_SETTEXT, 0, 0, 0};
    TCustomControl::DefaultHandler(clear);
  }
  Measure();
  UpdateScrollBars();
  FPainter->RebuildLeftbarEdge();
  FPainter->RebuildRulerImages();
  FPainter->RebuildBackground();
}

void TEditor::WMSetText(TMessage& message) {
  message.Result = 0;
  const char* text = message.LParam != 0 ? reinterpret_cast<const char*>(message.LParam) : "";
  // Before the window exists the text is also its creation caption.
  if (!HasWindow()) TCustomControl::DefaultHandler(message);
  message.Result = 0;
  if (FReadOnly) return;
  FLines->SetAllText(std::string(text));
}

void TEditor::FontChangedHandler() {
  if (!HasWindow()) return;
  if (FMetrics.TopCol > 0) SetCol(0);
  Measure();
  UpdateScrollBars();
  FPainter->RebuildRulerImages();
  FPainter->RebuildBackground();
  // Text, bars and marks are all drawn in the font or its colour.
  Invalidate();
  UpdateCaret();
}

void TEditor::ColorChangedHandler() {
  FPainter->RebuildRulerImages();
  FPainter->RebuildBackground();
}

void TEditor::Ctl3DChangedHandler() {
  // The framework makes the window again after every change of the 3-D look.
}

void TEditor::WndProc(TMessage& message) {
  if (FilterWhileMouseDown(message)) {
    message.Result = 0;
    return;
  }
  if (EditMessage(message)) return;
  switch (message.Msg) {
    case WM_SETTEXT:
      WMSetText(message);
      return;
    case WM_KEYDOWN:
      FKeyRepeat = (message.LParam & KF_REPEAT_BIT) != 0;
      TCustomControl::WndProc(message);
      message.Result = 0;
      return;
    case WM_KEYUP:
      KeyUpMessage(message);
      return;
    case WM_CHAR:
      CharMessage(message);
      return;
    case WM_GETDLGCODE:
      TCustomControl::WndProc(message);
      message.Result = DialogCode(message.Result);
      return;
    case WM_IME_COMPOSITION:
      ImeComposition(message);
      return;
    case WM_VSCROLL:
      WMVScroll(message);
      return;
    case WM_HSCROLL:
      WMHScroll(message);
      return;
    case WM_SIZE:
      TCustomControl::WndProc(message);
      WMSize(message);
      return;
    case WM_SETFOCUS:
      TCustomControl::WndProc(message);
      WMSetFocus(message);
      return;
    case WM_KILLFOCUS:
      TCustomControl::WndProc(message);
      WMKillFocus(message);
      return;
    case CM_FONTCHANGED:
      FontChangedHandler();
      break;
    case CM_COLORCHANGED:
      ColorChangedHandler();
      break;
    case CM_CTL3DCHANGED:
      Ctl3DChangedHandler();
      break;
    default:
      break;
  }
  const int x = SignedLowWord(message.LParam);
  const int y = SignedHighWord(message.LParam);
  if (message.Msg == WM_LBUTTONDOWN) {
    // The control's part first, then the framework's (focus, OnMouseDown).
    FLeftButtonDown = true;
    MouseLeftDown(x, y, ShiftStateOfMouse(message.WParam));
  } else if (message.Msg == WM_MOUSEMOVE) {
    MouseMoveAt(x, y);
  } else if (message.Msg == WM_LBUTTONUP) {
    FLeftButtonDown = false;
    TCustomControl::WndProc(message);
    MouseLeftUp();
    return;
  }
  TCustomControl::WndProc(message);
  // A click in the control gives it the focus.
  const bool press = message.Msg == WM_LBUTTONDOWN || message.Msg == WM_RBUTTONDOWN || message.Msg == WM_MBUTTONDOWN;
  if (press && !ComponentState().Contains(csDesigning) && !Focused() && Visible()) SetFocus();
}

// ---- Published properties ----

const TClassInfo& TEditor::StaticClassInfo() {
  using C = TEditor;
  static const TClassInfo info =
      TPublished<C>("TEditor", TWinControl::StaticClassInfo())
          .Property("BorderStyle", &C::BorderStyle, &C::SetBorderStyle, bsSingle)
          .Property("Caret", &C::Caret, [](C& c, TEditorCaret* v) { if (v != nullptr) c.SetCaret(*v); })
          .Property("Fountain", &C::Fountain, &C::SetFountain)
          .Property("HitStyle", &C::HitStyle, &C::SetHitStyle, hsSelect)
          .Property("Imagebar", &C::Imagebar, [](C& c, TEditorImagebar* v) { if (v != nullptr) c.SetImagebar(*v); })
          .Property("ImageDigits", &C::ImageDigits, &C::SetImageDigits)
          .Property("ImageMarks", &C::ImageMarks, &C::SetImageMarks)
          .Property("Leftbar", &C::Leftbar, [](C& c, TEditorLeftbar* v) { if (v != nullptr) c.SetLeftbar(*v); })
          .Property("Lines", [](const C& c) -> TStrings* { return c.Lines(); },
                    [](C& c, TStrings* v) { if (v != nullptr) c.SetLines(*v); })
          .Property("Marks", &C::Marks, [](C& c, TEditorMarks* v) { if (v != nullptr) c.SetMarks(*v); })
          .Property("Margin", &C::Margin, [](C& c, TEditorMargin* v) { if (v != nullptr) c.SetMargin(*v); })
          .Property("ReadOnly", &C::ReadOnly, &C::SetReadOnly, false)
          .Property("ReserveWordList", &C::ReserveWordList, [](C& c, TStringList* v) { if (v != nullptr) c.SetReserveWordList(*v); })
          .NotStored()
          .Property("Ruler", &C::Ruler, [](C& c, TEditorRuler* v) { if (v != nullptr) c.SetRuler(*v); })
          .Property("ScrollBars", &C::ScrollBars, &C::SetScrollBars, ssNone)
          .Property("Speed", &C::Speed, [](C& c, TEditorSpeed* v) { if (v != nullptr) c.SetSpeed(*v); })
          .Property("UndoListMax", &C::UndoListMax, &C::SetUndoListMax, 64)
          .Property("View", &C::View, [](C& c, TEditorViewInfo* v) { if (v != nullptr) c.SetView(*v); })
          .Property("WantReturns", &C::WantReturns, &C::SetWantReturns, true)
          .Property("WantTabs", &C::WantTabs, &C::SetWantTabs, true)
          .Property("WordWrap", &C::WordWrap, &C::SetWordWrap, false)
          .Property("WrapOption", &C::WrapOption, [](C& c, TEditorWrapOption* v) { if (v != nullptr) c.SetWrapOption(*v); })
          .Event("OnCaretMoved", "TNotifyEvent")
          .Event("OnChange", "TNotifyEvent")
          .Event("OnDrawLine", "TDrawLineEvent")
          .Event("OnSelectionChange", "TSelectionChangeEvent")
          .Event("OnSelectionModeChange", "TNotifyEvent")
          .Event("OnTopColChange", "TNotifyEvent")
          .Event("OnTopRowChange", "TNotifyEvent");
  return info;
}

}  // namespace plomaret
