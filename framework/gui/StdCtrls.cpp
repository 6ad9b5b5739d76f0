#include "framework/gui/StdCtrls.h"

#include <algorithm>
#include <utility>

#include "framework/core/CodePage.h"
#include "framework/gui/Cursors.h"
#include "framework/gui/Keys.h"
#include "framework/gui/Platform.h"

namespace plomaret {

namespace {

constexpr int kTextMargin = 2;  // between the field's client edge and its text
constexpr int kBoxSize = 13;
constexpr int kCaptionGap = 4;  // between the check box and its caption

int Size(std::string_view text) { return static_cast<int>(text.size()); }

int NextOffset(std::string_view text, int offset) {
  if (offset >= Size(text)) return Size(text);
  const bool pair = IsLeadByte(static_cast<unsigned char>(text[static_cast<size_t>(offset)])) && offset + 1 < Size(text);
  return offset + (pair ? 2 : 1);
}

// A trail byte can look like a lead byte: characters are only found from the start.
int CharacterStart(std::string_view text, int offset) {
  offset = std::clamp(offset, 0, Size(text));
  int at = 0;
  while (at < offset) {
    const int next = NextOffset(text, at);
    if (next > offset) return at;
    at = next;
  }
  return at;
}

int PreviousOffset(std::string_view text, int offset) { return offset <= 0 ? 0 : CharacterStart(text, offset - 1); }

std::string_view CharacterAt(std::string_view text, int offset) {
  return text.substr(static_cast<size_t>(offset), static_cast<size_t>(NextOffset(text, offset) - offset));
}

// One line: a line break (or a zero byte) ends the text.
std::string_view FirstLine(std::string_view text) { return text.substr(0, text.find_first_of(std::string_view("\r\n\0", 3))); }

// Word moves stop where the kind of character changes.
enum TCharClass { ccSpace, ccWord, ccWide, ccOther };

TCharClass ClassOf(std::string_view character) {
  if (character == " " || character == "\t" || character == "\x81\x40") return ccSpace;
  if (character.size() == 2) return ccWide;
  const auto byte = static_cast<unsigned char>(character[0]);
  const bool word = (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                    byte == '_' || (byte >= 0xA1 && byte <= 0xDF);
  return word ? ccWord : ccOther;
}

int RunEnd(std::string_view text, int offset, TCharClass kind) {
  while (offset < Size(text) && ClassOf(CharacterAt(text, offset)) == kind) offset = NextOffset(text, offset);
  return offset;
}

int RunStart(std::string_view text, int offset, TCharClass kind) {
  while (offset > 0) {
    const int previous = PreviousOffset(text, offset);
    if (ClassOf(CharacterAt(text, previous)) != kind) break;
    offset = previous;
  }
  return offset;
}

int WordRight(std::string_view text, int offset) {
  if (offset >= Size(text)) return offset;
  return RunEnd(text, RunEnd(text, offset, ClassOf(CharacterAt(text, offset))), ccSpace);
}

int WordLeft(std::string_view text, int offset) {
  offset = RunStart(text, offset, ccSpace);
  if (offset == 0) return 0;
  return RunStart(text, offset, ClassOf(CharacterAt(text, PreviousOffset(text, offset))));
}

// A rectangle's outline: one colour on the top and left, another on the bottom and right.
void Frame3D(TCanvas& canvas, const TRect& rect, TColor topLeft, TColor bottomRight) {
  canvas.SetPenMode(pmCopy);
  canvas.SetPenColor(topLeft);
  canvas.MoveTo(rect.Left, rect.Bottom - 2);
  canvas.LineTo(rect.Left, rect.Top);
  canvas.LineTo(rect.Right - 1, rect.Top);
  canvas.SetPenColor(bottomRight);
  canvas.MoveTo(rect.Left, rect.Bottom - 1);
  canvas.LineTo(rect.Right - 1, rect.Bottom - 1);
  canvas.LineTo(rect.Right - 1, rect.Top - 1);
}

// Every other pixel of the outline, as the system marks the focus.
void DottedFrame(TCanvas& canvas, const TRect& rect, TColor color) {
  for (int x = rect.Left; x < rect.Right; x += 2) {
    canvas.SetPixel(x, rect.Top, color);
    canvas.SetPixel(x, rect.Bottom - 1, color);
  }
  for (int y = rect.Top; y < rect.Bottom; y += 2) {
    canvas.SetPixel(rect.Left, y, color);
    canvas.SetPixel(rect.Right - 1, y, color);
  }
}

int FontHeight(const TFont& font) { return Platform().FontEngine().Metrics(font).Height; }

}  // namespace

// ---- TEdit ----

void TEdit::AfterConstruction() {
  TCustomControl::AfterConstruction();
  SetColor(clWindow);
  SetTabStop(true);
  SetCursor(crIBeam);
  SetBounds(0, 0, 121, 21);
}

void TEdit::CreateParams(uint32_t& style, uint32_t& exStyle) const {
  TCustomControl::CreateParams(style, exStyle);
  if (TabStop()) style |= WS_TABSTOP;
  if (Ctl3D()) {
    exStyle |= WS_EX_CLIENTEDGE;
  } else {
    style |= WS_BORDER;
  }
}

void TEdit::SetMaxLength(int length) { FMaxLength = std::max(length, 0); }

int TEdit::SelStart() const { return std::min(FAnchor, FCaret); }

int TEdit::SelLength() const { return std::abs(FCaret - FAnchor); }

std::string TEdit::SelText() const { return Text().substr(static_cast<size_t>(SelStart()), static_cast<size_t>(SelLength())); }

void TEdit::SetSel(int start, int length) {
  const std::string& text = Text();
  FAnchor = CharacterStart(text, start);
  FCaret = CharacterStart(text, std::clamp(start, 0, Size(text)) + std::max(length, 0));
  FLastKind = ekOther;
  CaretMoved();
}

void TEdit::SetSelText(std::string_view text) { ReplaceSelection(text, ekOther); }

void TEdit::CopyToClipboard() {
  if (SelLength() > 0) Platform().Clipboard().SetText(SelText());
}

void TEdit::CutToClipboard() {
  if (SelLength() == 0) return;
  CopyToClipboard();
  ReplaceSelection({}, ekOther);
}

void TEdit::PasteFromClipboard() {
  const TClipboard& clipboard = Platform().Clipboard();
  if (clipboard.HasFormat(CF_TEXT)) ReplaceSelection(clipboard.AsText(), ekOther);
}

void TEdit::Undo() {
  if (!FUndo.Valid) return;
  TUndoState redo{true, Text(), FAnchor, FCaret};
  FAnchor = FUndo.Anchor;
  FCaret = FUndo.Caret;
  StoreText(FUndo.Text);
  FUndo = std::move(redo);
  FLastKind = ekOther;
  CaretMoved();
  Change();
}

void TEdit::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_SETTEXT:
      SetTextMessage(message);
      return;
    case WM_CHAR:
      CharMessage(message);
      return;
    case WM_IME_COMPOSITION:
      ImeComposition(message);
      return;
    case WM_GETDLGCODE:
      // Tab and Shift+Tab are the dialog's; every other key reaches the field.
      message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
      return;
    case WM_COPY:
      CopyToClipboard();
      return;
    case WM_CUT:
      CutToClipboard();
      return;
    case WM_PASTE:
      PasteFromClipboard();
      return;
    case WM_UNDO:
      message.Result = CanUndo() ? 1 : 0;
      Undo();
      return;
    default:
      break;
  }
  TCustomControl::WndProc(message);
  switch (message.Msg) {
    case WM_SETFOCUS:
      CreateCaret(1, TextHeight());
      PlaceCaret();
      ShowCaret();
      Invalidate();  // the selection shows only while focused
      break;
    case WM_KILLFOCUS:
      DestroyCaret();
      FSelecting = false;
      FPendingLead.clear();
      Invalidate();
      break;
    case CM_FONTCHANGED:
      if (CaretExists()) {
        CreateCaret(1, TextHeight());
        ShowCaret();
      }
      CaretMoved();
      break;
    case WM_SIZE:
      CaretMoved();
      break;
    case CM_ENABLEDCHANGED:
    case CM_COLORCHANGED:
      Invalidate();
      break;
    default:
      break;
  }
}

