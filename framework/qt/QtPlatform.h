#pragma once
// The Qt 6 platform: real windows, fonts, clipboard, menus and dialogs. Install it
// after the QApplication exists (RunQtApplication does both).

#include <QCursor>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "framework/gui/Platform.h"
#include "framework/qt/QtFontEngine.h"

class QMimeData;

namespace plomaret {

struct TFileDialogRequest;

// Runs action; an exception it lets out goes to the application's handler instead of
// unwinding through Qt, and the program goes on.
void RunGuarded(const std::function<void()>& action);
// Dispatches the messages posted to the program's windows.
void PumpMessages();

// Program text (CP932) as shown on screen. Text that is valid UTF-8 is taken as it
// is: file names are UTF-8 on this platform and end up in messages as they are.
QString DisplayText(std::string_view text);

// The clipboard through QClipboard. Text is offered to other programs as UTF-8 (LF
// line ends); inside the program the CP932 bytes and every registered format travel
// under private MIME types, so a copy and paste here is byte-exact.
class TQtClipboard : public TClipboard {
 public:
  void Clear() override;
  void SetData(uint32_t format, std::string_view bytes) override;
  bool HasFormat(uint32_t format) const override;
  std::string GetData(uint32_t format) const override;

  // The private MIME type that carries a format.
  static QString MimeTypeOf(uint32_t format);

 private:
  void Publish();

  std::map<uint32_t, std::string> FData;  // what this program put there last
  QPointer<QMimeData> FPublished;
};

class TQtPlatform : public TPlatform {
 public:
  TQtPlatform();
  ~TQtPlatform() override;

  TFontEngine& FontEngine() override { return FFontEngine; }
  TQtFontEngine& QtFontEngine() { return FFontEngine; }
  TSize ScreenSize() const override;
  std::unique_ptr<TWindowBackend> CreateWindowBackend(TWinControl& control) override;
  void ShowPopupMenu(TPopupMenu& menu, TPoint screen) override;
  TClipboard& Clipboard() override { return FClipboard; }
  int ShowMessageBox(const std::string& text, const std::string& caption, uint32_t flags) override;
  bool KeyDown(int virtualKey) const override;
  TPoint CursorPos() const override;
  void ScreenCursorChanged(int cursor) override;
  bool ShowFileDialog(const TFileDialogRequest& request, std::string& fileName) override;

  // The keyboard as the windows saw it: a key went down or up.
  void NoteKey(int virtualKey, bool down);
  // Every key counts as up (the program lost the keyboard).
  void ForgetKeys() { FKeysDown.clear(); }
  // The Qt cursor of a cursor number (standard shapes and the program's cursor table).
  static QCursor CursorOf(int cursor);

 private:
  TQtFontEngine FFontEngine;
  TQtClipboard FClipboard;
  std::set<int> FKeysDown;
  QObject FConnections;  // ties the pump to the event loop for the platform's lifetime
};

// Installs a Qt platform (a QApplication must exist); returns it.
TQtPlatform& InstallQtPlatform();
// The installed Qt platform, or nullptr when another one is installed.
TQtPlatform* QtPlatform();

// "X files|*.x|All|*.*" as Qt's "X files (*.x);;All (*.*)".
QString QtFileFilter(std::string_view filter);

}  // namespace plomaret
