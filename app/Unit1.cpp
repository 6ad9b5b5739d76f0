#include "app/Unit1.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <initializer_list>
#include <new>
#include <string_view>

#include "app/Messages.h"
#include "app/SettingsLocation.h"
#include "app/XFileFixup.h"
#include "framework/core/CodePage.h"
#include "framework/core/Exceptions.h"
#include "framework/core/FileReplacer.h"
#include "framework/core/FormText.h"
#include "framework/core/TextFileReader.h"
#include "framework/core/Translate.h"
#include "framework/gui/Application.h"
#include "framework/gui/Dialogs.h"
#include "framework/gui/ShownText.h"

extern const char* const kUnit1FormText;

namespace plomaret {

namespace {

// The path of the running program.
std::string RunningProgram() {
  std::string path(4096, '\0');
  const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
  path.resize(length > 0 ? static_cast<size_t>(length) : 0);
  return path;
}

// The file-name part of a path: the text after the last "/".
std::string FileNameOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A name relative to the working folder (a command line's) keeps its folder; the
// current file is compared and shown by this one spelling.
std::string FullPath(const std::string& given) {
  return given.empty() ? given : std::filesystem::absolute(given).lexically_normal().string();
}

// A file named in a sentence: its name part as the system would show it.
std::string ShownFile(const std::string& path) { return ShownName(FileNameOf(path)); }

}  // namespace

void RegisterMainWindowClasses() {
  RegisterComponentClass<TForm1>();
  RegisterComponentClass<TPanel>();
  RegisterComponentClass<TSpeedButton>();
  RegisterComponentClass<TEditor>();
  RegisterComponentClass<TOpenDialog>();
  RegisterComponentClass<TSaveDialog>();
  RegisterComponentClass<TRegManager>();
}

std::string AboutText() {
  return Utf8ToCp932(
      "Metasequoia LE 2.4 が出力する X ファイルの\r\n"
      "MeshTextureCoords セクションの　；，->　；　変換を行い\r\n"
      "MeshVertexColors セクションをコメントアウトします。\r\n"
      "\r\n"
      "FMS 附属 ParEdit.exe で従来通りの表示を可能にするための\r\n"
      "処理なので、元ファイルのバックアップをお勧めします。");
}

template <class T>
T* TForm1::Part(const char* name) {
  auto* part = dynamic_cast<T*>(FindComponent(name));
  if (part == nullptr) throw EComponentError(std::string("the main window's description has no ") + name);
  return part;
}

void TForm1::AfterConstruction() {
  TForm::AfterConstruction();
  RegisterMainWindowClasses();
  FProgramFile = RunningProgram();
  ReadFormTextInto(kUnit1FormText, *this);
  FNoFileCaption = Caption();
  Panel2 = Part<TPanel>("Panel2");
  SpeedButton1 = Part<TSpeedButton>("SpeedButton1");
  SpeedButton2 = Part<TSpeedButton>("SpeedButton2");
  SpeedButton3 = Part<TSpeedButton>("SpeedButton3");
  SpeedButton4 = Part<TSpeedButton>("SpeedButton4");
  SpeedButton5 = Part<TSpeedButton>("SpeedButton5");
  Editor1 = Part<TEditor>("Editor1");
  OpenDialog1 = Part<TOpenDialog>("OpenDialog1");
  SaveDialog1 = Part<TSaveDialog>("SaveDialog1");
  Reg1 = Part<TRegManager>("Reg1");
  // The handlers the description names.
  SpeedButton5->OnClick = TNotifyEvent(this, &TForm1::SpeedButton5Click);
  SpeedButton3->OnClick = TNotifyEvent(this, &TForm1::SpeedButton3Click);
  SpeedButton4->OnClick = TNotifyEvent(this, &TForm1::SpeedButton4Click);
  SpeedButton1->OnClick = TNotifyEvent(this, &TForm1::SpeedButton1Click);
  SpeedButton2->OnClick = TNotifyEvent(this, &TForm1::SpeedButton2Click);
  Editor1->OnMouseWheelDown = TMouseWheelUpDownEvent(this, &TForm1::Editor1MouseWheelDown);
  Editor1->OnMouseWheelUp = TMouseWheelUpDownEvent(this, &TForm1::Editor1MouseWheelUp);
  MakeAdditions();
}

void TForm1::MakeAdditions() {
  // Not part of the description: owned apart, so the form's stored values stay its own.
  FAdditions = CreateWithoutOwner<TComponent>();
  StatusBar1 = Create<TStatusBar>(FAdditions.get());
  StatusBar1->SetName("StatusBar1");
  // The editor keeps its size: the window grows by the status line.
  SetBounds(Left(), Top(), Width(), Height() + StatusBar1->Height());
  StatusBar1->SetParent(this);
  StatusBar1->Font().Assign(Font());
  StatusBar1->SetTextSource([this] { return StatusLine(StatusFacts()); },
                            [this] { return StatusLine(StatusFacts(), true); });
  FindBar1 = Create<TFindBar>(FAdditions.get());
  FindBar1->SetName("FindBar1");
  FindBar1->SetParent(this);
  FindBar1->SetEditor(Editor1);
  // A search moves the caret while the keyboard is in the bar: the status follows.
  FindBar1->OnSearched = TNotifyEvent(this, &TForm1::Editor1CaretMoved);
  OnCloseQuery = TCloseQueryEvent(this, &TForm1::FormCloseQuery);
  OnShortCut = TShortCutEvent(this, &TForm1::FormShortCut);
  OnActivate = TNotifyEvent(this, &TForm1::FormActivate);
  Editor1->OnChange = TNotifyEvent(this, &TForm1::Editor1Change);
  Editor1->OnCaretMoved = TNotifyEvent(this, &TForm1::Editor1CaretMoved);
  DragAcceptFiles(true);
  UpdateStatus();
}

// ---- Status ----

TStatusFacts TForm1::StatusFacts() const {
  TStatusFacts facts;
  facts.Row = Editor1->Row();
  facts.Col = Editor1->Col();
  if (Editor1->WordWrap()) facts.Line = Editor1->LineIndexOfRow(Editor1->Row());
  facts.Lines = Editor1->Lines()->Count();
  facts.Modified = Editor1->Modified();
  if (FExchanged) facts.Exchanged = std::pair{FExchanged->CommasDropped, FExchanged->LinesCommentedOut};
  return facts;
}

void TForm1::UpdateStatus() {
  if (StatusBar1 != nullptr) StatusBar1->Invalidate();
}

void TForm1::Editor1Change(TObject*) {
  FExchanged.reset();
  UpdateStatus();
}

void TForm1::Editor1CaretMoved(TObject*) { UpdateStatus(); }

void TForm1::SpeedButton5Click(TObject*) {
  if (!AskToSaveChanges()) return;
  Reg1->SetIniFileName(SettingsFilePath(FProgramFile));
  // A settings file that cannot be read or written is reported, and the file is
  // opened all the same: from the default folder, and loaded though its folder
  // could not be stored.
  std::string folder;
  try {
    folder = Reg1->RegFiler("DefaultFilePath")->ReadText();
  } catch (const std::exception& error) {
    Application().HandleException(error);
  }
  OpenDialog1->SetInitialDir(folder);
  if (!OpenDialog1->Execute()) return;
  OpenFile(OpenDialog1->FileName());
}

void TForm1::OpenFile(const std::string& given) {
  const std::string path = FullPath(given);
  Reg1->SetIniFileName(SettingsFilePath(FProgramFile));
  const std::string name = FileNameOf(path);
  // A file that cannot be read (missing, a folder, binary, too large) is refused
  // before the editor, the caption or the current name change: the open document
  // stays as it was.
  TTextFileReader check(path);
  const TTextFileShape shape = check.Count();
  try {
    Editor1->Lines()->LoadCountedFile(check, shape);
  } catch (const std::bad_alloc&) {
    ShowNoFile();
    // The name in the system's bytes: the message box shows it as the caption does.
    throw EOutOfMemory(NotEnoughMemoryMessage("open", name, path));
  } catch (...) {
    ShowNoFile();
    throw;
  }
  FExchanged.reset();
  BecomeCurrentFile(path);
  try {
    Reg1->RegFiler("DefaultFilePath")->WriteText(path.substr(0, path.size() - name.size()));
  } catch (const std::exception& error) {
    Application().HandleException(error);
  }
  if (const int64_t dropped = check.Size() - shape.EndMarkOffset - 1; shape.EndMarkOffset >= 0 && dropped > 0) {
    // The text ends at byte 26; saving over the file would lose what follows it.
    ShowMessage(ShownSentence(
        TrPlural(dropped,
                 "%1: %n byte after the end-of-file mark (0x1A) at byte %2 is not part of the text; saving over "
                 "the file drops it.",
                 "%1: %n bytes after the end-of-file mark (0x1A) at byte %2 are not part of the text; saving over "
                 "the file drops them.",
                 {"%1", std::to_string(shape.EndMarkOffset)}),
        {ShownName(name)}));
  }
}

void TForm1::BecomeCurrentFile(const std::string& path) {
  FCurrentFileName = path;
  FLoadedStamp = FSeenStamp = StampOf(path);
  UpdateStatus();
  SetCaption("tavrino  : " + ShownFile(path));
}

void TForm1::ShowNoFile() {
  // Loading failed after the file was checked (memory, or the file changed meanwhile):
  // the editor is empty now and must not be saved over the file it no longer shows.
  FCurrentFileName.clear();
  FLoadedStamp = FSeenStamp = {};
  SetCaption(FNoFileCaption);
  UpdateStatus();
}

void TForm1::SpeedButton3Click(TObject*) {
  try {
    const TFixupCounts counts = ExchangeAsWholeText(*Editor1->Lines());
    // Shown until the next edit (the change it made itself comes first).
    FExchanged = counts;
    UpdateStatus();
  } catch (const std::bad_alloc&) {
    // Exchange is all or nothing: the text, its history and its modified state stand.
    throw EOutOfMemory(Tr("Not enough memory to run Exchange on this text. Nothing was changed."));
  }
  ShowMessage("Complete.");
}

void TForm1::SpeedButton4Click(TObject*) { SaveAs(); }

bool TForm1::SaveAs() {
  SaveDialog1->SetFileName(FCurrentFileName);
  if (!SaveDialog1->Execute()) return false;
  const std::string path = FullPath(SaveDialog1->FileName());
  if (path == FCurrentFileName && !OverwriteChangedFile()) return false;
  if (!WriteTo(path)) return false;
  // What was saved is what Ctrl+S, the questions and the check for changes on disk
  // mean from now on. The stored folder stays the last opened file's.
  BecomeCurrentFile(path);
  return true;
}

bool TForm1::Save() {
  if (FCurrentFileName.empty()) return SaveAs();
  if (!OverwriteChangedFile()) return false;
  if (!WriteTo(FCurrentFileName)) return false;
  FLoadedStamp = FSeenStamp = StampOf(FCurrentFileName);
  return true;
}

bool TForm1::WriteTo(const std::string& path) {
  TReplaceOptions options;
  // Shown before the file is overwritten in place, so a person knows where the old
  // version is should the program be stopped meanwhile.
  options.OnOldCopy = [](const std::string& path, const std::string& copy) {
    ShowMessage(
        ShownSentence(Tr("\"%1\" cannot be replaced by a new file (it has other hard links, or its folder is not "
                         "writable), so it is overwritten in place. Until that is done its old version is kept as "
                         "\"%2\"."),
                      {ShownFile(path), ShownName(copy)}));
  };
  const auto write = [&] {
    TFileReplacer file(path, options);
    Editor1->Lines()->WriteTo(file);
    file.Commit();
  };
  try {
    write();
  } catch (const EReadOnlyFile&) {
    // The permission is the owner's word that the file should stay: only a Yes overrides it.
    const int answer = MessageBox(ShownSentence(Tr("\"%1\" is read-only. Save it anyway?"), {ShownFile(path)}),
                                  Application().Title(), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
    if (answer != IDYES) return false;
    options.ReplaceReadOnly = true;
    write();
  }
  // The text is on disk now: nothing is lost by closing.
  Editor1->SetModified(false);
  UpdateStatus();
  return true;
}

bool TForm1::OverwriteChangedFile() {
  const TFileStamp now = StampOf(FCurrentFileName);
  if (!now.Exists || now == FLoadedStamp) return true;
  return MessageBox(ShownSentence(Tr("\"%1\" was changed by another program since it was loaded. Overwrite it?"),
                                  {ShownFile(FCurrentFileName)}),
                    Application().Title(), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

// ---- Unsaved edits, files changed on disk, drops ----

bool TForm1::Guarded(const std::function<void()>& command) {
  try {
    command();
    return true;
  } catch (const std::exception& error) {
    Application().HandleException(error);
    return false;
  }
}

bool TForm1::AskToSaveChanges() {
  if (!Editor1->Modified()) return true;
  const std::string text = FCurrentFileName.empty()
                               ? ShownSentence(Tr("Save changes to the new text?"), {})
                               : ShownSentence(Tr("Save changes to \"%1\"?"), {ShownFile(FCurrentFileName)});
  switch (MessageBox(text, Application().Title(), MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDYES: {
      bool saved = false;
      Guarded([&] { saved = Save(); });
      return saved;
    }
    case IDNO: return true;
    default: return false;
  }
}

void TForm1::FormCloseQuery(TObject*, bool& canClose) { canClose = AskToSaveChanges(); }

void TForm1::FormActivate(TObject*) { CheckFileOnDisk(); }

void TForm1::CheckFileOnDisk() {
  if (FCurrentFileName.empty()) return;
  const TFileStamp now = StampOf(FCurrentFileName);
  // Gone is nothing to reload; a change already asked about is not asked again.
  if (!now.Exists || now == FLoadedStamp || now == FSeenStamp) return;
  FSeenStamp = now;
  const std::string text =
      ShownSentence(Tr("\"%1\" was changed by another program. Reload it? (Your text here and its undo history "
                       "would be replaced.)"),
                    {ShownFile(FCurrentFileName)});
  if (MessageBox(text, Application().Title(), MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  const std::string path = FCurrentFileName;
  Guarded([&] { OpenFile(path); });
}

void TForm1::FilesDropped(const TDroppedFiles& files) {
  if (files.empty() || !AskToSaveChanges()) return;
  if (!Guarded([&] { OpenFile(files.front()); })) return;
  if (files.size() > 1) {
    const auto others = static_cast<int64_t>(files.size() - 1);
    ShowMessage(ShownSentence(TrPlural(others, "Only \"%1\" was opened; %n other file was not.",
                                       "Only \"%1\" was opened; %n other files were not.", {"%1"}),
                              {ShownFile(files.front())}));
  }
}

void TForm1::WndProc(TMessage& message) {
  if (message.Msg == WM_DROPFILES) {
    FilesDropped(*reinterpret_cast<const TDroppedFiles*>(message.WParam));
    return;
  }
  TForm::WndProc(message);
}

TForm1::TFileStamp TForm1::StampOf(const std::string& path) {
  struct stat status {};
  if (path.empty() || ::stat(path.c_str(), &status) != 0) return {};
  return {true, status.st_size, status.st_mtim};
}

bool TForm1::TFileStamp::operator==(const TFileStamp& other) const {
  return Exists == other.Exists && Size == other.Size && Modified.tv_sec == other.Modified.tv_sec &&
         Modified.tv_nsec == other.Modified.tv_nsec;
}

// ---- Shortcuts ----

void TForm1::FormShortCut(TObject*, TShortCut shortCut, bool& handled) {
  const std::function<void()> command = [&]() -> std::function<void()> {
    if (shortCut == ShortCut('S', scCtrl)) return [this] { Save(); };
    if (shortCut == ShortCut('S', scCtrl | scShift)) return [this] { SaveAs(); };
    if (shortCut == ShortCut('O', scCtrl)) return [this] { SpeedButton5Click(this); };
    if (shortCut == ShortCut('E', scCtrl)) return [this] { SpeedButton3Click(this); };
    if (shortCut == ShortCut(VK_F1, 0)) return [this] { SpeedButton1Click(this); };
    if (shortCut == ShortCut('Q', scCtrl)) return [this] { SpeedButton2Click(this); };
    if (shortCut == ShortCut('F', scCtrl)) return [this] { FindBar1->ShowBar(false); };
    if (shortCut == ShortCut('H', scCtrl)) return [this] { FindBar1->ShowBar(true); };
    if (shortCut == ShortCut(VK_F3, 0)) return [this] { FindBar1->FindNext(); };
    if (shortCut == ShortCut(VK_F3, scShift)) return [this] { FindBar1->FindPrevious(); };
    return {};
  }();
  if (!command) return;
  handled = true;
  Guarded(command);
}

void TForm1::SpeedButton1Click(TObject*) { ShowMessage(AboutText()); }

void TForm1::SpeedButton2Click(TObject*) { Close(); }

void TForm1::Editor1MouseWheelDown(TObject*, TShiftState, TPoint, bool&) { Editor1->SetRow(Editor1->Row() + 2); }

void TForm1::Editor1MouseWheelUp(TObject*, TShiftState, TPoint, bool&) { Editor1->SetRow(Editor1->Row() - 2); }

const TClassInfo& TForm1::StaticClassInfo() {
  static const TClassInfo info = TPublished<TForm1>("TForm1", TForm::StaticClassInfo());
  return info;
}

}  // namespace plomaret
