// Commands that make, address and free the controls, and the main window's.

#include <filesystem>
#include <fstream>
#include <functional>

#include "DriverCommands.h"
#include "framework/core/Translate.h"
#include "framework/gui/Application.h"
#include "framework/headless/HeadlessPlatform.h"

namespace plomaret::edscript {

namespace {

// A new editor's size: the words from Args[at] on, none or a width and a height.
TSize EditorSize(const TCall& c, size_t at) {
  if (c.Count() <= at) return {640, 480};
  if (c.Count() != at + 2) throw EScriptError("a size is a width and a height");
  return {c.Int(at), c.Int(at + 1)};
}

void Editor(TCall& c) {
  if (c.Is(0, "share")) {
    TEditor& shown = c.Editor();
    const TSize size = EditorSize(c, 1);
    TEditor& added = c.State.MakeEditor(size.Width, size.Height);
    added.ShareRowStore(shown);
    added.Update();
    HeadlessWindowOf(added).ClearPaintLog();
    return;
  }
  c.State.DropControls();
  const TSize size = EditorSize(c, 0);
  c.State.MakeEditor(size.Width, size.Height);
}

void Focus(TCall& c) {
  if (c.Is(0, "none")) {
    if (!c.State.FocusSink) c.State.FocusSink = CreateWithoutOwner<TCustomControl>();
    c.State.FocusSink->SetFocus();
    return;
  }
  const int number = c.Int(0);
  if (!c.State.HasEditor(number)) throw EScriptError("no editor " + c.Word(0));
  c.State.Address(number);
  c.Editor().SetFocus();
}

void Destroy(TCall& c) { c.State.DestroyEditor(c.Int(0)); }

void Font(TCall& c) {
  const int width = c.Int(0);
  const int height = c.Int(1);
  if (width < 1 || height < 1) throw EScriptError("a font needs a width and a height of at least 1");
  const int ascent = height * 5 / 6;
  UseHeadlessPlatform().HeadlessFontEngine().SetFixedMetrics({height, ascent, height - ascent, 0, width, 2 * width});
}

void Size(TCall& c) {
  TEditor& editor = c.Editor();
  editor.SetBounds(editor.Left(), editor.Top(), c.Int(0), c.Int(1));
}

void Fountain(TCall& c) {
  switch (c.OneOf(0, {"new", "assign", "free"})) {
    case 0:
      c.State.Fountain = CreateWithoutOwner<TEditorFountain>();
      break;
    case 1:
      if (!c.State.Fountain) throw EScriptError("no fountain: use 'fountain new' first");
      c.Editor().SetFountain(c.State.Fountain.get());
      break;
    default:
      c.State.Fountain.reset();
      break;
  }
}

void Click(TCall& c) {
  TForm1& form = c.State.Form();
  const std::string& name = c.Word(0);
  TSpeedButton* button = nullptr;
  for (TSpeedButton* candidate : {form.SpeedButton5, form.SpeedButton3, form.SpeedButton4, form.SpeedButton1, form.SpeedButton2}) {
    if (candidate->Caption() == name) button = candidate;
  }
  if (button == nullptr) throw EScriptError("no button '" + name + "': Open, Exchange, SaveAs, About or Close");
  // Pressed and released over the button; an error reaches the message loop, which shows it.
  const intptr_t at = MakeLong(button->Left() + 5, button->Top() + 5);
  try {
    form.Panel2->Perform(WM_LBUTTONDOWN, MK_LBUTTON, at);
    form.Panel2->Perform(WM_LBUTTONUP, 0, at);
  } catch (const std::exception& error) {
    Application().HandleException(error);
  }
}

// A path as a dialog or the file manager gives it: full.
std::string FullPath(const std::string& path) { return std::filesystem::absolute(path).lexically_normal().string(); }

void Answer(TCall& c) {
  THeadlessPlatform& platform = UseHeadlessPlatform();
  if (c.Count() == 1 && c.Is(0, "cancel")) {
    // The next file dialog or question with a Cancel button, whichever comes first.
    platform.ScriptCancel();
  } else if (c.Count() == 1 && (c.Is(0, "yes") || c.Is(0, "no"))) {
    platform.ScriptAnswer(c.Is(0, "yes") ? IDYES : IDNO);
  } else if (c.Count() == 2 && (c.Is(0, "open") || c.Is(0, "save"))) {
    // A dialog answers with a full path.
    platform.ScriptFileChoice(FullPath(c.Word(1)));
  } else {
    c.Usage();
  }
}

const TCommand kControls[] = {
    {"editor", "[W H] | share [W H]", 0, kAnyCount,
     "a bare editor of W x H pixels (640 x 480), replacing every control; share: one more on the same document",
     Editor},
    {"focus", "1|2|none", 1, 1, "focuses and addresses control 1 or 2; none: a control outside the editors", Focus},
    {"destroy", "1|2", 1, 1, "frees a control the driver made (the document stays with the other)", Destroy},
    {"font", "W H", 2, 2, "the headless average character width and height (8 x 16)", Font},
    {"size", "W H", 2, 2, "the addressed control's size", Size},
    {"fountain", "new|assign|free", 1, 1, "makes a TEditorFountain, assigns it to the control, or frees it", Fountain},
};

// An error reaches the message loop, which shows it.
void Guarded(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::exception& error) {
    Application().HandleException(error);
  }
}

void Form(TCall& c) {
  c.State.MakeForm();
  if (c.Count() == 1) {
    // As the program started with FILE: opened as Open does after its dialog.
    const std::string path = c.Word(0);
    Guarded([&] { c.State.Form().OpenFile(path); });
  }
}

void Drop(TCall& c) {
  TDroppedFiles files;
  for (const TWord& word : c.Args) files.push_back(FullPath(word.Text));
  TForm1& form = c.State.Form();
  Guarded([&] { form.Perform(WM_DROPFILES, reinterpret_cast<intptr_t>(&files), MakeLong(100, 100)); });
}

void Write(TCall& c) {
  std::ofstream file(c.Word(0), std::ios::binary | std::ios::trunc);
  file << c.Word(1);
  if (!file.flush()) throw EScriptError("cannot write '" + c.Word(0) + "'");
}

void Remove(TCall& c) {
  const std::filesystem::path path = c.Word(0);
  std::error_code error;
  if (std::filesystem::is_directory(std::filesystem::symlink_status(path, error))) {
    throw EScriptError("'" + c.Word(0) + "' is a folder");
  }
  if (!std::filesystem::remove(path, error)) {
    throw EScriptError(error ? "cannot remove '" + c.Word(0) + "': " + error.message() : "no file '" + c.Word(0) + "'");
  }
}

void Lang(TCall& c) { SetLanguage(c.OneOf(0, {"en", "ja"}) == 1 ? lnJapanese : lnEnglish); }

void FindBarCommand(TCall& c) {
  TFindBar& bar = *c.State.Form().FindBar1;
  if (c.Args[0].Quoted) {
    // The pattern as typed (Unicode), and the options named.
    const auto [matchCase, word, width, lines, blanks] = c.Flags(1, {"case", "word", "width", "lines", "blanks"});
    if (!bar.Visible()) bar.ShowBar(bar.Replacing());
    bar.SetOptions((matchCase ? soMatchCase : 0) | (word ? soWholeWord : 0) | (width ? soFoldWidth : 0) |
                   (lines ? soSpanLineBreaks : 0) | (blanks ? soSkipBlanks : 0));
    bar.SetPatternText(c.Args[0].Written);
    return;
  }
  const size_t what = c.OneOf(0, {"next", "prev", "close", "replace", "replaceall"});
  if ((what >= 3) != (c.Count() == 2) || (what >= 3 && !c.Args[1].Quoted)) c.Usage();
  Guarded([&] {
    switch (what) {
      case 0: bar.FindNext(); break;
      case 1: bar.FindPrevious(); break;
      case 2: bar.CloseBar(); break;
      case 3: bar.ReplaceHit(c.Word(1)); break;
      default: bar.ReplaceAll(c.Word(1)); break;
    }
  });
}

const TCommand kMainWindow[] = {
    {"form", "[FILE]", 0, 1,
     "the main window, shown, replacing every control (as started with FILE); the editor commands act on Editor1", Form},
    {"click", "Open|Exchange|SaveAs|About|Close", 1, 1, "a click on a toolbar button", Click},
    {"answer", "open PATH | save PATH | yes | no | cancel", 1, 2,
     "the answer of the next file dialog (open, save) or question (yes, no); cancel: whichever comes first", Answer},
    {"drop", "FILE...", 1, kAnyCount, "files dropped on the main window from the file manager", Drop},
    {"close", "", 0, 0, "the main window's close box", [](TCall& c) { Guarded([&] { c.State.Form().Perform(WM_CLOSE); }); }},
    {"activate", "", 0, 0, "the main window becomes the active window",
     [](TCall& c) { Guarded([&] { c.State.Form().Perform(WM_ACTIVATE, 1); }); }},
    {"write", "FILE \"BYTES\"", 2, 2, "writes a file (for setting up a test)", Write},
    {"remove", "FILE", 1, 1, "deletes a file (for setting up a test: a file gone from disk)", Remove},
    {"lang", "ja|en", 1, 1, "the language of the program's messages from here on (English at the start)", Lang},
    {"findbar", "\"PATTERN\" [case] [word] [width] [lines] [blanks] | next | prev | close | replace \"WITH\" | replaceall \"WITH\"",
     1, kAnyCount, "the find bar: a pattern typed with its options, or one of its commands", FindBarCommand},
};

}  // namespace

TCommandGroup ControlCommands() { return {"Controls", kControls}; }
TCommandGroup MainWindowCommands() { return {"The main window", kMainWindow}; }

}  // namespace plomaret::edscript
