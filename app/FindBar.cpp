#include "app/FindBar.h"

#include <vector>

#include "framework/core/CodePage.h"
#include "framework/gui/Application.h"
#include "framework/gui/Messages.h"

namespace plomaret {

namespace {

constexpr int kRowHeight = 26;

template <class T>
T* Part(TFindBar* bar, int left, int top, int width, int height) {
  T* part = Create<T>(bar);
  part->SetBounds(left, top, width, height);
  part->SetParent(bar);
  return part;
}

// A part that shows a caption: a button, a label or a check box.
template <class T>
T* Captioned(TFindBar* bar, const char* caption, int left, int top, int width, int height) {
  T* part = Part<T>(bar, left, top, width, height);
  part->SetCaption(caption);
  return part;
}

TSpeedButton* Button(TFindBar* bar, const char* caption, int left, int top, int width) {
  return Captioned<TSpeedButton>(bar, caption, left, top, width, 22);
}

TLabel* Label(TFindBar* bar, const char* caption, int left, int top) {
  return Captioned<TLabel>(bar, caption, left, top, 60, 16);
}

TCheckBox* Option(TFindBar* bar, const char* caption, int left, int top, int width) {
  return Captioned<TCheckBox>(bar, caption, left, top, width, 20);
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
  FindLabel = Label(this, "Find", 6, 7);
  PatternEdit = Part<TPatternField>(this, 64, 3, 200, 21);
  NextButton = Button(this, "Next", 270, 3, 64);
  PreviousButton = Button(this, "Previous", 338, 3, 64);
  CloseButton = Button(this, "Close", 406, 3, 52);
  ReplaceLabel = Label(this, "Replace", 6, kRowHeight + 7);
  ReplaceEdit = Part<TEdit>(this, 64, kRowHeight + 3, 200, 21);
  ReplaceButton = Button(this, "Replace", 270, kRowHeight + 3, 64);
  ReplaceAllButton = Button(this, "Replace all", 338, kRowHeight + 3, 84);
  MatchCaseBox = Option(this, "Match case", 6, 0, 92);
  WholeWordBox = Option(this, "Whole word", 100, 0, 92);
  WidthBox = Option(this, "Half/full width alike", 194, 0, 150);
  LineBreaksBox = Option(this, "Across line breaks", 346, 0, 136);
  BlanksBox = Option(this, "Skip blanks", 484, 0, 96);
  MessageLabel = Label(this, "", 466, 7);
  for (TEdit* field : {PatternEdit, ReplaceEdit}) field->OnKeyDown = TKeyEvent(this, &TFindBar::FieldKeyDown);
  for (TSpeedButton* button : {NextButton, PreviousButton, CloseButton, ReplaceButton, ReplaceAllButton}) {
    button->OnClick = TNotifyEvent(this, &TFindBar::ButtonClick);
  }
  Layout();
}

void TFindBar::Layout() {
  // Find row (with the message), the replacement row when replacing, then the options.
  const int optionsTop = (FReplacing ? 2 : 1) * kRowHeight + 2;
  for (TControl* part : {static_cast<TControl*>(ReplaceLabel), static_cast<TControl*>(ReplaceEdit),
                         static_cast<TControl*>(ReplaceButton), static_cast<TControl*>(ReplaceAllButton)}) {
    part->SetVisible(FReplacing);
  }
  for (TCheckBox* box : {MatchCaseBox, WholeWordBox, WidthBox, LineBreaksBox, BlanksBox}) {
    box->SetBounds(box->Left(), optionsTop, box->Width(), box->Height());
  }
  SetBounds(Left(), Top(), Width(), optionsTop + 24);
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

void TFindBar::SayRefused() { Say("The pattern has a character that Shift-JIS cannot hold; it was not taken."); }

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

void TFindBar::Say(const std::string& text) {
  MessageLabel->SetCaption(Utf8ToCp932(text));
  OnSearched(this);
}

bool TFindBar::FindNext() { return Find(true); }

bool TFindBar::FindPrevious() { return Find(false); }

bool TFindBar::Find(bool forward) {
  if (FEditor == nullptr) return false;
  const std::string pattern = Pattern();
  if (pattern.empty()) {
    Say("Type what to find.");
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
    Say(forward ? "Wrapped: found from the top." : "Wrapped: found from the end.");
    return true;
  }
  FEditor->SetSelStart(start);
  FEditor->SetSelLength(length);
  Say("\"" + Cp932ToUtf8(pattern) + "\" was not found.");
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
    Say("Type what to find.");
    return 0;
  }
  const std::string text = FEditor->Lines()->AllText();
  const std::vector<TSearchMatch> matches = SearchAll(text.c_str(), pattern, Options());
  if (matches.empty()) {
    Say("\"" + Cp932ToUtf8(pattern) + "\" was not found.");
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
  Say("Replaced " + std::to_string(count) + (count == 1 ? " match." : " matches."));
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
