#pragma once
// Message boxes, with the Win32 flags and answers.

#include <cstdint>
#include <string>

namespace plomaret {

inline constexpr uint32_t MB_OK = 0x00;
inline constexpr uint32_t MB_OKCANCEL = 0x01;
inline constexpr uint32_t MB_YESNOCANCEL = 0x03;
inline constexpr uint32_t MB_YESNO = 0x04;
inline constexpr uint32_t MB_ICONERROR = 0x10;
inline constexpr uint32_t MB_ICONQUESTION = 0x20;
inline constexpr uint32_t MB_ICONWARNING = 0x30;
inline constexpr uint32_t MB_ICONINFORMATION = 0x40;
inline constexpr uint32_t MB_DEFBUTTON2 = 0x100;  // the second button answers Return

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// A message box through the platform; returns the button chosen.
int MessageBox(const std::string& text, const std::string& caption, uint32_t flags);
// The simple message box: the text, the program's title, one OK button.
void ShowMessage(const std::string& text);

}  // namespace plomaret

#include <vector>

#include "framework/core/Component.h"
#include "framework/core/Properties.h"

namespace plomaret {

enum TOpenOption { ofOverwritePrompt, ofHideReadOnly, ofPathMustExist, ofFileMustExist, ofNoChangeDir, ofEnableSizing };
using TOpenOptions = TSet<TOpenOption>;
const TTypeInfo& TypeInfoOf(TTypeTag<TOpenOption>);
const TTypeInfo& TypeInfoOf(TTypeTag<TOpenOptions>);

// What a file dialog asks the platform.
struct TFileDialogRequest {
  bool Save = false;
  std::string Title;
  std::string Filter;      // "x|*.x": pairs of description and pattern
  std::string InitialDir;  // the folder to start in ("" for the platform's default)
  std::string FileName;    // the name proposed
  TOpenOptions Options;
};

// The open and save dialogs: set the properties, call Execute, read FileName.
class TOpenDialog : public TComponent {
 public:
  const std::string& Filter() const { return FFilter; }
  void SetFilter(const std::string& filter) { FFilter = filter; }
  const std::string& InitialDir() const { return FInitialDir; }
  void SetInitialDir(const std::string& folder) { FInitialDir = folder; }
  const std::string& FileName() const { return FFileName; }
  void SetFileName(const std::string& name) { FFileName = name; }
  const std::string& Title() const { return FTitle; }
  void SetTitle(const std::string& title) { FTitle = title; }
  TOpenOptions Options() const { return FOptions; }
  void SetOptions(TOpenOptions options) { FOptions = options; }

  // Shows the dialog; true with FileName set when the user chose a file.
  virtual bool Execute();

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

 protected:
  virtual bool IsSaveDialog() const { return false; }

 private:
  std::string FFilter;
  std::string FInitialDir;
  std::string FFileName;
  std::string FTitle;
  TOpenOptions FOptions{ofHideReadOnly};
};

class TSaveDialog : public TOpenDialog {
 public:
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

 protected:
  bool IsSaveDialog() const override { return true; }
};

}  // namespace plomaret
