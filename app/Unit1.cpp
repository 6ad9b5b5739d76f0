#include "app/Unit1.h"

#include <unistd.h>

#include <new>

#include "app/Messages.h"
#include "app/SettingsLocation.h"
#include "app/XFileFixup.h"
#include "framework/core/CodePage.h"
#include "framework/core/Exceptions.h"
#include "framework/core/FileReplacer.h"
#include "framework/core/FormText.h"
#include "framework/core/TextFileReader.h"
#include "framework/gui/Application.h"

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
}

void TForm1::SpeedButton5Click(TObject*) {
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
  const std::string path = OpenDialog1->FileName();
  const std::string name = FileNameOf(path);
  // A file that cannot be read (missing, a folder, binary, too large) is refused
  // before the editor, the caption or the current name change: the open document
  // stays as it was.
  TTextFileReader check(path);
  const TTextFileShape shape = check.Count();
  try {
    Editor1->Lines()->LoadFile(path);
  } catch (const std::bad_alloc&) {
    ShowNoFile();
    throw EOutOfMemory(NotEnoughMemoryMessage("open", name, path));
  } catch (...) {
    ShowNoFile();
    throw;
  }
  FCurrentFileName = path;
  // File names are the system's (UTF-8); the caption is program text.
  SetCaption("tavrino  : " + Utf8ToCp932(name));
  try {
    Reg1->RegFiler("DefaultFilePath")->WriteText(path.substr(0, path.size() - name.size()));
  } catch (const std::exception& error) {
    Application().HandleException(error);
  }
  if (const int64_t dropped = check.Size() - shape.EndMarkOffset - 1; shape.EndMarkOffset >= 0 && dropped > 0) {
    // The text ends at byte 26; saving over the file would lose what follows it.
    ShowMessage(Utf8ToCp932(EndMarkMessage(name, shape.EndMarkOffset, dropped) +
                            "; saving over the file drops them."));
  }
}

void TForm1::ShowNoFile() {
  // Loading failed after the file was checked (memory, or the file changed meanwhile):
  // the editor is empty now and must not be saved over the file it no longer shows.
  FCurrentFileName.clear();
  SetCaption(FNoFileCaption);
}

void TForm1::SpeedButton3Click(TObject*) {
  try {
    ExchangeThroughWorkingCopy(*Editor1->Lines());
  } catch (const std::bad_alloc&) {
    throw EOutOfMemory("Not enough memory to run Exchange on this text.");
  }
  ShowMessage("Complete.");
}

void TForm1::SpeedButton4Click(TObject*) {
  SaveDialog1->SetFileName(FCurrentFileName);
  if (!SaveDialog1->Execute()) return;
  const std::string path = SaveDialog1->FileName();
  TReplaceOptions options;
  // Shown before the file is overwritten in place, so a person knows where the old
  // version is should the program be stopped meanwhile.
  options.OnOldCopy = [](const std::string& path, const std::string& copy) {
    ShowMessage(Utf8ToCp932("\"" + FileNameOf(path) + "\" cannot be replaced by a new file (it has other hard links, or its "
                            "folder is not writable), so it is overwritten in place. Until that is done its old version "
                            "is kept as \"" + copy + "\"."));
  };
  TFileReplacer file(path, options);
  Editor1->Lines()->WriteTo(file);
  file.Commit();
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
