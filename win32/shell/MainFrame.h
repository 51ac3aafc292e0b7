#pragma once

#include <windows.h>

#include <functional>

// The main window: a fixed-size frame around the scoreboard form with the
// menu (resource 128) and no tool or status bar. Title bar, system menu and
// minimise box only, so it can be neither resized nor maximised; its caption
// is always the program's title.
class CMainFrame {
 public:
  CMainFrame() = default;
  CMainFrame(const CMainFrame&) = delete;
  CMainFrame& operator=(const CMainFrame&) = delete;
  ~CMainFrame();

  bool Create(const wchar_t* title);
  HWND Window() const { return frame_; }

  // Sizes the window so that its client area is exactly clientSize.
  void FitClientArea(SIZE clientSize);

  // A menu command (WM_COMMAND from the menu), by its id.
  std::function<void(int id)> onCommand;
  // The window is being destroyed: the program ends.
  std::function<void()> onDestroy;

 private:
  static LRESULT CALLBACK WindowProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam);

  HWND frame_ = nullptr;
};
