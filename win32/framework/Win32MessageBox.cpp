#include "win32/framework/Win32MessageBox.h"

#include "win32/framework/ControlText.h"

void CWin32MessageBox::Show(const std::string& text, const std::string& caption, Icon icon) {
  const UINT style = MB_OK | (icon == Icon::Exclamation ? MB_ICONEXCLAMATION : 0u);
  MessageBoxW(owner_, WideFromWindows1252(text).c_str(), WideFromWindows1252(caption).c_str(),
              style);
}

bool CWin32MessageBox::AskYesNo(const std::string& text, const std::string& caption) {
  // No is the default, and Escape answers No as well: a slip of the Enter
  // key must not wipe a game.
  return Ask(text, caption, MB_DEFBUTTON2);
}

bool CWin32MessageBox::AskYesNoDefaultYes(const std::string& text, const std::string& caption) {
  return Ask(text, caption, MB_DEFBUTTON1);
}

bool CWin32MessageBox::Ask(const std::string& text, const std::string& caption,
                           UINT defaultButton) {
  return MessageBoxW(owner_, WideFromWindows1252(text).c_str(),
                     WideFromWindows1252(caption).c_str(),
                     MB_YESNO | MB_ICONQUESTION | defaultButton) == IDYES;
}
