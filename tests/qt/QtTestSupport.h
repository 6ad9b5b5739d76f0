#pragma once
// What the Qt backend tests share: a platform that records message boxes instead of
// waiting for a click, and a control that logs the messages its window brings.

#include <QWidget>
#include <string>
#include <vector>

#include "framework/gui/Control.h"
#include "framework/qt/QtPlatform.h"
#include "framework/qt/QtWindow.h"

namespace plomaret {

class TRecordingQtPlatform : public TQtPlatform {
 public:
  // Each box takes the next scripted answer (IDOK when none), as a click would.
  int ShowMessageBox(const std::string& text, const std::string&, uint32_t) override {
    Shown.push_back(text);
    if (Answers.empty()) return 1;
    const int answer = Answers.front();
    Answers.erase(Answers.begin());
    return answer;
  }
  // While paths are scripted, file dialogs take the next one ("": cancelled) instead
  // of showing Qt's dialog.
  bool ShowFileDialog(const TFileDialogRequest& request, std::string& fileName) override {
    if (FileChoices.empty()) return TQtPlatform::ShowFileDialog(request, fileName);
    fileName = FileChoices.front();
    FileChoices.erase(FileChoices.begin());
    return !fileName.empty();
  }
  std::vector<std::string> Shown;
  std::vector<int> Answers;
  std::vector<std::string> FileChoices;
};

inline TRecordingQtPlatform& RecordingPlatform() { return dynamic_cast<TRecordingQtPlatform&>(Platform()); }

struct TLogged {
  uint32_t Msg;
  intptr_t WParam;
  intptr_t LParam;
  bool MoreCharsQueued;  // WM_CHAR only: another WM_CHAR was already waiting
};

class TProbeControl : public TCustomControl {
 public:
  void WndProc(TMessage& message) override {
    if (Logs(message.Msg)) {
      TMessage next;
      const bool more = message.Msg == WM_CHAR && PeekMessage(next, WM_CHAR, WM_CHAR, false);
      Log.push_back({message.Msg, message.WParam, message.LParam, more});
    }
    if (message.Msg == WM_GETDLGCODE) {
      message.Result = DialogCode;
      return;
    }
    // A handler that freed the control has the last word.
    if (message.Msg == WM_KEYDOWN && OnKey && OnKey(static_cast<int>(message.WParam))) return;
    TCustomControl::WndProc(message);
  }
  // The messages of one kind, in order.
  std::vector<TLogged> Of(uint32_t msg) const {
    std::vector<TLogged> found;
    for (const TLogged& entry : Log) {
      if (entry.Msg == msg) found.push_back(entry);
    }
    return found;
  }
  std::vector<uint32_t> Kinds() const {
    std::vector<uint32_t> kinds;
    for (const TLogged& entry : Log) kinds.push_back(entry.Msg);
    return kinds;
  }
  QWidget* Widget() { return QtWindowOf(*this)->Widget(); }

  std::vector<TLogged> Log;
  std::vector<TShiftState> KeyShifts;
  int32_t DialogCode = DLGC_WANTARROWS | DLGC_WANTCHARS;
  uint32_t ExtraStyle = WS_TABSTOP;
  uint32_t ExtraExStyle = WS_EX_CLIENTEDGE;
  std::function<bool(int)> OnKey;  // true: the control is gone
  std::vector<std::string> Rows;

 protected:
  void KeyDown(int& key, TShiftState shift) override {
    KeyShifts.push_back(shift);
    TCustomControl::KeyDown(key, shift);
  }
  void CreateParams(uint32_t& style, uint32_t& exStyle) const override {
    style |= ExtraStyle;
    exStyle |= ExtraExStyle;
  }
  // Each row on the cell grid of a 12-pixel FixedSys: 6 pixels a byte.
  void Paint() override {
    TCanvas& canvas = Canvas();
    canvas.Font().SetName("FixedSys");
    canvas.Font().SetHeight(-12);
    canvas.Font().SetColor(clBlack);
    canvas.SetBrushColor(Color());
    for (size_t row = 0; row < Rows.size(); ++row) {
      const std::vector<int> advances(Rows[row].size(), 6);  // one a byte
      const int top = static_cast<int>(row) * 12;
      canvas.ExtTextOut(0, top, etoOpaque, {0, top, ClientWidth(), top + 12}, Rows[row], advances);
    }
  }

 private:
  static bool Logs(uint32_t msg) {
    return (msg >= WM_KEYDOWN && msg <= WM_SYSCHAR) || (msg >= WM_MOUSEMOVE && msg <= WM_MOUSEWHEEL) ||
           (msg >= WM_IME_STARTCOMPOSITION && msg <= WM_IME_COMPOSITION) || msg == WM_CONTEXTMENU ||
           msg == WM_VSCROLL || msg == WM_HSCROLL || msg == WM_SETFOCUS || msg == WM_KILLFOCUS || msg == WM_CLOSE ||
           msg == WM_SIZE || msg == WM_USER;
  }
};

}  // namespace plomaret
