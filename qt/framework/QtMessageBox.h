#pragma once

#include "link/MessageBoxSeam.h"

// The desktop program's message boxes: a modal box with a single OK button,
// or Yes and No for a question, run through CModalDialog::RunModal so tests
// can answer it.
class CQtMessageBox : public CMessageBoxSeam {
 public:
  void Show(const std::string& text, const std::string& caption, Icon icon) override;
  bool AskYesNo(const std::string& text, const std::string& caption) override;
};
