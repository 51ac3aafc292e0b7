#pragma once

#include <windows.h>

#include "link/MessageBoxSeam.h"

// The program's message boxes as the system's own, owned by the main
// window so they stay above it and block it.
class CWin32MessageBox : public CMessageBoxSeam {
 public:
  void SetOwner(HWND owner) { owner_ = owner; }

  void Show(const std::string& text, const std::string& caption, Icon icon) override;
  bool AskYesNo(const std::string& text, const std::string& caption) override;
  bool AskYesNoDefaultYes(const std::string& text, const std::string& caption) override;

 private:
  bool Ask(const std::string& text, const std::string& caption, UINT defaultButton);

  HWND owner_ = nullptr;
};