void TEdit::SetTextMessage(TMessage& message) {
  const char* given = reinterpret_cast<const char*>(message.LParam);
  const std::string text(FirstLine(given != nullptr ? given : ""));
  const bool changed = text != Text();
  TMessage store{WM_SETTEXT, message.WParam, reinterpret_cast<intptr_t>(text.c_str()), 0};
  TCustomControl::WndProc(store);
  message.Result = store.Result;
  if (!changed) return;
  // New text starts afresh: caret at the start, nothing to undo.
  FAnchor = FCaret = 0;
  FScrollX = 0;
  FUndo = {};
  FLastKind = ekOther;
  CaretMoved();
  Change();
}

void TEdit::StoreText(const std::string& text) {
  // Straight to the control's text: the window's title does not follow each key.
  TMessage store{WM_SETTEXT, 0, reinterpret_cast<intptr_t>(text.c_str()), 0};
  TControl::DefaultHandler(store);
}

void TEdit::CharMessage(TMessage& message) {
  message.Result = 0;
  // An input-method result came in whole; its bytes come again as characters.
  if (FImeSkip > 0) {
    --FImeSkip;
    return;
  }
  const auto raw = static_cast<unsigned char>(message.WParam);
  if (!FPendingLead.empty()) {
    std::string character = std::exchange(FPendingLead, {});
    // A trail byte is 0x40 or above; anything else leaves the lead byte alone and counts on its own.
    if (raw >= 0x40) {
      if (Enabled()) ReplaceSelection(character + static_cast<char>(raw), ekTyping);
      return;
    }
  }
  char key = static_cast<char>(raw);
  KeyPress(key);
  const auto byte = static_cast<unsigned char>(key);
  if (!Enabled()) return;
  switch (byte) {
    case 0x01:
      SelectAll();
      return;
    case 0x03:
      CopyToClipboard();
      return;
    case 0x08:
      DeleteCharacter(false);
      return;
    case 0x16:
      PasteFromClipboard();
      return;
    case 0x18:
      CutToClipboard();
      return;
    case 0x1A:
      Undo();
      return;
    default:
      break;
  }
  if (IsLeadByte(byte)) {
    FPendingLead.assign(1, key);
  } else if ((byte >= 0x20 && byte <= 0x7E) || byte >= 0xA0) {
    ReplaceSelection(std::string(1, key), ekTyping);
  }
}

