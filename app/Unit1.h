#pragma once
// The main window: a toolbar of five commands over the editor. It is made from its
// stored description (resources/Unit1.txt).

#include <string>

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

  // The file last opened; the name the save dialog proposes.
  const std::string& CurrentFileName() const { return FCurrentFileName; }
  // The program's own file; its INI file lies beside it (".ini" for the extension),
  // or in the user's configuration folder when the program's folder is not writable.
  const std::string& ProgramFile() const { return FProgramFile; }
  void SetProgramFile(const std::string& path) { FProgramFile = path; }

  void SpeedButton5Click(TObject* sender);  // Open
  void SpeedButton3Click(TObject* sender);  // Exchange
  void SpeedButton4Click(TObject* sender);  // SaveAs
  void SpeedButton1Click(TObject* sender);  // About
  void SpeedButton2Click(TObject* sender);  // Close
  void Editor1MouseWheelDown(TObject* sender, TShiftState shift, TPoint point, bool& handled);
  void Editor1MouseWheelUp(TObject* sender, TShiftState shift, TPoint point, bool& handled);

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

 private:
  template <class T>
  T* Part(const char* name);
  void ShowNoFile();

  std::string FCurrentFileName;
  std::string FProgramFile;
  std::string FNoFileCaption;  // the caption while no file is open
};

// The classes the main window's description names, registered once.
void RegisterMainWindowClasses();

// The About box's text (Shift-JIS, CR LF line breaks).
std::string AboutText();

}  // namespace plomaret
