#pragma once
// The main window: a toolbar of five commands over the editor. It is made from its
// stored description (resources/Unit1.txt).

#include <functional>
#include <optional>
#include <string>
#include <sys/stat.h>

#include "app/FindBar.h"
#include "app/StatusBar.h"
#include "app/XFileFixup.h"
#include "editor/EditorControl.h"
#include "framework/gui/Dialogs.h"
#include "framework/gui/Forms.h"
#include "settings/RegMng.h"

namespace plomaret {

class TForm1 : public TForm {
 public:
  void AfterConstruction() override;

  TPanel* Panel2 = nullptr;
  TSpeedButton* SpeedButton1 = nullptr;  // About
  TSpeedButton* SpeedButton2 = nullptr;  // Close
  TSpeedButton* SpeedButton3 = nullptr;  // Exchange
  TSpeedButton* SpeedButton4 = nullptr;  // SaveAs
  TSpeedButton* SpeedButton5 = nullptr;  // Open
  TEditor* Editor1 = nullptr;
  TOpenDialog* OpenDialog1 = nullptr;
  TSaveDialog* SaveDialog1 = nullptr;
  TRegManager* Reg1 = nullptr;
  // Around the described window: the status line under the editor.
  TStatusBar* StatusBar1 = nullptr;
  // And the find and replace bar under the toolbar (hidden until Ctrl+F or Ctrl+H).
  TFindBar* FindBar1 = nullptr;

  // The file last opened or saved (exactly the system's bytes); the name the save
  // dialog proposes and Save writes to.
  const std::string& CurrentFileName() const { return FCurrentFileName; }
  // The program's own file; its INI file lies beside it (".ini" for the extension),
  // or in the user's configuration folder when the program's folder is not writable.
  const std::string& ProgramFile() const { return FProgramFile; }
  void SetProgramFile(const std::string& path) { FProgramFile = path; }

  // Opens a file as Open does after its dialog: the load, the caption, the stored folder.
  // A file that cannot be read is refused before anything changes.
  void OpenFile(const std::string& path);
  // Writes the text over the current file (with no current file: SaveAs); false when
  // nothing was written (cancelled, or the error was shown).
  bool Save();
  // SaveAs's dialog and write; false when nothing was written.
  bool SaveAs();
  // With unsaved edits: asks whether to save them (Yes saves, No drops them, Cancel
  // keeps everything). True when whatever comes next may go on.
  bool AskToSaveChanges();
  // The window became active: a current file changed on disk is offered for reloading.
  void CheckFileOnDisk();
  void FilesDropped(const TDroppedFiles& files);
  TStatusFacts StatusFacts() const;

  void SpeedButton5Click(TObject* sender);  // Open
  void SpeedButton3Click(TObject* sender);  // Exchange
  void SpeedButton4Click(TObject* sender);  // SaveAs
  void SpeedButton1Click(TObject* sender);  // About
  void SpeedButton2Click(TObject* sender);  // Close
  void Editor1MouseWheelDown(TObject* sender, TShiftState shift, TPoint point, bool& handled);
  void Editor1MouseWheelUp(TObject* sender, TShiftState shift, TPoint point, bool& handled);
  void WndProc(TMessage& message) override;

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

 private:
  // The time and size a file had, to tell whether another program changed it.
  struct TFileStamp {
    bool Exists = false;
    off_t Size = 0;
    timespec Modified{};
    bool operator==(const TFileStamp& other) const;
  };
  static TFileStamp StampOf(const std::string& path);

  template <class T>
  T* Part(const char* name);
  void ShowNoFile();
  void MakeAdditions();
  // The file saved or opened becomes the current one: Save's target, the name in the
  // caption and questions, the stamp the check for changes compares with.
  void BecomeCurrentFile(const std::string& path);
  // False when nothing was written because the person declined.
  bool WriteTo(const std::string& path);
  bool OverwriteChangedFile();
  // Runs a command that shows its own failures; false when it failed.
  bool Guarded(const std::function<void()>& command);
  void FormCloseQuery(TObject* sender, bool& canClose);
  void FormShortCut(TObject* sender, TShortCut shortCut, bool& handled);
  void FormActivate(TObject* sender);
  void Editor1Change(TObject* sender);
  void Editor1CaretMoved(TObject* sender);
  void UpdateStatus();

  std::string FCurrentFileName;
  std::string FProgramFile;
  std::string FNoFileCaption;  // the caption while no file is open
  TFileStamp FLoadedStamp;  // the current file when its text was loaded or saved
  TFileStamp FSeenStamp;    // the last change on disk the person was asked about
  std::optional<TFixupCounts> FExchanged;  // the last Exchange's counts, until the next edit
  TOwned<TComponent> FAdditions;  // owns what is not part of the stored description
};

// The classes the main window's description names, registered once.
void RegisterMainWindowClasses();

// The About box's text (Shift-JIS, CR LF line breaks).
std::string AboutText();

}  // namespace plomaret
