#include "app/FindBar.h"

#include <algorithm>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "framework/core/CodePage.h"
#include "framework/core/Translate.h"
#include "framework/gui/Application.h"
#include "framework/gui/Messages.h"
#include "framework/gui/Platform.h"
#include "framework/gui/ShownText.h"

namespace plomaret {

namespace {

constexpr int kRowHeight = 26;
constexpr int kMargin = 6;
constexpr int kGap = 4;
constexpr int kMessageHeight = 18;
// The check box's square and the gap before its caption, and a little room after it.
constexpr int kBoxAndGap = 13 + 4 + 4;
constexpr std::string_view kEllipsis = "\x81\x63";  // U+2026 in Shift-JIS

int TextWidthIn(const TFont& font, std::string_view text) {
  if (!PlatformInstalled()) return 0;
  int width = 0;
  for (int advance : Platform().FontEngine().Advances(font, text)) width += advance;
  return width;
}

template <class T>
T* Part(TFindBar* bar, int left, int top, int width, int height) {
  T* part = Create<T>(bar);
  part->SetBounds(left, top, width, height);
  part->SetParent(bar);
  return part;
}

// A part that shows a caption: a button, a label or a check box.
// Its caption in the user's language; Layout places it.
template <class T>
T* Captioned(TFindBar* bar, const std::string& caption, int height) {
  T* part = Part<T>(bar, 0, 0, 60, height);
  part->SetCaption(Utf8ToCp932(caption));
  return part;
}

TSpeedButton* Button(TFindBar* bar, const std::string& caption) { return Captioned<TSpeedButton>(bar, caption, 22); }

TLabel* Label(TFindBar* bar, const std::string& caption) { return Captioned<TLabel>(bar, caption, 16); }

TCheckBox* Option(TFindBar* bar, const std::string& caption) { return Captioned<TCheckBox>(bar, caption, 20); }

// Places parts in a row from left, each as wide as its caption in the user's language
// needs, and never narrower than least.
template <class T>
void Row(std::initializer_list<T*> parts, int left, int top, int least, int extra) {
  for (T* part : parts) {
    const int width = std::max(least, TextWidthIn(part->Font(), part->Caption()) + extra);
    part->SetBounds(left, top, width, part->Height());
    left += width + kGap;
  }
}

}  // namespace

void TPatternField::WndProc(TMessage& message) {
  // Typed text with a character Shift-JIS cannot hold: the search could not look for it.
  if (message.Msg == CM_INPUTREFUSED) {
    message.Result = 1;
    if (auto* bar = dynamic_cast<TFindBar*>(Parent())) bar->SayRefused();
    return;
  }
  TEdit::WndProc(message);
}

void TFindBar::AfterConstruction() {
  TCustomControl::AfterConstruction();
  SetColor(clBtnFace);
  SetAlign(alTop);
  SetVisible(false);
  FindLabel = Label(this, Tr("Find"));
  PatternEdit = Part<TPatternField>(this, 64, 3, 200, 21);
  NextButton = Button(this, Tr("Next"));
  PreviousButton = Button(this, Tr("Previous"));
  CloseButton = Button(this, Tr("Close"));
  ReplaceLabel = Label(this, Tr("Replace"));
  ReplaceEdit = Part<TEdit>(this, 64, kRowHeight + 3, 200, 21);
  ReplaceButton = Button(this, Tr("Replace"));
  ReplaceAllButton = Button(this, Tr("Replace all"));
  MatchCaseBox = Option(this, Tr("Match case"));
  WholeWordBox = Option(this, Tr("Whole word"));
  WidthBox = Option(this, Tr("Half/full width alike"));
  LineBreaksBox = Option(this, Tr("Across line breaks"));
  BlanksBox = Option(this, Tr("Skip blanks"));
  MessageLabel = Label(this, "");
  for (TEdit* field : {PatternEdit, ReplaceEdit}) field->OnKeyDown = TKeyEvent(this, &TFindBar::FieldKeyDown);
  for (TSpeedButton* button : {NextButton, PreviousButton, CloseButton, ReplaceButton, ReplaceAllButton}) {
    button->OnClick = TNotifyEvent(this, &TFindBar::ButtonClick);
  }
  Layout();
}

void TFindBar::Layout() {
  // The find row, the replacement row when replacing, the options, and the message on a
  // row of its own: the whole width is its room, whatever the language.
  const int fieldLeft = kMargin +
                        std::max(TextWidthIn(FindLabel->Font(), FindLabel->Caption()),
                                 TextWidthIn(ReplaceLabel->Font(), ReplaceLabel->Caption())) +
                        2 * kGap;
  FindLabel->SetBounds(kMargin, 7, FindLabel->Width(), FindLabel->Height());
  ReplaceLabel->SetBounds(kMargin, kRowHeight + 7, ReplaceLabel->Width(), ReplaceLabel->Height());
  PatternEdit->SetBounds(fieldLeft, 3, 200, 21);
  ReplaceEdit->SetBounds(fieldLeft, kRowHeight + 3, 200, 21);
  const int buttonsLeft = fieldLeft + 200 + 2 * kGap;
  Row({NextButton, PreviousButton, CloseButton}, buttonsLeft, 3, 52, 16);
  Row({ReplaceButton, ReplaceAllButton}, buttonsLeft, kRowHeight + 3, 52, 16);
  const int optionsTop = (FReplacing ? 2 : 1) * kRowHeight + 2;
  for (TControl* part : {static_cast<TControl*>(ReplaceLabel), static_cast<TControl*>(ReplaceEdit),
                         static_cast<TControl*>(ReplaceButton), static_cast<TControl*>(ReplaceAllButton)}) {
    part->SetVisible(FReplacing);
  }
  Row({MatchCaseBox, WholeWordBox, WidthBox, LineBreaksBox, BlanksBox}, kMargin, optionsTop, 0, kBoxAndGap);
  const int messageTop = optionsTop + 22;
  MessageLabel->SetBounds(kMargin, messageTop, MessageLabel->Width(), MessageLabel->Height());
  SetBounds(Left(), Top(), Width(), messageTop + kMessageHeight + 2);
}

int TFindBar::MessageRoom() const { return ClientWidth() - 2 * kMargin; }

void TFindBar::BoundsChanged() {
  TCustomControl::BoundsChanged();
  // A narrower or wider bar shortens the pattern in the message more or less.
  if (MessageLabel != nullptr && FShownRoom != MessageRoom()) ShowMessage();
}

void TFindBar::Paint() {
  const TRect area = ClientRect();
  Canvas().SetPenColor(clBtnShadow);
  Canvas().MoveTo(area.Left, area.Bottom - 1);
  Canvas().LineTo(area.Right, area.Bottom - 1);
}

void TFindBar::ShowBar(bool replacing) {
  FReplacing = replacing;
  Layout();
  SetVisible(true);
  if (Parent() != nullptr) Parent()->Realign();
  if (PatternEdit->HandleAllocated()) {
    PatternEdit->SetFocus();
    PatternEdit->SelectAll();
  }
}

void TFindBar::CloseBar() {
  SetVisible(false);
  if (Parent() != nullptr) Parent()->Realign();
  if (FEditor != nullptr && FEditor->HandleAllocated()) FEditor->SetFocus();
}

bool TFindBar::SetPatternText(const std::string& utf8) {
  const std::string pattern = Utf8ToCp932(utf8);
  // A character Shift-JIS cannot hold comes back as '?': the search would look for something else.
  if (Cp932ToUtf8(pattern) != utf8) {
    SayRefused();
    return false;
  }
  PatternEdit->SetText(pattern);
  Say("");
  return true;
}

void TFindBar::SayRefused() { Say(Tr("The pattern has a character that Shift-JIS cannot hold; it was not taken.")); }

TSearchOptions TFindBar::Options() const {
  TSearchOptions options = 0;
  if (MatchCaseBox->Checked()) options |= soMatchCase;
  if (WholeWordBox->Checked()) options |= soWholeWord;
  if (WidthBox->Checked()) options |= soFoldWidth;
  if (LineBreaksBox->Checked()) options |= soSpanLineBreaks;
  if (BlanksBox->Checked()) options |= soSkipBlanks;
  return options;
}

void TFindBar::SetOptions(TSearchOptions options) {
  MatchCaseBox->SetChecked((options & soMatchCase) != 0);
  WholeWordBox->SetChecked((options & soWholeWord) != 0);
  WidthBox->SetChecked((options & soFoldWidth) != 0);
  LineBreaksBox->SetChecked((options & soSpanLineBreaks) != 0);
  BlanksBox->SetChecked((options & soSkipBlanks) != 0);
}

void TFindBar::Say(const std::string& sentence, const std::string& pattern) {
  FSentence = sentence;
  FPatternSaid = pattern;
  ShowMessage();
  OnSearched(this);
}

void TFindBar::ShowMessage() {
  FShownRoom = MessageRoom();
  const auto fits = [&](const std::string& text) { return TextWidthIn(MessageLabel->Font(), text) <= FShownRoom; };
  std::string shown = ShownSentence(FSentence, {FPatternSaid});
  if (!fits(shown) && !FPatternSaid.empty()) {
    // A long pattern loses characters from its middle, the sentence none: the most
    // characters kept that fit, found by halving (the width grows with the count).
    const std::vector<std::string_view> characters = SplitCharacters(FPatternSaid);
    const auto shortened = [&](size_t kept) {
      std::string text;
      for (size_t i = 0; i < (kept + 1) / 2; ++i) text += characters[i];
      text += kEllipsis;
      for (size_t i = characters.size() - kept / 2; i < characters.size(); ++i) text += characters[i];
      return ShownSentence(FSentence, {text});
    };
    size_t low = 0, high = characters.size() - 1;  // low is kept at most when nothing fits
    while (low < high) {
      const size_t middle = (low + high + 1) / 2;
      if (fits(shortened(middle))) {
        low = middle;
      } else {
        high = middle - 1;
      }
    }
    shown = shortened(low);
  }
  MessageLabel->SetCaption(shown);
}

bool TFindBar::FindNext() { return Find(true); }

bool TFindBar::FindPrevious() { return Find(false); }

bool TFindBar::Find(bool forward) {
  if (FEditor == nullptr) return false;
  const std::string pattern = Pattern();
  if (pattern.empty()) {
    Say(Tr("Type what to find."));
    return false;
  }
  const TSearchOptions options = Options() | (forward ? soForward : 0);
  if (FEditor->FindText(pattern, options)) {
    Say("");
    return true;
  }
  // Once round: from the other end, and back to where it was when that finds nothing.
  const int start = FEditor->SelStart();
  const int length = FEditor->SelLength();
  FEditor->CleanSelection();
  FEditor->SetSelStart(forward ? 0 : FEditor->Perform(WM_GETTEXTLENGTH));
  if (FEditor->FindText(pattern, options)) {
    Say(forward ? Tr("Wrapped: found from the top.") : Tr("Wrapped: found from the end."));
    return true;
  }
  FEditor->SetSelStart(start);
  FEditor->SetSelLength(length);
  Say(Tr("\"%1\" was not found."), pattern);
  return false;
}

int TFindBar::ShownHitLength() const { return FEditor->SelLength() > 0 ? FEditor->SelLength() : FEditor->HitLength(); }

bool TFindBar::SelectionMatches() {
  const std::string pattern = Pattern();
  const int start = FEditor->SelStart();
  const int length = ShownHitLength();
  if (pattern.empty() || length <= 0) return false;
  // The pattern or the options may have changed since the hit was found, or the
  // selection was made by hand: it is a match only when a search from its start finds
  // one exactly there and exactly as long.
  FEditor->SetSelStart(start);
  if (FEditor->FindText(pattern, Options() | soForward) && FEditor->SelStart() == start &&
      ShownHitLength() == length) {
    return true;
  }
  FEditor->SetSelStart(start);
  FEditor->SetSelLength(length);
  return false;
}

void TFindBar::ReplaceHit(const std::string& with) {
  if (FEditor == nullptr) return;
  if (SelectionMatches()) {
    const int start = FEditor->SelStart();
    const int length = ShownHitLength();
    FEditor->SetSelStart(start);
    FEditor->SetSelLength(length);
    FEditor->Perform(EM_REPLACESEL, 1, reinterpret_cast<intptr_t>(with.c_str()));
  }
  FindNext();
}

int64_t TFindBar::ReplaceAll(const std::string& with) {
  if (FEditor == nullptr) return 0;
  const std::string pattern = Pattern();
  if (pattern.empty()) {
    Say(Tr("Type what to find."));
    return 0;
  }
  const std::string text = FEditor->Lines()->AllText();
  const std::vector<TSearchMatch> matches = SearchAll(text.c_str(), pattern, Options());
  if (matches.empty()) {
    Say(Tr("\"%1\" was not found."), pattern);
    return 0;
  }
  const int32_t first = matches.front().Start;
  const int32_t end = matches.back().Start + matches.back().Length;
  std::string replaced;
  replaced.reserve(static_cast<size_t>(end - first) + matches.size() * with.size());
  int32_t from = first;
  for (const TSearchMatch& match : matches) {
    replaced.append(text, static_cast<size_t>(from), static_cast<size_t>(match.Start - from));
    replaced += with;
    from = match.Start + match.Length;
  }
  // One change over the span of the matches: one undo step.
  FEditor->SetSelStart(first);
  FEditor->SetSelLength(end - first);
  FEditor->Perform(EM_REPLACESEL, 1, reinterpret_cast<intptr_t>(replaced.c_str()));
  const auto count = static_cast<int64_t>(matches.size());
  Say(TrPlural(count, "Replaced %n match.", "Replaced %n matches."));
  return count;
}

void TFindBar::FieldKeyDown(TObject* sender, int& key, TShiftState shift) {
  if (key == VK_ESCAPE) {
    key = 0;
    CloseBar();
  } else if (key == VK_RETURN) {
    key = 0;
    if (sender == ReplaceEdit) {
      ReplaceHit(ReplaceEdit->Text());
    } else if (shift.Contains(ssShift)) {
      FindPrevious();
    } else {
      FindNext();
    }
  }
}

void TFindBar::ButtonClick(TObject* sender) {
  if (sender == NextButton) FindNext();
  if (sender == PreviousButton) FindPrevious();
  if (sender == CloseButton) CloseBar();
  if (sender == ReplaceButton) ReplaceHit(ReplaceEdit->Text());
  if (sender == ReplaceAllButton) ReplaceAll(ReplaceEdit->Text());
}

}  // namespace plomaret
