#include "DriverState.h"

#include <filesystem>

#include "ScriptText.h"
#include "framework/headless/HeadlessPlatform.h"

namespace plomaret::edscript {

// ---- Events ----

void TEventLog::Listen(TEditor& editor) {
  FNextChange = editor.OnChange;
  FNextCaretMoved = editor.OnCaretMoved;
  editor.OnChange = TNotifyEvent(this, &TEventLog::Change);
  editor.OnCaretMoved = TNotifyEvent(this, &TEventLog::CaretMoved);
  editor.OnTopRowChange = TNotifyEvent(this, &TEventLog::TopRowChange);
  editor.OnTopColChange = TNotifyEvent(this, &TEventLog::TopColChange);
  editor.OnSelectionChange = TSelectionChangeEvent(this, &TEventLog::SelectionChange);
  editor.OnSelectionModeChange = TNotifyEvent(this, &TEventLog::SelectionModeChange);
}

void TEventLog::SuppressKeys(TEditor& editor, int key, char character) {
  FSuppressedKey = key;
  FSuppressedChar = character;
  editor.OnKeyDown = key != 0 ? TKeyEvent(this, &TEventLog::KeyDown) : TKeyEvent();
  editor.OnKeyPress = character != '\0' ? TKeyPressEvent(this, &TEventLog::KeyPress) : TKeyPressEvent();
}

std::vector<std::string> TEventLog::Take() {
  std::vector<std::string> lines;
  lines.swap(FLines);
  return lines;
}

// ---- The controls ----

TDriverState::TDriverState() {
  THeadlessPlatform& platform = UseHeadlessPlatform();
  platform.HeadlessFontEngine().SetFixedMetrics({16, 13, 3, 0, 8, 16});
}

TDriverState::~TDriverState() {
  // Views first, while the fountain they may use still exists.
  DropControls();
}

void TDriverState::DropControls() {
  while (!FEditors.empty()) {
    FEditors.back().Owned.reset();
    FEditors.pop_back();
  }
  FForm.reset();
}

TEditor& TDriverState::Current() {
  if (FCurrent >= FEditors.size() || !FEditors[FCurrent].Editor) throw EScriptError("no editor: use 'editor' first");
  return *FEditors[FCurrent].Editor;
}

THeadlessWindow& TDriverState::CurrentWindow() { return HeadlessWindowOf(Current()); }

TEventLog& TDriverState::CurrentEvents() {
  Current();
  return *FEditors[FCurrent].Events;
}

TEditor& TDriverState::MakeEditor(int width, int height) {
  TEditorSlot slot;
  slot.Owned = CreateWithoutOwner<TEditor>();
  slot.Editor = slot.Owned.get();
  slot.Events = Create<TEventLog>();
  slot.Events->Listen(*slot.Editor);
  slot.Editor->SetBounds(0, 0, width, height);
  slot.Editor->HandleNeeded();
  slot.Editor->SetFocus();
  slot.Editor->Update();
  HeadlessWindowOf(*slot.Editor).ClearPaintLog();
  FEditors.push_back(std::move(slot));
  FCurrent = FEditors.size() - 1;
  return *FEditors.back().Editor;
}

bool TDriverState::HasEditor(int number) const {
  return number >= 1 && number <= static_cast<int>(FEditors.size()) && FEditors[static_cast<size_t>(number - 1)].Editor;
}

TDriverState::TEditorSlot& TDriverState::Slot(int number) {
  if (!HasEditor(number)) throw EScriptError("no editor " + std::to_string(number));
  return FEditors[static_cast<size_t>(number - 1)];
}

void TDriverState::Address(int number) {
  Slot(number);
  FCurrent = static_cast<size_t>(number - 1);
}

void TDriverState::DestroyEditor(int number) {
  TEditorSlot& slot = Slot(number);
  if (!slot.Owned) throw EScriptError("the main window's editor goes with the window");
  slot.Owned.reset();
  slot.Editor = nullptr;
  slot.Events.reset();
  while (!FEditors.empty() && !FEditors.back().Editor) FEditors.pop_back();
  for (size_t i = 0; i < FEditors.size(); ++i) {
    if (FEditors[i].Editor) FCurrent = i;
  }
}

void TDriverState::Idle() {
  for (TEditorSlot& slot : FEditors) {
    if (slot.Editor != nullptr) slot.Editor->Update();
  }
  if (FForm) FForm->Update();
}

// ---- The main window ----

void TDriverState::MakeForm() {
  DropControls();
  UseHeadlessPlatform().ClearMessages();
  FForm = CreateWithoutOwner<TForm1>();
  // The INI file beside the "program": in the folder the script runs in.
  FForm->SetProgramFile((std::filesystem::current_path() / "plomaret").string());
  FForm->Show();
  TEditorSlot slot;
  slot.Editor = FForm->Editor1;
  slot.Events = Create<TEventLog>();
  slot.Events->Listen(*slot.Editor);
  FEditors.push_back(std::move(slot));
  FCurrent = 0;
  FForm->Update();
}

TWinControl& TDriverState::KeyboardTarget() {
  TWinControl* focused = TWinControl::FocusedControl();
  if (FForm && focused != nullptr && FForm->ContainsControl(focused)) return *focused;
  return Current();
}

TForm1& TDriverState::Form() {
  if (!FForm) throw EScriptError("no main window: use 'form' first");
  return *FForm;
}

}  // namespace plomaret::edscript
