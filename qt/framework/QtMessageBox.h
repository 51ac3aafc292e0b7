#pragma once

#include "link/MessageBoxSeam.h"

// The desktop program's message boxes: a modal box with a single OK button,
// or Yes and No for a question, run through CModalDialog::RunModal so tests
// can answer it.
//
// A test that runs the whole program as a process cannot reach its modal
// boxes, so the environment may answer its questions: with
// RAVELLE_TEST_ANSWER=yes (or no) each question is written to standard error
// as "question: TEXT" (UTF-8) and answered so without a box being shown. For
// tests only; the program documents no such variable to operators.
class CQtMessageBox : public CMessageBoxSeam {
 public:
  void Show(const std::string& text, const std::string& caption, Icon icon) override;
  bool AskYesNo(const std::string& text, const std::string& caption) override;
  bool AskYesNoDefaultYes(const std::string& text, const std::string& caption) override;

 private:
  bool Ask(const std::string& text, const std::string& caption, bool yesIsDefault);
};
