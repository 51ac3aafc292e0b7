#pragma once

#include <windows.h>

// A modal dialog from a template of the program's resources, run by the
// dialog manager. OK and Cancel end it with IDOK and IDCANCEL unless the
// dialog handles them itself.
class CModalDialog {
 public:
  explicit CModalDialog(int templateId) : templateId_(templateId) {}
  virtual ~CModalDialog() = default;

  // Runs the dialog over owner: IDOK, IDCANCEL, or -1 when it could not be
  // made.
  INT_PTR DoModal(HWND owner);

 protected:
  virtual void OnInitDialog() {}
  // A control's notification; true when handled.
  virtual bool OnCommand(int /*id*/, int /*notification*/) { return false; }
  // An owner-drawn control's draw request; true when handled.
  virtual bool OnDrawItem(const DRAWITEMSTRUCT& /*item*/) { return false; }
  HWND Window() const { return dialog_; }

 private:
  static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

  int templateId_;
  HWND dialog_ = nullptr;
};
