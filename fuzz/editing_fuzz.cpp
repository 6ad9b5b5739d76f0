// Random editing of a shown editor control: typing, paste, box paste, BackSpace,
// Delete, Return, Tab, selections of both shapes, caret moves, undo and redo, with
// random caret options. After every step the rows must be well formed and the caret
// inside its limits; at the end undoing every step must give back the start text.

#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "editor/EditorControl.h"
#include "framework/headless/HeadlessPlatform.h"

namespace {

using namespace plomaret;

// A short text of the pieces editing cares about.
std::string Text(TFuzzInput& input) {
  static const char* const pieces[] = {"a", "xy", " ", "\t", "\r\n", "\x82\xa0", "\xb1", ";,", "\r", "\n", "  b\r\n c"};
  std::string text;
  for (int n = input.Below(4) + 1; n > 0; --n) text += pieces[input.Below(11)];
  return text;
}

void CheckWellFormed(TEditor& editor) {
  const TEditorScreenStrings& store = *editor.ScreenStrings();
  const int count = store.Count();
  for (int r = 0; r < count; ++r) {
    const std::string_view row = store.ViewAt(r);
    FUZZ_CHECK(row.find_first_of("\r\n") == std::string_view::npos);
    FUZZ_CHECK(store.RowAttributes(r) != raTextEnd || r == count - 1);
  }
  FUZZ_CHECK(editor.Row() >= 0 && editor.Row() <= count);
  FUZZ_CHECK(editor.Col() >= 0 && editor.Col() <= TEditor::kColumnLimit + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  UseHeadlessPlatform().HeadlessFontEngine().SetFixedMetrics({16, 13, 3, 0, 8, 16});
  TFuzzInput input(data, size);
  TOwned<TEditor> editor = CreateWithoutOwner<TEditor>();
  editor->SetBounds(0, 0, 320, 200);
  editor->HandleNeeded();
  editor->SetFocus();
  editor->SetUndoListMax(1 << 20);  // every step kept, so all can be undone
  const int options = input.Byte();
  editor->Caret()->SetFreeCaret((options & 1) != 0);
  editor->Caret()->SetKeepCaret((options & 2) != 0);
  editor->Caret()->SetInTab((options & 4) != 0);
  editor->Caret()->SetSoftTab((options & 8) != 0);
  editor->Caret()->SetBackSpaceUnIndent((options & 16) != 0);
  editor->Caret()->SetTabIndent((options & 32) != 0);
  if ((options & 64) != 0) {
    editor->WrapOption()->SetWrapByte(20);
    editor->SetWordWrap(true);
  }
  editor->Lines()->SetAllText("Mesh {\r\n  0.5;0.5;,\r\n\t\x82\xa0x\r\n}");
  const std::string start = editor->Lines()->AllText();
  for (int steps = 0; !input.Empty() && steps < 64; ++steps) {
    const int count = editor->ScreenStrings()->Count();
    switch (input.Below(14)) {
      case 0:
        editor->InsertText(Text(input));
        break;
      case 1:
        editor->PasteText(Text(input));
        break;
      case 2:
        editor->BoxPasteText(Text(input));
        break;
      case 3:
        editor->BackSpaceKey();
        break;
      case 4:
        editor->DeleteForward();
        break;
      case 5:
        editor->ReturnKey(input.Below(4) == 0);
        break;
      case 6:
        editor->TabKey();
        break;
      case 7:
        editor->SetRowCol(input.Below(count + 2), input.Below(30));
        break;
      case 8:
        if (!editor->RangeExists()) editor->StartSelection();
        editor->SetRowCol(input.Below(count + 2), input.Below(30));
        editor->ExtendSelection();
        break;
      case 9:
        editor->SetSelectionMode(!editor->SelectionMode());
        break;
      case 10:
        editor->DeleteSelection();
        break;
      case 11:
        editor->MoveSelectionTo(input.Below(count + 2), input.Below(30));
        break;
      case 12:
        editor->Undo();
        break;
      default:
        editor->Redo();
        break;
    }
    CheckWellFormed(*editor);
  }
  while (editor->CanUndo()) editor->Undo();
  FUZZ_CHECK(editor->Lines()->AllText() == start);
  CheckWellFormed(*editor);
  return 0;
}
