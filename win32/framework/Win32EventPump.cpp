#include "win32/framework/Win32EventPump.h"

void CWin32EventPump::PumpOnce() {
  MSG message;
  if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) return;
  if (message.message == WM_QUIT) {
    // The main loop must still see it, or the program would not end.
    PostQuitMessage(static_cast<int>(message.wParam));
    return;
  }
  if (preTranslate && preTranslate(message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}