void TEdit::ImeComposition(TMessage& message) {
  // The system's part first: it queues the result again as characters, skipped by their count.
  TCustomControl::WndProc(message);
  if ((message.LParam & GCS_RESULTSTR) == 0) return;
  const std::string result = ImeResultString();
  FImeSkip += Size(result);
  FPendingLead.clear();
  if (Enabled()) ReplaceSelection(result, ekTyping);
}

void TEdit::DeleteCharacter(bool forward) {
  if (SelLength() > 0) {
    ReplaceSelection({}, ekOther);
    return;
  }
  if (forward) {
    FCaret = NextOffset(Text(), FCaret);
  } else {
    FAnchor = PreviousOffset(Text(), FCaret);
  }
  ReplaceSelection({}, ekDeleting);
}

bool TEdit::ReplaceSelection(std::string_view text, TEditKind kind) {
  const std::string old = Text();
  const int from = SelStart();
  const int to = from + SelLength();
  std::string insert(FirstLine(text));
  if (FMaxLength > 0) {
    const int room = std::max(0, FMaxLength - (Size(old) - (to - from)));
    if (Size(insert) > room) insert.resize(static_cast<size_t>(CharacterStart(insert, room)));
  }
  if (from == to && insert.empty()) return false;
  // Typing (or deleting) on from where the last key left off is one step to undo.
  if (kind == ekOther || kind != FLastKind || !FUndo.Valid) FUndo = {true, old, FAnchor, FCaret};
  FLastKind = kind;
  FAnchor = FCaret = from + Size(insert);
  StoreText(old.substr(0, static_cast<size_t>(from)) + insert + old.substr(static_cast<size_t>(to)));
  CaretMoved();
  Change();
  return true;
}

void TEdit::MoveCaret(int offset, bool extend) {
  FCaret = offset;
  if (!extend) FAnchor = offset;
  FLastKind = ekOther;
  CaretMoved();
}

void TEdit::CaretMoved() {
  Invalidate();
  // Without a window there is nothing to scroll yet: WM_SIZE does it when the window comes.
  if (!HandleAllocated()) return;
  ScrollToCaret();
  PlaceCaret();
}

void TEdit::KeyDown(int& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);  // the owner may take the key (Return, Escape, F3)
  if (key == 0 || !Enabled()) return;
  const std::string& text = Text();
  const bool extend = shift.Contains(ssShift);
  const bool byWord = shift.Contains(ssCtrl);
  const bool collapse = !extend && !byWord && SelLength() > 0;
  switch (key) {
    case VK_LEFT:
      MoveCaret(collapse ? SelStart() : byWord ? WordLeft(text, FCaret) : PreviousOffset(text, FCaret), extend);
      break;
    case VK_RIGHT:
      MoveCaret(collapse ? SelStart() + SelLength() : byWord ? WordRight(text, FCaret) : NextOffset(text, FCaret), extend);
      break;
    case VK_HOME:
      MoveCaret(0, extend);
      break;
    case VK_END:
      MoveCaret(Size(text), extend);
      break;
    case VK_DELETE:
      if (extend) {
        CutToClipboard();
      } else {
        DeleteCharacter(true);
      }
      break;
    case VK_INSERT:
      if (byWord) CopyToClipboard();
      if (extend) PasteFromClipboard();
      break;
    default:
      break;
  }
}

