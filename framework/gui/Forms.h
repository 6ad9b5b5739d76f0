#pragma once
// Forms, panels and speed buttons: the pieces of the main window.

#include <string>

#include "framework/gui/Control.h"

namespace plomaret {

// A top-level window with a caption; its children fill its client area.
class TForm : public TCustomControl {
 public:
  void AfterConstruction() override;
  const std::string& Caption() const { return Text(); }
  void SetCaption(const std::string& caption) { SetText(caption); }
  void Show();
  // Asks the form to close (WM_CLOSE); a closed form is hidden.
  void Close();
  bool Closed() const { return FClosed; }

  // Asked before the form closes (its close box, Close, the session ending): a handler
  // that clears the flag keeps it open.
  using TCloseQueryEvent = TEvent<TObject*, bool&>;
  // A key that may be one of the form's commands; a handler that sets the flag takes it.
  using TShortCutEvent = TEvent<TObject*, TShortCut, bool&>;
  bool CloseQuery();
  bool IsShortCut(TShortCut shortCut) override;

  TNotifyEvent OnCreate;
  TNotifyEvent OnClose;
  TCloseQueryEvent OnCloseQuery;
  TShortCutEvent OnShortCut;
  // The form became the active window.
  TNotifyEvent OnActivate;

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

 protected:
  void DefaultHandler(TMessage& message) override;

 private:
  bool FClosed = false;
};

enum TBevelCut { bvNone, bvLowered, bvRaised };
const TTypeInfo& TypeInfoOf(TTypeTag<TBevelCut>);

class TPanel : public TCustomControl {
 public:
  void AfterConstruction() override;
  TBevelCut BevelInner() const { return FBevelInner; }
  void SetBevelInner(TBevelCut bevel);
  TBevelCut BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TBevelCut bevel);

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

 protected:
  void Paint() override;

 private:
  TBevelCut FBevelInner = bvNone;
  TBevelCut FBevelOuter = bvRaised;
};

// A toolbar button: no window of its own, so it never takes the keyboard focus.
class TSpeedButton : public TGraphicControl {
 public:
  const std::string& Caption() const { return Text(); }
  void SetCaption(const std::string& caption) { SetText(caption); }
  bool Down() const { return FPressed; }
  void Paint(TCanvas& canvas) override;

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

 protected:
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

 private:
  bool FPressed = false;
};

}  // namespace plomaret
