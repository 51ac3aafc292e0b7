#pragma once

#include <string>

// Every modal message box of the program goes through this one seam: the
// desktop program shows a real box, the command line prints the text, and
// tests record it. Show returns when the operator has closed the box.
// Texts and captions are Windows-1252.
class CMessageBoxSeam {
 public:
  enum class Icon { None, Exclamation };

  virtual ~CMessageBoxSeam() = default;
  virtual void Show(const std::string& text, const std::string& caption, Icon icon) = 0;
  // A question with Yes and No, No the default (Enter) and Escape's answer.
  // True for Yes. Where nobody can be asked (the command line), the action
  // goes ahead as if no question existed.
  virtual bool AskYesNo(const std::string& /*text*/, const std::string& /*caption*/) {
    return true;
  }
  // The same with Yes the default (Enter); Escape still answers No. Unless a
  // seam shows it otherwise, it is asked as AskYesNo asks.
  virtual bool AskYesNoDefaultYes(const std::string& text, const std::string& caption) {
    return AskYesNo(text, caption);
  }
};

// The caption of the framework's own message boxes.
inline constexpr const char* kApplicationName = "Ravelle";