void TEdit::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::MouseDown(button, shift, x, y);
  if (button != mbLeft || !Enabled()) return;
  if (!Focused()) SetFocus();
  const std::string& text = Text();
  const int offset = OffsetAtX(x);
  if (shift.Contains(ssDouble) && !text.empty()) {
    // A double click selects the run of like characters under the pointer.
    const int at = offset < Size(text) ? offset : PreviousOffset(text, offset);
    const TCharClass kind = ClassOf(CharacterAt(text, at));
    FAnchor = RunStart(text, at, kind);
    MoveCaret(RunEnd(text, at, kind), true);
    return;
  }
  MoveCaret(offset, shift.Contains(ssShift));
  FSelecting = true;
  SetCapture();
}

void TEdit::MouseMove(TShiftState shift, int x, int y) {
  TCustomControl::MouseMove(shift, x, y);
  if (FSelecting && OffsetAtX(x) != FCaret) MoveCaret(OffsetAtX(x), true);
}

void TEdit::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::MouseUp(button, shift, x, y);
  if (button != mbLeft || !FSelecting) return;
  FSelecting = false;
  if (CaptureControl() == this) ReleaseCapture();
}

std::vector<int> TEdit::CharacterEdges() const {
  std::vector<int> edges{0};
  for (int advance : Platform().FontEngine().Advances(Font(), Text())) edges.push_back(edges.back() + advance);
  return edges;
}

int TEdit::XOfOffset(int offset) const {
  const std::string& text = Text();
  const std::vector<int> edges = CharacterEdges();
  size_t index = 0;
  for (int at = 0; at < offset && at < Size(text); at = NextOffset(text, at)) ++index;
  return edges[std::min(index, edges.size() - 1)];
}

int TEdit::OffsetAtX(int x) const {
  const std::string& text = Text();
  const std::vector<int> edges = CharacterEdges();
  const int textX = x - kTextMargin + FScrollX;
  int offset = 0;
  // The nearer edge of the character under the point.
  for (size_t i = 0; i + 1 < edges.size(); ++i) {
    if (textX < (edges[i] + edges[i + 1]) / 2) return offset;
    offset = NextOffset(text, offset);
  }
  return offset;
}

int TEdit::TextHeight() const { return FontHeight(Font()); }

int TEdit::TextTop() const { return std::max(0, (ClientHeight() - TextHeight()) / 2); }

void TEdit::ScrollToCaret() {
  const int width = std::max(1, ClientWidth() - 2 * kTextMargin);
  const int caretX = XOfOffset(FCaret);
  int scroll = std::clamp(FScrollX, caretX + 1 - width, caretX);
  // No more blank on the right than the caret after the last character needs.
  scroll = std::clamp(scroll, 0, std::max(0, XOfOffset(Size(Text())) + 1 - width));
  if (scroll == FScrollX) return;
  FScrollX = scroll;
  Invalidate();
}

void TEdit::PlaceCaret() {
  if (!HandleAllocated() || !Focused()) return;
  const TPoint at{kTextMargin + XOfOffset(FCaret) - FScrollX, TextTop()};
  SetCaretPos(at);
  // A composition is drawn where the text goes on, in the field's colours and at the font's advances.
  TImeCompositionStyle style;
  style.Height = TextHeight();
  style.Color = Font().Color();
  style.Background = Color();
  SetImeCompositionWindow(at, Font(), style);
}

