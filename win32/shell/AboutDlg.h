#pragma once

#include <windows.h>

#include <array>
#include <string>

#include "win32/framework/HyperlinkButton.h"

// About Ravelle (template 100): the version, the contact address and two
// links.
class CAboutDlg {
 public:
  CAboutDlg();

  // Runs the box modally over owner; the box's result.
  INT_PTR DoModal(HWND owner);

  std::string contactAddress;

 private:
  static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  void OnInitDialog(HWND dialog);

  std::array<CHyperlinkButton, 2> links_;
};
