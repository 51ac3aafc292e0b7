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
  const int answer =
      MessageBoxW(owner_, WideFromWindows1252(text).c_str(), WideFromWindows1252(caption).c_str(),
                  MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
  return answer == IDYES;
}