void TEdit::Paint() {
  TCanvas& canvas = Canvas();
  canvas.Font().Assign(Font());
  const TColor textColor = Enabled() ? Font().Color() : clGrayText;
  const TRect paintClip = canvas.ClipRect();
  const TRect client = ClientRect();
  canvas.SetClipRect(paintClip.Intersect({kTextMargin, 0, client.Right - kTextMargin, client.Bottom}));
  const std::string& text = Text();
  // The selection shows only while the field has the focus.
  const int from = Focused() ? SelStart() : 0;
  const int to = Focused() ? from + SelLength() : 0;
  const struct {
    int Begin, End;
    bool Selected;
  } pieces[] = {{0, from, false}, {from, to, true}, {to, Size(text), false}};
  int x = kTextMargin - FScrollX;
  canvas.SetBrushStyle(bsSolid);
  for (const auto& piece : pieces) {
    if (piece.End <= piece.Begin) continue;
    const std::string_view part = std::string_view(text).substr(static_cast<size_t>(piece.Begin),
                                                                static_cast<size_t>(piece.End - piece.Begin));
    canvas.SetBrushColor(piece.Selected ? clHighlight : Color());
    canvas.Font().SetColor(piece.Selected ? clHighlightText : textColor);
    canvas.TextOut(x, TextTop(), part);
    x += canvas.TextWidth(part);
  }
  canvas.SetClipRect(paintClip);
}

// ---- TCheckBox ----

void TCheckBox::AfterConstruction() {
  TCustomControl::AfterConstruction();
  SetTabStop(true);
  SetParentColor(true);
  SetBounds(0, 0, 97, 17);
}

void TCheckBox::CreateParams(uint32_t& style, uint32_t& exStyle) const {
  TCustomControl::CreateParams(style, exStyle);
  if (TabStop()) style |= WS_TABSTOP;
}

void TCheckBox::SetChecked(bool checked) {
  if (checked == FChecked) return;
  FChecked = checked;
  Invalidate();
}

void TCheckBox::SetPressed(bool pressed) {
  if (pressed == FPressed) return;
  FPressed = pressed;
  Invalidate();
}

void TCheckBox::Toggle() {
  SetChecked(!FChecked);
  Click();
}

void TCheckBox::WndProc(TMessage& message) {
  TCustomControl::WndProc(message);
  switch (message.Msg) {
    case WM_KILLFOCUS:
      // A Space held while the focus goes clicks nothing.
      FSpaceDown = false;
      SetPressed(FMouseDown);
      Invalidate();
      break;
    case WM_SETFOCUS:
    case WM_SETTEXT:
    case CM_FONTCHANGED:
    case CM_ENABLEDCHANGED:
      Invalidate();
      break;
    default:
      break;
  }
}

// Space clicks when it comes up, as a button does.
void TCheckBox::KeyDown(int& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  if (key != VK_SPACE || !Enabled()) return;
  FSpaceDown = true;
  SetPressed(true);
}

void TCheckBox::KeyUp(int& key, TShiftState shift) {
  TCustomControl::KeyUp(key, shift);
  if (key != VK_SPACE || !FSpaceDown) return;
  FSpaceDown = false;
  SetPressed(FMouseDown);
  Toggle();
}

void TCheckBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::MouseDown(button, shift, x, y);
  if (button != mbLeft || !Enabled()) return;
  if (!Focused()) SetFocus();
  FMouseDown = true;
  SetPressed(true);
  SetCapture();
}

void TCheckBox::MouseMove(TShiftState shift, int x, int y) {
  TCustomControl::MouseMove(shift, x, y);
  if (FMouseDown) SetPressed(FSpaceDown || ClientRect().Contains({x, y}));
}

void TCheckBox::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::MouseUp(button, shift, x, y);
  if (button != mbLeft || !FMouseDown) return;
  FMouseDown = false;
  if (CaptureControl() == this) ReleaseCapture();
  SetPressed(FSpaceDown);
  // A click is a press and a release over the control.
  if (ClientRect().Contains({x, y})) Toggle();
}

void TCheckBox::Paint() {
  TCanvas& canvas = Canvas();
  const TRect client = ClientRect();
  const TRect box = TRect::FromSize(0, std::max(0, (client.Height() - kBoxSize) / 2), kBoxSize, kBoxSize);
  Frame3D(canvas, box, clBtnShadow, clBtnHighlight);
  Frame3D(canvas, {box.Left + 1, box.Top + 1, box.Right - 1, box.Bottom - 1}, cl3DDkShadow, cl3DLight);
  canvas.SetBrushStyle(bsSolid);
  canvas.SetBrushColor(FPressed || !Enabled() ? clBtnFace : clWindow);
  canvas.FillRect({box.Left + 2, box.Top + 2, box.Right - 2, box.Bottom - 2});
  if (FChecked) {
    // The tick: down two pixels, then up to the right, three pixels thick.
    canvas.SetPenColor(Enabled() ? clWindowText : clGrayText);
    for (int i = 0; i < 3; ++i) {
      canvas.MoveTo(box.Left + 3, box.Top + 5 + i);
      canvas.LineTo(box.Left + 5, box.Top + 7 + i);
      canvas.LineTo(box.Left + 10, box.Top + 2 + i);
    }
  }
  canvas.Font().Assign(Font());
  if (!Enabled()) canvas.Font().SetColor(clGrayText);
  const int left = kBoxSize + kCaptionGap;
  const int top = std::max(0, (client.Height() - canvas.TextHeight()) / 2);
  canvas.SetBrushStyle(bsClear);
  canvas.TextOut(left, top, Caption());
  canvas.SetBrushStyle(bsSolid);
  if (Focused()) {
    const TRect around = TRect::FromSize(left - 1, top - 1, canvas.TextWidth(Caption()) + 2, canvas.TextHeight() + 2);
    DottedFrame(canvas, around.Intersect(client), clWindowText);
  }
}

// ---- TLabel ----

void TLabel::AfterConstruction() {
  TGraphicControl::AfterConstruction();
  SetParentColor(true);
}

void TLabel::SetAutoSize(bool value) {
  FAutoSize = value;
  AdjustBounds();
}

void TLabel::SetTransparent(bool value) {
  if (value == FTransparent) return;
  FTransparent = value;
  Invalidate();
}

void TLabel::AdjustBounds() {
  if (!FAutoSize || !PlatformInstalled()) return;
  int width = 0;
  for (int advance : Platform().FontEngine().Advances(Font(), Caption())) width += advance;
  SetBounds(Left(), Top(), width, FontHeight(Font()));
  // An aligned label takes its new size where its parent places it.
  if (Align() != alNone && Parent() != nullptr) Parent()->Realign();
}

void TLabel::DefaultHandler(TMessage& message) {
  TGraphicControl::DefaultHandler(message);
  switch (message.Msg) {
    case WM_SETTEXT:
    case CM_FONTCHANGED:
      AdjustBounds();
      Invalidate();
      break;
    case CM_COLORCHANGED:
    case CM_ENABLEDCHANGED:
    case CM_VISIBLECHANGED:
      Invalidate();
      break;
    default:
      break;
  }
}

void TLabel::BoundsChanged() {
  // The parent shows its own pixels again where the label was.
  if (Parent() != nullptr) Parent()->InvalidateRect(FShownBounds);
  FShownBounds = BoundsRect();
  Invalidate();
}

void TLabel::Paint(TCanvas& canvas) {
  const TRect& bounds = BoundsRect();
  canvas.SetBrushStyle(FTransparent ? bsClear : bsSolid);
  canvas.SetBrushColor(Color());
  canvas.FillRect(bounds);
  canvas.Font().Assign(Font());
  if (!Enabled()) canvas.Font().SetColor(clGrayText);
  canvas.TextOut(bounds.Left, bounds.Top, Caption());
  canvas.SetBrushStyle(bsSolid);
}

// ---- Published properties ----

const TClassInfo& TEdit::StaticClassInfo() {
  using C = TEdit;
  static const TClassInfo info = TPublished<C>("TEdit", TWinControl::StaticClassInfo())
      .Property("MaxLength", &C::MaxLength, &C::SetMaxLength, 0)
      .Property("TabStop", &C::TabStop, &C::SetTabStop, true)
      .Property("Text", &C::Text, &C::SetText)
      .Event("OnChange", "TNotifyEvent");
  return info;
}

const TClassInfo& TCheckBox::StaticClassInfo() {
  using C = TCheckBox;
  static const TClassInfo info = TPublished<C>("TCheckBox", TWinControl::StaticClassInfo())
      .Property("Caption", &C::Caption, &C::SetCaption)
      .Property("Checked", &C::Checked, &C::SetChecked, false)
      .Property("ParentColor", &C::ParentColor, &C::SetParentColor, true)
      .Property("TabStop", &C::TabStop, &C::SetTabStop, true);
  return info;
}

const TClassInfo& TLabel::StaticClassInfo() {
  using C = TLabel;
  static const TClassInfo info = TPublished<C>("TLabel", TControl::StaticClassInfo())
      .Property("AutoSize", &C::AutoSize, &C::SetAutoSize, true)
      .Property("Caption", &C::Caption, &C::SetCaption)
      .Property("ParentColor", &C::ParentColor, &C::SetParentColor, true)
      .Property("Transparent", &C::Transparent, &C::SetTransparent, false);
  return info;
}

}  // namespace plomaret
